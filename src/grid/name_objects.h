// TKtNameObjects: names, each owning one object. Names are compared without
// regard to case and looked up through a hash; the order of first insertion
// is kept for listing.
#pragma once

#include <memory>
#include <unordered_map>
#include <vector>

#include "base/wide_text.h"
#include "grid/grid_object.h"

namespace plu {

class TKtNameObjects {
  public:
    TKtNameObjects() = default;
    TKtNameObjects(const TKtNameObjects&) = delete;
    TKtNameObjects& operator=(const TKtNameObjects&) = delete;

    // Stores object under name; an object already stored there is freed.
    TKtObject* Put(WideStringView name, std::unique_ptr<TKtObject> object);
    TKtObject* Find(WideStringView name) const;
    // Frees the object of name; false when there is none.
    bool Remove(WideStringView name);
    // Frees every object.
    void Clear();

    int Count() const { return static_cast<int>(order_.size()); }
    // Names in order of first insertion.
    const std::vector<WideString>& Names() const { return order_; }

  private:
    std::unordered_map<WideString, std::unique_ptr<TKtObject>> objects_;  // key: upper case
    std::vector<WideString> order_;
};

}  // namespace plu
