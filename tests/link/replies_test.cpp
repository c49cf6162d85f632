#include <gtest/gtest.h>

#include <string>

#include "base/exceptions.h"
#include "link/frame.h"
#include "link/identification.h"
#include "link/replies.h"

namespace plu {
namespace {

std::string Pad(const std::string& s, std::size_t width) {
    return std::string(width - s.size(), ' ') + s;
}

std::string RecordBody(const std::string& number, const std::string& unit, const std::string& price,
                       const std::string& tare, const std::string& code) {
    std::string body = number + Pad("APPLES", 20) + Pad("SUGAR (5%)", 80) + "007" + unit + price +
                       tare + code;
    return body + FrameChecksum(body);
}

TEST(BusinessLinesReply, DecodesWithAGoodChecksumOnly) {
    const std::string lines = Pad("CORNER SHOP", 20) + Pad("OPEN DAILY", 20);
    const auto ok = DecodeBusinessLines(lines + FrameChecksum(lines));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->businessName, u"CORNER SHOP");
    EXPECT_EQ(ok->secondLine, u"OPEN DAILY");
    std::string bad = lines + FrameChecksum(lines);
    bad[41] = bad[41] == '0' ? '1' : '0';
    EXPECT_FALSE(DecodeBusinessLines(bad));
    EXPECT_FALSE(DecodeBusinessLines(lines));
    EXPECT_FALSE(DecodeBusinessLines(""));
}

TEST(RecordReply, DecodesEveryFieldIntoCellTexts) {
    const std::string body = RecordBody("006", "0", "001250", "001500", "00042");
    ASSERT_EQ(body.size(), kRecordReplyLength);
    ASSERT_TRUE(RecordChecksumOk(body));
    const RecordReply r = DecodeRecordReply(body);
    EXPECT_EQ(RecordPluNumber(r), 6);
    EXPECT_EQ(RecordProductName(r), u"APPLES");
    EXPECT_EQ(RecordIngredients(r), u"SUGAR (5%)");
    EXPECT_EQ(RecordLife(r), u"007");
    EXPECT_EQ(RecordUnit(r), u"kg");
    EXPECT_EQ(RecordUnitPrice(r, u'.'), u"12.50");
    EXPECT_EQ(RecordTare(r, RecordUnit(r), u'.'), u"1.500");
    EXPECT_EQ(RecordItemCode(r), u"42");
}

TEST(RecordReply, UnitDigitsAndOunceTare) {
    const struct {
        std::string digit;
        std::u16string unit, tare;
    } cases[] = {{"0", u"kg", u"1.500"}, {"1", u"lb", u"1.500"}, {"2", u"oz", u"15.00"},
                 {"7", u"oz", u"15.00"}};
    for (const auto& c : cases) {
        const RecordReply r = DecodeRecordReply(RecordBody("001", c.digit, "001250", "001500", "00042"));
        EXPECT_EQ(RecordUnit(r), c.unit) << c.digit;
        EXPECT_EQ(RecordTare(r, RecordUnit(r), u'.'), c.tare) << c.digit;
    }
    const RecordReply r = DecodeRecordReply(RecordBody("001", "0", "001250", "001500", "00042"));
    EXPECT_EQ(RecordUnitPrice(r, u','), u"12,50");  // the PC's decimal separator
}

TEST(RecordReply, ChecksumMismatchAndBodiesTooShortForOne) {
    std::string body = RecordBody("001", "0", "001250", "001500", "00042");
    body[10] = 'X';
    EXPECT_FALSE(RecordChecksumOk(body));
    EXPECT_FALSE(RecordChecksumOk(""));
    EXPECT_FALSE(RecordChecksumOk("X"));
    EXPECT_TRUE(RecordChecksumOk("FF"));  // zero covered bytes
}

TEST(RecordReply, ShortOrDamagedBodiesGiveEmptyFieldsAndConversionErrors) {
    const RecordReply shortOne = DecodeRecordReply("00");
    EXPECT_EQ(shortOne.number, "00");
    EXPECT_EQ(shortOne.productName, "");
    EXPECT_EQ(shortOne.itemCode, "");
    EXPECT_EQ(RecordUnit(shortOne), u"oz");
    EXPECT_THROW(RecordItemCode(shortOne), EConvertError);
    const RecordReply letters = DecodeRecordReply(RecordBody("0A1", "0", "00I250", "001500", "00042"));
    EXPECT_THROW(RecordPluNumber(letters), EConvertError);
    EXPECT_THROW(RecordUnitPrice(letters), EConvertError);
    EXPECT_EQ(RecordTare(letters, u"kg", u'.'), u"1.500");
}

TEST(OtherUploadReplies, EmptyPluAndEnd) {
    EXPECT_TRUE(IsEmptyPluReply("N005"));
    EXPECT_EQ(EmptyPluNumber("N005"), 5);
    EXPECT_EQ(EmptyPluNumber("NX265"), 265);
    EXPECT_THROW(EmptyPluNumber("N"), EConvertError);
    EXPECT_FALSE(IsEmptyPluReply(""));
    EXPECT_TRUE(IsEndOfUpload("UE"));
    EXPECT_FALSE(IsEndOfUpload(" UE"));
    EXPECT_FALSE(IsEndOfUpload("UEX"));
}

TEST(Identification, FiveKeyFifteenKilogramScale) {
    const ScaleIdentity id = DecodeIdentification("LNORV-25X0110015");
    EXPECT_EQ(id.CapacityClass, 1);
    EXPECT_EQ(id.unitDigit, 0);
    EXPECT_EQ(id.ModelName, u"NORV-15kg");
    EXPECT_FALSE(id.Preset55);
    EXPECT_TRUE(id.UnitKg);
    EXPECT_TRUE(id.UnitLb);
    EXPECT_FALSE(id.UnitOz);
}

TEST(Identification, ModelTableByCapacityCodeAndUnitDigit) {
    const struct {
        std::string keys, unit, flags, code;
        std::u16string model;
        bool preset55;
    } cases[] = {
        {"LNORV-25X", "0", "1000", " 6", u"NORV-6kg", false},
        {"LNORV-25X", "1", "0100", "6 ", u"NORV-15lb", false},
        {"LNORV-55X", "2", "0010", " 6", u"NORV-240oz", true},
        {"LNORV-26X", "0", "1000", "15", u"NORV-15kg", true},
        {"LNORV-25X", "1", "0100", "15", u"NORV-30lb", false},
        {"LNORV-25X", "9", "0010", "15", u"NORV-480oz", false},
        {"LNORV-25X", "0", "1000", "30", u"NORV-30kg", false},
        {"LNORV-25X", "1", "0100", "06", u"NORV-60lb", false},
        {"LNORV-25X", "2", "0010", "99", u"NORV-960oz", false},
    };
    for (const auto& c : cases) {
        const std::string body = c.keys + c.unit + c.flags + c.code;
        const ScaleIdentity id = DecodeIdentification(body);
        EXPECT_EQ(id.ModelName, c.model) << body;
        EXPECT_EQ(id.Preset55, c.preset55) << body;
        EXPECT_EQ(id.UnitKg, c.flags[0] != '0') << body;
        EXPECT_EQ(id.UnitLb, c.flags[1] != '0') << body;
        EXPECT_EQ(id.UnitOz, c.flags[2] != '0') << body;
    }
}

TEST(Identification, BodiesTooShortForTheTrailerReadMissingBytesAsZero) {
    EXPECT_TRUE(IsIdentification("LNORV"));
    EXPECT_FALSE(IsIdentification("LNOR"));
    EXPECT_FALSE(IsIdentification("XLNORV"));
    const ScaleIdentity id = DecodeIdentification("LNORV");
    EXPECT_EQ(id.unitDigit, 0);
    EXPECT_EQ(id.CapacityClass, 2);
    EXPECT_FALSE(id.UnitKg);
    EXPECT_TRUE(id.Preset55);
}

}  // namespace
}  // namespace plu
