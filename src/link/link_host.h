// What the link engine asks of the main window. The application implements
// it (the window and the command line share that implementation).
#pragma once

#include "base/wide_text.h"

namespace plu {

// Status bar panels: 0 port settings, 1 link state, 2 transfer progress.
constexpr int kPortPanel = 0;
constexpr int kLinkPanel = 1;
constexpr int kProgressPanel = 2;

class ILinkHost {
public:
    virtual ~ILinkHost() = default;
    virtual void SetStatusText(int panel, WideStringView text) = 0;
    // The menu items UpLoad, DownLoad and Pair.
    virtual void SetTransferMenusEnabled(bool enabled) = 0;
    // Re-enables the file, edit and serial commands after a transfer.
    virtual void UnlockUi() = 0;
    // Rebuilds the window title from ModelName, Preset55 and the file name.
    virtual void UpdateTitle() = 0;
    // Lays the PLU sheet out again (key count, unit pick list).
    virtual void LayoutSheet(bool resetFontBoxes) = 0;
    // The 20 ms timer that calls LinkEngine::Timer1Timer.
    virtual void SetTimerEnabled(bool enabled) = 0;
    // Moves the port settings on like an odometer: data format, baud rate, port.
    virtual void StepPortSettings() = 0;
    // Applies the current port settings, opens the port, sends a link poll and
    // enables the timer. Throws the port's error when it cannot open.
    virtual void ApplyAndOpen() = 0;
};

}  // namespace plu
