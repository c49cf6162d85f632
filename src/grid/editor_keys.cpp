#include "grid/editor_keys.h"

#include <algorithm>

#include "base/regional_settings.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/editor.h"
#include "grid/grid_selection.h"

namespace plu {

bool IsReferenceOperator(char16_t ch) {
    switch (ch) {
        case u'(':
        case u')':
        case u'*':
        case u'+':
        case u',':
        case u'-':
        case u'/':
        case u'^':
            return true;
        case u';':
            // The argument separator where "," is the decimal separator.
            return Regional().DecimalSeparator == u',';
        default:
            return false;
    }
}

namespace {

TKtCell* CurrentCellObject(const TKtCustomGrid& grid) {
    const TPoint p = grid.Selection().Current();
    return grid.FindCell(p.X, p.Y);
}

// Leaves editing mode committing the edit; false when the commit was
// refused and the edit goes on (the current cell must then stay).
bool CommitEdit(TKtCustomGrid& grid) {
    if (!grid.EditorMode()) return true;
    grid.SetEditorMode(false);
    return !grid.EditorMode();
}

void Move(TKtCustomGrid& grid, TGridDir dir, bool extend) {
    if (!CommitEdit(grid)) return;
    grid.Selection().MoveCurrent(dir, extend);
}

int FirstBodyCol(const TKtCustomGrid& grid) {
    for (int c = grid.FixedColCount(); c < grid.ColCount(); ++c)
        if (grid.ColWidths(c) != 0) return c;
    return grid.FixedColCount();
}

int LastBodyCol(const TKtCustomGrid& grid) {
    for (int c = grid.ColCount() - 1; c > grid.FixedColCount(); --c)
        if (grid.ColWidths(c) != 0) return c;
    return grid.FixedColCount();
}

void HomeEnd(TKtCustomGrid& grid, bool home, bool extend) {
    if (!CommitEdit(grid)) return;
    TKtGridSelection& sel = grid.Selection();
    const int col = home ? FirstBodyCol(grid) : LastBodyCol(grid);
    if (extend)
        sel.ExtendTo(col, sel.ExtendEnd().Y);
    else
        sel.SetCurrent(col, sel.Current().Y, true);
}

// Rows that fit below the frozen rows from the scroll position (at least one).
int PageRows(const TKtCustomGrid& grid) {
    const int64_t avail = grid.ClientHeight() - grid.RowTop(grid.TopRow());
    int64_t used = 0;
    int rows = 0;
    for (int r = grid.TopRow(); r < grid.RowCount(); ++r) {
        used += grid.RowHeights(r);
        if (used > avail) break;
        ++rows;
    }
    return std::max(rows, 1);
}

// row, or the nearest shown row beyond it in the direction of travel (step),
// or behind it when there is none.
int ShownRow(const TKtCustomGrid& grid, int row, int step) {
    const int first = grid.FixedRowCount();
    const int last = grid.RowCount() - 1;
    row = std::clamp(row, first, last);
    for (int r = row; r >= first && r <= last; r += step)
        if (grid.RowHeights(r) != 0) return r;
    for (int r = row - step; r >= first && r <= last; r -= step)
        if (grid.RowHeights(r) != 0) return r;
    return row;
}

void Page(TKtCustomGrid& grid, bool down, bool extend) {
    if (!CommitEdit(grid)) return;
    const int delta = down ? PageRows(grid) : -PageRows(grid);
    const int step = down ? 1 : -1;
    grid.SetTopRow(grid.TopRow() + delta);
    TKtGridSelection& sel = grid.Selection();
    if (extend) {
        const TPoint end = sel.ExtendEnd();
        sel.ExtendTo(end.X, ShownRow(grid, end.Y + delta, step));
    } else {
        const TPoint cur = sel.Current();
        sel.SetCurrent(cur.X, ShownRow(grid, cur.Y + delta, step), true);
    }
}

// F2 or typing reached the grid while an edit is open but its editor is
// out of view or without focus: bring the edited cell back into view.
TKtEditor* OpenEditorInView(TKtCustomGrid& grid) {
    TKtEditor* editor = EditorOf(grid);
    if (!editor || !editor->IsOpen()) return nullptr;
    if (!editor->Visible()) {
        const TKtCell* cell = editor->Cell();
        grid.ScrollIntoView(cell->Col(), cell->Row());
    }
    return editor->IsOpen() ? editor : nullptr;
}

bool IsDefaultTextCell(const TKtCustomGrid& grid, const TKtCell* cell) {
    const TPoint p = grid.Selection().Current();
    const TKtCellClass& cls = cell ? cell->CellClass() : grid.CellClassAt(p.X, p.Y);
    return &cls == &TKwProEditCell::Class();
}

// Control characters (Backspace, Tab, Enter, Escape, every Ctrl+letter:
// codes below 32) and Delete (127) are commands, never text: only a
// printable character, of any plane (Chinese included), starts an edit.
bool NeverOpensEditor(char16_t ch) {
    return ch < 0x20 || ch == 0x7F;
}

}  // namespace

bool GridKeyDown(TKtCustomGrid& grid, uint16_t& key, TShiftState shift) {
    if (key == 0) return false;
    if (TKtCell* cell = CurrentCellObject(grid)) {
        cell->KeyDown(key, shift);
        if (key == 0) return true;
        if (cell->ClaimsKey(key, shift)) return false;
    }
    const bool withShift = shift.Has(TShift::ssShift);
    const bool ctrlOnly = shift.Has(TShift::ssCtrl) && !shift.Has(TShift::ssAlt);
    TKtGridSelection& sel = grid.Selection();
    switch (key) {
        case vk::Return:
            Move(grid, withShift ? TGridDir::gdUp : TGridDir::gdNone, false);
            break;
        case vk::Tab:
            Move(grid, withShift ? TGridDir::gdLeft : TGridDir::gdRight, false);
            break;
        case vk::Left:
            Move(grid, TGridDir::gdLeft, withShift);
            break;
        case vk::Right:
            Move(grid, TGridDir::gdRight, withShift);
            break;
        case vk::Up:
            Move(grid, TGridDir::gdUp, withShift);
            break;
        case vk::Down:
            Move(grid, TGridDir::gdDown, withShift);
            break;
        case vk::Home:
        case vk::End:
            HomeEnd(grid, key == vk::Home, withShift);
            break;
        case vk::Prior:
        case vk::Next:
            Page(grid, key == vk::Next, withShift);
            break;
        case vk::Delete:
            // Never under an open edit: its commit would bring the text back.
            if (grid.EditorMode()) return false;
            sel.ClearSelection(true);
            break;
        case vk::F2:
            if (!grid.EditorMode()) {
                grid.SetEditorMode(true);
            } else if (TKtEditor* editor = OpenEditorInView(grid)) {
                if (editor->Visible() && editor->Control()) editor->Control()->SetFocus();
            }
            break;
        case vk::Escape:
            if (grid.EditorMode()) {
                if (TKtCell* editing = grid.EditingCell())
                    editing->CancelEdit();
                else
                    grid.LeaveEditorMode();
            }
            if (IKtGridClipboard* clipboard = grid.Clipboard()) clipboard->Release(grid);
            sel.ClearCopiedRect();
            break;
        case vk::KeyA:
            if (!ctrlOnly) return false;
            sel.SelectAll();
            break;
        case vk::KeyC:
            if (!ctrlOnly) return false;
            sel.Copy();
            break;
        case vk::KeyV:
            if (!ctrlOnly) return false;
            sel.Paste(0);
            break;
        case vk::KeyX:
            if (!ctrlOnly) return false;
            sel.Cut();
            break;
        default:
            // Ctrl+Z / Ctrl+Y belong to an undo manager; the grid has none.
            return false;
    }
    key = 0;
    return true;
}

bool GridKeyPress(TKtCustomGrid& grid, char16_t& ch) {
    if (ch == 0) return false;
    TKtCell* cell = CurrentCellObject(grid);
    if (cell) {
        cell->KeyPress(ch);
        if (ch == 0) return true;
    }
    if (grid.EditorMode()) {
        // The edit is open but the grid has the keyboard (the editor
        // scrolled away, or a reference was picked): the text goes on.
        TKtEditor* editor = OpenEditorInView(grid);
        if (!editor) return false;
        editor->PassChar(ch);
        ch = 0;
        return true;
    }
    if (!IsDefaultTextCell(grid, cell) || NeverOpensEditor(ch)) return false;
    const TPoint p = grid.Selection().Current();
    if (!grid.IsBodyCell(p.X, p.Y)) return false;
    TKtCell& target = grid.GetCell(p.X, p.Y);
    if (!target.CanEdit()) return false;  // typed characters are ignored
    target.ShowEditor();
    TKtEditor* editor = EditorOf(grid);
    if (!editor || editor->Cell() != &target) return grid.EditorMode();
    editor->TypeReplacing(ch);
    ch = 0;
    return true;
}

bool GridKeyUp(TKtCustomGrid& grid, uint16_t& key, TShiftState shift) {
    if (key == 0) return false;
    if (TKtCell* cell = CurrentCellObject(grid)) {
        cell->KeyUp(key, shift);
        if (key == 0) return true;
    }
    return false;
}

int GridKey(TKtCustomGrid& grid, TKtKeyInput& input) {
    TShiftState shift = input.Shift;
    if (input.System) shift = shift.With(TShift::ssAlt);
    switch (input.What) {
        case TKtKeyInput::Kind::KeyDown:
            return GridKeyDown(grid, input.Key, shift) ? 1 : 0;
        case TKtKeyInput::Kind::Char:
            return GridKeyPress(grid, input.Char) ? 1 : 0;
        case TKtKeyInput::Kind::KeyUp:
            return GridKeyUp(grid, input.Key, shift) ? 1 : 0;
    }
    return 0;
}

void GridStartComposition(TKtCustomGrid& grid) {
    if (grid.EditorMode()) {
        OpenEditorInView(grid);
        return;
    }
    grid.SetEditorMode(true);
    TKtEditor* editor = EditorOf(grid);
    if (editor && editor->IsOpen()) editor->SelectAll();
}

// ---- Keys inside the control ---------------------------------------------------------------

void TKtEditor::HandToGrid(uint16_t& key, TShiftState shift) {
    uint16_t handed = key;
    key = 0;
    GridKeyDown(grid_, handed, shift);
}

void TKtEditor::ControlKeyDown(uint16_t& key, TShiftState shift) {
    if (key == 0) return;
    if (grid_.OnEditKeyDown) grid_.OnEditKeyDown(grid_, key, shift);
    if (key == 0 || !cell_) return;
    cell_->EditorKeyDown(key, shift);
    if (key == 0 || !cell_ || !control_) return;
    const int caret = control_->CaretPos();
    const int length = static_cast<int>(control_->Text().size());
    const bool multiLine = control_->MultiLine();
    switch (key) {
        case vk::Tab:
        case vk::Escape:
        case vk::Prior:
        case vk::Next:
            HandToGrid(key, shift);
            return;
        case vk::Return:
            if (!shift.Has(TShift::ssAlt)) {
                HandToGrid(key, shift);
                return;
            }
            key = 0;
            if (!CellCanEdit()) return;
            if (!multiLine) control_->SetMultiLine(true);
            control_->ReplaceSelection(u"\r\n");
            ControlTextChanged();
            return;
        case vk::Left:
            if (caret <= 0) HandToGrid(key, shift);
            return;
        case vk::Right:
            if (caret >= length) HandToGrid(key, shift);
            return;
        case vk::Home:
            if (!multiLine && caret <= 0) HandToGrid(key, shift);
            return;
        case vk::End:
            if (!multiLine && caret >= length) HandToGrid(key, shift);
            return;
        case vk::Up:
        case vk::Down:
            if (!multiLine) HandToGrid(key, shift);
            return;
        case vk::Back:
            if (!CellCanEdit()) key = 0;
            return;
        case vk::KeyV:
        case vk::KeyX:
            if (shift.Has(TShift::ssCtrl) && !CellCanEdit()) key = 0;
            return;
        default:
            if (key >= vk::F1 && key <= vk::F12) HandToGrid(key, shift);
            return;
    }
}

void TKtEditor::ControlKeyPress(char16_t& ch) {
    if (ch == 0) return;
    if (grid_.OnEditKeyPress) grid_.OnEditKeyPress(grid_, ch);
    if (ch == 0 || !cell_ || !control_) return;
    switch (ch) {
        case u'\r':
        case u'\n':
            if (!control_->MultiLine() || !CellCanEdit()) ch = 0;
            return;
        case 8:   // Backspace
        case 22:  // Ctrl+V
        case 24:  // Ctrl+X
            if (!CellCanEdit()) ch = 0;
            return;
        default:
            break;
    }
    if (ch < 32) return;  // other control characters are the control's business
    if (!CellCanEdit()) {
        ch = 0;
        return;
    }
    bool accept = true;
    if (grid_.OnCanEditAcceptKey) grid_.OnCanEditAcceptKey(grid_, ch, accept);
    if (!accept) {
        ch = 0;
        if (host_) host_->Beep();
    }
}

void TKtEditor::ControlKeyUp(uint16_t& key, TShiftState shift) {
    if (key != 0 && grid_.OnEditKeyUp) grid_.OnEditKeyUp(grid_, key, shift);
}

void TKtEditor::ControlCharTaken(char16_t ch) {
    if (!cell_ || !control_) return;
    char16_t taken = ch;
    cell_->EditorChar(taken);
    if (!cell_ || !control_) return;
    const WideString trimmed = Trim(control_->Text());
    if (!trimmed.empty() && trimmed[0] == u'=' &&
        (trimmed.size() == 1 || IsReferenceOperator(trimmed.back())))
        SetReferenceMode(true, control_->CaretPos());
}

}  // namespace plu
