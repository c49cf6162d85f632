// Baud rates without a B-constant (14400, 28800, ...), set through the
// kernel's termios2 record. Kept apart because <asm/termbits.h> and glibc's
// <termios.h> cannot meet in one translation unit.
#pragma once

#include <cstdint>

namespace plu {

// The fields of a termios record as the kernel lays them out.
struct KernelTermiosFields {
    uint32_t iflag = 0;
    uint32_t oflag = 0;
    uint32_t cflag = 0;
    uint32_t lflag = 0;
    uint8_t line = 0;
    uint8_t cc[19] = {};
};

// Writes the record with `baud` as an arbitrary rate in both directions, in
// one TCSETS2 call. Returns false (errno set) when the driver refuses it.
bool SetTermiosWithCustomBaud(int fd, const KernelTermiosFields& fields, uint32_t baud);

}  // namespace plu
