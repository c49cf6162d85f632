#include "sheets/popup_menu.h"

#include "sheets/sheet_errors.h"

namespace plu {

namespace {

std::vector<WideStringView> SplitPath(WideStringView path) {
    std::vector<WideStringView> parts;
    size_t start = 0;
    for (;;) {
        const size_t slash = path.find(u'\\', start);
        parts.push_back(path.substr(
            start, slash == WideStringView::npos ? WideStringView::npos : slash - start));
        if (slash == WideStringView::npos) break;
        start = slash + 1;
    }
    return parts;
}

}  // namespace

TKtMenuItem& TKtMenuItem::Items(int index) const {
    if (index < 0 || index >= Count()) ThrowListIndexError(index);
    return *items_[static_cast<size_t>(index)];
}

TKtMenuItem& TKtMenuItem::Add(WideStringView caption) {
    items_.push_back(std::make_unique<TKtMenuItem>(caption));
    items_.back()->parent_ = this;
    return *items_.back();
}

TKtMenuItem* TKtMenuItem::Find(WideStringView caption) const {
    for (const auto& item : items_)
        if (!item->IsSeparator() && item->caption_ == caption) return item.get();
    return nullptr;
}

int TKtMenuItem::IndexOf(const TKtMenuItem& item) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].get() == &item) return static_cast<int>(i);
    return -1;
}

void TKtMenuItem::Delete(int index) {
    if (index < 0 || index >= Count()) ThrowListIndexError(index);
    items_.erase(items_.begin() + index);
}

void TKtMenuItem::Click() {
    if (OnClick) OnClick(*this);
}

void TKtMenuItem::Popup() {
    if (OnPopup) OnPopup(*this);
}

TKtMenuItem& TKtPopupMenu::AddItem(WideStringView path, std::function<void(TKtMenuItem&)> onClick,
                                   int tag, bool checked) {
    TKtMenuItem* level = &root_;
    for (WideStringView caption : SplitPath(path)) {
        TKtMenuItem* existing = caption == u"-" ? nullptr : level->Find(caption);
        level = existing ? existing : &level->Add(caption);
    }
    level->OnClick = std::move(onClick);
    level->Tag = tag;
    level->Checked = checked;
    return *level;
}

TKtMenuItem* TKtPopupMenu::FindItem(WideStringView path) const {
    const TKtMenuItem* level = &root_;
    for (WideStringView caption : SplitPath(path)) {
        level = level->Find(caption);
        if (!level) return nullptr;
    }
    return const_cast<TKtMenuItem*>(level);
}

}  // namespace plu
