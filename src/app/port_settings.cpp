#include "app/port_settings.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "base/conversions.h"
#include "base/exceptions.h"
#include "base/wide_text.h"
#include "serial/comm.h"

namespace plu {

const std::vector<std::string> PortSettings::kInitialPorts = {"com1", "com3", "com4", "com2"};
const std::vector<std::string> PortSettings::kShippedBaudRates = {"1200", "2400", "4800", "9600",
                                                                  "19200"};
const std::vector<std::string> PortSettings::kShippedDataFormats = {"8N1"};

namespace {

std::string Selected(const std::vector<std::string>& items, int index) {
    return index >= 0 && index < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(index)]
                                                                : std::string();
}

// Moves a selection on; true when it wrapped around (the next one moves too).
bool Advance(int& index, int count) {
    if (count <= 0) {
        index = -1;
        return true;
    }
    if (index + 1 < count) {
        ++index;
        return false;
    }
    index = 0;
    return true;
}

int IndexOf(const std::vector<std::string>& items, const std::string& text) {
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i] == text) return static_cast<int>(i);
    return -1;
}

int IndexOfPort(const std::vector<std::string>& ports, const std::string& port) {
    for (std::size_t i = 0; i < ports.size(); ++i)
        if (SamePort(ports[i], port)) return static_cast<int>(i);
    return -1;
}

std::string_view BareName(std::string_view port) {
    constexpr std::string_view dev = "/dev/";
    if (port.substr(0, dev.size()) == dev && port.find('/', dev.size()) == std::string_view::npos)
        port.remove_prefix(dev.size());
    return port;
}

}  // namespace

bool SamePort(const std::string& a, const std::string& b) {
    if (BareName(a) == BareName(b)) return true;
    // A symbolic link such as /dev/serial/by-id/... and the device it names.
    auto path = [](const std::string& port) {
        return std::filesystem::path(!port.empty() && port.front() == '/' ? port : "/dev/" + port);
    };
    std::error_code error;  // a port that does not exist is the same as nothing
    return !a.empty() && !b.empty() && std::filesystem::equivalent(path(a), path(b), error);
}

WideString PortOpenFailureText(const std::string& port, WideStringView message, int systemError) {
    std::string reason;
    switch (systemError) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            reason = "no such device";
            break;
        case EBUSY:
            reason = "busy, held by another process";
            break;
        case EACCES:
        case EPERM:
            reason = "no permission (see the dialout group)";
            break;
        case ENOTTY:
            reason = "not a serial device";
            break;
        case 0: {
            // The component's own text, on one line.
            reason = WideToUtf8(message);
            for (std::size_t at; (at = reason.find("\r\n")) != std::string::npos;)
                reason.replace(at, 2, ": ");
            for (char& c : reason)
                if (c == '\r' || c == '\n') c = ' ';
            break;
        }
        default:
            reason = std::strerror(systemError);
            break;
    }
    return Utf8ToWide("Port " + (port.empty() ? std::string("(none)") : port) +
                      " cannot be opened: " + reason);
}

PortSettings::PortSettings(ISerialLine& line, LinkEngine& engine, ILinkHost& host)
    : line_(line), engine_(engine), host_(host) {}

std::string PortSettings::PortText() const { return Selected(Ports, PortIndex); }
std::string PortSettings::BaudText() const { return Selected(BaudRates, BaudIndex); }
std::string PortSettings::DataText() const { return Selected(DataFormats, DataIndex); }

std::string PortSettings::PanelText() const {
    return PortText() + "," + BaudText() + "," + DataText();
}

void PortSettings::DataFormatSettings(const std::string& text, LineChoice& c) {
    if (text == "8N1") {
        c.ByteSize = TByteSize::_8;
        c.Parity = TParity::None;
    } else if (text == "7E1") {
        c.ByteSize = TByteSize::_7;
        c.Parity = TParity::Even;
    } else {
        c.ByteSize = TByteSize::_7;
        c.Parity = TParity::Odd;
    }
    c.StopBits = TStopBits::_1;
}

void PortSettings::MergeFirstPorts(std::vector<std::string> found) {
    std::vector<std::string> merged = FirstPorts;
    for (std::string& port : found)
        if (IndexOfPort(merged, port) < 0) merged.push_back(std::move(port));
    Ports = std::move(merged);
}

void PortSettings::FormCreate(const PortLister& lister, const std::vector<std::string>& first) {
    engine_.ResetLink();
    FirstPorts = first;
    std::vector<std::string> found = Ports;
    if (lister) lister(found);  // on failure the list stays as it was
    MergeFirstPorts(std::move(found));
    PortIndex = Ports.empty() ? -1 : 0;
    BaudIndex = IndexOf(BaudRates, "9600");
    DataIndex = DataFormats.empty() ? -1 : 0;
    ApplyAndOpen();
}

void PortSettings::ListPorts(const PortLister& lister) {
    if (!lister) return;
    std::vector<std::string> found;
    if (!lister(found)) return;
    const std::string current = PortText();
    // The remembered port matters only while the dialog shows (closing
    // restores it); otherwise it is an old visit's and is not kept.
    const std::string remembered = Selected(Ports, SavedPortIndex);
    MergeFirstPorts(std::move(found));
    // A device that went away while in use stays until the user picks another.
    for (const std::string* kept : {&current, dialogVisible_ ? &remembered : nullptr})
        if (kept && !kept->empty() && IndexOfPort(Ports, *kept) < 0) Ports.push_back(*kept);
    PortIndex = current.empty() ? (Ports.empty() ? -1 : 0) : IndexOfPort(Ports, current);
    int saved = remembered.empty() ? -1 : IndexOfPort(Ports, remembered);
    if (saved < 0) saved = PortIndex;
    SavedPortIndex = static_cast<uint16_t>(saved);
}

void PortSettings::ApplyAndOpen() {
    host_.SetStatusText(kPortPanel, Utf8ToWide(PanelText()));
    LineChoice choice;
    choice.CommName = PortText();
    choice.BaudRate = static_cast<uint32_t>(StrToInt(AsciiToWide(BaudText())));
    DataFormatSettings(DataText(), choice);
    line_.Configure(choice);
    try {
        line_.OpenPort();
    } catch (const ECommsError& e) {
        // Until the port opens, nothing else tells the user why the scale is
        // not found: the link engine stops supervising after a failed reopening.
        host_.SetStatusText(kLinkPanel,
                            PortOpenFailureText(choice.CommName, e.Message(), e.SystemError()));
        throw;
    } catch (const Exception& e) {
        host_.SetStatusText(kLinkPanel, PortOpenFailureText(choice.CommName, e.Message(), 0));
        throw;
    }
    engine_.PortOpened();
    host_.SetTimerEnabled(true);
}

void PortSettings::StepSelections() {
    if (!Advance(DataIndex, static_cast<int>(DataFormats.size()))) return;
    if (!Advance(BaudIndex, static_cast<int>(BaudRates.size()))) return;
    Advance(PortIndex, static_cast<int>(Ports.size()));
}

void PortSettings::Remember() {
    SavedPortIndex = static_cast<uint16_t>(PortIndex);
    SavedBaudIndex = static_cast<uint16_t>(BaudIndex);
    SavedDataIndex = static_cast<uint16_t>(DataIndex);
}

void PortSettings::ShowDialog(const PortLister& lister) {
    if (dialogVisible_) return;
    host_.SetTimerEnabled(false);
    ListPorts(lister);
    Remember();
    dialogVisible_ = true;
}

void PortSettings::OpenPortClick() {
    line_.ClosePort();
    Remember();
    ApplyAndOpen();
    FormClose();
}

void PortSettings::FormClose() {
    // The saved indexes are 16-bit: "no selection" (-1) comes back as 65535,
    // which selects nothing as well.
    auto restore = [](uint16_t saved, const std::vector<std::string>& items) {
        return saved < items.size() ? static_cast<int>(saved) : -1;
    };
    PortIndex = restore(SavedPortIndex, Ports);
    BaudIndex = restore(SavedBaudIndex, BaudRates);
    DataIndex = restore(SavedDataIndex, DataFormats);
    dialogVisible_ = false;
    host_.SetTimerEnabled(true);
}

}  // namespace plu
