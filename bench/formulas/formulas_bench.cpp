// The formula engine on large sheets: a chain of 100,000 formulas, each
// reading the cell above it, recalculated after its first input changes;
// 100,000 independent formulas over one input; compiling; a SUM over a
// long range. The first benchmarks run behind a dense column store, so the
// figures are the engine's own; the BM_Grid ones do the same through the
// cells of a grid (entering the formulas, and the grid's dependents finding
// and recalculating what a change reaches).
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "formulas/calc_express.h"
#include "formulas/data_grid_formulas.h"
#include "grid/cell.h"
#include "formulas/formula_item.h"
#include "formulas/grid_formulas.h"

namespace plu {
namespace {

class DenseSheet : public TKtGridFormulas {
public:
    DenseSheet(int cols, int rows) : cols_(cols), rows_(rows), cells_(static_cast<size_t>(cols) * rows) {}
    ~DenseSheet() override { items_.clear(); }

    TKtGridCalcExpress* CalcExpress() const override { return &engine_; }
    bool ReadCell(int sheet, int col, int row, TKtCellData& out) override {
        if (sheet != -1) return false;
        out = Inside(col, row) ? cells_[Index(col, row)] : TKtCellData{};
        return true;
    }
    bool ForEachCell(int sheet, const TKtCellRect& r,
                     const std::function<void(int, int, const TKtCellData&)>& visit) override {
        if (sheet != -1) return false;
        for (int row = r.Top; row <= r.Bottom && row < rows_; ++row)
            for (int col = r.Left; col <= r.Right && col < cols_; ++col)
                if (cells_[Index(col, row)].Kind != TKtCellDataKind::Empty) visit(col, row, cells_[Index(col, row)]);
        return true;
    }
    WideString SheetName(int index) const override { return index == -1 ? u"Sheet1" : u""; }

    void SetNumber(int col, int row, double v) { cells_[Index(col, row)] = TKtCellData::FromFloat(v); }
    TKtGridFormulaItem& SetFormula(int col, int row, WideStringView text) {
        items_.push_back(Compile(text));
        cells_[Index(col, row)] = TKtCellData::FromFormula(items_.back().get());
        return *items_.back();
    }
    void InvalidateAll() {
        for (auto& item : items_) item->Invalidate();
    }

private:
    bool Inside(int col, int row) const { return col >= 0 && row >= 0 && col < cols_ && row < rows_; }
    size_t Index(int col, int row) const { return static_cast<size_t>(row) * cols_ + col; }

    int cols_, rows_;
    std::vector<TKtCellData> cells_;
    std::vector<std::unique_ptr<TKtGridFormulaItem>> items_;
    mutable TKtGridCalcExpress engine_;
};

constexpr int kCount = 100000;

// A1 = 1; A(n) = A(n-1)+1.
std::unique_ptr<DenseSheet> Chain(TKtGridFormulaItem*& last) {
    auto sheet = std::make_unique<DenseSheet>(1, kCount);
    sheet->SetNumber(0, 0, 1);
    for (int row = 1; row < kCount; ++row) last = &sheet->SetFormula(0, row, u"A" + IntToWide(row) + u"+1");
    return sheet;
}

// The whole chain after A1 changed, calculated from its last formula: the
// operands are found and calculated first, link by link.
void BM_ChainFromItsEnd(benchmark::State& state) {
    TKtGridFormulaItem* last = nullptr;
    auto sheet = Chain(last);
    double start = 1;
    for (auto _ : state) {
        sheet->SetNumber(0, 0, ++start);
        sheet->InvalidateAll();
        last->Calculate();
        benchmark::DoNotOptimize(last->AsNumber());
    }
    state.SetItemsProcessed(state.iterations() * (kCount - 1));
}
BENCHMARK(BM_ChainFromItsEnd)->Unit(benchmark::kMillisecond);

// The whole chain after A1 changed, in dependency order (what the cells'
// dependents lists give): every formula finds its operand calculated.
void BM_ChainInOrder(benchmark::State& state) {
    TKtGridFormulaItem* last = nullptr;
    auto sheet = Chain(last);
    std::vector<TKtGridFormulaItem*> items = sheet->Items();
    double start = 1;
    for (auto _ : state) {
        sheet->SetNumber(0, 0, ++start);
        sheet->InvalidateAll();
        for (TKtGridFormulaItem* item : items) item->Calculate();
        benchmark::DoNotOptimize(last->AsNumber());
    }
    state.SetItemsProcessed(state.iterations() * (kCount - 1));
}
BENCHMARK(BM_ChainInOrder)->Unit(benchmark::kMillisecond);

// 100,000 formulas B(n) = A1*2+n over one input, all recalculated.
void BM_IndependentRecalculateAll(benchmark::State& state) {
    DenseSheet sheet(2, kCount);
    sheet.SetNumber(0, 0, 1);
    for (int row = 0; row < kCount; ++row) sheet.SetFormula(1, row, u"$A$1*2+" + IntToWide(row));
    double input = 1;
    for (auto _ : state) {
        sheet.SetNumber(0, 0, ++input);
        sheet.RecalculateAll();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_IndependentRecalculateAll)->Unit(benchmark::kMillisecond);

void BM_Compile(benchmark::State& state) {
    DenseSheet sheet(10, 10);
    TKtGridFormulaItem item(sheet);
    for (auto _ : state) sheet.Compile(u"=SUM(A1:A10)*2+IF(B1>0,\"yes\",\"no\")&$C$3", item);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Compile);

void BM_SumOfTenThousandCells(benchmark::State& state) {
    DenseSheet sheet(2, 10000);
    for (int row = 0; row < 10000; ++row) sheet.SetNumber(0, row, row);
    TKtGridFormulaItem& sum = sheet.SetFormula(1, 0, u"=SUM(A1:A10000)");
    for (auto _ : state) {
        sum.Invalidate();
        benchmark::DoNotOptimize(sum.AsNumber());
    }
    state.SetItemsProcessed(state.iterations() * 10000);
}
BENCHMARK(BM_SumOfTenThousandCells)->Unit(benchmark::kMicrosecond);

// ---- Through the cells of a grid ------------------------------------------------------------
// The same work through real grid cells: typed texts become formulas, the
// grid's dependents index finds what a change reaches and recalculates it in
// dependency order.

class FormulaGrid : public TKtCustomGrid {
public:
    explicit FormulaGrid(int rows) {
        SetOptionsEx(OptionsEx().With(TGridOptionEx::goxSupportFormula));
        SetColCount(3);
        SetRowCount(rows + 2);
    }
    std::unique_ptr<IKtFormula> CreateFormula(TKtValue& owner, WideStringView text,
                                              const IKtFormula* old) override {
        return formulas.CreateFormula(owner, text, old);
    }
    TKtDataGridFormulas formulas{*this};
};

// Grid cells of the chain: A1 = 1, A(n) = A(n-1)+1 (grid column 1, rows 1 ... n).
void EnterChain(FormulaGrid& grid, int n) {
    grid.GetCell(1, 1).SetText(u"1");
    for (int row = 2; row <= n; ++row) grid.GetCell(1, row).SetText(u"=A" + IntToWide(row - 1) + u"+1");
}

// B(k) = $A$1*2+k for k = 1 ... n, over the input A1.
void EnterIndependent(FormulaGrid& grid, int n) {
    grid.GetCell(1, 1).SetText(u"1");
    for (int row = 1; row <= n; ++row) grid.GetCell(2, row).SetText(u"=$A$1*2+" + IntToWide(row));
}

// Typing the whole chain, each formula calculated as it is entered (freeing
// the grid afterwards is not timed).
void BM_GridChainEnter(benchmark::State& state) {
    for (auto _ : state) {
        auto grid = std::make_unique<FormulaGrid>(kCount);
        EnterChain(*grid, kCount);
        benchmark::DoNotOptimize(grid->GetCell(1, kCount).GetAsFloat());
        state.PauseTiming();
        grid.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_GridChainEnter)->Unit(benchmark::kMillisecond)->Iterations(3);

// The first input of the chain changes: 99,999 formulas recalculated, each
// after the one it reads.
void BM_GridChainRecalculate(benchmark::State& state) {
    FormulaGrid grid(kCount);
    EnterChain(grid, kCount);
    TKtCell& input = grid.GetCell(1, 1);
    TKtCell& last = grid.GetCell(1, kCount);
    int value = 1;
    for (auto _ : state) {
        input.SetText(IntToWide(++value));
        if (last.GetAsFloat() != value + kCount - 1) state.SkipWithError("the chain's end is wrong");
    }
    state.SetItemsProcessed(state.iterations() * (kCount - 1));
}
BENCHMARK(BM_GridChainRecalculate)->Unit(benchmark::kMillisecond);

void BM_GridIndependentEnter(benchmark::State& state) {
    for (auto _ : state) {
        auto grid = std::make_unique<FormulaGrid>(kCount);
        EnterIndependent(*grid, kCount);
        benchmark::DoNotOptimize(grid->GetCell(2, kCount).GetAsFloat());
        state.PauseTiming();
        grid.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_GridIndependentEnter)->Unit(benchmark::kMillisecond)->Iterations(3);

// The one input changes: its 100,000 dependents recalculated.
void BM_GridIndependentRecalculate(benchmark::State& state) {
    FormulaGrid grid(kCount);
    EnterIndependent(grid, kCount);
    TKtCell& input = grid.GetCell(1, 1);
    TKtCell& last = grid.GetCell(2, kCount);
    int value = 1;
    for (auto _ : state) {
        input.SetText(IntToWide(++value));
        if (last.GetAsFloat() != value * 2 + kCount) state.SkipWithError("a dependent is wrong");
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_GridIndependentRecalculate)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plu

BENCHMARK_MAIN();
