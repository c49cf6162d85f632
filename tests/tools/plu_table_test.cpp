#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

#include "virtual-scale/plu_table.h"

namespace plu::virtual_scale {
namespace {

TEST(PluTableFile, RoundTripKeepsEveryFieldAndAccentedBytes) {
    PluTable t = SamplePluTable();
    t.plus[264] = ScalePlu{false, "CR\xC8ME BR\xDBL\xC9", "", 3, 0, 999999, 6000, 99999};
    t.secondLine = "";
    const PluTable back = ParsePluTable(FormatPluTable(t));
    EXPECT_EQ(back, t);
}

TEST(PluTableFile, SavesAndLoadsThroughAFile) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("plu-table-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string path = (dir / "table.txt").string();
    SavePluTable(SamplePluTable(), path);
    EXPECT_EQ(LoadPluTable(path), SamplePluTable());
    EXPECT_THROW(LoadPluTable((dir / "missing.txt").string()), std::runtime_error);
    std::filesystem::remove_all(dir);
}

TEST(PluTableFile, MistakesNameTheLine) {
    const char* bad[] = {
        "0\tA\t\t1\t0\t1\t1\t1\n",         // numbers start at 1
        "266\tA\t\t1\t0\t1\t1\t1\n",       // beyond the last PLU
        "1\tA\t\t1\t0\t1\t1\n",            // a field missing
        "1\tA\t\tx\t0\t1\t1\t1\n",         // life no number
        "1\tA\t\t1\t0\t1000000\t1\t1\n",   // price beyond six digits
        "business\tonly one\n",
    };
    for (const char* text : bad) {
        try {
            ParsePluTable(std::string("# comment\n") + text, "t");
            ADD_FAILURE() << text;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()).substr(0, 4), "t:2:") << e.what();
        }
    }
}

TEST(PluTableFile, LongTextsAreCutToTheirFields) {
    const PluTable t = ParsePluTable("1\t" + std::string(30, 'N') + "\t" + std::string(90, 'I') +
                                     "\t1\t0\t1\t1\t1\n");
    EXPECT_EQ(t.plus[0].name.size(), 20u);
    EXPECT_EQ(t.plus[0].ingredients.size(), 80u);
}

}  // namespace
}  // namespace plu::virtual_scale
