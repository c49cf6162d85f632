#include "formats/excel/excel_rw.h"

#include "formats/cfb/compound_document.h"
#include "formats/excel/excel_helper.h"
#include "formats/excel/import_grid.h"
#include "formats/excel/import_reading.h"

namespace plu {

TKtGridExcelRW::TKtGridExcelRW(ITextMeasurer* measurer)
    : helper_(CreateGridExcelHelper(CreateGridReading(), measurer)) {}

TKtGridExcelRW::~TKtGridExcelRW() = default;

void TKtGridExcelRW::LoadFromFile(WideStringView fileName) {
    helper_->LoadFromFile(WideToUtf8(fileName));
}

void TKtGridExcelRW::LoadFromDocument(std::span<const uint8_t> bytes) {
    helper_->LoadFromStorage(TCompoundDocument::OpenMemory(bytes));
}

int TKtGridExcelRW::SheetCount() const {
    int count = 0;
    CheckVxResult(helper_->GetSheetCount(count));
    return count;
}

WideString TKtGridExcelRW::SheetName(int index) const {
    WideString name;
    CheckVxResult(helper_->GetSheetName(index, name));
    return name;
}

void TKtGridExcelRW::ReadSheet(TKtCustomGrid& grid, int sheetIndex, int fixedColCount,
                               int fixedRowCount) {
    // An index beyond the sheets read fails before the grid is touched.
    (void)SheetName(sheetIndex);
    ClearGridForImport(grid);
    helper_->ReadSheet(grid, sheetIndex, 0, fixedColCount, fixedRowCount);
}

}  // namespace plu
