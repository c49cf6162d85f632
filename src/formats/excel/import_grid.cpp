#include "formats/excel/import_grid.h"

#include <algorithm>

#include "base/color.h"
#include "base/exceptions.h"
#include "base/screen.h"
#include "formats/excel/import_cell_format.h"
#include "formulas/calc_express.h"
#include "formulas/data_grid_formulas.h"
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

constexpr double kDays1900To1904 = 1462;

bool Unresolved(const TKtCell& cell) {
    const auto* formula = dynamic_cast<const TKtCellFormula*>(cell.Formula());
    if (!formula) return false;
    for (const TKtToken& t : formula->Item().Tokens().Tokens) {
        if (t.Kind == TKtTokenKind::UnknownFunction || t.Kind == TKtTokenKind::Name) return true;
        if (t.Kind == TKtTokenKind::Error && t.ErrorCode() == TKtErrorCode::Name) return true;
    }
    return false;
}

// Merged ranges read per sheet. Real sheets hold a few thousand at most;
// the bound keeps a hostile file's cost in check.
constexpr int kMaxMergedRanges = 16384;

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
        if (row.twips != 0) {
            grid.SetRowHeight(gridRow, MulDiv(row.twips, kPixelsPerInch, 1440));
            grid.GetRow(gridRow).SetHeightSetByHand(row.customHeight);
        }
        if (row.hidden) grid.SetRowVisible(gridRow, false);
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
    // The grid absorbs a merged range into every range it overlaps, at a
    // cost that grows with the ranges it holds and the rows it covers; a
    // hostile file repeating overlapping ranges would make that quadratic.
    // So the file's ranges are first joined here into disjoint ones (the
    // result the grid would reach), at most kMaxMergedRanges of them.
    std::vector<TRect> joined;
    for (const TVxMergedRange& m : merges) {
        if (m.lastCol < m.firstCol || m.lastRow < m.firstRow) continue;
        if (m.lastCol == m.firstCol && m.lastRow == m.firstRow) continue;  // one cell
        if (static_cast<int>(joined.size()) >= kMaxMergedRanges) break;
        TRect r{m.firstCol, m.firstRow, m.lastCol + 1, m.lastRow + 1};
        for (bool absorbed = true; absorbed;) {
            absorbed = false;
            for (size_t i = 0; i < joined.size(); ++i) {
                if (!joined[i].Intersects(r)) continue;
                r = r.Union(joined[i]);
                joined[i] = joined.back();
                joined.pop_back();
                absorbed = true;
                break;
            }
        }
        joined.push_back(r);
    }
    for (const TRect& r : joined)
        grid.MergeCells(colOffset + r.Left, rowOffset + r.Top, colOffset + r.Right - 1,
                        rowOffset + r.Bottom - 1);
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
        case TXlsValueKind::vkNumber: {
            double value = record.AsFloat();
            // A date of a workbook that counts from 1904 is moved to the
            // grid's count from 1900: 1 January 1904 is day 1462 there.
            if (source.Date1904() &&
                cell.EffectiveStyle(TKtStyleAttribute::Format).IsDateTimeFormat())
                value += kDays1900To1904;
            cell.SetAsFloat(value);
            break;
        }
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
        if (slot->font) GiveFont(cell, *slot->font, slot->pooled);
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
        made->font = *font;
        made->pooled = TKtFontRef(*font);
        GiveFont(cell, *font, made->pooled);
    }
    made->style.Assign(cell.Style());
    slot = std::move(made);
}

void TVxGridImport::GiveFont(TKtCell& cell, const TFont& font, const TKtFontRef& pooled) {
    // A cell whose font would draw as the one it shows already keeps
    // following the grid's font (as it would after an equal font was
    // assigned). Otherwise it shares the pooled font of the template.
    if (SameFont(cell.Font(), font)) return;
    if (pooled.Empty())
        cell.SetFont(font);
    else
        cell.SetFont(pooled);
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
        // The text rebuilt from the tokens is in the stored form.
        TKtStoredFormulaText stored;
        cell.SetFormula(text);
    } catch (const Exception&) {
        // The formula language cannot take this text; the cell keeps what
        // the file last showed rather than losing it, or the whole load.
        SetCachedResult(record, cell);
        return;
    }
    if (Unresolved(cell)) {
        // A function the engine does not know, or a name the workbook's
        // tables did not resolve, would only show "#NAME?" where the file
        // holds a value: the cell keeps that value.
        SetCachedResult(record, cell);
        return;
    }
    if ((shiftCol != 0 || shiftRow != 0) && cell.Formula()) {
        cell.Formula()->Shift(shiftCol, shiftRow);
        cell.RefreshReferences();
    }
}

}  // namespace plu
