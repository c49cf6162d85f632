// Copy of 650,000 cells (65,000 body rows x 10 body columns, the sheet of the
// workbook benchmarks: numbers with the column format "0.00" and texts) to a
// clipboard without a window system. Copying names the formats and builds
// nothing; the BIFF8 workbook and the Unicode text are built when a program
// asks, and are timed apart.
#include <benchmark/benchmark.h>

#include <memory>

#include "base/text_measurer.h"
#include "clipboard/clipboard_text.h"
#include "clipboard/grid_clipboard.h"
#include "clipboard/paste.h"
#include "formats/biff8/byte_stream.h"
#include "formats/excel/excel_helper.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/grid_column.h"
#include "grid/grid_selection.h"
#include "workbook/bench_sheet.h"

namespace plu {
namespace {

using namespace plu::bench;

// Keeps the offered object; renders on request.
class HoldingService : public IKtClipboardService {
  public:
    uint64_t Offer(std::vector<TKtClipOffer> formats, std::function<void(uint64_t)> released) override {
        if (released_) released_(id_);
        offers_ = std::move(formats);
        released_ = std::move(released);
        return ++id_;
    }
    std::vector<TKtClipFormat> Formats() override {
        std::vector<TKtClipFormat> list;
        for (const auto& o : offers_) list.push_back(o.Format);
        return list;
    }
    std::optional<TKtClipData> Get(TKtClipFormat format) override {
        for (const auto& o : offers_)
            if (o.Format == format) return o.Render();
        return std::nullopt;
    }
    void Flush() override {}
    void Empty() override {
        if (released_) released_(id_);
        released_ = nullptr;
        offers_.clear();
    }
    bool IsCurrent(uint64_t id) const override { return id == id_ && !offers_.empty(); }

  private:
    std::vector<TKtClipOffer> offers_;
    std::function<void(uint64_t)> released_;
    uint64_t id_ = 0;
};

TKtCustomGrid& BenchGrid() {
    static std::unique_ptr<TKtCustomGrid> grid = [] {
        auto g = std::make_unique<TKtCustomGrid>();
        g->SetMeasurer(&DefaultTextMeasurer());
        g->BeginUpdate();
        g->SetColCount(kCols + 1);
        g->SetRowCount(kRows + 1);
        for (int c = 1; c <= kCols / 2; ++c) g->GetColumn(c).Style().SetFormatString(u"0.00");
        for (int r = 1; r <= kRows; ++r)
            for (int c = 1; c <= kCols; ++c) {
                TKtCell& cell = g->GetCell(c, r);
                if (c <= kCols / 2)
                    cell.SetAsFloat((r - 1) * 10.0 + (c - 1) + 0.5);
                else
                    cell.SetAsString(CellText(r - 1, c - 1));
            }
        g->EndUpdate();
        return g;
    }();
    return *grid;
}

const TRect kBody{1, 1, kCols + 1, kRows + 1};

void BM_CopyRange(benchmark::State& state) {
    TKtCustomGrid& grid = BenchGrid();
    HoldingService service;
    TKtGridClipboard clipboard(service);
    grid.SetClipboard(&clipboard);
    grid.SelectRange(1, 1, kCols, kRows);
    for (auto _ : state) {
        grid.Selection().Copy();
        benchmark::DoNotOptimize(clipboard.HoldsCopyOf(grid));
    }
    grid.SetClipboard(nullptr);
}
BENCHMARK(BM_CopyRange)->Unit(benchmark::kMillisecond);

void BM_BuildBiff8WhenAsked(benchmark::State& state) {
    TKtCustomGrid& grid = BenchGrid();
    size_t bytes = 0;
    for (auto _ : state) {
        const std::vector<uint8_t> storage = BuildWorkbookStorage(grid, kBody);
        bytes = storage.size();
        benchmark::DoNotOptimize(storage.data());
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_BuildBiff8WhenAsked)->Unit(benchmark::kMillisecond);

// Of which: the workbook stream alone (the model from the grid and its
// records), without the compound document around it.
void BM_Biff8StreamOnly(benchmark::State& state) {
    TKtCustomGrid& grid = BenchGrid();
    for (auto _ : state) {
        TVexaGridExcelHelper helper(nullptr, &grid.Measurer());
        helper.AddSheetRange(u"VexaGrid", grid, clNone, clNone, false, 0, 0, kBody);
        TXlsMemoryStream stream;
        helper.SaveToStream(stream);
        benchmark::DoNotOptimize(stream.Bytes().data());
    }
}
BENCHMARK(BM_Biff8StreamOnly)->Unit(benchmark::kMillisecond);

void BM_BuildTextWhenAsked(benchmark::State& state) {
    TKtCustomGrid& grid = BenchGrid();
    for (auto _ : state) {
        const WideString text = CopiedRangeText(grid, kBody);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_BuildTextWhenAsked)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plu
