// The window of a combo cell's open list on screen, and the host that makes
// it. The window never activates and never takes the keyboard (a tool-tip
// window shown without activation): while it is open the in-place editor
// keeps receiving what the user types. Instead of a nested event loop the
// window watches the application's input with an event filter for as long
// as it is shown and hands it to the cell's tracking rules (Track*): a press
// outside the list closes it and goes on to its target, Up, Down and Enter
// go to the list, the wheel over the list scrolls it, and the application
// losing activation closes it. The list is an accessible list: a screen
// reader reads its items and the current one.
#pragma once

#include <QListWidget>
#include <memory>

#include "sheets/popup_list_box.h"

namespace plu {

class DropDownListWidget : public QListWidget {
  public:
    explicit DropDownListWidget(TPopupListBox& list);
    ~DropDownListWidget() override;
    // The 4-pixel shadow along the list's right and bottom edges (a window
    // of its own, shown beneath the list).
    QWidget* Shadow() const { return shadow_; }
    // The list is gone (the cell closed it): the widget stops tracking and
    // hides; it is deleted later, since the close may come from inside one
    // of its own event handlers.
    void Detach();
    void ShowList();
    void Sync();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;

  private:
    TPopupListBox* list_;
    QWidget* shadow_;
    int wheelRest_ = 0;
};

// Makes DropDownListWidget windows for the grids of the window.
class QtDropDownHost : public IKtDropDownHost {
  public:
    std::unique_ptr<IKtDropDownWindow> CreateDropDownWindow(TPopupListBox& list) override;
    TPoint ClientToScreen(const TKtCustomGrid& grid, TPoint client) const override;
};

// The process-wide host (stateless).
QtDropDownHost& DropDownHost();

}  // namespace plu
