// Combo box and drop-down list cells: the items they offer, opening and
// closing the list, tracking keys and clicks while it is open, completion
// while typing, Up/Down cycling and the enter-pending rule.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sheets/cell_geometry.h"
#include "sheets/combo_cells.h"
#include "sheets/data_grid.h"
#include "sheets_test_support.h"

namespace plu::testing {
namespace {

constexpr int kUnit = 2, kList = 3;

// A shell that places the grid's client area at (100, 200) on the screen and
// records what it shows.
class RecordingHost : public IKtDropDownHost {
  public:
    class Window : public IKtDropDownWindow {
      public:
        explicit Window(RecordingHost& host) : host_(host) {}
        ~Window() override { ++host_.closed; }
        void Show(const TPopupListBox& list) override { host_.shown.push_back(list.Bounds()); }
        void Changed(const TPopupListBox&) override { ++host_.changes; }

      private:
        RecordingHost& host_;
    };
    std::unique_ptr<IKtDropDownWindow> CreateDropDownWindow(TPopupListBox&) override {
        return std::make_unique<Window>(*this);
    }
    TPoint ClientToScreen(const TKtCustomGrid&, TPoint p) const override {
        return {p.X + 100, p.Y + 200};
    }
    std::vector<TRect> shown;
    int changes = 0;
    int closed = 0;
};

class ComboTest : public SheetsTest {
  protected:
    ComboTest() {
        grid.SetMeasurer(&measurer_);
        grid.SetView(&view);
        editor.SetDefaultControl(&control);
        grid.SetDropDownHost(&host);
        grid.SetColCount(6);
        grid.SetRowCount(10);
        grid.GetColumn(kUnit).SetCellType(TKtCellType::cellComboBox);
        grid.GetColumn(kUnit).CellItems() = {u"kg", u"lb", u"oz"};
        grid.GetColumn(kList).SetCellType(TKtCellType::cellDropDownList);
        grid.GetColumn(kList).CellItems() = {u"red", u"green"};
    }
    // The combo cell at (col, row), entered as the current cell.
    TKtComboBoxCell& Enter(int col = kUnit, int row = 2) {
        grid.SelectRange(col, row, col, row);
        auto& cell = static_cast<TKtComboBoxCell&>(grid.GetCell(col, row));
        cell.EnterCurrent();  // the cell may have been created after the selection moved
        return cell;
    }
    std::string Value(int col = kUnit, int row = 2) { return U8(grid.GetCell(col, row).GetText()); }
    // The centre of a list item on the screen.
    static TPoint ItemPoint(const TPopupListBox& list, int index) {
        return {list.Bounds().Left + 5,
                list.Bounds().Top + 2 + (index - list.TopIndex()) * list.ItemHeight() + 1};
    }

    NullView view;
    RecordingHost host;
    TKtCustomDataGrid grid;
    FakeEditControl control;
    TKtEditor editor{grid};
};

TEST_F(ComboTest, TypedTextThatMatchesNoItemIsStoredAsTyped) {
    TKtComboBoxCell& cell = Enter();
    GridChar(grid, u'g');
    EXPECT_EQ(U8(control.text), "g");
    EXPECT_FALSE(cell.ClaimsKey(vk::Return, {}));  // Enter commits the editor
    control.Key(vk::Return);
    EXPECT_EQ(Value(), "g");
    EXPECT_EQ(cell.ItemIndex(), -1);
    EXPECT_EQ(grid.CurrentRow(), 3);
}

TEST_F(ComboTest, CompletionSearchesTheOpenListCaseSensitively) {
    TKtComboBoxCell& cell = Enter();
    GridKeyDown(grid, vk::Return);  // enter-pending: opens the list and the editor
    ASSERT_TRUE(cell.DroppedDown());
    ASSERT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.CurrentRow(), 2);
    control.Type(u"k");
    EXPECT_EQ(U8(control.text), "kg");
    EXPECT_EQ(U8(control.Selected()), "g");
    EXPECT_EQ(cell.ItemIndex(), 0);
    EXPECT_EQ(cell.List()->ItemIndex(), 0);
    editor.SetEditText(u"", 0, 0);
    control.Type(u"K");
    EXPECT_EQ(U8(control.text), "K");
    EXPECT_EQ(cell.ItemIndex(), -1);
}

TEST_F(ComboTest, WithTheListClosedOnlyTheCellsOwnItemsComplete) {
    TKtComboBoxCell& cell = Enter();
    GridChar(grid, u'k');
    EXPECT_EQ(U8(control.text), "k");  // the column's pick list is not searched
    control.Key(vk::Escape);
    cell.AddItem(u"kilo");
    cell.AddItem(u"pound");
    GridChar(grid, u'k');
    EXPECT_EQ(U8(control.text), "kilo");
    EXPECT_EQ(U8(control.Selected()), "ilo");
    // Up and Down cycle through the own items, all of the text selected.
    control.Key(vk::Down);
    EXPECT_EQ(U8(control.text), "pound");
    EXPECT_EQ(U8(control.Selected()), "pound");
    control.Key(vk::Down);
    EXPECT_EQ(U8(control.text), "kilo");
    control.Key(vk::Up);
    EXPECT_EQ(U8(control.text), "pound");
    EXPECT_EQ(grid.CurrentRow(), 2);
}

TEST_F(ComboTest, EnterOpensTheListOfAJustEnteredCellAndASecondEnterApplies) {
    TKtComboBoxCell& cell = Enter();
    EXPECT_TRUE(cell.EnterPending());
    EXPECT_FALSE(grid.EditorMode());  // no editor on entering
    EXPECT_TRUE(cell.ClaimsKey(vk::Return, {}));
    EXPECT_TRUE(GridKeyDown(grid, vk::Return));
    ASSERT_TRUE(cell.DroppedDown());
    EXPECT_FALSE(cell.EnterPending());
    EXPECT_EQ(cell.List()->Count(), 3);
    EXPECT_TRUE(cell.TrackKeyDown(vk::Down));  // nothing current: the first
    EXPECT_EQ(Value(), "kg");
    EXPECT_TRUE(cell.TrackKeyDown(vk::Return));
    EXPECT_FALSE(cell.DroppedDown());
    EXPECT_EQ(Value(), "kg");
    EXPECT_EQ(host.closed, 1);
}

TEST_F(ComboTest, OpeningOnTextWithoutAMatchingItemAndEnterClearsTheCell) {
    TKtComboBoxCell& cell = Enter();
    cell.SetText(u"g");
    cell.DropDown();
    EXPECT_EQ(cell.List()->ItemIndex(), -1);
    cell.TrackKeyDown(vk::Return);
    EXPECT_EQ(Value(), "");
    EXPECT_TRUE(cell.IsEmpty());
}

TEST_F(ComboTest, TheListOpensOnTheItemEqualToTheTextIgnoringCase) {
    TKtComboBoxCell& cell = Enter();
    cell.SetText(u"LB");
    cell.DropDown();
    EXPECT_EQ(cell.List()->ItemIndex(), 1);
}

TEST_F(ComboTest, UpAndDownDoNothingWhileNeitherEditingNorOpen) {
    TKtComboBoxCell& cell = Enter();
    cell.SetText(u"lb");
    for (uint16_t key : {vk::Up, vk::Down})
        GridKeyDown(grid, key);
    EXPECT_EQ(grid.CurrentRow(), 2);
    EXPECT_EQ(Value(), "lb");
    EXPECT_FALSE(cell.DroppedDown());
    EXPECT_FALSE(grid.EditorMode());
}

TEST_F(ComboTest, UpAndDownApplyAtOnceAndEscapeKeepsTheApplied) {
    TKtComboBoxCell& cell = Enter();
    cell.SetText(u"kg");
    cell.DropDown();
    cell.TrackKeyDown(vk::Down);
    EXPECT_EQ(Value(), "lb");
    EXPECT_EQ(U8(control.text), "lb");
    EXPECT_FALSE(cell.TrackKeyDown(vk::Escape));  // dispatched to the editor
    control.Key(vk::Escape);
    EXPECT_FALSE(cell.DroppedDown());
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(Value(), "lb");
}

TEST_F(ComboTest, StepsWrapAroundBothEnds) {
    TKtComboBoxCell& cell = Enter();
    cell.SetText(u"oz");
    cell.DropDown();
    cell.TrackKeyDown(vk::Down);
    EXPECT_EQ(Value(), "kg");
    cell.CloseUp(false);
    cell.SetText(u"");
    cell.DropDown();
    cell.TrackKeyDown(vk::Up);  // nothing current: the last
    EXPECT_EQ(Value(), "oz");
    cell.TrackKeyDown(vk::Up);
    EXPECT_EQ(Value(), "lb");
}

TEST_F(ComboTest, AClickElsewhereClosesWithoutApplyingAndStillTakesEffect) {
    TKtComboBoxCell& cell = Enter();
    cell.SetText(u"kg");
    cell.DropDown();
    TPopupListBox& list = *cell.List();
    cell.TrackMouseMove(ItemPoint(list, 2));
    EXPECT_EQ(list.ItemIndex(), 2);
    EXPECT_EQ(Value(), "kg");                  // hovering applies nothing
    EXPECT_TRUE(cell.TrackMouseDown({5, 5}));  // dispatched as usual
    EXPECT_FALSE(cell.DroppedDown());
    EXPECT_EQ(Value(), "kg");
}

TEST_F(ComboTest, ReleasingOnAnItemAppliesIt) {
    TKtComboBoxCell& cell = Enter();
    cell.DropDown();
    TPopupListBox& list = *cell.List();
    EXPECT_TRUE(cell.TrackMouseDown(ItemPoint(list, 1)));
    EXPECT_EQ(list.ItemIndex(), 1);
    EXPECT_FALSE(cell.TrackMouseUp(ItemPoint(list, 2)));
    EXPECT_FALSE(cell.DroppedDown());
    EXPECT_EQ(Value(), "oz");
}

TEST_F(ComboTest, TheButtonTogglesTheList) {
    TKtComboBoxCell& cell = Enter();
    const TRect button = cell.ButtonRect();
    EXPECT_EQ(button.Height(), std::min(17, grid.CellRect(kUnit, 2).Height() - 2));
    EXPECT_TRUE(Mouse(cell, TKtMouseInput::Kind::Down, button.Left + 2, button.Top + 2));
    ASSERT_TRUE(cell.DroppedDown());
    Mouse(cell, TKtMouseInput::Kind::Up, button.Left + 2, button.Top + 2);
    EXPECT_TRUE(cell.DroppedDown());
    // Pressing the button again while tracking closes the list and is not
    // dispatched, so it does not open again.
    EXPECT_FALSE(cell.TrackMouseDown({button.Left + 102, button.Top + 202}));
    EXPECT_FALSE(cell.DroppedDown());
    cell.ButtonClick();
    EXPECT_TRUE(cell.DroppedDown());
    cell.ButtonClick();
    EXPECT_FALSE(cell.DroppedDown());
}

TEST_F(ComboTest, TheEditorEndsWhereTheButtonBegins) {
    TKtComboBoxCell& cell = Enter();
    GridChar(grid, u'x');
    ASSERT_TRUE(editor.IsOpen());
    EXPECT_EQ(editor.Bounds().Right, cell.ButtonRect().Left);
    EXPECT_EQ(editor.Bounds().Left, grid.CellRect(kUnit, 2).Left + 1);
    EXPECT_EQ(cell.TextRect().Right, cell.ButtonRect().Left);
}

TEST_F(ComboTest, TheListOpensBelowTheButtonOnTheScreen) {
    TKtComboBoxCell& cell = Enter();
    cell.DropDown();
    ASSERT_EQ(host.shown.size(), 1u);
    const TRect cellRect = grid.CellRect(kUnit, 2);
    const TRect button = cell.ButtonRect();
    const int itemHeight = measurer_.LineHeight(cell.Font());
    const TRect bounds = host.shown[0];
    EXPECT_EQ(bounds.Right, button.Right + 100);
    EXPECT_EQ(bounds.Top, button.Bottom + 200 + 1);
    EXPECT_EQ(bounds.Height(), 3 * itemHeight + 4);
    EXPECT_EQ(bounds.Width(), cellRect.Width());
    EXPECT_EQ(cell.List()->ItemHeight(), itemHeight);
}

TEST_F(ComboTest, LosingActivationClearingAndLeavingCloseTheList) {
    TKtComboBoxCell& cell = Enter();
    cell.SetText(u"lb");
    cell.DropDown();
    cell.TrackKeyDown(vk::Down);
    cell.ApplicationDeactivated();
    EXPECT_FALSE(cell.DroppedDown());
    EXPECT_EQ(cell.ItemIndex(), 2);
    cell.Clear(false);
    EXPECT_EQ(cell.ItemIndex(), -1);
    cell.DropDown();
    grid.SelectRange(kUnit, 4, kUnit, 4);
    EXPECT_FALSE(cell.DroppedDown());
    EXPECT_FALSE(cell.EnterPending());
}

TEST_F(ComboTest, TheListDoesNotOpenOnACellThatMayNotBeEdited) {
    TKtComboBoxCell& cell = Enter();
    grid.OnCellCanEdit = [](TKtCustomGrid&, TPoint, bool& a) { a = false; };
    cell.DropDown();
    EXPECT_FALSE(cell.DroppedDown());
    GridKeyDown(grid, vk::Return);
    EXPECT_FALSE(cell.DroppedDown());
}

TEST_F(ComboTest, ADropDownListOpensOnAnyPrintableKeyAndIgnoresDelete) {
    auto& cell = Enter(kList);
    cell.SetText(u"green");
    EXPECT_TRUE(GridKeyDown(grid, vk::Delete));
    EXPECT_EQ(Value(kList), "green");
    EXPECT_TRUE(GridChar(grid, u'x'));
    ASSERT_TRUE(cell.DroppedDown());
    EXPECT_FALSE(grid.EditorMode());  // never a text editor
    EXPECT_EQ(Value(kList), "green");
    EXPECT_EQ(cell.List()->ItemIndex(), 1);
    cell.TrackKeyDown(vk::Down);
    cell.TrackKeyDown(vk::Return);
    EXPECT_EQ(Value(kList), "red");
    // Other ways of clearing still work.
    cell.Clear(false);
    EXPECT_EQ(Value(kList), "");
}

TEST_F(ComboTest, AlwaysShowEditorOpensTheListOfADropDownList) {
    grid.SetOptions(grid.Options().With(TGridOption::goAlwaysShowEditor));
    auto& list = Enter(kList);
    EXPECT_TRUE(list.DroppedDown());
    EXPECT_FALSE(grid.EditorMode());
    auto& combo = Enter(kUnit);
    EXPECT_FALSE(list.DroppedDown());  // leaving closes it
    EXPECT_FALSE(combo.DroppedDown());
}

// ---- The list itself -------------------------------------------------------------------

TEST_F(ComboTest, AListOfManyItemsShowsEightRowsAndScrolls) {
    TKtComboBoxCell& cell = Enter();
    for (int i = 0; i < 12; ++i)
        cell.AddItem(u"item" + IntToWide(i));
    cell.DropDown();
    TPopupListBox& list = *cell.List();
    EXPECT_EQ(list.DropDownCount(), 8);
    EXPECT_EQ(list.Bounds().Height(), 8 * list.ItemHeight() + 4);
    list.SetItemIndex(10);
    EXPECT_EQ(list.TopIndex(), 3);
    cell.TrackWheel(-10);
    EXPECT_EQ(list.TopIndex(), 0);
    cell.TrackWheel(10);
    EXPECT_EQ(list.TopIndex(), 4);
    EXPECT_EQ(list.ItemAt(ItemPoint(list, 5)), 5);
    EXPECT_EQ(list.ItemAt({list.Bounds().Left - 1, list.Bounds().Top + 5}), -1);
}

}  // namespace
}  // namespace plu::testing
