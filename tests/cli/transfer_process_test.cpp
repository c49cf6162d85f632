// plu-tool download, upload and pair as processes against the virtual scale
// on pseudo-terminals: what the scale ends up holding, the files written, the
// messages and exit codes, and how failures end (never a hang).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <future>
#include <iomanip>
#include <iterator>
#include <sstream>

#include "base/regional_settings.h"
#include "base/wide_text.h"
#include "cli_test_support.h"
#include "formats/excel/load_workbook.h"
#include "grid/custom_grid.h"
#include "support/plu_tables.h"
#include "support/processes.h"
#include "plu/plu_sheet.h"
#include "sheets/sheet_control.h"
#include "virtual-scale/plu_table.h"

extern char** environ;

namespace plu {
namespace {

using testing::BinDir;
using testing::Describe;
using testing::ExpectScaleHolds;
using testing::FullTable;
using testing::Latin1;
using testing::ProgramResult;
using testing::RunProgram;
using testing::VirtualScaleProcess;
using virtual_scale::PluTable;
using virtual_scale::ScalePlu;
using namespace std::chrono_literals;

using namespace plu::cli::testing;

ProgramResult Tool(const std::vector<std::string>& args, std::chrono::milliseconds limit = 30s) {
    std::vector<std::string> argv = {BinDir() + "/plu-tool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, limit);
}

// The first `count` PLUs of the full table, the rest empty.
PluTable ShortTable(int count) {
    PluTable t = FullTable();
    for (int n = count + 1; n <= 265; ++n)
        t.plus[static_cast<std::size_t>(n - 1)] = ScalePlu{};
    return t;
}

// "0.38" for (38, 2).
std::string Decimal(uint32_t value, int decimals) {
    const uint32_t scale = decimals == 2 ? 100 : 1000;
    std::string fraction = std::to_string(value % scale);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    return std::to_string(value / scale) + "." + fraction;
}

const char* const kUnits[] = {"kg", "lb", "oz"};

// The table as an operator keeps it in tab-separated text (the grid's body
// from its first cell: business lines in column 3, PLU n on line n + 3).
std::string TableText(const PluTable& t) {
    std::string text =
        "Business Name\t\t" + t.businessName + "\r\n\t\t" + t.secondLine + "\r\n\r\n";
    for (const ScalePlu& p : t.plus) {
        if (!p.empty)
            text += "\t" + p.name + "\t" + p.ingredients + "\t" + std::to_string(p.life) + "\t" +
                    kUnits[p.unitDigit] + "\t" + Decimal(p.unitPrice, 2) + "\t" +
                    Decimal(p.tare, p.unitDigit == 2 ? 2 : 3) + "\t" + std::to_string(p.itemCode);
        text += "\r\n";
    }
    return text;
}

// Replaces the line of PLU n (line n + 3) in a table text.
void ReplaceLineOfPlu(std::string& text, int n, const std::string& line) {
    std::size_t begin = 0;
    for (int i = 0; i < n + 2; ++i)
        begin = text.find("\r\n", begin) + 2;
    text.replace(begin, text.find("\r\n", begin) - begin, line);
}

// The scale writes its table file when it stops.
PluTable TableOfStoppedScale(VirtualScaleProcess& scale, const std::string& saved) {
    scale.Stop();
    return virtual_scale::LoadPluTable(saved);
}

// A program with its standard output on a terminal (standard error on a
// pipe): what the terminal showed, what went to standard error, the exit code.
ProgramResult RunOnTerminal(const std::vector<std::string>& argv, std::chrono::milliseconds limit) {
    ProgramResult result;
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return result;
    const std::string slave = ptsname(master);
    int err[2];
    if (pipe2(err, O_CLOEXEC) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, slave.c_str(), O_RDWR | O_NOCTTY, 0);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(err[1]);
    if (rc != 0) {
        close(master);
        close(err[0]);
        return result;
    }
    const auto start = std::chrono::steady_clock::now();
    bool termOpen = true, errOpen = true;
    while (termOpen || errOpen) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            start + limit - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd p[2] = {{termOpen ? master : -1, POLLIN, 0}, {errOpen ? err[0] : -1, POLLIN, 0}};
        if (poll(p, 2, static_cast<int>(left.count())) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (!(p[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            char buffer[1024];
            const ssize_t n = read(p[i].fd, buffer, sizeof buffer);
            if (n <= 0) {  // the terminal reads EIO once the program has closed it
                (i == 0 ? termOpen : errOpen) = false;
                continue;
            }
            (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
        }
    }
    int status = 0;
    if (termOpen || errOpen) kill(pid, SIGKILL);
    testing::WaitForChild(pid, &status, &result.cpuSeconds);
    if (!termOpen && !errOpen && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    close(master);
    close(err[0]);
    result.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}

class PluToolTransfer : public ::testing::Test {
  protected:
    PluToolTransfer() : settings_(RegionalSettings::Defaults()) {
        // Under the leak checker plu-tool would list the suppressions it used
        // on its standard error, which the tests read.
        if (const char* lsan = getenv("LSAN_OPTIONS"); lsan && *lsan) {
            const std::string options(lsan);
            if (options.find("print_suppressions") == std::string::npos)
                setenv("LSAN_OPTIONS", (options + ":print_suppressions=0").c_str(), 1);
        }
    }
    ScopedRegionalSettings settings_;
    TempDir dir;
};

// The one full download: a workbook (made from text by convert, named in
// capitals) goes out whole and the scale holds exactly that table.
TEST_F(PluToolTransfer, FullDownloadFromAWorkbookLeavesTheScaleHoldingExactlyTheTable) {
    const PluTable table = FullTable();
    Write(dir / "table.txt", TableText(table));
    const ProgramResult convert = Tool({"convert", dir / "table.txt", dir / "TABLE.XLS"});
    ASSERT_EQ(convert.exitCode, 0) << convert.err;

    VirtualScaleProcess scale({"--empty", "--save", dir / "held.tsv"});
    const ProgramResult r = Tool({"download", dir / "TABLE.XLS", "--port", scale.Device()}, 100s);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Download successful.\n");  // no progress noise off a terminal
    EXPECT_TRUE(r.err.empty()) << r.err;
    ExpectScaleHolds(TableOfStoppedScale(scale, dir / "held.tsv"), table);
}

// Ctrl+C stops a download as the Stop command does: the end frame goes out
// at once, the scale keeps what came before it, and the tool says so.
TEST_F(PluToolTransfer, AnInterruptStopsTheDownloadAndTheScaleKeepsWhatCame) {
    const PluTable table = FullTable();
    Write(dir / "table.txt", TableText(table));
    VirtualScaleProcess scale({"--empty", "--save", dir / "held.tsv"});
    const ProgramResult r = RunProgram(
        // Twelve seconds: well into the half-minute download even when a
        // loaded machine is slow to find the scale.
        {"/usr/bin/timeout", "--foreground", "--preserve-status", "-s", "INT", "12", BinDir() + "/plu-tool",
         "download", dir / "table.txt", "--port", scale.Device()},
        30s);
    EXPECT_EQ(r.exitCode, 6) << r.err;
    EXPECT_EQ(r.out, "Stop downloading!\n");
    EXPECT_NE(r.err.find("stopped on request"), std::string::npos) << r.err;
    EXPECT_LT(r.seconds, 15.0);
    const PluTable held = TableOfStoppedScale(scale, dir / "held.tsv");
    EXPECT_EQ(held.businessName, table.businessName);
    EXPECT_TRUE(held.plus[0] == table.plus[0]) << Describe(held.plus[0]);
    EXPECT_TRUE(held.plus[264].empty) << Describe(held.plus[264]);
}

// The one full upload, twice at once from two scales holding the same
// table: into a workbook and into text (one of them through damaged records
// that are asked for again).
TEST_F(PluToolTransfer, FullUploadWritesAWorkbookAndTextThatReproduceTheTable) {
    const PluTable table = FullTable();
    virtual_scale::SavePluTable(table, dir / "table.tsv");
    VirtualScaleProcess first({"--table", dir / "table.tsv"});
    VirtualScaleProcess second({"--table", dir / "table.tsv", "--fault", "checksum:3:U"});
    Write(dir / "old.txt", "previous contents");
    auto toBook = std::async(std::launch::async, [&] {
        return Tool({"upload", dir / "Table.xls", "--port", first.Device()}, 100s);
    });
    auto toText = std::async(std::launch::async, [&] {
        return Tool({"upload", dir / "old.txt", "--port", second.Device()}, 100s);
    });
    // A third scale sends PLU 1 with a letter in its unit price: the error is
    // reported, the upload goes on and the file is written, but the tool
    // does not call that a success.
    VirtualScaleProcess third({"--table", dir / "table.tsv", "--fault", "letters:1:U"});
    auto withLetters = std::async(std::launch::async, [&] {
        return Tool({"upload", dir / "letters.txt", "--port", third.Device()}, 100s);
    });
    const ProgramResult book = toBook.get();
    const ProgramResult text = toText.get();
    for (const ProgramResult* r : {&book, &text}) {
        EXPECT_EQ(r->exitCode, 0) << r->err;
        EXPECT_EQ(r->out, "Upload successful.\n");
        EXPECT_TRUE(r->err.empty()) << r->err;
    }
    const ProgramResult letters = withLetters.get();
    EXPECT_EQ(letters.exitCode, 1) << letters.err;
    EXPECT_EQ(letters.out, "Upload successful.\n");
    EXPECT_NE(letters.err.find("X"), std::string::npos) << letters.err;
    EXPECT_NE(letters.err.find(dir / "letters.txt was written, but 1 field of the scale's table "
                                     "could not be read"),
              std::string::npos)
        << letters.err;
    const std::string lettersText = Read(dir / "letters.txt");
    EXPECT_EQ(std::count(lettersText.begin(), lettersText.end(), '\n'), 267) << lettersText.size();

    // The workbook, read back: sheet cell A1 is grid cell (1, 1), as saved.
    TVexaSheetControl control;
    LoadWorkbook(control, Utf8ToWide(dir / "Table.xls"));
    ASSERT_NE(control.ActiveSheet(), nullptr);
    EXPECT_EQ(control.ActiveSheet()->Caption(), u"sheet1");
    TKtCustomGrid& g = *control.ActiveSheet();
    EXPECT_EQ(ShownText(g, kColBusiness, kBusinessNameRow), Latin1(table.businessName));
    EXPECT_EQ(ShownText(g, kColBusiness, kSecondLineRow), Latin1(table.secondLine));
    for (int n = 1; n <= 265; ++n) {
        SCOPED_TRACE(n);
        const ScalePlu& p = table.plus[static_cast<std::size_t>(n - 1)];
        const int row = n + 3;
        EXPECT_EQ(ShownText(g, kColName, row), Latin1(p.name));
        EXPECT_EQ(ShownText(g, kColIngredients, row), Latin1(p.ingredients));
        EXPECT_EQ(ShownText(g, kColLife, row), IntToWide(static_cast<int>(p.life)));
        EXPECT_EQ(ShownText(g, kColUnit, row), Utf8ToWide(kUnits[p.unitDigit]));
        EXPECT_DOUBLE_EQ(g.GetCell(kColPrice, row).GetAsFloat(), p.unitPrice / 100.0);
        EXPECT_DOUBLE_EQ(g.GetCell(kColTare, row).GetAsFloat(),
                         p.tare / (p.unitDigit == 2 ? 100.0 : 1000.0));
        EXPECT_DOUBLE_EQ(g.GetCell(kColItemCode, row).GetAsFloat(), p.itemCode);
    }

    // The text: one line per grid row without the fixed row and column,
    // the cells as they show.
    std::istringstream lines(Read(dir / "old.txt"));
    std::vector<std::vector<std::string>> fields;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> f;
        std::istringstream in(line);
        for (std::string field; std::getline(in, field, '\t');)
            f.push_back(field);
        f.resize(8);
        fields.push_back(f);
    }
    ASSERT_EQ(fields.size(), 268u);
    EXPECT_EQ(fields[0][2], table.businessName);
    EXPECT_EQ(fields[1][2], table.secondLine);
    for (int n = 1; n <= 265; ++n) {
        SCOPED_TRACE(n);
        const ScalePlu& p = table.plus[static_cast<std::size_t>(n - 1)];
        const std::vector<std::string>& f = fields[static_cast<std::size_t>(n + 2)];
        EXPECT_EQ(f[1], p.name);
        EXPECT_EQ(f[2], p.ingredients);
        EXPECT_EQ(f[3], std::to_string(p.life));
        EXPECT_EQ(f[4], kUnits[p.unitDigit]);
        EXPECT_NEAR(std::strtod(f[5].c_str(), nullptr), p.unitPrice / 100.0, 1e-9) << f[5];
        EXPECT_NEAR(std::strtod(f[6].c_str(), nullptr),
                    p.tare / (p.unitDigit == 2 ? 100.0 : 1000.0), 1e-9)
            << f[6];
        EXPECT_EQ(f[7].size(), 5u) << f[7];  // the Item Code column's "00000"
        EXPECT_EQ(std::strtol(f[7].c_str(), nullptr, 10), static_cast<long>(p.itemCode));
    }
}

// Nothing goes out when a row fails the checks; every marked row is listed
// with the columns that failed.
TEST_F(PluToolTransfer, DataErrorsListTheMarkedRowsAndSendNothing) {
    const PluTable before = ShortTable(12);
    virtual_scale::SavePluTable(before, dir / "held.tsv");
    PluTable sent = ShortTable(12);
    sent.plus[0].life = 254;        // PLU 1 (M1), row 4
    sent.plus[2].name = "caf\xE9";  // PLU 3 (M3), row 6: é has no place on the scale
    sent.plus[6].tare = 6500;       // PLU 7, row 10: above 6 kg for a 15 kg scale
    sent.plus[6].unitDigit = 0;
    std::string text = TableText(sent);
    ReplaceLineOfPlu(text, 2, "\tPLU 2\t\t3\tKG\t1.00\t0.010\t7");  // units are small letters
    ReplaceLineOfPlu(text, 8, "\tPLU 8");                           // a name but no numbers
    Write(dir / "bad.txt", text);

    VirtualScaleProcess scale({"--table", dir / "held.tsv", "--save", dir / "held.tsv"});
    const ProgramResult r = Tool({"download", dir / "bad.txt", "--port", scale.Device()});
    EXPECT_EQ(r.exitCode, 5);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_EQ(r.err,
              "Data errors.\n"
              "  PLU 1 (M1), row 4: Life\n"
              "  PLU 2 (M2), row 5: Unit\n"
              "  PLU 3 (M3), row 6: Product Name\n"
              "  PLU 7, row 10: Tare\n"
              "  PLU 8, row 11: Life\n");
    ExpectScaleHolds(TableOfStoppedScale(scale, dir / "held.tsv"), before);
}

TEST_F(PluToolTransfer, PairSetsTheScaleClockToTheTimeGivenThroughRejections) {
    VirtualScaleProcess scale({"--clock-file", dir / "clock.txt", "--fault", "reject:2:T"});
    const ProgramResult r =
        Tool({"pair", "--port", scale.Device(), "--time", "2031-12-24 18:30:05"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Pair successful.\n");
    EXPECT_EQ(Read(dir / "clock.txt"), "2031-12-24 18:30:05\n");
}

TEST_F(PluToolTransfer, PairWithoutATimeSendsTheComputersClock) {
    VirtualScaleProcess scale({"--clock-file", dir / "clock.txt"});
    const auto before = std::chrono::system_clock::now();
    const ProgramResult r = Tool({"pair", "--port", scale.Device()});
    const auto after = std::chrono::system_clock::now();
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // The scale's clock has whole seconds of local time.
    std::tm parts{};
    std::istringstream in(Read(dir / "clock.txt"));
    in >> std::get_time(&parts, "%Y-%m-%d %H:%M:%S");
    ASSERT_FALSE(in.fail()) << Read(dir / "clock.txt");
    parts.tm_isdst = -1;
    const auto sent = std::chrono::system_clock::from_time_t(std::mktime(&parts));
    EXPECT_GE(sent, std::chrono::time_point_cast<std::chrono::seconds>(before) - 1s);
    EXPECT_LE(sent, after + 1s);
}

TEST_F(PluToolTransfer, MissingDeviceFailsAtOnce) {
    Write(dir / "t.txt", TableText(ShortTable(1)));
    const ProgramResult r = Tool({"download", dir / "t.txt", "--port", "/dev/plu-no-such-device"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_EQ(r.err, "plu-tool download: /dev/plu-no-such-device: no such device\n");
    EXPECT_LT(r.seconds, 2.0);
}

TEST_F(PluToolTransfer, ASilentDeviceFailsWithinTheSearchTimeAndTheFileStays) {
    VirtualScaleProcess scale({"--fault", "silent:all"});
    Write(dir / "keep.xls", "previous contents");
    const ProgramResult r =
        Tool({"upload", dir / "keep.xls", "--port", scale.Device(), "--timeout", "1.5"});
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_EQ(r.err, "plu-tool upload: " + scale.Device() +
                         ": no scale answered within 1.5 s at any baud rate\n");
    EXPECT_GE(r.seconds, 1.4);
    EXPECT_LT(r.seconds, 3.0);
    EXPECT_EQ(Read(dir / "keep.xls"), "previous contents");
}

TEST_F(PluToolTransfer, AnUploadWhoseScaleFallsSilentLeavesTheFileUntouched) {
    virtual_scale::SavePluTable(FullTable(), dir / "table.tsv");
    VirtualScaleProcess scale({"--table", dir / "table.tsv", "--fault", "silent:all:U"});
    Write(dir / "keep.xls", "previous contents");
    const ProgramResult r = Tool({"upload", dir / "keep.xls", "--port", scale.Device()});
    EXPECT_EQ(r.exitCode, 6);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_NE(r.err.find("the upload was abandoned: the link to the scale was lost"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find(dir / "keep.xls was not written"), std::string::npos) << r.err;
    EXPECT_LT(r.seconds, 5.0);
    EXPECT_EQ(Read(dir / "keep.xls"), "previous contents");
}

// On a terminal the progress is one line rewritten in place; the scale
// falling silent at PLU 6 ends the download with the reason.
TEST_F(PluToolTransfer, ProgressOnATerminalAndADownloadAbandonedWhenTheScaleFallsSilent) {
    Write(dir / "t.txt", TableText(ShortTable(8)));
    VirtualScaleProcess scale({"--empty", "--fault", "silent:all:D005"});
    const ProgramResult r = RunOnTerminal(
        {BinDir() + "/plu-tool", "download", dir / "t.txt", "--port", scale.Device()}, 20s);
    EXPECT_EQ(r.exitCode, 6) << r.err;
    EXPECT_NE(r.out.find("\rDownloading No.M5 - record 5 of 265\033[K"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("\rDownloading No.6 - record 6 of 265\033[K"), std::string::npos);
    EXPECT_EQ(r.out.find("record 7 of 265"), std::string::npos);
    EXPECT_EQ(r.out.find('\n'), std::string::npos);  // one line, cleared at the end
    EXPECT_EQ(r.out.substr(r.out.size() - 4), "\r\033[K");
    EXPECT_EQ(r.err,
              "plu-tool download: the download was abandoned: the link to the scale was lost (no "
              "answer for a second); the scale may hold part of the table\n");
}

// Unplugged in the middle of a download and away for good: the tool looks
// for the scale ("Connecting the scale."), names the port's error once
// opening it again fails, and idles meanwhile instead of spinning.
TEST_F(PluToolTransfer, AScaleUnpluggedForGoodEndsTheDownloadWithThePortsError) {
    Write(dir / "t.txt", TableText(ShortTable(8)));
    VirtualScaleProcess scale(
        {"--empty", "--link", dir / "scale", "--fault", "unplug:1:D005:20000"});
    const ProgramResult r = RunOnTerminal(
        {BinDir() + "/plu-tool", "download", dir / "t.txt", "--port", scale.Device()}, 20s);
    EXPECT_EQ(r.exitCode, 6) << r.err;
    EXPECT_NE(r.out.find("\rConnecting the scale.\033[K"), std::string::npos) << r.out;
    EXPECT_EQ(r.err, "plu-tool download: the download was abandoned: the link to the scale was "
                     "lost (no answer for a second), and " +
                         dir / "scale" +
                         ": no such device; the scale may hold part of the table\n");
    // Two seconds of it spent waiting for a scale that is not there.
    EXPECT_LT(r.cpuSeconds, 0.5 * r.seconds) << r.cpuSeconds << " of " << r.seconds;
}

// Back at the same path within a second: the download is still abandoned
// (the link was lost), but the port opens again and no error is reported.
TEST_F(PluToolTransfer, AScalePluggedBackWithinASecondLeavesNoPortError) {
    Write(dir / "t.txt", TableText(ShortTable(8)));
    VirtualScaleProcess scale(
        {"--empty", "--link", dir / "scale", "--fault", "unplug:1:D005:400"});
    const ProgramResult r = Tool({"download", dir / "t.txt", "--port", scale.Device()});
    EXPECT_EQ(r.exitCode, 6) << r.err;
    EXPECT_EQ(r.err,
              "plu-tool download: the download was abandoned: the link to the scale was lost (no "
              "answer for a second); the scale may hold part of the table\n");
}

// A scale that rejects every record would keep the download going for ever;
// the time limit ends it.
TEST_F(PluToolTransfer, TheTimeLimitEndsATransferThatMakesNoHeadway) {
    Write(dir / "t.txt", TableText(ShortTable(2)));
    VirtualScaleProcess scale({"--empty", "--fault", "reject:all:D"});
    const ProgramResult r =
        Tool({"download", dir / "t.txt", "--port", scale.Device(), "--limit", "3"});
    EXPECT_EQ(r.exitCode, 6);
    EXPECT_EQ(r.err,
              "plu-tool download: the download did not end within the time limit of 3 s; gave up "
              "(the scale may hold part of the table)\n");
    EXPECT_GE(r.seconds, 2.9);
    EXPECT_LT(r.seconds, 5.0);
}

}  // namespace
}  // namespace plu
