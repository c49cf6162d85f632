#include "ui/color_controls.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <vector>

#include "ui/error_display.h"
#include "ui/qt_canvas.h"
#include "ui/qt_convert.h"

namespace plu {

// ---- TKtToolButton ------------------------------------------------------------------------------

TKtToolButton::TKtToolButton(QWidget* parent) : QToolButton(parent) {
    // The arrow is drawn and sized as Qt's menu button part; no menu is set,
    // the press on it is handled below.
    setPopupMode(QToolButton::MenuButtonPopup);
}

void TKtToolButton::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    ColorChanged();
}

QRect TKtToolButton::ArrowRect() const {
    QStyleOptionToolButton option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ToolButton, &option, QStyle::SC_ToolButtonMenu, this);
}

void TKtToolButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isEnabled() &&
        ArrowRect().contains(event->position().toPoint())) {
        event->accept();
        if (OnDropDown) GuardUi([&] { OnDropDown(); });
        return;
    }
    QToolButton::mousePressEvent(event);
}

// ---- TKtColorToolButton --------------------------------------------------------------------------

void TKtColorToolButton::paintEvent(QPaintEvent* event) {
    QToolButton::paintEvent(event);
    QPainter painter(this);
    const TColor shown = Color() == kAutomaticColor ? clWindowText : Color();
    QColor strip = ToQColor(shown);
    if (!isEnabled()) strip = palette().color(QPalette::Disabled, QPalette::ButtonText);
    painter.fillRect(StripRect(height()), strip);
}

// ---- ColorBoxWidget ------------------------------------------------------------------------------

ColorBoxWidget::ColorBoxWidget(TKtColorBox& box, QWidget* parent) : QWidget(parent), box_(box) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(false);
    resize(box_.Width(), box_.Height());
    box_.OnInvalidate = [this] { update(); };
    box_.OnResize = [this] { resize(box_.Width(), box_.Height()); };
}

ColorBoxWidget::~ColorBoxWidget() {
    box_.OnInvalidate = nullptr;
    box_.OnResize = nullptr;
}

void ColorBoxWidget::paintEvent(QPaintEvent* event) {
    GuardUi([&] {
        QPainter painter(this);
        QtCanvas canvas(painter, event->region());
        box_.Paint(canvas);
    });
}

void ColorBoxWidget::resizeEvent(QResizeEvent*) { box_.SetBounds(width(), height()); }

void ColorBoxWidget::mousePressEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    pressed_ = true;
    GuardUi([&] { box_.MouseDown(p.x(), p.y()); });
}

void ColorBoxWidget::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    GuardUi([&] { box_.MouseMove(p.x(), p.y(), (event->buttons() & Qt::LeftButton) != 0); });
}

void ColorBoxWidget::mouseReleaseEvent(QMouseEvent* event) {
    const bool pressedHere = pressed_;
    pressed_ = false;
    if (pressedHere && rect().contains(event->position().toPoint()))
        GuardUi([&] { box_.Click(); });
}

void ColorBoxWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    GuardUi([&] {
        box_.MouseDown(p.x(), p.y());
        box_.DblClick();
    });
}

// ---- TKtPopupPanel -------------------------------------------------------------------------------

// The floating window of a dropped-down panel.
class TPopup : public QFrame {
  public:
    TPopup(TKtPopupPanel& panel, QWidget* owner) : QFrame(owner, Qt::Popup), panel_(&panel) {
        setFrameStyle(QFrame::Panel | QFrame::Raised);
        setLineWidth(1);
        setAttribute(Qt::WA_DeleteOnClose, false);
        setAccessibleName(panel.accessibleName());
    }
    void Detach() { panel_ = nullptr; }

    struct Moved {
        QPointer<QWidget> widget;
        QPoint position;
    };
    std::vector<Moved> children;

  protected:
    void closeEvent(QCloseEvent* event) override {
        QFrame::closeEvent(event);
        if (event->isAccepted() && panel_) {
            TKtPopupPanel* panel = panel_;
            panel_ = nullptr;
            panel->PopupClosed();
        }
    }

  private:
    TKtPopupPanel* panel_;
};

TKtPopupPanel::TKtPopupPanel(QWidget* parent) : QWidget(parent) {
    QWidget::setVisible(false);
    setAutoFillBackground(true);
}

TKtPopupPanel::~TKtPopupPanel() {
    if (TPopup* popup = Floating()) {
        OnClose = nullptr;
        popup->Detach();
        delete popup;  // the children go with it, as they would with the panel
    }
}

TPopup* TKtPopupPanel::Floating() const { return static_cast<TPopup*>(popup_.data()); }

QWidget* TKtPopupPanel::PopupWindow() const { return popup_; }

void TKtPopupPanel::Popup(QWidget* button, int alignment) {
    CloseNow();  // one floating window per panel
    button_ = button;
    auto* popup = new TPopup(*this, button ? button->window() : nullptr);
    popup->setPalette(palette());
    popup->setAutoFillBackground(true);
    const int frame = popup->frameWidth();
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        popup->children.push_back({child, child->pos()});
        child->setParent(popup);
        child->move(child->pos() + QPoint(frame, frame));
        child->show();
    }
    popup->resize(width() + 2 * frame, height() + 2 * frame);
    QPoint at(0, 0);
    if (button) {
        const QPoint bottomLeft = button->mapToGlobal(QPoint(0, button->height()));
        at = bottomLeft;
        if (alignment == RightAligned)
            at.setX(button->mapToGlobal(QPoint(button->width(), 0)).x() - popup->width());
    }
    // The client rectangle, not the frame position: a popup has no window
    // decoration, and some platforms still report frame margins for it.
    popup->setGeometry(QRect(at, popup->size()));
    popup_ = popup;
    popup->show();
    popup->activateWindow();
    popup->setFocus(Qt::PopupFocusReason);
}

void TKtPopupPanel::CloseNow() {
    if (popup_) popup_->close();
}

void TKtPopupPanel::ClosePopup() {
    if (!popup_) return;
    QPointer<QFrame> popup = popup_;
    QMetaObject::invokeMethod(
        popup_.data(), [popup] { if (popup) popup->close(); }, Qt::QueuedConnection);
}

void TKtPopupPanel::PopupClosed() {
    TPopup* popup = Floating();
    if (!popup) return;
    popup->hide();
    for (const TPopup::Moved& moved : popup->children) {
        if (!moved.widget) continue;
        moved.widget->setParent(this);
        moved.widget->move(moved.position);
        moved.widget->show();
    }
    popup_ = nullptr;
    popup->deleteLater();
    if (OnClose) GuardUi([&] { OnClose(*this); });
}

}  // namespace plu
