#include "grid/editor.h"

#include <algorithm>
#include <exception>

#include "base/events.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/editor_keys.h"
#include "grid/grid_selection.h"

namespace plu {

namespace {

// Where controls wait while no cell uses them.
constexpr TRect kControlParking{-1000, -1000, -1000, -1000};

void Park(TKtEditControl& control) {
    control.SetVisible(false);
    control.SetBounds(kControlParking);
}

}  // namespace

TKtEditor* EditorOf(const TKtCustomGrid& grid) {
    return dynamic_cast<TKtEditor*>(grid.CellEditor());
}

TKtEditor::TKtEditor(TKtCustomGrid& grid) : grid_(grid) {
    grid_.SetCellEditor(this);
}

TKtEditor::~TKtEditor() {
    if (cell_) {
        // Going away commits like leaving editing mode; a refused or failing
        // commit cannot keep an editor that no longer exists.
        try {
            if (grid_.EditingCell() == cell_) grid_.SetEditorMode(false);
        } catch (...) {
        }
        if (cell_) {
            TKtCell* cell = cell_;
            Close(false);
            if (grid_.EditingCell() == cell) grid_.LeaveEditorMode();
        }
    }
    SetReferenceMode(false);
    // Controls that outlive the editor must not call back into it.
    for (TKtEditControl* control : {defaultControl_, control_}) {
        if (control && control->editor_ == this) {
            control->AttachCell(nullptr);
            control->editor_ = nullptr;
        }
    }
    if (grid_.CellEditor() == this) grid_.SetCellEditor(nullptr);
}

// ---- Controls ----------------------------------------------------------------------------------

void TKtEditor::Host(TKtEditControl& control) {
    control.editor_ = this;
}

void TKtEditor::SetDefaultControl(TKtEditControl* control) {
    if (control == defaultControl_) return;
    if (defaultControl_ && control_ == defaultControl_) {
        if (cell_) {
            grid_.SetEditorMode(false);
            if (cell_) {
                // The control goes whatever the commit said.
                TKtCell* cell = cell_;
                Close(false);
                if (grid_.EditingCell() == cell) grid_.LeaveEditorMode();
            }
        }
        control_ = nullptr;
    }
    if (defaultControl_ && defaultControl_->editor_ == this) {
        defaultControl_->AttachCell(nullptr);
        defaultControl_->editor_ = nullptr;
    }
    defaultControl_ = control;
    if (control) {
        Host(*control);
        Park(*control);
    }
}

bool TKtEditor::IsCached(const TKtEditControl* control) const {
    for (const auto& entry : controls_)
        if (entry.second.get() == control) return true;
    return false;
}

TKtEditControl* TKtEditor::GetEditorControl(std::string_view className) {
    if (auto it = controls_.find(className); it != controls_.end()) return it->second.get();
    if (!factory_) return nullptr;
    std::unique_ptr<TKtEditControl> control = factory_(className);
    if (!control) return nullptr;
    Host(*control);
    Park(*control);
    TKtEditControl* result = control.get();
    controls_.emplace(std::string(className), std::move(control));
    return result;
}

// ---- Opening -----------------------------------------------------------------------------------

void TKtEditor::Show(TKtCell& cell) {
    if (cell_ == &cell && control_) {
        // Already editing this cell (a second double click, a repeated
        // ShowEditor): reloading would throw the typed text away.
        UpdateBounds(false);
        if (visible_) control_->SetFocus();
        return;
    }
    TKtEditControl* control = nullptr;
    if (grid_.OnGetCellEditor) grid_.OnGetCellEditor(grid_, cell.Pos(), control);
    if (!control) control = defaultControl_;
    if (!control) return;
    if (!Attach(cell, *control)) return;
    Show();
}

bool TKtEditor::Attach(TKtCell& cell, TKtEditControl& control) {
    if (cell_ == &cell && control_ == &control) return true;
    if (cell_) {
        TKtCell* previous = cell_;
        if (!Hide(true, false)) return false;
        if (grid_.EditingCell() == previous) grid_.LeaveEditorMode();
    }
    if (control_) {
        control_->AttachCell(nullptr);
        if (control_ != &control) {
            Park(*control_);
            // A control the application lent (OnGetCellEditor) goes back
            // unhosted; the default and cached ones stay with the editor.
            if (control_ != defaultControl_ && !IsCached(control_)) control_->editor_ = nullptr;
        }
        control_ = nullptr;
    }
    color_ = cell.Background();
    font_ = cell.Font();
    Host(control);
    control_ = &control;
    cell_ = &cell;
    control.AttachCell(&cell);
    control.SetBounds(bounds_);
    return true;
}

void TKtEditor::Show() {
    if (!cell_ || !control_) return;
    commitRefused_ = false;
    UpdateBounds(true);
    const bool inView = CellInView(grid_.CellSpanRect(cell_->Col(), cell_->Row()),
                                   grid_.CellRect(cell_->Col(), cell_->Row()));
    control_->LoadCell(*cell_);
    if (grid_.OnEditorLoadCell) grid_.OnEditorLoadCell(grid_, cell_->Pos(), *control_);
    if (!cell_ || !control_) return;
    control_->SetFont(font_);
    control_->SetColor(color_);
    if (inView) {
        visible_ = true;
        control_->SetVisible(true);
    }
    if (grid_.OnShowEditor) grid_.OnShowEditor(grid_);
    if (!cell_ || !control_) return;
    if (visible_) control_->SetFocus();
    grid_.EnterEditorMode(*cell_);
}

// ---- Geometry ----------------------------------------------------------------------------------

bool TKtEditor::CellInView(const TRect& span, const TRect& pixels) const {
    if (pixels.IsEmpty()) return false;  // hidden column or row
    // Scrolled out left of / above the scroll position (frozen cells never are).
    if (span.Left >= grid_.ViewLockCol() && span.Right - 1 < grid_.LeftCol()) return false;
    if (span.Top >= grid_.ViewLockRow() && span.Bottom - 1 < grid_.TopRow()) return false;
    return pixels.Left < grid_.ClientWidth() && pixels.Top < grid_.ClientHeight() &&
           pixels.Right > 0 && pixels.Bottom > 0;
}

void TKtEditor::UpdateBounds(bool keepHidden) {
    // While a hide runs, the commit may refit rows; the editor is going.
    if (!cell_ || !control_ || hiding_) return;
    const TRect span = grid_.CellSpanRect(cell_->Col(), cell_->Row());
    const TRect pixels = grid_.CellsToPixels(span);
    if (CellInView(span, pixels)) {
        bounds_ = {pixels.Left + 1, pixels.Top + 1, pixels.Right, pixels.Bottom};
        cell_->UpdateEditorBounds();
        if (!control_) return;
        control_->SetBounds(bounds_);
        if (!keepHidden && !visible_) {
            visible_ = true;
            control_->SetVisible(true);
        }
    } else if (visible_) {
        // Hidden, not committed: the text waits for the cell to come back.
        visible_ = false;
        control_->SetVisible(false);
        if (host_) host_->FocusGrid();
    }
}

void TKtEditor::SetBounds(const TRect& bounds) {
    bounds_ = bounds;
    if (control_) control_->SetBounds(bounds);
}

void TKtEditor::MoveOffScreen() {
    const int w = bounds_.Width();
    const int h = bounds_.Height();
    bounds_ = {-w, -h, 0, 0};
    visible_ = false;
    if (control_) {
        control_->SetVisible(false);
        control_->SetBounds(bounds_);
    }
}

// ---- Closing -----------------------------------------------------------------------------------

bool TKtEditor::Commit() {
    if (!cell_->CanModify() || !cell_) return true;  // nothing to save
    const TPoint pt = cell_->Pos();
    const WideString text = control_->Text();
    const bool accepted = grid_.RaiseCompleteEdit(pt, text);
    // A handler that removed the cell ends the edit.
    if (!cell_) return true;
    if (!accepted) return false;
    SaveCell();
    return true;
}

bool TKtEditor::Hide(bool save, bool focusGrid) {
    if (hiding_) return false;  // the running hide decides
    if (!cell_) return true;
    bool accepted = true;
    std::exception_ptr failure;
    {
        hiding_ = true;
        ScopeExit done([this] { hiding_ = false; });
        SetReferenceMode(false);
        commitRefused_ = false;
        if (save && control_) {
            try {
                accepted = Commit();
            } catch (const std::exception&) {
                failure = std::current_exception();
                accepted = false;
            }
        }
    }
    const auto report = [&] {
        if (!failure) return;
        try {
            std::rethrow_exception(failure);
        } catch (const std::exception& error) {
            if (!host_ || !host_->ShowException(error)) throw;
        }
    };
    if (!cell_) {
        // The cell was destroyed during the commit (a handler deleted its
        // row): the grid has left editing mode already, and false keeps the
        // caller (that cell's HideEditor) from touching it.
        Close(focusGrid);
        report();
        return false;
    }
    if (!accepted) {
        // Refused or failed: the editor stays open with its text, in
        // editing mode, and the grid keeps its current cell.
        commitRefused_ = true;
        if (grid_.EditingCell() != cell_) grid_.EnterEditorMode(*cell_);
        if (visible_ && control_) control_->SetFocus();
        report();
        return false;
    }
    Close(focusGrid);
    report();
    return true;
}

void TKtEditor::Close(bool focusGrid) {
    if (control_) control_->CancelMode();
    const TRect covered = bounds_;
    const bool shown = visible_;
    MoveOffScreen();
    if (shown && grid_.View() && !grid_.IsUpdating()) {
        const TRect area = covered.Intersect({0, 0, grid_.ClientWidth(), grid_.ClientHeight()});
        if (!area.IsEmpty()) grid_.View()->InvalidateRect(area);
    }
    SetReferenceMode(false);
    // Detached before the event, so that a handler may open a new edit.
    cell_ = nullptr;
    if (control_) control_->AttachCell(nullptr);
    if (grid_.OnHideEditor) grid_.OnHideEditor(grid_);
    if (focusGrid && host_) host_->FocusGrid();
}

void TKtEditor::SaveCell() {
    if (!cell_ || !control_) return;
    control_->SaveCell(*cell_);
    if (cell_ && control_ && grid_.OnEditorSaveCell)
        grid_.OnEditorSaveCell(grid_, cell_->Pos(), *control_);
}

void TKtEditor::CellGone(const TKtCell& cell) {
    if (&cell != cell_) return;
    cell_ = nullptr;
    if (control_) control_->AttachCell(nullptr);
    if (!hiding_) Close(true);  // a running hide closes by itself
}

void TKtEditor::CellReplaced(const TKtCell& old, TKtCell& fresh) {
    if (&old != cell_) return;
    cell_ = &fresh;
    if (control_) control_->AttachCell(&fresh);
}

// ---- Control commands
// ----------------------------------------------------------------------------

bool TKtEditor::CellCanEdit() const {
    return cell_ && cell_->CanEdit();
}

void TKtEditor::SendToControl(TKtEditCommand command) {
    if (control_) control_->Command(command);
}

void TKtEditor::SelectAll() {
    if (control_) control_->SetSelection(0, static_cast<int>(control_->Text().size()));
}

void TKtEditor::PassChar(char16_t ch) {
    if (!cell_ || !control_) return;
    ControlKeyPress(ch);
    if (ch == 0 || !cell_ || !control_) return;
    control_->TypeChar(ch);
    ControlCharTaken(ch);
}

void TKtEditor::PassClick(int x, int y) {
    if (cell_ && control_) control_->ClickAt(x, y);
}

WideString TKtEditor::EditText() const {
    return cell_ && control_ ? control_->Text() : WideString();
}

void TKtEditor::SetEditText(WideStringView text, int selStart, int selLength) {
    if (!cell_ || !control_) return;
    control_->SetText(text);
    control_->SetSelection(selStart, selLength);
    ControlTextChanged();
}

void TKtEditor::TypeReplacing(char16_t ch) {
    if (!cell_ || !control_) return;
    SelectAll();
    PassChar(ch);
}

bool TKtEditor::CopySelection() {
    if (!cell_ || !control_) return false;
    control_->Command(TKtEditCommand::Copy);
    return true;
}

bool TKtEditor::CutSelection() {
    if (!cell_ || !control_) return false;
    // Text of a cell that cannot be edited stays as it is.
    if (CellCanEdit()) control_->Command(TKtEditCommand::Cut);
    return true;
}

bool TKtEditor::PasteText() {
    if (!cell_ || !control_) return false;
    if (CellCanEdit()) control_->Command(TKtEditCommand::Paste);
    return true;
}

void TKtEditor::ControlTextChanged() {
    if (cell_ && grid_.OnEditChange) grid_.OnEditChange(grid_);
}

// ---- Formula references ----------------------------------------------------------------------

void TKtEditor::SetReferenceMode(bool on, int start) {
    referenceMode_ = on;
    referenceStart_ = on ? start : 0;
    grid_.Selection().ReferenceMode = on;
}

bool TKtEditor::FollowCaret() {
    if (!referenceMode_ || !control_) return false;
    if (control_->SelLength() > 0) return true;
    const int caret = control_->CaretPos();
    if (caret == referenceStart_) return true;
    const WideString text = control_->Text();
    if (caret > 0 && caret <= static_cast<int>(text.size()) &&
        IsReferenceOperator(text[caret - 1])) {
        referenceStart_ = caret;
        return true;
    }
    SetReferenceMode(false);
    return false;
}

bool TKtEditor::WantsReference() {
    if (!cell_ || !control_) return false;
    if (referenceMode_ && FollowCaret()) return true;
    const WideString trimmed = Trim(control_->Text());
    if (trimmed.empty() || trimmed[0] != u'=') return false;
    if (trimmed.size() == 1 || control_->SelLength() > 0 || IsReferenceOperator(trimmed.back())) {
        SetReferenceMode(true, control_->CaretPos());
        return true;
    }
    return false;
}

void TKtEditor::InsertReference(const TKtCustomGrid& source, const TRect& cells,
                                WideStringView sheetCaption) {
    if (!cell_ || !control_ || cells.IsEmpty() || !FollowCaret()) return;
    WideString text = control_->Text();
    const int length = static_cast<int>(text.size());
    const int caret = control_->CaretPos();
    // Where the reference before the caret (or the insertion point) begins:
    // just after the last operator or "=" before pos.
    const auto referenceBegin = [&](int pos) {
        for (int i = std::min(pos, length) - 1; i >= 0; --i)
            if (text[i] == u'=' || IsReferenceOperator(text[i])) return i + 1;
        return 0;
    };
    if (control_->SelLength() == 0) {
        if (caret == length && (length == 0 || !IsReferenceOperator(text.back()))) {
            // The mouse moved on: the reference inserted before goes.
            text.resize(referenceBegin(length));
            control_->SetText(text);
            control_->SetSelection(static_cast<int>(text.size()), 0);
        } else if (caret == referenceStart_) {
            const int begin = referenceBegin(referenceStart_);
            control_->SetSelection(begin, referenceStart_ - begin);
        }
    }
    WideString reference(sheetCaption);
    if (!reference.empty()) reference += u"!";
    reference += source.RangeReference(cells);
    // The reference travels through the clipboard as text and stays there.
    if (IKtGridClipboard* clipboard = grid_.Clipboard()) clipboard->PutText(reference);
    control_->ReplaceSelection(reference);
    referenceStart_ = control_->CaretPos();
    ControlTextChanged();
}

void TKtEditor::SelectionChanged(const TRect& rect) {
    if (referenceMode_ && cell_) InsertReference(grid_, rect);
}

}  // namespace plu
