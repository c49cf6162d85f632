// The standard function list as users and workbooks meet it.
#include <gtest/gtest.h>

#include "formulas/fake_sheets.h"

namespace plu::testing {
namespace {

TEST(StandardFunctions, RegisteredFunctionsWithoutResultFailEveryCall) {
    FakeBook book;
    FakeSheet& sheet = book.Sheet(0);
    const TKtStdFunctionList& list = StandardFunctions();
    int withoutResult = 0;
    for (size_t i = 0; i < list.Count(); ++i) {
        const TKtFormulaFunctionDefine& f = list.Item(i);
        if (f.Impl) continue;
        ++withoutResult;
        // As many numeric arguments as the definition takes (one for a variable count).
        size_t count = f.FixedCount ? f.ParamTypes.size() : 1;
        WideString text = f.Name + u"(";
        for (size_t a = 0; a < count; ++a) text += a ? u",1" : u"1";
        text += u")";
        auto item = sheet.Compile(text);
        try {
            item->Calculate();
            ADD_FAILURE() << WideToUtf8(f.Name) << " produced a result";
        } catch (const EKtCalcError& e) {
            EXPECT_EQ(e.Message(), u"方法[" + f.Name + u"]返回值类型不正确");
        }
    }
    EXPECT_EQ(withoutResult, 18);
}

TEST(StandardFunctions, AreFoundByNameInAnyCaseAndByTheirWorkbookNumber) {
    const TKtStdFunctionList& list = StandardFunctions();
    ASSERT_NE(list.Find(u"average"), nullptr);
    EXPECT_EQ(list.Find(u"average")->Id, 5);
    EXPECT_EQ(list.Find(u"VLOOKUP"), nullptr);
    ASSERT_NE(list.FindById(4), nullptr);
    EXPECT_EQ(list.FindById(4)->Name, u"SUM");
    EXPECT_EQ(list.FindById(4)->Description, u"计算单元格区域中所有数值的和");
    EXPECT_EQ(list.FindById(19)->Name, u"PI");
    EXPECT_EQ(list.FindById(2), nullptr);
}

TEST(StandardFunctions, FormulaTextsFromWorkbooksCompile) {
    // The shapes the workbook reader writes: upper- and mixed-case booleans,
    // PI without arguments, SUM of an attribute range, percent and negation.
    FakeBook book;
    FakeSheet& sheet = book.Sheet(0);
    sheet.Set("A1", "2");
    sheet.Set("A2", "3");
    const std::pair<const char*, const char*> cases[] = {
        {"=IF(True,A1,False)", "2"},
        {"=PI()*0", "0"},
        {"=SUM(A1:A2)", "5"},
        {"=50%", "0.5"},
        {"=-3", "-3"},
        {"=A1+1", "3"},
        {"=VLOOKUP(A1,A1:A2,1)", "#NAME?"},
    };
    for (auto [formula, shown] : cases) {
        sheet.Set("C1", formula);
        EXPECT_EQ(sheet.Show("C1"), shown) << formula;
    }
}

}  // namespace
}  // namespace plu::testing
