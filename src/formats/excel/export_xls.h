// Saving a grid as an Excel 97-2003 workbook (.xls): the grid's save-as-xls
// operation, a free function here because it needs the workbook writer.
#pragma once

#include <string>

#include "base/wide_text.h"

namespace plu {

class TKtCustomGrid;

// The sheet name the main window saves its PLU table under.
inline constexpr char16_t kPluSheetName[] = u"sheet1";

// A fresh helper, one sheet made from the grid's body (AddSheet with grid
// lines off), saved to fileName (the platform's UTF-8 path, used as given).
// The character width comes from the grid's text measurer. A failure leaves
// a previous file of that name as it was.
void SaveToXlsFile(const TKtCustomGrid& grid, const std::string& fileName,
                   WideStringView sheetName = kPluSheetName);

}  // namespace plu
