#include "formats/biff8/sheet_records.h"

#include "formats/biff8/xls_errors.h"

namespace plu {

std::unique_ptr<TBOFRecord> TBOFRecord::Make(uint16_t type) {
    auto r = std::make_unique<TBOFRecord>();
    r->Create(rid::BOF, 16);
    r->SetWord(0, 0x0600);
    r->SetWord(2, type);
    return r;
}

std::unique_ptr<TEOFRecord> TEOFRecord::Make() {
    auto r = std::make_unique<TEOFRecord>();
    r->Create(rid::EOF_, 0);
    return r;
}

std::unique_ptr<TRowRecord> TRowRecord::Make(uint16_t row, uint16_t firstCol, uint16_t colEnd,
                                             uint16_t height, uint16_t options, uint16_t xf) {
    auto r = std::make_unique<TRowRecord>();
    r->Create(rid::ROW, 16);
    r->SetWord(0, row);
    r->SetWord(2, firstCol);
    r->SetWord(4, colEnd);
    r->SetHeight(height);
    r->SetWord(12, options);
    r->SetWord(14, xf);
    return r;
}

std::unique_ptr<TColInfoRecord> TColInfoRecord::Make(uint16_t first, uint16_t last, uint16_t width,
                                                     uint16_t xf, uint16_t options) {
    auto r = std::make_unique<TColInfoRecord>();
    r->Create(rid::COLINFO, 12);
    r->SetWord(0, first);
    r->SetWord(2, last);
    r->SetWord(4, width);
    r->SetWord(6, xf);
    r->SetWord(8, options);
    return r;
}

std::unique_ptr<TDimensionsRecord> TDimensionsRecord::Make(uint32_t firstRow, uint32_t rowEnd,
                                                           uint16_t firstCol, uint16_t colEnd) {
    auto r = std::make_unique<TDimensionsRecord>();
    r->Create(rid::DIMENSIONS, 14);
    r->SetLong(0, firstRow);
    r->SetLong(4, rowEnd);
    r->SetWord(8, firstCol);
    r->SetWord(10, colEnd);
    return r;
}

std::unique_ptr<TWindow2Record> TWindow2Record::MakeDefault() {
    auto r = std::make_unique<TWindow2Record>();
    r->Create(rid::WINDOW2, 18);
    r->SetWord(0, 0x06B6);
    r->SetWord(6, 64);
    return r;
}

std::unique_ptr<TDefaultColWidthRecord> TDefaultColWidthRecord::Make(uint16_t characters) {
    auto r = std::make_unique<TDefaultColWidthRecord>();
    r->Create(rid::DEFCOLWIDTH, 2);
    r->SetWord(0, characters);
    return r;
}

std::unique_ptr<TDefaultRowHeightRecord> TDefaultRowHeightRecord::Make(uint16_t options,
                                                                       uint16_t twips) {
    auto r = std::make_unique<TDefaultRowHeightRecord>();
    r->Create(rid::DEFAULTROWHEIGHT, 4);
    r->SetWord(0, options);
    r->SetWord(2, twips);
    return r;
}

std::unique_ptr<TIndexRecord> TIndexRecord::Make(uint32_t firstRow, uint32_t rowEnd, int blocks) {
    auto r = std::make_unique<TIndexRecord>();
    r->Create(rid::INDEX, 16 + 4 * blocks);
    r->SetLong(4, firstRow);
    r->SetLong(8, rowEnd);
    return r;
}

int TCellRangesRecord::RangeCount() const {
    if (Size() < 2) return 0;
    const int held = (Size() - 2) / 8;
    const int count = GetWord(0);
    return count < held ? count : held;
}

TCellRangesRecord::Range TCellRangesRecord::GetRange(int index) const {
    const int at = 2 + 8 * index;
    return {GetWord(at), GetWord(at + 2), GetWord(at + 4), GetWord(at + 6)};
}

void TCellRangesRecord::AddRange(const Range& range) {
    const int n = RangeCount();
    if (n >= 0xFFFF) RaiseXlsLimit("Too many cell ranges in one record");
    Resize(2 + 8 * (n + 1));
    const int at = 2 + 8 * n;
    SetWord(0, static_cast<uint16_t>(n + 1));
    SetWord(at, range.firstRow);
    SetWord(at + 2, range.lastRow);
    SetWord(at + 4, range.firstCol);
    SetWord(at + 6, range.lastCol);
}

std::unique_ptr<TMergedCellsRecord> TMergedCellsRecord::Make() {
    auto r = std::make_unique<TMergedCellsRecord>();
    r->Create(rid::MERGEDCELLS, 2);
    return r;
}

}  // namespace plu
