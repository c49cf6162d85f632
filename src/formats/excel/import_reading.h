// The reading half of the grid's Excel helper: fills grids from the
// workbook a helper loaded, keeping its format caches as long as the helper
// keeps it. Hand it to CreateGridExcelHelper (excel_helper.h).
#pragma once

#include <memory>

namespace plu {

class IVxGridReading;

std::unique_ptr<IVxGridReading> CreateGridReading();

}  // namespace plu
