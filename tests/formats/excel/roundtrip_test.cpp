// A grid saved as a workbook and read back into a new grid shows the same
// text in every cell with the same effective format. What the file format
// itself changes is accepted: a cell without fill comes back with the
// window colour's RGB value, integers come back as floats, and formula
// cells are not saved.
#include <gtest/gtest.h>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "export_test_support.h"
#include "formats/excel/excel_rw.h"
#include "formats/excel/export_xls.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/grid_column.h"

namespace plu::exporttest {
namespace {

class RoundTripTest : public ::testing::Test {
protected:
    RoundTripTest() : settings_(RegionalSettings::Defaults()) {
        source.SetMeasurer(&measurer);
        target.SetMeasurer(&measurer);
    }

    TKtCell& Put(int col, int row, WideStringView text) {
        TKtCell& cell = source.GetCell(col, row);
        cell.SetText(text);
        return cell;
    }

    void SaveAndRead() {
        TempDir dir;
        const std::string path = dir.File("round trip.xls");
        SaveToXlsFile(source, path);
        TKtGridExcelRW bridge(&measurer);
        bridge.LoadFromFile(Utf8ToWide(path));
        ASSERT_EQ(bridge.SheetCount(), 1);
        EXPECT_EQ(bridge.SheetName(0), u"sheet1");
        bridge.ReadSheet(target, 0, 0, 0);
    }

    ScopedRegionalSettings settings_;
    FixedTextMeasurer measurer;
    TKtCustomGrid source;
    TKtCustomGrid target;
};

void ExpectSameLook(const TKtCell& a, const TKtCell& b) {
    EXPECT_EQ(a.GetText(), b.GetText());
    auto style = [](const TKtCell& c, TKtStyleAttribute at) -> const TKtGridStyle& { return c.EffectiveStyle(at); };
    EXPECT_EQ(style(a, TKtStyleAttribute::Format).FormatString(), style(b, TKtStyleAttribute::Format).FormatString());
    const TKtGridStyle& al = style(a, TKtStyleAttribute::Alignment);
    const TKtGridStyle& bl = style(b, TKtStyleAttribute::Alignment);
    EXPECT_EQ(al.HorzAlign(), bl.HorzAlign());
    EXPECT_EQ(al.VertAlign(), bl.VertAlign());
    EXPECT_EQ(a.IsWordWrap(), b.IsWordWrap());
    EXPECT_EQ(ColorToRGB(a.Background()), ColorToRGB(b.Background()));
    const TKtGridStyle& ab = style(a, TKtStyleAttribute::Borders);
    const TKtGridStyle& bb = style(b, TKtStyleAttribute::Borders);
    for (int edge = 0; edge < 4; ++edge) {
        EXPECT_EQ(ab.BorderLine(edge), bb.BorderLine(edge)) << "edge " << edge;
        if (ab.BorderLine(edge) == 0) continue;
        // No colour and black are both written as automatic (the window text colour).
        const TColor expected = ab.BorderColor(edge) == clNone ? 0 : ColorToRGB(ab.BorderColor(edge));
        EXPECT_EQ(expected, ColorToRGB(bb.BorderColor(edge))) << "edge " << edge;
    }
    const TFont& af = a.Font();
    const TFont& bf = b.Font();
    EXPECT_EQ(af.Name(), bf.Name());
    EXPECT_EQ(af.Size(), bf.Size());
    EXPECT_EQ(af.Style(), bf.Style());
    EXPECT_EQ(ColorToRGB(af.Color()), ColorToRGB(bf.Color()));
}

TEST_F(RoundTripTest, CellsComeBackWithTheirTextsAndEffectiveFormats) {
    source.SetColCount(8);
    source.SetRowCount(10);
    source.SetColWidth(1, 120);
    source.SetColWidth(2, 45);
    source.SetColVisible(5, false);
    source.SetRowHeight(2, 30);
    source.SetRowHeight(4, 44);
    source.GetColumn(3).Style().SetFormatString(u"0.00");
    source.GetColumn(3).Style().SetHorzAlign(TKtGridHorzAlign::haRight);

    Put(1, 1, u"Äpfel 苹果");
    Put(2, 1, u"12");  // an integer: back as a float, shown alike
    Put(3, 1, u"2.5");
    Put(4, 1, u"-1234.5").OwnStyle().SetFormatString(u"#,##0.00");
    Put(6, 1, u"00123").OwnStyle().SetFormatString(u"@");
    TKtCell& styled = Put(1, 2, u"styled");
    styled.OwnStyle().SetBgColor(RGB(10, 200, 30));
    styled.OwnStyle().SetHorzAlign(TKtGridHorzAlign::haCenter);
    styled.OwnStyle().SetVertAlign(TKtGridVertAlign::vaTop);
    styled.OwnStyle().SetBorders(kEdgeMaskBox, kLineMedium, clBlue);
    styled.OwnStyle().SetBorder(kEdgeBottom, kLineDashed, clBlack);
    TKtCellFont font = styled.OwnFont();
    font.SetName(u"Arial");
    font.SetSize(14);
    font.SetStyle(TFontStyles(0x0F));
    font.SetColor(RGB(200, 10, 20));
    Put(2, 2, u"3/15/2024");
    Put(3, 2, u"7");
    Put(1, 3, u"wrapped\r\ntext").OwnStyle().SetWrapText(true);
    Put(2, 3, u"").OwnStyle().SetBgColor(clYellow);  // an empty, filled cell
    Put(1, 4, WideString(9000, u'长'));
    Put(2, 5, u"merged");
    source.MergeCells(2, 5, 4, 7);
    Put(6, 6, WideString(32767, u'x'));
    Put(7, 8, u"TRUE");

    SaveAndRead();

    int compared = 0;
    for (int r = 1; r < source.RowCount(); ++r) {
        for (int c = 1; c < source.ColCount(); ++c) {
            const TKtCell* a = source.FindCell(c, r);
            if (!a || (a->IsEmpty() && a->Style().IsDefault())) continue;
            SCOPED_TRACE(std::to_string(c) + "," + std::to_string(r));
            const TKtCell* b = target.FindCell(c, r);
            ASSERT_NE(b, nullptr);
            ExpectSameLook(*a, *b);
            ++compared;
        }
    }
    EXPECT_EQ(compared, 14);

    EXPECT_EQ(target.FindCell(2, 1)->Kind(), TKtValueKind::vkFloat);
    for (int c = 1; c < source.ColCount(); ++c) EXPECT_EQ(source.ColWidths(c), target.ColWidths(c)) << c;
    EXPECT_FALSE(target.IsColVisible(5));
    for (int r = 1; r < source.RowCount(); ++r) EXPECT_EQ(source.RowHeights(r), target.RowHeights(r)) << r;
    ASSERT_EQ(target.MergedAreas().Count(), 1);
    EXPECT_EQ(target.MergedAreas()[0].Rect, (TRect{2, 5, 5, 8}));
}

TEST_F(RoundTripTest, FormulaCellsAndUnfilledCellsChangeAsTheFileFormatDictates) {
    Put(1, 1, u"plain");
    TKtCell& filled = Put(2, 1, u"filled");
    filled.OwnStyle().SetBgColor(clAqua);
    SaveAndRead();
    // No fill in the file: the window colour's RGB value, not the system colour.
    EXPECT_EQ(target.FindCell(1, 1)->Background(), ColorToRGB(clWindow));
    EXPECT_EQ(target.FindCell(2, 1)->Background(), clAqua);
}

}  // namespace
}  // namespace plu::exporttest
