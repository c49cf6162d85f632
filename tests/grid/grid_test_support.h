// Shared helpers of the grid tests: a view that records repaint requests, a
// grid pinned to deterministic text metrics and en-US regional settings,
// and a small formula ("SUM c1 r1 c2 r2" over grid coordinates) standing in
// for the formula engine: it sums the numbers of an inclusive rectangle and
// its references follow structural edits as the engine's do.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "base/conversions.h"
#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "grid/custom_grid.h"
#include "grid/grid_selection.h"

namespace plu::testing {

class RecordingView : public IKtGridView {
  public:
    std::vector<TRect> rects;
    int all = 0;
    int scrollBars = 0;
    int currentChanges = 0;
    void InvalidateRect(const TRect& r) override { rects.push_back(r); }
    void InvalidateAll() override { ++all; }
    void UpdateScrollBars(bool, bool) override { ++scrollBars; }
    void CurrentCellChanged(int, int) override { ++currentChanges; }
    void Reset() {
        rects.clear();
        all = scrollBars = currentChanges = 0;
    }
    int Requests() const { return static_cast<int>(rects.size()) + all; }
};

// Sums the existing cells of an inclusive rectangle.
class SumFormula : public IKtFormula {
  public:
    SumFormula(TKtCustomGrid& grid, int c1, int r1, int c2, int r2)
        : grid_(grid), c1_(c1), r1_(r1), c2_(c2), r2_(r2) {}
    static inline int recalculations = 0;

    TKtFormulaResultKind ResultKind() const override { return TKtFormulaResultKind::Number; }
    double ResultNumber() const override { return sum_; }
    WideString ResultText() const override { return FloatToStr(sum_); }
    bool ResultBoolean() const override { return sum_ != 0; }
    WideString SourceText() const override {
        if (gone_) return u"SUM #REF!";
        return u"SUM " + IntToWide(c1_) + u" " + IntToWide(r1_) + u" " + IntToWide(c2_) + u" " +
               IntToWide(r2_);
    }
    void Recalculate() override {
        ++recalculations;
        if (onRecalculate) onRecalculate(*this);
        sum_ = 0;
        if (gone_) return;
        for (int r = r1_; r <= r2_; ++r)
            for (int c = c1_; c <= c2_; ++c)
                if (const TKtCell* cell = (other_ ? other_ : &grid_)->FindCell(c, r))
                    if (cell->IsNumber()) sum_ += cell->GetAsFloat();
    }
    void Shift(int dc, int dr) override {
        c1_ += dc;
        c2_ += dc;
        r1_ += dr;
        r2_ += dr;
    }
    std::vector<TKtFormulaRef> References() const override {
        if (gone_) return {};
        return {{c1_, r1_, c2_, r2_, -1, other_}};
    }
    bool MoveReferences(const TKtCustomGrid& grid, const TKtAxisEdit& edit) override {
        if (&grid != (other_ ? other_ : &grid_) || gone_) return false;
        int& lo = edit.Rows() ? r1_ : c1_;
        int& hi = edit.Rows() ? r2_ : c2_;
        if (lo == hi) {
            const int now = edit.MapIndex(lo);
            gone_ = now == TKtAxisEdit::kGone;
            if (!gone_) lo = hi = now;
        } else {
            gone_ = edit.MapSpan(lo, hi, false) == TKtSpanFate::Gone;
        }
        return true;
    }
    // Sums a rectangle of another grid instead of its own.
    void ReadFrom(TKtCustomGrid* other) { other_ = other; }
    // Called on every recalculation (before summing).
    static inline std::function<void(SumFormula&)> onRecalculate;

  private:
    TKtCustomGrid& grid_;
    TKtCustomGrid* other_ = nullptr;
    int c1_, r1_, c2_, r2_;
    bool gone_ = false;
    double sum_ = 0;
};

// A grid with the formula above; anything else than "SUM ..." fails.
class FormulaGrid : public TKtCustomGrid {
  public:
    std::unique_ptr<IKtFormula> CreateFormula(TKtValue&, WideStringView text,
                                              const IKtFormula*) override {
        std::istringstream in(WideToUtf8(text));
        std::string word;
        int c1, r1, c2, r2;
        if (!(in >> word >> c1 >> r1 >> c2 >> r2) || word != "SUM") throw Exception(u"bad formula");
        return std::make_unique<SumFormula>(*this, c1, r1, c2, r2);
    }
};

// Deterministic metrics and regional settings for every grid test.
class GridTest : public ::testing::Test {
  protected:
    GridTest() : settings_(RegionalSettings::Defaults()) {
        grid.SetMeasurer(&measurer);
        grid.SetView(&view);
    }
    ScopedRegionalSettings settings_;
    FixedTextMeasurer measurer;
    RecordingView view;
    FormulaGrid grid;
};

}  // namespace plu::testing
