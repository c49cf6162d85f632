#include "grid/editor.h"

#include <gtest/gtest.h>

#include "grid/editor_fake_control.h"
#include "grid/editor_keys.h"
#include "grid/format_list.h"
#include "grid_test_support.h"

using namespace plu;
using namespace plu::testing;

namespace {

class RecordingHost : public IKtEditorHost {
  public:
    int gridFocus = 0;
    int beeps = 0;
    bool showExceptions = true;
    std::vector<std::string> shown;
    void FocusGrid() override { ++gridFocus; }
    void Beep() override { ++beeps; }
    bool ShowException(const std::exception& e) override {
        if (!showExceptions) return false;
        shown.push_back(e.what());
        return true;
    }
};

class RecordingClipboard : public IKtGridClipboard {
  public:
    WideString text;
    int copies = 0, cuts = 0, pastes = 0;
    void Copy(TKtCustomGrid&, const TRect&, bool cut) override { ++(cut ? cuts : copies); }
    void Paste(TKtCustomGrid&, const TRect&, int) override { ++pastes; }
    void PutText(WideStringView t) override { text = WideString(t); }
};

// A text cell that takes every key the grid forwards to it, so that a test
// sees which keys the editor handed to the grid.
class KeyRecordingCell : public TKwProEditCell {
  public:
    using TKwProEditCell::TKwProEditCell;
    static const TKtCellClass& Class() {
        static const TKtCellClassOf<KeyRecordingCell> cls("KeyRecordingCell");
        return cls;
    }
    const TKtCellClass& CellClass() const override { return Class(); }
    void KeyDown(uint16_t& key, TShiftState) override {
        keys.push_back(key);
        key = 0;
    }
    static inline std::vector<uint16_t> keys;
};

class Editing : public GridTest {
  protected:
    Editing() : editor(grid) {
        editor.SetDefaultControl(&control);
        editor.SetHost(&host);
        grid.SetClipboard(&clipboard);
        grid.SetRowCount(50);
        grid.SetColCount(8);
        grid.SelectRange(1, 1, 1, 1);
    }
    bool Down(uint16_t key, TShiftState shift = {}) { return GridKeyDown(grid, key, shift); }
    bool Press(char16_t ch) { return GridKeyPress(grid, ch); }
    TPoint Current() const { return grid.Selection().Current(); }
    WideString Text(int c, int r) { return grid.GetCell(c, r).GetText(); }
    static TShiftState With(TShift s) { return TShiftState{}.With(s); }

    TKtEditor editor;
    FakeEditControl control;
    RecordingHost host;
    RecordingClipboard clipboard;
};

}  // namespace

TEST_F(Editing, TypingReplacesTheTextAndEscapeRestoresIt) {
    grid.GetCell(1, 1).SetText(u"abc");
    EXPECT_TRUE(Press(u'5'));
    ASSERT_TRUE(grid.EditorMode());
    EXPECT_EQ(control.text, u"5");
    EXPECT_EQ(Text(1, 1), u"abc");  // nothing committed yet
    EXPECT_TRUE(Down(vk::Escape));
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_FALSE(editor.IsOpen());
    EXPECT_EQ(Text(1, 1), u"abc");
    EXPECT_EQ(Current(), (TPoint{1, 1}));

    // Ctrl+A, Ctrl+C, Tab, Enter, Ctrl+V, Ctrl+X, Ctrl+Y, Ctrl+Z and Escape never open it.
    for (char16_t ch : {1, 3, 9, 13, 22, 24, 25, 26, 27}) {
        EXPECT_FALSE(Press(ch)) << int(ch);
        EXPECT_FALSE(grid.EditorMode()) << int(ch);
    }
}

TEST_F(Editing, OnlyPrintableCharactersOpenTheEditor) {
    grid.GetCell(1, 1).SetText(u"abc");
    // Backspace, Ctrl+B, Ctrl+Q, Ctrl+_ and Delete are commands, not text.
    for (char16_t ch : {8, 2, 17, 31, 127}) {
        EXPECT_FALSE(Press(ch)) << int(ch);
        EXPECT_FALSE(grid.EditorMode()) << int(ch);
    }
    EXPECT_EQ(Text(1, 1), u"abc");
    // A character beyond the 8-bit range starts an edit like any other.
    EXPECT_TRUE(Press(u'中'));
    ASSERT_TRUE(grid.EditorMode());
    EXPECT_EQ(control.text, u"中");
}

TEST_F(Editing, ASelectionMoveFromCodeKeepsTheCurrentCellWhileTheCommitIsRefused) {
    grid.OnCompleteEditW = [](TKtCustomGrid&, TPoint, bool& accept, const WideString& t) {
        accept = t != u"bad";
    };
    Press(u'b');
    control.Type(u"ad");
    grid.Selection().SetCurrent(3, 4, true);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(editor.Cell(), &grid.GetCell(1, 1));
    EXPECT_EQ(Current(), (TPoint{1, 1}));
    EXPECT_EQ(grid.Selection().Rect(), TRect::Cell(1, 1));
    // An accepted commit lets the move happen.
    control.Type(u"\b\bdd");
    grid.Selection().SetCurrent(3, 4, true);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(Current(), (TPoint{3, 4}));
    EXPECT_EQ(Text(1, 1), u"bdd");
}

TEST_F(Editing, ExchangingRowsCommitsTheOpenEditFirst) {
    Press(u'x');
    grid.ExchangeRows(1, 3);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_FALSE(editor.IsOpen());
    // The committed text moved with its row.
    EXPECT_EQ(Text(1, 3), u"x");
    EXPECT_EQ(Text(1, 1), u"");
}

TEST_F(Editing, F2LoadsTheFullPrecisionEditTextSelected) {
    TKtCell& cell = grid.GetCell(1, 1);
    cell.SetAsFloat(1.5);
    cell.OwnStyle().SetFormatString(u".00");
    ASSERT_EQ(cell.GetText(), u"1.50");
    EXPECT_TRUE(Down(vk::F2));
    EXPECT_EQ(control.text, u"1.5");
    EXPECT_EQ(control.SelStart(), 0);
    EXPECT_EQ(control.SelLength(), 3);
    EXPECT_FALSE(control.multiLine);
    // F2 again keeps what was typed.
    control.Type(u"7");
    Down(vk::F2);
    EXPECT_EQ(control.text, u"7");
}

TEST_F(Editing, ShowPlacesTheControlOverTheCellWithItsColourAndFont) {
    grid.OnCellGetColor = [](TKtCustomGrid&, TPoint, TColor& c) { c = 0x123456; };
    grid.GetCell(2, 2).OwnFont().SetName(u"Arial");
    int shows = 0, hides = 0, loads = 0;
    grid.OnShowEditor = [&](TKtCustomGrid&) { ++shows; };
    grid.OnHideEditor = [&](TKtCustomGrid&) { ++hides; };
    grid.OnEditorLoadCell = [&](TKtCustomGrid&, TPoint p, TKtEditControl& c) {
        EXPECT_EQ(p, (TPoint{2, 2}));
        EXPECT_EQ(&c, &control);
        ++loads;
    };
    grid.SelectRange(2, 2, 2, 2);
    grid.SetEditorMode(true);
    const TRect cell = grid.CellRect(2, 2);
    EXPECT_EQ(control.bounds, (TRect{cell.Left + 1, cell.Top + 1, cell.Right, cell.Bottom}));
    EXPECT_EQ(editor.Bounds(), control.bounds);
    EXPECT_TRUE(control.visible);
    EXPECT_EQ(control.color, 0x123456);
    EXPECT_EQ(control.font.Name(), u"Arial");
    EXPECT_EQ(control.Cell(), &grid.GetCell(2, 2));
    EXPECT_EQ(control.focused, 1);
    EXPECT_EQ(shows, 1);
    EXPECT_EQ(loads, 1);

    view.Reset();
    Down(vk::Escape);
    EXPECT_FALSE(control.visible);
    EXPECT_EQ(control.Cell(), nullptr);
    EXPECT_LE(editor.Bounds().Right, 0);
    EXPECT_LE(editor.Bounds().Bottom, 0);
    EXPECT_EQ(control.cancelModes, 1);
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(host.gridFocus, 1);
    ASSERT_FALSE(view.rects.empty());
    EXPECT_TRUE(view.rects.front().Contains(cell.Inflated(-1)));
}

TEST_F(Editing, OnGetCellEditorChoosesTheControlAndClassesAreCreatedOnce) {
    int created = 0;
    editor.SetControlFactory([&](std::string_view name) -> std::unique_ptr<TKtEditControl> {
        ++created;
        if (name != "TKwComboBox") return nullptr;
        return std::make_unique<FakeEditControl>();
    });
    TKtEditControl* combo = editor.GetEditorControl("TKwComboBox");
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(editor.GetEditorControl("TKwComboBox"), combo);
    EXPECT_EQ(editor.GetEditorControl("Unknown"), nullptr);
    EXPECT_EQ(created, 2);
    EXPECT_FALSE(combo->Visible());
    EXPECT_EQ(combo->Editor(), &editor);

    grid.OnGetCellEditor = [&](TKtCustomGrid&, TPoint p, TKtEditControl*& e) {
        if (p.X == 3) e = combo;
    };
    grid.GetCell(3, 1).SetText(u"x");
    grid.SelectRange(3, 1, 3, 1);
    grid.SetEditorMode(true);
    EXPECT_EQ(editor.Control(), combo);
    EXPECT_TRUE(combo->Visible());
    EXPECT_EQ(combo->Text(), u"x");
    static_cast<FakeEditControl*>(combo)->Type(u"yz");
    Down(vk::Tab);  // commits through the combo control and moves right
    EXPECT_EQ(Text(3, 1), u"yz");
    EXPECT_EQ(Current(), (TPoint{4, 1}));
    grid.SetEditorMode(true);
    EXPECT_EQ(editor.Control(), &control);
    EXPECT_FALSE(combo->Visible());
    EXPECT_EQ(combo->Editor(), &editor);  // cached controls stay hosted

    // A control the application lends goes back unhosted.
    FakeEditControl lent;
    grid.OnGetCellEditor = [&](TKtCustomGrid&, TPoint, TKtEditControl*& e) { e = &lent; };
    Down(vk::Escape);
    grid.SetEditorMode(true);
    EXPECT_EQ(lent.Editor(), &editor);
    Down(vk::Escape);
    grid.OnGetCellEditor = nullptr;
    grid.SetEditorMode(true);
    EXPECT_EQ(lent.Editor(), nullptr);
}

TEST_F(Editing, EnterCommitsAndMovesUnlessRefused) {
    std::vector<WideString> offered;
    grid.OnCompleteEditW = [&](TKtCustomGrid&, TPoint p, bool& accept, const WideString& t) {
        EXPECT_EQ(p, (TPoint{1, 1}));
        offered.push_back(t);
        accept = t != u"bad";
    };
    Press(u'b');
    control.Type(u"ad");
    control.Key(vk::Return);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_TRUE(editor.CommitRefused());
    EXPECT_EQ(control.text, u"bad");
    EXPECT_TRUE(control.visible);
    EXPECT_EQ(Current(), (TPoint{1, 1}));
    EXPECT_TRUE(grid.GetCell(1, 1).IsEmpty());
    // Arrow keys and Tab do not move past a refused commit either.
    control.Key(vk::Tab);
    control.Key(vk::Up);
    EXPECT_EQ(Current(), (TPoint{1, 1}));

    control.Type(u"\b\bdd");
    control.Key(vk::Return);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_FALSE(editor.CommitRefused());
    EXPECT_EQ(Text(1, 1), u"bdd");
    EXPECT_EQ(Current(), (TPoint{1, 2}));
    EXPECT_EQ(offered.size(), 4u);
}

TEST_F(Editing, TheWideCompletionHandlerWinsOverTheAnsiOne) {
    std::string ansi;
    int wide = 0;
    grid.OnCompleteEdit = [&](TKtCustomGrid&, TPoint, bool&, const std::string& t) { ansi = t; };
    Press(u'x');
    Down(vk::Return);
    EXPECT_EQ(ansi, "x");
    grid.OnCompleteEditW = [&](TKtCustomGrid&, TPoint, bool&, const WideString&) { ++wide; };
    ansi.clear();
    Press(u'y');
    Down(vk::Return);
    EXPECT_EQ(wide, 1);
    EXPECT_EQ(ansi, "");
}

TEST_F(Editing, TheMoveAfterACommitFollowsCurrentMoveDir) {
    struct Case {
        TGridDir dir;
        TPoint from;
        TShiftState shift;
        TPoint to;
    };
    const Case cases[] = {
        {TGridDir::gdDown, {2, 2}, {}, {2, 3}},
        {TGridDir::gdRight, {2, 2}, {}, {3, 2}},
        {TGridDir::gdRight, {7, 2}, {}, {1, 3}},  // wraps to the next row
        {TGridDir::gdLeft, {2, 2}, {}, {1, 2}},
        {TGridDir::gdUp, {2, 2}, {}, {2, 1}},
        {TGridDir::gdNone, {2, 2}, {}, {2, 2}},
        {TGridDir::gdDown, {2, 2}, With(TShift::ssShift), {2, 1}},  // Shift+Enter: up
        {TGridDir::gdRight, {2, 2}, With(TShift::ssShift), {2, 1}},
    };
    for (const Case& c : cases) {
        grid.SetCurrentMoveDir(c.dir);
        grid.SelectRange(c.from.X, c.from.Y, c.from.X, c.from.Y);
        Press(u'1');
        control.Key(vk::Return, c.shift);
        EXPECT_FALSE(grid.EditorMode());
        EXPECT_EQ(Text(c.from.X, c.from.Y), u"1");
        EXPECT_EQ(Current(), c.to) << static_cast<int>(c.dir);
        grid.GetCell(c.from.X, c.from.Y).Clear(false);
    }
}

TEST_F(Editing, AltEnterMakesTheEditorMultiLineAndTheCommittedCellWraps) {
    Press(u'a');
    ASSERT_FALSE(control.multiLine);
    control.Key(vk::Return, With(TShift::ssAlt));
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_TRUE(control.multiLine);
    control.Type(u"b");
    EXPECT_EQ(control.text, u"a\r\nb");
    // Multi-line: Up and Down stay in the control, Enter still commits.
    control.Key(vk::Up);
    EXPECT_TRUE(grid.EditorMode());
    control.Key(vk::Return);
    EXPECT_FALSE(grid.EditorMode());
    const TKtCell& cell = grid.GetCell(1, 1);
    EXPECT_EQ(cell.GetText(), u"a\r\nb");
    EXPECT_TRUE(cell.IsWordWrap());
    // The next load of a wrapping cell is multi-line; a plain one single-line.
    grid.SelectRange(1, 1, 1, 1);
    Down(vk::F2);
    EXPECT_TRUE(control.multiLine);
    Down(vk::Escape);
    grid.SelectRange(2, 2, 2, 2);
    Down(vk::F2);
    EXPECT_FALSE(control.multiLine);
}

TEST_F(Editing, ArrowsLeaveTheControlOnlyAtTheEndsOfTheText) {
    grid.SelectRange(3, 3, 3, 3);
    Press(u'4');
    control.Type(u"2");
    control.Key(vk::Left);  // caret 2 -> 1: stays in the control
    control.Key(vk::Left);  // caret 1 -> 0
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(control.caret, 0);
    control.Key(vk::Left);  // at the start: commit and move left
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(Text(3, 3), u"42");
    EXPECT_EQ(Current(), (TPoint{2, 3}));

    Press(u'7');
    control.Key(vk::Right);  // caret at the end
    EXPECT_EQ(Text(2, 3), u"7");
    EXPECT_EQ(Current(), (TPoint{3, 3}));
}

// Which keys pressed in the control go to the grid (the current cell sees
// them) and which the control keeps.
TEST_F(Editing, KeyTableOfTheControl) {
    grid.ClassManager().SetCellClass(2, 2, &KeyRecordingCell::Class());
    grid.SelectRange(2, 2, 2, 2);
    grid.GetCell(2, 2).SetText(u"abc");
    const TShiftState none{};
    const TShiftState ctrl = With(TShift::ssCtrl);
    struct Case {
        uint16_t key;
        TShiftState shift;
        bool multiLine;
        int caret;
        bool toGrid;
    };
    const Case cases[] = {
        {vk::Tab, none, false, 1, true},     {vk::Escape, none, false, 1, true},
        {vk::Prior, none, true, 1, true},    {vk::Next, none, false, 1, true},
        {vk::F1, none, false, 1, true},      {vk::F2, none, false, 1, true},
        {vk::F12, none, true, 1, true},      {vk::Return, none, false, 1, true},
        {vk::Return, ctrl, true, 1, true},   {vk::Left, none, false, 0, true},
        {vk::Left, none, true, 0, true},     {vk::Left, none, false, 1, false},
        {vk::Right, none, false, 3, true},   {vk::Right, none, false, 2, false},
        {vk::Home, none, false, 0, true},    {vk::Home, none, false, 2, false},
        {vk::Home, none, true, 0, false},    {vk::End, none, false, 3, true},
        {vk::End, none, false, 1, false},    {vk::End, none, true, 3, false},
        {vk::Up, none, false, 1, true},      {vk::Down, none, false, 1, true},
        {vk::Up, none, true, 1, false},      {vk::Down, none, true, 1, false},
        {vk::Delete, none, false, 1, false}, {vk::Back, none, false, 1, false},
        {vk::KeyV, ctrl, false, 1, false},   {vk::KeyA, ctrl, false, 1, false},
        {vk::Insert, none, false, 1, false},
    };
    for (const Case& c : cases) {
        grid.SetEditorMode(true);
        ASSERT_TRUE(editor.IsOpen());
        control.multiLine = c.multiLine;
        control.PlaceCaret(c.caret);
        KeyRecordingCell::keys.clear();
        uint16_t key = c.key;
        editor.ControlKeyDown(key, c.shift);
        const bool handed = KeyRecordingCell::keys == std::vector<uint16_t>{c.key};
        EXPECT_EQ(handed, c.toGrid) << "key " << c.key << " caret " << c.caret;
        EXPECT_EQ(key == 0, c.toGrid) << "key " << c.key;
        Down(vk::Escape);  // the recording cell swallows it: cancel directly
        grid.GetCell(2, 2).CancelEdit();
    }
    // Alt+Enter stays in the control whatever it is.
    grid.SetEditorMode(true);
    KeyRecordingCell::keys.clear();
    control.Key(vk::Return, With(TShift::ssAlt));
    EXPECT_TRUE(KeyRecordingCell::keys.empty());
    EXPECT_EQ(control.text, u"\r\n");  // replaced the selected "abc"
}

TEST_F(Editing, KeyTableOfTheGrid) {
    grid.SelectRange(3, 10, 3, 10);
    struct Case {
        uint16_t key;
        TShiftState shift;
        TPoint current;
        TRect selection;  // half-open
    };
    const TShiftState shift = With(TShift::ssShift);
    const Case cases[] = {
        {vk::Down, {}, {3, 11}, {3, 11, 4, 12}},     {vk::Up, {}, {3, 10}, {3, 10, 4, 11}},
        {vk::Right, {}, {4, 10}, {4, 10, 5, 11}},    {vk::Left, {}, {3, 10}, {3, 10, 4, 11}},
        {vk::Tab, {}, {4, 10}, {4, 10, 5, 11}},      {vk::Tab, shift, {3, 10}, {3, 10, 4, 11}},
        {vk::Return, {}, {3, 11}, {3, 11, 4, 12}},   {vk::Return, shift, {3, 10}, {3, 10, 4, 11}},
        {vk::Right, shift, {3, 10}, {3, 10, 5, 11}}, {vk::Down, shift, {3, 10}, {3, 10, 5, 12}},
        {vk::Home, {}, {1, 10}, {1, 10, 2, 11}},     {vk::End, {}, {7, 10}, {7, 10, 8, 11}},
        {vk::Home, shift, {7, 10}, {1, 10, 8, 11}},
    };
    for (const Case& c : cases) {
        uint16_t key = c.key;
        EXPECT_TRUE(GridKeyDown(grid, key, c.shift)) << c.key;
        EXPECT_EQ(key, 0);
        EXPECT_EQ(Current(), c.current) << c.key;
        EXPECT_EQ(grid.Selection().Rect(), c.selection) << c.key;
    }

    // Page Down scrolls a page of rows (200 - 19 pixels: 9 rows of 19) and moves as far.
    grid.SelectRange(2, 3, 2, 3);
    const int top = grid.TopRow();
    Down(vk::Next);
    EXPECT_EQ(grid.TopRow(), top + 9);
    EXPECT_EQ(Current(), (TPoint{2, 12}));
    Down(vk::Prior);
    EXPECT_EQ(grid.TopRow(), top);
    EXPECT_EQ(Current(), (TPoint{2, 3}));
    Down(vk::Next, shift);
    EXPECT_EQ(Current(), (TPoint{2, 3}));
    EXPECT_EQ(grid.Selection().Rect(), (TRect{2, 3, 3, 13}));

    // Delete clears the selection but not what may not be edited.
    grid.GetCell(2, 4).SetText(u"x");
    grid.GetCell(2, 5).SetText(u"y");
    grid.GetCell(2, 5).OwnStyle().SetOptions(TKtCellOptions{TKtCellOption::gcoLocked});
    Down(vk::Delete);
    EXPECT_TRUE(grid.GetCell(2, 4).IsEmpty());
    EXPECT_EQ(Text(2, 5), u"y");

    // Clipboard keys need Ctrl alone.
    Down(vk::KeyC, With(TShift::ssCtrl));
    Down(vk::KeyX, With(TShift::ssCtrl));
    Down(vk::KeyV, With(TShift::ssCtrl));
    EXPECT_FALSE(Down(vk::KeyV));
    EXPECT_FALSE(Down(vk::KeyV, With(TShift::ssCtrl).With(TShift::ssAlt)));
    EXPECT_EQ(clipboard.copies, 1);
    EXPECT_EQ(clipboard.cuts, 1);
    EXPECT_EQ(clipboard.pastes, 1);
    EXPECT_FALSE(grid.Selection().CopiedRect().IsEmpty());
    Down(vk::Escape);  // unmarks the cut rectangle
    EXPECT_TRUE(grid.Selection().CopiedRect().IsEmpty());
    Down(vk::KeyA, With(TShift::ssCtrl));
    EXPECT_EQ(grid.Selection().Rect(), (TRect{1, 1, 8, 50}));
    EXPECT_FALSE(Down(vk::KeyZ, With(TShift::ssCtrl)));  // no undo manager
}

TEST_F(Editing, ClipboardKeysWhileEditingWorkOnTheControlText) {
    Press(u'a');
    control.Type(u"bc");
    control.SetSelection(1, 2);
    Down(vk::KeyC, With(TShift::ssCtrl));
    EXPECT_EQ(control.clipboard, u"bc");
    EXPECT_EQ(clipboard.copies, 0);
    Down(vk::KeyX, With(TShift::ssCtrl));
    EXPECT_EQ(control.text, u"a");
    Down(vk::KeyV, With(TShift::ssCtrl));
    EXPECT_EQ(control.text, u"abc");
    EXPECT_EQ(clipboard.cuts + clipboard.pastes, 0);
}

TEST_F(Editing, RefusedCharactersAndCellsThatCannotBeEdited) {
    grid.OnCanEditAcceptKey = [](TKtCustomGrid&, char16_t ch, bool& accept) {
        accept = ch >= u'0' && ch <= u'9';
    };
    Press(u'1');
    control.Type(u"x2");
    EXPECT_EQ(control.text, u"12");
    EXPECT_EQ(host.beeps, 1);
    control.Type(u"\r");  // a line break only in a multi-line control
    EXPECT_EQ(control.text, u"12");

    // The cell stops being editable while the editor is open: nothing
    // changes the text any more, keys that only move still work.
    grid.OnCellCanEdit = [](TKtCustomGrid&, TPoint, bool& allow) { allow = false; };
    control.Type(u"3\b");
    control.Key(vk::Back);
    control.Key(vk::KeyX, With(TShift::ssCtrl));
    control.Key(vk::Return, With(TShift::ssAlt));
    EXPECT_EQ(control.text, u"12");
    EXPECT_FALSE(control.multiLine);
    control.Key(vk::Left);
    EXPECT_EQ(control.caret, 1);
    Down(vk::Escape);

    // A locked cell of a protected grid never opens on F2 or typing.
    grid.OnCellCanEdit = nullptr;
    grid.GetCell(1, 1).OwnStyle().SetOptions(TKtCellOptions{TKtCellOption::gcoLocked});
    Down(vk::F2);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_FALSE(Press(u'9'));
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_FALSE(control.visible);
}

TEST_F(Editing, EditKeyEventsComeFirst) {
    grid.OnEditKeyDown = [](TKtCustomGrid&, uint16_t& key, TShiftState) {
        if (key == vk::Return) key = 0;
    };
    grid.OnEditKeyPress = [](TKtCustomGrid&, char16_t& ch) {
        if (ch == u'q') ch = u'Q';
    };
    std::vector<uint16_t> ups;
    grid.OnEditKeyUp = [&](TKtCustomGrid&, uint16_t& key, TShiftState) { ups.push_back(key); };
    Press(u'q');
    control.Key(vk::Return);  // consumed by the handler: no commit
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(control.text, u"Q");
    control.Key(vk::Left);
    EXPECT_EQ(ups, std::vector<uint16_t>{vk::Left});
}

TEST_F(Editing, ScrollingTheCellAwayHidesTheEditorWithoutCommitting) {
    grid.SelectRange(2, 2, 2, 2);
    Press(u'a');
    control.Type(u"b");
    host.gridFocus = 0;
    grid.SetTopRow(20);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_FALSE(control.visible);
    EXPECT_FALSE(editor.Visible());
    EXPECT_EQ(host.gridFocus, 1);
    EXPECT_TRUE(grid.GetCell(2, 2).IsEmpty());
    grid.SetTopRow(1);
    EXPECT_TRUE(control.visible);
    EXPECT_EQ(control.text, u"ab");
    const TRect cell = grid.CellRect(2, 2);
    EXPECT_EQ(control.bounds, (TRect{cell.Left + 1, cell.Top + 1, cell.Right, cell.Bottom}));

    // Typing into the grid while the edit is out of view brings it back.
    grid.SetTopRow(20);
    Press(u'c');
    EXPECT_TRUE(control.visible);
    EXPECT_EQ(control.text, u"abc");

    // Width changes of the edited column move the editor along.
    grid.SetColWidth(2, 120);
    EXPECT_EQ(control.bounds.Width(), 119);
    grid.SetColWidth(1, 10);
    EXPECT_EQ(control.bounds.Left, grid.CellRect(2, 2).Left + 1);
    Down(vk::Return);
    EXPECT_EQ(Text(2, 2), u"abc");
}

TEST_F(Editing, ExceptionsWhileCommittingAreReportedAndEditingGoesOn) {
    grid.SetOptionsEx(grid.OptionsEx().With(TGridOptionEx::goxSupportFormula));
    Press(u'=');
    control.Type(u"bad");
    control.Key(vk::Return);
    ASSERT_EQ(host.shown.size(), 1u);
    EXPECT_EQ(host.shown[0], "bad formula");
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_TRUE(editor.CommitRefused());
    EXPECT_EQ(control.text, u"=bad");
    EXPECT_EQ(Current(), (TPoint{1, 1}));

    // Without a handler to show it, the exception reaches the caller; the
    // edit stays open.
    host.showExceptions = false;
    EXPECT_THROW(grid.SetEditorMode(false), Exception);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_TRUE(editor.IsOpen());
    control.text = u"=SUM 1 2 1 3";
    control.Key(vk::Return);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.GetCell(1, 1).GetFormula(), u"SUM 1 2 1 3");
}

TEST_F(Editing, ACellThatRefusesModificationIsNotSaved) {
    int completions = 0;
    grid.OnCompleteEditW = [&](TKtCustomGrid&, TPoint, bool&, const WideString&) { ++completions; };
    Press(u'z');
    grid.OnCellCanModify = [](TKtCustomGrid&, TPoint, bool& allow) { allow = false; };
    Down(vk::Return);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_TRUE(grid.GetCell(1, 1).IsEmpty());
    EXPECT_EQ(completions, 0);
}

TEST_F(Editing, TheEditedCellMayGoOrChangeClassWhileEditing) {
    // Structural changes commit first.
    grid.SelectRange(1, 3, 1, 3);
    Press(u'k');
    grid.InsertRows(1, 1);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(Text(1, 4), u"k");

    // A commit handler that deletes the edited row ends the edit safely.
    grid.SelectRange(2, 2, 2, 2);
    Press(u'm');
    grid.OnCompleteEditW = [](TKtCustomGrid& g, TPoint p, bool&, const WideString&) {
        g.OnCompleteEditW = nullptr;
        g.DeleteRows(p.Y, 1);
    };
    Down(vk::Return);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_FALSE(editor.IsOpen());
    EXPECT_EQ(control.Cell(), nullptr);

    // A cell re-created in another class keeps its edit.
    grid.SelectRange(3, 3, 3, 3);
    Press(u'n');
    grid.ClassManager().SetCellClass(3, 3, &KeyRecordingCell::Class());
    ASSERT_EQ(&grid.GetCell(3, 3).CellClass(), &KeyRecordingCell::Class());
    EXPECT_EQ(editor.Cell(), &grid.GetCell(3, 3));
    EXPECT_EQ(control.Cell(), &grid.GetCell(3, 3));
    grid.SetEditorMode(false);
    EXPECT_EQ(Text(3, 3), u"n");
}

TEST_F(Editing, ReferenceModeInsertsPickedCells) {
    std::vector<WideString> changes;
    grid.OnEditChange = [&](TKtCustomGrid&) { changes.push_back(control.text); };
    grid.SelectRange(4, 4, 4, 4);
    Press(u'=');
    EXPECT_TRUE(editor.ReferenceMode());
    EXPECT_EQ(editor.ReferenceStart(), 1);
    EXPECT_TRUE(grid.Selection().ReferenceMode);

    grid.SelectRange(1, 1, 1, 1);  // a pick does not commit
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(control.text, u"=A1");
    grid.SelectRange(2, 2, 2, 2);  // the mouse moves on: the reference is replaced
    EXPECT_EQ(control.text, u"=B2");
    control.Type(u"+");
    grid.SelectRange(1, 2, 2, 3);
    EXPECT_EQ(control.text, u"=B2+A2:B3");
    EXPECT_EQ(clipboard.text, u"A2:B3");
    EXPECT_EQ(changes.back(), u"=B2+A2:B3");
    EXPECT_EQ(editor.ReferenceStart(), 9);

    // Another worksheet's pick carries its caption.
    FormulaGrid other;
    control.Type(u"*");
    editor.InsertReference(other, TRect::Cell(1, 1), u"Sheet2");
    EXPECT_EQ(control.text, u"=B2+A2:B3*Sheet2!A1");

    control.Key(vk::Return);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_FALSE(editor.ReferenceMode());
    EXPECT_FALSE(grid.Selection().ReferenceMode);
    EXPECT_EQ(Text(4, 4), u"=B2+A2:B3*Sheet2!A1");  // no formula service: kept as text
}

TEST_F(Editing, ReferenceModeFollowsTheCaret) {
    grid.SelectRange(4, 4, 4, 4);
    // A reference inside the text replaces the reference before the insertion point.
    Press(u'=');
    control.Type(u"(+1)*2");
    control.PlaceCaret(2);
    ASSERT_TRUE(editor.WantsReference());
    grid.SelectRange(1, 1, 1, 1);
    EXPECT_EQ(control.text, u"=(A1+1)*2");
    grid.SelectRange(2, 1, 2, 1);
    EXPECT_EQ(control.text, u"=(B1+1)*2");
    // The caret moved behind an operator: the mode goes on from there.
    control.PlaceCaret(5);
    grid.SelectRange(3, 1, 3, 1);
    EXPECT_EQ(control.text, u"=(B1+C11)*2");
    // The caret moved behind anything else: the mode ends, nothing is inserted.
    control.PlaceCaret(3);
    EXPECT_FALSE(editor.WantsReference());
    EXPECT_FALSE(grid.Selection().ReferenceMode);
    editor.InsertReference(grid, TRect::Cell(1, 1));
    EXPECT_EQ(control.text, u"=(B1+C11)*2");
    grid.SetEditorMode(false);
    EXPECT_EQ(Text(4, 4), u"=(B1+C11)*2");
}

TEST_F(Editing, WhenAMousePressPicksAReference) {
    struct Case {
        const char16_t* text;
        int selStart, selLength;
        bool picks;
    };
    const Case cases[] = {
        {u"=", 1, 0, true},     {u"  =  ", 5, 0, true}, {u"=A1+", 4, 0, true},
        {u"=SUM(", 5, 0, true}, {u"=A1,", 4, 0, true},  {u"=A1^", 4, 0, true},
        {u"=A1", 3, 0, false},  {u"=A1", 1, 2, true},   {u"A1+", 3, 0, false},
        {u"=A1&", 4, 0, false}, {u"=A1<", 4, 0, false}, {u"=A1=", 4, 0, false},
        {u"", 0, 0, false},
    };
    for (const Case& c : cases) {
        grid.SetEditorMode(true);
        control.SetText(c.text);
        control.SetSelection(c.selStart, c.selLength);
        EXPECT_EQ(editor.WantsReference(), c.picks) << WideToUtf8(c.text);
        EXPECT_EQ(editor.ReferenceMode(), c.picks);
        Down(vk::Escape);
    }
    // A selected part is replaced by the pick.
    grid.SetEditorMode(true);
    control.SetText(u"=A1+C3");
    control.SetSelection(4, 2);
    ASSERT_TRUE(editor.WantsReference());
    editor.InsertReference(grid, TRect::Cell(2, 2));
    EXPECT_EQ(control.text, u"=A1+B2");
}

TEST_F(Editing, GoingAwayCommitsAndUninstalls) {
    auto owned = std::make_unique<TKtEditor>(grid);
    FakeEditControl other;
    owned->SetDefaultControl(&other);
    grid.SetEditorMode(true);
    other.Type(u"w");
    owned.reset();
    EXPECT_EQ(grid.CellEditor(), nullptr);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(Text(1, 1), u"w");
    EXPECT_EQ(other.Editor(), nullptr);
}

TEST_F(Editing, CompositionClickAndTheTextSideOfTheEditor) {
    grid.GetCell(1, 1).SetText(u"hello");
    GridStartComposition(grid);
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(control.SelLength(), 5);
    editor.PassClick(control.bounds.Left + 17, control.bounds.Top + 2);
    EXPECT_EQ(control.caret, 2);
    EXPECT_EQ(control.SelLength(), 0);
    // The text side that cell kinds use.
    editor.SetEditText(u"help", 2, 2);
    EXPECT_EQ(editor.EditText(), u"help");
    EXPECT_EQ(control.SelStart(), 2);
    EXPECT_EQ(control.SelLength(), 2);
    editor.TypeReplacing(u'x');
    EXPECT_EQ(editor.EditText(), u"x");
    TKtKeyInput input;
    input.What = TKtKeyInput::Kind::KeyDown;
    input.Key = vk::Return;
    input.System = true;  // Alt held
    EXPECT_EQ(GridKey(grid, input), 1);
    EXPECT_EQ(Current(), (TPoint{1, 2}));
    EXPECT_EQ(Text(1, 1), u"x");
}
