// Helpers of the import tests: BIFF8 workbook streams built record by
// record (so each test holds exactly the records it is about), a loaded
// workbook to read grids from, a grid with formulas, and temporary folders.
//
// This header names no workbook container type, so the tests can include it
// beside the grid's headers.
#pragma once

#include "support/processes.h"
#include "support/temp_dir.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "base/wide_text.h"
#include "formats/excel/import_source.h"

namespace plu::test {

using Bytes = std::vector<uint8_t>;

// Little-endian pieces of record bodies.
class Body {
  public:
    Body& U8(uint32_t v);
    Body& U16(uint32_t v);
    Body& U32(uint32_t v);
    Body& F64(double v);
    Body& Raw(const Bytes& bytes);
    // A string with a 1- or 2-byte count, 16-bit characters (option 1).
    Body& Str(WideStringView text, int countBytes);
    const Bytes& Data() const { return data_; }
    operator const Bytes&() const { return data_; }

  private:
    Bytes data_;
};

// Record ids the tests write.
namespace id {
inline constexpr uint16_t FORMULA = 0x0006, EOF_ = 0x000A, PROTECT = 0x0012, FONT = 0x0031,
                          PANE = 0x0041, DEFCOLWIDTH = 0x0055, COLINFO = 0x007D,
                          BOUNDSHEET = 0x0085, PALETTE = 0x0092, MULRK = 0x00BD, XF = 0x00E0,
                          MERGEDCELLS = 0x00E5, SST = 0x00FC, LABELSST = 0x00FD,
                          DIMENSIONS = 0x0200, BLANK = 0x0201, NUMBER = 0x0203, LABEL = 0x0204,
                          BOOLERR = 0x0205, STRING = 0x0207, ROW = 0x0208, WINDOW2 = 0x023E,
                          RK = 0x027E, FORMAT = 0x041E, SHRFMLA = 0x04BC, BOF = 0x0809;
}

// The fields of an XF record the import reads.
struct XfSpec {
    int font = 0;
    int format = 0;
    bool locked = false, hidden = false, wrap = false, shrink = false;
    int horz = 0, vert = 2;
    int borderStyles[4] = {0, 0, 0, 0};      // left, top, right, bottom
    int borderColors[4] = {64, 64, 64, 64};  // colour indexes
    int pattern = 0;                         // fill pattern
    int patternColor = 64, backgroundColor = 65;
};
Bytes XfBody(const XfSpec& xf);

struct FontSpec {
    std::u16string name = u"Arial";
    int twips = 200;
    bool bold = false, italic = false, strikeOut = false;
    int underline = 0;
    int colorIndex = 0x7FFF;
    int charset = 0;
};
Bytes FontBody(const FontSpec& font);

// Sheet records.
Bytes Dimensions(uint32_t firstRow, uint32_t rowEnd, uint16_t firstCol, uint16_t colEnd);
Bytes Row(uint16_t row, uint16_t firstCol, uint16_t colEnd, uint16_t twips, uint16_t options);
Bytes ColInfo(uint16_t first, uint16_t last, uint16_t width, uint16_t options);
Bytes Window2(bool frozen);
Bytes Pane(uint16_t cols, uint16_t rows, uint16_t topRow, uint16_t leftCol);
Bytes Merged(std::initializer_list<std::initializer_list<uint16_t>> ranges);  // fr, lr, fc, lc
Bytes Number(uint16_t row, uint16_t col, uint16_t xf, double v);
Bytes Label(uint16_t row, uint16_t col, uint16_t xf, WideStringView text);
Bytes LabelSst(uint16_t row, uint16_t col, uint16_t xf, uint32_t index);
Bytes Rk(uint16_t row, uint16_t col, uint16_t xf, uint32_t rk);
Bytes Blank(uint16_t row, uint16_t col, uint16_t xf);
Bytes BoolErr(uint16_t row, uint16_t col, uint16_t xf, uint8_t value, bool isError);
// A FORMULA with a number result (or, with resultBytes, a non-numeric one:
// the 8 result bytes as given) and the tokens.
Bytes Formula(uint16_t row, uint16_t col, uint16_t xf, double result, const Bytes& tokens);
Bytes FormulaSpecial(uint16_t row, uint16_t col, uint16_t xf, const Bytes& resultBytes,
                     const Bytes& tokens, uint16_t options = 0);
Bytes SharedFormula(uint16_t fr, uint16_t lr, uint8_t fc, uint8_t lc, const Bytes& tokens);
// Tokens: a relative reference to (row, col), an integer, "+".
Bytes RefToken(uint16_t row, uint16_t col, bool relative = true);
Bytes IntToken(uint16_t v);
Bytes AddToken();

struct Record {
    uint16_t id;
    Bytes body;
};

// A workbook stream: globals (FONT, FORMAT, XF, SST, BOUNDSHEET records)
// then one substream per sheet. Starts with FONT 0 "Arial" 200 twips, XF 0
// (a style XF) and XF 1 (a cell XF with font 0, format 0).
class BookBuilder {
  public:
    BookBuilder();
    // Index of the new entry.
    int AddFont(const FontSpec& font);  // FONT index (4 is skipped)
    int AddXf(const XfSpec& xf);
    void AddFormat(uint16_t index, WideStringView text);
    void SetStrings(std::initializer_list<std::u16string> strings);
    void AddGlobal(uint16_t id, const Bytes& body);
    // A new sheet; records are added to the last sheet.
    BookBuilder& Sheet(WideStringView name);
    BookBuilder& Add(uint16_t id, const Bytes& body);
    Bytes Stream() const;
    // The stream in a compound document (a .xls file's bytes).
    Bytes Document() const;

  private:
    std::vector<Record> fonts_, formats_, xfs_, globals_;
    std::vector<std::u16string> strings_;
    std::vector<std::pair<std::u16string, std::vector<Record>>> sheets_;
};

// A workbook read from a stream (characters measured with the fixed test
// measurer) and the import's view of it.
class LoadedBook {
  public:
    explicit LoadedBook(const Bytes& stream);
    ~LoadedBook();
    const TVxSheetSource& Source() const { return *source_; }

  private:
    std::unique_ptr<TWorkbook> book_;
    std::unique_ptr<TVxSheetSource> source_;
};

void WriteFile(const std::string& path, const Bytes& bytes);
Bytes ReadFile(const std::string& path);
// Runs a shell command; its standard output, and its exit status in status.
using plu::testing::Run;
using plu::testing::TempDir;
using plu::testing::HaveSsconvert;
bool HavePythonXlwt();
std::string SourceFile(const std::string& relative);

}  // namespace plu::test
