// TKtGridColumn: the column object of one column, created on the first
// GetColumn of the grid (through the grid's column-object factory). It holds
// a font (a copy of the grid's font when created; when UseColumnFont is set,
// the column's cells paint with it), a style (initially the shared default
// style; its format applies to the column's body cells through inheritance)
// and a visible flag. Changing the font or the style repaints the column.
// TVexaGridColList keeps the column objects by column and renumbers them
// when columns move.
#pragma once

#include <memory>

#include "base/font.h"
#include "grid/grid_style.h"
#include "grid/sparse_list.h"

namespace plu {

class TKtCustomGrid;

class TKtGridColumn {
  public:
    TKtGridColumn(TKtCustomGrid& grid, int col);
    virtual ~TKtGridColumn() = default;
    TKtGridColumn(const TKtGridColumn&) = delete;
    TKtGridColumn& operator=(const TKtGridColumn&) = delete;

    TKtCustomGrid& Grid() const { return *grid_; }
    int Index() const { return index_; }
    void SetIndex(int index) { index_ = index; }

    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    // When set, cells of the column paint with the column's font.
    bool UseColumnFont() const { return useColumnFont_; }
    void SetUseColumnFont(bool on);

    TKtGridStyle& Style() { return style_; }
    const TKtGridStyle& Style() const { return style_; }

    bool Visible() const { return visible_; }
    // Forwards to the grid's column visibility.
    void SetVisible(bool visible);

    int Width() const;
    // The grid's column-width setter for this column.
    void SetWidth(int width);

  private:
    friend class TKtCustomGrid;
    void Repaint();

    TKtCustomGrid* grid_;
    int index_;
    TFont font_;
    TKtGridStyle style_;
    bool useColumnFont_ = false;
    bool visible_ = true;
};

class TVexaGridColList : public TObjectSList<TKtGridColumn> {
  public:
    // Column objects in the range moved: rewrite their column index.
    void Changed(int fromIndex, int toIndex) override;
};

}  // namespace plu
