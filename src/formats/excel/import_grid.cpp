#include "formats/excel/import_grid.h"

#include <algorithm>

#include "base/color.h"
#include "base/exceptions.h"
#include "base/screen.h"
#include "formats/excel/import_cell_format.h"
#include "grid/cell.h"
#include "grid/cell_store.h"
#include "grid/custom_grid.h"
#include "grid/grid_row.h"

namespace plu {
namespace {

// Runs a bulk update of the grid with AutoRowHeight off, restoring both on
// every way out (a failing record or grid operation included).
class ReadingBracket {
  public:
    explicit ReadingBracket(TKtCustomGrid& grid)
        : grid_(grid), autoRowHeight_(grid.AutoRowHeight()) {
        grid_.SetAutoRowHeight(false);
        grid_.BeginUpdate();
    }
    ~ReadingBracket() {
        grid_.EndUpdate();
        grid_.SetAutoRowHeight(autoRowHeight_);
    }
    ReadingBracket(const ReadingBracket&) = delete;
    ReadingBracket& operator=(const ReadingBracket&) = delete;

  private:
    TKtCustomGrid& grid_;
    bool autoRowHeight_;
};

// Fonts that draw and save alike: the same name (with its letter case),
// height, style and pitch, and the same colour once system colours are
// resolved (a file names black where the grid's font says "window text").
// The charset is not compared: nothing draws with it here, and workbooks are
// written with charset 134 whatever the font says.
bool SameFont(const TFont& a, const TFont& b) {
    return a.Height() == b.Height() && a.Style() == b.Style() &&
           ColorToRGB(a.Color()) == ColorToRGB(b.Color()) && a.Pitch() == b.Pitch() &&
           a.Name() == b.Name();
}

bool InsideGrid(int col, int row) {
    return col >= 0 && col < kMaxGridCols && row >= 0 && row < kMaxGridRows;
}

}  // namespace

void ClearGridForImport(TKtCustomGrid& grid) {
    grid.ClearContents();
}

TVxGridImport::TVxGridImport() = default;
TVxGridImport::~TVxGridImport() = default;

void TVxGridImport::ClearCaches() {
    templates_.clear();
    fonts_.clear();
}

int TVxGridImport::TemplateCount() const {
    return static_cast<int>(std::count_if(templates_.begin(), templates_.end(),
                                          [](const auto& t) { return t != nullptr; }));
}

void TVxGridImport::GrowCaches(const TVxSheetSource& source) {
    const size_t xfs = static_cast<size_t>(source.XFCount());
    if (templates_.size() < xfs) templates_.resize(xfs);
    const size_t fonts = static_cast<size_t>(source.FontCount());
    if (fonts_.size() < fonts) fonts_.resize(fonts);
}

void TVxGridImport::ReadSheet(const TVxSheetSource& source, TKtCustomGrid& grid, int sheet,
                              int fixedCols, int fixedRows) {
    const TVxSheetLayout layout = source.Layout(sheet);
    const TSheetExtent& extent = layout.extent;
    GrowCaches(source);
    ReadingBracket bracket(grid);

    int colOffset = 0;
    if (fixedCols != 0) {
        grid.SetFixedColCount(fixedCols);
        grid.SetColCount(std::max(grid.ColCount(), extent.lastCol + 1));
    } else {
        grid.SetFixedColCount(1);
        grid.SetColCount(std::max(grid.ColCount(), grid.FixedColCount() + extent.lastCol + 1));
        colOffset = grid.FixedColCount();
    }
    int rowOffset = 0;
    if (fixedRows != 0) {
        grid.SetFixedRowCount(fixedRows);
        grid.SetRowCount(std::max(grid.RowCount(), extent.lastRow + 1));
    } else {
        grid.SetFixedRowCount(1);
        grid.SetRowCount(std::max(grid.RowCount(), grid.FixedRowCount() + extent.lastRow + 1));
        rowOffset = grid.FixedRowCount();
    }

    grid.SetDefaultColWidth(layout.defaultColWidthChars * source.CharWidth());

    for (const TVxRowHeight& row : layout.rowHeights) {
        const int gridRow = rowOffset + row.row;
        grid.SetRowHeight(gridRow, MulDiv(row.twips, kPixelsPerInch, 1440));
        grid.GetRow(gridRow).SetHeightSetByHand(row.customHeight);
    }

    for (const TVxColumnWidth& column : layout.columns) {
        const int gridCol = colOffset + column.column;
        if (gridCol >= kMaxGridCols) break;
        grid.SetColWidth(gridCol, column.width);
        if (column.hidden) grid.SetColVisible(gridCol, false);
    }

    ReadCells(source, grid, sheet, extent, colOffset, rowOffset);
    ReadMerges(grid, layout.merges, colOffset, rowOffset);

    if (layout.frozenPane) {
        const TVxFrozenPane& pane = *layout.frozenPane;
        grid.SetViewLock(pane.cols + grid.FixedColCount(), pane.rows + grid.FixedRowCount());
        grid.SetLeftCol(pane.leftCol + grid.FixedColCount());
        grid.SetTopRow(pane.topRow + grid.FixedRowCount());
    }
    grid.SetProtected(layout.isProtected);
}

void TVxGridImport::ReadSheetAt(const TVxSheetSource& source, TKtCustomGrid& grid, int sheet,
                                int destCol, int destRow) {
    const TVxSheetLayout layout = source.Layout(sheet);
    const TSheetExtent& extent = layout.extent;
    GrowCaches(source);
    ReadingBracket bracket(grid);

    if (destCol < 0) destCol = grid.FixedColCount();
    if (destRow < 0) destRow = grid.FixedRowCount();
    const int colOffset = destCol - extent.firstCol;
    const int rowOffset = destRow - extent.firstRow;
    grid.SetColCount(std::max(grid.ColCount(), colOffset + extent.lastCol + 1));
    grid.SetRowCount(std::max(grid.RowCount(), rowOffset + extent.lastRow + 1));

    ReadCells(source, grid, sheet, extent, colOffset, rowOffset);
    ReadMerges(grid, layout.merges, colOffset, rowOffset);
    grid.SelectRange(colOffset + extent.firstCol, rowOffset + extent.firstRow,
                     colOffset + extent.lastCol, rowOffset + extent.lastRow);
}

void TVxGridImport::ReadCells(const TVxSheetSource& source, TKtCustomGrid& grid, int sheet,
                              const TSheetExtent& extent, int colOffset, int rowOffset) {
    source.ForEachCell(sheet, extent, [&](const TCellRecord& record) {
        const int col = colOffset + record.Col();
        const int row = rowOffset + record.Row();
        if (InsideGrid(col, row)) FillCell(source, sheet, grid.GetCell(col, row), record);
    });
}

void TVxGridImport::ReadMerges(TKtCustomGrid& grid, const std::vector<TVxMergedRange>& merges,
                               int colOffset, int rowOffset) {
    for (const TVxMergedRange& m : merges)
        grid.MergeCells(colOffset + m.firstCol, rowOffset + m.firstRow, colOffset + m.lastCol,
                        rowOffset + m.lastRow);
}

void TVxGridImport::FillCell(const TVxSheetSource& source, int sheet, TKtCell& cell,
                             const TCellRecord& record) {
    ApplyFormat(source, cell, record.XF());
    if (record.IsFormula()) {
        SetFormulaValue(source, sheet, cell, static_cast<const TFormulaRecord&>(record));
        return;
    }
    switch (record.ValueKind()) {
        case TXlsValueKind::vkBlank:
            cell.SetAsString(u"");
            break;
        case TXlsValueKind::vkNumber:
            cell.SetAsFloat(record.AsFloat());
            break;
        case TXlsValueKind::vkText:
            cell.SetAsString(record.AsText());
            break;
        case TXlsValueKind::vkBoolean:
            cell.SetAsBoolean(record.AsFloat() == 1.0);
            break;
    }
}

void TVxGridImport::ApplyFormat(const TVxSheetSource& source, TKtCell& cell, int xfIndex) {
    // An XF index beyond the file's XF records leaves the style as it is.
    if (xfIndex < 0 || xfIndex >= source.XFCount()) return;
    std::unique_ptr<Template>& slot = templates_[static_cast<size_t>(xfIndex)];
    if (slot) {
        cell.OwnStyle().Assign(slot->style);
        if (slot->font) GiveFont(cell, *slot->font);
        return;
    }

    const TXFRecord& xf = source.XF(xfIndex);
    ApplyXFToStyle(xf, source.Formats(), source.Palette(), cell.OwnStyle());

    auto made = std::make_unique<Template>();
    const int entry = TFontList::EntryOfFontIndex(xf.FontIndex());
    if (entry >= 0 && entry < source.FontCount()) {
        std::unique_ptr<TFont>& font = fonts_[static_cast<size_t>(entry)];
        if (!font) {
            font = std::make_unique<TFont>(cell.Font());
            ApplyFontRecord(source.FontEntry(entry), source.Palette(), *font);
        }
        GiveFont(cell, *font);
        made->font = *font;
    }
    made->style.Assign(cell.Style());
    slot = std::move(made);
}

void TVxGridImport::GiveFont(TKtCell& cell, const TFont& font) {
    // A cell whose font would draw as the one it shows already keeps
    // following the grid's font (as it would after an equal font was
    // assigned): a font of its own costs the grid a side record per cell,
    // which for a sheet of 650,000 cells costs more than the rest of the
    // reading together.
    if (!SameFont(cell.Font(), font)) cell.OwnFont().Assign(font);
}

void TVxGridImport::SetFormulaValue(const TVxSheetSource& source, int sheet, TKtCell& cell,
                                    const TFormulaRecord& record) {
    const WideString text = source.FormulaText(sheet, record);
    const TKtCustomGrid& grid = cell.Grid();
    // The text reads as if the sheet's cell sat where the grid's fixed rows
    // and columns put it by default; its relative references move by the
    // distance from there to where the cell really is.
    const int shiftCol = cell.Col() - (grid.FixedColCount() + record.Col());
    const int shiftRow = cell.Row() - (grid.FixedRowCount() + record.Row());
    try {
        cell.SetFormula(text);
    } catch (const Exception&) {
        // The formula language cannot take this text; the cell keeps what
        // the file last showed rather than losing it, or the whole load.
        SetCachedResult(record, cell);
        return;
    }
    if ((shiftCol != 0 || shiftRow != 0) && cell.Formula()) {
        cell.Formula()->Shift(shiftCol, shiftRow);
        cell.RefreshReferences();
    }
}

}  // namespace plu
