// The PLU table's files as the editor names, saves and opens them; the
// command line's convert uses the same rules.
#pragma once

#include <string>

#include "base/wide_text.h"

namespace plu {

class TKtCustomGrid;

// Both file dialogs offer workbooks.
inline constexpr char16_t kTableFileFilter[] = u"Excel File(*.xls)|*.xls";
// What the save dialog adds to a name typed without an extension.
inline constexpr char16_t kDefaultTableExtension[] = u".vexa";

// True when the name ends in ".xls" in any letter case.
bool IsXlsFileName(WideStringView fileName);

// fileName with extension appended when its last path component has none.
// A component that ends in a dot ("report.") takes the extension without
// doubling the dot; a leading dot (".plu") names a file, not an extension.
WideString WithDefaultExtension(WideStringView fileName, WideStringView extension);

// Saves the grid by the file name's extension: ".xls" (any case) as a
// workbook with the sheet name "sheet1", anything else as tab-separated text
// without the fixed header row and column. fileName is the platform's UTF-8
// path. Failures propagate; the previous file of that name is then left as
// it was. Returns how many formulas went out as their values (see
// TXlsSaveReport; always 0 for text).
int SaveTableFile(const TKtCustomGrid& grid, const std::string& fileName);

}  // namespace plu
