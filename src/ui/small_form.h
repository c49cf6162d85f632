// The look the two small dialogs ("Comm Port", "Date And Time") share: a
// fixed 209 x 204 client area, a title bar with the system menu and the
// minimise button only, money green behind the controls, and a place
// centred on the main window each time they are shown.
#pragma once

#include <QColor>
#include <QString>

class QWidget;

namespace plu {

inline constexpr int kSmallFormWidth = 209;
inline constexpr int kSmallFormHeight = 204;
// The classic "money green" system colour.
inline const QColor kMoneyGreen{0xC0, 0xDC, 0xC0};

// Caption, accessible name, size, window buttons and background.
void StyleSmallForm(QWidget& form, const QString& caption);
// Centres a top-level form on its parent's window (where it has one).
void CentreOnParent(QWidget& form);

}  // namespace plu
