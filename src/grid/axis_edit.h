// A structural edit of one axis of a grid (rows or columns) as a map from
// the old index of a row (column) to its new one: inserting, deleting, or
// reordering a band (moving one row, exchanging two, sorting). Formula
// references, watched ranges and merged areas follow an edit by these rules:
//
// - a single position follows its row (column) wherever it goes and is gone
//   when its row (column) is deleted;
// - a span (inclusive lo ... hi) moves when inserted rows come at or before
//   its start, grows when they come inside it (not right after its end),
//   shrinks by the deleted rows it held and is gone when all of them were
//   deleted; under a reordering it moves only when all of its rows move by
//   the same distance (one row moving with its row, a block staying whole),
//   and otherwise stays where it was.
//
// Indices are whatever coordinates the edit was made in; ToData turns an
// edit in grid coordinates into the data coordinates formulas use (the
// first body row is 0), given the number of fixed rows (columns) before the
// edit: inserting or deleting inside the fixed area moves the body together
// with the fixed area, so body cells keep their data coordinates.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace plu {

enum class TKtAxisEditKind : uint8_t { Insert, Delete, Permute };

// What a span became.
enum class TKtSpanFate : uint8_t {
    Kept,   // the same indices (a reordering may have shuffled what lies inside)
    Moved,  // new bounds (moved, grown or shrunk)
    Torn,   // a reordering split it: some of its rows left, others came in
    Gone    // every index was deleted
};

class TKtAxisEdit {
  public:
    // MapIndex's answer for a deleted index.
    static constexpr int kGone = INT_MIN;

    // count rows (columns) inserted before index at.
    static TKtAxisEdit Insert(bool rows, int at, int count, int fixed = 0);
    // Indices at ... at + count - 1 deleted.
    static TKtAxisEdit Delete(bool rows, int at, int count, int fixed = 0);
    // Index first + i goes to newIndex[i]; newIndex is a permutation of
    // first ... first + newIndex.size() - 1.
    static TKtAxisEdit Permute(bool rows, int first, std::vector<int> newIndex, int fixed = 0);
    // from goes to to; the indices between close up behind it.
    static TKtAxisEdit Move(bool rows, int from, int to, int fixed = 0);
    // a and b change places.
    static TKtAxisEdit Exchange(bool rows, int a, int b, int fixed = 0);

    TKtAxisEditKind Kind() const { return kind_; }
    bool Rows() const { return rows_; }
    int At() const { return at_; }
    int Count() const { return count_; }
    // Fixed rows (columns) of the grid before the edit.
    int Fixed() const { return fixed_; }
    // Nothing moves.
    bool IsIdentity() const;

    // The same edit in data coordinates (see the header comment).
    TKtAxisEdit ToData() const;

    // The new index of i, kGone when it was deleted.
    int MapIndex(int i) const;
    // Moves lo ... hi (inclusive, lo <= hi) by the rules above. When
    // `exact` is false a reordering answers Torn for every span that does
    // not move whole, without telling it from Kept (no walk over the span).
    TKtSpanFate MapSpan(int& lo, int& hi, bool exact = true) const;

  private:
    TKtAxisEdit(TKtAxisEditKind kind, bool rows, int at, int count, int fixed)
        : kind_(kind), rows_(rows), at_(at), count_(count), fixed_(fixed) {}
    void Index();
    // Permute: how many band positions below k are followed by one that
    // does not continue them, and how many below k move at all.
    int Breaks(int a, int b) const {
        return breaks_[static_cast<size_t>(b)] - breaks_[static_cast<size_t>(a)];
    }
    int Movers(int a, int b) const {
        return movers_[static_cast<size_t>(b)] - movers_[static_cast<size_t>(a)];
    }

    TKtAxisEditKind kind_;
    bool rows_;
    int at_;
    int count_;
    int fixed_;
    std::vector<int> newIndex_;
    std::vector<int> breaks_;
    std::vector<int> movers_;
};

}  // namespace plu
