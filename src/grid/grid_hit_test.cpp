#include "grid/grid_hit_test.h"

#include <algorithm>
#include <cstdlib>

#include "grid/custom_grid.h"
#include "grid/grid_selection.h"

namespace plu {

namespace {

// One axis of the grid as the screen shows it: the fixed and frozen indices
// from 0, then the scrolled ones from the scroll position.
struct Axis {
    int count;     // ColCount / RowCount
    int fixed;     // FixedColCount / FixedRowCount
    int lock;      // ViewLockCol / ViewLockRow
    int first;     // LeftCol / TopRow
    int client;    // ClientWidth / ClientHeight
    bool columns;  // sizes are widths

    static Axis Cols(const TKtCustomGrid& g) {
        return {g.ColCount(), g.FixedColCount(), g.ViewLockCol(),
                g.LeftCol(),  g.ClientWidth(),   true};
    }
    static Axis Rows(const TKtCustomGrid& g) {
        return {g.RowCount(), g.FixedRowCount(), g.ViewLockRow(),
                g.TopRow(),   g.ClientHeight(),  false};
    }
};

int SizeOf(const TKtCustomGrid& g, const Axis& a, int i) {
    return a.columns ? g.ColWidths(i) : g.RowHeights(i);
}

// Calls f(index, start, size) for every index shown, in screen order, until
// f answers true or the scrolled part passes limit.
template <typename F>
void ForShown(const TKtCustomGrid& g, const Axis& a, int limit, F f) {
    int64_t pos = 0;
    const int lock = std::min(a.lock, a.count);
    for (int i = 0; i < lock; ++i) {
        const int size = SizeOf(g, a, i);
        if (f(i, pos, size)) return;
        pos += size;
    }
    for (int i = std::max(a.first, lock); i < a.count && pos <= limit; ++i) {
        const int size = SizeOf(g, a, i);
        if (f(i, pos, size)) return;
        pos += size;
    }
}

int IndexAt(const TKtCustomGrid& g, const Axis& a, int p) {
    if (p < 0) return -1;
    int found = -1;
    ForShown(g, a, p, [&](int i, int64_t start, int size) {
        if (size > 0 && p >= start && p < start + size) {
            found = i;
            return true;
        }
        return false;
    });
    return found;
}

int64_t SumSizes(const TKtCustomGrid& g, const Axis& a, int from, int to) {
    return a.columns ? g.ColWidthList().SumRange(from, to) : g.RowHeightList().SumRange(from, to);
}

// The index whose far border lies within kSizingMargin of p, -1 when none.
int BorderAt(const TKtCustomGrid& g, const Axis& a, int p) {
    int best = -1;
    int bestDistance = kSizingMargin + 1;
    ForShown(g, a, p + kSizingMargin, [&](int i, int64_t start, int size) {
        const int64_t end = start + size;
        const int distance = static_cast<int>(std::min<int64_t>(std::llabs(p - end), INT32_MAX));
        // A hidden index shares the border of the one before it: it takes
        // the border only when the point lies beyond it.
        if (distance < bestDistance || (distance == bestDistance && best >= 0 && p > end)) {
            best = i;
            bestDistance = distance;
        }
        return false;
    });
    return bestDistance <= kSizingMargin ? best : -1;
}

// The end of the last index shown (the client size when the indices go on).
int ShownEnd(const TKtCustomGrid& g, const Axis& a) {
    int64_t end = 0;
    ForShown(g, a, a.client, [&](int, int64_t start, int size) {
        end = start + size;
        return end >= a.client;
    });
    return static_cast<int>(std::min<int64_t>(end, a.client));
}

// The last index shown whole, -1 when none.
int LastWhole(const TKtCustomGrid& g, const Axis& a) {
    int last = -1;
    ForShown(g, a, a.client, [&](int i, int64_t start, int size) {
        if (start + size > a.client) return true;
        if (size > 0) last = i;
        return false;
    });
    return last;
}

int BodyIndexNear(const TKtCustomGrid& g, const Axis& a, int p, int fallback) {
    // Beyond the client area a drag aims at the last index shown whole:
    // one shown in part would scroll into view at once, and the drag would
    // run ahead of the auto-scroll steps.
    if (p >= a.client) {
        const int whole = LastWhole(g, a);
        if (whole >= a.fixed) return whole;
    }
    const int lo = static_cast<int>(SumSizes(g, a, 0, a.fixed));
    const int hi = ShownEnd(g, a) - 1;
    if (hi < lo) return fallback;
    const int i = IndexAt(g, a, std::clamp(p, lo, hi));
    return i >= a.fixed ? i : fallback;
}

}  // namespace

int ColumnAtPixel(const TKtCustomGrid& grid, int x) {
    return IndexAt(grid, Axis::Cols(grid), x);
}

int RowAtPixel(const TKtCustomGrid& grid, int y) {
    return IndexAt(grid, Axis::Rows(grid), y);
}

bool CellAtPixel(const TKtCustomGrid& grid, int x, int y, TPoint& cell) {
    const int col = ColumnAtPixel(grid, x);
    const int row = RowAtPixel(grid, y);
    if (col < 0 || row < 0) return false;
    cell = grid.MergedAreas().SnapToAnchor({col, row});
    return true;
}

TPoint BodyCellNear(const TKtCustomGrid& grid, int x, int y) {
    const TPoint current = grid.Selection().Current();
    return {BodyIndexNear(grid, Axis::Cols(grid), x, current.X),
            BodyIndexNear(grid, Axis::Rows(grid), y, current.Y)};
}

int ScrolledAreaLeft(const TKtCustomGrid& grid) {
    return static_cast<int>(grid.ColWidthList().SumRange(0, grid.ViewLockCol()));
}

int ScrolledAreaTop(const TKtCustomGrid& grid) {
    return static_cast<int>(grid.RowHeightList().SumRange(0, grid.ViewLockRow()));
}

int FixedAreaRight(const TKtCustomGrid& grid) {
    return static_cast<int>(grid.ColWidthList().SumRange(0, grid.FixedColCount()));
}

int FixedAreaBottom(const TKtCustomGrid& grid) {
    return static_cast<int>(grid.RowHeightList().SumRange(0, grid.FixedRowCount()));
}

TRect VisibleCellRect(const TKtCustomGrid& grid, int col, int row) {
    const TRect span = grid.CellSpanRect(col, row);
    TRect px = grid.CellsToPixels(span);
    // What lies behind the fixed and frozen parts is not shown.
    if (span.Left >= grid.ViewLockCol())
        px.Left = std::max(px.Left, ScrolledAreaLeft(grid));
    else if (span.Left >= grid.FixedColCount())
        px.Left = std::max(px.Left, FixedAreaRight(grid));
    if (span.Top >= grid.ViewLockRow())
        px.Top = std::max(px.Top, ScrolledAreaTop(grid));
    else if (span.Top >= grid.FixedRowCount())
        px.Top = std::max(px.Top, FixedAreaBottom(grid));
    px = px.Intersect({0, 0, grid.ClientWidth(), grid.ClientHeight()});
    return px.IsEmpty() ? TRect{} : px;
}

TKtGridHit HitTestGrid(const TKtCustomGrid& grid, int x, int y) {
    if (x < 0 || y < 0 || x >= grid.ClientWidth() || y >= grid.ClientHeight()) return {};
    const bool inHeaderRows = y < FixedAreaBottom(grid);
    const bool inHeaderCols = x < FixedAreaRight(grid);
    if (inHeaderRows && !inHeaderCols && grid.HasOption(TGridOption::goColSizing)) {
        const int col = BorderAt(grid, Axis::Cols(grid), x);
        if (col >= 0) return {TKtHitKind::ColBorder, col, RowAtPixel(grid, y)};
    }
    if (inHeaderCols && !inHeaderRows && grid.HasOption(TGridOption::goRowSizing)) {
        const int row = BorderAt(grid, Axis::Rows(grid), y);
        if (row >= 0) return {TKtHitKind::RowBorder, ColumnAtPixel(grid, x), row};
    }
    const int col = ColumnAtPixel(grid, x);
    const int row = RowAtPixel(grid, y);
    if (col < 0 || row < 0) return {};
    const bool fixedRow = row < grid.FixedRowCount();
    const bool fixedCol = col < grid.FixedColCount();
    if (fixedRow && fixedCol) return {TKtHitKind::Corner, col, row};
    if (fixedRow) return {TKtHitKind::ColHeader, col, row};
    if (fixedCol) return {TKtHitKind::RowHeader, col, row};
    const TKtGridSelection& sel = grid.Selection();
    if (!sel.DisableDrag && !sel.HideBorder && sel.ShowFrame) {
        const int part = sel.HitTest(x, y);
        if (part == 2 && sel.ShowFillHandle) return {TKtHitKind::FillHandle, col, row};
        if (part != 0) return {TKtHitKind::Frame, col, row};
    }
    const TPoint anchor = grid.MergedAreas().SnapToAnchor({col, row});
    return {TKtHitKind::Cell, anchor.X, anchor.Y};
}

}  // namespace plu
