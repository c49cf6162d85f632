#include "formats/native/grid_file.h"

#include <algorithm>
#include <cstdint>

#include "base/events.h"
#include "base/safe_file.h"
#include "base/screen.h"
#include "formulas/calc_express.h"
#include "grid/cell.h"
#include "grid/format_list.h"
#include "grid/grid_column.h"
#include "grid/grid_row.h"
#include "grid/number_format.h"
#include "grid/resource_manager.h"

namespace plu {

namespace {

// The system window-text colour: the font colour of styles without a font.
constexpr TColor kPlainFontColor = clWindowText;
constexpr int kMaxU16 = 0xFFFF;
constexpr int kMaxRowXF = 0x0FFF;
constexpr int kMaxRowTwips = 0x7FFF;  // bit 15 of the ROW height stays clear

int PixelsToStoredTwips(int pixels, int limit) {
    return std::clamp(MulDiv(pixels, 1440, kPixelsPerInch), 0, limit);
}

// XF indices above what a field can hold are written as 0 (no format)
// rather than wrapped onto another format.
uint16_t FitIndex(int index, int limit) {
    return index >= 0 && index <= limit ? static_cast<uint16_t>(index) : 0;
}

// The fields a FONT record holds (everything but the colour).
bool SameFace(const TFont& a, const TFont& b) {
    return a.Height() == b.Height() && a.Style() == b.Style() && a.Charset() == b.Charset() &&
           a.Pitch() == b.Pitch() && a.Name() == b.Name();
}

bool SameFont(const TFont& a, const TFont& b) {
    return a.Name() == b.Name() && a.Height() == b.Height() && a.Style() == b.Style() &&
           a.Color() == b.Color() && a.Charset() == b.Charset() && a.Pitch() == b.Pitch();
}

}  // namespace

// ---- Building ----------------------------------------------------------------------------------

int TKtGridFile::FontIndexOf(const TFont& font) {
    return workbook_.Globals().Fonts.AddOrFind(
        std::make_unique<TKtFontRecord>(font.Height(), static_cast<uint8_t>(font.Pitch()),
                                        font.Style().bits, font.Charset(), font.Name()));
}

int TKtGridFile::CachedFontIndexOf(const TFont& font) {
    auto it = fontCache_.find(&font);
    if (it != fontCache_.end()) return it->second;
    const int index = FontIndexOf(font);
    fontCache_.emplace(&font, index);
    return index;
}

int TKtGridFile::CachedXFIndexOf(const TKtGridStyle& style, int fontIndex, TColor fontColor) {
    const XFKey key{style.Node(), fontIndex, fontColor};
    auto it = xfCache_.find(key);
    if (it != xfCache_.end()) return it->second;
    const int index = XFIndexOf(style, fontIndex, fontColor);
    xfCache_.emplace(key, index);
    return index;
}

int TKtGridFile::XFIndexOf(const TKtGridStyle& style, int fontIndex, TColor fontColor) {
    const TKtStyleRecord record = style.CopyRecord();
    auto xf = std::make_unique<TKtXFRecord>();
    xf->PutU16(0, FitIndex(fontIndex, kMaxU16));
    xf->PutU16(2, record.FormatIndex);
    for (int i = 0; i < kBorderEdgeCount; ++i) {
        xf->PutI32(4 + 4 * static_cast<size_t>(i), record.BorderColors[static_cast<size_t>(i)]);
        xf->PutU8(44 + static_cast<size_t>(i), record.BorderLines[static_cast<size_t>(i)]);
    }
    xf->PutU8(54, static_cast<uint8_t>(record.HorzAlign));
    xf->PutU8(55, static_cast<uint8_t>(record.VertAlign));
    xf->PutU8(56, static_cast<uint8_t>(record.Options.bits));
    xf->PutI32(60, record.ExtraAttribute);
    xf->PutI32(64, record.BgColor);
    xf->PutI32(68, fontColor);
    xf->PutU8(75, record.UsedAttributes);

    TKtFormatStrings& formats = workbook_.Globals().Formats;
    if (!formats.Get(record.FormatIndex))
        formats.Put(std::make_unique<TKtFormatRecord>(record.FormatIndex, style.FormatString()));
    return workbook_.Globals().XFs.AddOrFind(std::move(xf));
}

namespace {

std::unique_ptr<TKtCellRecord> CellRecordOf(const TKtCell& cell, uint32_t row, uint32_t col,
                                            uint16_t xf) {
    if (cell.CellType() == TKtCellType::cellCheckBox) {
        bool checked = false;
        try {
            checked = cell.GetAsBoolean();
        } catch (const Exception&) {
            // A formula whose result is no boolean counts as unchecked.
        }
        return std::make_unique<TKtCheckBoxCellRecord>(row, col, xf, checked, WideString(),
                                                       WideString());
    }
    switch (cell.Kind()) {
        case TKtValueKind::vkFloat:
            return std::make_unique<TKtNumberRecord>(row, col, xf, cell.GetAsFloat());
        case TKtValueKind::vkString: {
            const WideString text = cell.GetAsString();
            if (text.empty()) return std::make_unique<TKtBlankRecord>(row, col, xf);
            return std::make_unique<TKtLabelRecord>(row, col, xf, text);
        }
        case TKtValueKind::vkFormula: {
            // Stored in the invariant form, the same under every locale.
            TKtStoredFormulaText stored;
            return std::make_unique<TKtFormulaRecord>(row, col, xf, cell.GetFormula());
        }
        case TKtValueKind::vkInteger:
            return std::make_unique<TKtNumberRecord>(row, col, xf, cell.GetAsInteger());
        case TKtValueKind::vkEmpty:
            break;
    }
    return std::make_unique<TKtBlankRecord>(row, col, xf);
}

}  // namespace

void TKtGridFile::Build(TKtCustomGrid& grid, bool includeFixed) {
    TKtWorkbookGlobals& globals = workbook_.Globals();

    for (const TKtPicture& picture : grid.Pictures()) {
        const bool known = picture.Type >= TKtPicture::Bitmap && picture.Type <= TKtPicture::Icon;
        globals.Images.push_back(
            TKtImageRecord::ForPicture(known ? picture.Type : 0, picture.Data));
    }

    globals.BoundSheets.push_back(std::make_unique<TKtBoundSheetRecord>(kGridSheetName));
    TKtWorkSheet& sheet = workbook_.AddSheet();
    sheet.Name = kGridSheetName;

    const int firstRow = includeFixed ? 0 : grid.FixedRowCount();
    const int firstCol = includeFixed ? 0 : grid.FixedColCount();
    sheet.Dimensions = std::make_unique<TKtDimensionsRecord>(
        static_cast<uint32_t>(grid.FixedRowCount()), static_cast<uint32_t>(grid.RowCount() - 1),
        static_cast<uint16_t>(grid.FixedColCount()), static_cast<uint16_t>(grid.ColCount() - 1));

    // On an empty file these become XF 0 and FONT 0.
    XFIndexOf(grid.DefaultStyle(), 0, kPlainFontColor);
    const int gridFontIndex = CachedFontIndexOf(grid.Font());

    TCellInfos& classes = grid.ClassManager().Infos();
    const TCells& rowLists = grid.Cells();
    const int fixedRows = grid.FixedRowCount();
    const int lastCol = grid.ColCount() - 1;
    // A body row without a row list has the default height, no row object
    // and no cells: past the last list only fixed rows can give records.
    const int lastList = std::min(grid.RowCount(), rowLists.Length()) - 1;
    const int lastRow = std::min(grid.RowCount() - 1, std::max(lastList, fixedRows - 1));
    // A fixed row without a row list gives a record only for a fixed height
    // other than the default one, and only within the ROW record's 16-bit row
    // number. Grids may have up to a million fixed rows: past those that can
    // give a record the walk goes from one row list to the next.
    const int lastBare = grid.DefaultFixedRowHeight() == grid.DefaultRowHeight()
                             ? -1
                             : std::min({lastRow, fixedRows - 1, kMaxU16});
    const auto nextRow = [&](int r) { return r + 1 <= lastBare ? r + 1 : rowLists.NextUsed(r + 1); };
    for (int r = firstRow <= lastBare ? firstRow : rowLists.NextUsed(firstRow); r >= 0 && r <= lastRow;
         r = nextRow(r)) {
        const TKwGridRow* list = rowLists.Get(r);
        const bool fixedRow = r < fixedRows;
        if (!list && !fixedRow) continue;
        // Rows of ordinary grids have no tree value (-1), so a row is written
        // for a height of its own or a format of its own. A fixed row that
        // differs from the default fixed height is written as well: a grid
        // reading the stream gives its fixed rows that height.
        const TKtGridRow* rowObject = list ? list->RowObject() : nullptr;
        const TKtGridStyle* rowStyle = rowObject ? rowObject->FindStyle() : nullptr;
        const int height = grid.RowHeights(r);
        const bool plainHeight = height == grid.DefaultRowHeight() &&
                                 (!fixedRow || height == grid.DefaultFixedRowHeight());
        const bool plainRow = plainHeight && (!rowStyle || rowStyle->IsDefault());
        // A ROW record has a 16-bit row number; a row beyond it would land on
        // another row when read back, so it keeps no record.
        if (!plainRow && r <= kMaxU16) {
            const int xf =
                CachedXFIndexOf(rowStyle ? *rowStyle : SharedDefaultStyle(), 0, kPlainFontColor);
            sheet.Rows.push_back(std::make_unique<TKtRowRecord>(
                static_cast<uint16_t>(r), static_cast<uint16_t>(firstCol),
                static_cast<uint16_t>(std::min(lastCol + 1, kMaxU16)),
                static_cast<uint16_t>(PixelsToStoredTwips(height, kMaxRowTwips)),
                FitIndex(xf, kMaxRowXF), 0xFFFF));
        }

        if (!list) continue;
        list->ForAllInRange(firstCol, lastCol, [&](int c, TKtSparseList::Item item) {
            const TKtCell& cell = *reinterpret_cast<const TKtCell*>(item);
            const auto row = static_cast<uint32_t>(r);
            const auto col = static_cast<uint32_t>(c);
            if (!cell.Tag().empty())
                sheet.Tags.push_back(std::make_unique<TKtTagRecord>(row, col, cell.Tag()));
            if (!cell.Hint().empty())
                sheet.Hints.push_back(std::make_unique<TKtHintRecord>(row, col, cell.Hint()));
            if (!cell.Comment().empty())
                sheet.Postils.push_back(
                    std::make_unique<TKtPostilRecord>(row, col, cell.Comment()));

            const TFont& font = cell.Font();
            const int fontIndex = CachedFontIndexOf(font);
            const TKtCellClass* columnClass = classes.ColumnClass(c);
            const bool columnKind =
                &cell.CellClass() == (columnClass ? columnClass : &classes.DefaultClass());
            if (cell.IsEmpty() && cell.Style().IsDefault() && fontIndex == 0 &&
                font.Color() == kPlainFontColor &&
                (cell.CellType() == TKtCellType::cellDefault || columnKind))
                return 0;
            const int xf = CachedXFIndexOf(cell.Style(), fontIndex, font.Color());
            sheet.Cells.Append(CellRecordOf(cell, row, col, FitIndex(xf, kMaxU16)));
            return 0;
        });
    }

    TKtMergedCellsRecord& merged = sheet.Cells.MergedCells();
    for (const TUnion& area : grid.MergedAreas().Areas()) {
        const TRect& a = area.Rect;
        if (a.LastRow() > kMaxU16 || a.LastCol() > kMaxU16) continue;  // 16-bit fields
        merged.AddRange({static_cast<uint16_t>(a.Top), static_cast<uint16_t>(a.LastRow()),
                         static_cast<uint16_t>(a.Left), static_cast<uint16_t>(a.LastCol())});
    }

    for (int c = 0; c < grid.ColCount(); ++c) {
        // A column without a column object has the grid's font and the
        // default style; asking for the object would create it.
        const TKtGridColumn* column = grid.FindColumn(c);
        const TFont& font = column ? column->Font() : grid.Font();
        const TKtGridStyle& style = column ? column->Style() : SharedDefaultStyle();
        // A fixed column's default is the fixed width: a grid reading the
        // stream gives its fixed columns that width.
        const int width = grid.ColWidths(c);
        const int defaultWidth =
            c < grid.FixedColCount() ? grid.DefaultFixedColWidth() : grid.DefaultColWidth();
        if (!column && width == defaultWidth && gridFontIndex == 0) continue;
        const int fontIndex =
            !column || SameFace(font, grid.Font()) ? gridFontIndex : CachedFontIndexOf(font);
        if (width == defaultWidth && fontIndex == 0 && style.IsDefault()) continue;
        const int xf = CachedXFIndexOf(style, fontIndex, font.Color());
        sheet.ColInfos.Set({c, PixelsToStoredTwips(width, kMaxU16), FitIndex(xf, kMaxU16), 0});
    }
}

// ---- Applying ----------------------------------------------------------------------------------

namespace {

class SheetApplier {
  public:
    SheetApplier(const TKtWorkbookGlobals& globals, TKtCustomGrid& grid)
        : globals_(globals), grid_(grid) {}

    bool Inside(uint32_t col, uint32_t row) const {
        return row < static_cast<uint32_t>(grid_.RowCount()) &&
               col < static_cast<uint32_t>(grid_.ColCount());
    }

    // Applies XF x to style and, when given, to font; nothing for XF 0 or an
    // index without a record.
    void ApplyXF(TKtGridStyle& style, TFont* font, int x) const {
        TKtStyleRecord record;
        TFont fontValue;
        if (!Resolve(style, font, x, record, fontValue)) return;
        if (!(record == style.CopyRecord())) style.SetRecord(record);
        if (font && !SameFont(*font, fontValue)) font->Assign(fontValue);
    }

    // The same for a cell: its own style and font are created only when
    // the XF changes them.
    void ApplyXF(TKtCell& cell, int x) const {
        TKtStyleRecord record;
        const TFont current(cell.Font());
        TFont fontValue;
        if (!Resolve(cell.Style(), &current, x, record, fontValue)) return;
        if (!(record == cell.Style().CopyRecord())) cell.OwnStyle().SetRecord(record);
        if (!SameFont(cell.Font(), fontValue)) cell.SetFont(fontValue);
    }

  private:
    // The style record and font that XF x gives to style and font; false
    // when x is 0 or names no XF.
    bool Resolve(const TKtGridStyle& style, const TFont* font, int x, TKtStyleRecord& record,
                 TFont& fontValue) const {
        if (x == 0) return false;
        const TKtXFRecord* xf = globals_.XFs.Get(x);
        if (!xf) return false;
        record = style.CopyRecord();
        // A background of "no colour" means the default background, as the
        // style's own setter has it.
        const TColor bg = xf->BgColor();
        record.BgColor = bg == clNone ? SharedDefaultStyle().BgColor() : bg;
        for (int i = 0; i < kBorderEdgeCount; ++i) {
            record.BorderColors[static_cast<size_t>(i)] = xf->BorderColor(i);
            record.BorderLines[static_cast<size_t>(i)] = xf->BorderLine(i);
        }
        record.HorzAlign = static_cast<TKtGridHorzAlign>(xf->HorzAlign());
        record.VertAlign = static_cast<TKtGridVertAlign>(xf->VertAlign());
        record.Options = TKtCellOptions(xf->Options());
        record.ExtraAttribute = xf->ExtraValue();
        // A format the style already uses stays in use when the XF keeps
        // it: a stream naming the same XF twice for a row, column or cell
        // must give what naming it once gives, or the grid would write back
        // a different stream than it read.
        const uint8_t formatUsed = record.UsedAttributes & kUsedFormat;
        record.UsedAttributes = xf->UsedAttributes();
        // Formats past the built-in ones travel as strings: their index in
        // this run's format list may differ from the writer's.
        // A string longer than a format may be cannot be compiled (showing
        // such a cell would fail) and would only grow the process-wide list:
        // it reads as the general format.
        uint16_t format = xf->FormatIndex();
        if (format > 48) {
            const TKtFormatRecord* stored = globals_.Formats.Get(format);
            const WideString text = stored ? stored->Text() : WideString();
            format = text.size() > kMaxFormatStringLength
                         ? kFormatGeneral
                         : static_cast<uint16_t>(ResourceManager().FormatIndexOf(text));
        }
        if (format != record.FormatIndex) {
            record.FormatIndex = format;
            record.UsedAttributes |= kUsedFormat;
        } else {
            record.UsedAttributes |= formatUsed;
        }
        if (font) {
            fontValue = *font;
            fontValue.SetColor(xf->FontColor());
            if (const TKtFontRecord* f =
                    xf->FontIndex() != 0 ? globals_.Fonts.Get(xf->FontIndex()) : nullptr) {
                fontValue.SetHeight(f->Height());
                fontValue.SetPitch(static_cast<TFontPitch>(f->Pitch()));
                fontValue.SetCharset(f->Charset());
                fontValue.SetStyle(TFontStyles(f->Style()));
                fontValue.SetName(f->Name());
            }
        }
        return true;
    }

    const TKtWorkbookGlobals& globals_;
    TKtCustomGrid& grid_;
};

}  // namespace

void TKtGridFile::Apply(TKtCustomGrid& grid) const {
    for (const auto& image : workbook_.Globals().Images) {
        // Empty entries keep the positions of the pictures after them.
        TKtPicture picture;
        const uint16_t type = image->PictureType();
        const std::span<const uint8_t> data = image->PictureData();
        if (type >= TKtPicture::Bitmap && type <= TKtPicture::Icon && !data.empty()) {
            picture.Type = type;
            picture.Data.assign(data.begin(), data.end());
        }
        grid.AddPicture(picture);
    }
    ApplySheet(grid, 0);
}

void TKtGridFile::ApplySheet(TKtCustomGrid& grid, int index) const {
    const TKtWorkSheetList& sheets = workbook_.Sheets();
    if (index < 0 || static_cast<size_t>(index) >= sheets.size()) return;
    const TKtWorkSheet& sheet = *sheets[static_cast<size_t>(index)];
    const SheetApplier applier(workbook_.Globals(), grid);
    std::vector<TPoint> formulas;

    {
        grid.BeginUpdate();
        const bool autoRowHeight = grid.AutoRowHeight();
        grid.SetAutoRowHeight(false);
        ScopeExit restore([&] {
            grid.EndUpdate();
            grid.SetAutoRowHeight(autoRowHeight);
        });

        if (const TKtDimensionsRecord* d = sheet.Dimensions.get()) {
            // Counts are kept within the grid's limits and the fixed areas
            // within the counts.
            const int rows =
                static_cast<int>(std::min<int64_t>(int64_t{d->LastRow()} + 1, kMaxGridRows));
            const int cols = d->LastCol() + 1;
            grid.SetFixedRowCount(static_cast<int>(std::min<int64_t>(d->FixedRowCount(), rows)));
            grid.SetFixedColCount(std::min<int>(d->FixedColCount(), cols));
            grid.SetRowCount(rows);
            grid.SetColCount(cols);
        }

        for (const auto& row : sheet.Rows) {
            const int r = row->Row();
            if (r >= grid.RowCount()) continue;
            grid.SetRowHeight(r, TwipsToPixels(row->Height()));
            if ((row->Flags() & kRowFlagHasXF) != 0 && row->XFIndex() != 0)
                applier.ApplyXF(grid.GetRow(r).Style(), nullptr, row->XFIndex());
        }

        sheet.ColInfos.ForEach([&](const TKtColInfo& info) {
            if (info.Col >= grid.ColCount()) return;
            if (info.XFIndex != 0) {
                TKtGridColumn& column = grid.GetColumn(info.Col);
                applier.ApplyXF(column.Style(), &column.Font(), info.XFIndex);
            }
            grid.SetColWidth(info.Col, TwipsToPixels(info.Width));
        });

        const bool wideLayout = sheet.LayoutVersion() >= kWideRowColVersion;
        for (const auto& record : sheet.Cells.Records()) {
            if (!applier.Inside(record->Col(), record->Row())) continue;
            const int c = static_cast<int>(record->Col());
            const int r = static_cast<int>(record->Row());
            TKtCell& cell = grid.GetCell(c, r);
            if (!wideLayout) {
                cell.SetValueFromVariant(record->Value());
            } else if (record->Id() == native_id::kCheckBoxCell) {
                const auto& box = static_cast<const TKtCheckBoxCellRecord&>(*record);
                cell.SetAsBoolean(box.Checked());
            } else {
                switch (record->ValueKind()) {
                    case TKtRecordValueKind::Blank:
                        cell.Clear(false);
                        break;
                    case TKtRecordValueKind::Number:
                        cell.SetAsFloat(static_cast<const TKtNumberRecord&>(*record).Number());
                        break;
                    case TKtRecordValueKind::Label:
                        cell.SetAsString(static_cast<const TKtLabelRecord&>(*record).Text());
                        break;
                    case TKtRecordValueKind::Formula: {
                        const WideString source =
                            static_cast<const TKtFormulaRecord&>(*record).Source();
                        try {
                            TKtStoredFormulaText stored;
                            cell.SetFormula(source);
                            if (cell.Formula()) formulas.push_back({c, r});
                        } catch (const Exception&) {
                            // A formula this grid cannot build (no formula
                            // support, or text the language rejects) keeps its
                            // text, so nothing of the sheet is lost.
                            cell.SetAsString(u"=" + source);
                        }
                        break;
                    }
                }
            }
            if (record->XFIndex() != 0) applier.ApplyXF(cell, record->XFIndex());
        }

        if (const TKtMergedCellsRecord* merged = sheet.Cells.FindMergedCells()) {
            for (int i = 0; i < merged->Count(); ++i) {
                const TKtCellRange range = merged->Range(i);
                grid.MergeCells(range.FirstCol, range.FirstRow, range.LastCol, range.LastRow);
            }
        }

        for (const auto& tag : sheet.Tags)
            if (applier.Inside(tag->Col(), tag->Row()))
                grid.GetCell(static_cast<int>(tag->Col()), static_cast<int>(tag->Row()))
                    .SetTag(tag->Text());
        for (const auto& hint : sheet.Hints)
            if (applier.Inside(hint->Col(), hint->Row()))
                grid.GetCell(static_cast<int>(hint->Col()), static_cast<int>(hint->Row()))
                    .SetHint(hint->Text());
        for (const auto& postil : sheet.Postils)
            if (applier.Inside(postil->Col(), postil->Row()))
                grid.GetCell(static_cast<int>(postil->Col()), static_cast<int>(postil->Row()))
                    .SetComment(postil->Text());
    }

    // Formulas were built inside the update, which defers calculation; give
    // each its result now (dependents follow through their links).
    for (const TPoint& p : formulas) {
        TKtCell* cell = grid.FindCell(p.X, p.Y);
        if (!cell || !cell->Formula()) continue;
        try {
            cell->Formula()->Recalculate();
            cell->Recalculated();
        } catch (const Exception&) {
            // A formula that fails to calculate shows what its object reports.
        }
    }
}

// ---- Reading and writing
// --------------------------------------------------------------------------

void TKtGridFile::ReadFrom(TKtStream& stream, IKtGridFileHost* host) {
    readError_.clear();
    try {
        workbook_.ReadRecords(stream);
    } catch (const Exception& e) {
        readError_ = e.Message();
        if (host) host->ShowMessage(readError_);
    }
    workbook_.NameSheets();
}

void TKtGridFile::ReadFrom(std::span<const uint8_t> bytes, IKtGridFileHost* host) {
    TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
    ReadFrom(stream, host);
}

void TKtGridFile::LoadFromFile(const std::string& path, IKtGridFileHost* host) {
    const std::string bytes = ReadWholeFile(path);
    ReadFrom(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()),
             host);
}

std::vector<uint8_t> TKtGridFile::ToBytes() const {
    TKtRecordWriter writer;
    workbook_.WriteTo(writer);
    return writer.Take();
}

void TKtGridFile::WriteTo(TKtStream& stream) const {
    stream.WriteBuffer(ToBytes());
}

void TKtGridFile::SaveToFile(const std::string& path) const {
    WriteFileAtomically(path, ToBytes());
}

}  // namespace plu
