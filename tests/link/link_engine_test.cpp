#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "link/frame.h"
#include "link/frames.h"
#include "link/link_engine.h"

namespace plu {
namespace {

struct RecordingPort : ILinkPort {
    std::vector<std::string> written;
    int closes = 0;
    void OpenPort() override {}
    void ClosePort() override { ++closes; }
    bool WriteBlock(std::string_view block) override {
        written.emplace_back(block);
        return !block.empty();
    }
};

// Records every call in order; its ApplyAndOpen does what the port settings
// logic does once the port is open.
struct RecordingHost : ILinkHost {
    LinkEngine* engine = nullptr;
    std::vector<std::string> calls;
    std::u16string panel[3];
    bool menusEnabled = false;  // disabled at start-up
    bool timerEnabled = true;
    bool failOpen = false;
    int unlocks = 0;

    void SetStatusText(int p, WideStringView text) override { panel[p] = std::u16string(text); }
    void SetTransferMenusEnabled(bool enabled) override {
        if (enabled != menusEnabled) calls.push_back(enabled ? "menus on" : "menus off");
        menusEnabled = enabled;
    }
    void UnlockUi() override { ++unlocks; }
    void UpdateTitle() override { calls.push_back("title"); }
    void LayoutSheet(bool reset) override { calls.push_back(reset ? "layout reset" : "layout"); }
    void SetTimerEnabled(bool enabled) override {
        timerEnabled = enabled;
        calls.push_back(enabled ? "timer on" : "timer off");
    }
    void StepPortSettings() override { calls.push_back("step"); }
    void ApplyAndOpen() override {
        calls.push_back("open");
        if (failOpen) throw std::runtime_error("cannot open");
        engine->PortOpened();
        SetTimerEnabled(true);
    }
};

struct RecordingHandler : ILinkReplyHandler {
    std::vector<std::string> calls;
    void ClockReply(std::string_view b) override { calls.push_back("clock " + std::string(b)); }
    void BeginUploadReply(std::string_view b) override { calls.push_back("bu " + std::string(b)); }
    void HeaderReply(std::string_view b) override { calls.push_back("header " + std::string(b)); }
    void DownloadReply(std::string_view b) override { calls.push_back("download " + std::string(b)); }
    void UploadReply(std::string_view b) override { calls.push_back("upload " + std::string(b)); }
};

class LinkEngineTest : public ::testing::Test {
protected:
    LinkEngineTest() : engine(port, host) { host.engine = &engine; }

    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i)
            if (host.timerEnabled) engine.Timer1Timer();
    }
    void Receive(const std::string& block) {
        std::string withZero = block + '\0';  // as the serial component delivers it
        engine.Comm1ReceiveData(withZero.data(), static_cast<uint16_t>(block.size()));
    }
    void Reply(const std::string& body) { Receive(MakeFrame(body)); }
    int Polls() const {
        int n = 0;
        for (const auto& w : port.written) n += w == LinkPollFrame();
        return n;
    }
    // Opened as at start-up, then identified by a 5-key scale.
    void Connect() {
        host.ApplyAndOpen();
        Reply("LNORV-25X0110015");
        host.calls.clear();
        port.written.clear();
    }

    RecordingPort port;
    RecordingHost host;
    LinkEngine engine;
    LinkState& s = engine.State();
};

TEST_F(LinkEngineTest, InitialStateAsTheWindowStarts) {
    EXPECT_FALSE(s.Connected);
    EXPECT_FALSE(s.AwaitingReply);
    EXPECT_EQ(s.ModelName, u"VARDEN-15kg");
    EXPECT_FALSE(s.Preset55);
    EXPECT_TRUE(s.NextFrame.empty());
    EXPECT_TRUE(s.FrameInFlight.empty());
}

TEST_F(LinkEngineTest, DisconnectedPollsEveryTenTicksAndShowsConnecting) {
    for (int tick = 1; tick <= 50; ++tick) {
        Tick();
        EXPECT_EQ(Polls(), tick / 10) << "tick " << tick;
    }
    EXPECT_EQ(port.written.size(), 5u);
    EXPECT_EQ(host.panel[kLinkPanel], kConnectingText);
    EXPECT_FALSE(host.menusEnabled);
    EXPECT_EQ(host.unlocks, 50);
    EXPECT_TRUE(s.AwaitingReply);
    EXPECT_EQ(s.FrameInFlight, LinkPollFrame());
}

TEST_F(LinkEngineTest, DisconnectedTicksAbandonAnyTransfer) {
    s.Transferring = true;
    s.NextFrame = EndOfDownloadFrame();
    Tick(9);
    EXPECT_FALSE(s.Transferring);
    EXPECT_EQ(s.NextFrame, EndOfDownloadFrame());  // until the next poll tick
    Tick();
    EXPECT_EQ(s.NextFrame, LinkPollFrame());
}

TEST_F(LinkEngineTest, FiftyOneSilentTicksCloseStepAndReopen) {
    host.ApplyAndOpen();  // start-up: the poll goes out at once
    EXPECT_EQ(Polls(), 1);
    host.calls.clear();
    Tick(50);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_EQ(port.closes, 0);
    Tick();
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"timer off", "step", "open", "timer on"}));
    EXPECT_EQ(s.LinkTicks, 0);
    EXPECT_EQ(Polls(), 1 + 5 + 1);  // start-up, five while waiting, one on reopening
}

TEST_F(LinkEngineTest, FailedReopenLeavesTheTimerStopped) {
    host.failOpen = true;
    Tick(50);
    EXPECT_THROW(Tick(), std::runtime_error);
    EXPECT_FALSE(host.timerEnabled);
    const auto written = port.written.size();
    Tick(100);  // nobody ticks a stopped timer
    EXPECT_EQ(port.written.size(), written);
}

TEST_F(LinkEngineTest, IdentificationOfAFiveKeyFifteenKilogramScale) {
    host.ApplyAndOpen();
    host.calls.clear();
    Reply("LNORV-25X0110015");
    EXPECT_TRUE(s.Connected);
    EXPECT_FALSE(s.AwaitingReply);
    EXPECT_EQ(s.ReplyTicks, 0);
    EXPECT_EQ(s.CapacityClass, 1);
    EXPECT_EQ(s.ModelName, u"NORV-15kg");
    EXPECT_FALSE(s.Preset55);
    EXPECT_TRUE(s.UnitKg);
    EXPECT_TRUE(s.UnitLb);
    EXPECT_FALSE(s.UnitOz);
    EXPECT_EQ(host.panel[kLinkPanel], kConnectedText);
    // Same key count as before: no new title, one layout for the connection.
    EXPECT_EQ(host.calls, (std::vector<std::string>{"menus on", "layout reset"}));
}

TEST_F(LinkEngineTest, KeyCountChangeRenewsTitleAndLayoutEachWay) {
    host.ApplyAndOpen();
    host.calls.clear();
    Reply("LNORV-55X0110015");
    EXPECT_TRUE(s.Preset55);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"title", "layout reset", "menus on", "layout reset"}));
    host.calls.clear();
    Tick();  // connected and idle: the poll goes out again at once
    EXPECT_EQ(port.written.back(), LinkPollFrame());
    Reply("LNORV-25X0110015");
    EXPECT_FALSE(s.Preset55);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"title", "layout reset"}));
    host.calls.clear();
    Tick();
    Reply("LNORV-25X0110015");  // unchanged: nothing to renew
    EXPECT_TRUE(host.calls.empty());
}

TEST_F(LinkEngineTest, PollReplyThatIsNoIdentificationIsIgnored) {
    host.ApplyAndOpen();
    Reply("LNORW-25X0110015");
    Reply("");
    EXPECT_FALSE(s.Connected);
    EXPECT_TRUE(s.AwaitingReply);
    Connect();
    Tick();
    Reply("XYZ");
    EXPECT_TRUE(s.AwaitingReply);
    EXPECT_EQ(s.ReplyTicks, 0);
}

TEST_F(LinkEngineTest, ConnectedIdleRepollsOneTickAfterEachReply) {
    Connect();
    for (int round = 0; round < 3; ++round) {
        Tick();
        ASSERT_EQ(port.written.size(), static_cast<std::size_t>(round + 1));
        Tick(5);  // waiting: nothing more goes out
        ASSERT_EQ(port.written.size(), static_cast<std::size_t>(round + 1));
        Reply("LNORV-25X0110015");
    }
    EXPECT_EQ(Polls(), 3);
}

TEST_F(LinkEngineTest, ReplyTimeOutAfterFiftyOneTicksResendsOnceAndDisconnects) {
    Connect();
    s.NextFrame = NextRecordFrame();  // a transfer frame in flight
    Tick();                           // sends it
    ASSERT_EQ(port.written.size(), 1u);
    Tick(50);
    EXPECT_TRUE(s.Connected);
    EXPECT_EQ(port.written.size(), 1u);
    Tick();  // the 51st tick of waiting
    EXPECT_FALSE(s.Connected);
    EXPECT_EQ(s.ReplyTicks, 0);
    EXPECT_EQ(s.LinkTicks, 0);
    ASSERT_EQ(port.written.size(), 2u);
    EXPECT_EQ(port.written[1], NextRecordFrame());  // the pending frame once more
    EXPECT_TRUE(s.AwaitingReply);
    Tick();
    EXPECT_EQ(host.panel[kLinkPanel], kConnectingText);
    EXPECT_FALSE(host.menusEnabled);
}

TEST_F(LinkEngineTest, ReconnectingLaysTheSheetOutAgain) {
    Connect();
    Tick(52);
    ASSERT_FALSE(s.Connected);
    Tick(9);
    host.calls.clear();
    Tick();  // poll
    Reply("LNORV-25X0110015");
    EXPECT_TRUE(s.Connected);
    EXPECT_EQ(host.calls, (std::vector<std::string>{"menus on", "layout reset"}));
}

TEST_F(LinkEngineTest, UnrecognisedBlocksChangeNothing) {
    host.ApplyAndOpen();
    const std::string reply = MakeFrame("LNORV-25X0110015");
    Receive(reply.substr(0, 8));
    Receive(reply.substr(8));
    Receive("garbage without framing");
    Receive(std::string(300, '\x02'));
    Receive(MakeFrame(std::string(kFrameBufferSize, 'L')));
    Receive("");
    EXPECT_FALSE(s.Connected);
    EXPECT_TRUE(s.AwaitingReply);
    Receive(reply);
    EXPECT_TRUE(s.Connected);
}

TEST_F(LinkEngineTest, RepliesAreDispatchedByTheFrameInFlight) {
    RecordingHandler handler;
    engine.SetReplyHandler(&handler);
    Connect();
    const struct {
        std::string inFlight, reply, expected;
    } cases[] = {
        {ClockFrame(EncodeDate(2024, 3, 15)), "T", "clock T"},
        {BeginUploadFrame(), "XX", "bu XX"},
        {MakeCheckedFrame("BD" + std::string(40, ' ')), "BD", "header BD"},
        {EmptyRecordFrame(3), "D", "download D"},
        {EndOfDownloadFrame(), "DE", "download DE"},
        {NextRecordFrame(), "UE", "upload UE"},
        {RepeatRecordFrame(), "N005", "upload N005"},
    };
    for (const auto& c : cases) {
        handler.calls.clear();
        s.FrameInFlight = c.inFlight;
        Reply(c.reply);
        EXPECT_EQ(handler.calls, std::vector<std::string>{c.expected}) << c.expected;
    }
    handler.calls.clear();
    s.FrameInFlight = MakeFrame("X");
    Reply("X");
    s.FrameInFlight.clear();
    Reply("D");
    EXPECT_TRUE(handler.calls.empty());
    // A transfer frame in flight is no poll: no identification.
    s.FrameInFlight = NextRecordFrame();
    s.Preset55 = false;
    Reply("LNORV-55X0110015");
    EXPECT_FALSE(s.Preset55);
}

TEST_F(LinkEngineTest, TransferRepliesWithoutAHandlerAreIgnored) {
    Connect();
    s.FrameInFlight = EndOfDownloadFrame();
    s.AwaitingReply = true;
    Reply("DE");
    EXPECT_TRUE(s.AwaitingReply);
}

TEST_F(LinkEngineTest, AFrameStoredWhileAwaitingGoesOutAfterTheReply) {
    Connect();
    Tick();
    s.NextFrame = BeginUploadFrame();  // a transfer starts while the poll is out
    Tick(3);
    EXPECT_EQ(port.written.size(), 1u);
    Reply("LNORV-25X0110015");
    Tick();
    EXPECT_EQ(port.written.back(), BeginUploadFrame());
}

}  // namespace
}  // namespace plu
