#include "virtual-scale/frame_assembler.h"

#include "link/frame.h"

namespace plu::virtual_scale {

std::vector<std::string> FrameAssembler::Feed(std::string_view bytes) {
    std::vector<std::string> bodies;
    for (char b : bytes) {
        if (buffer_.empty()) {
            if (b == kStx) buffer_.push_back(b);
            continue;
        }
        if (b == kStx) {  // a new frame begins: the unfinished one was noise
            buffer_.assign(1, b);
            continue;
        }
        buffer_.push_back(b);
        const std::size_t n = buffer_.size();
        if (n >= 3 && buffer_[n - 2] == kCr && buffer_[n - 1] == kEtx) {
            bodies.push_back(buffer_.substr(1, n - 3));
            buffer_.clear();
        } else if (n > kMaxFrame) {
            buffer_.clear();
        }
    }
    return bodies;
}

}  // namespace plu::virtual_scale
