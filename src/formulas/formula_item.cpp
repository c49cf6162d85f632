#include "formulas/formula_item.h"

#include <algorithm>
#include <utility>

#include "base/conversions.h"
#include "base/events.h"
#include "formulas/calc_express.h"
#include "formulas/cell_data.h"
#include "formulas/formula_limits.h"
#include "formulas/grid_formulas.h"
#include "grid/formula.h"

namespace plu {
namespace {

constexpr char16_t kCircularReference[] = u"公式存在循环引用";
constexpr char16_t kNoGrid[] = u"The formula belongs to no grid";

using K = TKtFormulaValueKind;

// Thrown by a calculation nested too deeply on the stack, to the outermost
// calculation of the thread, which calculates `item` from its work list and
// then retries what needed it. It is no failure and derives from nothing a
// handler of failures would catch.
struct DeferredCalculation {
    TKtGridFormulaItem* item;
};

TKtGridCalcExpress& EngineOf(TKtGridFormulas* owner) {
    TKtGridCalcExpress* engine = owner ? owner->CalcExpress() : nullptr;
    if (!engine) throw EKtCalcError(kNoGrid);
    return *engine;
}

bool ShiftPart(TKtCellRefPart& p, int columns, int rows) {
    if (p.Col >= 0 && !p.AbsCol) {
        int64_t c = static_cast<int64_t>(p.Col) + columns;
        if (c < 0 || c > kMaxFormulaCol) return false;
        p.Col = static_cast<int32_t>(c);
    }
    if (p.Row >= 0 && !p.AbsRow) {
        int64_t r = static_cast<int64_t>(p.Row) + rows;
        if (r < 0 || r > kMaxFormulaRow) return false;
        p.Row = static_cast<int32_t>(r);
    }
    return true;
}

}  // namespace

TKtGridFormulaItem::TKtGridFormulaItem(TKtGridFormulas& owner) : owner_(&owner) { owner.Link(this); }

TKtGridFormulaItem::~TKtGridFormulaItem() {
    if (owner_) owner_->Unlink(this);
}

void TKtGridFormulaItem::SetTokens(TKtTokenList tokens) {
    tokens_ = std::move(tokens);
    Invalidate();
}

WideString TKtGridFormulaItem::SourceText() const {
    return EngineOf(owner_).SourceText(tokens_, *owner_);
}

void TKtGridFormulaItem::Invalidate() {
    calculated_ = false;
    failure_ = nullptr;
}

void TKtGridFormulaItem::EnsureCalculated() {
    if (calculated_) return;
    const auto& state = EngineOf(owner_).State();
    // Inside one calculation pass a formula that failed fails again the same
    // way: re-evaluating it for every reader would make failing chains quadratic.
    if (failure_ && failurePass_ == state.Pass && (state.Depth > 0 || state.RecalculatingAll > 0))
        std::rethrow_exception(failure_);
    Calculate();
}

void TKtGridFormulaItem::Calculate() {
    if (calculating_ || pending_) throw EKtCalcError(kCircularReference);
    auto& state = EngineOf(owner_).State();
    if (state.Depth == 0) return CalculateFrom(*this);
    if (state.Depth >= kMaxCalculationNesting) throw DeferredCalculation{this};
    Evaluate();
}

void TKtGridFormulaItem::Evaluate() {
    TKtGridCalcExpress& engine = EngineOf(owner_);
    auto& state = engine.State();
    {
        calculated_ = false;  // a failing calculation leaves no stale result behind
        calculating_ = true;
        ++state.Depth;
        ScopeExit done([&] {
            calculating_ = false;
            --state.Depth;
        });
        try {
            result_ = engine.Evaluate(tokens_, *owner_);
        } catch (const DeferredCalculation&) {
            throw;
        } catch (...) {
            failure_ = std::current_exception();
            failurePass_ = state.Pass;
            throw;
        }
    }
    calculated_ = true;
    failure_ = nullptr;
    if (OnAfterCalculate) {
        // Whatever the callback calculates starts afresh, with its own work
        // list, so nothing it does is unwound by a deferral from here.
        int depth = state.Depth;
        state.Depth = 0;
        ScopeExit restore([&] { state.Depth = depth; });
        OnAfterCalculate(*this);
    }
}

std::vector<TKtGridFormulaItem*> TKtGridFormulaItem::UncalculatedOperands() const {
    std::vector<TKtGridFormulaItem*> found;
    if (!owner_) return found;
    auto take = [&found](const TKtCellData& cell) {
        if (cell.Kind == TKtCellDataKind::Formula && cell.Formula && !cell.Formula->calculated_)
            found.push_back(cell.Formula);
    };
    for (const TKtToken& t : tokens_.Tokens) {
        if (t.Kind == TKtTokenKind::CellRef) {
            TKtCellData cell;
            if (owner_->ReadCell(t.Sheet, t.First.Col, t.First.Row, cell)) take(cell);
        } else if (t.Kind == TKtTokenKind::Range) {
            owner_->ForEachCell(t.Sheet, RangeRect(t.First, t.Last),
                                [&take](int, int, const TKtCellData& cell) { take(cell); });
        }
    }
    return found;
}

// Calculates the formulas `first` refers to, and theirs, before it: a
// depth-first walk over the references with its own stack, calculating on
// the way back, so that a chain evaluates link by link from its start.
// Cycles are left for the evaluation to report, failures are remembered
// for the pass (a formula that reads a failed one fails the same way).
void TKtGridFormulaItem::CalculateOperandsFirst(TKtGridFormulaItem& first, uint64_t pass) {
    struct Frame {
        TKtGridFormulaItem* item;
        std::vector<TKtGridFormulaItem*> operands;
        size_t next = 0;
    };
    std::vector<TKtGridFormulaItem*> operands = first.UncalculatedOperands();
    if (operands.empty()) return;
    std::vector<Frame> stack;
    first.visitPass_ = pass;
    stack.push_back({&first, std::move(operands)});
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next < f.operands.size()) {
            TKtGridFormulaItem* d = f.operands[f.next++];
            if (d->calculated_ || d->calculating_ || d->pending_ || d->visitPass_ == pass) continue;
            d->visitPass_ = pass;
            std::vector<TKtGridFormulaItem*> operands = d->UncalculatedOperands();
            stack.push_back({d, std::move(operands)});
            continue;
        }
        TKtGridFormulaItem* item = f.item;
        stack.pop_back();
        if (item == &first || item->calculated_) continue;
        try {
            item->Evaluate();
        } catch (const DeferredCalculation&) {
            // Deep recursion all the same: a cycle, or a formula no reference
            // shows. The work list takes over from here.
            return;
        } catch (...) {
            // Remembered in the item; whoever reads it fails the same way.
        }
    }
}

// The outermost calculation. Operands still missing are calculated on the
// stack up to kMaxCalculationNesting levels; a deeper one is handed back
// here, the operands are calculated from the start of their chain, and what
// is still missing is calculated from the work list before the formula that
// needed it is evaluated again. Every item below the top of the list waits
// for the one above it, so meeting a waiting item again is a cycle.
void TKtGridFormulaItem::CalculateFrom(TKtGridFormulaItem& first) {
    auto& state = EngineOf(first.owner_).State();
    if (state.RecalculatingAll == 0) ++state.Pass;
    // Mostly the operands are calculated already (the grid recalculates a
    // change in dependency order) or only a few levels of them are not:
    // evaluate at once. A long chain of uncalculated operands is calculated
    // from its start instead, then the work list takes what is left.
    try {
        first.Evaluate();
        return;
    } catch (const DeferredCalculation&) {
    }
    CalculateOperandsFirst(first, state.Pass);
    try {
        first.Evaluate();
        return;
    } catch (const DeferredCalculation&) {
        // Continue with the work list.
    }
    std::vector<TKtGridFormulaItem*> work{&first};
    try {
        while (!work.empty()) {
            TKtGridFormulaItem* top = work.back();
            if (work.size() > 1 && top->calculated_) {
                work.pop_back();
                continue;
            }
            top->pending_ = false;
            try {
                top->Evaluate();
            } catch (const DeferredCalculation& deferred) {
                top->pending_ = true;
                if (deferred.item->pending_) throw EKtCalcError(kCircularReference);
                work.push_back(deferred.item);
                continue;
            }
            work.pop_back();
        }
    } catch (...) {
        std::exception_ptr failure = std::current_exception();
        for (TKtGridFormulaItem* item : work) {
            item->pending_ = false;
            item->failure_ = failure;
            item->failurePass_ = state.Pass;
        }
        throw;
    }
}

TKtFormulaValue TKtGridFormulaItem::Result() {
    EnsureCalculated();
    return result_;
}

TKtFormulaValueKind TKtGridFormulaItem::ResultKind() {
    EnsureCalculated();
    return result_.Kind;
}

double TKtGridFormulaItem::AsNumber() {
    EnsureCalculated();
    switch (result_.Kind) {
        case K::Empty: return 0;
        case K::Number: return result_.Number;
        case K::String: return result_.Text.empty() ? 0 : StrToFloat(result_.Text);
        case K::Boolean: return result_.Boolean ? 1 : 0;
        case K::Error: throw EKtFormulaError(result_.Error);
        default: throw EKtFormulaError(TKtErrorCode::Value);
    }
}

bool TKtGridFormulaItem::AsBoolean() {
    EnsureCalculated();
    switch (result_.Kind) {
        case K::Empty: return false;
        case K::Number: return result_.Number > 0;
        case K::String:
            if (SameText(result_.Text, u"TRUE")) return true;
            if (SameText(result_.Text, u"FALSE")) return false;
            throw EKtFormulaError(TKtErrorCode::Value);
        case K::Boolean: return result_.Boolean;
        case K::Error: throw EKtFormulaError(result_.Error);
        default: throw EKtFormulaError(TKtErrorCode::Value);
    }
}

WideString TKtGridFormulaItem::AsString() {
    EnsureCalculated();
    switch (result_.Kind) {
        case K::Empty: return WideString();
        case K::Number: return FloatToStr(result_.Number);
        case K::String: return result_.Text;
        case K::Boolean: return result_.Boolean ? u"TRUE" : u"FALSE";
        case K::Error: throw EKtFormulaError(result_.Error);
        default: throw EKtFormulaError(TKtErrorCode::Value);
    }
}

WideString TKtGridFormulaItem::DisplayText() {
    try {
        return AsString();
    } catch (const EKtFormulaError& e) {
        return WideString(ErrorName(e.Code()));
    }
}

void TKtGridFormulaItem::CopyFrom(const TKtGridFormulaItem& other) {
    if (&other == this) return;
    SetTokens(other.tokens_);
}

void TKtGridFormulaItem::Shift(int columns, int rows) {
    for (TKtToken& t : tokens_.Tokens) {
        if (!t.IsReference()) continue;
        TKtCellRefPart a = t.First, b = t.Last;
        bool ok = ShiftPart(a, columns, rows);
        if (ok && t.Kind == TKtTokenKind::Range) ok = ShiftPart(b, columns, rows);
        if (!ok) {
            t.Kind = TKtTokenKind::Error;
            t.Index = static_cast<int32_t>(TKtErrorCode::Ref);
            t.Sheet = -1;
            continue;
        }
        if (t.Kind == TKtTokenKind::Range) {
            if (a.Col >= 0 && b.Col >= 0 && a.Col > b.Col) {
                std::swap(a.Col, b.Col);
                std::swap(a.AbsCol, b.AbsCol);
            }
            if (a.Row >= 0 && b.Row >= 0 && a.Row > b.Row) {
                std::swap(a.Row, b.Row);
                std::swap(a.AbsRow, b.AbsRow);
            }
        }
        t.First = a;
        t.Last = b;
    }
    Invalidate();
}

std::vector<TKtFormulaReference> TKtGridFormulaItem::References() const {
    std::vector<TKtFormulaReference> refs;
    for (const TKtToken& t : tokens_.Tokens) {
        if (!t.IsReference()) continue;
        TKtFormulaReference r;
        r.Sheet = t.Sheet;
        r.IsRange = t.Kind == TKtTokenKind::Range;
        r.Rect = r.IsRange ? RangeRect(t.First, t.Last)
                           : TKtCellRect{t.First.Col, t.First.Row, t.First.Col, t.First.Row};
        if (std::find(refs.begin(), refs.end(), r) == refs.end()) refs.push_back(r);
    }
    return refs;
}

bool TKtGridFormulaItem::MoveReferences(const std::function<bool(int)>& namesSheet, const TKtAxisEdit& edit) {
    const bool rows = edit.Rows();
    const int limit = rows ? kMaxFormulaRow : kMaxFormulaCol;
    auto part = [rows](TKtCellRefPart& p) -> int32_t& { return rows ? p.Row : p.Col; };
    bool changed = false;
    for (TKtToken& t : tokens_.Tokens) {
        if (!t.IsReference() || !namesSheet(t.Sheet)) continue;
        int32_t& a = part(t.First);
        bool ok = true;
        if (t.Kind == TKtTokenKind::CellRef) {
            const int now = edit.MapIndex(a);
            ok = now >= 0 && now <= limit;
            if (ok && now != a) {
                a = now;
                changed = true;
            }
        } else {
            int32_t& b = part(t.Last);
            if (a < 0 || b < 0) continue;  // open in this direction: the whole sheet
            int lo = std::min(a, b);
            int hi = std::max(a, b);
            const TKtSpanFate fate = edit.MapSpan(lo, hi, false);
            ok = fate != TKtSpanFate::Gone && lo >= 0 && hi <= limit;
            if (ok && fate == TKtSpanFate::Moved) {
                // The corner written first stays first.
                if (a <= b) {
                    a = lo;
                    b = hi;
                } else {
                    a = hi;
                    b = lo;
                }
                changed = true;
            }
        }
        if (!ok) {
            t.Kind = TKtTokenKind::Error;
            t.Index = static_cast<int32_t>(TKtErrorCode::Ref);
            t.Sheet = -1;
            changed = true;
        }
    }
    if (changed) Invalidate();
    return changed;
}

bool TKtGridFormulaItem::RenumberSheets(const std::vector<std::pair<int, int>>& renumbering) {
    bool changed = false;
    for (TKtToken& t : tokens_.Tokens) {
        if (!t.IsReference() || t.Sheet < 0) continue;
        for (const auto& [from, to] : renumbering) {
            if (t.Sheet != from) continue;
            if (to == kSheetGone) {
                t.Kind = TKtTokenKind::Error;
                t.Index = static_cast<int32_t>(TKtErrorCode::Ref);
                t.Sheet = -1;
            } else {
                t.Sheet = to;
            }
            changed = true;
            break;
        }
    }
    if (changed) Invalidate();
    return changed;
}

void TKtGridFormulaItem::ReplaceReference(const TKtCellAddress& old, const TKtCellAddress& now) {
    const int own = owner_ ? owner_->SheetIndex() : -1;
    auto sameSheet = [own](int a, int b) {
        if (a == b) return true;
        return own >= 0 && ((a == -1 && b == own) || (b == -1 && a == own));
    };
    bool changed = false;
    for (TKtToken& t : tokens_.Tokens) {
        if (t.Kind != TKtTokenKind::CellRef) continue;
        if (!sameSheet(t.Sheet, old.Sheet) || t.First.Col != old.Col || t.First.Row != old.Row) continue;
        if (!sameSheet(t.Sheet, now.Sheet)) t.Sheet = now.Sheet;
        t.First.Col = now.Col;
        t.First.Row = now.Row;
        changed = true;
    }
    if (changed) Invalidate();
}

}  // namespace plu
