// Reading tab-separated text into a grid: the inverse of the text export.
// Each line is a grid row and each tab-separated field a cell, starting at
// the grid's first body cell (FixedColCount, FixedRowCount). Lines end with
// CR LF or LF; a line end after the last line adds no row. The bytes are in
// the ANSI code page (Windows-1252), except that a file starting with a
// UTF-8 or UTF-16 byte-order mark is read in that encoding.
//
// Fields go through the grid's text-in path (SetText, as from code), so
// numbers, dates and booleans become typed values as when they are
// assigned; inside one BeginUpdate/EndUpdate. RowCount and ColCount grow to
// hold the file and never shrink. An empty field clears an existing cell;
// positions the file does not reach keep their contents.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/exceptions.h"
#include "base/wide_text.h"

namespace plu {

class TKtCustomGrid;

// A text that does not fit the grid (more lines or fields than a grid can
// hold); nothing was changed.
class ETextImportError : public Exception {
public:
    using Exception::Exception;
};

// The fields of a text, line by line (decoded as described above).
std::vector<std::vector<WideString>> SplitTextFile(std::string_view bytes);

void LoadTextIntoGrid(TKtCustomGrid& grid, std::string_view bytes);
// Reads the whole file first: an unreadable file (EFileError) changes nothing.
void LoadFromTextFile(TKtCustomGrid& grid, const std::string& fileName);

}  // namespace plu
