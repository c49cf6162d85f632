#include "ui/small_form.h"

#include <QPalette>
#include <QWidget>

namespace plu {

void StyleSmallForm(QWidget& form, const QString& caption) {
    form.setWindowTitle(caption);
    form.setAccessibleName(caption);
    // A window of its own (not a dialog frame) so that it can be minimised;
    // no maximise button, and the fixed size gives it a single border.
    form.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                        Qt::WindowCloseButtonHint);
    form.setFixedSize(kSmallFormWidth, kSmallFormHeight);
    QPalette palette = form.palette();
    palette.setColor(QPalette::Window, kMoneyGreen);
    form.setPalette(palette);
    form.setAutoFillBackground(true);
}

void CentreOnParent(QWidget& form) {
    const QWidget* parent = form.parentWidget();
    if (!parent) return;
    const QRect owner = parent->window()->frameGeometry();
    QRect placed = form.frameGeometry();
    placed.moveCenter(owner.center());
    form.move(placed.topLeft());
}

}  // namespace plu
