#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "base/date_time.h"
#include "link/frame.h"
#include "link/frames.h"
#include "plu/clock_pairing.h"
#include "plu_test_support.h"

namespace plu::testing {
namespace {

// A clock that the test moves; setting it may be refused.
class FakeClock : public IClock {
  public:
    TDateTime now = EncodeDate(2024, 3, 15) + EncodeTime(14, 5, 9, 0);
    bool refuse = false;
    std::vector<TDateTime> sets;
    TDateTime Now() override { return now; }
    bool SetLocalTime(TDateTime when) override {
        sets.push_back(when);
        if (refuse) return false;
        now = when;
        return true;
    }
    void Advance(int seconds) { now += seconds / 86400.0; }
};

class ClockPairingTest : public PluTest {
  protected:
    ClockPairingTest() : link(window), dialog(clock, link.Transfers().Pairing()) {
        dialog.FormCreate();
        link.Connect();
    }
    // Ticks until the pairing reports success (or gives up).
    bool PairCompletes() {
        return link.RunUntil([&] { return !window.messages.empty(); }, 200);
    }
    FakeClock clock;
    SimulatedLink link;
    DateTimeDialog dialog;
};

TEST_F(ClockPairingTest, ClosingUntouchedSendsTheCurrentTimeAndReportsSuccess) {
    dialog.menuPairClick();
    EXPECT_TRUE(dialog.Visible);
    clock.Advance(3);
    dialog.Timer1Timer();
    EXPECT_DOUBLE_EQ(dialog.Time, clock.now);
    const std::size_t from = link.written.size();
    dialog.FormClose();
    EXPECT_FALSE(dialog.Visible);
    EXPECT_EQ(window.calls.back(), "lock");
    EXPECT_EQ(TrimmedFrame(link.State().NextFrame),
              "T18030F0E050C" + FrameChecksum("T18030F0E050C"));
    ASSERT_TRUE(PairCompletes());
    EXPECT_EQ(window.messages[0].title, u"Information");
    EXPECT_EQ(window.messages[0].text, u"Pair successful.");
    EXPECT_FALSE(window.locked);
    EXPECT_EQ(link.SentTransferFrames(from).size(), 1u);
    ASSERT_TRUE(link.Scale().Clock());
    EXPECT_EQ(link.Scale().Clock()->second, 12);
    EXPECT_EQ(link.State().NextFrame, LinkPollFrame());
    EXPECT_EQ(link.Transfers().Pairing().Outcome(), TransferOutcome::Succeeded);
    EXPECT_TRUE(clock.sets.empty());
}

TEST_F(ClockPairingTest, FrameOfTheFifteenthOfMarch) {
    link.Transfers().Pairing().SendClock(clock.now);
    EXPECT_EQ(TrimmedFrame(link.State().NextFrame), "T18030F0E0509C2");
}

TEST_F(ClockPairingTest, ConfirmWithAChangedDateSetsTheClockToThatDateAndThePickersTime) {
    dialog.menuPairClick();
    dialog.dtpDateChange(EncodeDate(2025, 1, 2) +
                         0.75);  // the picker's own time of day is not used
    EXPECT_TRUE(dialog.TimeEdited);
    EXPECT_FALSE(dialog.Timer1Enabled);
    clock.Advance(30);
    dialog.Timer1Timer();  // the timer is off: the pickers stay
    EXPECT_DOUBLE_EQ(dialog.Date, EncodeDate(2025, 1, 2) + 0.75);
    dialog.Button1Click();
    ASSERT_EQ(clock.sets.size(), 1u);
    EXPECT_NEAR(clock.sets[0], EncodeDate(2025, 1, 2) + EncodeTime(14, 5, 9, 0), 1e-9);
    EXPECT_FALSE(dialog.Visible);
    EXPECT_FALSE(dialog.TimeEdited);
    EXPECT_TRUE(dialog.Timer1Enabled);
    ASSERT_TRUE(PairCompletes());
    const ClockFields& c = *link.Scale().Clock();
    EXPECT_EQ(c.year, 25);
    EXPECT_EQ(c.month, 1);
    EXPECT_EQ(c.day, 2);
    EXPECT_EQ(c.hour, 14);
    EXPECT_EQ(c.minute, 5);
}

TEST_F(ClockPairingTest, ConfirmUntouchedDoesNotSetTheClock) {
    dialog.menuPairClick();
    dialog.Button1Click();
    EXPECT_TRUE(clock.sets.empty());
    EXPECT_FALSE(dialog.Visible);
    EXPECT_EQ(TrimmedFrame(link.State().NextFrame).substr(0, 1), "T");
}

TEST_F(ClockPairingTest, ARefusedClockStaysSilentAndTheFrameCarriesTheUnchangedTime) {
    clock.refuse = true;
    dialog.menuPairClick();
    dialog.dtpTimeEnter();
    dialog.SetTime(EncodeTime(3, 0, 0, 0));
    dialog.Button1Click();
    EXPECT_EQ(clock.sets.size(), 1u);
    EXPECT_TRUE(window.errors.empty());
    EXPECT_EQ(TrimmedFrame(link.State().NextFrame), "T18030F0E0509C2");
}

TEST_F(ClockPairingTest, EnteringTheTimePickerFreezesItUntilTheDialogClosed) {
    dialog.menuPairClick();
    dialog.dtpTimeEnter();
    EXPECT_TRUE(dialog.TimeEdited);
    const TDateTime frozen = dialog.Time;
    clock.Advance(5);
    dialog.Timer1Timer();
    EXPECT_DOUBLE_EQ(dialog.Time, frozen);
    dialog.FormClose();
    // Hidden, it ticks again, ready for the next Pair.
    clock.Advance(5);
    dialog.Timer1Timer();
    EXPECT_DOUBLE_EQ(dialog.Time, clock.now);
    dialog.menuPairClick();
    clock.Advance(1);
    dialog.Timer1Timer();
    EXPECT_DOUBLE_EQ(dialog.Time, clock.now);
    EXPECT_FALSE(dialog.TimeEdited);
}

TEST_F(ClockPairingTest, OtherAnswersRepeatTheSameFrameAndRestartTheTimeOut) {
    link.Scale().Faults().Add(*virtual_scale::ParseFaultRule("reject:3:T"));
    dialog.menuPairClick();
    dialog.FormClose();
    const std::string frame = link.State().NextFrame;
    const std::size_t from = link.written.size();
    clock.Advance(60);  // later readings must not reach the repeated frame
    dialog.Timer1Timer();
    ASSERT_TRUE(PairCompletes());
    const std::vector<std::string> sent = link.SentTransferFrames(from);
    ASSERT_EQ(sent.size(), 4u);
    for (const std::string& s : sent)
        EXPECT_EQ(s, TrimmedFrame(frame));
    EXPECT_EQ(link.Scale().Clock()->minute, 5);

    LinkState& s = link.State();
    s.ReplyTicks = 30;
    s.AwaitingReply = true;
    s.NextFrame = frame;
    link.Transfers().Pairing().ClockReply("T ");
    EXPECT_EQ(s.ReplyTicks, 0);
    EXPECT_FALSE(s.AwaitingReply);
    EXPECT_EQ(s.NextFrame, frame);
}

TEST_F(ClockPairingTest, DateAndTimeComeFromOneReadingAtMidnight) {
    // A reading just before midnight: the date and the time belong together.
    clock.now = EncodeDate(2024, 12, 31) + EncodeTime(23, 59, 59, 999);
    dialog.FormClose();
    const std::string body = TrimmedFrame(link.State().NextFrame);
    EXPECT_EQ(body.substr(0, 13), "T180C1F173B3B");
}

TEST_F(ClockPairingTest, ASilentScaleAbandonsThePairingQuietly) {
    link.Scale().Faults().Add(*virtual_scale::ParseFaultRule("silent:all:T"));
    dialog.FormClose();
    ASSERT_TRUE(link.RunUntil([&] { return !link.State().Connected; }, 200));
    EXPECT_EQ(link.Transfers().Pairing().Outcome(), TransferOutcome::Abandoned);
    link.Tick();
    EXPECT_FALSE(window.locked);
    EXPECT_TRUE(window.messages.empty());
}

}  // namespace
}  // namespace plu::testing
