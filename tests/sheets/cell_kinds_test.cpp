// The behaviour of the standard cell kinds on toolkit-free input: text
// cells and the editor, spin steps, check box toggles, radio picks, the
// ellipsis button and image values. Combo boxes have their own file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sheets/button_cells.h"
#include "sheets/data_cells.h"
#include "sheets/data_grid.h"
#include "sheets/spin_cells.h"
#include "sheets_test_support.h"

namespace plu::testing {
namespace {

constexpr int kText = 1, kSpin = 3, kCheck = 4, kRadio = 5, kEllipsis = 6, kImage = 7;

class CellKindsTest : public SheetsTest {
  protected:
    CellKindsTest() {
        grid.SetMeasurer(&measurer_);
        grid.SetView(&view);
        editor.SetDefaultControl(&control);
        grid.SetColCount(10);
        grid.SetRowCount(10);
        grid.GetColumn(kText).SetCellType(TKtCellType::cellTextBox);
        grid.GetColumn(kSpin).SetCellType(TKtCellType::cellNumberSpin);
        grid.GetColumn(kCheck).SetCellType(TKtCellType::cellCheckBox);
        grid.GetColumn(kRadio).SetCellType(TKtCellType::cellRadioBox);
        grid.GetColumn(kEllipsis).SetCellType(TKtCellType::cellEllipsisBtn);
        grid.GetColumn(kImage).SetCellType(TKtCellType::cellImageBox);
        grid.OnCompleteEditW = [this](TKtCustomGrid&, TPoint, bool& accept, const WideString& t) {
            asked.push_back(U8(t));
            accept = allow;
        };
    }
    // The cell at (col, 2), made current.
    TKtCell& Current(int col, int row = 2) {
        grid.SelectRange(col, row, col, row);
        return grid.GetCell(col, row);
    }
    std::string Show(int col, int row = 2) { return U8(grid.GetCell(col, row).GetText()); }

    // Declared before the editor, which commits an open edit as it goes.
    std::vector<std::string> asked;
    bool allow = true;
    NullView view;
    TKtCustomDataGrid grid;
    FakeEditControl control;
    TKtEditor editor{grid};
};

// ---- Text cells --------------------------------------------------------------------

TEST_F(CellKindsTest, TypingOnATextCellReplacesItsContentInTheEditor) {
    TKtCell& cell = Current(kText);
    cell.SetText(u"abc");
    EXPECT_TRUE(GridChar(grid, u'5'));
    ASSERT_EQ(editor.Cell(), &cell);
    EXPECT_EQ(U8(control.text), "5");
    control.Key(vk::Escape);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(Show(kText), "abc");
    GridChar(grid, u'7');
    control.Key(vk::Return);
    EXPECT_EQ(Show(kText), "7");
    EXPECT_EQ(asked, std::vector<std::string>{"7"});
    EXPECT_EQ(grid.CurrentRow(), 3);  // committed and moved down
}

TEST_F(CellKindsTest, ControlCharactersOpenTheEditorOnlyWhenTheyMayEdit) {
    int shows = 0;
    grid.OnShowEditor = [&](TKtCustomGrid&) { ++shows; };
    TKtCell& cell = Current(kText);
    for (char16_t ch : {u'\x03', u'\t', u'\r', u'\x16', u'\x18', u'\x1b'}) {
        EXPECT_FALSE(TypeChar(cell, ch)) << static_cast<int>(ch);
        EXPECT_FALSE(grid.EditorMode());
    }
    EXPECT_TRUE(TypeChar(cell, u'\x01'));
    EXPECT_TRUE(grid.EditorMode());
    control.Key(vk::Escape);
    grid.OnCellCanEdit = [](TKtCustomGrid&, TPoint, bool& a) { a = false; };
    EXPECT_FALSE(GridChar(grid, u'x'));
    EXPECT_FALSE(TypeChar(cell, u'\x01'));
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(shows, 1);
}

TEST_F(CellKindsTest, ADoubleClickOpensTheEditorWithTheCaretAtThePointer) {
    TKtCell& cell = Current(kText);
    cell.SetText(u"hello");
    TKtMouseInput click;
    click.What = TKtMouseInput::Kind::DoubleClick;
    click.X = 60;
    click.Y = 30;
    EXPECT_TRUE(cell.DispatchMouse(click));
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(U8(control.text), "hello");
    ASSERT_EQ(control.clicks.size(), 1u);
    EXPECT_EQ(control.clicks[0], (TPoint{60, 30}));
    // A double click on a cell that is not current does nothing.
    control.Key(vk::Escape);
    EXPECT_FALSE(grid.GetCell(kText, 5).DispatchMouse(click));
    EXPECT_FALSE(grid.EditorMode());
}

TEST_F(CellKindsTest, DeleteClearsAndLeavingTheCellCommits) {
    TKtCell& cell = Current(kText);
    cell.SetText(u"abc");
    GridKeyDown(grid, vk::Delete);
    EXPECT_EQ(Show(kText), "");
    GridChar(grid, u'q');
    grid.SelectRange(kText, 3, kText, 3);  // the cell stops being current
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(Show(kText), "q");
    // goAlwaysShowEditor opens the editor as the cell becomes current.
    grid.SetOptions(grid.Options().With(TGridOption::goAlwaysShowEditor));
    Current(kText);
    EXPECT_EQ(editor.Cell(), &grid.GetCell(kText, 2));
}

TEST_F(CellKindsTest, AFormulaInATextCellPicksAReferenceWithoutCommitting) {
    grid.GetCell(2, 4).SetText(u"5");
    TKtCell& cell = Current(kText);
    GridChar(grid, u'=');
    control.Type(u"1+");
    grid.SelectRange(2, 4, 2, 4);  // the mouse picks B4
    ASSERT_EQ(editor.Cell(), &cell);
    EXPECT_EQ(U8(control.text), "=1+B4");
    control.Key(vk::Return);
    EXPECT_EQ(Show(kText), "6");
}

TEST_F(CellKindsTest, ACommitRefusedByCanModifyKeepsTheValue) {
    TKtCell& cell = Current(kText);
    cell.SetText(u"old");
    GridChar(grid, u'n');
    grid.OnCellCanModify = [](TKtCustomGrid&, TPoint, bool& a) { a = false; };
    grid.SetEditorMode(false);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(Show(kText), "old");
}

// ---- Spin cells ---------------------------------------------------------------------

TEST_F(CellKindsTest, PageKeysStepASpinCellAndArrowsMoveOn) {
    TKtCell& cell = Current(kSpin);
    EXPECT_TRUE(GridKeyDown(grid, vk::Prior));
    EXPECT_EQ(Show(kSpin), "1");
    cell.SetText(u"0.5");
    EXPECT_TRUE(GridKeyDown(grid, vk::Next));
    EXPECT_EQ(cell.GetAsFloat(), -0.5);
    EXPECT_EQ(asked, (std::vector<std::string>{"1", "-0.5"}));
    EXPECT_EQ(grid.CurrentRow(), 2);  // the page keys did not scroll
    GridKeyDown(grid, vk::Down);
    EXPECT_EQ(grid.CurrentRow(), 3);
    GridKeyDown(grid, vk::Up);
    EXPECT_EQ(grid.CurrentRow(), 2);
}

TEST_F(CellKindsTest, ASpinStepStaysInsideTheBoundsAndRoundsToEightPlaces) {
    auto& spin = static_cast<TKtNumberSpinCell&>(Current(kSpin));
    EXPECT_FLOAT_EQ(spin.MinValue, -3.4E38f);
    EXPECT_FLOAT_EQ(spin.MaxValue, 3.4E38f);
    EXPECT_FLOAT_EQ(spin.Increment, 1.0f);
    spin.MaxValue = 5;
    spin.MinValue = -1;
    spin.SetText(u"4.5");
    spin.Step(true);
    EXPECT_EQ(spin.GetAsFloat(), 5);
    spin.Step(true);
    EXPECT_EQ(spin.GetAsFloat(), 5);
    spin.SetText(u"-0.5");
    spin.Step(false);
    EXPECT_EQ(spin.GetAsFloat(), -1);
    spin.Increment = 0.1f;
    spin.SetText(u"0.2");
    spin.Step(true);
    EXPECT_EQ(spin.GetAsFloat(), 0.3);
    EXPECT_EQ(Show(kSpin), "0.3");
}

TEST_F(CellKindsTest, ASpinStepOnTextThatIsNoNumberFailsAndChangesNothing) {
    TKtCell& cell = Current(kSpin);
    cell.SetText(u"abc");
    EXPECT_THROW(GridKeyDown(grid, vk::Prior), EConvertError);
    EXPECT_EQ(Show(kSpin), "abc");
    EXPECT_TRUE(asked.empty());
}

TEST_F(CellKindsTest, ARefusedOrUneditableSpinStepChangesNothing) {
    auto& spin = static_cast<TKtNumberSpinCell&>(Current(kSpin));
    spin.SetText(u"3");
    allow = false;
    view.repaints = 0;
    spin.Step(true);
    EXPECT_EQ(Show(kSpin), "3");
    EXPECT_GT(view.repaints, 0);  // repainted all the same
    allow = true;
    spin.Editable = false;
    spin.Step(true);
    EXPECT_EQ(Show(kSpin), "3");
    spin.Editable = true;
    grid.SetAllowEdit(false);
    spin.Step(true);
    EXPECT_EQ(Show(kSpin), "3");
}

TEST_F(CellKindsTest, ClickingTheHalvesOfTheSpinButtonSteps) {
    auto& spin = static_cast<TKtNumberSpinCell&>(Current(kSpin));
    const TRect button = spin.ButtonRect();
    const int x = button.Left + 2;
    EXPECT_EQ(button.Height(), grid.CellRect(kSpin, 2).Height() - 2);
    Mouse(spin, TKtMouseInput::Kind::Down, x, button.Top + 1);
    EXPECT_TRUE(spin.Pressed());
    EXPECT_FALSE(spin.LowerHalf());
    Mouse(spin, TKtMouseInput::Kind::Up, x, button.Top + 1);
    EXPECT_FALSE(spin.Pressed());
    EXPECT_EQ(Show(kSpin), "1");
    Mouse(spin, TKtMouseInput::Kind::Down, x, button.Bottom - 1);
    EXPECT_TRUE(spin.LowerHalf());
    Mouse(spin, TKtMouseInput::Kind::Up, x, button.Bottom - 1);
    EXPECT_EQ(Show(kSpin), "0");
    // Released away from the button: no step.
    Mouse(spin, TKtMouseInput::Kind::Down, x, button.Top + 1);
    Mouse(spin, TKtMouseInput::Kind::Move, button.Left - 30, button.Top + 1);
    EXPECT_FALSE(spin.Hot());
    Mouse(spin, TKtMouseInput::Kind::Up, button.Left - 30, button.Top + 1);
    EXPECT_EQ(Show(kSpin), "0");
    EXPECT_EQ(grid.CaptureCell(), nullptr);
}

// ---- Check box ----------------------------------------------------------------------

TEST_F(CellKindsTest, SpaceTogglesACheckBoxAfterAskingOnCompleteEdit) {
    auto& check = static_cast<TKtCheckBoxCell&>(Current(kCheck));
    check.SetText(u"0");
    EXPECT_TRUE(GridChar(grid, u' '));
    EXPECT_EQ(check.Kind(), TKtValueKind::vkInteger);
    EXPECT_EQ(check.GetAsInteger(), 1);
    EXPECT_TRUE(check.Checked());
    allow = false;
    TypeChar(check, u' ');
    EXPECT_TRUE(check.Checked());
    EXPECT_EQ(asked, (std::vector<std::string>{"True", "False"}));
}

TEST_F(CellKindsTest, AReleaseInsideTheBoxTogglesOnlyTheCurrentCell) {
    auto& check = static_cast<TKtCheckBoxCell&>(Current(kCheck));
    const TRect box = check.BoxRect();
    ASSERT_FALSE(box.IsEmpty());
    EXPECT_EQ(box.Width(), 13);
    Mouse(check, TKtMouseInput::Kind::Up, box.Left + 6, box.Top + 6);
    EXPECT_TRUE(check.Checked());
    Mouse(check, TKtMouseInput::Kind::Up, box.Right + 3, box.Top + 6);
    EXPECT_TRUE(check.Checked());
    auto& other = static_cast<TKtCheckBoxCell&>(grid.GetCell(kCheck, 4));
    const TRect otherBox = other.BoxRect();
    Mouse(other, TKtMouseInput::Kind::Up, otherBox.Left + 6, otherBox.Top + 6);
    EXPECT_FALSE(other.Checked());
    // A caption moves the box to the left edge.
    check.SetCaption(u"Done");
    EXPECT_EQ(check.BoxRect().Left, grid.CellRect(kCheck, 2).Left + 5);
}

// ---- Radio box ----------------------------------------------------------------------

TEST_F(CellKindsTest, DigitKeysPickRadioItems) {
    auto& radio = static_cast<TKtRadioBoxCell&>(Current(kRadio));
    for (const char16_t* item : {u"a", u"b", u"c"})
        radio.AddItem(item);
    EXPECT_TRUE(GridChar(grid, u'2'));
    EXPECT_EQ(radio.GetAsInteger(), 1);
    EXPECT_EQ(radio.CheckedIndex(), 1);
    EXPECT_FALSE(TypeChar(radio, u'4'));
    EXPECT_EQ(radio.GetAsInteger(), 1);
    allow = false;
    TypeChar(radio, u'3');
    EXPECT_EQ(radio.GetAsInteger(), 1);
    EXPECT_EQ(asked, (std::vector<std::string>{"1", "2"}));
    radio.SetText(u"abc");
    EXPECT_EQ(radio.CheckedIndex(), -1);
}

TEST_F(CellKindsTest, ARadioReleaseNearTheLeftEdgePicksTheItemOfItsBand) {
    grid.GetColumn(kRadio).CellItems() = {u"x", u"y", u"z"};
    grid.SetRowHeight(2, 60);
    auto& radio = static_cast<TKtRadioBoxCell&>(Current(kRadio));
    const TRect r = grid.CellRect(kRadio, 2);
    Mouse(radio, TKtMouseInput::Kind::Up, r.Left + 10, r.Top + 45);
    EXPECT_EQ(radio.GetAsInteger(), 2);
    Mouse(radio, TKtMouseInput::Kind::Up, r.Left + 30, r.Top + 5);
    EXPECT_EQ(radio.GetAsInteger(), 2);
    Mouse(radio, TKtMouseInput::Kind::Up, r.Left + 22, r.Top + 5);
    EXPECT_EQ(radio.GetAsInteger(), 0);
    // Own items take precedence over the column's.
    radio.AddItem(u"only");
    EXPECT_EQ(radio.Choices().size(), 1u);
    EXPECT_FALSE(TypeChar(radio, u'2'));
}

// ---- Ellipsis and image ----------------------------------------------------------------

TEST_F(CellKindsTest, TheEllipsisButtonRaisesOnCellButtonClick) {
    std::vector<TPoint> clicks;
    grid.OnCellButtonClick = [&](TKtCell& c, int col, int row) {
        EXPECT_EQ(c.Pos(), (TPoint{col, row}));
        clicks.push_back({col, row});
    };
    auto& cell = static_cast<TKtEllipsisBtnCell&>(Current(kEllipsis));
    const TRect button = cell.ButtonRect();
    EXPECT_EQ(button.Height(), grid.CellRect(kEllipsis, 2).Height() - 2);
    EXPECT_TRUE(Mouse(cell, TKtMouseInput::Kind::Down, button.Left + 3, button.Top + 3));
    EXPECT_TRUE(clicks.empty());
    Mouse(cell, TKtMouseInput::Kind::Up, button.Left + 3, button.Top + 3);
    EXPECT_EQ(clicks, std::vector<TPoint>{(TPoint{kEllipsis, 2})});
    Mouse(cell, TKtMouseInput::Kind::Down, button.Left + 3, button.Top + 3);
    Mouse(cell, TKtMouseInput::Kind::Move, button.Left - 10, button.Top + 3);
    Mouse(cell, TKtMouseInput::Kind::Up, button.Left - 10, button.Top + 3);
    EXPECT_EQ(clicks.size(), 1u);
    // A press that the shell cancels does nothing either.
    Mouse(cell, TKtMouseInput::Kind::Down, button.Left + 3, button.Top + 3);
    cell.CancelMode();
    EXPECT_FALSE(cell.Pressed());
    Mouse(cell, TKtMouseInput::Kind::Up, button.Left + 3, button.Top + 3);
    EXPECT_EQ(clicks.size(), 1u);
}

TEST_F(CellKindsTest, AnImageCellIndexesThePictureList) {
    auto& image = static_cast<TKtImageCell&>(grid.GetCell(kImage, 2));
    EXPECT_EQ(image.PictureIndex(), -1);
    EXPECT_EQ(image.Picture(), nullptr);
    TKtPicture picture;
    picture.Type = TKtPicture::Bitmap;
    picture.Data = {1, 2, 3};
    grid.AddPicture(picture);
    image.SetPictureIndex(0);
    ASSERT_NE(image.Picture(), nullptr);
    EXPECT_EQ(image.Picture()->Data.size(), 3u);
    image.SetText(u"picture");
    EXPECT_EQ(image.PictureIndex(), -1);
    image.SetText(u"7");
    EXPECT_EQ(image.PictureIndex(), 7);
    EXPECT_EQ(image.Picture(), nullptr);
}

}  // namespace
}  // namespace plu::testing
