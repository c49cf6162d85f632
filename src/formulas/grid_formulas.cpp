#include "formulas/grid_formulas.h"

#include <algorithm>
#include <exception>

#include "base/events.h"
#include "formulas/calc_express.h"
#include "formulas/formula_item.h"

namespace plu {

namespace {
constexpr char16_t kNoCalcExpress[] = u"The grid has no formula calculator";
}

TKtGridFormulas::~TKtGridFormulas() {
    for (TKtGridFormulaItem* item = first_; item;) {
        TKtGridFormulaItem* next = item->next_;
        item->owner_ = nullptr;
        item->prev_ = item->next_ = nullptr;
        item = next;
    }
}

int TKtGridFormulas::SheetIndexOf(WideStringView) const { return -1; }
int TKtGridFormulas::SheetIndex() const { return -1; }

void TKtGridFormulas::Link(TKtGridFormulaItem* item) {
    item->prev_ = last_;
    item->next_ = nullptr;
    if (last_)
        last_->next_ = item;
    else
        first_ = item;
    last_ = item;
    ++count_;
}

void TKtGridFormulas::Unlink(TKtGridFormulaItem* item) {
    if (item->prev_)
        item->prev_->next_ = item->next_;
    else
        first_ = item->next_;
    if (item->next_)
        item->next_->prev_ = item->prev_;
    else
        last_ = item->prev_;
    item->prev_ = item->next_ = nullptr;
    --count_;
    for (std::vector<TKtGridFormulaItem*>* walk : walks_) {
        if (item->walkSlot_ < walk->size() && (*walk)[item->walkSlot_] == item) {
            (*walk)[item->walkSlot_] = nullptr;
        } else {
            auto it = std::find(walk->begin(), walk->end(), item);
            if (it != walk->end()) *it = nullptr;
        }
    }
}

std::vector<TKtGridFormulaItem*> TKtGridFormulas::Items() const {
    std::vector<TKtGridFormulaItem*> items;
    items.reserve(count_);
    for (TKtGridFormulaItem* item = first_; item; item = item->next_) items.push_back(item);
    return items;
}

std::unique_ptr<TKtGridFormulaItem> TKtGridFormulas::Compile(WideStringView text) {
    auto item = std::make_unique<TKtGridFormulaItem>(*this);
    Compile(text, *item);
    return item;
}

void TKtGridFormulas::Compile(WideStringView text, TKtGridFormulaItem& item) {
    TKtGridCalcExpress* engine = CalcExpress();
    if (!engine) throw EKtCalcError(kNoCalcExpress);
    item.SetTokens(engine->Compile(text, *this));
}

void TKtGridFormulas::RecalculateAll() {
    TKtGridCalcExpress* engine = CalcExpress();
    if (!engine) throw EKtCalcError(kNoCalcExpress);
    auto& state = engine->State();
    // A pass of its own, started afresh even when called from inside a calculation.
    const int depth = state.Depth;
    state.Depth = 0;
    ++state.Pass;
    ++state.RecalculatingAll;
    std::vector<TKtGridFormulaItem*> items;
    items.reserve(count_);
    for (TKtGridFormulaItem* item = first_; item; item = item->next_) {
        item->walkSlot_ = items.size();
        item->Invalidate();
        items.push_back(item);
    }
    walks_.push_back(&items);
    ScopeExit restore([&] {
        walks_.pop_back();
        --state.RecalculatingAll;
        state.Depth = depth;
    });
    std::exception_ptr first;
    for (TKtGridFormulaItem* item : items) {
        if (!item || item->calculated_) continue;  // gone, or calculated as another's operand
        if (item->failure_ && item->failurePass_ == state.Pass) {
            if (!first) first = item->failure_;
            continue;
        }
        try {
            item->Calculate();
        } catch (...) {
            if (!first) first = std::current_exception();
        }
    }
    if (first) std::rethrow_exception(first);
}

}  // namespace plu
