#include "sheets/kind_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "base/color.h"
#include "sheets/cell_geometry.h"

namespace plu {

namespace {

TColor Sys(TColor c) {
    return ColorToRGB(c);
}

void HLine(IKtCanvas& canvas, int x1, int x2, int y, TColor color) {
    if (x2 <= x1) return;
    canvas.SetPen({color, 1, TKtPenStyle::psSolid});
    canvas.Line(x1, y, x2, y);
}

void VLine(IKtCanvas& canvas, int x, int y1, int y2, TColor color) {
    if (y2 <= y1) return;
    canvas.SetPen({color, 1, TKtPenStyle::psSolid});
    canvas.Line(x, y1, x, y2);
}

// One-pixel edge: light along the top and left, dark along the bottom and right.
void Edge(IKtCanvas& canvas, const TRect& r, TColor light, TColor dark) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    HLine(canvas, r.Left, r.Right - 1, r.Top, light);
    VLine(canvas, r.Left, r.Top, r.Bottom - 1, light);
    HLine(canvas, r.Left, r.Right, r.Bottom - 1, dark);
    VLine(canvas, r.Right - 1, r.Top, r.Bottom - 1, dark);
}

// The spans of a disc of diameter d, row by row: the left offset of each row.
int DiscInset(int d, int row) {
    const double r = d / 2.0;
    const double y = row + 0.5 - r;
    const double half = std::sqrt(std::max(0.0, r * r - y * y));
    return static_cast<int>(std::lround(r - half));
}

uint32_t Le32(const std::vector<uint8_t>& d, size_t at) {
    return d[at] | (d[at + 1] << 8) | (d[at + 2] << 16) | (static_cast<uint32_t>(d[at + 3]) << 24);
}
uint32_t Be32(const std::vector<uint8_t>& d, size_t at) {
    return (static_cast<uint32_t>(d[at]) << 24) | (d[at + 1] << 16) | (d[at + 2] << 8) | d[at + 3];
}
int Be16(const std::vector<uint8_t>& d, size_t at) {
    return (d[at] << 8) | d[at + 1];
}

// Sizes beyond this are no real picture header (a corrupt stream).
constexpr int kMaxPictureSide = 1 << 16;

TPoint Checked(long w, long h) {
    if (w <= 0 || h <= 0 || w > kMaxPictureSide || h > kMaxPictureSide) return {0, 0};
    return {static_cast<int>(w), static_cast<int>(h)};
}

TPoint JpegSize(const std::vector<uint8_t>& d) {
    size_t at = 2;
    while (at + 4 <= d.size()) {
        if (d[at] != 0xFF) return {0, 0};
        const uint8_t marker = d[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        const int length = Be16(d, at + 2);
        if (length < 2) return {0, 0};
        // Start-of-frame markers carry the size; C4 (Huffman), C8 and CC are not frames.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 &&
            marker != 0xCC) {
            if (at + 9 > d.size()) return {0, 0};
            return Checked(Be16(d, at + 7), Be16(d, at + 5));
        }
        at += 2 + static_cast<size_t>(length);
    }
    return {0, 0};
}

}  // namespace

void DrawButtonFace(IKtCanvas& canvas, const TRect& button, bool pressed) {
    if (button.IsEmpty()) return;
    canvas.FillRect(button, Sys(clBtnFace));
    if (pressed) {
        canvas.FrameRect(button, Sys(clBtnShadow));
        return;
    }
    Edge(canvas, button, Sys(cl3DLight), Sys(cl3DDkShadow));
    Edge(canvas, button.Inflated(-1), Sys(clBtnHighlight), Sys(clBtnShadow));
}

TRect DrawArrowGlyph(IKtCanvas& canvas, const TRect& area, bool up, bool pressed, TColor color) {
    int width = std::min(area.Width() / 2, 2 * (area.Height() - 1));
    if (width % 2 == 0) --width;
    if (width < 3) width = std::min(3, area.Width()) | 1;
    if (width > area.Width() || area.Height() < 2) return {};
    const int height = (width + 1) / 2;
    int left = area.Left + (area.Width() - width) / 2;
    int top = area.Top + (area.Height() - height) / 2;
    if (pressed) {
        ++left;
        ++top;
    }
    for (int i = 0; i < height; ++i) {
        const int row = up ? top + height - 1 - i : top + i;
        HLine(canvas, left + i, left + width - i, row, color);
    }
    return {left, top, left + width, top + height};
}

void DrawComboButton(IKtCanvas& canvas, const TRect& button, bool pressed) {
    if (button.IsEmpty()) return;
    DrawButtonFace(canvas, button, pressed);
    DrawArrowGlyph(canvas, button.Inflated(-2), false, pressed, Sys(clBtnText));
}

void DrawSpinButton(IKtCanvas& canvas, const TRect& button, bool upPressed, bool downPressed) {
    if (button.IsEmpty()) return;
    // The pixel row between the halves belongs to neither: the face shows there.
    canvas.FillRect(button, Sys(clBtnFace));
    const TRect up = SpinUpRect(button);
    const TRect down = SpinDownRect(button);
    DrawButtonFace(canvas, up, upPressed);
    DrawArrowGlyph(canvas, up.Inflated(-1), true, upPressed, Sys(clBtnText));
    DrawButtonFace(canvas, down, downPressed);
    DrawArrowGlyph(canvas, down.Inflated(-1), false, downPressed, Sys(clBtnText));
}

void DrawEllipsisButton(IKtCanvas& canvas, const TRect& button, bool pressed) {
    if (button.IsEmpty()) return;
    DrawButtonFace(canvas, button, pressed);
    for (TRect dot : EllipsisDots(button)) {
        if (pressed) dot = {dot.Left + 1, dot.Top + 1, dot.Right + 1, dot.Bottom + 1};
        canvas.FillRect(dot.Intersect(button), clBlack);
    }
}

void DrawCheckBox(IKtCanvas& canvas, const TRect& box, bool checked) {
    if (box.IsEmpty()) return;
    canvas.FillRect(box, Sys(clWindow));
    Edge(canvas, box, Sys(clBtnShadow), Sys(clBtnHighlight));
    Edge(canvas, box.Inflated(-1), Sys(cl3DDkShadow), Sys(cl3DLight));
    if (!checked) return;
    // The mark: 7 columns, falling 2 then rising 4, each column 3 pixels high.
    const TColor ink = Sys(clWindowText);
    const int x0 = box.Left + 3;
    const int y0 = box.Top + 5;
    static constexpr int kRise[7] = {0, 1, 2, 1, 0, -1, -2};
    for (int i = 0; i < 7; ++i)
        VLine(canvas, x0 + i, y0 + kRise[i], y0 + kRise[i] + 3, ink);
}

void DrawRadioButton(IKtCanvas& canvas, const TRect& box, bool checked) {
    if (box.IsEmpty()) return;
    const int d = std::min(box.Width(), box.Height()) - 1;  // 12 for the 13-pixel box
    if (d < 4) return;
    const TColor white = Sys(clWindow);
    const TColor shadow = Sys(clBtnShadow);
    const TColor light = Sys(clBtnHighlight);
    for (int row = 0; row < d; ++row) {
        const int inset = DiscInset(d, row);
        const int y = box.Top + row;
        const int x1 = box.Left + inset;
        const int x2 = box.Left + d - inset;
        HLine(canvas, x1, x2, y, white);
        // The outline: shaded on the upper half, lit on the lower, as a sunken ring.
        const TColor edge = row < d / 2 ? shadow : light;
        if (row == 0 || row == d - 1) {
            HLine(canvas, x1, x2, y, edge);
        } else {
            HLine(canvas, x1, x1 + 1, y, edge);
            HLine(canvas, x2 - 1, x2, y, edge);
        }
    }
    if (!checked) return;
    const int dot = 4;
    const int left = box.Left + (d - dot) / 2;
    const int top = box.Top + (d - dot) / 2;
    const TColor ink = Sys(clWindowText);
    for (int row = 0; row < dot; ++row) {
        const int inset = (row == 0 || row == dot - 1) ? 1 : 0;
        HLine(canvas, left + inset, left + dot - inset, top + row, ink);
    }
}

void DrawSortArrow(IKtCanvas& canvas, const TRect& arrow, bool ascending) {
    if (arrow.IsEmpty()) return;
    const TColor shadow = Sys(clBtnShadow);
    const TColor light = Sys(clBtnHighlight);
    const int w = arrow.Width();
    const int h = arrow.Height();
    const int apexX = arrow.Left + w / 2;
    if (ascending) {
        // Apex at the top; the base along the bottom row is lit.
        canvas.SetPen({shadow, 1, TKtPenStyle::psSolid});
        canvas.Line(apexX, arrow.Top, arrow.Left, arrow.Bottom - 1);
        canvas.SetPen({light, 1, TKtPenStyle::psSolid});
        canvas.Line(apexX, arrow.Top, arrow.Right - 1, arrow.Bottom - 1);
        HLine(canvas, arrow.Left, arrow.Right, arrow.Bottom - 1, light);
    } else {
        // Apex at the bottom; the base along the top row is shaded.
        HLine(canvas, arrow.Left, arrow.Right, arrow.Top, shadow);
        canvas.SetPen({shadow, 1, TKtPenStyle::psSolid});
        canvas.Line(arrow.Left, arrow.Top, apexX, arrow.Top + h - 1);
        canvas.SetPen({light, 1, TKtPenStyle::psSolid});
        canvas.Line(arrow.Right - 1, arrow.Top, apexX, arrow.Top + h - 1);
    }
}

TPoint PictureSize(const TKtPicture& picture) {
    const std::vector<uint8_t>& d = picture.Data;
    if (d.size() >= 26 && d[0] == 'B' && d[1] == 'M') {
        const uint32_t header = Le32(d, 14);
        if (header == 12)  // OS/2 core header: 16-bit sizes
            return Checked(d[18] | (d[19] << 8), d[20] | (d[21] << 8));
        // Height is negative for a top-down bitmap.
        return Checked(static_cast<int32_t>(Le32(d, 18)),
                       std::labs(static_cast<long>(static_cast<int32_t>(Le32(d, 22)))));
    }
    static constexpr uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (d.size() >= 24 && std::equal(kPng, kPng + 8, d.begin()))
        return Checked(static_cast<long>(Be32(d, 16)), static_cast<long>(Be32(d, 20)));
    if (d.size() >= 4 && d[0] == 0xFF && d[1] == 0xD8) return JpegSize(d);
    // An icon directory: reserved 0, type 1, at least one entry (0 means 256).
    if (d.size() >= 8 && d[0] == 0 && d[1] == 0 && d[2] == 1 && d[3] == 0 && (d[4] | d[5]) != 0)
        return Checked(d[6] == 0 ? 256 : d[6], d[7] == 0 ? 256 : d[7]);
    return {0, 0};
}

TRect ImagePlacement(const TRect& cell, TPoint size, TKtGridHorzAlign align) {
    const bool ownSize = align == TKtGridHorzAlign::haLeft || align == TKtGridHorzAlign::haCenter ||
                         align == TKtGridHorzAlign::haRight;
    if (!ownSize || size.X <= 0 || size.Y <= 0) return cell;
    int left = cell.Left;
    if (align == TKtGridHorzAlign::haCenter) left = cell.Left + (cell.Width() - size.X) / 2;
    if (align == TKtGridHorzAlign::haRight) left = cell.Right - size.X;
    const int top = cell.Top + (cell.Height() - size.Y) / 2;
    return {left, top, left + size.X, top + size.Y};
}

}  // namespace plu
