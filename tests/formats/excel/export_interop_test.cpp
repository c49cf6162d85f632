// Workbooks saved from a grid, read by programs we did not write:
// python3-xlrd (formatting_info=True) and Gnumeric's ssconvert must see the
// grid's values and formats, long texts included.
#include <cstdio>
#include <map>
#include <sstream>

#include "base/screen.h"
#include "export_grid_support.h"
#include "formats/excel/export_xls.h"
#include "grid/cell.h"
#include "grid/grid_column.h"
#include "support/facts.h"

namespace plu::exporttest {
namespace {

using plu::testing::Fact;
using plu::testing::Facts;

// Facts of one kind keyed by their position fields ("r,c").
std::map<std::string, Fact> ByPosition(const std::vector<Fact>& facts, const std::string& kind, size_t first) {
    std::map<std::string, Fact> out;
    for (const Fact& f : facts)
        if (f[0] == kind) out[f[first] + "," + f[first + 1]] = f;
    return out;
}

std::string Num(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::string Rgb(TColor c) {
    const TColor rgb = ColorToRGB(c);
    return std::to_string(GetRValue(rgb)) + "," + std::to_string(GetGValue(rgb)) + "," +
           std::to_string(GetBValue(rgb));
}

// "<length>:<first 20>...<last 20>" for texts longer than 40, as the scripts print them.
std::string Shown(const WideString& text) {
    if (text.size() <= 40) return WideToUtf8(text);
    return std::to_string(text.size()) + ":" + WideToUtf8(text.substr(0, 20)) + "..." +
           WideToUtf8(text.substr(text.size() - 20));
}

class ExportInteropTest : public ExportTest {
protected:
    ExportInteropTest() {
        nineThousand = WideString(8990, u'价') + u" ends here";
        limit = u"begin " + WideString(32761, u'x');
        grid.SetColCount(8);
        grid.SetRowCount(9);
        grid.SetColWidth(1, 120);
        grid.SetColWidth(2, 50);
        grid.SetColVisible(6, false);
        grid.SetRowHeight(3, 40);
        grid.GetColumn(3).Style().SetFormatString(u"0.00");  // a column format its cells show

        Put(1, 1, u"Äpfel 苹果");
        Put(2, 1, u"1234.5").OwnStyle().SetFormatString(u"#,##0.00");
        Put(3, 1, u"2.5");
        Put(4, 1, u"-7");
        Put(5, 1, u"00123").OwnStyle().SetFormatString(u"@");
        TKtCell& styled = Put(1, 2, u"styled");
        styled.OwnStyle().SetBgColor(clYellow);
        styled.OwnStyle().SetHorzAlign(TKtGridHorzAlign::haCenter);
        styled.OwnStyle().SetBorders(kEdgeMaskBox, kLineMedium, clBlue);
        TKtCellFont font = styled.OwnFont();
        font.SetName(u"Arial");
        font.SetSize(14);
        font.SetStyle(TFontStyles(0x03));
        font.SetColor(RGB(200, 10, 20));
        TKtCell& date = Put(2, 2, u"3/15/2024");  // a date takes format 14, "m/d/yy"
        (void)date;
        Put(3, 2, u"0.125");
        Put(1, 3, u"wrapped text").OwnStyle().SetWrapText(true);
        Put(1, 4, nineThousand);
        Put(1, 5, limit);
        Put(2, 6, u"merged");
        grid.MergeCells(2, 6, 4, 7);
        Put(5, 6, u"=1+1");  // saved as a formula with its result
    }

    TKtCell& Put(int col, int row, WideStringView text) {
        TKtCell& cell = grid.GetCell(col, row);
        cell.SetText(text);
        return cell;
    }

    // The format string a reader should see for a grid cell.
    WideString FormatOf(const TKtCell& cell) {
        const WideString f = cell.EffectiveStyle(TKtStyleAttribute::Format).FormatString();
        return f.empty() ? u"General" : f;
    }

    std::string Save(const TempDir& dir) {
        const std::string path = dir.File("grid.xls");
        SaveToXlsFile(grid, path);
        return path;
    }

    WideString nineThousand;
    WideString limit;
};

#define REQUIRE_XLRD() \
    if (!HaveXlrd()) GTEST_SKIP() << "python3-xlrd is not installed"
#define REQUIRE_SSCONVERT() \
    if (!HaveSsconvert()) GTEST_SKIP() << "Gnumeric's ssconvert is not installed"

TEST_F(ExportInteropTest, XlrdReadsTheGridsValuesAndFormats) {
    REQUIRE_XLRD();
    TempDir dir;
    const std::string path = Save(dir);
    int rc = 0;
    const std::string dump = exporttest::Run("/usr/bin/python3 " + ScriptPath("export_xlrd_dump.py") + " '" + path + "'", &rc);
    ASSERT_EQ(rc, 0) << dump;
    const std::vector<Fact> facts = Facts(dump);
    const auto cells = ByPosition(facts, "cell", 2);

    int checked = 0;
    for (int r = 1; r < grid.RowCount(); ++r) {
        for (int c = 1; c < grid.ColCount(); ++c) {
            const TKtCell* cell = grid.FindCell(c, r);
            const std::string key = std::to_string(r - 1) + "," + std::to_string(c - 1);
            SCOPED_TRACE("sheet cell " + key);
            if (!cell || cell->IsEmpty()) {
                EXPECT_EQ(cells.count(key), 0u);
                continue;
            }
            ASSERT_EQ(cells.count(key), 1u);
            const Fact& f = cells.at(key);
            if (cell->IsNumber() || cell->Kind() == TKtValueKind::vkFormula) {
                // xlrd tells dates by their format.
                const bool date = cell->EffectiveStyle(TKtStyleAttribute::Format).IsDateTimeFormat();
                EXPECT_EQ(f[4], date ? "3" : "2");
                EXPECT_EQ(f[5], Num(cell->GetAsFloat()));
            } else {
                EXPECT_EQ(f[4], "1");
                EXPECT_EQ(f[5], Shown(cell->GetAsString()));
            }
            EXPECT_EQ(f[6], WideToUtf8(FormatOf(*cell)));
            const TFont& font = cell->Font();
            EXPECT_EQ(f[7], WideToUtf8(font.Name()));
            EXPECT_EQ(f[8], std::to_string(MulDiv(-font.Height(), 1440, 96)));
            EXPECT_EQ(f[9], font.Bold() ? "1" : "0");
            EXPECT_EQ(f[10], font.Italic() ? "1" : "0");
            EXPECT_EQ(f[13], Rgb(font.Color()));
            EXPECT_EQ(f[14], std::to_string(static_cast<int>(
                                 cell->EffectiveStyle(TKtStyleAttribute::Alignment).HorzAlign())));
            EXPECT_EQ(f[16], cell->IsWordWrap() ? "1" : "0");
            const TColor fill = cell->Background();
            if (fill == clWindow) {
                EXPECT_EQ(f[18], "0");
            } else {
                EXPECT_EQ(f[18], "1");
                EXPECT_EQ(f[19], Rgb(fill));
            }
            ++checked;
        }
    }
    EXPECT_EQ(checked, 13);

    const Fact& styled = cells.at("1,0");
    EXPECT_EQ(styled[20], "2,2,2,2");
    EXPECT_EQ(styled[21], "0,0,255;0,0,255;0,0,255;0,0,255");

    std::map<int, Fact> columns;
    for (const Fact& f : facts)
        if (f[0] == "col") columns[std::stoi(f[2])] = f;
    EXPECT_EQ(columns.at(0)[3], std::to_string(MulDiv(120, 256, 8)));
    EXPECT_EQ(columns.at(1)[3], std::to_string(MulDiv(50, 256, 8)));
    EXPECT_EQ(columns.at(5)[4], "1");
    EXPECT_EQ(columns.at(2)[5], "0.00");

    bool tallRow = false, merged = false;
    for (const Fact& f : facts) {
        if (f[0] == "row" && f[2] == "2") tallRow = f[3] == std::to_string(MulDiv(40, 1440, 96));
        if (f[0] == "merge") merged = f == Fact{"merge", "0", "5", "6", "1", "3"};
    }
    EXPECT_TRUE(tallRow);
    EXPECT_TRUE(merged);
}

TEST_F(ExportInteropTest, GnumericReadsTheGridsValuesAndFormats) {
    REQUIRE_SSCONVERT();
    TempDir dir;
    const std::string path = Save(dir);
    int rc = 0;
    const std::string dump = exporttest::Run("/usr/bin/python3 " + ScriptPath("export_gnumeric_dump.py") + " '" + path +
                                     "' '" + dir.Path() + "'",
                                 &rc);
    ASSERT_EQ(rc, 0) << dump;
    const std::vector<Fact> facts = Facts(dump);
    const auto cells = ByPosition(facts, "cell", 1);
    const auto styles = ByPosition(facts, "style", 1);

    int checked = 0;
    for (int r = 1; r < grid.RowCount(); ++r) {
        for (int c = 1; c < grid.ColCount(); ++c) {
            const TKtCell* cell = grid.FindCell(c, r);
            if (!cell || cell->IsEmpty()) continue;
            const std::string key = std::to_string(r - 1) + "," + std::to_string(c - 1);
            SCOPED_TRACE("sheet cell " + key);
            ASSERT_EQ(cells.count(key), 1u);
            const Fact& f = cells.at(key);
            if (cell->IsNumber() || cell->Kind() == TKtValueKind::vkFormula) {
                EXPECT_EQ(f[3], "40");
                EXPECT_DOUBLE_EQ(std::stod(f[4]), cell->GetAsFloat());
            } else {
                EXPECT_EQ(f[3], "60");
                EXPECT_EQ(f[4], Shown(cell->GetAsString()));
            }
            ASSERT_EQ(styles.count(key), 1u);
            const Fact& s = styles.at(key);
            EXPECT_EQ(s[3], WideToUtf8(FormatOf(*cell)));
            EXPECT_EQ(s[5], WideToUtf8(cell->Font().Name()));
            ++checked;
        }
    }
    EXPECT_EQ(checked, 13);
    const Fact& styled = styles.at("1,0");
    EXPECT_EQ(styled[4], "FFFF:FFFF:0");
    EXPECT_EQ(styled[7], "1");  // bold
    EXPECT_EQ(styled[8], "1");  // italic

    bool merged = false, hidden = false;
    for (const Fact& f : facts) {
        if (f[0] == "merge") merged = f == Fact{"merge", "5", "6", "1", "3"};
        if (f[0] == "col" && f[1] == "5") hidden = f[3] == "1";
    }
    EXPECT_TRUE(merged);
    EXPECT_TRUE(hidden);
}

}  // namespace
}  // namespace plu::exporttest
