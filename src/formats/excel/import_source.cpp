#include "formats/excel/import_source.h"

#include <algorithm>
#include <cstdint>

#include "formats/biff8/cell_table.h"
#include "formats/biff8/sheet_records.h"
#include "formats/biff8/workbook.h"
#include "formats/biff8/xls_record.h"

namespace plu {
namespace {

// Rows and columns are u16 in cell and ROW records; a DIMENSIONS record
// (u32 rows) claiming more cannot describe cells that exist.
constexpr int64_t kLastSheetRow = kMaxRows - 1;
constexpr int kLastSheetCol = 0xFFFF;

int ClampRow(int64_t row) {
    return static_cast<int>(std::clamp<int64_t>(row, -1, kLastSheetRow));
}

}  // namespace

int TVxSheetSource::SheetCount() const {
    return workbook_.Sheets().Count();
}

WideString TVxSheetSource::SheetName(int sheet) const {
    return workbook_.Sheets().Item(sheet).Name();
}

int TVxSheetSource::IndexOfSheet(WideStringView name) const {
    for (int i = 0; i < SheetCount(); ++i)
        if (SameText(workbook_.Sheets().Item(i).Name(), name)) return i;
    return -1;
}

bool TVxSheetSource::Date1904() const {
    return workbook_.Globals().Date1904();
}

int TVxSheetSource::CharWidth() const {
    return workbook_.CharWidth();
}

TSheetExtent TVxSheetSource::Extent(int sheet) const {
    const TWorkSheet& s = workbook_.Sheets().Item(sheet);
    TSheetExtent e;
    bool any = false;
    if (const TDimensionsRecord* d = s.Dimensions(); d && d->Holds(0, 12)) {
        e.firstRow = ClampRow(d->FirstRow());
        e.lastRow = ClampRow(static_cast<int64_t>(d->RowEnd()) - 1);
        e.firstCol = d->FirstCol();
        e.lastCol = static_cast<int>(d->ColEnd()) - 1;
        any = e.lastRow >= e.firstRow && e.lastCol >= e.firstCol;
        if (!any) e = {};
    } else if (const TRowStatistics stats = s.Cells().Statistics(); stats.rowEnd != 0) {
        e.firstRow = stats.firstRow;
        e.lastRow = stats.rowEnd - 1;
        e.firstCol = stats.firstCol;
        // The statistics give the largest column end plus 1; the extent's
        // last column is that column end itself.
        e.lastCol = std::min(stats.colEnd - 1, kLastSheetCol);
        any = true;
    }
    // Writers get DIMENSIONS and ROW records wrong (too small, or missing):
    // the cells present decide as well, so none of them is left out.
    const TBaseColRowList& cellRows = s.Cells().CellRows();
    for (int r = 0; r < cellRows.Count(); ++r) {
        const TRow* row = cellRows.Get(r);
        if (!row || row->CellCount() == 0) continue;
        const int first = row->CellAt(0).Col();
        const int last = row->CellAt(row->CellCount() - 1).Col();
        if (!any) {
            e = {r, r, first, last};
            any = true;
        }
        e.firstRow = std::min(e.firstRow, r);
        e.lastRow = std::max(e.lastRow, r);
        e.firstCol = std::min(e.firstCol, first);
        e.lastCol = std::max(e.lastCol, last);
    }
    return e;
}

TVxSheetLayout TVxSheetSource::Layout(int sheet) const {
    const TWorkSheet& s = workbook_.Sheets().Item(sheet);
    TVxSheetLayout layout;
    layout.extent = Extent(sheet);
    if (const TDefaultColWidthRecord* w = s.DefColWidth(); w && w->Holds(0, 2))
        layout.defaultColWidthChars = w->Width();

    const TRowRecordList& rows = s.Cells().Rows();
    for (int r = 0; r < rows.Count(); ++r) {
        const TRowRecord* row = rows.Get(r);
        if (!row) continue;
        const bool hidden = row->Holds(12, 2) && (row->Options() & TRowRecord::kHidden) != 0;
        if (row->Height() == 0 && !hidden) continue;
        layout.rowHeights.push_back(
            {r, row->Height(), (row->Options() & TRowRecord::kCustomHeight) != 0, hidden});
    }

    const TColInfoList& columns = s.Columns();
    layout.columns.reserve(static_cast<size_t>(columns.Count()));
    for (int i = 0; i < columns.Count(); ++i) {
        const TColInfo& info = columns.At(i);
        layout.columns.push_back({info.column, info.width, info.Hidden()});
    }

    const TMergedCellsRecord& merged = s.Cells().Merged();
    layout.merges.reserve(static_cast<size_t>(merged.RangeCount()));
    for (int i = 0; i < merged.RangeCount(); ++i) {
        const TCellRangesRecord::Range r = merged.GetRange(i);
        layout.merges.push_back({r.firstRow, r.lastRow, r.firstCol, r.lastCol});
    }

    const TWindow2Record* window2 = s.Window2();
    const TPaneRecord* pane = s.Pane();
    if (window2 && window2->Holds(0, 2) && window2->Frozen() && pane && pane->Holds(0, 8))
        layout.frozenPane =
            TVxFrozenPane{pane->FrozenCols(), pane->FrozenRows(), pane->LeftCol(), pane->TopRow()};

    const TProtectRecord* protect = s.Protect();
    layout.isProtected = protect && protect->Holds(0, 2) && protect->Protected();
    return layout;
}

void TVxSheetSource::ForEachCell(int sheet, const TSheetExtent& extent,
                                 const std::function<void(const TCellRecord&)>& visit) const {
    const TBaseColRowList& cellRows = workbook_.Sheets().Item(sheet).Cells().CellRows();
    const int firstRow = std::max(extent.firstRow, 0);
    const int lastRow = std::min(extent.lastRow, cellRows.Count() - 1);
    for (int r = firstRow; r <= lastRow; ++r) {
        const TRow* row = cellRows.Get(r);
        if (!row) continue;
        for (int i = 0; i < row->CellCount(); ++i) {
            const TCellRecord& record = row->CellAt(i);
            if (record.Col() < extent.firstCol) continue;
            if (record.Col() > extent.lastCol) break;
            visit(record);
        }
    }
}

WideString TVxSheetSource::FormulaText(int sheet, const TFormulaRecord& formula) const {
    WideString text;
    if (formula.IsSharedFormula())
        text = workbook_.Sheets().Item(sheet).SharedFormulaText(formula.Row(), formula.Col());
    // A shared formula without a SHRFMLA covering it falls back to its own
    // tokens (which then fail to compile, keeping the cached result).
    return text.empty() ? workbook_.FormulaText(formula) : text;
}

int TVxSheetSource::XFCount() const {
    return workbook_.Globals().XFs().Count();
}

const TXFRecord& TVxSheetSource::XF(int index) const {
    return workbook_.Globals().XFs().Item(index);
}

int TVxSheetSource::FontCount() const {
    return workbook_.Globals().Fonts().Count();
}

const TFontRecord& TVxSheetSource::FontEntry(int entry) const {
    return workbook_.Globals().Fonts().Item(entry);
}

const TPaletteRecord& TVxSheetSource::Palette() const {
    return workbook_.Globals().Palette();
}

const TFormatList& TVxSheetSource::Formats() const {
    return workbook_.Globals().Formats();
}

}  // namespace plu
