#include "formats/biff8/cell_records.h"

#include <cstring>
#include <string>

#include "base/conversions.h"
#include "formats/biff8/formula_text.h"
#include "formats/biff8/record_lists.h"
#include "formats/biff8/rk_value.h"
#include "formats/biff8/xls_errors.h"
#include "formats/biff8/xls_string.h"

namespace plu {

void TBaseRowColRecord::Create(uint16_t id, int32_t size) {
    if (size <= 3) RaiseBadRecord(id);
    TXlsRecord::Create(id, size);
}

WideString TNumericCellRecord::AsText() const { return FloatToStr(AsFloat()); }

void TNumberRecord::SetValue(const TXlsValue& value) { SetDouble(6, value.number); }

double TRKRecord::AsFloat() const { return DecodeRK(GetLong(6)); }

void TRKRecord::SetValue(const TXlsValue& value) {
    auto rk = EncodeRK(value.number);
    if (!rk) RaiseBadCellValue(FloatToStr(value.number));
    SetLong(6, *rk);
}

void TIntegerRecord::SetValue(const TXlsValue& value) {
    const double v = value.number;
    if (!(v >= 0 && v <= 65535 && v == static_cast<double>(static_cast<uint16_t>(v)))) {
        RaiseBadCellValue(FloatToStr(v));
    }
    SetWord(7, static_cast<uint16_t>(v));
}

WideString TLabelRecord::AsText() const {
    // Most texts are plain 16-bit strings that lie whole in the body.
    const auto body = Body();
    if (body.size() >= 9 && body[8] == 0x01 && !Continuation()) {
        const size_t count = TVxBuffer::GetWord(body.data() + 6);
        if (9 + 2 * count <= body.size()) {
            WideString text(count, u'\0');
            const uint8_t* p = body.data() + 9;
            for (size_t i = 0; i < count; ++i) text[i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
            return text;
        }
    }
    return ReadLabelText(*this, 6);
}

void TLabelRecord::Assign(uint16_t row, uint16_t col, uint16_t xf, WideStringView text) {
    const int n = EncodedXlsStringSize(text, 2);
    Create(rid::LABEL, 6 + n);
    SetRow(row);
    SetCol(col);
    SetXF(xf);
    EncodeXlsStringInto(text, 2, MutableBody().data() + 6);
}

void TLabelRecord::SetValue(const TXlsValue& value) {
    Assign(Row(), Col(), XF(), value.kind == TXlsValueKind::vkText ? WideStringView(value.text)
                                                                   : WideStringView());
}

void TLabelSSTRecord::SetList(TXlsList* list) {
    auto* share = dynamic_cast<TShareStrList*>(list);
    if (!share) RaiseNotShareStrList();
    list_ = share;
}

void TLabelSSTRecord::SetValue(const TXlsValue& value) {
    if (!list_) RaiseNotShareStrList();
    SetLong(6, static_cast<uint32_t>(list_->Add(WideStringView(value.text))));
}

WideString TLabelSSTRecord::AsText() const {
    const uint32_t i = StringIndex();
    if (!list_ || i >= static_cast<uint32_t>(list_->Count())) RaiseReadError();
    return WideString(list_->Text(static_cast<int>(i)));
}

TFormulaRecord::TFormulaRecord() = default;
TFormulaRecord::~TFormulaRecord() = default;

void TFormulaRecord::AfterRead() {
    result_ = {};
    stringFollows_ = false;
    if (GetWord(12) == 0xFFFF) {
        switch (GetByte(6)) {
            case 0:
                result_ = TXlsValue::Text({});
                stringFollows_ = true;
                break;
            case 1:
                result_ = TXlsValue::Boolean(GetByte(8) == 1);
                break;
            case 2:
            case 3:
                result_ = TXlsValue::Text({});
                break;
            default:
                break;
        }
    } else {
        result_ = TXlsValue::Number(GetDouble(6));
    }
}

void TFormulaRecord::SetValue(const TXlsValue& value) {
    result_ = value;
    stringFollows_ = false;
    uint8_t bytes[8] = {0, 0, 0, 0, 0, 0, 0xFF, 0xFF};
    switch (value.kind) {
        case TXlsValueKind::vkNumber:
            std::memcpy(bytes, &value.number, 8);
            break;
        case TXlsValueKind::vkBoolean:
            bytes[0] = 1;
            bytes[2] = value.boolean ? 1 : 0;
            break;
        case TXlsValueKind::vkText:
            bytes[0] = value.text.empty() ? 3 : 0;
            break;
        case TXlsValueKind::vkBlank:
            bytes[0] = 3;
            result_ = TXlsValue::Text({});
            break;
    }
    SetBytes(6, bytes);
}

double TFormulaRecord::AsFloat() const {
    switch (result_.kind) {
        case TXlsValueKind::vkNumber:
            return result_.number;
        case TXlsValueKind::vkBoolean:
            return result_.boolean ? 1.0 : 0.0;
        case TXlsValueKind::vkText: {
            double v = 0;
            return TryStrToFloat(result_.text, v) ? v : 0.0;
        }
        default:
            return 0;
    }
}

WideString TFormulaRecord::AsText() const {
    switch (result_.kind) {
        case TXlsValueKind::vkNumber:
            return FloatToStr(result_.number);
        case TXlsValueKind::vkBoolean:
            return BoolToStr(result_.boolean);
        case TXlsValueKind::vkText:
            return result_.text;
        default:
            return {};
    }
}

bool TFormulaRecord::WritesString() const {
    return result_.kind == TXlsValueKind::vkText && !result_.text.empty() && Holds(6, 8) &&
           GetWord(12) == 0xFFFF && GetByte(6) == 0;
}

void TFormulaRecord::SetStringResult(WideString text) {
    result_ = TXlsValue::Text(std::move(text));
    stringFollows_ = false;
}

std::span<const uint8_t> TFormulaRecord::TokenData() const {
    auto body = Body();
    return body.size() > 22 ? body.subspan(22) : std::span<const uint8_t>();
}

bool TFormulaRecord::IsSharedFormula() const {
    return Size() > 22 && (GetWord(14) & 0x0008) != 0 && GetByte(22) == 0x01;
}

void TFormulaRecord::AttachTable(std::unique_ptr<TTableRecord> table) { table_ = std::move(table); }

std::unique_ptr<TRKRecord> TRKRecord::FromEntry(uint16_t row, uint16_t col, const uint8_t* entry) {
    uint8_t body[10];
    TVxBuffer::SetWord(body, row);
    TVxBuffer::SetWord(body + 2, col);
    std::memcpy(body + 4, entry, 6);
    auto rk = std::make_unique<TRKRecord>();
    rk->Fill(rid::RK, body, sizeof body);
    return rk;
}

WideString TStringRecord::Text() const { return ReadLabelText(*this, 0); }

std::span<const uint8_t> TShrFmlaRecord::TokenData() const {
    auto body = Body();
    return body.size() > 10 ? body.subspan(10) : std::span<const uint8_t>();
}

void TBoolErrRecord::SetValue(const TXlsValue& value) {
    if (value.kind == TXlsValueKind::vkText) {
        for (int code = 0; code < 256; ++code) {
            const char16_t* name = BiffErrorText(static_cast<uint8_t>(code));
            if (name && value.text == name) {
                SetByte(6, static_cast<uint8_t>(code));
                SetByte(7, 1);
                return;
            }
        }
    }
    SetByte(6, value.kind == TXlsValueKind::vkBoolean ? (value.boolean ? 1 : 0)
                                                      : (value.number != 0 ? 1 : 0));
    SetByte(7, 0);
}

TXlsValue TBoolErrRecord::GetValue() const {
    return IsError() ? TXlsValue::Text(AsText()) : TXlsValue::Boolean(ValueByte() != 0);
}

WideString TBoolErrRecord::AsText() const {
    if (!IsError()) return BoolToStr(ValueByte() != 0);
    // A code that names no error still shows as an error, not as a value.
    const char16_t* name = BiffErrorText(ValueByte());
    return name ? name : u"#VALUE!";
}

std::unique_ptr<TBoolErrRecord> MakeBoolean(uint16_t row, uint16_t col, uint16_t xf, bool value) {
    auto r = std::make_unique<TBoolErrRecord>();
    r->Create(rid::BOOLERR, 8);
    r->SetRow(row);
    r->SetCol(col);
    r->SetXF(xf);
    r->SetByte(6, value ? 1 : 0);
    return r;
}

std::unique_ptr<TBoolErrRecord> MakeError(uint16_t row, uint16_t col, uint16_t xf,
                                          uint8_t errorCode) {
    auto r = MakeBoolean(row, col, xf, false);
    r->SetByte(6, errorCode);
    r->SetByte(7, 1);
    return r;
}

std::unique_ptr<TFormulaRecord> MakeFormula(uint16_t row, uint16_t col, uint16_t xf,
                                            std::span<const uint8_t> tokens,
                                            const TFormulaCachedResult& result) {
    if (tokens.size() > static_cast<size_t>(kMaxRecordBody - 22))
        RaiseXlsLimit("The formula of cell row " + std::to_string(row + 1) + ", column " +
                      std::to_string(col + 1) + " is too long for an Excel 97-2003 formula record");
    auto r = std::make_unique<TFormulaRecord>();
    r->Create(rid::FORMULA, static_cast<int32_t>(22 + tokens.size()));
    r->SetRow(row);
    r->SetCol(col);
    r->SetXF(xf);
    switch (result.kind) {
        case TFormulaCachedResult::Kind::Number:
            r->SetValue(TXlsValue::Number(result.number));
            break;
        case TFormulaCachedResult::Kind::Boolean:
            r->SetValue(TXlsValue::Boolean(result.boolean));
            break;
        case TFormulaCachedResult::Kind::Text:
            r->SetValue(TXlsValue::Text(result.text));
            r->SetStringResult(result.text);
            break;
        case TFormulaCachedResult::Kind::Error: {
            // The model reads an error result as an empty text; the bytes
            // carry the code for other readers.
            r->SetValue(TXlsValue::Text({}));
            const uint8_t bytes[8] = {2, 0, result.errorCode, 0, 0, 0, 0xFF, 0xFF};
            r->SetBytes(6, bytes);
            break;
        }
    }
    r->SetWord(14, kFormulaRecalc);
    r->SetLong(16, 0);
    r->SetWord(20, static_cast<uint16_t>(tokens.size()));
    if (!tokens.empty()) r->SetBytes(22, tokens);
    return r;
}

std::unique_ptr<TBlankRecord> MakeBlank(uint16_t row, uint16_t col, uint16_t xf) {
    auto r = std::make_unique<TBlankRecord>();
    r->Create(rid::BLANK, 6);
    r->SetRow(row);
    r->SetCol(col);
    r->SetXF(xf);
    return r;
}

std::unique_ptr<TNumberRecord> MakeNumber(uint16_t row, uint16_t col, uint16_t xf, double value) {
    auto r = std::make_unique<TNumberRecord>();
    r->Create(rid::NUMBER, 14);
    r->SetRow(row);
    r->SetCol(col);
    r->SetXF(xf);
    r->SetDouble(6, value);
    return r;
}

std::unique_ptr<TLabelRecord> MakeLabel(uint16_t row, uint16_t col, uint16_t xf, WideStringView text) {
    auto r = std::make_unique<TLabelRecord>();
    r->Assign(row, col, xf, text);
    return r;
}

std::unique_ptr<TRKRecord> MakeRK(uint16_t row, uint16_t col, uint16_t xf, double value) {
    auto r = std::make_unique<TRKRecord>();
    r->Create(rid::RK, 10);
    r->SetRow(row);
    r->SetCol(col);
    r->SetXF(xf);
    r->SetValue(TXlsValue::Number(value));
    return r;
}

}  // namespace plu
