#include "sheets/combo_cells.h"

#include <algorithm>

#include "grid/custom_grid.h"
#include "sheets/cell_geometry.h"
#include "sheets/data_grid.h"
#include "sheets/editor_access.h"

namespace plu {

const TKtCellClass& TKtComboBoxCell::Class() {
    static const TKtCellClassOf<TKtComboBoxCell> cls("TKtComboBoxCell");
    return cls;
}

const TKtCellClass& TKtDropDownListCell::Class() {
    static const TKtCellClassOf<TKtDropDownListCell> cls("TKtDropDownListCell");
    return cls;
}

TKtComboBoxCell::~TKtComboBoxCell() = default;

std::vector<WideString> TKtComboBoxCell::ListItems() const {
    if (!items_.Empty()) return items_.Items();
    if (const std::vector<WideString>* column = ColumnItems()) return *column;
    return {};
}

int TKtComboBoxCell::StepIndex(int index, int count, bool up) {
    if (count <= 0) return -1;
    if (up) return index <= 0 || index >= count ? count - 1 : index - 1;
    return index < 0 || index >= count - 1 ? 0 : index + 1;
}

void TKtComboBoxCell::SelectItem(int index) {
    itemIndex_ = index;
    WideString text;
    if (list_ && index >= 0 && index < list_->Count()) {
        text = list_->Item(index);
    } else if (index >= 0 && index < items_.Count()) {
        text = items_.Get(index);
    } else if (const std::vector<WideString>* column = ColumnItems();
               column && index >= 0 && index < static_cast<int>(column->size())) {
        text = (*column)[static_cast<size_t>(index)];
    }
    SetAsString(text);
    if (Editing()) editor_access::SetText(Grid(), text, 0, static_cast<int>(text.size()));
    Invalidate();
}

TPoint TKtComboBoxCell::ToScreen(TPoint client) const {
    TKtCustomDataGrid* grid = DataGrid();
    IKtDropDownHost* host = grid ? grid->DropDownHost() : nullptr;
    return host ? host->ClientToScreen(Grid(), client) : client;
}

void TKtComboBoxCell::DropDown() {
    if (list_ || !CanEdit()) return;
    enterPending_ = false;
    if (IsEditable()) TKtBaseBtnCell::ShowEditor();
    TKtCustomGrid& grid = Grid();
    const TFont font = Font();
    ITextMeasurer& measurer = grid.Measurer();
    auto list =
        std::make_unique<TPopupListBox>(*this, ListItems(), font, measurer.LineHeight(font));
    const WideString text = Editing() ? editor_access::Text(grid) : GetText();
    int widest = 0;
    for (int i = 0; i < list->Count(); ++i) {
        const WideString item = list->Item(i);
        widest = std::max(widest, measurer.TextWidth(font, item));
        if (list->ItemIndex() < 0 && !text.empty() && SameText(item, text)) list->SetItemIndex(i);
    }
    const TRect cell = ClientRect();
    const TRect button = ButtonRect();
    const TPoint cellOrigin = ToScreen({cell.Left, cell.Top});
    const TPoint buttonOrigin = ToScreen({button.Left, button.Top});
    const TRect cellOnScreen{cellOrigin.X, cellOrigin.Y, cellOrigin.X + cell.Width(),
                             cellOrigin.Y + cell.Height()};
    const TRect buttonOnScreen{buttonOrigin.X, buttonOrigin.Y, buttonOrigin.X + button.Width(),
                               buttonOrigin.Y + button.Height()};
    list->SetBounds(DropDownBounds(cellOnScreen, buttonOnScreen, list->Count(), list->ItemHeight(),
                                   widest, Metrics().ScreenRect()));
    list_ = std::move(list);
    TKtCustomDataGrid* data = DataGrid();
    list_->Show(data ? data->DropDownHost() : nullptr);
    Invalidate();
}

void TKtComboBoxCell::CloseUp(bool apply) {
    if (!list_) return;
    if (apply) SelectItem(list_->ItemIndex());
    list_.reset();
    Invalidate();
}

void TKtComboBoxCell::MoveListItem(bool up) {
    if (!list_) return;
    const int next = StepIndex(list_->ItemIndex(), list_->Count(), up);
    if (next < 0) return;
    list_->SetItemIndex(next);
    SelectItem(next);
}

// ---- Tracking -----------------------------------------------------------------------

bool TKtComboBoxCell::TrackMouseDown(TPoint screen) {
    if (!list_) return true;
    if (list_->Contains(screen)) {
        const int index = list_->ItemAt(screen);
        if (index >= 0) list_->SetItemIndex(index);
        return true;
    }
    const TRect button = ButtonRect();
    const TPoint origin = ToScreen({button.Left, button.Top});
    const bool onButton =
        TRect{origin.X, origin.Y, origin.X + button.Width(), origin.Y + button.Height()}.Contains(
            screen.X, screen.Y);
    CloseUp(false);
    // Dispatched, the press on the button would open the list again at once.
    return !onButton;
}

bool TKtComboBoxCell::TrackMouseUp(TPoint screen) {
    if (!list_ || !list_->Contains(screen)) return true;
    const int index = list_->ItemAt(screen);
    if (index >= 0) list_->SetItemIndex(index);
    CloseUp(true);
    return false;
}

void TKtComboBoxCell::TrackMouseMove(TPoint screen) {
    if (!list_) return;
    const int index = list_->ItemAt(screen);
    if (index >= 0) list_->SetItemIndex(index);
}

bool TKtComboBoxCell::TrackKeyDown(uint16_t key) {
    if (!list_) return false;
    switch (key) {
        case vk::Up:
        case vk::Down:
            MoveListItem(key == vk::Up);
            return true;
        case vk::Return:
            CloseUp(true);
            return true;
        default:
            return false;
    }
}

void TKtComboBoxCell::TrackWheel(int rows) {
    if (list_) list_->ScrollBy(rows);
}

void TKtComboBoxCell::ApplicationDeactivated() {
    CloseUp(false);
}

// ---- Cell hooks --------------------------------------------------------------------------

void TKtComboBoxCell::Initialize() {
    // A cell created while it is current was entered before it existed.
    if (IsCurrent()) enterPending_ = true;
}

void TKtComboBoxCell::EnterCurrent() {
    enterPending_ = true;
}

void TKtComboBoxCell::LeaveCurrent() {
    enterPending_ = false;
    CloseUp(false);
    TKtBaseBtnCell::LeaveCurrent();
}

void TKtComboBoxCell::ShowEditor() {
    if (!CanEdit()) return;
    enterPending_ = false;
    TKtBaseBtnCell::ShowEditor();
}

void TKtComboBoxCell::HideEditor(bool save, bool focusGrid) {
    CloseUp(false);
    TKtBaseBtnCell::HideEditor(save, focusGrid);
}

void TKtComboBoxCell::CancelEdit() {
    CloseUp(false);
    TKtBaseBtnCell::CancelEdit();
}

void TKtComboBoxCell::Clear(bool undoable) {
    itemIndex_ = -1;
    TKtBaseBtnCell::Clear(undoable);
}

bool TKtComboBoxCell::ClaimsKey(uint16_t key, TShiftState shift) const {
    if (key == vk::Return) return !Editing() && (enterPending_ || list_);
    return TKtBaseBtnCell::ClaimsKey(key, shift);
}

void TKtComboBoxCell::KeyDown(uint16_t& key, TShiftState shift) {
    switch (key) {
        case vk::Return:
            if (Editing()) return;
            if (list_) {
                key = 0;
                CloseUp(true);
            } else if (enterPending_) {
                enterPending_ = false;
                key = 0;
                DropDown();
            }
            return;
        case vk::Up:
        case vk::Down:
            if (list_) {
                MoveListItem(key == vk::Up);
                key = 0;
            }
            return;
        case vk::Escape:
            CloseUp(false);
            break;
        default:
            break;
    }
    TKtBaseBtnCell::KeyDown(key, shift);
}

void TKtComboBoxCell::ButtonClick() {
    if (list_)
        CloseUp(false);
    else
        DropDown();
}

void TKtComboBoxCell::ButtonPressed(int, int) {
    ButtonClick();
}

void TKtComboBoxCell::EditorChar(char16_t& ch) {
    if (ch == vk::Back || !Editing()) return;
    TKtCustomGrid& grid = Grid();
    const WideString typed = editor_access::Text(grid);
    if (typed.empty()) return;
    const std::vector<WideString>& candidates = list_ ? list_->Items() : items_.Items();
    for (size_t i = 0; i < candidates.size(); ++i) {
        const WideString& item = candidates[i];
        if (item.size() >= typed.size() && item.compare(0, typed.size(), typed) == 0) {
            itemIndex_ = static_cast<int>(i);
            editor_access::SetText(grid, item, static_cast<int>(typed.size()),
                                   static_cast<int>(item.size() - typed.size()));
            if (list_) list_->SetItemIndex(itemIndex_);
            return;
        }
    }
    itemIndex_ = -1;
}

void TKtComboBoxCell::EditorKeyDown(uint16_t& key, TShiftState) {
    if (key != vk::Up && key != vk::Down) return;
    const bool up = key == vk::Up;
    key = 0;
    if (list_) {
        MoveListItem(up);
    } else {
        const int next = StepIndex(itemIndex_, items_.Count(), up);
        if (next < 0) return;
        SelectItem(next);
    }
}

// ---- TKtDropDownListCell ------------------------------------------------------------------

void TKtDropDownListCell::ShowEditor() {
    DropDown();
}

void TKtDropDownListCell::EnterCurrent() {
    TKtComboBoxCell::EnterCurrent();
    TKtCustomGrid& grid = Grid();
    if (grid.HasOption(TGridOption::goAlwaysShowEditor) && !grid.IsLoading()) ShowEditor();
}

void TKtDropDownListCell::KeyPress(char16_t& ch) {
    if (DroppedDown() || ch < 32) return;
    DropDown();
    if (DroppedDown()) ch = 0;
}

void TKtDropDownListCell::KeyDown(uint16_t& key, TShiftState shift) {
    if (key == vk::Delete) {
        key = 0;
        return;
    }
    TKtComboBoxCell::KeyDown(key, shift);
}

}  // namespace plu
