// Formula text from BIFF8 tokens. Cases are token bytes in hexadecimal, in
// stream order (multi-byte fields little-endian, as stored); a "|" separates
// the tokens from the record's extra data (array constants).
#include "formats/biff8/formula_text.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "base/exceptions.h"
#include "base/regional_settings.h"
#include "formats/biff8/function_table.h"

namespace plu {
namespace {

struct Tokens {
    std::vector<std::uint8_t> bytes;  // tokens followed by the extra data
    std::size_t tokenCount = 0;
};

Tokens Parse(const std::string& hex) {
    Tokens t;
    int nibbles = 0;
    unsigned value = 0;
    bool inExtra = false;
    for (char c : hex) {
        if (c == '|') {
            inExtra = true;
            continue;
        }
        int v = -1;
        if (c >= '0' && c <= '9')
            v = c - '0';
        else if (c >= 'A' && c <= 'F')
            v = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            v = c - 'a' + 10;
        if (v < 0) continue;
        value = value * 16 + static_cast<unsigned>(v);
        if (++nibbles == 2) {
            t.bytes.push_back(static_cast<std::uint8_t>(value));
            if (!inExtra) ++t.tokenCount;
            nibbles = 0;
            value = 0;
        }
    }
    return t;
}

// The text as UTF-8, decoded from an exactly sized heap copy so that the
// sanitizers see any read past the end.
std::string Text(const std::string& hex, int baseRow = 0, int baseColumn = 0,
                 const TGetNameText& names = {}) {
    const Tokens t = Parse(hex);
    std::vector<std::uint8_t> body(t.bytes);
    return WideToUtf8(FormulaToText(body, t.tokenCount, baseRow, baseColumn, names));
}

struct Case {
    const char* tokens;
    const char* text;
};

void ExpectCases(const std::vector<Case>& cases, int baseRow = 0, int baseColumn = 0) {
    for (const Case& c : cases) {
        EXPECT_EQ(Text(c.tokens, baseRow, baseColumn), c.text) << "tokens: " << c.tokens;
    }
}

// Handy operands: A1 = 24 0000 00C0, B1 = 24 0000 01C0, ptgInt n = 1E nnnn.

TEST(FormulaText, OperatorsJoinWithoutSpacesOrParentheses) {
    ExpectCases({
        {"24 0000 00C0 1E 0100 03", "A1+1"},
        {"1E 0500 1E 0300 04", "5-3"},
        {"1E 0500 1E 0300 05", "5*3"},
        {"1E 0500 1E 0300 06", "5/3"},
        {"1E 0500 1E 0300 07", "5^3"},
        {"24 0000 00C0 24 0000 01C0 08", "A1&B1"},
        {"1E 0100 1E 0200 09", "1<2"},
        {"1E 0100 1E 0200 0A", "1<=2"},
        {"1E 0100 1E 0200 0B", "1=2"},
        {"1E 0100 1E 0200 0C", "1>=2"},
        {"1E 0100 1E 0200 0D", "1>2"},
        {"1E 0100 1E 0200 0E", "1<>2"},
        {"24 0000 00C0 24 0000 01C0 10", "A1,B1"},
        {"24 0000 00C0 24 0000 01C0 11", "A1:B1"},
        {"1E 0100 1E 0200 1E 0300 05 03", "1+2*3"},
        {"1E 0100 1E 0200 03 15 1E 0300 05", "(1+2)*3"},
        {"1E 0300 12", "3"},
        {"1E 0300 13", "-3"},
        {"1E 3200 14", "50%"},
        {"24 0000 00C0 13 14", "-A1%"},
        {"1E 0200 13 1E 0300 07", "-2^3"},
        {"1E 0100 1E 0200 03 15 15", "((1+2))"},
        {"1E 0100 15 13 19 10 0000 15 14 1E 0200 13 03", "(SUM(-(1)))%+-2"},
    });
}

TEST(FormulaText, DeepWrappingChainsKeepTheirOrder) {
    // A record body full of one-byte wrapping tokens around one operand.
    std::vector<std::uint8_t> body = {0x1E, 0x01, 0x00};
    std::string expected = "1";
    for (int i = 0; i < 4000; ++i) {
        body.push_back(i % 2 ? 0x13 : 0x15);
        expected = i % 2 ? "-" + expected : "(" + expected + ")";
    }
    body.insert(body.end(), {0x19, 0x10, 0x00, 0x00});
    expected = "SUM(" + expected + ")";
    EXPECT_EQ(WideToUtf8(FormulaToText(body, body.size(), 0, 0)), expected);
}

TEST(FormulaText, ConstantsAndErrorCodes) {
    ScopedRegionalSettings pinned(RegionalSettings::Defaults());
    ExpectCases({
        {"1E 0000", "0"},
        {"1E 409C", "40000"},
        {"1E FFFF", "65535"},
        {"1F 00 00 00 00 00 00 E0 3F", "0.5"},
        {"1F 55 55 55 55 55 55 D5 3F", "0.333333333333333"},
        {"1F 40 8C B5 78 1D AF 15 44", "1E20"},
        {"1F FC A9 F1 D2 4D 62 50 3F", "0.001"},
        {"1F 00 00 00 00 00 00 02 C0", "-2.25"},
        {"1D 01", "True"},
        {"1D 02", "True"},
        {"1D 00", "False"},
        {"1C 00", "#NULL!"},
        {"1C 07", "#DIV/0!"},
        {"1C 0F", "#VALUE!"},
        {"1C 17", "#REF!"},
        {"1C 1D", "#NAME?"},
        {"1C 24", "#NUM!"},
        {"1C 2A", "#N/A"},
        {"1C 05", "#???"},
        {"1C FF", "#???"},
        {"16", ""},
    });
}

TEST(FormulaText, NumbersAreWrittenWithADotUnderAnyLocale) {
    // The text is stored in cells and means the same everywhere.
    RegionalSettings comma;
    comma.DecimalSeparator = u',';
    ScopedRegionalSettings pinned(comma);
    EXPECT_EQ(Text("1F 00 00 00 00 00 00 E0 3F"), "0.5");
    EXPECT_EQ(Text("20 00000000000000 | 00 0000 01 00 00 00 00 00 00 F8 3F"), "{1.5}");
}

TEST(FormulaText, StringsKeepEveryCharacterAndDoubleInnerQuotes) {
    ExpectCases({
        {"17 03 00 61 62 63", "\"abc\""},
        {"17 00 00", "\"\""},
        // 8-bit characters are code-page bytes; 16-bit ones are kept whole.
        {"17 02 00 C4 80", "\"Ä€\""},
        {"17 02 01 2F66 5F00", "\"是_\""},
        {"17 01 05 2F66", "\"是\""},
        // a"b: a quotation mark inside reads back as one only when doubled.
        {"17 03 00 61 22 62", "\"a\"\"b\""},
        {"17 01 00 22", "\"\"\"\""},
        {"17 01 00 78 17 01 00 79 08", "\"x\"&\"y\""},
    });
}

TEST(FormulaText, LongSixteenBitStringIsReadWholeAndDecodingGoesOn) {
    std::string hex = "17 C8 01";
    std::string expected = "\"";
    for (int i = 0; i < 200; ++i) {
        char unit[8];
        std::snprintf(unit, sizeof unit, " %02X00", 'a' + i % 26);
        hex += unit;
        expected += static_cast<char>('a' + i % 26);
    }
    hex += " 1E 0700 08";
    expected += "\"&7";
    EXPECT_EQ(Text(hex), expected);
}

TEST(FormulaText, CellReferencesCarryTheirDollarMarks) {
    ExpectCases({
        {"24 0000 00C0", "A1"},
        {"24 0000 0000", "$A$1"},
        {"24 0000 0040", "A$1"},
        {"24 0000 0080", "$A1"},
        {"44 0400 02C0", "C5"},
        {"64 0400 02C0", "C5"},
        {"24 0000 19C0", "Z1"},
        {"24 0000 1AC0", "AA1"},
        {"24 0000 33C0", "AZ1"},
        {"24 0000 34C0", "BA1"},
        {"24 0000 FFC0", "IV1"},
        {"24 FFFF FF00", "$IV$65536"},
        // Columns beyond IV only come from damaged files; they keep counting.
        {"24 0000 BDC2", "ZZ1"},
        {"24 0000 BEC2", "AAA1"},
        {"24 0000 FFFF", "XFD1"},
        {"25 0000 0200 00C0 00C0", "A1:A3"},
        {"25 0000 0200 0000 0000", "$A$1:$A$3"},
        {"45 0100 0400 0100 03C0", "$B$2:D5"},
        {"2A 0000 0000", "#REF!"},
        {"4A 0000 0000", "#REF!"},
        {"2B 0000 0000 0000 0000", "#REF!"},
        {"6B 0000 0000 0000 0000", "#REF!"},
    });
}

TEST(FormulaText, SharedFormulaReferencesResolveAgainstTheFormulaCell) {
    // Base row 5, column 2: row +1, column +0, both relative.
    ExpectCases({{"2C 0100 00C0", "C7"}, {"4D 0000 0200 00C0 01C0", "C6:D8"}}, 5, 2);
    ExpectCases(
        {
            // Row -1, column +1.
            {"2C FFFF 01C0", "E10"},
            {"4C FFFF 01C0", "E10"},
            // Absolute parts are plain indexes; the column takes 8 bits only.
            {"2C 0400 0700", "$H$5"},
            {"2C 0000 FF01", "$IV$1"},
            {"2C 0900 FD40", "A$10"},
            {"2C FDFF 0380", "$D8"},
            {"2D FFFF 0100 FFC0 0200", "C10:$C$2"},
        },
        10, 3);
    // Offsets wrap around the sheet, as BIFF8 offsets do.
    ExpectCases({{"2C FFFF 00C0", "A65536"}, {"2C 0000 FFC0", "IV1"}}, 0, 0);
}

TEST(FormulaText, FunctionCallsTakeTheirArgumentsInStackOrder) {
    ExpectCases({
        {"24 0000 00C0 24 0000 01C0 22 02 0400", "SUM(A1,B1)"},
        {"24 0000 00C0 1E 0100 1E 0200 42 03 0100", "IF(A1,1,2)"},
        {"24 0000 00C0 16 1E 0300 62 03 0100", "IF(A1,,3)"},
        {"21 1300", "PI()"},
        {"41 1300", "PI()"},
        {"24 0000 00C0 1E 0200 21 1B00", "ROUND(A1,2)"},
        {"1E 0100 22 81 0400", "SUM(1)"},
        {"22 00 2200", "TRUE()"},
        {"25 0000 0200 00C0 00C0 22 01 0400 1E 0200 06", "SUM(A1:A3)/2"},
        {"1E 0100 21 7001", "?<368>?(1)"},
        {"1E 0100 1E 0200 21 FFFF", "?<65535>?(2)"},
        {"24 0000 00C0 21 6F01", "VARA(A1)"},
        // A user-defined call (255) and a command (bit 15): the deepest
        // argument is the function's name.
        {"23 0100 0000 1E 0100 22 02 FF00", "#NAME?(1)"},
        {"23 0100 0000 1E 0500 22 02 0080", "#NAME?(5)"},
        {"23 0100 0000 22 01 FF00", "#NAME?()"},
        {"1E 0900 23 0100 0000 1E 0100 1E 0200 22 03 FF00", "#NAME?(1,2)"},
        // A name-carrying index under ptgFunc is called by its number.
        {"1E 0100 21 FF00", "255(1)"},
    });
}

TEST(FormulaText, AttributesSumChooseAndTheRest) {
    ExpectCases({
        {"25 0000 0200 00C0 00C0 19 10 0000", "SUM(A1:A3)"},
        // CHOOSE(2,A1,B1): the jump table (3 entries, bytes that would be
        // unknown tokens) is skipped; the gotos change nothing.
        {"1E 0200 19 04 0200 2626 2626 2626 24 0000 00C0 19 08 0700 24 0000 01C0 19 08 0300 "
         "22 03 6400",
         "CHOOSE(2,A1,B1)"},
        // IF with its if and skip attributes, as written by spreadsheet programs.
        {"44 0000 00C0 1E 0100 0D 19 02 0A00 17 03 00 796573 19 08 0C00 17 02 00 6E6F "
         "19 08 0300 22 03 0100",
         "IF(A1>1,\"yes\",\"no\")"},
        {"19 01 0000 21 4A00", "NOW()"},
        {"19 40 0001 1E 0100", "1"},
        {"1E 0100 19 41 0002", "1"},
    });
}

TEST(FormulaText, NamesAndOtherSheetsGoThroughTheCallback) {
    ExpectCases({
        {"23 0100 0000", "#NAME?"},
        {"43 0100 0000 1E 0100 03", "#NAME?+1"},
        {"39 0000 0100 0000", "#NAME?"},
        {"3A 0100 0000 00C0", "#NAME?!A1"},
        {"5A 0100 0000 0000", "#NAME?!$A$1"},
        {"3B 0000 0000 0100 0000 01C0", "#NAME?!$A$1:B2"},
        {"3C 0000 0000 0000", "#NAME?!#REF!"},
        {"7D 0000 0000 0000 0000 0000", "#NAME?!#REF!"},
    });

    std::vector<std::tuple<int, int, int>> asked;
    const TGetNameText names = [&](std::uint8_t kind, int sheet, int item) -> WideString {
        asked.emplace_back(kind, sheet, item);
        if (kind == kNameKindDefined) return u"Rate";
        return item < 0 ? u"Sheet2" : u"Ext";
    };
    EXPECT_EQ(Text("23 0700 0000 3A 0200 0400 01C0 05 39 0200 0500 0000 03", 0, 0, names),
              "Rate*Sheet2!B5+Ext");
    const std::vector<std::tuple<int, int, int>> expected = {{0, -1, 7}, {3, 2, -1}, {3, 2, 5}};
    EXPECT_EQ(asked, expected);
}

TEST(FormulaText, ArrayConstantsComeFromTheExtraDataInOrder) {
    const std::string one = "01 00 00 00 00 00 00 F0 3F";
    const std::string two = "01 00 00 00 00 00 00 00 40";
    const std::string three = "01 00 00 00 00 00 00 08 40";
    const std::string four = "01 00 00 00 00 00 00 10 40";
    const std::string array = "20 00000000000000 ";
    // Columns - 1, rows - 1 (u16), then the elements row by row.
    EXPECT_EQ(Text(array + "| 02 0000 " + one + two + three), "{1,2,3}");
    EXPECT_EQ(Text(array + "| 00 0200 " + one + two + three), "{1;2;3}");
    EXPECT_EQ(Text("60 00000000000000 42 01 0400 | 01 0100 " + one + two + three + four),
              "SUM({1,2;3,4})");
    EXPECT_EQ(Text(array + "| 04 0000 02 0100 00 61 00 0000000000000000 04 01 00000000000000 "
                           "10 2A 00000000000000 02 0100 01 2F66"),
              "{\"a\",,True,#N/A,\"是\"}");
    EXPECT_EQ(Text(array + "| 00 0000 02 0300 00 61 22 62"), "{\"a\"\"b\"}");
    // Two constants in one formula are read one after the other.
    EXPECT_EQ(Text(array + array + "03 | 00 0000 " + one + "00 0000 " + two), "{1}+{2}");
    // An element of unknown kind stands in for the whole constant.
    EXPECT_EQ(Text(array + "42 01 0400 | 01 0000 " + one + "03 00"),
              "SUM(Bad element ID#3 in array)");
}

TEST(FormulaText, DecodingStopsAtEndMarkersAndUnknownTokens) {
    ExpectCases({
        {"", "[ERROR]"},
        {"00 1E 0100", "[ERROR]"},
        {"1E 0100 00 1E 0200", "1"},
        {"01 0000 0000", "[ERROR]"},
        {"1A 00000000000000000000 1B 00000000 1E 0700", "7"},
        // ptgMemFunc's enclosed tokens are decoded as part of the stream.
        {"29 0B00 24 0000 00C0 24 0000 01C0 11 42 01 0400", "SUM(A1:B1)"},
        {"24 0000 00C0 1E 0100 03 26 0000 0000 0000 0000", "Unknown ptg[26]"},
        {"1E 0100 1E 0200 0F", "Unknown ptg[0F]"},
        // Only the top item is the result.
        {"1E 0100 1E 0200", "2"},
        {"1E 0100 03", "<Val missing>"},
        {"03", "<Val missing>"},
        {"13", "<Val missing>"},
        {"14", "<Val missing>"},
    });
    const int unknown[] = {0x02, 0x0F, 0x18, 0x26, 0x27, 0x28, 0x2E, 0x2F, 0x30, 0x31, 0x32, 0x33,
                           0x34, 0x35, 0x36, 0x37, 0x38, 0x3E, 0x3F, 0x46, 0x47, 0x48, 0x4E, 0x58,
                           0x5E, 0x5F, 0x66, 0x67, 0x68, 0x6E, 0x78, 0x7E, 0x7F, 0x80, 0xA4, 0xFF};
    for (int id : unknown) {
        char hex[64], expected[32];
        std::snprintf(hex, sizeof hex, "1E 0100 %02X 00000000 00000000 1E 0200", id);
        std::snprintf(expected, sizeof expected, "Unknown ptg[%02X]", id);
        EXPECT_EQ(Text(hex), expected);
    }
}

TEST(FormulaText, MissingStackItemsRaiseTheIndexError) {
    const char* cases[] = {
        "15",                  // parenthesis on an empty stack
        "19 10 0000",          // sum attribute on an empty stack
        "1E 0100 22 02 0400",  // SUM of two with one item
        "21 1B00",             // ROUND with nothing
        "22 00 FF00",          // a name-carrying call without its name
        "1E 0100 1E 0200 21 7001 15 22 05 0100",
    };
    for (const char* hex : cases) {
        EXPECT_THROW(Text(hex), ERangeError) << "tokens: " << hex;
    }
    try {
        Text("15");
        FAIL() << "no error";
    } catch (const ERangeError& e) {
        EXPECT_EQ(WideToUtf8(e.Message()), "List index out of bounds (-1)");
    }
}

TEST(FormulaText, TokensCutByTheEndOfTheBodyEndDecoding) {
    const char* tokens[] = {
        "24 0000 00C0",
        "25 0000 0200 00C0 00C0",
        "2D 0000 0200 00C0 00C0",
        "3B 0000 0000 0100 0000 01C0",
        "3D 0000 0000 0000 0000 0000",
        "39 0000 0100 0000",
        "23 0100 0000",
        "1F 00 00 00 00 00 00 E0 3F",
        "1E 0100",
        "1C 2A",
        "1D 01",
        "17 03 00 61 62 63",
        "17 02 01 2F66 5F00",
        "19 04 0200 0000 0000 0000",
        "21 1300",
        "22 00 2200",
        "20 00000000000000",
        "01 0000 0000",
        "1A 00000000000000000000",
        "29 0000",
    };
    for (const char* hex : tokens) {
        const Tokens full = Parse(hex);
        char expected[32];
        std::snprintf(expected, sizeof expected, "Truncated ptg[%02X]", full.bytes[0]);
        for (std::size_t cut = 1; cut < full.bytes.size(); ++cut) {
            std::vector<std::uint8_t> body(full.bytes.begin(), full.bytes.begin() + cut);
            EXPECT_EQ(WideToUtf8(FormulaToText(body, cut, 0, 0)), expected)
                << "tokens: " << hex << " cut at " << cut;
        }
    }
}

TEST(FormulaText, LyingCountsNeverReadPastTheBody) {
    // A token count beyond the body: the tokens end with the body.
    std::vector<std::uint8_t> body = {0x1E, 0x01, 0x00, 0x1E, 0x02, 0x00, 0x03};
    EXPECT_EQ(WideToUtf8(FormulaToText(body, 60000, 0, 0)), "1+2");
    EXPECT_EQ(WideToUtf8(FormulaToText({}, 60000, 0, 0)), "[ERROR]");
    // A count that stops inside a token: its data still lies in the body.
    EXPECT_EQ(WideToUtf8(FormulaToText(body, 1, 0, 0)), "1");

    ExpectCases({
        // Array constants larger than the extra data, or no extra data.
        {"20 00000000000000", "Truncated ptg[20]"},
        {"20 00000000000000 | 00 00", "Truncated ptg[20]"},
        {"20 00000000000000 | FF FFFF 01 00 00 00 00 00 00 F0 3F", "Truncated ptg[20]"},
        {"20 00000000000000 | 00 0000 01 00 00", "Truncated ptg[20]"},
        {"20 00000000000000 | 00 0000 02 FFFF 00 61", "Truncated ptg[20]"},
        {"20 00000000000000 | 00 0000 02 0200 01 61 00 62", "Truncated ptg[20]"},
        {"20 00000000000000 | 00 0000 04 01", "Truncated ptg[20]"},
        {"20 00000000000000 20 00000000000000 | 00 0000 01 00 00 00 00 00 00 F0 3F",
         "Truncated ptg[20]"},
        // After an element of unknown kind the extra data is not trusted.
        {"20 00000000000000 20 00000000000000 | 00 0000 07 01 00 00 00 00 00 00 F0 3F",
         "Truncated ptg[20]"},
        // String and jump-table lengths beyond the body.
        {"17 FF 00 61 62", "Truncated ptg[17]"},
        {"17 FF 01 61 62", "Truncated ptg[17]"},
        {"1E 0100 19 04 FFFF 0000", "Truncated ptg[19]"},
    });
}

TEST(FormulaText, RecordBodiesGiveTheTokensAndTheBaseCell) {
    // FORMULA: row 5, column 2, XF, result, flags, chn, token count at 20.
    std::vector<std::uint8_t> formula = {0x05, 0x00, 0x02, 0x00, 0x0F, 0x00, 0,    0,    0,
                                         0,    0,    0,    0,    0,    0,    0,    0,    0,
                                         0,    0,    0x05, 0x00, 0x2C, 0x01, 0x00, 0x00, 0xC0};
    EXPECT_EQ(WideToUtf8(FormulaRecordText(formula)), "C7");
    // An array constant after the tokens belongs to the record too.
    std::vector<std::uint8_t> withArray(formula.begin(), formula.begin() + 20);
    const Tokens t = Parse("20 00000000000000 | 00 0000 02 0100 00 7A");
    withArray.push_back(static_cast<std::uint8_t>(t.tokenCount));
    withArray.push_back(0);
    withArray.insert(withArray.end(), t.bytes.begin(), t.bytes.end());
    EXPECT_EQ(WideToUtf8(FormulaRecordText(withArray)), "{\"z\"}");
    // Bodies too short for their fields.
    formula.resize(21);
    EXPECT_EQ(WideToUtf8(FormulaRecordText(formula)), "[ERROR]");
    EXPECT_EQ(WideToUtf8(FormulaRecordText({})), "[ERROR]");

    // SHRFMLA rows 9-12, columns 3-3: token count at 8, tokens from 10; the
    // base is the FORMULA cell being read (row 10, column 3).
    std::vector<std::uint8_t> shared = {0x09, 0x00, 0x0C, 0x00, 0x03, 0x03, 0x00, 0x04,
                                        0x05, 0x00, 0x2C, 0xFF, 0xFF, 0x01, 0xC0};
    EXPECT_EQ(WideToUtf8(SharedFormulaRecordText(shared, 10, 3)), "E10");
    EXPECT_EQ(WideToUtf8(SharedFormulaRecordText(shared, 12, 3)), "E12");
    shared.resize(9);
    EXPECT_EQ(WideToUtf8(SharedFormulaRecordText(shared, 10, 3)), "[ERROR]");
}

TEST(FunctionTable, HoldsTheBuiltInFunctionsByIndex) {
    ASSERT_EQ(TExcelFunctions.size(), 368u);
    EXPECT_STREQ(TExcelFunctions[0].Name, "COUNT");
    EXPECT_STREQ(TExcelFunctions[1].Name, "IF");
    EXPECT_STREQ(TExcelFunctions[4].Name, "SUM");
    EXPECT_STREQ(TExcelFunctions[100].Name, "CHOOSE");
    EXPECT_STREQ(TExcelFunctions[367].Name, "VARA");
    EXPECT_EQ(TExcelFunctions[19].ArgCount, 0);   // PI
    EXPECT_EQ(TExcelFunctions[27].ArgCount, 2);   // ROUND
    EXPECT_EQ(TExcelFunctions[336].ArgCount, 0);  // CONCATENATE, variable
    for (int index : {202, 203, 217, 218, 249, 250, 255, 333}) {
        EXPECT_EQ(std::to_string(index), TExcelFunctions[index].Name);
    }
    for (const TExcelFunction& f : TExcelFunctions) {
        ASSERT_NE(f.Name[0], '\0');
        for (const char* p = f.Name; *p; ++p) {
            EXPECT_TRUE((*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9') || *p == '.')
                << f.Name;
        }
    }
}

}  // namespace
}  // namespace plu
