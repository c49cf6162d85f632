#include "grid/name_objects.h"

#include <algorithm>

namespace plu {

TKtObject* TKtNameObjects::Put(WideStringView name, std::unique_ptr<TKtObject> object) {
    WideString key = UpperCase(name);
    auto it = objects_.find(key);
    TKtObject* raw = object.get();
    if (it == objects_.end()) {
        objects_.emplace(std::move(key), std::move(object));
        order_.emplace_back(name);
    } else {
        it->second = std::move(object);
    }
    return raw;
}

TKtObject* TKtNameObjects::Find(WideStringView name) const {
    auto it = objects_.find(UpperCase(name));
    return it == objects_.end() ? nullptr : it->second.get();
}

bool TKtNameObjects::Remove(WideStringView name) {
    auto it = objects_.find(UpperCase(name));
    if (it == objects_.end()) return false;
    objects_.erase(it);
    order_.erase(std::find_if(order_.begin(), order_.end(),
                              [&](const WideString& n) { return SameText(n, name); }));
    return true;
}

void TKtNameObjects::Clear() {
    objects_.clear();
    order_.clear();
}

}  // namespace plu
