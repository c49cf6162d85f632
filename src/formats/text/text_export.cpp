#include "formats/text/text_export.h"

#include <algorithm>

#include "base/ansi_code_page.h"
#include "grid/cell.h"
#include "grid/cell_store.h"
#include "grid/custom_grid.h"

namespace plu {
namespace {

// The system's reason at the end of a file error ("... \"path\": reason").
std::string ReasonOf(const std::string& message) {
    const auto at = message.rfind("\": ");
    return at == std::string::npos ? message : message.substr(at + 3);
}

[[noreturn]] void RaiseCreate(const std::string& fileName, const std::string& reason) {
    throw ECreateFileError("Cannot create file \"" + fileName + "\". " + reason);
}

}  // namespace

std::string TextFileBytes(const TKtCustomGrid& grid, bool includeFixedRows, bool includeFixedCols) {
    const int firstRow = includeFixedRows ? 0 : grid.FixedRowCount();
    const int firstCol = includeFixedCols ? 0 : grid.FixedColCount();
    const int lastRow = grid.RowCount() - 1;
    const int lastCol = grid.ColCount() - 1;
    std::string out;
    if (lastRow < firstRow) return out;
    const int separators = std::max(0, lastCol - firstCol);
    const TCells& cells = grid.Cells();
    for (int row = firstRow; row <= lastRow; ++row) {
        int written = 0;  // separators of this line so far
        if (const TKwGridRow* list = cells.Get(row); list && lastCol >= firstCol) {
            list->ForAllInRange(firstCol, lastCol, [&](int col, TKtSparseList::Item item) {
                const int before = col - firstCol;
                out.append(static_cast<size_t>(before - written), '\t');
                written = before;
                out += WideToAnsi(reinterpret_cast<const TKtCell*>(item)->GetText());
                return 0;
            });
        }
        out.append(static_cast<size_t>(separators - written), '\t');
        if (row < lastRow) out += "\r\n";
    }
    return out;
}

void SaveToTextFile(const TKtCustomGrid& grid, const std::string& fileName, bool includeFixedRows,
                    bool includeFixedCols) {
    const std::string bytes = TextFileBytes(grid, includeFixedRows, includeFixedCols);
    bool written = false;
    try {
        WriteFileAtomically(fileName, [&](int fd) {
            try {
                WriteAll(fd, {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, fileName);
            } catch (const EFileError&) {
                throw EStreamWriteError("Stream write error");
            }
            written = true;
        });
    } catch (const EStreamWriteError&) {
        throw;
    } catch (const EFileError& e) {
        const std::string message = e.what();
        // Before the contents were written the file could not be created;
        // afterwards only putting it in place is a creation failure.
        if (!written || message.rfind("Cannot replace", 0) == 0) RaiseCreate(fileName, ReasonOf(message));
        throw EStreamWriteError("Stream write error");
    }
}

}  // namespace plu
