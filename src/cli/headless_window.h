// The main window without a window, for plu-tool: the PLU sheet in a sheet
// control, the serial line, the link engine and the three transfers, driven
// in real time (a tick every 20 ms, the serial component's events delivered
// between ticks). Message boxes become lines on the output streams and the
// status bar becomes one progress line that rewrites itself on a terminal.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "app/link_session.h"
#include "plu/plu_host.h"
#include "plu/transfers.h"
#include "serial/ui_dispatcher.h"
#include "sheets/sheet_control.h"

namespace plu::cli {

using SteadyClock = std::chrono::steady_clock;

// One line (no line breaks) saying why `device` could not be used: missing,
// busy, not a serial device, or the serial component's own text (which
// explains a forbidden port with the dialout group).
std::string PortFailureReason(const std::string& device, const LinkError& error);

// Where a status text stands in the table: n for "Downloading No.M7" or
// "Uploading No.7" (the number of the PLU row's label), 0 for anything else.
int RecordNumberOfStatus(WideStringView status);

class HeadlessWindow : public IPluHost {
  public:
    // `name` prefixes error lines ("plu-tool upload"). Information messages
    // go to `out`, warnings and errors to `err`; with `progress` the status
    // texts are shown on one line of `out` that each change rewrites (for a
    // terminal; without it nothing but the messages is printed).
    HeadlessWindow(std::string name, std::ostream& out, std::ostream& err, bool progress);
    ~HeadlessWindow() override;
    HeadlessWindow(const HeadlessWindow&) = delete;
    HeadlessWindow& operator=(const HeadlessWindow&) = delete;

    enum class ConnectResult { Connected, PortFailed, NoScale };
    // Opens `device` (stepping through the baud rates on it) and waits until
    // a scale has identified itself or `deadline` has passed. PortFailed:
    // the device could not be opened (PortFailure() says why).
    ConnectResult Connect(const std::string& device, SteadyClock::time_point deadline);
    // Runs the timer and the serial events until done() holds (true) or the
    // deadline passes (false).
    bool RunUntil(const std::function<bool()>& done, SteadyClock::time_point deadline);

    // The first error of the port (open or reopen), if any.
    const std::optional<LinkError>& PortFailure() const { return portFailure_; }
    // How many errors reached the default error display.
    int ErrorsShown() const { return errorsShown_; }

    LinkSession& Session() { return session_; }
    LinkState& State() { return session_.Engine().State(); }
    PluTransfers& Transfers() { return transfers_; }
    TVexaSheetControl& Control() { return control_; }

    // Clears the progress line, so that what follows starts on a clean line.
    void EndProgress();

    // IPluHost
    void ShowMessage(WideStringView title, WideStringView text, MessageIcon icon) override;
    void ShowErrorMessage(WideStringView text) override;
    void SetStatusText(int panel, WideStringView text) override;
    void LockUi(bool download) override { session_.LockUi(download); }
    void UnlockUi() override { session_.UnlockUi(); }
    WideString FontNameBoxText() const override { return fontName_; }
    void SetFontNameBoxText(WideStringView text) override { fontName_ = WideString(text); }
    WideString FontSizeBoxText() const override { return fontSize_; }
    void SetFontSizeBoxText(WideStringView text) override { fontSize_ = WideString(text); }
    // No question to ask: always a fresh "Sheet1", laid out with the font
    // boxes reset.
    void NewFile() override;
    void LayoutSheet(bool resetFontBoxes) override;
    TKtCustomGrid* Grid() override;

  private:
    void ShowProgress();
    void PumpEvents(std::chrono::milliseconds wait);

    std::string name_;
    std::ostream& out_;
    std::ostream& err_;
    bool progress_;
    std::string progressLine_;  // what the terminal shows now
    WideString fontName_ = u"Arial", fontSize_ = u"12";
    std::optional<LinkError> portFailure_;
    int errorsShown_ = 0;

    TVexaSheetControl control_;
    QueuedDispatcher dispatcher_;
    LinkSession session_;
    PluTransfers transfers_;
};

}  // namespace plu::cli
