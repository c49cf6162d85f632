#include "serial/read_timing.h"

#include <algorithm>
#include <limits>

namespace plu {

namespace {
constexpr uint32_t kMax = std::numeric_limits<uint32_t>::max();
constexpr uint64_t kTotalCapMs = uint64_t{1} << 40;  // about 35 years
}

void TReadTimer::Begin(const TCommTimeouts& t, Clock::time_point now) {
    start_ = now;
    lastByte_ = now;
    interval_ = std::chrono::milliseconds(0);
    total_ = std::chrono::milliseconds(0);
    if (t.ReadIntervalTimeout == kMax && t.ReadTotalTimeoutMultiplier == 0 &&
        t.ReadTotalTimeoutConstant == 0) {
        mode_ = Mode::Immediate;
    } else if (t.ReadIntervalTimeout == kMax && t.ReadTotalTimeoutMultiplier == kMax &&
               t.ReadTotalTimeoutConstant > 0 && t.ReadTotalTimeoutConstant < kMax) {
        mode_ = Mode::FirstBytes;
        total_ = std::chrono::milliseconds(t.ReadTotalTimeoutConstant);
    } else {
        mode_ = Mode::Normal;
        // An interval of "infinity" outside the two special forms waits for
        // the total time-out or a full buffer, as no interval would.
        if (t.ReadIntervalTimeout != kMax) interval_ = std::chrono::milliseconds(t.ReadIntervalTimeout);
        const uint64_t total = uint64_t{t.ReadTotalTimeoutMultiplier} * kReadBlockSize +
                               t.ReadTotalTimeoutConstant;
        // Capped far beyond any real wait so that clock arithmetic in
        // nanoseconds cannot overflow (the uncapped product reaches 2^44 ms).
        total_ = std::chrono::milliseconds(static_cast<int64_t>(std::min<uint64_t>(total, kTotalCapMs)));
    }
}

TReadTimer::Verdict TReadTimer::Check(size_t gathered, Clock::time_point now) const {
    if (gathered >= kReadBlockSize) return Verdict::Deliver;
    switch (mode_) {
        case Mode::Immediate:
            return gathered > 0 ? Verdict::Deliver : Verdict::Wait;
        case Mode::FirstBytes:
            if (gathered > 0) return Verdict::Deliver;
            return now - start_ >= total_ ? Verdict::Restart : Verdict::Wait;
        case Mode::Normal:
            break;
    }
    if (gathered > 0 && interval_.count() > 0 && now - lastByte_ >= interval_) return Verdict::Deliver;
    if (total_.count() > 0 && now - start_ >= total_) {
        return gathered > 0 ? Verdict::Deliver : Verdict::Restart;
    }
    return Verdict::Wait;
}

int TReadTimer::PollTimeoutMs(size_t gathered, Clock::time_point now) const {
    if (Check(gathered, now) != Verdict::Wait) return 0;
    Clock::duration wait = Clock::duration::max();
    if (mode_ == Mode::FirstBytes || (mode_ == Mode::Normal && total_.count() > 0)) {
        wait = std::min(wait, start_ + total_ - now);
    }
    if (mode_ == Mode::Normal && gathered > 0 && interval_.count() > 0) {
        wait = std::min(wait, lastByte_ + interval_ - now);
    }
    if (wait == Clock::duration::max()) return -1;
    const auto ms = std::chrono::ceil<std::chrono::milliseconds>(wait).count();
    return static_cast<int>(std::clamp<int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

}  // namespace plu
