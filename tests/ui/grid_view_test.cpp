// The grid on screen, driven with real Qt key, mouse and input-method events
// on the offscreen platform: the wiring between the widgets and the core
// (the rules themselves are tested in tests/grid).
#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QInputMethodEvent>
#include <QScrollBar>

#include "grid/grid_selection.h"
#include "sheets/grid_sheet.h"
#include "ui/grid_accessible.h"
#include "ui/grid_view.h"
#include "ui/qt_convert.h"
#include "ui_test_support.h"

namespace plu {
namespace {

using testing::RecordedErrors;
using testing::WaitFor;

class GridViewTest : public ::testing::Test, protected testing::ShownSheet {
  protected:
    GridViewTest() : ShownSheet(300, 10, 640, 400, [](TVexaGridSheet&) { InstallGridAccessibility(); }) {
        sheet->SelectRange(1, 1, 1, 1);
    }
    QWidget* Keys() const {
        QWidget* w = QApplication::focusWidget();
        return w ? w : view.get();
    }
    void Type(const QString& text) {
        for (QChar c : text) QTest::keyClicks(Keys(), QString(c));
    }
    QPoint CellCentre(int col, int row) const {
        return ToQRect(sheet->CellRect(col, row)).center();
    }
    WideString Text(int col, int row) const {
        const TKtCell* c = sheet->FindCell(col, row);
        return c ? c->GetText(false) : WideString();
    }
};

TEST_F(GridViewTest, TypingOpensTheEditorAndEnterCommitsAndMoves) {
    Type(QStringLiteral("12"));
    ASSERT_TRUE(view->Editor()->IsOpen());
    EXPECT_TRUE(view->EditControl()->Widget().isVisible());
    QTest::keyClick(Keys(), Qt::Key_Return);
    EXPECT_FALSE(view->Editor()->IsOpen());
    EXPECT_EQ(Text(1, 1), u"12");
    EXPECT_EQ(sheet->Selection().Current(), (TPoint{1, 2}));
}

TEST_F(GridViewTest, ControlCharactersDoNotOpenTheEditor) {
    QTest::keyClick(view.get(), Qt::Key_Backspace);
    QTest::keyClick(view.get(), Qt::Key_B, Qt::ControlModifier);
    EXPECT_FALSE(view->Editor()->IsOpen());
}

TEST_F(GridViewTest, AltEnterTypesALineBreakThatTheCellKeeps) {
    Type(QStringLiteral("x"));
    QTest::keyClick(Keys(), Qt::Key_Return, Qt::AltModifier);
    Type(QStringLiteral("y"));
    EXPECT_TRUE(view->EditControl()->MultiLine());
    QTest::keyClick(Keys(), Qt::Key_Return);
    EXPECT_EQ(Text(1, 1), u"x\r\ny");
}

TEST_F(GridViewTest, ARefusedCommitKeepsTheEditorOpenAndEscapeCancels) {
    sheet->OnCompleteEditW = [](TKtCustomGrid&, TPoint, bool& accept, const WideString&) { accept = false; };
    Type(QStringLiteral("abc"));
    QTest::keyClick(Keys(), Qt::Key_Return);
    EXPECT_TRUE(view->Editor()->IsOpen());
    EXPECT_EQ(view->EditControl()->Text(), u"abc");
    QTest::keyClick(Keys(), Qt::Key_Escape);
    EXPECT_FALSE(view->Editor()->IsOpen());
    EXPECT_EQ(Text(1, 1), u"");
}

TEST_F(GridViewTest, AnInputMethodCompositionOpensTheCell) {
    QInputMethodEvent preedit(QStringLiteral("zhong"), {});
    QCoreApplication::sendEvent(view.get(), &preedit);
    ASSERT_TRUE(view->Editor()->IsOpen());
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("中文"));
    QCoreApplication::sendEvent(QApplication::focusWidget(), &commit);
    QTest::keyClick(Keys(), Qt::Key_Return);
    EXPECT_EQ(Text(1, 1), u"中文");
}

TEST_F(GridViewTest, AnErrorInAGridEventReachesTheErrorDisplayAndTheProgramGoesOn) {
    RecordedErrors errors;
    sheet->OnCellTextChanged = [](TKtCell&, int, int) { throw Exception(u"handler failed"); };
    Type(QStringLiteral("7"));
    QTest::keyClick(Keys(), Qt::Key_Return);
    ASSERT_EQ(errors.shown.size(), 1);
    EXPECT_EQ(errors.shown[0], QStringLiteral("handler failed"));
    sheet->OnCellTextChanged = nullptr;
    QTest::keyClick(Keys(), Qt::Key_Down);
    EXPECT_GT(sheet->Selection().Current().Y, 1);
}

TEST_F(GridViewTest, AClickMovesTheCurrentCellAndADoubleClickEdits) {
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, CellCentre(3, 4));
    EXPECT_EQ(sheet->Selection().Current(), (TPoint{3, 4}));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, CellCentre(3, 4));
    EXPECT_TRUE(view->Editor()->IsOpen());
}

TEST_F(GridViewTest, ScrollBarsMoveTheGridByRows) {
    QScrollBar* bar = view->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 200);
    bar->setValue(10);
    EXPECT_EQ(sheet->TopRow(), sheet->ViewLockRow() + 10);
    sheet->SetTopRow(sheet->ViewLockRow() + 20);
    EXPECT_EQ(bar->value(), 20);
}

TEST_F(GridViewTest, TheEditorStaysOverItsCellWhileTheGridScrolls) {
    Type(QStringLiteral("q"));
    QWidget& editor = view->EditControl()->Widget();
    const QRect before = editor.geometry();
    view->verticalScrollBar()->setValue(1);
    EXPECT_FALSE(editor.isVisible());
    view->verticalScrollBar()->setValue(0);
    EXPECT_TRUE(editor.isVisible());
    EXPECT_EQ(editor.geometry(), before);
    EXPECT_EQ(view->EditControl()->Text(), u"q");
}

TEST_F(GridViewTest, AGridDestroyedBeforeItsViewLeavesTheViewEmpty) {
    Type(QStringLiteral("z"));
    bool gone = false;
    view->OnGridGone = [&] { gone = true; };
    sheet.reset();
    EXPECT_TRUE(gone);
    EXPECT_EQ(view->Grid(), nullptr);
    view->repaint();
    QTest::keyClick(view.get(), Qt::Key_Down);
}

TEST_F(GridViewTest, TheAccessibleTableReadsCellsHeadersAndTheCurrentCell) {
    sheet->GetCell(2, 1).SetText(u"Unit");
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(view.get());
    ASSERT_NE(table, nullptr);
    QAccessibleTableInterface* t = table->tableInterface();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->rowCount(), 299);
    EXPECT_EQ(t->columnCount(), 9);
    EXPECT_EQ(t->cellAt(0, 1)->text(QAccessible::Name), QStringLiteral("Unit"));
    EXPECT_EQ(t->columnDescription(1), QStringLiteral("B"));
    EXPECT_EQ(t->rowDescription(0), QStringLiteral("1"));
    QTest::keyClick(view.get(), Qt::Key_Right);
    QAccessibleInterface* focus = table->focusChild();
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(focus->text(QAccessible::Name), QStringLiteral("Unit"));
    EXPECT_TRUE(focus->state().focused);
    EXPECT_TRUE(focus->tableCellInterface()->isSelected());
}

}  // namespace
}  // namespace plu

int main(int argc, char** argv) { return plu::testing::RunWidgetTests(argc, argv); }
