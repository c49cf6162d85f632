#include "formats/biff8/record_reader.h"

#include <algorithm>
#include <cstring>

#include "formats/biff8/cell_records.h"
#include "formats/biff8/font_record.h"
#include "formats/biff8/globals_records.h"
#include "formats/biff8/palette.h"
#include "formats/biff8/sheet_records.h"
#include "formats/biff8/xf_record.h"
#include "formats/biff8/xls_errors.h"

namespace plu {
namespace {

template <typename T>
std::unique_ptr<TXlsRecord> Make(uint16_t id, int32_t size) {
    auto r = std::make_unique<T>();
    r->Create(id, size);
    return r;
}

}  // namespace

std::unique_ptr<TXlsRecord> CreateRecord(uint16_t id, int32_t size) {
    switch (id) {
        case rid::INTEGER: return Make<TIntegerRecord>(id, size);
        case rid::FORMULA: return Make<TFormulaRecord>(id, size);
        case rid::EOF_: return Make<TEOFRecord>(id, size);
        case rid::PROTECT: return Make<TProtectRecord>(id, size);
        case rid::FONT: return Make<TFontRecord>(id, size);
        case rid::CONTINUE: return Make<TContinueRecord>(id, size);
        case rid::WINDOW1: return Make<TWindow1Record>(id, size);
        case rid::PANE: return Make<TPaneRecord>(id, size);
        case rid::DEFCOLWIDTH: return Make<TDefaultColWidthRecord>(id, size);
        case rid::COLINFO: return Make<TColInfoRecord>(id, size);
        case rid::BOUNDSHEET: return Make<TBoundSheetRecord>(id, size);
        case rid::PALETTE: return Make<TPaletteRecord>(id, size);
        case rid::STANDARDWIDTH: return Make<TStandardWidthRecord>(id, size);
        case rid::MULRK: return Make<TMulRKRecord>(id, size);
        case rid::MULBLANK: return Make<TMulBlankRecord>(id, size);
        case rid::DBCELL: return Make<TDBCellRecord>(id, size);
        case rid::XF: return Make<TXFRecord>(id, size);
        case rid::MERGEDCELLS: return Make<TMergedCellsRecord>(id, size);
        case rid::SST: return Make<TSSTRecord>(id, size);
        case rid::LABELSST: return Make<TLabelSSTRecord>(id, size);
        case rid::DIMENSIONS: return Make<TDimensionsRecord>(id, size);
        case rid::BLANK: return Make<TBlankRecord>(id, size);
        case rid::NUMBER: return Make<TNumberRecord>(id, size);
        case rid::LABEL: return Make<TLabelRecord>(id, size);
        case rid::STRING: return Make<TStringRecord>(id, size);
        case rid::BOOLERR:
            return Make<TBoolErrRecord>(id, size);
        case rid::ROW: return Make<TRowRecord>(id, size);
        case rid::INDEX: return Make<TIndexRecord>(id, size);
        case rid::DEFAULTROWHEIGHT: return Make<TDefaultRowHeightRecord>(id, size);
        case rid::TABLE: return Make<TTableRecord>(id, size);
        case rid::WINDOW2: return Make<TWindow2Record>(id, size);
        case rid::RK: return Make<TRKRecord>(id, size);
        case rid::STYLE: return Make<TStyleRecord>(id, size);
        case rid::FORMAT: return Make<TFormatRecord>(id, size);
        case rid::SHRFMLA: return Make<TShrFmlaRecord>(id, size);
        case rid::BOF: return Make<TBOFRecord>(id, size);
        default: return Make<TXlsRecord>(id, size);
    }
}

bool TXlsReader::ReadHeader(bool raiseOnError) {
    if (stream_.size() - position_ >= 4) {
        const uint8_t* p = stream_.data() + position_;
        id_ = TVxBuffer::GetWord(p);
        length_ = TVxBuffer::GetWord(p + 2);
        position_ += 4;
        pending_ = true;
        return true;
    }
    // Fewer than 4 bytes are left: a memory stream then always ends here,
    // which reads as the end of the workbook (an EOF header is pending).
    (void)raiseOnError;
    position_ = stream_.size();
    id_ = rid::EOF_;
    length_ = 0;
    pending_ = false;
    return false;
}

std::unique_ptr<TXlsRecord> TXlsReader::ReadOne() {
    if (!pending_ && !ReadHeader(false)) return nullptr;
    lastId_ = id_;
    lastStart_ = position_ - 4;
    auto record = CreateRecord(id_, length_);
    // A body cut short by the end of the stream keeps its size; the missing
    // bytes stay zero.
    const size_t available = std::min<size_t>(length_, stream_.size() - position_);
    if (available) std::memcpy(record->MutableBody().data(), stream_.data() + position_, available);
    position_ += available;
    pending_ = false;
    record->AfterRead();
    return record;
}

std::unique_ptr<TXlsRecord> TXlsReader::ReadRecord(bool raiseOnError) {
    if (!pending_ && !ReadHeader(raiseOnError)) return nullptr;
    auto record = ReadOne();
    LookAhead(*record);
    return record;
}

void TXlsReader::LookAhead(TXlsRecord& record) {
    // The CONTINUE records of a chain are read in a loop (each attached to
    // the last), not recursively: a file may hold any number of them.
    TXlsRecord* last = &record;
    for (;;) {
        // Most records are followed by an ordinary one: peek at its id first.
        if (stream_.size() - position_ >= 4) {
            const uint16_t next = TVxBuffer::GetWord(stream_.data() + position_);
            if (next != rid::CONTINUE && next != rid::STRING && next != rid::TABLE) {
                pending_ = false;
                return;
            }
        }
        const size_t mark = position_;
        if (!ReadHeader(false)) return;  // end of the stream
        if (id_ == rid::CONTINUE) {
            std::unique_ptr<TXlsRecord> next = ReadOne();
            auto* cont = static_cast<TContinueRecord*>(next.release());
            TXlsRecord* added = cont;
            last->AttachContinue(std::unique_ptr<TContinueRecord>(cont));
            last = added;
            continue;
        }
        const uint16_t lastId = last->Id();
        if (id_ == rid::STRING) {
            if (lastId == rid::FORMULA) {
                auto& formula = static_cast<TFormulaRecord&>(*last);
                if (formula.StringFollows()) {
                    std::unique_ptr<TXlsRecord> s = ReadRecord(false);
                    formula.SetStringResult(static_cast<TStringRecord&>(*s).Text());
                }
                return;  // else the STRING stays pending
            }
            // Excel puts SHRFMLA or ARRAY between a formula and its STRING;
            // the sheet hands such a STRING to the formula before them.
            if (lastId == rid::SHRFMLA || lastId == rid::TABLE || lastId == rid::ARRAY) return;
            RaiseReadFailed("a STRING record follows a record that is no formula");
        }
        if (id_ == rid::TABLE) {
            if (lastId != rid::FORMULA)
                RaiseReadFailed("a TABLE record follows a record that is no formula");
            std::unique_ptr<TXlsRecord> t = ReadRecord(false);
            static_cast<TFormulaRecord&>(*last).AttachTable(
                std::unique_ptr<TTableRecord>(static_cast<TTableRecord*>(t.release())));
            return;
        }
        // Anything else is the next record: step back over its header.
        position_ = mark;
        pending_ = false;
        return;
    }
}

}  // namespace plu
