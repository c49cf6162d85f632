// The line settings and time-outs of a serial port as value types, with the
// enumerations whose names the port component publishes.
#pragma once

#include <cstdint>

struct termios;

namespace plu {

enum class TByteSize : uint8_t { _5, _6, _7, _8 };
enum class TParity : uint8_t { None, Odd, Even, Mark, Space };
enum class TStopBits : uint8_t { _1, _1_5, _2 };
enum class TDtrControl : uint8_t { DtrEnable, DtrDisable, DtrHandshake };
enum class TRtsControl : uint8_t { RtsEnable, RtsDisable, RtsHandshake, RtsTransmissionAvailable };

// Everything that goes into the port's line-control record. Defaults are the
// component's (9600 8N1, XON/XOFF both ways, DTR and RTS on).
struct TLineSettings {
    uint32_t BaudRate = 9600;
    bool ParityCheck = false;
    bool Outx_CtsFlow = false;
    bool Outx_DsrFlow = false;
    TDtrControl DtrControl = TDtrControl::DtrEnable;
    bool DsrSensitivity = false;
    bool TxContinueOnXoff = true;
    bool Outx_XonXoffFlow = true;
    bool Inx_XonXoffFlow = true;
    bool ReplaceWhenParityError = false;
    bool IgnoreNullChar = false;
    TRtsControl RtsControl = TRtsControl::RtsEnable;
    uint16_t XonLimit = 500;
    uint16_t XoffLimit = 500;
    TByteSize ByteSize = TByteSize::_8;
    TParity Parity = TParity::None;
    TStopBits StopBits = TStopBits::_1;
    char XonChar = 17;   // DC1
    char XoffChar = 19;  // DC3
    char ReplacedChar = 0;

    bool operator==(const TLineSettings&) const = default;
};

// Read and write time-outs in milliseconds, with the meaning of the classic
// serial API: a read completes when ReadIntervalTimeout passes between two
// bytes after the first one (0: no interval limit), or when
// ReadTotalTimeoutMultiplier * 4096 + ReadTotalTimeoutConstant has passed
// since the read began (both 0: no total limit), or when its 4096-byte buffer
// is full. ReadIntervalTimeout = 0xFFFFFFFF with both totals 0 hands over
// whatever has arrived at once; 0xFFFFFFFF with multiplier 0xFFFFFFFF and a
// constant between hands over the first bytes as soon as they come.
struct TCommTimeouts {
    uint32_t ReadIntervalTimeout = 100;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    uint32_t ReadTotalTimeoutConstant = 0;
    uint32_t WriteTotalTimeoutMultiplier = 0;
    uint32_t WriteTotalTimeoutConstant = 0;

    bool operator==(const TCommTimeouts&) const = default;
};

// Fills a termios record from the settings. The record is built from scratch
// in raw mode (no echo, no line editing, no CR/LF translation, no output
// processing, reads return single bytes: VMIN 1, VTIME 0) with the receiver on
// and the modem-control lines not required (CLOCAL). Returns false when the
// baud rate has no B-constant; the caller then sets it as a custom rate.
//
// Mapping (Linux has no equivalent for DSR flow, DSR sensitivity, DTR
// handshake, TxContinueOnXoff or the XON/XOFF limits; those are kept but do
// not reach the driver):
//   Parity         PARENB, PARODD, CMSPAR for mark (PARODD) and space
//   ParityCheck    INPCK and PARMRK (the receive thread decodes the marks to
//                  pass, replace or count bytes with errors)
//   CTS/RTS flow   CRTSCTS when Outx_CtsFlow or RtsControl is RtsHandshake
//                  (the kernel has one flag for both directions)
//   XON/XOFF       IXON (Outx_XonXoffFlow), IXOFF (Inx_XonXoffFlow),
//                  VSTART = XonChar, VSTOP = XoffChar
bool BuildTermios(const TLineSettings& settings, termios& record);

}  // namespace plu
