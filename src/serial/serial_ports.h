// Enumerating the serial ports of the machine for the port settings list.
#pragma once

#include <string>
#include <vector>

namespace plu {

// Where Linux publishes its terminal devices.
inline constexpr const char* kSysfsTtyRoot = "/sys/class/tty";

// Replaces the items of `Target` with the serial devices known to the system,
// named as the port list shows them and as TComm's CommName takes them (the
// device name under /dev, such as "ttyUSB0"), sorted case-insensitively
// (ttyS10 before ttyS2). The list may be empty. When the device folder cannot
// be read, `Target` keeps its items and the result is false.
//
// A terminal counts as a serial port when it has a device behind it (USB and
// ACM adapters, on-board UARTs, ttyAMA and the like) or is a Bluetooth RFCOMM
// port. A ttyS port counts only with a UART behind it: its "type" attribute is
// not 0 (unknown), or, where the kernel publishes no type, its driver is not
// the legacy 8250 placeholder ("serial8250") that the kernel registers for
// every possible ISA port. Consoles, virtual terminals and pseudo-terminals
// are never listed.
//
// `SysfsRoot` is the folder that holds one entry per terminal (tests pass a
// fake tree).
bool ListSerialPorts(std::vector<std::string>& Target,
                     const std::string& SysfsRoot = kSysfsTtyRoot);

}  // namespace plu
