#include "serial/line_settings.h"

#include <termios.h>

#include <cstring>

namespace plu {
namespace {

struct BaudEntry {
    uint32_t rate;
    speed_t code;
};

constexpr BaudEntry kBaudCodes[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},
    {150, B150},       {200, B200},       {300, B300},       {600, B600},
    {1200, B1200},     {1800, B1800},     {2400, B2400},     {4800, B4800},
    {9600, B9600},     {19200, B19200},   {38400, B38400},   {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {500000, B500000},
    {576000, B576000}, {921600, B921600}, {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
    {3500000, B3500000}, {4000000, B4000000},
};

}  // namespace

bool BuildTermios(const TLineSettings& s, termios& t) {
    // From scratch: nothing of the port's previous flags survives, so a mode
    // set by another program (canonical input, echo, CR/LF mapping) cannot
    // alter the frames.
    std::memset(&t, 0, sizeof t);
    cfmakeraw(&t);
    t.c_cc[VMIN] = 1;  // with O_NONBLOCK: EAGAIN when empty, 0 only at hang-up
    t.c_cc[VTIME] = 0;

    t.c_cflag |= CREAD | CLOCAL | HUPCL;
    t.c_cflag &= ~static_cast<tcflag_t>(CSIZE);
    switch (s.ByteSize) {
        case TByteSize::_5: t.c_cflag |= CS5; break;
        case TByteSize::_6: t.c_cflag |= CS6; break;
        case TByteSize::_7: t.c_cflag |= CS7; break;
        case TByteSize::_8: t.c_cflag |= CS8; break;
    }
    // One and a half stop bits exist only with 5 data bits; the UART makes
    // them from CSTOPB there, as with two for the other sizes.
    if (s.StopBits != TStopBits::_1) t.c_cflag |= CSTOPB;
    switch (s.Parity) {
        case TParity::None: break;
        case TParity::Odd: t.c_cflag |= PARENB | PARODD; break;
        case TParity::Even: t.c_cflag |= PARENB; break;
        case TParity::Mark: t.c_cflag |= PARENB | CMSPAR | PARODD; break;
        case TParity::Space: t.c_cflag |= PARENB | CMSPAR; break;
    }
    if (s.ParityCheck) t.c_iflag |= INPCK | PARMRK;
    if (s.Outx_CtsFlow || s.RtsControl == TRtsControl::RtsHandshake) t.c_cflag |= CRTSCTS;
    if (s.Outx_XonXoffFlow) t.c_iflag |= IXON;
    if (s.Inx_XonXoffFlow) t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(s.XonChar);
    t.c_cc[VSTOP] = static_cast<cc_t>(s.XoffChar);

    for (const BaudEntry& e : kBaudCodes) {
        if (e.rate == s.BaudRate) {
            cfsetispeed(&t, e.code);
            cfsetospeed(&t, e.code);
            return true;
        }
    }
    cfsetispeed(&t, B9600);
    cfsetospeed(&t, B9600);
    return false;
}

}  // namespace plu
