// The base of the standard cell kinds and the kinds that draw their value
// themselves: the radio box (a pick among items), the check box (a boolean
// with a caption) and the image (an index into the grid's picture list).
//
// A kind acts only on the current cell and only when the cell may be edited
// (CanEdit); before a pick or a toggle changes the value, OnCompleteEdit is
// asked with the text the new value would have, and a refusal leaves the
// value as it was (the cell is repainted either way).
#pragma once

#include <vector>

#include "base/wide_text.h"
#include "grid/cell.h"
#include "grid/grid_host.h"
#include "sheets/system_metrics.h"

namespace plu {

class TKtCustomDataGrid;

// Item texts that grow as the runtime's lists do (by 4 while below 9, by 16
// up to 64, then by a quarter). Get and Set outside 0 ... Count - 1, and
// Insert outside 0 ... Count, raise "List index out of bounds (%d)".
class TKtItemList {
  public:
    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }
    const WideString& Get(int index) const;
    void Set(int index, WideStringView text);
    void Insert(int index, WideStringView text);
    int Add(WideStringView text);
    void Clear() { items_.clear(); }
    const std::vector<WideString>& Items() const { return items_; }

  private:
    void Grow();
    std::vector<WideString> items_;
};

class TKtDataCell : public TKtCell {
  public:
    using TKtCell::TKtCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }

    // The data grid the cell lives in, nullptr in another grid.
    TKtCustomDataGrid* DataGrid() const;
    // The pick list of the cell's column when the grid is a data grid and
    // the list has items; nullptr otherwise.
    const std::vector<WideString>* ColumnItems() const;
    // The cell's (merged) rectangle in client pixels.
    TRect ClientRect() const;
    const IKtSystemMetrics& Metrics() const;

  protected:
    // OnCompleteEditW / OnCompleteEdit with the text a new value would have.
    bool AllowValue(const WideString& text);
};

class TKtBaseItemsCell : public TKtDataCell {
  public:
    using TKtDataCell::TKtDataCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }

    int ItemCount() const override { return items_.Count(); }
    WideString GetItem(int index) const override { return items_.Get(index); }
    void SetItem(int index, WideStringView text) override;
    void InsertItem(int index, WideStringView text) override;
    int AddItem(WideStringView text) override;
    void ClearItems() override;

  protected:
    TKtItemList& OwnItems() { return items_; }
    const TKtItemList& OwnItems() const { return items_; }

  private:
    TKtItemList items_;
};

class TKtRadioBoxCell : public TKtBaseItemsCell {
  public:
    using TKtBaseItemsCell::TKtBaseItemsCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }
    TKtCellType CellType() const override { return TKtCellType::cellRadioBox; }

    // The cell's own items, else its column's pick list.
    std::vector<WideString> Choices() const;
    // The checked item: the value as an integer; -1 when the value is no
    // number.
    int CheckedIndex() const;
    // Makes item index the value (on the current cell, when editable, after
    // OnCompleteEdit); nothing for an item that does not exist.
    void Pick(int index);

    // "1" ... "9" pick items 0 ... 8.
    void KeyPress(char16_t& ch) override;
    // A left release near the left edge picks the item of its band.
    bool MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // A radio button and the item text in each band.
    void DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint pos) const override;
};

class TKtCheckBoxCell : public TKtDataCell {
  public:
    using TKtDataCell::TKtDataCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }
    TKtCellType CellType() const override { return TKtCellType::cellCheckBox; }

    const WideString& Caption() const { return caption_; }
    void SetCaption(WideStringView caption);
    bool Checked() const { return GetAsBoolean(); }
    // The value becomes the negation of GetAsBoolean (on the current cell,
    // when editable, after OnCompleteEdit with "True" or "False").
    void Toggle();

    // The caption is set with InsertItem / AddItem and cleared with ClearItems.
    void InsertItem(int index, WideStringView text) override;
    int AddItem(WideStringView text) override;
    void ClearItems() override;

    // Space toggles.
    void KeyPress(char16_t& ch) override;
    // A left release inside the box toggles.
    bool MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // The box in client pixels (empty when the cell is too small).
    TRect BoxRect() const;
    // The box, then the caption beside it.
    void DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint pos) const override;

  private:
    WideString caption_;
};

class TKtImageCell : public TKtDataCell {
  public:
    using TKtDataCell::TKtDataCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }
    TKtCellType CellType() const override { return TKtCellType::cellImageBox; }

    // The index into the grid's picture list; -1 (none) for a new cell, an
    // empty value or one that is no number.
    int PictureIndex() const;
    void SetPictureIndex(int index) { SetAsInteger(index); }
    // The picture shown, nullptr for none or an index outside the list.
    const TKtPicture* Picture() const;
    // The picture placed by the cell's alignment (ImagePlacement), clipped
    // to the cell; nothing without a picture.
    void DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint pos) const override;
};

}  // namespace plu
