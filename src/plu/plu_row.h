// The checks a PLU row must pass before it goes to the scale, and the record
// fields it then gives. They work on the texts the row's cells show.
//
// Checks, in this order, the first failure deciding:
//   Life       digits only, 0 to 253
//   Unit       exactly "kg", "lb" or "oz"
//   Unit price "," read as "."; digits with at most one "."; below 1000000
//   Item code  digits only, 0 to 99999
//   Tare       "," read as "."; digits with at most one "."; at most the
//              TareLimit of the scale's capacity class and the row's unit
// All texts are trimmed first.
//
// A row is empty when every text of columns 2 to 8 is blank; it then goes to
// the scale as an empty record. A row with a name or ingredients but blank
// numbers is not empty: its blank Life fails, so it is never sent with
// invented values.
//
// The numbers sent are the numbers the operator sees, in the units of the
// wire: the price in hundredths and the tare in thousandths, rounded half up
// from the shown text. With the columns' own formats (".00", ".000") that is
// simply the shown digits without the point; a price shown as "12.5" (a text
// cell, or a cell with another format) still goes out as 1250 hundredths,
// not 125. A price whose hundredths do not fit the frame's six hexadecimal
// digits (above 167772.15) fails the price check rather than widening the
// frame.
#pragma once

#include <cstdint>

#include "base/wide_text.h"
#include "link/frames.h"

namespace plu {

// The largest tare accepted, by capacity class (0..2; larger classes read
// as 2) and unit index (0 kg, 1 lb, 2 oz): 3/6/96, 6/15/240, 15/30/480.
int TareLimit(uint16_t capacityClass, int unitIndex);

// The shown texts of one PLU row, columns 2 to 8.
struct PluRowTexts {
    WideString name, ingredients, life, unit, price, tare, itemCode;
};

enum class PluRowKind { Empty, Record, Invalid };

struct PluRowCheck {
    PluRowKind kind = PluRowKind::Empty;
    // The column of the first failing check (Invalid only).
    int failedColumn = 0;
    // The record's fields (Record only; index left 0 for the caller).
    PluRecordFields fields;
};

// The numeric checks and conversions of a row. The characters of the name and
// ingredients are the caller's business (they change the sheet).
PluRowCheck CheckPluRow(const PluRowTexts& texts, uint16_t capacityClass);

}  // namespace plu
