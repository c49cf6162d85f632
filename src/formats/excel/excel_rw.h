// TKtGridExcelRW: the bridge through which the sheet control opens a
// workbook. It holds one grid Excel helper (with the import's reading half)
// from its creation to its release: one bridge reads one file and fills any
// number of grids from its sheets, the helper keeping its format caches
// until the bridge is freed.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "base/text_measurer.h"
#include "base/wide_text.h"

namespace plu {

class IVxGridExcelHelper;
class TKtCustomGrid;

class TKtGridExcelRW {
  public:
    // measurer: for the workbook's character width (FreeType when null); it
    // must outlive the bridge.
    explicit TKtGridExcelRW(ITextMeasurer* measurer = nullptr);
    ~TKtGridExcelRW();
    TKtGridExcelRW(const TKtGridExcelRW&) = delete;
    TKtGridExcelRW& operator=(const TKtGridExcelRW&) = delete;

    // Reads the workbook of a compound document file ("Workbook" stream).
    // The name is used whole, never narrowed to an 8-bit code page. Reading
    // errors propagate.
    void LoadFromFile(WideStringView fileName);
    // Reads a workbook from the bytes of a compound document.
    void LoadFromDocument(std::span<const uint8_t> bytes);
    // The helper's sheet count and sheet names; a failure the helper reports
    // as a result is raised again (an index beyond the sheets read fails
    // with the list's index error).
    int SheetCount() const;
    WideString SheetName(int index) const;
    // Clears the grid (cells, merged ranges, widths and heights; default
    // fixed sizes), then the helper's ReadSheet.
    void ReadSheet(TKtCustomGrid& grid, int sheetIndex, int fixedColCount, int fixedRowCount);

    IVxGridExcelHelper& Helper() { return *helper_; }

  private:
    std::unique_ptr<IVxGridExcelHelper> helper_;
};

}  // namespace plu
