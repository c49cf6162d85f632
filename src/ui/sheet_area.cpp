#include "ui/sheet_area.h"

#include "sheets/grid_sheet.h"
#include "sheets/sheet_control.h"
#include "ui/grid_view.h"
#include "ui/popup_menu_qt.h"

namespace plu {

SheetArea::SheetArea(TVexaSheetControl& control, QWidget* parent)
    : QStackedWidget(parent), control_(control) {
    Sync();
}

GridView* SheetArea::ViewOf(const TVexaGridSheet& sheet) const {
    auto it = views_.find(&sheet);
    return it == views_.end() ? nullptr : it->second;
}

GridView* SheetArea::ActiveView() const {
    const TVexaGridSheet* sheet = control_.ActiveSheet();
    return sheet ? ViewOf(*sheet) : nullptr;
}

void SheetArea::Forget(const TVexaGridSheet* sheet) {
    auto it = views_.find(sheet);
    if (it == views_.end()) return;
    GridView* view = it->second;
    views_.erase(it);
    removeWidget(view);
    view->deleteLater();
}

void SheetArea::Sync() {
    TVexaGridSheet* sheet = control_.ActiveSheet();
    if (!sheet) return;
    GridView* view = ViewOf(*sheet);
    if (!view) {
        view = new GridView(*sheet, this);
        views_[sheet] = view;
        // The sheet goes before its view: the view lets go of it then, and
        // the area drops the view once the event loop is back.
        view->OnGridGone = [this, sheet] { Forget(sheet); };
        InstallGridPopupMenu(*view, *sheet);
        addWidget(view);
        const QSize size = this->size();
        view->resize(size);
    }
    if (currentWidget() != view) {
        const bool hadFocus = currentWidget() && currentWidget()->isAncestorOf(focusWidget());
        setCurrentWidget(view);
        if (hadFocus) view->setFocus(Qt::OtherFocusReason);
    }
}

}  // namespace plu
