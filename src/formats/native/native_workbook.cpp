#include "formats/native/native_workbook.h"

#include <iterator>
#include <utility>

namespace plu {

namespace {

template <typename T>
std::unique_ptr<T> Downcast(std::unique_ptr<TKtDataRecord> record) {
    return std::unique_ptr<T>(static_cast<T*>(record.release()));
}

}  // namespace

std::unique_ptr<TKtDataRecord> ReadRecord(TKtStream& stream) {
    if (stream.Remaining() < 4) throw EGridFileError(ReadRecordFailedMessage());
    const uint16_t id = stream.ReadU16();
    size_t length = stream.ReadU16();
    if (length == 0xFFFF) {
        if (stream.Remaining() < 4) throw EGridFileError(ReadRecordFailedMessage());
        length = static_cast<uint32_t>(stream.ReadI32());
    }
    if (length > stream.Remaining()) throw EGridFileError(ReadRecordFailedMessage());
    std::vector<uint8_t> body(length);
    stream.ReadBuffer(body);
    return CreateRecord(id, std::move(body));
}

// ---- Lists -----------------------------------------------------------------------------------

void TKtFormatStrings::Put(std::unique_ptr<TKtFormatRecord> record) {
    const size_t index = record->FormatIndex();
    if (index >= slots_.size()) slots_.resize(index + 1);
    slots_[index] = std::move(record);
}

void TKtColInfoList::Assign(int first, int last, int width, uint16_t xf, uint16_t options) {
    if (last < first) return;
    // Cut the runs that reach into [first, last] and drop the ones inside it.
    auto it = runs_.lower_bound(first);
    if (it != runs_.begin()) {
        auto before = std::prev(it);
        if (before->second.Last >= first) {
            Run tail = before->second;
            before->second.Last = first - 1;
            if (tail.Last > last) runs_[last + 1] = Run{tail.Last, tail.Info};
        }
    }
    it = runs_.lower_bound(first);
    while (it != runs_.end() && it->first <= last) {
        if (it->second.Last > last) runs_[last + 1] = Run{it->second.Last, it->second.Info};
        it = runs_.erase(it);
    }
    const TKtColInfo info{first, width, xf, options};
    // Neighbouring runs with the same entry become one, so equal columns set
    // one by one (a grid's columns when building) stay one run.
    auto at = runs_.emplace(first, Run{last, info}).first;
    if (at != runs_.begin()) {
        auto before = std::prev(at);
        if (before->second.Last + 1 == first && before->second.Info.SameFormat(info)) {
            before->second.Last = last;
            runs_.erase(at);
            at = before;
        }
    }
    auto after = std::next(at);
    if (after != runs_.end() && after->first == at->second.Last + 1 &&
        after->second.Info.SameFormat(at->second.Info)) {
        at->second.Last = after->second.Last;
        runs_.erase(after);
    }
}

bool TKtColInfoList::Find(int col, TKtColInfo& out) const {
    auto it = runs_.upper_bound(col);
    if (it == runs_.begin()) return false;
    --it;
    if (it->second.Last < col) return false;
    out = it->second.Info;
    out.Col = col;
    return true;
}

std::vector<std::unique_ptr<TKtColInfoRecord>> TKtColInfoList::ToRecords() const {
    std::vector<std::unique_ptr<TKtColInfoRecord>> records;
    const TKtColInfo* format = nullptr;
    int runFirst = 0;
    int runLast = -2;
    auto flush = [&] {
        if (!format) return;
        records.push_back(std::make_unique<TKtColInfoRecord>(
            static_cast<uint16_t>(runFirst), static_cast<uint16_t>(runLast),
            static_cast<uint16_t>(format->Width), format->XFIndex, format->Options));
    };
    for (const auto& [first, run] : runs_) {
        if (format && first == runLast + 1 && run.Info.SameFormat(*format)) {
            runLast = run.Last;
            continue;
        }
        flush();
        format = &run.Info;
        runFirst = first;
        runLast = run.Last;
    }
    flush();
    return records;
}

TKtMergedCellsRecord& TKtSheetCells::MergedCells() {
    if (!merged_) merged_ = std::make_unique<TKtMergedCellsRecord>();
    return *merged_;
}

// ---- Reading ---------------------------------------------------------------------------------

TKtWorkSheet& TKtWorkbook::AddSheet() {
    sheets_.push_back(std::make_unique<TKtWorkSheet>());
    return *sheets_.back();
}

void TKtWorkbook::ReadRecords(TKtStream& stream) {
    for (std::unique_ptr<TKtDataRecord> record = ReadRecord(stream); record->Id() != 0;
         record = ReadRecord(stream)) {
        if (record->Id() != native_id::kBOF) throw EGridFileError(ReadRecordFailedMessage());
        auto bof = Downcast<TKtBOFRecord>(std::move(record));
        switch (bof->Type()) {
            case kBofGlobals:
                globals_.Bof = std::move(bof);
                ReadGlobals(stream);
                break;
            case kBofSheet: {
                TKtWorkSheet& sheet = AddSheet();
                sheet.Bof = std::move(bof);
                ReadSheet(stream, sheet);
                break;
            }
            case kBofChart:
                break;  // dropped
            default:
                throw EGridFileError(ReadRecordFailedMessage());
        }
    }
}

void TKtWorkbook::ReadGlobals(TKtStream& stream) {
    using namespace native_id;
    for (;;) {
        std::unique_ptr<TKtDataRecord> record = ReadRecord(stream);
        switch (record->Id()) {
            case kEOF:
                globals_.Eof = Downcast<TKtEOFRecord>(std::move(record));
                return;
            case kXF:
                globals_.XFs.Append(Downcast<TKtXFRecord>(std::move(record)));
                break;
            case kFont:
                globals_.Fonts.Append(Downcast<TKtFontRecord>(std::move(record)));
                break;
            case kImage:
                globals_.Images.push_back(Downcast<TKtImageRecord>(std::move(record)));
                break;
            case kBoundSheet:
                globals_.BoundSheets.push_back(Downcast<TKtBoundSheetRecord>(std::move(record)));
                break;
            case kFormat:
                globals_.Formats.Put(Downcast<TKtFormatRecord>(std::move(record)));
                break;
            default:
                break;  // freed
        }
    }
}

void TKtWorkbook::ReadSheet(TKtStream& stream, TKtWorkSheet& sheet) {
    using namespace native_id;
    const uint16_t version = sheet.LayoutVersion();
    for (;;) {
        std::unique_ptr<TKtDataRecord> record = ReadRecord(stream);
        switch (record->Id()) {
            case kEOF:
                sheet.Eof = Downcast<TKtEOFRecord>(std::move(record));
                return;
            case kBlank:
            case kNumber:
            case kLabel:
            case kFormula:
            case kCheckBoxCell: {
                auto cell = Downcast<TKtCellRecord>(std::move(record));
                cell->SetVersion(version);
                sheet.Cells.Append(std::move(cell));
                break;
            }
            case kRow:
                sheet.Rows.push_back(Downcast<TKtRowRecord>(std::move(record)));
                break;
            case kMergedCells:
                sheet.Cells.SetMergedCells(Downcast<TKtMergedCellsRecord>(std::move(record)));
                break;
            case kColInfo:
                sheet.ColInfos.Apply(static_cast<const TKtColInfoRecord&>(*record));
                break;
            case kDimensions:
                sheet.Dimensions = Downcast<TKtDimensionsRecord>(std::move(record));
                break;
            case kTag:
            case kHint:
            case kPostil: {
                auto text = Downcast<TKtRowColStringRecord>(std::move(record));
                text->SetVersion(version);
                auto& list = text->Id() == kTag    ? sheet.Tags
                             : text->Id() == kHint ? sheet.Hints
                                                   : sheet.Postils;
                list.push_back(std::move(text));
                break;
            }
            default:
                break;  // freed
        }
    }
}

void TKtWorkbook::NameSheets() {
    for (size_t i = 0; i < sheets_.size() && i < globals_.BoundSheets.size(); ++i)
        sheets_[i]->Name = globals_.BoundSheets[i]->Name();
}

// ---- Writing ---------------------------------------------------------------------------------

void TKtWorkbook::WriteTo(TKtRecordWriter& writer) const {
    TKtBOFRecord(kGlobalsVersion, kBofGlobals).WriteTo(writer);
    for (const auto& font : globals_.Fonts.Records())
        font->WriteTo(writer);
    for (const auto& xf : globals_.XFs.Records())
        xf->WriteTo(writer);
    for (const auto& image : globals_.Images)
        image->WriteTo(writer);
    for (const auto& sheet : globals_.BoundSheets)
        sheet->WriteTo(writer);
    for (const auto& format : globals_.Formats.Slots())
        if (format) format->WriteTo(writer);
    TKtEOFRecord().WriteTo(writer);

    for (const auto& sheet : sheets_) {
        TKtBOFRecord(kWideRowColVersion, kBofSheet).WriteTo(writer);
        if (sheet->Dimensions) sheet->Dimensions->WriteTo(writer);
        for (const auto& colInfo : sheet->ColInfos.ToRecords())
            colInfo->WriteTo(writer);
        for (const auto& row : sheet->Rows)
            row->WriteTo(writer);
        for (const auto& cell : sheet->Cells.Records())
            cell->WriteTo(writer);
        if (const TKtMergedCellsRecord* merged = sheet->Cells.FindMergedCells())
            merged->WriteTo(writer);
        else
            TKtMergedCellsRecord().WriteTo(writer);
        for (const auto& tag : sheet->Tags)
            tag->WriteTo(writer);
        for (const auto& hint : sheet->Hints)
            hint->WriteTo(writer);
        for (const auto& postil : sheet->Postils)
            postil->WriteTo(writer);
        TKtEOFRecord().WriteTo(writer);
    }
    writer.Write(0, {});
}

}  // namespace plu
