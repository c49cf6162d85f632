// `plu-tool convert SOURCE TARGET`: a workbook (.xls) or tab-separated text
// file turned into a workbook or tab-separated text, the way the editor
// opens and saves its table.
#pragma once

#include "cli/commands.h"

namespace plu::cli {

// Opening: a SOURCE ending in ".xls" (any letter case) is loaded into a
// sheet control as the editor's Open does (its first three worksheets,
// formulas recalculated; the first is the active one); any other SOURCE is
// read as tab-separated text into a new worksheet "Sheet1". Saving the
// active worksheet: a TARGET ending in ".xls" (any case) as a workbook with
// the sheet name "sheet1", any other as tab-separated text without the fixed
// header row and column. The target is written only once the source was read
// whole and is replaced only by a complete file. A formula that does not
// calculate is reported on the error stream and converted as "#VALUE!".
int RunConvert(const Args& args, std::ostream& out, std::ostream& err);

}  // namespace plu::cli
