// The worksheet's popup menu as a Qt menu, opened by a real context-menu
// request on the sheet's view: its items, a command acting on the current
// cell, the freeze item's check mark, the column submenu rebuilt as it opens.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QMenu>

#include "sheets/grid_sheet.h"
#include "sheets/sheet_control.h"
#include "ui/grid_view.h"
#include "ui/qt_convert.h"
#include "ui/sheet_area.h"
#include "ui_test_support.h"

namespace plu {
namespace {

class PopupMenuQtTest : public ::testing::Test {
  protected:
    PopupMenuQtTest() {
        control.SetSheetBaseName(u"Sheet");
        control.DisableTabSync();
        control.FreeAllSheets();
        control.AddSheet(u"Sheet1");
        control.ActivateSheet(0);
        area = std::make_unique<SheetArea>(control);
        area->resize(500, 300);
        area->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(area.get()));
        sheet = control.ActiveSheet();
        // Attaching gave the sheet the control's menu (none); the
        // application may give it back its own.
        sheet->SetPopupMenu(&sheet->DefaultPopupMenu());
    }
    ~PopupMenuQtTest() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<QMenu*>(w)) w->close();
        area.reset();
    }
    QMenu* OpenMenu() {
        QWidget* viewport = area->ActiveView()->viewport();
        const QPoint at = ToQRect(sheet->CellRect(2, 3)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
        QApplication::sendEvent(viewport, &event);
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* menu = qobject_cast<QMenu*>(w); menu && menu->isVisible()) return menu;
        return nullptr;
    }
    static QAction* Find(QMenu* menu, const QString& text) {
        for (QAction* a : menu->actions())
            if (a->text() == text) return a;
        return nullptr;
    }

    TVexaSheetControl control;
    std::unique_ptr<SheetArea> area;
    TVexaGridSheet* sheet = nullptr;
};

TEST_F(PopupMenuQtTest, AContextRequestShowsTheSheetsMenuAndItsCommandsWork) {
    sheet->SelectRange(2, 3, 2, 3);
    sheet->GetCell(2, 3).SetText(u"x");
    QMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(Find(menu, QStringLiteral("插入行")), nullptr);
    EXPECT_NE(Find(menu, QStringLiteral("复制(&C)")), nullptr);
    Find(menu, QStringLiteral("插入行"))->trigger();
    EXPECT_EQ(WideToUtf8(sheet->GetCell(2, 4).GetText()), "x");  // the row moved down
}

TEST_F(PopupMenuQtTest, ASheetWithoutAMenuShowsNone) {
    sheet->SetPopupMenu(nullptr);
    EXPECT_EQ(OpenMenu(), nullptr);
}

TEST_F(PopupMenuQtTest, TheFreezeItemTogglesWithItsCheckMark) {
    sheet->SelectRange(3, 4, 3, 4);
    QMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    QAction* freeze = Find(menu, QStringLiteral("冻结行列"));
    ASSERT_NE(freeze, nullptr);
    EXPECT_FALSE(freeze->isChecked());
    freeze->trigger();
    EXPECT_EQ(sheet->ViewLockRow(), 4);
    menu->close();
    menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(Find(menu, QStringLiteral("冻结行列"))->isChecked());
    Find(menu, QStringLiteral("冻结行列"))->trigger();
    EXPECT_EQ(sheet->ViewLockRow(), sheet->FixedRowCount());
}

TEST_F(PopupMenuQtTest, TheColumnSubmenuIsRebuiltWhenItOpens) {
    QMenu* menu = OpenMenu();
    ASSERT_NE(menu, nullptr);
    QAction* columns = Find(menu, QStringLiteral("显示列"));
    ASSERT_NE(columns, nullptr);
    ASSERT_NE(columns->menu(), nullptr);
    Q_EMIT columns->menu()->aboutToShow();
    EXPECT_EQ(columns->menu()->actions().size(), sheet->ColCount());
    QAction* second = columns->menu()->actions().at(2);
    EXPECT_TRUE(second->isChecked());
    second->trigger();
    EXPECT_FALSE(sheet->IsColVisible(2));
}

}  // namespace
}  // namespace plu
