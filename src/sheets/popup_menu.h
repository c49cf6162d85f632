// A popup menu as data: a tree of items with captions, commands, tags and
// check marks that the shell renders and whose commands it runs. An item
// whose caption is "-" is a separator. A submenu's OnPopup runs just before
// it opens, so its entries can be rebuilt.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "base/wide_text.h"

namespace plu {

class TKtMenuItem {
  public:
    explicit TKtMenuItem(WideStringView caption = {}) : caption_(caption) {}
    TKtMenuItem(const TKtMenuItem&) = delete;
    TKtMenuItem& operator=(const TKtMenuItem&) = delete;

    const WideString& Caption() const { return caption_; }
    void SetCaption(WideStringView caption) { caption_ = WideString(caption); }
    bool IsSeparator() const { return caption_ == u"-"; }
    TKtMenuItem* Parent() const { return parent_; }

    int Tag = 0;
    bool Checked = false;
    bool Visible = true;
    bool Enabled = true;
    // The command.
    std::function<void(TKtMenuItem&)> OnClick;
    // The item's submenu is about to open.
    std::function<void(TKtMenuItem&)> OnPopup;

    // ---- Sub-items ------------------------------------------------------
    int Count() const { return static_cast<int>(items_.size()); }
    // Raises EListError for an index outside 0 ... Count - 1.
    TKtMenuItem& Items(int index) const;
    // Appends a new item.
    TKtMenuItem& Add(WideStringView caption);
    // The first sub-item with exactly this caption that is not a separator.
    TKtMenuItem* Find(WideStringView caption) const;
    int IndexOf(const TKtMenuItem& item) const;
    // Removes (and frees) the item at index; EListError outside the list.
    void Delete(int index);
    void Clear() { items_.clear(); }

    // Runs the command.
    void Click();
    // Runs OnPopup (the shell calls it before showing the submenu).
    void Popup();

  private:
    WideString caption_;
    TKtMenuItem* parent_ = nullptr;
    std::vector<std::unique_ptr<TKtMenuItem>> items_;
};

class TKtPopupMenu {
  public:
    explicit TKtPopupMenu(WideStringView name) : name_(name) {}
    TKtPopupMenu(const TKtPopupMenu&) = delete;
    TKtPopupMenu& operator=(const TKtPopupMenu&) = delete;

    const WideString& Name() const { return name_; }
    // The top-level items (children of an invisible root).
    TKtMenuItem& Items() { return root_; }
    const TKtMenuItem& Items() const { return root_; }

    // Finds or creates the item named by path, levels separated by "\":
    // every level reuses an existing item of that caption (separators are
    // never reused); the last one gets the command, tag and check mark.
    TKtMenuItem& AddItem(WideStringView path, std::function<void(TKtMenuItem&)> onClick,
                         int tag = 0, bool checked = false);
    // The item named by path, nullptr when a level is missing.
    TKtMenuItem* FindItem(WideStringView path) const;

  private:
    WideString name_;
    TKtMenuItem root_;
};

}  // namespace plu
