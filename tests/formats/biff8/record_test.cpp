// Record objects, RK values and the record lists.
#include <gtest/gtest.h>

#include <cmath>

#include "biff8_test_support.h"
#include "formats/biff8/cell_records.h"
#include "formats/biff8/record_lists.h"
#include "formats/biff8/record_reader.h"
#include "formats/biff8/rk_value.h"
#include "formats/biff8/xls_errors.h"

namespace plu {
namespace {

template <typename F>
int XlsErrorId(F&& f, WideString* message = nullptr) {
    try {
        f();
    } catch (const EXlsError& e) {
        if (message) *message = e.Message();
        return e.Id();
    }
    return -1;
}

TEST(XlsRecord, FieldAccessOutsideTheBodyFailsWith65226) {
    TXlsRecord r(0x1234, 6);
    r.SetWord(4, 0xBEEF);
    EXPECT_EQ(r.GetWord(4), 0xBEEF);
    EXPECT_EQ(XlsErrorId([&] { (void)r.GetWord(5); }), kXlsReadError);
    EXPECT_EQ(XlsErrorId([&] { (void)r.GetLong(4); }), kXlsReadError);
    EXPECT_EQ(XlsErrorId([&] { r.SetByte(-1, 0); }), kXlsReadError);
    EXPECT_EQ(XlsErrorId([&] { (void)r.GetDouble(0); }), kXlsReadError);
    TXlsRecord empty(0x10, 0);
    EXPECT_EQ(empty.Size(), 0);
    EXPECT_EQ(XlsErrorId([&] { (void)empty.GetByte(0); }), kXlsReadError);
}

TEST(XlsRecord, ResizeKeepsContentAcrossInlineAndHeapBodies) {
    TXlsRecord r(1, 4);
    r.SetLong(0, 0x01020304);
    r.Resize(100);  // inline -> heap
    EXPECT_EQ(r.GetLong(0), 0x01020304u);
    EXPECT_EQ(r.GetByte(99), 0);
    r.SetByte(99, 7);
    r.Resize(1000);
    EXPECT_EQ(r.GetByte(99), 7);
    EXPECT_EQ(r.GetByte(999), 0);
    r.Resize(2);
    EXPECT_EQ(r.Size(), 2);
    EXPECT_EQ(r.GetWord(0), 0x0304);
    r.Resize(8);  // growing again shows zeros, not the old bytes
    EXPECT_EQ(r.GetWord(2), 0);
}

TEST(XlsRecord, SameBodyComparesOverThisRecordsSize) {
    TXlsRecord a(1, 2), b(1, 4);
    a.SetWord(0, 5);
    b.SetWord(0, 5);
    b.SetWord(2, 9);
    EXPECT_TRUE(a.SameBody(b));
    EXPECT_FALSE(b.SameBody(a));  // the other body is shorter
    b.SetWord(0, 6);
    EXPECT_FALSE(a.SameBody(b));
}

TEST(XlsRecord, SecondContinuationFailsWith65228) {
    TXlsRecord r(0xFC, 8);
    r.AttachContinue(std::make_unique<TContinueRecord>(0x3C, 2));
    WideString message;
    EXPECT_EQ(XlsErrorId([&] { r.AttachContinue(std::make_unique<TContinueRecord>(0x3C, 2)); }, &message),
              kXlsSecondContinue);
    EXPECT_EQ(message, u"试图在一个记录上添加多个CONTINUE记录");
}

TEST(XlsRecord, RowColumnRecordsOfThreeBytesOrFewerFailWith65225) {
    for (uint16_t id : {0x0201, 0x0203, 0x0204, 0x027E, 0x00FD, 0x0002, 0x0006, 0x00BD, 0x00BE}) {
        WideString message;
        EXPECT_EQ(XlsErrorId([&] { CreateRecord(id, 3); }, &message), kXlsBadRecord) << id;
        EXPECT_NO_THROW(CreateRecord(id, 4));
        if (id == 0x0203) {
            EXPECT_EQ(message, u"0x203 记录无效");
        }
    }
    // Not of that family: any size is fine.
    EXPECT_NO_THROW(CreateRecord(0x0208, 0));
}

struct RkCase {
    double value;
    uint32_t rk;
};

TEST(RkValue, DecodesBothFormsAndTheHundredthFlag) {
    const RkCase cases[] = {
        {1.0, 0x3FF00000}, {1, 0x00000006}, {0.01, 0x00000007}, {-1, 0xFFFFFFFE},
        {1.23, 0x405EC001}, {-536870912, 0x80000002},
    };
    for (const RkCase& c : cases) EXPECT_DOUBLE_EQ(DecodeRK(c.rk), c.value) << std::hex << c.rk;
}

TEST(RkValue, EncodingTriesTheFloatFormFirst) {
    const RkCase cases[] = {
        {1.0, 0x3FF00000},  {3, 0x40080000},      {0.01, 0x3FF00001}, {1.23, 0x405EC001},
        {123456789, 0x1D6F3456}, {-5, 0xC0140000}, {0, 0x00000000},    {536870911, 0x7FFFFFFE},
    };
    for (const RkCase& c : cases) {
        auto rk = EncodeRK(c.value);
        ASSERT_TRUE(rk.has_value()) << c.value;
        EXPECT_EQ(*rk, c.rk) << c.value;
        EXPECT_DOUBLE_EQ(DecodeRK(*rk), c.value);
    }
    EXPECT_EQ(EncodeRK(0.1), 0x40240001u);  // 10.0 in float form, divided by 100
    for (double v : {1e10, 1.0 / 3, 0.001, 1e-300}) EXPECT_FALSE(EncodeRK(v).has_value()) << v;
}

TEST(RkValue, RkRecordRefusesValuesThatFitNeitherForm) {
    auto rk = MakeRK(0, 0, 15, 2.5);
    EXPECT_DOUBLE_EQ(rk->AsFloat(), 2.5);
    WideString message;
    EXPECT_EQ(XlsErrorId([&] { rk->SetValue(TXlsValue::Number(1e10)); }, &message), kXlsBadCellValue);
    EXPECT_EQ(message, u"无效的单元格值: \"10000000000\"");
    EXPECT_DOUBLE_EQ(rk->AsFloat(), 2.5);  // unchanged
}

TEST(CellRecords, ValueKindsAndTexts) {
    auto number = MakeNumber(1, 2, 15, 3.25);
    EXPECT_EQ(number->Row(), 1);
    EXPECT_EQ(number->Col(), 2);
    EXPECT_EQ(number->XF(), 15);
    EXPECT_EQ(number->ValueKind(), TXlsValueKind::vkNumber);
    EXPECT_EQ(number->AsText(), u"3.25");
    auto third = MakeNumber(0, 0, 0, 1.0 / 3);
    EXPECT_EQ(third->AsText(), u"0.333333333333333");
    auto blank = MakeBlank(0, 0, 0);
    EXPECT_EQ(blank->ValueKind(), TXlsValueKind::vkBlank);
    EXPECT_EQ(blank->AsText(), u"");
    auto label = MakeLabel(0, 0, 0, u"价格 Preis");
    EXPECT_EQ(label->ValueKind(), TXlsValueKind::vkText);
    EXPECT_EQ(label->AsText(), u"价格 Preis");
    EXPECT_EQ(label->AsFloat(), 0);
    auto integer = CreateRecord(0x0002, 9);
    integer->SetWord(7, 513);
    auto& cell = static_cast<TCellRecord&>(*integer);
    EXPECT_EQ(cell.AsFloat(), 513);
    EXPECT_EQ(cell.AsText(), u"513");
    EXPECT_FALSE(cell.IsFormula());
}

TEST(CellRecords, LabelSstTakesOnlyASharedStringList) {
    TLabelSSTRecord r;
    r.Create(0x00FD, 10);
    TRecordList records;
    WideString message;
    EXPECT_EQ(XlsErrorId([&] { r.SetList(&records); }, &message), 0);
    EXPECT_EQ(message, u"AList must be TShareStrList");
    EXPECT_EQ(XlsErrorId([&] { r.SetList(static_cast<TXlsList*>(nullptr)); }), 0);
    TShareStrList strings;
    strings.Add(WideStringView(u"abc"));
    r.SetList(&strings);
    EXPECT_EQ(r.AsText(), u"abc");
    r.SetLong(6, 1);  // a dangling index is a read error, not a crash
    EXPECT_EQ(XlsErrorId([&] { (void)r.AsText(); }), kXlsReadError);
}

TEST(RecordLists, AddUniqueFindsEqualBodies) {
    TRecordList list;
    auto a = std::make_unique<TXlsRecord>(1, 4);
    a->SetLong(0, 7);
    EXPECT_EQ(list.AddUnique(std::move(a)), 0);
    auto b = std::make_unique<TXlsRecord>(1, 4);
    b->SetLong(0, 8);
    EXPECT_EQ(list.AddUnique(std::move(b)), 1);
    auto c = std::make_unique<TXlsRecord>(1, 4);
    c->SetLong(0, 7);
    EXPECT_EQ(list.AddUnique(std::move(c)), 0);
    EXPECT_EQ(list.Count(), 2);
}

TEST(RecordLists, FontIndexFourIsNeverHandedOut) {
    TFontList fonts;
    std::vector<int> indexes;
    for (int i = 0; i < 6; ++i) {
        auto f = TFontRecord::Make(u"Arial");
        f->SetHeight(static_cast<uint16_t>(200 + 20 * i));
        indexes.push_back(fonts.AddUnique(std::move(f)));
    }
    EXPECT_EQ(indexes, (std::vector<int>{0, 1, 2, 3, 5, 6}));
    auto again = TFontRecord::Make(u"Arial");
    again->SetHeight(280);  // the fifth font
    EXPECT_EQ(fonts.AddUnique(std::move(again)), 5);
    EXPECT_EQ(fonts.FontByIndex(5)->Height(), 280);
    EXPECT_EQ(fonts.FontByIndex(3)->Height(), 260);
    EXPECT_EQ(fonts.FontByIndex(4), nullptr);
    EXPECT_EQ(fonts.FontByIndex(7), nullptr);
}

}  // namespace
}  // namespace plu

namespace plu {
namespace {

TEST(XlsErrors, ReadFailuresCarryTheirExactTexts) {
    WideString message;
    EXPECT_EQ(XlsErrorId([] { RaiseReadFailed(); }, &message), kXlsReadFailed);
    EXPECT_EQ(message, u"读取记录失败. 文件无效");
    EXPECT_EQ(XlsErrorId([] { RaiseReadError(); }, &message), kXlsReadError);
    EXPECT_EQ(message, u"读取记录出错");
    EXPECT_EQ(XlsErrorId([] { RaiseBadRecord(0x4BC); }, &message), kXlsBadRecord);
    EXPECT_EQ(message, u"0x4bc 记录无效");
}

}  // namespace
}  // namespace plu
