// Clipboard text from other programs split into a block of fields: any
// UTF-16 text (unbalanced quotes, NUL, lone CR or LF, huge rows) must split
// without crashing, with no more rows than line breaks allow, no column
// beyond a grid's last, and no field longer than the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "clipboard/clipboard_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace plu;
    std::u16string text(size / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const auto block = SplitClipboardText(text);
    size_t breaks = 0;
    for (char16_t c : text) breaks += (c == u'\r' || c == u'\n') ? 1 : 0;
    if (block->RowCount() < 0 || static_cast<size_t>(block->RowCount()) > breaks + 1) std::abort();
    if (block->ColCount() > 65536) std::abort();
    if ((block->ColCount() == 0) != (block->RowCount() == 0)) std::abort();
    for (int r = 0; r < block->RowCount() && r < 64; ++r)
        for (int c = 0; c < block->ColCount() && c < 64; ++c)
            if (block->GetText(c, r).size() > text.size()) std::abort();
    return 0;
}
