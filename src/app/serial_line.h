// The serial port as the application drives it: chosen, opened, written and
// closed through the link engine's port interface, plus the settings the
// port settings logic applies before opening. Implemented over TComm by
// CommLine; tests substitute their own.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/link_port.h"
#include "serial/line_settings.h"

namespace plu {

struct LineChoice {
    std::string CommName;
    uint32_t BaudRate = 9600;
    TByteSize ByteSize = TByteSize::_8;
    TParity Parity = TParity::None;
    TStopBits StopBits = TStopBits::_1;
};

class ISerialLine : public ILinkPort {
public:
    // Stores the settings for the next OpenPort.
    virtual void Configure(const LineChoice& choice) = 0;
    // Each received block, on the user-interface thread, with its length
    // (the bytes are valid only during the call).
    std::function<void(const void* buffer, uint16_t length)> OnReceiveData;
};

}  // namespace plu
