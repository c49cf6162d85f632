#include "serial/comm.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/serial.h>
#include <pwd.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "serial/comm_session.h"
#include "serial/custom_baud.h"

namespace plu {
namespace {

std::string UserName() {
    std::vector<char> buf(4096);
    passwd pw{};
    passwd* found = nullptr;
    if (getpwuid_r(geteuid(), &pw, buf.data(), buf.size(), &found) == 0 && found) return pw.pw_name;
    return "$USER";
}

std::string GroupName(gid_t gid) {
    std::vector<char> buf(4096);
    group gr{};
    group* found = nullptr;
    if (getgrgid_r(gid, &gr, buf.data(), buf.size(), &found) == 0 && found) return gr.gr_name;
    return {};
}

// The open error with its second line telling what a Linux user must do: a
// device that is there but refused is neither missing nor occupied.
std::string PermissionMessage(const std::string& path) {
    const std::string user = UserName();
    std::string text = "Open the serial port error\r\nNo permission to open " + path +
                       ". Serial ports belong to the dialout group: add the user to it "
                       "(sudo usermod -aG dialout " + user + ") and log in again.";
    struct stat st{};
    if (stat(path.c_str(), &st) == 0) {
        const std::string group = GroupName(st.st_gid);
        if (!group.empty() && group != "dialout") {
            text += " This device belongs to the group " + group + ".";
        }
    }
    return text;
}

void CloseFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

// Gives up the port: exclusivity off, pending output dropped before close()
// (which would otherwise wait for it to drain, up to the driver's
// closing_wait of 30 seconds), descriptors closed.
void ReleasePort(PortShared& s) {
    CloseFd(s.stopFd);
    CloseFd(s.queueFd);
    if (s.fd >= 0) {
        ioctl(s.fd, TIOCNXCL);
        tcflush(s.fd, TCIOFLUSH);
        CloseFd(s.fd);  // also drops the flock
    }
}

void SetModemLine(int fd, int line, bool on) {
    // ENOTTY on a pseudo-terminal, EINVAL on adapters without the line: a
    // refused setting is not reported.
    ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line);
}

bool SetRs485(int fd, bool on) {
    serial_rs485 rs{};
    if (on) rs.flags = SER_RS485_ENABLED | SER_RS485_RTS_ON_SEND;
    return ioctl(fd, TIOCSRS485, &rs) == 0;
}

}  // namespace

TComm::TComm(IUiDispatcher& Dispatcher)
    : dispatcher_(Dispatcher), target_(std::make_shared<Target>()) {
    target_->comm = this;
}

TComm::~TComm() {
    ClosePort();
    target_->comm = nullptr;
}

std::string TComm::DevicePath() const {
    if (!commName_.empty() && commName_.front() == '/') return commName_;
    return "/dev/" + commName_;
}

void TComm::OpenPort() {
    if (session_) throw ECommsError(kCommAlreadyOpen);

    const std::string path = DevicePath();
    // Not shared, existing devices only: O_NONBLOCK so that neither the open
    // (no carrier yet) nor any read or write can block a thread beyond the
    // reach of the stop signal.
    int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int e = errno;
        if (e == EACCES || e == EPERM) throw ECommsError(PermissionMessage(path), e);
        throw ECommsError(kCommOpenError, e);
    }
    termios current{};
    if (!isatty(fd) || tcgetattr(fd, &current) != 0) {
        close(fd);
        throw ECommsError(kCommOpenError, ENOTTY);  // a file or another device, not a port
    }
    // TIOCEXCL refuses further opens except by root; the advisory lock also
    // refuses a second opener running as root (another instance of us, or a
    // tool that locks the same way).
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno == EWOULDBLOCK ? EBUSY : errno;
        close(fd);
        throw ECommsError(kCommOpenError, e);
    }
    ioctl(fd, TIOCEXCL);

    // Raw mode before anything else reaches the line: the default cooked mode
    // would echo replies back and turn each frame's CR into LF.
    termios raw = current;
    cfmakeraw(&raw);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    if (tcsetattr(fd, TCSANOW, &raw) != 0) {
        const int e = errno;
        ioctl(fd, TIOCNXCL);
        close(fd);
        throw ECommsError(kCommBufferError, e);
    }

    auto shared = std::make_unique<PortShared>(dispatcher_, target_, transmitIdle_);
    shared->fd = fd;
    shared->device = path;
    session_ = std::make_unique<Session>(std::move(shared));
    PortShared& s = *session_->shared;
    tcflush(fd, TCIOFLUSH);

    transmitIdle_.store(true);
    ApplyTimeouts();
    ApplyLineSettings();
    // An XOFF received earlier (line noise, a far side that was reset) leaves
    // the terminal's output stopped across close and open; a freshly opened
    // port starts with output allowed.
    tcflow(fd, TCOON);

    s.stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    s.queueFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (s.stopFd < 0 || s.queueFd < 0) {
        const int e = errno;
        ReleasePort(s);
        session_.reset();
        throw ECommsError(kCommEventError, e);
    }

    Session* sess = session_.get();
    try {
        sess->reader = std::thread([sess] {
            sess->readerGo.acquire();
            RunReceiveThread(*sess->shared);
        });
    } catch (const std::system_error& e) {
        ReleasePort(s);
        session_.reset();
        throw ECommsError(kCommReadThreadError, e.code().value());
    }
    try {
        sess->writer = std::thread([sess] {
            sess->writerGo.acquire();
            RunTransmitThread(*sess->shared);
        });
    } catch (const std::system_error& e) {
        s.SignalStop();
        sess->readerGo.release();
        sess->reader.join();
        ReleasePort(s);
        session_.reset();
        transmitIdle_.store(true);
        throw ECommsError(kCommWriteThreadError, e.code().value());
    }
    sess->readerGo.release();
    sess->writerGo.release();
}

void TComm::ClosePort() noexcept {
    if (!session_) return;
    Session& sess = *session_;
    PortShared& s = *sess.shared;
    try {
        s.SignalStop();
        tcflush(s.fd, TCIFLUSH);
        if (sess.reader.joinable()) sess.reader.join();
        tcflush(s.fd, TCOFLUSH);
        transmitIdle_.store(true);
        if (sess.writer.joinable()) sess.writer.join();
    } catch (...) {
        // join() fails only for a thread that cannot be joined; nothing
        // is left to wait for then.
    }
    ReleasePort(s);
    session_.reset();
    transmitIdle_.store(true);
}

bool TComm::WriteBlock(const void* Buffer, uint16_t Count) {
    if (!session_ || Count == 0 || Buffer == nullptr) return false;
    PortShared& s = *session_->shared;
    try {
        const auto* bytes = static_cast<const uint8_t*>(Buffer);
        std::vector<uint8_t> block(bytes, bytes + Count);
        {
            std::lock_guard lock(s.queueMutex);
            if (!s.accepting) return false;
            // Cleared before the block is visible, so the transmit thread's
            // "queue empty" always comes after it.
            transmitIdle_.store(false);
            s.queue.push_back(std::move(block));
        }
    } catch (...) {
        return false;
    }
    const uint64_t one = 1;
    while (write(s.queueFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
    return true;
}

void TComm::ApplyTimeouts() {
    if (!session_) return;
    PortShared& s = *session_->shared;
    s.readInterval.store(timeouts_.ReadIntervalTimeout);
    s.readMultiplier.store(timeouts_.ReadTotalTimeoutMultiplier);
    s.readConstant.store(timeouts_.ReadTotalTimeoutConstant);
    s.timeoutsVersion.fetch_add(1);
    // The write time-outs have no effect of their own: a write that times
    // out is continued with the remaining bytes until the block is out.
}

void TComm::ApplyLineSettings() {
    if (!session_) return;
    PortShared& s = *session_->shared;
    const int fd = s.fd;

    termios t{};
    if (BuildTermios(line_, t)) {
        tcsetattr(fd, TCSANOW, &t);  // a refusal is not reported
    } else {
        KernelTermiosFields f;
        f.iflag = t.c_iflag;
        f.oflag = t.c_oflag;
        f.cflag = t.c_cflag;
        f.lflag = t.c_lflag;
        f.line = t.c_line;
        std::memcpy(f.cc, t.c_cc, sizeof f.cc);
        if (!SetTermiosWithCustomBaud(fd, f, line_.BaudRate)) {
            // The driver takes no arbitrary rate: apply the rest of the
            // record and keep the speed the port has.
            termios now{};
            if (tcgetattr(fd, &now) == 0) {
                cfsetispeed(&t, cfgetispeed(&now));
                cfsetospeed(&t, cfgetospeed(&now));
            }
            tcsetattr(fd, TCSANOW, &t);
        }
    }

    // Linux has no DTR handshake; DTR stays on to show the far side we are there.
    SetModemLine(fd, TIOCM_DTR, line_.DtrControl != TDtrControl::DtrDisable);
    switch (line_.RtsControl) {
        case TRtsControl::RtsEnable: SetModemLine(fd, TIOCM_RTS, true); break;
        case TRtsControl::RtsDisable: SetModemLine(fd, TIOCM_RTS, false); break;
        case TRtsControl::RtsHandshake: break;  // CRTSCTS drives RTS
        case TRtsControl::RtsTransmissionAvailable: break;
    }
    // RTS on while sending is the driver's RS-485 mode where it has one.
    const bool toggle = line_.RtsControl == TRtsControl::RtsTransmissionAvailable;
    if (toggle) {
        s.rs485 = SetRs485(fd, true);
    } else if (s.rs485) {
        SetRs485(fd, false);
        s.rs485 = false;
    }

    s.marked.store(line_.ParityCheck);
    s.replaceErrors.store(line_.ReplaceWhenParityError);
    s.replacement.store(static_cast<uint8_t>(line_.ReplacedChar));
    s.ignoreNull.store(line_.IgnoreNullChar);
}

template <typename T>
void TComm::SetLine(T TLineSettings::*field, T value) {
    if (line_.*field == value) return;
    line_.*field = value;
    if (session_) ApplyLineSettings();
}

void TComm::SetTimeout(uint32_t TCommTimeouts::*field, uint32_t value) {
    if (timeouts_.*field == value) return;
    timeouts_.*field = value;
    if (session_) ApplyTimeouts();
}

void TComm::SetBaudRate(uint32_t v) { SetLine(&TLineSettings::BaudRate, v); }
void TComm::SetParityCheck(bool v) { SetLine(&TLineSettings::ParityCheck, v); }
void TComm::SetOutx_CtsFlow(bool v) { SetLine(&TLineSettings::Outx_CtsFlow, v); }
void TComm::SetOutx_DsrFlow(bool v) { SetLine(&TLineSettings::Outx_DsrFlow, v); }
void TComm::SetDtrControl(TDtrControl v) { SetLine(&TLineSettings::DtrControl, v); }
void TComm::SetDsrSensitivity(bool v) { SetLine(&TLineSettings::DsrSensitivity, v); }
void TComm::SetTxContinueOnXoff(bool v) { SetLine(&TLineSettings::TxContinueOnXoff, v); }
void TComm::SetOutx_XonXoffFlow(bool v) { SetLine(&TLineSettings::Outx_XonXoffFlow, v); }
void TComm::SetInx_XonXoffFlow(bool v) { SetLine(&TLineSettings::Inx_XonXoffFlow, v); }
void TComm::SetReplaceWhenParityError(bool v) { SetLine(&TLineSettings::ReplaceWhenParityError, v); }
void TComm::SetIgnoreNullChar(bool v) { SetLine(&TLineSettings::IgnoreNullChar, v); }
void TComm::SetRtsControl(TRtsControl v) { SetLine(&TLineSettings::RtsControl, v); }
void TComm::SetXonLimit(uint16_t v) { SetLine(&TLineSettings::XonLimit, v); }
void TComm::SetXoffLimit(uint16_t v) { SetLine(&TLineSettings::XoffLimit, v); }
void TComm::SetByteSize(TByteSize v) { SetLine(&TLineSettings::ByteSize, v); }
void TComm::SetStopBits(TStopBits v) { SetLine(&TLineSettings::StopBits, v); }
void TComm::SetXonChar(char v) { SetLine(&TLineSettings::XonChar, v); }
void TComm::SetXoffChar(char v) { SetLine(&TLineSettings::XoffChar, v); }
void TComm::SetReplacedChar(char v) { SetLine(&TLineSettings::ReplacedChar, v); }

void TComm::SetReadIntervalTimeout(uint32_t v) { SetTimeout(&TCommTimeouts::ReadIntervalTimeout, v); }
void TComm::SetReadTotalTimeoutMultiplier(uint32_t v) {
    SetTimeout(&TCommTimeouts::ReadTotalTimeoutMultiplier, v);
}
void TComm::SetReadTotalTimeoutConstant(uint32_t v) {
    SetTimeout(&TCommTimeouts::ReadTotalTimeoutConstant, v);
}
void TComm::SetWriteTotalTimeoutMultiplier(uint32_t v) {
    SetTimeout(&TCommTimeouts::WriteTotalTimeoutMultiplier, v);
}
void TComm::SetWriteTotalTimeoutConstant(uint32_t v) {
    SetTimeout(&TCommTimeouts::WriteTotalTimeoutConstant, v);
}

}  // namespace plu
