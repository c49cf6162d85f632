// The sheet both workbook benchmarks use: 65,000 rows x 10 columns, the
// second half of the columns texts "text<row>_<col>".
#pragma once

#include <string>

#include "base/wide_text.h"

namespace plu::bench {

constexpr int kRows = 65000;
constexpr int kCols = 10;

inline WideString CellText(int r, int c) {
    return u"text" + AsciiToWide(std::to_string(r) + "_" + std::to_string(c));
}

}  // namespace plu::bench
