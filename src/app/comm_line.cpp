#include "app/comm_line.h"

namespace plu {

CommLine::CommLine(IUiDispatcher& dispatcher) : comm_(dispatcher) {
    comm_.OnReceiveData = [this](TComm*, const void* buffer, uint16_t length) {
        if (OnReceiveData) OnReceiveData(buffer, length);
    };
}

CommLine::~CommLine() { comm_.ClosePort(); }

void CommLine::Configure(const LineChoice& choice) {
    comm_.SetCommName(choice.CommName);
    comm_.SetBaudRate(choice.BaudRate);
    comm_.SetByteSize(choice.ByteSize);
    comm_.SetParity(choice.Parity);
    comm_.SetStopBits(choice.StopBits);
}

void CommLine::OpenPort() { comm_.OpenPort(); }

void CommLine::ClosePort() { comm_.ClosePort(); }

bool CommLine::WriteBlock(std::string_view block) {
    if (block.size() > 0xFFFF) return false;
    return comm_.WriteBlock(block.data(), static_cast<uint16_t>(block.size()));
}

}  // namespace plu
