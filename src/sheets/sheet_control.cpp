#include "sheets/sheet_control.h"

#include <algorithm>

#include "base/events.h"
#include "grid/editor.h"
#include "grid/grid_selection.h"
#include "sheets/sheet_errors.h"

namespace plu {

TVexaSheetControl::TVexaSheetControl() {
    // The control is complete as if loaded from a form: the strip ends with
    // the new-sheet tab.
    if (showNewTab_) tabs_.Append(u" * ", nullptr);
    // Sheets that follow the control's font take every change of it.
    font_.OnChange = [this] {
        for (TVexaGridSheet* sheet : list_)
            sheet->TakeParentFont(font_);
    };
}

TVexaSheetControl::~TVexaSheetControl() {
    destroying_ = true;
    EndPick();
    try {
        FreeAllSheets();
    } catch (...) {
        // Sheets go whatever their handlers do.
    }
    // Sheets that could not be detached cleanly are freed with owned_.
    for (TVexaGridSheet* sheet : list_)
        sheet->control_ = nullptr;
}

// ---- Sheets ------------------------------------------------------------------------------

TVexaGridSheet& TVexaSheetControl::Sheets(int index) const {
    TVexaGridSheet* sheet = FindSheet(index);
    if (!sheet) ThrowListIndexError(index);
    return *sheet;
}

TVexaGridSheet* TVexaSheetControl::FindSheet(int index) const {
    if (index < 0 || index >= SheetCount()) return nullptr;
    return list_[static_cast<size_t>(index)];
}

int TVexaSheetControl::IndexOf(const TVexaGridSheet* sheet) const {
    auto it = std::find(list_.begin(), list_.end(), sheet);
    return it == list_.end() ? -1 : static_cast<int>(it - list_.begin());
}

int TVexaSheetControl::AddSheet(WideStringView caption) {
    auto created = std::make_unique<TVexaGridSheet>();
    created->SetCaption(caption.empty() ? NewSheetName() : WideString(caption));
    TVexaGridSheet& sheet = AttachSheet(std::move(created));
    try {
        const int index = sheet.SheetIndex();
        sheet.SetOptionsEx(
            sheet.OptionsEx().With(TGridOptionEx::goxHideHorzScrollBar, showTabset_));
        if (OnNewSheet) OnNewSheet(*this, sheet);
        return sheet.SheetIndex() >= 0 ? sheet.SheetIndex() : index;
    } catch (...) {
        if (sheet.control_ == this) FreeSheet(sheet);
        throw;
    }
}

TVexaGridSheet& TVexaSheetControl::AttachSheet(std::unique_ptr<TVexaGridSheet> sheet) {
    if (!sheet) throw Exception(u"No sheet to attach");
    TVexaGridSheet& s = *sheet;
    if (s.control_) throw Exception(u"The sheet is attached to another sheet control");
    owned_.push_back(std::move(sheet));
    list_.push_back(&s);
    s.control_ = this;
    s.TKtCustomGrid::SetSheetIndex(SheetCount() - 1);
    // Its formulas and the other sheets' follow each other's cells from now.
    s.Dependents().Share(&formulas_.CalcExpress().Dependencies());
    SheetsChanged();
    s.SetPopupMenu(popupMenu_);
    s.TakeParentFont(font_);
    for (const IKtForwardedEvent* event : forwarded_)
        event->AssignTo(s);
    if (s.tabVisible_) ShowTab(s);
    return s;
}

std::unique_ptr<TVexaGridSheet> TVexaSheetControl::DetachSheet(TVexaGridSheet& sheet) {
    return Detach(sheet, false);
}

std::unique_ptr<TVexaGridSheet> TVexaSheetControl::Detach(TVexaGridSheet& sheet, bool freeing) {
    if (sheet.control_ != this) return nullptr;
    if (pick_.editing == &sheet || pick_.source == &sheet) EndPick();
    if (renameTab_ >= 0 && tabs_.Sheet(renameTab_) == &sheet) CancelRename();
    TVexaGridSheet* next = FindNextSheet(&sheet, true, true);
    if (sheet.tabShown_) HideTab(sheet);
    sheet.control_ = nullptr;
    sheet.SetPopupMenu(nullptr);
    sheet.TKtCustomGrid::SetSheetIndex(-1);
    list_.erase(std::find(list_.begin(), list_.end(), &sheet));
    RenumberSheets();
    // A sheet handed back keeps its formulas among themselves; a sheet being
    // freed leaves the shared registry as it goes.
    if (!freeing) sheet.Dependents().Share(nullptr);
    SheetsChanged();
    std::unique_ptr<TVexaGridSheet> taken;
    for (auto it = owned_.begin(); it != owned_.end(); ++it) {
        if (it->get() == &sheet) {
            taken = std::move(*it);
            owned_.erase(it);
            break;
        }
    }
    SetActiveSheet(next == &sheet ? nullptr : next);
    if (active_ == &sheet) {
        // Nothing else could take over (the next sheet refused): the sheet
        // leaves anyway and no sheet stays active.
        SetSheetVisible(sheet, false);
        active_ = nullptr;
        tabIndex_ = -1;
    }
    return taken;
}

void TVexaSheetControl::FreeSheet(TVexaGridSheet& sheet) {
    std::unique_ptr<TVexaGridSheet> taken = Detach(sheet, true);
    taken.reset();
}

void TVexaSheetControl::SheetsChanged() {
    // Formulas that name other sheets by list position look again.
    if (!destroying_) formulas_.CalcExpress().Dependencies().SheetsChanged();
}

void TVexaSheetControl::FreeAllSheets() {
    while (!list_.empty())
        FreeSheet(*list_.back());
}

TVexaTakenSheets TVexaSheetControl::TakeSheets() {
    TVexaTakenSheets taken;
    EndPick();
    taken.ActiveIndex = IndexOf(active_);
    if (renameTab_ >= 0) CancelRename();
    if (active_) {
        SetSheetVisible(*active_, false);
        active_ = nullptr;
    }
    tabIndex_ = -1;
    for (TVexaGridSheet* sheet : list_) {
        if (sheet->tabShown_) tabs_.Delete(tabs_.IndexOf(sheet));
        sheet->tabShown_ = false;
        sheet->control_ = nullptr;
        sheet->SetPopupMenu(nullptr);
        sheet->TKtCustomGrid::SetSheetIndex(-1);
        sheet->Dependents().Share(nullptr);
        for (auto& owned : owned_) {
            if (owned.get() == sheet) {
                taken.Sheets.push_back(std::move(owned));
                break;
            }
        }
    }
    list_.clear();
    owned_.clear();
    SheetsChanged();
    Change();
    ReportHandlerError();
    return taken;
}

void TVexaSheetControl::RestoreSheets(TVexaTakenSheets taken) {
    FreeAllSheets();
    for (auto& sheet : taken.Sheets)
        if (sheet) AttachSheet(std::move(sheet));
    ActivateSheet(taken.ActiveIndex);
}

void TVexaSheetControl::RenumberSheets() {
    for (size_t i = 0; i < list_.size(); ++i)
        list_[i]->TKtCustomGrid::SetSheetIndex(static_cast<int>(i));
}

void TVexaSheetControl::MoveSheet(TVexaGridSheet& sheet, int index) {
    const int from = IndexOf(&sheet);
    if (from < 0) return;
    TVexaGridSheet* current = tabs_.Sheet(tabIndex_);
    list_.erase(list_.begin() + from);
    list_.insert(list_.begin() + index, &sheet);
    RenumberSheets();
    SheetsChanged();
    if (sheet.tabShown_) {
        const int oldTab = tabs_.IndexOf(&sheet);
        tabs_.Move(oldTab, TabInsertPosition(sheet));
        // The current tab stays on the sheet it was on.
        if (current) tabIndex_ = tabs_.IndexOf(current);
    }
    Change();
}

// ---- Tabs -----------------------------------------------------------------------------------

int TVexaSheetControl::TabInsertPosition(const TVexaGridSheet& sheet) const {
    int position = 0;
    for (const TVexaGridSheet* other : list_) {
        if (other == &sheet) break;
        if (other->tabShown_) ++position;
    }
    return position;
}

void TVexaSheetControl::ShowTab(TVexaGridSheet& sheet) {
    if (sheet.tabShown_) return;
    const int position = TabInsertPosition(sheet);
    tabs_.Insert(position, sheet.caption_, &sheet);
    sheet.tabShown_ = true;
    // The current tab keeps pointing at the sheet it showed.
    if (tabIndex_ >= position) ++tabIndex_;
    SyncTabs();
}

void TVexaSheetControl::HideTab(TVexaGridSheet& sheet) {
    const int position = tabs_.IndexOf(&sheet);
    if (position < 0) return;
    if (renameTab_ == position) CancelRename();
    tabs_.Delete(position);
    sheet.tabShown_ = false;
    if (tabIndex_ >= position) --tabIndex_;
    SyncTabs();
}

void TVexaSheetControl::SyncTabs() {
    if (tabSyncLock_ > 0) return;
    SetActiveSheet(tabIndex_ < 0 ? nullptr : tabs_.Sheet(tabIndex_));
}

TVexaGridSheet* TVexaSheetControl::FindNextSheet(const TVexaGridSheet* sheet, bool forward,
                                                 bool visibleOnly) const {
    const int count = SheetCount();
    if (count == 0) return nullptr;
    int start = IndexOf(sheet);
    if (start < 0) start = forward ? count - 1 : 0;
    int i = start;
    do {
        i = forward ? (i + 1) % count : (i + count - 1) % count;
        TVexaGridSheet* candidate = list_[static_cast<size_t>(i)];
        if (!visibleOnly || candidate->tabVisible_) return candidate;
    } while (i != start);
    return nullptr;
}

void TVexaSheetControl::SetTabIndex(int index) {
    const bool valid = tabs_.Valid(index);
    tabIndex_ = valid ? index : (tabs_.Count() > 0 ? 0 : -1);
    if (changingActive_ || !valid) return;
    // The tab's own sheet (tab and list positions differ once a tab is hidden).
    if (TVexaGridSheet* sheet = tabs_.Sheet(index); sheet && sheet->tabVisible_)
        SetActiveSheet(sheet);
}

void TVexaSheetControl::SetActiveSheet(TVexaGridSheet* sheet) {
    if (sheet && sheet->control_ != this) return;
    {
        changingActive_ = true;
        ScopeExit guard([this] { changingActive_ = false; });
        TVexaGridSheet* old = active_;
        if (sheet != old) {
            // The old sheet gives up its edit first; a refused commit keeps it.
            // A formula picking a reference keeps editing: the new sheet feeds
            // it, until the editing sheet is active again.
            TVexaGridSheet* picking = pick_.source == old ? pick_.editing : nullptr;
            if (picking) {
                EndPick();
                if (sheet && sheet != picking && PicksReference(*picking))
                    BeginPick(*picking, *sheet);
            } else if (old && sheet && old->control_ == this && PicksReference(*old)) {
                BeginPick(*old, *sheet);
            } else if (old && old->control_ == this && old->EditorMode()) {
                try {
                    old->SetEditorMode(false);
                } catch (...) {
                    tabIndex_ = old->TabPosition();
                    throw;
                }
                if (old->EditorMode()) {
                    tabIndex_ = old->TabPosition();
                    return;
                }
            }
            if (sheet) SetSheetVisible(*sheet, true);
            if (old) SetSheetVisible(*old, false);
            active_ = sheet;
        }
        tabIndex_ = sheet ? sheet->TabPosition() : -1;
    }
    Change();
    ReportHandlerError();
}

void TVexaSheetControl::ActivateSheet(int index) {
    SetActiveSheet(FindSheet(index));
}

bool TVexaSheetControl::NameInUse(WideStringView name) const {
    for (int i = 0; i < tabs_.Count(); ++i)
        if (tabs_[i].Sheet && SameText(tabs_[i].Caption, name)) return true;
    // Hidden tabs too: formulas find sheets by caption, so names stay unique.
    for (const TVexaGridSheet* sheet : list_)
        if (SameText(sheet->caption_, name)) return true;
    return false;
}

WideString TVexaSheetControl::NewSheetName() {
    for (;;) {
        if (nameCounter_ < SheetCount()) nameCounter_ = SheetCount();
        ++nameCounter_;
        WideString candidate = sheetBaseName_ + IntToWide(nameCounter_);
        if (!NameInUse(candidate)) return candidate;
    }
}

void TVexaSheetControl::Change() {
    if (destroying_) return;
    if (OnChange) OnChange(*this);
}

void TVexaSheetControl::SetSheetVisible(TVexaGridSheet& sheet, bool visible) {
    if (sheet.visible_ == visible) return;
    sheet.visible_ = visible;
    const auto& handler = visible ? sheet.OnShow : sheet.OnHide;
    if (!handler) return;
    try {
        handler(sheet);
    } catch (const std::exception& error) {
        if (OnHandlerException)
            OnHandlerException(error);
        else if (!pendingHandlerError_)
            pendingHandlerError_ = std::current_exception();
    }
}

void TVexaSheetControl::ReportHandlerError() {
    if (!pendingHandlerError_) return;
    std::exception_ptr error = pendingHandlerError_;
    pendingHandlerError_ = nullptr;
    if (!destroying_) std::rethrow_exception(error);
}

// ---- References from other sheets -----------------------------------------------------------

bool TVexaSheetControl::PicksReference(const TVexaGridSheet& sheet) {
    const TKtEditor* editor = EditorOf(sheet);
    return sheet.EditorMode() && editor && editor->IsOpen() && editor->ReferenceMode();
}

void TVexaSheetControl::BeginPick(TVexaGridSheet& editing, TVexaGridSheet& source) {
    EndPick();
    pick_.editing = &editing;
    pick_.source = &source;
    pick_.sourceEditor = source.CellEditor();
    source.SetCellEditor(&pick_);
    source.Selection().ReferenceMode = true;
}

void TVexaSheetControl::EndPick() {
    if (!pick_.source) return;
    pick_.source->Selection().ReferenceMode = false;
    if (pick_.source->CellEditor() == &pick_) pick_.source->SetCellEditor(pick_.sourceEditor);
    pick_.editing = pick_.source = nullptr;
    pick_.sourceEditor = nullptr;
}

void TVexaSheetControl::TReferencePick::SelectionChanged(const TRect& rect) {
    if (!editing || !source) return;
    if (TKtEditor* editor = EditorOf(*editing))
        editor->InsertReference(*source, rect, source->Caption());
}

bool TVexaSheetControl::SheetKeyDown(TVexaGridSheet& sheet, uint16_t key, TShiftState) {
    if (!pick_.editing || pick_.source != &sheet || key != vk::Return) return false;
    SetActiveSheet(pick_.editing);
    return true;
}

// ---- Properties ---------------------------------------------------------------------------------

void TVexaSheetControl::SetShowNewTab(bool show) {
    showNewTab_ = show;
    if (show && !tabs_.HasNewSheetTab()) {
        tabs_.Append(u"*", nullptr);
    } else if (!show && tabs_.HasNewSheetTab()) {
        tabs_.Delete(tabs_.Count() - 1);
        if (tabIndex_ >= tabs_.Count()) tabIndex_ = active_ ? active_->TabPosition() : -1;
    }
}

void TVexaSheetControl::SetShowTabset(bool show) {
    showTabset_ = show;
    for (TVexaGridSheet* sheet : list_)
        sheet->SetOptionsEx(sheet->OptionsEx().With(TGridOptionEx::goxHideHorzScrollBar, show));
}

void TVexaSheetControl::SetHorzScrollBarLength(int width) {
    scrollBarLength_ = std::max(width, 0);
}

void TVexaSheetControl::SetPopupMenu(TKtPopupMenu* menu) {
    popupMenu_ = menu;
    for (TVexaGridSheet* sheet : list_)
        sheet->SetPopupMenu(menu);
}

// ---- Tab strip input
// ------------------------------------------------------------------------------

void TVexaSheetControl::TabMouseDown(TMouseButton button, TShiftState shift, int tab) {
    if (Renaming()) CommitRename();
    pressedTab_ = button == TMouseButton::mbLeft ? tab : -1;
    TVexaGridSheet* sheet = tabs_.Sheet(tab);
    if (!sheet) return;  // the new-sheet tab acts on release
    if (OnTabSetMouseDown) OnTabSetMouseDown(*this, button, shift, tab);
    if (button != TMouseButton::mbLeft) return;
    SetActiveSheet(sheet);
    if (shift.Has(TShift::ssDouble)) StartRename(tabs_.IndexOf(sheet));
}

void TVexaSheetControl::TabMouseUp(TMouseButton button, TShiftState shift, int tab) {
    const bool clicked = button == TMouseButton::mbLeft && pressedTab_ == tab;
    pressedTab_ = -1;
    if (tabs_.Sheet(tab)) {
        if (OnTabSetMouseUp) OnTabSetMouseUp(*this, button, shift, tab);
        return;
    }
    if (clicked && tab >= 0 && tab == NewSheetTabIndex()) ActivateSheet(AddSheet());
}

void TVexaSheetControl::StartRename(int tab) {
    if (!tabs_.Sheet(tab)) return;
    renameTab_ = tab;
    renameText_ = tabs_.Caption(tab);
}

void TVexaSheetControl::CommitRename() {
    TVexaGridSheet* sheet = tabs_.Sheet(renameTab_);
    renameTab_ = -1;
    if (sheet) sheet->SetCaption(renameText_);
    renameText_.clear();
}

void TVexaSheetControl::CancelRename() {
    renameTab_ = -1;
    renameText_.clear();
}

}  // namespace plu
