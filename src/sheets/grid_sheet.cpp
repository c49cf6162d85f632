#include "sheets/grid_sheet.h"

#include <cstdio>

#include "base/events.h"
#include "grid/grid_selection.h"
#include "sheets/sheet_control.h"
#include "sheets/sheet_errors.h"
#include "sheets/sheet_formulas.h"

namespace plu {

TVexaGridSheet::TVexaGridSheet() : TKtCustomDataGrid(NoFormulaService{}) {
    SetFormulas(std::make_unique<TKtSheetFormulas>(*this));
    SetProtected(false);
    SetOptionsEx(OptionsEx()
                     .With(TGridOptionEx::goxHideHorzScrollBar)
                     .With(TGridOptionEx::goxSupportFormula));
    SetOptions(Options().With(TGridOption::goUnequalRowHeight));
    SetBorderStyle(TBorderStyle::bsNone);
    SetRowCount(100);
    SetColCount(10);
    SetAutoRowHeight(true);
    FillDefaultPopupMenu();
    // A font set on the sheet itself ends following the control's.
    Font().OnChange = [this, gridHandler = std::move(Font().OnChange)] {
        if (!copyingParentFont_) parentFont_ = false;
        if (gridHandler) gridHandler();
    };
}

TVexaGridSheet::~TVexaGridSheet() = default;

WideString TVexaGridSheet::Version() {
    return u"PLU Editor worksheet 1.0";
}

void TVexaGridSheet::SetSheetIndex(int index) {
    // A lone sheet is in no list: every index is outside its empty range
    // (0 ... -1), and a silent no-op would let the caller believe it moved.
    const int last = control_ ? control_->SheetCount() - 1 : -1;
    if (index < 0 || index > last) {
        char text[128];
        std::snprintf(text, sizeof text,
                      "%d is an invalid SheetIndex value.  PageIndex must be between 0 and %d",
                      index, last);
        throw EListError(text);
    }
    control_->MoveSheet(*this, index);
}

int TVexaGridSheet::TabPosition() const {
    return control_ && tabShown_ ? control_->Tabs().IndexOf(this) : -1;
}

void TVexaGridSheet::SetCaption(WideStringView caption) {
    if (caption_ == caption) return;
    caption_ = WideString(caption);
    if (control_ && tabShown_) control_->tabs_.SetCaption(TabPosition(), caption_);
}

void TVexaGridSheet::SetTabVisible(bool visible) {
    if (tabVisible_ == visible) return;
    tabVisible_ = visible;
    if (!control_) return;
    if (visible)
        control_->ShowTab(*this);
    else
        control_->HideTab(*this);
}

void TVexaGridSheet::SetParentFont(bool on) {
    parentFont_ = on;
    if (on && control_) TakeParentFont(control_->Font());
}

void TVexaGridSheet::TakeParentFont(const TFont& font) {
    if (!parentFont_) return;
    copyingParentFont_ = true;
    ScopeExit done([this] { copyingParentFont_ = false; });
    Font().Assign(font);
}

void TVexaGridSheet::SetVisible(bool visible) {
    if (visible_ == visible) return;
    visible_ = visible;
    const auto& handler = visible ? OnShow : OnHide;
    if (handler) handler(*this);
}

// ---- Default popup menu ------------------------------------------------------------

void TVexaGridSheet::FillDefaultPopupMenu() {
    AddPopupMenuItem(u"剪切(&T)", [this](TKtMenuItem&) { Selection().Cut(); });
    AddPopupMenuItem(u"复制(&C)", [this](TKtMenuItem&) { Selection().Copy(); });
    AddPopupMenuItem(u"粘贴(&P)", [this](TKtMenuItem&) { Selection().Paste(0); });
    // Straight to the clipboard service: no OnPaste, no AllowEdit, no editor.
    AddPopupMenuItem(u"选择性粘贴(&V)", [this](TKtMenuItem&) {
        if (IKtGridClipboard* clipboard = Clipboard())
            clipboard->Paste(*this, Selection().Rect(), kPasteSpecial);
    });
    AddPopupMenuItem(u"-", nullptr);
    AddPopupMenuItem(u"插入行", [this](TKtMenuItem&) { InsertRows(CurrentRow(), 1); });
    AddPopupMenuItem(u"插入列", [this](TKtMenuItem&) { InsertCols(CurrentCol(), 1); });
    AddPopupMenuItem(u"删除行", [this](TKtMenuItem&) { DeleteRows(CurrentRow(), 1); });
    AddPopupMenuItem(u"删除列", [this](TKtMenuItem&) { DeleteCols(CurrentCol(), 1); });
    AddPopupMenuItem(u"-", nullptr);
    AddPopupMenuItem(u"合并单元格", [this](TKtMenuItem&) { Selection().Merge(); });
    AddPopupMenuItem(u"取消合并单元格", [this](TKtMenuItem&) { Selection().Unmerge(); });
    AddPopupMenuItem(u"-", nullptr);
    AddPopupMenuItem(u"显示列\\dump", nullptr);
    if (TKtMenuItem* columns = DefaultPopupMenu().FindItem(u"显示列"))
        columns->OnPopup = [this](TKtMenuItem& item) { RebuildColumnMenu(item); };
    AddPopupMenuItem(u"冻结行列", [this](TKtMenuItem& item) { ToggleFreeze(item); });
}

void TVexaGridSheet::RebuildColumnMenu(TKtMenuItem& parent) {
    const int count = ColCount();
    for (int c = 0; c < count; ++c) {
        const TKtCell* header = FindCell(c, FixedRowCount() - 1);
        WideString caption = header ? header->GetAsString() : WideString();
        if (caption.empty()) {
            char text[32];
            std::snprintf(text, sizeof text, "%d", c);
            caption = u"第" + AsciiToWide(text) + u"列";
        }
        TKtMenuItem& entry = c < parent.Count() ? parent.Items(c) : parent.Add(caption);
        entry.SetCaption(caption);
        entry.Checked = IsColVisible(c);
        entry.OnClick = [this, c](TKtMenuItem& item) {
            const bool visible = !IsColVisible(c);
            GetColumn(c).SetVisible(visible);
            item.Checked = visible;
        };
    }
    while (parent.Count() > count)
        parent.Delete(parent.Count() - 1);
}

void TVexaGridSheet::ToggleFreeze(TKtMenuItem& item) {
    item.Checked = !item.Checked;
    if (item.Checked)
        SetViewLock(CurrentCol(), CurrentRow());
    else
        SetViewLock(FixedColCount(), FixedRowCount());
}

}  // namespace plu
