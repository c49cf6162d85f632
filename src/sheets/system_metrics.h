// The window system's sizes that the cell kinds and the sheet control lay
// themselves out by. The shell supplies the platform's values; without one
// the classic Windows sizes at 96 dpi apply, so the command line and the
// tests lay out the same way.
#pragma once

#include "grid/grid_types.h"

namespace plu {

class IKtSystemMetrics {
  public:
    virtual ~IKtSystemMetrics() = default;
    // Width of the thumb (and arrow buttons) of a horizontal scroll bar.
    virtual int HorzScrollThumbWidth() const = 0;
    // Height of the thumb (and arrow buttons) of a vertical scroll bar.
    virtual int VertScrollThumbHeight() const = 0;
    // Height of a horizontal scroll bar (the sheet tab strip's height).
    virtual int HorzScrollBarHeight() const = 0;
    // Width of a vertical scroll bar.
    virtual int VertScrollBarWidth() const = 0;
    // The screen's work area in screen pixels (drop-down lists stay on it).
    virtual TRect ScreenRect() const = 0;
};

// 17-pixel scroll-bar parts on a 1920 x 1080 screen.
class TKtDefaultSystemMetrics : public IKtSystemMetrics {
  public:
    int HorzScrollThumbWidth() const override { return 17; }
    int VertScrollThumbHeight() const override { return 17; }
    int HorzScrollBarHeight() const override { return 17; }
    int VertScrollBarWidth() const override { return 17; }
    TRect ScreenRect() const override { return {0, 0, 1920, 1080}; }
};

// The process-wide default metrics (immutable).
const IKtSystemMetrics& DefaultSystemMetrics();

}  // namespace plu
