#include "grid/byte_stream.h"

#include <cstring>

namespace plu {

uint8_t TKtStream::ReadU8() {
    uint8_t b[1];
    ReadBuffer(b);
    return b[0];
}

uint16_t TKtStream::ReadU16() {
    uint8_t b[2];
    ReadBuffer(b);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

int32_t TKtStream::ReadI32() {
    uint8_t b[4];
    ReadBuffer(b);
    uint32_t v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                 (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
    return static_cast<int32_t>(v);
}

void TKtStream::WriteU8(uint8_t v) {
    const uint8_t b[1] = {v};
    WriteBuffer(b);
}

void TKtStream::WriteU16(uint16_t v) {
    const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    WriteBuffer(b);
}

void TKtStream::WriteI32(int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8),
                          static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 24)};
    WriteBuffer(b);
}

void TMemoryStream::ReadBuffer(std::span<uint8_t> out) {
    if (out.size() > Remaining()) throw EReadError("Stream read error");
    if (!out.empty()) std::memcpy(out.data(), bytes_.data() + position_, out.size());
    position_ += out.size();
}

void TMemoryStream::WriteBuffer(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return;
    size_t end = position_ + bytes.size();
    if (end > bytes_.size()) bytes_.resize(end);
    std::memcpy(bytes_.data() + position_, bytes.data(), bytes.size());
    position_ = end;
}

}  // namespace plu
