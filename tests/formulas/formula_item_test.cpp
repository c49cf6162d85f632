// Formula items as cells use them: results and their conversions,
// calculation with the circular-reference guard and long chains, copying
// with shifted references, the references a formula reports.
#include <gtest/gtest.h>

#include <string>

#include "base/regional_settings.h"
#include "formulas/fake_sheets.h"

namespace plu::testing {
namespace {

std::string Source(TKtGridFormulaItem& item) { return WideToUtf8(item.SourceText()); }

std::string CalcMessage(TKtGridFormulaItem& item) {
    try {
        item.Calculate();
    } catch (const Exception& e) {
        return WideToUtf8(e.Message());
    }
    return "no failure";
}

class FormulaItem : public ::testing::Test {
protected:
    ScopedRegionalSettings en_{RegionalSettings::Defaults()};
    FakeBook book_;
    FakeSheet& sheet_ = book_.Sheet(0);
};

TEST_F(FormulaItem, ResultsConvertByTheirKind) {
    sheet_.Set("A1", "=-1");
    TKtGridFormulaItem& negative = *sheet_.Formula("A1");
    EXPECT_EQ(negative.AsNumber(), -1);
    EXPECT_FALSE(negative.AsBoolean());  // only numbers above 0 are true
    EXPECT_EQ(WideToUtf8(negative.AsString()), "-1");

    sheet_.Set("A2", "=\"true\"");
    EXPECT_TRUE(sheet_.Formula("A2")->AsBoolean());
    EXPECT_THROW(sheet_.Formula("A2")->AsNumber(), EConvertError);

    sheet_.Set("A3", "=\"\"");
    EXPECT_EQ(sheet_.Formula("A3")->AsNumber(), 0);
    EXPECT_FALSE(sheet_.Formula("A3")->AsBoolean());
    EXPECT_EQ(sheet_.Formula("A3")->ResultKind(), TKtFormulaValueKind::Empty);

    sheet_.Set("A4", "=1<2");
    EXPECT_EQ(sheet_.Formula("A4")->AsNumber(), 1);
    EXPECT_EQ(WideToUtf8(sheet_.Formula("A4")->AsString()), "TRUE");

    sheet_.Set("A5", "=1/0");
    try {
        sheet_.Formula("A5")->AsString();
        FAIL() << "an error result gave a text";
    } catch (const EKtFormulaError& e) {
        EXPECT_EQ(e.Code(), TKtErrorCode::Div0);
    }
    EXPECT_EQ(WideToUtf8(sheet_.Formula("A5")->DisplayText()), "#DIV/0!");

    // A range has no text: its display is the error a read would raise.
    sheet_.Set("A6", "=B1:B2");
    EXPECT_EQ(sheet_.Formula("A6")->ResultKind(), TKtFormulaValueKind::Range);
    EXPECT_THROW(sheet_.Formula("A6")->AsNumber(), EKtFormulaError);
    EXPECT_EQ(WideToUtf8(sheet_.Formula("A6")->DisplayText()), "#VALUE!");
}

TEST_F(FormulaItem, CellsConvertByTheCellRules) {
    sheet_.SetData("A1", TKtCellData::FromString(u"  TRUE "));
    sheet_.SetData("A2", TKtCellData::FromString(u"yes"));
    sheet_.SetData("A3", TKtCellData::FromFloat(0.25));
    sheet_.Set("B1", "=IF(A1,1,2)");
    sheet_.Set("B2", "=IF(A2,1,2)");
    sheet_.Set("B3", "=A3&\"\"");
    sheet_.Set("B4", "=A2+1");
    EXPECT_EQ(sheet_.Show("B1"), "1");
    EXPECT_EQ(sheet_.Show("B2"), "2");  // a cell text other than True is false, not an error
    EXPECT_EQ(sheet_.Show("B3"), "0.25");
    EXPECT_THROW(sheet_.Show("B4"), EConvertError);
}

TEST_F(FormulaItem, ResultsAreCachedUntilInvalidated) {
    sheet_.Set("A1", "1");
    sheet_.Set("B1", "=A1*10");
    EXPECT_EQ(sheet_.Show("B1"), "10");
    sheet_.Set("A1", "2");
    EXPECT_EQ(sheet_.Show("B1"), "10");
    sheet_.Formula("B1")->Invalidate();
    EXPECT_EQ(sheet_.Show("B1"), "20");
    // A failed recalculation leaves no stale result behind.
    sheet_.Set("A1", "x");
    EXPECT_THROW(sheet_.Formula("B1")->Calculate(), EConvertError);
    EXPECT_FALSE(sheet_.Formula("B1")->Calculated());
    EXPECT_TRUE(sheet_.Formula("B1")->Failed());
}

TEST_F(FormulaItem, ASelfReferenceFailsAsCircular) {
    sheet_.Set("A1", "=A1");
    EXPECT_EQ(CalcMessage(*sheet_.Formula("A1")), "公式存在循环引用");
    EXPECT_FALSE(sheet_.Formula("A1")->Calculated());
    sheet_.Set("B1", "=B1+1");
    EXPECT_THROW(sheet_.Show("B1"), EKtCalcError);
    // ROW only looks at the reference, it never reads the cell.
    sheet_.Set("C3", "=ROW(C3)");
    EXPECT_EQ(sheet_.Show("C3"), "3");
}

TEST_F(FormulaItem, ACycleThroughOtherFormulasFailsWhereverItIsEntered) {
    sheet_.Set("A1", "=B1+1");
    sheet_.Set("B1", "=C1+1");
    sheet_.Set("C1", "=A1+1");
    EXPECT_EQ(CalcMessage(*sheet_.Formula("B1")), "公式存在循环引用");
    EXPECT_EQ(CalcMessage(*sheet_.Formula("C1")), "公式存在循环引用");
    // Breaking the cycle lets every formula calculate again.
    sheet_.Set("C1", "5");
    sheet_.Formula("B1")->Invalidate();
    EXPECT_EQ(sheet_.Show("A1"), "7");
}

// Rows 1..n: A1 holds 1, every other row the row above plus one.
void BuildChain(FakeSheet& sheet, int n, const char* first = "1") {
    sheet.Set({0, 0}, Utf8ToWide(first));
    for (int row = 1; row < n; ++row)
        sheet.Put({0, row}, sheet.Compile(u"A" + IntToWide(row) + u"+1"));
}

TEST_F(FormulaItem, AHundredThousandChainedFormulasCalculateWithoutDeepRecursion) {
    const int n = 100000;
    BuildChain(sheet_, n);
    EXPECT_EQ(sheet_.Show("A100000"), "100000");
    EXPECT_TRUE(sheet_.Formula("A50000")->Calculated());

    // Change the start and recalculate everything, last item first.
    sheet_.Set("A1", "2");
    for (TKtGridFormulaItem* item : sheet_.Items()) item->Invalidate();
    EXPECT_EQ(sheet_.Show("A100000"), "100001");
}

TEST_F(FormulaItem, ALongCycleIsFoundAcrossTheWorkList) {
    const int n = 5000;
    BuildChain(sheet_, n);
    sheet_.Set("A1", "=A5000");
    EXPECT_EQ(CalcMessage(*sheet_.Formula("A5000")), "公式存在循环引用");
    EXPECT_EQ(CalcMessage(*sheet_.Formula("A2500")), "公式存在循环引用");
}

TEST_F(FormulaItem, AFailureAtTheStartOfALongChainReachesItsEndQuickly) {
    // Each formula that reads a failed one fails without evaluating the
    // chain below it again; otherwise this would take quadratic time.
    const int n = 5000;
    BuildChain(sheet_, n, "x");  // "x"+1 fails to convert
    EXPECT_THROW(sheet_.Show("A5000"), EConvertError);
    EXPECT_THROW(sheet_.RecalculateAll(), EConvertError);
    EXPECT_FALSE(sheet_.Formula("A2")->Calculated());
    sheet_.Set("A1", "1");
    sheet_.RecalculateAll();
    EXPECT_EQ(sheet_.Show("A5000"), "5000");
}

TEST_F(FormulaItem, RecalculateAllCalculatesEveryItemAndReportsTheFirstFailure) {
    sheet_.Set("A1", "1");
    sheet_.Set("B1", "=A1+1");
    sheet_.Set("B2", "=B2");
    sheet_.Set("B3", "=A1*3");
    sheet_.Set("A1", "5");
    try {
        sheet_.RecalculateAll();
        FAIL() << "the circular formula went unreported";
    } catch (const EKtCalcError& e) {
        EXPECT_EQ(WideToUtf8(e.Message()), "公式存在循环引用");
    }
    EXPECT_TRUE(sheet_.Formula("B1")->Calculated());
    EXPECT_TRUE(sheet_.Formula("B3")->Calculated());
    EXPECT_EQ(sheet_.Show("B3"), "15");
}

TEST_F(FormulaItem, AnItemRemovedDuringRecalculationIsSkipped) {
    sheet_.Set("A1", "=1");
    sheet_.Set("A2", "=2");
    sheet_.Set("A3", "=3");
    int calls = 0;
    sheet_.Formula("A1")->OnAfterCalculate = [&](TKtGridFormulaItem&) {
        ++calls;
        sheet_.Set("A2", "");  // frees the item of A2
    };
    sheet_.RecalculateAll();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sheet_.ItemCount(), 2u);
    EXPECT_TRUE(sheet_.Formula("A3")->Calculated());
}

TEST_F(FormulaItem, TheAfterCalculationCallbackRunsOnEverySuccess) {
    sheet_.Set("A1", "=1+1");
    sheet_.Set("A2", "=1/0");
    sheet_.Set("A3", "=A3");
    int calls = 0;
    for (const char* a1 : {"A1", "A2", "A3"})
        sheet_.Formula(a1)->OnAfterCalculate = [&](TKtGridFormulaItem&) { ++calls; };
    sheet_.Formula("A1")->Calculate();
    sheet_.Formula("A2")->Calculate();  // an error value is a result
    EXPECT_THROW(sheet_.Formula("A3")->Calculate(), EKtCalcError);
    EXPECT_EQ(calls, 2);
}

TEST_F(FormulaItem, CompilingIntoAnItemKeepsItsFormulaOnFailure) {
    sheet_.Set("A1", "=1+1");
    TKtGridFormulaItem& item = *sheet_.Formula("A1");
    EXPECT_THROW(sheet_.Compile(u"=1+", item), EKtCompileError);
    EXPECT_EQ(Source(item), "1+1");
    sheet_.Compile(u"=2*3", item);
    EXPECT_FALSE(item.Calculated());
    EXPECT_EQ(WideToUtf8(item.DisplayText()), "6");
    // A failed compilation of a new item leaves nothing in the list.
    const size_t count = sheet_.ItemCount();
    EXPECT_THROW(sheet_.Compile(u"=(1"), EKtCompileError);
    EXPECT_EQ(sheet_.ItemCount(), count);
}

TEST_F(FormulaItem, ShiftMovesRelativePartsAndMarksLostReferences) {
    auto item = sheet_.Compile(u"=A1+$B$1");
    item->Shift(0, 1);
    EXPECT_EQ(Source(*item), "A2+$B$1");
    item->Shift(0, -2);  // above the first body row
    EXPECT_EQ(Source(*item), "#REF!+$B$1");

    auto mixed = sheet_.Compile(u"=A$1+$A1+Sheet1!B2");
    mixed->Shift(2, 3);
    EXPECT_EQ(Source(*mixed), "C$1+$A4+Sheet1!D5");

    auto edge = sheet_.Compile(u"=IV1+A1");
    edge->Shift(1, 0);
    EXPECT_EQ(Source(*edge), "#REF!+B1");

    // Corners go back in order; open parts stay open.
    auto range = sheet_.Compile(u"=SUM(A1:A$3)+SUM(A:B)+SUM($1:$2)");
    range->Shift(1, 5);
    EXPECT_EQ(Source(*range), "SUM(B$3:B6)+SUM(B:C)+SUM($1:$2)");
    auto lost = sheet_.Compile(u"=SUM(A2:B3)");
    lost->Shift(0, -2);
    EXPECT_EQ(Source(*lost), "SUM(#REF!)");
    EXPECT_EQ(WideToUtf8(lost->DisplayText()), "#REF!");
}

TEST_F(FormulaItem, CopyingAFormulaOneRowDownShiftsItsRelativeReferences) {
    sheet_.Set("A1", "1");
    sheet_.Set("A2", "10");
    sheet_.Set("B1", "100");
    sheet_.Set("C1", "=A1+$B$1");
    auto copy = std::make_unique<TKtGridFormulaItem>(sheet_);
    copy->CopyFrom(*sheet_.Formula("C1"));
    EXPECT_EQ(Source(*copy), "A1+$B$1");
    copy->Shift(0, 1);
    sheet_.Put({2, 1}, std::move(copy));
    EXPECT_EQ(Source(*sheet_.Formula("C2")), "A2+$B$1");
    EXPECT_EQ(Source(*sheet_.Formula("C1")), "A1+$B$1");
    EXPECT_EQ(sheet_.Show("C1"), "101");
    EXPECT_EQ(sheet_.Show("C2"), "110");
}

TEST_F(FormulaItem, ReferencesListEachCellAndRangeOnce) {
    FakeBook book({u"Sheet1", u"Sheet2"});
    auto item = book.Sheet(0).Compile(u"=A1+SUM(B1:C2)+A1+Sheet2!A1+COUNT(A:A)+1");
    std::vector<TKtFormulaReference> expected = {
        {-1, {0, 0, 0, 0}, false},
        {-1, {1, 0, 2, 1}, true},
        {1, {0, 0, 0, 0}, false},
        {-1, {0, 0, 0, kMaxFormulaRow}, true},
    };
    EXPECT_EQ(item->References(), expected);
}

TEST_F(FormulaItem, ReplaceReferenceRetargetsSingleCellReferences) {
    FakeBook book({u"Sheet1", u"Sheet2"});
    FakeSheet& s = book.Sheet(0);
    s.Set("C5", "7");
    auto item = s.Compile(u"=$A$1+A1+Sheet1!A1+SUM(A1:A2)+Sheet2!A1");
    item->ReplaceReference({-1, 0, 0}, {-1, 2, 4});
    EXPECT_EQ(Source(*item), "$C$5+C5+Sheet1!C5+SUM(A1:A2)+Sheet2!A1");
    item->ReplaceReference({1, 0, 0}, {0, 1, 1});
    EXPECT_EQ(Source(*item), "$C$5+C5+Sheet1!C5+SUM(A1:A2)+Sheet1!B2");
    EXPECT_EQ(WideToUtf8(item->DisplayText()), "21");
}

TEST_F(FormulaItem, AnItemOutlivingItsGridFailsCleanly) {
    std::unique_ptr<TKtGridFormulaItem> orphan;
    {
        FakeBook book;
        orphan = book.Sheet(0).Compile(u"=1+1");
    }
    EXPECT_EQ(orphan->Owner(), nullptr);
    EXPECT_THROW(orphan->Calculate(), EKtCalcError);
}

TEST(FormulaTokens, SourceTextRefusesTokensThatOnlyTheCompilerUses) {
    FakeBook book;
    TKtGridFormulaItem item(book.Sheet(0));
    TKtTokenList list;
    TKtToken open;
    open.Kind = TKtTokenKind::OpenParen;
    list.Tokens.push_back(open);
    item.SetTokens(list);
    try {
        item.SourceText();
        FAIL() << "a parenthesis token was written";
    } catch (const EKtCalcError& e) {
        EXPECT_EQ(WideToUtf8(e.Message()), "Unknown Token");
    }
}

}  // namespace
}  // namespace plu::testing
