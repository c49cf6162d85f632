// Reads records from a workbook stream held in memory.
//
// A record is created by its id (the classes of the reader's table; all other
// ids become plain TXlsRecord objects) and filled with its body; a body cut
// short by the end of the stream keeps its declared size with zero bytes.
// After each record the reader looks at the next header:
//  - CONTINUE records are read and attached, one hanging on the next;
//  - a STRING after a FORMULA with a string result is decoded into the
//    formula; after a FORMULA without one, a SHRFMLA or a TABLE it is left
//    for the next read; after anything else: message 65224;
//  - a TABLE after a FORMULA is attached to it; after anything else: 65224.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "formats/biff8/xls_record.h"

namespace plu {

// The object for a record id with a zeroed body of size bytes (65225 for a
// row/column record of 3 bytes or fewer).
std::unique_ptr<TXlsRecord> CreateRecord(uint16_t id, int32_t size);

class TXlsReader {
public:
    // The bytes must outlive the reader.
    explicit TXlsReader(std::span<const uint8_t> stream) : stream_(stream) {}

    // The next record, or nullptr at the end of the stream. raiseOnError:
    // a header cut off before the end of the stream fails with 65224.
    std::unique_ptr<TXlsRecord> ReadRecord(bool raiseOnError = true);
    bool AtEnd() const { return position_ >= stream_.size(); }
    size_t Position() const { return position_; }
    // The id and stream offset of the record read last (for error messages).
    uint16_t LastId() const { return lastId_; }
    size_t LastStart() const { return lastStart_; }

  private:
    // Reads 4 header bytes into id_/length_ and sets the pending flag.
    bool ReadHeader(bool raiseOnError);
    std::unique_ptr<TXlsRecord> ReadOne();
    void LookAhead(TXlsRecord& record);

    std::span<const uint8_t> stream_;
    size_t position_ = 0;
    uint16_t id_ = 0;
    uint16_t length_ = 0;
    bool pending_ = false;
    uint16_t lastId_ = 0;
    size_t lastStart_ = 0;
};

}  // namespace plu
