// What the receive thread does to the bytes it reads before handing them on:
// decoding the kernel's parity marks and dropping zero bytes on request.
//
// With parity checking on, the port runs with INPCK and PARMRK, so the kernel
// marks each byte received with a parity or framing error as FF 00 x, a break
// as FF 00 00, and escapes a genuine FF as FF FF. The filter turns the marks
// back into bytes: a byte with an error passes unchanged or, with
// ReplaceErrors, becomes Replacement; a break becomes a zero byte. It notes
// CE_RXPARITY for an error byte and CE_BREAK for a break. A mark may be split
// between two reads; the filter keeps its state across calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plu {

struct TReceiveFilterSettings {
    bool Marked = false;         // the port marks errors (PARMRK)
    bool ReplaceErrors = false;  // replace bytes with errors by Replacement
    uint8_t Replacement = 0;
    bool IgnoreNull = false;     // drop received zero bytes (not replacements)
};

class TReceiveFilter {
public:
    // Appends the decoded form of `data` to `out`; ORs line-error bits into
    // `errors`.
    void Filter(const TReceiveFilterSettings& settings, const uint8_t* data, size_t count,
                std::vector<uint8_t>& out, uint32_t& errors);
    void Reset() { state_ = State::Plain; }

private:
    enum class State { Plain, AfterFF, AfterFF00 };
    State state_ = State::Plain;
};

}  // namespace plu
