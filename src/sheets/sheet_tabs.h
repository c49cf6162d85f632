// TKtTabControlStrings: the captions of a sheet control's tab strip, each
// with the sheet it stands for; the new-sheet tab is a last entry without a
// sheet.
#pragma once

#include <vector>

#include "base/wide_text.h"

namespace plu {

class TVexaGridSheet;

struct TKtSheetTab {
    WideString Caption;
    TVexaGridSheet* Sheet = nullptr;  // nullptr: the new-sheet tab
};

class TKtTabControlStrings {
  public:
    int Count() const { return static_cast<int>(tabs_.size()); }
    const TKtSheetTab& operator[](int index) const { return tabs_[static_cast<size_t>(index)]; }
    bool Valid(int index) const { return index >= 0 && index < Count(); }
    // The caption at index, "" outside the list.
    WideString Caption(int index) const { return Valid(index) ? (*this)[index].Caption : u""; }
    // The sheet of the tab at index, nullptr outside the list or for the
    // new-sheet tab.
    TVexaGridSheet* Sheet(int index) const { return Valid(index) ? (*this)[index].Sheet : nullptr; }
    // The tab of sheet, -1 when it has none.
    int IndexOf(const TVexaGridSheet* sheet) const;
    // Whether the last entry is the new-sheet tab.
    bool HasNewSheetTab() const { return !tabs_.empty() && tabs_.back().Sheet == nullptr; }

    void Insert(int index, WideStringView caption, TVexaGridSheet* sheet);
    void Append(WideStringView caption, TVexaGridSheet* sheet) { Insert(Count(), caption, sheet); }
    void Delete(int index);
    void Move(int from, int to);
    void SetCaption(int index, WideStringView caption);

  private:
    std::vector<TKtSheetTab> tabs_;
};

}  // namespace plu
