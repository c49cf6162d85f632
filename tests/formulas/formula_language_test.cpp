// The formula language as a user sees it: a formula typed into a cell and
// what the cell shows, or the message of the failure.
#include <gtest/gtest.h>

#include <string>

#include "base/regional_settings.h"
#include "formulas/calc_express.h"
#include "formulas/fake_sheets.h"

namespace plu::testing {
namespace {

struct Case {
    const char* cells;    // "A1=1;A2=x": what other cells hold first
    const char* formula;  // typed into H20
    const char* shown;    // what H20 shows, or "error: " and the failure's message
};

std::string Run(FakeBook& book, const Case& c) {
    FakeSheet& sheet = book.Sheet(0);
    std::string cells = c.cells;
    size_t at = 0;
    while (at < cells.size()) {
        size_t end = cells.find(';', at);
        if (end == std::string::npos) end = cells.size();
        std::string one = cells.substr(at, end - at);
        size_t eq = one.find('=');
        sheet.Set(one.substr(0, eq), one.substr(eq + 1));
        at = end + 1;
    }
    try {
        sheet.Set("H20", c.formula);
        return sheet.Show("H20");
    } catch (const Exception& e) {
        return "error: " + WideToUtf8(e.Message());
    }
}

void Check(const std::vector<Case>& cases) {
    ScopedRegionalSettings en(RegionalSettings::Defaults());
    for (const Case& c : cases) {
        FakeBook book;
        EXPECT_EQ(Run(book, c), c.shown) << "cells \"" << c.cells << "\", formula " << c.formula;
    }
}

TEST(FormulaLanguage, OperatorsFollowTheirPrecedence) {
    Check({
        {"", "=1+2*3", "7"},
        {"", "=2^3^2", "64"},
        {"", "=-2^2", "-4"},
        {"", "=10%", "0.1"},
        {"", "=2*-3", "-6"},
        {"A1=2;A2=3", "=$A$1*-A2^2", "-18"},
        {"", "=(1+2)*3", "9"},
        {"", "=1-2-3", "-4"},
        {"", "=2^-1", "0.5"},
        {"", "=10%^2", "0.01"},
        {"", "=2^3%", "0.08"},
        {"", "=-10%", "-0.1"},
        {"", "=1+2%", "1.02"},
        {"", "=10%-5", "-4.9"},
        {"", "=--3", "3"},
        {"", "=+\"5\"", "5"},
        {"", "=1e3+1", "1001"},
        {"", "=0.1+0.2", "0.3"},
        {"", "=1+2&3", "33"},
        {"", "=1+1=2", "TRUE"},
        {"", "=-0", "0"},
    });
}

TEST(FormulaLanguage, ArithmeticFailuresAreErrorValues) {
    Check({
        {"", "=1/0", "#DIV/0!"},
        {"", "=0/0", "#DIV/0!"},
        {"", "=10^400", "#NUM!"},
        {"", "=(-8)^(1/3)", "#NUM!"},
        {"A1=0", "=5/A1", "#DIV/0!"},
        {"A1==1/0", "=A1+1", "#DIV/0!"},
        {"A1==1/0", "=A1&\"\"", "#DIV/0!"},
        {"A1==1/0", "=-A1", "#DIV/0!"},
    });
}

TEST(FormulaLanguage, ComparisonsConvertToNumbersButEqualityComparesKinds) {
    Check({
        {"", "=1<2", "TRUE"},
        {"", "=2<=1", "FALSE"},
        {"", "=2>1", "TRUE"},
        {"", "=1>=1", "TRUE"},
        {"", "=1<>1", "FALSE"},
        {"", "=\"2\"<\"10\"", "TRUE"},
        {"", "=\"a\"=\"a\"", "TRUE"},
        {"", "=\"a\"=\"A\"", "FALSE"},
        {"", "=1=\"1\"", "FALSE"},
        {"", "=TRUE=1", "FALSE"},
        {"", "=TRUE=TRUE", "TRUE"},
        {"", "=A1=0", "TRUE"},
        {"", "=A1=\"\"", "TRUE"},
        {"", "=A1=FALSE", "TRUE"},
        {"", "=A1=1", "FALSE"},
        {"", "=A1=B1", "TRUE"},
        {"", "=\"\"=0", "TRUE"},
        {"A1=x", "=A1=\"x\"", "TRUE"},
        {"A1=2", "=A1=2", "TRUE"},
        {"A1==1+1", "=A1=2", "TRUE"},
        {"", "=\"a\"<\"b\"", "error: 'a' is not a valid floating point value"},
        {"", "=A1:A2=1", "error: 不支持这种运算操作"},
        {"A1==1/0", "=A1=1", "error: 不支持这种运算操作"},
    });
}

TEST(FormulaLanguage, TextsJoinAndQuoteBothWays) {
    Check({
        {"", "=\"a\"&1&TRUE", "a1TRUE"},
        {"A1=1.5", "=A1&\"x\"", "1.5x"},
        {"A1=TRUE", "=A1&\"\"", "1"},
        {"", "=1&#N/A", "#N/A"},
        {"", "=\"\"\"\"", "\""},
        {"", "='it''s'", "it's"},
        {"", "='say \"hi\"'", "say \"hi\""},
        {"", "=\"\"", ""},
        {"", "=''", ""},
        {"", "=\"中文\"&\"字\"", "中文字"},
        {"", "=REPT(\"a\",20000)&REPT(\"b\",20000)", "#VALUE!"},
    });
}

TEST(FormulaLanguage, WordsAreBooleansReferencesOrNameErrors) {
    Check({
        {"", "=#n/a", "#N/A"},
        {"", "=#NULL!", "#NULL!"},
        {"", "=#unknown", "#Unknown"},
        {"", "=#num!+1", "#NUM!"},
        {"", "=IF(TRUE,1,#N/A)", "#N/A"},
        {"", "=true", "TRUE"},
        {"", "=False", "FALSE"},
        {"", "=foo", "#NAME?"},
        {"", "=A0", "#NAME?"},
        {"", "=IW1", "#NAME?"},
        {"IV1=7", "=IV1", "7"},
        {"AA1=8", "=aa1", "8"},
        {"", "=A1B", "#NAME?"},
        {"", "=A", "#NAME?"},
        {"", "=A1:ZZ2", "#NAME?"},
        {"", "=A1:", "#NAME?"},
        {"", "=FOO(1,2)", "#NAME?"},
        {"", "=1+_x", "#NAME?"},
        {"A1=x", "=A1", "x"},
        {"", "=A1", ""},
    });
}

TEST(FormulaLanguage, StandardFunctions) {
    Check({
        {"A1=1;A2=x;A3=2", "=SUM(A1:A3)", "3"},
        {"A1=1;A2=x;A3=2", "=COUNT(A1:A3)", "2"},
        {"", "=COUNT(\"a\",1)", "2"},
        {"A1=x", "=COUNT(A1)", "1"},
        {"", "=COUNT(A1:B5)", "0"},
        {"", "=AVERAGE(A1:A2)", "#DIV/0!"},
        {"", "=AVERAGE(1,\"x\",2)", "1"},
        {"A1=2;A2=4", "=AVERAGE(A1:A3)", "3"},
        {"", "=SUM(TRUE,\"2\",\"x\")", "3"},
        {"", "=SUM()", "0"},
        {"", "=sum(1,2)", "3"},
        {"", "=SUM(#N/A)", "#N/A"},
        {"A1=1;A2==A1*2", "=SUM(A1:A2)", "3"},
        {"A1==1/0;A2=5", "=SUM(A1:A2)", "5"},
        {"A1==1/0;A2=5", "=COUNT(A1:A2)", "1"},
        {"A1=1;C3=2;B2=x", "=SUM(A1:C3)", "3"},
        {"", "=IF(1>2,\"yes\",\"no\")", "no"},
        {"", "=IF(\"TRUE\",1,2)", "1"},
        {"", "=IF(-1,1,2)", "1"},
        {"A1=x", "=IF(TRUE,A1,0)", "x"},
        {"", "=IF(\"x\",1,2)", "#VALUE!"},
        {"", "=IF(A1:A2,1,2)", "#VALUE!"},
        {"", "=IF(TRUE,1)", "error: 方法[IF]参数个数不对"},
        {"", "=ROUND(1.5,0)", "error: 方法[ROUND]参数个数不对"},
        {"", "=ROUND(1.5)", "error: 方法[ROUND]返回值类型不正确"},
        {"", "=EXP(1)", "error: 方法[EXP]返回值类型不正确"},
        {"", "=ROW(B3)", "3"},
        {"", "=COLUMN(B3)", "2"},
        {"", "=ROW(C5:B3)", "3"},
        {"", "=ROW(1)", "#Unknown"},
        {"", "=COLUMN(\"A1\")", "#Unknown"},
        {"", "=REPT(\"ab\",2.5)", "abab"},
        {"", "=REPT(\"ab\",3.5)", "abababab"},
        {"", "=REPT(\"ab\",0)", ""},
        {"", "=REPT(\"ab\",-3)", ""},
        {"", "=REPT(\"a\",1e9)", "#VALUE!"},
        {"", "=REPT(A1:A2,2)", "#Unknown"},
        {"", "=MIN(3,1,2)", "1"},
        {"A1=1;A2=x;A3=2", "=MAX(A1:A3,-1)", "2"},
        {"", "=MAX()", "0"},
        {"", "=MIN(\"x\")", "error: 'x' is not a valid floating point value"},
        {"", "=PI()", "3.14159265358979"},
        {"", "=PI(1)", "error: 方法[PI]参数个数不对"},
        {"", "=POWER(2,10)", "1024"},
        {"", "=SQRT(16)", "4"},
        {"", "=SQRT(-1)", "#NUM!"},
        {"", "=SIN(0)+COS(0)+TAN(0)+ATAN(0)", "1"},
        {"", "=ABS(-2)", "2"},
        {"", "=SIN(A1:A2)", "#VALUE!"},
    });
}

TEST(FormulaLanguage, CompileFailuresCarryTheirMessages) {
    Check({
        {"", "=-A1:A2", "error: 在位置[-A1:A2]处有错误，单目运算符之后必须直接跟操作数"},
        {"", "=-", "error: 在位置[-]处有错误，单目运算符之后必须直接跟操作数"},
        {"", "=2*-)", "error: 在位置[2*-)]处有错误，单目运算符之后必须直接跟操作数"},
        {"", "=-%", "error: 在位置[-%]处有错误，单目运算符之后必须直接跟操作数"},
        {"", "=\"abc", "error: string error"},
        {"", "='it''s", "error: string error"},
        {"", "=1e", "error: Wrong number."},
        {"", "=1e+", "error: Wrong number."},
        {"", "=1e999", "error: Wrong number."},
        {"", "=(1", "error: 括号不匹配"},
        {"", "=1)", "error: 括号不匹配"},
        {"", "=SUM(1", "error: 括号不匹配"},
        {"", "=1+", "error: 在位置[1+]处有错误，缺少操作数"},
        {"", "=*2", "error: 在位置[*]处有错误，缺少操作数"},
        {"", "=()", "error: 在位置[()]处有错误，缺少操作数"},
        {"", "=SUM(1,)", "error: 在位置[SUM(1,)]处有错误，缺少操作数"},
        {"", "=1 2", "error: 在位置[1 2]处有错误，缺少运算符"},
        {"", "=A1(2)", "error: 在位置[A1(]处有错误，缺少运算符"},
        {"", "=SUM", "error: 在位置[SUM]处有错误，函数名之后必须跟左括号"},
        {"", "=SUM+1", "error: 在位置[SUM+]处有错误，函数名之后必须跟左括号"},
        {"", "=1,2", "error: 在位置[1,]处有错误，逗号只能用来分隔函数的参数"},
        {"", "=(1,2)", "error: 在位置[(1,]处有错误，逗号只能用来分隔函数的参数"},
        {"", "=1+@", "error: 在位置[1+@]处有错误，无法识别的字符"},
        {"", "=#FOO", "error: 在位置[#]处有错误，无法识别的字符"},
        {"", "=Sheet2!A1", "error: 公式中存在一个或多个无效的引用"},
    });
}

TEST(FormulaLanguage, SheetPartsNameSheetsByCaptionInAnyCase) {
    FakeBook book({u"Sheet1", u"Sheet2"});
    book.Sheet(1).Set("A1", "41");
    book.Sheet(0).Set("B1", "=Sheet2!A1+1");
    book.Sheet(0).Set("B2", "=sheet2!A1");
    book.Sheet(0).Set("B3", "=SUM(Sheet2!A1:B2)");
    EXPECT_EQ(book.Sheet(0).Show("B1"), "42");
    EXPECT_EQ(book.Sheet(0).Show("B2"), "41");
    EXPECT_EQ(book.Sheet(0).Show("B3"), "41");
    EXPECT_EQ(WideToUtf8(book.Sheet(0).Formula("B2")->SourceText()), "Sheet2!A1");
    try {
        book.Sheet(0).Set("B4", "=Sheet3!A1");
        FAIL() << "an unknown sheet compiled";
    } catch (const EKtCompileError& e) {
        EXPECT_EQ(WideToUtf8(e.Message()), "公式中存在一个或多个无效的引用");
    }
    // A renamed sheet keeps its formulas, which now write the new caption.
    book.Rename(1, u"价格");
    EXPECT_EQ(WideToUtf8(book.Sheet(0).Formula("B1")->SourceText()), "价格!A1+1");
    book.Sheet(0).Set("B5", "=价格!A1*2");
    EXPECT_EQ(book.Sheet(0).Show("B5"), "82");
}

TEST(FormulaLanguage, ALoneGridRejectsEverySheetPart) {
    FakeBook book({u"Sheet1"}, /*lone=*/true);
    EXPECT_THROW(book.Sheet(0).Set("A1", "=Sheet1!B1"), EKtCompileError);
}

TEST(FormulaLanguage, NumbersUseTheRegionalDecimalSeparator) {
    RegionalSettings comma = RegionalSettings::Defaults();
    comma.DecimalSeparator = u',';
    ScopedRegionalSettings scope(comma);
    FakeBook book;
    FakeSheet& s = book.Sheet(0);
    s.Set("A1", "=1,5+1");
    EXPECT_EQ(s.Show("A1"), "2,5");
    // Arguments are separated by ";" there, so "MAX(3,5;0)" is not ambiguous.
    s.Set("A2", "=SUM(1; 2)");
    EXPECT_EQ(s.Show("A2"), "3");
    EXPECT_EQ(WideToUtf8(s.Formula("A2")->SourceText()), "SUM(1;2)");
    s.Set("A3", "=SUM(1,5;2)");
    EXPECT_EQ(WideToUtf8(s.Formula("A3")->SourceText()), "SUM(1,5;2)");
    EXPECT_EQ(s.Show("A3"), "3,5");
    s.Set("A4", "=MAX(3,5;0)");
    EXPECT_EQ(s.Show("A4"), "3,5");
    EXPECT_THROW(s.Set("A5", "=SUM(1,5,2)"), EKtCompileError);
}

TEST(FormulaLanguage, StoredFormulaTextIsInvariantUnderACommaLocale) {
    RegionalSettings comma = RegionalSettings::Defaults();
    comma.DecimalSeparator = u',';
    ScopedRegionalSettings scope(comma);
    FakeBook book;
    FakeSheet& s = book.Sheet(0);
    {
        TKtStoredFormulaText stored;
        s.Set("A1", "=MAX(3.5,0)+SUM(0.25,1)");
        EXPECT_EQ(WideToUtf8(s.Formula("A1")->SourceText()), "MAX(3.5,0)+SUM(0.25,1)");
    }
    EXPECT_EQ(WideToUtf8(s.Formula("A1")->SourceText()), "MAX(3,5;0)+SUM(0,25;1)");
    EXPECT_EQ(s.Show("A1"), "4,75");
}

struct SourceCase {
    const char* formula;
    const char* source;
};

TEST(FormulaLanguage, SourceTextWritesTheFormulaBackAndRecompilesToItself) {
    ScopedRegionalSettings en(RegionalSettings::Defaults());
    const SourceCase cases[] = {
        {"=1+2*3", "1+2*3"},
        {"= 1 +  2", "1+2"},
        {"=(1+2)*3", "(1+2)*3"},
        {"=((A1))", "((A1))"},
        {"=1-(2-3)", "1-(2-3)"},
        {"=2^-(1+1)", "2^-(1+1)"},
        {"=sum(a1:b2)", "SUM(A1:B2)"},
        {"='it''s'", "\"it's\""},
        {"=\"a\"\"b\"", "\"a\"\"b\""},
        {"=''", "\"\""},
        {"=-A1%", "-A1%"},
        {"=+A1", "+A1"},
        {"=true&false", "TRUE&FALSE"},
        {"=#n/a", "#N/A"},
        {"=1.50", "1.5"},
        {"=1e20", "1E20"},
        {"=$a$1:b$2", "$A$1:B$2"},
        {"=a$1+$b2", "A$1+$B2"},
        {"=PI()", "PI()"},
        {"=foo(1, 2)", "foo(1,2)"},
        {"=A:B", "A:B"},
        {"=SUM($1:$3)", "SUM($1:$3)"},
        {"=IF(A1>=1,\"y\",\"n\")", "IF(A1>=1,\"y\",\"n\")"},
        {"=A1<>B1", "A1<>B1"},
        {"=ABS(-1)", "ABS(-1)"},
        {"=SUM(1,SUM(2,(3)),4)", "SUM(1,SUM(2,(3)),4)"},
        {"=xyz", "#NAME?"},
    };
    for (const SourceCase& c : cases) {
        FakeBook book;
        FakeSheet& s = book.Sheet(0);
        auto item = s.Compile(Utf8ToWide(c.formula));
        WideString source = item->SourceText();
        EXPECT_EQ(WideToUtf8(source), c.source) << c.formula;
        auto again = s.Compile(source);
        EXPECT_EQ(again->SourceText(), source) << c.formula;
    }
}

TEST(FormulaLanguage, DefinedNamesStandForTheirValuesUntilCleared) {
    FakeBook book;
    FakeSheet& s = book.Sheet(0);
    book.Engine().Names().Add(u"Rate", TKtFormulaValue::FromNumber(0.5));
    s.Set("A1", "=rate*2");
    EXPECT_EQ(s.Show("A1"), "1");
    EXPECT_EQ(WideToUtf8(s.Formula("A1")->SourceText()), "Rate*2");
    book.Engine().Names().Clear();
    s.Formula("A1")->Invalidate();
    EXPECT_EQ(s.Show("A1"), "#NAME?");
    EXPECT_EQ(WideToUtf8(s.Formula("A1")->SourceText()), "#NAME?*2");
}

TEST(FormulaLanguage, UserFunctionsAreFoundBeforeStandardOnes) {
    FakeBook book;
    TKtFormulaFunctionDefine twice;
    twice.Name = u"SUM";
    twice.ParamTypes = {TKtFuncParamType::ptNumber};
    twice.FixedCount = true;
    twice.ResultKind = TKtFormulaValueKind::Number;
    twice.Impl = [](TKtFunctionArgs& args) { return TKtFormulaValue::FromNumber(args[0].Number * 2); };
    book.UserFunctions().Register(std::move(twice));
    TKtFormulaFunctionDefine wrong;
    wrong.Name = u"Wrong";
    wrong.ResultKind = TKtFormulaValueKind::String;
    wrong.Impl = [](TKtFunctionArgs&) { return TKtFormulaValue::FromNumber(1); };
    book.UserFunctions().Register(std::move(wrong));

    FakeSheet& s = book.Sheet(0);
    s.Set("A1", "=sum(21)");
    EXPECT_EQ(s.Show("A1"), "42");
    s.Set("A2", "=WRONG()");
    try {
        s.Show("A2");
        FAIL() << "a result of the wrong kind was accepted";
    } catch (const EKtCalcError& e) {
        EXPECT_EQ(WideToUtf8(e.Message()), "方法[Wrong]返回值类型不正确");
    }
}

}  // namespace
}  // namespace plu::testing
