#include <gtest/gtest.h>

#include <string>

#include "base/exceptions.h"
#include "link/frame.h"
#include "link/frames.h"
#include "link/identification.h"
#include "link/numbers.h"
#include "link/replies.h"
#include "virtual-scale/frame_assembler.h"
#include "virtual-scale/options.h"
#include "virtual-scale/virtual_scale.h"

namespace plu::virtual_scale {
namespace {

// The body of what the PC sends, from the link module's own builders.
std::string Sent(const std::string& frame) {
    return *RecognizeFrame(frame);
}

// The body of a one-burst reply as the PC would recognise it.
std::string Reply(VirtualScale& scale, const std::string& frame) {
    const ScaleReply r = scale.Answer(Sent(frame));
    EXPECT_EQ(r.bursts.size(), 1u);
    if (r.bursts.size() != 1) return "<none>";
    const auto body = RecognizeFrame(r.bursts[0]);
    EXPECT_TRUE(body) << r.bursts[0];
    return body ? *body : "<no frame>";
}

TEST(VirtualScale, IdentifiesAsTheConfiguredModel) {
    VirtualScale standard;
    EXPECT_EQ(Reply(standard, LinkPollFrame()), "LNORV-25X0110015");

    ScaleModel m;
    m.keys = 55;
    m.capacityCode = "6";
    m.unitDigit = 2;
    m.kg = false;
    m.lb = false;
    m.oz = true;
    VirtualScale ounces(m);
    const ScaleIdentity id = DecodeIdentification(Reply(ounces, LinkPollFrame()));
    EXPECT_EQ(id.ModelName, u"NORV-240oz");
    EXPECT_TRUE(id.Preset55);
    EXPECT_FALSE(id.UnitKg);
    EXPECT_TRUE(id.UnitOz);
}

TEST(VirtualScale, DownloadStoresWhatThePcSends) {
    VirtualScale scale(ScaleModel{}, PluTable{});
    EXPECT_EQ(Reply(scale, BusinessHeaderFrame(u"Corner shop", u"open daily")), "BD");
    PluRecordFields f;
    f.index = 5;
    f.productName = u"olives";
    f.ingredients = u"olives water salt";
    f.life = 30;
    f.unitDigit = kUnitOz;
    f.unitPriceDigits = 1250;
    f.tareDigits = 1500;
    f.itemCode = 3001;
    EXPECT_EQ(Reply(scale, PluRecordFrame(f)), "D");
    EXPECT_EQ(Reply(scale, EmptyRecordFrame(0)), "D");
    EXPECT_EQ(Reply(scale, EndOfDownloadFrame()), "DE");
    EXPECT_EQ(scale.DownloadsCompleted(), 1);

    const PluTable& t = scale.Table();
    EXPECT_EQ(t.businessName, "CORNER SHOP");
    EXPECT_EQ(t.secondLine, "OPEN DAILY");
    const ScalePlu& p = t.plus[5];  // PLU number 6
    EXPECT_FALSE(p.empty);
    EXPECT_EQ(p.name, "OLIVES");
    EXPECT_EQ(p.ingredients, "OLIVES WATER SALT");
    EXPECT_EQ(p.life, 30u);
    EXPECT_EQ(p.unitDigit, 2);
    EXPECT_EQ(p.unitPrice, 1250u);
    EXPECT_EQ(p.tare, 150u);  // hundredths of an ounce
    EXPECT_EQ(p.itemCode, 3001u);
}

TEST(VirtualScale, DamagedDownloadFramesAreRejected) {
    VirtualScale scale;
    std::string header = Sent(BusinessHeaderFrame(u"A", u"B"));
    header[5] = 'Z';
    EXPECT_EQ(*RecognizeFrame(scale.Answer(header).bursts.at(0)), "BA");
    std::string record = Sent(EmptyRecordFrame(3));
    record.back() = record.back() == '0' ? '1' : '0';
    EXPECT_EQ(*RecognizeFrame(scale.Answer(record).bursts.at(0)), "DA");
    EXPECT_EQ(*RecognizeFrame(
                  scale.Answer("DN" + HexField(265, 3) + FrameChecksum("DN109")).bursts.at(0)),
              "DA");  // beyond the last PLU
    EXPECT_EQ(*RecognizeFrame(scale.Answer("D123").bursts.at(0)), "DA");
    EXPECT_TRUE(scale.Answer("Q").Silent());
    EXPECT_TRUE(scale.Answer("").Silent());
}

TEST(VirtualScale, UploadOffersEveryPluThenEnds) {
    VirtualScale scale;  // the sample shop: PLUs 1, 2, 3 and 6
    const auto lines = DecodeBusinessLines(Reply(scale, BeginUploadFrame()));
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->businessName, u"VIRTUAL SCALE SHOP");

    int records = 0, empties = 0;
    std::string reply;
    for (int request = 0; request < 300; ++request) {
        reply = Reply(scale, NextRecordFrame());
        if (IsEndOfUpload(reply)) break;
        if (IsEmptyPluReply(reply)) {
            ++empties;
            EXPECT_EQ(EmptyPluNumber(reply), request + 1);
            continue;
        }
        ++records;
        ASSERT_TRUE(RecordChecksumOk(reply));
        const RecordReply r = DecodeRecordReply(reply);
        EXPECT_EQ(RecordPluNumber(r), request + 1);
        if (request + 1 == 6) {
            EXPECT_EQ(RecordProductName(r), u"OLIVES");
            EXPECT_EQ(RecordUnit(r), u"oz");
            EXPECT_EQ(RecordUnitPrice(r, u'.'), u"12.50");
            EXPECT_EQ(RecordTare(r, RecordUnit(r), u'.'), u"1.50");
            EXPECT_EQ(RecordItemCode(r), u"3001");
        }
    }
    EXPECT_EQ(reply, "UE");
    EXPECT_EQ(records, 4);
    EXPECT_EQ(empties, 261);
}

TEST(VirtualScale, RepeatRequestGivesTheSameRecordAgain) {
    VirtualScale scale;
    Reply(scale, BeginUploadFrame());
    const std::string first = Reply(scale, NextRecordFrame());
    EXPECT_EQ(Reply(scale, RepeatRecordFrame()), first);
    EXPECT_EQ(DecodeRecordReply(Reply(scale, NextRecordFrame())).number, "002");
}

TEST(VirtualScale, ClockFrameSetsTheScaleClock) {
    VirtualScale scale;
    EXPECT_EQ(Reply(scale, ClockFrame(EncodeDate(2024, 3, 15) + EncodeTime(14, 5, 9, 0))), "T");
    ASSERT_TRUE(scale.Clock());
    EXPECT_EQ(scale.Clock()->year, 24);
    EXPECT_EQ(scale.Clock()->hour, 14);
    EXPECT_EQ(scale.Clock()->second, 9);
    EXPECT_EQ(*RecognizeFrame(scale.Answer("T18030F0E0509C3").bursts.at(0)), "TA");
}

TEST(VirtualScaleFaults, ChecksumRejectAndSilenceApplyToTheChosenFramesOnly) {
    VirtualScale scale;
    scale.Faults().Add(*ParseFaultRule("checksum:1:BU"));
    scale.Faults().Add(*ParseFaultRule("reject:2:BD"));
    scale.Faults().Add(*ParseFaultRule("silent:1:L"));
    EXPECT_TRUE(scale.Answer("L").Silent());
    EXPECT_EQ(Reply(scale, LinkPollFrame()), "LNORV-25X0110015");
    EXPECT_FALSE(DecodeBusinessLines(Reply(scale, BeginUploadFrame())));
    EXPECT_TRUE(DecodeBusinessLines(Reply(scale, BeginUploadFrame())));
    const std::string header = BusinessHeaderFrame(u"A", u"B");
    EXPECT_EQ(Reply(scale, header), "BA");
    EXPECT_EQ(Reply(scale, header), "BA");
    EXPECT_EQ(Reply(scale, header), "BD");
}

TEST(VirtualScaleFaults, SplitGarbageAndCorruptRepliesAreNoFramesForThePc) {
    VirtualScale scale;
    scale.Faults().Add(*ParseFaultRule("split:1:L"));
    ScaleReply r = scale.Answer("L");
    ASSERT_EQ(r.bursts.size(), 2u);
    EXPECT_FALSE(RecognizeFrame(r.bursts[0]));
    EXPECT_FALSE(RecognizeFrame(r.bursts[1]));
    EXPECT_EQ(r.bursts[0] + r.bursts[1], LinkPollFrame().substr(0, 1) + "LNORV-25X0110015\r\x03");

    scale.Faults().Add(*ParseFaultRule("garbage:all"));
    r = scale.Answer("L");
    ASSERT_EQ(r.bursts.size(), 2u);
    EXPECT_FALSE(RecognizeFrame(r.bursts[0]));
    EXPECT_EQ(r.bursts[0].find_first_of(std::string("\x11\x13\x02", 3)), std::string::npos);
    EXPECT_TRUE(RecognizeFrame(r.bursts[1]));
    EXPECT_TRUE(r.apartFromPrevious);  // noise must not join the previous reply

    VirtualScale other;
    other.Faults().Add(*ParseFaultRule("corrupt"));
    r = other.Answer("L");
    ASSERT_EQ(r.bursts.size(), 1u);
    EXPECT_FALSE(RecognizeFrame(r.bursts[0]));
    other.Faults().Add(*ParseFaultRule("garbage-xoff"));
    r = other.Answer("L");
    EXPECT_NE(r.bursts.at(0).find('\x13'), std::string::npos);
    EXPECT_LT(r.bursts.at(0).find('\x13'), r.bursts.at(0).find('\x11'));
}

TEST(VirtualScaleFaults, LettersPutALetterIntoARecordsUnitPriceUnderACorrectChecksum) {
    VirtualScale scale;
    scale.Faults().Add(*ParseFaultRule("letters:1:U"));
    Reply(scale, BeginUploadFrame());
    const std::string damaged = Reply(scale, NextRecordFrame());
    ASSERT_EQ(damaged.size(), kRecordReplyLength);
    EXPECT_TRUE(RecordChecksumOk(damaged));
    const RecordReply record = DecodeRecordReply(damaged);
    EXPECT_EQ(record.unitPrice[0], 'X');
    EXPECT_THROW(RecordUnitPrice(record), EConvertError);
    // Asked again, the scale repeats what it sent; the next record is sound.
    EXPECT_EQ(Reply(scale, RepeatRecordFrame()), damaged);
    const RecordReply next = DecodeRecordReply(Reply(scale, NextRecordFrame()));
    EXPECT_EQ(next.number, "002");
    EXPECT_NO_THROW(RecordUnitPrice(next));
}

TEST(FaultRules, TextForms) {
    const auto all = ParseFaultRule("split:all:U,UA");
    ASSERT_TRUE(all);
    EXPECT_EQ(all->kind, FaultKind::Split);
    EXPECT_EQ(all->remaining, -1);
    EXPECT_EQ(all->prefixes, (std::vector<std::string>{"U", "UA"}));
    const auto one = ParseFaultRule("silent");
    ASSERT_TRUE(one);
    EXPECT_EQ(one->remaining, 1);
    EXPECT_TRUE(one->prefixes.empty());
    std::string why;
    for (const char* bad : {"", "loud", "split:x", "split:1:", "split:1:L:9", "split:-1"})
        EXPECT_FALSE(ParseFaultRule(bad, &why)) << bad;
}

TEST(VirtualScaleFaults, PauseHoldsTheReplyBackAndUnplugDropsTheFrame) {
    VirtualScale scale;
    scale.Faults().Add(*ParseFaultRule("pause:1:L:700"));
    scale.Faults().Add(*ParseFaultRule("unplug:1:BD"));
    const ScaleReply late = scale.Answer(Sent(LinkPollFrame()));
    EXPECT_EQ(late.pauseMs, 700);
    ASSERT_EQ(late.bursts.size(), 1u);
    EXPECT_EQ(RecognizeFrame(late.bursts[0]), "LNORV-25X0110015");
    EXPECT_EQ(Reply(scale, LinkPollFrame()), "LNORV-25X0110015");
    // Unplugged as the header arrives: no reply, and the header is not stored.
    const ScaleReply gone = scale.Answer(Sent(BusinessHeaderFrame(u"NEW NAME", u"")));
    EXPECT_TRUE(gone.Silent());
    EXPECT_EQ(gone.unplugMs, 1500);
    EXPECT_NE(scale.Table().businessName, "NEW NAME");
    EXPECT_EQ(Reply(scale, BusinessHeaderFrame(u"NEW NAME", u"")), "BD");
}

TEST(FaultRules, SkipsDurationsAndUnplugNeedsALink) {
    const auto any = ParseFaultRule("unplug:2:*:250");
    ASSERT_TRUE(any);
    EXPECT_TRUE(any->prefixes.empty());
    EXPECT_EQ(any->milliseconds, 250);
    EXPECT_EQ(ParseFaultRule("pause")->milliseconds, 500);
    const auto later = ParseFaultRule("silent:1@2:U");
    ASSERT_TRUE(later);
    FaultPlan plan;
    plan.Add(*later);
    EXPECT_FALSE(plan.Take(FaultKind::Silent, "L"));  // not a matching frame: not counted
    EXPECT_FALSE(plan.Take(FaultKind::Silent, "U"));
    EXPECT_FALSE(plan.Take(FaultKind::Silent, "UA"));
    EXPECT_TRUE(plan.Take(FaultKind::Silent, "U"));
    EXPECT_FALSE(plan.Take(FaultKind::Silent, "U"));
    std::string why;
    for (const char* bad : {"silent:1:L:100", "pause:1:L:", "pause:1:L:1s", "unplug:1:L:9:9", "silent:1@:U",
          "silent:1@x:U"})
        EXPECT_FALSE(ParseFaultRule(bad, &why)) << bad;

    Options options;
    EXPECT_FALSE(ParseOptions({"--fault", "unplug"}, options, why));
    EXPECT_NE(why.find("--link"), std::string::npos) << why;
    EXPECT_TRUE(ParseOptions({"--fault", "unplug", "--link", "/tmp/scale"}, options, why)) << why;
}

TEST(FrameAssembler, FindsFramesInAStreamAndDropsNoise) {
    FrameAssembler a;
    EXPECT_TRUE(a.Feed("noise\x02L").empty());
    EXPECT_EQ(a.Feed("\r\x03\x02U\r\x03xx"), (std::vector<std::string>{"L", "U"}));
    EXPECT_EQ(a.Buffered(), 0u);
    EXPECT_EQ(a.Feed("\x02"
                     "DE\x02"
                     "DE\r\x03"),
              std::vector<std::string>{"DE"});
    a.Feed("\x02" + std::string(2000, 'A'));
    EXPECT_LE(a.Buffered(), FrameAssembler::kMaxFrame);
    EXPECT_EQ(a.Feed("\x02L\r\x03"), std::vector<std::string>{"L"});
}

TEST(VirtualScaleOptions, ModelFaultsAndMistakes) {
    Options o;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--keys", "55", "--capacity", "6", "--unit", "oz", "--units", "oz",
                              "--fault", "split:2:L", "--baud", "2400", "--match-baud"},
                             o, error))
        << error;
    EXPECT_EQ(IdentificationBody(o.model), "LNORV-55X20010 6");
    EXPECT_EQ(o.faults.size(), 1u);
    EXPECT_EQ(o.baud, 2400u);
    EXPECT_TRUE(o.matchBaud);
    for (const auto& bad : std::vector<std::vector<std::string>>{{"--keys", "6"},
                                                                 {"--unit", "g"},
                                                                 {"--units", "kg,g"},
                                                                 {"--baud"},
                                                                 {"--fault", "x"},
                                                                 {"--delay", "-1"},
                                                                 {"--clock-file"},
                                                                 {"--bogus"}}) {
        Options fresh;
        EXPECT_FALSE(ParseOptions(bad, fresh, error)) << bad[0];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace plu::virtual_scale
