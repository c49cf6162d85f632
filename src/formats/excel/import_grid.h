// Filling grids from the sheets of a loaded workbook: the grid side of the
// import. One TVxGridImport keeps the format caches of one workbook and
// fills any number of grids from its sheets: cell values and formulas, cell
// formats, column widths and visibility, row heights, merged ranges, frozen
// panes and the protection flag.
//
// Coordinates: sheet rows and columns are zero-based (A1 is 0, 0); a grid is
// indexed column first with its fixed rows and columns first. ReadSheet with
// fixed counts 0 puts A1 on grid cell (1, 1), the first body cell.
//
// Formats are decoded once per XF: the first cell given XF x makes the
// template of x (its style and font); later cells with XF x share that style
// and that pooled font. Fonts are likewise decoded once per FONT entry. The
// caches hold style handles and pooled fonts, not pointers into grids, so a
// grid that is cleared or freed while the caches live leaves nothing
// dangling.
//
// Formulas go to the cell's SetFormula, so the grid needs a formula service
// (a worksheet or data grid). A formula the formula language cannot compile
// (a function it does not know, a reference into another sheet) keeps the
// value its FORMULA record cached, as Excel last showed it: a number stays a
// number, so sums over it, number formats and the scale transfer still see
// the figure. Formulas are not calculated while a sheet is read.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "base/font.h"
#include "formats/excel/import_source.h"
#include "grid/grid_style.h"
#include "grid/resource_manager.h"

namespace plu {

class TKtCustomGrid;
class TKtCell;

class TVxGridImport {
  public:
    TVxGridImport();
    ~TVxGridImport();
    TVxGridImport(const TVxGridImport&) = delete;
    TVxGridImport& operator=(const TVxGridImport&) = delete;

    // Fills grid from a sheet of source (ERangeError for an index beyond
    // its sheets). fixedCols / fixedRows 0: the grid gets one fixed column /
    // row and the sheet starts at the first body column / row; otherwise the
    // grid gets that many fixed columns / rows and the sheet starts at
    // column / row 0. ColCount / RowCount grow to cover the sheet (never
    // shrink); then the default column width, row heights, column widths,
    // the cells, merged ranges, frozen panes and IsProtected. The grid is not
    // cleared first. AutoRowHeight is off and the grid in a bulk update while
    // reading; both are restored on every way out.
    void ReadSheet(const TVxSheetSource& source, TKtCustomGrid& grid, int sheet, int fixedCols,
                   int fixedRows);
    // Pastes the sheet's cells and merged ranges so that its first cell
    // lands on (destCol, destRow) (negative: the first body column / row),
    // grows ColCount / RowCount as needed and selects the pasted rectangle.
    // Fixed counts, sizes, frozen panes and protection stay as they are.
    void ReadSheetAt(const TVxSheetSource& source, TKtCustomGrid& grid, int sheet, int destCol,
                     int destRow);

    // Forgets every template and font (another workbook is being read).
    void ClearCaches();
    // Number of XF slots holding a template (for tests of the sharing).
    int TemplateCount() const;

  private:
    // What the first cell given one XF ended up with.
    struct Template {
        TKtGridStyle style;
        std::optional<TFont> font;
        TKtFontRef pooled;  // font in the pool (empty without a font)
    };

    void GrowCaches(const TVxSheetSource& source);
    void ReadCells(const TVxSheetSource& source, TKtCustomGrid& grid, int sheet,
                   const TSheetExtent& extent, int colOffset, int rowOffset);
    void ReadMerges(TKtCustomGrid& grid, const std::vector<TVxMergedRange>& merges, int colOffset,
                    int rowOffset);
    void FillCell(const TVxSheetSource& source, int sheet, TKtCell& cell,
                  const TCellRecord& record);
    void ApplyFormat(const TVxSheetSource& source, TKtCell& cell, int xfIndex);
    void GiveFont(TKtCell& cell, const TFont& font, const TKtFontRef& pooled);
    void SetFormulaValue(const TVxSheetSource& source, int sheet, TKtCell& cell,
                         const TFormulaRecord& record);

    std::vector<std::unique_ptr<Template>> templates_;  // by XF index
    std::vector<std::unique_ptr<TFont>> fonts_;         // by FONT list entry
};

// What the bridge does before it reads a sheet into a grid: removes every
// cell, merged range, column width and row height and restores the default
// fixed sizes.
void ClearGridForImport(TKtCustomGrid& grid);

}  // namespace plu
