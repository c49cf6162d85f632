#include "cli/transfer_command.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <unistd.h>

namespace plu::cli {

namespace {

bool ParseSeconds(const std::string& text, double& seconds) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end == text.c_str() || *end != '\0' || !(value > 0) || value > 3600) return false;
    seconds = value;
    return true;
}

std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", seconds);
    return text;
}

SteadyClock::time_point After(SteadyClock::time_point from, double seconds) {
    return from + std::chrono::duration_cast<SteadyClock::duration>(
                      std::chrono::duration<double>(seconds));
}

// Two digits at text[at]; -1 when they are none.
int Digits(const std::string& text, std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

bool WantsProgress(const std::ostream& out) {
    return &out == &std::cout && isatty(STDOUT_FILENO) == 1;
}

bool ParseClockTime(const std::string& text, TDateTime& when) {
    // 0123456789012345678
    // YYYY-MM-DD HH:MM:SS
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':')
        return false;
    const int year = Digits(text, 0, 4), month = Digits(text, 5, 2), day = Digits(text, 8, 2);
    const int hour = Digits(text, 11, 2), minute = Digits(text, 14, 2),
              second = Digits(text, 17, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0) return false;
    TDateTime date = 0, time = 0;
    if (!TryEncodeDate(year, month, day, date) || !TryEncodeTime(hour, minute, second, 0, time))
        return false;
    when = date + time;
    return IsScaleClockYear(when);
}

bool IsScaleClockYear(TDateTime when) {
    const int year = DecodeDate(when).year;
    return year >= 2000 && year <= 2099;
}

bool ParseTransferOptions(const Args& args, const TransferSyntax& syntax, TransferOptions& options,
                          std::ostream& err) {
    auto usage = [&](const std::string& why) {
        err << syntax.name << ": " << why << "\n"
            << syntax.name << ": usage: " << syntax.name << " " << syntax.usage << "\n";
        return false;
    };
    bool haveFile = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool valued =
            a == "--port" || a == "--timeout" || a == "--limit" || (syntax.time && a == "--time");
        if (valued && i + 1 >= args.size()) return usage(a + " needs a value");
        if (a == "--port") {
            options.device = args[++i];
            if (options.device.empty()) return usage("--port needs a device");
        } else if (a == "--timeout") {
            if (!ParseSeconds(args[++i], options.findSeconds))
                return usage("--timeout takes seconds (more than 0, at most 3600)");
        } else if (a == "--limit") {
            if (!ParseSeconds(args[++i], options.limitSeconds))
                return usage("--limit takes seconds (more than 0, at most 3600)");
        } else if (syntax.time && a == "--time") {
            TDateTime when = 0;
            if (!ParseClockTime(args[++i], when))
                return usage(
                    "--time takes \"YYYY-MM-DD HH:MM:SS\", a real date and time from 2000 "
                    "to 2099");
            options.time = when;
        } else if (syntax.file && !haveFile && !a.empty() && a[0] != '-') {
            options.file = a;
            haveFile = true;
        } else {
            return usage("unexpected argument \"" + a + "\"");
        }
    }
    if (syntax.file && !haveFile) return usage("FILE is required");
    if (options.device.empty()) return usage("--port DEVICE is required");
    return true;
}

TransferRun::TransferRun(const TransferSyntax& syntax, const TransferOptions& options,
                         HeadlessWindow& window, std::ostream& err)
    : syntax_(syntax),
      options_(options),
      window_(window),
      err_(err),
      start_(SteadyClock::now()),
      end_(After(start_, options.limitSeconds)) {}

int TransferRun::Connect() {
    const double seconds = std::min(options_.findSeconds, options_.limitSeconds);
    const auto result = window_.Connect(options_.device, After(start_, seconds));
    window_.EndProgress();
    switch (result) {
        case HeadlessWindow::ConnectResult::Connected:
            return kExitOk;
        case HeadlessWindow::ConnectResult::PortFailed:
            err_ << syntax_.name << ": "
                 << PortFailureReason(options_.device, *window_.PortFailure()) << "\n";
            return kExitNoPort;
        case HeadlessWindow::ConnectResult::NoScale:
            break;
    }
    err_ << syntax_.name << ": " << options_.device << ": no scale answered within "
         << SecondsText(seconds) << " s at any baud rate\n";
    return kExitNoScale;
}

int TransferRun::Wait(const std::function<TransferOutcome()>& outcome, const std::string& what,
                      const std::string& aftermath) {
    const bool ended =
        window_.RunUntil([&] { return outcome() != TransferOutcome::Running; }, end_);
    window_.EndProgress();
    if (!ended) {
        err_ << syntax_.name << ": the " << what << " did not end within the time limit of "
             << SecondsText(options_.limitSeconds) << " s; gave up (" << aftermath << ")\n";
        return kExitTransfer;
    }
    if (outcome() == TransferOutcome::Abandoned) {
        // A second after the loss the engine closes the port and opens it
        // again: wait for that, so the report can say whether the port is
        // gone (the scale unplugged) or the scale answers there again.
        window_.RunUntil([&] { return window_.PortFailure() || window_.State().Connected; },
                         std::min(end_, After(SteadyClock::now(), kReopenSeconds)));
        window_.EndProgress();
        err_ << syntax_.name << ": the " << what
             << " was abandoned: the link to the scale was lost (no answer for a second)";
        if (window_.PortFailure())
            err_ << ", and " << PortFailureReason(options_.device, *window_.PortFailure());
        err_ << "; " << aftermath << "\n";
        return kExitTransfer;
    }
    return kExitOk;
}

}  // namespace plu::cli
