// Conversions at the border between the core's value types and Qt's:
// UTF-16 text (no loss either way), colours (the core's 0x00BBGGRR values,
// system colours through the Windows scheme the core resolves), fonts and
// rectangles (half-open in the core, QRect's right/bottom are inclusive).
#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include "base/color.h"
#include "base/font.h"
#include "base/wide_text.h"
#include "grid/grid_types.h"

namespace plu {

inline QString ToQt(WideStringView text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline WideString FromQt(const QString& text) {
    return WideString(reinterpret_cast<const char16_t*>(text.utf16()),
                      static_cast<size_t>(text.size()));
}

inline QColor ToQColor(TColor color) {
    const TColor rgb = ColorToRGB(color);
    return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

inline QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

inline TRect FromQRect(const QRect& r) {
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

// A Windows height below zero is the character height in pixels (what Qt
// calls the pixel size); above zero it is the cell height, which includes
// the internal leading (about a fifth for the fonts in use).
QFont ToQFont(const TFont& font);

}  // namespace plu
