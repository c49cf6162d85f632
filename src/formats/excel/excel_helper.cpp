#include "formats/excel/excel_helper.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "base/exceptions.h"
#include "formats/biff8/cell_records.h"
#include "formats/biff8/xls_errors.h"
#include "formats/biff8/xls_record.h"
#include "formats/excel/export_cell_format.h"
#include "formats/excel/formula_tokens.h"
#include "formulas/data_grid_formulas.h"
#include "grid/cell.h"
#include "grid/cell_store.h"
#include "grid/custom_grid.h"
#include "grid/grid_column.h"
#include "grid/grid_row.h"
#include "grid/resource_manager.h"

namespace plu {
namespace {

// The most characters a cell of an Excel 97-2003 sheet holds.
constexpr size_t kMaxCellText = 32767;

std::string SheetReference(int row, int col) {
    std::string letters;
    for (int n = col + 1; n > 0; n = (n - 1) / 26) {
        letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
    }
    return letters + std::to_string(row + 1);
}

// Raised before anything of the failing item is written.
[[noreturn]] void RaiseBeyondSheet(const std::string& what, int row, int col) {
    RaiseXlsLimit(what + " at sheet row " + std::to_string(row + 1) + ", column " +
                  std::to_string(col + 1) +
                  " lies beyond the 65,536 rows and 256 columns of an Excel 97-2003 sheet");
}

bool InSheet(int row, int col) { return row >= 0 && row < kMaxRows && col >= 0 && col < kMaxColumns; }

// What decides a cell's XF: the styles its attribute groups can come from
// (its own, its column's and its row's pooled records; header rows never
// inherit), its font and its fill colour. Cells with equal keys share one XF
// without building their format again.
//
// The fill colour is part of the key only when something beyond those
// styles decides it (zebra rows, an OnCellGetColor handler); otherwise it
// follows from them and the fixed-row and fixed-column flags.
struct FormatKey {
    const TKtStyleNode* own = nullptr;
    const TKtStyleNode* column = nullptr;
    const TKtStyleNode* row = nullptr;
    const TFont* font = nullptr;
    TColor fill = 0;
    bool fixedRow = false;
    bool fixedCol = false;
    size_t fontHash = 0;

    bool operator==(const FormatKey& o) const {
        if (own != o.own || column != o.column || row != o.row || fill != o.fill || fixedRow != o.fixedRow ||
            fixedCol != o.fixedCol)
            return false;
        if (font == o.font) return true;
        return fontHash == o.fontHash && font->Name() == o.font->Name() &&
               font->Height() == o.font->Height() && font->Color() == o.font->Color() &&
               font->Style() == o.font->Style();
    }
};

struct FormatKeyHash {
    size_t operator()(const FormatKey& k) const {
        size_t h = std::hash<const void*>()(k.own);
        auto mix = [&h](size_t v) { h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2); };
        mix(std::hash<const void*>()(k.column));
        mix(std::hash<const void*>()(k.row));
        mix(static_cast<size_t>(static_cast<uint32_t>(k.fill)));
        mix((k.fixedRow ? 1 : 0) | (k.fixedCol ? 2 : 0));
        mix(k.fontHash);
        return h;
    }
};

size_t FontHash(const TFont& f) {
    size_t h = std::hash<WideStringView>()(f.Name());
    h ^= static_cast<size_t>(static_cast<uint32_t>(f.Height())) * 0x100000001B3ull;
    h ^= static_cast<size_t>(static_cast<uint32_t>(f.Color())) << 17;
    h ^= static_cast<size_t>(f.Style().bits) << 41;
    return h;
}

// Fills one sheet from a rectangle of a grid.
class SheetExport {
public:
  SheetExport(TVxWorkbook& book, TVxWorksheet& sheet, const TKtCustomGrid& grid, bool gridLines)
      : book_(book),
        sheet_(sheet),
        grid_(grid),
        gridLines_(gridLines),
        ownIndex_(book.Worksheets().Count() - 1) {}

  void Run(TColor fixedRowColor, TColor fixedColColor, int destRow, int destCol,
           const TRect& source) {
      const TRect r = source.Intersect({0, 0, grid_.ColCount(), grid_.RowCount()});
      sheet_.SetDefaultRowHeight(grid_.DefaultRowHeight());
      if (r.IsEmpty()) return;
      const int rowShift = destRow - r.Top;
      const int colShift = destCol - r.Left;
      CollectMergeAnchors(r);
      CollectColumnStyles(r);
      Cells(r, rowShift, colShift, fixedRowColor, fixedColColor);
      Columns(r, colShift);
      RowHeights(r, rowShift);
    }

private:
    void CollectMergeAnchors(const TRect& r) {
        for (const TUnion& area : grid_.MergedAreas().Areas()) {
            if (r.Contains(area.Rect.Left, area.Rect.Top)) {
                anchors_.emplace(Position(area.Rect.Left, area.Rect.Top), area.Rect);
            }
        }
    }

    void CollectColumnStyles(const TRect& r) {
        columnNodes_.assign(static_cast<size_t>(r.Width()), nullptr);
        columnFonts_.assign(static_cast<size_t>(r.Width()), nullptr);
        columnMemo_.assign(static_cast<size_t>(r.Width()), ColumnMemo{});
        for (int c = r.Left; c < r.Right; ++c) {
            if (const TKtGridColumn* column = grid_.FindColumn(c)) {
                columnNodes_[static_cast<size_t>(c - r.Left)] = column->Style().Node();
                if (column->UseColumnFont()) columnFonts_[static_cast<size_t>(c - r.Left)] = &column->Font();
            }
        }
    }

    static uint64_t Position(int col, int row) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(row)) << 32) | static_cast<uint32_t>(col);
    }

    void Cells(const TRect& r, int rowShift, int colShift, TColor fixedRowColor, TColor fixedColColor) {
        const TCells& cells = grid_.Cells();
        const TKtGridStyle& gridDefault = grid_.DefaultStyle();
        const int fixedRows = grid_.FixedRowCount();
        const int fixedCols = grid_.FixedColCount();
        const int last = std::min(r.Bottom, cells.Length());
        for (int row = r.Top; row < last; ++row) {
            const TKwGridRow* list = cells.Get(row);
            if (!list) continue;
            const int sheetRow = row + rowShift;
            const TKtStyleNode* rowNode = nullptr;
            if (const TKtGridRow* object = list->RowObject())
                if (const TKtGridStyle* style = object->FindStyle()) rowNode = style->Node();
            list->ForAllInRange(r.Left, r.Right - 1, [&](int col, TKtSparseList::Item item) {
                const TKtCell* cell = reinterpret_cast<const TKtCell*>(item);
                const TKtGridStyle& own = cell->Style();
                if (cell->IsEmpty() && (own.IsDefault() || own.SameResource(gridDefault))) return 0;
                const int sheetCol = col + colShift;
                if (!InSheet(sheetRow, sheetCol)) RaiseBeyondSheet("A cell", sheetRow, sheetCol);

                auto fill = [&] {
                    if (row < fixedRows && fixedRowColor != clNone) return fixedRowColor;
                    if (col >= fixedCols || fixedColColor == clNone) return cell->Background();
                    return fixedColColor;
                };
                const size_t ci = static_cast<size_t>(col - r.Left);
                const TFont* columnFont = columnFonts_[ci];
                const TFont& font = columnFont ? *columnFont : cell->Font();
                if (&font != lastFont_) {
                    lastFont_ = &font;
                    lastFontHash_ = FontHash(font);
                }
                FormatKey key{own.Node(), columnNodes_[ci], rowNode, &font, 0, row < fixedRows, col < fixedCols,
                              lastFontHash_};
                if (fillVaries_) key.fill = fill();
                // Cells below each other mostly share one of a few formats:
                // the column remembers the last two.
                ColumnMemo& memo = columnMemo_[ci];
                if (!(memo.count > 0 && memo.key[0] == key)) {
                    if (memo.count > 1 && memo.key[1] == key) {
                        std::swap(memo.key[0], memo.key[1]);
                        std::swap(memo.xf[0], memo.xf[1]);
                    } else {
                        memo.key[1] = memo.key[0];
                        memo.xf[1] = memo.xf[0];
                        memo.key[0] = key;
                        memo.xf[0] = XFOf(key, *cell, col, row, font, fill);
                        memo.count = std::min(memo.count + 1, 2);
                    }
                }
                const int xf = memo.xf[0];

                switch (cell->Kind()) {
                    case TKtValueKind::vkEmpty:
                        sheet_.SetTextCell(sheetCol, sheetRow, xf, {});
                        break;
                    case TKtValueKind::vkFloat:
                    case TKtValueKind::vkInteger:
                        sheet_.SetNumberCell(sheetCol, sheetRow, xf, cell->GetAsFloat());
                        break;
                    case TKtValueKind::vkString: {
                        const WideString text = cell->GetAsStringNoFormula();
                        // "#N/A" typed into a cell is what an error constant
                        // of a file reads as: it goes back as that constant.
                        if (const auto error = ErrorCodeOfName(text);
                            error && ErrorName(*error) == text && BiffErrorCode(*error)) {
                            sheet_.SetErrorCell(sheetCol, sheetRow, xf, *BiffErrorCode(*error));
                            break;
                        }
                        if (text.size() > kMaxCellText) {
                            RaiseXlsLimit("The text of cell " + SheetReference(sheetRow, sheetCol) +
                                          " has " + std::to_string(text.size()) +
                                          " characters; a cell of an Excel 97-2003 sheet holds at "
                                          "most 32,767");
                        }
                        sheet_.SetTextCell(sheetCol, sheetRow, xf, text);
                        break;
                    }
                    case TKtValueKind::vkFormula:
                        WriteFormula(*cell, sheetCol, sheetRow, xf, rowShift, colShift);
                        break;
                }
                if (!anchors_.empty()) {
                    auto it = anchors_.find(Position(col, row));
                    if (it != anchors_.end()) AddMerge(it->second, sheetRow, sheetCol);
                }
                return 0;
            });
        }
    }

    // A FORMULA record with the formula's tokens and last result; a formula
    // BIFF8 cannot hold goes out as that result and is counted.
    void WriteFormula(const TKtCell& cell, int sheetCol, int sheetRow, int xf, int rowShift,
                      int colShift) {
        const IKtFormula& formula = *cell.Formula();
        const TFormulaCachedResult cached = CachedResult(formula);
        std::optional<std::vector<uint8_t>> tokens;
        if (const auto* own = dynamic_cast<const TKtCellFormula*>(&formula)) {
            const TKtGridFormulas* service = own->Item().Owner();
            TXlsFormulaPlacement placement;
            placement.colShift = grid_.FixedColCount() + colShift;
            placement.rowShift = grid_.FixedRowCount() + rowShift;
            placement.externSheet = [&](int sheet) {
                int index = -1;
                if (service && sheet == service->SheetIndex()) {
                    index = ownIndex_;
                } else if (service) {
                    const WideString name = service->SheetName(sheet);
                    if (!name.empty()) index = book_.SheetIndexOfName(name);
                }
                return index < 0 ? -1 : book_.ExternSheetIndexOf(index);
            };
            tokens = EncodeFormulaTokens(own->Item().Tokens(), placement);
        }
        if (tokens) {
            sheet_.SetFormulaCell(sheetCol, sheetRow, xf, *tokens, cached);
            return;
        }
        book_.CountFormulaSavedAsValue();
        switch (cached.kind) {
            case TFormulaCachedResult::Kind::Number:
                sheet_.SetNumberCell(sheetCol, sheetRow, xf, cached.number);
                break;
            case TFormulaCachedResult::Kind::Text:
                sheet_.SetTextCell(sheetCol, sheetRow, xf, cached.text);
                break;
            case TFormulaCachedResult::Kind::Boolean:
                sheet_.SetBooleanCell(sheetCol, sheetRow, xf, cached.boolean);
                break;
            case TFormulaCachedResult::Kind::Error:
                sheet_.SetErrorCell(sheetCol, sheetRow, xf, cached.errorCode);
                break;
        }
    }

    static TFormulaCachedResult CachedResult(const IKtFormula& formula) {
        TFormulaCachedResult r;
        constexpr uint8_t kValueError = 0x0F;
        if (const auto* own = dynamic_cast<const TKtCellFormula*>(&formula)) {
            if (const auto error = own->ResultError()) {
                r.kind = TFormulaCachedResult::Kind::Error;
                r.errorCode = BiffErrorCode(*error).value_or(kValueError);
                return r;
            }
        }
        try {
            switch (formula.ResultKind()) {
                case TKtFormulaResultKind::Number:
                    r.number = formula.ResultNumber();
                    break;
                case TKtFormulaResultKind::Boolean:
                    r.kind = TFormulaCachedResult::Kind::Boolean;
                    r.boolean = formula.ResultBoolean();
                    break;
                case TKtFormulaResultKind::String:
                    r.kind = TFormulaCachedResult::Kind::Text;
                    r.text = formula.ResultText();
                    // What a cell of the format holds; a longer text is cut.
                    if (r.text.size() > kMaxCellText) r.text.resize(kMaxCellText);
                    break;
            }
        } catch (const Exception&) {
            r = {};
            r.kind = TFormulaCachedResult::Kind::Error;
            r.errorCode = kValueError;
        }
        return r;
    }

    void AddMerge(const TRect& span, int sheetRow, int sheetCol) {
        if (span.Width() <= 1 && span.Height() <= 1) return;
        const int lastRow = sheetRow + span.Height() - 1;
        const int lastCol = sheetCol + span.Width() - 1;
        if (!InSheet(lastRow, lastCol)) RaiseBeyondSheet("A merged range", lastRow, lastCol);
        sheet_.AddMerge(sheetCol, sheetRow, lastRow, lastCol);
    }

    template <typename Fill>
    int XFOf(const FormatKey& key, const TKtCell& cell, int col, int row, const TFont& font, Fill fill) {
        auto it = xfs_.find(key);
        if (it != xfs_.end()) return it->second;
        TVxStyleSources styles;
        styles.Format = &grid_.EffectiveStyle(col, row, TKtStyleAttribute::Format, &cell);
        styles.Alignment = &grid_.EffectiveStyle(col, row, TKtStyleAttribute::Alignment, &cell);
        styles.Borders = &grid_.EffectiveStyle(col, row, TKtStyleAttribute::Borders, &cell);
        styles.Protection = &grid_.EffectiveStyle(col, row, TKtStyleAttribute::Protection, &cell);
        styles.Fill = &cell.Style();
        TVxCellFormat format = BuildCellFormat(book_, styles, font, gridLines_);
        format.FillColor = fillVaries_ ? key.fill : fill();
        const int xf = book_.XFIndexOf(format);
        xfs_.emplace(key, xf);
        return xf;
    }

    void Columns(const TRect& r, int colShift) {
        const int defaultWidth = grid_.DefaultColWidth();
        for (int c = r.Left; c < r.Right; ++c) {
            const TKtGridColumn* column = grid_.FindColumn(c);
            const int width = grid_.ColWidths(c);
            const int sheetCol = c + colShift;
            if (!InSheet(0, sheetCol)) {
                // A column that carries nothing of its own is not needed.
                const bool plain = width == defaultWidth && (!column || column->Style().IsDefault());
                if (plain) continue;
                RaiseBeyondSheet("A column with its own width or format", 0, sheetCol);
            }
            const TKtGridStyle& style = column ? column->Style() : SharedDefaultStyle();
            const TFont& font = column ? column->Font() : grid_.Font();
            const int xf = book_.XFIndexOf(BuildCellFormat(book_, SameStyle(style), font, gridLines_));
            sheet_.SetColumn(sheetCol, width, width == 0, xf);
        }
    }

    void RowHeights(const TRect& r, int rowShift) {
        const int defaultHeight = grid_.DefaultRowHeight();
        const TCells& cells = grid_.Cells();
        // Rows without a row list have the default height.
        const int last = std::min(r.Bottom, cells.Length());
        for (int row = r.Top; row < last; ++row) {
            if (!cells.Get(row)) continue;
            const int height = grid_.RowHeights(row);
            if (height == defaultHeight) continue;
            const int sheetRow = row + rowShift;
            if (!InSheet(sheetRow, 0)) RaiseBeyondSheet("A row with its own height", sheetRow, 0);
            sheet_.SetRowHeight(sheetRow, height);
        }
    }

    TVxWorkbook& book_;
    TVxWorksheet& sheet_;
    const TKtCustomGrid& grid_;
    bool gridLines_;
    // This sheet's index in the workbook.
    int ownIndex_;
    std::unordered_map<uint64_t, TRect> anchors_;
    std::vector<const TKtStyleNode*> columnNodes_;
    std::vector<const TFont*> columnFonts_;
    std::unordered_map<FormatKey, int, FormatKeyHash> xfs_;
    // The last two format keys seen in each column and their XFs.
    struct ColumnMemo {
        FormatKey key[2];
        int xf[2] = {0, 0};
        int count = 0;
    };
    std::vector<ColumnMemo> columnMemo_;
    const bool fillVaries_ = grid_.ZebraRowColor() || static_cast<bool>(grid_.OnCellGetColor);
    const TFont* lastFont_ = nullptr;
    size_t lastFontHash_ = 0;
};

}  // namespace

void CheckVxResult(const TVxResult& result) {
    if (result.Failed) throw Exception(result.Message);
}

TVexaGridExcelHelper::TVexaGridExcelHelper(std::unique_ptr<IVxGridReading> reading,
                                           ITextMeasurer* measurer)
    : book_(measurer), reading_(std::move(reading)) {}

TVexaGridExcelHelper::~TVexaGridExcelHelper() = default;

TVxResult TVexaGridExcelHelper::GetSheetCount(int& count) noexcept {
    try {
        count = book_.Worksheets().Count();
        return {};
    } catch (const Exception& e) {
        return {true, e.Message()};
    } catch (const std::exception& e) {
        return {true, Utf8ToWide(e.what())};
    }
}

TVxResult TVexaGridExcelHelper::GetSheetName(int index, WideString& name) noexcept {
    try {
        name = book_.Worksheets().Item(index).GetName();
        return {};
    } catch (const Exception& e) {
        return {true, e.Message()};
    } catch (const std::exception& e) {
        return {true, Utf8ToWide(e.what())};
    }
}

void TVexaGridExcelHelper::SaveToFile(const std::string& fileName) { book_.SaveToFile(fileName); }
void TVexaGridExcelHelper::LoadFromFile(const std::string& fileName) { book_.LoadFromFile(fileName); }
void TVexaGridExcelHelper::SaveToStream(TXlsByteStream& stream) { book_.SaveToStream(stream); }
void TVexaGridExcelHelper::LoadFromStream(TXlsByteStream& stream) { book_.LoadFromStream(stream); }
void TVexaGridExcelHelper::LoadFromStorage(const TCompoundDocument& storage) {
    book_.LoadFromStorage(storage);
}

int TVexaGridExcelHelper::IndexOfSheet(WideStringView name) {
    TVxWorksheets& sheets = book_.Worksheets();
    for (int i = 0; i < sheets.Count(); ++i) {
        if (SameText(sheets.Item(i).GetName(), name)) return i;
    }
    return -1;
}

void TVexaGridExcelHelper::AddSheetRange(WideStringView name, const TKtCustomGrid& grid,
                                         TColor fixedRowColor, TColor fixedColColor, bool gridLines,
                                         int destRow, int destCol, const TRect& source) {
    book_.Prepare();
    TVxWorksheet& sheet = book_.Worksheets().Add();
    sheet.SetName(name.empty() ? WideStringView(kDefaultSheetName) : name);
    SheetExport(book_, sheet, grid, gridLines).Run(fixedRowColor, fixedColColor, destRow, destCol, source);
}

void TVexaGridExcelHelper::AddSheet(WideStringView name, const TKtCustomGrid& grid, bool gridLines) {
    const TRect body{grid.FixedColCount(), grid.FixedRowCount(), grid.ColCount(), grid.RowCount()};
    AddSheetRange(name, grid, clNone, clNone, gridLines, 0, 0, body);
}

IVxGridReading& TVexaGridExcelHelper::RequireReading() {
    if (!reading_) throw Exception(u"This workbook helper was created without a sheet reader");
    return *reading_;
}

void TVexaGridExcelHelper::ReadSheet(TKtCustomGrid& grid, int sheetIndex, int, int fixedColCount,
                                     int fixedRowCount) {
    RequireReading().ReadSheet(*this, grid, sheetIndex, fixedColCount, fixedRowCount);
}

void TVexaGridExcelHelper::ReadSheetAt(TKtCustomGrid& grid, int sheetIndex, int destCol, int destRow) {
    RequireReading().ReadSheetAt(*this, grid, sheetIndex, destCol, destRow);
}

void TVexaGridExcelHelper::ReadSheetByName(TKtCustomGrid& grid, WideStringView name) {
    const int index = IndexOfSheet(name);
    if (index >= 0) ReadSheet(grid, index, 0, 0, 0);
}

std::unique_ptr<IVxGridExcelHelper> CreateGridExcelHelper(std::unique_ptr<IVxGridReading> reading,
                                                          ITextMeasurer* measurer) {
    return std::make_unique<TVexaGridExcelHelper>(std::move(reading), measurer);
}

}  // namespace plu
