// Pooled cell fonts: one shared entry per distinct font, counted references,
// ids given out again, and cells that keep their font when the pool is full.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/font_pool.h"
#include "grid/resource_manager.h"

namespace plu {
namespace {

TFont Named(const std::string& name) { return TFont(AsciiToWide(name), -13); }

TEST(FontPool, EqualFontsShareAnEntryThatGoesWithItsLastReference) {
    TKtFontPool pool;
    const uint16_t a = pool.Acquire(Named("Arial"));
    const uint16_t b = pool.Acquire(Named("Arial"));
    EXPECT_EQ(a, b);
    EXPECT_EQ(pool.RefCount(a), 2);
    // Every field counts, the name with its letter case.
    EXPECT_NE(pool.Acquire(Named("arial")), a);
    TFont bold = Named("Arial");
    bold.SetStyle(TFontStyles().With(TFontStyle::fsBold));
    EXPECT_NE(pool.Acquire(bold), a);
    EXPECT_EQ(pool.Count(), 3u);

    pool.Release(a);
    EXPECT_EQ(pool.Font(b).Name(), u"Arial");
    pool.Release(b);
    EXPECT_EQ(pool.Count(), 2u);
    // The freed id serves the next new font.
    EXPECT_EQ(pool.Acquire(Named("Tahoma")), a);
    EXPECT_EQ(pool.Font(a).Name(), u"Tahoma");
}

TEST(FontPool, AFullPoolRefusesNewFontsButStillSharesHeldOnes) {
    TKtFontPool pool;
    for (size_t i = 0; i < TKtFontPool::kMaxFonts; ++i)
        ASSERT_NE(pool.Acquire(Named("F" + std::to_string(i))), TKtFontPool::kNoFont);
    EXPECT_EQ(pool.Acquire(Named("one too many")), TKtFontPool::kNoFont);
    const uint16_t held = pool.Acquire(Named("F7"));
    EXPECT_NE(held, TKtFontPool::kNoFont);
    pool.Release(held);
    pool.Release(held);  // F7 is gone: its id is free again
    EXPECT_EQ(pool.Acquire(Named("one too many")), held);
}

TEST(CellFont, CellsWithEqualFontsShareOnePooledFont) {
    TKtResourceManager& pool = ResourceManager();
    const size_t before = pool.FontCount();
    {
        TKtCustomGrid grid;
        TKtCell& a = grid.GetCell(1, 1);
        TKtCell& b = grid.GetCell(2, 1);
        a.OwnFont().SetName(u"Pooled Face");
        b.SetFont(a.Font());
        EXPECT_EQ(&a.Font(), &b.Font());
        EXPECT_EQ(pool.FontCount(), before + 1);

        // A change to one cell leaves the other as it was.
        b.OwnFont().SetSize(30);
        EXPECT_EQ(a.Font().Name(), u"Pooled Face");
        EXPECT_NE(a.Font().Size(), 30);
        EXPECT_EQ(b.Font().Size(), 30);
        EXPECT_EQ(b.Font().Name(), u"Pooled Face");

        // A reference held by a reader shares the same entry.
        TKtFontRef ref(a.Font());
        TKtCell& c = grid.GetCell(3, 1);
        c.SetFont(ref);
        EXPECT_EQ(&c.Font(), &a.Font());
        EXPECT_FALSE(c.ParentFont());
    }
    // The grid's cells were the last to use them.
    EXPECT_EQ(pool.FontCount(), before);
}

TEST(CellFont, ACellKeepsItsFontWhenThePoolHasNoIdLeft) {
    TKtResourceManager& pool = ResourceManager();
    std::vector<TKtFontRef> filler;
    filler.reserve(TKtFontPool::kMaxFonts);
    for (size_t i = 0; pool.FontCount() < TKtFontPool::kMaxFonts; ++i)
        filler.emplace_back(Named("Filler " + std::to_string(i)));
    TKtCustomGrid grid;
    TKtCell& cell = grid.GetCell(1, 1);
    cell.OwnFont().SetName(u"Beyond the pool");
    cell.OwnFont().SetSize(17);
    EXPECT_FALSE(cell.ParentFont());
    TKtCell& copy = grid.GetCell(2, 1);
    copy.CopyFrom(cell, kCopyFormat, false);
    filler.clear();

    EXPECT_EQ(cell.Font().Name(), u"Beyond the pool");
    EXPECT_EQ(cell.Font().Size(), 17);
    EXPECT_EQ(copy.Font().Name(), u"Beyond the pool");
    grid.Font().SetName(u"Grid Face");  // a cell with its own font keeps it
    EXPECT_EQ(cell.Font().Name(), u"Beyond the pool");
    cell.CopyFrom(grid.GetCell(3, 1), kCopyFormat, false);  // back to following the grid
    EXPECT_TRUE(cell.ParentFont());
    EXPECT_EQ(cell.Font().Name(), u"Grid Face");
}

}  // namespace
}  // namespace plu
