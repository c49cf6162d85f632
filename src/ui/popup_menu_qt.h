// The core's popup menus on screen: a QMenu built from the menu data (its
// captions with "&" mnemonics, check marks, enabled and visible states,
// separators and submenus). A submenu is rebuilt each time it opens, after
// its OnPopup has run, so entries that OnPopup changes (the column list)
// are current. Commands run on the UI thread under GuardUi: a failing one
// reaches the error display and the program goes on. The menu is shown
// with popup(), not exec(): no nested event loop, and it deletes itself
// when it closes.
#pragma once

#include <QMenu>
#include <QPoint>

namespace plu {

class TKtMenuItem;
class TKtPopupMenu;
class GridView;
class TKtCustomDataGrid;

// Fills menu with the sub-items of item (menu is cleared first).
void FillMenu(QMenu& menu, TKtMenuItem& item);

// Shows menu at a screen point; answers the QMenu (owned by itself).
QMenu* PopupMenuAt(TKtPopupMenu& menu, const QPoint& global, QWidget* parent);

// A right-click menu request on the view shows the grid's PopupMenu (none
// when the grid has none).
void InstallGridPopupMenu(GridView& view, TKtCustomDataGrid& grid);

}  // namespace plu
