#include "import_test_support.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/text_measurer.h"
#include "formats/biff8/workbook.h"
#include "formats/cfb/compound_document.h"

namespace plu::test {

Body& Body::U8(uint32_t v) {
    data_.push_back(static_cast<uint8_t>(v));
    return *this;
}
Body& Body::U16(uint32_t v) {
    return U8(v).U8(v >> 8);
}
Body& Body::U32(uint32_t v) {
    return U16(v).U16(v >> 16);
}
Body& Body::F64(double v) {
    uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return U32(static_cast<uint32_t>(bits)).U32(static_cast<uint32_t>(bits >> 32));
}
Body& Body::Raw(const Bytes& bytes) {
    data_.insert(data_.end(), bytes.begin(), bytes.end());
    return *this;
}
Body& Body::Str(WideStringView text, int countBytes) {
    if (countBytes == 1)
        U8(static_cast<uint32_t>(text.size()));
    else
        U16(static_cast<uint32_t>(text.size()));
    U8(1);
    for (char16_t c : text)
        U16(c);
    return *this;
}

Bytes XfBody(const XfSpec& xf) {
    const uint32_t protection = (xf.locked ? 1u : 0u) | (xf.hidden ? 2u : 0u);
    const uint32_t align = (xf.horz & 7) | (xf.wrap ? 8u : 0u) | ((xf.vert & 7) << 4);
    const uint32_t lines = (xf.borderStyles[0] & 15) | ((xf.borderStyles[2] & 15) << 4) |
                           ((xf.borderStyles[1] & 15) << 8) | ((xf.borderStyles[3] & 15) << 12) |
                           ((xf.borderColors[0] & 127u) << 16) |
                           ((xf.borderColors[2] & 127u) << 23);
    const uint32_t more = (xf.borderColors[1] & 127u) | ((xf.borderColors[3] & 127u) << 7) |
                          (static_cast<uint32_t>(xf.pattern & 63) << 26);
    return Body()
        .U16(xf.font)
        .U16(xf.format)
        .U16(protection)
        .U8(align)
        .U8(0)
        .U8(xf.shrink ? 0x10 : 0)
        .U8(0xFC)
        .U32(lines)
        .U32(more)
        .U16((xf.patternColor & 127) | ((xf.backgroundColor & 127) << 7));
}

Bytes FontBody(const FontSpec& f) {
    const uint32_t options = (f.italic ? 2u : 0u) | (f.strikeOut ? 8u : 0u) | (f.bold ? 1u : 0u);
    return Body()
        .U16(f.twips)
        .U16(options)
        .U16(f.colorIndex)
        .U16(f.bold ? 700 : 400)
        .U16(0)
        .U8(f.underline)
        .U8(0)
        .U8(f.charset)
        .U8(0)
        .Str(f.name, 1);
}

Bytes Dimensions(uint32_t firstRow, uint32_t rowEnd, uint16_t firstCol, uint16_t colEnd) {
    return Body().U32(firstRow).U32(rowEnd).U16(firstCol).U16(colEnd).U16(0);
}
Bytes Row(uint16_t row, uint16_t firstCol, uint16_t colEnd, uint16_t twips, uint16_t options) {
    return Body().U16(row).U16(firstCol).U16(colEnd).U16(twips).U16(0).U16(0).U16(options).U16(15);
}
Bytes ColInfo(uint16_t first, uint16_t last, uint16_t width, uint16_t options) {
    return Body().U16(first).U16(last).U16(width).U16(15).U16(options).U16(0);
}
Bytes Window2(bool frozen) {
    return Body().U16(0x06B6 | (frozen ? 0x0008 : 0)).U16(0).U16(0).U32(64).U16(0).U16(0).U32(0);
}
Bytes Pane(uint16_t cols, uint16_t rows, uint16_t topRow, uint16_t leftCol) {
    return Body().U16(cols).U16(rows).U16(topRow).U16(leftCol).U8(0).U8(0);
}
Bytes Merged(std::initializer_list<std::initializer_list<uint16_t>> ranges) {
    Body b;
    b.U16(static_cast<uint32_t>(ranges.size()));
    for (const auto& r : ranges)
        for (uint16_t v : r)
            b.U16(v);
    return b;
}
Bytes Number(uint16_t row, uint16_t col, uint16_t xf, double v) {
    return Body().U16(row).U16(col).U16(xf).F64(v);
}
Bytes Label(uint16_t row, uint16_t col, uint16_t xf, WideStringView text) {
    return Body().U16(row).U16(col).U16(xf).Str(text, 2);
}
Bytes LabelSst(uint16_t row, uint16_t col, uint16_t xf, uint32_t index) {
    return Body().U16(row).U16(col).U16(xf).U32(index);
}
Bytes Rk(uint16_t row, uint16_t col, uint16_t xf, uint32_t rk) {
    return Body().U16(row).U16(col).U16(xf).U32(rk);
}
Bytes Blank(uint16_t row, uint16_t col, uint16_t xf) {
    return Body().U16(row).U16(col).U16(xf);
}
Bytes BoolErr(uint16_t row, uint16_t col, uint16_t xf, uint8_t value, bool isError) {
    return Body().U16(row).U16(col).U16(xf).U8(value).U8(isError ? 1 : 0);
}
Bytes Formula(uint16_t row, uint16_t col, uint16_t xf, double result, const Bytes& tokens) {
    return Body()
        .U16(row)
        .U16(col)
        .U16(xf)
        .F64(result)
        .U16(0)
        .U32(0)
        .U16(static_cast<uint32_t>(tokens.size()))
        .Raw(tokens);
}
Bytes FormulaSpecial(uint16_t row, uint16_t col, uint16_t xf, const Bytes& resultBytes,
                     const Bytes& tokens, uint16_t options) {
    return Body()
        .U16(row)
        .U16(col)
        .U16(xf)
        .Raw(resultBytes)
        .U16(options)
        .U32(0)
        .U16(static_cast<uint32_t>(tokens.size()))
        .Raw(tokens);
}
Bytes SharedFormula(uint16_t fr, uint16_t lr, uint8_t fc, uint8_t lc, const Bytes& tokens) {
    return Body()
        .U16(fr)
        .U16(lr)
        .U8(fc)
        .U8(lc)
        .U16(0)
        .U16(static_cast<uint32_t>(tokens.size()))
        .Raw(tokens);
}
Bytes RefToken(uint16_t row, uint16_t col, bool relative) {
    return Body().U8(0x44).U16(row).U16(col | (relative ? 0xC000u : 0u));
}
Bytes IntToken(uint16_t v) {
    return Body().U8(0x1E).U16(v);
}
Bytes AddToken() {
    return Body().U8(0x03);
}

BookBuilder::BookBuilder() {
    AddFont({});
    XfSpec style;
    fonts_.reserve(8);
    xfs_.push_back({id::XF, XfBody(style)});
    xfs_.back().body[4] = 0xF5;  // a style XF
    xfs_.back().body[5] = 0xFF;
    AddXf({});
}

int BookBuilder::AddFont(const FontSpec& font) {
    fonts_.push_back({id::FONT, FontBody(font)});
    const int entry = static_cast<int>(fonts_.size()) - 1;
    return entry >= 4 ? entry + 1 : entry;
}

int BookBuilder::AddXf(const XfSpec& xf) {
    xfs_.push_back({id::XF, XfBody(xf)});
    return static_cast<int>(xfs_.size()) - 1;
}

void BookBuilder::AddFormat(uint16_t index, WideStringView text) {
    formats_.push_back({id::FORMAT, Body().U16(index).Str(text, 2)});
}

void BookBuilder::SetStrings(std::initializer_list<std::u16string> strings) {
    strings_ = strings;
}

void BookBuilder::AddGlobal(uint16_t recordId, const Bytes& body) {
    globals_.push_back({recordId, body});
}

BookBuilder& BookBuilder::Sheet(WideStringView name) {
    sheets_.push_back({std::u16string(name), {}});
    return *this;
}

BookBuilder& BookBuilder::Add(uint16_t recordId, const Bytes& body) {
    if (sheets_.empty()) Sheet(u"Sheet1");
    sheets_.back().second.push_back({recordId, body});
    return *this;
}

namespace {

void Put(Bytes& out, uint16_t recordId, const Bytes& body) {
    Bytes header = Body().U16(recordId).U16(static_cast<uint32_t>(body.size()));
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), body.begin(), body.end());
}

Bytes Bof(uint16_t type) {
    return Body().U16(0x0600).U16(type).U32(0).U32(0).U32(0);
}

}  // namespace

Bytes BookBuilder::Stream() const {
    Bytes out;
    Put(out, id::BOF, Bof(0x0005));
    for (const auto* list : {&fonts_, &formats_, &xfs_, &globals_})
        for (const Record& r : *list)
            Put(out, r.id, r.body);
    for (const auto& sheet : sheets_)
        Put(out, id::BOUNDSHEET, Body().U32(0).U8(0).U8(0).Str(sheet.first, 1));
    if (!strings_.empty()) {
        Body sst;
        sst.U32(static_cast<uint32_t>(strings_.size())).U32(static_cast<uint32_t>(strings_.size()));
        for (const auto& s : strings_)
            sst.Str(s, 2);
        Put(out, id::SST, sst);
    }
    Put(out, id::EOF_, {});
    for (const auto& sheet : sheets_) {
        Put(out, id::BOF, Bof(0x0010));
        for (const Record& r : sheet.second)
            Put(out, r.id, r.body);
        Put(out, id::EOF_, {});
    }
    return out;
}

Bytes BookBuilder::Document() const {
    const Bytes stream = Stream();
    TCompoundStream s{"Workbook", stream};
    return BuildCompoundDocument(std::span<const TCompoundStream>(&s, 1));
}

namespace {
FixedTextMeasurer& Measurer() {
    static FixedTextMeasurer measurer;
    return measurer;
}
}  // namespace

LoadedBook::LoadedBook(const Bytes& stream) : book_(std::make_unique<TWorkbook>(&Measurer())) {
    book_->LoadFromBytes(stream);
    source_ = std::make_unique<TVxSheetSource>(*book_);
}

LoadedBook::~LoadedBook() = default;

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool HavePythonXlwt() { return plu::testing::HavePythonModules("xlwt, xlrd"); }

std::string SourceFile(const std::string& relative) {
    return std::string(PLU_SOURCE_DIR) + "/" + relative;
}

}  // namespace plu::test
