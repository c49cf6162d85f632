// Opening workbooks in a sheet control, and the bridge the control opens
// them through.
#include <gtest/gtest.h>

#include "base/text_measurer.h"
#include "formats/biff8/xls_errors.h"
#include "formats/excel/excel_rw.h"
#include "formats/excel/load_workbook.h"
#include "grid/cell.h"
#include "import_test_support.h"
#include "sheets/sheet_control.h"

namespace plu {
namespace {

using namespace test;

FixedTextMeasurer measurer;

WideString TextAt(const TKtCustomGrid& grid, int col, int row) {
    const TKtCell* cell = grid.FindCell(col, row);
    return cell ? cell->GetText() : u"<no cell>";
}

// A workbook whose sheets are named as given, each with its name in A1.
BookBuilder NamedSheets(std::initializer_list<std::u16string> names) {
    BookBuilder b;
    for (const auto& name : names)
        b.Sheet(name)
            .Add(id::DIMENSIONS, Dimensions(0, 1, 0, 1))
            .Add(id::LABEL, Label(0, 0, 1, name));
    return b;
}

TEST(ExcelLoadWorkbook, FirstThreeWorksheetsBecomeCaptionedSheets) {
    TVexaSheetControl control;
    int newSheetEvents = 0;
    control.OnNewSheet = [&](TVexaSheetControl&, TVexaGridSheet&) { ++newSheetEvents; };
    const Bytes file = NamedSheets({u"Prices", u"Stock", u"价格", u"Four", u"Five"}).Document();
    EXPECT_TRUE(LoadWorkbookFromDocument(control, file, &measurer).empty());

    ASSERT_EQ(control.SheetCount(), 3);
    EXPECT_EQ(control.Sheets(0).Caption(), u"Prices");
    EXPECT_EQ(control.Sheets(1).Caption(), u"Stock");
    EXPECT_EQ(control.Sheets(2).Caption(), u"价格");
    EXPECT_EQ(TextAt(control.Sheets(2), 1, 1), u"价格");
    EXPECT_EQ(control.ActiveSheet(), &control.Sheets(0));
    EXPECT_EQ(newSheetEvents, 0);
    EXPECT_EQ(control.Tabs().Caption(1), u"Stock");
}

TEST(ExcelLoadWorkbook, SheetsAlreadyThereStayAndTheNewOnesJoinTheFormulaContext) {
    TVexaSheetControl control;
    control.AddSheet(u"Mine");
    TVexaGridSheet& mine = control.Sheets(0);

    TempDir dir;
    const std::string path = dir.File("价格表.xls");
    WriteFile(path, NamedSheets({u"Prices", u"Stock"}).Document());
    EXPECT_TRUE(LoadWorkbook(control, Utf8ToWide(path), &measurer).empty());
    ASSERT_EQ(control.SheetCount(), 3);
    EXPECT_EQ(control.ActiveSheet(), &mine);  // sheet 0 is activated, whichever it is
    EXPECT_EQ(control.Sheets(2).Caption(), u"Stock");

    // The loaded sheets are reached by caption from the others.
    control.Sheets(2).GetCell(1, 1).SetText(u"20");
    mine.GetCell(1, 1).SetText(u"=Stock!A1*2");
    EXPECT_EQ(TextAt(mine, 1, 1), u"40");
}

TEST(ExcelLoadWorkbook, FormulasAreCalculatedAndAFailingOneDoesNotStopTheLoad) {
    BookBuilder b;
    b.Sheet(u"S").Add(id::DIMENSIONS, Dimensions(0, 2, 0, 2));
    b.Add(id::NUMBER, Number(0, 0, 1, 41));
    Bytes aPlusOne = RefToken(0, 0);
    for (const Bytes& t : {IntToken(1), AddToken()})
        aPlusOne.insert(aPlusOne.end(), t.begin(), t.end());
    b.Add(id::FORMULA, Formula(0, 1, 1, 0, aPlusOne));
    b.Add(id::FORMULA, Formula(1, 1, 1, 0, RefToken(1, 1)));  // B2 = B2
    TVexaSheetControl control;
    const std::vector<TFormulaFailure> failures =
        LoadWorkbookFromDocument(control, b.Document(), &measurer);
    const TVexaGridSheet& sheet = control.Sheets(0);
    EXPECT_EQ(TextAt(sheet, 2, 1), u"42");
    EXPECT_EQ(TextAt(sheet, 2, 2), u"#VALUE!");
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].sheet, u"S");
    EXPECT_FALSE(failures[0].message.empty());
}

TEST(ExcelLoadWorkbook, ReadingErrorsPropagate) {
    TVexaSheetControl control;
    TempDir dir;
    const std::string text = dir.File("notes.xls");
    WriteFile(text, {'h', 'e', 'l', 'l', 'o'});
    EXPECT_THROW(LoadWorkbook(control, Utf8ToWide(text)), Exception);
    EXPECT_THROW(LoadWorkbook(control, Utf8ToWide(dir.File("missing.xls"))), Exception);
    EXPECT_EQ(control.SheetCount(), 0);

    // The second worksheet is damaged: the first stays attached, nothing is
    // activated.
    BookBuilder b = NamedSheets({u"Good", u"Bad"});
    b.Add(id::LABELSST, LabelSst(0, 0, 1, 3));
    try {
        LoadWorkbookFromDocument(control, b.Document(), &measurer);
        FAIL() << "a damaged sheet was read";
    } catch (const EXlsError& e) {
        EXPECT_EQ(e.Message(), u"读取记录出错");
    }
    ASSERT_EQ(control.SheetCount(), 2);
    EXPECT_EQ(control.Sheets(0).Caption(), u"Good");
    EXPECT_EQ(control.ActiveSheet(), nullptr);
}

TEST(ExcelGridBridge, ReadSheetClearsTheGridFirstAndChecksTheIndex) {
    TKtGridExcelRW bridge(&measurer);
    bridge.LoadFromDocument(NamedSheets({u"One"}).Document());
    EXPECT_EQ(bridge.SheetCount(), 1);
    EXPECT_EQ(bridge.SheetName(0), u"One");

    TKtCustomGrid grid;
    grid.GetCell(3, 3).SetText(u"old");
    grid.MergeCells(2, 2, 3, 3);
    grid.SetColWidth(4, 99);
    bridge.ReadSheet(grid, 0, 0, 0);
    EXPECT_EQ(grid.FindCell(3, 3), nullptr);
    EXPECT_EQ(grid.MergedAreas().Count(), 0);
    EXPECT_EQ(grid.ColWidths(4), grid.DefaultColWidth());
    EXPECT_EQ(TextAt(grid, 1, 1), u"One");

    grid.GetCell(3, 3).SetText(u"kept");
    EXPECT_THROW(bridge.SheetName(1), Exception);
    EXPECT_THROW(bridge.ReadSheet(grid, 1, 0, 0), Exception);
    EXPECT_EQ(TextAt(grid, 3, 3), u"kept");
}

}  // namespace
}  // namespace plu
