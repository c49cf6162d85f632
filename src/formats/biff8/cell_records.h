// Records of one cell (and the multi-cell records expanded into them).
// Layout shared by the row/column family: row (u16 at 0), column (u16 at 2),
// and for cells the XF index (u16 at 4). A body of 3 bytes or fewer fails
// with message 65225 when the record is created.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

#include "base/wide_text.h"
#include "formats/biff8/xls_record.h"

namespace plu {

class TXlsList;
class TShareStrList;
class TTableRecord;

// The kind of a cell's value, as ValueKind reports it.
enum class TXlsValueKind : uint8_t { vkBlank = 0, vkNumber = 1, vkText = 2, vkBoolean = 3 };

// The variant a cell record's value is read and set as.
struct TXlsValue {
    TXlsValueKind kind = TXlsValueKind::vkBlank;
    double number = 0;
    bool boolean = false;
    WideString text;

    static TXlsValue Number(double v) { return {TXlsValueKind::vkNumber, v, false, {}}; }
    static TXlsValue Text(WideString t) { return {TXlsValueKind::vkText, 0, false, std::move(t)}; }
    static TXlsValue Boolean(bool b) { return {TXlsValueKind::vkBoolean, b ? 1.0 : 0.0, b, {}}; }
    bool operator==(const TXlsValue&) const = default;
};

class TBaseRowColRecord : public TXlsRecord {
public:
    void Create(uint16_t id, int32_t size) override;

    uint16_t Row() const { return GetWord(0); }
    uint16_t Col() const { return GetWord(2); }
    void SetRow(uint16_t row) { SetWord(0, row); }
    void SetCol(uint16_t col) { SetWord(2, col); }
};

class TCellRecord : public TBaseRowColRecord {
public:
    uint16_t XF() const { return GetWord(4); }
    void SetXF(uint16_t xf) { SetWord(4, xf); }

    virtual void SetValue(const TXlsValue& value) = 0;
    virtual TXlsValue GetValue() const = 0;
    virtual double AsFloat() const = 0;
    virtual WideString AsText() const = 0;
    virtual TXlsValueKind ValueKind() const = 0;
    virtual bool IsFormula() const { return false; }
};

class TBlankRecord : public TCellRecord {
public:
    void SetValue(const TXlsValue&) override {}
    TXlsValue GetValue() const override { return {}; }
    double AsFloat() const override { return 0; }
    WideString AsText() const override { return {}; }
    TXlsValueKind ValueKind() const override { return TXlsValueKind::vkBlank; }
};

// Cells holding a number; AsText is the number with up to 15 significant digits.
class TNumericCellRecord : public TCellRecord {
public:
    TXlsValue GetValue() const override { return TXlsValue::Number(AsFloat()); }
    WideString AsText() const override;
    TXlsValueKind ValueKind() const override { return TXlsValueKind::vkNumber; }
};

// NUMBER: the IEEE double at offset 6.
class TNumberRecord : public TNumericCellRecord {
public:
    double AsFloat() const override { return GetDouble(6); }
    void SetValue(const TXlsValue& value) override;
};

// RK: the RK value (u32 at offset 6).
class TRKRecord : public TNumericCellRecord {
public:
    double AsFloat() const override;
    // Fails with 65231 when the number fits neither RK form.
    void SetValue(const TXlsValue& value) override;
    uint32_t RKValue() const { return GetLong(6); }
    // The cell of one MULRK entry (XF, then the RK value: 6 bytes).
    static std::unique_ptr<TRKRecord> FromEntry(uint16_t row, uint16_t col, const uint8_t* entry);
};

// INTEGER: the u16 at offset 7.
class TIntegerRecord : public TNumericCellRecord {
public:
    double AsFloat() const override { return GetWord(7); }
    void SetValue(const TXlsValue& value) override;
};

// LABEL: a 16-bit-count string at offset 6.
class TLabelRecord : public TCellRecord {
public:
    void SetValue(const TXlsValue& value) override;
    TXlsValue GetValue() const override { return TXlsValue::Text(AsText()); }
    double AsFloat() const override { return 0; }
    WideString AsText() const override;
    TXlsValueKind ValueKind() const override { return TXlsValueKind::vkText; }
    // Re-initialises the record as a LABEL at (row, col) with that text.
    void Assign(uint16_t row, uint16_t col, uint16_t xf, WideStringView text);
};

// LABELSST: the index (u32 at offset 6) of a string of the shared-string list.
class TLabelSSTRecord : public TCellRecord {
public:
    // Fails with "AList must be TShareStrList" for anything else.
    void SetList(TXlsList* list);
    void SetList(TShareStrList* list) { list_ = list; }
    TShareStrList* List() const { return list_; }
    uint32_t StringIndex() const { return GetLong(6); }

    // Appends the text to the shared-string list and refers to it.
    void SetValue(const TXlsValue& value) override;
    TXlsValue GetValue() const override { return TXlsValue::Text(AsText()); }
    double AsFloat() const override { return 0; }
    // An index beyond the list (or no list) fails with 65226.
    WideString AsText() const override;
    TXlsValueKind ValueKind() const override { return TXlsValueKind::vkText; }

private:
    TShareStrList* list_ = nullptr;
};

// FORMULA: cached result at offset 6 (8 bytes), option flags at 14, token
// length at 20, tokens from 22.
class TFormulaRecord : public TCellRecord {
public:
    TFormulaRecord();
    ~TFormulaRecord() override;

    // Decodes the cached result: when the u16 at 12 is 0xFFFF the byte at 6
    // selects string (0, supplied by a following STRING record), boolean (1,
    // true when the byte at 8 is 1), error or empty string (2, 3: empty
    // text); otherwise the 8 bytes at 6 are the number.
    void AfterRead() override;

    void SetValue(const TXlsValue& value) override;
    TXlsValue GetValue() const override { return result_; }
    double AsFloat() const override;
    WideString AsText() const override;
    TXlsValueKind ValueKind() const override { return result_.kind; }
    bool IsFormula() const override { return true; }

    // True when a STRING record is to supply the string result.
    bool StringFollows() const { return stringFollows_; }
    // True when the writer puts a STRING record with the text result after
    // this formula (a non-empty text result marked as one).
    bool WritesString() const;
    void SetStringResult(WideString text);

    uint16_t OptionFlags() const { return GetWord(14); }
    uint16_t TokenLength() const { return GetWord(20); }
    // The record body from the first token to its end (tokens, then extra data).
    std::span<const uint8_t> TokenData() const;
    // Part of a shared formula: option bit 3 set and the first token 0x01
    // (ptgExp); its anchor is then row u16 at 23, column u16 at 25.
    bool IsSharedFormula() const;
    uint16_t AnchorRow() const { return GetWord(23); }
    uint16_t AnchorCol() const { return GetWord(25); }

    // A TABLE record that followed this formula; attaching a second frees the first.
    void AttachTable(std::unique_ptr<TTableRecord> table);
    TTableRecord* Table() const { return table_.get(); }

private:
    TXlsValue result_;
    bool stringFollows_ = false;
    std::unique_ptr<TTableRecord> table_;
};

// BOOLERR: the value byte at offset 6, the error flag byte at offset 7 (0: a
// boolean, 1: an error code). A boolean reads as kind boolean, an error as
// the text of its error ("#N/A").
class TBoolErrRecord : public TCellRecord {
  public:
    bool IsError() const { return GetByte(7) != 0; }
    uint8_t ValueByte() const { return GetByte(6); }
    // A boolean value sets the boolean, a text naming a BIFF error the error.
    void SetValue(const TXlsValue& value) override;
    TXlsValue GetValue() const override;
    double AsFloat() const override { return IsError() ? 0.0 : (ValueByte() != 0 ? 1.0 : 0.0); }
    WideString AsText() const override;
    TXlsValueKind ValueKind() const override {
        return IsError() ? TXlsValueKind::vkText : TXlsValueKind::vkBoolean;
    }
};

std::unique_ptr<TBlankRecord> MakeBlank(uint16_t row, uint16_t col, uint16_t xf);

// MULRK and MULBLANK: row, first column (u16 at 2), entries from offset 4,
// last column in the body's last 2 bytes.
class TMultipleValueRecord : public TBaseRowColRecord {
public:
    uint16_t FirstCol() const { return Col(); }
    uint16_t LastCol() const { return GetWord(Size() - 2); }
};

class TMulRKRecord : public TMultipleValueRecord {
public:
    // Hands store the RK cells of columns FirstCol to LastCol (none when
    // LastCol < FirstCol) in column order; an entry beyond the body fails
    // with 65226. Half the cells of many files come this way.
    template <typename Store>
    void Expand(Store&& store) const {
        const int first = FirstCol(), last = LastCol();
        const uint16_t row = Row();
        for (int c = first; c <= last; ++c)
            store(TRKRecord::FromEntry(row, static_cast<uint16_t>(c), At(4 + 6 * (c - first), 6)));
    }
};

class TMulBlankRecord : public TMultipleValueRecord {
public:
    template <typename Store>
    void Expand(Store&& store) const {
        const int first = FirstCol(), last = LastCol();
        const uint16_t row = Row();
        for (int c = first; c <= last; ++c)
            store(MakeBlank(row, static_cast<uint16_t>(c), GetWord(4 + 2 * (c - first))));
    }
};

// STRING: the string result of the preceding FORMULA (16-bit count at 0).
class TStringRecord : public TXlsRecord {
public:
    WideString Text() const;
};

// TABLE: kept with the FORMULA it follows.
class TTableRecord : public TXlsRecord {};

// SHRFMLA: first row (u16 at 0), last row (u16 at 2), first column (byte at
// 4), last column (byte at 5), token length (u16 at 8), tokens from 10.
class TShrFmlaRecord : public TXlsRecord {
public:
    uint16_t FirstRow() const { return GetWord(0); }
    uint16_t LastRow() const { return GetWord(2); }
    uint8_t FirstCol() const { return GetByte(4); }
    uint8_t LastCol() const { return GetByte(5); }
    uint16_t TokenLength() const { return GetWord(8); }
    std::span<const uint8_t> TokenData() const;
    bool Covers(int row, int col) const {
        return FirstRow() <= row && row <= LastRow() && FirstCol() <= col && col <= LastCol();
    }
};

// Cell records built by the writer's callers (bodies as the format lays them out).
std::unique_ptr<TBlankRecord> MakeBlank(uint16_t row, uint16_t col, uint16_t xf);
std::unique_ptr<TNumberRecord> MakeNumber(uint16_t row, uint16_t col, uint16_t xf, double value);
std::unique_ptr<TLabelRecord> MakeLabel(uint16_t row, uint16_t col, uint16_t xf, WideStringView text);
std::unique_ptr<TRKRecord> MakeRK(uint16_t row, uint16_t col, uint16_t xf, double value);
std::unique_ptr<TBoolErrRecord> MakeBoolean(uint16_t row, uint16_t col, uint16_t xf, bool value);
// errorCode: the BIFF code (0x2A for "#N/A" ...).
std::unique_ptr<TBoolErrRecord> MakeError(uint16_t row, uint16_t col, uint16_t xf,
                                          uint8_t errorCode);

// What a FORMULA record caches of its last result. A text result goes out in
// a STRING record after the formula; an error result carries its BIFF code.
struct TFormulaCachedResult {
    enum class Kind : uint8_t { Number, Text, Boolean, Error };
    Kind kind = Kind::Number;
    double number = 0;
    WideString text;
    bool boolean = false;
    uint8_t errorCode = 0;
};

// Option flags of a written FORMULA: calculate always and on load, so that
// every reader works the formula out again rather than trusting the cache.
inline constexpr uint16_t kFormulaRecalc = 0x0003;

// A FORMULA record with its parsed-expression tokens (and their extra data)
// and cached result. Tokens longer than the record can hold fail with a
// clear message.
std::unique_ptr<TFormulaRecord> MakeFormula(uint16_t row, uint16_t col, uint16_t xf,
                                            std::span<const uint8_t> tokens,
                                            const TFormulaCachedResult& result);

}  // namespace plu
