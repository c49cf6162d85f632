#include "clipboard/paste.h"

#include "formats/biff8/byte_stream.h"
#include "formats/cfb/compound_document.h"
#include "formats/excel/excel_helper.h"
#include "formats/excel/import_reading.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/formula.h"
#include "grid/grid_selection.h"
#include "sheets/data_cells.h"

namespace plu {

namespace {

constexpr std::u16string_view kClipboardSheetName = u"VexaGrid";

// Ends a bulk update however the bracket is left.
class TUpdateBracket {
  public:
    explicit TUpdateBracket(TKtCustomGrid& grid) : grid_(grid) { grid_.BeginUpdate(); }
    ~TUpdateBracket() { grid_.EndUpdate(); }
    TUpdateBracket(const TUpdateBracket&) = delete;
    TUpdateBracket& operator=(const TUpdateBracket&) = delete;

  private:
    TKtCustomGrid& grid_;
};

void SelectTarget(TKtCustomGrid& grid, const TRect& target) {
    grid.SelectRange(target.Left, target.Top, target.Right - 1, target.Bottom - 1);
}

}  // namespace

void PasteTextBlock(TKtCustomGrid& grid, const TKwSheet& block, const TRect& range) {
    if (block.ColCount() <= 0 || block.RowCount() <= 0) return;
    TRect target{range.Left, range.Top, range.Left + block.ColCount(),
                 range.Top + block.RowCount()};
    bool allow = true;
    if (grid.OnBeforePaste) grid.OnBeforePaste(grid, target, allow);
    if (!allow) return;
    if (grid.OnCustomPaste) {
        grid.OnCustomPaste(grid, target, block);
    } else {
        for (int i = 0; i < block.RowCount(); ++i) {
            for (int j = 0; j < block.ColCount(); ++j) {
                const WideString text = block.GetText(j, i);
                const TPoint pos{target.Left + j, target.Top + i};
                if (grid.RaiseCompleteEdit(pos, text)) grid.GetCell(pos.X, pos.Y).SetTextIfEditable(text);
            }
        }
    }
    SelectTarget(grid, target);
    if (grid.OnAfterPaste) grid.OnAfterPaste(grid, range);
}

void TransferCells(TKtCustomGrid& grid, TKtCustomGrid& from, const TRect& source, TPoint dest,
                   bool move) {
    if (source.IsEmpty()) return;
    const bool same = &grid == &from;
    if (same && dest.X == source.Left && dest.Y == source.Top) return;
    const int dc = dest.X - source.Left;
    const int dr = dest.Y - source.Top;
    const bool bottomUp = !same || dest.Y > source.Top;
    const bool rightToLeft = same && dest.Y == source.Top && dest.X > source.Left;
    std::vector<TPoint> formulas;
    {
        TUpdateBracket bracket(grid);
        for (int k = 0; k < source.Height(); ++k) {
            const int r = bottomUp ? source.Bottom - 1 - k : source.Top + k;
            for (int m = 0; m < source.Width(); ++m) {
                const int c = rightToLeft ? source.Right - 1 - m : source.Left + m;
                TKtCell& target = grid.GetCell(c + dc, r + dr);
                if (!target.CanEdit()) continue;
                TKtCell& cell = from.GetCell(c, r);
                target.CopyFrom(cell, kCopyAll, false);
                if (cell.Formula()) formulas.push_back({c + dc, r + dr});
                if (move && cell.CanEdit()) cell.SetTextIfEditable(u"");
            }
        }
    }
    for (TPoint p : formulas) {
        TKtCell* cell = grid.FindCell(p.X, p.Y);
        if (!cell) continue;
        if (IKtFormula* f = cell->Formula()) {
            try {
                f->Recalculate();
            } catch (const Exception&) {
                // The formula shows its failure; the others go on.
            }
            cell->Recalculated();
        }
    }
    for (int r = dest.Y; r < dest.Y + source.Height(); ++r)
        for (int c = dest.X; c < dest.X + source.Width(); ++c)
            grid.CellValueChanged(grid.GetCell(c, r));
}

std::vector<uint8_t> BuildWorkbookStorage(const TKtCustomGrid& grid, const TRect& range) {
    TVexaGridExcelHelper helper(nullptr, &grid.Measurer());
    helper.AddSheetRange(kClipboardSheetName, grid, clNone, clNone, false, 0, 0, range);
    TXlsMemoryStream stream;
    helper.SaveToStream(stream);
    const TCompoundStream workbook{std::string(kWorkbookStreamName), stream.Bytes()};
    return BuildCompoundDocument(std::span<const TCompoundStream>(&workbook, 1));
}

void PasteWorkbook(TKtCustomGrid& grid, std::span<const uint8_t> storage, int col, int row) {
    const TCompoundDocument document = TCompoundDocument::OpenMemory(storage);
    auto helper = CreateGridExcelHelper(CreateGridReading(), &grid.Measurer());
    helper->LoadFromStorage(document);
    helper->ReadSheetAt(grid, 0, col, row);
}

int PasteBitmap(TKtCustomGrid& grid, std::vector<uint8_t> picture) {
    const int col = grid.CurrentCol();
    const int row = grid.CurrentRow();
    grid.ClassManager().SetCellClass(col, row, &TKtImageCell::Class());
    TKtCell& cell = grid.GetCell(col, row);
    const int index = grid.AddPicture(TKtPicture{TKtPicture::Bitmap, std::move(picture)});
    cell.SetAsInteger(index);
    return index;
}

}  // namespace plu
