// TKtGridRow: the row object of one row, created on the first GetRow of the
// grid. It owns a style (created on first request; changing it repaints the
// row) and flags: bit 0 the height was set by hand (resized with the mouse or
// imported with a custom height), bit 1 used by printing.
#pragma once

#include <cstdint>
#include <memory>

#include "grid/grid_style.h"

namespace plu {

class TKwGridRow;
class TKtCustomGrid;

constexpr uint32_t kRowHeightSetByHand = 0x01;
constexpr uint32_t kRowPrintFlag = 0x02;

class TKtGridRow {
  public:
    explicit TKtGridRow(TKwGridRow& owner) : owner_(&owner) {}
    virtual ~TKtGridRow() = default;
    TKtGridRow(const TKtGridRow&) = delete;
    TKtGridRow& operator=(const TKtGridRow&) = delete;

    TKwGridRow& Owner() const { return *owner_; }
    TKtCustomGrid& Grid() const;
    int Index() const;

    // The row's style, created on first request.
    TKtGridStyle& Style();
    // The style if it was ever requested.
    const TKtGridStyle* FindStyle() const { return style_.get(); }

    uint32_t Flags() const { return flags_; }
    void SetFlags(uint32_t flags) { flags_ = flags; }
    bool HeightSetByHand() const { return (flags_ & kRowHeightSetByHand) != 0; }
    void SetHeightSetByHand(bool on) {
        flags_ = on ? (flags_ | kRowHeightSetByHand) : (flags_ & ~kRowHeightSetByHand);
    }

    int Height() const;
    // The grid's row-height setter for this row.
    void SetHeight(int height);

  private:
    TKwGridRow* owner_;
    std::unique_ptr<TKtGridStyle> style_;
    uint32_t flags_ = 0;
};

}  // namespace plu
