#include "cli/commands.h"

#include <cstdio>

#include "cli/convert.h"

namespace plu::cli {

const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"ports", "", "list the serial ports of this machine", RunPorts},
        {"identify", "--port DEVICE [--timeout SECONDS]",
         "find the scale on DEVICE (stepping through the baud rates) and print its model",
         RunIdentify},
        {"convert", "SOURCE TARGET",
         "convert a workbook (.xls) or tab-separated text into .xls or text (by TARGET's ending)",
         RunConvert},
        {"download", "FILE --port DEVICE [--timeout SECONDS] [--limit SECONDS]",
         "send the PLU table of FILE (.xls or tab-separated text) to the scale, checked first",
         RunDownload},
        {"upload", "FILE --port DEVICE [--timeout SECONDS] [--limit SECONDS]",
         "read the scale's PLU table into FILE (.xls, or tab-separated text for other endings)",
         RunUpload},
        {"pair",
         "--port DEVICE [--time \"YYYY-MM-DD HH:MM:SS\"] [--timeout SECONDS] [--limit SECONDS]",
         "set the scale's clock to the given time or the computer's (which stays as it is)",
         RunPair},
    };
    return commands;
}

std::string UsageText() {
    std::string text =
        "Usage: plu-tool COMMAND [ARGUMENTS]\n"
        "The scale link of PLU Editor without a window.\n\nCommands:\n";
    for (const Command& c : Commands()) {
        std::string head = std::string("  ") + c.name;
        if (*c.synopsis) head += std::string(" ") + c.synopsis;
        text += head + "\n      " + c.summary + "\n";
    }
    text +=
        "\nOptions of download, upload and pair:\n"
        "  --timeout SECONDS   how long to look for the scale (default 10; every baud rate\n"
        "                      is tried in about 5 s)\n"
        "  --limit SECONDS     time limit of the whole command (default 600)\n"
        "Ctrl+C during a download stops it as the editor's Stop does (the scale keeps the\n"
        "records sent before); a second Ctrl+C ends the program at once.\n"
        "\nExit codes:\n"
        "  0  done\n"
        "  1  failed (upload: FILE written, but fields of the table could not be read)\n"
        "  2  wrong command line\n"
        "  3  device missing, busy or forbidden\n"
        "  4  no scale answered\n"
        "  5  FILE cannot be read or written, or its table fails the checks (Data errors.)\n"
        "  6  transfer broken off: the link was lost, the scale fell silent, or the time\n"
        "     limit was reached\n";
    return text;
}

int Main(const Args& argv, std::ostream& out, std::ostream& err) {
    if (argv.empty()) {
        err << UsageText();
        return kExitUsage;
    }
    const std::string& name = argv[0];
    if (name == "--help" || name == "-h" || name == "help") {
        out << UsageText();
        return kExitOk;
    }
    for (const Command& c : Commands())
        if (name == c.name) return c.run(Args(argv.begin() + 1, argv.end()), out, err);
    err << "plu-tool: unknown command \"" << name << "\" (see plu-tool --help)\n";
    return kExitUsage;
}

}  // namespace plu::cli
