// plu-tool convert: workbooks and tab-separated text in both directions, run
// in-process on files in a temporary folder.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "cli/commands.h"
#include "cli_test_support.h"

namespace plu::cli {
namespace {

struct Outcome {
    int code;
    std::string out, err;
};

Outcome Convert(const std::string& source, const std::string& target) {
    std::ostringstream out, err;
    const int code = Main({"convert", source, target}, out, err);
    return {code, out.str(), err.str()};
}

using namespace plu::cli::testing;

// Line `index` of a tab-separated file, its fields up to the last non-empty one.
std::vector<std::string> Line(const std::string& text, int index) {
    std::istringstream in(text);
    std::string line;
    for (int i = 0; i <= index; ++i)
        std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\t'))
        line.pop_back();
    std::vector<std::string> fields;
    std::istringstream f(line);
    for (std::string field; std::getline(f, field, '\t');)
        fields.push_back(field);
    return fields;
}

bool HaveXlwt() {
    return system("/usr/bin/python3 -c 'import xlwt' 2>/dev/null") == 0;
}

TEST(PluToolConvert, CommandLineMistakes) {
    for (const Args& bad :
         {Args{"convert"}, Args{"convert", "a.xls"}, Args{"convert", "a.xls", "b.txt", "c"},
          Args{"convert", "", "b.txt"}, Args{"convert", "--sheet", "b.txt"}}) {
        std::ostringstream out, err;
        EXPECT_EQ(Main(bad, out, err), kExitUsage) << bad.size();
        EXPECT_NE(err.str().find("usage: plu-tool convert SOURCE TARGET"), std::string::npos);
    }
    std::ostringstream out, err;
    Main({"--help"}, out, err);
    EXPECT_NE(out.str().find("convert SOURCE TARGET"), std::string::npos);
}

TEST(PluToolConvert, WorkbookToTextAsTheEditorOpensAndSaves) {
    if (!HaveXlwt()) GTEST_SKIP() << "python3-xlwt is not installed";
    TempDir dir;
    const std::string book = dir.File("prices.XLS");
    ASSERT_EQ(system(("/usr/bin/python3 " + std::string(PLU_SOURCE_DIR) +
                      "/tests/cli/convert_workbook.py " + book)
                         .c_str()),
              0);
    const Outcome r = Convert(book, dir.File("prices.txt"));
    EXPECT_EQ(r.code, kExitOk) << r.err;
    // The formula that does not calculate is reported, and converted.
    EXPECT_NE(r.err.find("warning: sheet \"Prices\""), std::string::npos) << r.err;
    const std::string text = Read(dir.File("prices.txt"));
    // The worksheet's 9 body columns, without the fixed header row and column.
    EXPECT_EQ(Line(text, 0), (std::vector<std::string>{"abc", "2.5", "5", "#VALUE!"}));
    EXPECT_EQ(Line(text, 1)[0], "??");    // the text file's 8-bit code page lacks "价格"
    EXPECT_EQ(Line(text, 1)[1], "1E10");  // the grid's General format
    EXPECT_EQ(Line(text, 2)[0], "merged");
    EXPECT_EQ(text.find("second sheet"), std::string::npos);
    EXPECT_EQ(text.substr(0, 4), "abc\t");
}

TEST(PluToolConvert, TextToWorkbookAndBack) {
    TempDir dir;
    Write(dir.File("in.tsv"), "name\tprice\r\napple\t1.25\r\n\xC4pfel\t0012\n");
    const Outcome toBook = Convert(dir.File("in.tsv"), dir.File("out.Xls"));
    ASSERT_EQ(toBook.code, kExitOk) << toBook.err;
    EXPECT_TRUE(toBook.out.empty());
    EXPECT_EQ(Read(dir.File("out.Xls")).substr(0, 4), "\xD0\xCF\x11\xE0");  // a compound document

    const Outcome back = Convert(dir.File("out.Xls"), dir.File("back.txt"));
    ASSERT_EQ(back.code, kExitOk) << back.err;
    EXPECT_TRUE(back.err.empty()) << back.err;
    const std::string text = Read(dir.File("back.txt"));
    EXPECT_EQ(Line(text, 0), (std::vector<std::string>{"name", "price"}));
    EXPECT_EQ(Line(text, 1), (std::vector<std::string>{"apple", "1.25"}));
    EXPECT_EQ(Line(text, 2), (std::vector<std::string>{"\xC4pfel", "12"}));
}

TEST(PluToolConvert, UnreadableSourceLeavesTheTargetAlone) {
    TempDir dir;
    const std::string target = dir.File("keep.txt");
    Write(target, "previous contents");
    Write(dir.File("fake.xls"), "name\tprice\r\n");
    for (const std::string& source :
         {dir.File("fake.xls"), dir.File("missing.xls"), dir.File("missing.txt"), dir.File("")}) {
        const Outcome r = Convert(source, target);
        EXPECT_EQ(r.code, kExitFailure) << source;
        EXPECT_EQ(r.err.find("plu-tool convert: " + source + ": cannot be read: "), 0u) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
        EXPECT_EQ(Read(target), "previous contents");
    }
}

TEST(PluToolConvert, UnwritableTargetIsReported) {
    TempDir dir;
    Write(dir.File("in.txt"), "a\tb\r\n");
    const std::string target = dir.File("no/such/folder/out.xls");
    const Outcome r = Convert(dir.File("in.txt"), target);
    EXPECT_EQ(r.code, kExitFailure);
    EXPECT_EQ(r.err.find("plu-tool convert: " + target + ": cannot be written: "), 0u) << r.err;
    EXPECT_FALSE(std::filesystem::exists(target));
}

}  // namespace
}  // namespace plu::cli
