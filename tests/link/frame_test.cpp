#include <gtest/gtest.h>

#include <string>

#include "base/exceptions.h"
#include "link/frame.h"
#include "link/frames.h"
#include "link/numbers.h"
#include "link/scale_text.h"

namespace plu {
namespace {

std::string Body(const std::string& frame) {
    // A frame we built ourselves: STX body CR ETX.
    EXPECT_GE(frame.size(), 3u);
    EXPECT_EQ(frame.front(), kStx);
    EXPECT_EQ(frame.substr(frame.size() - 2), "\r\x03");
    return frame.substr(1, frame.size() - 3);
}

TEST(FrameChecksum, MatchesTheTableOfKnownRuns) {
    const struct {
        std::string bytes, sum;
    } cases[] = {
        {"abc", "49"},
        {"123456789", "37"},
        {"", "FF"},
        {"DN000", "D7"},
        {"T18030F0E0509", "C2"},
    };
    for (const auto& c : cases) EXPECT_EQ(FrameChecksum(c.bytes), c.sum) << c.bytes;
}

TEST(FrameChecksum, CoversOnlyTheCountedBytesAndNeverReadsBeyondTheData) {
    EXPECT_EQ(FrameChecksum("abcXYZ", 3), "49");
    EXPECT_EQ(FrameChecksum("abc", 0), "FF");
    EXPECT_EQ(FrameChecksum("abc", 60000), "49");
}

TEST(RecognizeFrame, AcceptsOnlyStxBodyCrEtx) {
    EXPECT_EQ(RecognizeFrame(std::string("\x02\r\x03")), std::string());
    EXPECT_EQ(RecognizeFrame(std::string("\x02LNORV\r\x03")), std::string("LNORV"));
    EXPECT_FALSE(RecognizeFrame(std::string("\x02L\r")));       // no ETX
    EXPECT_FALSE(RecognizeFrame(std::string("L\r\x03")));       // no STX
    EXPECT_FALSE(RecognizeFrame(std::string("\x02L\x03\r")));   // CR and ETX swapped
    EXPECT_FALSE(RecognizeFrame(std::string("\x02\x03")));
    EXPECT_FALSE(RecognizeFrame(std::string()));
    EXPECT_FALSE(RecognizeFrame(nullptr, 4));
}

TEST(RecognizeFrame, SplitHalvesFailAndTwoFramesMakeOneBody) {
    const std::string reply = "\x02LNORV-25X0110015\r\x03";
    EXPECT_FALSE(RecognizeFrame(reply.substr(0, 7)));
    EXPECT_FALSE(RecognizeFrame(reply.substr(7)));
    EXPECT_EQ(RecognizeFrame(std::string("\x02" "D\r\x03\x02" "D\r\x03")),
              std::string("D\r\x03\x02" "D"));
}

TEST(RecognizeFrame, ReadsOnlyTheGivenLengthOfTheBuffer) {
    // The serial component delivers one extra zero byte after the data.
    const char block[] = {0x02, 'U', 'E', 0x0D, 0x03, 0x00};
    EXPECT_EQ(RecognizeFrame(block, 5), std::string("UE"));
    EXPECT_FALSE(RecognizeFrame(block, 6));
}

TEST(RecognizeFrame, BlockLongerThanTheFrameBufferIsIgnored) {
    const std::string fits = MakeFrame(std::string(kFrameBufferSize - 3, 'A'));
    ASSERT_EQ(fits.size(), kFrameBufferSize);
    EXPECT_TRUE(RecognizeFrame(fits));
    const std::string tooLong = MakeFrame(std::string(kFrameBufferSize - 2, 'A'));
    EXPECT_FALSE(RecognizeFrame(tooLong));
    EXPECT_FALSE(RecognizeFrame(MakeFrame(std::string(70000, 'A'))));
}

TEST(ScaleText, TrimsCutsConvertsAndRightAligns) {
    const struct {
        std::u16string text;
        int width;
        std::string field;
    } cases[] = {
        {u"abc", 20, std::string(17, ' ') + "ABC"},
        {u"Golden Delicious Apples", 20, "GOLDEN DELICIOUS APP"},
        {u"  \t pear \r\n", 20, std::string(16, ' ') + "PEAR"},
        {u"caf\u00e9", 20, std::string(16, ' ') + "CAF\xE9"},   // accents stay lower
        {u"\u4e2d", 20, std::string(19, ' ') + "-"},            // low byte of U+4E2D
        {u"", 20, std::string(20, ' ')},
        {u"x", 0, "X"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ScaleField(c.text, c.width), c.field) << WideToUtf8(c.text);
}

TEST(ScaleText, CutsToTheWidthAfterTrimming) {
    const std::u16string name25 = u"ABCDEFGHIJKLMNOPQRSTUVWXY";
    EXPECT_EQ(ToScaleText(name25, 20), "ABCDEFGHIJKLMNOPQRST");
    EXPECT_EQ(ToScaleText(name25), "ABCDEFGHIJKLMNOPQRSTUVWXY");
    // The cut comes after trimming: leading blanks do not eat into the width.
    EXPECT_EQ(ToScaleText(u"   ab", 2), "AB");
}

TEST(ScaleText, ReceivedBytesAreLatin1AndTrimmed) {
    EXPECT_EQ(FromScaleText("   CR\xC8ME  "), u"CR\u00C8ME");
    EXPECT_EQ(FromScaleText(std::string(20, ' ')), u"");
}

TEST(ScaleText, AllowedByteSet) {
    EXPECT_TRUE(IsScaleText(" ()09AZ\xC0\xC2\xC6\xC7\xC8\xC9\xCA\xCB\xCE\xCF\xD4\xD9\xDB\xDC"));
    for (const char* bad : {"a", "\xE9", "-", ".", "\xC1", "\xDD", "\t"})
        EXPECT_FALSE(IsScaleText(bad)) << static_cast<int>(static_cast<uint8_t>(bad[0]));
}

TEST(Numbers, HexFieldsHaveAMinimumWidthAndGrowBeyondIt) {
    EXPECT_EQ(HexField(0, 3), "000");
    EXPECT_EQ(HexField(264, 3), "108");
    EXPECT_EQ(HexField(253, 2), "FD");
    EXPECT_EQ(HexField(1250, 6), "0004E2");
    EXPECT_EQ(HexField(16777216, 6), "1000000");
}

TEST(Numbers, ShownNumbersLoseTheirSeparators) {
    EXPECT_EQ(ShownNumberDigits(u"12.50"), 1250);
    EXPECT_EQ(ShownNumberDigits(u"1,500"), 1500);
    EXPECT_EQ(ShownNumberDigits(u"1,234.56"), 123456);
    EXPECT_THROW(ShownNumberDigits(u""), EConvertError);
    EXPECT_THROW(ShownNumberDigits(u"12 kg"), EConvertError);
}

TEST(Numbers, ScaleDecimalsConvertLikeTheRuntime) {
    EXPECT_EQ(ScaleDecimal("001250"), 1250);
    EXPECT_EQ(ScaleDecimal("  042"), 42);
    EXPECT_THROW(ScaleDecimal("12A"), EConvertError);
    EXPECT_THROW(ScaleDecimal(""), EConvertError);
    try {
        ScaleDecimal("1x");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"'1x' is not a valid integer value");
    }
}

TEST(Numbers, ScaledIntegerTextIsExact) {
    EXPECT_EQ(ScaledIntegerText(1250, 2, u'.'), u"12.50");
    EXPECT_EQ(ScaledIntegerText(1500, 3, u'.'), u"1.500");
    EXPECT_EQ(ScaledIntegerText(5, 2, u','), u"0,05");
    EXPECT_EQ(ScaledIntegerText(-5, 2, u'.'), u"-0.05");
    EXPECT_EQ(ScaledIntegerText(999999999, 2, u'.'), u"9999999.99");
    EXPECT_EQ(ScaledIntegerText(42, 0, u'.'), u"42");
}

TEST(Frames, FixedFramesOfTheCatalogue) {
    EXPECT_EQ(LinkPollFrame(), std::string("\x02\x4C\x0D\x03"));
    EXPECT_EQ(Body(BeginUploadFrame()), "BU");
    EXPECT_EQ(Body(NextRecordFrame()), "U");
    EXPECT_EQ(Body(RepeatRecordFrame()), "UA");
    EXPECT_EQ(Body(EndOfDownloadFrame()), "DE");
    EXPECT_EQ(Body(EmptyRecordFrame(0)), "DN000D7");
    EXPECT_EQ(Body(EmptyRecordFrame(264)).substr(0, 5), "DN108");
}

TEST(Frames, ClockFrameFromADateTime) {
    const TDateTime when = EncodeDate(2024, 3, 15) + EncodeTime(14, 5, 9, 0);
    EXPECT_EQ(Body(ClockFrame(when)), "T18030F0E0509C2");
    // A time that rounds up to midnight belongs to the next day.
    const TDateTime late = EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 59, 999) + 0.0006 / 86400.0;
    EXPECT_EQ(Body(ClockFrame(late)).substr(0, 13), "T190101000000");
}

TEST(Frames, BusinessHeaderCarriesTwoFieldsAndAChecksumOverThem) {
    const std::string body = Body(BusinessHeaderFrame(u"Corner shop", u" open daily "));
    ASSERT_EQ(body.size(), 44u);
    EXPECT_EQ(body.substr(0, 22), "BD" + std::string(9, ' ') + "CORNER SHOP");
    EXPECT_EQ(body.substr(22, 20), std::string(10, ' ') + "OPEN DAILY");
    EXPECT_EQ(body.substr(42), FrameChecksum(body, 42));
}

TEST(Frames, RecordFrameFieldsAndTareUnits) {
    PluRecordFields f;
    f.index = 264;
    f.productName = u"apples";
    f.ingredients = u"";
    f.life = 7;
    f.unitDigit = kUnitKg;
    f.unitPriceDigits = ShownNumberDigits(u"12.50");
    f.tareDigits = ShownNumberDigits(u"1.500");
    f.itemCode = 42;
    std::string body = Body(PluRecordFrame(f));
    ASSERT_EQ(body.size(), 127u);
    EXPECT_EQ(body.substr(0, 4), "D108");
    EXPECT_EQ(body.substr(4, 20), std::string(14, ' ') + "APPLES");
    EXPECT_EQ(body.substr(24, 80), std::string(80, ' '));
    EXPECT_EQ(body.substr(104, 21), "07" "0" "0004E2" "0005DC" "00002A");
    EXPECT_EQ(body.substr(125), FrameChecksum(body, 125));

    f.unitDigit = kUnitOz;  // ounces travel in hundredths: 1.500 -> 150
    body = Body(PluRecordFrame(f));
    EXPECT_EQ(body.substr(106, 13), "2" "0004E2" "000096");
}

TEST(Frames, UnitDigitOfTheUnitText) {
    EXPECT_EQ(UnitDigitOf(u"kg"), 0);
    EXPECT_EQ(UnitDigitOf(u"lb"), 1);
    EXPECT_EQ(UnitDigitOf(u"oz"), 2);
    EXPECT_EQ(UnitDigitOf(u"KG"), 2);
}

}  // namespace
}  // namespace plu
