// The termios record built from the line settings, one row per setting.
#include <termios.h>

#include <cstring>

#include <gtest/gtest.h>

#include "serial/line_settings.h"

namespace plu {
namespace {

struct Row {
    const char* what;
    void (*change)(TLineSettings&);
    tcflag_t cflag;  // expected c_cflag & kC
    tcflag_t iflag;  // expected c_iflag & kI
};

constexpr tcflag_t kC = CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS;
constexpr tcflag_t kI = INPCK | PARMRK | IXON | IXOFF | IXANY | ISTRIP | IGNPAR;

const Row kRows[] = {
    {"defaults 8N1, XON/XOFF both ways", [](TLineSettings&) {}, CS8, IXON | IXOFF},
    {"7E1", [](TLineSettings& s) { s.ByteSize = TByteSize::_7; s.Parity = TParity::Even; },
     CS7 | PARENB, IXON | IXOFF},
    {"odd", [](TLineSettings& s) { s.Parity = TParity::Odd; }, CS8 | PARENB | PARODD, IXON | IXOFF},
    {"mark", [](TLineSettings& s) { s.Parity = TParity::Mark; }, CS8 | PARENB | PARODD | CMSPAR,
     IXON | IXOFF},
    {"space", [](TLineSettings& s) { s.Parity = TParity::Space; }, CS8 | PARENB | CMSPAR, IXON | IXOFF},
    {"5 data bits, 1.5 stop", [](TLineSettings& s) { s.ByteSize = TByteSize::_5; s.StopBits = TStopBits::_1_5; },
     CS5 | CSTOPB, IXON | IXOFF},
    {"6 data bits, 2 stop", [](TLineSettings& s) { s.ByteSize = TByteSize::_6; s.StopBits = TStopBits::_2; },
     CS6 | CSTOPB, IXON | IXOFF},
    {"parity check marks errors", [](TLineSettings& s) { s.ParityCheck = true; }, CS8,
     INPCK | PARMRK | IXON | IXOFF},
    {"CTS output flow", [](TLineSettings& s) { s.Outx_CtsFlow = true; }, CS8 | CRTSCTS, IXON | IXOFF},
    {"RTS handshake", [](TLineSettings& s) { s.RtsControl = TRtsControl::RtsHandshake; }, CS8 | CRTSCTS,
     IXON | IXOFF},
    {"no XON/XOFF", [](TLineSettings& s) { s.Outx_XonXoffFlow = false; s.Inx_XonXoffFlow = false; }, CS8, 0},
    {"input XON/XOFF only", [](TLineSettings& s) { s.Outx_XonXoffFlow = false; }, CS8, IXOFF},
};

TEST(BuildTermios, EachSettingMapsToItsFlags) {
    for (const Row& row : kRows) {
        TLineSettings s;
        row.change(s);
        termios t{};
        EXPECT_TRUE(BuildTermios(s, t)) << row.what;
        EXPECT_EQ(t.c_cflag & kC, row.cflag) << row.what;
        EXPECT_EQ(t.c_iflag & kI, row.iflag) << row.what;
    }
}

TEST(BuildTermios, TheRecordIsRawWhateverThePortHadBefore) {
    termios t{};
    std::memset(&t, 0xFF, sizeof t);  // a port left in any mode at all
    TLineSettings s;
    s.XonChar = 'Q';
    s.XoffChar = 'S';
    ASSERT_TRUE(BuildTermios(s, t));
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN), 0u);
    EXPECT_EQ(t.c_iflag & (ICRNL | INLCR | IGNCR | BRKINT | IGNBRK | IUCLC), 0u);
    EXPECT_EQ(t.c_oflag & OPOST, 0u);
    EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), static_cast<tcflag_t>(CREAD | CLOCAL));
    EXPECT_EQ(t.c_cc[VMIN], 1);
    EXPECT_EQ(t.c_cc[VTIME], 0);
    EXPECT_EQ(t.c_cc[VSTART], 'Q');
    EXPECT_EQ(t.c_cc[VSTOP], 'S');
}

TEST(BuildTermios, BaudRatesUseTheirConstantsOrAskForACustomRate) {
    const std::pair<uint32_t, speed_t> known[] = {
        {1200, B1200}, {2400, B2400}, {4800, B4800}, {9600, B9600}, {19200, B19200}, {115200, B115200}};
    for (const auto& [rate, code] : known) {
        TLineSettings s;
        s.BaudRate = rate;
        termios t{};
        EXPECT_TRUE(BuildTermios(s, t)) << rate;
        EXPECT_EQ(cfgetospeed(&t), code) << rate;
        EXPECT_EQ(cfgetispeed(&t), code) << rate;
    }
    TLineSettings odd;
    odd.BaudRate = 14400;
    termios t{};
    EXPECT_FALSE(BuildTermios(odd, t));
    EXPECT_EQ(odd.BaudRate, 14400u);
}

}  // namespace
}  // namespace plu
