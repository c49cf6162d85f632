// Opening a workbook file in a sheet control: up to its first three
// worksheets become new worksheets of the control, captioned with their
// sheet names; the first sheet of the control is activated and the formulas
// of every sheet recalculated.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/text_measurer.h"
#include "base/wide_text.h"

namespace plu {

class TVexaSheetControl;

// The most worksheets one load adds.
inline constexpr int kMaxLoadedSheets = 3;

// A sheet whose formulas did not all calculate: its caption and the first
// failure. Such formulas show "#VALUE!"; the load itself succeeded.
struct TFormulaFailure {
    WideString sheet;
    WideString message;
};

// Reads the workbook (a compound document with a "Workbook" stream) and for
// each of its first three worksheets creates a sheet owned by the control,
// attaches it (raising no OnNewSheet), reads the worksheet into it (fixed
// counts 0: sheet cell A1 on grid cell (1, 1)) and captions it with the
// worksheet's name. Then sheet 0 is activated and every attached sheet, also
// those that were there before, recalculates its formulas in list order.
//
// Sheets already attached stay; a caller that wants only the file's sheets
// frees them first. Reading errors (the BIFF8 layer's messages, the
// container's for a file that is no compound document or has no "Workbook"
// stream) propagate; sheets created before the error stay attached and
// nothing is activated. A formula that fails to calculate does not fail the
// load: it is reported in the result and shows "#VALUE!".
//
// measurer: what the workbook's character width (and so its column widths)
// is measured with; the FreeType measurer when null.
std::vector<TFormulaFailure> LoadWorkbook(TVexaSheetControl& control, WideStringView fileName,
                                          ITextMeasurer* measurer = nullptr);
// The same from the bytes of a compound document.
std::vector<TFormulaFailure> LoadWorkbookFromDocument(TVexaSheetControl& control,
                                                      std::span<const uint8_t> document,
                                                      ITextMeasurer* measurer = nullptr);

}  // namespace plu
