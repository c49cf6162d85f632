#include "app/port_settings.h"

#include "base/conversions.h"
#include "base/wide_text.h"

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

}  // namespace

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

void PortSettings::FormCreate(const PortLister& lister, const std::vector<std::string>& first) {
    engine_.ResetLink();
    std::vector<std::string> found = Ports;
    if (lister) lister(found);  // on failure the list stays as it was
    if (!first.empty()) {
        std::vector<std::string> merged = first;
        for (const std::string& port : found)
            if (IndexOf(merged, port) < 0) merged.push_back(port);
        found = std::move(merged);
    }
    Ports = std::move(found);
    PortIndex = Ports.empty() ? -1 : 0;
    BaudIndex = IndexOf(BaudRates, "9600");
    DataIndex = DataFormats.empty() ? -1 : 0;
    ApplyAndOpen();
}

void PortSettings::ApplyAndOpen() {
    host_.SetStatusText(kPortPanel, Utf8ToWide(PanelText()));
    LineChoice choice;
    choice.CommName = PortText();
    choice.BaudRate = static_cast<uint32_t>(StrToInt(AsciiToWide(BaudText())));
    DataFormatSettings(DataText(), choice);
    line_.Configure(choice);
    line_.OpenPort();
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

void PortSettings::ShowDialog() {
    host_.SetTimerEnabled(false);
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
