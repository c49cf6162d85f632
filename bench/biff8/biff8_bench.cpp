// Reading and writing a workbook of 650,000 cells (65,000 rows x 10 columns;
// columns 0-4 numbers, 5-9 texts) with our BIFF8 layer. The Python peers do
// the same work in bench/biff8/run (python3-xlwt writes, python3-xlrd reads).
//
// Set PLU_BENCH_XLS_DIR to a folder holding "xlwt.xls" (the same workbook
// written by xlwt) to time reading that file too; the workbook we write is
// then kept there as "ours.xls".
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "base/text_measurer.h"
#include "formats/biff8/workbook.h"
#include "heap_policy.h"

namespace plu {
namespace {

constexpr int kRows = 65000;
constexpr int kCols = 10;

std::string TempFile(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string("plu-bench-") + name)).string();
}

// "text<row>_<col>", as the peers write it.
WideStringView CellText(char16_t* text, int r, int c) {
    char digits[16];
    size_t n = 4;
    auto put = [&](int v) {
        auto end = std::to_chars(digits, digits + sizeof digits, v).ptr;
        for (char* d = digits; d < end; ++d) text[n++] = static_cast<char16_t>(*d);
    };
    put(r);
    text[n++] = u'_';
    put(c);
    return WideStringView(text, n);
}

void Fill(TWorkbook& book) {
    book.Globals().Fonts().Add(TFontRecord::Make(u"Arial"));
    for (int i = 0; i < 16; ++i) book.Globals().XFs().Add(TXFRecord::Make(0, 0, 2));
    TWorkSheet& sheet = book.AddSheet(u"Bench");
    char16_t text[32] = u"text";
    for (int r = 0; r < kRows; ++r) {
        const auto row = static_cast<uint16_t>(r);
        sheet.Cells().Rows().Put(TRowRecord::Make(row, 0, kCols - 1, 285, 0x01C0, 0));
        for (int c = 0; c < kCols; ++c) {
            const auto col = static_cast<uint16_t>(c);
            if (c < kCols / 2) {
                sheet.PutCell(MakeNumber(row, col, 15, r * 10.0 + c + 0.5));
            } else {
                sheet.PutCell(MakeLabel(row, col, 15, CellText(text, r, c)));
            }
        }
    }
}

// Reads every value as the import does: numbers as numbers, texts decoded.
double Touch(const TWorkbook& book) {
    double sum = 0;
    size_t chars = 0;
    const TBaseColRowList& rows = book.Sheets().Item(0).Cells().CellRows();
    for (int r = 0; r < rows.Count(); ++r) {
        const TRow* row = rows.Get(r);
        for (int i = 0; row && i < row->CellCount(); ++i) {
            const TCellRecord& cell = row->CellAt(i);
            if (cell.ValueKind() == TXlsValueKind::vkText) {
                chars += cell.AsText().size();
            } else {
                sum += cell.AsFloat();
            }
        }
    }
    return sum + static_cast<double>(chars);
}

// Where the written workbook goes: PLU_BENCH_XLS_DIR/ours.xls is kept for
// the peers to read; otherwise a temporary file.
std::string WritePath(bool& keep) {
    const char* dir = std::getenv("PLU_BENCH_XLS_DIR");
    keep = dir != nullptr;
    return keep ? std::string(dir) + "/ours.xls" : TempFile("write.xls");
}

void BM_WriteFile(benchmark::State& state) {
    bool keep = false;
    const std::string path = WritePath(keep);
    FixedTextMeasurer m;
    for (auto _ : state) {
        TWorkbook book(&m);
        Fill(book);
        book.SaveToFile(path);
    }
    state.counters["cells"] = kRows * kCols;
    if (!keep) std::filesystem::remove(path);
}
BENCHMARK(BM_WriteFile)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same without the file: the compound document built in memory (the
// clipboard's form). The file write above adds the safe replacement, which
// flushes the new file to disk before renaming it.
void BM_WriteDocumentInMemory(benchmark::State& state) {
    FixedTextMeasurer m;
    for (auto _ : state) {
        TWorkbook book(&m);
        Fill(book);
        benchmark::DoNotOptimize(book.SaveToDocument().size());
    }
}
BENCHMARK(BM_WriteDocumentInMemory)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_FillModelOnly(benchmark::State& state) {
    FixedTextMeasurer m;
    for (auto _ : state) {
        TWorkbook book(&m);
        Fill(book);
        benchmark::DoNotOptimize(book.Sheets().Count());
    }
}
BENCHMARK(BM_FillModelOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

void ReadFile(benchmark::State& state, const std::string& path) {
    FixedTextMeasurer m;
    if (bench::kHeapKept) {
        // One read first, so that every timed read finds the heap as the
        // peers' best of 3 does: holding the pages a read needs.
        TWorkbook book(&m);
        book.LoadFromFile(path);
    }
    for (auto _ : state) {
        {
            TWorkbook book(&m);
            book.LoadFromFile(path);
            benchmark::DoNotOptimize(Touch(book));
        }
        state.PauseTiming();
        bench::ReleaseFreedHeap();
        state.ResumeTiming();
    }
    state.SetLabel(bench::HeapLabel());
}

void BM_ReadOurFile(benchmark::State& state) {
    // Written once for all repetitions; removed at exit unless it is kept.
    static const struct OurFile {
        bool keep = false;
        std::string path = WritePath(keep);
        OurFile() {
            FixedTextMeasurer m;
            TWorkbook book(&m);
            Fill(book);
            book.SaveToFile(path);
        }
        ~OurFile() {
            if (!keep) std::filesystem::remove(path);
        }
    } file;
    ReadFile(state, file.path);
}

// Reads are timed one at a time, ten times: the mean, and the best as the
// peers report theirs (best of 3).
double Best(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
#define PLU_READ_BENCHMARK(fn)                                                               \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(10)->ComputeStatistics( \
        "best", Best)->ReportAggregatesOnly(true)

PLU_READ_BENCHMARK(BM_ReadOurFile);

void BM_ReadXlwtFile(benchmark::State& state) {
    const char* dir = std::getenv("PLU_BENCH_XLS_DIR");
    const std::string path = dir ? std::string(dir) + "/xlwt.xls" : std::string();
    if (path.empty() || !std::filesystem::exists(path)) {
        state.SkipWithError("PLU_BENCH_XLS_DIR/xlwt.xls not found");
        return;
    }
    ReadFile(state, path);
}
PLU_READ_BENCHMARK(BM_ReadXlwtFile);

}  // namespace
}  // namespace plu

BENCHMARK_MAIN();
