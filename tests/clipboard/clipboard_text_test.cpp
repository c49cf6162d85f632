// The Unicode text of a copied range and the splitting of clipboard texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "clipboard/clipboard_text.h"
#include "grid/custom_grid.h"

namespace plu::testing {
namespace {

TEST(CopiedRangeText, TabsBetweenColumnsCrLfBetweenRowsAndNothingAfterTheLast) {
    ScopedRegionalSettings settings{RegionalSettings::Defaults()};
    FixedTextMeasurer measurer;
    TKtCustomGrid grid;
    grid.SetMeasurer(&measurer);
    grid.GetCell(1, 1).SetText(u"a");
    grid.GetCell(2, 1).SetText(u"b c");
    grid.GetCell(1, 2).SetText(u"x");
    EXPECT_EQ(CopiedRangeText(grid, {1, 1, 3, 3}), u"a\t\"b c\"\r\nx\t");
    // One empty cell: no text at all (and no cell made for it).
    EXPECT_EQ(CopiedRangeText(grid, {3, 3, 4, 4}), u"");
    EXPECT_EQ(grid.FindCell(3, 3), nullptr);
}

TEST(CopiedRangeText, QuotesTextsWithSpacesQuotesOrCrLfOnly) {
    ScopedRegionalSettings settings{RegionalSettings::Defaults()};
    TKtCustomGrid grid;
    grid.SetOptionsEx(grid.OptionsEx().With(TGridOptionEx::goxStringGrid));
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"5\" pipe", u"\"5\"\" pipe\""},
        {u"one\ntwo", u"one\ntwo"},
        {u"one\rtwo", u"one\rtwo"},
        {u"one\r\ntwo", u"\"one\r\ntwo\""},
        {u"q\"", u"\"q\"\"\""},
    };
    for (const auto& [text, copied] : cases) {
        grid.GetCell(1, 1).SetText(text);
        EXPECT_EQ(CopiedRangeText(grid, {1, 1, 2, 2}), copied);
    }
}

struct SplitCase {
    std::u16string text;
    int width;
    int height;
    std::vector<std::u16string> fields;  // row by row, width per row
};

TEST(SplitClipboardText, Table) {
    const std::vector<SplitCase> cases = {
        {u"1\t2\r\n3\t4\r\n", 2, 2, {u"1", u"2", u"3", u"4"}},
        {u"a\r\n\r\nb", 1, 3, {u"a", u"", u"b"}},
        {u"\"x\ty\"\tz", 2, 1, {u"x\ty", u"z"}},
        {u"\"\"", 1, 1, {u"\"\""}},
        {u"\"ab\"cd", 1, 1, {u"ab"}},
        {u"ab\"cd\"", 1, 1, {u"ab\"cd\""}},
        {u"a\"b\tc\"d", 1, 1, {u"a\"b\tc\"d"}},
        {u"\"say \"\"hi\"\"\"", 1, 1, {u"say \"hi\""}},
        {u"\"a\r\nb\"\tc", 2, 1, {u"a\r\nb", u"c"}},
        // Rows end with a lone LF when the text holds no CR at all.
        {u"a\tb\nc\td\n", 2, 2, {u"a", u"b", u"c", u"d"}},
        // With a CR somewhere, an LF is an ordinary character.
        {u"a\nb\r\nc", 1, 2, {u"a\nb", u"c"}},
        {u"a\rb", 1, 2, {u"a", u"b"}},
        // The scan stops at a zero character outside quotes.
        {std::u16string(u"a\tb\0\0", 5), 2, 1, {u"a", u"b"}},
        {std::u16string(u"\"a\0b\"", 5), 1, 1, {std::u16string(u"a\0b", 3)}},
        // A final TAB or line break adds no field.
        {u"a\t", 1, 1, {u"a"}},
        {u"a\t\tb", 3, 1, {u"a", u"", u"b"}},
        // An unclosed run takes the rest of the text.
        {u"\"ab\tc\r\nd", 1, 1, {u"ab\tc\r\nd"}},
        {u"", 0, 0, {}},
        {std::u16string(u"\0\0", 2), 0, 0, {}},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(std::string(c.text.begin(), c.text.end()));
        const auto owned = SplitClipboardText(c.text);
        const TKwSheet& block = *owned;
        ASSERT_EQ(block.ColCount(), c.width);
        ASSERT_EQ(block.RowCount(), c.height);
        size_t k = 0;
        for (int r = 0; r < c.height; ++r)
            for (int col = 0; col < c.width && k < c.fields.size(); ++col)
                EXPECT_EQ(block.GetText(col, r), c.fields[k++]) << col << "," << r;
    }
}

TEST(SplitClipboardText, FieldsBeyondTheLastGridColumnAreDropped) {
    std::u16string text(70000, u'\t');
    text += u"far";
    const auto block = SplitClipboardText(text);
    EXPECT_EQ(block->ColCount(), 65536);
    EXPECT_EQ(block->GetText(65535, 0), u"");
}

}  // namespace
}  // namespace plu::testing
