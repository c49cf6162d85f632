// The frames the PC sends (complete byte strings, STX to ETX). Builders for
// the frames that need a sheet take the values the sheet gives; reading them
// from cells is the transfers' business.
#pragma once

#include <cstdint>
#include <string>

#include "base/date_time.h"
#include "base/wide_text.h"

namespace plu {

// "L": asks the scale to identify itself. Also the frame that replaces any
// other frame when a transfer ends.
std::string LinkPollFrame();
// "BU": starts an upload; the scale answers with its business lines.
std::string BeginUploadFrame();
// "U": asks for the next record of an upload.
std::string NextRecordFrame();
// "UA": asks for the same record again (its checksum was wrong).
std::string RepeatRecordFrame();
// "DE": ends a download.
std::string EndOfDownloadFrame();
// "DN", the PLU's index from 0 in 3 hex digits, checksum: no PLU at index.
std::string EmptyRecordFrame(uint16_t index);

// "BD", business name (20), second business line (20), checksum over the 42
// bytes before it. The texts are cell texts; they go out as scale fields.
std::string BusinessHeaderFrame(WideStringView businessName, WideStringView secondLine);

// Unit digits of the record frames and replies.
constexpr int kUnitKg = 0;
constexpr int kUnitLb = 1;
constexpr int kUnitOz = 2;
// "kg" gives 0, "lb" 1, anything else 2 (ounces).
int UnitDigitOf(WideStringView unitText);

// The values of one PLU row as the record frame takes them.
struct PluRecordFields {
    uint16_t index = 0;            // the PLU's index from 0 (sheet row - 4)
    WideString productName;        // cell text, sent as a 20-byte field
    WideString ingredients;        // cell text, sent as an 80-byte field
    uint32_t life = 0;             // days, 2 hex digits (0..253)
    int unitDigit = kUnitKg;       // 0 kg, 1 lb, 2 oz
    uint32_t unitPriceDigits = 0;  // shown price without "." and ",": hundredths
    uint32_t tareDigits = 0;       // shown tare without "." and ",": thousandths
    uint32_t itemCode = 0;         // 6 hex digits
};

// "D", index (3), name (20), ingredients (80), life (2), unit (1), price (6),
// tare (6), item code (6), checksum over the 125 bytes before it. For ounces
// the tare digits are divided by 10 (hundredths of an ounce on the wire).
std::string PluRecordFrame(const PluRecordFields& fields);
// The tare as the record frame carries it.
uint32_t TareWireValue(uint32_t tareDigits, int unitDigit);

// The clock fields as the clock frame carries them.
struct ClockFields {
    int year = 0;  // last two digits
    int month = 1, day = 1, hour = 0, minute = 0, second = 0;
};
ClockFields ClockFieldsOf(TDateTime when);
// "T", year, month, day, hour, minute, second (each 2 hex digits), checksum
// over the 13 bytes before it: 2024-03-15 14:05:09 gives T18030F0E0509C2.
std::string ClockFrame(const ClockFields& fields);
std::string ClockFrame(TDateTime when);

}  // namespace plu
