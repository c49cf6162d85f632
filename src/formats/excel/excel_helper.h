// The grid's Excel workbook helper: IVxGridExcelHelper and its
// implementation TVexaGridExcelHelper. One helper holds one workbook
// (TVxWorkbook): sheets are added to it from grids and it is saved, or it is
// loaded from a file, stream or storage and its sheets are read into grids.
//
// The writing half (AddSheet, AddSheetRange, saving) is here. The reading
// half (filling grids from the loaded workbook, with its caches of template
// cells and fonts) is an IVxGridReading that the import supplies when it
// creates a helper; a helper made without one refuses ReadSheet and
// ReadSheetAt with a clear error.
//
// Errors: GetSheetCount and GetSheetName report a failure as a result
// carrying the error's text (TVxResult); every other operation raises.
#pragma once

#include <memory>
#include <string>

#include "base/color.h"
#include "base/text_measurer.h"
#include "base/wide_text.h"
#include "formats/biff8/byte_stream.h"
#include "formats/excel/vx_workbook.h"
#include "grid/grid_types.h"

namespace plu {

class TCompoundDocument;
class TKtCustomGrid;
class TVexaGridExcelHelper;

// The outcome of an operation that reports failures as a result code.
struct TVxResult {
    bool Failed = false;
    WideString Message;  // the text of the error that was caught
    bool Succeeded() const { return !Failed; }
};

// Raises the failure a result carries again (as plu::Exception with its text).
void CheckVxResult(const TVxResult& result);

// The interface, in the order of its operations.
class IVxGridExcelHelper {
public:
    virtual ~IVxGridExcelHelper() = default;

    virtual TVxResult GetSheetCount(int& count) noexcept = 0;
    virtual TVxResult GetSheetName(int index, WideString& name) noexcept = 0;
    // A compound document with the "Workbook" stream. The path is the
    // platform's (UTF-8) and is used as given.
    virtual void SaveToFile(const std::string& fileName) = 0;
    virtual void LoadFromFile(const std::string& fileName) = 0;
    // The workbook stream at the stream's position.
    virtual void SaveToStream(TXlsByteStream& stream) = 0;
    virtual void LoadFromStream(TXlsByteStream& stream) = 0;
    // The "Workbook" stream of a caller's document.
    virtual void LoadFromStorage(const TCompoundDocument& storage) = 0;
    // The first sheet whose name equals name ignoring case, or -1.
    virtual int IndexOfSheet(WideStringView name) = 0;
    // Appends a sheet made from a rectangle of a grid (TVexaGridExcelHelper
    // says what is written).
    virtual void AddSheetRange(WideStringView name, const TKtCustomGrid& grid, TColor fixedRowColor,
                               TColor fixedColColor, bool gridLines, int destRow, int destCol,
                               const TRect& source) = 0;
    virtual void AddSheet(WideStringView name, const TKtCustomGrid& grid, bool gridLines) = 0;
    virtual void ReadSheet(TKtCustomGrid& grid, int sheetIndex, int unused, int fixedColCount,
                           int fixedRowCount) = 0;
    virtual void ReadSheetAt(TKtCustomGrid& grid, int sheetIndex, int destCol, int destRow) = 0;
    virtual void ReadSheetByName(TKtCustomGrid& grid, WideStringView name) = 0;
};

// The reading half of a helper: fills grids from the workbook the helper
// loaded (helper.Book()). It keeps the reading caches for the helper's
// lifetime. Implemented by the import.
class IVxGridReading {
public:
    virtual ~IVxGridReading() = default;
    virtual void ReadSheet(TVexaGridExcelHelper& helper, TKtCustomGrid& grid, int sheetIndex,
                           int fixedColCount, int fixedRowCount) = 0;
    virtual void ReadSheetAt(TVexaGridExcelHelper& helper, TKtCustomGrid& grid, int sheetIndex,
                             int destCol, int destRow) = 0;
};

class TVexaGridExcelHelper : public IVxGridExcelHelper {
public:
    // measurer: what the workbook's character width is measured with (the
    // FreeType measurer when null); reading: the reading half, or none.
    explicit TVexaGridExcelHelper(std::unique_ptr<IVxGridReading> reading = nullptr,
                                  ITextMeasurer* measurer = nullptr);
    ~TVexaGridExcelHelper() override;

    TVxWorkbook& Book() { return book_; }
    // The workbook's globals (fonts, formats, XF records, palette).
    TWorkbookGlobals& Globals() { return book_.Globals(); }
    // The character width of the workbook (pixels of "0" in FONT record 0).
    int CharWidth() const { return book_.CharWidth(); }
    IVxGridReading* Reading() const { return reading_.get(); }
    void SetReading(std::unique_ptr<IVxGridReading> reading) { reading_ = std::move(reading); }

    TVxResult GetSheetCount(int& count) noexcept override;
    // An index outside the sheets read fails (as a result) with the list's error.
    TVxResult GetSheetName(int index, WideString& name) noexcept override;
    void SaveToFile(const std::string& fileName) override;
    void LoadFromFile(const std::string& fileName) override;
    void SaveToStream(TXlsByteStream& stream) override;
    void LoadFromStream(TXlsByteStream& stream) override;
    void LoadFromStorage(const TCompoundDocument& storage) override;
    int IndexOfSheet(WideStringView name) override;

    // Appends a sheet made from a rectangle of a grid (half-open grid
    // coordinates). Its first cell becomes sheet row destRow, column destCol.
    // fixedRowColor / fixedColColor (clNone for none) fill the cells of the
    // fixed rows / columns inside the rectangle. gridLines turns every
    // missing border of a written cell into a thin line. An empty name is
    // written as "Sheet".
    //
    // Written: every existing cell except empty ones with the default style
    // (numbers as NUMBER, texts as LABEL or BLANK, formula cells as their
    // format only), merged ranges anchored at a written cell, every
    // column's entry (width, hidden, format) and every row whose height
    // differs from the grid's DefaultRowHeight. Each attribute group of a
    // cell's format is taken from the style that supplies it to the cell on
    // the screen (the cell, its column, its row, the grid), so a format set
    // on a column reaches the cells of that column.
    //
    // Raises when something to be written lies beyond a sheet's 65,536 rows
    // and 256 columns, when a text exceeds the 32,767 characters a cell
    // holds, or when the palette has no room for another colour (65227).
    // The failing sheet stays as far as it was filled: callers discard the
    // helper (nothing is written to a file before SaveToFile).
    void AddSheetRange(WideStringView name, const TKtCustomGrid& grid, TColor fixedRowColor,
                       TColor fixedColColor, bool gridLines, int destRow, int destCol,
                       const TRect& source) override;
    // AddSheetRange over the grid's body, no fixed-cell fills, to A1.
    void AddSheet(WideStringView name, const TKtCustomGrid& grid, bool gridLines) override;

    // The reading half's operations; without one they raise.
    void ReadSheet(TKtCustomGrid& grid, int sheetIndex, int unused, int fixedColCount,
                   int fixedRowCount) override;
    void ReadSheetAt(TKtCustomGrid& grid, int sheetIndex, int destCol, int destRow) override;
    // ReadSheet with no fixed counts given, for the first sheet of that name
    // (ignoring case); nothing when none matches.
    void ReadSheetByName(TKtCustomGrid& grid, WideStringView name) override;

private:
    IVxGridReading& RequireReading();

    TVxWorkbook book_;
    std::unique_ptr<IVxGridReading> reading_;
};

// A new helper as its interface.
std::unique_ptr<IVxGridExcelHelper> CreateGridExcelHelper(
    std::unique_ptr<IVxGridReading> reading = nullptr, ITextMeasurer* measurer = nullptr);

}  // namespace plu
