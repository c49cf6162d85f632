#include "formats/excel/import_reading.h"

#include "formats/biff8/workbook.h"
#include "formats/excel/excel_helper.h"
#include "formats/excel/import_grid.h"
#include "formats/excel/import_source.h"

namespace plu {
namespace {

class TVxGridReading : public IVxGridReading {
  public:
    void ReadSheet(TVexaGridExcelHelper& helper, TKtCustomGrid& grid, int sheetIndex,
                   int fixedColCount, int fixedRowCount) override {
        const TVxSheetSource source(Workbook(helper));
        import_.ReadSheet(source, grid, sheetIndex, fixedColCount, fixedRowCount);
    }

    void ReadSheetAt(TVexaGridExcelHelper& helper, TKtCustomGrid& grid, int sheetIndex, int destCol,
                     int destRow) override {
        const TVxSheetSource source(Workbook(helper));
        import_.ReadSheetAt(source, grid, sheetIndex, destCol, destRow);
    }

  private:
    // The caches describe the XF and FONT records of one workbook; a helper
    // that loaded another file since starts them afresh.
    TWorkbook& Workbook(TVexaGridExcelHelper& helper) {
        TWorkbook& workbook = helper.Book().Workbook();
        if (&workbook != cachedFor_) {
            import_.ClearCaches();
            cachedFor_ = &workbook;
        }
        return workbook;
    }

    TVxGridImport import_;
    const TWorkbook* cachedFor_ = nullptr;
};

}  // namespace

std::unique_ptr<IVxGridReading> CreateGridReading() {
    return std::make_unique<TVxGridReading>();
}

}  // namespace plu
