#include "link/frames.h"

#include <cmath>

#include "link/frame.h"
#include "link/numbers.h"
#include "link/scale_text.h"

namespace plu {

std::string LinkPollFrame() { return MakeFrame("L"); }
std::string BeginUploadFrame() { return MakeFrame("BU"); }
std::string NextRecordFrame() { return MakeFrame("U"); }
std::string RepeatRecordFrame() { return MakeFrame("UA"); }
std::string EndOfDownloadFrame() { return MakeFrame("DE"); }

std::string EmptyRecordFrame(uint16_t index) {
    return MakeCheckedFrame("DN" + HexField(index, 3));
}

std::string BusinessHeaderFrame(WideStringView businessName, WideStringView secondLine) {
    std::string body = "BD";
    body += ScaleField(businessName, kNameFieldWidth);
    body += ScaleField(secondLine, kNameFieldWidth);
    return MakeCheckedFrame(body);
}

int UnitDigitOf(WideStringView unitText) {
    if (unitText == u"kg") return kUnitKg;
    if (unitText == u"lb") return kUnitLb;
    return kUnitOz;
}

uint32_t TareWireValue(uint32_t tareDigits, int unitDigit) {
    return unitDigit == kUnitOz ? tareDigits / 10 : tareDigits;
}

std::string PluRecordFrame(const PluRecordFields& f) {
    std::string body = "D";
    body += HexField(f.index, 3);
    body += ScaleField(f.productName, kNameFieldWidth);
    body += ScaleField(f.ingredients, kIngredientsFieldWidth);
    body += HexField(f.life, 2);
    const int unit = f.unitDigit < 0 || f.unitDigit > 2 ? kUnitOz : f.unitDigit;
    body.push_back(static_cast<char>('0' + unit));
    body += HexField(f.unitPriceDigits, 6);
    body += HexField(TareWireValue(f.tareDigits, unit), 6);
    body += HexField(f.itemCode, 6);
    return MakeCheckedFrame(body);
}

ClockFields ClockFieldsOf(TDateTime when) {
    // Round to the millisecond first so that date and time agree: a time that
    // rounds up to midnight belongs to the next day.
    when = std::round(when * 86400000.0) / 86400000.0;
    const DateParts d = DecodeDate(when);
    const TimeParts t = DecodeTime(when);
    ClockFields f;
    f.year = d.year % 100;
    f.month = d.month;
    f.day = d.day;
    f.hour = t.hour;
    f.minute = t.minute;
    f.second = t.second;
    return f;
}

std::string ClockFrame(const ClockFields& f) {
    auto field = [](int v) { return HexField(static_cast<uint32_t>(v < 0 ? 0 : v), 2); };
    std::string body = "T";
    body += field(f.year);
    body += field(f.month);
    body += field(f.day);
    body += field(f.hour);
    body += field(f.minute);
    body += field(f.second);
    return MakeCheckedFrame(body);
}

std::string ClockFrame(TDateTime when) { return ClockFrame(ClockFieldsOf(when)); }

}  // namespace plu
