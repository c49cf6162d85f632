#include <gtest/gtest.h>

#include "plu/plu_row.h"
#include "plu/plu_sheet.h"

namespace plu {
namespace {

// A valid row: life 10, kg, 12.50, tare 1.500, item code 42.
PluRowTexts Row() {
    return {u"APPLES", u"", u"10", u"kg", u"12.50", u"1.500", u"00042"};
}

struct Case {
    const char* what;
    void (*change)(PluRowTexts&);
    uint16_t capacityClass;
    int failedColumn;  // 0: the row passes
};

// One line per case: what changes in the valid row, the scale's capacity
// class, and the column whose check fails.
const Case kCases[] = {
    {"life 253", [](PluRowTexts& t) { t.life = u"253"; }, 0, 0},
    {"life 254", [](PluRowTexts& t) { t.life = u"254"; }, 0, kColLife},
    {"life blank", [](PluRowTexts& t) { t.life = u" "; }, 0, kColLife},
    {"life negative", [](PluRowTexts& t) { t.life = u"-1"; }, 0, kColLife},
    {"life with point", [](PluRowTexts& t) { t.life = u"1.5"; }, 0, kColLife},
    {"life many zeros", [](PluRowTexts& t) { t.life = u"0000000000000000000007"; }, 0, 0},
    {"unit KG", [](PluRowTexts& t) { t.unit = u"KG"; }, 0, kColUnit},
    {"unit oz padded", [](PluRowTexts& t) { t.unit = u" oz "; }, 0, 0},
    {"unit g", [](PluRowTexts& t) { t.unit = u"g"; }, 0, kColUnit},
    {"price 999999.99", [](PluRowTexts& t) { t.price = u"999999.99"; }, 0, kColPrice},
    {"price 167772.15", [](PluRowTexts& t) { t.price = u"167772.15"; }, 0, 0},
    {"price 167772.16", [](PluRowTexts& t) { t.price = u"167772.16"; }, 0, kColPrice},
    {"price 1000000", [](PluRowTexts& t) { t.price = u"1000000"; }, 0, kColPrice},
    {"price comma", [](PluRowTexts& t) { t.price = u"12,5"; }, 0, 0},
    {"price two points", [](PluRowTexts& t) { t.price = u"1.2.3"; }, 0, kColPrice},
    {"price point alone", [](PluRowTexts& t) { t.price = u"."; }, 0, kColPrice},
    {"price thousands", [](PluRowTexts& t) { t.price = u"1,234.50"; }, 0, kColPrice},
    {"price blank", [](PluRowTexts& t) { t.price = u""; }, 0, kColPrice},
    {"item code 99999", [](PluRowTexts& t) { t.itemCode = u"99999"; }, 0, 0},
    {"item code 100000", [](PluRowTexts& t) { t.itemCode = u"100000"; }, 0, kColItemCode},
    {"tare 3 kg class 0", [](PluRowTexts& t) { t.tare = u"3"; }, 0, 0},
    {"tare 3.000 kg class 0", [](PluRowTexts& t) { t.tare = u"3.000"; }, 0, 0},
    {"tare 3.5 kg class 0", [](PluRowTexts& t) { t.tare = u"3.5"; }, 0, kColTare},
    {"tare 3.001 kg class 0", [](PluRowTexts& t) { t.tare = u"3.001"; }, 0, kColTare},
    {"tare 3.5 kg class 1", [](PluRowTexts& t) { t.tare = u"3.5"; }, 1, 0},
    {"tare 96 oz class 0",
     [](PluRowTexts& t) {
         t.tare = u"96";
         t.unit = u"oz";
     },
     0, 0},
    {"tare 97 oz class 0",
     [](PluRowTexts& t) {
         t.tare = u"97";
         t.unit = u"oz";
     },
     0, kColTare},
    {"tare 30 lb class 2",
     [](PluRowTexts& t) {
         t.tare = u"30";
         t.unit = u"lb";
     },
     2, 0},
    {"tare 31 lb class 2",
     [](PluRowTexts& t) {
         t.tare = u"31";
         t.unit = u"lb";
     },
     2, kColTare},
    {"tare blank", [](PluRowTexts& t) { t.tare = u""; }, 0, kColTare},
    // The first failing check decides, in the order life, unit, price, code, tare.
    {"unit and tare bad",
     [](PluRowTexts& t) {
         t.unit = u"x";
         t.tare = u"x";
     },
     0, kColUnit},
    {"tare and code bad",
     [](PluRowTexts& t) {
         t.tare = u"x";
         t.itemCode = u"x";
     },
     0, kColItemCode},
    // A name without numbers is no empty PLU: nothing may be invented for it.
    {"name only", [](PluRowTexts& t) { t = {u"APPLES", u"", u"", u"", u"", u"", u""}; }, 0,
     kColLife},
    {"ingredients only", [](PluRowTexts& t) { t = {u"", u"SALT", u"", u"", u"", u"", u""}; }, 0,
     kColLife},
};

TEST(PluRow, ChecksStopAtTheFirstFailureInTheirOrder) {
    for (const Case& c : kCases) {
        PluRowTexts texts = Row();
        c.change(texts);
        const PluRowCheck check = CheckPluRow(texts, c.capacityClass);
        if (c.failedColumn == 0) {
            EXPECT_EQ(check.kind, PluRowKind::Record) << c.what;
        } else {
            EXPECT_EQ(check.kind, PluRowKind::Invalid) << c.what;
            EXPECT_EQ(check.failedColumn, c.failedColumn) << c.what;
        }
    }
}

TEST(PluRow, BlankRowsAreEmptyWhateverBlanksTheyHold) {
    EXPECT_EQ(CheckPluRow({}, 0).kind, PluRowKind::Empty);
    EXPECT_EQ(CheckPluRow({u" ", u"\t", u"  ", u"", u" ", u"", u"\r\n"}, 0).kind,
              PluRowKind::Empty);
}

TEST(PluRow, NumbersGoOutInTheUnitsOfTheWire) {
    struct {
        const char16_t *price, *tare;
        uint32_t hundredths, thousandths;
    } const cases[] = {
        {u"12.50", u"1.500", 1250, 1500},
        {u"12,50", u"1,5", 1250, 1500},
        // Shown without the column's decimals (a text cell): the value counts.
        {u"12.5", u"3", 1250, 3000},
        {u"12", u"0.25", 1200, 250},
        // More decimals than the wire holds: rounded half up.
        {u"0.005", u"0.0005", 1, 1},
        {u"0.004", u"0.0004", 0, 0},
        {u"167772.15", u"0", 16777215, 0},
    };
    for (const auto& c : cases) {
        PluRowTexts t = Row();
        t.price = c.price;
        t.tare = c.tare;
        const PluRowCheck check = CheckPluRow(t, 0);
        ASSERT_EQ(check.kind, PluRowKind::Record) << WideToUtf8(c.price);
        EXPECT_EQ(check.fields.unitPriceDigits, c.hundredths) << WideToUtf8(c.price);
        EXPECT_EQ(check.fields.tareDigits, c.thousandths) << WideToUtf8(c.tare);
    }
    const PluRowCheck check = CheckPluRow(Row(), 0);
    EXPECT_EQ(check.fields.life, 10u);
    EXPECT_EQ(check.fields.unitDigit, kUnitKg);
    EXPECT_EQ(check.fields.itemCode, 42u);
}

TEST(PluRow, TareLimitsFollowClassAndUnit) {
    EXPECT_EQ(TareLimit(0, 0), 3);
    EXPECT_EQ(TareLimit(1, 1), 15);
    EXPECT_EQ(TareLimit(2, 2), 480);
    EXPECT_EQ(TareLimit(7, 0), 15);  // an unknown class reads as the largest
}

TEST(PluSheet, NumberLabelsFollowThePresetKeys) {
    EXPECT_EQ(PluNumberLabel(4, false), u"M1");
    EXPECT_EQ(PluNumberLabel(8, false), u"M5");
    EXPECT_EQ(PluNumberLabel(9, false), u"6");
    EXPECT_EQ(PluNumberLabel(58, true), u"M55");
    EXPECT_EQ(PluNumberLabel(59, true), u"56");
    EXPECT_EQ(PluNumberLabel(268, true), u"265");
}

}  // namespace
}  // namespace plu
