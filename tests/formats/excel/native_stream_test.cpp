// Framing and reading of native streams: long records, cut-off and damaged
// streams (the message is shown and what was read is still applied), and
// fields that a damaged record does not hold.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/native/native_records.h"
#include "formats/native/native_workbook.h"
#include "grid/cell.h"
#include "native_test_support.h"

namespace plu::testing {
namespace {

using namespace native_id;

const WideString kReadFailed = u"读取记录失败. 文件无效";

// A stream made of records, written with the format's own framing.
std::vector<uint8_t> Stream(const std::vector<const TKtDataRecord*>& records,
                            bool endRecord = true) {
    TKtRecordWriter writer;
    for (const TKtDataRecord* r : records)
        r->WriteTo(writer);
    if (endRecord) writer.Write(0, {});
    return writer.Take();
}

// A grid of 3 x 4 with one text cell at (1, 1).
std::vector<uint8_t> SmallGridStream() {
    PlainGrid grid;
    grid.SetColCount(3);
    grid.SetRowCount(4);
    grid.GetCell(1, 1).SetAsString(u"kept");
    return BuildBytes(grid);
}

TEST(NativeStream, BodiesOf65535BytesOrMoreCarryAThirtyTwoBitLength) {
    TKtRecordWriter writer;
    writer.Write(0x1234, std::vector<uint8_t>(65534, 7));
    writer.Write(0x1234, std::vector<uint8_t>(65535, 7));
    const std::vector<uint8_t>& b = writer.Bytes();
    EXPECT_EQ(b[2], 0xFE);  // 65534 fits the u16 length
    EXPECT_EQ(b[3], 0xFF);
    const size_t second = 4 + 65534;
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + second + 2, b.begin() + second + 8),
              (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));

    // A text of 40,000 characters makes an 80,012-byte LABEL that reads back.
    PlainGrid grid;
    const WideString text(40000, u'x');
    grid.GetCell(1, 1).SetAsString(text);
    const std::vector<uint8_t> bytes = BuildBytes(grid);
    PlainGrid back;
    EXPECT_TRUE(ReadInto(back, bytes).empty());
    EXPECT_EQ(back.GetCell(1, 1).GetAsString(), text);
}

TEST(NativeStream, TextsBeyondTheCountAreCutOutsideASurrogatePair) {
    std::vector<uint8_t> body;
    WideString text(0xFFFE, u'a');
    text += u"\U0001F600";  // a pair straddling the 65,535-unit limit
    AppendString(body, text, 2);
    EXPECT_EQ(body[0] | (body[1] << 8), 0xFFFE);
    EXPECT_EQ(body.size(), 2u + 2 * 0xFFFE);
}

TEST(NativeStream, AStreamWithoutItsEndRecordShowsTheMessageAndStillApplies) {
    std::vector<uint8_t> bytes = SmallGridStream();
    bytes.resize(bytes.size() - 4);  // drop the id-0 record
    PlainGrid grid;
    EXPECT_EQ(ReadInto(grid, bytes), std::vector<WideString>{kReadFailed});
    EXPECT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.GetCell(1, 1).GetAsString(), u"kept");
}

TEST(NativeStream, DamagedTopLevelsFailWithTheReadMessage) {
    const TKtEOFRecord eof;
    const TKtBOFRecord unknownType(0x0600, 0x0040);
    const TKtBOFRecord chart(0x0600, kBofChart);
    const TKtBOFRecord globals(0x0600, kBofGlobals);
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        bool fails;
    };
    const Case cases[] = {
        {"empty stream", {}, true},
        {"three header bytes", {0x09, 0x08, 0x10}, true},
        {"non-BOF at the top", Stream({&eof}), true},
        {"BOF of an unknown type", Stream({&unknownType}), true},
        {"body longer than the stream", {0x09, 0x08, 0x10, 0x00, 0x00}, true},
        {"u32 length beyond the stream", {0x09, 0x08, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80}, true},
        {"cut inside the u32 length", {0x09, 0x08, 0xFF, 0xFF, 0x00}, true},
        {"a chart BOF is dropped", Stream({&chart}), false},
        {"globals without sheets", Stream({&globals, &eof}), false},
    };
    for (const Case& c : cases) {
        RecordingHost host;
        TKtGridFile file;
        file.ReadFrom(c.bytes, &host);
        EXPECT_EQ(host.messages,
                  c.fails ? std::vector<WideString>{kReadFailed} : std::vector<WideString>{})
            << c.what;
        EXPECT_EQ(file.ReadError(), c.fails ? kReadFailed : WideString()) << c.what;
    }
}

TEST(NativeStream, ShortRowColumnRecordsAreInvalidAndEndTheRead) {
    const TKtBOFRecord globals(0x0600, kBofGlobals);
    const TKtBOFRecord sheet(0x0700, kBofSheet);
    const TKtEOFRecord eof;
    const TKtDimensionsRecord dims(1, 9, 1, 4);
    const TKtLabelRecord before(2, 2, 0, u"before");
    const TKtDataRecord shortBlank(kBlank, std::vector<uint8_t>{1, 0, 0});
    const TKtLabelRecord after(3, 3, 0, u"after");
    const std::vector<uint8_t> bytes =
        Stream({&globals, &eof, &sheet, &dims, &before, &shortBlank, &after, &eof});

    PlainGrid grid;
    EXPECT_EQ(ReadInto(grid, bytes), std::vector<WideString>{u"0x201 记录无效"});
    EXPECT_EQ(grid.RowCount(), 10);
    EXPECT_EQ(grid.GetCell(2, 2).GetAsString(), u"before");
    EXPECT_EQ(grid.FindCell(3, 3), nullptr);

    // Four bytes are enough for a record of the lower layout (u16 row, column).
    EXPECT_NO_THROW(CreateRecord(kTag, {1, 0, 2, 0}));
    EXPECT_THROW(CreateRecord(kPostil, {1, 0, 2}), EGridFileError);
}

TEST(NativeStream, EveryCutOfAStreamReadsAndApplies) {
    const std::vector<uint8_t> bytes = SmallGridStream();
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
        PlainGrid grid;
        const std::vector<uint8_t> prefix(bytes.begin(),
                                          bytes.begin() + static_cast<ptrdiff_t>(cut));
        EXPECT_EQ(ReadInto(grid, prefix).size(), 1u) << cut;
    }
}

TEST(NativeStream, FieldsADamagedRecordDoesNotHoldReadAsNothing) {
    // A LABEL announcing 10 characters with 3 present; a CHECKBOXCELL cut
    // after its caption; a MERGEDCELLS announcing more ranges than it holds.
    std::vector<uint8_t> label = {1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 10, 0, 'a', 0, 'b', 0, 'c', 0};
    const TKtLabelRecord shortLabel(kLabel, label);
    EXPECT_EQ(shortLabel.Text(), u"abc");

    TKtCheckBoxCellRecord full(1, 2, 0, true, u"cap", u"item");
    std::vector<uint8_t> cut(full.Body().begin(), full.Body().end() - 6);
    const TKtCheckBoxCellRecord box(kCheckBoxCell, cut);
    EXPECT_TRUE(box.Checked());
    EXPECT_EQ(box.Caption(), u"cap");
    EXPECT_EQ(box.ItemText(), u"i");
    EXPECT_EQ(full.ItemText(), u"item");

    const TKtMergedCellsRecord ranges(kMergedCells,
                                      std::vector<uint8_t>{5, 0, 1, 0, 2, 0, 1, 0, 2, 0, 9});
    EXPECT_EQ(ranges.Count(), 1);
    EXPECT_EQ(ranges.Range(0), (TKtCellRange{1, 2, 1, 2}));

    const TKtNumberRecord number(kNumber, std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(number.Number(), 0.0);
}

TEST(NativeStream, AnotherSheetsRecordsGoToTheirOwnSheet) {
    const TKtBOFRecord globals(0x0600, kBofGlobals);
    const TKtBOFRecord sheet(0x0700, kBofSheet);
    const TKtEOFRecord eof;
    const TKtBoundSheetRecord first(u"One"), second(u"Two");
    const TKtLabelRecord a(1, 1, 0, u"a"), b(1, 1, 0, u"b");
    const std::vector<uint8_t> bytes =
        Stream({&globals, &first, &second, &eof, &sheet, &a, &eof, &sheet, &b, &eof});
    TKtGridFile file;
    file.ReadFrom(bytes, nullptr);
    ASSERT_EQ(file.Workbook().Sheets().size(), 2u);
    EXPECT_EQ(file.Workbook().Sheets()[1]->Name, u"Two");

    PlainGrid grid;
    file.ApplySheet(grid, 1);
    EXPECT_EQ(grid.GetCell(1, 1).GetAsString(), u"b");
    file.ApplySheet(grid, 2);  // no such sheet: nothing changes
    EXPECT_EQ(grid.GetCell(1, 1).GetAsString(), u"b");
}

}  // namespace
}  // namespace plu::testing
