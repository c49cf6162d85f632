#include "grid/custom_grid.h"

#include <algorithm>
#include <cstdio>

#include "base/ansi_code_page.h"
#include "base/events.h"
#include "base/screen.h"
#include "grid/grid_selection.h"
#include "grid/text_layout.h"

namespace plu {

namespace {

int ClampInt(int64_t v) {
    return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN / 2, INT32_MAX / 2));
}

}  // namespace

TKtCustomGrid::TKtCustomGrid() {
    font_.OnChange = [this] { FontChangedForAll(); };
    defaultStyle_.OnChange = [this] { InvalidateGrid(); };
    fixedCellStyle_.SetOptions(TKtCellOptions{});
    fixedCellStyle_.OnChange = [this] { InvalidateGrid(); };
    columns_ = std::make_unique<TVexaGridColList>();
    colWidths_ = std::make_unique<TSizes>(73);
    cells_ = std::make_unique<TCells>(*this, 19);
    rowHeights_ = std::make_unique<TKtRowHeights>(*this, *cells_, 19);
    rowHeights_->SetRowCount(rowCount_);
    classManager_ = std::make_unique<TCellClassManager>(*this);
    selection_ = std::make_unique<TKtGridSelection>(*this);
    dependents_ = std::make_unique<TKtGridDependents>(*this);
    colWidths_->SetSize(0, defaultFixedColWidth_);
}

TKtCustomGrid::~TKtCustomGrid() {
    if (clipboard_) {
        try {
            clipboard_->GridDestroyed(*this);
        } catch (...) {
            // A clipboard that cannot render cannot stop the grid from going.
        }
    }
    if (editorMode_) {
        try {
            SetEditorMode(false);
        } catch (...) {
            // A refused or failing commit cannot stop the grid from going.
        }
    }
    if (view_) {
        IKtGridView* view = view_;
        view_ = nullptr;
        view->GridDestroying();
    }
    // Links with formulas of other grids end before any cell goes, so the
    // cells need not unregister one by one.
    dependents_->Detach();
    destroying_ = true;
    editorMode_ = false;
    editingCell_ = captureCell_ = pressedCell_ = nullptr;
    // Cells go first, while everything they may look at still exists.
    cells_.reset();
}

// ---- Hooks -------------------------------------------------------------------------

std::unique_ptr<IKtFormula> TKtCustomGrid::CreateFormula(TKtValue&, WideStringView,
                                                         const IKtFormula*) {
    throw Exception(u"Do not support");
}

void TKtCustomGrid::Calculate() {
    throw Exception(u"dont support calculate function");
}

std::unique_ptr<TKtGridColumn> TKtCustomGrid::CreateColumnObject(int col) {
    return std::make_unique<TKtGridColumn>(*this, col);
}

std::unique_ptr<TKtGridRow> TKtCustomGrid::CreateRowObject(TKwGridRow& row) {
    return std::make_unique<TKtGridRow>(row);
}

// ---- Dimensions ------------------------------------------------------------------------

void TKtCustomGrid::SetColCount(int value) {
    value = std::clamp(value, std::max(fixedColCount_, 1), kMaxGridCols);
    if (value == colCount_) return;
    SetEditorMode(false);
    const int old = colCount_;
    if (value < old) {
        for (int c = value; c < old; ++c)
            if (ColWidths(c) == 0) --hiddenColCount_;
        cells_->DeleteColumns(value, old - value);
        colWidths_->SetCount(value);
        if (hiddenWidths_) hiddenWidths_->SetCount(value);
        columns_->SetCount(value);
        classManager_->Infos().DeleteColumns(value, old - value);
        merged_.DeleteCols(value, old - value);
    }
    colCount_ = value;
    ClipScrollPosition();
    selection_->Validate();
    ScrollBars(true, false);
    InvalidateCells({std::min(old, value), 0, std::max(old, value), rowCount_});
    // The formulas that read freed cells, once the grid is in its new state.
    if (value < old) dependents_->CellsRemoved({value, 0, old, kMaxGridRows});
}

void TKtCustomGrid::SetRowCount(int value) {
    value = std::clamp(value, std::max(fixedRowCount_, 1), kMaxGridRows);
    if (value == rowCount_) return;
    SetEditorMode(false);
    const int old = rowCount_;
    if (value < old) {
        for (int r = value; r < old; ++r)
            if (RowHeights(r) == 0) --hiddenRowCount_;
        cells_->DeleteRows(value, old - value);
        classManager_->Infos().DeleteRows(value, old - value);
        merged_.DeleteRows(value, old - value);
        for (auto it = pendingRowFits_.begin(); it != pendingRowFits_.end();)
            it = *it >= value ? pendingRowFits_.erase(it) : std::next(it);
        if (topRow_ >= value) topRow_ = std::max(viewLockRow_, topRow_ - (old - value));
    }
    rowCount_ = value;
    rowHeights_->SetRowCount(value);
    ClipScrollPosition();
    selection_->Validate();
    ScrollBars(false, true);
    if (view_ && !IsUpdating()) {
        const int top = RowTop(std::min(old, value));
        view_->InvalidateRect({0, std::max(top, 0), clientWidth_, clientHeight_});
    }
    if (value < old) dependents_->CellsRemoved({0, value, kMaxGridCols, old});
    if (OnRowCountChange) OnRowCountChange(*this);
}

void TKtCustomGrid::SetFixedColCount(int value) {
    if (value <= 0 || value == fixedColCount_) return;
    if (value > fixedColCount_) {
        const int n = std::min(value - fixedColCount_, kMaxGridCols - colCount_);
        if (n <= 0) return;
        // Columns can only be inserted before an existing one; index 0 always is.
        InsertCols(0, n);
    } else {
        DeleteCols(0, fixedColCount_ - value);
    }
}

void TKtCustomGrid::SetFixedRowCount(int value) {
    if (value <= 0 || value == fixedRowCount_) return;
    if (value > fixedRowCount_)
        InsertRows(0, value - fixedRowCount_);
    else
        DeleteRows(0, fixedRowCount_ - value);
}

void TKtCustomGrid::SetDataRowCount(int value) {
    SetRowCount(std::max(value, 1) + fixedRowCount_);
}

void TKtCustomGrid::SetFixedColFirstNo(int value) {
    if (value == fixedColFirstNo_) return;
    fixedColFirstNo_ = value;
    InvalidateCells({0, 0, fixedColCount_, rowCount_});
}

void TKtCustomGrid::SetFixedRowFirstNo(int value) {
    if (value == fixedRowFirstNo_) return;
    fixedRowFirstNo_ = value;
    InvalidateCells({0, 0, colCount_, fixedRowCount_});
}

// ---- Cells ---------------------------------------------------------------------------------

TKtCell& TKtCustomGrid::GetCell(int col, int row) {
    if (col < 0 || row < 0 || col >= kMaxGridCols) throw ERangeError("Range check error");
    TKwGridRow* list = cells_->GetOrCreateList(row);
    if (TKtCell* existing = list->Get(col)) return *existing;
    std::unique_ptr<TKtCell> created = classManager_->CellClassAt(col, row).Create(*list, col);
    TKtCell* cell = created.get();
    list->Put(col, created.release());
    cell->Initialize();
    if (OnCellCreated) OnCellCreated(*cell);
    return *cell;
}

TKtCell* TKtCustomGrid::GetDataCell(int dataCol, int dataRow) {
    if (dataCol < 0 || dataRow < 0) return nullptr;
    return &GetCell(dataCol + fixedColCount_, dataRow + fixedRowCount_);
}

TKtGridRow& TKtCustomGrid::GetRow(int row) {
    if (row < 0) throw ERangeError("Range check error");
    return cells_->GetOrCreateList(row)->GetRowObject();
}

TKtGridRow* TKtCustomGrid::FindRowObject(int row) const {
    const TKwGridRow* list = cells_->Get(row);
    return list ? list->RowObject() : nullptr;
}

TKtGridColumn& TKtCustomGrid::GetColumn(int col) {
    if (col < 0 || col >= kMaxGridCols) throw ERangeError("Range check error");
    if (TKtGridColumn* existing = columns_->Get(col)) return *existing;
    std::unique_ptr<TKtGridColumn> created = CreateColumnObject(col);
    TKtGridColumn* column = created.get();
    columns_->Put(col, created.release());
    column->visible_ = ColWidths(col) != 0;
    return *column;
}

TKtCell& TKtCustomGrid::CurrentCell() {
    const TPoint p = selection_->Current();
    return GetCell(p.X, p.Y);
}

int TKtCustomGrid::CurrentCol() const {
    return selection_->Current().X;
}
int TKtCustomGrid::CurrentRow() const {
    return selection_->Current().Y;
}

void TKtCustomGrid::SelectRange(int col1, int row1, int col2, int row2) {
    selection_->SetCurrent(col1, row1, true);
    // A refused (or impossible) current cell ends the operation.
    if (selection_->Current() != merged_.SnapToAnchor({col1, row1})) return;
    selection_->ExtendTo(col2, row2);
}

void TKtCustomGrid::SetCurrentCol(int col) {
    selection_->SetCurrent(col, CurrentRow(), true);
}

void TKtCustomGrid::SetCurrentRow(int row) {
    selection_->SetCurrent(CurrentCol(), row, true);
}

// ---- Sizes -----------------------------------------------------------------------------------

void TKtCustomGrid::SetColWidth(int col, int width) {
    if (col < 0) return;
    width = std::max(width, 0);
    const int old = ColWidths(col);
    if (width == old) return;
    colWidths_->SetSize(col, width);
    if ((old == 0) != (width == 0)) hiddenColCount_ += width == 0 ? 1 : -1;
    if (TKtGridColumn* column = FindColumn(col)) column->visible_ = width != 0;
    ScrollBars(true, false);
    // Any width (height) change at or before the edited cell moves or
    // resizes it; the editor follows.
    if (editingCell_ && cellEditor_) cellEditor_->UpdateBounds();
    if (!loading_ && OnColWidthChange) OnColWidthChange(*this, col, width);
    InvalidateGrid();
}

void TKtCustomGrid::SetRowHeight(int row, int height) {
    if (row < 0) return;
    height = std::max(height, 0);
    if (height == rowHeights_->StoredHeight(row)) return;
    const int old = RowHeights(row);
    rowHeights_->SetHeight(row, height);
    const int now = RowHeights(row);
    if ((old == 0) != (now == 0)) hiddenRowCount_ += now == 0 ? 1 : -1;
    ScrollBars(false, true);
    // Any width (height) change at or before the edited cell moves or
    // resizes it; the editor follows.
    if (editingCell_ && cellEditor_) cellEditor_->UpdateBounds();
    if (OnRowHeightChange) OnRowHeightChange(*this, row, height);
    InvalidateGrid();
}

void TKtCustomGrid::SetColVisible(int col, bool visible) {
    if (col < 0) return;
    const int width = ColWidths(col);
    if (visible == (width != 0)) return;
    if (!visible) {
        if (!hiddenWidths_) hiddenWidths_ = std::make_unique<TSizes>(DefaultColWidth());
        hiddenWidths_->SetSize(col, width);
        SetColWidth(col, 0);
    } else {
        int restored = hiddenWidths_ ? hiddenWidths_->Get(col) : DefaultColWidth();
        if (restored <= 0) restored = DefaultColWidth();
        SetColWidth(col, restored);
    }
}

void TKtCustomGrid::SetRowVisible(int row, bool visible) {
    if (row < 0 || rowHeights_->IsVisible(row) == visible) return;
    const int old = RowHeights(row);
    rowHeights_->SetVisible(row, visible);
    const int now = RowHeights(row);
    if ((old == 0) != (now == 0)) hiddenRowCount_ += now == 0 ? 1 : -1;
    ScrollBars(false, true);
    if (OnRowHeightChange) OnRowHeightChange(*this, row, now);
    InvalidateGrid();
}

void TKtCustomGrid::SetDefaultColWidth(int value) {
    if (value < 1 || value == DefaultColWidth()) return;
    colWidths_->SetDefaultSize(value);
    if (hiddenWidths_) hiddenWidths_->SetDefaultSize(value);
    for (int c = 0; c < fixedColCount_; ++c)
        if (colWidths_->Get(c) != 0) colWidths_->SetSize(c, defaultFixedColWidth_);
    if (editingCell_ && cellEditor_) cellEditor_->UpdateBounds();
    ScrollBars(true, false);
    InvalidateGrid();
}

void TKtCustomGrid::SetDefaultRowHeight(int value) {
    if (value < 1 || value == DefaultRowHeight()) return;
    rowHeights_->SetDefaultSize(value);
    for (int r = 0; r < fixedRowCount_; ++r)
        if (rowHeights_->StoredHeight(r) != defaultFixedRowHeight_)
            rowHeights_->SetHeight(r, defaultFixedRowHeight_);
    if (editingCell_ && cellEditor_) cellEditor_->UpdateBounds();
    ScrollBars(false, true);
    InvalidateGrid();
}

void TKtCustomGrid::SetDefaultFixedColWidth(int value) {
    if (value < 0) return;
    defaultFixedColWidth_ = value;
    for (int c = 0; c < fixedColCount_; ++c)
        SetColWidth(c, value);
}

void TKtCustomGrid::SetDefaultFixedRowHeight(int value) {
    if (value < 0) return;
    defaultFixedRowHeight_ = value;
    for (int r = 0; r < fixedRowCount_; ++r)
        SetRowHeight(r, value);
}

// ---- Bulk updates ------------------------------------------------------------------------------

void TKtCustomGrid::EndUpdate() {
    if (updateCount_ == 0) return;
    if (--updateCount_ > 0) return;
    // Formulas first: their results decide the row heights fitted below.
    dependents_->Flush();
    std::vector<int> rows(pendingRowFits_.begin(), pendingRowFits_.end());
    pendingRowFits_.clear();
    if (autoRowHeight_) {
        std::sort(rows.begin(), rows.end());
        for (int r : rows)
            if (r < rowCount_) AutoFitRowHeight(r);
    }
    selection_->Validate();
    ScrollBars(true, true);
    if (view_) view_->InvalidateAll();
}

void TKtCustomGrid::RequestRowFit(int row) {
    if (row < 0 || row >= rowCount_) return;
    if (IsUpdating())
        pendingRowFits_.insert(row);
    else
        AutoFitRowHeight(row);
}

void TKtCustomGrid::SetMeasurer(ITextMeasurer* measurer) {
    measurer_ = measurer;
}

ITextMeasurer& TKtCustomGrid::Measurer() const {
    return measurer_ ? *measurer_ : DefaultTextMeasurer();
}

// ---- Automatic sizes --------------------------------------------------------------------------

void TKtCustomGrid::AutoFitRowHeight(int row) {
    if (row < 0 || row >= rowCount_) return;
    const TKtGridRow* object = FindRowObject(row);
    if (object && object->HeightSetByHand() && !allowAutoAdjustCustomRowHeight_) return;
    SetRowHeight(row, ComputeRowHeight(row));
}

int TKtCustomGrid::ComputeRowHeight(int row) {
    int tallest = 0;
    const TKwGridRow* list = cells_->Get(row);
    if (list) {
        std::vector<TKtCell*> cells;
        list->ForAllInRange(fixedColCount_, colCount_ - 1, [&](int, TKtSparseList::Item item) {
            cells.push_back(reinterpret_cast<TKtCell*>(item));
            return 0;
        });
        for (TKtCell* cell : cells) {
            const TRect span = CellSpanRect(cell->Col(), row);
            // Covered cells and anchors spanning several rows do not count.
            if (span.Left != cell->Col() || span.Top != row || span.Height() > 1) continue;
            const WideString text = cell->GetText();
            if (text.empty()) continue;
            // A cell spanning columns lays its text out over all of them.
            const int width = static_cast<int>(colWidths_->SumRange(span.Left, span.Right)) - 4;
            const int h = TextHeight(Measurer(), cell->Font(), text, width, cell->IsWordWrap());
            tallest = std::max(tallest, h);
        }
    }
    return std::max(tallest + 1, DefaultRowHeight());
}

void TKtCustomGrid::AutoFitColWidth(int col) {
    if (col < 0 || col >= colCount_) return;
    int widest = -1;
    cells_->ForAll([&](int row, TKwGridRow* list) {
        if (row < fixedRowCount_ || row >= rowCount_) return 0;
        TKtCell* cell = list->Get(col);
        if (!cell || CellSpanRect(col, row).Width() > 1) return 0;
        const WideString text = cell->GetText();
        if (text.empty()) return 0;
        int w = 0;
        size_t start = 0;
        while (start <= text.size()) {
            size_t end = text.find_first_of(u"\r\n", start);
            if (end == WideString::npos) end = text.size();
            w = std::max(w, Measurer().TextWidth(cell->Font(),
                                                 WideStringView(text).substr(start, end - start)));
            if (end < text.size() && text[end] == u'\r' && end + 1 < text.size() &&
                text[end + 1] == u'\n')
                ++end;
            start = end + 1;
        }
        // The margins the text layout keeps on both sides.
        widest = std::max(widest, w + 2 * TextMargin());
        return 0;
    });
    if (widest < 0) return;
    SetColWidth(col, std::min(widest, std::max(clientWidth_, 1)));
}

// ---- Properties ---------------------------------------------------------------------------------

void TKtCustomGrid::SetOptions(TGridOptions options) {
    if (options == options_) return;
    options_ = options;
    InvalidateGrid();
}

void TKtCustomGrid::SetOptionsEx(TGridOptionsEx options) {
    if (options == optionsEx_) return;
    optionsEx_ = options;
    ScrollBars(true, true);
    InvalidateGrid();
}

void TKtCustomGrid::SetDontShowZero(bool on) {
    if (on == dontShowZero_) return;
    dontShowZero_ = on;
    InvalidateGrid();
}

void TKtCustomGrid::SetShowGridLine(bool on) {
    if (on == showGridLine_) return;
    showGridLine_ = on;
    InvalidateGrid();
}

void TKtCustomGrid::SetGridLineColor(TColor color) {
    if (color == gridLineColor_) return;
    gridLineColor_ = color;
    InvalidateGrid();
}

void TKtCustomGrid::SetSelectColor(TColor color) {
    if (color == selectColor_) return;
    selectColor_ = color;
    InvalidateGrid();
}

void TKtCustomGrid::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    InvalidateGrid();
}

void TKtCustomGrid::SetBgColor(TColor color) {
    if (color == bgColor_) return;
    bgColor_ = color;
    InvalidateGrid();
}

void TKtCustomGrid::SetZebraRowColor(bool on) {
    if (on == zebraRowColor_) return;
    zebraRowColor_ = on;
    InvalidateGrid();
}

void TKtCustomGrid::SetOddRowColor(TColor color) {
    if (color == oddRowColor_) return;
    oddRowColor_ = color;
    InvalidateGrid();
}

void TKtCustomGrid::SetEvenRowColor(TColor color) {
    if (color == evenRowColor_) return;
    evenRowColor_ = color;
    InvalidateGrid();
}

// ---- Styles
// ---------------------------------------------------------------------------------------

const TKtGridStyle& TKtCustomGrid::EffectiveStyle(int col, int row, TKtStyleAttribute attribute,
                                                  const TKtCell* cell) const {
    const uint8_t bit = UsedBit(attribute);
    const TKtGridStyle& own = cell ? cell->Style() : SharedDefaultStyle();
    if (own.UsedAttributes() & bit) return own;
    if (row < fixedRowCount_) return own;  // header cells never inherit
    if (const TKtGridColumn* column = FindColumn(col))
        if (column->Style().UsedAttributes() & bit) return column->Style();
    if (const TKtGridRow* object = FindRowObject(row))
        if (const TKtGridStyle* style = object->FindStyle())
            if (style->UsedAttributes() & bit) return *style;
    return defaultStyle_;
}

TColor TKtCustomGrid::CellBackground(int col, int row) const {
    TColor color =
        EffectiveStyle(col, row, TKtStyleAttribute::Background, FindCell(col, row)).BgColor();
    if (zebraRowColor_ && (color == clNone || color == defaultStyle_.BgColor()))
        color = row % 2 == 0 ? evenRowColor_ : oddRowColor_;
    if (OnCellGetColor) OnCellGetColor(const_cast<TKtCustomGrid&>(*this), {col, row}, color);
    return color;
}

void TKtCustomGrid::FontChangedForAll() {
    // Cells that follow the grid's font read it; cells with a font of their
    // own keep it.
    InvalidateGrid();
}

// ---- Header numbering ---------------------------------------------------------------------------

WideString TKtCustomGrid::ColumnLetters(int n) {
    WideString letters;
    while (n > 0) {
        letters.insert(letters.begin(), static_cast<char16_t>(u'A' + (n - 1) % 26));
        n = (n - 1) / 26;
    }
    return letters;
}

WideString TKtCustomGrid::HeaderText(int col, int row) const {
    if (row == fixedRowCount_ - 1 && col >= fixedColCount_ && col < colCount_ &&
        HasOption(TGridOption::goFixedRowShowNo))
        return ColumnLetters(col - fixedColCount_ + fixedRowFirstNo_);
    if (col == fixedColCount_ - 1 && row >= fixedRowCount_ && row < rowCount_ &&
        HasOption(TGridOption::goFixedColShowNo))
        return IntToWide(static_cast<int64_t>(row) - fixedRowCount_ + fixedColFirstNo_);
    return WideString();
}

WideString TKtCustomGrid::CellReference(int col, int row) const {
    return ColumnLetters(col - fixedColCount_ + fixedRowFirstNo_) +
           IntToWide(static_cast<int64_t>(row) - fixedRowCount_ + fixedColFirstNo_);
}

WideString TKtCustomGrid::RangeReference(const TRect& rect) const {
    if (rect.Width() <= 1 && rect.Height() <= 1) return CellReference(rect.Left, rect.Top);
    return CellReference(rect.Left, rect.Top) + u":" +
           CellReference(rect.Right - 1, rect.Bottom - 1);
}

// ---- Contents
// -------------------------------------------------------------------------------------

void TKtCustomGrid::ClearContents() {
    SetEditorMode(false);
    cells_->Clear();
    merged_.Clear();
    colWidths_->Clear();
    hiddenWidths_.reset();
    hiddenColCount_ = hiddenRowCount_ = 0;
    pendingRowFits_.clear();
    columns_->ForAllObjects([](int, TKtGridColumn* column) {
        column->visible_ = true;
        return 0;
    });
    for (int c = 0; c < fixedColCount_; ++c)
        colWidths_->SetSize(c, defaultFixedColWidth_);
    for (int r = 0; r < fixedRowCount_; ++r)
        if (defaultFixedRowHeight_ != DefaultRowHeight())
            rowHeights_->SetHeight(r, defaultFixedRowHeight_);
    selection_->Validate();
    ScrollBars(true, true);
    InvalidateGrid();
    dependents_->CellsRemoved({0, 0, kMaxGridCols, kMaxGridRows});
}

void TKtCustomGrid::SetSheetIndex(int index) {
    if (index == sheetIndex_) return;
    sheetIndex_ = index;
    dependents_->SheetIndexChanged();
}

int TKtCustomGrid::AddPicture(const TKtPicture& picture) {
    pictures_.push_back(picture);
    return static_cast<int>(pictures_.size()) - 1;
}

// ---- Editing
// -------------------------------------------------------------------------------------------

void TKtCustomGrid::SetEditorMode(bool on) {
    if (on) {
        if (editorMode_) return;
        const TPoint p = selection_->Current();
        if (!IsBodyCell(p.X, p.Y)) return;
        if (clipboard_) clipboard_->Release(*this);
        GetCell(p.X, p.Y).ShowEditor();
    } else {
        if (!editorMode_) return;
        if (editingCell_)
            editingCell_->HideEditor(true, true);
        else
            LeaveEditorMode();
    }
}

void TKtCustomGrid::SetClipboard(IKtGridClipboard* clipboard) {
    if (clipboard_ == clipboard) return;
    if (clipboard_) clipboard_->GridDestroyed(*this);
    clipboard_ = clipboard;
}

void TKtCustomGrid::EnterEditorMode(TKtCell& cell) {
    // Editing may change the copied cells: the copy is rendered as it is now.
    if (clipboard_ && !editorMode_) clipboard_->Flush(*this);
    editorMode_ = true;
    editingCell_ = &cell;
}

void TKtCustomGrid::LeaveEditorMode() {
    editorMode_ = false;
    editingCell_ = nullptr;
}

void TKtCustomGrid::SetMouseCell(int col, int row) {
    const TPoint now{col, row};
    if (now == mouseCell_) return;
    const TPoint old = mouseCell_;
    mouseCell_ = now;
    if (old.X >= 0 && old.Y >= 0) {
        const TKtCell* left = FindCell(old.X, old.Y);
        if (left && !left->Comment().empty() && view_ && !IsUpdating()) {
            const TRect box =
                CommentBoxRect(old.X, old.Y).Intersect({0, 0, clientWidth_, clientHeight_});
            if (!box.IsEmpty()) view_->InvalidateRect(box);
        }
        if (OnCellMouseLeave) OnCellMouseLeave(*this, old.X, old.Y);
    }
    if (col >= 0 && row >= 0 && OnCellMouseEnter) OnCellMouseEnter(*this, col, row);
}

TRect TKtCustomGrid::CommentBox(int col, int row) const {
    const TRect cell = CellRect(col, row);
    const int fixedBottom = ClampInt(rowHeights_->SumRange(0, fixedRowCount_));
    const int left = cell.Right + 15;
    const int top = std::max(cell.Top - 10, fixedBottom);
    return {left, top, left + 200, top + 100};
}

TRect TKtCustomGrid::CommentBoxRect(int col, int row) const {
    const TRect cell = CellRect(col, row);
    const TRect box = CommentBox(col, row);
    const TRect shadow{box.Left + 2, box.Top + 2, box.Right + 2, box.Bottom + 2};
    // The line runs from the cell's top-right corner to the box.
    const TRect line = TRect::FromCorners(cell.Right, cell.Top, box.Left, box.Top);
    return box.Union(shadow).Union(line);
}

WideString TKtCustomGrid::ResizeHint(bool isWidth, int pixels) {
    // The size in millimetres at the screen's resolution, formatted as the
    // stored format asks ("%0.00f": no decimals).
    char number[64];
    std::snprintf(number, sizeof number, "%0.00f", pixels * 25.4 / kPixelsPerInch);
    return WideString(isWidth ? u" 宽度: " : u" 高度: ") + AsciiToWide(number) + u" 毫米  (" +
           IntToWide(pixels) + u" 像素)";
}

void TKtCustomGrid::ForgetCell(const TKtCell& cell) {
    if (editingCell_ == &cell) {
        editingCell_ = nullptr;
        editorMode_ = false;
        if (cellEditor_ && !destroying_) cellEditor_->CellGone(cell);
    }
    if (captureCell_ == &cell) captureCell_ = nullptr;
    if (pressedCell_ == &cell) pressedCell_ = nullptr;
    if (!destroying_) dependents_->Forget(cell);
}

void TKtCustomGrid::ReclassCell(TKtCell& old) {
    const int col = old.Col();
    const int row = old.Row();
    TKwGridRow& list = old.RowList();
    if (list.Get(col) != &old) return;
    list.Take(col);  // out of the row list, not freed yet
    std::unique_ptr<TKtCell> holder(&old);
    TKtCell& fresh = GetCell(col, row);
    if (editingCell_ == &old) {
        editingCell_ = &fresh;
        if (cellEditor_) cellEditor_->CellReplaced(old, fresh);
    }
    if (captureCell_ == &old) captureCell_ = &fresh;
    if (pressedCell_ == &old) pressedCell_ = &fresh;
    fresh.CopyFrom(old, kCopyAll, false);
    fresh.SetComment(old.Comment());
    fresh.SetTag(old.Tag());
    fresh.SetHint(old.Hint());
    fresh.SetExtraObject(old.TakeExtraObject());
    holder.reset();
}

TKtCellSide* TKtCustomGrid::FindCellSide(const TKtCell& cell) const {
    auto it = cellSides_.find(&cell);
    return it == cellSides_.end() ? nullptr : it->second.get();
}

TKtCellSide& TKtCustomGrid::CreateCellSide(const TKtCell& cell) {
    auto& slot = cellSides_[&cell];
    if (!slot) slot = std::make_unique<TKtCellSide>();
    return *slot;
}

void TKtCustomGrid::DropCellSide(const TKtCell& cell) {
    cellSides_.erase(&cell);
}

void TKtCustomGrid::CellValueChanged(TKtCell& cell) {
    if (IsUpdating() || inValueChanged_ || !OnCellValueChanged) return;
    if (!IsBodyCell(cell.Col(), cell.Row())) return;
    inValueChanged_ = true;
    ScopeExit done([this] { inValueChanged_ = false; });
    OnCellValueChanged(cell);
}

// ---- Events
// ---------------------------------------------------------------------------------------------

namespace {

// The ANSI form of a text event: the handler sees the text in the system
// code page; only a text it changed comes back (converted), so characters
// the code page cannot hold are never lost by merely raising the event.
template <typename Handler, typename... Args>
void RaiseAnsi(const Handler& handler, WideString& text, Args&&... args) {
    std::string ansi = WideToAnsi(text);
    const std::string before = ansi;
    handler(std::forward<Args>(args)..., ansi);
    if (ansi != before) text = AnsiToWide(ansi);
}

}  // namespace

bool TKtCustomGrid::RaiseCellTextChanging(TPoint pt, WideString& text) {
    bool accept = true;
    if (OnCellTextChangingW) {
        OnCellTextChangingW(*this, pt, accept, text);
    } else if (OnCellTextChanging) {
        std::string ansi = WideToAnsi(text);
        const std::string before = ansi;
        OnCellTextChanging(*this, pt, accept, ansi);
        if (ansi != before) text = AnsiToWide(ansi);
    }
    return accept;
}

void TKtCustomGrid::RaiseSetCellText(TPoint pt, bool fromCode, WideString& text) {
    if (OnSetCellTextW)
        OnSetCellTextW(*this, pt, fromCode, text);
    else if (OnSetCellText)
        RaiseAnsi(OnSetCellText, text, *this, pt, fromCode);
}

void TKtCustomGrid::RaiseGetCellText(TPoint pt, bool display, WideString& text) const {
    auto& self = const_cast<TKtCustomGrid&>(*this);
    if (OnGetCellTextW)
        OnGetCellTextW(self, pt, display, text);
    else if (OnGetCellText)
        RaiseAnsi(OnGetCellText, text, self, pt, display);
}

bool TKtCustomGrid::RaiseCompleteEdit(TPoint pt, const WideString& text) {
    bool accept = true;
    if (OnCompleteEditW)
        OnCompleteEditW(*this, pt, accept, text);
    else if (OnCompleteEdit)
        OnCompleteEdit(*this, pt, accept, WideToAnsi(text));
    return accept;
}

bool TKtCustomGrid::RaiseDrawCellText(const TKtCell& cell, IKtCanvas& canvas, const TRect& rect,
                                      const WideString& text) const {
    auto& self = const_cast<TKtCustomGrid&>(*this);
    if (OnDrawCellTextW) return OnDrawCellTextW(self, cell, canvas, rect, text);
    if (OnDrawCellText) return OnDrawCellText(self, cell, canvas, rect, WideToAnsi(text));
    return true;
}

// ---- Repaint and geometry
// -------------------------------------------------------------------------

void TKtCustomGrid::ScrollBars(bool horizontal, bool vertical) {
    if (view_ && !IsUpdating()) view_->UpdateScrollBars(horizontal, vertical);
}

void TKtCustomGrid::InvalidateGrid() {
    if (view_ && !IsUpdating()) view_->InvalidateAll();
}

int TKtCustomGrid::LastVisibleCol() const {
    int64_t x = colWidths_->SumRange(0, viewLockCol_);
    int c = leftCol_;
    while (c < colCount_ - 1 && x + ColWidths(c) < clientWidth_)
        x += ColWidths(c++);
    return c;
}

int TKtCustomGrid::LastVisibleRow() const {
    int64_t y = rowHeights_->SumRange(0, viewLockRow_);
    int r = topRow_;
    while (r < rowCount_ - 1 && y + RowHeights(r) < clientHeight_)
        y += RowHeights(r++);
    return r;
}

void TKtCustomGrid::InvalidateCells(const TRect& cells) {
    if (!view_ || IsUpdating() || cells.IsEmpty()) return;
    // Cells below or right of the window need no pixels worked out.
    if ((cells.Top >= viewLockRow_ && cells.Top > LastVisibleRow()) ||
        (cells.Left >= viewLockCol_ && cells.Left > LastVisibleCol()))
        return;
    TRect px = CellsToPixels(cells).Intersect({0, 0, clientWidth_, clientHeight_});
    if (!px.IsEmpty()) view_->InvalidateRect(px);
}

void TKtCustomGrid::InvalidateCell(int col, int row) {
    InvalidateCells(CellSpanRect(col, row));
}

void TKtCustomGrid::InvalidateCol(int col) {
    InvalidateCells({col, 0, col + 1, rowCount_});
}

void TKtCustomGrid::InvalidateRow(int row) {
    InvalidateCells({0, row, colCount_, row + 1});
}

int TKtCustomGrid::ColumnLeft(int col) const {
    if (col < viewLockCol_) return ClampInt(colWidths_->SumRange(0, col));
    return ClampInt(colWidths_->SumRange(0, viewLockCol_) + colWidths_->SumRange(leftCol_, col));
}

int TKtCustomGrid::RowTop(int row) const {
    if (row < viewLockRow_) return ClampInt(rowHeights_->SumRange(0, row));
    return ClampInt(rowHeights_->SumRange(0, viewLockRow_) + rowHeights_->SumRange(topRow_, row));
}

TRect TKtCustomGrid::CellsToPixels(const TRect& cells) const {
    if (cells.IsEmpty()) return {};
    const int lastCol = cells.Right - 1;
    const int lastRow = cells.Bottom - 1;
    return {ColumnLeft(cells.Left), RowTop(cells.Top), ColumnLeft(lastCol) + ColWidths(lastCol),
            RowTop(lastRow) + RowHeights(lastRow)};
}

TRect TKtCustomGrid::CellRect(int col, int row) const {
    return CellsToPixels(CellSpanRect(col, row));
}

TRect TKtCustomGrid::CellSpanRect(int col, int row) const {
    int i = merged_.FindContaining(col, row);
    return i < 0 ? TRect::Cell(col, row) : merged_[i].Rect;
}

void TKtCustomGrid::SetClientSize(int width, int height) {
    clientWidth_ = std::max(width, 0);
    clientHeight_ = std::max(height, 0);
    ScrollBars(true, true);
}

void TKtCustomGrid::ClipScrollPosition() {
    leftCol_ = std::max(std::min(leftCol_, colCount_ - 1), viewLockCol_);
    topRow_ = std::max(std::min(topRow_, rowCount_ - 1), viewLockRow_);
}

void TKtCustomGrid::SetLeftCol(int col) {
    col = std::max(std::min(col, colCount_ - 1), viewLockCol_);
    if (col == leftCol_) return;
    leftCol_ = col;
    if (editingCell_ && cellEditor_) cellEditor_->UpdateBounds();
    ScrollBars(true, false);
    InvalidateGrid();
}

void TKtCustomGrid::SetTopRow(int row) {
    row = std::max(std::min(row, rowCount_ - 1), viewLockRow_);
    if (row == topRow_) return;
    topRow_ = row;
    if (editingCell_ && cellEditor_) cellEditor_->UpdateBounds();
    ScrollBars(false, true);
    InvalidateGrid();
}

void TKtCustomGrid::ScrollIntoView(int col, int row) {
    // Columns: one left of the scroll position becomes the first visible;
    // one beyond the last fully visible scrolls just far enough.
    if (col >= viewLockCol_ && col < colCount_) {
        int left = leftCol_;
        if (col < left) {
            left = col;
        } else {
            const int64_t avail = clientWidth_ - colWidths_->SumRange(0, viewLockCol_);
            int64_t used = ColWidths(col);
            int first = col;
            while (first > viewLockCol_ && used + ColWidths(first - 1) <= avail) {
                used += ColWidths(first - 1);
                --first;
            }
            if (left < first) left = first;
        }
        SetLeftCol(left);
    }
    if (row >= viewLockRow_ && row < rowCount_) {
        int top = topRow_;
        if (row < top) {
            top = row;
        } else {
            const int64_t avail = clientHeight_ - rowHeights_->SumRange(0, viewLockRow_);
            int64_t used = RowHeights(row);
            int first = row;
            while (first > viewLockRow_ && first > top && used + RowHeights(first - 1) <= avail) {
                used += RowHeights(first - 1);
                --first;
            }
            if (top < first) top = first;
        }
        SetTopRow(top);
    }
}

void TKtCustomGrid::SetViewLock(int col, int row) {
    col = std::max(col, fixedColCount_);
    row = std::max(row, fixedRowCount_);
    if (col != viewLockCol_) {
        viewLockCol_ = col;
        leftCol_ = col;
        ScrollBars(true, false);
        InvalidateGrid();
        if (view_) view_->ViewLockChanged();
    }
    if (row != viewLockRow_) {
        viewLockRow_ = row;
        topRow_ = row;
        ScrollBars(false, true);
        InvalidateGrid();
        if (view_) view_->ViewLockChanged();
    }
}

}  // namespace plu
