// The positions of one grid that formula cells watch: every cell and range a
// formula refers to, by position, so that a change at a position finds the
// formulas to recalculate, whether the cell there existed when the formula
// was entered or was created later.
//
// Layout and cost: single positions live in a hash table (one look-up per
// query). Ranges live in buckets of a four-level grid of row bands and
// column bands (64 x 16, 1,024 x 64, 16,384 x 1,024 cells, and the whole
// sheet); a range is filed at the finest level where it touches at most
// eight buckets, so a query reads one bucket per level that holds ranges at
// all, and each bucket mostly holds ranges of about its own size.
// Removing a watch marks it and drops it from its buckets in bulk once half
// of a bucket is dead, so adding and removing are amortised O(1) per bucket.
// A query visits each matching watch once, in no particular order.
#pragma once

#include <array>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "grid/grid_types.h"

namespace plu {

class TKtCell;
// The registration a watch belongs to (see dependencies.h); carried along so
// that a query needs no further look-up.
struct TKtWatcherRecord;

class TKtRangeWatches {
  public:
    // Names one watch; stale once the watch is removed.
    struct Handle {
        uint32_t Id = 0;
        uint32_t Gen = 0;
    };

    // watcher watches rect (half-open, clipped to non-negative positions);
    // an empty rectangle is not watched (the handle then names nothing).
    // record is handed back with every match; it must outlive the watch.
    Handle Add(TKtCell& watcher, const TRect& rect, TKtWatcherRecord* record = nullptr);
    // Nothing for a stale handle.
    void Remove(Handle handle);
    void Clear();
    bool Empty() const { return alive_ == 0; }
    size_t Count() const { return alive_; }

    // Calls f(watcher, record) for every watch containing (col, row).
    template <typename F>
    void ForEachWatcherAt(int col, int row, F&& f) const {
        if (alive_ == 0 || col < 0 || row < 0) return;
        if (!points_.empty()) {
            auto it = points_.find(PointKey(col, row));
            if (it != points_.end())
                for (const Ref& ref : it->second.Refs)
                    if (const Entry* e = Live(ref)) f(*e->Watcher, e->Record);
        }
        for (int level = 0; level < kLevels; ++level) {
            if (rangesAt_[static_cast<size_t>(level)] == 0) continue;
            auto it =
                ranges_.find(RangeKey(level, col >> kColShift[level], row >> kRowShift[level]));
            if (it == ranges_.end()) continue;
            for (const Ref& ref : it->second.Refs)
                if (const Entry* e = Live(ref); e && e->Rect.Contains(col, row))
                    f(*e->Watcher, e->Record);
        }
    }
    // Calls f(watcher) for every watch containing (col, row).
    template <typename F>
    void ForEachAt(int col, int row, F&& f) const {
        ForEachWatcherAt(col, row, [&f](TKtCell& watcher, TKtWatcherRecord*) { f(watcher); });
    }
    // Whether any watch contains (col, row).
    bool Watched(int col, int row) const {
        bool found = false;
        ForEachAt(col, row, [&found](TKtCell&) { found = true; });
        return found;
    }
    // Calls f(watcher, rect) for every watch (in no particular order).
    template <typename F>
    void ForEachWatch(F&& f) const {
        for (const Entry& e : entries_)
            if (e.Alive) f(*e.Watcher, e.Rect);
    }

  private:
    static constexpr int kLevels = 4;
    static constexpr std::array<int, kLevels> kRowShift{6, 10, 14, 30};
    static constexpr std::array<int, kLevels> kColShift{4, 6, 10, 30};
    static constexpr int kMaxBuckets = 8;

    struct Entry {
        TKtCell* Watcher = nullptr;
        TKtWatcherRecord* Record = nullptr;
        TRect Rect;
        uint32_t Gen = 0;
        int8_t Level = -1;  // -1: a single position
        bool Alive = false;
    };
    struct Ref {
        uint32_t Id;
        uint32_t Gen;
    };
    struct Bucket {
        std::vector<Ref> Refs;
        uint32_t Dead = 0;
    };

    static uint64_t PointKey(int col, int row) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(row)) << 32) |
               static_cast<uint32_t>(col);
    }
    static uint64_t RangeKey(int level, int colBand, int rowBand) {
        return (static_cast<uint64_t>(level) << 62) |
               (static_cast<uint64_t>(static_cast<uint32_t>(rowBand)) << 24) |
               static_cast<uint32_t>(colBand);
    }
    const Entry* Live(const Ref& ref) const {
        const Entry& e = entries_[ref.Id];
        return e.Alive && e.Gen == ref.Gen ? &e : nullptr;
    }
    static int LevelFor(const TRect& r);
    template <typename F>
    static void ForEachBucketKey(const TRect& r, int level, F&& f);
    void Drop(std::unordered_map<uint64_t, Bucket>& map, uint64_t key);

    std::vector<Entry> entries_;
    std::vector<uint32_t> free_;
    std::unordered_map<uint64_t, Bucket> points_;
    std::unordered_map<uint64_t, Bucket> ranges_;
    std::array<size_t, kLevels> rangesAt_{};
    size_t alive_ = 0;
};

}  // namespace plu
