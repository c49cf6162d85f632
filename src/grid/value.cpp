#include "grid/value.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "base/conversions.h"
#include "base/events.h"
#include "grid/sparse_list.h"

namespace plu {

namespace {

// Strings live in one block: two code units of length, then the text.
char16_t* PackText(WideStringView text) {
    const size_t n = text.size();
    auto* block = new char16_t[n + 2];
    block[0] = static_cast<char16_t>(n & 0xFFFF);
    block[1] = static_cast<char16_t>((n >> 16) & 0xFFFF);
    if (n) std::memcpy(block + 2, text.data(), n * sizeof(char16_t));
    return block;
}

WideStringView UnpackText(const char16_t* block) {
    const size_t n = static_cast<size_t>(block[0]) | (static_cast<size_t>(block[1]) << 16);
    return WideStringView(block + 2, n);
}

void Remove(std::vector<TKtValue*>& list, const TKtValue* v) {
    list.erase(std::remove(list.begin(), list.end(), v), list.end());
}

const std::vector<TKtValue*> kNoValues;

// A change propagates to dependents by recursion (a dependent's own change
// propagates before its siblings are recalculated). Beyond this depth the
// value is queued instead and propagated from the outermost level, so long
// chains of formulas never exhaust the stack.
constexpr int kMaxPropagationDepth = 200;

// A value is queued at most this often within one outermost propagation, so
// that circular references (which a formula engine normally refuses) end
// also when the circle is longer than the depth limit.
constexpr int kMaxDeferrals = 2;

struct Propagation {
    int depth = 0;
    bool draining = false;
    std::vector<TKtValue*> deferred;
    std::unordered_map<const TKtValue*, int> deferrals;
};
thread_local Propagation propagation;

}  // namespace

TKtValue::~TKtValue() {
    if (!propagation.deferred.empty()) Remove(propagation.deferred, this);
    if (!propagation.deferrals.empty()) propagation.deferrals.erase(this);
    if (kind_ == TKtValueKind::vkFormula) {
        delete data_.formula;
        data_.formula = nullptr;
        kind_ = TKtValueKind::vkEmpty;
    }
    FreeData();
}

void TKtValue::FreeData() {
    switch (kind_) {
        case TKtValueKind::vkString:
            delete[] data_.s;
            break;
        case TKtValueKind::vkFormula: {
            std::unique_ptr<IKtFormula> formula(data_.formula);
            data_.formula = nullptr;
            kind_ = TKtValueKind::vkEmpty;
            FreeFormula(std::move(formula));
            break;
        }
        default:
            break;
    }
    data_ = Data{};
    kind_ = TKtValueKind::vkEmpty;
}

void TKtValue::Assign(const TKtValue& source) {
    CopyValue(source);
}

void TKtValue::ClearValue(bool destroying) {
    if (kind_ == TKtValueKind::vkFormula && !destroying) UnregisterReferences();
    FreeData();
}

bool TKtValue::GetAsBoolean() const {
    switch (kind_) {
        case TKtValueKind::vkFloat:
            return data_.f != 0;
        case TKtValueKind::vkString:
            return SameText(Trim(UnpackText(data_.s)), u"True");
        case TKtValueKind::vkFormula:
            return data_.formula->ResultBoolean();
        case TKtValueKind::vkInteger:
            return data_.i != 0;
        default:
            return false;
    }
}

TDateTime TKtValue::GetAsDateTime() const {
    switch (kind_) {
        case TKtValueKind::vkString:
            return StrToDateTime(UnpackText(data_.s));
        default:
            return GetAsFloat();
    }
}

double TKtValue::GetAsFloat() const {
    switch (kind_) {
        case TKtValueKind::vkFloat:
            return data_.f;
        case TKtValueKind::vkString:
            return StrToFloat(UnpackText(data_.s));
        case TKtValueKind::vkFormula:
            return data_.formula->ResultNumber();
        case TKtValueKind::vkInteger:
            return data_.i;
        default:
            return 0;
    }
}

int32_t TKtValue::GetAsInteger() const {
    if (kind_ == TKtValueKind::vkInteger) return data_.i;
    const double r = std::nearbyint(GetAsFloat());  // ties to even
    if (!(r >= INT32_MIN && r <= INT32_MAX)) throw EIntOverflow("Integer overflow");
    return static_cast<int32_t>(r);
}

WideString TKtValue::GetAsString() const {
    switch (kind_) {
        case TKtValueKind::vkFloat:
            return FloatToStr(data_.f);
        case TKtValueKind::vkString:
            return WideString(UnpackText(data_.s));
        case TKtValueKind::vkFormula:
            return data_.formula->ResultText();
        case TKtValueKind::vkInteger:
            return IntToWide(data_.i);
        default:
            return WideString();
    }
}

WideString TKtValue::GetAsStringNoFormula() const {
    if (kind_ == TKtValueKind::vkFormula) return u"Formula";
    return GetAsString();
}

void TKtValue::SetAsBoolean(bool value) {
    SetAsInteger(value ? 1 : 0);
}

void TKtValue::SetAsDateTime(TDateTime value) {
    SetAsFloat(value);
}

void TKtValue::SetAsFloat(double value) {
    if (kind_ != TKtValueKind::vkFloat) {
        ClearValue();
        kind_ = TKtValueKind::vkFloat;
    }
    data_.f = value;
    ValueChanged();
}

void TKtValue::SetAsInteger(int32_t value) {
    if (kind_ != TKtValueKind::vkInteger) {
        ClearValue();
        kind_ = TKtValueKind::vkInteger;
    }
    data_.i = value;
    ValueChanged();
}

void TKtValue::SetAsString(WideStringView value) {
    if (value.empty()) {
        ClearValue();
    } else {
        char16_t* block = PackText(value);  // before clearing: value may view our own text
        ClearValue();
        kind_ = TKtValueKind::vkString;
        data_.s = block;
    }
    ValueChanged();
}

WideString TKtValue::GetFormula() const {
    return kind_ == TKtValueKind::vkFormula ? data_.formula->SourceText() : WideString();
}

void TKtValue::SetFormula(WideStringView text) {
    SetFormulaEx(text, 0, 0, true, nullptr);
}

void TKtValue::SetFormulaEx(WideStringView text, int shiftCol, int shiftRow, bool calculate,
                            const IKtFormula* source) {
    if (text.empty()) {
        ClearValue();
        ValueChanged();
        return;
    }
    const WideString source_text(text);  // text may view a formula about to go
    std::unique_ptr<IKtFormula> old;
    if (kind_ == TKtValueKind::vkFormula) {
        UnregisterReferences();
        old.reset(data_.formula);
        data_ = Data{};
        kind_ = TKtValueKind::vkEmpty;
    } else {
        ClearValue();
    }
    std::unique_ptr<IKtFormula> built;
    try {
        built = CreateFormula(source_text, source ? source : old.get());
    } catch (...) {
        if (old) FreeFormula(std::move(old));
        // The value is now empty: what depends on it learns so before the
        // error goes on.
        try {
            ValueChanged();
        } catch (...) {
        }
        throw;
    }
    if (old) FreeFormula(std::move(old));
    if (!built) {
        ValueChanged();
        return;
    }
    kind_ = TKtValueKind::vkFormula;
    data_.formula = built.release();
    if (shiftCol != 0 || shiftRow != 0) data_.formula->Shift(shiftCol, shiftRow);
    if (calculate) data_.formula->Recalculate();
    RegisterReferences();
    ValueChanged();
}

void TKtValue::CopyValue(const TKtValue& source, bool calculate) {
    switch (source.kind_) {
        case TKtValueKind::vkFloat:
            SetAsFloat(source.data_.f);
            break;
        case TKtValueKind::vkString:
            SetAsString(WideString(UnpackText(source.data_.s)));
            break;
        case TKtValueKind::vkFormula:
            SetFormulaEx(source.data_.formula->SourceText(), GetCol() - source.GetCol(),
                         GetRow() - source.GetRow(), calculate, source.data_.formula);
            break;
        case TKtValueKind::vkInteger:
            SetAsInteger(source.data_.i);
            break;
        default:
            ClearValue();
            ValueChanged();
            break;
    }
}

void TKtValue::ValueChanged() {
    if (flags_ & kFlagPropagating) return;
    Side* side = FindSide();
    if (!side || side->dependents.empty()) return;
    Propagation& p = propagation;
    if (p.depth >= kMaxPropagationDepth) {
        if (std::find(p.deferred.begin(), p.deferred.end(), this) == p.deferred.end() &&
            ++p.deferrals[this] <= kMaxDeferrals)
            p.deferred.push_back(this);
        return;
    }
    ++p.depth;
    flags_ |= kFlagPropagating;
    {
        ScopeExit done([this, &p] {
            flags_ &= static_cast<uint8_t>(~kFlagPropagating);
            --p.depth;
        });
        const std::vector<TKtValue*> snapshot = side->dependents;
        for (size_t k = snapshot.size(); k-- > 0;) {
            TKtValue* d = snapshot[k];
            auto& live = side->dependents;
            // A dependent that left the list on the way (destroyed or cleared)
            // is never touched.
            if (std::find(live.begin(), live.end(), d) == live.end()) continue;
            if (d->Kind() == TKtValueKind::vkFormula) {
                d->Formula()->Recalculate();
                d->Recalculated();
            } else {
                Remove(live, d);
                if (Side* ds = d->FindSide()) Remove(ds->precedents, this);
            }
        }
    }
    if (p.depth == 0 && !p.draining) {
        p.draining = true;
        ScopeExit drained([&p] {
            p.draining = false;
            p.deferrals.clear();
        });
        while (!p.deferred.empty()) {
            TKtValue* next = p.deferred.front();
            p.deferred.erase(p.deferred.begin());
            next->TKtValue::ValueChanged();  // its own change events were raised already
        }
    }
}

bool TKtValue::IsNumber() const {
    switch (kind_) {
        case TKtValueKind::vkFloat:
        case TKtValueKind::vkInteger:
            return true;
        case TKtValueKind::vkFormula:
            return data_.formula->ResultKind() == TKtFormulaResultKind::Number;
        default:
            return false;
    }
}

void TKtValue::AddDependent(TKtValue& dependent) {
    auto& list = GetSide().dependents;
    if (std::find(list.begin(), list.end(), &dependent) == list.end()) list.push_back(&dependent);
}

void TKtValue::RemoveDependent(TKtValue& dependent) {
    if (Side* side = FindSide()) Remove(side->dependents, &dependent);
}

const std::vector<TKtValue*>& TKtValue::Dependents() const {
    const Side* side = FindSide();
    return side ? side->dependents : kNoValues;
}

const std::vector<TKtValue*>& TKtValue::Precedents() const {
    const Side* side = FindSide();
    return side ? side->precedents : kNoValues;
}

void TKtValue::LinkPrecedent(TKtValue& precedent) {
    if (&precedent == this) return;  // a formula never recalculates itself
    precedent.AddDependent(*this);
    auto& list = GetSide().precedents;
    if (std::find(list.begin(), list.end(), &precedent) == list.end()) list.push_back(&precedent);
}

void TKtValue::TransferDependentsTo(TKtValue& other) {
    Side* side = FindSide();
    if (!side || &other == this) return;
    std::vector<TKtValue*> dependents;
    dependents.swap(side->dependents);
    for (TKtValue* d : dependents) {
        if (Side* ds = d->FindSide()) Remove(ds->precedents, this);
        d->LinkPrecedent(other);
    }
}

void TKtValue::UnregisterReferences() {
    Side* side = FindSide();
    if (!side) return;
    std::vector<TKtValue*> precedents;
    precedents.swap(side->precedents);
    for (TKtValue* p : precedents)
        p->RemoveDependent(*this);
}

void TKtValue::NotifyDependentsOfDestruction() {
    Side* side = FindSide();
    if (!side) return;
    std::vector<TKtValue*> dependents;
    dependents.swap(side->dependents);
    for (TKtValue* d : dependents) {
        if (Side* ds = d->FindSide()) Remove(ds->precedents, this);
        if (IKtFormula* f = d->Formula()) f->ReferenceDestroyed(*this);
    }
}

TKtObject* TKtValue::ExtraObject() const {
    const Side* side = FindSide();
    return side ? side->extra.get() : nullptr;
}

void TKtValue::SetExtraObject(std::unique_ptr<TKtObject> object) {
    if (!object && !FindSide()) return;
    GetSide().extra = std::move(object);
}

std::unique_ptr<TKtObject> TKtValue::TakeExtraObject() {
    Side* side = FindSide();
    return side ? std::move(side->extra) : nullptr;
}

}  // namespace plu
