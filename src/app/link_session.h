// The application side of the scale link, shared by the window and the
// command line: the serial line, the link engine and the port settings
// logic, with the main window's state that the engine drives (caption,
// status panels, command enabling). It implements the engine's host.
//
// Threads: everything runs on the user-interface thread. The owner calls
// Tick every 20 ms (the timer; ticks while the timer is disabled are
// skipped here) and runs the dispatcher that delivers the serial
// component's events.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/port_settings.h"
#include "app/serial_line.h"
#include "app/ui_actions.h"
#include "base/wide_text.h"
#include "link/link_engine.h"
#include "link/link_host.h"

namespace plu {

// A failure for the application's default error display: the text to show
// and, for a port that could not be opened, the system's reason (errno, 0
// when there is none) for callers that explain more.
struct LinkError {
    WideString message;
    int systemError = 0;
};

// What the main window shows of the link.
struct MainWindowState {
    WideString Caption = u"NORV Formular";
    // Panel 0 port settings, 1 link state, 2 transfer progress.
    std::array<WideString, 3> StatusText = {u"COM1, 8N1", u"Linking......", u""};
    UiActions Actions;
    WideString FileName;  // empty for a new sheet
};

class LinkSession : public ILinkHost {
public:
    explicit LinkSession(std::unique_ptr<ISerialLine> line);
    ~LinkSession() override;
    LinkSession(const LinkSession&) = delete;
    LinkSession& operator=(const LinkSession&) = delete;

    // Start-up of the main window and the port settings dialog: title,
    // sheet layout, transfer commands off, then the ports are listed (`first`
    // in front) and the first is opened. An open error goes to OnError and
    // start-up goes on (the timer runs and steps to the next setting).
    void Start(const PortLister& lister, const std::vector<std::string>& first = {});
    // The two halves of Start for a window that does its own start-up steps
    // in between: UpLoad, DownLoad, Pair and Stop off until a scale answers;
    // and the port settings dialog's creation (ports listed, the first
    // opened, an open error to OnError).
    void DisableTransferCommands();
    void OpenFirstPort(const PortLister& lister, const std::vector<std::string>& first = {});

    // The 20 ms timer. Does nothing while the timer is disabled. An error of
    // the reopening after a failed link goes to OnError; the timer then stays
    // disabled until the port settings dialog is used.
    void Tick();

    // Closes the port (at exit).
    void Stop();

    LinkEngine& Engine() { return engine_; }
    PortSettings& Ports() { return ports_; }
    ISerialLine& Line() { return *line_; }
    const MainWindowState& State() const { return state_; }
    bool TimerEnabled() const { return timerEnabled_; }

    // The main window's file name (the title shows it after UpdateTitle).
    void SetFileName(WideStringView fileName);

    // Called after any change of State().
    std::function<void()> OnChange;
    // The application's default error display (a message box in the window).
    std::function<void(const LinkError& error)> OnError;
    // Lays the PLU sheet out; until a sheet exists this does nothing.
    std::function<void(bool resetFontBoxes)> OnLayoutSheet;

    // ILinkHost
    void SetStatusText(int panel, WideStringView text) override;
    void SetTransferMenusEnabled(bool enabled) override;
    void UnlockUi() override;
    void UpdateTitle() override;
    void LayoutSheet(bool resetFontBoxes) override;
    void SetTimerEnabled(bool enabled) override;
    void StepPortSettings() override;
    void ApplyAndOpen() override;

    // The transfers lock and unlock the window through these as well.
    void LockUi(bool download);

private:
    void Changed();
    void ReportError(const LinkError& error);

    std::unique_ptr<ISerialLine> line_;
    LinkEngine engine_;
    PortSettings ports_;
    MainWindowState state_;
    bool timerEnabled_ = true;  // Timer1 runs from the moment the window exists
};

}  // namespace plu
