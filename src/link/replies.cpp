#include "link/replies.h"

#include "link/frame.h"
#include "link/numbers.h"
#include "link/scale_text.h"

namespace plu {

namespace {

// Bytes from..from+count-1 (1-based) of body, clipped to the body.
std::string Copy(std::string_view body, std::size_t from, std::size_t count) {
    if (from < 1 || from > body.size()) return {};
    return std::string(body.substr(from - 1, count));
}

WideString Latin1(std::string_view bytes) {
    WideString wide;
    for (char b : bytes) wide.push_back(static_cast<char16_t>(static_cast<uint8_t>(b)));
    return wide;
}

}  // namespace

std::optional<BusinessLines> DecodeBusinessLines(std::string_view body) {
    if (body.size() < 42) return std::nullopt;
    if (FrameChecksum(body.substr(0, 40)) != body.substr(40, 2)) return std::nullopt;
    return BusinessLines{FromScaleText(body.substr(0, 20)), FromScaleText(body.substr(20, 20))};
}

RecordReply DecodeRecordReply(std::string_view body) {
    RecordReply r;
    r.number = Copy(body, 1, 3);
    r.productName = Copy(body, 4, 20);
    r.ingredients = Copy(body, 24, 80);
    r.life = Copy(body, 104, 3);
    r.unit = Copy(body, 107, 1);
    r.unitPrice = Copy(body, 108, 6);
    r.tare = Copy(body, 114, 6);
    r.itemCode = Copy(body, 120, 5);
    return r;
}

bool RecordChecksumOk(std::string_view body) { return HasTrailingChecksum(body); }

int32_t RecordPluNumber(const RecordReply& r) { return ScaleDecimal(r.number); }
WideString RecordProductName(const RecordReply& r) { return FromScaleText(r.productName); }
WideString RecordIngredients(const RecordReply& r) { return FromScaleText(r.ingredients); }
WideString RecordLife(const RecordReply& r) { return Latin1(r.life); }

WideString RecordUnit(const RecordReply& r) {
    if (r.unit == "0") return u"kg";
    if (r.unit == "1") return u"lb";
    return u"oz";
}

WideString RecordUnitPrice(const RecordReply& r, char16_t decimalSeparator) {
    return ScaledIntegerText(ScaleDecimal(r.unitPrice), 2, decimalSeparator);
}

WideString RecordTare(const RecordReply& r, WideStringView unitText, char16_t decimalSeparator) {
    const int32_t value = ScaleDecimal(r.tare);
    return unitText == u"oz" ? ScaledIntegerText(value, 2, decimalSeparator)
                             : ScaledIntegerText(value, 3, decimalSeparator);
}

WideString RecordItemCode(const RecordReply& r) { return IntToWide(ScaleDecimal(r.itemCode)); }

bool IsEmptyPluReply(std::string_view body) { return !body.empty() && body[0] == 'N'; }

int32_t EmptyPluNumber(std::string_view body) {
    return ScaleDecimal(body.size() <= 3 ? body : body.substr(body.size() - 3));
}

bool IsEndOfUpload(std::string_view body) { return body == "UE"; }

}  // namespace plu
