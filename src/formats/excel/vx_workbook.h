// The workbook wrappers of the grid's Excel exchange: TVxWorkbook over the
// BIFF8 record model (formats/biff8/workbook.h), its sheet collection
// TVxWorksheets and the sheet wrapper TVxWorksheet. They turn grid-side
// values (pixels, colours, fonts, style attributes) into records: the default
// records every written workbook starts with (Prepare), one XF record per
// distinct cell format (XFIndexOf, sharing equal FONT and XF bodies), cell
// records with their ROW records, row heights, merged ranges and column
// entries.
//
// Heights and font sizes convert at the core's 96 pixels per inch; the
// reading side (the import) uses the same value.
//
// The record model is only declared here, so code that walks a grid
// includes this header, never the record model's own.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/color.h"
#include "base/font.h"
#include "base/text_measurer.h"
#include "base/wide_text.h"
#include "formats/biff8/byte_stream.h"

namespace plu {

class TCompoundDocument;
class TVxWorkbook;
class TWorkbook;
class TWorkbookGlobals;
class TWorkSheet;
struct TColInfo;
struct TFormulaCachedResult;

// The sheet name written when none is given.
inline constexpr char16_t kDefaultSheetName[] = u"Sheet";

// One cell's format on its way from the grid to the XF builder. Alignments
// carry the grid's codes, which equal the XF codes (horizontal 0 General ...
// 6 centre across selection; vertical 0 top ... 3 justify). Border slots are
// 0 left, 1 top, 2 right, 3 bottom, 4 and 5 the diagonals.
struct TVxCellFormat {
    const TFont* Font = nullptr;  // not owned
    // As the grid stores it: an RGB value, a system colour or clNone.
    TColor FillColor = 0;
    uint8_t HorzAlign = 0;
    uint8_t VertAlign = 0;
    std::array<uint8_t, 6> BorderStyles{};
    std::array<TColor, 6> BorderColors{};
    // The style's TKtCellOption bits, carried along (the XF builder reads
    // the flags below instead).
    uint32_t Options = 0;
    // FORMAT index of the style's format string.
    int FormatIndex = 0;
    bool Locked = false;
    bool Hidden = false;
    bool Wrap = false;
    bool Shrink = false;
    uint8_t Reserved = 0;
    uint8_t Indent = 0;
    uint8_t Parent = 0;
};

// Base of the wrappers: they refer to a workbook they do not own.
class TVxPersistent {
public:
    virtual ~TVxPersistent() = default;
};

// One sheet of a TVxWorkbook. Sheet rows and columns are zero-based (A1 is
// row 0, column 0).
class TVxWorksheet : public TVxPersistent {
public:
    TVxWorksheet(TVxWorkbook& book, TWorkSheet& sheet) : book_(&book), sheet_(&sheet) {}

    TWorkSheet& Sheet() const { return *sheet_; }
    TVxWorkbook& Book() const { return *book_; }

    void SetName(WideStringView name);
    const WideString& GetName() const;

    // The sheet's DEFAULTROWHEIGHT, given in pixels.
    void SetDefaultRowHeight(int pixels);
    // The ROW record of the row takes the height (bit 15 cleared); a missing
    // ROW record is created with column 0 ... 0, XF 0 and flags 0x01C0.
    void SetRowHeight(int row, int pixels);
    // NUMBER (SetNumberCell), LABEL or, for an empty text, BLANK
    // (SetTextCell), replacing a cell record there. The row's ROW record
    // then covers the column (its column end holds the last column itself);
    // a missing one is created with the sheet's default height, XF 0 and
    // flags 0x01C0.
    void SetNumberCell(int col, int row, int xf, double value);
    void SetTextCell(int col, int row, int xf, WideStringView text);
    // FORMULA (with a STRING record after it for a text result), BOOLERR
    // booleans and error constants (BIFF code), likewise.
    void SetFormulaCell(int col, int row, int xf, std::span<const uint8_t> tokens,
                        const TFormulaCachedResult& result);
    void SetBooleanCell(int col, int row, int xf, bool value);
    void SetErrorCell(int col, int row, int xf, uint8_t errorCode);
    // Appends one range to the sheet's MERGEDCELLS record (no overlap check).
    void AddMerge(int firstCol, int firstRow, int lastRow, int lastCol);
    // The column entry of a column, created when missing.
    TColInfo& ColumnEntry(int col);
    // Sets a column entry: width in pixels, hidden flag and XF index.
    void SetColumn(int col, int width, bool hidden, int xf);
    // The default column width in pixels: DEFCOLWIDTH (8 when absent)
    // characters of the workbook's character width.
    int DefaultColWidthPixels() const;

private:
    // The ROW record of a sheet row after a cell went into column col.
    void CoverColumn(int row, int col);

    TVxWorkbook* book_;
    TWorkSheet* sheet_;
};

// The sheets of a TVxWorkbook, in workbook order.
class TVxWorksheets : public TVxPersistent {
public:
    explicit TVxWorksheets(TVxWorkbook& book) : book_(&book) {}

    int Count() const;
    // A new sheet at index (-1 appends).
    TVxWorksheet& Add(int index = -1);
    // An index outside the list fails with ERangeError.
    TVxWorksheet& Item(int index);

private:
    // Wrappers follow the model's sheet list (rebuilt when it changed).
    void Sync();

    TVxWorkbook* book_;
    std::vector<std::unique_ptr<TVxWorksheet>> items_;
};

class TVxWorkbook : public TVxPersistent {
public:
    // measurer: what the character width is measured with (the FreeType
    // measurer when null).
    explicit TVxWorkbook(ITextMeasurer* measurer = nullptr);
    ~TVxWorkbook() override;

    TWorkbook& Workbook() { return *workbook_; }
    const TWorkbook& Workbook() const { return *workbook_; }
    TWorkbookGlobals& Globals();
    TVxWorksheets& Worksheets() { return worksheets_; }
    bool Prepared() const { return prepared_; }
    // Width in pixels of "0" in the font of FONT record 0.
    int CharWidth() const { return charWidth_; }

    // Once per workbook (later calls do nothing): six FONT records ("宋体",
    // 240 twips, the sixth 180), 21 XF records, six STYLE records and twelve
    // FORMAT records; then the character width is measured.
    void Prepare();

    // The FORMAT index of a format string ("" is General, 0).
    int FormatIndexOf(WideStringView formatString);
    // The names of the sheets this workbook will hold, in order, before they
    // are added: formulas of an early sheet may refer to a later one.
    void PlanSheetNames(std::vector<WideString> names) { plannedNames_ = std::move(names); }
    // The workbook index of the sheet called name (any case): a planned
    // name, else a sheet added; -1 when none.
    int SheetIndexOfName(WideStringView name);
    // The EXTERNSHEET index through which formulas refer to sheet `sheet`.
    int ExternSheetIndexOf(int sheet);
    // Formulas that BIFF8 cannot hold (a function it has no number for, a
    // defined name, a sheet not in the workbook ...) went out as their
    // last values; how many since the workbook was created.
    int FormulasSavedAsValues() const { return formulasAsValues_; }
    void CountFormulaSavedAsValue() { ++formulasAsValues_; }

    // The XF index of a cell format: equal FONT bodies share one FONT index
    // and equal XF bodies one XF index. A colour beyond the palette's room
    // fails with message 65227.
    int XFIndexOf(const TVxCellFormat& format);

    // Writing: the preparation step, then the workbook stream, in a compound
    // document file (replacing a previous file only once the new one is
    // complete) or at a byte stream's position.
    void SaveToFile(const std::string& fileName);
    void SaveToStream(TXlsByteStream& stream);
    // Reading replaces the model with the workbook read; its character width
    // then comes from its FONT record 0. A workbook read counts as prepared
    // (it holds its own default records).
    void LoadFromFile(const std::string& fileName);
    void LoadFromStream(TXlsByteStream& stream);
    void LoadFromStorage(const TCompoundDocument& storage);

private:
    void Reset();
    void AfterLoad();

    ITextMeasurer* measurer_;
    std::unique_ptr<TWorkbook> workbook_;
    TVxWorksheets worksheets_;
    bool prepared_ = false;
    int charWidth_ = 8;
    std::vector<WideString> plannedNames_;
    int formulasAsValues_ = 0;
};

}  // namespace plu
