#include "grid/merged_areas.h"

namespace plu {

namespace {

// Insertion along one axis: [lo, hi) against n inserted at i.
void InsertAlong(int& lo, int& hi, int i, int n) {
    if (lo >= i) {
        lo += n;
        hi += n;
    } else if (hi > i) {
        hi += n;
    }
}

// Deletion along one axis; false when nothing is left on this axis.
bool DeleteAlong(int& lo, int& hi, int i, int n) {
    const int end = i + n;     // exclusive
    if (hi <= i) return true;  // entirely before
    if (lo >= end) {           // entirely after
        lo -= n;
        hi -= n;
        return true;
    }
    if (hi > end) {  // overlaps and extends beyond the deleted band
        if (lo > i) lo = i;
        hi -= n;
        return hi > lo;
    }
    // Overlaps and ends inside the band: keep the part before it.
    if (lo >= i) return false;
    hi = i;
    return true;
}

bool IsSingleCell(const TRect& r) {
    return r.Width() <= 1 && r.Height() <= 1;
}

}  // namespace

int TKtMergedAreas::FindByAnchor(int col, int row) const {
    for (size_t i = 0; i < areas_.size(); ++i)
        if (areas_[i].Rect.Left == col && areas_[i].Rect.Top == row) return static_cast<int>(i);
    return -1;
}

int TKtMergedAreas::FindContaining(int col, int row) const {
    for (size_t i = 0; i < areas_.size(); ++i)
        if (areas_[i].Rect.Contains(col, row)) return static_cast<int>(i);
    return -1;
}

bool TKtMergedAreas::AnyIntersects(const TRect& r) const {
    for (const auto& a : areas_)
        if (a.Rect.Intersects(r)) return true;
    return false;
}

TRect TKtMergedAreas::GrowToAreas(const TRect& r) const {
    TRect grown = r;
    bool changed = true;
    while (changed) {
        changed = false;
        for (const auto& a : areas_) {
            if (!a.Rect.Intersects(grown) || grown.Contains(a.Rect)) continue;
            grown = grown.Union(a.Rect);
            changed = true;
        }
    }
    return grown;
}

TPoint TKtMergedAreas::SnapToAnchor(const TPoint& p) const {
    int i = FindContaining(p.X, p.Y);
    return i < 0 ? p : areas_[static_cast<size_t>(i)].Anchor();
}

TRect TKtMergedAreas::SetSpan(const TRect& rect) {
    int own = FindByAnchor(rect.Left, rect.Top);
    if (IsSingleCell(rect) || rect.IsEmpty()) {
        if (own >= 0) areas_.erase(areas_.begin() + own);
        return rect;
    }
    TRect area = rect;
    if (own >= 0) areas_.erase(areas_.begin() + own);
    bool absorbed = true;
    while (absorbed) {
        absorbed = false;
        for (size_t i = 0; i < areas_.size(); ++i) {
            if (!areas_[i].Rect.Intersects(area)) continue;
            area = area.Union(areas_[i].Rect);
            areas_.erase(areas_.begin() + static_cast<long>(i));
            absorbed = true;
            break;
        }
    }
    areas_.push_back(TUnion{area});
    return area;
}

TRect TKtMergedAreas::RemoveIntersecting(const TRect& r) {
    TRect removed{};
    for (size_t i = areas_.size(); i-- > 0;) {
        if (!areas_[i].Rect.Intersects(r)) continue;
        removed = removed.Union(areas_[i].Rect);
        areas_.erase(areas_.begin() + static_cast<long>(i));
    }
    return removed;
}

void TKtMergedAreas::InsertRows(int row, int count) {
    if (count <= 0) return;
    for (auto& a : areas_)
        InsertAlong(a.Rect.Top, a.Rect.Bottom, row, count);
}

void TKtMergedAreas::InsertCols(int col, int count) {
    if (count <= 0) return;
    for (auto& a : areas_)
        InsertAlong(a.Rect.Left, a.Rect.Right, col, count);
}

void TKtMergedAreas::DeleteRows(int row, int count) {
    if (count <= 0) return;
    for (size_t i = areas_.size(); i-- > 0;) {
        TRect& r = areas_[i].Rect;
        if (!DeleteAlong(r.Top, r.Bottom, row, count) || IsSingleCell(r))
            areas_.erase(areas_.begin() + static_cast<long>(i));
    }
}

void TKtMergedAreas::DeleteCols(int col, int count) {
    if (count <= 0) return;
    for (size_t i = areas_.size(); i-- > 0;) {
        TRect& r = areas_[i].Rect;
        if (!DeleteAlong(r.Left, r.Right, col, count) || IsSingleCell(r))
            areas_.erase(areas_.begin() + static_cast<long>(i));
    }
}

TRect TKtMergedAreas::Reorder(const TKtAxisEdit& edit) {
    if (edit.Kind() != TKtAxisEditKind::Permute || edit.IsIdentity()) return {};
    TRect touched{};
    for (size_t i = areas_.size(); i-- > 0;) {
        TRect& r = areas_[i].Rect;
        int lo = edit.Rows() ? r.Top : r.Left;
        int hi = (edit.Rows() ? r.Bottom : r.Right) - 1;
        const TKtSpanFate fate = edit.MapSpan(lo, hi);
        if (fate == TKtSpanFate::Kept) continue;
        touched = touched.Union(r);
        if (fate != TKtSpanFate::Moved) {
            areas_.erase(areas_.begin() + static_cast<long>(i));
            continue;
        }
        if (edit.Rows()) {
            r.Top = lo;
            r.Bottom = hi + 1;
        } else {
            r.Left = lo;
            r.Right = hi + 1;
        }
        touched = touched.Union(r);
    }
    return touched;
}

}  // namespace plu
