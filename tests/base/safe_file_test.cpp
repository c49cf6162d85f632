#include "base/safe_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace plu;
namespace fs = std::filesystem;

namespace {
class SafeFile : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/plu-safe-XXXXXX";
        dir_ = mkdtemp(tmpl);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string dir_;
};

std::span<const uint8_t> Bytes(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}
}  // namespace

TEST_F(SafeFile, ReplacesContentsAndKeepsPermissions) {
    std::string path = dir_ + "/a.xls";
    WriteFileAtomically(path, Bytes("first"));
    ::chmod(path.c_str(), 0640);
    WriteFileAtomically(path, Bytes("second"));
    EXPECT_EQ(ReadWholeFile(path), "second");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(SafeFile, AFailedWriteKeepsTheOldFileAndLeavesNoTemporary) {
    std::string path = dir_ + "/a.txt";
    WriteFileAtomically(path, Bytes("precious"));
    EXPECT_THROW(WriteFileAtomically(path, [](int) { throw EFileError("disk full"); }),
                 EFileError);
    EXPECT_EQ(ReadWholeFile(path), "precious");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(SafeFile, ClearErrorsForMissingFoldersAndFiles) {
    try {
        WriteFileAtomically(dir_ + "/no/such/folder/x", Bytes("x"));
        FAIL();
    } catch (const EFileError& e) {
        EXPECT_NE(std::string(e.what()).find("no/such/folder"), std::string::npos);
    }
    EXPECT_THROW(ReadWholeFile(dir_ + "/missing"), EFileError);
    EXPECT_THROW(ReadWholeFile(dir_), EFileError);
    EXPECT_THROW(WriteFileAtomically(dir_, Bytes("x")), EFileError);
}
