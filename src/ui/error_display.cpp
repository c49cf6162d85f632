#include "ui/error_display.h"

#include <QApplication>
#include <QMessageBox>
#include <stdexcept>

#include "base/exceptions.h"
#include "ui/qt_convert.h"

namespace plu {

namespace {

UiErrorDisplay& Display() {
    static UiErrorDisplay display;
    return display;
}

}  // namespace

QString ErrorText(const std::exception& error) {
    if (const auto* own = dynamic_cast<const Exception*>(&error)) return ToQt(own->Message());
    return QString::fromUtf8(error.what());
}

void ShowUiError(const std::exception& error) {
    const QString text = ErrorText(error);
    if (Display()) {
        Display()(text);
        return;
    }
    // Not modal to the event loop: timers and the serial link go on while
    // the box is open, and an error raised inside a paint cannot nest boxes.
    auto* box = new QMessageBox(QMessageBox::Critical, QApplication::applicationName(), text,
                                QMessageBox::Ok, QApplication::activeWindow());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void SetUiErrorDisplay(UiErrorDisplay display) { Display() = std::move(display); }

}  // namespace plu
