// Workbook streams from damaged or hostile files. The stream is read into
// the model, everything the import asks of the model is asked (texts,
// numbers, formats, fonts, colours, formula texts), and the model is written
// back. Failures must be the layer's own errors, never a crash or a read
// outside a buffer.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/exceptions.h"
#include "base/text_measurer.h"
#include "formats/biff8/workbook.h"

namespace {

template <typename F>
void Try(F&& f) {
    try {
        f();
    } catch (const plu::Exception&) {
    }
}

void Inspect(plu::TWorkbook& book) {
    plu::TWorkbookGlobals& g = book.Globals();
    for (int i = 0; i < g.Fonts().Count(); ++i) {
        Try([&] {
            (void)g.Fonts().Item(i).FontHandle();
            (void)g.Fonts().Item(i).Style();
        });
    }
    for (int i = 0; i < g.XFs().Count(); ++i) {
        Try([&] {
            const plu::TXFRecord& xf = g.XFs().Item(i);
            (void)g.Formats().FormatOfIndex(xf.FormatIndex());
            (void)g.Palette().ColorOfIndex(xf.PatternColor());
            for (int slot = 0; slot < plu::kBorderSlots; ++slot) (void)xf.BorderColor(slot);
        });
    }
    for (int s = 0; s < book.Sheets().Count(); ++s) {
        plu::TWorkSheet& sheet = book.Sheets().Item(s);
        Try([&] { (void)sheet.Cells().Statistics(); });
        const plu::TBaseColRowList& rows = sheet.Cells().CellRows();
        for (int r = 0; r < rows.Count(); ++r) {
            const plu::TRow* row = rows.Get(r);
            for (int i = 0; row && i < row->CellCount(); ++i) {
                const plu::TCellRecord& cell = row->CellAt(i);
                Try([&] { (void)cell.AsText(); });
                Try([&] { (void)cell.AsFloat(); });
                if (cell.IsFormula()) {
                    const auto& f = static_cast<const plu::TFormulaRecord&>(cell);
                    Try([&] { (void)book.FormulaText(f); });
                    Try([&] { (void)sheet.SharedFormulaText(cell.Row(), cell.Col()); });
                }
            }
        }
        for (int i = 0; i < sheet.Columns().Count(); ++i) (void)sheet.Columns().At(i);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static plu::FixedTextMeasurer measurer;
    plu::TWorkbook book(&measurer);
    Try([&] { book.LoadFromBytes(std::span<const std::uint8_t>(data, size)); });
    Inspect(book);
    // Whatever was read, partly or whole, can be written again.
    Try([&] { (void)book.SaveToBytes(); });
    return 0;
}
