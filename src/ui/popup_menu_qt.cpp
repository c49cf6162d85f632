#include "ui/popup_menu_qt.h"

#include <QContextMenuEvent>
#include <QPointer>

#include "sheets/data_grid.h"
#include "sheets/popup_menu.h"
#include "ui/error_display.h"
#include "ui/grid_view.h"
#include "ui/qt_convert.h"

namespace plu {

namespace {

class GridMenuFilter : public QObject {
  public:
    GridMenuFilter(GridView& view, TKtCustomDataGrid& grid)
        : QObject(&view), view_(view), grid_(grid) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::ContextMenu) return false;
        TKtPopupMenu* menu = nullptr;
        GuardUi([&] { menu = grid_.PopupMenu(); });
        if (!menu) return false;
        PopupMenuAt(*menu, static_cast<QContextMenuEvent*>(event)->globalPos(), &view_);
        return true;
    }

  private:
    GridView& view_;
    TKtCustomDataGrid& grid_;
};

}  // namespace

void FillMenu(QMenu& menu, TKtMenuItem& item) {
    menu.clear();
    for (int i = 0; i < item.Count(); ++i) {
        TKtMenuItem& entry = item.Items(i);
        if (!entry.Visible) continue;
        if (entry.IsSeparator()) {
            menu.addSeparator();
            continue;
        }
        const QString caption = ToQt(entry.Caption());
        if (entry.Count() > 0 || entry.OnPopup) {
            QMenu* sub = menu.addMenu(caption);
            sub->setEnabled(entry.Enabled);
            TKtMenuItem* source = &entry;
            // Filled now for accessibility and keyboard travel, again as it opens.
            FillMenu(*sub, entry);
            QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, source] {
                GuardUi([&] {
                    source->Popup();
                    FillMenu(*sub, *source);
                });
            });
            continue;
        }
        QAction* action = menu.addAction(caption);
        action->setEnabled(entry.Enabled);
        action->setCheckable(entry.Checked);
        action->setChecked(entry.Checked);
        TKtMenuItem* source = &entry;
        QObject::connect(action, &QAction::triggered, &menu,
                         [source] { GuardUi([&] { source->Click(); }); });
    }
}

QMenu* PopupMenuAt(TKtPopupMenu& menu, const QPoint& global, QWidget* parent) {
    auto* shown = new QMenu(parent);
    shown->setAttribute(Qt::WA_DeleteOnClose);
    shown->setAccessibleName(ToQt(menu.Name()));
    GuardUi([&] { FillMenu(*shown, menu.Items()); });
    shown->popup(global);
    return shown;
}

void InstallGridPopupMenu(GridView& view, TKtCustomDataGrid& grid) {
    view.viewport()->installEventFilter(new GridMenuFilter(view, grid));
}

}  // namespace plu
