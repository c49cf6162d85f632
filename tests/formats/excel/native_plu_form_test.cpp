// The stored form of the main window's PLU sheet: a grid laid out as that
// form describes gives the stream it is known by (26,895 bytes, 1,882
// records), and applying the stream sizes a grid as the form does.
#include <gtest/gtest.h>

#include <vector>

#include "formats/native/native_records.h"
#include "grid/cell.h"
#include "grid/grid_column.h"
#include "native_test_support.h"

namespace plu::testing {
namespace {

using namespace native_id;

constexpr int kColWidths[] = {40, 73, 197, 79, 66, 105, 103};

// The designed PLU sheet: 265 rows by 11 columns with one fixed row and
// column, Arial 14 px as the grid's font, three sized header rows, seven
// sized columns whose objects kept the default font (MS Sans Serif),
// formatted cells in columns 0 to 6 (all empty) and the title merged over
// rows 1 to 2, columns 1 to 2.
void LayOutPluForm(TKtCustomGrid& grid) {
    for (int c = 0; c < 7; ++c)
        grid.GetColumn(c);  // created before the font was chosen
    grid.Font().SetName(u"Arial");
    grid.Font().SetHeight(-14);
    grid.SetRowCount(265);
    grid.SetColCount(11);
    grid.SetRowHeight(0, 17);
    grid.SetRowHeight(1, 27);
    grid.SetRowHeight(2, 30);
    for (int c = 0; c < 7; ++c)
        grid.SetColWidth(c, kColWidths[c]);

    for (int r = 0; r < 265; ++r) {
        for (int c = 0; c < 7; ++c) {
            if ((c == 0 && r == 0) || (c == 1 && r == 0)) continue;
            TKtCell& cell = grid.GetCell(c, r);
            if (r == 0 || c == 0) {
                cell.OwnStyle().SetHorzAlign(TKtGridHorzAlign::haCenter);
            } else if (r == 1) {
                cell.OwnStyle().SetHorzAlign(TKtGridHorzAlign::haCenter);
                cell.OwnFont().SetHeight(-16);
            } else if (r == 2) {
                cell.OwnStyle().SetWrapText(true);
                cell.OwnFont().SetName(u"宋体");
                cell.OwnFont().SetHeight(-12);
            } else {
                cell.OwnStyle().SetBorders(kEdgeMaskBox, kLineThin, clBlack);
            }
        }
    }
    grid.MergeCells(1, 1, 2, 2);
}

TEST(NativePluForm, TheDesignedSheetGivesTheKnownStream) {
    PlainGrid grid;
    LayOutPluForm(grid);
    const std::vector<uint8_t> bytes = BuildBytes(grid);
    EXPECT_EQ(bytes.size(), 26895u);
    const std::vector<RawRecord> records = SplitRecords(bytes);
    ASSERT_EQ(records.size(), 1882u);

    // Globals.
    EXPECT_EQ(records[0].id, kBOF);
    EXPECT_EQ(records[0].U16(0), 0x0600);
    EXPECT_EQ(records[0].U16(2), 0x0005);
    const std::vector<uint16_t> ids = Ids(records);
    const std::vector<uint16_t> globals(ids.begin() + 1, ids.begin() + 14);
    EXPECT_EQ(globals, (std::vector<uint16_t>{kFont, kFont, kFont, kFont, kXF, kXF, kXF, kXF, kXF,
                                              kXF, kBoundSheet, kFormat, kEOF}));
    const struct {
        const char16_t* name;
        int height;
    } fonts[] = {{u"Arial", -14}, {u"Arial", -16}, {u"宋体", -12}, {u"MS Sans Serif", -11}};
    for (int i = 0; i < 4; ++i) {
        const TKtFontRecord font(kFont, records[1 + static_cast<size_t>(i)].body);
        EXPECT_EQ(font.Name(), fonts[i].name);
        EXPECT_EQ(font.Height(), fonts[i].height);
    }
    EXPECT_EQ(TKtBoundSheetRecord(kBoundSheet, records[11].body).Name(), u"VexaGrid");
    EXPECT_EQ(records[12].body, (std::vector<uint8_t>{0, 0, 0, 0}));  // FORMAT 0, ""

    // The sheet.
    EXPECT_EQ(records[14].id, kBOF);
    EXPECT_EQ(records[14].U16(0), 0x0700);
    EXPECT_EQ(records[14].U16(2), 0x0010);
    EXPECT_EQ(records[15].body,
              (std::vector<uint8_t>{1, 0, 0, 0, 8, 1, 0, 0, 1, 0, 10, 0, 0, 0}));  // 1, 264, 1, 10
    const int twips[] = {600, 1095, 2955, 1185, 990, 1575, 1545};
    for (int c = 0; c < 7; ++c) {
        const RawRecord& colInfo = records[16 + static_cast<size_t>(c)];
        ASSERT_EQ(colInfo.id, kColInfo);
        EXPECT_EQ(colInfo.U16(0), c);
        EXPECT_EQ(colInfo.U16(2), c);
        EXPECT_EQ(colInfo.U16(4), twips[c]);
        EXPECT_EQ(colInfo.U16(6), 5);
    }
    const int rowTwips[] = {255, 405, 450};
    for (int r = 0; r < 3; ++r) {
        const RawRecord& row = records[23 + static_cast<size_t>(r)];
        ASSERT_EQ(row.id, kRow);
        EXPECT_EQ(row.U16(0), r);
        EXPECT_EQ(row.U16(4), 11);
        EXPECT_EQ(row.U16(6), rowTwips[r]);
        EXPECT_EQ(row.U16(12), 0x0180);
        EXPECT_EQ(row.U16(14), 0);
        EXPECT_EQ(row.U16(16), 0xFFFF);
    }
    EXPECT_EQ(CountOf(records, kBlank), 1853);
    for (size_t i = 26; i < 26 + 1853; ++i) {
        ASSERT_EQ(records[i].id, kBlank);
        EXPECT_LE(records[i].U32(0), 264u);
        EXPECT_LE(records[i].U32(4), 6u);
        EXPECT_FALSE(records[i].U32(0) == 0 && records[i].U32(4) == 0);
    }
    EXPECT_EQ(records[1879].id, kMergedCells);
    EXPECT_EQ(records[1879].body, (std::vector<uint8_t>{1, 0, 1, 0, 2, 0, 1, 0, 2, 0}));
    EXPECT_EQ(records[1880].id, kEOF);
    EXPECT_EQ(records[1881].id, 0);
    EXPECT_TRUE(records[1881].body.empty());
}

TEST(NativePluForm, ApplyingTheStreamSizesTheGridAt96Dpi) {
    PlainGrid designed;
    LayOutPluForm(designed);
    const std::vector<uint8_t> bytes = BuildBytes(designed);

    PlainGrid grid;
    EXPECT_TRUE(ReadInto(grid, bytes).empty());
    EXPECT_EQ(grid.FixedRowCount(), 1);
    EXPECT_EQ(grid.FixedColCount(), 1);
    EXPECT_EQ(grid.RowCount(), 265);
    EXPECT_EQ(grid.ColCount(), 11);
    EXPECT_EQ(grid.RowHeights(0), 17);
    EXPECT_EQ(grid.RowHeights(1), 27);
    EXPECT_EQ(grid.RowHeights(2), 30);
    EXPECT_EQ(grid.RowHeights(3), grid.DefaultRowHeight());
    for (int c = 0; c < 7; ++c)
        EXPECT_EQ(grid.ColWidths(c), kColWidths[c]) << c;
    EXPECT_EQ(grid.ColWidths(7), grid.DefaultColWidth());
    ASSERT_EQ(grid.MergedAreas().Count(), 1);
    EXPECT_EQ(grid.MergedAreas()[0].Rect, TRect::FromCorners(1, 1, 2, 2));
    EXPECT_EQ(grid.GetCell(3, 2).Font().Name(), u"宋体");
    EXPECT_EQ(grid.GetCell(3, 1).Font().Height(), -16);
    EXPECT_EQ(grid.GetColumn(4).Font().Name(), u"MS Sans Serif");
}

}  // namespace
}  // namespace plu::testing
