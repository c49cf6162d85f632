// TKtValue: the value a cell holds.
//
// Layout (64-bit): the object is a vtable pointer, one 8-byte data word and
// one word holding the kind byte, a flag byte and a 32-bit slot for the
// derived class. The extra object lives in a side record that the derived
// class keeps only for values that use one. The data
// word holds the double itself (kind float), the 32-bit integer (kind
// integer), a pointer to a length-prefixed UTF-16 block (kind string) or the
// owned formula object (kind formula). Booleans are integers 0/1; dates and
// times are floats (days since 30 December 1899).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "base/date_time.h"
#include "base/wide_text.h"
#include "grid/formula.h"
#include "grid/grid_object.h"

namespace plu {

enum class TKtValueKind : uint8_t {
    vkEmpty = 0,
    vkFloat = 1,
    vkString = 2,
    vkFormula = 3,
    vkInteger = 4
};

class TKtValue;

// The rarely used parts of a value.
struct TKtValueSide {
    virtual ~TKtValueSide() = default;
    std::unique_ptr<TKtObject> extra;
};

class TKtValue : public TKtGridObject {
  public:
    TKtValue() = default;
    // Frees the data. A formula's registrations are the owner's to undo
    // first (TKtCell does so unless its grid is being destroyed).
    ~TKtValue() override;

    TKtValueKind Kind() const { return kind_; }
    IKtFormula* Formula() const {
        return kind_ == TKtValueKind::vkFormula ? data_.formula : nullptr;
    }

    // Copies the source's value (CopyValue).
    virtual void Assign(const TKtValue& source);

    // Frees the data per kind; kind becomes empty. A formula is also
    // unregistered from the values it refers to unless destroying.
    virtual void ClearValue(bool destroying = false);

    // empty false; float != 0; string: trimmed text equals "True" ignoring
    // case; formula: its boolean result; integer != 0.
    virtual bool GetAsBoolean() const;
    // float as is; string through the date/time conversion (EConvertError on
    // bad text); formula: its numeric result; integer as float; empty 0.
    virtual TDateTime GetAsDateTime() const;
    // float; string through the float conversion (EConvertError on bad
    // text); formula: numeric result; integer; empty 0.
    virtual double GetAsFloat() const;
    // GetAsFloat rounded to nearest, ties to even; EIntOverflow beyond 32 bits.
    virtual int32_t GetAsInteger() const;
    // empty ""; float: general text with 15 significant digits; string;
    // formula: the result text; integer: decimal text.
    virtual WideString GetAsString() const;
    // As GetAsString, but a formula answers "Formula".
    virtual WideString GetAsStringNoFormula() const;

    virtual void SetAsBoolean(bool value);
    virtual void SetAsDateTime(TDateTime value);
    virtual void SetAsFloat(double value);
    virtual void SetAsInteger(int32_t value);
    // "" clears the value.
    virtual void SetAsString(WideStringView value);
    virtual void SetAsWideText(WideStringView value) { SetAsString(value); }

    // The formula's source text, "" for other kinds.
    virtual WideString GetFormula() const;
    virtual void SetFormula(WideStringView text);
    // Called after the formula was recalculated because something it reads
    // changed (the recalculation of its own dependents is already under way).
    virtual void Recalculated() {}
    // Builds a formula object for text; old is the formula being replaced or
    // copied (nullptr when none).
    virtual std::unique_ptr<IKtFormula> CreateFormula(WideStringView text,
                                                      const IKtFormula* old) = 0;
    virtual void FreeFormula(std::unique_ptr<IKtFormula> formula) { formula.reset(); }

    virtual int GetCol() const { return -1; }
    virtual int GetRow() const { return -1; }
    virtual int GetDataCol() const { return -1; }
    virtual int GetDataRow() const { return -1; }
    virtual int GetSheetIndex() const { return -1; }

    // The value changed: the formulas that read it are recalculated. Formulas
    // watch positions (TKtGridDependents), so only a value placed in a grid
    // (a cell) has dependents; a bare value has none.
    virtual void ValueChanged() {}
    // Kind float or integer, or a formula with a numeric result.
    virtual bool IsNumber() const;

    // Copies by the source's kind; a formula is rebuilt from the source's
    // with its relative references shifted by the distance between the two
    // values (recalculated when calculate is true).
    void CopyValue(const TKtValue& source, bool calculate = true);

    TKtObject* ExtraObject() const override;
    void SetExtraObject(std::unique_ptr<TKtObject> object) override;
    std::unique_ptr<TKtObject> TakeExtraObject() override;

  protected:
    using Side = TKtValueSide;
    // The side record, nullptr when the value never needed one.
    virtual Side* FindSide() const = 0;
    // The side record, created on first use.
    virtual Side& GetSide() = 0;

    // The value level of SetFormula: "" clears; otherwise the old formula is
    // unregistered, the new one built through CreateFormula (on failure the
    // value is cleared and the error propagates), shifted, registered with
    // what it refers to and then recalculated when asked (so a formula whose
    // first calculation fails still follows its cells; the failure
    // propagates after the dependents learnt of the change); then
    // ValueChanged.
    void SetFormulaEx(WideStringView text, int shiftCol, int shiftRow, bool calculate,
                      const IKtFormula* source);
    // Registers this formula value with what it refers to; a plain value
    // has nothing to register with.
    virtual void RegisterReferences() {}
    // Undoes every registration of this value.
    virtual void UnregisterReferences() {}

  private:
    void FreeData();

    union Data {
        double f;
        int32_t i;
        char16_t* s;  // two units of length (low, high), then the text
        IKtFormula* formula;
    } data_{};
    TKtValueKind kind_ = TKtValueKind::vkEmpty;

  protected:
    // Flag bits of derived classes, a 16-bit and a 32-bit slot for the
    // derived class (TKtCell keeps its pooled font and its column there);
    // they fill the word after the kind byte.
    uint8_t flags_ = 0;
    uint16_t packedShort_ = 0;
    int32_t packedInt_ = 0;
};

}  // namespace plu
