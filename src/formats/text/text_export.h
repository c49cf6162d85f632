// Writing a grid's cells as tab-separated text: one line per grid row, the
// cells' display texts separated by tab characters, lines ended by CR LF
// (the last one without), in the ANSI code page (Windows-1252; characters
// it lacks become "?"). No byte-order mark, header, quoting or escaping:
// tabs, CR and LF inside a text are written as they are. Every line has the
// same number of separators; a position without a cell object adds only its
// separator; hidden rows and columns and merged cells are written like any
// other.
#pragma once

#include <string>

#include "base/safe_file.h"

namespace plu {

class TKtCustomGrid;

// "Cannot create file "<name>". <reason>": the file could not be created
// (or put in place of the previous one).
class ECreateFileError : public EFileError {
public:
    using EFileError::EFileError;
};

// "Stream write error": writing the file's contents failed.
class EStreamWriteError : public EFileError {
public:
    using EFileError::EFileError;
};

// The bytes SaveToTextFile writes. Without the fixed rows (columns) the
// first FixedRowCount rows (FixedColCount columns) are left out; no rows
// left gives no bytes.
std::string TextFileBytes(const TKtCustomGrid& grid, bool includeFixedRows, bool includeFixedCols);

// Writes TextFileBytes to fileName (the platform's UTF-8 path, used as
// given). The new contents replace a previous file only once they are
// complete on disk, so a failure leaves the previous file as it was.
void SaveToTextFile(const TKtCustomGrid& grid, const std::string& fileName, bool includeFixedRows,
                    bool includeFixedCols);

}  // namespace plu
