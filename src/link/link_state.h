// The protocol state that the link engine and the transfers share. It is
// touched only on the user-interface thread, by the timer tick and the
// receive handler, so it needs no lock.
#pragma once

#include <cstdint>
#include <string>

#include "base/wide_text.h"

namespace plu {

struct LinkState {
    std::string NextFrame;        // sent at the next sending tick
    std::string FrameInFlight;    // copy of the frame last sent; replies go by its first letter
    bool Connected = false;       // the scale answered a poll, no time-out since
    bool AwaitingReply = false;   // a frame is in flight and unanswered
    uint16_t ReplyTicks = 0;      // ticks waiting for a reply while connected
    uint16_t LinkTicks = 0;       // ticks without a link
    bool Transferring = false;    // a download or upload runs
    uint16_t CapacityClass = 0;   // 0, 1 or 2, from the identification
    bool Preset55 = false;        // 55 preset keys, else 5
    bool UnitKg = false, UnitLb = false, UnitOz = false;
    WideString ModelName = u"VARDEN-15kg";
};

// More ticks than this without an answer lose the link (51 ticks, 1.02 s).
constexpr uint16_t kReplyTimeoutTicks = 50;
// More ticks than this without a link move on to the next port setting.
constexpr uint16_t kLinkTimeoutTicks = 50;
// While disconnected, a link poll goes out on every tenth tick (200 ms).
constexpr uint16_t kPollEveryTicks = 10;
// The timer's period.
constexpr int kTickMilliseconds = 20;

}  // namespace plu
