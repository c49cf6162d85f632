// The drop-down list of a combo cell (TPopupListBox): the items it shows,
// its current item, its scroll position and where it lies on the screen.
// The list is data; the shell shows it through IKtDropDownWindow, created by
// the grid's IKtDropDownHost. Without a host (command line, tests) the list
// works the same, only nothing is drawn.
#pragma once

#include <memory>
#include <vector>

#include "base/font.h"
#include "base/wide_text.h"
#include "grid/grid_types.h"

namespace plu {

class TKtComboBoxCell;
class TKtCustomGrid;
class TPopupListBox;

// The shell's window of an open list: topmost, never taking focus or
// activation, with a 4-pixel shadow along its right and bottom edges, while
// the form's caption stays drawn active. It lives as long as the list is open.
class IKtDropDownWindow {
  public:
    virtual ~IKtDropDownWindow() = default;
    virtual void Show(const TPopupListBox& list) = 0;
    // The current item or the scroll position changed.
    virtual void Changed(const TPopupListBox& list) = 0;
};

class IKtDropDownHost {
  public:
    virtual ~IKtDropDownHost() = default;
    virtual std::unique_ptr<IKtDropDownWindow> CreateDropDownWindow(TPopupListBox& list) = 0;
    // A point of the grid's client area in screen pixels.
    virtual TPoint ClientToScreen(const TKtCustomGrid& grid, TPoint client) const = 0;
};

class TPopupListBox {
  public:
    TPopupListBox(TKtComboBoxCell& cell, std::vector<WideString> items, const TFont& font,
                  int itemHeight);
    ~TPopupListBox();
    TPopupListBox(const TPopupListBox&) = delete;
    TPopupListBox& operator=(const TPopupListBox&) = delete;

    TKtComboBoxCell& Cell() const { return *cell_; }
    const std::vector<WideString>& Items() const { return items_; }
    int Count() const { return static_cast<int>(items_.size()); }
    // The item text, "" outside the list.
    WideString Item(int index) const;
    // Rows shown at most (8).
    int DropDownCount() const;
    const TFont& Font() const { return font_; }
    int ItemHeight() const { return itemHeight_; }

    // -1 for none; an index outside the items means none. The list scrolls
    // so that the current item is shown.
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int index);
    // The first item shown.
    int TopIndex() const { return topIndex_; }
    // Scrolls by rows (positive: down), within the items.
    void ScrollBy(int rows);

    // Screen pixels.
    const TRect& Bounds() const { return bounds_; }
    void SetBounds(const TRect& bounds) { bounds_ = bounds; }
    bool Contains(TPoint screen) const { return bounds_.Contains(screen.X, screen.Y); }
    // The item under a screen point, -1 when none.
    int ItemAt(TPoint screen) const;

    // Shows the list through the host's window (nothing without a host).
    void Show(IKtDropDownHost* host);

  private:
    void Changed();

    TKtComboBoxCell* cell_;
    std::vector<WideString> items_;
    TFont font_;
    int itemHeight_;
    int itemIndex_ = -1;
    int topIndex_ = 0;
    TRect bounds_{};
    std::unique_ptr<IKtDropDownWindow> window_;
};

}  // namespace plu
