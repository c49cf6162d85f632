// The application's default error display, reached from every Qt event
// handler: Qt does not let an exception travel through its event loop (the
// process would end), so each forwarded event, timer and paint runs in
// GuardUi, which hands whatever it raises to the display and goes on.
#pragma once

#include <QString>
#include <exception>
#include <functional>

namespace plu {

// The error's text as the user reads it (the core's own message texts).
QString ErrorText(const std::exception& error);

// Shows the error: by default a message box with the error's text, not
// blocking the event loop. Tests and the window may replace the display.
void ShowUiError(const std::exception& error);
using UiErrorDisplay = std::function<void(const QString& text)>;
// Installs a display; an empty one restores the message box.
void SetUiErrorDisplay(UiErrorDisplay display);

template <typename Work>
void GuardUi(Work&& work) noexcept {
    try {
        work();
    } catch (const std::exception& e) {
        ShowUiError(e);
    } catch (...) {
        ShowUiError(std::runtime_error("Unknown error."));
    }
}

}  // namespace plu
