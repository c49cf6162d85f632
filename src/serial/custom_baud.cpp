#include "serial/custom_baud.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cstring>

namespace plu {

bool SetTermiosWithCustomBaud(int fd, const KernelTermiosFields& f, uint32_t baud) {
    struct termios2 t2;
    std::memset(&t2, 0, sizeof t2);
    t2.c_iflag = f.iflag;
    t2.c_oflag = f.oflag;
    // BOTHER in both speed fields: the rates come from c_ispeed and c_ospeed.
    t2.c_cflag = (f.cflag & ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT))) | BOTHER |
                 (BOTHER << IBSHIFT);
    t2.c_lflag = f.lflag;
    t2.c_line = f.line;
    static_assert(sizeof t2.c_cc >= sizeof f.cc);
    std::memcpy(t2.c_cc, f.cc, sizeof f.cc);
    t2.c_ispeed = baud;
    t2.c_ospeed = baud;
    return ioctl(fd, TCSETS2, &t2) == 0;
}

}  // namespace plu
