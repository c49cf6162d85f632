#include "serial/receive_filter.h"

#include "serial/comm.h"

namespace plu {

void TReceiveFilter::Filter(const TReceiveFilterSettings& s, const uint8_t* data, size_t count,
                            std::vector<uint8_t>& out, uint32_t& errors) {
    auto plain = [&](uint8_t b) {
        if (b != 0 || !s.IgnoreNull) out.push_back(b);
    };
    for (size_t i = 0; i < count; ++i) {
        const uint8_t b = data[i];
        switch (state_) {
            case State::Plain:
                if (s.Marked && b == 0xFF) {
                    state_ = State::AfterFF;
                } else {
                    plain(b);
                }
                break;
            case State::AfterFF:
                if (b == 0x00) {
                    state_ = State::AfterFF00;
                } else {
                    // FF FF is an escaped FF; anything else cannot come from
                    // the kernel (marking was switched on mid-stream): keep both.
                    state_ = State::Plain;
                    out.push_back(0xFF);
                    if (b != 0xFF) plain(b);
                }
                break;
            case State::AfterFF00:
                state_ = State::Plain;
                if (b == 0x00) {
                    errors |= CE_BREAK;
                    plain(0);
                } else {
                    errors |= CE_RXPARITY;
                    out.push_back(s.ReplaceErrors ? s.Replacement : b);
                }
                break;
        }
    }
}

}  // namespace plu
