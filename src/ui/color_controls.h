// The colour pickers' widgets: a tool button whose drop-down arrow raises an
// event instead of opening a menu, the same with a colour strip under its
// picture, the colour box widget (TKtColorBox painted and driven through the
// canvas) and the popup panel that floats its children under a button.
#pragma once

#include <QFrame>
#include <QPointer>
#include <QToolButton>
#include <functional>

#include "app/color_box.h"
#include "base/color.h"

namespace plu {

// A tool button with a drop-down arrow beside its body: a click on the body
// triggers its action, a press on the arrow raises OnDropDown.
class TKtToolButton : public QToolButton {
  public:
    explicit TKtToolButton(QWidget* parent = nullptr);

    // The button's own colour (black by default, not its parent's).
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    // The arrow part of the button, in widget pixels.
    QRect ArrowRect() const;

    std::function<void()> OnDropDown;

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    virtual void ColorChanged() {}

  private:
    TColor color_ = clBlack;
};

// A drop-down tool button that shows its Color as a strip under the
// picture: x 3 ... 19, y height - 5 ... height - 2 (the automatic colour
// shows as the default text colour).
class TKtColorToolButton : public TKtToolButton {
  public:
    explicit TKtColorToolButton(QWidget* parent = nullptr) : TKtToolButton(parent) {}
    static QRect StripRect(int height) { return QRect(3, height - 5, 16, 3); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void ColorChanged() override { update(); }
};

// Shows a TKtColorBox (owned elsewhere) and forwards size and mouse to it.
class ColorBoxWidget : public QWidget {
  public:
    ColorBoxWidget(TKtColorBox& box, QWidget* parent = nullptr);
    ~ColorBoxWidget() override;
    TKtColorBox& Box() const { return box_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    TKtColorBox& box_;
    // The press of this gesture happened here: a release that follows the
    // press which opened the popup is not a click on a colour.
    bool pressed_ = false;
};

class TPopup;

// An invisible container. Popup moves its children into a floating
// window (a popup: it closes on a click outside and when the application
// loses the focus) placed under a button; closing moves them back and
// raises OnClose, during which Button() tells who dropped the panel down.
// Only one floating window exists per panel at a time.
class TKtPopupPanel : public QWidget {
  public:
    enum Alignment { LeftAligned = 0, RightAligned = 1 };

    explicit TKtPopupPanel(QWidget* parent = nullptr);
    ~TKtPopupPanel() override;

    void Popup(QWidget* button, int alignment);
    // Asks the floating window to close (after the current event);
    // nothing when the panel is folded.
    void ClosePopup();
    // Closes the floating window at once (OnClose runs before this returns).
    void CloseNow();
    bool IsDroppedDown() const { return popup_ != nullptr; }
    // The floating window while dropped down.
    QWidget* PopupWindow() const;
    QWidget* Button() const { return button_; }

    std::function<void(TKtPopupPanel& sender)> OnClose;

  private:
    friend class TPopup;
    void PopupClosed();

    TPopup* Floating() const;

    QPointer<QWidget> button_;
    // The floating window (a TPopup); it belongs to the button's window,
    // which may delete it first.
    QPointer<QFrame> popup_;
};

}  // namespace plu
