// TKtGridFile: one native grid stream in memory, for one operation. Build
// fills it from a grid, Apply / ApplySheet fill a grid from it; reading and
// writing move it to and from a byte stream or a file. Reading never touches
// a grid; only Apply does.
//
// What a grid keeps in the stream: its sizes and fixed areas (DIMENSIONS),
// column widths and column formats (COLINFO), row heights and row formats
// (ROW), cell values with cell formats and fonts (BLANK, NUMBER, LABEL,
// FORMULA, CHECKBOXCELL), merged ranges (MERGEDCELLS), cell tags, hints and
// comments (TAG, HINT, POSTIL) and its picture list (IMAGE). Styles travel
// as XF records that name a FONT record and a FORMAT record. Sizes are
// stored in twips, converted at the screen's 96 pixels per inch.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/font.h"
#include "formats/native/native_workbook.h"
#include "grid/byte_stream.h"
#include "grid/custom_grid.h"

namespace plu {

// Where a damaged stream is reported: the message box of the shell, the
// error output of the command line, or a test.
class IKtGridFileHost {
  public:
    virtual ~IKtGridFileHost() = default;
    // Shows text in a message box (the reading went on with what was read).
    virtual void ShowMessage(WideStringView text) = 0;
};

// The name of the one sheet a grid writes.
inline constexpr char16_t kGridSheetName[] = u"VexaGrid";

class TKtGridFile {
  public:
    TKtWorkbook& Workbook() { return workbook_; }
    const TKtWorkbook& Workbook() const { return workbook_; }

    // Fills this (empty) file from the grid. includeFixed: rows and columns
    // start at 0, else at the fixed counts; DIMENSIONS and the column
    // entries always cover the fixed area. The grid is not changed (it is
    // taken as non-const only to ask its cell-class rules).
    void Build(TKtCustomGrid& grid, bool includeFixed);
    // Adds the pictures to the grid's picture list, then ApplySheet (grid, 0).
    void Apply(TKtCustomGrid& grid) const;
    // Inside one bulk update with automatic row heights off (both restored on
    // every way out): sizes, row heights and formats, column widths and
    // formats, cells, merged ranges, tags, hints and comments of sheet index.
    // Positions outside the grid's dimensions (after DIMENSIONS) are skipped.
    // Nothing happens when index names no sheet.
    void ApplySheet(TKtCustomGrid& grid, int index) const;

    // Reads the records of a stream. A damaged stream is not an error for
    // the caller: its message ("读取记录失败. 文件无效", "0x%x 记录无效") is
    // shown through host (when given) and kept in ReadError(); the records
    // read before the damage stay, so applying fills the grid from them.
    void ReadFrom(TKtStream& stream, IKtGridFileHost* host);
    void ReadFrom(std::span<const uint8_t> bytes, IKtGridFileHost* host);
    // Opens the file for reading only; EFileError (before anything is read)
    // when it cannot be read.
    void LoadFromFile(const std::string& path, IKtGridFileHost* host);
    // The message of the damage met by the last read, "" when none.
    const WideString& ReadError() const { return readError_; }

    std::vector<uint8_t> ToBytes() const;
    void WriteTo(TKtStream& stream) const;
    // Replaces the file without ever losing the previous one on failure
    // (EFileError then).
    void SaveToFile(const std::string& path) const;

    // The add-or-find index of a FONT record for font.
    int FontIndexOf(const TFont& font);
    // The add-or-find index of an XF record for style with a FONT index and a
    // font colour; makes sure the FORMAT list holds the style's format at
    // its index.
    int XFIndexOf(const TKtGridStyle& style, int fontIndex, TColor fontColor);

  private:
    int CachedFontIndexOf(const TFont& font);
    int CachedXFIndexOf(const TKtGridStyle& style, int fontIndex, TColor fontColor);

    struct XFKey {
        const void* node;
        int fontIndex;
        TColor fontColor;
        bool operator==(const XFKey&) const = default;
    };
    struct XFKeyHash {
        size_t operator()(const XFKey& k) const {
            return std::hash<const void*>()(k.node) ^ (static_cast<size_t>(k.fontIndex) << 1) ^
                   (static_cast<size_t>(static_cast<uint32_t>(k.fontColor)) << 17);
        }
    };

    TKtWorkbook workbook_;
    WideString readError_;
    // Answers already given while building: a pooled style record (its node)
    // with a FONT index and a colour always gives the same XF, and a font
    // object that is not changed during the build the same FONT.
    std::unordered_map<XFKey, int, XFKeyHash> xfCache_;
    std::unordered_map<const TFont*, int> fontCache_;
};

}  // namespace plu
