// The cell kinds reached through the grid's mouse layer and key table, as
// the window feeds them: a held spin button repeating on timer ticks, the
// second press of a double click on a button, header sort clicks, and the
// Delete key against a kind that consumes it.
#include <gtest/gtest.h>

#include "base/conversions.h"
#include "grid/grid_mouse.h"
#include "grid/grid_selection.h"
#include "sheets/cell_geometry.h"
#include "sheets/combo_cells.h"
#include "sheets/data_grid.h"
#include "sheets/header_cell.h"
#include "sheets/spin_cells.h"
#include "sheets_test_support.h"

namespace plu::testing {
namespace {

constexpr int kText = 1, kSpin = 2, kList = 3;

class CellKindInputTest : public SheetsTest {
  protected:
    CellKindInputTest() {
        grid.SetMeasurer(&measurer_);
        grid.SetView(&view);
        grid.SetClientSize(600, 300);
        editor.SetDefaultControl(&control);
        grid.SetColCount(6);
        grid.SetRowCount(8);
        grid.GetColumn(kText).SetCellType(TKtCellType::cellTextBox);
        grid.GetColumn(kSpin).SetCellType(TKtCellType::cellNumberSpin);
        grid.GetColumn(kList).SetCellType(TKtCellType::cellDropDownList);
        grid.GetColumn(kList).CellItems().push_back(u"kg");
        grid.SetColWidth(kSpin, 80);
    }
    TKtNumberSpinCell& CurrentSpin() {
        grid.SelectRange(kSpin, 2, kSpin, 2);
        return static_cast<TKtNumberSpinCell&>(grid.GetCell(kSpin, 2));
    }
    // Ticks as the view's timer gives them while the mouse layer asks.
    void HoldFor(int milliseconds) {
        for (int t = 0; t < milliseconds; t += TKtGridMouse::kAutoScrollInterval) {
            if (!mouse.NeedsAutoScroll()) return;
            mouse.Tick();
        }
    }
    double Value() { return grid.GetCell(kSpin, 2).GetAsFloat(); }

    NullView view;
    TKtCustomDataGrid grid;
    FakeEditControl control;
    TKtEditor editor{grid};
    TKtGridMouse mouse{grid};
};

TEST_F(CellKindInputTest, AHeldSpinHalfRepeatsAfterTheDelayAndItsReleaseAddsNoStep) {
    const TRect button = CurrentSpin().ButtonRect();
    const int x = button.Left + 2, y = button.Top + 1;
    mouse.MouseDown(TMouseButton::mbLeft, {}, x, y);
    EXPECT_TRUE(mouse.NeedsAutoScroll());
    HoldFor(TKtBaseSpinCell::kSpinRepeatDelay - TKtGridMouse::kAutoScrollInterval);
    EXPECT_EQ(Value(), 0);  // not yet
    HoldFor(5 * TKtBaseSpinCell::kSpinRepeatInterval);
    const double held = Value();  // one step each interval after the delay
    EXPECT_GE(held, 5);
    EXPECT_LE(held, 6);
    // Away from the button the repeat pauses; the timer is not needed.
    mouse.MouseMove({}, button.Left - 40, y);
    EXPECT_FALSE(mouse.NeedsAutoScroll());
    mouse.MouseMove({}, x, y);
    mouse.MouseUp(TMouseButton::mbLeft, {}, x, y);
    EXPECT_EQ(Value(), held);
    EXPECT_FALSE(mouse.NeedsAutoScroll());
}

TEST_F(CellKindInputTest, AQuickClickStepsOnceOnRelease) {
    const TRect button = CurrentSpin().ButtonRect();
    mouse.MouseDown(TMouseButton::mbLeft, {}, button.Left + 2, button.Bottom - 2);
    HoldFor(3 * TKtGridMouse::kAutoScrollInterval);
    mouse.MouseUp(TMouseButton::mbLeft, {}, button.Left + 2, button.Bottom - 2);
    EXPECT_EQ(Value(), -1);
}

TEST_F(CellKindInputTest, ARepeatThatFailsReleasesTheButtonAndRaisesOnce) {
    TKtNumberSpinCell& spin = CurrentSpin();
    spin.SetText(u"abc");
    const TRect button = spin.ButtonRect();
    mouse.MouseDown(TMouseButton::mbLeft, {}, button.Left + 2, button.Top + 1);
    int errors = 0;
    for (int t = 0; t < 2 * TKtBaseSpinCell::kSpinRepeatDelay && mouse.NeedsAutoScroll();
         t += TKtGridMouse::kAutoScrollInterval) {
        try {
            mouse.Tick();
        } catch (const EConvertError&) {
            ++errors;
        }
    }
    EXPECT_EQ(errors, 1);
    EXPECT_FALSE(spin.Pressed());
    EXPECT_EQ(U8(spin.GetText()), "abc");
}

TEST_F(CellKindInputTest, TheSecondPressOfADoubleClickOnASpinStepsAndOpensNoEditor) {
    const TRect button = CurrentSpin().ButtonRect();
    const int x = button.Left + 2, y = button.Top + 1;
    mouse.MouseDown(TMouseButton::mbLeft, {}, x, y);
    mouse.MouseUp(TMouseButton::mbLeft, {}, x, y);
    mouse.DoubleClick(TMouseButton::mbLeft, {}, x, y);
    mouse.MouseUp(TMouseButton::mbLeft, {}, x, y);
    EXPECT_EQ(Value(), 2);  // one step for each press
    EXPECT_FALSE(grid.EditorMode());
    // The text part of the same cell opens the editor on a double click.
    const TRect cell = grid.CellRect(kSpin, 2);
    mouse.MouseDown(TMouseButton::mbLeft, {}, cell.Left + 3, y);
    mouse.MouseUp(TMouseButton::mbLeft, {}, cell.Left + 3, y);
    mouse.DoubleClick(TMouseButton::mbLeft, {}, cell.Left + 3, y);
    mouse.MouseUp(TMouseButton::mbLeft, {}, cell.Left + 3, y);
    EXPECT_TRUE(grid.EditorMode());
}

TEST_F(CellKindInputTest, AClickOnAHeadersArrowAreaSortsThroughTheMouse) {
    grid.SetColWidth(kText, 90);
    grid.GetCell(kText, 3).SetText(u"b");
    grid.GetCell(kText, 4).SetText(u"c");
    auto& header = static_cast<TKtDataHeaderCell2&>(grid.GetCell(kText, 0));
    const TRect area = header.ArrowArea();
    ASSERT_FALSE(area.IsEmpty());
    mouse.MouseDown(TMouseButton::mbLeft, {}, area.Left + 3, area.Top + 3);
    mouse.MouseUp(TMouseButton::mbLeft, {}, area.Left + 3, area.Top + 3);
    EXPECT_EQ(grid.GetColumn(kText).SortState(), kSortDescending);
    EXPECT_EQ(U8(grid.GetCell(kText, 1).GetText()), "c");
    // The same header left of the area only selects the column.
    const TRect cell = grid.CellRect(kText, 0);
    mouse.MouseDown(TMouseButton::mbLeft, {}, cell.Left + 3, area.Top + 3);
    mouse.MouseUp(TMouseButton::mbLeft, {}, cell.Left + 3, area.Top + 3);
    EXPECT_EQ(grid.GetColumn(kText).SortState(), kSortDescending);
}

TEST_F(CellKindInputTest, AHeaderWithoutACellObjectSortsOnItsArrowArea) {
    grid.SetColWidth(kText, 90);
    grid.GetCell(kText, 3).SetText(u"b");
    grid.GetCell(kText, 4).SetText(u"c");
    ASSERT_EQ(grid.FindCell(kText, 0), nullptr);
    const TRect cell = grid.CellRect(kText, 0);
    const int x = cell.Right - 5, y = cell.Top + 3;
    mouse.MouseDown(TMouseButton::mbLeft, {}, x, y);
    mouse.MouseUp(TMouseButton::mbLeft, {}, x, y);
    EXPECT_EQ(grid.GetColumn(kText).SortState(), kSortDescending);
    // Other header and body positions are not created by a press.
    mouse.MouseDown(TMouseButton::mbLeft, {}, grid.CellRect(0, 5).Left + 3,
                    grid.CellRect(0, 5).Top + 3);
    mouse.MouseUp(TMouseButton::mbLeft, {}, grid.CellRect(0, 5).Left + 3,
                  grid.CellRect(0, 5).Top + 3);
    EXPECT_EQ(grid.FindCell(0, 5), nullptr);
}

TEST_F(CellKindInputTest, DeleteClearsTheSelectionUnlessTheCurrentKindConsumesIt) {
    grid.GetCell(kText, 2).SetText(u"a");
    grid.GetCell(kList, 2).SetText(u"kg");
    grid.SelectRange(kText, 2, kList, 2);  // current (kText, 2)
    EXPECT_TRUE(GridKeyDown(grid, vk::Delete));
    EXPECT_EQ(U8(grid.GetCell(kText, 2).GetText()), "");
    EXPECT_EQ(U8(grid.GetCell(kList, 2).GetText()), "");

    grid.GetCell(kText, 2).SetText(u"a");
    grid.GetCell(kList, 2).SetText(u"kg");
    grid.SelectRange(kList, 2, kText, 2);  // the same cells, current (kList, 2)
    GridKeyDown(grid, vk::Delete);
    EXPECT_EQ(U8(grid.GetCell(kList, 2).GetText()), "kg");
}

}  // namespace
}  // namespace plu::testing
