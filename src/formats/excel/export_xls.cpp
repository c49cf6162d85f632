#include "formats/excel/export_xls.h"

#include "formats/excel/excel_helper.h"
#include "grid/custom_grid.h"

namespace plu {

void SaveToXlsFile(const TKtCustomGrid& grid, const std::string& fileName, WideStringView sheetName) {
    TVexaGridExcelHelper helper(nullptr, &grid.Measurer());
    helper.AddSheet(sheetName, grid, false);
    helper.SaveToFile(fileName);
}

}  // namespace plu
