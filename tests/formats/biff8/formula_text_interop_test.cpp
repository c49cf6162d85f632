// Formula texts of workbooks that other programs write: python3-xlwt, and
// Gnumeric's ssconvert (re-exporting the xlwt workbook, and converting text
// cells for what xlwt cannot write). A small walk over the Workbook stream
// takes every FORMULA record of column A; each row holds one case.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/regional_settings.h"
#include "formats/biff8/formula_text.h"

namespace plu {
namespace {

namespace fs = std::filesystem;

constexpr const char* kPython = "/usr/bin/python3";
constexpr const char* kSsconvert = "/usr/bin/ssconvert";

struct Case {
    const char* formula;  // as the other program takes it, without "="
    const char* text;     // our formula text
};

// Both xlwt and Gnumeric write these.
const std::vector<Case> kCommonCases = {
    {"A1+1", "A1+1"},
    {"SUM(A1:B3)", "SUM(A1:B3)"},
    {"COUNT(A1:A3)", "COUNT(A1:A3)"},
    {"MAX(A1:A3)-MIN(A1:A3)", "MAX(A1:A3)-MIN(A1:A3)"},
    {"AVERAGE(A1,B1,3.5)", "AVERAGE(A1,B1,3.5)"},
    {"IF(A1>1,\"yes\",\"no\")", "IF(A1>1,\"yes\",\"no\")"},
    {"IF(A1,1,2)", "IF(A1,1,2)"},
    {"ROUND(A1,2)", "ROUND(A1,2)"},
    {"PI()", "PI()"},
    {"NA()", "NA()"},
    {"$A$1*B$2-$C3", "$A$1*B$2-$C3"},
    {"IV65536", "IV65536"},
    {"-A1%", "-A1%"},
    {"-(-3)", "-(-3)"},
    {"(1+2)*3", "(1+2)*3"},
    {"2^10", "2^10"},
    {"1/0", "1/0"},
    {"A1<>B1", "A1<>B1"},
    {"A1>=1", "A1>=1"},
    {"40000+0.5", "40000+0.5"},
    {"TRUE", "True"},
    {"\"ab\"&C1", "\"ab\"&C1"},
    {"\"a\"\"b\"", "\"a\"\"b\""},
    {"\"是\"&A1", "\"是\"&A1"},
    {"'S2'!A1+1", "#NAME?!A1+1"},
    {"'S2'!$A$1:B2", "#NAME?!$A$1:B2"},
};

// Only Gnumeric writes these (array constants, CHOOSE, intersections).
const std::vector<Case> kGnumericCases = {
    {"SUM({1,2;3,4})", "SUM({1,2;3,4})"},
    {"SUM({1;2;3})", "SUM({1;2;3})"},
    {"COUNTA({1,\"a\",TRUE})", "COUNTA({1,\"a\",True})"},
    {"COUNTA({1;#N/A})", "COUNTA({1;#N/A})"},
    {"CHOOSE(2,A1,B1,3)", "CHOOSE(2,A1,B1,3)"},
    {"CONCATENATE(\"a\",B1)", "CONCATENATE(\"a\",B1)"},
    {"SUM(A1:A3)*-2", "SUM(A1:A3)*-2"},
    {"ROUND(1.5,0)+ABS(-3)", "ROUND(1.5,0)+ABS(-3)"},
    {"ISERROR(1/0)", "ISERROR(1/0)"},
    {"NOW()", "NOW()"},
    {"1E+20", "1E20"},
    {"0.001", "0.001"},
    {"#N/A", "#N/A"},
    {"A1:B2 B1:B2", "Unknown ptg[0F]"},
};

std::string Quote(const std::string& s) {
    return "'" + s + "'";
}

class FormulaTextInterop : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/plu-formula-text-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // Runs a shell command with its output in a log; the log is shown when it fails.
    ::testing::AssertionResult Run(const std::string& command) {
        const std::string log = (dir_ / "log.txt").string();
        // Gnumeric keeps settings under HOME and XDG folders: keep them in
        // the temporary folder so the test leaves the machine as it was.
        const std::string env =
            "HOME=" + Quote(dir_.string()) + " XDG_CONFIG_HOME=" + Quote(dir_.string()) +
            " XDG_CACHE_HOME=" + Quote(dir_.string()) + " XDG_DATA_HOME=" + Quote(dir_.string()) +
            " GSETTINGS_BACKEND=memory LC_ALL=C.UTF-8 ";
        if (std::system((env + command + " >" + Quote(log) + " 2>&1").c_str()) == 0) {
            return ::testing::AssertionSuccess();
        }
        std::ifstream in(log);
        std::stringstream text;
        text << in.rdbuf();
        return ::testing::AssertionFailure() << command << " failed:\n" << text.str();
    }

    std::string Helper() const {
        return Quote(PLU_SOURCE_DIR "/tests/formats/biff8/formula_text_workbooks.py");
    }

    // Formula texts of the FORMULA records in column A, by row.
    std::map<int, std::string> FormulaTexts(const fs::path& xls) {
        std::map<int, std::string> texts;
        const fs::path stream = dir_ / "Workbook.bin";
        EXPECT_TRUE(Run(std::string(kPython) + " " + Helper() + " stream " + Quote(xls.string()) +
                        " " + Quote(stream.string())));
        std::ifstream in(stream, std::ios::binary);
        const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)),
                                             std::istreambuf_iterator<char>());
        std::size_t pos = 0;
        while (data.size() - pos >= 4) {
            const unsigned id = data[pos] | (data[pos + 1] << 8);
            std::size_t length = data[pos + 2] | (data[pos + 3] << 8);
            pos += 4;
            length = std::min(length, data.size() - pos);
            const std::vector<std::uint8_t> body(
                data.begin() + static_cast<std::ptrdiff_t>(pos),
                data.begin() + static_cast<std::ptrdiff_t>(pos + length));
            pos += length;
            if (id == 0x0006 && body.size() >= 4 && (body[2] | (body[3] << 8)) == 0) {
                texts[body[0] | (body[1] << 8)] = WideToUtf8(FormulaRecordText(body));
            }
        }
        return texts;
    }

    static void ExpectTexts(const std::vector<Case>& cases, const std::map<int, std::string>& texts,
                            const char* writer) {
        ASSERT_EQ(texts.size(), cases.size()) << writer;
        for (std::size_t row = 0; row < cases.size(); ++row) {
            const auto found = texts.find(static_cast<int>(row));
            ASSERT_NE(found, texts.end()) << writer << " row " << row;
            EXPECT_EQ(found->second, cases[row].text) << writer << " wrote =" << cases[row].formula;
        }
    }

    fs::path dir_;
    ScopedRegionalSettings pinned_{RegionalSettings::Defaults()};
};

bool HavePythonModules() {
    return access(kPython, X_OK) == 0 &&
           std::system(
               (std::string(kPython) + " -c 'import xlwt, xlrd' >/dev/null 2>&1").c_str()) == 0;
}

TEST_F(FormulaTextInterop, WorkbooksOfXlwtAndGnumericGiveTheirFormulaTexts) {
    if (!HavePythonModules()) GTEST_SKIP() << "python3-xlwt and python3-xlrd are not installed";
    const fs::path formulas = dir_ / "formulas.txt";
    {
        std::ofstream out(formulas);
        for (const Case& c : kCommonCases)
            out << c.formula << "\n";
    }
    const fs::path xlwtBook = dir_ / "xlwt.xls";
    ASSERT_TRUE(Run(std::string(kPython) + " " + Helper() + " xlwt " + Quote(formulas.string()) +
                    " " + Quote(xlwtBook.string())));
    ExpectTexts(kCommonCases, FormulaTexts(xlwtBook), "xlwt");

    if (access(kSsconvert, X_OK) != 0) GTEST_SKIP() << "gnumeric (ssconvert) is not installed";
    const fs::path gnumericBook = dir_ / "gnumeric.xls";
    ASSERT_TRUE(Run(std::string(kSsconvert) + " -T Gnumeric_Excel:excel_biff8 " +
                    Quote(xlwtBook.string()) + " " + Quote(gnumericBook.string())));
    ExpectTexts(kCommonCases, FormulaTexts(gnumericBook), "ssconvert");
}

TEST_F(FormulaTextInterop, GnumericArrayConstantsChoicesAndIntersections) {
    if (access(kSsconvert, X_OK) != 0 || !HavePythonModules()) {
        GTEST_SKIP() << "gnumeric (ssconvert) or python3-xlrd is not installed";
    }
    const fs::path csv = dir_ / "formulas.csv";
    {
        std::ofstream out(csv);
        for (const Case& c : kGnumericCases) {
            out << "\"=";
            for (const char* p = c.formula; *p; ++p)
                out << (*p == '"' ? "\"\"" : std::string(1, *p));
            out << "\"\n";
        }
    }
    const fs::path book = dir_ / "gnumeric.xls";
    ASSERT_TRUE(Run(std::string(kSsconvert) + " -T Gnumeric_Excel:excel_biff8 " +
                    Quote(csv.string()) + " " + Quote(book.string())));
    ExpectTexts(kGnumericCases, FormulaTexts(book), "ssconvert");
}

}  // namespace
}  // namespace plu
