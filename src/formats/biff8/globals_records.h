// Records of the workbook globals that are not colours, fonts or XF records
// (those are in palette.h, font_record.h and xf_record.h).
#pragma once

#include <cstdint>
#include <memory>

#include "base/wide_text.h"
#include "formats/biff8/xls_record.h"

namespace plu {

// BOUNDSHEET: stream position of the sheet's BOF (u32 at 0), visibility (byte
// at 4), sheet type (byte at 5), name (8-bit count string at 6).
class TBoundSheetRecord : public TXlsRecord {
public:
    uint32_t Position() const { return GetLong(0); }
    void SetPosition(uint32_t position) { SetLong(0, position); }
    uint8_t Visibility() const { return GetByte(4); }
    uint8_t SheetType() const { return GetByte(5); }
    WideString Name() const;
    // A visible worksheet at position 0 with that name; body 6 + encoded name.
    static std::unique_ptr<TBoundSheetRecord> Make(WideStringView name);
};

// FORMAT: format index (u16 at 0), format string (16-bit count string at 2).
class TFormatRecord : public TXlsRecord {
public:
    uint16_t FormatIndex() const { return GetWord(0); }
    WideString FormatString() const;
    static std::unique_ptr<TFormatRecord> Make(uint16_t index, WideStringView text);
};

// STYLE: one u32.
class TStyleRecord : public TXlsRecord {
public:
    static std::unique_ptr<TStyleRecord> Make(uint32_t value);
};

class TWindow1Record : public TXlsRecord {};

// SST: total count (u32 at 0), unique string count (u32 at 4), strings from 8.
class TSSTRecord : public TXlsRecord {
public:
    uint32_t UniqueCount() const { return GetLong(4); }
};

}  // namespace plu
