// The record stream a workbook is written into: a growable buffer with a
// position, little-endian writes, back-patching of offsets written earlier
// (BOUNDSHEET, INDEX, DBCELL positions) and the format's record limit. The
// bytes go to the target stream (when one was given) on Flush.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace plu {

class TXlsByteStream;
class TXlsRecord;

class TXlsWriter {
public:
    explicit TXlsWriter(TXlsByteStream* target = nullptr) : target_(target) {}

    size_t Position() const { return position_; }
    // Moves the position (within the bytes written so far).
    void SetPosition(size_t position);

    void WriteByte(uint8_t v);
    void WriteWord(uint16_t v);
    void WriteLong(uint32_t v);
    void WriteDouble(double v);
    void WriteBytes(std::span<const uint8_t> bytes);
    void WriteHeader(uint16_t id, uint16_t length);
    // Header with the record's id and size, then the body; then its CONTINUE
    // chain, if any. A body above kMaxRecordBody bytes is refused.
    void WriteRecord(const TXlsRecord& record);
    void WriteRecord(uint16_t id, std::span<const uint8_t> body);
    // Writes v at position and returns to where the writer was.
    void PatchLong(size_t position, uint32_t v);

    void Reserve(size_t bytes) { bytes_.reserve(bytes); }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t> TakeBytes();
    // Hands the bytes written so far to the target stream.
    void Flush();

private:
    uint8_t* Room(size_t n);

    TXlsByteStream* target_;
    std::vector<uint8_t> bytes_;
    size_t position_ = 0;
    size_t flushed_ = 0;
};

}  // namespace plu
