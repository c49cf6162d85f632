// The grid operations of the native stream, as free functions taking the
// grid first: the binary form property GridData, loading from and saving to
// files and byte streams.
#pragma once

#include <string>

#include "formats/native/grid_file.h"
#include "grid/byte_stream.h"
#include "grid/custom_grid.h"

namespace plu {

// Writing the grid's form property: ends in-place editing keeping the edit,
// builds the stream with the fixed cells and writes it to stream.
void WriteGridData(TKtCustomGrid& grid, TKtStream& stream);
// Reading it: the stream is applied to the grid as it is (the form's other
// properties set it up), with the grid marked as loading meanwhile. A
// damaged stream is reported through host; what was read is applied.
void ReadGridData(TKtCustomGrid& grid, TKtStream& stream, IKtGridFileHost* host);

// Clears the grid's contents, then applies the stream. The file is read
// whole before the grid is touched: one that cannot be read raises
// EFileError and leaves the grid as it was.
void LoadGridFromFile(TKtCustomGrid& grid, const std::string& path, IKtGridFileHost* host);
void LoadGridFromStream(TKtCustomGrid& grid, TKtStream& stream, IKtGridFileHost* host);

// End in-place editing keeping the edit, build, write. The file is replaced
// safely: on failure (EFileError) the previous file is untouched.
void SaveGridToFile(TKtCustomGrid& grid, const std::string& path, bool includeFixed);
void SaveGridToStream(TKtCustomGrid& grid, TKtStream& stream, bool includeFixed);

}  // namespace plu
