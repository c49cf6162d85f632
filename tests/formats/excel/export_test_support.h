// Helpers of the export tests. A saved workbook stream is read back by the
// BIFF8 reader into plain values (SavedBook), so that the tests that build
// grids never include the record model. Also: raw record walking, temporary folders
// and running the programs the interop tests hand our files to.
#pragma once

#include "support/processes.h"
#include "support/temp_dir.h"

#include <cstdint>
#include <string>
#include <vector>

#include "base/wide_text.h"

namespace plu::exporttest {

using Bytes = std::vector<uint8_t>;

struct RawRecord {
    uint16_t id = 0;
    Bytes body;
};
// The records of a workbook stream in order (up to the final id-0 record).
std::vector<RawRecord> RawRecords(const Bytes& stream);

struct SavedCell {
    int row = 0, col = 0;
    uint16_t id = 0;  // record id: 0x0201 BLANK, 0x0203 NUMBER, 0x0204 LABEL, 0x00FD LABELSST
    int xf = 0;
    double number = 0;
    WideString text;
};
struct SavedRow {
    int row = 0, firstCol = 0, colEnd = 0, height = 0, options = 0, xf = 0;
};
struct SavedMerge {
    int firstRow = 0, lastRow = 0, firstCol = 0, lastCol = 0;
    bool operator==(const SavedMerge&) const = default;
};
struct SavedColumn {
    int column = 0, rawWidth = 0, width = 0, xf = 0;
    bool hidden = false;
};
struct SavedSheet {
    WideString name;
    std::vector<SavedCell> cells;  // row by row, in column order
    std::vector<SavedRow> rows;
    std::vector<SavedMerge> merges;
    std::vector<SavedColumn> columns;
    int dimFirstRow = 0, dimRowEnd = 0, dimFirstCol = 0, dimColEnd = 0;
    int defaultRowHeight = 0;  // twips

    const SavedCell* Cell(int row, int col) const;
    const SavedRow* Row(int row) const;
    const SavedColumn* Column(int col) const;
};
struct SavedXF {
    Bytes body;  // 20 bytes
    int font = 0, format = 0, horz = 0, vert = 0, indent = 0;
    bool wrap = false, shrink = false, locked = false, hidden = false;
    int fillPattern = 0, patternColor = 0, backgroundColor = 0;
    int borderStyle[6] = {}, borderColor[6] = {};
    uint16_t Word(int offset) const { return static_cast<uint16_t>(body[offset] | (body[offset + 1] << 8)); }
};
struct SavedFont {
    WideString name;
    int height = 0, colorIndex = 0, weight = 0, options = 0, underline = 0, charset = 0;
    int style = 0;  // bold 1, italic 2, strike-out 4
};
struct SavedFormat {
    int index = 0;
    WideString text;
};
struct SavedBook {
    std::vector<SavedSheet> sheets;
    std::vector<SavedXF> xfs;
    std::vector<SavedFont> fonts;  // by FONT index (entry 4 is a copy of 3, never referenced)
    std::vector<SavedFormat> formats;
    std::vector<uint32_t> styles;
    bool paletteWritten = false;
    int charWidth = 0;

    // The FONT record a FONT index names.
    const SavedFont& Font(int fontIndex) const;
    // The format string of a FORMAT index (records first, then built-ins).
    WideString FormatOf(int formatIndex) const;
    // The colour (0x00BBGGRR) of a colour index after reading the palette.
    uint32_t ColorOf(int colorIndex) const;
    std::vector<uint32_t> paletteColors;  // indexes 0 ... 65 as ColorOfIndex gives them
};

// Reads a workbook stream back (the BIFF8 reader), measuring with fixed metrics.
SavedBook ReadBack(const Bytes& stream);
// The workbook stream of a compound document file.
Bytes WorkbookStreamOfFile(const std::string& path);

// Runs a shell command; returns its standard output (status: exit status).
using plu::testing::Run;
using plu::testing::TempDir;
using plu::testing::HaveSsconvert;
bool HaveXlrd();
std::string ScriptPath(const std::string& name);

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

}  // namespace plu::exporttest
