#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "grid/grid_selection.h"
#include "link/frame.h"
#include "link/frames.h"
#include "link/numbers.h"
#include "plu/download.h"
#include "plu_test_support.h"

namespace plu::testing {
namespace {

using virtual_scale::PluTable;
using virtual_scale::ScalePlu;
using virtual_scale::VirtualScale;

class DownloadTest : public PluTest {
  protected:
    void FillRow(int row, std::u16string name, std::u16string ingredients, std::u16string life,
                 std::u16string unit, std::u16string price, std::u16string tare,
                 std::u16string code) {
        const std::u16string texts[] = {name, ingredients, life, unit, price, tare, code};
        for (int col = kColName; col <= kColItemCode; ++col)
            window.Set(col, row, texts[col - kColName]);
    }
    void FillGoodRow(int row) {
        FillRow(row, u"APPLES", u"", u"14", u"kg", u"2.49", u"0", u"1001");
    }
    bool Yellow(int row) {
        for (int col = kColAddr; col <= kColItemCode; ++col)
            if (window.Fill(col, row) != kValidationMarkColor) return false;
        return true;
    }
};

TEST_F(DownloadTest, SmallAccentedLetterFailsOnceAndIsUpperCasedForTheNextStart) {
    SimulatedLink link(window);
    PluDownload& d = link.Transfers().Download();
    FillRow(10, u"caf\u00e9 au lait", u"", u"3", u"kg", u"1", u"0", u"7");
    d.ValidateSheet();
    EXPECT_TRUE(d.ValidationFailed);
    EXPECT_EQ(d.MarkedRows(), std::vector<int>{10});
    EXPECT_TRUE(Yellow(10));
    EXPECT_FALSE(Yellow(9));
    EXPECT_EQ(window.Text(kColName, 10), u"CAF\u00c9 AU LAIT");
    d.ValidateSheet();
    EXPECT_FALSE(d.ValidationFailed);
    EXPECT_TRUE(d.MarkedRows().empty());
}

TEST_F(DownloadTest, ValidationMarksEveryBadRowAndLeavesTheSelectionOnTheLast) {
    SimulatedLink link(window);
    PluDownload& d = link.Transfers().Download();
    window.Set(kColBusiness, kBusinessNameRow, u"Shop & Co");  // "&" is no scale character
    FillGoodRow(4);
    FillRow(5, u"BREAD", u"", u"254", u"kg", u"1", u"0", u"1");
    FillRow(6, u"", u"[FLOUR]", u"1", u"kg", u"1", u"0", u"1");
    FillRow(7, u"MILK", u"", u"", u"", u"", u"", u"");  // a name without numbers
    FillRow(8, u"", u"", u" ", u"", u"", u"", u"");     // blanks only: an empty PLU
    window.Set(kColIngredients, 9, u"(\u00c0 LA CARTE)");
    window.Set(kColLife, 9, u"1");
    window.Set(kColUnit, 9, u"KG");
    d.ValidateSheet();
    EXPECT_EQ(d.MarkedRows(), (std::vector<int>{1, 5, 6, 7, 9}));
    EXPECT_TRUE(Yellow(7));
    EXPECT_FALSE(Yellow(4));
    EXPECT_FALSE(Yellow(8));
    const TRect sel = window.Sheet().Selection().Rect();
    EXPECT_EQ(sel, TRect::FromCorners(kColAddr, 9, kColItemCode, 9));
    EXPECT_EQ(window.Text(kColBusiness, kBusinessNameRow), u"SHOP & CO");
}

TEST_F(DownloadTest, DataErrorsStopsBeforeAnythingIsSent) {
    SimulatedLink link(window);
    link.Connect();
    FillRow(4, u"X", u"", u"1", u"kg", u"1000000", u"0", u"1");
    const std::size_t before = link.written.size();
    link.Transfers().Download().menuStartClick();
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].title, u"Warning");
    EXPECT_EQ(window.messages[0].text, u"Data errors.");
    EXPECT_EQ(window.messages[0].icon, MessageIcon::Warning);
    EXPECT_FALSE(window.locked);
    EXPECT_FALSE(link.State().Transferring);
    EXPECT_EQ(link.Transfers().Download().Outcome(), TransferOutcome::DataErrors);
    link.RunUntil([] { return false; }, 30);
    EXPECT_TRUE(link.SentTransferFrames(before).empty());
    EXPECT_TRUE(Yellow(4));  // the marks stay: no layout ran
    EXPECT_EQ(std::count(window.calls.begin(), window.calls.end(), "layout"), 0);
}

// A table with every PLU filled, all units and both key counts' labels.
void FillFullTable(FakeWindow& w) {
    w.Set(kColBusiness, kBusinessNameRow, u"corner shop");
    w.Set(kColBusiness, kSecondLineRow, u"open daily (8 to 20)");
    for (int row = kFirstPluRow; row <= kLastRow; ++row) {
        const int n = row - 3;
        const char16_t* units[] = {u"kg", u"lb", u"oz"};
        w.Set(kColName, row, u"ITEM " + IntToWide(n));
        w.Set(kColIngredients, row, n % 2 ? u"SALT WATER" : u"");
        w.Set(kColLife, row, IntToWide(n % 254));
        w.Set(kColUnit, row, units[n % 3]);
        w.Set(kColPrice, row, IntToWide(n) + u".25");
        w.Set(kColTare, row, u"0." + IntToWide(100 + n));
        w.Set(kColItemCode, row, IntToWide(n * 7));
    }
}

TEST_F(DownloadTest, FullTableSends267FramesAndTheScaleHoldsExactlyIt) {
    SimulatedLink link(window, VirtualScale({}, PluTable{}));
    link.Connect();
    FillFullTable(window);
    const std::size_t from = link.written.size();
    link.Transfers().Download().menuStartClick();
    EXPECT_EQ(window.calls.front(), "layout");
    EXPECT_EQ(window.calls.back(), "lock download");
    ASSERT_TRUE(link.RunUntil([&] { return !window.messages.empty(); }, 2000));
    EXPECT_EQ(window.messages[0].text, u"Download successful.");
    EXPECT_EQ(window.messages[0].title, u"Information");
    EXPECT_EQ(link.Transfers().Download().Outcome(), TransferOutcome::Succeeded);
    const std::vector<std::string> sent = link.SentTransferFrames(from);
    ASSERT_EQ(sent.size(), 267u);
    EXPECT_EQ(sent.front().substr(0, 2), "BD");
    EXPECT_EQ(sent[1].substr(0, 4), "D000");
    EXPECT_EQ(sent[265].substr(0, 4), "D108");
    EXPECT_EQ(sent.back(), "DE");

    const PluTable& t = link.Scale().Table();
    EXPECT_EQ(t.businessName, "CORNER SHOP");
    EXPECT_EQ(t.secondLine, "OPEN DAILY (8 TO 20)");
    for (int n = 1; n <= 265; ++n) {
        const ScalePlu& p = t.plus[static_cast<std::size_t>(n - 1)];
        SCOPED_TRACE(n);
        EXPECT_FALSE(p.empty);
        EXPECT_EQ(p.name, "ITEM " + std::to_string(n));
        EXPECT_EQ(p.ingredients, n % 2 ? "SALT WATER" : "");
        EXPECT_EQ(p.life, static_cast<uint32_t>(n % 254));
        EXPECT_EQ(p.unitDigit, n % 3);
        EXPECT_EQ(p.unitPrice, static_cast<uint32_t>(n * 100 + 25));
        // Thousandths, hundredths for ounces (the thousandths' last digit dropped).
        const uint32_t thousandths = static_cast<uint32_t>(100 + n);
        EXPECT_EQ(p.tare, n % 3 == 2 ? thousandths / 10 : thousandths);
        EXPECT_EQ(p.itemCode, static_cast<uint32_t>(n * 7));
    }
    EXPECT_EQ(window.panel[kProgressPanel], u"");
    EXPECT_FALSE(window.locked);
    EXPECT_EQ(link.State().NextFrame, LinkPollFrame());
    EXPECT_FALSE(link.State().Transferring);
}

TEST_F(DownloadTest, FramesCarryTheRowIndexAndStatusShowsTheNumberLabel) {
    SimulatedLink link(window, VirtualScale({}, PluTable{}));
    link.Connect();
    FillGoodRow(9);  // label "6"
    FillRow(kLastRow, u"LAST", u"", u"1", u"oz", u"12.50", u"1.500", u"42");
    const std::size_t from = link.written.size();
    link.Transfers().Download().menuStartClick();
    EXPECT_EQ(window.panel[kProgressPanel], u"Downloading Business Name");
    ASSERT_TRUE(link.RunUntil([&] { return !window.messages.empty(); }, 2000));
    const std::vector<std::string> sent = link.SentTransferFrames(from);
    ASSERT_EQ(sent.size(), 267u);
    EXPECT_EQ(sent[1], "DN000D7");  // row 4, empty
    EXPECT_EQ(sent[6].substr(0, 4), "D005");
    // Row 268: "D", 108, name, ingredients, life 01, unit 2, price 0004E2,
    // tare 1.500 oz -> 150 hundredths = 000096, code 00002A.
    const std::string& last = sent[265];
    ASSERT_EQ(last.size(), 127u);
    EXPECT_EQ(last.substr(0, 4), "D108");
    EXPECT_EQ(last.substr(4, 20), std::string(16, ' ') + "LAST");
    EXPECT_EQ(last.substr(104, 21),
              "01"
              "2"
              "0004E2"
              "000096"
              "00002A");
    EXPECT_TRUE(HasTrailingChecksum(last));
    EXPECT_NE(std::find(window.progress.begin(), window.progress.end(), u"Downloading No.M1"),
              window.progress.end());
    EXPECT_NE(std::find(window.progress.begin(), window.progress.end(), u"Downloading No.6"),
              window.progress.end());
    EXPECT_NE(std::find(window.progress.begin(), window.progress.end(), u"Downloading No.265"),
              window.progress.end());
}

TEST_F(DownloadTest, StopDuringARecordCompletesItThenEnds) {
    SimulatedLink link(window, VirtualScale({}, PluTable{}));
    link.Connect();
    for (int row = 4; row <= 12; ++row)
        FillGoodRow(row);
    const std::size_t from = link.written.size();
    PluDownload& d = link.Transfers().Download();
    d.menuStartClick();
    // Tick until record 5 (index 004) is in flight, then Stop before its reply.
    ASSERT_TRUE(link.RunUntil(
        [&] { return TrimmedFrame(link.State().FrameInFlight).substr(0, 4) == "D004"; }, 500));
    d.menuStopClick();
    ASSERT_TRUE(link.RunUntil([&] { return !window.messages.empty(); }, 500));
    EXPECT_EQ(window.messages[0].text, u"Stop downloading!");
    EXPECT_EQ(window.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(d.Outcome(), TransferOutcome::Stopped);
    const std::vector<std::string> sent = link.SentTransferFrames(from);
    ASSERT_EQ(sent.size(), 7u);  // header, records 1 to 5, end
    EXPECT_EQ(sent[5].substr(0, 4), "D004");
    EXPECT_EQ(sent[6], "DE");
    EXPECT_FALSE(link.Scale().Table().plus[4].empty);
    EXPECT_TRUE(link.Scale().Table().plus[5].empty);
}

TEST_F(DownloadTest, RejectionsRepeatTheFrameWithoutLimitAndRestartTheTimeOut) {
    VirtualScale scale({}, PluTable{});
    scale.Faults().Add(*virtual_scale::ParseFaultRule("reject:5:BD"));
    scale.Faults().Add(*virtual_scale::ParseFaultRule("reject:60:D"));
    SimulatedLink link(window, std::move(scale));
    link.Connect();
    FillGoodRow(4);
    const std::size_t from = link.written.size();
    link.Transfers().Download().menuStartClick();
    ASSERT_TRUE(link.RunUntil([&] { return !window.messages.empty(); }, 3000));
    EXPECT_EQ(window.messages[0].text, u"Download successful.");
    const std::vector<std::string> sent = link.SentTransferFrames(from);
    EXPECT_EQ(
        std::count_if(sent.begin(), sent.end(), [](auto& s) { return s.substr(0, 2) == "BD"; }), 6);
    // Sixty "DA" in a row outlast the 51-tick time-out: each one restarts it.
    EXPECT_EQ(
        std::count_if(sent.begin(), sent.end(), [](auto& s) { return s.substr(0, 4) == "D000"; }),
        61);
    EXPECT_TRUE(link.State().Connected);
    EXPECT_EQ(link.Scale().Table().plus[0].name, "APPLES");
}

TEST_F(DownloadTest, RepliesThatFitNoRuleAreRepeatedOrIgnoredAsTheFrameInFlightSays) {
    SimulatedLink link(window, VirtualScale({}, PluTable{}));
    link.Connect();
    FillGoodRow(4);
    PluDownload& d = link.Transfers().Download();
    d.menuStartClick();
    LinkState& s = link.State();
    // Header in flight: an unknown answer repeats the header, the time-out runs on.
    s.FrameInFlight = s.NextFrame;
    s.AwaitingReply = true;
    s.ReplyTicks = 7;
    d.HeaderReply("XX");
    EXPECT_FALSE(s.AwaitingReply);
    EXPECT_EQ(s.ReplyTicks, 7);
    EXPECT_EQ(s.NextFrame.substr(1, 2), "BD");
    d.HeaderReply(" BA ");
    EXPECT_EQ(s.ReplyTicks, 0);
    EXPECT_EQ(s.NextFrame.substr(1, 2), "BD");
    d.HeaderReply(" BD");
    EXPECT_EQ(TrimmedFrame(s.NextFrame).substr(0, 4), "D000");
    // A record in flight: a reply not beginning with "D" is ignored.
    s.FrameInFlight = s.NextFrame;
    s.AwaitingReply = true;
    s.ReplyTicks = 9;
    d.DownloadReply(" D");
    EXPECT_TRUE(s.AwaitingReply);
    EXPECT_EQ(s.ReplyTicks, 9);
    d.DownloadReply("DA ");
    EXPECT_FALSE(s.AwaitingReply);
    EXPECT_EQ(s.ReplyTicks, 0);
    EXPECT_EQ(TrimmedFrame(s.NextFrame).substr(0, 4), "D000");
    d.DownloadReply("D");
    EXPECT_EQ(TrimmedFrame(s.NextFrame), "DN001" + FrameChecksum("DN001"));
}

TEST_F(DownloadTest, ASilentScaleAbandonsTheDownloadWithoutAMessage) {
    VirtualScale scale({}, PluTable{});
    scale.Faults().Add(*virtual_scale::ParseFaultRule("silent:all:D"));
    SimulatedLink link(window, std::move(scale));
    link.Connect();
    FillGoodRow(4);
    PluDownload& d = link.Transfers().Download();
    d.menuStartClick();
    ASSERT_TRUE(link.RunUntil([&] { return !link.State().Connected; }, 200));
    EXPECT_EQ(d.Outcome(), TransferOutcome::Abandoned);
    link.Tick();
    EXPECT_FALSE(link.State().Transferring);
    EXPECT_FALSE(window.locked);
    // The poll reconnects, the download stays abandoned and the sheet as it was.
    ASSERT_TRUE(link.RunUntil([&] { return link.State().Connected; }, 200));
    EXPECT_EQ(d.Outcome(), TransferOutcome::Abandoned);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.Text(kColName, 4), u"APPLES");
    EXPECT_EQ(window.Text(kColPrice, 4), u"2.49");
}

TEST_F(DownloadTest, EditsDuringTheTransferDoNotChangeWhatIsSent) {
    SimulatedLink link(window, VirtualScale({}, PluTable{}));
    link.Connect();
    FillGoodRow(4);
    FillGoodRow(5);
    link.Transfers().Download().menuStartClick();
    // The operator types a life no scale takes into a row not yet sent.
    window.Set(kColLife, 5, u"abc");
    window.Set(kColName, 6, u"PEARS");
    ASSERT_TRUE(link.RunUntil([&] { return !window.messages.empty(); }, 2000));
    EXPECT_EQ(window.messages[0].text, u"Download successful.");
    EXPECT_EQ(link.Scale().Table().plus[1].life, 14u);
    EXPECT_TRUE(link.Scale().Table().plus[2].empty);
    EXPECT_EQ(window.Text(kColLife, 5), u"abc");  // the sheet keeps what was typed
}

TEST_F(DownloadTest, LayoutAtStartRepairsCommasBeforeTheRowsAreRead) {
    SimulatedLink link(window, VirtualScale({}, PluTable{}));
    link.Connect();
    FillRow(4, u"A", u"", u"1", u"kg", u"12,5", u"0,5", u"1");
    link.Transfers().Download().menuStartClick();
    EXPECT_EQ(window.Text(kColPrice, 4), u"12.50");
    ASSERT_TRUE(link.RunUntil([&] { return !window.messages.empty(); }, 2000));
    EXPECT_EQ(link.Scale().Table().plus[0].unitPrice, 1250u);
    EXPECT_EQ(link.Scale().Table().plus[0].tare, 500u);
}

}  // namespace
}  // namespace plu::testing
