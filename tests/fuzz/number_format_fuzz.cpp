// Format strings arrive from workbook files: compiling and rendering any
// string with any value must neither crash nor read out of bounds.
// Input: 8 bytes of a double, then the format string as UTF-16LE.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "grid/format_list.h"
#include "grid/number_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace plu;
    if (size < 8) return 0;
    double value;
    std::memcpy(&value, data, sizeof value);
    WideString format;
    for (size_t i = 8; i + 1 < size; i += 2)
        format.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
    TKtNumberFormatMask mask;
    try {
        mask.SetMask(format);
    } catch (const ENumberFormatError&) {
        return 0;
    }
    (void)mask.FormatValue(value);
    (void)mask.SectionColor(value);
    (void)mask.IsDateTime();
    TColor color = clNone;
    for (int index : {kFormatScientific, kFormatFraction1, kFormatFraction2, kFormatShortDate,
                      kFormatShortTime})
        (void)FormatNumberByIndex(index, value, color);
    return 0;
}
