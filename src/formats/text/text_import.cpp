#include "formats/text/text_import.h"

#include <algorithm>
#include <vector>

#include "base/ansi_code_page.h"
#include "base/events.h"
#include "base/safe_file.h"
#include "grid/cell.h"
#include "grid/cell_store.h"
#include "grid/custom_grid.h"

namespace plu {
namespace {

WideString Utf16Text(std::string_view bytes, bool bigEndian) {
    WideString out;
    out.reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<uint8_t>(bytes[i]);
        const auto b = static_cast<uint8_t>(bytes[i + 1]);
        out.push_back(static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a));
    }
    return out;
}

WideString DecodeText(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return Utf8ToWide(bytes.substr(3));
    if (bytes.substr(0, 2) == "\xFF\xFE") return Utf16Text(bytes.substr(2), false);
    if (bytes.substr(0, 2) == "\xFE\xFF") return Utf16Text(bytes.substr(2), true);
    return AnsiToWide(bytes);
}

std::string Count(size_t n) { return std::to_string(n); }

}  // namespace

std::vector<std::vector<WideString>> SplitTextFile(std::string_view bytes) {
    const WideString text = DecodeText(bytes);
    std::vector<std::vector<WideString>> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(u'\n', start);
        const size_t next = end == WideString::npos ? text.size() : end + 1;
        if (end == WideString::npos) end = text.size();
        size_t stop = end;
        if (next != end && stop > start && text[stop - 1] == u'\r') --stop;  // CR LF
        std::vector<WideString> fields;
        size_t f = start;
        while (true) {
            const size_t tab = text.find(u'\t', f);
            if (tab == WideString::npos || tab >= stop) {
                fields.emplace_back(text, f, stop - f);
                break;
            }
            fields.emplace_back(text, f, tab - f);
            f = tab + 1;
        }
        lines.push_back(std::move(fields));
        start = next;
    }
    return lines;
}

void LoadTextIntoGrid(TKtCustomGrid& grid, std::string_view bytes) {
    const std::vector<std::vector<WideString>> lines = SplitTextFile(bytes);
    if (lines.empty()) return;
    size_t width = 0;
    for (const auto& fields : lines) width = std::max(width, fields.size());
    const int firstRow = grid.FixedRowCount();
    const int firstCol = grid.FixedColCount();
    if (lines.size() > static_cast<size_t>(kMaxGridRows - firstRow)) {
        throw ETextImportError("The text has " + Count(lines.size()) + " lines; the grid holds at most " +
                               Count(static_cast<size_t>(kMaxGridRows - firstRow)) + " below its header");
    }
    if (width > static_cast<size_t>(kMaxGridCols - firstCol)) {
        throw ETextImportError("A line of the text has " + Count(width) + " fields; the grid holds at most " +
                               Count(static_cast<size_t>(kMaxGridCols - firstCol)) + " beside its header");
    }

    grid.BeginUpdate();
    ScopeExit end([&grid] { grid.EndUpdate(); });
    grid.SetRowCount(std::max(grid.RowCount(), firstRow + static_cast<int>(lines.size())));
    grid.SetColCount(std::max(grid.ColCount(), firstCol + static_cast<int>(width)));
    for (size_t r = 0; r < lines.size(); ++r) {
        const int row = firstRow + static_cast<int>(r);
        const std::vector<WideString>& fields = lines[r];
        for (size_t c = 0; c < fields.size(); ++c) {
            const int col = firstCol + static_cast<int>(c);
            if (!fields[c].empty()) {
                grid.GetCell(col, row).SetText(fields[c]);
            } else if (TKtCell* cell = grid.FindCell(col, row); cell && !cell->IsEmpty()) {
                cell->SetText(fields[c]);
            }
        }
    }
}

void LoadFromTextFile(TKtCustomGrid& grid, const std::string& fileName) {
    const std::string bytes = ReadWholeFile(fileName);
    LoadTextIntoGrid(grid, bytes);
}

}  // namespace plu
