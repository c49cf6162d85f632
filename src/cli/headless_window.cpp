#include "cli/headless_window.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <memory>

#include "app/comm_line.h"
#include "base/exceptions.h"
#include "link/link_host.h"
#include "plu/plu_sheet.h"
#include "plu/sheet_layout.h"

namespace plu::cli {

std::string PortFailureReason(const std::string& device, const LinkError& e) {
    switch (e.systemError) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
            return device + ": no such device";
        case EBUSY:
            return device + ": busy, held by another process";
        case ENOTTY:
            return device + ": not a serial device";
        default:
            break;
    }
    // The component's own text (the dialout hint for a forbidden port), on one line.
    std::string text = WideToUtf8(e.message);
    for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;)
        text.replace(at, 2, ": ");
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    if (e.systemError != 0 && e.systemError != EACCES && e.systemError != EPERM)
        text += " (" + std::string(std::strerror(e.systemError)) + ")";
    return device + ": " + text;
}

int RecordNumberOfStatus(WideStringView status) {
    for (WideStringView prefix :
         {WideStringView(u"Downloading No."), WideStringView(u"Uploading No.")}) {
        if (status.substr(0, prefix.size()) != prefix) continue;
        // The label is "M7" for a preset key, the bare number after the keys.
        WideStringView label = status.substr(prefix.size());
        if (!label.empty() && label[0] == u'M') label.remove_prefix(1);
        if (label.empty() || label.size() > 3) return 0;
        int n = 0;
        for (char16_t c : label) {
            if (c < u'0' || c > u'9') return 0;
            n = n * 10 + (c - u'0');
        }
        return n >= 1 && n <= kPluCount ? n : 0;
    }
    return 0;
}

HeadlessWindow::HeadlessWindow(std::string name, std::ostream& out, std::ostream& err,
                               bool progress)
    : name_(std::move(name)),
      out_(out),
      err_(err),
      progress_(progress),
      session_(std::make_unique<CommLine>(dispatcher_)),
      transfers_(session_.Engine(), *this) {
    // Sheets are activated by name here, never by the tab strip's bookkeeping.
    control_.DisableTabSync();
    NewFile();
    session_.OnLayoutSheet = [this](bool reset) { LayoutSheet(reset); };
    session_.OnError = [this](const LinkError& e) {
        if (!portFailure_) portFailure_ = e;
    };
    session_.OnChange = [this] { ShowProgress(); };
}

HeadlessWindow::~HeadlessWindow() {
    EndProgress();
    progress_ = false;
    session_.Stop();
    dispatcher_.Pump();
}

HeadlessWindow::ConnectResult HeadlessWindow::Connect(const std::string& device,
                                                      SteadyClock::time_point deadline) {
    // The port list is this device alone: stepping moves through the baud rates on it.
    session_.Start([&](std::vector<std::string>& ports) {
        ports = {device};
        return true;
    });
    RunUntil([&] { return portFailure_ || State().Connected; }, deadline);
    if (portFailure_) return ConnectResult::PortFailed;
    return State().Connected ? ConnectResult::Connected : ConnectResult::NoScale;
}

bool HeadlessWindow::RunUntil(const std::function<bool()>& done, SteadyClock::time_point deadline) {
    const auto tick = std::chrono::milliseconds(kTickMilliseconds);
    auto next = SteadyClock::now() + tick;
    while (!done()) {
        const auto now = SteadyClock::now();
        if (now >= deadline) return false;
        if (now >= next) {
            session_.Tick();
            next += tick;
            // A late tick is not made up for with a burst of ticks.
            if (next < now) next = now + tick;
            continue;
        }
        PumpEvents(std::chrono::ceil<std::chrono::milliseconds>(std::min(next, deadline) - now));
    }
    return true;
}

void HeadlessWindow::PumpEvents(std::chrono::milliseconds wait) {
    // An error escaping a handler reaches the default error display, and the
    // events behind it are delivered at the next pump, as in the window.
    try {
        dispatcher_.WaitAndPump(wait);
    } catch (const Exception& e) {
        ShowErrorMessage(e.Message());
    } catch (const std::exception& e) {
        ShowErrorMessage(Utf8ToWide(e.what()));
    }
}

void HeadlessWindow::ShowProgress() {
    if (!progress_) return;
    const auto& status = session_.State().StatusText;
    const WideString& transfer = status[kProgressPanel];
    std::string line = WideToUtf8(transfer.empty() ? status[kLinkPanel] : transfer);
    if (const int n = RecordNumberOfStatus(transfer))
        line += " - record " + std::to_string(n) + " of " + std::to_string(kPluCount);
    if (line == progressLine_) return;
    out_ << '\r' << line << "\033[K" << std::flush;
    progressLine_ = line;
}

void HeadlessWindow::EndProgress() {
    if (progressLine_.empty()) return;
    out_ << "\r\033[K" << std::flush;
    progressLine_.clear();
}

void HeadlessWindow::ShowMessage(WideStringView /*title*/, WideStringView text, MessageIcon icon) {
    EndProgress();
    (icon == MessageIcon::Information ? out_ : err_) << WideToUtf8(text) << std::endl;
}

void HeadlessWindow::ShowErrorMessage(WideStringView text) {
    EndProgress();
    ++errorsShown_;
    std::string line = WideToUtf8(text);
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    err_ << name_ << ": " << line << std::endl;
}

void HeadlessWindow::SetStatusText(int panel, WideStringView text) {
    session_.SetStatusText(panel, text);
}

void HeadlessWindow::NewFile() {
    control_.FreeAllSheets();
    control_.ActivateSheet(control_.AddSheet(u"Sheet1"));
    LayoutSheet(true);
}

void HeadlessWindow::LayoutSheet(bool resetFontBoxes) {
    plu::LayoutSheet(control_, State(), *this, resetFontBoxes);
}

TKtCustomGrid* HeadlessWindow::Grid() {
    return control_.ActiveSheet();
}

}  // namespace plu::cli
