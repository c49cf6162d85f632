// Workbook streams this program cannot read are refused saying why; the
// stream is found under the names other writers give it; a hostile order of
// cells costs no more than a sorted one.
#include <gtest/gtest.h>

#include <chrono>

#include "base/text_measurer.h"
#include "biff8_test_support.h"
#include "formats/biff8/workbook.h"
#include "formats/biff8/xls_errors.h"
#include "formats/cfb/compound_document.h"

namespace plu {
namespace {

using test::Bytes;
using test::StreamBuilder;

FixedTextMeasurer measurer;

std::string FailureOf(const Bytes& stream) {
    TWorkbook book(&measurer);
    try {
        book.LoadFromBytes(stream);
    } catch (const Exception& e) {
        return WideToUtf8(e.Message());
    }
    return "opened";
}

TEST(ForeignStreams, EncryptedAndOlderWorkbooksAreRefusedSayingWhy) {
    const Bytes encrypted = StreamBuilder().Bof(0x0005).Record(0x002F, Bytes(54, 0)).Eof().Data();
    EXPECT_NE(FailureOf(encrypted).find("password-protected"), std::string::npos);
    Bytes biff5Bof;
    test::Put16(biff5Bof, 0x0500);
    test::Put16(biff5Bof, 0x0005);
    biff5Bof.resize(8, 0);
    const Bytes biff5 = StreamBuilder().Record(0x0809, biff5Bof).Eof().Data();
    EXPECT_NE(FailureOf(biff5).find("Excel 5.0 or Excel 95 (BIFF5)"), std::string::npos);
    const Bytes biff4 = StreamBuilder().Record(0x0409, Bytes{0, 0, 0x10, 0, 0, 0}).Data();
    EXPECT_NE(FailureOf(biff4).find("Excel 4.0 (BIFF4)"), std::string::npos);
}

TEST(ForeignStreams, AFailureKeepsItsFixedTextAndSaysWhereAndWhy) {
    const Bytes stream = StreamBuilder()
                             .Globals({u"S"})
                             .Bof(0x0010)
                             .Record(0x0203, test::NumberBody(0, 0, 0, 1))
                             .Record(0x0207, test::Str16(u"x", 2))
                             .Eof()
                             .Data();
    const std::string message = FailureOf(stream);
    EXPECT_EQ(message.rfind("读取记录失败. 文件无效 (a STRING record follows a record that is no "
                            "formula; record 0x",
                            0),
              0u)
        << message;
    EXPECT_NE(message.find("in sheet 1)"), std::string::npos) << message;
}

TEST(ForeignStreams, StreamNamedBookInCapitalsIsFound) {
    const Bytes stream = StreamBuilder().Globals({u"S"}).Bof(0x0010).Eof().Data();
    TCompoundStream s{"BOOK", stream};
    const std::vector<uint8_t> document =
        BuildCompoundDocument(std::span<const TCompoundStream>(&s, 1));
    TWorkbook book(&measurer);
    book.LoadFromStorage(TCompoundDocument::OpenMemory(document));
    ASSERT_EQ(book.Sheets().Count(), 1);
    EXPECT_EQ(book.Sheets().Item(0).Name(), u"S");
}

TEST(ForeignStreams, CellsInDescendingColumnsAreStoredInLinearTime) {
    StreamBuilder b;
    b.Globals({u"S"}).Bof(0x0010);
    for (int col = 65535; col >= 0; --col)
        b.Record(0x0203, test::NumberBody(0, static_cast<uint16_t>(col), 15, col));
    b.Record(0x0203,
             test::NumberBody(0, 7, 15, -1));  // a second cell for column 7 replaces the first
    b.Eof();
    TWorkbook book(&measurer);
    const auto start = std::chrono::steady_clock::now();
    book.LoadFromBytes(b.Data());
    const TXlsCells& cells = book.Sheets().Item(0).Cells();
    ASSERT_EQ(cells.CellRows().Get(0)->CellCount(), 65536);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(cells.Get(0, 0)->AsFloat(), 0);
    EXPECT_EQ(cells.Get(0, 65535)->AsFloat(), 65535);
    EXPECT_EQ(cells.Get(0, 7)->AsFloat(), -1);
}

}  // namespace
}  // namespace plu
