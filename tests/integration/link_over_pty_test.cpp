// TComm and the link engine against the virtual scale on a pseudo-terminal,
// in real time: the timer ticks every 20 ms and the serial component's events
// are pumped between ticks, as the window's event loop does.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "app/comm_line.h"
#include "app/link_session.h"
#include "support/processes.h"
#include "link/frame.h"
#include "serial/ui_dispatcher.h"

namespace plu {
namespace {

using plu::testing::VirtualScaleProcess;

class PtyLink {
public:
    PtyLink() : session_(std::make_unique<CommLine>(dispatcher_)) {
        session_.OnError = [this](const LinkError& e) { errors.push_back(WideToUtf8(e.message)); };
    }
    ~PtyLink() {
        session_.Stop();
        dispatcher_.Pump();
    }

    void Start(const std::string& device) {
        session_.Start([device](std::vector<std::string>& ports) {
            ports = {device};
            return true;
        });
    }

    // Ticks every 20 ms and pumps events until done() or the limit; true when done.
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        auto next = std::chrono::steady_clock::now();
        while (!done()) {
            const auto now = std::chrono::steady_clock::now();
            if (now >= deadline) return false;
            if (now >= next) {
                session_.Tick();
                ++ticks;
                next += std::chrono::milliseconds(kTickMilliseconds);
                continue;
            }
            dispatcher_.WaitAndPump(std::chrono::duration_cast<std::chrono::milliseconds>(next - now));
        }
        return true;
    }
    void RunFor(std::chrono::milliseconds span) {
        RunUntil([] { return false; }, span);
    }

    LinkSession& Session() { return session_; }
    const LinkState& State() { return session_.Engine().State(); }
    bool Connected() { return State().Connected; }

    int ticks = 0;
    std::vector<std::string> errors;

private:
    QueuedDispatcher dispatcher_;
    LinkSession session_;
};

TEST(LinkOverPty, ReachesConnectedAndStaysThereWhileIdle) {
    VirtualScaleProcess scale;
    PtyLink link;
    link.Start(scale.Device());
    ASSERT_TRUE(link.errors.empty()) << link.errors.front();
    ASSERT_TRUE(link.RunUntil([&] { return link.Connected(); }, std::chrono::seconds(5)));
    EXPECT_EQ(link.State().ModelName, u"NORV-15kg");
    EXPECT_FALSE(link.State().Preset55);
    EXPECT_TRUE(link.State().UnitKg && link.State().UnitLb && !link.State().UnitOz);
    EXPECT_EQ(link.Session().State().StatusText[kLinkPanel], u"The Scale is connected.");
    EXPECT_TRUE(link.Session().State().Actions.UpLoad);
    link.RunFor(std::chrono::milliseconds(800));
    EXPECT_TRUE(link.Connected());
    EXPECT_EQ(link.Session().Ports().PanelText(), scale.Device() + ",9600,8N1");
}

TEST(LinkOverPty, SplitRepliesAndGarbageAreIgnoredUntilAGoodReplyComes) {
    // The reply to the first poll comes in two bursts; the second poll gets
    // noise and then a reply with noise glued to it; later polls get noise
    // before a good reply.
    VirtualScaleProcess scale({"--fault", "split:1:L", "--fault", "corrupt:1:L", "--fault",
                               "garbage:all:L"});
    PtyLink link;
    // Watch every block on its way to the engine: none that is no frame may
    // change the link state.
    ISerialLine& line = link.Session().Line();
    int noise = 0, frames = 0, connectedByNoise = 0;
    auto forward = line.OnReceiveData;
    line.OnReceiveData = [&](const void* buffer, uint16_t length) {
        const bool frame = RecognizeFrame(buffer, length).has_value();
        const bool before = link.Connected();
        forward(buffer, length);
        if (frame) {
            ++frames;
        } else {
            ++noise;
            if (link.Connected() != before) ++connectedByNoise;
        }
    };
    link.Start(scale.Device());
    ASSERT_TRUE(link.RunUntil([&] { return link.Connected(); }, std::chrono::seconds(5)));
    EXPECT_EQ(frames, 1);
    EXPECT_GE(noise, 4);  // two halves, noise, the corrupted reply, noise
    EXPECT_EQ(connectedByNoise, 0);
    link.RunFor(std::chrono::milliseconds(500));
    EXPECT_TRUE(link.Connected());
    EXPECT_EQ(connectedByNoise, 0);
    line.OnReceiveData = forward;
}

TEST(LinkOverPty, FlowControlBytesInNoiseDoNotWedgeTheLink) {
    VirtualScaleProcess scale({"--fault", "garbage-xoff:all:L"});
    PtyLink link;
    link.Start(scale.Device());
    ASSERT_TRUE(link.RunUntil([&] { return link.Connected(); }, std::chrono::seconds(5)));
    // Each poll's reply is preceded by XOFF … XON; polling goes on regardless.
    link.RunFor(std::chrono::milliseconds(1500));
    EXPECT_TRUE(link.Connected());
}

TEST(LinkOverPty, ScaleThatGoesAwayIsNoticedAfterTheReplyTimeOut) {
    auto scale = std::make_unique<VirtualScaleProcess>();
    PtyLink link;
    link.Start(scale->Device());
    ASSERT_TRUE(link.RunUntil([&] { return link.Connected(); }, std::chrono::seconds(5)));
    scale.reset();  // the cable is pulled
    link.ticks = 0;
    ASSERT_TRUE(link.RunUntil([&] { return !link.Connected(); }, std::chrono::seconds(5)));
    EXPECT_GE(link.ticks, 51);
    EXPECT_LE(link.ticks, 53);
    link.RunFor(std::chrono::milliseconds(100));
    EXPECT_EQ(link.Session().State().StatusText[kLinkPanel], u"Connecting the scale.");
    EXPECT_FALSE(link.Session().State().Actions.UpLoad);
}

}  // namespace
}  // namespace plu
