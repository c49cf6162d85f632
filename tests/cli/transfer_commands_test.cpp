// download, upload and pair in-process: their command lines, the checks made
// before the port is touched, and the table file as the editor reads and
// writes it. The transfers themselves run as processes against the virtual
// scale (transfer_process_test.cpp).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app/table_file.h"
#include "base/date_time.h"
#include "base/regional_settings.h"
#include "cli/commands.h"
#include "cli/headless_window.h"
#include "cli/table_io.h"
#include "cli/transfer_command.h"
#include "cli_test_support.h"
#include "grid/custom_grid.h"
#include "plu/plu_sheet.h"

namespace plu::cli {
namespace {

struct Outcome {
    int code;
    std::string out, err;
};

Outcome Call(const Args& args) {
    std::ostringstream out, err;
    const int code = Main(args, out, err);
    return {code, out.str(), err.str()};
}

using namespace plu::cli::testing;

TEST(PluToolTransfers, CommandLineMistakesAreUsageErrors) {
    const std::vector<Args> bad = {
        {"download"},
        {"download", "t.txt"},
        {"download", "--port", "/dev/x"},
        {"download", "t.txt", "u.txt", "--port", "/dev/x"},
        {"download", "t.txt", "--port"},
        {"download", "t.txt", "--port", "/dev/x", "--timeout", "0"},
        {"download", "t.txt", "--port", "/dev/x", "--limit", "soon"},
        {"download", "t.txt", "--port", "/dev/x", "--time", "2024-03-15 14:05:09"},
        {"upload", "--port", "/dev/x"},
        {"upload", "t.xls", "--port", ""},
        {"pair"},
        {"pair", "t.txt", "--port", "/dev/x"},
        {"pair", "--port", "/dev/x", "--time"},
        {"pair", "--port", "/dev/x", "--time", "2024-02-30 10:00:00"},
        {"pair", "--port", "/dev/x", "--time", "1999-12-31 23:59:59"},
    };
    for (const Args& args : bad) {
        const Outcome r = Call(args);
        std::string line;
        for (const std::string& a : args)
            line += a + " ";
        EXPECT_EQ(r.code, kExitUsage) << line;
        EXPECT_TRUE(r.out.empty()) << line;
        EXPECT_NE(r.err.find("usage: plu-tool " + args[0]), std::string::npos) << line << r.err;
    }
}

TEST(PluToolTransfers, UsageNamesTheCommandsAndEveryExitCode) {
    const Outcome help = Call({"--help"});
    EXPECT_EQ(help.code, kExitOk);
    for (const char* words :
         {"download FILE --port DEVICE", "upload FILE --port DEVICE", "pair --port DEVICE",
          "--time \"YYYY-MM-DD HH:MM:SS\"", "--limit SECONDS", "  5  FILE", "  6  transfer"})
        EXPECT_NE(help.out.find(words), std::string::npos) << words;
}

TEST(PluToolTransfers, ClockTimesTheScaleCanKeep) {
    struct Case {
        const char* text;
        bool ok;
    };
    const Case cases[] = {
        {"2024-03-15 14:05:09", true},  {"2024-02-29 00:00:00", true},
        {"2000-01-01 00:00:00", true},  {"2099-12-31 23:59:59", true},
        {"2023-02-29 00:00:00", false}, {"2024-13-01 00:00:00", false},
        {"2024-03-15 24:00:00", false}, {"2024-03-15 14:60:00", false},
        {"1999-12-31 23:59:59", false}, {"2100-01-01 00:00:00", false},
        {"2024-3-15 14:05:09", false},  {"2024-03-15T14:05:09", false},
        {"2024-03-15 14:05", false},    {"2024-03-15 14:05:09 ", false},
        {"2024-03-15 +4:05:09", false}, {"", false},
    };
    for (const Case& c : cases) {
        TDateTime when = 0;
        EXPECT_EQ(ParseClockTime(c.text, when), c.ok) << c.text;
    }
    TDateTime when = 0;
    ASSERT_TRUE(ParseClockTime("2024-03-15 14:05:09", when));
    EXPECT_DOUBLE_EQ(when, EncodeDate(2024, 3, 15) + EncodeTime(14, 5, 9, 0));
}

TEST(PluToolTransfers, RecordNumberOfTheProgressTexts) {
    EXPECT_EQ(RecordNumberOfStatus(u"Downloading No.M1"), 1);
    EXPECT_EQ(RecordNumberOfStatus(u"Downloading No.M55"), 55);
    EXPECT_EQ(RecordNumberOfStatus(u"Downloading No.6"), 6);
    EXPECT_EQ(RecordNumberOfStatus(u"Uploading No.265"), 265);
    EXPECT_EQ(RecordNumberOfStatus(u"Uploading No.M3"), 3);
    EXPECT_EQ(RecordNumberOfStatus(u"Downloading Business Name"), 0);
    EXPECT_EQ(RecordNumberOfStatus(u"UpLoading Mode"), 0);
    EXPECT_EQ(RecordNumberOfStatus(u"Uploading No."), 0);
    EXPECT_EQ(RecordNumberOfStatus(u"Uploading No.266"), 0);
    EXPECT_EQ(RecordNumberOfStatus(u"Uploading No.12a"), 0);
    EXPECT_EQ(RecordNumberOfStatus(u""), 0);
}

// Input and output problems are found before the port is opened: the
// device given does not exist, yet the file is what is reported.
TEST(PluToolTransfers, FileProblemsComeBeforeThePort) {
    TempDir dir;
    Write(dir.File("garbage.XLS"), "this is no workbook");
    for (const std::string& file :
         {dir.File("missing.txt"), dir.File("garbage.XLS"), dir.File("")}) {
        const Outcome r = Call({"download", file, "--port", "/dev/plu-no-such-device"});
        EXPECT_EQ(r.code, kExitFile) << file << r.err;
        EXPECT_NE(r.err.find("plu-tool download: " + file + ": cannot be read: "),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    for (const auto& [file, why] :
         {std::pair{dir.File("no/such/folder/t.xls"), std::string("does not exist")},
          std::pair{dir.File(""), std::string("is a folder")}}) {
        const Outcome r = Call({"upload", file, "--port", "/dev/plu-no-such-device"});
        EXPECT_EQ(r.code, kExitFile) << file;
        EXPECT_NE(r.err.find("cannot be written: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(why), std::string::npos) << r.err;
    }
}

TEST(PluToolTransfers, MissingDeviceIsAPortFailure) {
    TempDir dir;
    Write(dir.File("t.txt"), "");
    for (const Args& args :
         {Args{"download", dir.File("t.txt"), "--port", "/dev/plu-no-such-device"},
          Args{"upload", dir.File("u.txt"), "--port", "/dev/plu-no-such-device"},
          Args{"pair", "--port", "/dev/plu-no-such-device"}}) {
        const Outcome r = Call(args);
        EXPECT_EQ(r.code, kExitNoPort) << args[0];
        EXPECT_EQ(r.err, "plu-tool " + args[0] + ": /dev/plu-no-such-device: no such device\n");
        EXPECT_FALSE(std::filesystem::exists(dir.File("u.txt")));
    }
}

class TableFile : public ::testing::Test {
  protected:
    TableFile() : settings_(RegionalSettings::Defaults()) {}
    ScopedRegionalSettings settings_;
    TempDir dir;
    std::ostringstream out, err;
};

// Text lands on the body from its first cell, under the PLU layout, so a
// text saved by upload reads back into the same rows and columns.
TEST_F(TableFile, TextIsReadIntoTheLaidOutSheetAndRoundTripsThroughAWorkbook) {
    Write(dir.File("t.txt"),
          "Business Name\t\tCORNER SHOP\r\n\t\tOPEN DAILY\r\n\r\n"
          "M1\tAPPLES\tFRESH\t7\tkg\t2,5\t0.1\t42\r\n"
          "M2\tPEARS\t\t3\tlb\t1.25\t0.002\t7\r\n");
    HeadlessWindow window("test", out, err, false);
    OpenTable(window, dir.File("t.txt"), err, "test");
    TKtCustomGrid& g = *window.Grid();
    EXPECT_EQ(ShownText(g, kColBusiness, kBusinessNameRow), u"CORNER SHOP");
    EXPECT_EQ(ShownText(g, kColBusiness, kSecondLineRow), u"OPEN DAILY");
    EXPECT_EQ(ShownText(g, kColName, kCaptionRow), u"Product Name");  // the layout's captions
    EXPECT_EQ(ShownText(g, kColName, 4), u"APPLES");
    EXPECT_EQ(ShownText(g, kColPrice, 4), u"2.50");  // the decimal comma repaired
    EXPECT_EQ(ShownText(g, kColItemCode, 4), u"00042");
    EXPECT_EQ(ShownText(g, kColTare, 5), u"0.002");
    EXPECT_EQ(ShownText(g, kColAddr, 9), u"6");

    SaveTableFile(g, dir.File("t.Xls"));
    SaveTableFile(g, dir.File("t.tsv"));
    EXPECT_EQ(Read(dir.File("t.Xls")).substr(0, 4), "\xD0\xCF\x11\xE0");
    const std::string text = Read(dir.File("t.tsv"));
    EXPECT_EQ(text.substr(0, text.find("\r\n")), "Business Name\t\tCORNER SHOP\t\t\t\t\t");
    EXPECT_NE(text.find("\r\nM1\tAPPLES\tFRESH\t7\tkg\t2.50\t0.100\t00042\r\n"), std::string::npos);

    for (const char* name : {"t.Xls", "t.tsv"}) {
        HeadlessWindow again("test", out, err, false);
        OpenTable(again, dir.File(name), err, "test");
        TKtCustomGrid& h = *again.Grid();
        for (int row = kBusinessNameRow; row <= kLastRow; ++row)
            for (int col = kColAddr; col <= kColItemCode; ++col)
                ASSERT_EQ(ShownText(h, col, row), ShownText(g, col, row))
                    << name << " col " << col << " row " << row;
    }
    EXPECT_TRUE(err.str().empty()) << err.str();
}

}  // namespace
}  // namespace plu::cli
