// Text measuring for automatic row heights, column fitting and the BIFF8
// character width. One interface; the core's implementation uses FreeType
// with fontconfig on the installed fonts (so the window, the command line and
// the tests agree), and tests may use the deterministic FixedTextMeasurer.
#pragma once

#include "base/font.h"
#include "base/wide_text.h"

namespace plu {

// Vertical metrics of a font in pixels, as the platform's text metrics give
// them: height = ascent + descent; external leading is the extra space the
// font suggests between lines.
struct FontMetrics {
    int height = 0;
    int ascent = 0;
    int descent = 0;
    int externalLeading = 0;
};

class ITextMeasurer {
public:
    virtual ~ITextMeasurer() = default;
    // Width in pixels of text drawn on one line in font (no line breaking).
    virtual int TextWidth(const TFont& font, WideStringView text) = 0;
    virtual FontMetrics Metrics(const TFont& font) = 0;

    int LineHeight(const TFont& font) { return Metrics(font).height; }
    int Descent(const TFont& font) { return Metrics(font).descent; }
    int ExternalLeading(const TFont& font) { return Metrics(font).externalLeading; }
};

// The process-wide FreeType measurer (created on first use).
ITextMeasurer& DefaultTextMeasurer();

// Deterministic metrics for tests: with e = |height| (pixels), every
// character below U+1100 is e/2 wide (at least 1), every other one e wide;
// ascent e, descent e/4, external leading 0.
class FixedTextMeasurer : public ITextMeasurer {
public:
    int TextWidth(const TFont& font, WideStringView text) override;
    FontMetrics Metrics(const TFont& font) override;
};

}  // namespace plu
