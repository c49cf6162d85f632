// The formula engine on large sheets: a chain of 100,000 formulas, each
// reading the cell above it, recalculated after its first input changes;
// 100,000 independent formulas over one input; compiling; a SUM over a
// long range. The sheet behind the grid services is a dense column store,
// so the figures are the engine's own.
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

// Through the cells of a grid: n formulas =$A$1*2+k in column B, then A1
// changes and the grid's dependents list recalculates every one of them.
class FormulaGrid : public TKtCustomGrid {
public:
    explicit FormulaGrid(int rows) {
        SetOptionsEx(OptionsEx().With(TGridOptionEx::goxSupportFormula));
        SetColCount(3);
        SetRowCount(rows + 1);
    }
    std::unique_ptr<IKtFormula> CreateFormula(TKtValue& owner, WideStringView text,
                                              const IKtFormula* old) override {
        return formulas.CreateFormula(owner, text, old);
    }
    TKtDataGridFormulas formulas{*this};
};

void BM_GridDependentsOfOneInput(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    FormulaGrid grid(n);
    grid.GetCell(1, 1).SetText(u"1");
    for (int row = 1; row <= n; ++row) grid.GetCell(2, row).SetText(u"=$A$1*2+" + IntToWide(row));
    int input = 1;
    for (auto _ : state) grid.GetCell(1, 1).SetText(IntToWide(++input));
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_GridDependentsOfOneInput)->Arg(10000)->Arg(30000)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plu

BENCHMARK_MAIN();
