// The main window's caption.
#pragma once

#include "base/wide_text.h"

namespace plu {

// ModelName, " QTP Formular" for 55 keys or " QT Formular" for 5, " - ", and
// the file name or "Book1": "VARDEN-15kg QT Formular - Book1".
WideString WindowTitle(WideStringView modelName, bool preset55, WideStringView fileName);

}  // namespace plu
