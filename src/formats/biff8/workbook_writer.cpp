// Serialising the workbook model into a BIFF8 workbook stream.
#include <algorithm>
#include <string>

#include "base/screen.h"
#include "formats/biff8/workbook.h"
#include "formats/biff8/xls_errors.h"
#include "formats/biff8/xls_string.h"
#include "formats/biff8/xls_writer.h"

namespace plu {
namespace {

// Bytes of a LABEL record body holding text (row, column, XF, string).
int LabelBodySize(WideStringView text) { return 6 + EncodedXlsStringSize(text, 2); }

// The shared-string table: SST and as many CONTINUE records as the texts
// need. A string never starts without room for its header and its first
// character; characters that cross into a CONTINUE record follow an option
// byte (1: 16-bit). EXTSST then indexes every dsst-th string.
void WriteSharedStrings(TXlsWriter& w, const std::vector<WideString>& texts, uint32_t refs) {
    struct Start {
        size_t record;
        size_t offset;
    };
    std::vector<std::vector<uint8_t>> bodies(1);
    std::vector<Start> starts;
    auto put16 = [](std::vector<uint8_t>& b, uint32_t v) {
        b.push_back(static_cast<uint8_t>(v));
        b.push_back(static_cast<uint8_t>(v >> 8));
    };
    put16(bodies[0], refs & 0xFFFF);
    put16(bodies[0], refs >> 16);
    put16(bodies[0], static_cast<uint32_t>(texts.size()) & 0xFFFF);
    put16(bodies[0], static_cast<uint32_t>(texts.size()) >> 16);
    const size_t limit = static_cast<size_t>(kMaxRecordBody);
    for (const WideString& text : texts) {
        if (limit - bodies.back().size() < 5) bodies.emplace_back();
        starts.push_back({bodies.size() - 1, bodies.back().size()});
        put16(bodies.back(), static_cast<uint32_t>(text.size()));
        bodies.back().push_back(0x01);
        size_t i = 0;
        while (i < text.size()) {
            size_t room = (limit - bodies.back().size()) / 2;
            if (room == 0) {
                bodies.emplace_back();
                bodies.back().push_back(0x01);
                continue;
            }
            const size_t n = std::min(room, text.size() - i);
            for (size_t k = 0; k < n; ++k) put16(bodies.back(), text[i + k]);
            i += n;
        }
    }
    std::vector<size_t> recordStarts;
    for (size_t r = 0; r < bodies.size(); ++r) {
        recordStarts.push_back(w.Position());
        w.WriteRecord(r == 0 ? rid::SST : rid::CONTINUE, bodies[r]);
    }
    if (texts.empty()) {
        w.WriteRecord(rid::EXTSST, std::vector<uint8_t>{8, 0});
        return;
    }
    const size_t perBucket = std::max<size_t>(8, (texts.size() + 127) / 128);
    std::vector<uint8_t> ext;
    put16(ext, static_cast<uint32_t>(perBucket));
    for (size_t s = 0; s < texts.size(); s += perBucket) {
        const size_t inRecord = 4 + starts[s].offset;
        const uint32_t at = static_cast<uint32_t>(recordStarts[starts[s].record] + inRecord);
        put16(ext, at & 0xFFFF);
        put16(ext, at >> 16);
        put16(ext, static_cast<uint32_t>(inRecord));
        put16(ext, 0);
    }
    w.WriteRecord(rid::EXTSST, ext);
}

// The STRING record after a formula with a text result: a 16-bit count,
// option byte 1, UTF-16 characters. A text beyond one record continues in
// CONTINUE records, each starting with its own option byte.
void WriteStringResult(TXlsWriter& w, WideStringView text) {
    const size_t limit = static_cast<size_t>(kMaxRecordBody);
    std::vector<uint8_t> body;
    body.push_back(static_cast<uint8_t>(text.size()));
    body.push_back(static_cast<uint8_t>(text.size() >> 8));
    body.push_back(0x01);
    uint16_t id = rid::STRING;
    for (char16_t c : text) {
        if (body.size() + 2 > limit) {
            w.WriteRecord(id, body);
            body.assign(1, 0x01);
            id = rid::CONTINUE;
        }
        body.push_back(static_cast<uint8_t>(c));
        body.push_back(static_cast<uint8_t>(c >> 8));
    }
    w.WriteRecord(id, body);
}

void WriteShort(TXlsWriter& w, uint16_t id, uint16_t value) {
    w.WriteHeader(id, 2);
    w.WriteWord(value);
}

}  // namespace

void TWorkbook::PlanSharedTexts() {
    auto& g = globals_;
    g.sharedTexts_.clear();
    g.sharedTextIndex_.clear();
    g.sharedTextRefs_ = 0;
    std::unordered_map<WideString, uint32_t> seen;
    for (int s = 0; s < sheets_.Count(); ++s) {
        const TBaseColRowList& rows = sheets_.Item(s).Cells().CellRows();
        for (int r = 0; r < rows.Count(); ++r) {
            const TRow* row = rows.Get(r);
            if (!row) continue;
            for (int i = 0; i < row->CellCount(); ++i) {
                const TCellRecord& cell = row->CellAt(i);
                const bool label = cell.Id() == rid::LABEL && cell.Size() > kMaxRecordBody;
                // Shared strings of a workbook that was read refer to the
                // table read with it; their texts are written anew.
                const bool shared = cell.Id() == rid::LABELSST;
                if (!label && !shared) continue;
                WideString text = cell.AsText();
                if (shared && LabelBodySize(text) <= kMaxRecordBody) continue;
                auto [it, added] = seen.emplace(text, static_cast<uint32_t>(g.sharedTexts_.size()));
                if (added) g.sharedTexts_.push_back(std::move(text));
                g.sharedTextIndex_[&cell] = it->second;
                ++g.sharedTextRefs_;
            }
        }
    }
}

void TWorkbook::WriteTo(TXlsWriter& writer) {
    TBoundSheetList& bound = globals_.BoundSheets();
    bound.Clear();
    for (int i = 0; i < sheets_.Count(); ++i) bound.Add(TBoundSheetRecord::Make(sheets_.Item(i).Name()));
    PlanSharedTexts();
    globals_.WriteTo(writer);
    for (int i = 0; i < sheets_.Count(); ++i) {
        const uint32_t bof = static_cast<uint32_t>(writer.Position());
        bound.Item(i).SetPosition(bof);
        writer.PatchLong(globals_.boundSheetBodies_.at(static_cast<size_t>(i)), bof);
        sheets_.Item(i).WriteTo(writer);
    }
    writer.WriteHeader(0, 0);
    globals_.sharedTexts_.clear();
    globals_.sharedTextIndex_.clear();
}

void TWorkbookGlobals::WriteTo(TXlsWriter& w) {
    TBOFRecord::Make(TBOFRecord::kGlobals)->WriteTo(w);
    WriteShort(w, rid::INTERFACEHDR, 1200);  // code page 1200: UTF-16
    WriteShort(w, rid::MMS, 0);
    w.WriteHeader(rid::INTERFACEEND, 0);
    // WINDOW1: left, top, width, height (twips), options, active tab, first
    // visible tab, selected tabs, tab-bar width ratio.
    w.WriteHeader(rid::WINDOW1, 18);
    for (uint16_t v : {480, 75, 10635, 9120, 0x0038, 0, 0, 1, 600}) w.WriteWord(v);
    for (int i = 0; i < fonts_.Count(); ++i) fonts_.Record(i).WriteTo(w);
    for (int i = 0; i < formats_.Count(); ++i) formats_.Record(i).WriteTo(w);
    for (int i = 0; i < xfs_.Count(); ++i) xfs_.Record(i).WriteTo(w);
    for (int i = 0; i < styles_.Count(); ++i) styles_.Record(i).WriteTo(w);
    if (palette_ && palette_->Changed()) palette_->WriteTo(w);
    boundSheetBodies_.clear();
    for (int i = 0; i < boundSheets_.Count(); ++i) {
        boundSheetBodies_.push_back(w.Position() + 4);
        boundSheets_.Record(i).WriteTo(w);
    }
    if (!externSheets_.empty()) {
        // One SUPBOOK naming this workbook (its sheet count, 0x0401), then
        // the entries formulas refer to sheets through.
        w.WriteHeader(rid::SUPBOOK, 4);
        w.WriteWord(static_cast<uint16_t>(boundSheets_.Count()));
        w.WriteWord(0x0401);
        w.WriteHeader(rid::EXTERNSHEET, static_cast<uint16_t>(2 + 6 * externSheets_.size()));
        w.WriteWord(static_cast<uint16_t>(externSheets_.size()));
        for (const TExternSheetEntry& e : externSheets_) {
            w.WriteWord(0);
            w.WriteWord(e.firstSheet);
            w.WriteWord(e.lastSheet);
        }
    }
    WriteSharedStrings(w, sharedTexts_, sharedTextRefs_);
    TEOFRecord::Make()->WriteTo(w);
}

void TWorkSheet::WriteTo(TXlsWriter& w) {
    TBOFRecord::Make(TBOFRecord::kWorksheet)->WriteTo(w);
    const TRowStatistics stats = cells_.Statistics();
    index_ = TIndexRecord::Make(static_cast<uint32_t>(stats.firstRow), static_cast<uint32_t>(stats.rowEnd),
                                stats.blockCount);
    const size_t indexBody = w.Position() + 4;
    index_->WriteTo(w);
    WriteShort(w, rid::CALCMODE, 1);
    WriteShort(w, rid::CALCCOUNT, 100);
    WriteShort(w, rid::REFMODE, 1);
    WriteShort(w, rid::ITERATION, 0);
    w.WriteHeader(rid::DELTA, 8);
    w.WriteDouble(0.001);
    WriteShort(w, rid::SAVERECALC, 1);
    WriteShort(w, rid::PRINTHEADERS, 0);
    WriteShort(w, rid::PRINTGRIDLINES, 0);
    WriteShort(w, rid::GRIDSET, 1);
    w.WriteHeader(rid::GUTS, 8);
    w.WriteLong(0);
    w.WriteLong(0);
    w.WriteHeader(rid::DEFAULTROWHEIGHT, 4);
    w.WriteWord(0);
    w.WriteWord(defaultRowHeight_->Height());
    WriteShort(w, rid::WSBOOL, 0x04C1);
    const uint32_t defColWidthAt = static_cast<uint32_t>(w.Position());
    index_->SetDefColWidthPosition(defColWidthAt);
    w.PatchLong(indexBody + 12, defColWidthAt);
    WriteShort(w, rid::DEFCOLWIDTH, defColWidth_ ? defColWidth_->Width() : 8);
    WriteColumns(w);
    TDimensionsRecord::Make(static_cast<uint32_t>(stats.firstRow), static_cast<uint32_t>(stats.rowEnd),
                            static_cast<uint16_t>(stats.firstCol), static_cast<uint16_t>(stats.colEnd))
        ->WriteTo(w);
    WriteRowBlocks(w, indexBody);
    if (window2_) {
        window2_->WriteTo(w);
    } else {
        TWindow2Record::MakeDefault()->WriteTo(w);
    }
    // MERGEDCELLS is always written; a long list is split as Excel does
    // (1,027 ranges fill one record).
    const TMergedCellsRecord& merged = cells_.Merged();
    const int total = merged.RangeCount();
    constexpr int kPerRecord = (kMaxRecordBody - 2) / 8;
    int done = 0;
    do {
        const int n = std::min(kPerRecord, total - done);
        w.WriteHeader(rid::MERGEDCELLS, static_cast<uint16_t>(2 + 8 * n));
        w.WriteWord(static_cast<uint16_t>(n));
        for (int i = done; i < done + n; ++i) {
            const auto r = merged.GetRange(i);
            w.WriteWord(r.firstRow);
            w.WriteWord(r.lastRow);
            w.WriteWord(r.firstCol);
            w.WriteWord(r.lastCol);
        }
        done += n;
    } while (done < total);
    // SELECTION: pane 3, active cell A1, one reference A1:A1.
    w.WriteRecord(rid::SELECTION, std::vector<uint8_t>{3, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0});
    w.WriteRecord(rid::PHONETIC, std::vector<uint8_t>{6, 0, 0x37, 0, 0, 0});
    TEOFRecord::Make()->WriteTo(w);
}

void TWorkSheet::WriteColumns(TXlsWriter& w) {
    const int cw = columns_.CharWidth() > 0 ? columns_.CharWidth() : 1;
    const int n = columns_.Count();
    int i = 0;
    while (i < n) {
        const TColInfo& first = columns_.At(i);
        // Columns beyond the sheet's 256 cannot be stored.
        if (first.column < 0 || first.column >= kMaxColumns) {
            ++i;
            continue;
        }
        int j = i + 1;
        while (j < n) {
            const TColInfo& next = columns_.At(j);
            const TColInfo& prev = columns_.At(j - 1);
            if (next.column != prev.column + 1 || next.column >= kMaxColumns || next.width != first.width ||
                next.xf != first.xf || next.options != first.options) {
                break;
            }
            ++j;
        }
        const int raw = std::clamp(MulDiv(first.width, 256, cw), 0, 0xFFFF);
        w.WriteHeader(rid::COLINFO, 12);
        w.WriteWord(static_cast<uint16_t>(first.column));
        w.WriteWord(static_cast<uint16_t>(columns_.At(j - 1).column));
        w.WriteWord(static_cast<uint16_t>(raw));
        w.WriteWord(static_cast<uint16_t>(first.xf));
        w.WriteWord(static_cast<uint16_t>(first.options));
        w.WriteWord(0);
        i = j;
    }
}

void TWorkSheet::WriteCell(TXlsWriter& w, const TCellRecord& cell) {
    if (cell.Col() >= kMaxColumns) {
        RaiseXlsLimit("Cell in column " + std::to_string(cell.Col() + 1) +
                      " lies beyond the 256 columns of an Excel 97-2003 sheet");
    }
    const uint16_t id = cell.Id();
    if (id == rid::FORMULA) {
        cell.WriteTo(w);
        const auto& formula = static_cast<const TFormulaRecord&>(cell);
        if (formula.WritesString()) WriteStringResult(w, formula.AsText());
        return;
    }
    if (id != rid::LABEL && id != rid::LABELSST) {
        cell.WriteTo(w);
        return;
    }
    const auto& planned = workbook_->Globals().sharedTextIndex_;
    auto it = planned.find(&cell);
    if (it != planned.end()) {
        w.WriteHeader(rid::LABELSST, 10);
        w.WriteWord(cell.Row());
        w.WriteWord(cell.Col());
        w.WriteWord(cell.XF());
        w.WriteLong(it->second);
        return;
    }
    if (id == rid::LABEL) {
        cell.WriteTo(w);
        return;
    }
    // A shared string short enough for a LABEL record.
    const WideString text = cell.AsText();
    const int size = LabelBodySize(text);
    w.WriteHeader(rid::LABEL, static_cast<uint16_t>(size));
    w.WriteWord(cell.Row());
    w.WriteWord(cell.Col());
    w.WriteWord(cell.XF());
    std::vector<uint8_t> encoded = EncodeXlsString(text, 2);
    w.WriteBytes(encoded);
}

void TWorkSheet::WriteRowBlocks(TXlsWriter& w, size_t indexBody) {
    const TRowRecordList& rows = cells_.Rows();
    const TBaseColRowList& cellRows = cells_.CellRows();
    if (rows.Count() < cellRows.Count()) RaiseRowCountMismatch();
    int row = 0;
    int block = 0;
    std::vector<int> listed;
    std::vector<uint32_t> offsets;
    while (row < rows.Count()) {
        const size_t blockStart = w.Position();
        listed.clear();
        size_t reference = 0;
        int end = row;
        for (; end < rows.Count() && static_cast<int>(listed.size()) < kRowsPerBlock; ++end) {
            const TRowRecord* r = rows.Get(end);
            if (!r) continue;
            r->WriteTo(w);
            // Offsets count from the end of the block's first ROW record.
            if (listed.empty()) reference = w.Position();
            listed.push_back(end);
        }
        offsets.clear();
        size_t next = 0;
        for (int q = row; q < end; ++q) {
            if (next < listed.size() && listed[next] == q) {
                offsets.push_back(static_cast<uint32_t>(w.Position() - reference));
                ++next;
            }
            if (const TRow* cells = cellRows.Get(q)) {
                for (int i = 0; i < cells->CellCount(); ++i) WriteCell(w, cells->CellAt(i));
            }
        }
        if (!listed.empty()) {
            const size_t at = w.Position();
            w.WriteHeader(rid::DBCELL, static_cast<uint16_t>(4 + 2 * listed.size()));
            w.WriteLong(static_cast<uint32_t>(at - blockStart));
            // The first row's offset, then each row's distance to the one before;
            // the format keeps them in 16 bits.
            for (size_t k = 0; k < offsets.size(); ++k) {
                w.WriteWord(static_cast<uint16_t>(k == 0 ? offsets[0] : offsets[k] - offsets[k - 1]));
            }
            if (block < index_->BlockCount()) {
                index_->SetDBCellPosition(block, static_cast<uint32_t>(at));
                w.PatchLong(indexBody + 16 + 4 * static_cast<size_t>(block), static_cast<uint32_t>(at));
            }
            ++block;
        }
        row = end;
    }
}

}  // namespace plu
