// virtual-scale: a label scale on a pseudo-terminal. See --help.
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "virtual-scale/frame_assembler.h"
#include "virtual-scale/options.h"
#include "virtual-scale/pty_line.h"
#include "virtual-scale/virtual_scale.h"

using namespace plu::virtual_scale;

namespace {

volatile sig_atomic_t g_stop = 0;

void OnSignal(int) { g_stop = 1; }

void InstallSignals() {
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGHUP, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);
}

void SleepMs(long ms) {
    if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Milliseconds that n bytes take on the wire (start bit, 8 data bits, stop bit).
long WireMs(std::size_t n, uint32_t baud) {
    return static_cast<long>((n * 10 * 1000 + baud - 1) / baud);
}

// One line of the --verbose log, stamped with the seconds since start so that
// a reader can tell how long the PC took to come back after a fault.
[[gnu::format(printf, 1, 2)]] void Log(const char* format, ...) {
    static const auto start = std::chrono::steady_clock::now();
    const std::chrono::duration<double> since = std::chrono::steady_clock::now() - start;
    std::fprintf(stderr, "[%9.3f] ", since.count());
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
}

std::string Printable(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "<%02X>", c);
            out += hex;
        }
    }
    return out;
}

// Writes one burst; with wire time, in small pieces paced at the line speed
// (each piece well under the PC's 100 ms silence gap, so it stays one burst).
// Each piece is due when the bytes before it would have left the wire, timed
// from the start of the burst, so rounding and oversleeping do not add up.
bool SendBurst(PtyLine& line, const std::string& burst, const Options& o) {
    if (!o.wireTime) return line.Write(burst, 1000);
    const std::size_t piece = 8;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t at = 0; at < burst.size(); at += piece) {
        const std::string part = burst.substr(at, piece);
        if (!line.Write(part, 1000)) return false;
        const auto sentBits = static_cast<long long>(at + part.size()) * 10;
        std::this_thread::sleep_until(start +
                                      std::chrono::microseconds(sentBits * 1000000 / o.baud));
    }
    return true;
}

// "20YY-MM-DD HH:MM:SS": the scale keeps two digits of the year.
std::string ClockText(const plu::ClockFields& c) {
    char text[32];
    std::snprintf(text, sizeof text, "20%02d-%02d-%02d %02d:%02d:%02d", c.year % 100, c.month,
                  c.day, c.hour, c.minute, c.second);
    return text;
}

// Replaces the file's contents in one step, so a reader never sees half a line.
void WriteClockFile(const std::string& path, const std::string& line) {
    const std::string temporary = path + ".tmp";
    bool ok = false;
    if (std::FILE* f = std::fopen(temporary.c_str(), "w")) {
        ok = std::fprintf(f, "%s\n", line.c_str()) >= 0;
        ok = std::fclose(f) == 0 && ok;
    }
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0)
        std::fprintf(stderr, "virtual-scale: cannot write %s: %s\n", path.c_str(),
                     std::strerror(errno));
}

int Run(const Options& o) {
    PluTable table = o.emptyTable ? PluTable{} : SamplePluTable();
    if (!o.tablePath.empty()) table = LoadPluTable(o.tablePath);
    VirtualScale scale(o.model, table);
    for (const FaultRule& rule : o.faults) scale.Faults().Add(rule);
    auto save = [&] {
        if (o.savePath.empty()) return;
        try {
            SavePluTable(scale.Table(), o.savePath);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "virtual-scale: %s\n", e.what());
        }
    };
    scale.OnDownloadComplete = save;

    auto line = std::make_unique<PtyLine>();
    if (!o.linkPath.empty()) MakeDeviceLink(line->SlavePath(), o.linkPath);
    std::printf("%s\n", o.linkPath.empty() ? line->SlavePath().c_str() : o.linkPath.c_str());
    std::fflush(stdout);
    if (o.verbose)
        Log("virtual-scale: serving %s as %s\n", line->SlavePath().c_str(),
            IdentificationBody(o.model).c_str());

    FrameAssembler assembler;
    std::string lastClock;
    using Clock = std::chrono::steady_clock;
    Clock::time_point lastWrite{};
    char buffer[4096];
    // Pulled out: both ends of the pseudo-terminal closed (the PC's open
    // descriptor reads a hang-up) and the link removed, so that nothing is
    // found at the path; then a new pseudo-terminal behind the same link.
    auto unplug = [&](int ms) {
        if (o.verbose) Log("   (unplugged for %d ms)\n", ms);
        RemoveDeviceLink(line->SlavePath(), o.linkPath);
        line.reset();
        const auto back = Clock::now() + std::chrono::milliseconds(ms);
        while (!g_stop && Clock::now() < back)
            std::this_thread::sleep_for(std::min<Clock::duration>(back - Clock::now(),
                                                                  std::chrono::milliseconds(50)));
        line = std::make_unique<PtyLine>();
        MakeDeviceLink(line->SlavePath(), o.linkPath);
        assembler = FrameAssembler{};
        if (o.verbose) Log("   (plugged in again as %s)\n", line->SlavePath().c_str());
    };
    while (!g_stop) {
        pollfd p{line->MasterFd(), POLLIN, 0};
        const int ready = poll(&p, 1, 200);
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        const ssize_t n = read(line->MasterFd(), buffer, sizeof buffer);
        if (n <= 0) {
            // EAGAIN, or EIO in the instant between two opens: try again shortly.
            if (n < 0 && errno != EAGAIN && errno != EINTR && errno != EIO) break;
            SleepMs(20);
            continue;
        }
        for (const std::string& body : assembler.Feed(std::string_view(buffer, static_cast<std::size_t>(n)))) {
            if (o.verbose) Log("<- %s\n", Printable(body).c_str());
            if (o.matchBaud) {
                const uint32_t pcBaud = line->LineBaud();
                if (pcBaud != o.baud) {
                    // At another speed the scale hears only noise.
                    if (o.verbose) Log("   (line at %u baud: not understood)\n", pcBaud);
                    continue;
                }
            }
            if (o.wireTime) SleepMs(WireMs(body.size() + 3, o.baud));
            SleepMs(o.delayMs);
            const ScaleReply reply = scale.Answer(body);
            if (reply.unplugMs > 0) {
                unplug(reply.unplugMs);
                break;  // what else came in went with the old line
            }
            SleepMs(reply.pauseMs);
            if (!o.clockPath.empty() && scale.Clock()) {
                const std::string clock = ClockText(*scale.Clock());
                if (clock != lastClock) WriteClockFile(o.clockPath, clock);
                lastClock = clock;
            }
            if (reply.apartFromPrevious) {
                const auto quietUntil = lastWrite + std::chrono::milliseconds(kBurstGapMs);
                if (Clock::now() < quietUntil) std::this_thread::sleep_until(quietUntil);
            }
            for (std::size_t i = 0; i < reply.bursts.size() && !g_stop; ++i) {
                if (i > 0) SleepMs(kBurstGapMs);
                if (o.verbose) Log("-> %s\n", Printable(reply.bursts[i]).c_str());
                if (!SendBurst(*line, reply.bursts[i], o) && o.verbose)
                    Log("   (nobody takes the reply)\n");
                lastWrite = Clock::now();
            }
        }
    }
    save();
    if (!o.linkPath.empty()) RemoveDeviceLink(line->SlavePath(), o.linkPath);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        std::fprintf(stderr, "virtual-scale: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    if (options.exitWithParent) {
        const pid_t parent = getppid();
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) return 0;  // the parent is already gone
    }
    InstallSignals();
    try {
        return Run(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "virtual-scale: %s\n", e.what());
        return 1;
    }
}
