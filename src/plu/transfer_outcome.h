// How a transfer ended, for callers that drive one without a window (the
// window learns the same from the message boxes).
#pragma once

namespace plu {

enum class TransferOutcome {
    None,        // nothing started yet
    Running,     // frames are going out
    Succeeded,   // the scale confirmed the end
    Stopped,     // a download ended early by Stop
    DataErrors,  // a download refused by the validation; nothing was sent
    Abandoned,   // the link was lost before the end; no message is shown
};

}  // namespace plu
