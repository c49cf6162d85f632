#include "sheets/data_cells.h"

#include <cmath>
#include <cstdint>

#include "base/conversions.h"
#include "sheets/cell_geometry.h"
#include "sheets/data_grid.h"
#include "sheets/sheet_errors.h"

namespace plu {

// ---- TKtItemList ----------------------------------------------------------------

const WideString& TKtItemList::Get(int index) const {
    if (index < 0 || index >= Count()) ThrowListIndexError(index);
    return items_[static_cast<size_t>(index)];
}

void TKtItemList::Set(int index, WideStringView text) {
    if (index < 0 || index >= Count()) ThrowListIndexError(index);
    items_[static_cast<size_t>(index)] = WideString(text);
}

void TKtItemList::Insert(int index, WideStringView text) {
    if (index < 0 || index > Count()) ThrowListIndexError(index);
    Grow();
    items_.insert(items_.begin() + index, WideString(text));
}

int TKtItemList::Add(WideStringView text) {
    Insert(Count(), text);
    return Count() - 1;
}

void TKtItemList::Grow() {
    const size_t capacity = items_.capacity();
    if (items_.size() < capacity) return;
    size_t delta = capacity < 9 ? 4 : (capacity <= 64 ? 16 : capacity / 4);
    items_.reserve(capacity + delta);
}

// ---- TKtDataCell ------------------------------------------------------------------

const TKtCellClass& TKtDataCell::Class() {
    static const TKtCellClassOf<TKtDataCell> cls("TKtDataCell");
    return cls;
}

TKtCustomDataGrid* TKtDataCell::DataGrid() const {
    return dynamic_cast<TKtCustomDataGrid*>(&Grid());
}

const std::vector<WideString>* TKtDataCell::ColumnItems() const {
    TKtCustomDataGrid* grid = DataGrid();
    if (!grid) return nullptr;
    const TKtDataGridColumn* column = grid->FindColumn(Col());
    if (!column) return nullptr;
    const std::vector<WideString>* items = column->FindCellItems();
    return items && !items->empty() ? items : nullptr;
}

TRect TKtDataCell::ClientRect() const {
    return Grid().CellRect(Col(), Row());
}

const IKtSystemMetrics& TKtDataCell::Metrics() const {
    if (TKtCustomDataGrid* grid = DataGrid()) return grid->SystemMetrics();
    return DefaultSystemMetrics();
}

bool TKtDataCell::AllowValue(const WideString& text) {
    return Grid().RaiseCompleteEdit(Pos(), text);
}

// ---- TKtBaseItemsCell ---------------------------------------------------------------

const TKtCellClass& TKtBaseItemsCell::Class() {
    static const TKtCellClassOf<TKtBaseItemsCell> cls("TKtBaseItemsCell");
    return cls;
}

void TKtBaseItemsCell::SetItem(int index, WideStringView text) {
    items_.Set(index, text);
    Invalidate();
}

void TKtBaseItemsCell::InsertItem(int index, WideStringView text) {
    items_.Insert(index, text);
    Invalidate();
}

int TKtBaseItemsCell::AddItem(WideStringView text) {
    const int index = items_.Add(text);
    Invalidate();
    return index;
}

void TKtBaseItemsCell::ClearItems() {
    items_.Clear();
    Invalidate();
}

// ---- TKtRadioBoxCell -----------------------------------------------------------------

const TKtCellClass& TKtRadioBoxCell::Class() {
    static const TKtCellClassOf<TKtRadioBoxCell> cls("TKtRadioBoxCell");
    return cls;
}

std::vector<WideString> TKtRadioBoxCell::Choices() const {
    if (!OwnItems().Empty()) return OwnItems().Items();
    if (const std::vector<WideString>* column = ColumnItems()) return *column;
    return {};
}

int TKtRadioBoxCell::CheckedIndex() const {
    if (Kind() == TKtValueKind::vkString) {
        double value = 0;
        if (!TryStrToFloat(GetAsString(), value)) return -1;
    }
    try {
        return GetAsInteger();
    } catch (const Exception&) {
        return -1;  // no number (a formula with a text result, a value beyond 32 bits)
    }
}

void TKtRadioBoxCell::Pick(int index) {
    if (!IsCurrent() || !CanEdit()) return;
    if (index < 0 || index >= static_cast<int>(Choices().size())) return;
    if (AllowValue(IntToWide(index))) SetAsInteger(index);
    Invalidate();
}

void TKtRadioBoxCell::KeyPress(char16_t& ch) {
    if (ch >= u'1' && ch <= u'9') {
        const int index = ch - u'1';
        if (index < static_cast<int>(Choices().size()) && IsCurrent() && CanEdit()) {
            Pick(index);
            ch = 0;
        }
    }
}

bool TKtRadioBoxCell::MouseUp(TMouseButton button, TShiftState, int x, int y) {
    if (button != TMouseButton::mbLeft) return false;
    const int index = RadioItemAt(ClientRect(), static_cast<int>(Choices().size()), x, y);
    if (index < 0) return false;
    Pick(index);
    return true;
}

// ---- TKtCheckBoxCell ----------------------------------------------------------------

const TKtCellClass& TKtCheckBoxCell::Class() {
    static const TKtCellClassOf<TKtCheckBoxCell> cls("TKtCheckBoxCell");
    return cls;
}

void TKtCheckBoxCell::SetCaption(WideStringView caption) {
    if (caption_ == caption) return;
    caption_ = WideString(caption);
    Invalidate();
}

void TKtCheckBoxCell::Toggle() {
    if (!IsCurrent() || !CanEdit()) return;
    const bool value = !GetAsBoolean();
    if (AllowValue(value ? u"True" : u"False")) SetAsBoolean(value);
    Invalidate();
}

void TKtCheckBoxCell::InsertItem(int, WideStringView text) {
    SetCaption(text);
}

int TKtCheckBoxCell::AddItem(WideStringView text) {
    SetCaption(text);
    return 0;
}

void TKtCheckBoxCell::ClearItems() {
    SetCaption(u"");
}

void TKtCheckBoxCell::KeyPress(char16_t& ch) {
    if (ch != u' ' || !IsCurrent()) return;
    Toggle();
    ch = 0;
}

bool TKtCheckBoxCell::MouseUp(TMouseButton button, TShiftState, int x, int y) {
    if (button != TMouseButton::mbLeft || !BoxRect().Contains(x, y)) return false;
    Toggle();
    return true;
}

TRect TKtCheckBoxCell::BoxRect() const {
    return CheckBoxRect(ClientRect(), !caption_.empty());
}

// ---- TKtImageCell ---------------------------------------------------------------------

const TKtCellClass& TKtImageCell::Class() {
    static const TKtCellClassOf<TKtImageCell> cls("TKtImageCell");
    return cls;
}

int TKtImageCell::PictureIndex() const {
    if (Kind() == TKtValueKind::vkEmpty) return -1;
    if (Kind() == TKtValueKind::vkInteger) return GetAsInteger();
    double value = 0;
    if (Kind() == TKtValueKind::vkString) {
        if (!TryStrToFloat(GetAsString(), value)) return -1;
    } else {
        if (!IsNumber()) return -1;
        try {
            value = GetAsFloat();
        } catch (const Exception&) {
            return -1;
        }
    }
    value = std::nearbyint(value);
    if (!(value >= INT32_MIN && value <= INT32_MAX)) return -1;
    return static_cast<int>(value);
}

const TKtPicture* TKtImageCell::Picture() const {
    const int index = PictureIndex();
    const std::vector<TKtPicture>& pictures = Grid().Pictures();
    if (index < 0 || index >= static_cast<int>(pictures.size())) return nullptr;
    return &pictures[static_cast<size_t>(index)];
}

}  // namespace plu
