// The scale's side of framing: bytes arrive as a stream (the PC's frames may
// come together or in pieces); every STX … CR ETX in it is one frame. Bytes
// outside a frame are dropped, and a frame that grows beyond any frame of
// the catalogue is abandoned, so noise can never make the buffer grow.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plu::virtual_scale {

class FrameAssembler {
public:
    // Appends bytes and returns the bodies of the frames completed by them.
    std::vector<std::string> Feed(std::string_view bytes);
    std::size_t Buffered() const { return buffer_.size(); }

    static constexpr std::size_t kMaxFrame = 512;

private:
    std::string buffer_;  // from an STX on, or empty
};

}  // namespace plu::virtual_scale
