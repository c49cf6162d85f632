// TComm against pseudo-terminals: the test plays the far side on the master.
#include <dirent.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <thread>

#include "serial/comm.h"
#include "support/pty_pair.h"

namespace plu {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

int CountOpenFds() {
    int n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/fd")) ++n;
    return n;
}

int CountThreads() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Threads:", 0) == 0) return std::stoi(line.substr(8));
    }
    return -1;
}

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

std::string MessageOf(const ECommsError& e) { return e.what(); }

class CommTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok()) << "openpty failed";
        comm.SetCommName(pty.SlavePath());
        Attach(comm);
    }

    void Attach(TComm& c) {
        c.OnReceiveData = [this](TComm* sender, const void* buffer, uint16_t length) {
            EXPECT_EQ(sender, &comm);
            const auto* p = static_cast<const uint8_t*>(buffer);
            blocks.emplace_back(p, p + length);
            trailing.push_back(p[length]);
        };
        c.OnSendDataEmpty = [this](TComm*) { ++empties; };
        c.OnRequestHangup = [this] { ++hangups; };
    }

    bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds t = 3000ms) {
        return dispatcher.PumpUntil(done, t);
    }
    void PumpFor(std::chrono::milliseconds t) {
        dispatcher.PumpUntil([] { return false; }, t);
    }
    Bytes Received() const {
        Bytes all;
        for (const auto& b : blocks) all.insert(all.end(), b.begin(), b.end());
        return all;
    }
    termios SlaveSettings() {
        termios t{};
        EXPECT_EQ(tcgetattr(pty.Slave(), &t), 0);
        return t;
    }

    QueuedDispatcher dispatcher;
    test::PtyPair pty;
    std::vector<Bytes> blocks;
    Bytes trailing;
    int empties = 0;
    int hangups = 0;
    TComm comm{dispatcher};
};

TEST(CommDefaults, ConstructorSetsThePublishedDefaults) {
    QueuedDispatcher d;
    TComm c(d);
    EXPECT_EQ(c.CommName(), "COM2");
    EXPECT_EQ(c.DevicePath(), "/dev/COM2");
    EXPECT_EQ(c.BaudRate(), 9600u);
    EXPECT_FALSE(c.ParityCheck());
    EXPECT_FALSE(c.Outx_CtsFlow());
    EXPECT_FALSE(c.Outx_DsrFlow());
    EXPECT_EQ(c.DtrControl(), TDtrControl::DtrEnable);
    EXPECT_FALSE(c.DsrSensitivity());
    EXPECT_TRUE(c.TxContinueOnXoff());
    EXPECT_TRUE(c.Outx_XonXoffFlow());
    EXPECT_TRUE(c.Inx_XonXoffFlow());
    EXPECT_FALSE(c.ReplaceWhenParityError());
    EXPECT_FALSE(c.IgnoreNullChar());
    EXPECT_EQ(c.RtsControl(), TRtsControl::RtsEnable);
    EXPECT_EQ(c.XonLimit(), 500);
    EXPECT_EQ(c.XoffLimit(), 500);
    EXPECT_EQ(c.ByteSize(), TByteSize::_8);
    EXPECT_EQ(c.Parity(), TParity::None);
    EXPECT_EQ(c.StopBits(), TStopBits::_1);
    EXPECT_EQ(c.XonChar(), 17);
    EXPECT_EQ(c.XoffChar(), 19);
    EXPECT_EQ(c.ReplacedChar(), 0);
    EXPECT_EQ(c.ReadIntervalTimeout(), 100u);
    EXPECT_EQ(c.ReadTotalTimeoutMultiplier(), 0u);
    EXPECT_EQ(c.ReadTotalTimeoutConstant(), 0u);
    EXPECT_EQ(c.WriteTotalTimeoutMultiplier(), 0u);
    EXPECT_EQ(c.WriteTotalTimeoutConstant(), 0u);
    EXPECT_FALSE(c.IsOpen());
    EXPECT_TRUE(c.TransmitIdle());
    c.SetCommName("/dev/pts/7");
    EXPECT_EQ(c.DevicePath(), "/dev/pts/7");
}

TEST_F(CommTest, OpenPortTwiceRaisesAndLeavesTheOpenPortWorking) {
    comm.OpenPort();
    try {
        comm.OpenPort();
        FAIL() << "second OpenPort did not raise";
    } catch (const ECommsError& e) {
        EXPECT_EQ(MessageOf(e), "This serial port has been opened");
    }
    ASSERT_TRUE(comm.IsOpen());
    const Bytes frame = {0x02, 'L', '\r', 0x03};
    ASSERT_TRUE(comm.WriteBlock(frame.data(), 4));
    EXPECT_EQ(pty.Receive(4, 2s), frame);
    ASSERT_TRUE(pty.Send("ok"));
    ASSERT_TRUE(PumpUntil([&] { return Received().size() == 2; }));
}

TEST(CommOpenFailure, MissingDeviceRaisesTheOpenErrorAndLeavesNothingBehind) {
    QueuedDispatcher d;
    TComm c(d);
    c.SetCommName("ttyNoSuchPort97");
    const int fds = CountOpenFds();
    const int threads = CountThreads();
    try {
        c.OpenPort();
        FAIL() << "OpenPort did not raise";
    } catch (const ECommsError& e) {
        EXPECT_EQ(MessageOf(e), "Open the serial port error\r\nThis serial does not exist or occupied");
        EXPECT_EQ(e.SystemError(), ENOENT);
    }
    EXPECT_FALSE(c.IsOpen());
    EXPECT_TRUE(c.TransmitIdle());
    EXPECT_EQ(CountOpenFds(), fds);
    EXPECT_EQ(CountThreads(), threads);
    EXPECT_EQ(d.Pending(), 0u);
    c.ClosePort();  // harmless after a failed open
}

TEST(CommOpenFailure, AFileThatIsNoTerminalIsNoPort) {
    const std::string path = ::testing::TempDir() + "/not_a_port";
    std::ofstream(path) << "data";
    QueuedDispatcher d;
    TComm c(d);
    c.SetCommName(path);
    const int fds = CountOpenFds();
    EXPECT_THROW(c.OpenPort(), ECommsError);
    EXPECT_FALSE(c.IsOpen());
    EXPECT_EQ(CountOpenFds(), fds);
    std::remove(path.c_str());
}

TEST_F(CommTest, ASecondOpenerOfTheSameDeviceIsRefusedUntilTheFirstCloses) {
    comm.OpenPort();
    TComm second(dispatcher);
    second.SetCommName(pty.SlavePath());
    // Root is not stopped by TIOCEXCL; the lock must refuse it as well.
    try {
        second.OpenPort();
        FAIL() << "the second opener got the port";
    } catch (const ECommsError& e) {
        EXPECT_EQ(MessageOf(e), "Open the serial port error\r\nThis serial does not exist or occupied");
        EXPECT_EQ(e.SystemError(), EBUSY);
    }
    EXPECT_FALSE(second.IsOpen());
    const Bytes b = {'x'};
    ASSERT_TRUE(comm.WriteBlock(b.data(), 1));
    EXPECT_EQ(pty.Receive(1, 2s), b);

    comm.ClosePort();
    ASSERT_NO_THROW(second.OpenPort());
    EXPECT_TRUE(second.IsOpen());
}

TEST_F(CommTest, ClosingTwiceIsHarmlessAndTheComponentCanBeReopened) {
    comm.ClosePort();
    comm.OpenPort();
    comm.ClosePort();
    comm.ClosePort();
    EXPECT_FALSE(comm.IsOpen());
    EXPECT_TRUE(comm.TransmitIdle());
    comm.OpenPort();
    const Bytes b = {'A', 'B'};
    ASSERT_TRUE(comm.WriteBlock(b.data(), 2));
    EXPECT_EQ(pty.Receive(2, 2s), b);
}

TEST_F(CommTest, WriteBlockRefusesZeroBytesAndAClosedPort) {
    const Bytes b = {'Q'};
    EXPECT_FALSE(comm.WriteBlock(b.data(), 1));  // closed
    comm.OpenPort();
    EXPECT_FALSE(comm.WriteBlock(b.data(), 0));
    comm.ClosePort();
    EXPECT_FALSE(comm.WriteBlock(b.data(), 1));
    EXPECT_TRUE(pty.Receive(1, 300ms).empty());
}

TEST_F(CommTest, BlocksAreWrittenInQueueOrderAndUnchanged) {
    comm.OpenPort();
    Bytes expected;
    for (int i = 0; i < 40; ++i) {
        // CR, LF and bytes above 0x7F must leave as they are (no output processing).
        const Bytes block = {0x02, static_cast<uint8_t>('0' + i % 10), '\r', '\n', 0x80,
                             static_cast<uint8_t>(0xF0 + i % 16), 0x00, 0x03};
        ASSERT_TRUE(comm.WriteBlock(block.data(), static_cast<uint16_t>(block.size())));
        expected.insert(expected.end(), block.begin(), block.end());
    }
    EXPECT_EQ(pty.Receive(expected.size(), 3s), expected);
}

TEST_F(CommTest, ABurstArrivesAsOneEventFollowedByAZeroByte) {
    comm.OpenPort();
    const Bytes burst = {0x02, 'D', '1', '2', '3', '4', '5', 'A', '\r', 0x03};
    ASSERT_TRUE(pty.Send(burst));
    ASSERT_TRUE(PumpUntil([&] { return !blocks.empty(); }));
    PumpFor(300ms);  // nothing else may follow
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0], burst);
    EXPECT_EQ(trailing[0], 0);
}

TEST_F(CommTest, EveryByteValueCrossesBothWaysWithoutFlowControl) {
    comm.SetOutx_XonXoffFlow(false);
    comm.SetInx_XonXoffFlow(false);
    comm.OpenPort();
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[i] = static_cast<uint8_t>(i);
    ASSERT_TRUE(pty.Send(all));
    ASSERT_TRUE(PumpUntil([&] { return Received().size() >= all.size(); }));
    EXPECT_EQ(Received(), all);
    ASSERT_TRUE(comm.WriteBlock(all.data(), 256));
    EXPECT_EQ(pty.Receive(256, 2s), all);
}

TEST_F(CommTest, WithDefaultFlowControlOnlyXonAndXoffAreTakenOutOfTheData) {
    comm.OpenPort();
    Bytes sent, expected;
    for (int i = 0; i < 256; ++i) {
        sent.push_back(static_cast<uint8_t>(i));
        if (i != 0x11 && i != 0x13) expected.push_back(static_cast<uint8_t>(i));
    }
    sent.push_back(0x11);  // end on XON so our output is not left stopped
    ASSERT_TRUE(pty.Send(sent));
    ASSERT_TRUE(PumpUntil([&] { return Received().size() >= expected.size(); }));
    EXPECT_EQ(Received(), expected);
}

TEST_F(CommTest, APauseLongerThanTheGapSplitsAReplyAndAShorterOneDoesNot) {
    comm.OpenPort();
    ASSERT_TRUE(pty.Send("first"));
    std::this_thread::sleep_for(350ms);
    ASSERT_TRUE(pty.Send("second"));
    ASSERT_TRUE(PumpUntil([&] { return blocks.size() == 2; }));
    EXPECT_EQ(std::string(blocks[0].begin(), blocks[0].end()), "first");
    EXPECT_EQ(std::string(blocks[1].begin(), blocks[1].end()), "second");

    // A longer interval set while open applies to the next read.
    blocks.clear();
    comm.SetReadIntervalTimeout(600);
    ASSERT_TRUE(pty.Send("one"));
    PumpFor(50ms);
    std::this_thread::sleep_for(150ms);
    ASSERT_TRUE(pty.Send("block"));
    ASSERT_TRUE(PumpUntil([&] { return !blocks.empty(); }));
    PumpFor(700ms);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(std::string(blocks[0].begin(), blocks[0].end()), "oneblock");
}

TEST_F(CommTest, AnUninterruptedStreamIsCutInto4096ByteBlocks) {
    comm.SetInx_XonXoffFlow(false);  // the test reads no XOFF from its side
    comm.SetOutx_XonXoffFlow(false);
    comm.OpenPort();
    Bytes stream(5000);
    for (size_t i = 0; i < stream.size(); ++i) stream[i] = static_cast<uint8_t>('a' + i % 26);
    ASSERT_TRUE(pty.Send(stream));
    ASSERT_TRUE(PumpUntil([&] { return Received().size() >= stream.size(); }));
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].size(), 4096u);
    EXPECT_EQ(blocks[1].size(), 904u);
    EXPECT_EQ(Received(), stream);
}

TEST_F(CommTest, IgnoreNullCharDropsReceivedZeroBytes) {
    comm.SetIgnoreNullChar(true);
    comm.OpenPort();
    ASSERT_TRUE(pty.Send(Bytes{'a', 0, 'b', 0, 0, 'c'}));
    ASSERT_TRUE(PumpUntil([&] { return !blocks.empty(); }));
    EXPECT_EQ(Received(), (Bytes{'a', 'b', 'c'}));
}

TEST_F(CommTest, ClosingWhileAReadIsPendingReturnsAtOnce) {
    comm.OpenPort();
    ASSERT_TRUE(pty.Send("par"));  // a read is gathering, another byte may come
    std::this_thread::sleep_for(20ms);
    const auto start = std::chrono::steady_clock::now();
    comm.ClosePort();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(CommTest, ClosingWhileAWriteIsHeldUpReturnsAtOnce) {
    comm.SetOutx_XonXoffFlow(false);
    comm.OpenPort();
    // The far side reads nothing: the pty's buffers fill and the transmit
    // thread waits for room.
    Bytes block(60000, 'w');
    for (int i = 0; i < 8; ++i) ASSERT_TRUE(comm.WriteBlock(block.data(), 60000));
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(comm.TransmitIdle());
    const auto start = std::chrono::steady_clock::now();
    comm.ClosePort();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_TRUE(comm.TransmitIdle());
}

TEST_F(CommTest, SendDataEmptyFiresOnceAfterOpeningAndOnceAfterEachWrittenRun) {
    comm.OpenPort();
    ASSERT_TRUE(PumpUntil([&] { return empties == 1; }));
    PumpFor(200ms);
    EXPECT_EQ(empties, 1);
    EXPECT_TRUE(comm.TransmitIdle());

    const Bytes b = {'L', '\r'};
    ASSERT_TRUE(comm.WriteBlock(b.data(), 2));
    ASSERT_TRUE(PumpUntil([&] { return empties == 2; }));
    PumpFor(200ms);
    EXPECT_EQ(empties, 2);
    EXPECT_EQ(pty.Receive(2, 1s), b);
}

TEST_F(CommTest, TheFarSideGoingAwayRequestsOneHangupAndStopsTheThreads) {
    comm.OpenPort();
    ASSERT_TRUE(PumpUntil([&] { return empties == 1; }));
    pty.CloseSlave();
    pty.CloseMaster();  // hangs up the slave: reads return 0
    ASSERT_TRUE(PumpUntil([&] { return hangups == 1; }));
    // The transmit thread stopped with its sibling: nothing is accepted.
    const Bytes b = {'x'};
    EXPECT_TRUE(PumpUntil([&] { return !comm.WriteBlock(b.data(), 1); }));
    // No thread spins on the dead descriptor.
    const double cpu = CpuSeconds();
    PumpFor(400ms);
    EXPECT_LT(CpuSeconds() - cpu, 0.1);
    EXPECT_EQ(hangups, 1);
    EXPECT_TRUE(comm.IsOpen());  // the owner decides when to close
    const auto start = std::chrono::steady_clock::now();
    comm.ClosePort();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
}

TEST_F(CommTest, NoticesQueuedBeforeCloseAreDeliveredAfterIt) {
    comm.OpenPort();
    ASSERT_TRUE(pty.Send("late"));
    const auto deadline = std::chrono::steady_clock::now() + 3s;
    // Without pumping, wait for the data notice to be queued.
    while (std::chrono::steady_clock::now() < deadline && blocks.empty()) {
        if (dispatcher.Pending() >= 2) break;  // the empty notice and the data
        std::this_thread::sleep_for(10ms);
    }
    comm.ClosePort();
    dispatcher.Pump();
    EXPECT_EQ(Received(), (Bytes{'l', 'a', 't', 'e'}));
}

TEST_F(CommTest, NoticesQueuedWhenTheComponentIsDestroyedAreDropped) {
    int seen = 0;
    {
        TComm temporary(dispatcher);
        temporary.SetCommName(pty.SlavePath());
        temporary.OnReceiveData = [&](TComm*, const void*, uint16_t) { ++seen; };
        temporary.OnSendDataEmpty = [&](TComm*) { ++seen; };
        temporary.OpenPort();
        ASSERT_TRUE(pty.Send("data"));
        const auto deadline = std::chrono::steady_clock::now() + 3s;
        while (dispatcher.Pending() < 2 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(10ms);
        }
    }  // destroyed with notices still queued
    dispatcher.Pump();
    EXPECT_EQ(seen, 0);
}

TEST_F(CommTest, AHandlerMayCloseThePort) {
    comm.OnReceiveData = [this](TComm* sender, const void*, uint16_t) {
        sender->ClosePort();
        blocks.push_back({});
    };
    comm.OpenPort();
    ASSERT_TRUE(pty.Send("bye"));
    ASSERT_TRUE(PumpUntil([&] { return !blocks.empty(); }));
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(CommTest, LineSettingsApplyAtOnceWhileOpenButParityWaitsForTheNextRecord) {
    // A pseudo-terminal forces CS8 and clears PARENB in its record, but keeps
    // the speed, CSTOPB, PARODD and CMSPAR: those show what was applied.
    comm.OpenPort();
    termios t = SlaveSettings();
    // Raw mode: frames keep their CR, nothing is echoed.
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR | CSTOPB), 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXON | IXOFF));

    comm.SetBaudRate(19200);
    EXPECT_EQ(cfgetospeed(&(t = SlaveSettings())), static_cast<speed_t>(B19200));

    comm.SetParity(TParity::Odd);
    EXPECT_EQ(SlaveSettings().c_cflag & PARODD, 0u);
    comm.SetStopBits(TStopBits::_2);  // any line setter applies the whole record
    t = SlaveSettings();
    EXPECT_EQ(t.c_cflag & (PARODD | CSTOPB), static_cast<tcflag_t>(PARODD | CSTOPB));
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B19200));

    comm.ClosePort();
    comm.SetParity(TParity::Mark);
    comm.SetOutx_XonXoffFlow(false);
    comm.OpenPort();
    t = SlaveSettings();
    EXPECT_EQ(t.c_cflag & (PARODD | CMSPAR), static_cast<tcflag_t>(PARODD | CMSPAR));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), static_cast<tcflag_t>(IXOFF));
}

TEST_F(CommTest, ARateWithoutAConstantStillReachesTheDriver) {
    comm.SetBaudRate(14400);
    comm.OpenPort();
    const termios t = SlaveSettings();
    EXPECT_EQ(t.c_cflag & CBAUD, static_cast<tcflag_t>(0010000));  // BOTHER: the rate is arbitrary
    EXPECT_EQ(t.c_oflag & OPOST, 0u);  // the rest of the record came with it
    const Bytes b = {'r'};
    ASSERT_TRUE(comm.WriteBlock(b.data(), 1));
    EXPECT_EQ(pty.Receive(1, 2s), b);
}

TEST_F(CommTest, XoffFromTheFarSideHoldsOutputUntilXonOrAReopen) {
    comm.OpenPort();
    const Bytes b = {'h', 'i'};
    ASSERT_TRUE(pty.Send(Bytes{0x13}));
    std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(comm.WriteBlock(b.data(), 2));
    EXPECT_TRUE(pty.Receive(2, 300ms).empty());
    ASSERT_TRUE(pty.Send(Bytes{0x11}));
    EXPECT_EQ(pty.Receive(2, 2s), b);

    // A stray XOFF (line noise) must not hold the port for ever: reopening
    // starts output again.
    ASSERT_TRUE(pty.Send(Bytes{0x13}));
    std::this_thread::sleep_for(100ms);
    comm.ClosePort();
    comm.OpenPort();
    ASSERT_TRUE(comm.WriteBlock(b.data(), 2));
    EXPECT_EQ(pty.Receive(2, 2s), b);
}

}  // namespace
}  // namespace plu
