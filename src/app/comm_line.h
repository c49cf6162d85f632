// ISerialLine over the serial component: owns the main window's TComm
// ("Comm1") and passes its received blocks on.
#pragma once

#include "app/serial_line.h"
#include "serial/comm.h"
#include "serial/ui_dispatcher.h"

namespace plu {

class CommLine : public ISerialLine {
public:
    // The dispatcher brings the component's events to the user-interface
    // thread; it must outlive this object.
    explicit CommLine(IUiDispatcher& dispatcher);
    ~CommLine() override;

    void Configure(const LineChoice& choice) override;
    void OpenPort() override;
    void ClosePort() override;
    bool WriteBlock(std::string_view block) override;

    TComm& Comm() { return comm_; }

private:
    TComm comm_;
};

}  // namespace plu
