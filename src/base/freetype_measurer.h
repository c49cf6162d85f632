// FreeType + fontconfig text measurer.
//
// Windows font names map to their metric-compatible twins (Arial -> Liberation
// Sans, Times New Roman -> Liberation Serif, Courier New -> Liberation Mono,
// Calibri -> Carlito); other names go to fontconfig's best match. "宋体"/"SimSun"
// has no metric twin on Linux, so its metrics are pinned to the Windows values:
// ASCII characters half the em wide (the digit "0" at 12 pt, a 16-pixel em, is
// 8 pixels), everything else a full em; height = em. Characters a face lacks
// are measured as Windows' font fallback would draw them: a full em for CJK
// and other wide scripts.
//
// Vertical metrics follow the platform's rules: ascent and descent from the
// OS/2 Windows ascent (rounded up) and descent scaled to the em, external
// leading from the horizontal header's line gap. Widths are hinted advances summed per glyph.
// Results are cached per face, size and character; the cache is guarded by a
// mutex so any thread may measure.
#pragma once

#include <memory>

#include "base/text_measurer.h"

namespace plu {

// The installed family a font name draws with, as the measurer resolves it:
// the metric twin of a Windows name, WenQuanYi Zen Hei for SimSun, else the
// name itself (fontconfig finds the best match). The window draws with it,
// so that what it shows is as wide as what the grid measured.
std::string DrawingFamily(WideStringView name);

class FreeTypeTextMeasurer : public ITextMeasurer {
public:
    FreeTypeTextMeasurer();
    ~FreeTypeTextMeasurer() override;
    FreeTypeTextMeasurer(const FreeTypeTextMeasurer&) = delete;
    FreeTypeTextMeasurer& operator=(const FreeTypeTextMeasurer&) = delete;

    int TextWidth(const TFont& font, WideStringView text) override;
    FontMetrics Metrics(const TFont& font) override;

    // The font file a font description resolves to ("" for the pinned SimSun
    // metrics or when nothing matched); for diagnostics and tests.
    std::string ResolvedFile(const TFont& font);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// True for the names whose metrics are pinned to the Windows SimSun values.
bool IsSimSunName(WideStringView name);

}  // namespace plu
