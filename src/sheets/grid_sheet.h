// TVexaGridSheet: a worksheet of a sheet control. A data grid that starts
// hidden with 100 rows and 10 columns, automatic row heights, formulas on,
// unprotected and without border, with its default popup menu filled (cut,
// copy, paste, selective paste, insert and delete rows and columns, merge,
// unmerge, the column list and freezing panes). Attached to a control it
// takes the control's formula context, popup menu and event handlers and
// shows a tab captioned with its Caption.
#pragma once

#include <functional>
#include <memory>

#include "sheets/data_grid.h"

namespace plu {

class TVexaSheetControl;

// The mode the clipboard service receives for a selective paste (the user
// picks the format); 0 is the ordinary paste.
constexpr int kPasteSpecial = 1;

// Printing and preview are not part of this program: the page settings of a
// worksheet are an empty holder.
struct TVexaSheetPageSetting {};

class TVexaGridSheet : public TKtCustomDataGrid {
  public:
    TVexaGridSheet();
    // A sheet is freed only by its control (which detaches it first) or,
    // when it was never attached, by whoever created it.
    ~TVexaGridSheet() override;

    // ---- Attachment -------------------------------------------------------------
    // The control the sheet is attached to, nullptr when none. Attaching and
    // detaching are TVexaSheetControl::AttachSheet and DetachSheet (the
    // control owns its sheets).
    TVexaSheetControl* SheetControl() const { return control_; }
    // The position in the control's list, -1 when not attached.
    int SheetIndex() const { return control_ ? TKtCustomGrid::SheetIndex() : -1; }
    // Moves the sheet to index in its control's list (and its tab with it);
    // EListError "%d is an invalid SheetIndex value.  PageIndex must be
    // between 0 and %d" outside 0 ... SheetCount - 1; a sheet that is not
    // attached has no list, so every index fails (with -1 as the bound).
    void SetSheetIndex(int index);
    // The index among the shown tabs; -1 without a tab.
    int TabPosition() const;

    // ---- Tab ----------------------------------------------------------------------------
    const WideString& Caption() const { return caption_; }
    // A changed caption replaces the tab's text.
    void SetCaption(WideStringView caption);
    bool TabVisible() const { return tabVisible_; }
    // Hiding removes the tab (the sheet stays attached and may stay active);
    // showing inserts it at TabPosition.
    void SetTabVisible(bool visible);
    // Whether the tab is in the control's tab list now.
    bool TabShown() const { return tabShown_; }

    // ---- Window state ------------------------------------------------------------------
    // Only the active sheet is visible. OnShow / OnHide follow; a failing
    // handler is reported to the control's exception handler and does not
    // stop the change.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    static WideString Version();
    TVexaSheetPageSetting& PageSetting() { return pageSetting_; }
    // The sheet's font follows its control's font until it is changed
    // directly (or ParentFont is cleared); setting it true takes the
    // control's font again.
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool on);

    std::function<void(TVexaGridSheet&)> OnShow;
    std::function<void(TVexaGridSheet&)> OnHide;

    std::function<void(TKtCustomGrid&)> OnStartSelect;
    std::function<void(TKtCustomGrid&)> OnEndSelect;

  private:
    friend class TVexaSheetControl;
    void FillDefaultPopupMenu();
    void RebuildColumnMenu(TKtMenuItem& parent);
    void ToggleFreeze(TKtMenuItem& item);
    // Copies the control's font without clearing ParentFont.
    void TakeParentFont(const TFont& font);

    TVexaSheetControl* control_ = nullptr;
    WideString caption_;
    bool tabVisible_ = true;
    bool tabShown_ = false;
    bool visible_ = false;
    bool parentFont_ = true;
    bool copyingParentFont_ = false;
    TVexaSheetPageSetting pageSetting_;
};

}  // namespace plu
