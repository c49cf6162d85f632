// Workbooks of other programs read by our reader, and our workbooks read by
// other programs: python3-xlwt writes, python3-xlrd and Gnumeric's ssconvert
// read. The helper scripts in interop/ print what they wrote or read, one
// fact a line, tab-separated.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <sstream>

#include "base/screen.h"
#include "base/text_measurer.h"
#include "biff8_test_support.h"
#include "formats/biff8/workbook.h"
#include "support/facts.h"

namespace plu {
namespace {

using plu::testing::Fact;
using plu::testing::Facts;

int I(const std::string& s) { return std::atoi(s.c_str()); }
double D(const std::string& s) { return std::strtod(s.c_str(), nullptr); }
WideString W(const std::string& s) { return Utf8ToWide(s); }

TColor DefaultPaletteColor(int index) { return TPaletteRecord::MakeDefault()->ColorOfIndex(index); }

#define REQUIRE_TOOLS()                                                   \
    if (!test::HavePython() || !test::HaveSsconvert()) {                  \
        GTEST_SKIP() << "python3-xlrd/xlwt or ssconvert is not installed"; \
    }

// Checks the facts xlwt_workbook.py printed against our reading of a file
// holding that workbook. fromGnumeric: the file went through ssconvert,
// which keeps values and formats but writes its own tokens and indexes.
void CheckXlwtFacts(const std::vector<Fact>& facts, const std::string& path, bool fromGnumeric) {
    FixedTextMeasurer m;
    TWorkbook book(&m);
    book.LoadFromFile(path);
    TPaletteRecord& palette = book.Globals().Palette();
    auto cell = [&](const Fact& f) -> const TCellRecord* {
        return book.Sheets().Item(I(f[1])).Cells().Get(I(f[2]), I(f[3]));
    };
    auto xf = [&](const Fact& f) -> const TXFRecord& {
        const TCellRecord* c = cell(f);
        EXPECT_NE(c, nullptr);
        return book.Globals().XFs().Item(c ? c->XF() : 0);
    };
    int checked = 0;
    for (const Fact& f : facts) {
        SCOPED_TRACE(f[0] + " " + (f.size() > 3 ? f[1] + "," + f[2] + "," + f[3] : f[1]));
        const std::string& kind = f[0];
        if (kind == "sheet") {
            EXPECT_EQ(book.Sheets().Item(I(f[1])).Name(), W(f[2]));
        } else if (kind == "text") {
            ASSERT_NE(cell(f), nullptr);
            EXPECT_EQ(cell(f)->AsText(), W(f[4]));
        } else if (kind == "number") {
            ASSERT_NE(cell(f), nullptr);
            EXPECT_EQ(cell(f)->ValueKind(), TXlsValueKind::vkNumber);
            EXPECT_EQ(cell(f)->AsFloat(), D(f[4]));
        } else if (kind == "bool") {
            // BOOLERR cells are kept as booleans.
            ASSERT_NE(cell(f), nullptr);
            EXPECT_EQ(cell(f)->ValueKind(), TXlsValueKind::vkBoolean);
        } else if (kind == "formula") {
            ASSERT_NE(cell(f), nullptr);
            ASSERT_TRUE(cell(f)->IsFormula());
            auto* formula = static_cast<const TFormulaRecord*>(cell(f));
            ASSERT_GT(formula->TokenLength(), 0);
            ASSERT_GE(formula->TokenData().size(), formula->TokenLength());
            if (!fromGnumeric) {
                EXPECT_EQ(formula->TokenData()[0], std::strtol(f[4].c_str(), nullptr, 16));
            }
            const TWorkSheet& sheet = book.Sheets().Item(I(f[1]));
            EXPECT_EQ(formula->IsSharedFormula() ? sheet.SharedFormulaText(I(f[2]), I(f[3]))
                                                 : book.FormulaText(*formula),
                      W(f[5]));
        } else if (kind == "merge") {
            const TMergedCellsRecord& merged = book.Sheets().Item(I(f[1])).Cells().Merged();
            bool found = false;
            for (int i = 0; i < merged.RangeCount(); ++i) {
                found |= merged.GetRange(i) == TCellRangesRecord::Range{static_cast<uint16_t>(I(f[2])),
                                                                        static_cast<uint16_t>(I(f[3])),
                                                                        static_cast<uint16_t>(I(f[4])),
                                                                        static_cast<uint16_t>(I(f[5]))};
            }
            EXPECT_TRUE(found);
        } else if (kind == "width") {
            const TColInfo* e = book.Sheets().Item(I(f[1])).Columns().Find(I(f[2]));
            ASSERT_NE(e, nullptr);
            EXPECT_NEAR(e->rawWidth, I(f[3]), fromGnumeric ? I(f[3]) * 0.02 + 40 : 0);
            EXPECT_EQ(e->width, MulDiv(e->rawWidth, book.CharWidth(), 256));
        } else if (kind == "height") {
            const TRowRecord* row = book.Sheets().Item(I(f[1])).Cells().Rows().Get(I(f[2]));
            ASSERT_NE(row, nullptr);
            EXPECT_EQ(row->Height(), I(f[3]));
        } else if (kind == "font") {
            const TFontRecord* font = book.Globals().Fonts().FontByIndex(xf(f).FontIndex());
            ASSERT_NE(font, nullptr);
            EXPECT_EQ(font->Name(), W(f[4]));
            EXPECT_EQ(font->Height(), I(f[5]));
            EXPECT_EQ((font->Style() & kFontBold) != 0, I(f[6]) != 0);
            EXPECT_EQ((font->Style() & kFontItalic) != 0, I(f[7]) != 0);
            EXPECT_EQ(font->Underline(), I(f[8]));
            EXPECT_EQ(palette.ColorOfIndex(font->ColorIndex()), DefaultPaletteColor(I(f[9])));
        } else if (kind == "fill") {
            EXPECT_EQ(xf(f).FillPattern(), 1);
            EXPECT_EQ(palette.ColorOfIndex(xf(f).PatternColor()), DefaultPaletteColor(I(f[4])));
        } else if (kind == "border") {
            for (int slot = 0; slot < 4; ++slot) EXPECT_EQ(xf(f).BorderStyle(slot), I(f[4 + slot])) << slot;
            EXPECT_EQ(palette.ColorOfIndex(xf(f).BorderColor(0)), DefaultPaletteColor(I(f[8])));
        } else if (kind == "format") {
            EXPECT_EQ(book.Globals().Formats().FormatOfIndex(xf(f).FormatIndex()), W(f[4]));
        } else {
            ADD_FAILURE() << "unknown fact " << kind;
        }
        ++checked;
    }
    EXPECT_GT(checked, 80);
}

TEST(Interop, WorkbookWrittenByXlwtReadsWithItsValuesStringsAndFormats) {
    REQUIRE_TOOLS();
    test::TempDir dir;
    int rc = 0;
    const std::string facts = test::Run("/usr/bin/python3 " + test::InteropScript("xlwt_workbook.py") + " " +
                                            dir.File("xlwt.xls"),
                                        &rc);
    ASSERT_EQ(rc, 0);
    CheckXlwtFacts(Facts(facts), dir.File("xlwt.xls"), false);
}

TEST(Interop, WorkbookWrittenByGnumericReadsWithItsValuesStringsAndFormats) {
    REQUIRE_TOOLS();
    test::TempDir dir;
    int rc = 0;
    const std::string facts = test::Run("/usr/bin/python3 " + test::InteropScript("xlwt_workbook.py") + " " +
                                            dir.File("xlwt.xls"),
                                        &rc);
    ASSERT_EQ(rc, 0);
    test::Run("/usr/bin/ssconvert --export-type=Gnumeric_Excel:excel_biff8 " + dir.File("xlwt.xls") + " " +
                  dir.File("gnumeric.xls") + " 2>/dev/null",
              &rc);
    ASSERT_EQ(rc, 0);
    CheckXlwtFacts(Facts(facts), dir.File("gnumeric.xls"), true);
}

// A workbook of our writer with every kind of content the export produces.
struct OurBook {
    FixedTextMeasurer measurer;
    TWorkbook book{&measurer};
    WideString longText;
    int dated = 0;

    OurBook() {
        test::AddExportDefaults(book);
        TWorkbookGlobals& g = book.Globals();
        auto bold = TFontRecord::Make(u"Arial");
        bold->SetHeight(280);
        bold->SetStyle(kFontBold | kFontItalic);
        bold->SetUnderline(1);
        bold->SetCharset(134);
        bold->SetColorIndex(static_cast<uint16_t>(g.Palette().IndexOfColor(RGB(200, 10, 20))));
        const int boldFont = g.Fonts().AddUnique(std::move(bold));
        auto cell = TXFRecord::Make(static_cast<uint16_t>(boldFont), 2, 1);
        cell->SetFormatIndex(static_cast<uint16_t>(g.Formats().IndexOfFormat(u"0.000")));
        cell->SetPatternColor(static_cast<uint8_t>(g.Palette().IndexOfColor(RGB(255, 255, 0))));
        cell->SetProtection(true, true, 0);
        cell->SetWrap(true);
        cell->SetIndent(2);
        for (int slot = 0; slot < 4; ++slot) {
            cell->SetBorderStyle(slot, static_cast<uint8_t>(slot + 1));
            cell->SetBorderColor(slot, static_cast<uint8_t>(g.Palette().IndexOfColor(RGB(0, 0, 255))));
        }
        const int styled = g.XFs().AddUnique(std::move(cell));
        auto plain = TXFRecord::Make(0, 0, 2);
        plain->SetFillPattern(0);
        plain->SetFormatIndex(static_cast<uint16_t>(g.Formats().IndexOfFormat(u"yyyy\"年\"m\"月\"d\"日\"")));
        dated = g.XFs().AddUnique(std::move(plain));

        longText = WideString(6000, u'长');
        TWorkSheet& a = book.AddSheet(u"价目表");
        Put(a, 0, 0, MakeLabel(0, 0, static_cast<uint16_t>(styled), u"Äpfel 苹果"));
        Put(a, 0, 1, MakeNumber(0, 1, static_cast<uint16_t>(styled), 3.25));
        Put(a, 1, 0, MakeNumber(1, 0, static_cast<uint16_t>(dated), 45000));
        Put(a, 1, 2, MakeBlank(1, 2, 15));
        Put(a, 2, 0, MakeLabel(2, 0, 15, longText));
        Put(a, 40, 3, MakeNumber(40, 3, 15, -1e-5));
        a.Cells().Rows().Get(1)->SetHeight(600);
        a.Cells().Merged().AddRange({3, 4, 0, 2});
        a.Columns().Entry(0).width = 120;
        a.Columns().Entry(0).xf = static_cast<int>(styled);
        a.Columns().Entry(1).width = 120;
        a.Columns().Entry(1).xf = static_cast<int>(styled);
        a.Columns().Entry(2).width = 30;
        a.Columns().Entry(5).options = 1;
        TWorkSheet& b = book.AddSheet(u"Second");
        for (uint16_t r = 0; r < 70; ++r) Put(b, r, r % 4, MakeNumber(r, r % 4, 15, r * 1.5));
        book.AddSheet(u"Empty");
    }

    void Put(TWorkSheet& sheet, uint16_t row, uint16_t col, std::unique_ptr<TCellRecord> cell) {
        TRowRecordList& rows = sheet.Cells().Rows();
        if (TRowRecord* r = rows.Get(row)) {
            r->SetFirstCol(std::min(r->FirstCol(), col));
            r->SetColEnd(std::max(r->ColEnd(), col));
        } else {
            rows.Put(TRowRecord::Make(row, col, col, sheet.DefaultRowHeight().Height(), 0x01C0, 0));
        }
        sheet.PutCell(std::move(cell));
    }
};

std::string Num(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

TEST(Interop, OurWorkbookGivesXlrdBackEverythingWeWrote) {
    REQUIRE_TOOLS();
    OurBook our;
    test::TempDir dir;
    our.book.SaveToFile(dir.File("ours.xls"));
    int rc = 0;
    const std::string dump =
        test::Run("/usr/bin/python3 " + test::InteropScript("dump_xlrd.py") + " " + dir.File("ours.xls"), &rc);
    ASSERT_EQ(rc, 0) << dump;
    std::set<std::string> got;
    for (const Fact& f : Facts(dump)) {
        std::string line;
        for (const auto& p : f) line += p + "|";
        got.insert(line);
    }
    auto expect = [&](std::initializer_list<std::string> parts) {
        std::string line;
        for (const auto& p : parts) line += p + "|";
        EXPECT_TRUE(got.count(line)) << "xlrd did not report " << line;
    };
    const TWorkbook& book = our.book;
    const TWorkbookGlobals& g = book.Globals();
    for (int s = 0; s < book.Sheets().Count(); ++s) {
        const TWorkSheet& sheet = book.Sheets().Item(s);
        const std::string si = std::to_string(s);
        expect({"sheet", si, WideToUtf8(sheet.Name())});
        const TBaseColRowList& rows = sheet.Cells().CellRows();
        for (int r = 0; r < rows.Count(); ++r) {
            const TRow* row = rows.Get(r);
            for (int i = 0; row && i < row->CellCount(); ++i) {
                const TCellRecord& c = row->CellAt(i);
                // xlrd calls a number with a date format a date (type 3).
                const std::string type = c.ValueKind() == TXlsValueKind::vkText ? "1"
                                         : c.ValueKind() == TXlsValueKind::vkBlank
                                             ? "6"
                                             : (c.XF() == our.dated ? "3" : "2");
                const std::string value =
                    type == "1" ? WideToUtf8(c.AsText()) : type == "6" ? "" : Num(c.AsFloat());
                expect({"cell", si, std::to_string(r), std::to_string(c.Col()), type, value, std::to_string(c.XF())});
            }
        }
        const TRowRecordList& rowRecords = sheet.Cells().Rows();
        for (int r = 0; r < rowRecords.Count(); ++r) {
            if (const TRowRecord* row = rowRecords.Get(r)) {
                expect({"rowinfo", si, std::to_string(r), std::to_string(row->Height()),
                        (row->Options() & 0x40) ? "1" : "0"});
            }
        }
        for (int i = 0; i < sheet.Columns().Count(); ++i) {
            const TColInfo& e = sheet.Columns().At(i);
            expect({"colinfo", si, std::to_string(e.column), std::to_string(MulDiv(e.width, 256, book.CharWidth())),
                    e.Hidden() ? "1" : "0", std::to_string(e.xf)});
        }
        const TMergedCellsRecord& merged = sheet.Cells().Merged();
        for (int i = 0; i < merged.RangeCount(); ++i) {
            const auto m = merged.GetRange(i);
            expect({"merge", si, std::to_string(m.firstRow), std::to_string(m.lastRow), std::to_string(m.firstCol),
                    std::to_string(m.lastCol)});
        }
    }
    for (int i = 0; i < g.XFs().Count(); ++i) {
        const TXFRecord& x = g.XFs().Item(i);
        const uint8_t pattern = static_cast<uint8_t>(x.GetWord(18) & 0x7F);
        expect({"xf", std::to_string(i), std::to_string(x.FontIndex()), std::to_string(x.FormatIndex()),
                std::to_string(x.HorzAlign()), std::to_string(x.VertAlign()), std::to_string(x.Wrap()),
                std::to_string(x.Indent()), std::to_string(x.ShrinkToFit()), std::to_string(x.Locked()),
                std::to_string(x.Hidden()), std::to_string(x.BorderStyle(0)), std::to_string(x.BorderStyle(1)),
                std::to_string(x.BorderStyle(2)), std::to_string(x.BorderStyle(3)), std::to_string(x.BorderColor(0)),
                std::to_string(x.BorderColor(1)), std::to_string(x.BorderColor(2)), std::to_string(x.BorderColor(3)),
                std::to_string(x.FillPattern()), std::to_string(pattern), std::to_string(x.BackgroundColor())});
    }
    for (int i = 0; i < g.Fonts().Count(); ++i) {
        const TFontRecord& f = g.Fonts().Item(i);
        expect({"font", std::to_string(TFontList::FontIndexOfEntry(i)), WideToUtf8(f.Name()),
                std::to_string(f.Height()), std::to_string((f.Style() & kFontBold) != 0),
                std::to_string((f.Style() & kFontItalic) != 0), std::to_string(f.GetByte(10)),
                std::to_string((f.Style() & kFontStrikeOut) != 0), std::to_string(f.ColorIndex()),
                std::to_string(f.Weight()), std::to_string(f.Charset())});
    }
    for (int i = 0; i < g.Formats().Count(); ++i) {
        const TFormatRecord& f = g.Formats().Item(i);
        expect({"format", std::to_string(f.FormatIndex()), WideToUtf8(f.FormatString())});
    }
    expect({"colour", "63", "200", "10", "20"});
}

TEST(Interop, OurWorkbookGivesGnumericBackItsSheetsValuesAndLayout) {
    REQUIRE_TOOLS();
    OurBook our;
    test::TempDir dir;
    our.book.SaveToFile(dir.File("ours.xls"));
    int rc = 0;
    const std::string dump = test::Run("/usr/bin/python3 " + test::InteropScript("dump_gnumeric.py") + " " +
                                           dir.File("ours.xls") + " " + dir.Path(),
                                       &rc);
    ASSERT_EQ(rc, 0) << dump;
    std::map<std::string, Fact> cells, styles;
    std::vector<std::string> sheets;
    std::set<std::string> merges;
    std::map<std::string, double> cols, rows;
    for (const Fact& f : Facts(dump)) {
        const std::string key = f.size() > 3 ? f[1] + "," + f[2] + "," + f[3] : "";
        if (f[0] == "sheet") sheets.push_back(f[2]);
        if (f[0] == "cell") cells[key] = f;
        if (f[0] == "style") styles[key] = f;
        if (f[0] == "merge") merges.insert(f[1] + "," + f[2] + "," + f[3] + "," + f[4] + "," + f[5]);
        if (f[0] == "col" && f[4] == "0") cols[f[1] + "," + f[2]] = D(f[3]);
        if (f[0] == "col" && f[4] == "1") cols[f[1] + "," + f[2]] = -1;
        if (f[0] == "row") rows[f[1] + "," + f[2]] = D(f[3]);
    }
    EXPECT_EQ(sheets, (std::vector<std::string>{"价目表", "Second", "Empty"}));
    auto text = [&](const char* key) { return cells.count(key) ? cells[key][5] : std::string("<missing>"); };
    EXPECT_EQ(text("0,0,0"), "Äpfel 苹果");
    EXPECT_EQ(D(text("0,0,1")), 3.25);
    EXPECT_EQ(D(text("0,1,0")), 45000);
    EXPECT_EQ(text("0,2,0"), WideToUtf8(our.longText));
    EXPECT_EQ(D(text("0,40,3")), -1e-5);
    EXPECT_EQ(D(text("1,69,1")), 69 * 1.5);
    EXPECT_TRUE(merges.count("0,3,4,0,2"));
    EXPECT_DOUBLE_EQ(rows["0,1"], 30);  // 600 twips
    // Widths: Gnumeric converts character units with its own font metrics,
    // so equal widths stay equal and the ratio of two widths is kept.
    ASSERT_TRUE(cols.count("0,0") && cols.count("0,1") && cols.count("0,2"));
    EXPECT_DOUBLE_EQ(cols["0,0"], cols["0,1"]);
    EXPECT_NEAR(cols["0,0"] / cols["0,2"], 4.0, 0.15);
    EXPECT_EQ(cols["0,5"], -1);  // hidden
    ASSERT_TRUE(styles.count("0,0,0"));
    const Fact& styled = styles["0,0,0"];
    EXPECT_EQ(styled[4], "0.000");
    EXPECT_EQ(styled[5], "FFFF:FFFF:0");
    EXPECT_EQ(styled[6], "Arial");
    EXPECT_EQ(styled[7], "1");
    EXPECT_EQ(styled[8], "1");
    // Gnumeric keeps one border per edge between two cells: A1's right
    // edge is B1's left one.
    EXPECT_EQ(styled[9].substr(0, 4), "1,2,");
    EXPECT_EQ(styled[9].back(), '4');
    ASSERT_TRUE(styles.count("0,1,0"));
    EXPECT_EQ(styles["0,1,0"][4], "yyyy\"年\"m\"月\"d\"日\"");
    EXPECT_EQ(styles["0,1,0"][5], "-");
}

}  // namespace
}  // namespace plu
