#include "grid/value.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

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

}  // namespace

TKtValue::~TKtValue() {
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
    // Registered before its first calculation: a formula that cannot be
    // calculated yet still follows the cells it reads.
    RegisterReferences();
    if (calculate) {
        try {
            data_.formula->Recalculate();
        } catch (...) {
            // What depends on this value learns of the change before the
            // failure goes on to whoever entered the formula.
            try {
                ValueChanged();
            } catch (...) {
            }
            throw;
        }
    }
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
