// plu-tool: the scale link without a window. See `plu-tool --help`.
#include <signal.h>

#include <iostream>

#include "base/regional_settings.h"
#include "cli/commands.h"

int main(int argc, char** argv) {
    // A file that outgrows the size limit must fail like a full disk (the
    // write reports EFBIG and the old file stays), not end the program in
    // the middle of a save and leave its temporary file behind.
    signal(SIGXFSZ, SIG_IGN);
    plu::InstallRegionalSettings(plu::RegionalSettings::FromEnvironment());
    return plu::cli::Main(plu::cli::Args(argv + 1, argv + argc), std::cout, std::cerr);
}
