// Grid core: filling a million cells through SetText inside one update,
// random cell look-ups, sorting 20,000 rows of random texts, the heap
// bytes a filled cell costs (measured with mallinfo2 around the fill), row
// geometry over 100,000 rows and painting a screenful of them.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <memory>
#include <random>
#include <vector>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "grid/custom_grid.h"
#include "grid/grid_painter.h"

using namespace plu;

namespace {

constexpr int kRows = 10000;
constexpr int kCols = 100;  // 1,000,000 body cells

// Texts as a sheet holds them: whole numbers, prices and words.
std::vector<WideString> MakeTexts(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<WideString> texts;
    texts.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        switch (i % 3) {
            case 0:
                texts.push_back(IntToWide(rng() % 100000));
                break;
            case 1:
                texts.push_back(IntToWide(rng() % 1000) + u"." + IntToWide(10 + rng() % 90));
                break;
            default: {
                WideString w;
                for (int k = 0; k < 8; ++k)
                    w += static_cast<char16_t>(u'a' + rng() % 26);
                texts.push_back(w);
            }
        }
    }
    return texts;
}

std::unique_ptr<TKtCustomGrid> MakeGrid(int cols, int rows) {
    auto grid = std::make_unique<TKtCustomGrid>();
    static FixedTextMeasurer measurer;
    grid->SetMeasurer(&measurer);
    grid->SetColCount(cols + 1);
    grid->SetRowCount(rows + 1);
    return grid;
}

size_t HeapInUse() {
    return mallinfo2().uordblks;
}

void BM_FillMillionCells(benchmark::State& state) {
    ScopedRegionalSettings settings(RegionalSettings::Defaults());
    const std::vector<WideString> texts = MakeTexts(4096, 1);
    double bytesPerCell = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto grid = MakeGrid(kCols, kRows);
        const size_t before = HeapInUse();
        state.ResumeTiming();
        grid->BeginUpdate();
        size_t k = 0;
        for (int r = 1; r <= kRows; ++r)
            for (int c = 1; c <= kCols; ++c)
                grid->GetCell(c, r).SetText(texts[k++ & 4095]);
        grid->EndUpdate();
        state.PauseTiming();
        bytesPerCell = static_cast<double>(HeapInUse() - before) / (kRows * kCols);
        grid.reset();
        state.ResumeTiming();
    }
    state.counters["bytes_per_cell"] = bytesPerCell;
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}
BENCHMARK(BM_FillMillionCells)->Unit(benchmark::kMillisecond)->Iterations(3);

// Heap bytes per cell by value kind (strings of 8 characters, numbers).
void BM_BytesPerCell(benchmark::State& state) {
    ScopedRegionalSettings settings(RegionalSettings::Defaults());
    const bool strings = state.range(0) != 0;
    double perCell = 0;
    for (auto _ : state) {
        auto grid = MakeGrid(kCols, kRows / 10);
        const size_t before = HeapInUse();
        grid->BeginUpdate();
        for (int r = 1; r <= kRows / 10; ++r)
            for (int c = 1; c <= kCols; ++c) {
                TKtCell& cell = grid->GetCell(c, r);
                if (strings)
                    cell.SetAsString(u"abcdefgh");
                else
                    cell.SetAsFloat(r + c * 0.5);
            }
        grid->EndUpdate();
        perCell = static_cast<double>(HeapInUse() - before) / (kRows / 10 * kCols);
    }
    state.counters["bytes_per_cell"] = perCell;
}
BENCHMARK(BM_BytesPerCell)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_RandomTryGetCell(benchmark::State& state) {
    ScopedRegionalSettings settings(RegionalSettings::Defaults());
    auto grid = MakeGrid(kCols, kRows);
    grid->BeginUpdate();
    // Every other cell filled, so that half of the look-ups miss.
    for (int r = 1; r <= kRows; ++r)
        for (int c = 1 + (r & 1); c <= kCols; c += 2)
            grid->GetCell(c, r).SetAsInteger(r);
    grid->EndUpdate();
    std::mt19937 rng(7);
    std::vector<std::pair<int, int>> probes(1000000);
    for (auto& p : probes)
        p = {1 + static_cast<int>(rng() % kCols), 1 + static_cast<int>(rng() % kRows)};
    for (auto _ : state) {
        size_t found = 0;
        TKtCell* cell = nullptr;
        for (const auto& [c, r] : probes)
            found += grid->TryGetCell(c, r, cell);
        benchmark::DoNotOptimize(found);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(probes.size()));
}
BENCHMARK(BM_RandomTryGetCell)->Unit(benchmark::kMillisecond);

void BM_SortByColumn20000(benchmark::State& state) {
    ScopedRegionalSettings settings(RegionalSettings::Defaults());
    constexpr int kSortRows = 20000;
    std::mt19937 rng(3);
    std::vector<WideString> words(kSortRows);
    for (auto& w : words)
        for (int k = 0; k < 10; ++k)
            w += static_cast<char16_t>(u'a' + rng() % 26);
    for (auto _ : state) {
        state.PauseTiming();
        auto grid = MakeGrid(5, kSortRows);
        grid->BeginUpdate();
        for (int r = 1; r <= kSortRows; ++r) {
            grid->GetCell(1, r).SetAsString(words[static_cast<size_t>(r - 1)]);
            grid->GetCell(2, r).SetAsInteger(r);
        }
        grid->EndUpdate();
        state.ResumeTiming();
        grid->SortByColumn(1, true);
        state.PauseTiming();
        grid.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SortByColumn20000)->Unit(benchmark::kMillisecond)->Iterations(5);

// 100,000 rows, each with a row list, every seventh 25 pixels high.
std::unique_ptr<TKtCustomGrid> MakeTallGrid() {
    constexpr int kTallRows = 100000;
    auto grid = MakeGrid(8, kTallRows);
    grid->SetClientSize(1024, 768);
    grid->BeginUpdate();
    for (int r = 1; r <= kTallRows; ++r) {
        grid->GetCell(1 + r % 8, r).SetAsInteger(r);
        if (r % 7 == 0) grid->SetRowHeight(r, 25);
    }
    grid->EndUpdate();
    return grid;
}

void BM_RowTopHundredThousandRows(benchmark::State& state) {
    ScopedRegionalSettings settings(RegionalSettings::Defaults());
    auto grid = MakeTallGrid();
    for (auto _ : state) {
        int64_t sum = 0;
        for (int r = 1; r < grid->RowCount(); ++r) sum += grid->RowTop(r);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * (grid->RowCount() - 1));
}
BENCHMARK(BM_RowTopHundredThousandRows)->Unit(benchmark::kMillisecond);

// A canvas that only counts calls, so that the painter's own work is timed.
class CountingCanvas : public IKtCanvas {
  public:
    int64_t calls = 0;
    void SetPen(const TKtPen& pen) override { pen_ = pen; }
    TKtPen Pen() const override { return pen_; }
    void SetBrush(TColor color) override { brush_ = color; }
    TColor Brush() const override { return brush_; }
    void SetFont(const TFont& font) override { font_ = font; }
    const TFont& Font() const override { return font_; }
    void Save() override {}
    void Restore() override {}
    void IntersectClip(const TRect&) override {}
    void ExcludeClip(const TRect&) override {}
    void FillRect(const TRect&, TColor) override { ++calls; }
    void FrameRect(const TRect&, TColor) override { ++calls; }
    void Line(int, int, int, int) override { ++calls; }
    void Polyline(const std::vector<TPoint>&, bool) override { ++calls; }
    void Polygon(const std::vector<TPoint>&) override { ++calls; }
    void GradientFillV(const TRect&, TColor, TColor) override { ++calls; }
    void TextOut(int, int, WideStringView, const TRect&) override { ++calls; }
    int TextWidth(WideStringView text) override { return static_cast<int>(text.size()) * 6; }
    void BlendRect(const TRect&, TColor, TKtSelectionBlend, int) override { ++calls; }
    void InvertRect(const TRect&) override { ++calls; }

  private:
    TKtPen pen_;
    TColor brush_ = clWhite;
    TFont font_;
};

// One full paint of a 1024 x 768 window scrolled to a random row of 100,000.
void BM_PaintScreenOfHundredThousandRows(benchmark::State& state) {
    ScopedRegionalSettings settings(RegionalSettings::Defaults());
    auto grid = MakeTallGrid();
    std::mt19937 rng(11);
    CountingCanvas canvas;
    for (auto _ : state) {
        state.PauseTiming();
        grid->SetTopRow(1 + static_cast<int>(rng() % 100000));
        state.ResumeTiming();
        PaintGrid(*grid, canvas, {0, 0, 1024, 768});
    }
    benchmark::DoNotOptimize(canvas.calls);
}
BENCHMARK(BM_PaintScreenOfHundredThousandRows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
