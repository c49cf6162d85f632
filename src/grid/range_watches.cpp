#include "grid/range_watches.h"

#include <algorithm>

namespace plu {

int TKtRangeWatches::LevelFor(const TRect& r) {
    for (int level = 0; level < kLevels - 1; ++level) {
        const int rs = kRowShift[static_cast<size_t>(level)];
        const int cs = kColShift[static_cast<size_t>(level)];
        const int64_t rows = ((r.Bottom - 1) >> rs) - (r.Top >> rs) + 1;
        const int64_t cols = ((r.Right - 1) >> cs) - (r.Left >> cs) + 1;
        if (rows * cols <= kMaxBuckets) return level;
    }
    return kLevels - 1;
}

template <typename F>
void TKtRangeWatches::ForEachBucketKey(const TRect& r, int level, F&& f) {
    const int rs = kRowShift[static_cast<size_t>(level)];
    const int cs = kColShift[static_cast<size_t>(level)];
    for (int rb = r.Top >> rs; rb <= (r.Bottom - 1) >> rs; ++rb)
        for (int cb = r.Left >> cs; cb <= (r.Right - 1) >> cs; ++cb)
            f(RangeKey(level, cb, rb));
}

TKtRangeWatches::Handle TKtRangeWatches::Add(TKtCell& watcher, const TRect& rect,
                                             TKtWatcherRecord* record) {
    const TRect r{std::max(rect.Left, 0), std::max(rect.Top, 0), rect.Right, rect.Bottom};
    if (r.IsEmpty()) return {UINT32_MAX, 0};
    uint32_t id;
    if (!free_.empty()) {
        id = free_.back();
        free_.pop_back();
    } else {
        id = static_cast<uint32_t>(entries_.size());
        entries_.emplace_back();
    }
    Entry& e = entries_[id];
    e.Watcher = &watcher;
    e.Record = record;
    e.Rect = r;
    e.Alive = true;
    ++alive_;
    const Ref ref{id, e.Gen};
    if (r.Width() == 1 && r.Height() == 1) {
        e.Level = -1;
        points_[PointKey(r.Left, r.Top)].Refs.push_back(ref);
    } else {
        const int level = LevelFor(r);
        e.Level = static_cast<int8_t>(level);
        ++rangesAt_[static_cast<size_t>(level)];
        ForEachBucketKey(r, level, [&](uint64_t key) { ranges_[key].Refs.push_back(ref); });
    }
    return {id, e.Gen};
}

void TKtRangeWatches::Drop(std::unordered_map<uint64_t, Bucket>& map, uint64_t key) {
    auto it = map.find(key);
    if (it == map.end()) return;
    Bucket& b = it->second;
    ++b.Dead;
    if (b.Dead * 2 < b.Refs.size() && b.Refs.size() > 8) return;
    // Drop the dead references in one sweep (the entry being removed is
    // already marked dead).
    b.Refs.erase(
        std::remove_if(b.Refs.begin(), b.Refs.end(), [this](const Ref& ref) { return !Live(ref); }),
        b.Refs.end());
    b.Dead = 0;
    if (b.Refs.empty()) map.erase(it);
}

void TKtRangeWatches::Remove(Handle handle) {
    if (handle.Id >= entries_.size()) return;
    Entry& e = entries_[handle.Id];
    if (!e.Alive || e.Gen != handle.Gen) return;
    e.Alive = false;
    --alive_;
    // A new generation makes the references still sitting in buckets stale.
    ++e.Gen;
    const TRect r = e.Rect;
    if (e.Level < 0) {
        Drop(points_, PointKey(r.Left, r.Top));
    } else {
        --rangesAt_[static_cast<size_t>(e.Level)];
        ForEachBucketKey(r, e.Level, [&](uint64_t key) { Drop(ranges_, key); });
    }
    e.Watcher = nullptr;
    e.Record = nullptr;
    free_.push_back(handle.Id);
}

void TKtRangeWatches::Clear() {
    entries_.clear();
    free_.clear();
    points_.clear();
    ranges_.clear();
    rangesAt_.fill(0);
    alive_ = 0;
}

}  // namespace plu
