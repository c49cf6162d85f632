#include "formats/native/native_records.h"

#include <algorithm>
#include <cstdio>

#include "formats/native/extended_float.h"
#include "formats/native/font_name_text.h"

namespace plu {

WideString ReadRecordFailedMessage() {
    return u"读取记录失败. 文件无效";
}

WideString InvalidRecordMessage(uint16_t id) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%x", static_cast<unsigned>(id));
    return AsciiToWide(hex) + u" 记录无效";
}

// ---- Framing -------------------------------------------------------------------------------

void TKtRecordWriter::Write(uint16_t id, std::span<const uint8_t> body) {
    AppendU16(bytes_, id);
    if (body.size() >= 0xFFFF) {
        AppendU16(bytes_, 0xFFFF);
        AppendU32(bytes_, static_cast<uint32_t>(body.size()));
    } else {
        AppendU16(bytes_, static_cast<uint16_t>(body.size()));
    }
    bytes_.insert(bytes_.end(), body.begin(), body.end());
}

void AppendU8(std::vector<uint8_t>& body, uint8_t v) {
    body.push_back(v);
}

void AppendU16(std::vector<uint8_t>& body, uint16_t v) {
    body.push_back(static_cast<uint8_t>(v));
    body.push_back(static_cast<uint8_t>(v >> 8));
}

void AppendU32(std::vector<uint8_t>& body, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        body.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void AppendString(std::vector<uint8_t>& body, WideStringView text, int countBytes) {
    const size_t limit = countBytes == 1 ? 0xFF : kMaxRecordText;
    size_t count = std::min(text.size(), limit);
    // Never keep the high half of a surrogate pair without its low half.
    if (count < text.size() && count > 0 && text[count - 1] >= 0xD800 && text[count - 1] <= 0xDBFF)
        --count;
    if (countBytes == 1)
        AppendU8(body, static_cast<uint8_t>(count));
    else
        AppendU16(body, static_cast<uint16_t>(count));
    for (size_t i = 0; i < count; ++i)
        AppendU16(body, text[i]);
}

// ---- TKtDataRecord ---------------------------------------------------------------------------

void TKtDataRecord::Create(uint16_t id, size_t size) {
    id_ = id;
    body_.assign(size, 0);
}

void TKtDataRecord::WriteTo(TKtRecordWriter& writer) const {
    writer.Write(id_, body_);
}

bool TKtDataRecord::SameBody(const TKtDataRecord& other) const {
    if (other.body_.size() < body_.size()) return false;
    return std::equal(body_.begin(), body_.end(), other.body_.begin());
}

uint8_t TKtDataRecord::U8(size_t offset) const {
    return offset < body_.size() ? body_[offset] : 0;
}

uint16_t TKtDataRecord::U16(size_t offset) const {
    return static_cast<uint16_t>(U8(offset) | (U8(offset + 1) << 8));
}

uint32_t TKtDataRecord::U32(size_t offset) const {
    return static_cast<uint32_t>(U16(offset)) | (static_cast<uint32_t>(U16(offset + 2)) << 16);
}

WideString TKtDataRecord::String(size_t offset, int countBytes, size_t* end) const {
    const size_t count = countBytes == 1 ? U8(offset) : U16(offset);
    const size_t start = offset + static_cast<size_t>(countBytes);
    if (end) *end = start + 2 * count;
    WideString text;
    if (start >= body_.size()) return text;
    const size_t available = (body_.size() - start) / 2;
    const size_t n = std::min(count, available);
    text.resize(n);
    for (size_t i = 0; i < n; ++i)
        text[i] = static_cast<char16_t>(body_[start + 2 * i] | (body_[start + 2 * i + 1] << 8));
    return text;
}

void TKtDataRecord::PutU8(size_t offset, uint8_t v) {
    if (offset < body_.size()) body_[offset] = v;
}

void TKtDataRecord::PutU16(size_t offset, uint16_t v) {
    PutU8(offset, static_cast<uint8_t>(v));
    PutU8(offset + 1, static_cast<uint8_t>(v >> 8));
}

void TKtDataRecord::PutU32(size_t offset, uint32_t v) {
    PutU16(offset, static_cast<uint16_t>(v));
    PutU16(offset + 2, static_cast<uint16_t>(v >> 16));
}

// ---- Globals records -----------------------------------------------------------------------

TKtBOFRecord::TKtBOFRecord(uint16_t version, uint16_t type) : TKtDataRecord(native_id::kBOF, 16) {
    PutU16(0, version);
    PutU16(2, type);
}

TKtFontRecord::TKtFontRecord(int32_t height, uint8_t pitch, uint8_t style, uint8_t charset,
                             WideStringView name)
    : TKtDataRecord(native_id::kFont, kSize) {
    PutI32(0, height);
    PutU8(4, pitch);
    PutU8(5, style);
    PutU8(6, charset);
    const std::string bytes = EncodeFontName(name);
    PutU8(7, static_cast<uint8_t>(bytes.size()));
    for (size_t i = 0; i < bytes.size(); ++i)
        PutU8(8 + i, static_cast<uint8_t>(bytes[i]));
}

WideString TKtFontRecord::Name() const {
    const size_t length = std::min<size_t>(U8(7), kMaxFontNameBytes);
    std::string bytes;
    for (size_t i = 0; i < length && 8 + i < Size(); ++i)
        bytes.push_back(static_cast<char>(U8(8 + i)));
    return DecodeFontName(bytes);
}

std::unique_ptr<TKtImageRecord> TKtImageRecord::ForPicture(uint16_t pictureType,
                                                           std::span<const uint8_t> data) {
    std::vector<uint8_t> body;
    if (pictureType != 0) {
        AppendU16(body, pictureType);
        AppendU16(body, 0);  // the name is always empty
        body.insert(body.end(), data.begin(), data.end());
    }
    return std::make_unique<TKtImageRecord>(native_id::kImage, std::move(body));
}

std::span<const uint8_t> TKtImageRecord::PictureData() const {
    const size_t start = 4 + static_cast<size_t>(NameLength());
    if (start >= Size()) return {};
    return std::span<const uint8_t>(Body()).subspan(start);
}

TKtBoundSheetRecord::TKtBoundSheetRecord(WideStringView name)
    : TKtDataRecord(native_id::kBoundSheet, 6) {
    AppendString(MutableBody(), name, 1);
}

TKtFormatRecord::TKtFormatRecord(uint16_t index, WideStringView text)
    : TKtDataRecord(native_id::kFormat, 2) {
    PutU16(0, index);
    AppendString(MutableBody(), text, 2);
}

TKtDimensionsRecord::TKtDimensionsRecord(uint32_t fixedRows, uint32_t lastRow, uint16_t fixedCols,
                                         uint16_t lastCol)
    : TKtDataRecord(native_id::kDimensions, 14) {
    PutU32(0, fixedRows);
    PutU32(4, lastRow);
    PutU16(8, fixedCols);
    PutU16(10, lastCol);
}

TKtColInfoRecord::TKtColInfoRecord(uint16_t first, uint16_t last, uint16_t width, uint16_t xf,
                                   uint16_t options)
    : TKtDataRecord(native_id::kColInfo, 12) {
    PutU16(0, first);
    PutU16(2, last);
    PutU16(4, width);
    PutU16(6, xf);
    PutU16(8, options);
}

TKtRowRecord::TKtRowRecord(uint16_t row, uint16_t firstCol, uint16_t colEnd, uint16_t height,
                           uint16_t xf, uint16_t treeValue)
    : TKtDataRecord(native_id::kRow, 18) {
    PutU16(0, row);
    PutU16(2, firstCol);
    PutU16(4, colEnd);
    PutU16(6, height & 0x7FFF);
    PutU16(12, kRowFlagsWritten);
    PutU16(14, xf & 0x0FFF);
    PutU16(16, treeValue);
}

int TKtCellRangesRecord::Count() const {
    const size_t carried = Size() >= 2 ? (Size() - 2) / 8 : 0;
    return static_cast<int>(std::min<size_t>(U16(0), carried));
}

TKtCellRange TKtCellRangesRecord::Range(int index) const {
    const size_t at = 2 + 8 * static_cast<size_t>(index);
    return {U16(at), U16(at + 2), U16(at + 4), U16(at + 6)};
}

bool TKtCellRangesRecord::AddRange(const TKtCellRange& range) {
    const int count = Count();
    if (count >= 0xFFFF) return false;
    std::vector<uint8_t>& body = MutableBody();
    body.resize(2 + 8 * static_cast<size_t>(count));  // drops bytes the count did not cover
    AppendU16(body, range.FirstRow);
    AppendU16(body, range.LastRow);
    AppendU16(body, range.FirstCol);
    AppendU16(body, range.LastCol);
    PutU16(0, static_cast<uint16_t>(count + 1));
    return true;
}

// ---- Row/column records ----------------------------------------------------------------------

std::vector<uint8_t> TKtBaseRowColRecord::Head(uint32_t row, uint32_t col) {
    std::vector<uint8_t> body;
    AppendU32(body, row);
    AppendU32(body, col);
    return body;
}

std::vector<uint8_t> TKtCellRecord::CellHead(uint32_t row, uint32_t col, uint16_t xf) {
    std::vector<uint8_t> body = Head(row, col);
    AppendU16(body, xf);
    return body;
}

TKtBlankRecord::TKtBlankRecord(uint32_t row, uint32_t col, uint16_t xf)
    : TKtCellRecord(native_id::kBlank, CellHead(row, col, xf)) {}

TKtNumberRecord::TKtNumberRecord(uint32_t row, uint32_t col, uint16_t xf, double value)
    : TKtCellRecord(native_id::kNumber, CellHead(row, col, xf)) {
    const TExtendedBytes bytes = DoubleToExtended(value);
    MutableBody().insert(MutableBody().end(), bytes.begin(), bytes.end());
}

double TKtNumberRecord::Number() const {
    TExtendedBytes bytes{};
    for (size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = U8(FieldOffset() + i);
    return ExtendedToDouble(bytes);
}

TKtLabelRecord::TKtLabelRecord(uint32_t row, uint32_t col, uint16_t xf, WideStringView text)
    : TKtCellRecord(native_id::kLabel, CellHead(row, col, xf)) {
    AppendString(MutableBody(), text, 2);
}

TKtFormulaRecord::TKtFormulaRecord(uint32_t row, uint32_t col, uint16_t xf, WideStringView source)
    : TKtCellRecord(native_id::kFormula, CellHead(row, col, xf)) {
    MutableBody().resize(MutableBody().size() + 16, 0);
    AppendString(MutableBody(), source, 2);
}

TKtCheckBoxCellRecord::TKtCheckBoxCellRecord(uint32_t row, uint32_t col, uint16_t xf, bool checked,
                                             WideStringView caption, WideStringView itemText)
    : TKtCellRecord(native_id::kCheckBoxCell, CellHead(row, col, xf)) {
    AppendU8(MutableBody(), checked ? 1 : 0);
    AppendString(MutableBody(), caption, 2);
    AppendString(MutableBody(), itemText, 2);
}

WideString TKtCheckBoxCellRecord::ItemText() const {
    size_t end = 0;
    String(FieldOffset() + 1, 2, &end);
    return String(end, 2);
}

TKtRowColStringRecord::TKtRowColStringRecord(uint16_t id, uint32_t row, uint32_t col,
                                             WideStringView text)
    : TKtBaseRowColRecord(id, Head(row, col)) {
    AppendString(MutableBody(), text, 2);
}

// ---- Factory ---------------------------------------------------------------------------------

namespace {

template <typename R>
std::unique_ptr<TKtDataRecord> RowCol(uint16_t id, std::vector<uint8_t> body) {
    if (body.size() <= 3) throw EGridFileError(InvalidRecordMessage(id));
    return std::make_unique<R>(id, std::move(body));
}

}  // namespace

std::unique_ptr<TKtDataRecord> CreateRecord(uint16_t id, std::vector<uint8_t> body) {
    using namespace native_id;
    switch (id) {
        case kBOF:
            return std::make_unique<TKtBOFRecord>(id, std::move(body));
        case kEOF:
            return std::make_unique<TKtEOFRecord>(id, std::move(body));
        case kFont:
            return std::make_unique<TKtFontRecord>(id, std::move(body));
        case kXF:
            return std::make_unique<TKtXFRecord>(id, std::move(body));
        case kImage:
            return std::make_unique<TKtImageRecord>(id, std::move(body));
        case kBoundSheet:
            return std::make_unique<TKtBoundSheetRecord>(id, std::move(body));
        case kFormat:
            return std::make_unique<TKtFormatRecord>(id, std::move(body));
        case kDimensions:
            return std::make_unique<TKtDimensionsRecord>(id, std::move(body));
        case kColInfo:
            return std::make_unique<TKtColInfoRecord>(id, std::move(body));
        case kRow:
            return std::make_unique<TKtRowRecord>(id, std::move(body));
        case kMergedCells:
            return std::make_unique<TKtMergedCellsRecord>(id, std::move(body));
        case kBlank:
            return RowCol<TKtBlankRecord>(id, std::move(body));
        case kNumber:
            return RowCol<TKtNumberRecord>(id, std::move(body));
        case kLabel:
            return RowCol<TKtLabelRecord>(id, std::move(body));
        case kFormula:
            return RowCol<TKtFormulaRecord>(id, std::move(body));
        case kCheckBoxCell:
            return RowCol<TKtCheckBoxCellRecord>(id, std::move(body));
        case kTag:
            return RowCol<TKtTagRecord>(id, std::move(body));
        case kHint:
            return RowCol<TKtHintRecord>(id, std::move(body));
        case kPostil:
            return RowCol<TKtPostilRecord>(id, std::move(body));
        default:
            return std::make_unique<TKtDataRecord>(id, std::move(body));
    }
}

}  // namespace plu
