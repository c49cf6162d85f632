// Decoding the scale's replies. Replies are interpreted according to the
// frame they answer; these functions only take bodies apart. Field positions
// that a short body lacks read as empty (nothing is ever read beyond the
// body), so a damaged reply gives empty texts or a conversion error, never a
// read out of bounds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/regional_settings.h"
#include "base/wide_text.h"

namespace plu {

// Answer to "BU": business name (20), second business line (20), checksum
// over the first 40 bytes. Nothing when the body is shorter than 42 bytes or
// the checksum does not match (the PC then asks again).
struct BusinessLines {
    WideString businessName;  // trimmed
    WideString secondLine;    // trimmed
};
std::optional<BusinessLines> DecodeBusinessLines(std::string_view body);

// Answer to "U"/"UA" that is neither "UE" nor an empty-PLU note: one record
// of 126 bytes, the last two a checksum over the 124 before them.
struct RecordReply {
    std::string number;       // 3 decimal digits, counted from 1
    std::string productName;  // 20 bytes
    std::string ingredients;  // 80 bytes
    std::string life;         // 3 bytes, taken as text
    std::string unit;         // 1 digit: 0 kg, 1 lb, any other oz
    std::string unitPrice;    // 6 decimal digits, hundredths
    std::string tare;         // 6 decimal digits: thousandths, hundredths for oz
    std::string itemCode;     // 5 decimal digits
};
constexpr std::size_t kRecordReplyLength = 126;
// Cuts the body into its fields (no check, no conversion).
RecordReply DecodeRecordReply(std::string_view body);
// The record's checksum matches (the body's last two bytes).
bool RecordChecksumOk(std::string_view body);

// The cell texts of a record, one field at a time, so that a caller can write
// each before converting the next. The numeric ones throw EConvertError when
// their digits are no number.
int32_t RecordPluNumber(const RecordReply& r);                 // counted from 1
WideString RecordProductName(const RecordReply& r);            // trimmed
WideString RecordIngredients(const RecordReply& r);            // trimmed
WideString RecordLife(const RecordReply& r);                   // as received
WideString RecordUnit(const RecordReply& r);                   // "kg", "lb" or "oz"
WideString RecordUnitPrice(const RecordReply& r,               // "12.50"
                           char16_t decimalSeparator = Regional().DecimalSeparator);
// "1.500" (thousandths), or "15.00" when unitText is "oz" (hundredths).
WideString RecordTare(const RecordReply& r, WideStringView unitText,
                      char16_t decimalSeparator = Regional().DecimalSeparator);
WideString RecordItemCode(const RecordReply& r);               // "42", no leading zeros

// "N" + number: the PLU is empty; its number (from 1) is the body's last three
// bytes, decimal. Throws EConvertError when they are no number.
bool IsEmptyPluReply(std::string_view body);
int32_t EmptyPluNumber(std::string_view body);

// "UE": the scale has no more records.
bool IsEndOfUpload(std::string_view body);

}  // namespace plu
