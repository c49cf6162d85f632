// TKtGridSelection: the grid's one special range. It knows the current cell
// (the cell that receives input), the extend end (the corner opposite the
// current cell while extending), moves with the keyboard, is always expanded
// to whole merged areas, and is the entry point for clearing, copying,
// cutting and pasting. The formatting operations of TKtGridRange apply to it.
#pragma once

#include "grid/grid_range.h"

namespace plu {

class TKwSheet;

class TKtGridSelection : public TKtGridRange {
  public:
    explicit TKtGridSelection(TKtCustomGrid& grid);

    TPoint Current() const { return current_; }
    TPoint ExtendEnd() const { return extendEnd_; }
    TPoint PreviousCurrent() const { return previous_; }

    // The current cell's font name / style (the current cell, not the first
    // cell of the rectangle).
    WideString GetFontName() const;
    TFontStyles GetFontStyle() const;

    // Makes (col, row), snapped to its merged area's anchor, the current cell;
    // nothing for a point outside the body cells or already current;
    // OnCurrentChanging may refuse. An open edit is committed first (unless
    // a formula picks a reference); a refused commit leaves everything as
    // it was. Collapse selects the cell alone.
    void SetCurrent(int col, int row, bool collapse);
    // Extends the selection from the current cell to (col, row).
    void ExtendTo(int col, int row);
    // Stores rect (half-open) grown over the merged areas it touches,
    // repaints the difference, raises OnSelectionChange.
    void SetSelectionRect(const TRect& rect);
    // A keyboard step; gdNone means the grid's CurrentMoveDir. Extend moves
    // the extend end one step beyond the merged areas on that side. Hidden
    // columns and rows are skipped; moving right past the last column wraps
    // to the first body column of the next row.
    void MoveCurrent(TGridDir direction, bool extend);
    // Whole columns (all body rows), whole rows (all columns from the first
    // body column), everything from the first body cell.
    void SelectColumns(int from, int to);
    void SelectRows(int from, int to);
    void SelectAll();
    // Fits the rectangle and the current cell into the grid after a
    // structural change.
    void Validate();
    // Moves rectangle, current cell and extend end by (dc, dr) (fixed-area
    // growth).
    void Shift(int dc, int dr);

    // Clears the values of the selected cells (formats and merged areas stay).
    void ClearSelection(bool undoable);
    // Clipboard entry points (through the grid's clipboard service).
    void Copy();
    void Cut();
    void Paste(int mode);
    // Pastes a text matrix from rect's top-left at the matrix's own size.
    void PasteTextMatrix(const TKwSheet& matrix, const TRect& rect);
    // The rectangle last copied or cut (empty when none) and whether it was cut.
    const TRect& CopiedRect() const { return copiedRect_; }
    bool CopiedForCut() const { return copiedForCut_; }
    void ClearCopiedRect();

    // 2 on the fill handle, 1 on the frame, 0 elsewhere (client pixels).
    int HitTest(int x, int y) const;
    // The selection's pixel rectangle.
    TRect PixelRect() const;

    bool AlphaBlend = false;
    uint8_t AlphaBlendValue = 180;
    bool TransparentColor = false;
    TColor TransparentColorValue = clNone;
    bool DisableDrag = false;
    bool HideBorder = false;
    bool ShowFrame = true;
    bool ShowFillHandle = true;
    bool ScrollIntoViewOnChange = true;
    // While a formula is edited, mouse selection picks a reference instead.
    bool ReferenceMode = false;

  private:
    void RepaintChange(const TRect& before, const TRect& after);
    TRect CellRect(TPoint p) const;
    TPoint StepTarget(TGridDir dir) const;
    int SkipHiddenCol(int col, int step) const;
    int SkipHiddenRow(int row, int step) const;

    TPoint current_{1, 1};
    TPoint extendEnd_{1, 1};
    TPoint previous_{1, 1};
    TRect copiedRect_{};
    bool copiedForCut_ = false;
};

}  // namespace plu
