// Opening a workbook of 650,000 cells (65,000 rows x 10 columns) into a grid:
// columns A-E numbers with the format "0.00" (A centred), F-J texts
// ("text<row>_<col>"), every third row filled yellow and every tenth row's
// first cell bold. The file is the one SaveToXlsFile writes for such a grid.
// bench/workbook/run has python3-xlrd open the same file and take every
// value and cell format in the same run (peers.py).
//
// PLU_BENCH_XLS_DIR: a folder where the workbook is left as "grid-import.xls"
// (for the peer to read).
//
// The open benchmarks report bytes_per_cell: the heap the opened grid (or
// sheet control) holds, measured with mallinfo2 (arena and mmapped blocks)
// before the open and after it with the workbook model already freed,
// divided by the 650,000 cells (the least of the runs: the first run also
// counts the memory the record pool keeps for later workbooks).
//
// The heap: glibc decides from the sizes freed so far whether memory freed
// by one run goes back to the kernel, so with its defaults the runs of one
// file reused the previous grid's pages and those of another paid for fresh
// pages every time (the xlwt file: 38,000 page faults an open against 1,000).
// So that every file is opened on the same terms, the allocator here keeps
// what it freed (fixed thresholds). With PLU_BENCH_FRESH_HEAP set it is left
// alone; bench/workbook/run then runs the open benchmarks once more with
// glibc told to hand every freed block back, so that each open pays for
// fresh pages as the first open of a freshly started editor does.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "base/safe_file.h"
#include "base/text_measurer.h"
#include "bench_sheet.h"
#include "formats/excel/excel_rw.h"
#include "formats/excel/export_xls.h"
#include "formats/excel/load_workbook.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "heap_policy.h"
#include "grid/grid_column.h"
#include "sheets/grid_sheet.h"
#include "sheets/sheet_control.h"

namespace plu {
namespace {

using namespace plu::bench;

// The workbook file, written once for all runs.
const std::string& BenchFile() {
    static const std::string path = [] {
        std::string file;
        if (const char* dir = std::getenv("PLU_BENCH_XLS_DIR"))
            file = std::string(dir) + "/grid-import.xls";
        else
            file = (std::filesystem::temp_directory_path() / "plu-bench-grid-import.xls").string();
        TKtCustomGrid g;
        g.BeginUpdate();
        g.SetColCount(kCols + 1);
        g.SetRowCount(kRows + 1);
        for (int c = 1; c <= kCols / 2; ++c)
            g.GetColumn(c).Style().SetFormatString(u"0.00");
        g.GetColumn(1).Style().SetHorzAlign(TKtGridHorzAlign::haCenter);
        for (int r = 1; r <= kRows; ++r) {
            for (int c = 1; c <= kCols; ++c) {
                TKtCell& cell = g.GetCell(c, r);
                if (c <= kCols / 2)
                    cell.SetAsFloat((r - 1) * 10.0 + (c - 1) + 0.5);
                else
                    cell.SetAsString(CellText(r - 1, c - 1));
                if (r % 3 == 0) cell.OwnStyle().SetBgColor(clYellow);
            }
            if (r % 10 == 0) {
                TKtCellFont font = g.GetCell(1, r).OwnFont();
                font.SetStyle(font.Style().With(TFontStyle::fsBold));
            }
        }
        g.EndUpdate();
        SaveToXlsFile(g, file);
        return file;
    }();
    return path;
}

using bench::HeapInUse;

// Heap held by what one open built, per cell of the sheet (each run's
// "before" is taken with the previous run's result freed).
class HeapPerCell {
  public:
    HeapPerCell() : before_(HeapInUse()) {}
    // Call while paused, with the opened grid still alive.
    void Opened() {
        const size_t after = HeapInUse();
        const double held = after > before_ ? static_cast<double>(after - before_) : 0.0;
        least_ = runs_ == 0 || held < least_ ? held : least_;
        ++runs_;
    }
    // Call while paused, after freeing the opened grid. Without the kept
    // heap, everything free goes back to the kernel, so the next open
    // starts on fresh pages whatever the file.
    void Freed() {
        bench::ReleaseFreedHeap();
        before_ = HeapInUse();
    }
    void Report(benchmark::State& state) const {
        if (runs_ > 0) state.counters["bytes_per_cell"] = least_ / (kRows * kCols);
        state.SetLabel(bench::HeapLabel());
    }

  private:
    size_t before_;
    double least_ = 0;
    int runs_ = 0;
};

// Whether the grid holds the sheet: its extent, the last row's number and
// text and a bold cell (a read that stopped early or lost formats would
// otherwise be timed as a fast one).
bool HoldsTheSheet(const TKtCustomGrid& g) {
    TKtCell* number = nullptr;
    TKtCell* text = nullptr;
    TKtCell* bold = nullptr;
    return g.RowCount() >= kRows + 1 && g.ColCount() >= kCols + 1 &&
           g.TryGetCell(1, kRows, number) && g.TryGetCell(kCols, kRows, text) &&
           g.TryGetCell(1, 10, bold) && number->GetAsFloat() == (kRows - 1) * 10.0 + 0.5 &&
           text->GetAsString() == CellText(kRows - 1, kCols - 1) &&
           bold->Font().Style().Has(TFontStyle::fsBold);
}

// Opening the file into a grid: the compound document, the workbook model
// and every cell with its value and format (the grid's destruction is not
// timed). The grid's font is the one the file's cells were saved with, so
// only the bold cells need a font of their own.
void BM_OpenXlsIntoGrid(benchmark::State& state) {
    const std::string& path = BenchFile();
    HeapPerCell heap;
    for (auto _ : state) {
        auto grid = std::make_unique<TKtCustomGrid>();
        {
            TKtGridExcelRW bridge;
            bridge.LoadFromFile(Utf8ToWide(path));
            bridge.ReadSheet(*grid, 0, 0, 0);
        }
        state.PauseTiming();
        heap.Opened();
        if (!HoldsTheSheet(*grid)) state.SkipWithError("the grid does not hold the sheet");
        grid.reset();
        heap.Freed();
        state.ResumeTiming();
    }
    heap.Report(state);
    state.counters["cells"] = kRows * kCols;
}
BENCHMARK(BM_OpenXlsIntoGrid)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The same into a grid whose font differs from the file's: every cell gets a
// font of its own (a side record of the grid per cell).
void BM_OpenXlsIntoGridWithAnotherFont(benchmark::State& state) {
    const std::string& path = BenchFile();
    HeapPerCell heap;
    for (auto _ : state) {
        auto grid = std::make_unique<TKtCustomGrid>();
        grid->Font().SetName(u"Arial");
        {
            TKtGridExcelRW bridge;
            bridge.LoadFromFile(Utf8ToWide(path));
            bridge.ReadSheet(*grid, 0, 0, 0);
        }
        state.PauseTiming();
        heap.Opened();
        if (!HoldsTheSheet(*grid)) state.SkipWithError("the grid does not hold the sheet");
        grid.reset();
        heap.Freed();
        state.ResumeTiming();
    }
    heap.Report(state);
}
BENCHMARK(BM_OpenXlsIntoGridWithAnotherFont)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// Only the grid's share: the model is read once, each run fills a new grid.
void BM_ReadSheetIntoGrid(benchmark::State& state) {
    TKtGridExcelRW bridge;
    bridge.LoadFromFile(Utf8ToWide(BenchFile()));
    for (auto _ : state) {
        auto grid = std::make_unique<TKtCustomGrid>();
        bridge.ReadSheet(*grid, 0, 0, 0);
        state.PauseTiming();
        if (!HoldsTheSheet(*grid)) state.SkipWithError("the grid does not hold the sheet");
        grid.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReadSheetIntoGrid)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// What the editor's Open does: LoadWorkbook into a sheet control
// (worksheets with formula support, recalculation, activation).
void BM_LoadWorkbookIntoSheetControl(benchmark::State& state) {
    const std::string& path = BenchFile();
    HeapPerCell heap;
    for (auto _ : state) {
        auto control = std::make_unique<TVexaSheetControl>();
        LoadWorkbook(*control, Utf8ToWide(path));
        state.PauseTiming();
        heap.Opened();
        if (!control->ActiveSheet() || !HoldsTheSheet(*control->ActiveSheet()))
            state.SkipWithError("the active sheet does not hold the workbook's sheet");
        control.reset();
        heap.Freed();
        state.ResumeTiming();
    }
    heap.Report(state);
}
BENCHMARK(BM_LoadWorkbookIntoSheetControl)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

// The same sheet written by another program (python3-xlwt: Arial fonts,
// shared strings, RK numbers), which bench/workbook/run leaves in
// PLU_BENCH_XLS_DIR as "xlwt.xls". Every cell's font differs from the
// worksheet's, so every cell gets a font of its own.
void BM_LoadXlwtWorkbookIntoSheetControl(benchmark::State& state) {
    const char* dir = std::getenv("PLU_BENCH_XLS_DIR");
    const std::string path = dir ? std::string(dir) + "/xlwt.xls" : std::string();
    if (path.empty() || !std::filesystem::exists(path)) {
        state.SkipWithError("no xlwt.xls in PLU_BENCH_XLS_DIR (bench/workbook/run writes it)");
        return;
    }
    HeapPerCell heap;
    for (auto _ : state) {
        auto control = std::make_unique<TVexaSheetControl>();
        LoadWorkbook(*control, Utf8ToWide(path));
        state.PauseTiming();
        heap.Opened();
        if (!control->ActiveSheet() || !HoldsTheSheet(*control->ActiveSheet()))
            state.SkipWithError("the active sheet does not hold the workbook's sheet");
        control.reset();
        heap.Freed();
        state.ResumeTiming();
    }
    heap.Report(state);
}
BENCHMARK(BM_LoadXlwtWorkbookIntoSheetControl)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(2.0);

}  // namespace
}  // namespace plu
