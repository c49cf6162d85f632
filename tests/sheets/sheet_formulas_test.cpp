// Formulas in the worksheets of a sheet control: typed formulas follow the
// cells they refer to, show error values, refuse circular references, reach
// other worksheets by caption through the shared formula context and shift
// their relative references when copied.
#include <gtest/gtest.h>

#include <string>

#include "sheets/sheet_control.h"
#include "sheets_test_support.h"

namespace plu::testing {
namespace {

class SheetFormulasTest : public SheetsTest {
  protected:
    SheetFormulasTest() {
        control.SetSheetBaseName(u"Sheet");
        control.AddSheet();
        control.AddSheet();
        control.ActivateSheet(0);
        for (int i = 0; i < control.SheetCount(); ++i)
            control.Sheets(i).SetMeasurer(&measurer_);
    }
    // A cell by its formula name (A1 is the first body cell).
    static TKtCell& At(TVexaGridSheet& sheet, const std::string& name) {
        const int col = name[0] - 'A';
        const int row = std::stoi(name.substr(1)) - 1;
        return sheet.GetCell(col + sheet.FixedColCount(), row + sheet.FixedRowCount());
    }
    void Type(int sheet, const std::string& name, const std::string& text) {
        At(control.Sheets(sheet), name).SetText(Utf8ToWide(text));
    }
    std::string Show(int sheet, const std::string& name) {
        return U8(At(control.Sheets(sheet), name).GetText());
    }
    static std::string FailureOf(const std::function<void()>& action) {
        try {
            action();
        } catch (const Exception& e) {
            return U8(e.Message());
        }
        return "no failure";
    }

    TVexaSheetControl control;
};

TEST_F(SheetFormulasTest, ASumTypedFirstFollowsTheCellsTypedAfterIt) {
    Type(0, "B1", "=SUM(A1:A3)");
    Type(0, "A1", "1");
    Type(0, "A2", "2");
    Type(0, "A3", "3");
    EXPECT_EQ(Show(0, "B1"), "6");
    Type(0, "A2", "5");
    EXPECT_EQ(Show(0, "B1"), "9");
}

TEST_F(SheetFormulasTest, ErrorValuesAndCircularReferences) {
    Type(0, "A1", "4");
    Type(0, "C1", "=A1/0");
    EXPECT_EQ(Show(0, "C1"), "#DIV/0!");
    EXPECT_EQ(FailureOf([&] { Type(0, "B1", "=B1"); }), "公式存在循环引用");
}

TEST_F(SheetFormulasTest, FormulasReachOtherSheetsByCaption) {
    Type(1, "A1", "4");
    Type(0, "B2", "=Sheet2!A1+1");
    EXPECT_EQ(Show(0, "B2"), "5");
    Type(0, "B3", "=sheet2!A1");
    EXPECT_EQ(Show(0, "B3"), "4");
    EXPECT_EQ(U8(At(control.Sheets(0), "B2").GetText(false)), "=Sheet2!A1+1");
    EXPECT_EQ(FailureOf([&] { Type(0, "B4", "=Sheet9!A1"); }), "公式中存在一个或多个无效的引用");
    // A plain data grid knows no other sheet.
    TKtCustomDataGrid lone;
    EXPECT_EQ(FailureOf([&] { lone.GetCell(1, 1).SetText(u"=Sheet2!A1"); }),
              "公式中存在一个或多个无效的引用");
}

TEST_F(SheetFormulasTest, AFormulaFollowsACellOfAnotherSheet) {
    Type(1, "A1", "4");
    Type(0, "B2", "=Sheet2!A1+1");
    Type(0, "B3", "=B2*2");
    Type(1, "A1", "10");
    EXPECT_EQ(Show(0, "B2"), "11");
    EXPECT_EQ(Show(0, "B3"), "22");
    // Cells of the other sheet created later inside a referenced range count too.
    Type(0, "C1", "=SUM(Sheet2!B1:B3)");
    Type(1, "B2", "7");
    EXPECT_EQ(Show(0, "C1"), "7");
}

TEST_F(SheetFormulasTest, SheetReferencesFollowTheirSheetAndLeaveWithIt) {
    control.AddSheet();  // Sheet3
    Type(1, "A1", "2");
    Type(2, "A1", "3");
    Type(0, "A1", "=Sheet3!A1*10");
    EXPECT_EQ(Show(0, "A1"), "30");
    // Moving the sheet it reads leaves the formula reading, and following,
    // that sheet at its new position.
    control.Sheets(2).SetSheetIndex(1);  // Sheet1, Sheet3, Sheet2
    EXPECT_EQ(Show(0, "A1"), "30");
    EXPECT_EQ(U8(At(control.Sheets(0), "A1").GetText(false)), "=Sheet3!A1*10");
    Type(1, "A1", "5");
    EXPECT_EQ(Show(0, "A1"), "50");
    Type(2, "A1", "7");
    EXPECT_EQ(Show(0, "A1"), "50");
    // A detached sheet no longer drives formulas of the control, and its own
    // formulas still follow its own cells.
    std::unique_ptr<TVexaGridSheet> gone = control.DetachSheet(control.Sheets(2));
    At(*gone, "B1").SetText(u"=A1+1");
    At(*gone, "A1").SetText(u"9");
    EXPECT_EQ(U8(At(*gone, "B1").GetText()), "10");
    EXPECT_EQ(Show(0, "A1"), "50");
    control.AttachSheet(std::move(gone));
    Type(1, "A1", "6");
    EXPECT_EQ(Show(0, "A1"), "60");
}

TEST_F(SheetFormulasTest, CopyingShiftsRelativeReferencesOnly) {
    Type(0, "A1", "1");
    Type(0, "A2", "2");
    Type(0, "B1", "10");
    Type(0, "C1", "=A1+$B$1");
    TKtCell& below = At(control.Sheets(0), "C2");
    below.CopyFrom(At(control.Sheets(0), "C1"), kCopyAll, false);
    EXPECT_EQ(U8(below.GetText(false)), "=A2+$B$1");
    EXPECT_EQ(Show(0, "C2"), "12");
}

TEST_F(SheetFormulasTest, WorksheetsShareTheControlsCompiler) {
    auto& first = static_cast<TKtSheetFormulas&>(control.Sheets(0).Formulas());
    auto& second = static_cast<TKtSheetFormulas&>(control.Sheets(1).Formulas());
    EXPECT_EQ(first.CalcExpress(), &control.FormulaContext().CalcExpress());
    EXPECT_EQ(second.CalcExpress(), first.CalcExpress());
    std::unique_ptr<TVexaGridSheet> alone = control.DetachSheet(control.Sheets(1));
    EXPECT_NE(alone->Formulas().CalcExpress(), first.CalcExpress());
    EXPECT_EQ(FailureOf([&] { alone->GetCell(1, 2).SetText(u"=Sheet1!A1"); }),
              "公式中存在一个或多个无效的引用");
    control.AttachSheet(std::move(alone));
    EXPECT_EQ(control.Sheets(1).Formulas().CalcExpress(), first.CalcExpress());
    Type(1, "A1", "=1+1");
    EXPECT_EQ(Show(1, "A1"), "2");
}

}  // namespace
}  // namespace plu::testing
