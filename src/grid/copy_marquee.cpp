#include "grid/copy_marquee.h"

#include <algorithm>
#include <map>

#include "grid/canvas.h"
#include "grid/custom_grid.h"
#include "grid/grid_selection.h"

namespace plu {

namespace {

constexpr int kDashStep = 10;
constexpr int kDashLength = 5;

// Cuts [first, end) of an axis to the visible cells: positions in the
// scrolled-out band [lock, firstScrolled) move to firstScrolled; the end is
// at most one past the last visible position.
void CutAxis(int& first, int& end, int lock, int firstScrolled, int lastVisible) {
    if (first >= lock && first < firstScrolled) first = firstScrolled;
    if (end > lock && end < firstScrolled) end = firstScrolled;
    end = std::min(end, lastVisible + 1);
}

// Dashes along a horizontal edge at y from x = start, ending at end.
void HorizontalDashes(std::vector<TRect>& out, int start, int end, int y) {
    for (int x = start; x < end; x += kDashStep) {
        out.push_back({x, y, std::min(x + kDashLength, end), y + 2});
        out.push_back({x + 1, y + 1, std::min(x + kDashLength + 1, end), y + 3});
    }
}

void VerticalDashes(std::vector<TRect>& out, int start, int end, int x) {
    for (int y = start; y < end; y += kDashStep) {
        out.push_back({x, y, x + 2, std::min(y + kDashLength, end)});
        out.push_back({x + 1, y + 1, x + 3, std::min(y + kDashLength + 1, end)});
    }
}

// The union of rects as disjoint rectangles (horizontal bands, runs merged),
// so that inverting each once inverts every covered pixel exactly once.
std::vector<TRect> DisjointUnion(const std::vector<TRect>& rects) {
    std::vector<int> ys;
    for (const TRect& r : rects) {
        if (r.IsEmpty()) continue;
        ys.push_back(r.Top);
        ys.push_back(r.Bottom);
    }
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    std::vector<TRect> out;
    std::vector<std::pair<int, int>> runs;
    for (size_t i = 0; i + 1 < ys.size(); ++i) {
        const int top = ys[i], bottom = ys[i + 1];
        runs.clear();
        for (const TRect& r : rects)
            if (!r.IsEmpty() && r.Top <= top && r.Bottom >= bottom) runs.push_back({r.Left, r.Right});
        std::sort(runs.begin(), runs.end());
        for (size_t k = 0; k < runs.size();) {
            int left = runs[k].first, right = runs[k].second;
            for (++k; k < runs.size() && runs[k].first <= right; ++k)
                right = std::max(right, runs[k].second);
            out.push_back({left, top, right, bottom});
        }
    }
    return out;
}

}  // namespace

TRect CopyMarqueeFrame(const TKtCustomGrid& grid, const TRect& cells) {
    if (cells.IsEmpty()) return {};
    TRect visible = cells;
    CutAxis(visible.Top, visible.Bottom, grid.ViewLockRow(), grid.TopRow(), grid.LastVisibleRow());
    CutAxis(visible.Left, visible.Right, grid.ViewLockCol(), grid.LeftCol(), grid.LastVisibleCol());
    if (visible.IsEmpty()) return {};
    TRect pixels = grid.CellsToPixels(visible);
    --pixels.Right;
    --pixels.Bottom;
    return pixels.IsEmpty() ? TRect{} : pixels;
}

std::vector<TRect> CopyMarqueeDashes(const TKtCustomGrid& grid, const TRect& cells, int phase) {
    const TRect f = CopyMarqueeFrame(grid, cells);
    if (f.IsEmpty()) return {};
    // The bottom and right strokes lie inside the frame: their outer stroke
    // ends on its last pixel.
    const int bottomY = f.Bottom - 2;
    const int rightX = f.Right - 2;
    const bool a = (phase & 1) == 0;
    std::vector<TRect> dashes;
    HorizontalDashes(dashes, a ? f.Left : f.Left + kDashLength, f.Right, f.Top);
    HorizontalDashes(dashes, a ? f.Left + kDashLength : f.Left, f.Right, bottomY);
    VerticalDashes(dashes, a ? f.Top + kDashLength : f.Top, f.Bottom, f.Left);
    VerticalDashes(dashes, a ? f.Top : f.Top + kDashLength, f.Bottom, rightX);
    return DisjointUnion(dashes);
}

std::vector<TRect> CopyMarqueeStrips(const TKtCustomGrid& grid, const TRect& cells) {
    const TRect f = CopyMarqueeFrame(grid, cells);
    if (f.IsEmpty()) return {};
    return {{f.Left, f.Top, f.Right + 1, f.Top + 4},
            {f.Left, f.Bottom - 3, f.Right + 1, f.Bottom + 1},
            {f.Left, f.Top, f.Left + 4, f.Bottom + 1},
            {f.Right - 3, f.Top, f.Right + 1, f.Bottom + 1}};
}

void DrawCopyMarquee(const TKtCustomGrid& grid, IKtCanvas& canvas, int phase) {
    const TRect& copied = grid.Selection().CopiedRect();
    if (copied.IsEmpty()) return;
    for (const TRect& dash : CopyMarqueeDashes(grid, copied, phase))
        canvas.InvertRect(dash);
}

}  // namespace plu
