// TKtCustomGrid: the spreadsheet grid model. Dimensions with fixed (header)
// rows and columns that are real rows and columns of the cell store, sizes
// and their defaults with hidden rows and columns, row and column objects,
// merged areas, structural edits (insert, delete, move, exchange, sort), the
// BeginUpdate/EndUpdate bracket with deferred row fitting, automatic row
// heights, frozen panes, the scrolling position, protection, options, the
// selection and the events raised on the way.
//
// Coordinates are (column, row), zero-based; rows 0 ... FixedRowCount - 1
// and columns 0 ... FixedColCount - 1 are the header cells. Sizes are screen
// pixels. Rectangles are half-open; operations with four corner values take
// inclusive corners.
//
// The grid paints nothing itself: it asks its view (IKtGridView) to repaint
// client rectangles, never while updating; EndUpdate repaints everything.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "base/color.h"
#include "base/font.h"
#include "base/text_measurer.h"
#include "grid/cell.h"
#include "grid/cell_class.h"
#include "grid/cell_store.h"
#include "grid/dependencies.h"
#include "grid/grid_column.h"
#include "grid/grid_host.h"
#include "grid/grid_row.h"
#include "grid/grid_style.h"
#include "grid/grid_types.h"
#include "grid/merged_areas.h"
#include "grid/name_objects.h"
#include "grid/sparse_list.h"

namespace plu {

class IKtCanvas;
class TKtEditControl;
class TKtGridSelection;
class TKwSheet;

// State bits of OnDrawCell.
constexpr uint32_t gdSelected = 0x01;  // inside the selection
constexpr uint32_t gdFocused = 0x02;   // the current cell
constexpr uint32_t gdFixed = 0x04;     // a header cell

// "该操作不允许有合并单元格": sorting over merged cells.
class EGridError : public Exception {
  public:
    using Exception::Exception;
};

class TKtCustomGrid {
  public:
    TKtCustomGrid();
    virtual ~TKtCustomGrid();
    TKtCustomGrid(const TKtCustomGrid&) = delete;
    TKtCustomGrid& operator=(const TKtCustomGrid&) = delete;

    // ---- Hooks for derived grids ---------------------------------------------
    // Builds a formula object; the plain grid raises "Do not support".
    virtual std::unique_ptr<IKtFormula> CreateFormula(TKtValue& owner, WideStringView text,
                                                      const IKtFormula* old);
    virtual void FreeFormula(std::unique_ptr<IKtFormula> formula) { formula.reset(); }
    // Recalculates every formula; the plain grid raises
    // "dont support calculate function".
    virtual void Calculate();
    // The column-object factory (TKtGridColumn here).
    virtual std::unique_ptr<TKtGridColumn> CreateColumnObject(int col);
    // The row-object class (TKtGridRow here).
    virtual std::unique_ptr<TKtGridRow> CreateRowObject(TKwGridRow& row);

    // ---- Dimensions --------------------------------------------------------------
    int ColCount() const { return colCount_; }
    int RowCount() const { return rowCount_; }
    // Leaves editing mode first; shrinking frees the cells (and rows) beyond.
    // Limited to 1 ... 65536 columns and 1 ... kMaxGridRows rows.
    void SetColCount(int value);
    void SetRowCount(int value);
    int FixedColCount() const { return fixedColCount_; }
    int FixedRowCount() const { return fixedRowCount_; }
    // Values <= 0 or unchanged are ignored; growing inserts rows (columns) at
    // index 0, shrinking deletes them from index 0.
    void SetFixedColCount(int value);
    void SetFixedRowCount(int value);
    // Body rows; setting n gives RowCount n + FixedRowCount (at least one body row).
    int DataRowCount() const { return rowCount_ - fixedRowCount_; }
    void SetDataRowCount(int value);
    int FixedColFirstNo() const { return fixedColFirstNo_; }
    void SetFixedColFirstNo(int value);
    int FixedRowFirstNo() const { return fixedRowFirstNo_; }
    void SetFixedRowFirstNo(int value);
    bool IsBodyCell(int col, int row) const {
        return col >= fixedColCount_ && col < colCount_ && row >= fixedRowCount_ && row < rowCount_;
    }

    // ---- Cells, rows and columns -------------------------------------------------
    // The cell, created on demand with the class CellClassAt gives. Negative
    // positions, columns beyond 65535 and rows beyond kMaxGridRows - 1 raise
    // ERangeError.
    TKtCell& GetCell(int col, int row);
    // The cell if it exists (never creates).
    TKtCell* FindCell(int col, int row) const { return cells_->FindCell(col, row); }
    // The cell a mouse press at (col, row) goes to: the existing one. A grid
    // whose cells act on clicks where none exists yet (a data grid's
    // sortable header) creates it here.
    virtual TKtCell* CellForPress(int col, int row) { return FindCell(col, row); }
    bool TryGetCell(int col, int row, TKtCell*& cell) const {
        return cells_->TryGetCell(col, row, cell);
    }
    // GetCell in data coordinates; negative arguments give nullptr.
    TKtCell* GetDataCell(int dataCol, int dataRow);
    // The row object, created on demand (with the row list).
    TKtGridRow& GetRow(int row);
    TKtGridRow* FindRowObject(int row) const;
    // The column object, created on demand.
    TKtGridColumn& GetColumn(int col);
    TKtGridColumn* FindColumn(int col) const { return columns_->Get(col); }
    TCells& Cells() { return *cells_; }
    const TCells& Cells() const { return *cells_; }
    TCellClassManager& ClassManager() { return *classManager_; }
    const TKtCellClass& CellClassAt(int col, int row) const {
        return classManager_->CellClassAt(col, row);
    }
    // Called whenever the store creates a cell.
    std::function<void(TKtCell&)> OnCellCreated;

    // ---- Sizes ---------------------------------------------------------------------
    int ColWidths(int col) const { return colWidths_->Get(col); }
    // Nothing when unchanged; raises OnColWidthChange.
    void SetColWidth(int col, int width);
    int RowHeights(int row) const { return rowHeights_->Get(row); }
    // Nothing when unchanged; stores the height (also of a hidden row);
    // raises OnRowHeightChange.
    void SetRowHeight(int row, int height);
    // Hiding saves the width and sets it to 0; showing restores it.
    void SetColVisible(int col, bool visible);
    bool IsColVisible(int col) const { return ColWidths(col) != 0; }
    // Keeps the stored height; only RowHeights changes.
    void SetRowVisible(int row, bool visible);
    bool IsRowVisible(int row) const { return RowHeights(row) != 0; }
    int HiddenColCount() const { return hiddenColCount_; }
    int HiddenRowCount() const { return hiddenRowCount_; }
    int DefaultColWidth() const { return colWidths_->DefaultSize(); }
    void SetDefaultColWidth(int value);
    int DefaultRowHeight() const { return rowHeights_->DefaultSize(); }
    void SetDefaultRowHeight(int value);
    int DefaultFixedColWidth() const { return defaultFixedColWidth_; }
    void SetDefaultFixedColWidth(int value);
    int DefaultFixedRowHeight() const { return defaultFixedRowHeight_; }
    void SetDefaultFixedRowHeight(int value);
    const TSizes& ColWidthList() const { return *colWidths_; }
    const TKtRowHeights& RowHeightList() const { return *rowHeights_; }

    // ---- Bulk updates --------------------------------------------------------------
    void BeginUpdate() { ++updateCount_; }
    // At the outermost end: fits the queued rows (when AutoRowHeight is on),
    // validates the selection, updates both scroll bars, repaints everything.
    void EndUpdate();
    bool IsUpdating() const { return updateCount_ > 0; }
    // Set while the grid is being loaded from a stored form.
    bool IsLoading() const { return loading_; }
    void SetLoading(bool loading) { loading_ = loading; }
    bool IsDestroying() const { return destroying_; }

    // ---- Automatic sizes -------------------------------------------------------------
    bool AutoRowHeight() const { return autoRowHeight_; }
    void SetAutoRowHeight(bool on) { autoRowHeight_ = on; }
    bool AllowAutoAdjustCustomRowHeight() const { return allowAutoAdjustCustomRowHeight_; }
    void SetAllowAutoAdjustCustomRowHeight(bool on) { allowAutoAdjustCustomRowHeight_ = on; }
    bool AutoColWidth() const { return autoColWidth_; }
    void SetAutoColWidth(bool on) { autoColWidth_ = on; }
    // Nothing for a row sized by hand unless AllowAutoAdjustCustomRowHeight.
    void AutoFitRowHeight(int row);
    // The largest text height of the row's non-empty, non-spanning body cells
    // + 1, at least DefaultRowHeight.
    int ComputeRowHeight(int row);
    // The widest display text of the column's body cells (with the margins),
    // the current width when all are empty, at most the client width.
    void AutoFitColWidth(int col);
    // A text change of a cell in row: fit now, or once at EndUpdate.
    void RequestRowFit(int row);
    ITextMeasurer& Measurer() const;
    // nullptr restores the default FreeType measurer.
    void SetMeasurer(ITextMeasurer* measurer);

    // ---- Structural edits ----------------------------------------------------------------
    void InsertRows(int row, int count);
    void DeleteRows(int row, int count);
    void InsertCols(int col, int count);
    void DeleteCols(int col, int count);
    void MoveRow(int from, int to);
    void MoveCol(int from, int to);
    void ExchangeRows(int a, int b);

    // ---- Sorting ------------------------------------------------------------------------
    // Body rows by one key column. Empty rows go last in both directions;
    // rows move whole (cells, height, row object, cell classes). Raises
    // EGridError "该操作不允许有合并单元格" when a merged area touches the
    // body columns of the rows, changing nothing.
    void SortByColumn(int col, bool ascending);
    void SortRows(const std::vector<int>& keys, bool ascending);
    // Rows from ... to (swapped when reversed, clamped to the body rows).
    void SortRowsRange(const std::vector<int>& keys, bool ascending, int fromRow, int toRow);

    // ---- Merged areas -----------------------------------------------------------------------
    // Inclusive corners; see TKtMergedAreas::SetSpan. Clears the values of
    // the covered cells.
    void MergeCells(int left, int top, int right, int bottom);
    void UnmergeCells(const TRect& rect);
    const TKtMergedAreas& MergedAreas() const { return merged_; }
    // The merged rectangle containing (col, row), or the cell itself.
    TRect CellSpanRect(int col, int row) const;

    // ---- Frozen panes and scrolling ---------------------------------------------------------
    // Each coordinate is raised to at least the fixed count.
    void SetViewLock(int col, int row);
    int ViewLockCol() const { return viewLockCol_; }
    int ViewLockRow() const { return viewLockRow_; }
    int LeftCol() const { return leftCol_; }
    int TopRow() const { return topRow_; }
    void SetLeftCol(int col);
    void SetTopRow(int row);
    // Scrolls so that the cell is fully visible (or first visible).
    void ScrollIntoView(int col, int row);
    // Client size of the control in pixels (the view reports it).
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    void SetClientSize(int width, int height);

    // ---- Geometry (client pixels) ----------------------------------------------------------
    // Left edge of column col: fixed columns, then frozen ones, then the
    // scrolled ones from LeftCol (columns scrolled out lie left of that).
    int ColumnLeft(int col) const;
    int RowTop(int row) const;
    // Pixel rectangle of the cells of r (half-open cell coordinates).
    TRect CellsToPixels(const TRect& cells) const;
    // Pixel rectangle of one cell, its merged area when it anchors one.
    TRect CellRect(int col, int row) const;
    // The last column / row at least partly inside the client area.
    int LastVisibleCol() const;
    int LastVisibleRow() const;

    // ---- Current cell and selection ---------------------------------------------------------
    TKtGridSelection& Selection() { return *selection_; }
    const TKtGridSelection& Selection() const { return *selection_; }
    // SetCurrent (col1, row1, collapse) then ExtendTo (col2, row2); a refused
    // current cell ends the operation.
    void SelectRange(int col1, int row1, int col2, int row2);
    void SetCurrentCol(int col);
    void SetCurrentRow(int row);
    int CurrentCol() const;
    int CurrentRow() const;
    // The current cell object (created on demand).
    TKtCell& CurrentCell();

    // ---- Editing -------------------------------------------------------------------------------
    bool EditorMode() const { return editorMode_; }
    // true: the current cell's ShowEditor; false: the edited cell's
    // HideEditor (save, focus grid), which commits.
    void SetEditorMode(bool on);
    TKtCell* EditingCell() const { return editingCell_; }
    IKtCellEditor* CellEditor() const { return cellEditor_; }
    void SetCellEditor(IKtCellEditor* editor) { cellEditor_ = editor; }
    // Called by cells: enter / leave editing mode for cell.
    void EnterEditorMode(TKtCell& cell);
    void LeaveEditorMode();
    // The mouse moved over (col, row) (-1, -1: off the cells): raises
    // OnCellMouseLeave for the cell it left and OnCellMouseEnter for the one
    // it entered; leaving a cell with a comment repaints its comment box.
    void SetMouseCell(int col, int row);
    TPoint MouseCell() const { return mouseCell_; }
    // The area the comment box of a cell covers: a 200 x 100 box 15 pixels
    // right of the cell's right edge and 10 pixels above its top (not above
    // the fixed rows), its 2-pixel shadow and the line from the cell's
    // top-right corner.
    TRect CommentBoxRect(int col, int row) const;
    // The 200 x 100 comment box itself (without shadow and line).
    TRect CommentBox(int col, int row) const;
    // The hint shown while a column (isWidth) or row border is dragged:
    // " 宽度: %0.00f 毫米  (%d 像素)" / " 高度: %0.00f 毫米  (%d 像素)".
    static WideString ResizeHint(bool isWidth, int pixels);
    // The cell holding the mouse capture and the pressed cell (cell kinds).
    TKtCell* CaptureCell() const { return captureCell_; }
    void SetCaptureCell(TKtCell* cell) { captureCell_ = cell; }
    TKtCell* PressedCell() const { return pressedCell_; }
    void SetPressedCell(TKtCell* cell) { pressedCell_ = cell; }

    // ---- Styles and fonts ----------------------------------------------------------------------
    // The last level of style inheritance; changes repaint the grid.
    TKtGridStyle& DefaultStyle() { return defaultStyle_; }
    const TKtGridStyle& DefaultStyle() const { return defaultStyle_; }
    TKtFixedCellStyle& FixedCellStyle() { return fixedCellStyle_; }
    const TKtFixedCellStyle& FixedCellStyle() const { return fixedCellStyle_; }
    // Cell -> column -> row -> grid default for attribute; a cell in a fixed
    // row never inherits. cell may be nullptr (a position without a cell).
    const TKtGridStyle& EffectiveStyle(int col, int row, TKtStyleAttribute attribute,
                                       const TKtCell* cell) const;
    // The background a position shows (effective style, zebra rows,
    // OnCellGetColor), with or without a cell object.
    TColor CellBackground(int col, int row) const;
    // The grid's font; changing it updates every cell that follows it.
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }

    // ---- Header numbering --------------------------------------------------------------------
    // 1 -> "A", 26 -> "Z", 27 -> "AA"; "" for n < 1.
    static WideString ColumnLetters(int n);
    // The header text of a fixed cell: column letters in the last fixed row
    // (goFixedRowShowNo), row numbers in the last fixed column
    // (goFixedColShowNo), else "".
    WideString HeaderText(int col, int row) const;
    // "B3" for (col, row) in grid coordinates; a range joined by ":".
    WideString CellReference(int col, int row) const;
    WideString RangeReference(const TRect& rect) const;

    // ---- Options and properties
    // ------------------------------------------------------------------
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);
    bool HasOption(TGridOption o) const { return options_.Has(o); }
    TGridOptionsEx OptionsEx() const { return optionsEx_; }
    void SetOptionsEx(TGridOptionsEx options);
    bool HasOptionEx(TGridOptionEx o) const { return optionsEx_.Has(o); }
    bool IsProtected() const { return protected_; }
    void SetProtected(bool on) { protected_ = on; }
    bool AllowEdit() const { return allowEdit_; }
    void SetAllowEdit(bool on) { allowEdit_ = on; }
    bool DontShowZero() const { return dontShowZero_; }
    void SetDontShowZero(bool on);
    bool ShowGridLine() const { return showGridLine_; }
    void SetShowGridLine(bool on);
    TColor GridLineColor() const { return gridLineColor_; }
    void SetGridLineColor(TColor color);
    TColor SelectColor() const { return selectColor_; }
    void SetSelectColor(TColor color);
    TGridDir CurrentMoveDir() const { return currentMoveDir_; }
    void SetCurrentMoveDir(TGridDir dir) { currentMoveDir_ = dir; }
    int HintPause() const { return hintPause_; }
    void SetHintPause(int ms) { hintPause_ = ms; }
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor BgColor() const { return bgColor_; }
    void SetBgColor(TColor color);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style) { borderStyle_ = style; }
    bool ZebraRowColor() const { return zebraRowColor_; }
    void SetZebraRowColor(bool on);
    TColor OddRowColor() const { return oddRowColor_; }
    void SetOddRowColor(TColor color);
    TColor EvenRowColor() const { return evenRowColor_; }
    void SetEvenRowColor(TColor color);
    // The index of this grid in its sheet control, -1 for a lone grid.
    int SheetIndex() const { return sheetIndex_; }
    // A changed index renews the references of formulas to other sheets.
    void SetSheetIndex(int index);

    // ---- Contents -----------------------------------------------------------------------------
    // Removes every cell, merged area, width and height, restores the default
    // fixed sizes (file readers start from here).
    void ClearContents();
    int AddPicture(const TKtPicture& picture);
    const std::vector<TKtPicture>& Pictures() const { return pictures_; }
    TKtNameObjects& NameObjects() { return nameObjects_; }

    // ---- Clipboard ------------------------------------------------------------------------------
    IKtGridClipboard* Clipboard() const { return clipboard_; }
    // The service that is replaced forgets the grid (GridDestroyed).
    void SetClipboard(IKtGridClipboard* clipboard);

    // ---- Repaint
    // -----------------------------------------------------------------------------------
    IKtGridView* View() const { return view_; }
    void SetView(IKtGridView* view) { view_ = view; }
    // Repaint requests (nothing while updating).
    void InvalidateCells(const TRect& cells);
    void InvalidateCell(int col, int row);
    void InvalidateGrid();
    void InvalidateCol(int col);
    void InvalidateRow(int row);

    // ---- Formula dependencies ----------------------------------------------------------------
    // The positions of this grid that formulas watch, and the recalculation
    // of formulas when cells change (see dependencies.h).
    TKtGridDependents& Dependents() { return *dependents_; }
    const TKtGridDependents& Dependents() const { return *dependents_; }

    // ---- Called by cells
    // ------------------------------------------------------------------------- A cell's value
    // changed: OnCellValueChanged for body cells, not while updating, not re-entrant.
    void CellValueChanged(TKtCell& cell);
    // A cell is being destroyed: forget every reference to it.
    void ForgetCell(const TKtCell& cell);
    // Re-creates the cell at its position in the class CellClassAt gives.
    void ReclassCell(TKtCell& old);
    // The side records of cells (see TKtCellSide).
    TKtCellSide* FindCellSide(const TKtCell& cell) const;
    TKtCellSide& CreateCellSide(const TKtCell& cell);
    void DropCellSide(const TKtCell& cell);

    // ---- Events (the grid passes itself as Sender)
    // ----------------------------------------------------
    std::function<void(TKtCustomGrid&, TPoint, bool& allow)> OnCellCanModify;
    std::function<void(TKtCustomGrid&, TPoint, bool& allow)> OnCellCanEdit;
    std::function<void(TKtCustomGrid&, TPoint, bool& accept, WideString& text)> OnCellTextChangingW;
    std::function<void(TKtCustomGrid&, TPoint, bool& accept, std::string& text)> OnCellTextChanging;
    std::function<void(TKtCustomGrid&, TPoint, bool fromCode, WideString& text)> OnSetCellTextW;
    std::function<void(TKtCustomGrid&, TPoint, bool fromCode, std::string& text)> OnSetCellText;
    std::function<void(TKtCell&, int col, int row)> OnCellTextChanged;
    std::function<void(TKtCustomGrid&, TPoint, bool display, WideString& text)> OnGetCellTextW;
    std::function<void(TKtCustomGrid&, TPoint, bool display, std::string& text)> OnGetCellText;
    std::function<void(TKtCustomGrid&, TKtCell&, WideString& text, bool& useDefault)>
        OnFormatNumber;
    std::function<void(TKtCell&)> OnCellValueChanged;
    std::function<void(TKtCustomGrid&, TPoint, TColor& color)> OnCellGetColor;
    std::function<void(TKtCustomGrid&, TPoint, TFont& font)> OnCellGetFont;
    // Painting: before a cell is drawn (rect in client pixels, state of
    // gdSelected, gdFocused, gdFixed); clearing doDefault leaves the cell to
    // the handler.
    std::function<void(TKtCustomGrid&, int col, int row, const TRect&, uint32_t state,
                       bool& doDefault)>
        OnDrawCell;
    // Before a cell's text is drawn; the answer says whether the default
    // text drawing follows. The wide form, when assigned, is used instead.
    std::function<bool(TKtCustomGrid&, const TKtCell&, IKtCanvas&, const TRect&, const WideString&)>
        OnDrawCellTextW;
    std::function<bool(TKtCustomGrid&, const TKtCell&, IKtCanvas&, const TRect&,
                       const std::string&)>
        OnDrawCellText;
    std::function<void(TKtCustomGrid&, int col, int row)> OnCellMouseEnter;
    std::function<void(TKtCustomGrid&, int col, int row)> OnCellMouseLeave;
    std::function<void(TKtCell&, int col, int row)> OnCellButtonClick;
    std::function<void(TKtCustomGrid&, int col, int width)> OnColWidthChange;
    std::function<void(TKtCustomGrid&, int row, int height)> OnRowHeightChange;
    std::function<void(TKtCustomGrid&)> OnRowCountChange;
    std::function<int(TKtCustomGrid&, int row1, int row2, int keyCol)> OnSortRowCompare;
    std::function<void(TKtCustomGrid&, int code)> OnScroll;
    std::function<void(TKtCustomGrid&)> OnShowHint;
    // The mouse events of the control, raised by the mouse layer
    // (grid_mouse.h): the pointer entered / left the client area, a button
    // went down / up, the pointer moved (client pixels).
    std::function<void(TKtCustomGrid&)> OnMouseEnter;
    std::function<void(TKtCustomGrid&)> OnMouseLeave;
    std::function<void(TKtCustomGrid&, TMouseButton, TShiftState, int x, int y)> OnMouseDown;
    std::function<void(TKtCustomGrid&, TMouseButton, TShiftState, int x, int y)> OnMouseUp;
    std::function<void(TKtCustomGrid&, TShiftState, int x, int y)> OnMouseMove;
    // The fill handle was dragged: the source selection and the rectangle
    // filled from it (both inclusive).
    std::function<void(TKtCustomGrid&, const TRect& source, const TRect& target)> OnDragFill;
    std::function<void(TKtCustomGrid&, const TRect&, bool& allow)> OnBeforeClear;
    std::function<void(TKtCustomGrid&)> OnAfterClear;
    std::function<void(TKtCustomGrid&, TPoint, bool& allow)> OnCurrentChanging;
    std::function<void(TKtCustomGrid&, int col, int row)> OnCurrentChanged;
    std::function<void(TKtCustomGrid&, TPoint, TGridDir)> OnMoveCurrent;
    // The selection's inclusive rectangle.
    std::function<void(TKtCustomGrid&, const TRect& inclusive)> OnSelectionChange;
    std::function<void(TKtCustomGrid&, const TRect&, bool& allow)> OnCopy;
    std::function<void(TKtCustomGrid&, const TRect&, bool& allow)> OnCut;
    std::function<void(TKtCustomGrid&, const TRect&, bool& allow)> OnPaste;
    std::function<void(TKtCustomGrid&, const TRect&, const TKwSheet&)> OnCustomPaste;
    std::function<void(TKtCustomGrid&, const TRect&, bool& allow)> OnBeforePaste;
    // The rectangle handed to a text paste, or the target of a paste from
    // the copy source.
    std::function<void(TKtCustomGrid&, const TRect&)> OnAfterPaste;
    std::function<void(TKtCustomGrid&, TPoint, bool& accept, const WideString& text)>
        OnCompleteEditW;
    std::function<void(TKtCustomGrid&, TPoint, bool& accept, const std::string& text)>
        OnCompleteEdit;
    // The in-place editor's events (raised by the editing controller).
    std::function<void(TKtCustomGrid&, TPoint, TKtEditControl*& editor)> OnGetCellEditor;
    std::function<void(TKtCustomGrid&, TPoint, TKtEditControl& control)> OnEditorLoadCell;
    std::function<void(TKtCustomGrid&, TPoint, TKtEditControl& control)> OnEditorSaveCell;
    std::function<void(TKtCustomGrid&)> OnShowEditor;
    std::function<void(TKtCustomGrid&)> OnHideEditor;
    std::function<void(TKtCustomGrid&, uint16_t& key, TShiftState shift)> OnEditKeyDown;
    std::function<void(TKtCustomGrid&, char16_t& key)> OnEditKeyPress;
    std::function<void(TKtCustomGrid&, uint16_t& key, TShiftState shift)> OnEditKeyUp;
    // The editor's text changed.
    std::function<void(TKtCustomGrid&)> OnEditChange;
    std::function<void(TKtCustomGrid&, char16_t key, bool& accept)> OnCanEditAcceptKey;

    // Raises the wide or the ANSI form of the text events (the wide handler,
    // when assigned, is used instead of the other; the ANSI handler gets the
    // text in the system code page and its result is converted back).
    bool RaiseCellTextChanging(TPoint pt, WideString& text);
    void RaiseSetCellText(TPoint pt, bool fromCode, WideString& text);
    void RaiseGetCellText(TPoint pt, bool display, WideString& text) const;
    bool RaiseCompleteEdit(TPoint pt, const WideString& text);
    // OnDrawCellTextW or OnDrawCellText; true (draw the text) when neither
    // is assigned.
    bool RaiseDrawCellText(const TKtCell& cell, IKtCanvas& canvas, const TRect& rect,
                           const WideString& text) const;

  protected:
    // Fixed-area growth (n > 0) or shrinking (n < 0) after inserting or
    // deleting rows or columns at index inside the fixed area.
    void GrowFixedRows(int index, int n);
    void GrowFixedCols(int index, int n);

  private:
    friend class TKtGridSelection;
    friend class TCells;

    void ApplyRowPermutation(int from, const std::vector<int>& order);
    int CompareRows(int a, int b, const std::vector<int>& keys) const;
    void FontChangedForAll();
    void ClipScrollPosition();
    void ScrollBars(bool horizontal, bool vertical);

    // Order matters for destruction: the cell store goes before the lists
    // that cells may refer to.
    TFont font_;
    TKtGridStyle defaultStyle_;
    TKtFixedCellStyle fixedCellStyle_;
    TKtNameObjects nameObjects_;
    std::unique_ptr<TVexaGridColList> columns_;
    std::unique_ptr<TSizes> colWidths_;
    std::unique_ptr<TSizes> hiddenWidths_;
    TKtMergedAreas merged_;
    std::unique_ptr<TCells> cells_;
    std::unique_ptr<TKtRowHeights> rowHeights_;
    std::unique_ptr<TCellClassManager> classManager_;
    std::unique_ptr<TKtGridSelection> selection_;
    std::vector<TKtPicture> pictures_;
    std::unordered_map<const TKtCell*, std::unique_ptr<TKtCellSide>> cellSides_;

    std::unique_ptr<TKtGridDependents> dependents_;

    ITextMeasurer* measurer_ = nullptr;  // nullptr: the default FreeType measurer
    IKtGridView* view_ = nullptr;
    IKtCellEditor* cellEditor_ = nullptr;
    IKtGridClipboard* clipboard_ = nullptr;

    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedColCount_ = 1;
    int fixedRowCount_ = 1;
    int fixedColFirstNo_ = 1;
    int fixedRowFirstNo_ = 1;
    int defaultFixedColWidth_ = 40;
    int defaultFixedRowHeight_ = 19;
    TGridOptions options_{kDefaultGridOptions};
    TGridOptionsEx optionsEx_{};
    bool showGridLine_ = true;
    TColor gridLineColor_ = kBodyGridLineColor;
    TColor selectColor_ = clHighlight;
    TGridDir currentMoveDir_ = TGridDir::gdDown;
    int hintPause_ = 100;
    int viewLockCol_ = 1;
    int viewLockRow_ = 1;
    int leftCol_ = 1;
    int topRow_ = 1;
    int clientWidth_ = 300;
    int clientHeight_ = 200;
    bool allowEdit_ = true;
    TColor color_ = clWindow;
    TColor bgColor_ = 16053492;  // 0xF4F4F4
    bool autoColWidth_ = false;
    bool autoRowHeight_ = false;
    bool allowAutoAdjustCustomRowHeight_ = false;
    bool dontShowZero_ = false;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    bool zebraRowColor_ = false;
    TColor oddRowColor_ = clWindow;
    TColor evenRowColor_ = 16772846;  // 0xFFEEEE
    int sheetIndex_ = -1;
    bool protected_ = true;
    bool loading_ = false;
    bool destroying_ = false;
    bool inValueChanged_ = false;
    int updateCount_ = 0;
    std::unordered_set<int> pendingRowFits_;
    int hiddenRowCount_ = 0;
    int hiddenColCount_ = 0;
    bool editorMode_ = false;
    TKtCell* editingCell_ = nullptr;
    TKtCell* captureCell_ = nullptr;
    TKtCell* pressedCell_ = nullptr;
    TPoint mouseCell_{-1, -1};
};

// A plain grid as the suite publishes it.
class TVexaGrid : public TKtCustomGrid {};
class TKwGrid : public TVexaGrid {};

}  // namespace plu
