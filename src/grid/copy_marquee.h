// The copy marquee: the moving dashed frame around a pending copy or cut.
//
// Two sets of dashes alternate every 200 ms. Both are built from the copied
// rectangle as it lies on the screen now, so scrolling moves the frame with
// the cells. Each set is a list of disjoint pixel rectangles that the painter
// inverts (the dashes stay visible on any background). The phase and its
// timer live with the clipboard (it knows which grid holds the copy); the
// drawing needs only the grid and the phase.
//
// Geometry: the copied cells are cut to what is on screen (cells scrolled
// out between the frozen panes and the first scrolling row or column count
// as off screen); the pixel rectangle loses one pixel at the right and at
// the bottom. Along each edge a dash starts every 10 pixels, 5 pixels long
// (shorter at the end), drawn as two 2-pixel-thick strokes, the second one
// pixel right of and below the first. Set 0 starts the top and right edges
// at their corner and the left and bottom edges 5 pixels in; set 1 the
// other way round.
#pragma once

#include <vector>

#include "grid/grid_types.h"

namespace plu {

class IKtCanvas;
class TKtCustomGrid;

// Milliseconds between two phases.
inline constexpr int kCopyMarqueeInterval = 200;

// The visible part of cells (half-open) in client pixels, less one pixel at
// the right and bottom; empty when nothing of it is on screen.
TRect CopyMarqueeFrame(const TKtCustomGrid& grid, const TRect& cells);

// The disjoint rectangles of dash set phase (0 or 1; odd values mean 1) of
// the frame around cells.
std::vector<TRect> CopyMarqueeDashes(const TKtCustomGrid& grid, const TRect& cells, int phase);

// The four strips (4 pixels wide) along the frame's edges that the dashes
// cover: what a phase change repaints.
std::vector<TRect> CopyMarqueeStrips(const TKtCustomGrid& grid, const TRect& cells);

// Inverts the dashes of phase around the grid's copied rectangle
// (TKtGridSelection::CopiedRect); nothing when none is marked.
void DrawCopyMarquee(const TKtCustomGrid& grid, IKtCanvas& canvas, int phase);

}  // namespace plu
