#include "sheets/cell_geometry.h"

#include <algorithm>

namespace plu {

TRect ButtonRect(const TRect& cell, const IKtSystemMetrics& metrics, bool comboHeight) {
    const TRect inner = cell.Inflated(-1);
    if (inner.IsEmpty()) return {};
    const int width = std::min(metrics.HorzScrollThumbWidth(), inner.Width());
    int bottom = inner.Bottom;
    if (comboHeight) bottom = std::min(inner.Bottom, inner.Top + metrics.VertScrollThumbHeight());
    return {inner.Right - width, inner.Top, inner.Right, bottom};
}

TRect TextRectBesideButton(const TRect& cell, const TRect& button) {
    if (button.IsEmpty()) return cell;
    return {cell.Left, cell.Top, std::max(cell.Left, button.Left), cell.Bottom};
}

TRect SpinUpRect(const TRect& button) {
    const int middle = button.Top + button.Height() / 2;
    return {button.Left, button.Top, button.Right, middle};
}

TRect SpinDownRect(const TRect& button) {
    const int middle = button.Top + button.Height() / 2;
    return {button.Left, std::min(middle + 1, button.Bottom), button.Right, button.Bottom};
}

bool InLowerHalf(const TRect& button, int y) {
    return y > button.Top + button.Height() / 2;
}

TRect CheckBoxRect(const TRect& cell, bool hasCaption) {
    const int need = kCheckBoxSize + (hasCaption ? kKindMargin : 0);
    if (cell.Width() < need || cell.Height() < kCheckBoxSize) return {};
    const int left =
        hasCaption ? cell.Left + kKindMargin : cell.Left + (cell.Width() - kCheckBoxSize) / 2;
    const int top = cell.Top + (cell.Height() - kCheckBoxSize) / 2;
    return {left, top, left + kCheckBoxSize, top + kCheckBoxSize};
}

TRect CheckBoxCaptionRect(const TRect& cell, const TRect& box) {
    const int left = (box.IsEmpty() ? cell.Left + kKindMargin : box.Right) + kKindMargin;
    return {std::min(left, cell.Right), cell.Top, cell.Right, cell.Bottom};
}

int RadioBandHeight(const TRect& cell, int itemCount) {
    if (itemCount <= 0 || cell.Height() <= 0) return 0;
    return cell.Height() / itemCount;
}

TRect RadioBandRect(const TRect& cell, int itemCount, int index) {
    const int band = RadioBandHeight(cell, itemCount);
    if (band == 0 || index < 0 || index >= itemCount) return {};
    const int top = cell.Top + index * band;
    return {cell.Left, top, cell.Right, top + band};
}

TRect RadioButtonRect(const TRect& cell, int itemCount, int index) {
    const TRect band = RadioBandRect(cell, itemCount, index);
    if (band.IsEmpty()) return {};
    const int left = cell.Left + kKindMargin;
    const int top = band.Top + (band.Height() - kCheckBoxSize) / 2;
    return {left, top, left + kCheckBoxSize, top + kCheckBoxSize};
}

TRect RadioTextRect(const TRect& cell, int itemCount, int index) {
    const TRect band = RadioBandRect(cell, itemCount, index);
    if (band.IsEmpty()) return {};
    const int left = std::min(cell.Left + kKindMargin + kCheckBoxSize + kKindMargin, cell.Right);
    return {left, band.Top, cell.Right, band.Bottom};
}

int RadioItemAt(const TRect& cell, int itemCount, int x, int y) {
    const int band = RadioBandHeight(cell, itemCount);
    if (band == 0 || x < cell.Left || x >= cell.Left + kRadioPickWidth || y < cell.Top) return -1;
    const int index = (y - cell.Top) / band;
    return index < itemCount ? index : -1;
}

TRect SortArrowArea(const TRect& headerCell, int textWidth) {
    if (headerCell.Width() < textWidth + kSortArrowArea || headerCell.Height() <= 0) return {};
    return {headerCell.Right - kSortArrowArea, headerCell.Top, headerCell.Right, headerCell.Bottom};
}

TRect SortArrowRect(const TRect& area) {
    if (area.IsEmpty()) return {};
    const int left = area.Left + (area.Width() - kSortArrowWidth) / 2;
    const int top = area.Top + (area.Height() - kSortArrowHeight) / 2;
    return {left, top, left + kSortArrowWidth, top + kSortArrowHeight};
}

std::array<TRect, 3> EllipsisDots(const TRect& button) {
    const int side = std::max(1, button.Width() / 8);
    // Three squares with a square's width between them: five sides in all.
    const int left = button.Left + (button.Width() - 5 * side) / 2;
    const int top = button.Top + (button.Height() - side) / 2;
    std::array<TRect, 3> dots;
    for (int i = 0; i < 3; ++i) {
        const int x = left + 2 * side * i;
        dots[static_cast<size_t>(i)] = {x, top, x + side, top + side};
    }
    return dots;
}

TRect DropDownBounds(const TRect& cell, const TRect& button, int itemCount, int itemHeight,
                     int widestItem, const TRect& screen) {
    const int rows = std::clamp(itemCount, 0, kDropDownCount);
    const int height = rows * std::max(itemHeight, 0) + kDropDownFrame;
    const int width = std::max(cell.Width(), widestItem + kDropDownFrame);
    int left = button.Right - width;
    int top = button.Bottom + 1;
    if (top + height > screen.Bottom) top = button.Top - 1 - height;
    if (left < screen.Left) left = cell.Left;
    return {left, top, left + width, top + height};
}

}  // namespace plu
