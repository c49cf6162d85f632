// Saving a grid as an Excel 97-2003 workbook (.xls): the grid's save-as-xls
// operation, a free function here because it needs the workbook writer.
#pragma once

#include <string>

#include "base/wide_text.h"

namespace plu {

class TKtCustomGrid;
class TVexaSheetControl;

// The sheet name the main window saves its PLU table under.
inline constexpr char16_t kPluSheetName[] = u"sheet1";

// What a save could not keep as it was: formulas that Excel 97-2003 has no
// tokens for (a function without a BIFF8 number, a defined name, a
// reference into a sheet the file does not hold) are saved as their last
// values.
struct TXlsSaveReport {
    int formulasSavedAsValues = 0;
};

// A fresh helper, one sheet made from the grid's body (AddSheet with grid
// lines off), saved to fileName (the platform's UTF-8 path, used as given).
// The character width comes from the grid's text measurer. A failure leaves
// a previous file of that name as it was.
TXlsSaveReport SaveToXlsFile(const TKtCustomGrid& grid, const std::string& fileName,
                             WideStringView sheetName = kPluSheetName);

// Every worksheet of a sheet control in one workbook, each under its
// caption, so that formulas referring to another sheet keep referring to it.
TXlsSaveReport SaveSheetsToXlsFile(const TVexaSheetControl& control, const std::string& fileName);

}  // namespace plu
