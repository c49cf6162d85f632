// Workbooks written by Excel and other programs (the corpus of real files
// described in ../shared/corpus/xls/README.md, and the few copied into
// tests/fixtures/xls): every BIFF8 workbook xlrd reads opens in a sheet
// control with the values xlrd reads on its first sheet; the others are
// refused with a message that says why.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "base/text_measurer.h"
#include "formats/excel/load_workbook.h"
#include "grid/cell.h"
#include "import_test_support.h"
#include "sheets/sheet_control.h"
#include "support/facts.h"

namespace plu {
namespace {

using namespace test;

FixedTextMeasurer measurer;

struct XlrdCell {
    int row = 0, col = 0;
    std::string kind, value;
};

// xlrd's reading of the first worksheet; false when xlrd cannot read the file.
bool XlrdFirstSheet(const std::string& path, std::vector<XlrdCell>& cells) {
    int status = 0;
    const std::string out =
        Run("/usr/bin/python3 " + SourceFile("tests/formats/excel/xlrd_first_sheet.py") + " '" +
                path + "'",
            &status);
    if (status != 0) return false;
    for (plu::testing::Fact f : plu::testing::Facts(out)) {
        while (f.size() < 4)
            f.emplace_back();
        cells.push_back({std::stoi(f[0]), std::stoi(f[1]), f[2], f[3]});
    }
    return true;
}

// The differences between our first sheet and xlrd's reading, one line each.
std::string Differences(const TVexaGridSheet& sheet, const std::vector<XlrdCell>& cells) {
    std::string diffs;
    int shown = 0;
    for (const XlrdCell& x : cells) {
        const TKtCell* cell = sheet.FindCell(x.col + 1, x.row + 1);
        std::string ours = cell ? WideToUtf8(cell->GetAsString()) : "<no cell>";
        bool same;
        if (x.kind == "number" || x.kind == "bool") {
            const double want = std::stod(x.value);
            double got = NAN;
            try {
                if (cell) got = cell->GetAsFloat();
            } catch (const Exception&) {
            }
            same = std::fabs(got - want) <= 1e-9 * std::max(1.0, std::fabs(want)) ||
                   (std::isnan(got) && std::isnan(want));
        } else {
            same = ours == x.value;
        }
        if (!same && shown++ < 5)
            diffs += "  R" + std::to_string(x.row + 1) + "C" + std::to_string(x.col + 1) +
                     ": xlrd " + x.kind + " \"" + x.value + "\", ours \"" + ours + "\"\n";
    }
    return diffs;
}

std::vector<std::string> WorkbooksIn(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec))
        if (e.path().extension() == ".xls") files.push_back(e.path().string());
    std::sort(files.begin(), files.end());
    return files;
}

// compareValues false: the workbook must open (or be refused as xlrd
// refuses it), its values are not compared.
void CheckWorkbook(const std::string& path, bool compareValues = true) {
    SCOPED_TRACE(path);
    std::vector<XlrdCell> cells;
    const bool xlrdReads = XlrdFirstSheet(path, cells);
    TVexaSheetControl control;
    try {
        LoadWorkbook(control, Utf8ToWide(path), &measurer);
    } catch (const Exception& e) {
        EXPECT_FALSE(xlrdReads) << "refused: " << WideToUtf8(e.Message());
        EXPECT_FALSE(e.Message().empty());
        return;
    }
    if (!xlrdReads) return;  // damaged in a way we tolerate
    ASSERT_GT(control.SheetCount(), 0);
    if (!compareValues) return;
    const std::string diffs = Differences(control.Sheets(0), cells);
    EXPECT_TRUE(diffs.empty()) << diffs;
}

TEST(RealWorkbooks, FixturesOpenWithTheValuesXlrdReadsOrAreRefusedWithAReason) {
    if (!HavePythonXlwt()) GTEST_SKIP() << "python3-xlrd is not installed";
    for (const std::string& path : WorkbooksIn(SourceFile("tests/fixtures/xls")))
        CheckWorkbook(path);
}

TEST(RealWorkbooks, RefusedFilesSayWhy) {
    const std::pair<const char*, const char*> cases[] = {
        {"password.xls", "password-protected"},
        {"testEXCEL_95.xls", "Excel 5.0 or Excel 95"},
    };
    for (const auto& [file, why] : cases) {
        TVexaSheetControl control;
        try {
            LoadWorkbook(control, Utf8ToWide(SourceFile(std::string("tests/fixtures/xls/") + file)),
                         &measurer);
            ADD_FAILURE() << file << " opened";
        } catch (const Exception& e) {
            EXPECT_NE(WideToUtf8(e.Message()).find(why), std::string::npos)
                << WideToUtf8(e.Message());
        }
    }
}

// Workbooks whose live formulas calculate otherwise than the result the
// file cached; the cells are read, the difference is the formula engine's:
const char* const kCalculatedOtherwise[] = {
    "12843-1.xls",  // IF(F10>0,L10/F10,0) with F10 = 0: IF works out every argument here, so
                    // #DIV/0! wins
    "14330-1.xls",  // IF(H1="",...) over a #REF! in H1: the error does not propagate here
    "31749.xls",    // SUM over cells holding #REF!: #VALUE! here where #REF! is cached
    "44861.xls",    // written by Apache POI with 0 cached for every formula
};

// The whole corpus, when this machine has it.
TEST(RealWorkbooks, CorpusOpensWithTheValuesXlrdReads) {
    const std::string corpus = SourceFile("../shared/corpus/xls");
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    if (!HavePythonXlwt()) GTEST_SKIP() << "python3-xlrd is not installed";
    for (const char* folder : {"/xlrd", "/poi"}) {
        for (const std::string& path : WorkbooksIn(corpus + folder)) {
            const std::string name = std::filesystem::path(path).filename().string();
            const bool otherwise =
                std::find(std::begin(kCalculatedOtherwise), std::end(kCalculatedOtherwise), name) !=
                std::end(kCalculatedOtherwise);
            CheckWorkbook(path, !otherwise);
        }
    }
}

}  // namespace
}  // namespace plu
