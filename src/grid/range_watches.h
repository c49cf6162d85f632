// Ranges that formula values watch: a value that refers to a rectangle is
// linked to every cell created inside it later. Look-ups by position are
// indexed by bands of 64 rows, so creating a cell costs only the watches of
// its band (plus those spanning more than 16,384 rows), not all of them.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "grid/grid_types.h"

namespace plu {

class TKtValue;

class TKtRangeWatches {
  public:
    // value watches rect (half-open; clipped to non-negative positions).
    void Add(TKtValue& value, const TRect& rect);
    // Forgets every watch of value.
    void RemoveAll(const TKtValue& value);
    void Clear();
    bool Empty() const { return byValue_.empty(); }
    // Structural followers: watched rectangles move and grow or shrink with
    // inserted and deleted rows and columns as merged areas do; a rectangle
    // deleted entirely stops being watched.
    void InsertRows(int row, int count);
    void DeleteRows(int row, int count);
    void InsertCols(int col, int count);
    void DeleteCols(int col, int count);

    // Calls f(value) for every value watching (col, row).
    template <typename F>
    void ForEachAt(int col, int row, F&& f) const {
        if (byValue_.empty() || row < 0) return;
        const size_t band = static_cast<size_t>(row) >> kBandShift;
        if (band < bands_.size())
            for (uint32_t id : bands_[band])
                Visit(id, col, row, f);
        for (uint32_t id : wide_)
            Visit(id, col, row, f);
    }

  private:
    static constexpr int kBandShift = 6;  // 64 rows a band
    static constexpr int kMaxBandedRows = 16384;

    struct Watch {
        TKtValue* value;
        TRect rect;
        bool alive;
    };
    template <typename F>
    void Visit(uint32_t id, int col, int row, F& f) const {
        const Watch& w = watches_[id];
        if (w.alive && w.rect.Contains(col, row)) f(*w.value);
    }
    void Index(uint32_t id);
    void Compact();
    template <typename F>
    void Reshape(F&& change);

    std::vector<Watch> watches_;
    std::vector<std::vector<uint32_t>> bands_;
    std::vector<uint32_t> wide_;
    std::unordered_map<const TKtValue*, std::vector<uint32_t>> byValue_;
    size_t dead_ = 0;
};

}  // namespace plu
