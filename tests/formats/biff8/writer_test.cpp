// The workbook writer: record sequences, row blocks with their INDEX and
// DBCELL offsets, shared strings for long texts, and reading back.
#include <gtest/gtest.h>

#include <map>

#include "base/text_measurer.h"
#include "biff8_test_support.h"
#include "formats/biff8/record_reader.h"
#include "formats/biff8/workbook.h"
#include "formats/biff8/xls_errors.h"
#include "formats/biff8/xls_writer.h"
#include "formats/cfb/compound_document.h"

namespace plu {
namespace {

using test::Bytes;

struct Rec {
    size_t pos;
    uint16_t id;
    uint16_t len;
    const uint8_t* body;
    uint32_t U32(int at) const { return TVxBuffer::GetLong(body + at); }
    uint16_t U16(int at) const { return TVxBuffer::GetWord(body + at); }
};

// Every record of a stream up to and including the final id-0 record.
std::vector<Rec> Walk(const Bytes& s) {
    std::vector<Rec> out;
    size_t p = 0;
    while (p + 4 <= s.size()) {
        Rec r{p, TVxBuffer::GetWord(&s[p]), TVxBuffer::GetWord(&s[p + 2]), &s[p + 4]};
        EXPECT_LE(p + 4 + r.len, s.size());
        out.push_back(r);
        p += 4 + r.len;
        if (r.id == 0) break;
    }
    EXPECT_EQ(p, s.size()) << "bytes after the final record";
    return out;
}

std::map<size_t, Rec> ByPosition(const std::vector<Rec>& recs) {
    std::map<size_t, Rec> m;
    for (const Rec& r : recs) m.emplace(r.pos, r);
    return m;
}

// A sheet as the export fills it: cells plus a ROW record per row.
void SetCell(TWorkSheet& sheet, uint16_t row, uint16_t col, std::unique_ptr<TCellRecord> cell) {
    TRowRecordList& rows = sheet.Cells().Rows();
    if (TRowRecord* r = rows.Get(row)) {
        r->SetFirstCol(std::min(r->FirstCol(), col));
        r->SetColEnd(std::max(r->ColEnd(), col));
    } else {
        rows.Put(TRowRecord::Make(row, col, col, sheet.DefaultRowHeight().Height(), 0x01C0, 0));
    }
    sheet.PutCell(std::move(cell));
}

std::unique_ptr<TWorkbook> NewBook(FixedTextMeasurer& m) {
    auto book = std::make_unique<TWorkbook>(&m);
    test::AddExportDefaults(*book);
    return book;
}

TEST(Writer, StreamEndsWithEofAndAZeroRecordAndReadsBackTheSame) {
    FixedTextMeasurer m;
    auto book = NewBook(m);
    TWorkSheet& a = book->AddSheet(u"价目表");
    SetCell(a, 0, 0, MakeLabel(0, 0, 15, u"Äpfel 苹果"));
    SetCell(a, 0, 3, MakeNumber(0, 3, 15, -12.75));
    SetCell(a, 2, 1, MakeBlank(2, 1, 16));
    a.Cells().Rows().Get(2)->SetHeight(600);
    a.Cells().Merged().AddRange({0, 1, 0, 2});
    a.Columns().Entry(1).width = 100;
    a.Columns().Entry(1).xf = 15;
    a.Columns().Entry(4).options = 1;
    TWorkSheet& b = book->AddSheet(u"Second");
    SetCell(b, 5, 0, MakeNumber(5, 0, 15, 1e300));
    const Bytes stream = book->SaveToBytes();
    ASSERT_GE(stream.size(), 8u);
    EXPECT_EQ(Bytes(stream.end() - 8, stream.end()), (Bytes{0x0A, 0, 0, 0, 0, 0, 0, 0}));

    TWorkbook back(&m);
    back.LoadFromBytes(stream);
    ASSERT_EQ(back.Sheets().Count(), 2);
    EXPECT_EQ(back.Sheets().Item(0).Name(), u"价目表");
    EXPECT_EQ(back.Sheets().Item(1).Name(), u"Second");
    const TXlsCells& cells = back.Sheets().Item(0).Cells();
    EXPECT_EQ(cells.Get(0, 0)->AsText(), u"Äpfel 苹果");
    EXPECT_EQ(cells.Get(0, 0)->XF(), 15);
    EXPECT_EQ(cells.Get(0, 3)->AsFloat(), -12.75);
    EXPECT_EQ(cells.Get(2, 1)->ValueKind(), TXlsValueKind::vkBlank);
    EXPECT_EQ(cells.Get(2, 1)->XF(), 16);
    EXPECT_EQ(cells.Rows().Get(0)->FirstCol(), 0);
    EXPECT_EQ(cells.Rows().Get(0)->ColEnd(), 3);
    EXPECT_EQ(cells.Rows().Get(2)->Height(), 600);
    EXPECT_EQ(cells.Rows().Get(1), nullptr);
    ASSERT_EQ(cells.Merged().RangeCount(), 1);
    EXPECT_EQ(cells.Merged().GetRange(0), (TCellRangesRecord::Range{0, 1, 0, 2}));
    const TColInfoList& cols = back.Sheets().Item(0).Columns();
    ASSERT_NE(cols.Find(1), nullptr);
    EXPECT_EQ(cols.Find(1)->width, 100);
    EXPECT_EQ(cols.Find(1)->xf, 15);
    EXPECT_TRUE(cols.Find(4)->Hidden());
    EXPECT_EQ(back.Sheets().Item(1).Cells().Get(5, 0)->AsFloat(), 1e300);
    EXPECT_EQ(back.Globals().XFs().Count(), 21);
    EXPECT_EQ(back.Globals().Fonts().Count(), 6);
    EXPECT_EQ(back.Globals().Formats().Count(), 12);
    // Writing again (BOUNDSHEET records are rebuilt) gives the same bytes.
    EXPECT_EQ(book->SaveToBytes(), stream);
}

TEST(Writer, GlobalsAndSheetRecordSequences) {
    FixedTextMeasurer m;
    auto book = NewBook(m);
    book->AddSheet(u"S");
    const Bytes stream = book->SaveToBytes();
    std::vector<uint16_t> ids;
    for (const Rec& r : Walk(stream)) ids.push_back(r.id);
    std::vector<uint16_t> expected = {0x0809, 0x00E1, 0x00C1, 0x00E2, 0x003D};
    expected.insert(expected.end(), 6, 0x0031);
    expected.insert(expected.end(), 12, 0x041E);
    expected.insert(expected.end(), 21, 0x00E0);
    expected.insert(expected.end(), 6, 0x0293);
    for (uint16_t id : {0x0085, 0x00FC, 0x00FF, 0x000A, 0x0809, 0x020B, 0x000D, 0x000C, 0x000F, 0x0011, 0x0010,
                        0x005F, 0x002A, 0x002B, 0x0082, 0x0080, 0x0225, 0x0081, 0x0055, 0x0200, 0x023E, 0x00E5,
                        0x001D, 0x00EF, 0x000A, 0x0000}) {
        expected.push_back(id);
    }
    EXPECT_EQ(ids, expected);
    const auto recs = Walk(stream);
    auto find = [&](uint16_t id) {
        for (const Rec& r : recs) {
            if (r.id == id) return r;
        }
        return Rec{};
    };
    EXPECT_EQ(Bytes(find(0x003D).body, find(0x003D).body + 18),
              (Bytes{0xE0, 1, 75, 0, 0x8B, 0x29, 0xA0, 0x23, 0x38, 0, 0, 0, 0, 0, 1, 0, 0x58, 2}));
    EXPECT_EQ(Bytes(find(0x0010).body, find(0x0010).body + 8), (Bytes{0xFC, 0xA9, 0xF1, 0xD2, 0x4D, 0x62, 0x50, 0x3F}));
    EXPECT_EQ(find(0x0225).U16(2), 285);
    EXPECT_EQ(find(0x0055).U16(0), 8);
    EXPECT_EQ(find(0x0081).U16(0), 0x04C1);
    EXPECT_EQ(find(0x023E).U16(0), 0x06B6);
    EXPECT_EQ(find(0x023E).U16(6), 64);
    EXPECT_EQ(find(0x00FC).len, 8);
    EXPECT_EQ(find(0x00FF).U16(0), 8);
    EXPECT_EQ(find(0x001D).len, 15);
}

TEST(Writer, SheetWithoutCellsWritesEmptyIndexDimensionsAndMergedCells) {
    FixedTextMeasurer m;
    auto book = NewBook(m);
    book->AddSheet(u"");
    const Bytes stream = book->SaveToBytes();
    const auto recs = Walk(stream);
    for (const Rec& r : recs) {
        if (r.id == 0x020B) {
            EXPECT_EQ(r.len, 16);
            EXPECT_EQ(r.U32(4), 0u);
            EXPECT_EQ(r.U32(8), 0u);
        }
        if (r.id == 0x0200) {
            EXPECT_EQ(Bytes(r.body, r.body + r.len), Bytes(14, 0));
        }
        if (r.id == 0x00E5) {
            EXPECT_EQ(r.len, 2);
            EXPECT_EQ(r.U16(0), 0);
        }
        if (r.id == 0x0085) {
            EXPECT_EQ(r.len, 7);  // empty name: the count byte alone
            EXPECT_EQ(r.body[6], 0);
        }
        EXPECT_NE(r.id, 0x0208);
        EXPECT_NE(r.id, 0x00D7);
    }
}

// Checks every offset a reader may follow: BOUNDSHEET -> BOF, INDEX ->
// DEFCOLWIDTH and DBCELL, DBCELL -> first ROW of its block and the first
// cell of each listed row.
void CheckOffsets(const Bytes& stream, int expectedBlocks) {
    const auto recs = Walk(stream);
    const auto at = ByPosition(recs);
    std::vector<size_t> sheetStarts;
    for (const Rec& r : recs) {
        if (r.id == 0x0085) {
            auto it = at.find(r.U32(0));
            ASSERT_NE(it, at.end());
            EXPECT_EQ(it->second.id, 0x0809);
            EXPECT_EQ(it->second.U16(2), 0x0010);
            sheetStarts.push_back(r.U32(0));
        }
    }
    int blocks = 0;
    for (size_t i = 0; i < recs.size(); ++i) {
        const Rec& index = recs[i];
        if (index.id != 0x020B) continue;
        auto dcw = at.find(index.U32(12));
        ASSERT_NE(dcw, at.end());
        EXPECT_EQ(dcw->second.id, 0x0055);
        const int slots = (index.len - 16) / 4;
        for (int s = 0; s < slots; ++s) {
            ++blocks;
            auto db = at.find(index.U32(16 + 4 * s));
            ASSERT_NE(db, at.end()) << "slot " << s;
            const Rec& dbcell = db->second;
            ASSERT_EQ(dbcell.id, 0x00D7);
            auto firstRow = at.find(dbcell.pos - dbcell.U32(0));
            ASSERT_NE(firstRow, at.end());
            ASSERT_EQ(firstRow->second.id, 0x0208);
            // The ROW records of the block, in order.
            std::vector<uint16_t> rows;
            size_t p = firstRow->first;
            while (at.at(p).id == 0x0208) {
                rows.push_back(at.at(p).U16(0));
                p += 4 + at.at(p).len;
            }
            const size_t reference = firstRow->first + 4 + firstRow->second.len;
            const int listed = (dbcell.len - 4) / 2;
            ASSERT_EQ(listed, static_cast<int>(rows.size()));
            size_t cellPos = reference;
            for (int k = 0; k < listed; ++k) {
                cellPos += dbcell.U16(4 + 2 * k);
                auto cell = at.find(cellPos);
                ASSERT_NE(cell, at.end()) << "row " << rows[k];
                // The first cell record of that row (or the DBCELL when the row has none).
                if (cell->second.id != 0x00D7 && cell->second.id != 0x0208) {
                    EXPECT_EQ(cell->second.U16(0), rows[k]);
                }
            }
        }
    }
    EXPECT_EQ(blocks, expectedBlocks);
}

TEST(Writer, ThirtyThreeRowsMakeTwoBlocksWithTheirDbcellPositionsInIndex) {
    FixedTextMeasurer m;
    auto book = NewBook(m);
    TWorkSheet& s = book->AddSheet(u"S");
    for (uint16_t r = 0; r < 33; ++r) SetCell(s, r, r % 3, MakeNumber(r, r % 3, 15, r));
    const Bytes stream = book->SaveToBytes();
    int dbcells = 0;
    for (const Rec& r : Walk(stream)) {
        if (r.id == 0x020B) {
            EXPECT_EQ(r.len, 24);
            EXPECT_EQ(r.U32(8), 33u);
        }
        if (r.id == 0x00D7) ++dbcells;
    }
    EXPECT_EQ(dbcells, 2);
    CheckOffsets(stream, 2);
    // The model's INDEX record got the same positions as the stream.
    const TIndexRecord* index = book->Sheets().Item(0).Index();
    ASSERT_NE(index, nullptr);
    ASSERT_EQ(index->BlockCount(), 2);
    const auto at = ByPosition(Walk(stream));
    EXPECT_EQ(at.at(index->DBCellPosition(1)).id, 0x00D7);
    EXPECT_EQ(at.at(index->DefColWidthPosition()).id, 0x0055);
}

TEST(Writer, OffsetsHoldWithGapsRowsWithoutRowRecordsAndSeveralSheets) {
    FixedTextMeasurer m;
    auto book = NewBook(m);
    for (int n = 0; n < 3; ++n) {
        TWorkSheet& s = book->AddSheet(u"Sheet" + IntToWide(n));
        for (uint16_t r = 0; r < 200; r += static_cast<uint16_t>(1 + (r % 5))) {
            for (uint16_t c = 0; c < 1 + r % 4; ++c) {
                std::unique_ptr<TCellRecord> cell;
                if (c % 2) {
                    cell = MakeLabel(r, c, 15, u"t" + IntToWide(r));
                } else {
                    cell = MakeNumber(r, c, 15, r * c);
                }
                SetCell(s, r, c, std::move(cell));
            }
        }
        // Cells in rows without a ROW record, below the last one.
        s.PutCell(MakeNumber(3, 7, 15, 1));
        s.Cells().Rows().Put(TRowRecord::Make(250, 0, 0, 285, 0, 0));  // a ROW without cells
    }
    const Bytes stream = book->SaveToBytes();
    int expected = 0;
    for (int n = 0; n < 3; ++n) expected += book->Sheets().Item(n).Cells().Statistics().blockCount;
    CheckOffsets(stream, expected);
    TWorkbook back(&m);
    back.LoadFromBytes(stream);
    EXPECT_EQ(back.Sheets().Item(2).Cells().Get(3, 7)->AsFloat(), 1);
    ASSERT_NE(back.Sheets().Item(2).Cells().Get(3, 1), nullptr);
    EXPECT_EQ(back.Sheets().Item(2).Cells().Get(3, 1)->AsText(), u"t3");
}

TEST(Writer, RowTableShorterThanTheCellRowsFailsWith65230) {
    FixedTextMeasurer m;
    auto book = NewBook(m);
    TWorkSheet& s = book->AddSheet(u"S");
    SetCell(s, 0, 0, MakeNumber(0, 0, 15, 1));
    s.PutCell(MakeNumber(9, 0, 15, 2));  // no ROW record reaches row 9
    try {
        book->SaveToBytes();
        FAIL();
    } catch (const EXlsError& e) {
        EXPECT_EQ(e.Id(), kXlsRowCountMismatch);
        EXPECT_EQ(e.Message(), u"ROW记录数与单元格数不相同");
    }
}

TEST(Writer, TextsTooLongForALabelRecordGoOutAsSharedStrings) {
    FixedTextMeasurer m;
    auto book = NewBook(m);
    TWorkSheet& s = book->AddSheet(u"S");
    auto text = [](size_t n, char16_t seed) {
        WideString t(n, u' ');
        for (size_t i = 0; i < n; ++i) t[i] = static_cast<char16_t>(seed + i % 50);
        return t;
    };
    const WideString fits = text(4107, u'a');      // LABEL body of 8223 bytes
    const WideString tooLong = text(4108, u'A');   // 8225 bytes
    const WideString longest = text(32767, u'一');
    SetCell(s, 0, 0, MakeLabel(0, 0, 15, fits));
    SetCell(s, 0, 1, MakeLabel(0, 1, 15, tooLong));
    SetCell(s, 1, 0, MakeLabel(1, 0, 15, longest));
    SetCell(s, 2, 0, MakeLabel(2, 0, 15, tooLong));  // the same text again: one entry
    for (uint16_t r = 3; r < 8; ++r) SetCell(s, r, 2, MakeLabel(r, 2, 15, text(5000 + r, u'0')));
    const Bytes stream = book->SaveToBytes();
    std::map<uint16_t, int> count;
    uint32_t unique = 0;
    for (const Rec& r : Walk(stream)) {
        ++count[r.id];
        EXPECT_LE(r.len, 8224);
        if (r.id == 0x00FC) unique = r.U32(4);
    }
    EXPECT_EQ(count[0x0204], 1);
    EXPECT_EQ(count[0x00FD], 8);
    EXPECT_EQ(unique, 7u);
    EXPECT_GT(count[0x003C], 10);
    CheckOffsets(stream, 1);
    TWorkbook back(&m);
    back.LoadFromBytes(stream);
    const TXlsCells& cells = back.Sheets().Item(0).Cells();
    EXPECT_EQ(cells.Get(0, 0)->AsText(), fits);
    EXPECT_EQ(cells.Get(0, 1)->AsText(), tooLong);
    EXPECT_EQ(cells.Get(1, 0)->AsText(), longest);
    EXPECT_EQ(cells.Get(2, 0)->AsText(), tooLong);
    EXPECT_EQ(cells.Get(7, 2)->AsText(), text(5007, u'0'));
    EXPECT_EQ(cells.Get(1, 0)->XF(), 15);
    // A workbook read with shared strings writes them again as texts.
    const Bytes again = back.SaveToBytes();
    TWorkbook third(&m);
    third.LoadFromBytes(again);
    EXPECT_EQ(third.Sheets().Item(0).Cells().Get(1, 0)->AsText(), longest);
    EXPECT_EQ(third.Sheets().Item(0).Cells().Get(0, 0)->Id(), 0x0204);
}

TEST(Writer, ManyMergedRangesAreSplitOverRecordsAndAllReadBack) {
    FixedTextMeasurer m;
    auto book = NewBook(m);
    TWorkSheet& s = book->AddSheet(u"S");
    for (uint16_t i = 0; i < 2500; ++i) {
        s.Cells().Merged().AddRange({static_cast<uint16_t>(2 * i), static_cast<uint16_t>(2 * i + 1), 0, 1});
    }
    const Bytes stream = book->SaveToBytes();
    int records = 0;
    for (const Rec& r : Walk(stream)) records += r.id == 0x00E5;
    EXPECT_EQ(records, 3);
    TWorkbook back(&m);
    back.LoadFromBytes(stream);
    const TMergedCellsRecord& merged = back.Sheets().Item(0).Cells().Merged();
    ASSERT_EQ(merged.RangeCount(), 2500);
    EXPECT_EQ(merged.GetRange(2499), (TCellRangesRecord::Range{4998, 4999, 0, 1}));
}

TEST(Writer, NeighbouringEqualColumnsShareOneColInfo) {
    FixedTextMeasurer m;
    auto book = NewBook(m);
    TWorkSheet& s = book->AddSheet(u"S");
    for (int c : {1, 2, 3, 5, 6}) {
        TColInfo& e = s.Columns().Entry(c);
        e.width = c == 6 ? 40 : 100;
        e.xf = 15;
    }
    s.Columns().Entry(300).width = 10;  // beyond the sheet: not written
    std::vector<std::array<uint16_t, 3>> infos;
    const Bytes stream = book->SaveToBytes();
    for (const Rec& r : Walk(stream)) {
        if (r.id == 0x007D) infos.push_back({r.U16(0), r.U16(2), r.U16(4)});
    }
    const std::vector<std::array<uint16_t, 3>> expected = {{1, 3, 3200}, {5, 5, 3200}, {6, 6, 1280}};
    EXPECT_EQ(infos, expected);
}

TEST(Writer, PaletteIsWrittenOnlyWhenAColourWasAdded) {
    FixedTextMeasurer m;
    auto book = NewBook(m);
    book->AddSheet(u"S");
    auto palettes = [&] {
        int n = 0;
        const Bytes stream = book->SaveToBytes();
        for (const Rec& r : Walk(stream)) n += r.id == 0x0092;
        return n;
    };
    book->Globals().Palette().IndexOfColor(RGB(255, 0, 0));
    EXPECT_EQ(palettes(), 0);
    book->Globals().Palette().IndexOfColor(RGB(10, 20, 30));
    EXPECT_EQ(palettes(), 1);
    TWorkbook back(&m);
    back.LoadFromBytes(book->SaveToBytes());
    EXPECT_EQ(back.Globals().Palette().ColorOfIndex(63), RGB(10, 20, 30));
}

TEST(Writer, RecordsTheFormatCannotHoldAreRefused) {
    FixedTextMeasurer m;
    auto book = NewBook(m);
    TWorkSheet& s = book->AddSheet(u"S");
    SetCell(s, 0, 256, MakeNumber(0, 256, 15, 1));
    EXPECT_THROW(book->SaveToBytes(), EXlsError);
    auto other = NewBook(m);
    other->AddSheet(u"S");
    other->Globals().Formats().Add(TFormatRecord::Make(200, WideString(5000, u'0')));
    EXPECT_THROW(other->SaveToBytes(), EXlsError);
}

TEST(Writer, WorkbookFileRoundTripAndStreamForm) {
    FixedTextMeasurer m;
    auto book = NewBook(m);
    TWorkSheet& s = book->AddSheet(u"S");
    SetCell(s, 0, 0, MakeLabel(0, 0, 15, u"file"));
    test::TempDir dir;
    book->SaveToFile(dir.File("a.xls"));
    TWorkbook back(&m);
    back.LoadFromFile(dir.File("a.xls"));
    EXPECT_EQ(back.Sheets().Item(0).Cells().Get(0, 0)->AsText(), u"file");
    // The byte-stream form writes at the stream's position.
    TXlsMemoryStream stream(Bytes{0xAB});
    stream.Seek(1);
    book->SaveToStream(stream);
    EXPECT_EQ(stream.Bytes()[0], 0xAB);
    stream.Seek(1);
    TWorkbook third(&m);
    third.LoadFromStream(stream);
    EXPECT_EQ(third.Sheets().Item(0).Name(), u"S");
    // The clipboard's form: a compound document in memory.
    const Bytes doc = book->SaveToDocument();
    TWorkbook fourth(&m);
    fourth.LoadFromStorage(TCompoundDocument::OpenMemory(doc));
    EXPECT_EQ(fourth.Sheets().Item(0).Cells().Get(0, 0)->AsText(), u"file");
}

}  // namespace
}  // namespace plu
