#include "ui/qt_convert.h"

#include "base/freetype_measurer.h"

namespace plu {

QFont ToQFont(const TFont& font) {
    QFont f(QString::fromStdString(DrawingFamily(font.Name())));
    const int h = font.Height();
    int pixels = h < 0 ? -h : (h * 4 + 2) / 5;
    if (pixels <= 0) pixels = 1;
    f.setPixelSize(pixels);
    f.setBold(font.Bold());
    f.setItalic(font.Italic());
    f.setUnderline(font.Underline());
    f.setStrikeOut(font.StrikeOut());
    // The core measures hinted advances: drawn with the same hinting, a
    // text is as wide on screen as the width the grid laid it out for.
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

}  // namespace plu
