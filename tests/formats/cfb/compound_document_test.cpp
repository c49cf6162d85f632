#include "formats/cfb/compound_document.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "base/safe_file.h"
#include "support/temp_dir.h"

namespace plu {
namespace {

using plu::testing::TempDir;

std::vector<uint8_t> Pattern(size_t n, uint8_t seed) {
    std::vector<uint8_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(seed + i * 7 + (i >> 8));
    return v;
}

std::vector<uint8_t> OneStream(std::string name, const std::vector<uint8_t>& bytes) {
    TCompoundStream s{std::move(name), bytes};
    return BuildCompoundDocument(std::span<const TCompoundStream>(&s, 1));
}

// Sizes around the mini-stream cut-off and the sector sizes.
TEST(CompoundDocument, StreamsOfEverySizeClassRoundTripInMemory) {
    for (size_t size : {size_t(0), size_t(1), size_t(63), size_t(64), size_t(4095), size_t(4096),
                        size_t(4097), size_t(70000), size_t(1 << 20)}) {
        auto data = Pattern(size, static_cast<uint8_t>(size));
        auto doc = OneStream("Workbook", data);
        EXPECT_EQ(ReadWorkbookStreamFromMemory(doc), data) << "size " << size;
    }
}

TEST(CompoundDocument, SeveralStreamsKeepTheirOwnContents) {
    auto a = Pattern(100, 1), b = Pattern(5000, 2);
    TCompoundStream streams[] = {{"Workbook", a}, {"Other", b}};
    auto doc = TCompoundDocument::OpenMemory(BuildCompoundDocument(streams));
    EXPECT_EQ(doc.ReadStream("Workbook"), a);
    EXPECT_EQ(doc.ReadStream("Other"), b);
    EXPECT_EQ(doc.EntryNames().size(), 2u);
}

TEST(CompoundDocument, StreamNamesCompareIgnoringCase) {
    auto data = Pattern(10, 3);
    auto doc = TCompoundDocument::OpenMemory(OneStream("WORKBOOK", data));
    EXPECT_TRUE(doc.HasStream("Workbook"));
    EXPECT_EQ(doc.ReadStream("workbook"), data);
}

TEST(CompoundDocument, MissingWorkbookStreamIsAClearError) {
    auto doc = OneStream("Book", Pattern(10, 4));
    try {
        ReadWorkbookStreamFromMemory(doc);
        FAIL();
    } catch (const ECompoundDocumentError& e) {
        EXPECT_NE(std::string(e.what()).find("has no \"Workbook\" stream"), std::string::npos) << e.what();
    }
}

TEST(CompoundDocument, DataThatIsNoCompoundDocumentIsRefused) {
    for (std::string text : {std::string(), std::string("hello"), std::string(600, 'x')}) {
        std::vector<uint8_t> bytes(text.begin(), text.end());
        try {
            TCompoundDocument::OpenMemory(bytes);
            FAIL();
        } catch (const ECompoundDocumentError& e) {
            EXPECT_NE(std::string(e.what()).find("not a compound document"), std::string::npos);
        }
    }
}

// Every cut of a valid document either opens (a cut inside unused space) or
// fails with the container's error; none may crash or yield wrong bytes.
TEST(CompoundDocument, TruncatedDocumentsFailCleanly) {
    auto data = Pattern(9000, 5);
    auto doc = OneStream("Workbook", data);
    int failures = 0;
    for (size_t cut = 8; cut < doc.size(); cut += 97) {
        std::vector<uint8_t> part(doc.begin(), doc.begin() + static_cast<long>(cut));
        try {
            auto read = ReadWorkbookStreamFromMemory(part);
            EXPECT_EQ(read, data);
        } catch (const ECompoundDocumentError&) {
            ++failures;
        }
    }
    EXPECT_GT(failures, 0);
}

TEST(CompoundDocument, CorruptedHeaderFieldsFailCleanly) {
    auto doc = OneStream("Workbook", Pattern(9000, 6));
    // Sector shift, directory start, FAT sector count and the first FAT slots.
    for (size_t at : {size_t(30), size_t(44), size_t(48), size_t(60), size_t(76), size_t(80)}) {
        for (uint8_t value : {uint8_t(0x00), uint8_t(0x7F), uint8_t(0xFF)}) {
            auto bad = doc;
            bad[at] = value;
            bad[at + 1] = value;
            try {
                (void)ReadWorkbookStreamFromMemory(bad);
            } catch (const ECompoundDocumentError&) {
            }
        }
    }
}

TEST(CompoundDocument, DamageReachesTheCallerNotStderr) {
    // The Workbook entry's first sector points past the mini stream. The reason
    // must come back in the exception only: plu-tool's user would otherwise
    // see the library's warnings before our message.
    auto doc = OneStream("Workbook", Pattern(2000, 7));
    const size_t sectorSize = size_t{1} << (doc[30] | doc[31] << 8);
    const size_t directory =
        sectorSize * (1 + (doc[48] | doc[49] << 8 | doc[50] << 16 | size_t{doc[51]} << 24));
    const size_t firstSector = directory + 128 + 116;  // entry 1, after the root
    ASSERT_LE(firstSector + 4, doc.size());
    for (size_t i = 0; i < 4; ++i) doc[firstSector + i] = i == 3 ? 0x7F : 0xF0;
    ::testing::internal::CaptureStderr();
    EXPECT_THROW((void)ReadWorkbookStreamFromMemory(doc), ECompoundDocumentError);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
}

TEST(CompoundDocument, FileRoundTripAndReplacement) {
    TempDir dir;
    const std::string path = dir.File("book.xls");
    auto first = Pattern(3000, 7), second = Pattern(12000, 8);
    TCompoundStream s1{"Workbook", first};
    WriteCompoundDocumentFile(path, std::span<const TCompoundStream>(&s1, 1));
    EXPECT_EQ(ReadWorkbookStreamFromFile(path), first);
    TCompoundStream s2{"Workbook", second};
    WriteCompoundDocumentFile(path, std::span<const TCompoundStream>(&s2, 1));
    EXPECT_EQ(ReadWorkbookStreamFromFile(path), second);
}

TEST(CompoundDocument, FailedWriteLeavesNothingBehind) {
    TempDir dir;
    auto data = Pattern(10, 9);
    TCompoundStream s{"Workbook", data};
    EXPECT_THROW(WriteCompoundDocumentFile(dir.File("missing/book.xls"),
                                           std::span<const TCompoundStream>(&s, 1)),
                 EFileError);
    // A folder in the way of the file: refused, and the folder stays.
    std::filesystem::create_directory(dir.File("folder.xls"));
    EXPECT_THROW(WriteCompoundDocumentFile(dir.File("folder.xls"), std::span<const TCompoundStream>(&s, 1)),
                 EFileError);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.xls")));
}

TEST(CompoundDocument, MissingFileIsAFileError) {
    TempDir dir;
    EXPECT_THROW(ReadWorkbookStreamFromFile(dir.File("none.xls")), EFileError);
}

}  // namespace
}  // namespace plu
