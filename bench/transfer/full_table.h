// The table both transfer benchmarks move: 265 PLUs with full-width names
// (20) and ingredients (80), so every record frame and reply has its
// longest form.
#pragma once

#include <string>

#include "virtual-scale/plu_table.h"

namespace plu {

inline virtual_scale::PluTable FullTable() {
    virtual_scale::PluTable t;
    t.businessName = "CORNER SHOP";
    t.secondLine = "OPEN DAILY";
    for (int n = 1; n <= 265; ++n) {
        std::string name = "PRODUCT " + std::to_string(n);
        name.resize(20, 'X');
        std::string ingredients = "INGREDIENTS OF " + std::to_string(n);
        ingredients.resize(80, 'Y');
        t.plus[static_cast<std::size_t>(n - 1)] = {false, name, ingredients, 30, n % 3, 1250, 100, 4242};
    }
    return t;
}

}  // namespace plu
