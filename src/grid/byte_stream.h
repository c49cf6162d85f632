// Byte streams for the persistent forms of the grid's lists: little-endian
// integers and raw blocks over a growable memory buffer. Reading past the end
// raises EReadError and never touches memory outside the buffer, so any bytes
// may be handed to a reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "base/exceptions.h"

namespace plu {

// Reading beyond the end of a stream, or a stream whose contents make no sense.
class EReadError : public Exception {
  public:
    using Exception::Exception;
};

class TKtStream {
  public:
    virtual ~TKtStream() = default;
    // Reads exactly out.size() bytes; throws EReadError when fewer are left
    // (the position then stays where it was).
    virtual void ReadBuffer(std::span<uint8_t> out) = 0;
    virtual void WriteBuffer(std::span<const uint8_t> bytes) = 0;
    // Bytes left to read.
    virtual size_t Remaining() const = 0;

    uint8_t ReadU8();
    int32_t ReadI32();
    uint16_t ReadU16();
    void WriteU8(uint8_t v);
    void WriteU16(uint16_t v);
    void WriteI32(int32_t v);
};

// A stream over an owned byte vector; writes append at the position
// (overwriting what is there), reads advance the position.
class TMemoryStream : public TKtStream {
  public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    void ReadBuffer(std::span<uint8_t> out) override;
    void WriteBuffer(std::span<const uint8_t> bytes) override;
    size_t Remaining() const override { return bytes_.size() - position_; }

    size_t Position() const { return position_; }
    void Seek(size_t position) { position_ = position > bytes_.size() ? bytes_.size() : position; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

  private:
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
};

}  // namespace plu
