// The receive and transmit threads of TComm. Neither raises: a failure posts
// the hang-up request (once per open port) and ends the thread; the stop
// signal ends it quietly.
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "serial/comm_session.h"
#include "serial/line_status.h"
#include "serial/read_timing.h"
#include "serial/receive_filter.h"

namespace plu {
namespace {

using Clock = std::chrono::steady_clock;

// How often the modem lines and error counters are sampled while the line is
// quiet: fast enough for a ring or carrier change to be noticed within a
// tenth of a second, slow enough to cost nothing.
constexpr auto kSampleInterval = std::chrono::milliseconds(100);

TCommTimeouts CurrentTimeouts(const PortShared& s) {
    TCommTimeouts t;
    t.ReadIntervalTimeout = s.readInterval.load();
    t.ReadTotalTimeoutMultiplier = s.readMultiplier.load();
    t.ReadTotalTimeoutConstant = s.readConstant.load();
    return t;
}

TReceiveFilterSettings CurrentFilter(const PortShared& s) {
    TReceiveFilterSettings f;
    f.Marked = s.marked.load();
    f.ReplaceErrors = s.replaceErrors.load();
    f.Replacement = s.replacement.load();
    f.IgnoreNull = s.ignoreNull.load();
    return f;
}

// One received block: the bytes and one zero byte after them, owned by the
// posted task until the handler has returned.
bool PostData(PortShared& s, const uint8_t* data, size_t count) {
    std::vector<uint8_t> block;
    try {
        block.assign(data, data + count);
        block.push_back(0);
    } catch (...) {
        return false;
    }
    return s.Post([block = std::move(block)](TComm& comm) {
        const TReceiveDataEvent handler = comm.OnReceiveData;
        if (handler) handler(&comm, block.data(), static_cast<uint16_t>(block.size() - 1));
    });
}

bool PostErrors(PortShared& s, uint32_t errors) {
    return s.Post([errors](TComm& comm) {
        const TReceiveErrorEvent handler = comm.OnReceiveError;
        if (handler) handler(&comm, errors);
    });
}

bool PostModem(PortShared& s, uint32_t events) {
    return s.Post([events](TComm& comm) {
        const TModemStateChangeEvent handler = comm.OnModemStateChange;
        if (handler) handler(&comm, events);
    });
}

bool PostSendDataEmpty(PortShared& s) {
    return s.Post([](TComm& comm) {
        const TSendDataEmptyEvent handler = comm.OnSendDataEmpty;
        if (handler) handler(&comm);
    });
}

void DrainEventFd(int fd) {
    uint64_t value = 0;
    while (read(fd, &value, sizeof value) < 0 && errno == EINTR) {
    }
}

void ReceiveLoop(PortShared& s) {
    TLineSampler sampler;
    sampler.Start(s.fd);
    TReceiveFilter filter;
    TReadTimer timer;
    std::vector<uint8_t> gathered;
    gathered.reserve(2 * kReadBlockSize);
    uint8_t chunk[kReadBlockSize];

    Clock::time_point now = Clock::now();
    uint32_t timeoutsVersion = 0;
    const auto beginRead = [&](Clock::time_point at) {
        timeoutsVersion = s.timeoutsVersion.load();
        timer.Begin(CurrentTimeouts(s), at);
    };
    beginRead(now);
    Clock::time_point nextSample = now + kSampleInterval;
    uint32_t filterErrors = 0;

    for (;;) {
        now = Clock::now();
        switch (timer.Check(gathered.size(), now)) {
            case TReadTimer::Verdict::Deliver: {
                const size_t n = std::min(gathered.size(), kReadBlockSize);
                if (!PostData(s, gathered.data(), n)) {
                    s.Hangup();
                    return;
                }
                gathered.erase(gathered.begin(), gathered.begin() + static_cast<std::ptrdiff_t>(n));
                beginRead(now);
                if (!gathered.empty()) timer.BytesArrived(now);
                continue;
            }
            case TReadTimer::Verdict::Restart:
                beginRead(now);
                continue;
            case TReadTimer::Verdict::Wait:
                break;
        }

        if (sampler.Active() && now >= nextSample) {
            uint32_t modem = 0, errors = 0;
            sampler.Sample(modem, errors);
            if (errors != 0 && !PostErrors(s, errors)) {
                s.Hangup();
                return;
            }
            if (modem != 0 && !PostModem(s, modem)) {
                s.Hangup();
                return;
            }
            nextSample = now + kSampleInterval;
        }
        if (filterErrors != 0) {
            if (!PostErrors(s, filterErrors)) {
                s.Hangup();
                return;
            }
            filterErrors = 0;
        }

        int timeout = timer.PollTimeoutMs(gathered.size(), now);
        if (sampler.Active()) {
            const auto untilSample =
                std::chrono::ceil<std::chrono::milliseconds>(nextSample - now).count();
            const int sampleWait = static_cast<int>(std::max<int64_t>(untilSample, 0));
            timeout = timeout < 0 ? sampleWait : std::min(timeout, sampleWait);
        }

        pollfd fds[2] = {{s.stopFd, POLLIN, 0}, {s.fd, POLLIN, 0}};
        const int ready = poll(fds, 2, timeout);
        if (ready < 0) {
            if (errno == EINTR) continue;
            s.Hangup();
            return;
        }
        if (fds[0].revents != 0) return;  // closed, or the other thread failed
        const short ev = fds[1].revents;
        if (ev == 0) continue;
        if (ev & POLLNVAL) return;  // the descriptor was closed underneath: end quietly

        const ssize_t n = read(s.fd, chunk, sizeof chunk);
        if (n > 0) {
            // New time-outs apply to the next read; a read that has nothing
            // yet counts as next, so a change while the line was quiet
            // applies to the bytes that end the quiet.
            if (gathered.empty() && s.timeoutsVersion.load() != timeoutsVersion) {
                beginRead(Clock::now());
            }
            uint32_t errors = 0;
            filter.Filter(CurrentFilter(s), chunk, static_cast<size_t>(n), gathered, errors);
            if (!sampler.CountsErrors()) filterErrors |= errors;
            // The interval runs from the last byte on the line, also when the
            // filter kept it back (a dropped zero byte, half a parity mark).
            timer.BytesArrived(Clock::now());
        } else if (n == 0) {
            // End of file on a terminal: it was hung up (a USB adapter pulled
            // out, the far side of a pseudo-terminal closed).
            s.Hangup();
            return;
        } else if (errno == EAGAIN || errno == EINTR) {
            // Readiness without data. With a hang-up or an error flag this
            // would repeat for ever, so it ends the thread instead.
            if (ev & (POLLHUP | POLLERR)) {
                s.Hangup();
                return;
            }
        } else if (errno == EBADF) {
            return;
        } else {
            s.Hangup();  // EIO: the device went away
            return;
        }
    }
}

// Writes a whole block; false when it could not (stop signal, failure).
bool WriteAll(PortShared& s, const std::vector<uint8_t>& block) {
    size_t done = 0;
    while (done < block.size()) {
        const ssize_t n = write(s.fd, block.data() + done, block.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            // The driver's buffer is full (flow control held, a slow line):
            // wait for room or the stop signal.
            pollfd fds[2] = {{s.stopFd, POLLIN, 0}, {s.fd, POLLOUT, 0}};
            if (poll(fds, 2, -1) < 0) {
                if (errno == EINTR) continue;
                s.Hangup();
                return false;
            }
            if (fds[0].revents != 0) return false;
            if (fds[1].revents & POLLNVAL) return false;
            if ((fds[1].revents & (POLLHUP | POLLERR)) && !(fds[1].revents & POLLOUT)) {
                s.Hangup();
                return false;
            }
            continue;
        }
        if (n < 0 && errno == EBADF) return false;
        s.Hangup();  // EIO on a vanished device, or a write that makes no progress
        return false;
    }
    return true;
}

void TransmitLoop(PortShared& s) {
    bool announceEmpty = true;
    for (;;) {
        std::vector<uint8_t> block;
        bool have = false;
        {
            std::lock_guard lock(s.queueMutex);
            if (!s.queue.empty()) {
                block = std::move(s.queue.front());
                s.queue.pop_front();
                have = true;
            }
        }
        if (!have) {
            s.transmitIdle.store(true);
            if (announceEmpty) {
                if (!PostSendDataEmpty(s)) {
                    s.Hangup();
                    return;
                }
                announceEmpty = false;
            }
            pollfd fds[2] = {{s.stopFd, POLLIN, 0}, {s.queueFd, POLLIN, 0}};
            if (poll(fds, 2, -1) < 0) {
                if (errno == EINTR) continue;
                s.Hangup();
                return;
            }
            if (fds[0].revents != 0) return;
            if (fds[1].revents & POLLIN) DrainEventFd(s.queueFd);
            continue;
        }
        if (s.StopSignalled()) return;
        if (!WriteAll(s, block)) return;
        announceEmpty = true;
    }
}

}  // namespace

bool PortShared::Post(std::function<void(TComm&)> action) {
    try {
        dispatcher.post([t = target, action = std::move(action)] {
            if (auto p = t.lock(); p && p->comm) action(*p->comm);
        });
        return true;
    } catch (...) {
        return false;
    }
}

void PortShared::Hangup() {
    if (!hangupPosted.exchange(true)) {
        Post([](TComm& comm) {
            const TNotifyEvent handler = comm.OnRequestHangup;
            if (handler) handler();
        });
    }
    SignalStop();
}

void PortShared::SignalStop() {
    const uint64_t one = 1;
    while (write(stopFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool PortShared::StopSignalled() const {
    pollfd fd{stopFd, POLLIN, 0};
    return poll(&fd, 1, 0) > 0 && (fd.revents & POLLIN);
}

void RunReceiveThread(PortShared& s) {
    ReceiveLoop(s);
    // Every way out abandons what is still in the driver's input queue.
    tcflush(s.fd, TCIFLUSH);
}

void RunTransmitThread(PortShared& s) {
    TransmitLoop(s);
    {
        std::lock_guard lock(s.queueMutex);
        s.accepting = false;
        s.queue.clear();
    }
    tcflush(s.fd, TCOFLUSH);
    s.transmitIdle.store(true);
}

}  // namespace plu
