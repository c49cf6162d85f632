// Worksheets with formulas, booleans, error constants, references into
// other sheets, merged cells and every border line style, saved as a
// workbook: they open here again with live formulas, LibreOffice and
// Gnumeric show the same values, and the workbook LibreOffice saves from it
// opens here with the same values, formulas and border styles.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "formats/excel/export_xls.h"
#include "formats/excel/load_workbook.h"
#include "grid/cell.h"
#include "import_test_support.h"
#include "sheets/sheet_control.h"

namespace plu {
namespace {

using namespace test;

FixedTextMeasurer measurer;

// Body cell A1 of a worksheet is grid cell (1, 1).
void Put(TVexaGridSheet& sheet, int col, int row, WideStringView text) {
    sheet.GetCell(col + 1, row + 1).SetText(text);
}
WideString Shown(const TVexaGridSheet& sheet, int col, int row) {
    const TKtCell* cell = sheet.FindCell(col + 1, row + 1);
    return cell ? cell->GetText() : u"<none>";
}

struct Expected {
    const char16_t* typed;
    const char* shown;  // what the cell shows, here and in other programs
};

// Column A of "Prices"; "Stock" A1 is 10 and A2 "=Prices!A1*2".
const Expected kPrices[] = {
    {u"2", "2"},
    {u"=A1*3", "6"},
    {u"=Stock!A1+1", "11"},  // a sheet after this one
    {u"=\"a\"&\"b\"", "ab"},
    {u"=-A1%+SUM(A1:A2)", "7.98"},
    {u"=IF(A1>1,A2,0)", "6"},
    {u"=(A1+1)*2^2", "12"},
};

// The line style codes a workbook's cell borders have: 0 none, 1 thin,
// 2 medium, 3 dashed, 4 dotted, 5 thick, 6 double, 7 hair, 8 medium dashed,
// 9 dash-dot, 10 medium dash-dot, 11 dash-dot-dot, 12 medium dash-dot-dot,
// 13 slanted dash-dot.
constexpr uint8_t kLineStyleCodes = 14;
int BorderRow(uint8_t code) { return 1 + 2 * code; }

// Every edge of the box of each code in column H reads as expected(code).
template <typename Expected>
void ExpectBorderBoxes(const TVexaGridSheet& sheet, Expected expected) {
    for (uint8_t code = 0; code < kLineStyleCodes; ++code) {
        const TKtCell* cell = sheet.FindCell(8, BorderRow(code));
        ASSERT_NE(cell, nullptr) << int(code);
        for (int edge = kEdgeLeft; edge <= kEdgeBottom; ++edge)
            EXPECT_EQ(int(cell->Style().BorderLine(edge)), int(expected(code)))
                << "code " << int(code) << ", edge " << edge;
    }
}

class FormulaSave : public ::testing::Test {
  protected:
    FormulaSave() : settings_(RegionalSettings::Defaults()) {
        control_.AddSheet(u"Prices");
        control_.AddSheet(u"Stock");
        TVexaGridSheet& prices = control_.Sheets(0);
        TVexaGridSheet& stock = control_.Sheets(1);
        Put(stock, 0, 0, u"10");
        Put(stock, 0, 1, u"=Prices!A1*2");
        for (size_t i = 0; i < std::size(kPrices); ++i)
            Put(prices, 0, static_cast<int>(i), kPrices[i].typed);
        Put(prices, 1, 0, u"TRUE");
        Put(prices, 1, 1, u"#N/A");
        Put(prices, 1, 2, u"=1/0");
        Put(prices, 1, 3, u"=A1=2");
        prices.MergeCells(3, 1, 4, 2);
        Put(prices, 2, 0, u"merged");
        // Column H: a box of each line style code, every other row so that
        // no two boxes share an edge.
        for (uint8_t code = 0; code < kLineStyleCodes; ++code) {
            TKtCell& cell = prices.GetCell(8, BorderRow(code));
            cell.SetText(u"border");
            cell.OwnStyle().SetBorders(kEdgeMaskBox, code, clBlack);
        }
        path_ = dir_.File("formulas.xls");
        report_ = SaveSheetsToXlsFile(control_, path_);
        if (const char* keep = std::getenv("PLU_KEEP_XLS"))
            std::system(("cp " + path_ + " " + keep).c_str());
    }

    // Has LibreOffice convert the saved workbook into format (a file name
    // extension) in folder out; false when LibreOffice is not installed.
    bool ConvertWithLibreOffice(const std::string& format, const std::string& out) {
        int status = 0;
        test::Run("test -x /usr/bin/soffice", &status);
        if (status != 0) return false;
        test::Run("cd " + dir_.File("") + " && HOME=" + dir_.File("") +
                      " timeout 120 /usr/bin/soffice --headless --convert-to " + format +
                      " --outdir " + dir_.File(out) + " " + path_ + " >/dev/null 2>&1",
                  &status);
        EXPECT_EQ(status, 0);
        return true;
    }

    ScopedRegionalSettings settings_;
    TempDir dir_;
    TVexaSheetControl control_;
    std::string path_;
    TXlsSaveReport report_;
};

TEST_F(FormulaSave, FormulasOpenHereAgainLiveWithTheirResults) {
    EXPECT_EQ(report_.formulasSavedAsValues, 0);
    TVexaSheetControl opened;
    EXPECT_TRUE(LoadWorkbook(opened, Utf8ToWide(path_), &measurer).empty());
    ASSERT_EQ(opened.SheetCount(), 2);
    TVexaGridSheet& prices = opened.Sheets(0);
    for (size_t i = 0; i < std::size(kPrices); ++i) {
        const int row = static_cast<int>(i);
        SCOPED_TRACE(WideToUtf8(kPrices[i].typed));
        EXPECT_EQ(WideToUtf8(Shown(prices, 0, row)), kPrices[i].shown);
        EXPECT_EQ(WideToUtf8(prices.FindCell(1, row + 1)->GetText(false)),
                  WideToUtf8(control_.Sheets(0).FindCell(1, row + 1)->GetText(false)));
    }
    EXPECT_EQ(Shown(prices, 1, 0), u"1");  // TRUE is kept as the grid keeps it
    EXPECT_EQ(Shown(prices, 1, 1), u"#N/A");
    EXPECT_EQ(Shown(prices, 1, 2), u"#DIV/0!");
    EXPECT_EQ(Shown(opened.Sheets(1), 0, 1), u"4");
    ExpectBorderBoxes(prices, [](uint8_t code) { return code; });
    // Live: a change reaches the formulas of both sheets.
    Put(prices, 0, 0, u"5");
    EXPECT_EQ(Shown(prices, 0, 1), u"15");
    EXPECT_EQ(Shown(opened.Sheets(1), 0, 1), u"10");
}

TEST_F(FormulaSave, FormulasBiff8CannotHoldAreSavedAsTheirValuesAndCounted) {
    // Saved alone, "Prices" cannot refer to "Stock"; no BIFF8 function has
    // the unknown name.
    TVexaGridSheet& prices = control_.Sheets(0);
    Put(prices, 0, 9, u"=NOSUCHFUNCTION(1)");
    const std::string path = dir_.File("values.xls");
    EXPECT_EQ(SaveToXlsFile(prices, path).formulasSavedAsValues, 2);
    TVexaSheetControl opened;
    LoadWorkbook(opened, Utf8ToWide(path), &measurer);
    const TKtCell* stock = opened.Sheets(0).FindCell(1, 3);
    EXPECT_EQ(stock->Kind(), TKtValueKind::vkFloat);
    EXPECT_EQ(stock->GetText(), u"11");
    EXPECT_EQ(Shown(opened.Sheets(0), 0, 9), u"#NAME?");
}

TEST(FormulaSaveLocale, FormulasTypedUnderACommaLocaleOpenUnderAnyLocale) {
    RegionalSettings comma = RegionalSettings::Defaults();
    comma.DecimalSeparator = u',';
    comma.ThousandSeparator = u'.';
    TempDir dir;
    const std::string path = dir.File("comma.xls");
    {
        ScopedRegionalSettings scope(comma);
        TVexaSheetControl control;
        control.AddSheet(u"S");
        Put(control.Sheets(0), 0, 0, u"=MAX(3,5;0)+0,25");
        ASSERT_EQ(Shown(control.Sheets(0), 0, 0), u"3,75");
        SaveToXlsFile(control.Sheets(0), path);
        TVexaSheetControl opened;
        LoadWorkbook(opened, Utf8ToWide(path), &measurer);
        EXPECT_EQ(opened.Sheets(0).FindCell(1, 1)->GetText(false), u"=MAX(3,5;0)+0,25");
        EXPECT_EQ(Shown(opened.Sheets(0), 0, 0), u"3,75");
    }
    ScopedRegionalSettings dot(RegionalSettings::Defaults());
    TVexaSheetControl opened;
    LoadWorkbook(opened, Utf8ToWide(path), &measurer);
    EXPECT_EQ(opened.Sheets(0).FindCell(1, 1)->GetText(false), u"=MAX(3.5,0)+0.25");
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Columns A and B of the first sheet, as a program other than ours shows them.
std::vector<std::pair<std::string, std::string>> FirstColumns(const std::string& csv) {
    std::vector<std::pair<std::string, std::string>> out;
    std::istringstream lines(csv);
    auto unquote = [](std::string f) {
        return f.size() >= 2 && f.front() == '"' ? f.substr(1, f.size() - 2) : f;
    };
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t comma = line.find(',');
        const size_t next = comma == std::string::npos ? comma : line.find(',', comma + 1);
        out.emplace_back(
            unquote(line.substr(0, comma)),
            comma == std::string::npos ? "" : unquote(line.substr(comma + 1, next - comma - 1)));
    }
    return out;
}

void ExpectSameValues(const std::string& csv) {
    const auto cells = FirstColumns(csv);
    ASSERT_GE(cells.size(), std::size(kPrices)) << csv;
    for (size_t i = 0; i < std::size(kPrices); ++i)
        EXPECT_EQ(cells[i].first, kPrices[i].shown) << i;
    EXPECT_EQ(cells[0].second, "1") << csv;  // "TRUE" typed: the grid keeps 1
    EXPECT_EQ(cells[1].second, "#N/A") << csv;
    EXPECT_EQ(cells[2].second, "#DIV/0!") << csv;
    // =A1=2: a boolean result; LibreOffice shows a cached one as a number.
    EXPECT_TRUE(cells[3].second == "TRUE" || cells[3].second == "1") << csv;
}

TEST_F(FormulaSave, GnumericShowsTheSameValues) {
    if (!HaveSsconvert()) GTEST_SKIP() << "Gnumeric's ssconvert is not installed";
    // One file per sheet: the first is "gnumeric.0.csv".
    int status = 0;
    test::Run(
        "/usr/bin/ssconvert -S " + path_ + " " + dir_.File("gnumeric.%n.csv") + " 2>/dev/null",
        &status);
    ASSERT_EQ(status, 0);
    ExpectSameValues(ReadText(dir_.File("gnumeric.0.csv")));
}

TEST_F(FormulaSave, LibreOfficeShowsTheSameValues) {
    if (!ConvertWithLibreOffice("csv", "lo")) GTEST_SKIP() << "LibreOffice is not installed";
    ExpectSameValues(ReadText(dir_.File("lo/formulas.csv")));
}

TEST_F(FormulaSave, WhatLibreOfficeSavesOpensHereWithTheSameValuesFormulasAndBorders) {
    if (!ConvertWithLibreOffice("xls", "lo-xls")) GTEST_SKIP() << "LibreOffice is not installed";
    TVexaSheetControl opened;
    LoadWorkbook(opened, Utf8ToWide(dir_.File("lo-xls/formulas.xls")), &measurer);
    ASSERT_EQ(opened.SheetCount(), 2);
    TVexaGridSheet& prices = opened.Sheets(0);
    for (size_t i = 0; i < std::size(kPrices); ++i) {
        SCOPED_TRACE(WideToUtf8(kPrices[i].typed));
        EXPECT_EQ(WideToUtf8(Shown(prices, 0, static_cast<int>(i))), kPrices[i].shown);
    }
    EXPECT_EQ(Shown(prices, 1, 1), u"#N/A");
    EXPECT_EQ(Shown(prices, 1, 2), u"#DIV/0!");
    const TKtCell* merged = prices.FindCell(3, 1);
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(merged->ColSpan(), 2);
    EXPECT_EQ(merged->RowSpan(), 2);
    // LibreOffice has no slanted dash-dot line (13): it saves that box as a
    // medium dash-dot one (10). Every other style comes back as it went.
    ExpectBorderBoxes(prices, [](uint8_t code) { return code == 13 ? uint8_t{10} : code; });
    // The formulas came back live, across the sheets too.
    Put(prices, 0, 0, u"5");
    EXPECT_EQ(Shown(prices, 0, 1), u"15");
    EXPECT_EQ(Shown(opened.Sheets(1), 0, 1), u"10");
}

}  // namespace
}  // namespace plu
