#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "link/frame.h"
#include "link/frames.h"
#include "plu/upload.h"
#include "plu_test_support.h"

namespace plu::testing {
namespace {

using virtual_scale::PluTable;
using virtual_scale::RecordReplyBody;
using virtual_scale::ScalePlu;
using virtual_scale::VirtualScale;

std::string Record(int number, uint32_t price, uint32_t tare, int unit, uint32_t code = 42) {
    return RecordReplyBody(number, ScalePlu{false, "PEARS", "FRUIT", 9, unit, price, tare, code});
}

// A record body with one field replaced and the checksum made right again.
std::string Damaged(std::string body, std::size_t from, const std::string& bytes) {
    body.replace(from - 1, bytes.size(), bytes);
    body.resize(124);
    return body + FrameChecksum(body);
}

class UploadTest : public PluTest {
  protected:
    UploadTest() : link(window) {
        link.Connect();
        upload().menuUpLoadClick();
        state().FrameInFlight = BeginUploadFrame();
        upload().BeginUploadReply(BusinessBody("SHOP", "LINE TWO"));
        state().FrameInFlight = NextRecordFrame();
    }
    static std::string BusinessBody(const std::string& a, const std::string& b) {
        std::string body =
            std::string(20 - a.size(), ' ') + a + std::string(20 - b.size(), ' ') + b;
        return body + FrameChecksum(body);
    }
    PluUpload& upload() { return link.Transfers().Upload(); }
    LinkState& state() { return link.State(); }
    SimulatedLink link;
};

TEST_F(UploadTest, StartsWithANewSheetLockedForAnUpload) {
    EXPECT_EQ(window.calls[0], "new file no");
    EXPECT_EQ(window.calls[1], "layout reset");
    EXPECT_EQ(window.calls[2], "lock");
    EXPECT_EQ(window.Text(kColBusiness, kBusinessNameRow), u"SHOP");
    EXPECT_EQ(window.Text(kColBusiness, kSecondLineRow), u"LINE TWO");
    EXPECT_TRUE(state().Transferring);
    EXPECT_EQ(state().NextFrame, NextRecordFrame());
    EXPECT_EQ(window.panel[kProgressPanel], u"UpLoading Mode");
}

TEST_F(UploadTest, BusinessLinesWithAWrongChecksumAreAskedForAgain) {
    upload().menuUpLoadClick();
    state().Transferring = false;
    state().ReplyTicks = 12;
    state().AwaitingReply = true;
    std::string body = BusinessBody("OTHER", "");
    body.back() = body.back() == '0' ? '1' : '0';
    upload().BeginUploadReply(body);
    EXPECT_FALSE(state().AwaitingReply);
    EXPECT_EQ(state().ReplyTicks, 12);
    EXPECT_FALSE(state().Transferring);
    EXPECT_EQ(state().NextFrame, BeginUploadFrame());
    upload().BeginUploadReply(body.substr(0, 41));  // too short for a checksum
    EXPECT_EQ(state().NextFrame, BeginUploadFrame());
    EXPECT_EQ(window.Text(kColBusiness, kBusinessNameRow), u"");
}

TEST_F(UploadTest, RecordsFillTheRowTheirNumberSelects) {
    upload().UploadReply(Record(1, 1250, 1500, 0));
    EXPECT_EQ(window.Text(kColName, 4), u"PEARS");
    EXPECT_EQ(window.Text(kColIngredients, 4), u"FRUIT");
    EXPECT_EQ(window.Text(kColLife, 4), u"9");
    EXPECT_EQ(window.Text(kColUnit, 4), u"kg");
    EXPECT_EQ(window.Text(kColPrice, 4), u"12.50");
    EXPECT_EQ(window.Text(kColTare, 4), u"1.500");
    EXPECT_EQ(window.Text(kColItemCode, 4), u"00042");
    EXPECT_EQ(window.panel[kProgressPanel], u"Uploading No.M1");
    EXPECT_EQ(state().NextFrame, NextRecordFrame());

    upload().UploadReply(Record(6, 1250, 1500, 2));
    EXPECT_EQ(window.Text(kColUnit, 9), u"oz");
    EXPECT_EQ(window.Text(kColTare, 9), u"15.000");  // 15.00 written, shown in the tare format
    EXPECT_DOUBLE_EQ(window.Sheet().GetCell(kColTare, 9).GetAsFloat(), 15.0);
    EXPECT_EQ(window.panel[kProgressPanel], u"Uploading No.6");
    upload().UploadReply(Record(3, 1, 7, 1));
    EXPECT_EQ(window.Text(kColUnit, 6), u"lb");
    EXPECT_DOUBLE_EQ(window.Sheet().GetCell(kColPrice, 6).GetAsFloat(), 0.01);
    EXPECT_DOUBLE_EQ(window.Sheet().GetCell(kColTare, 6).GetAsFloat(), 0.007);
}

TEST_F(UploadTest, NumbersAreWrittenWithTheLocaleDecimalSeparator) {
    RegionalSettings comma = RegionalSettings::Defaults();
    comma.DecimalSeparator = u',';
    comma.ThousandSeparator = u'.';
    ScopedRegionalSettings scoped(comma);
    std::u16string written;
    window.Sheet().OnSetCellTextW = [&](TKtCustomGrid&, TPoint p, bool, WideString& text) {
        if (p.X == kColPrice) written = text;
    };
    upload().UploadReply(Record(2, 1250, 0, 0));
    EXPECT_EQ(written, u"12,50");
}

TEST_F(UploadTest, EmptyPluNotesLeaveTheRowAndAskAgain) {
    window.Set(kColName, 8, u"OLD");
    state().ReplyTicks = 20;
    upload().UploadReply("N005");
    EXPECT_EQ(window.Text(kColName, 8), u"OLD");
    EXPECT_EQ(window.panel[kProgressPanel], u"Uploading No.M5");
    EXPECT_EQ(state().ReplyTicks, 0);
    EXPECT_EQ(state().NextFrame, NextRecordFrame());
}

TEST_F(UploadTest, DamagedRecordsAreAskedForAgainWithoutRestartingTheTimeOut) {
    std::string bad = Record(2, 100, 0, 0);
    bad[10] = 'X';  // the checksum no longer fits
    state().ReplyTicks = 5;
    upload().UploadReply(bad);
    EXPECT_EQ(state().NextFrame, RepeatRecordFrame());
    EXPECT_EQ(state().ReplyTicks, 5);
    EXPECT_EQ(window.Text(kColName, 5), u"");
    upload().UploadReply(bad);
    EXPECT_EQ(state().NextFrame, RepeatRecordFrame());
    upload().UploadReply(Record(2, 100, 0, 0));
    EXPECT_EQ(state().NextFrame, NextRecordFrame());
    EXPECT_EQ(state().ReplyTicks, 0);
    EXPECT_EQ(window.Text(kColName, 5), u"PEARS");
}

TEST_F(UploadTest, RecordsOutsideThePluRowsTouchNothing) {
    window.Set(kColName, kCaptionRow, u"Product Name");
    upload().UploadReply(Record(0, 100, 0, 0));
    upload().UploadReply(Record(266, 100, 0, 0));
    upload().UploadReply(Record(999, 100, 0, 0));
    EXPECT_EQ(window.Text(kColName, kCaptionRow), u"Product Name");
    EXPECT_EQ(window.Sheet().RowCount(), kSheetRowCount);
    EXPECT_EQ(window.Sheet().FindCell(kColName, 269), nullptr);
    EXPECT_TRUE(window.errors.empty());
    EXPECT_EQ(state().NextFrame, NextRecordFrame());
    EXPECT_EQ(upload().RecordsReceived(), 0);
}

TEST_F(UploadTest, NonDigitNumbersReportTheConversionErrorAndTheUploadGoesOn) {
    // Price bytes 108-113.
    upload().UploadReply(Damaged(Record(4, 100, 0, 0), 108, "12A4$6"));
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(window.errors[0], u"'12A4$6' is not a valid integer value");
    EXPECT_EQ(window.Text(kColName, 7), u"PEARS");  // written before the price
    EXPECT_EQ(window.Text(kColUnit, 7), u"kg");
    EXPECT_EQ(window.Text(kColPrice, 7), u"");
    EXPECT_EQ(state().NextFrame, NextRecordFrame());
    // Hexadecimal and signs are no decimal digits either.
    upload().UploadReply(Damaged(Record(5, 100, 0, 0), 120, "$00FF"));
    upload().UploadReply(Damaged(Record(5, 100, 0, 0), 114, "-00001"));
    upload().UploadReply(Damaged(Record(5, 100, 0, 0), 107, "x"));
    upload().UploadReply(Damaged(Record(5, 100, 0, 0), 1, "0x1"));
    upload().UploadReply("NABC");
    EXPECT_EQ(window.errors.size(), 6u);
    EXPECT_EQ(window.Text(kColUnit, 8), u"kg");
    // A short body with a fitting checksum is a record too: its missing fields fail.
    std::string shortBody = "001PEARS";
    upload().UploadReply(shortBody + FrameChecksum(shortBody));
    EXPECT_EQ(window.errors.size(), 7u);
    EXPECT_TRUE(state().Transferring);
}

TEST_F(UploadTest, EndOfTableUnlocksAndReportsSuccess) {
    state().ReplyTicks = 3;
    upload().UploadReply("UE ");  // compared exactly: a record with a bad checksum
    EXPECT_EQ(state().NextFrame, RepeatRecordFrame());
    upload().UploadReply("UE");
    EXPECT_FALSE(state().Transferring);
    EXPECT_EQ(state().NextFrame, LinkPollFrame());
    ASSERT_EQ(window.messages.size(), 1u);
    EXPECT_EQ(window.messages[0].title, u"Information");
    EXPECT_EQ(window.messages[0].text, u"Upload successful.");
    EXPECT_EQ(window.panel[kProgressPanel], u"");
    EXPECT_FALSE(window.locked);
    EXPECT_EQ(upload().Outcome(), TransferOutcome::Succeeded);
}

// The whole table through the protocol, from a scale with every PLU filled.
PluTable FullScaleTable() {
    PluTable t;
    t.businessName = "CORNER SHOP";
    t.secondLine = "SINCE 1990";
    for (int n = 1; n <= 265; ++n)
        t.plus[static_cast<std::size_t>(n - 1)] = ScalePlu{n % 50 == 0,
                                                           "ITEM " + std::to_string(n),
                                                           n % 2 ? "SALT" : "",
                                                           static_cast<uint32_t>(n % 254),
                                                           n % 3,
                                                           static_cast<uint32_t>(n * 101),
                                                           static_cast<uint32_t>(n * 3),
                                                           static_cast<uint32_t>(n)};
    return t;
}

class FullUploadTest : public PluTest {};

TEST_F(FullUploadTest, ReproducesTheScaleTableInTheSheet) {
    VirtualScale scale({}, FullScaleTable());
    scale.Faults().Add(*virtual_scale::ParseFaultRule("checksum:2:U"));
    scale.Faults().Add(*virtual_scale::ParseFaultRule("checksum:1:BU"));
    SimulatedLink link(window, std::move(scale));
    link.Connect();
    const std::size_t from = link.written.size();
    link.Transfers().Upload().menuUpLoadClick();
    ASSERT_TRUE(link.RunUntil([&] { return !window.messages.empty(); }, 3000));
    EXPECT_EQ(window.messages[0].text, u"Upload successful.");
    const std::vector<std::string> sent = link.SentTransferFrames(from);
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(sent[0], "BU");
    EXPECT_EQ(sent[1], "BU");  // its first answer was damaged
    EXPECT_EQ(sent[2], "U");
    EXPECT_EQ(sent[3], "UA");  // so were the first two records
    EXPECT_EQ(sent[4], "UA");
    // 265 answers, then "UE"; a repetition per damaged answer.
    EXPECT_EQ(sent.size(), 2u + 266u + 2u);

    const PluTable expected = FullScaleTable();
    EXPECT_EQ(window.Text(kColBusiness, kBusinessNameRow), u"CORNER SHOP");
    EXPECT_EQ(window.Text(kColBusiness, kSecondLineRow), u"SINCE 1990");
    for (int n = 1; n <= 265; ++n) {
        SCOPED_TRACE(n);
        const int row = n + 3;
        const ScalePlu& p = expected.plus[static_cast<std::size_t>(n - 1)];
        if (p.empty) {
            EXPECT_EQ(window.Text(kColName, row), u"");
            EXPECT_EQ(window.Text(kColPrice, row), u"");
            continue;
        }
        EXPECT_EQ(WideToUtf8(window.Text(kColName, row)), p.name);
        EXPECT_EQ(WideToUtf8(window.Text(kColIngredients, row)), p.ingredients);
        EXPECT_EQ(window.Text(kColLife, row), IntToWide(p.life));
        const char16_t* units[] = {u"kg", u"lb", u"oz"};
        EXPECT_EQ(window.Text(kColUnit, row), units[p.unitDigit]);
        EXPECT_DOUBLE_EQ(window.Sheet().GetCell(kColPrice, row).GetAsFloat(), p.unitPrice / 100.0);
        EXPECT_DOUBLE_EQ(window.Sheet().GetCell(kColTare, row).GetAsFloat(),
                         p.tare / (p.unitDigit == 2 ? 100.0 : 1000.0));
        EXPECT_DOUBLE_EQ(window.Sheet().GetCell(kColItemCode, row).GetAsFloat(), p.itemCode);
    }
    EXPECT_FALSE(window.locked);
}

TEST_F(FullUploadTest, CancelKeepsTheSheetAndRowsReportedEmptyKeepTheirContents) {
    window.Set(kColName, 53, u"KEPT");  // PLU 50 is empty on the scale
    window.Set(kColName, 4, u"REPLACED");
    window.newFileAnswer = "cancel";
    SimulatedLink link(window, VirtualScale({}, FullScaleTable()));
    link.Connect();
    link.Transfers().Upload().menuUpLoadClick();
    ASSERT_TRUE(link.RunUntil([&] { return !window.messages.empty(); }, 3000));
    EXPECT_EQ(window.Text(kColName, 53), u"KEPT");
    EXPECT_EQ(window.Text(kColName, 4), u"ITEM 1");
}

TEST_F(FullUploadTest, AScaleSendingOnlyDamagedRecordsEndsInALinkLoss) {
    VirtualScale scale({}, FullScaleTable());
    scale.Faults().Add(*virtual_scale::ParseFaultRule("checksum:all:U,UA"));
    SimulatedLink link(window, std::move(scale));
    link.Connect();
    link.Transfers().Upload().menuUpLoadClick();
    ASSERT_TRUE(link.RunUntil([&] { return !link.State().Connected; }, 300));
    EXPECT_EQ(link.Transfers().Upload().Outcome(), TransferOutcome::Abandoned);
    link.Tick();
    EXPECT_FALSE(window.locked);
    EXPECT_TRUE(window.messages.empty());
    EXPECT_EQ(window.Text(kColBusiness, kBusinessNameRow), u"CORNER SHOP");
    EXPECT_EQ(window.Text(kColName, 4), u"");
}

}  // namespace
}  // namespace plu::testing
