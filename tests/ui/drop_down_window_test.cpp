// A combo cell's list on a grid view, with real Qt events: the list window
// neither activates nor takes the keyboard, keys and clicks reach the
// cell's tracking rules, and an accessibility client reads its items.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QListWidget>

#include "grid/grid_selection.h"
#include "sheets/combo_cells.h"
#include "sheets/grid_sheet.h"
#include "ui/drop_down_window.h"
#include "ui/grid_view.h"
#include "ui/qt_convert.h"
#include "ui_test_support.h"

namespace plu {
namespace {

using testing::WaitFor;

constexpr int kUnit = 2;

class DropDownWindowTest : public ::testing::Test, protected testing::ShownSheet {
  protected:
    DropDownWindowTest()
        : ShownSheet(20, 6, 500, 300, [](TVexaGridSheet& s) {
              s.GetColumn(kUnit).SetCellType(TKtCellType::cellComboBox);
              for (const char16_t* unit : {u"kg", u"lb", u"oz"})
                  s.GetColumn(kUnit).CellItems().push_back(unit);
              s.SetColWidth(kUnit, 90);
          }) {
        sheet->SelectRange(kUnit, 2, kUnit, 2);
        combo = &static_cast<TKtComboBoxCell&>(sheet->GetCell(kUnit, 2));
    }
    void ClickButton() {
        const TRect b = combo->ButtonRect();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(b.Left + 3, b.Top + 3));
    }
    static QListWidget* OpenList() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* list = dynamic_cast<DropDownListWidget*>(w); list && list->isVisible())
                return list;
        return nullptr;
    }
    std::string Text() const { return WideToUtf8(combo->GetText()); }

    TKtComboBoxCell* combo = nullptr;
};

TEST_F(DropDownWindowTest, TheListOpensBelowTheCellWithoutTakingTheKeyboard) {
    ClickButton();
    ASSERT_TRUE(combo->DroppedDown());
    QListWidget* list = OpenList();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->windowFlags() & Qt::ToolTip);
    EXPECT_EQ(list->count(), 3);
    EXPECT_EQ(list->geometry(), ToQRect(combo->List()->Bounds()));
    EXPECT_FALSE(list->hasFocus());
    // The shadow: 4 pixels along the right and bottom edges.
    QWidget* shadow = static_cast<DropDownListWidget*>(list)->Shadow();
    EXPECT_TRUE(shadow->isVisible());
    EXPECT_EQ(shadow->geometry(), list->geometry().translated(4, 4));
    EXPECT_FALSE(shadow->mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(shadow->mask().contains(QPoint(list->width() - 2, list->height() - 2)));
    EXPECT_NE(QApplication::focusWidget(), list);
    // Typing goes on to the in-place editor while the list tracks.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("l"));
    EXPECT_TRUE(combo->DroppedDown());
    EXPECT_EQ(list->currentRow(), 1);  // completed to "lb"
}

TEST_F(DropDownWindowTest, DownAppliesTheNextItemAndEnterClosesTheList) {
    combo->SetText(u"kg");
    ClickButton();
    ASSERT_TRUE(combo->DroppedDown());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(Text(), "lb");
    EXPECT_EQ(OpenList()->currentRow(), 1);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_TRUE(WaitFor([] { return OpenList() == nullptr; }, 1000));
}

TEST_F(DropDownWindowTest, ClickingAnItemAppliesItAndClickingElsewhereDoesNot) {
    ClickButton();
    QListWidget* list = OpenList();
    ASSERT_NE(list, nullptr);
    const QRect third = list->visualItemRect(list->item(2));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_FALSE(combo->DroppedDown());
    sheet->SelectRange(kUnit, 2, kUnit, 2);
    EXPECT_EQ(Text(), "oz");

    ClickButton();
    ASSERT_TRUE(combo->DroppedDown());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                      ToQRect(sheet->CellRect(1, 5)).center());
    EXPECT_FALSE(combo->DroppedDown());
    EXPECT_EQ(sheet->Selection().Current(), (TPoint{1, 5}));  // the click took effect
    EXPECT_EQ(WideToUtf8(sheet->GetCell(kUnit, 2).GetText()), "oz");
}

TEST_F(DropDownWindowTest, AnAccessibilityClientReadsTheItems) {
    ClickButton();
    QListWidget* list = OpenList();
    ASSERT_NE(list, nullptr);
    QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(list);
    ASSERT_NE(acc, nullptr);
    EXPECT_EQ(acc->role(), QAccessible::List);
    QStringList names;
    for (int i = 0; i < acc->childCount(); ++i)
        if (QAccessibleInterface* child = acc->child(i)) names << child->text(QAccessible::Name);
    EXPECT_TRUE(names.contains(QStringLiteral("kg")));
    EXPECT_TRUE(names.contains(QStringLiteral("oz")));
}

}  // namespace
}  // namespace plu
