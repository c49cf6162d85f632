// TKtGridRange: a rectangle of cells of one grid with bulk formatting
// operations. Every formatting operation visits every cell of the rectangle,
// creating missing cells, and changes the cell's own style or font; each
// cell repaints itself.
#pragma once

#include <functional>

#include "base/color.h"
#include "base/font.h"
#include "grid/grid_object.h"
#include "grid/grid_style.h"
#include "grid/grid_types.h"

namespace plu {

class TKtCell;
class TKtCustomGrid;

// Base of areas: virtual accessors of an inclusive rectangle (-1 here).
class TKtArea : public TKtGridObject {
  public:
    virtual int AreaLeft() const { return -1; }
    virtual int AreaTop() const { return -1; }
    virtual int AreaRight() const { return -1; }
    virtual int AreaBottom() const { return -1; }
    TRect InclusiveRect() const { return {AreaLeft(), AreaTop(), AreaRight(), AreaBottom()}; }

    TKtObject* ExtraObject() const override { return extra_.get(); }
    void SetExtraObject(std::unique_ptr<TKtObject> object) override { extra_ = std::move(object); }
    std::unique_ptr<TKtObject> TakeExtraObject() override { return std::move(extra_); }

  private:
    std::unique_ptr<TKtObject> extra_;
};

class TKtGridRange : public TKtArea {
  public:
    // rect is half-open.
    TKtGridRange(TKtCustomGrid& grid, const TRect& rect) : grid_(&grid), rect_(rect) {}

    TKtCustomGrid& Grid() const { return *grid_; }
    // The half-open rectangle.
    const TRect& Rect() const { return rect_; }
    void SetRect(const TRect& rect) { rect_ = rect; }

    // Inclusive readers.
    int Left() const { return rect_.Left; }
    int Top() const { return rect_.Top; }
    int Right() const { return rect_.Right - 1; }
    int Bottom() const { return rect_.Bottom - 1; }
    int ColCount() const { return rect_.Width(); }
    int RowCount() const { return rect_.Height(); }
    int DataLeft() const;
    int DataTop() const;
    int DataRight() const;
    int DataBottom() const;
    // Top is the first body row and Bottom the last row.
    bool IsWholeColumns() const;
    // Left is the first body column and Right the last column.
    bool IsWholeRows() const;
    int AreaLeft() const override { return Left(); }
    int AreaTop() const override { return Top(); }
    int AreaRight() const override { return Right(); }
    int AreaBottom() const override { return Bottom(); }

    // Background (clNone restores the default).
    void SetColor(TColor color);
    void SetHorzAlign(TKtGridHorzAlign align);
    void SetWrapText(bool wrap);
    // Bold (bit 0), italic (1), underline (2), strike-out (3).
    void SetFontStyle(TFontStyles styles);
    void SetFontColor(TColor color);
    void SetFontSize(int points);
    void SetFontName(WideStringView name);
    // Outer edges by edges (1 left, 2 top, 4 right, 8 bottom, also on the
    // neighbouring cells that face the range), the diagonal edges (16 ...
    // 512) in every cell, and the inner lines when asked; line style 0
    // removes lines. Nothing when edges is 0 and both inner flags are off.
    void SetBorders(uint32_t edges, uint8_t lineStyle, TColor color, bool innerHorizontal,
                    bool innerVertical);
    void Merge();
    void Unmerge();
    // Every cell, row by row, left to right (created when missing).
    void ForEachCell(const std::function<void(TKtCell&)>& callback);
    // Repaints the rectangle (whole body rows under goRowSelect).
    void Invalidate() const;

  protected:
    TKtCustomGrid* grid_;
    TRect rect_;
};

}  // namespace plu
