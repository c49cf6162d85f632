// Formulas of the formula language written as BIFF8 tokens read back, through
// the converter the import uses, as the formula that was written.
#include <gtest/gtest.h>

#include "formats/biff8/formula_text.h"
#include "formats/excel/formula_tokens.h"
#include "formulas/formula_compiler.h"
#include "formulas/function_list.h"

namespace plu {
namespace {

TKtTokenList Compile(WideStringView text) {
    TKtCompileEnvironment env;
    env.StdFunctions = &StandardFunctions();
    env.SheetIndexOf = [](WideStringView name) { return SameText(name, u"Prices") ? 2 : -1; };
    return CompileFormula(text, env);
}

// Sheet index 2 of the grid is the workbook's EXTERNSHEET entry 0.
TXlsFormulaPlacement Placement() {
    TXlsFormulaPlacement p;
    p.externSheet = [](int sheet) { return sheet == 2 ? 0 : -1; };
    return p;
}

WideString ReadBack(const std::vector<uint8_t>& tokens) {
    return FormulaToText(
        tokens, tokens.size(), 0, 0, [](uint8_t kind, int sheet, int item) -> WideString {
            return kind == kNameKindExternal && sheet == 0 && item < 0 ? u"Prices" : u"#NAME?";
        });
}

struct Case {
    const char16_t* formula;
    const char16_t* readBack;
};

TEST(XlsFormulaTokens, FormulasReadBackAsWritten) {
    const Case cases[] = {
        {u"A1+1", u"A1+1"},
        {u"$B$2*C3-D4/E5", u"$B$2*C3-D4/E5"},
        {u"2^3^2", u"2^3^2"},
        {u"(1+2)*3", u"(1+2)*3"},
        {u"-A1", u"-A1"},
        {u"50%", u"50%"},
        {u"\"a\"&B2", u"\"a\"&B2"},
        {u"\"\"", u"\"\""},
        {u"A1<B1", u"A1<B1"},
        {u"A1<=B1", u"A1<=B1"},
        {u"A1=B1", u"A1=B1"},
        {u"A1>=B1", u"A1>=B1"},
        {u"A1>B1", u"A1>B1"},
        {u"A1<>B1", u"A1<>B1"},
        {u"1.5+70000", u"1.5+70000"},
        {u"SUM(A1:B3)", u"SUM(A1:B3)"},
        {u"SUM(A:A)", u"SUM(A1:A65536)"},
        {u"IF(A1>2,TRUE,FALSE)", u"IF(A1>2,True,False)"},
        {u"#N/A", u"#N/A"},
        {u"MAX(PI(),2)", u"MAX(PI(),2)"},
        {u"Prices!A1+Prices!$B$2:C3", u"Prices!A1+Prices!$B$2:C3"},
    };
    for (const Case& c : cases) {
        const auto tokens = EncodeFormulaTokens(Compile(c.formula), Placement());
        ASSERT_TRUE(tokens.has_value()) << WideToUtf8(c.formula);
        EXPECT_EQ(WideToUtf8(ReadBack(*tokens)), WideToUtf8(c.readBack));
    }
}

TEST(XlsFormulaTokens, FunctionsWithAFixedCountUseFuncAndOthersFuncVar) {
    // ABS (24) takes one argument: ptgFunc, value class.
    EXPECT_EQ(*EncodeFormulaTokens(Compile(u"ABS(1)"), Placement()),
              (std::vector<uint8_t>{0x1E, 1, 0, 0x41, 24, 0}));
    // SUM (4) takes any number: ptgFuncVar with the count; its area argument
    // is reference class.
    EXPECT_EQ(*EncodeFormulaTokens(Compile(u"SUM(A1:A2)"), Placement()),
              (std::vector<uint8_t>{0x25, 0, 0, 1, 0, 0x00, 0xC0, 0x00, 0xC0, 0x42, 1, 4, 0}));
}

TEST(XlsFormulaTokens, OwnSheetReferencesMoveToWhereTheSheetIsWritten) {
    TXlsFormulaPlacement p = Placement();
    p.colShift = 1;
    p.rowShift = 2;
    EXPECT_EQ(WideToUtf8(ReadBack(*EncodeFormulaTokens(Compile(u"A1+$A$1+Prices!A1"), p))),
              "B3+$B$3+Prices!A1");
    p.colShift = -1;
    EXPECT_FALSE(EncodeFormulaTokens(Compile(u"A1"), p).has_value());
}

TEST(XlsFormulaTokens, WhatBiff8CannotHoldIsRefused) {
    TKtCompileEnvironment env;
    env.StdFunctions = &StandardFunctions();
    const WideString longText = u"\"" + WideString(256, u'x') + u"\"";
    for (const WideStringView text : {WideStringView(u"NOSUCHFUNCTION(1)"),
                                      WideStringView(longText), WideStringView(u"A70000")}) {
        EXPECT_FALSE(EncodeFormulaTokens(CompileFormula(text, env), Placement()).has_value())
            << WideToUtf8(text);
    }
    // A sheet the workbook does not hold.
    TXlsFormulaPlacement none;
    EXPECT_FALSE(EncodeFormulaTokens(Compile(u"Prices!A1"), none).has_value());
}

}  // namespace
}  // namespace plu
