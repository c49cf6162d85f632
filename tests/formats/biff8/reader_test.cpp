// Reading workbook streams into the model: placement of records, the
// look-ahead for CONTINUE, STRING and TABLE, and damaged input.
#include <gtest/gtest.h>

#include "base/screen.h"
#include "base/text_measurer.h"
#include "biff8_test_support.h"
#include "formats/biff8/record_reader.h"
#include "formats/biff8/workbook.h"
#include "formats/biff8/xls_errors.h"

namespace plu {
namespace {

using test::Bytes;
using test::Put16;
using test::Put32;
using test::StreamBuilder;

constexpr uint16_t kSheet = 0x0010;

int ReadError(const Bytes& stream) {
    FixedTextMeasurer measurer;
    TWorkbook book(&measurer);
    try {
        book.LoadFromBytes(stream);
    } catch (const EXlsError& e) {
        return e.Id();
    }
    return -1;
}

std::unique_ptr<TWorkbook> Read(const Bytes& stream, ITextMeasurer* measurer = nullptr) {
    static FixedTextMeasurer fixed;
    auto book = std::make_unique<TWorkbook>(measurer ? measurer : &fixed);
    book->LoadFromBytes(stream);
    return book;
}

Bytes RowBody(uint16_t row, uint16_t first, uint16_t end, uint16_t height) {
    Bytes b;
    Put16(b, row);
    Put16(b, first);
    Put16(b, end);
    Put16(b, height);
    b.resize(16, 0);
    return b;
}

// A FORMULA body: the 8 result bytes, then options and one token (ptgInt 1).
Bytes FormulaBody(uint16_t row, uint16_t col, const Bytes& result, uint16_t options = 0,
                  const Bytes& tokens = {0x1E, 1, 0}) {
    Bytes b;
    Put16(b, row);
    Put16(b, col);
    Put16(b, 15);
    b.insert(b.end(), result.begin(), result.end());
    Put16(b, options);
    Put32(b, 0);
    Put16(b, static_cast<uint32_t>(tokens.size()));
    b.insert(b.end(), tokens.begin(), tokens.end());
    return b;
}

Bytes SpecialResult(uint8_t kind, uint8_t value = 0) { return {kind, 0, value, 0, 0, 0, 0xFF, 0xFF}; }

TEST(Reader, TopLevelStructureErrorsFailWith65224) {
    // A record that is not a BOF at the top level.
    EXPECT_EQ(ReadError(StreamBuilder().Record(0x0203, test::NumberBody(0, 0, 0, 1)).Data()), kXlsReadFailed);
    // A BOF of an unknown substream type (macro sheet).
    EXPECT_EQ(ReadError(StreamBuilder().Globals().Bof(0x0040).Eof().Data()), kXlsReadFailed);
    // A BOF inside the globals.
    EXPECT_EQ(ReadError(StreamBuilder().Bof(0x0005).Bof(kSheet).Eof().Eof().Data()), kXlsReadFailed);
    // A STRING after a NUMBER.
    EXPECT_EQ(ReadError(StreamBuilder()
                            .Globals()
                            .Bof(kSheet)
                            .Record(0x0203, test::NumberBody(0, 0, 0, 1))
                            .Record(0x0207, Bytes{1, 0, 0, 'a'})
                            .Eof()
                            .Data()),
              kXlsReadFailed);
    // A TABLE after anything but a FORMULA.
    EXPECT_EQ(ReadError(StreamBuilder()
                            .Globals()
                            .Bof(kSheet)
                            .Record(0x0203, test::NumberBody(0, 0, 0, 1))
                            .Record(0x0236, Bytes(16, 0))
                            .Eof()
                            .Data()),
              kXlsReadFailed);
}

TEST(Reader, ChartSheetBeforeOrAfterWorksheetsIsSkippedAndTheWorksheetsKeepTheirNames) {
    auto chart = [](StreamBuilder& b) { b.Bof(0x0020).Record(0x1001, Bytes{0, 0}).Eof(); };
    // The BOUNDSHEET positions are not set here: the worksheet entries
    // (type 0) name the worksheets in order.
    auto globals = [](StreamBuilder& b, bool chartFirst) {
        Bytes chartEntry = {0, 0, 0, 0, 0, 2};
        const Bytes name = test::Str16(u"Chart1", 1);
        chartEntry.insert(chartEntry.end(), name.begin(), name.end());
        Bytes sheetEntry = {0, 0, 0, 0, 0, 0};
        const Bytes sheetName = test::Str16(u"Sheet1", 1);
        sheetEntry.insert(sheetEntry.end(), sheetName.begin(), sheetName.end());
        b.Bof(0x0005);
        b.Record(0x0085, chartFirst ? chartEntry : sheetEntry)
            .Record(0x0085, chartFirst ? sheetEntry : chartEntry);
        b.Eof();
    };
    for (const bool chartFirst : {true, false}) {
        StreamBuilder b;
        globals(b, chartFirst);
        if (chartFirst) chart(b);
        b.Bof(kSheet).Eof();
        if (!chartFirst) chart(b);
        auto book = Read(b.Data());
        ASSERT_EQ(book->Sheets().Count(), 1);
        EXPECT_EQ(book->Sheets().Item(0).Name(), u"Sheet1");
    }
}

TEST(Reader, EmbeddedChartInsideASheetIsSkippedWhole) {
    auto book = Read(StreamBuilder()
                         .Globals({u"S"})
                         .Bof(kSheet)
                         .Record(0x0203, test::NumberBody(0, 0, 0, 1))
                         .Bof(0x0020)
                         .Record(0x1001, Bytes{0, 0})
                         .Eof()
                         .Record(0x0203, test::NumberBody(1, 0, 0, 2))
                         .Eof()
                         .Data());
    ASSERT_EQ(book->Sheets().Count(), 1);
    ASSERT_NE(book->Sheets().Item(0).Cells().Get(1, 0), nullptr);
    EXPECT_EQ(book->Sheets().Item(0).Cells().Get(1, 0)->AsFloat(), 2);
}

TEST(Reader, RecordWithIdZeroEndsTheWorkbookWhateverFollows) {
    auto book = Read(StreamBuilder()
                         .Globals({u"One"})
                         .Bof(kSheet)
                         .Eof()
                         .Raw(Bytes{0, 0, 0, 0})
                         .Raw(Bytes(64, 0xEE))
                         .Data());
    EXPECT_EQ(book->Sheets().Count(), 1);
    EXPECT_EQ(book->Sheets().Item(0).Name(), u"One");
    // Zero padding after the last EOF (as python's xlwt writes it) alike.
    auto padded = Read(StreamBuilder().Globals({u"P"}).Bof(kSheet).Eof().Raw(Bytes(300, 0)).Data());
    EXPECT_EQ(padded->Sheets().Count(), 1);
}

TEST(Reader, SheetsTakeBoundSheetNamesInStreamOrder) {
    auto book = Read(StreamBuilder()
                         .Globals({u"First", u"第二", u"Unused"})
                         .Bof(kSheet)
                         .Eof()
                         .Bof(kSheet)
                         .Eof()
                         .Data());
    ASSERT_EQ(book->Sheets().Count(), 2);
    EXPECT_EQ(book->Sheets().Item(0).Name(), u"First");
    EXPECT_EQ(book->Sheets().Item(1).Name(), u"第二");
    EXPECT_THROW(book->Sheets().Item(2), ERangeError);
}

TEST(Reader, MissingPaletteGivesTheDefaultOne) {
    auto book = Read(StreamBuilder().Globals().Data());
    ASSERT_TRUE(book->Globals().HasPalette());
    EXPECT_EQ(book->Globals().Palette().ColorOfIndex(10), RGB(255, 0, 0));
    EXPECT_FALSE(book->Globals().Palette().Changed());
}

TEST(Reader, BodyCutShortKeepsItsSizeWithZeroBytes) {
    StreamBuilder b;
    b.Globals({u"S"}).Bof(kSheet);
    // A NUMBER that claims 14 bytes and the stream ends after 8 of them.
    b.Lying(0x0203, 14, Bytes{2, 0, 3, 0, 15, 0, 0xAA, 0xBB});
    auto book = Read(b.Data());
    const TCellRecord* cell = book->Sheets().Item(0).Cells().Get(2, 3);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->Size(), 14);
    EXPECT_EQ(cell->GetByte(6), 0xAA);
    EXPECT_EQ(cell->GetByte(13), 0);
}

TEST(Reader, HeaderCutShortAtTheEndEndsTheStream) {
    for (size_t extra : {1, 2, 3}) {
        StreamBuilder b;
        b.Globals({u"S"}).Bof(kSheet).Record(0x0203, test::NumberBody(0, 0, 0, 5)).Raw(Bytes(extra, 0x02));
        auto book = Read(b.Data());
        EXPECT_EQ(book->Sheets().Item(0).Cells().Get(0, 0)->AsFloat(), 5);
    }
}

TEST(Reader, MulRkExpandsIntoRkCellsOfItsColumns) {
    Bytes mulrk;
    Put16(mulrk, 7);  // row
    Put16(mulrk, 2);  // first column
    for (auto [xf, rk] : {std::pair<uint16_t, uint32_t>{20, 0x3FF00000}, {21, 0x00000006}, {22, 0x00000007}}) {
        Put16(mulrk, xf);
        Put32(mulrk, rk);
    }
    Put16(mulrk, 4);  // last column
    auto book = Read(StreamBuilder().Globals({u"S"}).Bof(kSheet).Record(0x00BD, mulrk).Eof().Data());
    const TXlsCells& cells = book->Sheets().Item(0).Cells();
    const double values[] = {1.0, 1, 0.01};
    for (int c = 2; c <= 4; ++c) {
        const TCellRecord* cell = cells.Get(7, c);
        ASSERT_NE(cell, nullptr) << c;
        EXPECT_EQ(cell->Id(), 0x027E);
        EXPECT_EQ(cell->XF(), 18 + c);
        EXPECT_DOUBLE_EQ(cell->AsFloat(), values[c - 2]);
    }
    EXPECT_EQ(cells.CellRows().Get(7)->CellCount(), 3);
}

TEST(Reader, MulRkWithLastColumnBelowFirstYieldsNothing) {
    Bytes mulrk;
    Put16(mulrk, 0);
    Put16(mulrk, 5);
    Put16(mulrk, 15);
    Put32(mulrk, 6);
    Put16(mulrk, 4);
    auto book = Read(StreamBuilder().Globals({u"S"}).Bof(kSheet).Record(0x00BD, mulrk).Eof().Data());
    EXPECT_EQ(book->Sheets().Item(0).Cells().CellRows().Count(), 0);
}

TEST(Reader, MultiCellRecordsClaimingMoreColumnsThanTheyHoldFailWith65226) {
    Bytes mulblank;
    Put16(mulblank, 0);
    Put16(mulblank, 0);
    Put16(mulblank, 15);
    Put16(mulblank, 0xFFFF);  // last column 65535 with one entry
    EXPECT_EQ(ReadError(StreamBuilder().Globals({u"S"}).Bof(kSheet).Record(0x00BE, mulblank).Eof().Data()),
              kXlsReadError);
}

TEST(Reader, MulBlankExpandsIntoBlankCells) {
    Bytes mulblank;
    Put16(mulblank, 1);
    Put16(mulblank, 0);
    for (uint16_t xf : {30, 31}) Put16(mulblank, xf);
    Put16(mulblank, 1);
    auto book = Read(StreamBuilder().Globals({u"S"}).Bof(kSheet).Record(0x00BE, mulblank).Eof().Data());
    const TXlsCells& cells = book->Sheets().Item(0).Cells();
    EXPECT_EQ(cells.Get(1, 0)->XF(), 30);
    EXPECT_EQ(cells.Get(1, 1)->XF(), 31);
    EXPECT_EQ(cells.Get(1, 1)->ValueKind(), TXlsValueKind::vkBlank);
}

TEST(Reader, ColInfoSetsEveryColumnOfItsRange) {
    // FixedTextMeasurer: "宋体" at 16 px gives a "0" 8 px wide.
    Bytes colinfo;
    for (uint16_t v : {1, 3, 0x0C00, 17, 1, 0}) Put16(colinfo, v);
    Bytes wide;
    for (uint16_t v : {250, 256, 0x0100, 15, 0, 0}) Put16(wide, v);
    Bytes font;
    Put16(font, 240);
    font.resize(14, 0);
    Bytes name = test::Str16(u"宋体", 1);
    font.insert(font.end(), name.begin(), name.end());
    StreamBuilder b;
    b.Bof(0x0005).Record(0x0031, font).Record(0x0085, test::Concat({Bytes(6, 0), test::Str8("S", 1)})).Eof();
    b.Bof(kSheet).Record(0x007D, colinfo).Record(0x007D, wide).Eof();
    auto book = Read(b.Data());
    EXPECT_EQ(book->CharWidth(), 8);
    const TColInfoList& cols = book->Sheets().Item(0).Columns();
    for (int c = 1; c <= 3; ++c) {
        const TColInfo* e = cols.Find(c);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->rawWidth, 0x0C00);
        EXPECT_EQ(e->width, MulDiv(0x0C00, 8, 256));
        EXPECT_EQ(e->xf, 17);
        EXPECT_TRUE(e->Hidden());
    }
    EXPECT_EQ(cols.Find(0), nullptr);
    // Columns past the sheet's 256 are not entered.
    EXPECT_NE(cols.Find(255), nullptr);
    EXPECT_EQ(cols.Find(256), nullptr);
}

TEST(Reader, SecondRowRecordForOneRowFailsWith65229) {
    WideString message;
    FixedTextMeasurer m;
    TWorkbook book(&m);
    try {
        book.LoadFromBytes(StreamBuilder()
                               .Globals({u"S"})
                               .Bof(kSheet)
                               .Record(0x0208, RowBody(4, 0, 1, 300))
                               .Record(0x0208, RowBody(4, 0, 1, 300))
                               .Eof()
                               .Data());
        FAIL();
    } catch (const EXlsError& e) {
        EXPECT_EQ(e.Id(), kXlsDuplicateRow);
        // The fixed text, then which record and sheet.
        EXPECT_EQ(e.Message().rfind(u"重复的ROW记录 (record 0x0208 at byte ", 0), 0u)
            << WideToUtf8(e.Message());
        EXPECT_NE(e.Message().find(u"in sheet 1"), WideString::npos);
    }
}

TEST(Reader, FormulaResultsOfEveryKind) {
    Bytes number;
    test::PutDouble(number, 2.5);
    auto book = Read(StreamBuilder()
                         .Globals({u"S"})
                         .Bof(kSheet)
                         .Record(0x0006, FormulaBody(0, 0, number))
                         .Record(0x0006, FormulaBody(1, 0, SpecialResult(0)))
                         .Record(0x0207, test::Str16(u"文本", 2))
                         .Record(0x0006, FormulaBody(2, 0, SpecialResult(1, 1)))
                         .Record(0x0006, FormulaBody(3, 0, SpecialResult(1, 0)))
                         .Record(0x0006, FormulaBody(4, 0, SpecialResult(2, 7)))
                         .Record(0x0006, FormulaBody(5, 0, SpecialResult(3)))
                         .Eof()
                         .Data());
    const TXlsCells& cells = book->Sheets().Item(0).Cells();
    auto at = [&](int row) { return cells.Get(row, 0); };
    EXPECT_TRUE(at(0)->IsFormula());
    EXPECT_EQ(at(0)->ValueKind(), TXlsValueKind::vkNumber);
    EXPECT_EQ(at(0)->AsFloat(), 2.5);
    EXPECT_EQ(at(1)->ValueKind(), TXlsValueKind::vkText);
    EXPECT_EQ(at(1)->AsText(), u"文本");
    EXPECT_EQ(at(2)->ValueKind(), TXlsValueKind::vkBoolean);
    EXPECT_EQ(at(2)->AsFloat(), 1.0);
    EXPECT_EQ(at(3)->AsFloat(), 0.0);
    EXPECT_EQ(at(4)->ValueKind(), TXlsValueKind::vkText);
    EXPECT_EQ(at(4)->AsText(), u"");
    EXPECT_EQ(at(5)->AsText(), u"");
    EXPECT_EQ(static_cast<const TFormulaRecord*>(at(0))->TokenLength(), 3);
    EXPECT_EQ(static_cast<const TFormulaRecord*>(at(0))->TokenData()[0], 0x1E);
}

TEST(Reader, StringAfterFormulaWithoutStringResultOrSharedFormulaStaysForTheNextRead) {
    Bytes number;
    test::PutDouble(number, 1);
    Bytes shr = {0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0x1E};
    auto book = Read(StreamBuilder()
                         .Globals({u"S"})
                         .Bof(kSheet)
                         .Record(0x0006, FormulaBody(0, 0, number))
                         .Record(0x0207, test::Str8("x", 2))
                         .Record(0x04BC, shr)
                         .Record(0x0207, test::Str8("y", 2))
                         .Record(0x0203, test::NumberBody(3, 0, 0, 9))
                         .Eof()
                         .Data());
    const TWorkSheet& sheet = book->Sheets().Item(0);
    EXPECT_EQ(sheet.Cells().Get(0, 0)->AsFloat(), 1);
    EXPECT_EQ(sheet.SharedFormulaCount(), 1);
    EXPECT_EQ(sheet.Cells().Get(3, 0)->AsFloat(), 9);
}

TEST(Reader, StringAfterAContinuationOfTheFormulaFailsWith65224) {
    EXPECT_EQ(ReadError(StreamBuilder()
                            .Globals({u"S"})
                            .Bof(kSheet)
                            .Record(0x0006, FormulaBody(0, 0, SpecialResult(0)))
                            .Record(0x003C, Bytes{1, 2})
                            .Record(0x0207, test::Str8("x", 2))
                            .Eof()
                            .Data()),
              kXlsReadFailed);
}

TEST(Reader, TableAfterFormulaIsAttachedToIt) {
    Bytes number;
    test::PutDouble(number, 1);
    Bytes table(16, 0);
    table[0] = 0x42;
    auto book = Read(StreamBuilder()
                         .Globals({u"S"})
                         .Bof(kSheet)
                         .Record(0x0006, FormulaBody(0, 0, number))
                         .Record(0x0236, table)
                         .Eof()
                         .Data());
    auto* f = static_cast<const TFormulaRecord*>(book->Sheets().Item(0).Cells().Get(0, 0));
    ASSERT_NE(f->Table(), nullptr);
    EXPECT_EQ(f->Table()->GetByte(0), 0x42);
}

TEST(Reader, SharedFormulaMembersFindTheirSharedFormula) {
    Bytes number;
    test::PutDouble(number, 0);
    const Bytes exp = {0x01, 2, 0, 1, 0};  // ptgExp: anchor row 2, column 1
    Bytes shr;
    for (uint16_t v : {2, 9}) Put16(shr, v);
    shr.push_back(1);
    shr.push_back(3);
    Put16(shr, 0);
    Put16(shr, 3);
    shr.insert(shr.end(), {0x1E, 5, 0});
    auto book = Read(StreamBuilder()
                         .Globals({u"S"})
                         .Bof(kSheet)
                         .Record(0x0006, FormulaBody(2, 1, number, 0x0008, exp))
                         .Record(0x04BC, shr)
                         .Record(0x0006, FormulaBody(4, 3, number, 0x0008, exp))
                         .Record(0x0006, FormulaBody(5, 3, number, 0x0000, exp))
                         .Eof()
                         .Data());
    const TWorkSheet& sheet = book->Sheets().Item(0);
    auto* member = static_cast<const TFormulaRecord*>(sheet.Cells().Get(4, 3));
    EXPECT_TRUE(member->IsSharedFormula());
    EXPECT_EQ(member->AnchorRow(), 2);
    EXPECT_EQ(member->AnchorCol(), 1);
    EXPECT_FALSE(static_cast<const TFormulaRecord*>(sheet.Cells().Get(5, 3))->IsSharedFormula());
    const TShrFmlaRecord* shared = sheet.SharedFormulaAt(4, 3);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(shared->TokenLength(), 3);
    EXPECT_EQ(shared->TokenData()[1], 5);
    EXPECT_EQ(sheet.SharedFormulaAt(4, 4), nullptr);
    EXPECT_EQ(sheet.SharedFormulaText(4, 3), u"5");
    EXPECT_EQ(sheet.SharedFormulaText(4, 4), u"");
    EXPECT_EQ(book->FormulaText(*static_cast<const TFormulaRecord*>(sheet.Cells().Get(5, 3))), u"[ERROR]");
    EXPECT_EQ(sheet.SharedFormulaAt(10, 1), nullptr);
}

TEST(Reader, ContinueChainsOfAnyLengthHangOneOnTheNext) {
    StreamBuilder b;
    b.Globals({u"S"}).Bof(kSheet).Record(0x1234, Bytes{1});
    for (int i = 0; i < 20000; ++i) b.Record(0x003C, Bytes{2});
    b.Record(0x0203, test::NumberBody(0, 0, 0, 3)).Eof();
    auto book = Read(b.Data());
    EXPECT_EQ(book->Sheets().Item(0).Cells().Get(0, 0)->AsFloat(), 3);
}

TEST(Reader, MergedRangesOfSeveralRecordsAreAllKept) {
    auto merged = [](std::initializer_list<std::array<uint16_t, 4>> ranges) {
        Bytes b;
        Put16(b, static_cast<uint32_t>(ranges.size()));
        for (const auto& r : ranges) {
            for (uint16_t v : r) Put16(b, v);
        }
        return b;
    };
    auto book = Read(StreamBuilder()
                         .Globals({u"S"})
                         .Bof(kSheet)
                         .Record(0x00E5, merged({{0, 1, 0, 2}}))
                         .Record(0x00E5, merged({{3, 3, 0, 4}, {5, 6, 1, 1}}))
                         .Eof()
                         .Data());
    const TMergedCellsRecord& m = book->Sheets().Item(0).Cells().Merged();
    ASSERT_EQ(m.RangeCount(), 3);
    EXPECT_EQ(m.GetRange(0), (TCellRangesRecord::Range{0, 1, 0, 2}));
    EXPECT_EQ(m.GetRange(2), (TCellRangesRecord::Range{5, 6, 1, 1}));
}

TEST(Reader, SheetRecordsAreKeptAndTheSheetEndsWithTheStream) {
    Bytes pane = {1, 0, 2, 0, 2, 0, 1, 0, 3, 0};
    Bytes window2 = {0xBE, 0x06, 0, 0, 0, 0, 64, 0};
    window2.resize(18, 0);
    auto book = Read(StreamBuilder()
                         .Globals({u"S"})
                         .Bof(kSheet)
                         .Record(0x0055, Bytes{10, 0})
                         .Record(0x0225, Bytes{0, 0, 0x2C, 0x01})
                         .Record(0x0200, Bytes{0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 4, 0, 0, 0})
                         .Record(0x0041, pane)
                         .Record(0x023E, window2)
                         .Record(0x0012, Bytes{1, 0})
                         .Record(0x0208, RowBody(3, 1, 5, 400))
                         .Data());  // no EOF
    const TWorkSheet& s = book->Sheets().Item(0);
    EXPECT_EQ(s.DefColWidth()->Width(), 10);
    EXPECT_EQ(s.DefaultRowHeight().Height(), 300);
    EXPECT_EQ(s.Dimensions()->RowEnd(), 10u);
    EXPECT_EQ(s.Dimensions()->ColEnd(), 4);
    EXPECT_EQ(s.Pane()->FrozenRows(), 2);
    EXPECT_EQ(s.Pane()->FrozenCols(), 1);
    EXPECT_TRUE(s.Window2()->Frozen());
    EXPECT_TRUE(s.Protect()->Protected());
    EXPECT_EQ(s.Cells().Rows().Get(3)->Height(), 400);
    EXPECT_EQ(s.Eof(), nullptr);
}

TEST(Reader, LabelSstCellsReadTheSharedStrings) {
    Bytes sst;
    Put32(sst, 2);
    Put32(sst, 2);
    Bytes a = test::Str8("alpha", 2), b = test::Str16(u"贝塔", 2);
    sst.insert(sst.end(), a.begin(), a.end());
    sst.insert(sst.end(), b.begin(), b.end());
    StreamBuilder sb;
    sb.Bof(0x0005).Record(0x00FC, sst).Record(0x0085, test::Concat({Bytes(6, 0), test::Str8("S", 1)})).Eof();
    sb.Bof(kSheet).Cell(0x00FD, 0, 0, 15, Bytes{1, 0, 0, 0}).Cell(0x00FD, 0, 1, 15, Bytes{0, 0, 0, 0}).Eof();
    auto book = Read(sb.Data());
    EXPECT_EQ(book->Sheets().Item(0).Cells().Get(0, 0)->AsText(), u"贝塔");
    EXPECT_EQ(book->Sheets().Item(0).Cells().Get(0, 1)->AsText(), u"alpha");
}

TEST(RowStatistics, EmptyTableGivesZeros) {
    TXlsCells cells;
    EXPECT_EQ(cells.Statistics(), TRowStatistics{});
}

TEST(RowStatistics, BlocksCountPresentRowsOnly) {
    TXlsCells cells;
    for (int i = 0; i < 33; ++i) {
        cells.Rows().Put(TRowRecord::Make(static_cast<uint16_t>(2 + 3 * i), static_cast<uint16_t>(4 - i % 3),
                                          static_cast<uint16_t>(5 + i % 7), 255, 0, 0));
    }
    const TRowStatistics s = cells.Statistics();
    EXPECT_EQ(s.firstRow, 2);
    EXPECT_EQ(s.rowEnd, 2 + 3 * 32 + 1);
    EXPECT_EQ(s.blockCount, 2);
    EXPECT_EQ(s.firstCol, 2);
    EXPECT_EQ(s.colEnd, 12);
}

TEST(Cells, StoringAtAnOccupiedPositionReplaces) {
    TXlsCells cells;
    cells.Put(MakeNumber(0, 5, 0, 1));
    cells.Put(MakeNumber(0, 2, 0, 2));
    cells.Put(MakeNumber(0, 5, 0, 3));
    const TRow* row = cells.CellRows().Get(0);
    ASSERT_EQ(row->CellCount(), 2);
    EXPECT_EQ(row->CellAt(0).Col(), 2);
    EXPECT_EQ(cells.Get(0, 5)->AsFloat(), 3);
    EXPECT_EQ(row->Count(), 6);
}

}  // namespace
}  // namespace plu
