#include "formulas/calc_express.h"

#include "base/events.h"
#include "base/regional_settings.h"
#include "formulas/formula_compiler.h"
#include "formulas/formula_evaluator.h"
#include "formulas/grid_formulas.h"
#include "formulas/source_text.h"

namespace plu {

TKtGridCalcExpress::TKtGridCalcExpress(TKtUserFunctionList* userFunctions)
    : userFunctions_(userFunctions) {}

const TKtFormulaFunctionDefine* TKtGridCalcExpress::FindFunction(WideStringView name) const {
    if (userFunctions_) {
        if (const TKtFormulaFunctionDefine* f = userFunctions_->Find(name)) return f;
    }
    return StdFunctions().Find(name);
}

namespace {
thread_local bool storedFormulaText = false;
}  // namespace

TKtStoredFormulaText::TKtStoredFormulaText() : previous_(storedFormulaText) {
    storedFormulaText = true;
}
TKtStoredFormulaText::~TKtStoredFormulaText() {
    storedFormulaText = previous_;
}

char16_t FormulaDecimalSeparator() {
    return storedFormulaText ? u'.' : Regional().DecimalSeparator;
}

TKtTokenList TKtGridCalcExpress::Compile(WideStringView text, const TKtGridFormulas& grid) const {
    if (!text.empty() && text.front() == u'=') text.remove_prefix(1);
    TKtCompileEnvironment env;
    env.Names = &names_;
    env.UserFunctions = userFunctions_;
    env.StdFunctions = &StdFunctions();
    env.SheetIndexOf = [&grid](WideStringView name) { return grid.SheetIndexOf(name); };
    env.DecimalSeparator = FormulaDecimalSeparator();
    return CompileFormula(text, env);
}

TKtFormulaValue TKtGridCalcExpress::Evaluate(const TKtTokenList& tokens, TKtGridFormulas& grid) const {
    std::vector<TKtFormulaValue> stack;
    if (!state_.SpareStacks.empty()) {
        stack = std::move(state_.SpareStacks.back());
        state_.SpareStacks.pop_back();
    }
    // Nested evaluations each take their own stack; all return here.
    ScopeExit giveBack([&] {
        stack.clear();
        if (state_.SpareStacks.size() < 16) state_.SpareStacks.push_back(std::move(stack));
    });
    TKtEvaluation evaluation(grid, &names_, stack);
    return evaluation.Run(tokens);
}

WideString TKtGridCalcExpress::SourceText(const TKtTokenList& tokens, const TKtGridFormulas& grid) const {
    TKtSourceTextEnvironment env;
    env.Names = &names_;
    env.SheetName = [&grid](int index) { return grid.SheetName(index); };
    env.DecimalSeparator = FormulaDecimalSeparator();
    return FormulaSourceText(tokens, env);
}

}  // namespace plu
