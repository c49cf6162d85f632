// TComm: one serial port with its receive and transmit threads, on Linux
// termios.
//
// Threads: every public operation and every event belongs to one thread, the
// user-interface thread. While the port is open a receive thread and a
// transmit thread run; they hand everything they produce to the
// user-interface thread through the IUiDispatcher given to the constructor,
// in arrival order. Blocks to send go to the transmit thread through its own
// queue. An eventfd is the stop signal of both threads, polled beside the
// port, so a pending read or write ends at once when the port is closed.
//
// Reception: bytes are gathered into one block until the line is silent for
// ReadIntervalTimeout ms (100 by default) or 4096 bytes are together, then
// OnReceiveData gets them, followed by one extra zero byte.
//
// Device names: a CommName beginning with "/" is a path; any other name is
// looked up under /dev ("ttyUSB0" opens /dev/ttyUSB0).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/events.h"
#include "base/exceptions.h"
#include "serial/line_settings.h"
#include "serial/ui_dispatcher.h"

namespace plu {

// Failures of OpenPort. The texts are part of the interface.
// SystemError() is the errno behind a failure (0 when there is none), for
// callers that explain more than the message says (a missing or busy device).
class ECommsError : public Exception {
public:
    using Exception::Exception;
    ECommsError(const std::string& message, int systemError)
        : Exception(message), systemError_(systemError) {}
    int SystemError() const noexcept { return systemError_; }

private:
    int systemError_ = 0;
};

inline constexpr const char* kCommAlreadyOpen = "This serial port has been opened";
inline constexpr const char* kCommOpenError =
    "Open the serial port error\r\nThis serial does not exist or occupied";
inline constexpr const char* kCommBufferError = "Buffer initialization error";
inline constexpr const char* kCommEventError = "Unable to create event";
inline constexpr const char* kCommReadThreadError = "Unable to create read thread";
inline constexpr const char* kCommWriteThreadError = "Unable to create write thread";

// Line-error bits of OnReceiveError (the classic communication-error flags).
inline constexpr uint32_t CE_RXOVER = 0x0001;    // input buffer overflow
inline constexpr uint32_t CE_OVERRUN = 0x0002;   // UART overrun
inline constexpr uint32_t CE_RXPARITY = 0x0004;  // parity error
inline constexpr uint32_t CE_FRAME = 0x0008;     // framing error
inline constexpr uint32_t CE_BREAK = 0x0010;     // break received

// Values of OnModemStateChange (added when both happened).
inline constexpr uint32_t kModemCarrierChanged = 8;  // receive-line-signal detect
inline constexpr uint32_t kModemRing = 4;            // ring indicator

class TComm;

// Buffer holds BufferLength received bytes followed by one zero byte; it is
// valid only during the call.
using TReceiveDataEvent =
    std::function<void(TComm* Sender, const void* Buffer, uint16_t BufferLength)>;
using TReceiveErrorEvent = std::function<void(TComm* Sender, uint32_t EventMask)>;
using TModemStateChangeEvent = std::function<void(TComm* Sender, uint32_t ModemEvent)>;
using TSendDataEmptyEvent = std::function<void(TComm* Sender)>;

class TComm {
public:
    // The dispatcher must outlive the component. Handlers already posted when
    // the component is destroyed are dropped.
    explicit TComm(IUiDispatcher& Dispatcher);
    // Closes the port if it is still open.
    ~TComm();
    TComm(const TComm&) = delete;
    TComm& operator=(const TComm&) = delete;

    // Opens CommName exclusively (flock plus TIOCEXCL, so a second opener,
    // root included, is refused), applies the time-outs and line settings and
    // starts both threads. Raises ECommsError with one of the texts above;
    // after a failure the component is closed. A device that exists but may
    // not be opened by this user gets the open error text followed by a line
    // naming the device and the dialout group.
    void OpenPort();
    // Stops both threads and closes the port; does nothing when closed. Never
    // raises. Events posted before it are still delivered afterwards.
    void ClosePort() noexcept;
    // Queues a copy of Count bytes for the transmit thread and returns at once.
    // False when the port is closed, Count is 0 or the transmit thread has
    // stopped (after a failure); nothing is queued then.
    bool WriteBlock(const void* Buffer, uint16_t Count);

    bool IsOpen() const { return session_ != nullptr; }
    // True while closed and whenever the transmit thread's queue is empty;
    // cleared by each successful WriteBlock.
    bool TransmitIdle() const { return transmitIdle_.load(); }
    // The device path that OpenPort opens for CommName.
    std::string DevicePath() const;

    // Published properties. A line setter does nothing for an unchanged
    // value; otherwise it stores the value and, while open, applies the whole
    // line record at once. Parity and CommName are only stored: a new parity
    // takes effect with the next applied line record (another line setter
    // while open, or OpenPort), a new name at the next OpenPort. A time-out
    // setter takes effect with the next read.
    const std::string& CommName() const { return commName_; }
    void SetCommName(const std::string& value) { commName_ = value; }
    uint32_t BaudRate() const { return line_.BaudRate; }
    void SetBaudRate(uint32_t value);
    bool ParityCheck() const { return line_.ParityCheck; }
    void SetParityCheck(bool value);
    bool Outx_CtsFlow() const { return line_.Outx_CtsFlow; }
    void SetOutx_CtsFlow(bool value);
    bool Outx_DsrFlow() const { return line_.Outx_DsrFlow; }
    void SetOutx_DsrFlow(bool value);
    TDtrControl DtrControl() const { return line_.DtrControl; }
    void SetDtrControl(TDtrControl value);
    bool DsrSensitivity() const { return line_.DsrSensitivity; }
    void SetDsrSensitivity(bool value);
    bool TxContinueOnXoff() const { return line_.TxContinueOnXoff; }
    void SetTxContinueOnXoff(bool value);
    bool Outx_XonXoffFlow() const { return line_.Outx_XonXoffFlow; }
    void SetOutx_XonXoffFlow(bool value);
    bool Inx_XonXoffFlow() const { return line_.Inx_XonXoffFlow; }
    void SetInx_XonXoffFlow(bool value);
    bool ReplaceWhenParityError() const { return line_.ReplaceWhenParityError; }
    void SetReplaceWhenParityError(bool value);
    bool IgnoreNullChar() const { return line_.IgnoreNullChar; }
    void SetIgnoreNullChar(bool value);
    TRtsControl RtsControl() const { return line_.RtsControl; }
    void SetRtsControl(TRtsControl value);
    uint16_t XonLimit() const { return line_.XonLimit; }
    void SetXonLimit(uint16_t value);
    uint16_t XoffLimit() const { return line_.XoffLimit; }
    void SetXoffLimit(uint16_t value);
    TByteSize ByteSize() const { return line_.ByteSize; }
    void SetByteSize(TByteSize value);
    TParity Parity() const { return line_.Parity; }
    void SetParity(TParity value) { line_.Parity = value; }
    TStopBits StopBits() const { return line_.StopBits; }
    void SetStopBits(TStopBits value);
    char XonChar() const { return line_.XonChar; }
    void SetXonChar(char value);
    char XoffChar() const { return line_.XoffChar; }
    void SetXoffChar(char value);
    char ReplacedChar() const { return line_.ReplacedChar; }
    void SetReplacedChar(char value);
    uint32_t ReadIntervalTimeout() const { return timeouts_.ReadIntervalTimeout; }
    void SetReadIntervalTimeout(uint32_t value);
    uint32_t ReadTotalTimeoutMultiplier() const { return timeouts_.ReadTotalTimeoutMultiplier; }
    void SetReadTotalTimeoutMultiplier(uint32_t value);
    uint32_t ReadTotalTimeoutConstant() const { return timeouts_.ReadTotalTimeoutConstant; }
    void SetReadTotalTimeoutConstant(uint32_t value);
    uint32_t WriteTotalTimeoutMultiplier() const { return timeouts_.WriteTotalTimeoutMultiplier; }
    void SetWriteTotalTimeoutMultiplier(uint32_t value);
    uint32_t WriteTotalTimeoutConstant() const { return timeouts_.WriteTotalTimeoutConstant; }
    void SetWriteTotalTimeoutConstant(uint32_t value);

    // The stored settings as records.
    const TLineSettings& LineSettings() const { return line_; }
    const TCommTimeouts& Timeouts() const { return timeouts_; }

    // Events, raised on the user-interface thread only, each only when assigned.
    TReceiveDataEvent OnReceiveData;
    TReceiveErrorEvent OnReceiveError;
    TModemStateChangeEvent OnModemStateChange;
    // A thread met a failure (the device went away, a write failed) and
    // stopped; raised once per open port. Not raised for a close.
    TNotifyEvent OnRequestHangup;
    // The transmit thread found its queue empty: once after opening, then
    // once after each run of written blocks.
    TSendDataEmptyEvent OnSendDataEmpty;

    // The part of the component that posted tasks reach; internal.
    struct Target;
    struct Session;

private:
    void ApplyLineSettings();
    void ApplyTimeouts();
    template <typename T>
    void SetLine(T TLineSettings::*field, T value);
    void SetTimeout(uint32_t TCommTimeouts::*field, uint32_t value);

    IUiDispatcher& dispatcher_;
    std::string commName_ = "COM2";
    TLineSettings line_;
    TCommTimeouts timeouts_;
    std::shared_ptr<Target> target_;  // shared with posted tasks, which hold it weakly
    std::atomic<bool> transmitIdle_{true};  // written by the transmit thread too
    std::unique_ptr<Session> session_;  // set while open: the only test of being open
};

}  // namespace plu
