// The logic of the port settings dialog ("Comm Port"), without a toolkit:
// three selections (port, baud rate, data format) that are applied to the
// serial line and opened by ApplyAndOpen, stepped like an odometer by the
// link engine when no scale answers, and remembered/restored around the
// dialog's visits. The window shows them; plu-tool uses them as they are.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/serial_line.h"
#include "base/wide_text.h"
#include "link/link_engine.h"
#include "link/link_host.h"

namespace plu {

// Fills a list with the machine's serial ports; false (list untouched) when
// they cannot be enumerated. ListSerialPorts by default.
using PortLister = std::function<bool(std::vector<std::string>&)>;

class PortSettings {
public:
    // The selections' lists as shipped.
    static const std::vector<std::string> kInitialPorts;      // com1, com3, com4, com2
    static const std::vector<std::string> kShippedBaudRates;  // 1200 … 19200
    static const std::vector<std::string> kShippedDataFormats;  // 8N1

    // `host` receives panel 0 and the timer switch; `engine` is told when the
    // port has been opened.
    PortSettings(ISerialLine& line, LinkEngine& engine, ILinkHost& host);

    std::vector<std::string> Ports = kInitialPorts;
    std::vector<std::string> BaudRates = kShippedBaudRates;
    std::vector<std::string> DataFormats = kShippedDataFormats;
    int PortIndex = -1, BaudIndex = -1, DataIndex = -1;  // -1: nothing selected
    uint16_t SavedPortIndex = 0, SavedBaudIndex = 0, SavedDataIndex = 0;

    // Start-up: not connected, lists the ports (the ports in `first` go in
    // front of the enumerated ones, here and at every later listing),
    // selects the first port, 9600 and 8N1, and applies and opens. Throws
    // the open error, as ApplyAndOpen does.
    void FormCreate(const PortLister& lister, const std::vector<std::string>& first = {});

    // Reads the port list again (USB adapters come and go). FirstPorts stay
    // in front. The current and the remembered port follow their device by
    // name. A device that has gone stays listed, after the others, while it
    // is selected (and, while the dialog shows, while it is remembered), so
    // the list still shows what the link uses and closing the dialog still
    // restores it; once another port is chosen it leaves the list. When the
    // ports cannot be enumerated the list stays as it is.
    void ListPorts(const PortLister& lister);

    // Panel 0 := "port,baud,data"; applies the selections; opens; then a link
    // poll goes out and the timer is enabled. When the port cannot be opened,
    // panel 1 says so ("Port … cannot be opened: …"), nothing after the
    // opening happens and the error goes to the caller.
    void ApplyAndOpen();

    // Data format to its next entry; from its last back to the first with the
    // baud rate moving on; from the last baud rate back to the first with the
    // port moving on; after the last port the first.
    void StepSelections();

    // Serial > Serial Set: the timer stops, the port list is read again
    // with `lister` (when given), the selections are remembered, the dialog
    // shows. While the dialog is already showing this does nothing, so the
    // user's unconfirmed choice is not taken for the remembered one.
    void ShowDialog(const PortLister& lister = {});
    // "Open Port": closes the port, remembers the selections, applies and
    // opens, and closes the dialog. When opening throws, the dialog stays.
    void OpenPortClick();
    // Every way of closing the dialog: the remembered selections come back
    // and the timer runs again.
    void FormClose();
    bool DialogVisible() const { return dialogVisible_; }

    // Ports put in front of every listing (plu-editor --port, the virtual scale).
    std::vector<std::string> FirstPorts;

    std::string PortText() const;
    std::string BaudText() const;
    std::string DataText() const;
    // "ttyUSB0,9600,8N1"
    std::string PanelText() const;

    // The settings a data format text gives: "8N1" 8 bits, no parity, 1 stop
    // bit; "7E1" 7, even, 1; anything else (no selection too) 7, odd, 1.
    static void DataFormatSettings(const std::string& text, LineChoice& choice);

private:
    void Remember();
    // Ports := FirstPorts, then `found` without those already listed.
    void MergeFirstPorts(std::vector<std::string> found);

    ISerialLine& line_;
    LinkEngine& engine_;
    ILinkHost& host_;
    bool dialogVisible_ = false;
};

// Panel 1 when a port cannot be opened: "Port ttyUSB1 cannot be opened: no
// such device". The reason is short enough for the status bar: from the
// system's error number where there is one, else the message on one line.
WideString PortOpenFailureText(const std::string& port, WideStringView message, int systemError);

// The same device under its /dev name or its bare name ("/dev/ttyUSB0" and
// "ttyUSB0"), as TComm opens both, or through a symbolic link
// (/dev/serial/by-id/...) to it.
bool SamePort(const std::string& a, const std::string& b);

}  // namespace plu
