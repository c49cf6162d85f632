#include "formats/excel/export_xls.h"

#include "base/exceptions.h"
#include "formats/excel/excel_helper.h"
#include "grid/custom_grid.h"
#include "sheets/sheet_control.h"

namespace plu {

TXlsSaveReport SaveToXlsFile(const TKtCustomGrid& grid, const std::string& fileName,
                             WideStringView sheetName) {
    TVexaGridExcelHelper helper(nullptr, &grid.Measurer());
    helper.AddSheet(sheetName, grid, false);
    helper.SaveToFile(fileName);
    return {helper.Book().FormulasSavedAsValues()};
}

TXlsSaveReport SaveSheetsToXlsFile(const TVexaSheetControl& control, const std::string& fileName) {
    if (control.SheetCount() == 0) throw Exception(u"There is no worksheet to save");
    TVexaGridExcelHelper helper(nullptr, &control.Sheets(0).Measurer());
    std::vector<WideString> names;
    for (int i = 0; i < control.SheetCount(); ++i)
        names.push_back(control.Sheets(i).Caption());
    helper.Book().PlanSheetNames(names);
    for (int i = 0; i < control.SheetCount(); ++i)
        helper.AddSheet(names[static_cast<size_t>(i)], control.Sheets(i), false);
    helper.SaveToFile(fileName);
    return {helper.Book().FormulasSavedAsValues()};
}

}  // namespace plu
