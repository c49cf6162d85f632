#include "grid/sparse_list.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "grid/name_objects.h"
#include "grid/object_list.h"
#include "grid/text_matrix.h"

using namespace plu;

namespace {

using Item = TKtSparseList::Item;

// Records every Changed notification.
class RecordingList : public TKtSparseList {
  public:
    std::vector<std::pair<int, int>> changes;
    std::vector<Item> freed;
    void Changed(int from, int to) override { changes.emplace_back(from, to); }
    void FreeItem(Item item) override { freed.push_back(item); }
};

struct Counted {
    static inline int alive = 0;
    int value;
    explicit Counted(int v) : value(v) { ++alive; }
    ~Counted() { --alive; }
};

std::vector<std::pair<int, Item>> Contents(const TKtSparseList& list) {
    std::vector<std::pair<int, Item>> out;
    list.ForAll([&](int i, Item item) {
        out.emplace_back(i, item);
        return 0;
    });
    return out;
}

}  // namespace

TEST(SparseList, FreshListIsEmpty) {
    TKtSparseList list;
    EXPECT_EQ(list.HighBound(), -1);
    EXPECT_EQ(list.Get(0), 0);
    EXPECT_EQ(list.Get(-5), 0);
    int calls = 0;
    EXPECT_EQ(list.ForAll([&](int, Item) { return ++calls; }), 0);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(list.AllocatedSections(), 0);
}

TEST(SparseList, IndexLimitFollowsQuantum) {
    TKtSparseList list;
    EXPECT_THROW(list.Put(65536, 7), ERangeError);
    EXPECT_EQ(list.HighBound(), -1);  // unchanged
    EXPECT_EQ(list.AllocatedSections(), 0);
    list.Put(65535, 7);
    EXPECT_EQ(list.HighBound(), 65535);
    EXPECT_EQ(list.Get(65535), 7);
    EXPECT_EQ(list.AllocatedSections(), 1);  // storage follows use, not the range

    TKtSparseList wide;
    ASSERT_TRUE(wide.SetQuantum(1));
    EXPECT_EQ(wide.SectionSize(), 256);
    wide.Put(1048575, 9);
    EXPECT_EQ(wide.Get(1048575), 9);
    EXPECT_THROW(wide.Put(1048576, 9), ERangeError);
    EXPECT_FALSE(wide.SetQuantum(0));  // holds items: quantum stays

    list.Put(-1, 3);  // ignored
    EXPECT_EQ(list.Get(-1), 0);
}

TEST(SparseList, PutNilAtHighestIndexLowersHighBound) {
    TKtSparseList list;
    list.Put(3, 30);
    list.Put(40, 400);
    list.Put(41, 410);
    list.Put(41, 0);
    EXPECT_EQ(list.HighBound(), 40);
    list.Put(40, 0);
    EXPECT_EQ(list.HighBound(), 3);
    list.Put(3, 0);
    EXPECT_EQ(list.HighBound(), -1);
    // A nil on a missing slot creates no section.
    TKtSparseList empty;
    empty.Put(1000, 0);
    EXPECT_EQ(empty.AllocatedSections(), 0);
}

TEST(SparseList, CacheNeverAnswersStaleItems) {
    TKtSparseList list;
    list.Put(5, 50);
    EXPECT_EQ(list.Get(5), 50);
    list.Put(5, 51);
    EXPECT_EQ(list.Get(5), 51);
    list.Delete(0);
    EXPECT_EQ(list.Get(5), 0);
    EXPECT_EQ(list.Get(4), 51);
}

TEST(SparseList, ForAllVisitsInOrderAndStopsOnNonZero) {
    TKtSparseList list;
    for (int i : {300, 2, 17, 16})
        list.Put(i, i * 10);
    std::vector<int> seen;
    int32_t r = list.ForAll([&](int i, Item) {
        seen.push_back(i);
        return i == 17 ? 99 : 0;
    });
    EXPECT_EQ(r, 99);
    EXPECT_EQ(seen, (std::vector<int>{2, 16, 17}));
}

TEST(SparseList, DeleteShiftsDownAndNotifiesOnlyInsideHighBound) {
    RecordingList list;
    for (int i = 0; i < 5; ++i)
        list.Put(i, 100 + i);
    list.Delete(7);
    EXPECT_TRUE(list.changes.empty());
    list.Delete(-1);
    EXPECT_TRUE(list.changes.empty());
    list.Delete(1);
    EXPECT_EQ(list.changes, (std::vector<std::pair<int, int>>{{1, 4}}));
    EXPECT_EQ(Contents(list),
              (std::vector<std::pair<int, Item>>{{0, 100}, {1, 102}, {2, 103}, {3, 104}}));
    EXPECT_EQ(list.HighBound(), 3);
    EXPECT_TRUE(list.freed.empty());  // Delete does not free
}

TEST(SparseList, InsertShiftsUpAndNotifiesTwice) {
    RecordingList list;
    for (int i = 0; i < 5; ++i)
        list.Put(i, 100 + i);
    list.Insert(2, 7);
    EXPECT_EQ(Contents(list), (std::vector<std::pair<int, Item>>{
                                  {0, 100}, {1, 101}, {2, 7}, {3, 102}, {4, 103}, {5, 104}}));
    EXPECT_EQ(list.changes, (std::vector<std::pair<int, int>>{{3, 5}, {2, 2}}));
    EXPECT_EQ(list.HighBound(), 5);
    // Across a section boundary and into a missing section.
    list.Insert(0, 0);
    EXPECT_EQ(list.Get(6), 104);
    EXPECT_EQ(list.Get(0), 0);
    EXPECT_EQ(list.HighBound(), 6);
}

TEST(SparseList, InsertThatWouldPushTheTopItemOutOfRangeChangesNothing) {
    TKtSparseList list;
    list.Put(65535, 1);
    list.Put(10, 2);
    EXPECT_THROW(list.Insert(3, 5), ERangeError);
    EXPECT_EQ(list.Get(65535), 1);
    EXPECT_EQ(list.Get(10), 2);
    EXPECT_EQ(list.Get(3), 0);
    EXPECT_EQ(list.HighBound(), 65535);
    list.Delete(0);  // the bulk flag was restored: deleting still rescans
    EXPECT_EQ(list.HighBound(), 65534);
}

TEST(SparseList, MoveTakesTheItemAlong) {
    TKtSparseList list;
    for (int i = 0; i < 4; ++i)
        list.Put(i, 10 + i);
    list.Move(0, 3);
    EXPECT_EQ(Contents(list),
              (std::vector<std::pair<int, Item>>{{0, 11}, {1, 12}, {2, 13}, {3, 10}}));
    list.Move(3, 0);
    EXPECT_EQ(list.Get(0), 10);
    EXPECT_EQ(list.Get(3), 13);
    // Moving an empty slot from far below into the items opens a gap.
    list.Move(100, 1);
    EXPECT_EQ(Contents(list),
              (std::vector<std::pair<int, Item>>{{0, 10}, {2, 11}, {3, 12}, {4, 13}}));
}

TEST(SparseList, ShiftItemsFreesRemovedItemsAndOpensGaps) {
    RecordingList list;
    for (int i = 0; i < 6; ++i)
        list.Put(i, 100 + i);
    list.ShiftItems(1, -2);
    EXPECT_EQ(list.freed, (std::vector<Item>{102, 101}));  // from the top down
    EXPECT_EQ(Contents(list),
              (std::vector<std::pair<int, Item>>{{0, 100}, {1, 103}, {2, 104}, {3, 105}}));
    ASSERT_FALSE(list.changes.empty());
    EXPECT_EQ(list.changes.back(), std::make_pair(1, 5));
    list.ShiftItems(1, 3);
    EXPECT_EQ(Contents(list),
              (std::vector<std::pair<int, Item>>{{0, 100}, {4, 103}, {5, 104}, {6, 105}}));
    EXPECT_EQ(list.HighBound(), 6);
    // Removing more than exists stops at HighBound.
    list.freed.clear();
    list.ShiftItems(5, -1000);
    EXPECT_EQ(list.freed, (std::vector<Item>{105, 104}));
    EXPECT_EQ(list.HighBound(), 4);
}

TEST(SparseList, SetCountFreesFromTheTopDownAndKeepsTheCount) {
    RecordingList list;
    for (int i : {1, 5, 9, 20})
        list.Put(i, i);
    list.SetCount(6);
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(list.freed, (std::vector<Item>{20, 9}));
    EXPECT_EQ(list.HighBound(), 5);
    list.Put(30, 30);  // Count does not limit Put
    EXPECT_EQ(list.Get(30), 30);
}

TEST(SparseList, SuppressFlagKeepsHighBoundUntilRescan) {
    TKtSparseList list;
    list.Put(2, 1);
    list.Put(9, 1);
    list.SetSuppressHighBound(true);
    list.Put(9, 0);
    EXPECT_EQ(list.HighBound(), 9);
    EXPECT_TRUE(list.Dirty());
    list.RecomputeHighBound();
    EXPECT_EQ(list.HighBound(), 2);
}

TEST(SparseList, StreamRoundTripKeepsItemsCountAndQuantum) {
    TIntegerSList list;
    ASSERT_TRUE(list.SetQuantum(1));
    list.Put(3, -7);
    list.Put(700, 123456);
    list.SetCount(900);
    TMemoryStream out;
    list.SaveToStream(out);
    // quantum, Count, section count, then two sections of 256 slots.
    EXPECT_EQ(out.Bytes().size(), 1u + 4 + 4 + 2 * (4 + 256 * 4));
    EXPECT_EQ(out.Bytes()[0], 1);

    TIntegerSList back;
    back.Put(5, 5);  // cleared by loading
    TMemoryStream in(out.Bytes());
    back.LoadFromStream(in);
    EXPECT_EQ(back.Quantum(), 1);
    EXPECT_EQ(back.Count(), 900);
    EXPECT_EQ(back.Get(3), -7);
    EXPECT_EQ(back.Get(700), 123456);
    EXPECT_EQ(back.Get(5), 0);
    EXPECT_EQ(back.HighBound(), 700);
}

TEST(SparseList, DamagedStreamsRaiseReadErrors) {
    TIntegerSList list;
    list.Put(1, 1);
    TMemoryStream good;
    list.SaveToStream(good);
    const auto& bytes = good.Bytes();
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        TIntegerSList back;
        TMemoryStream in(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
        EXPECT_THROW(back.LoadFromStream(in), EReadError) << cut;
        EXPECT_LE(back.HighBound(), 1);
    }
    std::vector<uint8_t> badQuantum = bytes;
    badQuantum[0] = 2;
    TMemoryStream q(badQuantum);
    EXPECT_THROW(list.LoadFromStream(q), EReadError);
    std::vector<uint8_t> badSection = bytes;
    badSection[9] = 0xFF;  // directory index 0x..FF beyond 4095
    badSection[10] = 0xFF;
    TMemoryStream s(badSection);
    EXPECT_THROW(list.LoadFromStream(s), EReadError);
}

TEST(SparseList, ObjectListsOwnTheirItems) {
    Counted::alive = 0;
    {
        TObjectSList<Counted> list;
        list.Put(0, new Counted(0));
        list.Put(20, new Counted(20));
        list.Put(21, new Counted(21));
        list.ShiftItems(20, -1);
        EXPECT_EQ(Counted::alive, 2);
        EXPECT_EQ(list.Get(20)->value, 21);
        Counted* taken = list.Take(0);
        EXPECT_EQ(list.Get(0), nullptr);
        delete taken;
        list.Put(3, new Counted(3));
        list.Clear();
        EXPECT_EQ(Counted::alive, 0);
        EXPECT_EQ(list.HighBound(), -1);
        list.Put(1, new Counted(1));
    }
    EXPECT_EQ(Counted::alive, 0);  // destroyed with the list
    TObjectSList<Counted> objects;
    TMemoryStream stream;
    EXPECT_THROW(objects.SaveToStream(stream), EStreamError);
    EXPECT_THROW(objects.LoadFromStream(stream), EStreamError);
}

TEST(SparseList, ListOfListsStreamsOnlyChildrenWithItems) {
    TListSList<TIntegerSList> rows;
    rows.GetOrCreateList(2)->Put(4, 42);
    rows.GetOrCreateList(5);  // empty child: not written
    rows.GetOrCreateList(9)->Put(0, -1);
    TMemoryStream out;
    rows.SaveToStream(out);
    TListSList<TIntegerSList> back;
    TMemoryStream in(out.Bytes());
    back.LoadFromStream(in);
    EXPECT_EQ(back.Get(2)->Get(4), 42);
    EXPECT_EQ(back.Get(9)->Get(0), -1);
    EXPECT_EQ(back.Get(5), nullptr);
    EXPECT_EQ(back.HighBound(), 9);
}

TEST(StringSList, MissingReadsEmptyAndWritingCreatesRecords) {
    TStringSList list;
    EXPECT_EQ(list.Get(3), u"");
    EXPECT_EQ(list.Find(3), nullptr);
    list.Put(3, u"");
    ASSERT_NE(list.Find(3), nullptr);
    EXPECT_EQ(list.HighBound(), 3);
    list.Put(3, u"三");
    list.Put(70000 - 5000, u"far");
    EXPECT_EQ(list.Get(3), u"三");
    list.ShiftItems(0, -1);
    EXPECT_EQ(list.Get(2), u"三");
    TMemoryStream out;
    list.SaveToStream(out);
    TStringSList back;
    TMemoryStream in(out.Bytes());
    back.LoadFromStream(in);
    EXPECT_EQ(back.Get(2), u"三");
    EXPECT_EQ(back.Get(64999), u"far");
    // A length that claims more than the stream holds is refused up front.
    std::vector<uint8_t> bad = out.Bytes();
    bad[12] = 0xFF;  // length of the first string
    bad[13] = 0xFF;
    bad[14] = 0xFF;
    bad[15] = 0x7F;
    TMemoryStream badIn(bad);
    EXPECT_THROW(back.LoadFromStream(badIn), EReadError);
}

TEST(Sizes, StoredRelativeToTheDefault) {
    TSizes widths(73);
    EXPECT_EQ(widths.Get(10), 73);
    widths.SetSize(1, 120);
    widths.SetSize(2, 0);
    widths.SetSize(3, 73);  // the default takes no entry
    EXPECT_EQ(widths.HighBound(), 2);
    EXPECT_EQ(widths.Get(1), 120);
    EXPECT_EQ(widths.Get(2), 0);
}

TEST(Sizes, NewDefaultResetsOwnSizesButKeepsHiddenOnes) {
    TSizes widths(73);
    widths.SetSize(1, 120);
    widths.SetSize(2, 0);
    widths.SetDefaultSize(100);
    EXPECT_EQ(widths.Get(0), 100);
    EXPECT_EQ(widths.Get(1), 100);
    EXPECT_EQ(widths.Get(2), 0);
    widths.SetDefaultSize(0);  // below 1: ignored
    EXPECT_EQ(widths.DefaultSize(), 100);
}

TEST(Sizes, SumRangeAndIndexAtOffset) {
    TSizes sizes(10);
    sizes.SetSize(2, 30);
    sizes.SetSize(3, 0);
    EXPECT_EQ(sizes.SumRange(0, 5), 10 + 10 + 30 + 0 + 10);
    EXPECT_EQ(sizes.SumRange(5, 0), -60);
    EXPECT_EQ(sizes.SumRange(4, 4), 0);
    EXPECT_EQ(sizes.SumRange(0, 1000000), 10LL * 1000000 + 20 - 10);

    // Starts: 0:0, 1:10, 2:20, 3:50 (hidden), 4:50, 5:60 ...
    int32_t offset = 35;
    EXPECT_EQ(sizes.IndexAtOffset(0, offset, 0), 2);
    EXPECT_EQ(offset, 20);
    offset = 50;
    EXPECT_EQ(sizes.IndexAtOffset(0, offset, 0), 4);  // the hidden index has no span
    EXPECT_EQ(offset, 50);
    offset = 1000005;  // far beyond the stored sizes: no step-by-step walk
    int idx = sizes.IndexAtOffset(0, offset, 0);
    EXPECT_EQ(idx, 99999);
    EXPECT_EQ(offset, 1000000);
    // Backward: the first index starting at or after the offset.
    offset = 15;
    EXPECT_EQ(sizes.IndexAtOffset(5, offset, 60), 2);
    EXPECT_EQ(offset, 20);
    offset = -100;
    EXPECT_EQ(sizes.IndexAtOffset(5, offset, 60), 0);
    EXPECT_EQ(offset, 0);
}

TEST(ObjectList, DenseListOwnsAndNotifies) {
    struct Recording : TKtObjectList<Counted> {
        std::vector<std::pair<int, int>> changes;
        void Changed(int a, int b) override { changes.emplace_back(a, b); }
    };
    Counted::alive = 0;
    {
        Recording list;
        EXPECT_EQ(list.Get(3), nullptr);
        list.Put(2, new Counted(2));  // pads with nil
        EXPECT_EQ(list.Length(), 3);
        list.Insert(0, new Counted(0));
        EXPECT_EQ(list.changes.back(), std::make_pair(0, 3));
        EXPECT_EQ(list.Get(3)->value, 2);
        list.InsertEmpty(6, 2);  // beyond the end: padded, then inserted
        EXPECT_EQ(list.Length(), 8);
        list.Exchange(3, 10);
        EXPECT_EQ(list.Get(10)->value, 2);
        EXPECT_EQ(list.Length(), 11);
        list.Move(10, 1);
        EXPECT_EQ(list.Get(1)->value, 2);
        EXPECT_EQ(list.changes.back(), std::make_pair(1, 10));
        EXPECT_EQ(list.NextUsed(-5), 0);
        EXPECT_EQ(list.NextUsed(1), 1);
        EXPECT_EQ(list.NextUsed(2), -1);  // nil slots up to the end
        list.Move(50, 0);  // nil from beyond the end: a nil slot at 0
        EXPECT_EQ(list.Get(0), nullptr);
        EXPECT_EQ(list.Get(1)->value, 0);
        list.Delete(1, 100);  // count cut to the array, items freed
        EXPECT_EQ(Counted::alive, 0);
        EXPECT_EQ(list.Length(), 1);
        list.Put(0, new Counted(5));
        list.Put(1, new Counted(6));
        list.Put(0, new Counted(7));  // replacing frees the old item
        EXPECT_EQ(Counted::alive, 2);
    }
    EXPECT_EQ(Counted::alive, 0);  // destruction frees all, the last included
}

TEST(TextMatrix, CountsGrowWithTextsAndClearResets) {
    TKwSheet sheet;
    sheet.SetText(2, 4, u"x");
    sheet.SetText(0, 1, u"y");
    EXPECT_EQ(sheet.ColCount(), 3);
    EXPECT_EQ(sheet.RowCount(), 5);
    EXPECT_EQ(sheet.GetText(2, 4), u"x");
    EXPECT_EQ(sheet.GetText(9, 9), u"");
    sheet.SetRowCount(20);
    sheet.FitRowCount();
    EXPECT_EQ(sheet.RowCount(), 5);
    EXPECT_THROW(sheet.SetText(70000, 8, u"z"), ERangeError);
    EXPECT_EQ(sheet.Get(8), nullptr);
    sheet.Clear();
    EXPECT_EQ(sheet.ColCount(), 0);
    EXPECT_EQ(sheet.RowCount(), 0);
    EXPECT_EQ(sheet.GetText(2, 4), u"");
}

TEST(NameObjects, NamesIgnoreCaseAndOwnTheirObjects) {
    struct Tracked : TKtObject {
        int* alive;
        explicit Tracked(int* a) : alive(a) { ++*alive; }
        ~Tracked() override { --*alive; }
    };
    int alive = 0;
    TKtNameObjects names;
    auto* first = names.Put(u"Total", std::make_unique<Tracked>(&alive));
    EXPECT_EQ(names.Find(u"TOTAL"), first);
    names.Put(u"total", std::make_unique<Tracked>(&alive));  // replaces and frees
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(names.Count(), 1);
    names.Put(u"Other", std::make_unique<Tracked>(&alive));
    EXPECT_TRUE(names.Remove(u"OTHER"));
    EXPECT_FALSE(names.Remove(u"other"));
    names.Clear();
    EXPECT_EQ(alive, 0);
}
