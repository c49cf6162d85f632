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
    };
    return commands;
}

std::string UsageText() {
    std::string text = "Usage: plu-tool COMMAND [ARGUMENTS]\n"
                       "The scale link of PLU Editor without a window.\n\nCommands:\n";
    for (const Command& c : Commands()) {
        std::string head = std::string("  ") + c.name;
        if (*c.synopsis) head += std::string(" ") + c.synopsis;
        text += head + "\n      " + c.summary + "\n";
    }
    text += "\nExit codes: 0 done, 1 failed, 2 wrong command line, 3 device missing, busy\n"
            "or forbidden, 4 no scale answered.\n";
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
