// Reading tab-separated text into a grid.
#include <gtest/gtest.h>

#include "base/regional_settings.h"
#include "base/safe_file.h"
#include "base/text_measurer.h"
#include "export_test_support.h"
#include "formats/text/text_export.h"
#include "formats/text/text_import.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/grid_column.h"

namespace plu::exporttest {
namespace {

class TextImportTest : public ::testing::Test {
protected:
    TextImportTest() : settings_(RegionalSettings::Defaults()) { grid.SetMeasurer(&measurer); }
    WideString Text(int col, int row) {
        const TKtCell* cell = grid.FindCell(col, row);
        return cell ? cell->GetText() : u"";
    }
    ScopedRegionalSettings settings_;
    FixedTextMeasurer measurer;
    TKtCustomGrid grid;
};

TEST_F(TextImportTest, SplitsLinesOnLineFeedsWithOrWithoutCarriageReturns) {
    using Lines = std::vector<std::vector<WideString>>;
    const struct {
        std::string bytes;
        Lines lines;
    } cases[] = {
        {"", {}},
        {"a", {{u"a"}}},
        {"a\tb\r\nc\td", {{u"a", u"b"}, {u"c", u"d"}}},
        {"a\tb\nc\td\n", {{u"a", u"b"}, {u"c", u"d"}}},
        {"a\r\n\r\nb\r\n", {{u"a"}, {u""}, {u"b"}}},
        {"\t\t", {{u"", u"", u""}}},
        {"lone\rreturn\r", {{u"lone\rreturn\r"}}},
        {"x\r\r\ny", {{u"x\r"}, {u"y"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(SplitTextFile(c.bytes), c.lines);
    }
}

TEST_F(TextImportTest, DecodesTheAnsiCodePageOrAByteOrderMark) {
    EXPECT_EQ(SplitTextFile("\x80\xE9"), (std::vector<std::vector<WideString>>{{u"€é"}}));
    EXPECT_EQ(SplitTextFile("\xEF\xBB\xBF\xE4\xBB\xB7\tb"),
              (std::vector<std::vector<WideString>>{{u"价", u"b"}}));
    EXPECT_EQ(SplitTextFile(std::string("\xFF\xFE\xF7\x4E\x09\x00\x62\x00", 8)),
              (std::vector<std::vector<WideString>>{{u"价", u"b"}}));
    EXPECT_EQ(SplitTextFile(std::string("\xFE\xFF\x4E\xF7", 4)),
              (std::vector<std::vector<WideString>>{{u"价"}}));
}

TEST_F(TextImportTest, FillsFromTheFirstBodyCellAndGrowsTheGrid) {
    LoadTextIntoGrid(grid, "a\tb\tc\td\te\tf\r\n1\r\n\r\n\r\n\r\nlast");
    EXPECT_EQ(grid.ColCount(), 7);
    EXPECT_EQ(grid.RowCount(), 7);
    EXPECT_EQ(Text(1, 1), u"a");
    EXPECT_EQ(Text(6, 1), u"f");
    EXPECT_EQ(Text(1, 2), u"1");
    EXPECT_EQ(Text(1, 6), u"last");
    EXPECT_EQ(grid.FindCell(0, 0), nullptr);

    // A grid larger than the text keeps its size.
    TKtCustomGrid big;
    big.SetMeasurer(&measurer);
    big.SetFixedColCount(2);
    big.SetColCount(20);
    big.SetRowCount(30);
    LoadTextIntoGrid(big, "x\ty");
    EXPECT_EQ(big.ColCount(), 20);
    EXPECT_EQ(big.RowCount(), 30);
    ASSERT_NE(big.FindCell(2, 1), nullptr);
    EXPECT_EQ(big.FindCell(2, 1)->GetText(), u"x");
    EXPECT_EQ(big.FindCell(3, 1)->GetText(), u"y");
}

TEST_F(TextImportTest, FieldsTakeTheTextInPath) {
    grid.GetColumn(2).Style().SetFormatString(u"@");
    LoadTextIntoGrid(grid, "00123\t00123\tTRUE\t1.5\r\n=1+1");
    EXPECT_EQ(grid.FindCell(1, 1)->Kind(), TKtValueKind::vkInteger);
    EXPECT_EQ(Text(1, 1), u"123");
    EXPECT_EQ(grid.FindCell(2, 1)->Kind(), TKtValueKind::vkString);
    EXPECT_EQ(Text(2, 1), u"00123");
    EXPECT_EQ(Text(3, 1), u"1");
    EXPECT_EQ(grid.FindCell(4, 1)->Kind(), TKtValueKind::vkFloat);
    // A plain grid does not support formulas: the text stays a string.
    EXPECT_EQ(Text(1, 2), u"=1+1");
}

TEST_F(TextImportTest, EmptyFieldsClearCellsAndUnreachedPositionsStay) {
    grid.SetColCount(5);
    grid.GetCell(1, 1).SetText(u"old");
    grid.GetCell(2, 1).SetText(u"kept");
    grid.GetCell(3, 1).SetText(u"beyond");
    LoadTextIntoGrid(grid, "\tnew");
    EXPECT_TRUE(grid.FindCell(1, 1)->IsEmpty());
    EXPECT_EQ(Text(2, 1), u"new");
    EXPECT_EQ(Text(3, 1), u"beyond");
}

TEST_F(TextImportTest, ExportedTextReadsBackWithTheSameTexts) {
    TKtCustomGrid source;
    source.SetMeasurer(&measurer);
    source.SetColCount(4);
    source.SetRowCount(4);
    source.GetCell(1, 1).SetText(u"Äpfel €");
    source.GetCell(3, 1).SetText(u"2.5");
    source.GetCell(2, 2).SetText(u"-7");
    source.GetCell(1, 3).SetText(u"3/15/2024");
    TempDir dir;
    SaveToTextFile(source, dir.File("t.txt"), false, false);
    LoadFromTextFile(grid, dir.File("t.txt"));
    for (int r = 1; r < 4; ++r) {
        for (int c = 1; c < 4; ++c) {
            const TKtCell* s = source.FindCell(c, r);
            EXPECT_EQ(Text(c, r), s ? s->GetText() : u"") << c << "," << r;
        }
    }
}

TEST_F(TextImportTest, TextsThatDoNotFitOrCannotBeReadChangeNothing) {
    grid.GetCell(1, 1).SetText(u"keep");
    const std::string wide = "a" + std::string(static_cast<size_t>(kMaxGridCols), '\t');
    EXPECT_THROW(LoadTextIntoGrid(grid, wide), ETextImportError);
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(Text(1, 1), u"keep");

    TempDir dir;
    EXPECT_THROW(LoadFromTextFile(grid, dir.File("missing.txt")), EFileError);
    EXPECT_THROW(LoadFromTextFile(grid, dir.Path()), EFileError);
    EXPECT_EQ(Text(1, 1), u"keep");
}

TEST_F(TextImportTest, ControlBytesAndNulsArriveAsCharacters) {
    LoadTextIntoGrid(grid, std::string("a\0b\t\x01\x7F", 6));
    EXPECT_EQ(Text(1, 1), WideString(u"a\0b", 3));
    EXPECT_EQ(Text(2, 1), u"\x01\x7F");
}

}  // namespace
}  // namespace plu::exporttest
