// Modem-line and line-error watching for the receive thread. Linux offers no
// pollable source for either, so the thread samples the driver between reads:
// the interrupt counters (TIOCGICOUNT) where the driver keeps them, otherwise
// the modem lines (TIOCMGET), otherwise nothing. A pseudo-terminal and many
// USB adapters support neither: they simply never raise these events.
#pragma once

#include <cstdint>

namespace plu {

// The interrupt counters that matter here (a subset of serial_icounter_struct).
struct TLineCounters {
    uint32_t dcd = 0;          // carrier-detect transitions
    uint32_t rng = 0;          // ring-indicator transitions
    uint32_t frame = 0;
    uint32_t overrun = 0;      // UART overrun
    uint32_t parity = 0;
    uint32_t brk = 0;
    uint32_t buf_overrun = 0;  // the tty buffer overflowed
};

// kModemCarrierChanged and/or kModemRing for what changed between two samples.
uint32_t ModemEventsBetween(const TLineCounters& before, const TLineCounters& after);
// CE_... bits for the error counters that grew between two samples.
uint32_t LineErrorsBetween(const TLineCounters& before, const TLineCounters& after);
// The same from two TIOCMGET readings: a carrier change in either direction,
// a ring when the ring indicator comes on.
uint32_t ModemEventsBetweenLines(int before, int after);

class TLineSampler {
public:
    // Takes the first sample and decides which source the driver supports.
    void Start(int fd);
    bool Active() const { return source_ != Source::None; }
    // True when line errors are counted by the driver (then the receive
    // filter's own error notes would report them twice).
    bool CountsErrors() const { return source_ == Source::Counters; }
    // Samples again and reports what changed since the last sample. A driver
    // that stops answering makes the sampler go quiet (no events, never a
    // hang-up for that: a vanished device is noticed by the reads).
    void Sample(uint32_t& modemEvents, uint32_t& lineErrors);

private:
    enum class Source { None, Counters, Lines };
    int fd_ = -1;
    Source source_ = Source::None;
    TLineCounters counters_;
    int lines_ = 0;
};

}  // namespace plu
