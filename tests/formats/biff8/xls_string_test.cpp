// BIFF8 strings: shared strings across CONTINUE records, LABEL text through
// the ANSI code page, and the writer's encoding.
#include <gtest/gtest.h>

#include "biff8_test_support.h"
#include "formats/biff8/cell_records.h"
#include "formats/biff8/record_lists.h"
#include "formats/biff8/record_reader.h"
#include "formats/biff8/workbook.h"
#include "formats/biff8/xls_errors.h"
#include "formats/biff8/xls_string.h"

namespace plu {
namespace {

using test::Bytes;
using test::Put16;
using test::Put32;

// An SST record with `head` after the two counts, and CONTINUE records with
// the given bodies.
std::unique_ptr<TXlsRecord> Sst(uint32_t unique, const Bytes& head, std::vector<Bytes> continues = {}) {
    Bytes body;
    Put32(body, unique);
    Put32(body, unique);
    body.insert(body.end(), head.begin(), head.end());
    auto sst = MakeRecord(0x00FC, body);
    TXlsRecord* last = sst.get();
    for (const Bytes& c : continues) {
        auto next = std::make_unique<TContinueRecord>(0x3C, static_cast<int32_t>(c.size()));
        next->SetBytes(0, c);
        TXlsRecord* added = next.get();
        last->AttachContinue(std::move(next));
        last = added;
    }
    return sst;
}

std::vector<WideString> Decode(const TXlsRecord& sst) {
    TShareStrList list;
    DecodeSST(sst, list);
    std::vector<WideString> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.Item(i).Text());
    return out;
}

int ErrorId(const std::function<void()>& f) {
    try {
        f();
    } catch (const EXlsError& e) {
        return e.Id();
    }
    return -1;
}

TEST(SharedStrings, EightBitStartContinuingSixteenBitBecomesOneWidenedString) {
    Bytes head;
    Put16(head, 4);
    head.push_back(0x00);  // 8-bit
    head.push_back(0xC4);
    head.push_back('b');
    Bytes cont = {0x01};  // the rest is 16-bit
    Put16(cont, u'中');
    Put16(cont, u'x');
    auto sst = Sst(1, head, {cont});
    TShareStrList list;
    DecodeSST(*sst, list);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_TRUE(list.Item(0).Is16Bit());
    EXPECT_EQ(list.Item(0).Text(), u"\u00C4b中x");
}

TEST(SharedStrings, SixteenBitStringContinuingEightBitWidensByteByByte) {
    Bytes head;
    Put16(head, 3);
    head.push_back(0x01);
    Put16(head, u'中');
    Bytes cont = {0x00, 0x80, 'z'};
    auto sst = Sst(1, head, {cont});
    EXPECT_EQ(Decode(*sst), (std::vector<WideString>{u"中\u0080z"}));
}

// One string (with rich-text runs and an extension block) after a short
// first string, cut into SST + CONTINUE at every byte: inside the counts,
// the header, the characters (an option byte then leads the continuation),
// the runs and the extension.
TEST(SharedStrings, StringsCrossingContinueAtEveryPosition) {
    for (bool sixteen : {false, true}) {
        const WideString text = sixteen ? u"價格表-Preis" : u"Price list";
        Bytes first;  // "ok": a plain 8-bit string
        Put16(first, 2);
        first.push_back(0);
        first.push_back('o');
        first.push_back('k');
        Bytes header;
        Put16(header, static_cast<uint32_t>(text.size()));
        header.push_back(static_cast<uint8_t>((sixteen ? 0x01 : 0x00) | 0x08 | 0x04));
        Put16(header, 1);   // one run
        Put32(header, 3);   // three extension bytes
        Bytes chars;
        for (char16_t c : text) {
            if (sixteen) {
                Put16(chars, c);
            } else {
                chars.push_back(static_cast<uint8_t>(c));
            }
        }
        const Bytes tail = {1, 0, 2, 0, 9, 9, 9};  // run (4 bytes), extension (3)
        const size_t width = sixteen ? 2 : 1;
        const Bytes all = test::Concat({first, header, chars, tail});
        const size_t charsAt = first.size() + header.size();
        for (size_t cut = 0; cut <= all.size(); ++cut) {
            // A 16-bit character is never split by a writer.
            const bool inChars = cut > charsAt && cut < charsAt + chars.size();
            if (inChars && (cut - charsAt) % width != 0) continue;
            const bool inFirst = cut == 4;  // between "o" and "k"
            Bytes head(all.begin(), all.begin() + static_cast<long>(cut));
            Bytes cont;
            if (inChars) cont.push_back(sixteen ? 0x01 : 0x00);
            if (inFirst) cont.push_back(0x00);
            cont.insert(cont.end(), all.begin() + static_cast<long>(cut), all.end());
            auto sst = cut == all.size() ? Sst(2, head) : Sst(2, head, {cont});
            TShareStrList list;
            ASSERT_NO_THROW(DecodeSST(*sst, list)) << "cut " << cut << " sixteen " << sixteen;
            ASSERT_EQ(list.Count(), 2);
            EXPECT_EQ(list.Item(0).Text(), u"ok");
            EXPECT_EQ(list.Item(1).Text(), text) << "cut " << cut;
            const TSharedString second = list.Item(1);
            EXPECT_EQ(Bytes(second.runs.begin(), second.runs.end()), (Bytes{1, 0, 2, 0}));
            EXPECT_EQ(Bytes(second.extension.begin(), second.extension.end()), (Bytes{9, 9, 9}));
            EXPECT_EQ(second.runCount, 1);
        }
    }
}

TEST(SharedStrings, ContinuationThatStartsWithTheFirstCharacterHasNoOptionByte) {
    Bytes head;
    Put16(head, 2);
    head.push_back(0x01);
    Bytes cont;
    Put16(cont, u'甲');
    Put16(cont, u'乙');
    EXPECT_EQ(Decode(*Sst(1, head, {cont})), (std::vector<WideString>{u"甲乙"}));
}

TEST(SharedStrings, TableAnnouncingMoreStringsThanItHoldsFailsWith65226) {
    Bytes head;
    Put16(head, 1);
    head.push_back(0);
    head.push_back('a');
    EXPECT_EQ(ErrorId([&] { Decode(*Sst(2, head)); }), kXlsReadError);
    // A huge count with few bytes fails the same way, without a huge allocation.
    EXPECT_EQ(ErrorId([&] { Decode(*Sst(0xFFFFFFFF, head)); }), kXlsReadError);
    // Characters beyond the last record, a run count beyond it, a huge extension.
    Bytes cut;
    Put16(cut, 10);
    cut.push_back(0);
    cut.push_back('a');
    EXPECT_EQ(ErrorId([&] { Decode(*Sst(1, cut)); }), kXlsReadError);
    Bytes ext;
    Put16(ext, 1);
    ext.push_back(0x04);
    Put32(ext, 0xFFFFFFF0);
    ext.push_back('a');
    EXPECT_EQ(ErrorId([&] { Decode(*Sst(1, ext)); }), kXlsReadError);
    // An SST too short for its counts.
    auto tiny = MakeRecord(0x00FC, Bytes{1, 0});
    EXPECT_EQ(ErrorId([&] { Decode(*tiny); }), kXlsReadError);
}

TEST(LabelText, EightBitBytesGoThroughTheAnsiCodePageUnlikeSharedStrings) {
    Bytes body = test::LabelBody8(0, 0, 0, std::string("\xC4\x80", 2));
    auto label = CreateRecord(0x0204, static_cast<int32_t>(body.size()));
    label->SetBytes(0, body);
    EXPECT_EQ(static_cast<TCellRecord&>(*label).AsText(), u"\u00C4\u20AC");  // Ä, €
    Bytes head;
    Put16(head, 2);
    head.push_back(0);
    head.push_back(0xC4);
    head.push_back(0x80);
    EXPECT_EQ(Decode(*Sst(1, head)), (std::vector<WideString>{u"\u00C4\u0080"}));
}

TEST(LabelText, RunsAndExtensionFieldsAreSkipped) {
    Bytes body;
    Put16(body, 0);
    Put16(body, 0);
    Put16(body, 0);
    Put16(body, 2);
    body.push_back(0x0D);  // 16-bit, runs, extension
    Put16(body, 1);
    Put32(body, 0);
    Put16(body, u'日');
    Put16(body, u'本');
    auto label = MakeRecord(0x0204, body);
    EXPECT_EQ(ReadLabelText(*label, 6), u"日本");
}

TEST(LabelText, TextRunningPastTheBodyFailsWith65226) {
    Bytes body = test::LabelBody8(0, 0, 0, "abc");
    body[6] = 4;  // claims four characters, holds three
    auto label = CreateRecord(0x0204, static_cast<int32_t>(body.size()));
    label->SetBytes(0, body);
    EXPECT_EQ(ErrorId([&] { (void)static_cast<TCellRecord&>(*label).AsText(); }), kXlsReadError);
    // A STRING record alike.
    auto str = MakeRecord(0x0207, Bytes{5, 0, 1, 'a', 0});
    EXPECT_EQ(ErrorId([&] { ReadLabelText(*str, 0); }), kXlsReadError);
}

TEST(StringEncoding, SixteenBitWithCountAndOptionByte) {
    EXPECT_EQ(EncodeXlsString(u"Ab", 2), (Bytes{2, 0, 1, 'A', 0, 'b', 0}));
    EXPECT_EQ(EncodeXlsString(u"中", 1), (Bytes{1, 1, 0x2D, 0x4E}));
    EXPECT_EQ(EncodeXlsString(u"", 1), (Bytes{0}));
    EXPECT_EQ(EncodeXlsString(u"", 2), (Bytes{0, 0}));
    EXPECT_THROW(EncodeXlsString(WideString(256, u'x'), 1), EXlsError);
    auto label = MakeLabel(3, 4, 5, u"x\u00C4");
    EXPECT_EQ(label->Size(), 6 + 3 + 4);
    EXPECT_EQ(label->AsText(), u"x\u00C4");
}

}  // namespace
}  // namespace plu
