// Faults the virtual scale injects on request, to exercise the PC's
// recovery. A rule says what to do, to how many replies, and optionally to
// which frames (by the leading letters of the frame received).
//
// Text form, as the --fault option takes it:  KIND[:COUNT[:FRAMES[:MS]]]
//   KIND    checksum  replies that carry a checksum get a wrong one
//           reject    "BA" to a header, "DA" to a record, "TA" to a clock frame
//           silent    no reply at all
//           split     the reply in two bursts, 150 ms apart (each half alone
//                     is no frame for the PC)
//           garbage   a burst of noise before the reply (never 0x11/0x13)
//           garbage-xoff  the same with an XOFF and an XON inside (only where
//                     flow control is what is tested)
//           corrupt   noise glued in front of the reply, in the same burst
//           letters   a record sent up with a letter among the digits of its
//                     unit price (checksum correct: the PC takes the record)
//           pause     the reply only after MS milliseconds (default 500)
//           unplug    no reply: the scale closes its pseudo-terminal, stays
//                     away for MS milliseconds (default 1500) and comes back
//                     at the same path (needs --link)
//   COUNT   how many matching replies (default 1), or "all"; "COUNT@SKIP"
//           lets the first SKIP matching frames pass untouched
//   FRAMES  comma-separated prefixes of the frames concerned, e.g. "L" or
//           "U,UA" or "BD" (default: every frame; "*" says so explicitly)
//   MS      only for pause and unplug: how long, in milliseconds
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plu::virtual_scale {

enum class FaultKind {
    BadChecksum,
    Reject,
    Silent,
    Split,
    Garbage,
    GarbageXoff,
    Corrupt,
    Letters,
    Pause,
    Unplug
};

// Whether a kind lasts for a while (and takes the MS field).
bool HasDuration(FaultKind kind);

struct FaultRule {
    FaultKind kind = FaultKind::Silent;
    int remaining = 1;                  // -1: no limit
    int skip = 0;                       // matching frames to let pass first
    std::vector<std::string> prefixes;  // empty: every frame
    int milliseconds = 0;               // pause and unplug: how long
};

// The rule of a text form, or nothing (with a reason) when it is malformed.
std::optional<FaultRule> ParseFaultRule(std::string_view text, std::string* error = nullptr);

class FaultPlan {
  public:
    void Add(const FaultRule& rule) { rules_.push_back(rule); }
    // True when a rule of this kind applies to the frame body received; uses
    // up one of that rule's count.
    bool Take(FaultKind kind, std::string_view frameBody);
    // The same, giving the matching rule's duration (nothing when none applies).
    std::optional<int> TakeTimed(FaultKind kind, std::string_view frameBody);
    // True when some rule is of this kind.
    bool Has(FaultKind kind) const;
    bool Empty() const { return rules_.empty(); }

  private:
    std::vector<FaultRule> rules_;
};

}  // namespace plu::virtual_scale
