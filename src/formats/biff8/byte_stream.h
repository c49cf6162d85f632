// The byte streams a workbook is loaded from and saved to (the "Workbook"
// stream of a compound document, or a caller's buffer).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace plu {

class TXlsByteStream {
public:
    virtual ~TXlsByteStream() = default;
    // Reads up to out.size() bytes at the position; returns how many arrived.
    virtual size_t Read(std::span<uint8_t> out) = 0;
    // Writes at the position, overwriting and extending as needed.
    virtual void Write(std::span<const uint8_t> bytes) = 0;
    virtual size_t Position() const = 0;
    // Moves the position; positions beyond the end are clamped to the size.
    virtual void Seek(size_t position) = 0;
    virtual size_t Size() const = 0;
};

// A stream over an owned growable buffer.
class TXlsMemoryStream : public TXlsByteStream {
public:
    TXlsMemoryStream() = default;
    explicit TXlsMemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    size_t Read(std::span<uint8_t> out) override;
    void Write(std::span<const uint8_t> bytes) override;
    size_t Position() const override { return position_; }
    void Seek(size_t position) override { position_ = position < bytes_.size() ? position : bytes_.size(); }
    size_t Size() const override { return bytes_.size(); }

    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t> TakeBytes() {
        position_ = 0;
        return std::move(bytes_);
    }

private:
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
};

}  // namespace plu
