// Formulas in the cells of a grid: typed text becomes a formula, the cells
// it refers to recalculate it, copies shift it, and a formula that cannot be
// calculated never makes a read of its cell fail.
#include <gtest/gtest.h>

#include <string>

#include "base/regional_settings.h"
#include "formulas/data_grid_formulas.h"
#include "formula_grids.h"
#include "grid/cell.h"

namespace plu::testing {
namespace {

class GridFormulas : public ::testing::Test {
protected:
    ScopedRegionalSettings en_{RegionalSettings::Defaults()};
    FormulaGrid grid_;
};

TEST_F(GridFormulas, ASumTypedBeforeItsCellsExistFollowsThem) {
    grid_.Type("B1", "=SUM(A1:A3)");
    EXPECT_EQ(grid_.Show("B1"), "0");
    grid_.Type("A1", "1");
    grid_.Type("A2", "2");
    grid_.Type("A3", "3");
    EXPECT_EQ(grid_.Show("B1"), "6");
    grid_.Type("A2", "5");
    EXPECT_EQ(grid_.Show("B1"), "9");
    grid_.Type("A3", "");
    EXPECT_EQ(grid_.Show("B1"), "6");
    EXPECT_EQ(grid_.Edit("B1"), "=SUM(A1:A3)");
}

TEST_F(GridFormulas, DependentsFollowAChainOfCells) {
    grid_.Type("A1", "1");
    grid_.Type("A2", "=A1*2");
    grid_.Type("A3", "=A2+A1");
    grid_.Type("A4", "=IF(A3>5,\"big\",\"small\")");
    EXPECT_EQ(grid_.Show("A4"), "small");
    grid_.Type("A1", "2");
    EXPECT_EQ(grid_.Show("A3"), "6");
    EXPECT_EQ(grid_.Show("A4"), "big");
}

TEST_F(GridFormulas, ErrorValuesShowTheirNames) {
    grid_.Type("A1", "=A2/0");
    EXPECT_EQ(grid_.Show("A1"), "#DIV/0!");
    grid_.Type("A3", "=A1+1");
    EXPECT_EQ(grid_.Show("A3"), "#DIV/0!");
    EXPECT_FALSE(grid_.At("A3").IsNumber());
}

TEST_F(GridFormulas, ACircularFormulaFailsWhenEnteredAndShowsValueAfterwards) {
    try {
        grid_.Type("B1", "=B1");
        FAIL() << "the circular reference went unreported";
    } catch (const EKtCalcError& e) {
        EXPECT_EQ(WideToUtf8(e.Message()), "公式存在循环引用");
    }
    EXPECT_EQ(grid_.Show("B1"), "#VALUE!");
    EXPECT_EQ(grid_.Edit("B1"), "=B1");
}

TEST_F(GridFormulas, AFormulaThatStopsCalculatingDoesNotFailTheCellThatBrokeIt) {
    grid_.Type("A1", "1");
    grid_.Type("B1", "=A1+1");
    EXPECT_EQ(grid_.Show("B1"), "2");
    EXPECT_NO_THROW(grid_.Type("A1", "x"));  // "x"+1 cannot be calculated
    EXPECT_EQ(grid_.Show("A1"), "x");
    EXPECT_EQ(grid_.Show("B1"), "#VALUE!");
    grid_.Type("A1", "41");
    EXPECT_EQ(grid_.Show("B1"), "42");
}

TEST_F(GridFormulas, AFormulaThatDoesNotCompileLeavesTheCellEmpty) {
    grid_.Type("C1", "old");
    EXPECT_THROW(grid_.Type("C1", "=1+"), EKtCompileError);
    EXPECT_EQ(grid_.At("C1").Kind(), TKtValueKind::vkEmpty);
    EXPECT_EQ(grid_.formulas.ItemCount(), 0u);
}

TEST_F(GridFormulas, CopyingAFormulaCellShiftsItsRelativeReferences) {
    grid_.Type("A1", "1");
    grid_.Type("A2", "10");
    grid_.Type("B1", "100");
    grid_.Type("C1", "=A1+$B$1");
    grid_.At("C2").CopyFrom(grid_.At("C1"), kCopyValue, false);
    EXPECT_EQ(grid_.Edit("C2"), "=A2+$B$1");
    EXPECT_EQ(grid_.Show("C2"), "110");
    grid_.Type("A2", "20");
    EXPECT_EQ(grid_.Show("C2"), "120");
    // Copied above the first body row, the relative reference is lost.
    grid_.Type("C5", "=A1+$B$1");
    grid_.At("C3").CopyFrom(grid_.At("C5"), kCopyValue, false);
    EXPECT_EQ(grid_.Edit("C3"), "=#REF!+$B$1");
    EXPECT_EQ(grid_.Show("C3"), "#REF!");
}

TEST_F(GridFormulas, CalculateRecalculatesEveryFormula) {
    grid_.Type("A1", "2");
    grid_.Type("B1", "=A1*3");
    grid_.BeginUpdate();
    grid_.Type("A1", "5");  // no propagation while updating
    grid_.EndUpdate();
    grid_.Calculate();
    EXPECT_EQ(grid_.Show("B1"), "15");
}

TEST_F(GridFormulas, NumericResultsAreFormattedLikeNumbers) {
    grid_.Type("A1", "=1/4");
    EXPECT_TRUE(grid_.At("A1").IsNumber());
    EXPECT_DOUBLE_EQ(grid_.At("A1").GetAsFloat(), 0.25);
    EXPECT_EQ(grid_.At("A1").GetAsString(), u"0.25");
    grid_.Type("A2", "=1<2");
    EXPECT_TRUE(grid_.At("A2").GetAsBoolean());
    EXPECT_EQ(grid_.Show("A2"), "TRUE");
}

}  // namespace
}  // namespace plu::testing
