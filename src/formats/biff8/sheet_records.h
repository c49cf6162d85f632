// Records of a sheet substream (and BOF/EOF, which frame every substream).
#pragma once

#include <cstdint>
#include <memory>

#include "formats/biff8/xls_record.h"

namespace plu {

// BOF: version (u16 at 0), substream type (u16 at 2).
class TBOFRecord : public TXlsRecord {
public:
    static constexpr uint16_t kGlobals = 0x0005;
    static constexpr uint16_t kWorksheet = 0x0010;
    static constexpr uint16_t kChart = 0x0020;
    // 16-byte body: version 0x0600, the type, zeros.
    static std::unique_ptr<TBOFRecord> Make(uint16_t type);
    uint16_t Version() const { return GetWord(0); }
    uint16_t SubstreamType() const { return GetWord(2); }
};

class TEOFRecord : public TXlsRecord {
public:
    static std::unique_ptr<TEOFRecord> Make();
};

// ROW: row (u16 at 0), first column (u16 at 2), column end (u16 at 4), height
// in twips (u16 at 6, bit 15 ignored), option flags (u16 at 12), XF (u16 at 14).
class TRowRecord : public TXlsRecord {
public:
    static constexpr uint16_t kCustomHeight = 0x0040;
    static constexpr uint16_t kHidden = 0x0020;
    static constexpr uint16_t kExplicitFormat = 0x0080;
    static constexpr uint16_t kAlwaysSet = 0x0100;
    // A 16-byte ROW record.
    static std::unique_ptr<TRowRecord> Make(uint16_t row, uint16_t firstCol, uint16_t colEnd,
                                            uint16_t height, uint16_t options, uint16_t xf);
    uint16_t Row() const { return GetWord(0); }
    uint16_t FirstCol() const { return GetWord(2); }
    void SetFirstCol(uint16_t v) { SetWord(2, v); }
    uint16_t ColEnd() const { return GetWord(4); }
    void SetColEnd(uint16_t v) { SetWord(4, v); }
    uint16_t Height() const { return GetWord(6) & 0x7FFF; }
    void SetHeight(uint16_t twips) { SetWord(6, static_cast<uint16_t>(twips & 0x7FFF)); }
    uint16_t Options() const { return GetWord(12); }
    void SetOptions(uint16_t v) { SetWord(12, v); }
    uint16_t XF() const { return GetWord(14); }
};

// COLINFO: first column, last column, width (1/256 of a character), XF,
// option flags (bit 0 hidden), a zero u16.
class TColInfoRecord : public TXlsRecord {
public:
    static std::unique_ptr<TColInfoRecord> Make(uint16_t first, uint16_t last, uint16_t width,
                                                uint16_t xf, uint16_t options);
    uint16_t FirstCol() const { return GetWord(0); }
    uint16_t LastCol() const { return GetWord(2); }
    uint16_t Width() const { return GetWord(4); }
    uint16_t XF() const { return GetWord(6); }
    uint16_t Options() const { return GetWord(8); }
};

// DIMENSIONS: first row (u32 at 0), last row + 1 (u32 at 4), first column
// (u16 at 8), last column + 1 (u16 at 10), zero (u16 at 12).
class TDimensionsRecord : public TXlsRecord {
public:
    static std::unique_ptr<TDimensionsRecord> Make(uint32_t firstRow, uint32_t rowEnd,
                                                   uint16_t firstCol, uint16_t colEnd);
    uint32_t FirstRow() const { return GetLong(0); }
    uint32_t RowEnd() const { return GetLong(4); }
    uint16_t FirstCol() const { return GetWord(8); }
    uint16_t ColEnd() const { return GetWord(10); }
};

// WINDOW2: option flags (u16 at 0; bit 3 frozen panes), top row, left
// column, grid line colour index (u16 at 6).
class TWindow2Record : public TXlsRecord {
public:
    static constexpr uint16_t kFrozen = 0x0008;
    // 18-byte body: flags 0x06B6, top row 0, left column 0, colour 64.
    static std::unique_ptr<TWindow2Record> MakeDefault();
    uint16_t Options() const { return GetWord(0); }
    uint16_t TopRow() const { return GetWord(2); }
    uint16_t LeftCol() const { return GetWord(4); }
    uint16_t GridLineColor() const { return GetWord(6); }
    bool Frozen() const { return (Options() & kFrozen) != 0; }
};

// PANE: frozen column count (u16 at 0), frozen row count (u16 at 2), first
// row of the lower pane (u16 at 4), first column of the right pane (u16 at 6).
class TPaneRecord : public TXlsRecord {
public:
    uint16_t FrozenCols() const { return GetWord(0); }
    uint16_t FrozenRows() const { return GetWord(2); }
    uint16_t TopRow() const { return GetWord(4); }
    uint16_t LeftCol() const { return GetWord(6); }
};

// DEFCOLWIDTH: default width in characters (u16 at 0).
class TDefaultColWidthRecord : public TXlsRecord {
public:
    static std::unique_ptr<TDefaultColWidthRecord> Make(uint16_t characters);
    uint16_t Width() const { return GetWord(0); }
};

// DEFAULTROWHEIGHT: option flags (u16 at 0), height in twips (u16 at 2).
class TDefaultRowHeightRecord : public TXlsRecord {
public:
    static std::unique_ptr<TDefaultRowHeightRecord> Make(uint16_t options, uint16_t twips);
    uint16_t Options() const { return GetWord(0); }
    uint16_t Height() const { return GetWord(2); }
    void SetHeight(uint16_t twips) { SetWord(2, twips); }
};

class TStandardWidthRecord : public TXlsRecord {};

// PROTECT: the sheet is protected when the u16 at 0 is not zero.
class TProtectRecord : public TXlsRecord {
public:
    bool Protected() const { return GetWord(0) != 0; }
};

// INDEX: zero (u32), first row (u32), last row + 1 (u32), position of
// DEFCOLWIDTH (u32), one DBCELL position (u32) per row block.
class TIndexRecord : public TXlsRecord {
public:
    static std::unique_ptr<TIndexRecord> Make(uint32_t firstRow, uint32_t rowEnd, int blocks);
    uint32_t FirstRow() const { return GetLong(4); }
    uint32_t RowEnd() const { return GetLong(8); }
    uint32_t DefColWidthPosition() const { return GetLong(12); }
    void SetDefColWidthPosition(uint32_t v) { SetLong(12, v); }
    int BlockCount() const { return Size() >= 16 ? (Size() - 16) / 4 : 0; }
    uint32_t DBCellPosition(int block) const { return GetLong(16 + 4 * block); }
    void SetDBCellPosition(int block, uint32_t v) { SetLong(16 + 4 * block, v); }
};

class TDBCellRecord : public TXlsRecord {};

// A list of cell ranges: count (u16 at 0), then first row, last row, first
// column, last column (u16 each) per range.
class TCellRangesRecord : public TXlsRecord {
public:
    struct Range {
        uint16_t firstRow = 0, lastRow = 0, firstCol = 0, lastCol = 0;
        bool operator==(const Range&) const = default;
    };
    // Ranges the body really holds (the count, bounded by the body).
    int RangeCount() const;
    Range GetRange(int index) const;
    void AddRange(const Range& range);
};

// MERGEDCELLS: created with 0 ranges.
class TMergedCellsRecord : public TCellRangesRecord {
public:
    static std::unique_ptr<TMergedCellsRecord> Make();
};

}  // namespace plu
