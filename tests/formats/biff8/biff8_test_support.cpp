#include "biff8_test_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace plu::test {

void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void Put32(Bytes& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

void PutDouble(Bytes& b, double v) {
    uint8_t raw[8];
    std::memcpy(raw, &v, 8);
    b.insert(b.end(), raw, raw + 8);
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

Bytes Str8(const std::string& latin1, int countBytes) {
    Bytes b;
    if (countBytes == 1) {
        b.push_back(static_cast<uint8_t>(latin1.size()));
    } else {
        Put16(b, static_cast<uint32_t>(latin1.size()));
    }
    b.push_back(0);
    b.insert(b.end(), latin1.begin(), latin1.end());
    return b;
}

Bytes Str16(WideStringView text, int countBytes) {
    Bytes b;
    if (countBytes == 1) {
        b.push_back(static_cast<uint8_t>(text.size()));
    } else {
        Put16(b, static_cast<uint32_t>(text.size()));
    }
    b.push_back(1);
    for (char16_t c : text) Put16(b, c);
    return b;
}

StreamBuilder& StreamBuilder::Record(uint16_t id, const Bytes& body) {
    return Lying(id, static_cast<uint16_t>(body.size()), body);
}

StreamBuilder& StreamBuilder::Lying(uint16_t id, uint16_t claimed, const Bytes& body) {
    Put16(data_, id);
    Put16(data_, claimed);
    data_.insert(data_.end(), body.begin(), body.end());
    return *this;
}

StreamBuilder& StreamBuilder::Raw(const Bytes& bytes) {
    data_.insert(data_.end(), bytes.begin(), bytes.end());
    return *this;
}

StreamBuilder& StreamBuilder::Bof(uint16_t type) {
    Bytes b;
    Put16(b, 0x0600);
    Put16(b, type);
    b.resize(16, 0);
    return Record(0x0809, b);
}

StreamBuilder& StreamBuilder::Eof() { return Record(0x000A, {}); }

StreamBuilder& StreamBuilder::Globals(std::initializer_list<std::u16string> sheetNames) {
    Bof(0x0005);
    for (const auto& name : sheetNames) {
        Bytes b;
        Put32(b, 0);
        b.push_back(0);
        b.push_back(0);
        Bytes s = Str16(name, 1);
        b.insert(b.end(), s.begin(), s.end());
        Record(0x0085, b);
    }
    return Eof();
}

StreamBuilder& StreamBuilder::Cell(uint16_t id, uint16_t row, uint16_t col, uint16_t xf, const Bytes& rest) {
    Bytes b;
    Put16(b, row);
    Put16(b, col);
    Put16(b, xf);
    b.insert(b.end(), rest.begin(), rest.end());
    return Record(id, b);
}

Bytes NumberBody(uint16_t row, uint16_t col, uint16_t xf, double v) {
    Bytes b;
    Put16(b, row);
    Put16(b, col);
    Put16(b, xf);
    PutDouble(b, v);
    return b;
}

Bytes LabelBody8(uint16_t row, uint16_t col, uint16_t xf, const std::string& bytes) {
    Bytes b;
    Put16(b, row);
    Put16(b, col);
    Put16(b, xf);
    Bytes s = Str8(bytes, 2);
    b.insert(b.end(), s.begin(), s.end());
    return b;
}

std::string InteropScript(const std::string& name) {
    return std::string(PLU_SOURCE_DIR) + "/tests/formats/biff8/interop/" + name;
}

bool HavePython() { return plu::testing::HavePythonModules("xlrd, xlwt"); }

void AddExportDefaults(TWorkbook& book) {
    TWorkbookGlobals& g = book.Globals();
    for (int i = 0; i < 6; ++i) {
        auto f = TFontRecord::Make(u"宋体");
        f->SetHeight(i == 5 ? 180 : 240);
        f->SetColorIndex(0x7FFF);
        f->SetCharset(134);
        g.Fonts().Add(std::move(f));
    }
    struct XfRow {
        uint16_t font, format, protection;
        uint8_t used;
    };
    std::vector<XfRow> rows = {{0, 0, 0xFFF5, 0x00}, {1, 0, 0xFFF5, 0xF4}, {1, 0, 0xFFF5, 0xF4},
                               {2, 0, 0xFFF5, 0xF4}, {2, 0, 0xFFF5, 0xF4}};
    for (int i = 5; i <= 14; ++i) rows.push_back({0, 0, 0xFFF5, 0xF4});
    rows.push_back({0, 0, 0x0001, 0x00});
    for (uint16_t fmt : {9, 44, 42, 43, 41}) rows.push_back({5, fmt, 0xFFF5, 0xF8});
    for (const XfRow& r : rows) {
        auto xf = std::make_unique<TXFRecord>();
        xf->Create(0x00E0, 20);
        xf->SetWord(0, r.font);
        xf->SetWord(2, r.format);
        xf->SetWord(4, r.protection);
        xf->SetByte(6, 0x10);
        xf->SetByte(9, r.used);
        xf->SetWord(18, 0x20C0);
        g.XFs().Add(std::move(xf));
    }
    for (uint32_t v : {0xFF058010u, 0xFF008000u, 0xFF048011u, 0xFF078012u, 0xFF038013u, 0xFF068014u}) {
        g.Styles().Add(TStyleRecord::Make(v));
    }
    const std::pair<int, const char16_t*> formats[] = {
        {5, u"\"￥\"#,##0;\"￥\"\\-#,##0"},
        {6, u"\"￥\"#,##0;[Red]\"￥\"\\-#,##0"},
        {7, u"\"￥\"#,##0.00;\"￥\"\\-#,##0.00"},
        {8, u"\"￥\"#,##0.00;[Red]\"￥\"\\-#,##0.00"},
        {42, u"_ \"￥\"* #,##0_ ;_ \"￥\"* \\-#,##0_ ;_ \"￥\"* \"-\"_ ;_ @_ "},
        {41, u"_ * #,##0_ ;_ * \\-#,##0_ ;_ * \"-\"_ ;_ @_ "},
        {44, u"_ \"￥\"* #,##0.00_ ;_ \"￥\"* \\-#,##0.00_ ;_ \"￥\"* \"-\"??_ ;_ @_ "},
        {43, u"_ * #,##0.00_ ;_ * \\-#,##0.00_ ;_ * \"-\"??_ ;_ @_ "},
        {23, u"\\$#,##0_);\\(\\$#,##0\\)"},
        {24, u"\\$#,##0_);[Red]\\(\\$#,##0\\)"},
        {25, u"\\$#,##0.00_);\\(\\$#,##0.00\\)"},
        {26, u"\\$#,##0.00_);[Red]\\(\\$#,##0.00\\)"},
    };
    for (const auto& [index, text] : formats) {
        g.Formats().Add(TFormatRecord::Make(static_cast<uint16_t>(index), text));
    }
    book.SetCharWidth(8);
}

}  // namespace plu::test
