// The PLU table file of download and upload, read the way the editor's Open
// does (saving goes through the editor's SaveTableFile), so that plu-tool and
// the window agree on what a file holds.
#pragma once

#include <exception>
#include <ostream>
#include <string>

namespace plu::cli {

class HeadlessWindow;

// Puts the table of `path` on the window's active sheet and lays it out
// (font boxes kept): a workbook replaces the sheets with its own (at most
// three, the first active), tab-separated text is read into a fresh laid-out
// "Sheet1" from its first body cell. A formula that does not calculate is
// reported on `err` (it then reads "#VALUE!"). Reading errors propagate as
// exceptions; a workbook without a worksheet raises one too.
void OpenTable(HeadlessWindow& window, const std::string& path, std::ostream& err,
               const std::string& name);

// Why `path` cannot be written, checked before anything is done ("" when it
// looks writable): its folder must exist and be writable, and it must not
// be a folder itself.
std::string CannotWriteReason(const std::string& path);

// An exception's text on one line.
std::string ErrorText(const std::exception& e);

}  // namespace plu::cli
