#include "grid/axis_edit.h"

#include <algorithm>
#include <utility>

namespace plu {

TKtAxisEdit TKtAxisEdit::Insert(bool rows, int at, int count, int fixed) {
    return TKtAxisEdit(TKtAxisEditKind::Insert, rows, at, std::max(count, 0), fixed);
}

TKtAxisEdit TKtAxisEdit::Delete(bool rows, int at, int count, int fixed) {
    return TKtAxisEdit(TKtAxisEditKind::Delete, rows, at, std::max(count, 0), fixed);
}

TKtAxisEdit TKtAxisEdit::Permute(bool rows, int first, std::vector<int> newIndex, int fixed) {
    TKtAxisEdit edit(TKtAxisEditKind::Permute, rows, first, static_cast<int>(newIndex.size()),
                     fixed);
    edit.newIndex_ = std::move(newIndex);
    edit.Index();
    return edit;
}

TKtAxisEdit TKtAxisEdit::Move(bool rows, int from, int to, int fixed) {
    const int first = std::min(from, to);
    const int n = std::max(from, to) - first + 1;
    std::vector<int> newIndex(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const int old = first + i;
        int now = old;
        if (old == from)
            now = to;
        else if (from < to)
            now = old - 1;  // the rows after from close up
        else
            now = old + 1;  // the rows from `to` on make room
        newIndex[static_cast<size_t>(i)] = now;
    }
    return Permute(rows, first, std::move(newIndex), fixed);
}

TKtAxisEdit TKtAxisEdit::Exchange(bool rows, int a, int b, int fixed) {
    const int first = std::min(a, b);
    const int n = std::max(a, b) - first + 1;
    std::vector<int> newIndex(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        newIndex[static_cast<size_t>(i)] = first + i;
    std::swap(newIndex.front(), newIndex.back());
    return Permute(rows, first, std::move(newIndex), fixed);
}

void TKtAxisEdit::Index() {
    const size_t n = newIndex_.size();
    breaks_.assign(n + 1, 0);
    movers_.assign(n + 1, 0);
    for (size_t k = 0; k < n; ++k) {
        const bool breaks = k + 1 < n && newIndex_[k + 1] != newIndex_[k] + 1;
        breaks_[k + 1] = breaks_[k] + (breaks ? 1 : 0);
        movers_[k + 1] = movers_[k] + (newIndex_[k] != at_ + static_cast<int>(k) ? 1 : 0);
    }
}

bool TKtAxisEdit::IsIdentity() const {
    if (kind_ == TKtAxisEditKind::Permute) return movers_.empty() || movers_.back() == 0;
    return count_ == 0;
}

TKtAxisEdit TKtAxisEdit::ToData() const {
    switch (kind_) {
        case TKtAxisEditKind::Insert:
            // Rows inserted inside the fixed area push the body down as the
            // fixed area grows by as many: no body cell changes its data row.
            if (at_ < fixed_) return Insert(rows_, 0, 0);
            return Insert(rows_, at_ - fixed_, count_);
        case TKtAxisEditKind::Delete: {
            if (at_ >= fixed_) return Delete(rows_, at_ - fixed_, count_);
            // The fixed rows deleted shrink the fixed area; what reaches
            // into the body deletes the first body rows.
            const int fixedGone = std::min(count_, fixed_ - at_);
            return Delete(rows_, 0, count_ - fixedGone);
        }
        case TKtAxisEditKind::Permute: {
            std::vector<int> newIndex(newIndex_);
            for (int& i : newIndex)
                i -= fixed_;
            return Permute(rows_, at_ - fixed_, std::move(newIndex));
        }
    }
    return *this;
}

int TKtAxisEdit::MapIndex(int i) const {
    switch (kind_) {
        case TKtAxisEditKind::Insert:
            return i >= at_ ? i + count_ : i;
        case TKtAxisEditKind::Delete:
            if (i < at_) return i;
            return i < at_ + count_ ? kGone : i - count_;
        case TKtAxisEditKind::Permute:
            if (i < at_ || i >= at_ + count_) return i;
            return newIndex_[static_cast<size_t>(i - at_)];
    }
    return i;
}

TKtSpanFate TKtAxisEdit::MapSpan(int& lo, int& hi, bool exact) const {
    switch (kind_) {
        case TKtAxisEditKind::Insert:
            if (count_ == 0 || hi < at_) return TKtSpanFate::Kept;
            if (at_ <= lo) lo += count_;
            hi += count_;
            return TKtSpanFate::Moved;
        case TKtAxisEditKind::Delete: {
            const int end = at_ + count_;
            if (count_ == 0 || hi < at_) return TKtSpanFate::Kept;
            if (lo >= end) {
                lo -= count_;
                hi -= count_;
                return TKtSpanFate::Moved;
            }
            const int kept = std::max(0, at_ - lo) + std::max(0, hi - end + 1);
            if (kept == 0) return TKtSpanFate::Gone;
            lo = std::min(lo, at_);
            hi = lo + kept - 1;
            return TKtSpanFate::Moved;
        }
        case TKtAxisEditKind::Permute: {
            const int last = at_ + count_ - 1;
            if (count_ == 0 || hi < at_ || lo > last) return TKtSpanFate::Kept;
            const int a = std::max(lo, at_) - at_;
            const int b = std::min(hi, last) - at_;
            if (Movers(a, b + 1) == 0) return TKtSpanFate::Kept;
            if (lo >= at_ && hi <= last && Breaks(a, b) == 0) {
                const int delta = newIndex_[static_cast<size_t>(a)] - lo;
                lo += delta;
                hi += delta;
                return TKtSpanFate::Moved;
            }
            // A span holding the whole band only sees its inside reordered.
            if (lo <= at_ && hi >= last) return TKtSpanFate::Kept;
            if (!exact) return TKtSpanFate::Torn;
            for (int i = a; i <= b; ++i) {
                const int now = newIndex_[static_cast<size_t>(i)];
                if (now < lo || now > hi) return TKtSpanFate::Torn;
            }
            return TKtSpanFate::Kept;
        }
    }
    return TKtSpanFate::Kept;
}

}  // namespace plu
