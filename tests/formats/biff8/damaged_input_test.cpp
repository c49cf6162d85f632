// Damaged workbook streams: every cut and a few thousand corruptions of real
// streams either read or fail with the layer's error. Run under the
// sanitizers, this also shows that no read leaves a buffer.
#include <gtest/gtest.h>

#include "base/text_measurer.h"
#include "biff8_test_support.h"
#include "formats/biff8/workbook.h"
#include "formats/biff8/xls_errors.h"

namespace plu {
namespace {

using test::Bytes;

// A small workbook of our writer: texts (one long enough for the shared
// string table and its CONTINUE records), numbers, merges, columns, a colour.
Bytes SampleStream() {
    FixedTextMeasurer m;
    TWorkbook book(&m);
    test::AddExportDefaults(book);
    book.Globals().Palette().IndexOfColor(RGB(1, 2, 3));
    TWorkSheet& s = book.AddSheet(u"表");
    for (uint16_t r = 0; r < 3; ++r) {
        s.Cells().Rows().Put(TRowRecord::Make(r, 0, 2, 285, 0x01C0, 0));
        s.PutCell(MakeLabel(r, 0, 15, u"Zeile " + IntToWide(r)));
        s.PutCell(MakeNumber(r, 1, 15, r + 0.25));
        s.PutCell(MakeRK(r, 2, 15, r * 3));
    }
    s.PutCell(MakeLabel(2, 1, 15, WideString(4500, u'x')));
    s.Cells().Merged().AddRange({0, 1, 0, 1});
    s.Columns().Entry(1).width = 77;
    book.AddSheet(u"Two");
    return book.SaveToBytes();
}

// Reads the stream and everything an import asks of it; returns false when
// the layer refused the stream with its own error.
bool ReadAll(const Bytes& stream) {
    FixedTextMeasurer m;
    TWorkbook book(&m);
    try {
        book.LoadFromBytes(stream);
        for (int i = 0; i < book.Sheets().Count(); ++i) {
            const TBaseColRowList& rows = book.Sheets().Item(i).Cells().CellRows();
            for (int r = 0; r < rows.Count(); ++r) {
                const TRow* row = rows.Get(r);
                for (int c = 0; row && c < row->CellCount(); ++c) {
                    (void)row->CellAt(c).AsText();
                    (void)row->CellAt(c).AsFloat();
                }
            }
        }
        (void)book.SaveToBytes();
    } catch (const EXlsError&) {
        return false;
    }
    return true;
}

TEST(DamagedInput, EveryCutOfAStreamReadsOrFailsWithTheLayersError) {
    const Bytes stream = SampleStream();
    int refused = 0;
    for (size_t cut = 0; cut < stream.size(); cut += (cut < 2000 ? 1 : 7)) {
        if (!ReadAll(Bytes(stream.begin(), stream.begin() + static_cast<long>(cut)))) ++refused;
    }
    EXPECT_GT(refused, 0);
    EXPECT_TRUE(ReadAll(stream));
}

TEST(DamagedInput, CorruptedBytesAndLyingLengthsReadOrFailWithTheLayersError) {
    const Bytes stream = SampleStream();
    uint32_t seed = 12345;
    auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int round = 0; round < 3000; ++round) {
        Bytes bad = stream;
        const int changes = 1 + static_cast<int>(next() % 4);
        for (int k = 0; k < changes; ++k) {
            const size_t at = next() % bad.size();
            // Lengths and counts: the most damaging values.
            const uint8_t values[] = {0x00, 0xFF, 0x7F, 0x80, 0x01, static_cast<uint8_t>(next())};
            bad[at] = values[next() % 6];
        }
        ReadAll(bad);
    }
    SUCCEED();
}

}  // namespace
}  // namespace plu
