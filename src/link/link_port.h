// The serial port as the link engine sees it. The application implements it
// over the serial component; tests implement it with a recorder.
#pragma once

#include <string_view>

namespace plu {

class ILinkPort {
public:
    virtual ~ILinkPort() = default;
    // Opens with the settings chosen beforehand; throws the port's error.
    virtual void OpenPort() = 0;
    // Closes; harmless when closed. Never throws.
    virtual void ClosePort() = 0;
    // Queues a copy of block for sending; false when closed, empty or refused.
    virtual bool WriteBlock(std::string_view block) = 0;
};

}  // namespace plu
