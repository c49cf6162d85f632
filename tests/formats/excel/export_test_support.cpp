// The record-model side of the export tests (no grid headers here).
#include "export_test_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "base/text_measurer.h"
#include "formats/biff8/cell_table.h"
#include "formats/biff8/font_record.h"
#include "formats/biff8/globals_records.h"
#include "formats/biff8/palette.h"
#include "formats/biff8/workbook.h"
#include "formats/biff8/xf_record.h"
#include "formats/cfb/compound_document.h"

namespace plu::exporttest {

std::vector<RawRecord> RawRecords(const Bytes& s) {
    std::vector<RawRecord> out;
    size_t p = 0;
    while (p + 4 <= s.size()) {
        RawRecord r;
        r.id = static_cast<uint16_t>(s[p] | (s[p + 1] << 8));
        const size_t len = static_cast<size_t>(s[p + 2] | (s[p + 3] << 8));
        if (r.id == 0 && len == 0) break;
        if (p + 4 + len > s.size()) throw std::runtime_error("record cut off");
        r.body.assign(s.begin() + static_cast<long>(p + 4), s.begin() + static_cast<long>(p + 4 + len));
        out.push_back(std::move(r));
        p += 4 + len;
    }
    return out;
}

const SavedCell* SavedSheet::Cell(int row, int col) const {
    for (const SavedCell& c : cells)
        if (c.row == row && c.col == col) return &c;
    return nullptr;
}

const SavedRow* SavedSheet::Row(int row) const {
    for (const SavedRow& r : rows)
        if (r.row == row) return &r;
    return nullptr;
}

const SavedColumn* SavedSheet::Column(int col) const {
    for (const SavedColumn& c : columns)
        if (c.column == col) return &c;
    return nullptr;
}

const SavedFont& SavedBook::Font(int fontIndex) const {
    return fonts.at(static_cast<size_t>(fontIndex > 4 ? fontIndex - 1 : fontIndex));
}

WideString SavedBook::FormatOf(int formatIndex) const {
    for (const SavedFormat& f : formats)
        if (f.index == formatIndex) return f.text;
    return BuiltInFormat(formatIndex);
}

uint32_t SavedBook::ColorOf(int colorIndex) const { return paletteColors.at(static_cast<size_t>(colorIndex)); }

SavedBook ReadBack(const Bytes& stream) {
    FixedTextMeasurer measurer;
    TWorkbook book(&measurer);
    book.LoadFromBytes(stream);
    SavedBook out;
    out.charWidth = book.CharWidth();
    TWorkbookGlobals& g = book.Globals();
    for (const RawRecord& r : RawRecords(stream)) {
        if (r.id == 0x0092) out.paletteWritten = true;
    }
    for (int i = 0; i < 66; ++i) out.paletteColors.push_back(static_cast<uint32_t>(g.Palette().ColorOfIndex(i)));
    for (int i = 0; i < g.XFs().Count(); ++i) {
        const TXFRecord& x = g.XFs().Item(i);
        SavedXF s;
        s.body.assign(x.Body().begin(), x.Body().end());
        s.font = x.FontIndex();
        s.format = x.FormatIndex();
        s.horz = x.HorzAlign();
        s.vert = x.VertAlign();
        s.indent = x.Indent();
        s.wrap = x.Wrap();
        s.shrink = x.ShrinkToFit();
        s.locked = x.Locked();
        s.hidden = x.Hidden();
        s.fillPattern = x.FillPattern();
        s.patternColor = x.GetWord(18) & 0x7F;  // as stored (64 stays 64)
        s.backgroundColor = x.BackgroundColor();
        for (int b = 0; b < 6; ++b) {
            s.borderStyle[b] = x.BorderStyle(b);
            s.borderColor[b] = x.BorderColor(b);
        }
        out.xfs.push_back(std::move(s));
    }
    for (int i = 0; i < g.Fonts().Count(); ++i) {
        const TFontRecord& f = g.Fonts().Item(i);
        SavedFont s;
        s.name = f.Name();
        s.height = f.Height();
        s.colorIndex = f.ColorIndex();
        s.weight = f.Weight();
        s.options = f.Options();
        s.underline = f.Underline();
        s.charset = f.Charset();
        s.style = f.Style();
        out.fonts.push_back(std::move(s));
    }
    for (int i = 0; i < g.Formats().Count(); ++i) {
        out.formats.push_back({g.Formats().Item(i).FormatIndex(), g.Formats().Item(i).FormatString()});
    }
    for (const RawRecord& r : RawRecords(stream)) {
        if (r.id == 0x0293 && r.body.size() == 4)
            out.styles.push_back(static_cast<uint32_t>(r.body[0] | (r.body[1] << 8) | (r.body[2] << 16)) |
                                 (static_cast<uint32_t>(r.body[3]) << 24));
    }
    for (int i = 0; i < book.Sheets().Count(); ++i) {
        TWorkSheet& sheet = book.Sheets().Item(i);
        SavedSheet s;
        s.name = sheet.Name();
        const TXlsCells& cells = sheet.Cells();
        for (int r = 0; r < cells.CellRows().Count(); ++r) {
            const TRow* row = cells.CellRows().Get(r);
            if (!row) continue;
            for (int k = 0; k < row->CellCount(); ++k) {
                const TCellRecord& c = row->CellAt(k);
                SavedCell sc;
                sc.row = c.Row();
                sc.col = c.Col();
                sc.id = c.Id();
                sc.xf = c.XF();
                sc.number = c.AsFloat();
                sc.text = c.AsText();
                s.cells.push_back(std::move(sc));
            }
        }
        for (int r = 0; r < cells.Rows().Count(); ++r) {
            if (const TRowRecord* row = cells.Rows().Get(r)) {
                s.rows.push_back({row->Row(), row->FirstCol(), row->ColEnd(), row->Height(), row->Options(),
                                  row->XF()});
            }
        }
        for (int m = 0; m < cells.Merged().RangeCount(); ++m) {
            auto range = cells.Merged().GetRange(m);
            s.merges.push_back({range.firstRow, range.lastRow, range.firstCol, range.lastCol});
        }
        for (int c = 0; c < sheet.Columns().Count(); ++c) {
            const TColInfo& info = sheet.Columns().At(c);
            s.columns.push_back({info.column, info.rawWidth, info.width, info.xf, info.Hidden()});
        }
        if (const TDimensionsRecord* d = sheet.Dimensions()) {
            s.dimFirstRow = static_cast<int>(d->FirstRow());
            s.dimRowEnd = static_cast<int>(d->RowEnd());
            s.dimFirstCol = d->FirstCol();
            s.dimColEnd = d->ColEnd();
        }
        s.defaultRowHeight = sheet.DefaultRowHeight().Height();
        out.sheets.push_back(std::move(s));
    }
    return out;
}

Bytes WorkbookStreamOfFile(const std::string& path) {
    return TCompoundDocument::OpenFile(path).ReadStream(kWorkbookStreamName);
}

bool HaveXlrd() { return plu::testing::HavePythonModules("xlrd"); }

std::string ScriptPath(const std::string& name) {
    return std::string(PLU_SOURCE_DIR) + "/tests/formats/excel/" + name;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

}  // namespace plu::exporttest
