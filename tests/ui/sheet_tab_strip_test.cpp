// The tab strip under the sheet area, with real Qt mouse and key events:
// the new-sheet tab, renaming with the edit box, navigation, the splitter
// and the active sheet's horizontal scroll bar.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QLineEdit>
#include <QScrollBar>
#include <QVBoxLayout>

#include "sheets/grid_sheet.h"
#include "sheets/sheet_control.h"
#include "ui/grid_view.h"
#include "ui/qt_convert.h"
#include "ui/sheet_area.h"
#include "ui/sheet_tab_strip.h"
#include "ui_test_support.h"

namespace plu {
namespace {

class SheetTabStripTest : public ::testing::Test {
  protected:
    SheetTabStripTest() {
        control.SetSheetBaseName(u"Sheet");
        control.DisableTabSync();
        control.FreeAllSheets();
        control.AddSheet(u"Sheet1");
        control.ActivateSheet(0);
        window = std::make_unique<QWidget>();
        auto* column = new QVBoxLayout(window.get());
        column->setContentsMargins(0, 0, 0, 0);
        area = new SheetArea(control, window.get());
        column->addWidget(area);
        strip = new SheetTabStrip(control, *area, window.get());
        column->addWidget(strip);
        window->resize(640, 300);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        strip->Sync();
    }
    ~SheetTabStripTest() override { window.reset(); }
    QPoint TabPoint(int tab) const {
        const TRect r = strip->Layout().TabRect(tab);
        return {r.Left + r.Width() / 2, strip->height() / 2};
    }
    std::string Active() const { return WideToUtf8(control.ActiveSheet()->Caption()); }

    TVexaSheetControl control;
    std::unique_ptr<QWidget> window;
    SheetArea* area = nullptr;
    SheetTabStrip* strip = nullptr;
};

TEST_F(SheetTabStripTest, TheNewSheetTabAddsASheetAndTabsSwitchBack) {
    QTest::mouseClick(strip, Qt::LeftButton, {}, TabPoint(1));
    ASSERT_EQ(control.SheetCount(), 2);
    EXPECT_EQ(Active(), "Sheet2");
    EXPECT_EQ(area->currentWidget(), area->ActiveView());
    QTest::mouseClick(strip, Qt::LeftButton, {}, TabPoint(0));
    EXPECT_EQ(Active(), "Sheet1");
    EXPECT_EQ(area->currentWidget(), area->ActiveView());
}

TEST_F(SheetTabStripTest, CaptionsOfALargeSheetFontFitTheStrip) {
    control.Font().SetSize(24);
    strip->Sync();
    QTest::mouseDClick(strip, Qt::LeftButton, {}, TabPoint(0));
    const QFontMetrics metrics(strip->RenameBox()->font());
    EXPECT_LE(metrics.height(), strip->height());
    EXPECT_EQ(strip->RenameBox()->font().family(), ToQFont(control.Font()).family());
}

TEST_F(SheetTabStripTest, ADoubleClickRenamesInABoxOverTheTab) {
    QTest::mouseDClick(strip, Qt::LeftButton, {}, TabPoint(0));
    QLineEdit* box = strip->RenameBox();
    ASSERT_TRUE(box->isVisible());
    EXPECT_EQ(box->geometry(), ToQRect(strip->Layout().RenameRect(0)));
    EXPECT_EQ(box->selectedText(), QStringLiteral("Sheet1"));
    QTest::keyClicks(box, QStringLiteral("Prices"));
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(Active(), "Prices");
    EXPECT_EQ(WideToUtf8(control.Tabs()[0].Caption), "Prices");
    // Escape leaves the name.
    QTest::mouseDClick(strip, Qt::LeftButton, {}, TabPoint(0));
    QTest::keyClicks(strip->RenameBox(), QStringLiteral("X"));
    QTest::keyClick(strip->RenameBox(), Qt::Key_Escape);
    EXPECT_EQ(Active(), "Prices");
}

TEST_F(SheetTabStripTest, AnAccessibilityClientReadsTheCaptionsAndTheActiveTab) {
    QTest::mouseClick(strip, Qt::LeftButton, {}, TabPoint(1));  // adds Sheet2, active
    QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(strip);
    ASSERT_NE(acc, nullptr);
    EXPECT_EQ(acc->role(), QAccessible::PageTabList);
    QStringList names;
    QString active;
    for (int i = 0; i < acc->childCount(); ++i) {
        QAccessibleInterface* child = acc->child(i);
        if (!child || child->role() != QAccessible::PageTab) continue;
        EXPECT_EQ(acc->indexOfChild(child), i);
        names << child->text(QAccessible::Name);
        if (child->state().selected) active = child->text(QAccessible::Name);
    }
    EXPECT_EQ(names, (QStringList{"Sheet1", "Sheet2", "*"}));
    EXPECT_EQ(active, QStringLiteral("Sheet2"));
}

TEST_F(SheetTabStripTest, TheScrollBarEndsWhereTheSheetsVerticalBarBegins) {
    const QScrollBar* vertical = area->ActiveView()->verticalScrollBar();
    ASSERT_TRUE(vertical->isVisible());  // a hundred rows do not fit
    EXPECT_EQ(strip->ScrollBar()->geometry().right() + 1, strip->width() - vertical->width());
}

TEST_F(SheetTabStripTest, HidingTheStripGivesTheSheetItsOwnHorizontalScrollBar) {
    control.SetShowTabset(false);
    strip->Sync();
    EXPECT_FALSE(strip->isVisible());
    EXPECT_EQ(area->ActiveView()->horizontalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    control.SetShowTabset(true);
    strip->Sync();
    EXPECT_TRUE(strip->isVisible());
    EXPECT_EQ(area->ActiveView()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

TEST_F(SheetTabStripTest, TheSplitterResizesTheScrollBarKeepingItsRightEdge) {
    const QRect before = strip->ScrollBar()->geometry();
    const TRect splitter = strip->Layout().SplitterRect();
    const QPoint grip(splitter.Left + 2, 5);
    QTest::mousePress(strip, Qt::LeftButton, {}, grip);
    QTest::mouseMove(strip, grip - QPoint(100, 0));
    QTest::mouseRelease(strip, Qt::LeftButton, {}, grip - QPoint(100, 0));
    EXPECT_EQ(control.HorzScrollBarLength(), before.width() + 100);
    EXPECT_EQ(strip->ScrollBar()->geometry().right(), before.right());
}

TEST_F(SheetTabStripTest, TheScrollBarFollowsAndScrollsTheActiveSheet) {
    GridView* view = area->ActiveView();
    ASSERT_NE(view, nullptr);
    EXPECT_FALSE(view->horizontalScrollBar()->isVisible());  // the strip carries it
    EXPECT_EQ(strip->ScrollBar()->maximum(), view->horizontalScrollBar()->maximum());
    ASSERT_GT(strip->ScrollBar()->maximum(), 0);
    const int last = strip->ScrollBar()->maximum();
    strip->ScrollBar()->setValue(last);
    EXPECT_EQ(control.ActiveSheet()->LeftCol(), control.ActiveSheet()->ViewLockCol() + last);
    control.ActiveSheet()->SetLeftCol(control.ActiveSheet()->ViewLockCol());
    QApplication::processEvents();
    EXPECT_EQ(strip->ScrollBar()->value(), 0);
}

}  // namespace
}  // namespace plu
