#include "formats/excel/vx_workbook.h"

#include <algorithm>
#include <cstdlib>

#include "base/exceptions.h"
#include "base/screen.h"
#include "formats/biff8/cell_records.h"
#include "formats/biff8/cell_table.h"
#include "formats/biff8/workbook.h"
#include "formats/biff8/font_record.h"
#include "formats/biff8/globals_records.h"
#include "formats/biff8/palette.h"
#include "formats/biff8/sheet_records.h"
#include "formats/biff8/xf_record.h"
#include "formats/biff8/xls_errors.h"
#include "formats/cfb/compound_document.h"

namespace plu {
namespace {

// Option flags of the ROW records the export creates: custom height (0x40),
// explicit format (0x80) and the bit that is always set (0x100).
constexpr uint16_t kExportRowOptions =
    TRowRecord::kCustomHeight | TRowRecord::kExplicitFormat | TRowRecord::kAlwaysSet;

// The colour index of a font colour or border colour that means "automatic".
constexpr uint8_t kAutomaticColor = 64;
constexpr uint16_t kFontColorAutomatic = 0x7FFF;
constexpr uint8_t kGb2312Charset = 134;

constexpr uint16_t PixelsToTwipsU16(int pixels) {
    return static_cast<uint16_t>(std::clamp(MulDiv(pixels, 1440, kPixelsPerInch), 0, 0x7FFF));
}

// The default XF records of a new workbook: font index, format index, the
// u16 at offset 4 (type, protection, parent) and the attribute-used byte at
// offset 9. All other fields are those of a General, centred, unfilled XF.
struct DefaultXF {
    uint16_t font;
    uint16_t format;
    uint16_t protection;
    uint8_t used;
};
constexpr uint16_t kStyleXF = 0xFFF5;  // style XF, locked, parent 0xFFF
constexpr DefaultXF kDefaultXFs[] = {
    {0, 0, kStyleXF, 0x00},  {1, 0, kStyleXF, 0xF4},  {1, 0, kStyleXF, 0xF4},
    {2, 0, kStyleXF, 0xF4},  {2, 0, kStyleXF, 0xF4},  {0, 0, kStyleXF, 0xF4},
    {0, 0, kStyleXF, 0xF4},  {0, 0, kStyleXF, 0xF4},  {0, 0, kStyleXF, 0xF4},
    {0, 0, kStyleXF, 0xF4},  {0, 0, kStyleXF, 0xF4},  {0, 0, kStyleXF, 0xF4},
    {0, 0, kStyleXF, 0xF4},  {0, 0, kStyleXF, 0xF4},  {0, 0, kStyleXF, 0xF4},
    {0, 0, 0x0001, 0x00},    {5, 9, kStyleXF, 0xF8},  {5, 44, kStyleXF, 0xF8},
    {5, 42, kStyleXF, 0xF8}, {5, 43, kStyleXF, 0xF8}, {5, 41, kStyleXF, 0xF8},
};

// Built-in styles: Percent on XF 16, Normal on XF 0, Currency on 17,
// Currency [0] on 18, Comma on 19, Comma [0] on 20 (outline level 0xFF).
constexpr uint32_t kDefaultStyles[] = {0xFF058010, 0xFF008000, 0xFF048011,
                                       0xFF078012, 0xFF038013, 0xFF068014};

struct DefaultFormat {
    uint16_t index;
    const char16_t* text;
};
// "￥" is the full-width yen sign U+FFE5; the accounting formats end with a space.
const DefaultFormat kDefaultFormats[] = {
    {5, u"\"\uFFE5\"#,##0;\"\uFFE5\"\\-#,##0"},
    {6, u"\"\uFFE5\"#,##0;[Red]\"\uFFE5\"\\-#,##0"},
    {7, u"\"\uFFE5\"#,##0.00;\"\uFFE5\"\\-#,##0.00"},
    {8, u"\"\uFFE5\"#,##0.00;[Red]\"\uFFE5\"\\-#,##0.00"},
    {42, u"_ \"\uFFE5\"* #,##0_ ;_ \"\uFFE5\"* \\-#,##0_ ;_ \"\uFFE5\"* \"-\"_ ;_ @_ "},
    {41, u"_ * #,##0_ ;_ * \\-#,##0_ ;_ * \"-\"_ ;_ @_ "},
    {44, u"_ \"\uFFE5\"* #,##0.00_ ;_ \"\uFFE5\"* \\-#,##0.00_ ;_ \"\uFFE5\"* \"-\"??_ ;_ @_ "},
    {43, u"_ * #,##0.00_ ;_ * \\-#,##0.00_ ;_ * \"-\"??_ ;_ @_ "},
    {23, u"\\$#,##0_);\\(\\$#,##0\\)"},
    {24, u"\\$#,##0_);[Red]\\(\\$#,##0\\)"},
    {25, u"\\$#,##0.00_);\\(\\$#,##0.00\\)"},
    {26, u"\\$#,##0.00_);[Red]\\(\\$#,##0.00\\)"},
};

std::unique_ptr<TFontRecord> DefaultFont(uint16_t twips) {
    auto font = TFontRecord::Make(u"宋体");
    font->SetHeight(twips);
    font->SetColorIndex(kFontColorAutomatic);
    font->SetCharset(kGb2312Charset);
    return font;
}

std::unique_ptr<TXFRecord> DefaultXFRecord(const DefaultXF& d) {
    auto xf = TXFRecord::Make(d.font, 0, 1);  // General, vertically centred
    xf->SetFormatIndex(d.format);
    xf->SetWord(4, d.protection);
    xf->SetByte(9, d.used);
    xf->SetFillPattern(0);
    xf->SetWord(18, 0x20C0);  // pattern colour 64, background colour 65
    return xf;
}

uint8_t ColorIndexOf(TPaletteRecord& palette, TColor color) {
    return static_cast<uint8_t>(palette.IndexOfColor(ColorToRGB(color)));
}

}  // namespace

// ---- TVxWorksheet ----------------------------------------------------------------------

void TVxWorksheet::SetName(WideStringView name) { sheet_->SetName(name); }
const WideString& TVxWorksheet::GetName() const { return sheet_->Name(); }
TColInfo& TVxWorksheet::ColumnEntry(int col) { return sheet_->Columns().Entry(col); }

void TVxWorksheet::SetColumn(int col, int width, bool hidden, int xf) {
    TColInfo& entry = ColumnEntry(col);
    entry.width = width;
    entry.options = hidden ? (entry.options | 1) : (entry.options & ~1);
    entry.xf = xf;
}

void TVxWorksheet::SetDefaultRowHeight(int pixels) {
    sheet_->DefaultRowHeight().SetHeight(PixelsToTwipsU16(pixels));
}

void TVxWorksheet::SetRowHeight(int row, int pixels) {
    const uint16_t twips = PixelsToTwipsU16(pixels);
    TRowRecordList& rows = sheet_->Cells().Rows();
    if (TRowRecord* record = rows.Get(row)) {
        record->SetHeight(twips);
        return;
    }
    rows.Put(TRowRecord::Make(static_cast<uint16_t>(row), 0, 0, twips, kExportRowOptions, 0));
}

void TVxWorksheet::CoverColumn(int row, int col) {
    TRowRecordList& rows = sheet_->Cells().Rows();
    const uint16_t c = static_cast<uint16_t>(col);
    if (TRowRecord* record = rows.Get(row)) {
        if (c < record->FirstCol()) record->SetFirstCol(c);
        if (c > record->ColEnd()) record->SetColEnd(c);
        return;
    }
    rows.Put(TRowRecord::Make(static_cast<uint16_t>(row), c, c, sheet_->DefaultRowHeight().Height(),
                              kExportRowOptions, 0));
}

void TVxWorksheet::SetNumberCell(int col, int row, int xf, double value) {
    sheet_->PutCell(MakeNumber(static_cast<uint16_t>(row), static_cast<uint16_t>(col),
                               static_cast<uint16_t>(xf), value));
    CoverColumn(row, col);
}

void TVxWorksheet::SetTextCell(int col, int row, int xf, WideStringView text) {
    const auto r = static_cast<uint16_t>(row);
    const auto c = static_cast<uint16_t>(col);
    const auto x = static_cast<uint16_t>(xf);
    if (text.empty()) {
        sheet_->PutCell(MakeBlank(r, c, x));
    } else {
        sheet_->PutCell(MakeLabel(r, c, x, text));
    }
    CoverColumn(row, col);
}

void TVxWorksheet::SetFormulaCell(int col, int row, int xf, std::span<const uint8_t> tokens,
                                  const TFormulaCachedResult& result) {
    sheet_->PutCell(MakeFormula(static_cast<uint16_t>(row), static_cast<uint16_t>(col),
                                static_cast<uint16_t>(xf), tokens, result));
    CoverColumn(row, col);
}

void TVxWorksheet::SetBooleanCell(int col, int row, int xf, bool value) {
    sheet_->PutCell(MakeBoolean(static_cast<uint16_t>(row), static_cast<uint16_t>(col),
                                static_cast<uint16_t>(xf), value));
    CoverColumn(row, col);
}

void TVxWorksheet::SetErrorCell(int col, int row, int xf, uint8_t errorCode) {
    sheet_->PutCell(MakeError(static_cast<uint16_t>(row), static_cast<uint16_t>(col),
                              static_cast<uint16_t>(xf), errorCode));
    CoverColumn(row, col);
}

void TVxWorksheet::AddMerge(int firstCol, int firstRow, int lastRow, int lastCol) {
    sheet_->Cells().Merged().AddRange({static_cast<uint16_t>(firstRow), static_cast<uint16_t>(lastRow),
                                       static_cast<uint16_t>(firstCol), static_cast<uint16_t>(lastCol)});
}

int TVxWorksheet::DefaultColWidthPixels() const {
    const int characters = sheet_->DefColWidth() ? sheet_->DefColWidth()->Width() : 8;
    return characters * book_->CharWidth();
}

// ---- TVxWorksheets ---------------------------------------------------------------------

void TVxWorksheets::Sync() {
    TWorkSheetList& sheets = book_->Workbook().Sheets();
    bool same = static_cast<int>(items_.size()) == sheets.Count();
    for (int i = 0; same && i < sheets.Count(); ++i) {
        same = &items_[static_cast<size_t>(i)]->Sheet() == &sheets.Item(i);
    }
    if (same) return;
    items_.clear();
    for (int i = 0; i < sheets.Count(); ++i) {
        items_.push_back(std::make_unique<TVxWorksheet>(*book_, sheets.Item(i)));
    }
}

int TVxWorksheets::Count() const { return book_->Workbook().Sheets().Count(); }

TVxWorksheet& TVxWorksheets::Add(int index) {
    TWorkbook& workbook = book_->Workbook();
    if (index > workbook.Sheets().Count()) index = -1;
    workbook.Sheets().Add(std::make_unique<TWorkSheet>(&workbook), index);
    Sync();
    return *items_[static_cast<size_t>(index < 0 ? Count() - 1 : index)];
}

TVxWorksheet& TVxWorksheets::Item(int index) {
    Sync();
    if (index < 0 || index >= static_cast<int>(items_.size())) {
        throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
    }
    return *items_[static_cast<size_t>(index)];
}

// ---- TVxWorkbook -----------------------------------------------------------------------

TVxWorkbook::TVxWorkbook(ITextMeasurer* measurer)
    : measurer_(measurer), workbook_(std::make_unique<TWorkbook>(measurer)), worksheets_(*this) {}

TVxWorkbook::~TVxWorkbook() = default;

TWorkbookGlobals& TVxWorkbook::Globals() { return workbook_->Globals(); }

void TVxWorkbook::Prepare() {
    if (prepared_) return;
    TWorkbookGlobals& g = Globals();
    // Appended as they are: the sixth FONT takes index 6, as index 4 does not exist.
    for (int i = 0; i < 5; ++i) g.Fonts().Add(DefaultFont(240));
    g.Fonts().Add(DefaultFont(180));
    for (const DefaultXF& d : kDefaultXFs) g.XFs().Add(DefaultXFRecord(d));
    for (uint32_t s : kDefaultStyles) g.Styles().Add(TStyleRecord::Make(s));
    for (const DefaultFormat& f : kDefaultFormats) g.Formats().Add(TFormatRecord::Make(f.index, f.text));
    charWidth_ = workbook_->ComputeCharWidth();
    prepared_ = true;
}

int TVxWorkbook::SheetIndexOfName(WideStringView name) {
    for (size_t i = 0; i < plannedNames_.size(); ++i)
        if (SameText(plannedNames_[i], name)) return static_cast<int>(i);
    const TWorkSheetList& sheets = workbook_->Sheets();
    for (int i = 0; i < sheets.Count(); ++i)
        if (SameText(sheets.Item(i).Name(), name)) return i;
    return -1;
}

int TVxWorkbook::ExternSheetIndexOf(int sheet) {
    return Globals().ExternSheetIndexOf(sheet);
}

int TVxWorkbook::FormatIndexOf(WideStringView formatString) {
    return Globals().Formats().IndexOfFormat(formatString);
}

int TVxWorkbook::XFIndexOf(const TVxCellFormat& format) {
    TWorkbookGlobals& g = Globals();
    TPaletteRecord& palette = g.Palette();

    const TFont fallback;
    const TFont& f = format.Font ? *format.Font : fallback;
    auto font = TFontRecord::Make(f.Name());
    // Heights are negative for the character height; a positive (cell)
    // height is taken by its size as well.
    font->SetHeight(static_cast<uint16_t>(
        std::clamp(MulDiv(std::abs(f.Height()), 1440, kPixelsPerInch), 0, 0x7FFF)));
    font->SetColorIndex(ColorIndexOf(palette, f.Color()));
    font->SetCharset(kGb2312Charset);
    uint8_t style = 0;
    if (f.Bold()) style |= kFontBold;
    if (f.Italic()) style |= kFontItalic;
    if (f.StrikeOut()) style |= kFontStrikeOut;
    font->SetStyle(style);
    font->SetUnderline(f.Underline() ? 1 : 0);
    const int fontIndex = g.Fonts().AddUnique(std::move(font));
    if (fontIndex > 0xFFFF) RaiseXlsLimit("Too many fonts in one workbook");

    auto xf = TXFRecord::Make(static_cast<uint16_t>(fontIndex), format.HorzAlign & 0x07,
                              format.VertAlign & 0x07);
    if (format.FillColor == clWindow || format.FillColor == clNone) {
        xf->SetPatternColor(kAutomaticColor);
        xf->SetFillPattern(0);
    } else {
        xf->SetFillPattern(1);
        xf->SetPatternColor(ColorIndexOf(palette, format.FillColor));
    }
    for (int slot = 0; slot < kBorderSlots; ++slot) {
        xf->SetBorderStyle(slot, format.BorderStyles[static_cast<size_t>(slot)] & 0x0F);
        const TColor color = format.BorderColors[static_cast<size_t>(slot)];
        const bool automatic = color == clNone || ColorToRGB(color) == 0;
        xf->SetBorderColor(slot, automatic ? kAutomaticColor : ColorIndexOf(palette, color));
    }
    xf->SetFormatIndex(static_cast<uint16_t>(format.FormatIndex));
    xf->SetProtection(format.Locked, format.Hidden, 0);
    xf->SetIndent(format.Indent & 0x0F);
    xf->SetShrinkToFit(format.Shrink);
    xf->SetWrap(format.Wrap);
    const int index = g.XFs().AddUnique(std::move(xf));
    if (index > 0xFFFF) RaiseXlsLimit("Too many cell formats in one workbook");
    return index;
}

void TVxWorkbook::SaveToFile(const std::string& fileName) {
    Prepare();
    workbook_->SaveToFile(fileName);
}

void TVxWorkbook::SaveToStream(TXlsByteStream& stream) {
    Prepare();
    workbook_->SaveToStream(stream);
}

void TVxWorkbook::Reset() {
    workbook_ = std::make_unique<TWorkbook>(measurer_);
    prepared_ = false;
    charWidth_ = 8;
}

void TVxWorkbook::AfterLoad() {
    charWidth_ = workbook_->CharWidth();
    prepared_ = true;
}

void TVxWorkbook::LoadFromFile(const std::string& fileName) {
    Reset();
    workbook_->LoadFromFile(fileName);
    AfterLoad();
}

void TVxWorkbook::LoadFromStream(TXlsByteStream& stream) {
    Reset();
    workbook_->LoadFromStream(stream);
    AfterLoad();
}

void TVxWorkbook::LoadFromStorage(const TCompoundDocument& storage) {
    Reset();
    workbook_->LoadFromStorage(storage);
    AfterLoad();
}

}  // namespace plu
