// The workbook model: the globals (fonts, formats, XF and STYLE records,
// sheet names, shared strings, palette) and the sheets, each a cell table
// with its column entries and sheet records. It exists for one load, save or
// clipboard operation and owns every record in it.
//
// Reading (ReadFrom) places the records of a workbook stream into the model;
// writing (WriteTo) serialises the model into a BIFF8 workbook stream.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/text_measurer.h"
#include "base/wide_text.h"
#include "formats/biff8/byte_stream.h"
#include "formats/biff8/cell_table.h"
#include "formats/biff8/font_record.h"
#include "formats/biff8/globals_records.h"
#include "formats/biff8/palette.h"
#include "formats/biff8/record_lists.h"
#include "formats/biff8/sheet_records.h"
#include "formats/biff8/xf_record.h"

namespace plu {

class TXlsReader;
class TXlsWriter;
class TWorkbook;
class TCompoundDocument;

class TBaseStream {
public:
    virtual ~TBaseStream() = default;
    virtual void ReadFrom(TXlsReader& reader) = 0;
    virtual void WriteTo(TXlsWriter& writer) = 0;
    // Reads from the stream's position to its end.
    virtual void LoadFromStream(TXlsByteStream& stream);
    // Writes at the stream's position.
    virtual void SaveToStream(TXlsByteStream& stream);
};

class TWorkSheet : public TBaseStream {
public:
    explicit TWorkSheet(TWorkbook* workbook);
    ~TWorkSheet() override;

    // The substream after its BOF, up to its EOF (or the end of the stream).
    void ReadFrom(TXlsReader& reader) override;
    void WriteTo(TXlsWriter& writer) override;

    TWorkbook* Workbook() const { return workbook_; }
    const WideString& Name() const { return name_; }
    void SetName(WideStringView name) { name_ = WideString(name); }

    TXlsCells& Cells() { return cells_; }
    const TXlsCells& Cells() const { return cells_; }
    TColInfoList& Columns() { return columns_; }
    const TColInfoList& Columns() const { return columns_; }

    // Created with option flags 0 and 285 twips; a read one replaces it.
    TDefaultRowHeightRecord& DefaultRowHeight() { return *defaultRowHeight_; }
    const TDefaultRowHeightRecord& DefaultRowHeight() const { return *defaultRowHeight_; }

    // Records kept when present (nullptr otherwise).
    TDefaultColWidthRecord* DefColWidth() const { return defColWidth_.get(); }
    void SetDefColWidth(std::unique_ptr<TDefaultColWidthRecord> r) { defColWidth_ = std::move(r); }
    TStandardWidthRecord* StandardWidth() const { return standardWidth_.get(); }
    TDimensionsRecord* Dimensions() const { return dimensions_.get(); }
    void SetDimensions(std::unique_ptr<TDimensionsRecord> r) { dimensions_ = std::move(r); }
    TWindow2Record* Window2() const { return window2_.get(); }
    void SetWindow2(std::unique_ptr<TWindow2Record> r) { window2_ = std::move(r); }
    TPaneRecord* Pane() const { return pane_.get(); }
    TProtectRecord* Protect() const { return protect_.get(); }
    TIndexRecord* Index() const { return index_.get(); }
    TBOFRecord* Bof() const { return bof_.get(); }
    void SetBof(std::unique_ptr<TBOFRecord> r) { bof_ = std::move(r); }
    TEOFRecord* Eof() const { return eof_.get(); }

    // SHRFMLA records in stream order.
    int SharedFormulaCount() const { return static_cast<int>(sharedFormulas_.size()); }
    const TShrFmlaRecord& SharedFormula(int i) const { return *sharedFormulas_.at(static_cast<size_t>(i)); }
    // The first SHRFMLA whose row and column ranges contain the cell, or nullptr.
    const TShrFmlaRecord* SharedFormulaAt(int row, int col) const;
    // The formula text of that SHRFMLA read for the cell at (row, col), with
    // the workbook's name answers; empty when no SHRFMLA covers the cell.
    WideString SharedFormulaText(int row, int col) const;

    // Cell records for the writer's callers; each replaces a record there.
    void PutCell(std::unique_ptr<TCellRecord> cell) { cells_.Put(std::move(cell)); }

private:
    void WriteCell(TXlsWriter& writer, const TCellRecord& cell);
    void WriteColumns(TXlsWriter& writer);
    void WriteRowBlocks(TXlsWriter& writer, size_t indexBody);
    void Place(std::unique_ptr<TXlsRecord> record);
    void ApplyColInfo(const TColInfoRecord& info);

    TWorkbook* workbook_;
    WideString name_;
    TXlsCells cells_;
    TColInfoList columns_;
    std::unique_ptr<TDefaultRowHeightRecord> defaultRowHeight_;
    std::unique_ptr<TDefaultColWidthRecord> defColWidth_;
    std::unique_ptr<TStandardWidthRecord> standardWidth_;
    std::unique_ptr<TDimensionsRecord> dimensions_;
    std::unique_ptr<TWindow2Record> window2_;
    std::unique_ptr<TPaneRecord> pane_;
    std::unique_ptr<TProtectRecord> protect_;
    std::unique_ptr<TIndexRecord> index_;
    std::unique_ptr<TBOFRecord> bof_;
    std::unique_ptr<TEOFRecord> eof_;
    std::vector<std::unique_ptr<TShrFmlaRecord>> sharedFormulas_;
    bool mergedRead_ = false;
    // A formula read whose text result has not arrived yet (its STRING may
    // follow a SHRFMLA or ARRAY record); it is in the cell table.
    TFormulaRecord* awaitingString_ = nullptr;
};

// One EXTERNSHEET entry: the SUPBOOK it names and the first and last sheet
// (BOUNDSHEET indexes) of that book.
struct TExternSheetEntry {
    uint16_t supBook = 0;
    uint16_t firstSheet = 0;
    uint16_t lastSheet = 0;
    bool operator==(const TExternSheetEntry&) const = default;
};

class TWorkbookGlobals : public TBaseStream {
public:
    TWorkbookGlobals();
    ~TWorkbookGlobals() override;

    // The globals substream after its BOF, up to its EOF.
    void ReadFrom(TXlsReader& reader) override;
    void WriteTo(TXlsWriter& writer) override;

    TFontList& Fonts() { return fonts_; }
    const TFontList& Fonts() const { return fonts_; }
    TFormatList& Formats() { return formats_; }
    const TFormatList& Formats() const { return formats_; }
    TXFList& XFs() { return xfs_; }
    const TXFList& XFs() const { return xfs_; }
    TStyleList& Styles() { return styles_; }
    const TStyleList& Styles() const { return styles_; }
    TBoundSheetList& BoundSheets() { return boundSheets_; }
    const TBoundSheetList& BoundSheets() const { return boundSheets_; }
    TShareStrList& SharedStrings() { return sharedStrings_; }
    const TShareStrList& SharedStrings() const { return sharedStrings_; }

    // References to sheets of formulas (3-D references). Reading keeps the
    // file's EXTERNSHEET entries and which SUPBOOK records name this
    // workbook itself; writing adds entries on demand, all naming the one
    // internal SUPBOOK the writer puts before them.
    const std::vector<TExternSheetEntry>& ExternSheets() const { return externSheets_; }
    // The EXTERNSHEET index naming sheet `sheet` of this workbook, added
    // when missing.
    int ExternSheetIndexOf(int sheet);
    // The BOUNDSHEET index that EXTERNSHEET entry ixti names when it names
    // one sheet of this workbook; -1 otherwise.
    int InternalSheetOf(int ixti) const;

    // The palette, created with the default colours on first use.
    TPaletteRecord& Palette();
    bool HasPalette() const { return palette_ != nullptr; }
    TBOFRecord* Bof() const { return bof_.get(); }
    void SetBof(std::unique_ptr<TBOFRecord> r) { bof_ = std::move(r); }
    TEOFRecord* Eof() const { return eof_.get(); }
    // The workbook counts dates from 1 January 1904 (DATEMODE 1), as Excel
    // for the Macintosh wrote them, instead of from 1900.
    bool Date1904() const { return date1904_; }

  private:
    friend class TWorkbook;
    bool date1904_ = false;
    friend class TWorkSheet;
    TFontList fonts_;
    TFormatList formats_;
    TXFList xfs_;
    TStyleList styles_;
    TBoundSheetList boundSheets_;
    TShareStrList sharedStrings_;
    std::unique_ptr<TPaletteRecord> palette_;
    std::unique_ptr<TBOFRecord> bof_;
    std::unique_ptr<TEOFRecord> eof_;
    // Where each BOUNDSHEET body was written, for patching the BOF positions.
    std::vector<size_t> boundSheetBodies_;
    // Texts too long for a LABEL record go out as shared strings while the
    // workbook is written: the texts in SST order, the SST index of each
    // cell record written that way, and the number of references.
    std::vector<WideString> sharedTexts_;
    std::unordered_map<const TXlsRecord*, uint32_t> sharedTextIndex_;
    uint32_t sharedTextRefs_ = 0;
    std::vector<TExternSheetEntry> externSheets_;
    // Per SUPBOOK read: true when it names this workbook.
    std::vector<bool> internalBooks_;
    void ReadExternSheets(const TXlsRecord& record);
};

// The sheets of a workbook, owned, in stream order.
class TWorkSheetList {
public:
    int Count() const { return static_cast<int>(items_.size()); }
    // An index outside the list fails with ERangeError.
    TWorkSheet& Item(int index) const;
    // Inserts at index (-1 appends); returns the sheet.
    TWorkSheet& Add(std::unique_ptr<TWorkSheet> sheet, int index = -1);
    void Clear() { items_.clear(); }

private:
    std::vector<std::unique_ptr<TWorkSheet>> items_;
};

class TWorkbook : public TBaseStream {
public:
    // measurer: what CharWidth measures with (the FreeType measurer when null).
    explicit TWorkbook(ITextMeasurer* measurer = nullptr);
    ~TWorkbook() override;

    void ReadFrom(TXlsReader& reader) override;
    // Appends a BOUNDSHEET per sheet (the list is cleared first, so a
    // workbook can be written more than once), writes the globals, each
    // sheet (patching its BOF position into its BOUNDSHEET) and a final
    // record with id 0.
    void WriteTo(TXlsWriter& writer) override;

    TWorkbookGlobals& Globals() { return globals_; }
    const TWorkbookGlobals& Globals() const { return globals_; }
    TWorkSheetList& Sheets() { return sheets_; }
    const TWorkSheetList& Sheets() const { return sheets_; }
    // Appends a new empty sheet (its column list takes the current CharWidth).
    TWorkSheet& AddSheet(WideStringView name = {});

    // Width in pixels of "0" in the font of FONT record 0 (at least 1).
    int CharWidth() const { return charWidth_; }
    void SetCharWidth(int width) { charWidth_ = width > 0 ? width : 1; }
    // Measures CharWidth from FONT record 0 (or, without fonts, from the
    // default font "宋体" at 240 twips) and stores it.
    int ComputeCharWidth();
    ITextMeasurer& Measurer() const;

    // The host's answer to the formula converter's name questions: the
    // model keeps no name tables, so every name is "#NAME?".
    WideString GetNameText(uint8_t kind, int sheetIndex, int itemIndex) const;
    // The formula text of a FORMULA record's own tokens (without "="),
    // relative to the record's row and column.
    WideString FormulaText(const TFormulaRecord& formula) const;

    // Whole workbooks in memory and in compound documents ("Workbook" stream).
    void LoadFromBytes(std::span<const uint8_t> stream);
    std::vector<uint8_t> SaveToBytes();
    void LoadFromFile(const std::string& path);
    void LoadFromStorage(const TCompoundDocument& document);
    // The bytes of a compound document holding the workbook stream (the
    // clipboard's form).
    std::vector<uint8_t> SaveToDocument();
    // Writes the document to path; an existing file is replaced only when
    // the new one is complete.
    void SaveToFile(const std::string& path);

private:
  void ReadSubstreams(TXlsReader& reader);
  // Chooses which text cells are written as shared strings.
  void PlanSharedTexts();

  TWorkbookGlobals globals_;
  TWorkSheetList sheets_;
  int charWidth_ = 8;
  ITextMeasurer* measurer_;
};

}  // namespace plu
