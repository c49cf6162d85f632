// The PLU table file of download and upload, read and written the way the
// editor's Open and Save do, so that plu-tool and the window agree on what a
// file holds.
#pragma once

#include <ostream>
#include <string>

namespace plu {
class TKtCustomGrid;
}

namespace plu::cli {

class HeadlessWindow;

// ".xls" in any letter case.
bool IsXlsName(const std::string& path);

// Puts the table of `path` on the window's active sheet and lays it out
// (font boxes kept): a workbook replaces the sheets with its own (at most
// three, the first active), tab-separated text is read into a fresh laid-out
// "Sheet1" from its first body cell. A formula that does not calculate is
// reported on `err` (it then reads "#VALUE!"). Reading errors propagate as
// exceptions; a workbook without a worksheet raises one too.
void OpenTable(HeadlessWindow& window, const std::string& path, std::ostream& err,
               const std::string& name);

// Saves the sheet as a workbook with the sheet name "sheet1" or, for any
// other ending, as tab-separated text without the fixed row and column. A
// previous file is replaced only by a complete one.
void SaveTable(const TKtCustomGrid& grid, const std::string& path);

// Why `path` cannot be written, checked before anything is done ("" when it
// looks writable): its folder must exist and be writable, and it must not
// be a folder itself.
std::string CannotWriteReason(const std::string& path);

// An exception's text on one line.
std::string ErrorText(const std::exception& e);

}  // namespace plu::cli
