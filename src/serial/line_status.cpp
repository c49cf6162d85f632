#include "serial/line_status.h"

#include <linux/serial.h>
#include <sys/ioctl.h>

#include "serial/comm.h"

namespace plu {
namespace {

bool ReadCounters(int fd, TLineCounters& out) {
    serial_icounter_struct ic{};
    if (ioctl(fd, TIOCGICOUNT, &ic) != 0) return false;
    out.dcd = static_cast<uint32_t>(ic.dcd);
    out.rng = static_cast<uint32_t>(ic.rng);
    out.frame = static_cast<uint32_t>(ic.frame);
    out.overrun = static_cast<uint32_t>(ic.overrun);
    out.parity = static_cast<uint32_t>(ic.parity);
    out.brk = static_cast<uint32_t>(ic.brk);
    out.buf_overrun = static_cast<uint32_t>(ic.buf_overrun);
    return true;
}

}  // namespace

uint32_t ModemEventsBetween(const TLineCounters& a, const TLineCounters& b) {
    uint32_t events = 0;
    if (a.dcd != b.dcd) events |= kModemCarrierChanged;
    if (a.rng != b.rng) events |= kModemRing;
    return events;
}

uint32_t LineErrorsBetween(const TLineCounters& a, const TLineCounters& b) {
    uint32_t errors = 0;
    // Counters only grow; a change (also a wrap) means new errors.
    if (a.buf_overrun != b.buf_overrun) errors |= CE_RXOVER;
    if (a.overrun != b.overrun) errors |= CE_OVERRUN;
    if (a.parity != b.parity) errors |= CE_RXPARITY;
    if (a.frame != b.frame) errors |= CE_FRAME;
    if (a.brk != b.brk) errors |= CE_BREAK;
    return errors;
}

uint32_t ModemEventsBetweenLines(int before, int after) {
    uint32_t events = 0;
    if ((before ^ after) & TIOCM_CAR) events |= kModemCarrierChanged;
    if (!(before & TIOCM_RNG) && (after & TIOCM_RNG)) events |= kModemRing;
    return events;
}

void TLineSampler::Start(int fd) {
    fd_ = fd;
    if (ReadCounters(fd, counters_)) {
        source_ = Source::Counters;
    } else if (ioctl(fd, TIOCMGET, &lines_) == 0) {
        source_ = Source::Lines;
    } else {
        source_ = Source::None;  // ENOTTY on a pseudo-terminal, EINVAL on some adapters
    }
}

void TLineSampler::Sample(uint32_t& modemEvents, uint32_t& lineErrors) {
    modemEvents = 0;
    lineErrors = 0;
    if (source_ == Source::Counters) {
        TLineCounters now;
        if (!ReadCounters(fd_, now)) {
            source_ = Source::None;
            return;
        }
        modemEvents = ModemEventsBetween(counters_, now);
        lineErrors = LineErrorsBetween(counters_, now);
        counters_ = now;
    } else if (source_ == Source::Lines) {
        int now = 0;
        if (ioctl(fd_, TIOCMGET, &now) != 0) {
            source_ = Source::None;
            return;
        }
        modemEvents = ModemEventsBetweenLines(lines_, now);
        lines_ = now;
    }
}

}  // namespace plu
