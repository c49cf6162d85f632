// The tab-separated text export: bytes, code page, and failures.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "export_test_support.h"
#include "formats/text/text_export.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/grid_column.h"

namespace plu::exporttest {
namespace {

class TextExportTest : public ::testing::Test {
protected:
    TextExportTest() : settings_(RegionalSettings::Defaults()) {
        grid.SetMeasurer(&measurer);
        grid.SetColCount(3);
        grid.SetRowCount(3);
    }
    ScopedRegionalSettings settings_;
    FixedTextMeasurer measurer;
    TKtCustomGrid grid;
};

TEST_F(TextExportTest, LinesHoldEveryPositionWithoutATrailingLineEnd) {
    grid.GetCell(1, 1).SetText(u"a");
    grid.GetCell(2, 1).SetText(u"b");
    EXPECT_EQ(TextFileBytes(grid, false, false), std::string("a\tb\r\n\t"));
    EXPECT_EQ(TextFileBytes(grid, true, true), std::string("\t\t\r\n\ta\tb\r\n\t\t"));
    EXPECT_EQ(TextFileBytes(grid, true, false), std::string("\t\r\na\tb\r\n\t"));

    grid.GetCell(0, 0).SetText(u"corner");
    grid.GetCell(2, 2).SetText(u"z");
    EXPECT_EQ(TextFileBytes(grid, true, true), std::string("corner\t\t\r\n\ta\tb\r\n\t\tz"));
}

TEST_F(TextExportTest, GridWithoutBodyRowsWritesAnEmptyFile) {
    grid.SetRowCount(1);
    grid.GetCell(1, 0).SetText(u"header");
    TempDir dir;
    const std::string path = dir.File("empty.txt");
    WriteFileBytes(path, "previous");
    SaveToTextFile(grid, path, false, false);
    EXPECT_EQ(ReadFileBytes(path), "");
}

TEST_F(TextExportTest, NumbersAreWrittenAsTheirDisplayText) {
    grid.GetColumn(1).Style().SetFormatString(u"0.00");
    grid.GetCell(1, 1).SetText(u"1.5");
    grid.GetCell(2, 1).SetText(u"12");
    grid.GetCell(1, 2).SetText(u"5");
    grid.GetCell(2, 2).OwnStyle().SetFormatString(u"#,##0");
    grid.GetCell(2, 2).SetText(u"1234567");
    EXPECT_EQ(TextFileBytes(grid, false, false), std::string("1.50\t12\r\n5.00\t1,234,567"));
}

TEST_F(TextExportTest, TextsGoOutInTheAnsiCodePageAsTheyAre) {
    grid.GetCell(1, 1).SetText(u"价€é");
    grid.GetCell(2, 1).SetText(u"tab\there");
    grid.GetCell(1, 2).SetText(u"two\r\nlines");
    EXPECT_EQ(TextFileBytes(grid, false, false),
              std::string("?\x80\xE9\ttab\there\r\ntwo\r\nlines\t"));
}

TEST_F(TextExportTest, HiddenAndMergedPositionsAreWrittenLikeOthers) {
    grid.SetColCount(4);
    grid.GetCell(1, 1).SetText(u"x");
    grid.GetCell(2, 1).SetText(u"hidden");
    grid.GetCell(3, 2).SetText(u"y");
    grid.SetColVisible(2, false);
    grid.SetRowVisible(2, false);
    grid.MergeCells(1, 1, 1, 2);
    EXPECT_EQ(TextFileBytes(grid, false, false), std::string("x\thidden\t\r\n\t\ty"));
}

TEST_F(TextExportTest, SaveReplacesTheFileAndNamesAFolderThatIsMissing) {
    grid.GetCell(1, 1).SetText(u"a");
    TempDir dir;
    const std::string path = dir.File("out é.txt");
    WriteFileBytes(path, "an older and longer content");
    SaveToTextFile(grid, path, false, false);
    EXPECT_EQ(ReadFileBytes(path), "a\t\r\n\t");

    const std::string missing = dir.File("no such folder/out.txt");
    try {
        SaveToTextFile(grid, missing, false, false);
        FAIL() << "saved into a missing folder";
    } catch (const ECreateFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + missing + "\". No such file or directory");
    }
    // A folder in the file's place.
    try {
        SaveToTextFile(grid, dir.Path(), false, false);
        FAIL() << "saved over a folder";
    } catch (const ECreateFileError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + dir.Path() + "\". Is a directory");
    }
}

// A write that fails half-way (the file size limit) reports "Stream write
// error" and leaves the previous file whole. Run in a child process, whose
// limit does not touch the test program.
TEST_F(TextExportTest, FailingWriteKeepsThePreviousFile) {
    grid.SetRowCount(200);
    for (int r = 1; r < 200; ++r) grid.GetCell(1, r).SetText(u"a line of text");
    TempDir dir;
    const std::string path = dir.File("limited.txt");
    WriteFileBytes(path, "previous");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit = {1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        int code = 1;
        try {
            SaveToTextFile(grid, path, false, false);
            code = 2;
        } catch (const EStreamWriteError& e) {
            code = std::string(e.what()) == "Stream write error" ? 0 : 3;
        } catch (...) {
            code = 4;
        }
        ::_exit(code);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFileBytes(path), "previous");
}

}  // namespace
}  // namespace plu::exporttest
