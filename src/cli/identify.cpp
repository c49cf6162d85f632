#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>
#include <optional>

#include "app/comm_line.h"
#include "app/link_session.h"
#include "cli/commands.h"
#include "serial/ui_dispatcher.h"

namespace plu::cli {

namespace {

constexpr double kDefaultTimeoutSeconds = 10;

// One line saying why the device could not be used.
std::string Reason(const std::string& device, const LinkError& e) {
    switch (e.systemError) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return device + ": no such device";
        case EBUSY:
            return device + ": busy, held by another process";
        case ENOTTY:
            return device + ": not a serial device";
        default:
            break;
    }
    // The component's own text (the dialout hint for a forbidden port), on one line.
    std::string text = WideToUtf8(e.message);
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) text.replace(at, 2, ": ");
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    if (e.systemError != 0 && e.systemError != EACCES && e.systemError != EPERM)
        text += " (" + std::string(std::strerror(e.systemError)) + ")";
    return device + ": " + text;
}

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
            err << "plu-tool identify: usage: plu-tool identify --port DEVICE [--timeout SECONDS]\n";
            return kExitUsage;
        }
    }
    if (device.empty()) {
        err << "plu-tool identify: --port DEVICE is required\n";
        return kExitUsage;
    }

    QueuedDispatcher dispatcher;
    LinkSession session(std::make_unique<CommLine>(dispatcher));
    std::optional<LinkError> failure;
    session.OnError = [&](const LinkError& e) {
        if (!failure) failure = e;
    };
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                             std::chrono::duration<double>(timeout));
    // The port list is this device alone: stepping moves through the baud rates on it.
    session.Start([&](std::vector<std::string>& ports) {
        ports = {device};
        return true;
    });

    auto nextTick = Clock::now() + std::chrono::milliseconds(kTickMilliseconds);
    while (!failure && !session.Engine().State().Connected) {
        const auto now = Clock::now();
        if (now >= deadline) break;
        if (now >= nextTick) {
            session.Tick();
            nextTick += std::chrono::milliseconds(kTickMilliseconds);
            if (nextTick < now) nextTick = now + std::chrono::milliseconds(kTickMilliseconds);
            continue;
        }
        const auto wait = std::min(nextTick, deadline) - now;
        dispatcher.WaitAndPump(std::chrono::duration_cast<std::chrono::milliseconds>(wait) +
                               std::chrono::milliseconds(1));
    }
    const std::string baud = session.Ports().BaudText();
    session.Stop();
    dispatcher.Pump();

    if (failure) {
        err << "plu-tool identify: " << Reason(device, *failure) << "\n";
        return kExitNoPort;
    }
    const LinkState& s = session.Engine().State();
    if (!s.Connected) {
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%g", timeout);
        err << "plu-tool identify: " << device << ": no scale answered within " << seconds
            << " s at any baud rate\n";
        return kExitNoScale;
    }
    out << "model: " << WideToUtf8(s.ModelName) << "\n"
        << "keys: " << (s.Preset55 ? 55 : 5) << "\n"
        << "units: " << Units(s) << "\n"
        << "port: " << device << " at " << baud << " baud\n";
    return kExitOk;
}

}  // namespace plu::cli
