// Saving a grid of 650,000 cells (65,000 body rows x 10 body columns) as an
// .xls workbook through SaveToXlsFile. Columns 1-5 hold numbers, 6-10 texts
// ("text<row>_<col>"); a few styles: the number columns carry the column
// format "0.00", column 1 is centred, every third row is filled yellow and
// every tenth row's first cell is bold. bench/workbook/run has python3-xlwt
// write the same sheet with the same styles in the same run (peers.py).
//
// PLU_BENCH_XLS_DIR: a folder where the saved workbook is left as
// "grid-export.xls" (byte for byte the "grid-import.xls" that the open
// benchmarks read and the xlrd peer opens).
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "base/text_measurer.h"
#include "bench_sheet.h"
#include "formats/biff8/byte_stream.h"
#include "formats/excel/excel_helper.h"
#include "formats/excel/export_xls.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/grid_column.h"

namespace plu {
namespace {

using namespace plu::bench;

// The grid, built once for all runs.
TKtCustomGrid& BenchGrid() {
    static std::unique_ptr<TKtCustomGrid> grid = [] {
        auto g = std::make_unique<TKtCustomGrid>();
        g->SetMeasurer(&DefaultTextMeasurer());
        g->BeginUpdate();
        g->SetColCount(kCols + 1);
        g->SetRowCount(kRows + 1);
        for (int c = 1; c <= kCols / 2; ++c)
            g->GetColumn(c).Style().SetFormatString(u"0.00");
        g->GetColumn(1).Style().SetHorzAlign(TKtGridHorzAlign::haCenter);
        for (int r = 1; r <= kRows; ++r) {
            for (int c = 1; c <= kCols; ++c) {
                TKtCell& cell = g->GetCell(c, r);
                if (c <= kCols / 2) {
                    cell.SetAsFloat((r - 1) * 10.0 + (c - 1) + 0.5);
                } else {
                    cell.SetAsString(CellText(r - 1, c - 1));
                }
                if (r % 3 == 0) cell.OwnStyle().SetBgColor(clYellow);
            }
            if (r % 10 == 0) {
                TKtCellFont font = g->GetCell(1, r).OwnFont();
                font.SetStyle(font.Style().With(TFontStyle::fsBold));
            }
        }
        g->EndUpdate();
        return g;
    }();
    return *grid;
}

std::string OutputFile() {
    if (const char* dir = std::getenv("PLU_BENCH_XLS_DIR"))
        return std::string(dir) + "/grid-export.xls";
    return (std::filesystem::temp_directory_path() / "plu-bench-grid-export.xls").string();
}

// The whole save: grid walk, workbook model, stream, compound document and
// the safe replacement of the file (with fsync).
void BM_SaveGridToXlsFile(benchmark::State& state) {
    const TKtCustomGrid& grid = BenchGrid();
    const std::string path = OutputFile();
    for (auto _ : state)
        SaveToXlsFile(grid, path);
    state.counters["cells"] = kRows * kCols;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_SaveGridToXlsFile)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// Only the grid's share: filling the workbook model from the grid.
void BM_AddSheetFromGrid(benchmark::State& state) {
    const TKtCustomGrid& grid = BenchGrid();
    for (auto _ : state) {
        TVexaGridExcelHelper helper(nullptr, &grid.Measurer());
        helper.AddSheet(u"sheet1", grid, false);
        benchmark::DoNotOptimize(helper);
    }
}
BENCHMARK(BM_AddSheetFromGrid)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

// The model and the workbook stream in memory (no file).
void BM_SaveGridToStream(benchmark::State& state) {
    const TKtCustomGrid& grid = BenchGrid();
    for (auto _ : state) {
        TVexaGridExcelHelper helper(nullptr, &grid.Measurer());
        helper.AddSheet(u"sheet1", grid, false);
        TXlsMemoryStream stream;
        helper.SaveToStream(stream);
        benchmark::DoNotOptimize(stream.Size());
    }
}
BENCHMARK(BM_SaveGridToStream)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

}  // namespace
}  // namespace plu
