// What the import reads from a loaded workbook, in the terms a grid needs:
// a sheet's extent, default column width, row heights, column entries,
// merged ranges, frozen panes and protection, its cell records in row and
// column order, the formula text of a FORMULA cell, and the records that
// describe cell formats (XF, FONT, FORMAT, palette).
//
// This header names no grid type and no workbook container type, so the
// grid side of the import can include it beside the grid's headers.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "base/wide_text.h"
#include "formats/biff8/cell_records.h"
#include "formats/biff8/font_record.h"
#include "formats/biff8/palette.h"
#include "formats/biff8/record_lists.h"
#include "formats/biff8/xf_record.h"

namespace plu {

class TWorkbook;

// The cells, rows and columns a sheet covers (inclusive; a last row or
// column below the first means none). From the DIMENSIONS record when there
// is one, else from the ROW records: the first and last row holding one, the
// smallest first column and the largest column end they name.
struct TSheetExtent {
    int firstRow = 0;
    int lastRow = -1;
    int firstCol = 0;
    int lastCol = -1;
    bool operator==(const TSheetExtent&) const = default;
};

// A ROW record with a height: sheet row, height in twips, custom-height flag.
struct TVxRowHeight {
    int row = 0;
    int twips = 0;
    bool customHeight = false;
    bool hidden = false;  // the ROW record's hidden flag (0x20)
};

// A column entry: sheet column, width in pixels (at the workbook's character
// width), hidden flag.
struct TVxColumnWidth {
    int column = 0;
    int width = 0;
    bool hidden = false;
};

// A merged range, inclusive.
struct TVxMergedRange {
    int firstRow = 0;
    int lastRow = 0;
    int firstCol = 0;
    int lastCol = 0;
};

// PANE of a sheet whose WINDOW2 has the frozen bit: frozen columns and rows,
// first column of the right pane and first row of the lower pane.
struct TVxFrozenPane {
    int cols = 0;
    int rows = 0;
    int leftCol = 0;
    int topRow = 0;
};

struct TVxSheetLayout {
    TSheetExtent extent;
    // DEFCOLWIDTH in characters, 8 when the sheet has none.
    int defaultColWidthChars = 8;
    std::vector<TVxRowHeight> rowHeights;  // rows with a non-zero height, in row order
    std::vector<TVxColumnWidth> columns;   // in column order
    std::vector<TVxMergedRange> merges;    // in MERGEDCELLS order
    std::optional<TVxFrozenPane> frozenPane;
    bool isProtected = false;  // a PROTECT record with a non-zero value
};

// A view of a loaded workbook; the workbook must outlive it.
class TVxSheetSource {
  public:
    explicit TVxSheetSource(TWorkbook& workbook) : workbook_(workbook) {}

    const TWorkbook& Workbook() const { return workbook_; }
    int SheetCount() const;
    // An index beyond the sheets read raises ERangeError
    // ("List index out of bounds (n)"), here and below.
    WideString SheetName(int sheet) const;
    // The first sheet whose name equals name ignoring case, or -1.
    int IndexOfSheet(WideStringView name) const;
    // Width in pixels of "0" in the workbook's FONT record 0.
    int CharWidth() const;
    // Dates of the workbook count from 1904 (see TWorkbookGlobals::Date1904).
    bool Date1904() const;

    TSheetExtent Extent(int sheet) const;
    TVxSheetLayout Layout(int sheet) const;
    // Visits the cell records inside the extent, row by row, each row in
    // column order. Only records that exist are visited, however large the
    // extent claims to be.
    void ForEachCell(int sheet, const TSheetExtent& extent,
                     const std::function<void(const TCellRecord&)>& visit) const;
    // The formula text (without "=") of a FORMULA cell of the sheet: from the
    // SHRFMLA that covers it when it is part of a shared formula, else from
    // its own tokens.
    WideString FormulaText(int sheet, const TFormulaRecord& formula) const;

    int XFCount() const;
    const TXFRecord& XF(int index) const;
    // FONT list entries (FONT index n is entry n below 4 and n - 1 above 4).
    int FontCount() const;
    const TFontRecord& FontEntry(int entry) const;
    const TPaletteRecord& Palette() const;
    const TFormatList& Formats() const;

  private:
    TWorkbook& workbook_;
};

}  // namespace plu
