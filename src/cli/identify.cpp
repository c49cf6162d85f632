#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "cli/commands.h"
#include "cli/headless_window.h"

namespace plu::cli {

namespace {

constexpr double kDefaultTimeoutSeconds = 10;

std::string Units(const LinkState& s) {
    std::string units;
    for (auto [on, name] : {std::pair{s.UnitKg, "kg"}, {s.UnitLb, "lb"}, {s.UnitOz, "oz"}}) {
        if (!on) continue;
        if (!units.empty()) units += ", ";
        units += name;
    }
    return units.empty() ? "none" : units;
}

}  // namespace

int RunIdentify(const Args& args, std::ostream& out, std::ostream& err) {
    std::string device;
    double timeout = kDefaultTimeoutSeconds;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--port" && i + 1 < args.size()) {
            device = args[++i];
        } else if (args[i] == "--timeout" && i + 1 < args.size()) {
            char* end = nullptr;
            timeout = std::strtod(args[++i].c_str(), &end);
            if (end == args[i].c_str() || *end != '\0' || !(timeout > 0) || timeout > 3600) {
                err << "plu-tool identify: --timeout takes seconds (more than 0, at most 3600)\n";
                return kExitUsage;
            }
        } else {
            err << "plu-tool identify: usage: plu-tool identify --port DEVICE [--timeout "
                   "SECONDS]\n";
            return kExitUsage;
        }
    }
    if (device.empty()) {
        err << "plu-tool identify: --port DEVICE is required\n";
        return kExitUsage;
    }

    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(timeout));
    HeadlessWindow window("plu-tool identify", out, err, false);
    const HeadlessWindow::ConnectResult result = window.Connect(device, deadline);
    const std::string baud = window.Session().Ports().BaudText();

    if (result == HeadlessWindow::ConnectResult::PortFailed) {
        err << "plu-tool identify: " << PortFailureReason(device, *window.PortFailure()) << "\n";
        return kExitNoPort;
    }
    if (result == HeadlessWindow::ConnectResult::NoScale) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", timeout);
        err << "plu-tool identify: " << device << ": no scale answered within " << seconds
            << " s at any baud rate\n";
        return kExitNoScale;
    }
    const LinkState& s = window.State();
    out << "model: " << WideToUtf8(s.ModelName) << "\n"
        << "keys: " << (s.Preset55 ? 55 : 5) << "\n"
        << "units: " << Units(s) << "\n"
        << "port: " << device << " at " << baud << " baud\n";
    return kExitOk;
}

}  // namespace plu::cli
