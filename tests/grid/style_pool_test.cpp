// The style pool: sharing of records, reference counts, the record image and
// the pool's behaviour under several threads.
#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

#include "grid/grid_style.h"
#include "grid/resource_manager.h"

namespace plu {
namespace {

TEST(StylePool, StylesWithEqualRecordsShareOneNodeAndDivergeOnChange) {
    TKtGridStyle a, b;
    a.SetBgColor(0x00FF00);
    b.SetBgColor(0x00FF00);
    EXPECT_TRUE(a.SameResource(b));
    EXPECT_FALSE(a.IsDefault());

    b.SetBgColor(0x0000FF);
    EXPECT_FALSE(a.SameResource(b));
    EXPECT_EQ(a.BgColor(), 0x00FF00);
    EXPECT_EQ(b.BgColor(), 0x0000FF);

    // New styles start on the default record; copies share without copying.
    TKtGridStyle fresh;
    EXPECT_TRUE(fresh.IsDefault());
    TKtGridStyle copy(a);
    EXPECT_TRUE(copy.SameResource(a));
    fresh.Assign(b);
    EXPECT_TRUE(fresh.SameResource(b));
}

TEST(StylePool, NodeIsFreedWhenItsLastStyleGoes) {
    TKtResourceManager& pool = ResourceManager();
    SharedDefaultStyle();  // its record stays pooled for the whole run: count from after it
    const size_t before = pool.NodeCount();
    auto a = std::make_unique<TKtGridStyle>();
    a->SetExtraAttribute(0x5EED1);
    auto b = std::make_unique<TKtGridStyle>(*a);
    EXPECT_EQ(pool.NodeCount(), before + 1);
    EXPECT_EQ(a->Node()->RefCount, 2);
    a.reset();
    EXPECT_EQ(pool.NodeCount(), before + 1);
    EXPECT_EQ(b->Node()->RefCount, 1);
    b.reset();
    EXPECT_EQ(pool.NodeCount(), before);

    // Moving a style to another record frees the one it leaves.
    TKtGridStyle c;
    c.SetExtraAttribute(0x5EED2);
    EXPECT_EQ(pool.NodeCount(), before + 1);
    c.SetExtraAttribute(0x5EED3);
    EXPECT_EQ(pool.NodeCount(), before + 1);
    c.Assign(SharedDefaultStyle());
    EXPECT_EQ(pool.NodeCount(), before);
}

TEST(StylePool, AcquireAndReleaseCountReferences) {
    TKtResourceManager& pool = ResourceManager();
    SharedDefaultStyle();  // its record stays pooled for the whole run: count from after it
    const size_t before = pool.NodeCount();
    TKtStyleRecord r;
    r.ExportAttribute = 7;
    TKtStyleNode* n1 = pool.Acquire(r);
    TKtStyleNode* n2 = pool.Acquire(r);
    EXPECT_EQ(n1, n2);
    EXPECT_EQ(n1->RefCount, 2);
    EXPECT_EQ(n1->Hash, r.Hash());
    pool.Release(n1);
    EXPECT_EQ(pool.NodeCount(), before + 1);
    pool.Release(n2);
    EXPECT_EQ(pool.NodeCount(), before);
    pool.Release(nullptr);
}

TEST(StylePool, EveryFieldTakesPartInRecordEquality) {
    // Fields the grid itself never reads still separate records.
    TKtGridStyle base, extra, text, exported, reserved;
    extra.SetExtraAttribute(1);
    text.SetTextColor(0x123456);
    exported.SetExportAttribute(3);
    TKtStyleRecord r = reserved.CopyRecord();
    r.Reserved = 1;
    reserved.SetRecord(r);
    const TKtGridStyle* all[] = {&base, &extra, &text, &exported, &reserved};
    for (const TKtGridStyle* x : all)
        for (const TKtGridStyle* y : all)
            if (x != y) {
                EXPECT_FALSE(x->SameResource(*y));
            }
}

TEST(StylePool, PackedRecordFollowsTheFieldLayout) {
    TKtStyleRecord r;
    r.UsedAttributes = 0x11;
    r.BorderColors[0] = 0x04030201;
    r.BorderColors[9] = 0x0A0B0C0D;
    r.BorderLines[0] = 0x21;
    r.BorderLines[9] = 0x22;
    r.HorzAlign = TKtGridHorzAlign::haRight;
    r.VertAlign = TKtGridVertAlign::vaBottom;
    r.Options = TKtCellOptions(0x01020304);
    r.ExtraAttribute = 0x05060708;
    r.BgColor = 0x090A0B0C;
    r.TextColor = 0x0D0E0F10;
    r.Reserved = 0x1112;
    r.ExportAttribute = 0x13;
    r.FormatIndex = 0x1415;
    const auto b = r.Pack();
    ASSERT_EQ(b.size(), 74u);
    EXPECT_EQ(b[0], 0x11);
    EXPECT_EQ(b[1], 0x01);
    EXPECT_EQ(b[4], 0x04);
    EXPECT_EQ(b[37], 0x0D);
    EXPECT_EQ(b[41], 0x21);
    EXPECT_EQ(b[50], 0x22);
    EXPECT_EQ(b[51], 3);
    EXPECT_EQ(b[52], 2);
    EXPECT_EQ(b[53], 0x04);
    EXPECT_EQ(b[56], 0x01);
    EXPECT_EQ(b[57], 0x08);
    EXPECT_EQ(b[61], 0x0C);
    EXPECT_EQ(b[65], 0x10);
    EXPECT_EQ(b[69], 0x12);
    EXPECT_EQ(b[71], 0x13);
    EXPECT_EQ(b[72], 0x15);
    EXPECT_EQ(b[73], 0x14);

    // The 16-bit hash rotates by 5 bits per byte: a record whose only
    // non-zero byte is the last one hashes to that byte.
    TKtStyleRecord zero;
    zero.BorderColors.fill(0);
    zero.BgColor = 0;
    zero.TextColor = 0;
    zero.VertAlign = TKtGridVertAlign::vaTop;
    EXPECT_EQ(zero.Hash(), 0);
    zero.FormatIndex = 0x5A00;  // last byte 0x5A
    EXPECT_EQ(zero.Hash(), 0x5A);
    zero.FormatIndex = 0x0001;  // second-to-last byte 1, rotated once
    EXPECT_EQ(zero.Hash(), 1 << 5);
}

TEST(StylePool, ConcurrentStylesKeepCountsConsistent) {
    TKtResourceManager& pool = ResourceManager();
    SharedDefaultStyle();  // its record stays pooled for the whole run: count from after it
    const size_t before = pool.NodeCount();
    std::recursive_mutex ownerLock;
    auto work = [&](int seed) {
        std::vector<std::unique_ptr<TKtGridStyle>> styles;
        for (int i = 0; i < 400; ++i) {
            auto s = std::make_unique<TKtGridStyle>();
            if (i % 2) s->SetLock(&ownerLock);
            s->SetBgColor(0x100000 + (i % 37));
            s->SetExtraAttribute(seed);
            styles.push_back(std::move(s));
        }
        for (size_t i = 0; i < styles.size(); i += 3) styles[i]->Assign(*styles[styles.size() - 1 - i]);
    };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) threads.emplace_back(work, t % 2);
    for (auto& t : threads) t.join();
    EXPECT_EQ(pool.NodeCount(), before);
}

TEST(StylePool, ManyDistinctRecordsAreAllFoundAgain) {
    TKtResourceManager& pool = ResourceManager();
    std::vector<TKtStyleNode*> nodes;
    for (int i = 0; i < 20000; ++i) {
        TKtStyleRecord r;
        r.BgColor = i;
        nodes.push_back(pool.Acquire(r));
    }
    for (int i = 0; i < 20000; ++i) {
        TKtStyleRecord r;
        r.BgColor = i;
        TKtStyleNode* again = pool.Acquire(r);
        EXPECT_EQ(again, nodes[static_cast<size_t>(i)]);
        pool.Release(again);
    }
    for (TKtStyleNode* n : nodes) pool.Release(n);
}

}  // namespace
}  // namespace plu
