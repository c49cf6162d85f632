#include "formats/biff8/xls_writer.h"

#include <cstring>
#include <string>

#include "formats/biff8/byte_stream.h"
#include "formats/biff8/xls_errors.h"
#include "formats/biff8/xls_record.h"

namespace plu {

void TXlsWriter::SetPosition(size_t position) {
    position_ = position < bytes_.size() ? position : bytes_.size();
}

uint8_t* TXlsWriter::Room(size_t n) {
    if (position_ + n > bytes_.size()) bytes_.resize(position_ + n);
    uint8_t* p = bytes_.data() + position_;
    position_ += n;
    return p;
}

void TXlsWriter::WriteByte(uint8_t v) { *Room(1) = v; }

void TXlsWriter::WriteWord(uint16_t v) { TVxBuffer::SetWord(Room(2), v); }

void TXlsWriter::WriteLong(uint32_t v) { TVxBuffer::SetLong(Room(4), v); }

void TXlsWriter::WriteDouble(double v) { std::memcpy(Room(8), &v, 8); }

void TXlsWriter::WriteBytes(std::span<const uint8_t> bytes) {
    if (bytes.empty()) return;
    std::memcpy(Room(bytes.size()), bytes.data(), bytes.size());
}

void TXlsWriter::WriteHeader(uint16_t id, uint16_t length) {
    uint8_t* p = Room(4);
    TVxBuffer::SetWord(p, id);
    TVxBuffer::SetWord(p + 2, length);
}

void TXlsWriter::WriteRecord(uint16_t id, std::span<const uint8_t> body) {
    if (body.size() > static_cast<size_t>(kMaxRecordBody)) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%04X", static_cast<unsigned>(id));
        RaiseXlsLimit("Record 0x" + std::string(hex) + " of " + std::to_string(body.size()) +
                      " bytes is too long for an Excel 97-2003 file (at most " +
                      std::to_string(kMaxRecordBody) + ")");
    }
    uint8_t* p = Room(4 + body.size());
    TVxBuffer::SetWord(p, id);
    TVxBuffer::SetWord(p + 2, static_cast<uint16_t>(body.size()));
    if (!body.empty()) std::memcpy(p + 4, body.data(), body.size());
}

void TXlsWriter::WriteRecord(const TXlsRecord& record) {
    for (const TXlsRecord* r = &record; r; r = r->Continuation()) WriteRecord(r->Id(), r->Body());
}

void TXlsWriter::PatchLong(size_t position, uint32_t v) {
    const size_t back = position_;
    SetPosition(position);
    WriteLong(v);
    position_ = back;
}

std::vector<uint8_t> TXlsWriter::TakeBytes() {
    position_ = 0;
    flushed_ = 0;
    return std::move(bytes_);
}

void TXlsWriter::Flush() {
    if (!target_ || flushed_ >= bytes_.size()) return;
    target_->Write(std::span<const uint8_t>(bytes_).subspan(flushed_));
    flushed_ = bytes_.size();
}

}  // namespace plu
