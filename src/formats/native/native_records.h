// Records of the native grid stream.
//
// Framing: a record is a u16 id, a u16 length and the body; a body of 65535
// bytes or more is written with the length 0xFFFF followed by a u32 holding
// the real length. All integers are little-endian. Strings are a character
// count (1 or 2 bytes, per field) followed by that many UTF-16LE code units.
//
// Record objects keep their body as bytes and read their fields from it on
// request. Readers never look outside the body: a field that lies beyond it
// reads as zero and a string stops at the body's end, so a damaged record
// gives odd values but never an out-of-bounds read. The only record that is
// refused on reading is a row/column record too short to hold a position
// (3 bytes or less): "0x%x 记录无效" with its id.
//
// Bodies (offsets into the body; cell records in the 0x0700 layout, where
// row and column are u32; a lower layout version has u16 row and column and
// every later field 4 bytes earlier):
//   BOF 0x0809          16: version u16, substream type u16 (0x0005 globals,
//                       0x0010 sheet), 12 zero bytes
//   EOF 0x000A          empty
//   FONT 0x0031         40: height i32, pitch u8, style u8, charset u8, name
//                       length u8 + 31 bytes (8-bit code page), zero byte
//   XF 0x00E0           76: see TKtXFRecord
//   IMAGE 0x2000        picture type u16, name length u16, name (8-bit),
//                       picture stream form to the end of the body
//   BOUNDSHEET 0x0085   position u32, visibility u8, type u8, name (1-byte count)
//   FORMAT 0x041E       format index u16, format string (2-byte count)
//   DIMENSIONS 0x0200   14: FixedRowCount u32, RowCount - 1 u32,
//                       FixedColCount u16, ColCount - 1 u16, zero u16
//   COLINFO 0x007D      12: first column, last column, width in twips,
//                       XF index, options, zero (all u16)
//   ROW 0x0208          18: row u16, first column u16, column end u16, height
//                       in twips u16 (bit 15 clear), 4 zero bytes, option
//                       flags u16 (bit 7: an XF index is present), XF index
//                       u16 (bits 0-11), tree value u16
//   BLANK 0x0201        10: row u32, column u32, XF index u16
//   NUMBER 0x0203       20: row, column, XF index, 80-bit extended float
//   LABEL 0x0204        row, column, XF index, text (2-byte count) at 10
//   FORMULA 0x0006      row, column, XF index, 16 zero bytes, source text
//                       (2-byte count) at 26
//   CHECKBOXCELL 0x2001 row, column, XF index, checked u8 at 10, caption
//                       (2-byte count) at 11, then the attached item text
//                       (2-byte count)
//   TAG 0x2002, HINT 0x2003, POSTIL 0x2004
//                       row u32, column u32, text (2-byte count) at 8
//   MERGEDCELLS 0x00E5  range count u16, then per range first row, last row,
//                       first column, last column (u16 each, inclusive)
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "base/color.h"
#include "base/exceptions.h"
#include "base/wide_text.h"
#include "grid/variant.h"

namespace plu {

// A damaged native stream: "读取记录失败. 文件无效" or "0x%x 记录无效".
class EGridFileError : public Exception {
  public:
    using Exception::Exception;
};

// "读取记录失败. 文件无效"
WideString ReadRecordFailedMessage();
// "0x%x 记录无效" for a record id.
WideString InvalidRecordMessage(uint16_t id);

namespace native_id {
constexpr uint16_t kBOF = 0x0809;
constexpr uint16_t kEOF = 0x000A;
constexpr uint16_t kFont = 0x0031;
constexpr uint16_t kXF = 0x00E0;
constexpr uint16_t kImage = 0x2000;
constexpr uint16_t kBoundSheet = 0x0085;
constexpr uint16_t kFormat = 0x041E;
constexpr uint16_t kDimensions = 0x0200;
constexpr uint16_t kColInfo = 0x007D;
constexpr uint16_t kRow = 0x0208;
constexpr uint16_t kBlank = 0x0201;
constexpr uint16_t kNumber = 0x0203;
constexpr uint16_t kLabel = 0x0204;
constexpr uint16_t kFormula = 0x0006;
constexpr uint16_t kCheckBoxCell = 0x2001;
constexpr uint16_t kTag = 0x2002;
constexpr uint16_t kHint = 0x2003;
constexpr uint16_t kPostil = 0x2004;
constexpr uint16_t kMergedCells = 0x00E5;
}  // namespace native_id

constexpr uint16_t kBofGlobals = 0x0005;
constexpr uint16_t kBofSheet = 0x0010;
constexpr uint16_t kBofChart = 0x0020;
constexpr uint16_t kGlobalsVersion = 0x0600;
// Sheets written with this version (and above) carry u32 rows and columns.
constexpr uint16_t kWideRowColVersion = 0x0700;
// The longest text a 2-byte count can announce.
constexpr size_t kMaxRecordText = 0xFFFF;

// Appends framed records to a byte buffer.
class TKtRecordWriter {
  public:
    void Write(uint16_t id, std::span<const uint8_t> body);
    std::vector<uint8_t>& Bytes() { return bytes_; }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    std::vector<uint8_t> Take() { return std::move(bytes_); }

  private:
    std::vector<uint8_t> bytes_;
};

// ---- Body building ----------------------------------------------------------------

void AppendU8(std::vector<uint8_t>& body, uint8_t v);
void AppendU16(std::vector<uint8_t>& body, uint16_t v);
void AppendU32(std::vector<uint8_t>& body, uint32_t v);
// A count-prefixed UTF-16LE string; text longer than the count can hold is
// cut (never inside a surrogate pair).
void AppendString(std::vector<uint8_t>& body, WideStringView text, int countBytes);

// ---- Records -----------------------------------------------------------------------------

class TKtDataRecord {
  public:
    // A zero-filled body of size bytes.
    TKtDataRecord(uint16_t id, size_t size) { Create(id, size); }
    TKtDataRecord(uint16_t id, std::vector<uint8_t> body) : id_(id), body_(std::move(body)) {}
    virtual ~TKtDataRecord() = default;
    TKtDataRecord(const TKtDataRecord&) = delete;
    TKtDataRecord& operator=(const TKtDataRecord&) = delete;

    // Re-initialises the record: a new id and a zero-filled body.
    virtual void Create(uint16_t id, size_t size);
    // Header and body.
    virtual void WriteTo(TKtRecordWriter& writer) const;
    // The bodies are equal over this record's size (a shorter other body
    // never equals).
    virtual bool SameBody(const TKtDataRecord& other) const;

    uint16_t Id() const { return id_; }
    size_t Size() const { return body_.size(); }
    const std::vector<uint8_t>& Body() const { return body_; }

    // Bounded field readers: bytes beyond the body read as zero.
    uint8_t U8(size_t offset) const;
    uint16_t U16(size_t offset) const;
    uint32_t U32(size_t offset) const;
    int32_t I32(size_t offset) const { return static_cast<int32_t>(U32(offset)); }
    // A count-prefixed string at offset (count of 1 or 2 bytes); the text
    // stops at the body's end. end, when given, receives the offset after
    // the announced text (which may lie beyond the body).
    WideString String(size_t offset, int countBytes, size_t* end = nullptr) const;

    // Field writers for records being built; writes outside the body are
    // ignored.
    void PutU8(size_t offset, uint8_t v);
    void PutU16(size_t offset, uint16_t v);
    void PutU32(size_t offset, uint32_t v);
    void PutI32(size_t offset, int32_t v) { PutU32(offset, static_cast<uint32_t>(v)); }

  protected:
    std::vector<uint8_t>& MutableBody() { return body_; }

  private:
    uint16_t id_ = 0;
    std::vector<uint8_t> body_;
};

class TKtBOFRecord : public TKtDataRecord {
  public:
    TKtBOFRecord(uint16_t id, std::vector<uint8_t> body) : TKtDataRecord(id, std::move(body)) {}
    TKtBOFRecord(uint16_t version, uint16_t type);
    // 0 for a record without a body.
    uint16_t Version() const { return U16(0); }
    uint16_t Type() const { return U16(2); }
};

class TKtEOFRecord : public TKtDataRecord {
  public:
    TKtEOFRecord(uint16_t id, std::vector<uint8_t> body) : TKtDataRecord(id, std::move(body)) {}
    TKtEOFRecord() : TKtDataRecord(native_id::kEOF, 0) {}
};

class TKtFontRecord : public TKtDataRecord {
  public:
    static constexpr size_t kSize = 40;
    TKtFontRecord(uint16_t id, std::vector<uint8_t> body) : TKtDataRecord(id, std::move(body)) {}
    TKtFontRecord(int32_t height, uint8_t pitch, uint8_t style, uint8_t charset,
                  WideStringView name);
    int32_t Height() const { return I32(0); }
    uint8_t Pitch() const { return U8(4); }
    uint8_t Style() const { return U8(5); }
    uint8_t Charset() const { return U8(6); }
    WideString Name() const;
};

// The grid style of a cell, column or row, flattened (76 bytes):
//   0 FONT index u16 (0 = the grid's own font)   2 format index u16
//   4 border colours of the ten slots, 10 x i32   44 line styles, 10 x u8
//   54 horizontal alignment u8   55 vertical alignment u8   56 options u8
//   57 three zero bytes   60 extra value i32   64 background colour i32
//   68 font colour i32   72 three zero bytes   75 used-attribute flags u8
// Colours are stored as the grid holds them (clNone included).
class TKtXFRecord : public TKtDataRecord {
  public:
    static constexpr size_t kSize = 76;
    TKtXFRecord(uint16_t id, std::vector<uint8_t> body) : TKtDataRecord(id, std::move(body)) {}
    TKtXFRecord() : TKtDataRecord(native_id::kXF, kSize) {}
    uint16_t FontIndex() const { return U16(0); }
    uint16_t FormatIndex() const { return U16(2); }
    TColor BorderColor(int slot) const { return I32(4 + 4 * static_cast<size_t>(slot)); }
    uint8_t BorderLine(int slot) const { return U8(44 + static_cast<size_t>(slot)); }
    uint8_t HorzAlign() const { return U8(54); }
    uint8_t VertAlign() const { return U8(55); }
    uint8_t Options() const { return U8(56); }
    int32_t ExtraValue() const { return I32(60); }
    TColor BgColor() const { return I32(64); }
    TColor FontColor() const { return I32(68); }
    uint8_t UsedAttributes() const { return U8(75); }
};

class TKtImageRecord : public TKtDataRecord {
  public:
    TKtImageRecord(uint16_t id, std::vector<uint8_t> body) : TKtDataRecord(id, std::move(body)) {}
    // The record of a picture; an empty body for pictures of another kind
    // (type 0).
    static std::unique_ptr<TKtImageRecord> ForPicture(uint16_t pictureType,
                                                      std::span<const uint8_t> data);
    uint16_t PictureType() const { return U16(0); }
    uint16_t NameLength() const { return U16(2); }
    // The picture bytes after the name; empty when the name leaves none.
    std::span<const uint8_t> PictureData() const;
};

class TKtBoundSheetRecord : public TKtDataRecord {
  public:
    TKtBoundSheetRecord(uint16_t id, std::vector<uint8_t> body)
        : TKtDataRecord(id, std::move(body)) {}
    explicit TKtBoundSheetRecord(WideStringView name);
    uint32_t Position() const { return U32(0); }
    WideString Name() const { return String(6, 1); }
};

class TKtFormatRecord : public TKtDataRecord {
  public:
    TKtFormatRecord(uint16_t id, std::vector<uint8_t> body) : TKtDataRecord(id, std::move(body)) {}
    TKtFormatRecord(uint16_t index, WideStringView text);
    uint16_t FormatIndex() const { return U16(0); }
    WideString Text() const { return String(2, 2); }
};

class TKtDimensionsRecord : public TKtDataRecord {
  public:
    TKtDimensionsRecord(uint16_t id, std::vector<uint8_t> body)
        : TKtDataRecord(id, std::move(body)) {}
    TKtDimensionsRecord(uint32_t fixedRows, uint32_t lastRow, uint16_t fixedCols, uint16_t lastCol);
    uint32_t FixedRowCount() const { return U32(0); }
    uint32_t LastRow() const { return U32(4); }
    uint16_t FixedColCount() const { return U16(8); }
    uint16_t LastCol() const { return U16(10); }
};

class TKtColInfoRecord : public TKtDataRecord {
  public:
    TKtColInfoRecord(uint16_t id, std::vector<uint8_t> body) : TKtDataRecord(id, std::move(body)) {}
    TKtColInfoRecord(uint16_t first, uint16_t last, uint16_t width, uint16_t xf, uint16_t options);
    uint16_t FirstCol() const { return U16(0); }
    uint16_t LastCol() const { return U16(2); }
    uint16_t Width() const { return U16(4); }
    uint16_t XFIndex() const { return U16(6); }
    uint16_t Options() const { return U16(8); }
};

constexpr uint16_t kRowFlagsWritten = 0x0180;
constexpr uint16_t kRowFlagHasXF = 0x0080;

class TKtRowRecord : public TKtDataRecord {
  public:
    TKtRowRecord(uint16_t id, std::vector<uint8_t> body) : TKtDataRecord(id, std::move(body)) {}
    TKtRowRecord(uint16_t row, uint16_t firstCol, uint16_t colEnd, uint16_t height, uint16_t xf,
                 uint16_t treeValue);
    uint16_t Row() const { return U16(0); }
    uint16_t FirstCol() const { return U16(2); }
    uint16_t ColEnd() const { return U16(4); }
    uint16_t Height() const { return U16(6) & 0x7FFF; }
    uint16_t Flags() const { return U16(12); }
    uint16_t XFIndex() const { return U16(14) & 0x0FFF; }
    uint16_t TreeValue() const { return U16(16); }
};

// One inclusive range of a MERGEDCELLS record.
struct TKtCellRange {
    uint16_t FirstRow = 0;
    uint16_t LastRow = 0;
    uint16_t FirstCol = 0;
    uint16_t LastCol = 0;
    bool operator==(const TKtCellRange&) const = default;
};

class TKtCellRangesRecord : public TKtDataRecord {
  public:
    TKtCellRangesRecord(uint16_t id, std::vector<uint8_t> body)
        : TKtDataRecord(id, std::move(body)) {}
    // The ranges the body holds (the count, cut to what the body carries).
    int Count() const;
    TKtCellRange Range(int index) const;
    // False when the record already holds the most ranges a count can announce.
    bool AddRange(const TKtCellRange& range);
};

class TKtMergedCellsRecord : public TKtCellRangesRecord {
  public:
    TKtMergedCellsRecord(uint16_t id, std::vector<uint8_t> body)
        : TKtCellRangesRecord(id, std::move(body)) {}
    // No ranges.
    TKtMergedCellsRecord()
        : TKtCellRangesRecord(native_id::kMergedCells, std::vector<uint8_t>(2, 0)) {}
};

// Records that start with a position: u32 row and column in the 0x0700
// layout, u16 in lower ones.
class TKtBaseRowColRecord : public TKtDataRecord {
  public:
    TKtBaseRowColRecord(uint16_t id, std::vector<uint8_t> body)
        : TKtDataRecord(id, std::move(body)) {}
    uint16_t Version() const { return version_; }
    void SetVersion(uint16_t version) { version_ = version; }
    // Bytes the position takes.
    size_t HeadSize() const { return version_ >= kWideRowColVersion ? 8 : 4; }
    uint32_t Row() const { return version_ >= kWideRowColVersion ? U32(0) : U16(0); }
    uint32_t Col() const { return version_ >= kWideRowColVersion ? U32(4) : U16(2); }

  protected:
    // A body that starts with row and column (0x0700 layout).
    static std::vector<uint8_t> Head(uint32_t row, uint32_t col);

  private:
    uint16_t version_ = kWideRowColVersion;
};

// How a cell record sets its cell's value.
enum class TKtRecordValueKind : uint8_t { Blank = 0, Number = 1, Label = 2, Formula = 3 };

class TKtCellRecord : public TKtBaseRowColRecord {
  public:
    TKtCellRecord(uint16_t id, std::vector<uint8_t> body)
        : TKtBaseRowColRecord(id, std::move(body)) {}
    uint16_t XFIndex() const { return U16(HeadSize()); }
    virtual TKtRecordValueKind ValueKind() const { return TKtRecordValueKind::Blank; }
    // The value as the lower layouts hand it to a cell: the text of a LABEL,
    // empty for the others.
    virtual TKtVariant Value() const { return TKtVariant::Empty(); }

  protected:
    static std::vector<uint8_t> CellHead(uint32_t row, uint32_t col, uint16_t xf);
    // Offset of the record's own fields.
    size_t FieldOffset() const { return HeadSize() + 2; }
};

class TKtBlankRecord : public TKtCellRecord {
  public:
    TKtBlankRecord(uint16_t id, std::vector<uint8_t> body) : TKtCellRecord(id, std::move(body)) {}
    TKtBlankRecord(uint32_t row, uint32_t col, uint16_t xf);
};

class TKtNumberRecord : public TKtCellRecord {
  public:
    TKtNumberRecord(uint16_t id, std::vector<uint8_t> body) : TKtCellRecord(id, std::move(body)) {}
    TKtNumberRecord(uint32_t row, uint32_t col, uint16_t xf, double value);
    TKtRecordValueKind ValueKind() const override { return TKtRecordValueKind::Number; }
    double Number() const;
};

class TKtLabelRecord : public TKtCellRecord {
  public:
    TKtLabelRecord(uint16_t id, std::vector<uint8_t> body) : TKtCellRecord(id, std::move(body)) {}
    TKtLabelRecord(uint32_t row, uint32_t col, uint16_t xf, WideStringView text);
    TKtRecordValueKind ValueKind() const override { return TKtRecordValueKind::Label; }
    TKtVariant Value() const override { return TKtVariant::String(Text()); }
    WideString Text() const { return String(FieldOffset(), 2); }
};

class TKtFormulaRecord : public TKtCellRecord {
  public:
    TKtFormulaRecord(uint16_t id, std::vector<uint8_t> body) : TKtCellRecord(id, std::move(body)) {}
    TKtFormulaRecord(uint32_t row, uint32_t col, uint16_t xf, WideStringView source);
    TKtRecordValueKind ValueKind() const override { return TKtRecordValueKind::Formula; }
    WideString Source() const { return String(FieldOffset() + 16, 2); }
};

class TKtCheckBoxCellRecord : public TKtCellRecord {
  public:
    TKtCheckBoxCellRecord(uint16_t id, std::vector<uint8_t> body)
        : TKtCellRecord(id, std::move(body)) {}
    TKtCheckBoxCellRecord(uint32_t row, uint32_t col, uint16_t xf, bool checked,
                          WideStringView caption, WideStringView itemText);
    bool Checked() const { return U8(FieldOffset()) != 0; }
    WideString Caption() const { return String(FieldOffset() + 1, 2); }
    WideString ItemText() const;
};

class TKtRowColStringRecord : public TKtBaseRowColRecord {
  public:
    TKtRowColStringRecord(uint16_t id, std::vector<uint8_t> body)
        : TKtBaseRowColRecord(id, std::move(body)) {}
    TKtRowColStringRecord(uint16_t id, uint32_t row, uint32_t col, WideStringView text);
    WideString Text() const { return String(HeadSize(), 2); }
};

// The text records of a cell (tag, hint, comment): one layout, told apart
// by their id.
template <uint16_t RecordId>
class TKtCellTextRecord : public TKtRowColStringRecord {
  public:
    TKtCellTextRecord(uint16_t id, std::vector<uint8_t> body)
        : TKtRowColStringRecord(id, std::move(body)) {}
    TKtCellTextRecord(uint32_t row, uint32_t col, WideStringView text)
        : TKtRowColStringRecord(RecordId, row, col, text) {}
};

using TKtTagRecord = TKtCellTextRecord<native_id::kTag>;
using TKtHintRecord = TKtCellTextRecord<native_id::kHint>;
using TKtPostilRecord = TKtCellTextRecord<native_id::kPostil>;

// The record object for a body read from a stream, of the class its id
// names (a plain TKtDataRecord for other ids). A row/column record of 3
// bytes or less raises EGridFileError "0x%x 记录无效".
std::unique_ptr<TKtDataRecord> CreateRecord(uint16_t id, std::vector<uint8_t> body);

}  // namespace plu
