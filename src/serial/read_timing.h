// When the receive thread hands over what it has gathered: the classic
// serial read time-outs (see TCommTimeouts) applied to one read at a time.
// A read begins empty; it completes when its buffer is full, when the
// interval time-out passes after a byte, or when its total time-out expires.
// A read that expires without any byte simply begins again.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "serial/line_settings.h"

namespace plu {

// The size of one read: the most that one OnReceiveData carries.
inline constexpr size_t kReadBlockSize = 4096;

class TReadTimer {
public:
    using Clock = std::chrono::steady_clock;
    enum class Verdict { Wait, Deliver, Restart };

    // Starts a read with the time-outs in force now.
    void Begin(const TCommTimeouts& timeouts, Clock::time_point now);
    void BytesArrived(Clock::time_point now) { lastByte_ = now; }
    Verdict Check(size_t gathered, Clock::time_point now) const;
    // Milliseconds until Check may change its verdict without new bytes
    // (rounded up), or -1 for no limit.
    int PollTimeoutMs(size_t gathered, Clock::time_point now) const;

private:
    enum class Mode { Normal, Immediate, FirstBytes };
    Mode mode_ = Mode::Normal;
    std::chrono::milliseconds interval_{0};  // 0: none
    std::chrono::milliseconds total_{0};     // 0: none
    Clock::time_point start_{};
    Clock::time_point lastByte_{};
};

}  // namespace plu
