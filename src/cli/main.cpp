// plu-tool: the scale link without a window. See `plu-tool --help`.
#include <iostream>

#include "base/regional_settings.h"
#include "cli/commands.h"

int main(int argc, char** argv) {
    plu::InstallRegionalSettings(plu::RegionalSettings::FromEnvironment());
    return plu::cli::Main(plu::cli::Args(argv + 1, argv + argc), std::cout, std::cerr);
}
