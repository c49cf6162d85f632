// The system's 8-bit ("ANSI") code page: Windows-1252. It is used only where
// 8-bit text crosses a boundary: 8-bit LABEL/STRING text in BIFF8, the
// tab-separated text file, font names in the native grid stream.
#pragma once

#include <string>
#include <string_view>

#include "base/wide_text.h"

namespace plu {

// Every byte maps to one UTF-16 code unit. The five bytes Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same
// number, as the Windows conversion does.
WideString AnsiToWide(std::string_view bytes);

// Each UTF-16 code unit becomes one byte; characters the code page cannot hold
// become "?" (a surrogate pair becomes one "?").
std::string WideToAnsi(WideStringView text);

char16_t AnsiCharToWide(unsigned char byte);
// The byte for c, or '?' when the code page has none.
unsigned char WideCharToAnsi(char16_t c);
bool IsAnsiRepresentable(char16_t c);

}  // namespace plu
