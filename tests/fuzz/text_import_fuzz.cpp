// Tab-separated text read into a grid from outside bytes: the import must
// take any bytes (any code page, byte-order marks, stray CR, NUL, huge
// lines) without crashing or reading out of bounds, grow the grid to hold
// every line and field, and leave a grid the text export can write again.
#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "formats/text/text_export.h"
#include "formats/text/text_import.h"
#include "grid/custom_grid.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace plu;
    static FixedTextMeasurer measurer;
    static ScopedRegionalSettings settings(RegionalSettings::Defaults());
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    TKtCustomGrid grid;
    grid.SetMeasurer(&measurer);
    grid.SetAutoRowHeight(size % 2 == 0);  // row fitting measures what was read
    size_t lines = 0, width = 0;
    for (const auto& fields : SplitTextFile(bytes)) {
        ++lines;
        width = std::max(width, fields.size());
    }
    try {
        LoadTextIntoGrid(grid, bytes);
    } catch (const ETextImportError&) {
        return 0;
    }
    if (lines > 0 && (grid.RowCount() < static_cast<int>(lines) + grid.FixedRowCount() ||
                      grid.ColCount() < static_cast<int>(width) + grid.FixedColCount())) {
        std::abort();
    }
    const std::string written = TextFileBytes(grid, false, false);
    (void)written;
    return 0;
}
