#include <gtest/gtest.h>

#include "base/exceptions.h"
#include "grid/grid_row.h"
#include "grid/grid_selection.h"
#include "plu/download.h"
#include "plu/sheet_layout.h"
#include "plu_test_support.h"

namespace plu::testing {
namespace {

class SheetLayoutTest : public PluTest {
  protected:
    void Layout(bool reset = false) { window.LayoutSheet(reset); }
    TVexaGridSheet& sheet() { return window.Sheet(); }
    std::vector<std::u16string> Labels() {
        std::vector<std::u16string> labels;
        for (int row = kFirstPluRow; row <= kLastRow; ++row)
            labels.push_back(window.Text(kColAddr, row));
        return labels;
    }
    std::vector<WideString> UnitList() { return sheet().GetColumn(kColUnit).CellItems(); }
};

TEST_F(SheetLayoutTest, NumberLabelsFollowTheKeyCount) {
    std::vector<std::u16string> labels = Labels();
    ASSERT_EQ(labels.size(), 265u);
    EXPECT_EQ(labels[0], u"M1");
    EXPECT_EQ(labels[4], u"M5");
    EXPECT_EQ(labels[5], u"6");
    EXPECT_EQ(labels[264], u"265");
    window.Link().Preset55 = true;
    Layout();
    labels = Labels();
    EXPECT_EQ(labels[54], u"M55");
    EXPECT_EQ(labels[55], u"56");
    window.Link().Preset55 = false;
    Layout();
    EXPECT_EQ(Labels()[5], u"6");
}

TEST_F(SheetLayoutTest, DecimalCommasBecomePointsAndNumbers) {
    window.Set(kColPrice, 10, u"12,5");
    window.Set(kColTare, 10, u"1,25");
    window.Set(kColName, 10, u"A,B");  // other columns keep their commas
    EXPECT_EQ(window.Text(kColPrice, 10), u"12,5");
    Layout();
    EXPECT_EQ(window.Text(kColPrice, 10), u"12.50");
    EXPECT_EQ(window.Text(kColTare, 10), u"1.250");
    EXPECT_TRUE(sheet().GetCell(kColPrice, 10).IsNumber());
    EXPECT_EQ(window.Text(kColName, 10), u"A,B");
}

TEST_F(SheetLayoutTest, KeepsValuesThatShowRoundedAndDataOutsideTheRepair) {
    // A price with more decimals than the column shows is not rounded by
    // writing its shown text back.
    window.Set(kColPrice, 6, u"0.125");
    window.Set(kColIngredients, 6, u"water, salt");
    window.Set(kColLife, 6, u"7");
    Layout();
    EXPECT_DOUBLE_EQ(sheet().GetCell(kColPrice, 6).GetAsFloat(), 0.125);
    EXPECT_EQ(window.Text(kColIngredients, 6), u"water, salt");
    EXPECT_EQ(window.Text(kColLife, 6), u"7");
}

TEST_F(SheetLayoutTest, RelayoutAfterAFailedValidationClearsMarksAndFormatting) {
    SimulatedLink link(window);
    window.Set(kColLife, 7, u"999");
    window.Set(kColName, 7, u"X");
    PluDownload& d = link.Transfers().Download();
    d.ValidateSheet();
    ASSERT_EQ(window.Fill(kColAddr, 7), kValidationMarkColor);
    TKtCell& cell = sheet().GetCell(kColName, 9);
    cell.OwnFont().SetName(u"Courier New");
    cell.OwnFont().SetSize(20);
    cell.OwnStyle().SetHorzAlign(TKtGridHorzAlign::haLeft);
    Layout();
    for (int col = kColAddr; col <= kColItemCode; ++col)
        EXPECT_EQ(window.Fill(col, 7), clWindow);
    EXPECT_EQ(cell.Font().Name(), u"Arial");
    EXPECT_EQ(cell.Font().Size(), 12);
    EXPECT_EQ(cell.Style().HorzAlign(), TKtGridHorzAlign::haCenter);
    EXPECT_EQ(window.Text(kColLife, 7), u"999");
}

TEST_F(SheetLayoutTest, UnitPickListComesFromTheScalesUnits) {
    EXPECT_TRUE(UnitList().empty());
    window.Link().UnitKg = true;
    window.Link().UnitOz = true;
    Layout();
    EXPECT_EQ(UnitList(), (std::vector<WideString>{u"kg", u"oz"}));
    window.Link().UnitKg = false;
    window.Link().UnitLb = true;
    Layout();
    EXPECT_EQ(UnitList(), (std::vector<WideString>{u"lb", u"oz"}));
}

TEST_F(SheetLayoutTest, HeaderCellsOfLifeAndUnitArePlain) {
    const TKtCellClass& plain = CellClassOfType(TKtCellType::cellDefault);
    for (int row = 1; row < kFirstPluRow; ++row) {
        EXPECT_EQ(&sheet().GetCell(kColLife, row).CellClass(), &plain) << row;
        EXPECT_EQ(&sheet().GetCell(kColUnit, row).CellClass(), &plain) << row;
    }
    EXPECT_EQ(sheet().GetCell(kColLife, kFirstPluRow).CellType(), TKtCellType::cellNumberSpin);
    EXPECT_EQ(sheet().GetCell(kColUnit, kLastRow).CellType(), TKtCellType::cellComboBox);
    EXPECT_EQ(window.Text(kColLife, kCaptionRow), u"Life");
    EXPECT_EQ(window.Text(kColUnit, kCaptionRow), u"Unit");
}

TEST_F(SheetLayoutTest, ASheetOfOtherDimensionsIsForcedTo269By9) {
    sheet().SetRowCount(400);
    sheet().SetColCount(20);
    window.Set(12, 300, u"outside");
    window.Set(kColName, 20, u"inside");
    Layout();
    EXPECT_EQ(sheet().RowCount(), kSheetRowCount);
    EXPECT_EQ(sheet().ColCount(), kSheetColCount);
    EXPECT_EQ(sheet().FindCell(12, 300), nullptr);
    EXPECT_EQ(window.Text(kColName, 20), u"inside");
}

TEST_F(SheetLayoutTest, SizesFormatsCaptionsMergesAndView) {
    TVexaGridSheet& g = sheet();
    const int widths[] = {50, 220, 600, 60, 60, 100, 100, 100};
    for (int col = 1; col <= 8; ++col)
        EXPECT_EQ(g.ColWidths(col), widths[col - 1]) << col;
    EXPECT_EQ(g.RowHeights(1), 30);
    EXPECT_EQ(g.RowHeights(3), 30);
    EXPECT_EQ(g.RowHeights(4), 50);
    EXPECT_EQ(g.RowHeights(268), 50);
    EXPECT_FALSE(g.AutoRowHeight());
    EXPECT_EQ(g.ViewLockCol(), 2);
    EXPECT_EQ(g.ViewLockRow(), 4);

    const char16_t* formats[] = {u"@", u"@", u"@", u"0", nullptr, u".00", u".000", u"00000"};
    for (int col = 1; col <= 8; ++col) {
        if (formats[col - 1]) {
            EXPECT_EQ(g.GetColumn(col).Style().FormatString(), formats[col - 1]) << col;
        }
    }
    EXPECT_EQ(g.GetRow(5).Style().FormatString(), u"@");

    const char16_t* captions[] = {u"Addr.", u"Product Name", u"Ingredients", u"Life",
                                  u"Unit",  u"Unit Price",   u"Tare",        u"Item Code"};
    for (int col = 1; col <= 8; ++col)
        EXPECT_EQ(window.Text(col, kCaptionRow), captions[col - 1]);
    EXPECT_EQ(window.Text(kColAddr, kBusinessNameRow), u"Business Name");

    EXPECT_EQ(g.CellSpanRect(2, 2), TRect::FromCorners(1, 1, 2, 2));
    EXPECT_EQ(g.CellSpanRect(8, 1), TRect::FromCorners(3, 1, 8, 1));
    EXPECT_EQ(g.CellSpanRect(5, 2), TRect::FromCorners(3, 2, 8, 2));
    EXPECT_EQ(g.Selection().Current(), (TPoint{kColBusiness, kBusinessNameRow}));
    // A view narrower than the business line shows from its origin after a
    // new layout, not from the far end of the merged line.
    g.SetClientSize(1266, 700);
    Layout();
    EXPECT_EQ(g.LeftCol(), g.ViewLockCol());

    EXPECT_TRUE(g.GetCell(kColName, 4).IsWordWrap());
    EXPECT_TRUE(g.GetCell(kColUnit, 268).IsWordWrap());
    EXPECT_FALSE(g.GetCell(kColPrice, 4).IsWordWrap());
    EXPECT_FALSE(g.GetCell(kColName, 3).IsWordWrap());
    EXPECT_EQ(g.GetCell(kColPrice, 100).Style().HorzAlign(), TKtGridHorzAlign::haCenter);
    EXPECT_EQ(g.GetCell(kColItemCode, 268).Font().Name(), u"Arial");
}

TEST_F(SheetLayoutTest, FontBoxesAndTheControlsFont) {
    window.fontNameBox = u"Tahoma";
    window.fontSizeBox = u"9";
    Layout(false);
    EXPECT_EQ(window.control.Font().Name(), u"Tahoma");
    EXPECT_EQ(window.control.Font().Size(), 9);
    Layout(true);
    EXPECT_EQ(window.fontNameBox, u"Arial");
    EXPECT_EQ(window.fontSizeBox, u"12");
    EXPECT_EQ(window.control.Font().Name(), u"Arial");
    EXPECT_EQ(window.control.Font().Size(), 12);
}

TEST_F(SheetLayoutTest, EmptyFontBoxesKeepTheControlsFont) {
    window.fontNameBox.clear();
    window.fontSizeBox.clear();
    EXPECT_NO_THROW(Layout(false));
    EXPECT_EQ(window.control.Font().Name(), u"Arial");
    EXPECT_EQ(window.control.Font().Size(), 12);
}

TEST_F(SheetLayoutTest, ASizeBoxThatIsNoNumberFailsAfterTheSheetIsLaidOut) {
    sheet().SetRowCount(20);
    window.fontSizeBox = u"big";
    EXPECT_THROW(Layout(false), EConvertError);
    EXPECT_EQ(sheet().RowCount(), kSheetRowCount);
    EXPECT_FALSE(sheet().IsUpdating());
    EXPECT_EQ(window.Text(kColAddr, kFirstPluRow), u"M1");
}

}  // namespace
}  // namespace plu::testing
