// What happens to received bytes before OnReceiveData: parity-mark decoding,
// zero-byte dropping, the read time-outs, and the modem/error sampling.
#include <sys/ioctl.h>

#include <gtest/gtest.h>

#include "serial/comm.h"
#include "serial/line_status.h"
#include "serial/read_timing.h"
#include "support/pty_pair.h"
#include "serial/receive_filter.h"

namespace plu {
namespace {

using namespace std::chrono_literals;
using Bytes = std::vector<uint8_t>;

Bytes Decode(TReceiveFilter& f, const TReceiveFilterSettings& s, const Bytes& in, uint32_t& errors) {
    Bytes out;
    f.Filter(s, in.data(), in.size(), out, errors);
    return out;
}

TEST(ReceiveFilter, MarkedInputIsDecoded) {
    struct Case {
        const char* what;
        TReceiveFilterSettings settings;
        Bytes in;
        Bytes out;
        uint32_t errors;
    };
    const TReceiveFilterSettings marked{true, false, 0, false};
    const TReceiveFilterSettings replacing{true, true, '?', false};
    const Case cases[] = {
        {"escaped FF", marked, {'a', 0xFF, 0xFF, 'b'}, {'a', 0xFF, 'b'}, 0},
        {"error byte kept", marked, {'a', 0xFF, 0x00, 'x', 'b'}, {'a', 'x', 'b'}, CE_RXPARITY},
        {"error byte replaced", replacing, {0xFF, 0x00, 'x', 'b'}, {'?', 'b'}, CE_RXPARITY},
        {"break", replacing, {'a', 0xFF, 0x00, 0x00}, {'a', 0x00}, CE_BREAK},
        {"FF without mark is data", marked, {0xFF, 'z'}, {0xFF, 'z'}, 0},
        {"unmarked FF 00 is data", {false, true, '?', false}, {0xFF, 0x00, 'x'}, {0xFF, 0x00, 'x'}, 0},
        {"zeros dropped, replacement zero kept", {true, true, 0, true}, {0, 'a', 0xFF, 0x00, 'x', 0},
         {'a', 0}, CE_RXPARITY},
        {"zeros dropped unmarked", {false, false, 0, true}, {0, 'a', 0, 0, 'b'}, {'a', 'b'}, 0},
    };
    for (const Case& c : cases) {
        TReceiveFilter f;
        uint32_t errors = 0;
        EXPECT_EQ(Decode(f, c.settings, c.in, errors), c.out) << c.what;
        EXPECT_EQ(errors, c.errors) << c.what;
    }
}

TEST(ReceiveFilter, AMarkSplitBetweenReadsIsDecodedAcrossThem) {
    const TReceiveFilterSettings s{true, true, '#', false};
    const Bytes whole = {'1', 0xFF, 0x00, 'e', '2', 0xFF, 0xFF, '3'};
    for (size_t cut = 0; cut <= whole.size(); ++cut) {
        TReceiveFilter f;
        uint32_t errors = 0;
        Bytes out = Decode(f, s, Bytes(whole.begin(), whole.begin() + cut), errors);
        const Bytes rest = Decode(f, s, Bytes(whole.begin() + cut, whole.end()), errors);
        out.insert(out.end(), rest.begin(), rest.end());
        EXPECT_EQ(out, (Bytes{'1', '#', '2', 0xFF, '3'})) << "cut at " << cut;
        EXPECT_EQ(errors, CE_RXPARITY) << "cut at " << cut;
    }
}

using Clock = TReadTimer::Clock;

TEST(ReadTimer, DefaultTimeoutsWaitForTheFirstByteThenFor100MsOfSilence) {
    TReadTimer t;
    const Clock::time_point t0{};
    t.Begin(TCommTimeouts{}, t0);
    EXPECT_EQ(t.Check(0, t0 + 1h), TReadTimer::Verdict::Wait);
    EXPECT_EQ(t.PollTimeoutMs(0, t0), -1);
    t.BytesArrived(t0 + 1h);
    EXPECT_EQ(t.Check(5, t0 + 1h + 99ms), TReadTimer::Verdict::Wait);
    EXPECT_EQ(t.PollTimeoutMs(5, t0 + 1h + 40ms), 60);
    t.BytesArrived(t0 + 1h + 99ms);  // another byte restarts the interval
    EXPECT_EQ(t.Check(6, t0 + 1h + 150ms), TReadTimer::Verdict::Wait);
    EXPECT_EQ(t.Check(6, t0 + 1h + 199ms), TReadTimer::Verdict::Deliver);
    EXPECT_EQ(t.Check(kReadBlockSize, t0 + 1h + 100ms), TReadTimer::Verdict::Deliver);
}

TEST(ReadTimer, TotalTimeoutsEndAReadAndAnEmptyOneStartsAgain) {
    TCommTimeouts to;
    to.ReadIntervalTimeout = 0;
    to.ReadTotalTimeoutMultiplier = 0;
    to.ReadTotalTimeoutConstant = 250;
    TReadTimer t;
    const Clock::time_point t0{};
    t.Begin(to, t0);
    EXPECT_EQ(t.PollTimeoutMs(0, t0 + 50ms), 200);
    EXPECT_EQ(t.Check(0, t0 + 250ms), TReadTimer::Verdict::Restart);
    t.BytesArrived(t0 + 10ms);
    EXPECT_EQ(t.Check(3, t0 + 249ms), TReadTimer::Verdict::Wait);  // no interval limit
    EXPECT_EQ(t.Check(3, t0 + 250ms), TReadTimer::Verdict::Deliver);

    // The multiplier counts per byte of the 4096-byte read; huge values must
    // not overflow into an immediate expiry.
    to.ReadTotalTimeoutMultiplier = 0xFFFFFFFE;
    to.ReadTotalTimeoutConstant = 0xFFFFFFFE;
    t.Begin(to, t0);
    EXPECT_EQ(t.Check(0, t0 + 24h * 365), TReadTimer::Verdict::Wait);
    EXPECT_GT(t.PollTimeoutMs(0, t0), 0);
}

TEST(ReadTimer, TheSpecialIntervalFormsHandOverAtOnce) {
    const uint32_t max = 0xFFFFFFFF;
    const Clock::time_point t0{};
    TReadTimer t;
    t.Begin(TCommTimeouts{max, 0, 0, 0, 0}, t0);
    EXPECT_EQ(t.Check(0, t0 + 1h), TReadTimer::Verdict::Wait);
    EXPECT_EQ(t.Check(1, t0), TReadTimer::Verdict::Deliver);

    t.Begin(TCommTimeouts{max, max, 500, 0, 0}, t0);
    EXPECT_EQ(t.Check(1, t0), TReadTimer::Verdict::Deliver);
    EXPECT_EQ(t.Check(0, t0 + 499ms), TReadTimer::Verdict::Wait);
    EXPECT_EQ(t.Check(0, t0 + 500ms), TReadTimer::Verdict::Restart);
}

TEST(LineStatus, CounterChangesBecomeModemEventsAndErrorFlags) {
    TLineCounters a;
    TLineCounters b = a;
    EXPECT_EQ(ModemEventsBetween(a, b), 0u);
    EXPECT_EQ(LineErrorsBetween(a, b), 0u);
    b.dcd = 1;
    EXPECT_EQ(ModemEventsBetween(a, b), 8u);
    b.rng = 2;
    EXPECT_EQ(ModemEventsBetween(a, b), 12u);
    b = a;
    b.rng = 1;
    EXPECT_EQ(ModemEventsBetween(a, b), 4u);

    b = a;
    b.parity = 3;
    b.frame = 1;
    EXPECT_EQ(LineErrorsBetween(a, b), CE_RXPARITY | CE_FRAME);
    b = a;
    b.overrun = 1;
    b.buf_overrun = 1;
    b.brk = 1;
    EXPECT_EQ(LineErrorsBetween(a, b), CE_OVERRUN | CE_RXOVER | CE_BREAK);
}

TEST(LineStatus, ModemLinesGiveCarrierBothWaysAndRingWhenItComesOn) {
    EXPECT_EQ(ModemEventsBetweenLines(0, TIOCM_CAR), 8u);
    EXPECT_EQ(ModemEventsBetweenLines(TIOCM_CAR, 0), 8u);
    EXPECT_EQ(ModemEventsBetweenLines(0, TIOCM_RNG), 4u);
    EXPECT_EQ(ModemEventsBetweenLines(TIOCM_RNG, 0), 0u);
    EXPECT_EQ(ModemEventsBetweenLines(0, TIOCM_RNG | TIOCM_CAR), 12u);
    EXPECT_EQ(ModemEventsBetweenLines(TIOCM_CTS, TIOCM_DSR | TIOCM_DTR), 0u);
}

TEST(LineStatus, APseudoTerminalHasNothingToSample) {
    // Its driver refuses both sources (ENOTTY): no events, never a failure.
    test::PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    TLineSampler sampler;
    sampler.Start(pty.Slave());
    EXPECT_FALSE(sampler.Active());
    uint32_t modem = 1, errors = 1;
    sampler.Sample(modem, errors);
    EXPECT_EQ(modem, 0u);
    EXPECT_EQ(errors, 0u);
}

TEST(QueuedDispatcher, RunsTasksInPostingOrderAndKeepsTheRestWhenOneThrows) {
    QueuedDispatcher d;
    std::vector<int> ran;
    d.post([&] { ran.push_back(1); });
    d.post([&] { throw std::runtime_error("handler failed"); });
    d.post([&] { ran.push_back(3); });
    EXPECT_THROW(d.Pump(), std::runtime_error);
    EXPECT_EQ(d.Pending(), 1u);
    d.post([&] { ran.push_back(4); });
    EXPECT_EQ(d.Pump(), 2u);
    EXPECT_EQ(ran, (std::vector<int>{1, 3, 4}));
    EXPECT_EQ(d.WaitAndPump(10ms), 0u);
}

}  // namespace
}  // namespace plu
