// plu-tool's subcommands. Each takes its own arguments (after the
// subcommand's name) and the streams to write to, and returns the exit code.
// Adding a subcommand is one function and one line in the table.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace plu::cli {

using Args = std::vector<std::string>;
using CommandFn = int (*)(const Args& args, std::ostream& out, std::ostream& err);

struct Command {
    const char* name;
    const char* synopsis;  // arguments, for the usage text
    const char* summary;   // one line
    CommandFn run;
};

// Exit codes shared by the subcommands.
constexpr int kExitOk = 0;
constexpr int kExitFailure = 1;   // the work could not be done
constexpr int kExitUsage = 2;     // the command line is wrong
constexpr int kExitNoPort = 3;    // the device is missing, busy or forbidden
constexpr int kExitNoScale = 4;   // the device is silent
constexpr int kExitFile = 5;      // FILE unreadable or unwritable, or its table fails the checks
constexpr int kExitTransfer = 6;  // the transfer broke off: link lost or time limit

// `plu-tool ports`: the serial ports, one a line.
int RunPorts(const Args& args, std::ostream& out, std::ostream& err);
// `plu-tool identify --port DEVICE [--timeout SECONDS]`.
int RunIdentify(const Args& args, std::ostream& out, std::ostream& err);
// `plu-tool download FILE --port DEVICE [--timeout SECONDS] [--limit SECONDS]`.
int RunDownload(const Args& args, std::ostream& out, std::ostream& err);
// `plu-tool upload FILE --port DEVICE [--timeout SECONDS] [--limit SECONDS]`.
int RunUpload(const Args& args, std::ostream& out, std::ostream& err);
// `plu-tool pair --port DEVICE [--time "YYYY-MM-DD HH:MM:SS"] [--timeout ...] [--limit ...]`.
int RunPair(const Args& args, std::ostream& out, std::ostream& err);

const std::vector<Command>& Commands();
std::string UsageText();

// Runs argv[1..]: the subcommand, or the usage text for --help/help/nothing.
int Main(const Args& argv, std::ostream& out, std::ostream& err);

}  // namespace plu::cli
