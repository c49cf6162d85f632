#include "formats/biff8/byte_stream.h"

#include <algorithm>
#include <cstring>

namespace plu {

size_t TXlsMemoryStream::Read(std::span<uint8_t> out) {
    size_t n = std::min(out.size(), bytes_.size() - position_);
    if (n) std::memcpy(out.data(), bytes_.data() + position_, n);
    position_ += n;
    return n;
}

void TXlsMemoryStream::Write(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return;
    if (position_ + bytes.size() > bytes_.size()) bytes_.resize(position_ + bytes.size());
    std::memcpy(bytes_.data() + position_, bytes.data(), bytes.size());
    position_ += bytes.size();
}

}  // namespace plu
