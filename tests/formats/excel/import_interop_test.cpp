// Workbooks of other programs opened as the editor opens them: python3-xlwt
// writes one, Gnumeric's ssconvert rewrites it with its own BIFF8 writer, and
// both load into a sheet control with their sheets, values, live formulas,
// merged range, frozen panes and protection.
#include <gtest/gtest.h>

#include "base/text_measurer.h"
#include "formats/excel/load_workbook.h"
#include "grid/cell.h"
#include "import_test_support.h"
#include "sheets/sheet_control.h"

namespace plu {
namespace {

using namespace test;

class ImportInterop : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        if (!HavePythonXlwt()) GTEST_SKIP() << "python3-xlwt is not installed";
        if (GetParam() && !HaveSsconvert()) GTEST_SKIP() << "Gnumeric's ssconvert is not installed";
        const std::string xlwtFile = dir_.File("xlwt.xls");
        int status = 0;
        test::Run("/usr/bin/python3 " +
                      SourceFile("tests/formats/excel/import_interop_workbook.py") + " " + xlwtFile,
                  &status);
        ASSERT_EQ(status, 0);
        file_ = xlwtFile;
        if (GetParam()) {
            file_ = dir_.File("gnumeric.xls");
            test::Run("/usr/bin/ssconvert --export-type=Gnumeric_Excel:excel_biff8 " + xlwtFile +
                          " " + file_ + " 2>/dev/null",
                      &status);
            ASSERT_EQ(status, 0);
        }
    }

    // Sheet cell A1 is the first body cell of a worksheet.
    static TKtCell* At(TVexaGridSheet& sheet, int col, int row) {
        return sheet.FindCell(sheet.FixedColCount() + col, sheet.FixedRowCount() + row);
    }
    static WideString Shown(TVexaGridSheet& sheet, int col, int row) {
        const TKtCell* cell = At(sheet, col, row);
        return cell ? cell->GetText() : u"<no cell>";
    }

    TempDir dir_;
    std::string file_;
    FixedTextMeasurer measurer_;
};

TEST_P(ImportInterop, SheetsValuesFormulasMergesPanesAndProtectionArrive) {
    TVexaSheetControl control;
    const std::vector<TFormulaFailure> failures =
        LoadWorkbook(control, Utf8ToWide(file_), &measurer_);
    EXPECT_TRUE(failures.empty());

    ASSERT_EQ(control.SheetCount(), 3);  // the fourth worksheet is not read
    EXPECT_EQ(control.Sheets(0).Caption(), u"Prices");
    EXPECT_EQ(control.Sheets(1).Caption(), u"Stock");
    EXPECT_EQ(control.Sheets(2).Caption(), u"第三");
    EXPECT_EQ(control.ActiveSheet(), &control.Sheets(0));

    TVexaGridSheet& prices = control.Sheets(0);
    EXPECT_EQ(Shown(prices, 0, 0), u"Apples");
    EXPECT_EQ(Shown(prices, 1, 0), u"2.5");
    EXPECT_EQ(Shown(prices, 1, 2), u"10");
    EXPECT_EQ(At(prices, 1, 2)->GetText(false), u"=B1*B2");
    EXPECT_EQ(Shown(prices, 1, 3), u"6.5");
    EXPECT_EQ(At(prices, 1, 3)->GetText(false), u"=SUM(B1:B2)");
    // The formulas are live: they follow the cells they read.
    At(prices, 1, 1)->SetText(u"10");
    EXPECT_EQ(Shown(prices, 1, 2), u"25");
    EXPECT_EQ(Shown(prices, 1, 3), u"12.5");

    const int fc = prices.FixedColCount(), fr = prices.FixedRowCount();
    const int merged = prices.MergedAreas().FindByAnchor(fc, fr + 5);
    ASSERT_GE(merged, 0);
    EXPECT_EQ(prices.MergedAreas()[merged].Rect, (TRect{fc, fr + 5, fc + 3, fr + 7}));
    EXPECT_EQ(Shown(prices, 0, 5), u"merged");

    EXPECT_EQ(prices.ViewLockRow(), fr + 1);
    EXPECT_EQ(prices.ViewLockCol(), fc + 1);
    // Gnumeric does not carry the sheet protection over when it rewrites the
    // file (its sheet has no PROTECT record), so only xlwt's is protected.
    EXPECT_EQ(prices.IsProtected(), !GetParam());

    TVexaGridSheet& stock = control.Sheets(1);
    EXPECT_FALSE(stock.IsProtected());
    EXPECT_EQ(Shown(stock, 0, 1), u"8");
    At(stock, 0, 0)->SetText(u"41");
    EXPECT_EQ(Shown(stock, 0, 1), u"42");
    EXPECT_EQ(Shown(control.Sheets(2), 0, 0), u"three");
}

INSTANTIATE_TEST_SUITE_P(WrittenBy, ImportInterop, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return info.param ? "Gnumeric" : "Xlwt";
                         });

}  // namespace
}  // namespace plu
