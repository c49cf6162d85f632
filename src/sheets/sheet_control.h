// TVexaSheetControl: a workbook on screen. It owns any number of worksheets
// (TVexaGridSheet) in list order, shows one of them (the active sheet) and
// keeps a tab strip with one tab per sheet whose tab is visible, ending with
// the new-sheet tab. Every grid event set on the control is handed to all its
// sheets, present and future. The sheets share one formula context through
// which their formulas reach each other by caption.
//
// Toolkit-free: the shell draws the strip, hit-tests its tabs and passes the
// results to the tab operations below (TabMouseDown, TabMouseUp, renaming).
#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <vector>

#include "base/font.h"
#include "sheets/forwarded_event.h"
#include "sheets/grid_sheet.h"
#include "sheets/sheet_formulas.h"
#include "sheets/sheet_tabs.h"

namespace plu {

// The sheets taken out of a control (TakeSheets), in list order, with the
// one that was active.
struct TVexaTakenSheets {
    std::vector<std::unique_ptr<TVexaGridSheet>> Sheets;
    int ActiveIndex = -1;
};

class TVexaSheetControl {
  public:
    TVexaSheetControl();
    // Frees every sheet (last to first), then the strip and the formula
    // context.
    ~TVexaSheetControl();
    TVexaSheetControl(const TVexaSheetControl&) = delete;
    TVexaSheetControl& operator=(const TVexaSheetControl&) = delete;

    // ---- Sheets -------------------------------------------------------------------
    int SheetCount() const { return static_cast<int>(list_.size()); }
    // The attached sheet at a list index; EListError outside the list.
    TVexaGridSheet& Sheets(int index) const;
    // The attached sheet at a list index, nullptr outside the list.
    TVexaGridSheet* FindSheet(int index) const;
    int IndexOf(const TVexaGridSheet* sheet) const;

    // Creates a sheet, captions it (caption, or NewSheetName when empty),
    // attaches it, hides its own horizontal scroll bar while the strip shows,
    // raises OnNewSheet and answers its SheetIndex. The sheet is not
    // activated. A failure frees the new sheet and propagates.
    int AddSheet(WideStringView caption = {});
    // Attaches a sheet and takes it over (the sheet's SheetControl := this):
    // appended to the list, given the formula context, the control's popup
    // menu and every stored handler, its tab inserted at its TabPosition.
    TVexaGridSheet& AttachSheet(std::unique_ptr<TVexaGridSheet> sheet);
    // Detaches a sheet and hands it back: the next sheet with a visible tab
    // (in list order, wrapping) becomes active, or none when there is no
    // other. nullptr when the sheet is not attached here.
    std::unique_ptr<TVexaGridSheet> DetachSheet(TVexaGridSheet& sheet);
    // Detaches and frees one sheet.
    void FreeSheet(TVexaGridSheet& sheet);
    // Frees every sheet, from the last to the first.
    void FreeAllSheets();
    // Takes every sheet out of the control as it is (list order, captions,
    // tab visibility, contents) and remembers the active one; the control is
    // left without sheets. RestoreSheets frees whatever the control holds
    // then and puts the taken sheets back, attached, with the same one active.
    TVexaTakenSheets TakeSheets();
    void RestoreSheets(TVexaTakenSheets taken);

    // ---- Active sheet and tabs -------------------------------------------------------
    TVexaGridSheet* ActiveSheet() const { return active_; }
    // A sheet attached elsewhere is ignored. An open edit on the old sheet
    // is committed first (unless it is picking a formula reference); a
    // refused commit keeps the old sheet. The new sheet shows, the old one
    // hides, the tab follows and OnChange is raised.
    void SetActiveSheet(TVexaGridSheet* sheet);
    // The sheet at a list index; none outside 0 ... SheetCount - 1.
    void ActivateSheet(int index);
    const TKtTabControlStrings& Tabs() const { return tabs_; }
    // The strip's current tab, -1 for none.
    int TabIndex() const { return tabIndex_; }
    // Outside the tab list: 0 when there are tabs, else -1. A sheet's tab
    // activates its sheet.
    void SetTabIndex(int index);
    // The next sheet after sheet in list order (wrapping), only among sheets
    // with a visible tab when visibleOnly; a lone sheet finds itself; nullptr
    // for an empty list or when none qualifies.
    TVexaGridSheet* FindNextSheet(const TVexaGridSheet* sheet, bool forward,
                                  bool visibleOnly) const;
    // From now on, inserting and removing tabs no longer chooses the active
    // sheet (there is no way back).
    void DisableTabSync() { ++tabSyncLock_; }
    int TabSyncLock() const { return tabSyncLock_; }
    // The next generated name: SheetBaseName and a counter that starts above
    // the sheet count and skips names in use (any case).
    WideString NewSheetName();
    // OnChange, unless the control is being destroyed.
    void Change();

    // ---- Properties -----------------------------------------------------------------------
    const WideString& SheetBaseName() const { return sheetBaseName_; }
    void SetSheetBaseName(WideStringView name) { sheetBaseName_ = WideString(name); }
    bool ShowNewTab() const { return showNewTab_; }
    // True appends the new-sheet tab "*" when it is missing; false removes it.
    void SetShowNewTab(bool show);
    bool ShowTabset() const { return showTabset_; }
    // Shows or hides the strip; each sheet shows its own horizontal scroll
    // bar exactly while the strip is hidden.
    void SetShowTabset(bool show);
    int HorzScrollBarLength() const { return scrollBarLength_; }
    void SetHorzScrollBarLength(int width);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle style) { borderStyle_ = style; }
    // Sheets with ParentFont follow it.
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }
    bool Visible = true;
    bool TabStop = true;
    int Width = 350;
    int Height = 250;
    // The control's popup menu (observed); attached sheets take it.
    TKtPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TKtPopupMenu* menu);

    TKtSheetFormulaContext& FormulaContext() { return formulas_; }

    // ---- Tab strip input (tab indices come from the shell's hit-testing) --------------
    // Any button first commits an open rename. Left button on a sheet's tab:
    // OnTabSetMouseDown, then that tab's sheet becomes active; a double
    // click starts renaming it. Right and middle buttons: OnTabSetMouseDown.
    void TabMouseDown(TMouseButton button, TShiftState shift, int tab);
    // OnTabSetMouseUp on a sheet's tab; a left press and release on the
    // new-sheet tab adds a sheet with a generated name and activates it.
    void TabMouseUp(TMouseButton button, TShiftState shift, int tab);
    // The rename box: open on a sheet's tab with its caption.
    bool Renaming() const { return renameTab_ >= 0; }
    int RenameTab() const { return renameTab_; }
    const WideString& RenameText() const { return renameText_; }
    void StartRename(int tab);
    void SetRenameText(WideStringView text) { renameText_ = WideString(text); }
    // Enter: the tab's caption and its sheet's Caption become the text.
    void CommitRename();
    // Escape: nothing changes.
    void CancelRename();

    // ---- Formula references from other sheets -----------------------------------------------
    // While the editor of one sheet picks a cell reference for a formula,
    // activating another sheet lets that sheet's selection feed the
    // reference (preceded by its caption and "!"); the editing sheet stays
    // in editing mode meanwhile.
    // The sheet whose formula is picking from another sheet, else nullptr.
    TVexaGridSheet* PickingSheet() const { return pick_.editing; }
    // Keys of a sheet go here before the grid's own handling; Enter on the
    // sheet that feeds a reference returns to the editing sheet (true: the
    // key was taken).
    bool SheetKeyDown(TVexaGridSheet& sheet, uint16_t key, TShiftState shift);

    // ---- Events of the control ------------------------------------------------------------
    std::function<void(TVexaSheetControl&)> OnChange;
    std::function<void(TVexaSheetControl&, TVexaGridSheet&)> OnNewSheet;
    std::function<void(TVexaSheetControl&, TMouseButton, TShiftState, int tab)> OnTabSetMouseDown;
    std::function<void(TVexaSheetControl&, TMouseButton, TShiftState, int tab)> OnTabSetMouseUp;
    // Where a failing OnShow / OnHide handler of a sheet is reported (the
    // application's exception display). Without one the first failure is
    // raised again once the change is complete.
    std::function<void(const std::exception&)> OnHandlerException;

  private:
    std::vector<const IKtForwardedEvent*> forwarded_;
    std::vector<TVexaGridSheet*> list_;

  public:
    // ---- Grid events forwarded to every sheet --------------------------------------------
    // The text events go to the sheets' wide forms; OnSheetMouse* to the
    // grid's mouse events, which each sheet's mouse layer raises.
    TForwardedEvent<decltype(TKtCustomGrid::OnGetCellTextW)> OnGetCellText{
        forwarded_, list_, &TVexaGridSheet::OnGetCellTextW};
    TForwardedEvent<decltype(TKtCustomGrid::OnSetCellTextW)> OnSetCellText{
        forwarded_, list_, &TVexaGridSheet::OnSetCellTextW};
    TForwardedEvent<decltype(TKtCustomGrid::OnCellTextChanged)> OnCellTextChanged{
        forwarded_, list_, &TVexaGridSheet::OnCellTextChanged};
    TForwardedEvent<decltype(TKtCustomGrid::OnCellTextChangingW)> OnCellTextChanging{
        forwarded_, list_, &TVexaGridSheet::OnCellTextChangingW};
    TForwardedEvent<decltype(TKtCustomGrid::OnDrawCellTextW)> OnDrawCellText{
        forwarded_, list_, &TVexaGridSheet::OnDrawCellTextW};
    TForwardedEvent<decltype(TKtCustomGrid::OnCompleteEditW)> OnCompleteEdit{
        forwarded_, list_, &TVexaGridSheet::OnCompleteEditW};
    TForwardedEvent<decltype(TKtCustomGrid::OnDrawCell)> OnDrawCell{forwarded_, list_,
                                                                     &TVexaGridSheet::OnDrawCell};
    TForwardedEvent<decltype(TKtCustomGrid::OnCanEditAcceptKey)> OnCanEditAcceptKey{
        forwarded_, list_, &TVexaGridSheet::OnCanEditAcceptKey};
    TForwardedEvent<decltype(TKtCustomGrid::OnRowCountChange)> OnRowCountChange{
        forwarded_, list_, &TVexaGridSheet::OnRowCountChange};
    TForwardedEvent<decltype(TKtCustomGrid::OnScroll)> OnScroll{forwarded_, list_,
                                                                &TVexaGridSheet::OnScroll};
    TForwardedEvent<decltype(TKtCustomGrid::OnCurrentChanging)> OnCurrentChanging{
        forwarded_, list_, &TVexaGridSheet::OnCurrentChanging};
    TForwardedEvent<decltype(TKtCustomGrid::OnCurrentChanged)> OnCurrentChanged{
        forwarded_, list_, &TVexaGridSheet::OnCurrentChanged};
    TForwardedEvent<decltype(TKtCustomGrid::OnCellValueChanged)> OnCellValueChanged{
        forwarded_, list_, &TVexaGridSheet::OnCellValueChanged};
    TForwardedEvent<decltype(TKtCustomGrid::OnFormatNumber)> OnFormatNumber{
        forwarded_, list_, &TVexaGridSheet::OnFormatNumber};
    TForwardedEvent<decltype(TKtCustomGrid::OnCellCanEdit)> OnCellCanEdit{
        forwarded_, list_, &TVexaGridSheet::OnCellCanEdit};
    TForwardedEvent<decltype(TKtCustomGrid::OnCellCanModify)> OnCellCanModify{
        forwarded_, list_, &TVexaGridSheet::OnCellCanModify};
    TForwardedEvent<decltype(TKtCustomGrid::OnCellButtonClick)> OnCellButtonClick{
        forwarded_, list_, &TVexaGridSheet::OnCellButtonClick};
    TForwardedEvent<decltype(TKtCustomGrid::OnMoveCurrent)> OnMoveCurrent{
        forwarded_, list_, &TVexaGridSheet::OnMoveCurrent};
    TForwardedEvent<decltype(TKtCustomGrid::OnShowHint)> OnShowHint{forwarded_, list_,
                                                                    &TVexaGridSheet::OnShowHint};
    TForwardedEvent<decltype(TKtCustomGrid::OnBeforeClear)> OnBeforeClear{
        forwarded_, list_, &TVexaGridSheet::OnBeforeClear};
    TForwardedEvent<decltype(TKtCustomGrid::OnAfterClear)> OnAfterClear{
        forwarded_, list_, &TVexaGridSheet::OnAfterClear};
    TForwardedEvent<decltype(TKtCustomGrid::OnBeforePaste)> OnBeforePaste{
        forwarded_, list_, &TVexaGridSheet::OnBeforePaste};
    TForwardedEvent<decltype(TKtCustomGrid::OnAfterPaste)> OnAfterPaste{
        forwarded_, list_, &TVexaGridSheet::OnAfterPaste};
    TForwardedEvent<decltype(TKtCustomGrid::OnCustomPaste)> OnCustomPaste{
        forwarded_, list_, &TVexaGridSheet::OnCustomPaste};
    TForwardedEvent<decltype(TKtCustomGrid::OnCopy)> OnCopy{forwarded_, list_,
                                                            &TVexaGridSheet::OnCopy};
    TForwardedEvent<decltype(TKtCustomGrid::OnCut)> OnCut{forwarded_, list_,
                                                          &TVexaGridSheet::OnCut};
    TForwardedEvent<decltype(TKtCustomGrid::OnPaste)> OnPaste{forwarded_, list_,
                                                              &TVexaGridSheet::OnPaste};
    TForwardedEvent<decltype(TKtCustomGrid::OnCellMouseEnter)> OnCellMouseEnter{
        forwarded_, list_, &TVexaGridSheet::OnCellMouseEnter};
    TForwardedEvent<decltype(TKtCustomGrid::OnCellMouseLeave)> OnCellMouseLeave{
        forwarded_, list_, &TVexaGridSheet::OnCellMouseLeave};
    TForwardedEvent<decltype(TKtCustomGrid::OnCellGetColor)> OnCellGetColor{
        forwarded_, list_, &TVexaGridSheet::OnCellGetColor};
    TForwardedEvent<decltype(TKtCustomGrid::OnCellGetFont)> OnCellGetFont{
        forwarded_, list_, &TVexaGridSheet::OnCellGetFont};
    TForwardedEvent<decltype(TKtCustomGrid::OnColWidthChange)> OnColWidthChange{
        forwarded_, list_, &TVexaGridSheet::OnColWidthChange};
    TForwardedEvent<decltype(TKtCustomGrid::OnRowHeightChange)> OnRowHeightChange{
        forwarded_, list_, &TVexaGridSheet::OnRowHeightChange};
    TForwardedEvent<decltype(TVexaGridSheet::OnMouseEnter)> OnMouseEnter{
        forwarded_, list_, &TVexaGridSheet::OnMouseEnter};
    TForwardedEvent<decltype(TVexaGridSheet::OnMouseLeave)> OnMouseLeave{
        forwarded_, list_, &TVexaGridSheet::OnMouseLeave};
    TForwardedEvent<decltype(TKtCustomGrid::OnSelectionChange)> OnSelectionChange{
        forwarded_, list_, &TVexaGridSheet::OnSelectionChange};
    TForwardedEvent<decltype(TKtCustomGrid::OnEditKeyDown)> OnEditKeyDown{
        forwarded_, list_, &TVexaGridSheet::OnEditKeyDown};
    TForwardedEvent<decltype(TKtCustomGrid::OnEditKeyPress)> OnEditKeyPress{
        forwarded_, list_, &TVexaGridSheet::OnEditKeyPress};
    TForwardedEvent<decltype(TKtCustomGrid::OnEditKeyUp)> OnEditKeyUp{forwarded_, list_,
                                                                      &TVexaGridSheet::OnEditKeyUp};
    TForwardedEvent<decltype(TKtCustomGrid::OnEditChange)> OnEditChange{
        forwarded_, list_, &TVexaGridSheet::OnEditChange};
    TForwardedEvent<decltype(TVexaGridSheet::OnDragFill)> OnDragFill{forwarded_, list_,
                                                                     &TVexaGridSheet::OnDragFill};
    TForwardedEvent<decltype(TKtCustomGrid::OnSortRowCompare)> OnSortRowCompare{
        forwarded_, list_, &TVexaGridSheet::OnSortRowCompare};
    TForwardedEvent<decltype(TKtCustomGrid::OnHideEditor)> OnHideEditor{
        forwarded_, list_, &TVexaGridSheet::OnHideEditor};
    TForwardedEvent<decltype(TKtCustomGrid::OnShowEditor)> OnShowEditor{
        forwarded_, list_, &TVexaGridSheet::OnShowEditor};
    TForwardedEvent<decltype(TVexaGridSheet::OnMouseUp)> OnSheetMouseUp{forwarded_, list_,
                                                                        &TVexaGridSheet::OnMouseUp};
    TForwardedEvent<decltype(TVexaGridSheet::OnMouseDown)> OnSheetMouseDown{
        forwarded_, list_, &TVexaGridSheet::OnMouseDown};
    TForwardedEvent<decltype(TVexaGridSheet::OnMouseMove)> OnSheetMouseMove{
        forwarded_, list_, &TVexaGridSheet::OnMouseMove};
    TForwardedEvent<decltype(TVexaGridSheet::OnStartSelect)> OnStartSelect{
        forwarded_, list_, &TVexaGridSheet::OnStartSelect};
    TForwardedEvent<decltype(TVexaGridSheet::OnEndSelect)> OnEndSelect{
        forwarded_, list_, &TVexaGridSheet::OnEndSelect};

    // The number of forwarded events (49).
    int ForwardedEventCount() const { return static_cast<int>(forwarded_.size()); }

  private:
    friend class TVexaGridSheet;

    // Tab list maintenance; each ends by synchronising the active sheet
    // with the current tab (unless tab sync is disabled).
    void ShowTab(TVexaGridSheet& sheet);
    void HideTab(TVexaGridSheet& sheet);
    void SyncTabs();
    void MoveSheet(TVexaGridSheet& sheet, int index);
    void RenumberSheets();
    std::unique_ptr<TVexaGridSheet> Detach(TVexaGridSheet& sheet, bool freeing);
    // The list changed: references to sheets by position are resolved again.
    void SheetsChanged();
    // Shows or hides a sheet; a failing OnShow / OnHide is reported, not raised.
    void SetSheetVisible(TVexaGridSheet& sheet, bool visible);
    void ReportHandlerError();
    // Where the sheet's tab goes: after the shown tabs of the sheets before it.
    int TabInsertPosition(const TVexaGridSheet& sheet) const;
    bool NameInUse(WideStringView name) const;
    int NewSheetTabIndex() const { return tabs_.HasNewSheetTab() ? tabs_.Count() - 1 : -1; }

    // The formula context outlives every sheet (declared first, freed last).
    TKtSheetFormulaContext formulas_;
    std::vector<std::unique_ptr<TVexaGridSheet>> owned_;

    // Stands in as the cell editor of the sheet that feeds a reference: its
    // selection changes go to the editing sheet's editor.
    class TReferencePick : public IKtCellEditor {
      public:
        void Show(TKtCell&) override {}
        bool Hide(bool, bool) override { return true; }
        void UpdateBounds() override {}
        void SelectionChanged(const TRect& rect) override;

        TVexaGridSheet* editing = nullptr;
        TVexaGridSheet* source = nullptr;
        IKtCellEditor* sourceEditor = nullptr;
    };
    // The old active sheet picks a reference: the new one feeds it.
    void BeginPick(TVexaGridSheet& editing, TVexaGridSheet& source);
    void EndPick();
    static bool PicksReference(const TVexaGridSheet& sheet);

    TKtTabControlStrings tabs_;
    TReferencePick pick_;
    TVexaGridSheet* active_ = nullptr;
    int tabIndex_ = -1;
    int tabSyncLock_ = 0;
    int nameCounter_ = 0;
    bool changingActive_ = false;  // the guard flag while ActiveSheet changes
    bool destroying_ = false;
    WideString sheetBaseName_ = u"VexaSheet";
    bool showNewTab_ = true;
    bool showTabset_ = true;
    int scrollBarLength_ = 150;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    TFont font_;
    TKtPopupMenu* popupMenu_ = nullptr;
    int pressedTab_ = -1;
    int renameTab_ = -1;
    WideString renameText_;
    std::exception_ptr pendingHandlerError_;
};

}  // namespace plu
