#include "formats/biff8/workbook.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>

#include "base/screen.h"
#include "formats/biff8/formula_text.h"
#include "formats/biff8/record_reader.h"
#include "formats/biff8/xls_errors.h"
#include "formats/biff8/xls_writer.h"
#include "formats/cfb/compound_document.h"

namespace plu {
namespace {

template <typename T>
std::unique_ptr<T> Downcast(std::unique_ptr<TXlsRecord> r) {
    return std::unique_ptr<T>(static_cast<T*>(r.release()));
}

}  // namespace

void TBaseStream::LoadFromStream(TXlsByteStream& stream) {
    std::vector<uint8_t> bytes(stream.Size() - std::min(stream.Size(), stream.Position()));
    size_t got = 0;
    while (got < bytes.size()) {
        size_t n = stream.Read(std::span<uint8_t>(bytes).subspan(got));
        if (n == 0) break;
        got += n;
    }
    bytes.resize(got);
    TXlsReader reader(bytes);
    ReadFrom(reader);
}

void TBaseStream::SaveToStream(TXlsByteStream& stream) {
    TXlsWriter writer(&stream);
    WriteTo(writer);
    writer.Flush();
}

// ---------------------------------------------------------------- sheet

TWorkSheet::TWorkSheet(TWorkbook* workbook)
    : workbook_(workbook),
      cells_(this),
      columns_(workbook ? workbook->CharWidth() : 8),
      defaultRowHeight_(TDefaultRowHeightRecord::Make(0, 285)) {}

TWorkSheet::~TWorkSheet() = default;

const TShrFmlaRecord* TWorkSheet::SharedFormulaAt(int row, int col) const {
    for (const auto& f : sharedFormulas_) {
        if (f->Size() >= 6 && f->Covers(row, col)) return f.get();
    }
    return nullptr;
}

WideString TWorkSheet::SharedFormulaText(int row, int col) const {
    const TShrFmlaRecord* shared = SharedFormulaAt(row, col);
    if (!shared) return {};
    const TWorkbook* book = workbook_;
    return SharedFormulaRecordText(shared->Body(), row, col, [book](uint8_t kind, int sheet, int item) {
        return book ? book->GetNameText(kind, sheet, item) : UnresolvedNameText(kind, sheet, item);
    });
}

void TWorkSheet::ReadFrom(TXlsReader& reader) {
    // An embedded chart brings its own BOF ... EOF substream inside the
    // sheet; it is skipped whole, so its EOF does not end the sheet.
    int nested = 0;
    for (;;) {
        std::unique_ptr<TXlsRecord> record = reader.ReadRecord(true);
        if (!record) return;  // the stream ended before the sheet's EOF
        const uint16_t id = record->Id();
        if (nested > 0) {
            if (id == rid::BOF) ++nested;
            if (id == rid::EOF_) --nested;
            continue;
        }
        if (id == rid::BOF) {
            nested = 1;
            continue;
        }
        if (id == rid::EOF_) {
            eof_ = Downcast<TEOFRecord>(std::move(record));
            return;
        }
        Place(std::move(record));
    }
}

void TWorkSheet::Place(std::unique_ptr<TXlsRecord> record) {
    const uint16_t id = record->Id();
    if (id != rid::SHRFMLA && id != rid::ARRAY && id != rid::TABLE && id != rid::STRING)
        awaitingString_ = nullptr;
    switch (id) {
        case rid::BLANK:
        case rid::NUMBER:
        case rid::RK:
        case rid::LABEL:
        case rid::INTEGER:
        case rid::BOOLERR:
            cells_.Put(Downcast<TCellRecord>(std::move(record)));
            break;
        case rid::FORMULA: {
            auto formula = Downcast<TFormulaRecord>(std::move(record));
            // Its text result may come in a STRING after a SHRFMLA or ARRAY.
            awaitingString_ = formula->StringFollows() ? formula.get() : nullptr;
            cells_.Put(std::move(formula));
            return;
        }
        case rid::STRING:
            if (awaitingString_)
                awaitingString_->SetStringResult(static_cast<const TStringRecord&>(*record).Text());
            awaitingString_ = nullptr;
            break;
        case rid::LABELSST: {
            auto cell = Downcast<TLabelSSTRecord>(std::move(record));
            if (workbook_) cell->SetList(&workbook_->Globals().SharedStrings());
            cells_.Put(std::move(cell));
            break;
        }
        case rid::ROW:
            cells_.Rows().Add(Downcast<TRowRecord>(std::move(record)));
            break;
        case rid::MERGEDCELLS: {
            // Excel splits long lists of merged ranges over several records;
            // their ranges are all kept.
            auto merged = Downcast<TMergedCellsRecord>(std::move(record));
            if (!mergedRead_) {
                cells_.SetMerged(std::move(merged));
                mergedRead_ = true;
            } else {
                for (int i = 0; i < merged->RangeCount(); ++i) cells_.Merged().AddRange(merged->GetRange(i));
            }
            break;
        }
        case rid::MULRK:
            static_cast<const TMulRKRecord&>(*record).Expand(
                [this](std::unique_ptr<TCellRecord> c) { cells_.Put(std::move(c)); });
            break;
        case rid::MULBLANK:
            static_cast<const TMulBlankRecord&>(*record).Expand(
                [this](std::unique_ptr<TCellRecord> c) { cells_.Put(std::move(c)); });
            break;
        case rid::COLINFO:
            ApplyColInfo(static_cast<const TColInfoRecord&>(*record));
            break;
        case rid::DEFAULTROWHEIGHT:
            defaultRowHeight_ = Downcast<TDefaultRowHeightRecord>(std::move(record));
            break;
        case rid::DEFCOLWIDTH:
            defColWidth_ = Downcast<TDefaultColWidthRecord>(std::move(record));
            break;
        case rid::STANDARDWIDTH:
            standardWidth_ = Downcast<TStandardWidthRecord>(std::move(record));
            break;
        case rid::DIMENSIONS:
            dimensions_ = Downcast<TDimensionsRecord>(std::move(record));
            break;
        case rid::PANE:
            pane_ = Downcast<TPaneRecord>(std::move(record));
            break;
        case rid::WINDOW2:
            window2_ = Downcast<TWindow2Record>(std::move(record));
            break;
        case rid::PROTECT:
            protect_ = Downcast<TProtectRecord>(std::move(record));
            break;
        case rid::SHRFMLA:
            sharedFormulas_.push_back(Downcast<TShrFmlaRecord>(std::move(record)));
            break;
        default:
            break;  // drawing, notes, selections, page settings, unknown ids
    }
}

void TWorkSheet::ApplyColInfo(const TColInfoRecord& info) {
    const int first = info.FirstCol();
    // A sheet has 256 columns; Excel itself writes 256 as the last column
    // of a "rest of the sheet" entry.
    const int last = std::min<int>(info.LastCol(), kMaxColumns - 1);
    const int raw = info.Width();
    const int xf = info.XF();
    const int options = info.Options();
    for (int c = first; c <= last; ++c) {
        TColInfo& e = columns_.Entry(c);
        e.rawWidth = raw;
        e.width = MulDiv(raw, columns_.CharWidth(), 256);
        e.xf = xf;
        e.options = options;
    }
}

// ---------------------------------------------------------------- globals

TWorkbookGlobals::TWorkbookGlobals() = default;
TWorkbookGlobals::~TWorkbookGlobals() = default;

TPaletteRecord& TWorkbookGlobals::Palette() {
    if (!palette_) palette_ = TPaletteRecord::MakeDefault();
    return *palette_;
}

void TWorkbookGlobals::ReadFrom(TXlsReader& reader) {
    for (;;) {
        std::unique_ptr<TXlsRecord> record = reader.ReadRecord(true);
        if (!record) break;
        bool done = false;
        switch (record->Id()) {
            case rid::XF:
                xfs_.Add(Downcast<TXFRecord>(std::move(record)));
                break;
            case rid::FONT:
                fonts_.Add(Downcast<TFontRecord>(std::move(record)));
                break;
            case rid::FORMAT:
                formats_.Add(Downcast<TFormatRecord>(std::move(record)));
                break;
            case rid::SST:
                DecodeSST(*record, sharedStrings_);
                break;
            case rid::PALETTE:
                palette_ = Downcast<TPaletteRecord>(std::move(record));
                break;
            case rid::BOF:
                RaiseReadFailed("the workbook's globals have no EOF before the next BOF");
            case rid::FILEPASS:
                RaisePasswordProtected();
            case rid::DATEMODE:
                date1904_ = record->Holds(0, 2) && record->GetWord(0) == 1;
                break;
            case rid::EOF_:
                eof_ = Downcast<TEOFRecord>(std::move(record));
                done = true;
                break;
            case rid::BOUNDSHEET:
                boundSheets_.Add(Downcast<TBoundSheetRecord>(std::move(record)));
                break;
            case rid::SUPBOOK:
                // Sheet count, then 0x0401 for the workbook itself.
                internalBooks_.push_back(record->Size() == 4 && record->GetWord(2) == 0x0401);
                break;
            case rid::EXTERNSHEET:
                ReadExternSheets(*record);
                break;
            default:
                break;  // STYLE, WINDOW1, names, external references, drawings
        }
        if (done) break;
    }
    if (!palette_) palette_ = TPaletteRecord::MakeDefault();
}

void TWorkbookGlobals::ReadExternSheets(const TXlsRecord& record) {
    // A long list continues in CONTINUE records.
    std::vector<uint8_t> bytes(record.Body().begin(), record.Body().end());
    for (const TXlsRecord* c = record.Continuation(); c; c = c->Continuation())
        bytes.insert(bytes.end(), c->Body().begin(), c->Body().end());
    if (bytes.size() < 2) return;
    const size_t count = TVxBuffer::GetWord(bytes.data());
    externSheets_.clear();
    for (size_t i = 0; i < count && 2 + 6 * i + 6 <= bytes.size(); ++i) {
        const uint8_t* p = bytes.data() + 2 + 6 * i;
        externSheets_.push_back(
            {TVxBuffer::GetWord(p), TVxBuffer::GetWord(p + 2), TVxBuffer::GetWord(p + 4)});
    }
}

int TWorkbookGlobals::ExternSheetIndexOf(int sheet) {
    const TExternSheetEntry entry{0, static_cast<uint16_t>(sheet), static_cast<uint16_t>(sheet)};
    auto it = std::find(externSheets_.begin(), externSheets_.end(), entry);
    if (it != externSheets_.end()) return static_cast<int>(it - externSheets_.begin());
    externSheets_.push_back(entry);
    internalBooks_.assign(1, true);
    return static_cast<int>(externSheets_.size() - 1);
}

int TWorkbookGlobals::InternalSheetOf(int ixti) const {
    if (ixti < 0 || ixti >= static_cast<int>(externSheets_.size())) return -1;
    const TExternSheetEntry& e = externSheets_[static_cast<size_t>(ixti)];
    if (e.supBook >= internalBooks_.size() || !internalBooks_[e.supBook]) return -1;
    if (e.firstSheet != e.lastSheet || e.firstSheet >= boundSheets_.Count()) return -1;
    return e.firstSheet;
}

// ---------------------------------------------------------------- sheet list

TWorkSheet& TWorkSheetList::Item(int index) const {
    if (index < 0 || index >= Count()) {
        throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
    }
    return *items_[static_cast<size_t>(index)];
}

TWorkSheet& TWorkSheetList::Add(std::unique_ptr<TWorkSheet> sheet, int index) {
    TWorkSheet& added = *sheet;
    if (index < 0 || index >= Count()) {
        items_.push_back(std::move(sheet));
    } else {
        items_.insert(items_.begin() + index, std::move(sheet));
    }
    return added;
}

// ---------------------------------------------------------------- workbook

TWorkbook::TWorkbook(ITextMeasurer* measurer) : measurer_(measurer) {}
TWorkbook::~TWorkbook() = default;

ITextMeasurer& TWorkbook::Measurer() const { return measurer_ ? *measurer_ : DefaultTextMeasurer(); }

TWorkSheet& TWorkbook::AddSheet(WideStringView name) {
    auto sheet = std::make_unique<TWorkSheet>(this);
    sheet->SetName(name);
    return sheets_.Add(std::move(sheet));
}

int TWorkbook::ComputeCharWidth() {
    int width;
    if (globals_.Fonts().Count() > 0) {
        width = Measurer().TextWidth(globals_.Fonts().Item(0).FontHandle(), u"0");
    } else {
        auto font = TFontRecord::Make(u"宋体");
        font->SetHeight(240);
        font->SetCharset(134);
        width = Measurer().TextWidth(font->FontHandle(), u"0");
    }
    SetCharWidth(width);
    return charWidth_;
}

WideString TWorkbook::GetNameText(uint8_t kind, int sheetIndex, int itemIndex) const {
    // The sheet part of a reference into another sheet of this workbook is
    // its name; defined and external names stay unresolved.
    if (kind == kNameKindExternal && itemIndex < 0) {
        const int sheet = globals_.InternalSheetOf(sheetIndex);
        if (sheet >= 0) return globals_.BoundSheets().Item(sheet).Name();
    }
    return u"#NAME?";
}

WideString TWorkbook::FormulaText(const TFormulaRecord& formula) const {
    return FormulaRecordText(formula.Body(), [this](uint8_t kind, int sheet, int item) {
        return GetNameText(kind, sheet, item);
    });
}

namespace {

// The program and format that wrote a BOF of an older BIFF version, or
// nothing for BIFF8. BIFF2 to BIFF4 have their own BOF ids; BIFF5 (Excel 5.0
// and Excel 95) shares the BIFF8 id with version 0x0500.
const char* OlderVersionOf(const TXlsRecord& bof) {
    switch (bof.Id()) {
        case 0x0009:
            return "Excel 2.1 (BIFF2)";
        case 0x0209:
            return "Excel 3.0 (BIFF3)";
        case 0x0409:
            return "Excel 4.0 (BIFF4)";
        case rid::BOF:
            break;
        default:
            return nullptr;
    }
    if (!bof.Holds(0, 2)) return nullptr;
    const uint16_t version = bof.GetWord(0);
    if (version == 0x0500) return "Excel 5.0 or Excel 95 (BIFF5)";
    if (version == 0x0400) return "Excel 4.0 (BIFF4)";
    if (version == 0x0300) return "Excel 3.0 (BIFF3)";
    if (version == 0x0200) return "Excel 2.1 (BIFF2)";
    return nullptr;
}

// Skips the records of a substream whose BOF was just read, up to its EOF
// (substreams nested inside it included).
void SkipSubstream(TXlsReader& reader) {
    int depth = 1;
    while (depth > 0) {
        std::unique_ptr<TXlsRecord> record = reader.ReadRecord(true);
        if (!record) return;
        if (record->Id() == rid::BOF) ++depth;
        if (record->Id() == rid::EOF_) --depth;
    }
}

}  // namespace

void TWorkbook::ReadFrom(TXlsReader& reader) {
    try {
        ReadSubstreams(reader);
    } catch (const EXlsError& e) {
        // The fixed text stays first; where it happened follows, so that a
        // user can tell a damaged file from one this program cannot read.
        if (e.Id() == 0) throw;
        char where[96];
        std::snprintf(where, sizeof where, "record 0x%04X at byte %zu of the workbook stream",
                      static_cast<unsigned>(reader.LastId()), reader.LastStart());
        std::string detail = where;
        if (sheets_.Count() > 0)
            detail += ", in sheet " + std::to_string(sheets_.Count());
        else
            detail += ", in the workbook's globals";
        // A reason given at the failure comes first.
        const WideString why = e.Detail().empty() ? WideString() : e.Detail() + u"; ";
        throw EXlsError(e.Id(), e.FixedText(), why + Utf8ToWide(detail));
    }
}

void TWorkbook::ReadSubstreams(TXlsReader& reader) {
    size_t at = reader.Position();
    std::unique_ptr<TXlsRecord> record = reader.ReadRecord(true);
    if (record) {
        if (const char* older = OlderVersionOf(*record)) RaiseOlderVersion(older);
    }
    // The stream position of each worksheet's BOF, to find its BOUNDSHEET.
    std::vector<uint32_t> positions;
    while (record && record->Id() != 0) {
        if (record->Id() != rid::BOF) RaiseReadFailed("a record outside every sheet is not a BOF");
        switch (record->GetWord(2)) {
            case TBOFRecord::kGlobals:
                globals_.SetBof(Downcast<TBOFRecord>(std::move(record)));
                globals_.ReadFrom(reader);
                ComputeCharWidth();
                break;
            case TBOFRecord::kWorksheet: {
                TWorkSheet& sheet = AddSheet();
                sheet.SetBof(Downcast<TBOFRecord>(std::move(record)));
                positions.push_back(static_cast<uint32_t>(at));
                sheet.ReadFrom(reader);
                break;
            }
            case TBOFRecord::kChart:
                // A chart sheet holds no cells: it is skipped whole, and the
                // worksheets keep their names.
                SkipSubstream(reader);
                break;
            default:
                RaiseReadFailed("a BOF of unknown substream type");
        }
        if (reader.AtEnd()) break;
        at = reader.Position();
        record = reader.ReadRecord(true);
    }
    // Each worksheet takes the name of the BOUNDSHEET that points at its
    // BOF; where the positions do not match (writers that leave them
    // unset), the worksheets take the names of the worksheet BOUNDSHEETs
    // in order.
    const TBoundSheetList& bound = globals_.BoundSheets();
    std::vector<int> worksheetEntries;
    for (int i = 0; i < bound.Count(); ++i) {
        const TBoundSheetRecord& b = bound.Item(i);
        if (!b.Holds(5, 1) || b.SheetType() == 0) worksheetEntries.push_back(i);
    }
    for (int s = 0; s < sheets_.Count(); ++s) {
        int entry = -1;
        for (int i = 0; i < bound.Count() && entry < 0; ++i)
            if (bound.Item(i).Holds(0, 4) &&
                bound.Item(i).Position() == positions[static_cast<size_t>(s)])
                entry = i;
        if (entry < 0 && s < static_cast<int>(worksheetEntries.size()))
            entry = worksheetEntries[static_cast<size_t>(s)];
        if (entry >= 0) sheets_.Item(s).SetName(bound.Item(entry).Name());
    }
}

void TWorkbook::LoadFromBytes(std::span<const uint8_t> stream) {
    TXlsReader reader(stream);
    ReadFrom(reader);
}

std::vector<uint8_t> TWorkbook::SaveToBytes() {
    TXlsWriter writer;
    WriteTo(writer);
    return writer.TakeBytes();
}

void TWorkbook::LoadFromFile(const std::string& path) {
    std::optional<TCompoundDocument> document;
    try {
        document.emplace(TCompoundDocument::OpenFile(path));
    } catch (const ECompoundDocumentError&) {
        // Excel 2.1 to 4.0 wrote the bare record stream, no container: say
        // which program wrote it rather than that it is no document.
        std::ifstream in(path, std::ios::binary);
        uint8_t head[6] = {};
        in.read(reinterpret_cast<char*>(head), sizeof head);
        if (in.gcount() == sizeof head) {
            const uint16_t id = TVxBuffer::GetWord(head);
            if (id == 0x0009 || id == 0x0209 || id == 0x0409 || id == rid::BOF) {
                auto bof = MakeRecord(id, std::span<const uint8_t>(head + 4, 2));
                if (const char* older = OlderVersionOf(*bof)) RaiseOlderVersion(older);
            }
        }
        throw;
    }
    LoadFromStorage(*document);
}

void TWorkbook::LoadFromStorage(const TCompoundDocument& document) {
    // Excel 97 and later name the stream "Workbook" (in any letter case, as
    // stream names compare); Excel 5.0 and 95 named it "Book", and such a
    // stream is refused by its version when it is read.
    const std::string_view name =
        document.HasStream(kWorkbookStreamName) || !document.HasStream("Book")
            ? kWorkbookStreamName
            : std::string_view("Book");
    const TByteBlock stream = document.ReadStreamBlock(name);
    LoadFromBytes(stream.Span());
}

std::vector<uint8_t> TWorkbook::SaveToDocument() {
    std::vector<uint8_t> stream = SaveToBytes();
    TCompoundStream s{std::string(kWorkbookStreamName), stream};
    return BuildCompoundDocument(std::span<const TCompoundStream>(&s, 1));
}

void TWorkbook::SaveToFile(const std::string& path) {
    std::vector<uint8_t> stream = SaveToBytes();
    TCompoundStream s{std::string(kWorkbookStreamName), stream};
    WriteCompoundDocumentFile(path, std::span<const TCompoundStream>(&s, 1));
}

}  // namespace plu
