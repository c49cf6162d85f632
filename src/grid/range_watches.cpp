#include "grid/range_watches.h"

#include <algorithm>

namespace plu {

void TKtRangeWatches::Add(TKtValue& value, const TRect& rect) {
    TRect r{std::max(rect.Left, 0), std::max(rect.Top, 0), rect.Right, rect.Bottom};
    if (r.IsEmpty()) return;
    const auto id = static_cast<uint32_t>(watches_.size());
    watches_.push_back({&value, r, true});
    byValue_[&value].push_back(id);
    Index(id);
}

void TKtRangeWatches::Index(uint32_t id) {
    const TRect& r = watches_[id].rect;
    if (r.Height() > kMaxBandedRows) {
        wide_.push_back(id);
        return;
    }
    const size_t first = static_cast<size_t>(r.Top) >> kBandShift;
    const size_t last = static_cast<size_t>(r.Bottom - 1) >> kBandShift;
    if (bands_.size() <= last) bands_.resize(last + 1);
    for (size_t b = first; b <= last; ++b)
        bands_[b].push_back(id);
}

void TKtRangeWatches::RemoveAll(const TKtValue& value) {
    auto it = byValue_.find(&value);
    if (it == byValue_.end()) return;
    for (uint32_t id : it->second)
        watches_[id].alive = false;
    dead_ += it->second.size();
    byValue_.erase(it);
    if (dead_ > 64 && dead_ * 2 > watches_.size()) Compact();
}

void TKtRangeWatches::Compact() {
    std::vector<Watch> alive;
    alive.reserve(watches_.size() - dead_);
    for (const Watch& w : watches_)
        if (w.alive) alive.push_back(w);
    watches_.swap(alive);
    bands_.clear();
    wide_.clear();
    byValue_.clear();
    dead_ = 0;
    for (uint32_t id = 0; id < watches_.size(); ++id) {
        byValue_[watches_[id].value].push_back(id);
        Index(id);
    }
}

template <typename F>
void TKtRangeWatches::Reshape(F&& change) {
    if (byValue_.empty()) return;
    for (Watch& w : watches_)
        if (w.alive && !change(w.rect)) {
            w.alive = false;
            ++dead_;
        }
    // Re-index everything (and drop what no longer covers anything).
    std::vector<Watch> alive;
    for (const Watch& w : watches_)
        if (w.alive) alive.push_back(w);
    watches_.swap(alive);
    bands_.clear();
    wide_.clear();
    byValue_.clear();
    dead_ = 0;
    for (uint32_t id = 0; id < watches_.size(); ++id) {
        byValue_[watches_[id].value].push_back(id);
        Index(id);
    }
}

namespace {

void InsertAlong(int& lo, int& hi, int i, int n) {
    if (lo >= i) {
        lo += n;
        hi += n;
    } else if (hi > i) {
        hi += n;
    }
}

// False when nothing of [lo, hi) is left.
bool DeleteAlong(int& lo, int& hi, int i, int n) {
    const int end = i + n;
    if (hi <= i) return true;
    if (lo >= end) {
        lo -= n;
        hi -= n;
        return true;
    }
    const int keptBefore = std::max(0, i - lo);
    const int keptAfter = std::max(0, hi - end);
    lo = std::min(lo, i);
    hi = lo + keptBefore + keptAfter;
    return hi > lo;
}

}  // namespace

void TKtRangeWatches::InsertRows(int row, int count) {
    if (count > 0)
        Reshape([&](TRect& r) {
            InsertAlong(r.Top, r.Bottom, row, count);
            return true;
        });
}

void TKtRangeWatches::DeleteRows(int row, int count) {
    if (count > 0) Reshape([&](TRect& r) { return DeleteAlong(r.Top, r.Bottom, row, count); });
}

void TKtRangeWatches::InsertCols(int col, int count) {
    if (count > 0)
        Reshape([&](TRect& r) {
            InsertAlong(r.Left, r.Right, col, count);
            return true;
        });
}

void TKtRangeWatches::DeleteCols(int col, int count) {
    if (count > 0) Reshape([&](TRect& r) { return DeleteAlong(r.Left, r.Right, col, count); });
}

void TKtRangeWatches::Clear() {
    watches_.clear();
    bands_.clear();
    wide_.clear();
    byValue_.clear();
    dead_ = 0;
}

}  // namespace plu
