#include "cli/commands.h"
#include "serial/serial_ports.h"

namespace plu::cli {

int RunPorts(const Args& args, std::ostream& out, std::ostream& err) {
    if (!args.empty()) {
        err << "plu-tool ports: takes no arguments\n";
        return kExitUsage;
    }
    std::vector<std::string> ports;
    if (!ListSerialPorts(ports)) {
        err << "plu-tool ports: cannot read the list of terminals in " << kSysfsTtyRoot << "\n";
        return kExitFailure;
    }
    for (const std::string& port : ports) out << port << "\n";
    return kExitOk;
}

}  // namespace plu::cli
