#include "virtual-scale/pty_line.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace plu::virtual_scale {

namespace {

[[noreturn]] void Fail(const std::string& what) {
    throw std::runtime_error(what + ": " + std::strerror(errno));
}

uint32_t SpeedValue(speed_t speed) {
    switch (speed) {
        case B50: return 50;
        case B75: return 75;
        case B110: return 110;
        case B134: return 134;
        case B150: return 150;
        case B200: return 200;
        case B300: return 300;
        case B600: return 600;
        case B1200: return 1200;
        case B1800: return 1800;
        case B2400: return 2400;
        case B4800: return 4800;
        case B9600: return 9600;
        case B19200: return 19200;
        case B38400: return 38400;
        case B57600: return 57600;
        case B115200: return 115200;
        case B230400: return 230400;
        default: return 0;
    }
}

}  // namespace

PtyLine::PtyLine() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) Fail("cannot open a pseudo-terminal");
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        const int e = errno;
        close(master_);
        errno = e;
        Fail("cannot unlock the pseudo-terminal");
    }
    char name[128];
    if (ptsname_r(master_, name, sizeof name) != 0) {
        const int e = errno;
        close(master_);
        errno = e;
        Fail("cannot name the pseudo-terminal");
    }
    slavePath_ = name;
    slave_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave_ < 0) {
        const int e = errno;
        close(master_);
        errno = e;
        Fail("cannot open " + slavePath_);
    }
    // Raw from the start: with the default line discipline our replies would
    // be echoed back to us and CR turned into LF before the PC opens the port.
    termios t{};
    if (tcgetattr(slave_, &t) == 0) {
        cfmakeraw(&t);
        cfsetispeed(&t, B9600);
        cfsetospeed(&t, B9600);
        tcsetattr(slave_, TCSANOW, &t);
    }
    const int flags = fcntl(master_, F_GETFL);
    if (flags >= 0) fcntl(master_, F_SETFL, flags | O_NONBLOCK);
}

PtyLine::~PtyLine() {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
}

uint32_t PtyLine::LineBaud() const {
    termios t{};
    if (tcgetattr(slave_, &t) != 0) return 0;
    return SpeedValue(cfgetospeed(&t));
}

bool PtyLine::Write(std::string_view bytes, int timeoutMs) {
    while (!bytes.empty()) {
        const ssize_t n = write(master_, bytes.data(), bytes.size());
        if (n > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) return false;
        pollfd p{master_, POLLOUT, 0};
        const int ready = poll(&p, 1, timeoutMs);
        if (ready <= 0) return false;
    }
    return true;
}

void MakeDeviceLink(const std::string& target, const std::string& link) {
    struct stat st {};
    if (lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode))
            throw std::runtime_error(link + " exists and is not a symbolic link; not replacing it");
        if (unlink(link.c_str()) != 0) Fail("cannot replace " + link);
    }
    if (symlink(target.c_str(), link.c_str()) != 0) Fail("cannot create the link " + link);
}

void RemoveDeviceLink(const std::string& target, const std::string& link) {
    char buffer[4096];
    const ssize_t n = readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (n < 0) return;
    buffer[n] = '\0';
    if (target == buffer) unlink(link.c_str());
}

}  // namespace plu::virtual_scale
