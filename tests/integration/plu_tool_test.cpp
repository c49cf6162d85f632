// plu-tool identify against the virtual scale, and its one-line reasons
// when the device cannot be used; saves that the disk or the folder refuse.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "support/processes.h"
#include "serial/comm.h"
#include "serial/ui_dispatcher.h"

namespace plu {
namespace {

using plu::testing::BinDir;
using plu::testing::ProgramResult;
using plu::testing::RunProgram;
using plu::testing::VirtualScaleProcess;

ProgramResult Identify(const std::string& device, const std::string& timeout = "5") {
    return RunProgram({BinDir() + "/plu-tool", "identify", "--port", device, "--timeout", timeout});
}

// A one-line reason on standard error, nothing on standard output.
void ExpectOneLineReason(const ProgramResult& r, const std::string& words) {
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_NE(r.err.find(words), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
}

TEST(PluToolIdentify, PrintsTheModelTheScaleWasConfiguredWith) {
    VirtualScaleProcess scale({"--keys", "55", "--capacity", "6", "--unit", "oz", "--units", "kg,oz"});
    const ProgramResult r = Identify(scale.Device());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "model: NORV-240oz\nkeys: 55\nunits: kg, oz\nport: " + scale.Device() +
                         " at 9600 baud\n");
}

TEST(PluToolIdentify, FindsTheScaleThroughASymbolicLinkAtItsOwnBaudRate) {
    const auto dir = std::filesystem::temp_directory_path() / ("plu-tool-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string link = (dir / "ttyScale").string();
    {
        VirtualScaleProcess scale({"--link", link, "--baud", "2400", "--match-baud"});
        EXPECT_EQ(scale.Device(), link);
        // 9600 and 19200 get no answer; after 1200 comes 2400.
        const ProgramResult r = Identify(link, "8");
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find("model: NORV-15kg\nkeys: 5\nunits: kg, lb\n"), std::string::npos) << r.out;
        EXPECT_NE(r.out.find("at 2400 baud"), std::string::npos) << r.out;
        EXPECT_GT(r.seconds, 3.0);
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link)));
    std::filesystem::remove_all(dir);
}

TEST(PluToolIdentify, MissingDeviceFailsAtOnce) {
    const ProgramResult r = Identify("/dev/plu-no-such-device");
    EXPECT_EQ(r.exitCode, 3);
    ExpectOneLineReason(r, "/dev/plu-no-such-device: no such device");
    EXPECT_LT(r.seconds, 2.0);
}

TEST(PluToolIdentify, DeviceHeldByAnotherProcessIsBusy) {
    VirtualScaleProcess scale;
    QueuedDispatcher dispatcher;
    TComm holder(dispatcher);
    holder.SetCommName(scale.Device());
    holder.OpenPort();
    const ProgramResult r = Identify(scale.Device());
    holder.ClosePort();
    dispatcher.Pump();
    EXPECT_EQ(r.exitCode, 3);
    ExpectOneLineReason(r, "busy, held by another process");
    EXPECT_LT(r.seconds, 2.0);
}

TEST(PluToolIdentify, SilentDeviceFailsWithinTheTimeLimit) {
    VirtualScaleProcess scale({"--fault", "silent:all"});
    const ProgramResult r = Identify(scale.Device(), "1.5");
    EXPECT_EQ(r.exitCode, 4);
    ExpectOneLineReason(r, "no scale answered within 1.5 s");
    EXPECT_GE(r.seconds, 1.4);
    EXPECT_LT(r.seconds, 3.0);
}

TEST(PluToolIdentify, DeviceWithoutRightsNamesTheDialoutGroup) {
    if (geteuid() != 0 || access("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "needs root to run plu-tool as an unprivileged user";
    VirtualScaleProcess scale;  // its device belongs to root, mode 0620
    const ProgramResult r =
        RunProgram({"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                    BinDir() + "/plu-tool", "identify", "--port", scale.Device(), "--timeout", "3"});
    EXPECT_EQ(r.exitCode, 3);
    ExpectOneLineReason(r, "dialout");
}

// A private folder, removed afterwards.
class Folder {
  public:
    Folder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "plu-save-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        path_ = pattern;
    }
    ~Folder() {
        chmod(path_.c_str(), 0700);
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& Path() const { return path_; }
    // The names in the folder, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(path_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    std::string path_;
};

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A full table as text: far more than the few kilobytes the tests allow.
std::string LargeTableText() {
    std::string text = "Business Name\t\tCORNER SHOP\r\n\t\tOPEN DAILY\r\n\r\n";
    for (int n = 1; n <= 265; ++n)
        text += "\tPLU " + std::to_string(n) + "\tSALT WATER AND SPICES " + std::to_string(n) +
                "\t5\tkg\t1.25\t0.100\t" + std::to_string(n) + "\r\n";
    return text;
}

// A save stopped half-way by the file size limit, as a full disk stops it:
// the error names the file, the old file stays byte for byte, and no
// temporary file is left beside it (the tool must not die of SIGXFSZ).
TEST(PluToolConvert, ASaveCutShortBySizeLimitKeepsTheOldFileAndLeavesNoTemporary) {
    if (access("/usr/bin/prlimit", X_OK) != 0) GTEST_SKIP() << "prlimit is not installed";
    Folder dir;
    WriteBytes(dir / "in.txt", LargeTableText());
    for (const std::string name : {"out.xls", "out.txt"}) {
        SCOPED_TRACE(name);
        WriteBytes(dir / name, "the old file\n");
        const ProgramResult r = RunProgram({"/usr/bin/prlimit", "--fsize=4096",
                                            BinDir() + "/plu-tool", "convert", dir / "in.txt",
                                            dir / name});
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_NE(r.err.find(dir / name + ": cannot be written: "), std::string::npos) << r.err;
        EXPECT_EQ(ReadBytes(dir / name), "the old file\n");
    }
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"in.txt", "out.txt", "out.xls"}));
}

// The same in a folder the user may not write to (as nobody: root may).
TEST(PluToolConvert, AFolderWithoutWritePermissionKeepsTheOldFile) {
    if (geteuid() != 0 || access("/usr/bin/setpriv", X_OK) != 0)
        GTEST_SKIP() << "needs root to run plu-tool as an unprivileged user";
    Folder dir;
    WriteBytes(dir / "in.txt", LargeTableText());
    for (const char* name : {"out.xls", "out.txt"})
        WriteBytes(dir / name, "the old file\n");
    ASSERT_EQ(chmod(dir.Path().c_str(), 0555), 0);
    for (const std::string name : {"out.xls", "out.txt"}) {
        SCOPED_TRACE(name);
        const ProgramResult r = RunProgram({"/usr/bin/setpriv", "--reuid=nobody",
                                            "--regid=nogroup", "--clear-groups",
                                            BinDir() + "/plu-tool", "convert", dir / "in.txt",
                                            dir / name});
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_NE(r.err.find(dir / name + ": cannot be written: "), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Permission denied"), std::string::npos) << r.err;
        EXPECT_EQ(ReadBytes(dir / name), "the old file\n");
    }
    EXPECT_EQ(dir.Names(), (std::vector<std::string>{"in.txt", "out.txt", "out.xls"}));
}

TEST(PluToolPorts, ListsWhateverThereIsAndSucceeds) {
    const ProgramResult r = RunProgram({BinDir() + "/plu-tool", "ports"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.find("pts"), std::string::npos);  // pseudo-terminals are no serial ports
}

}  // namespace
}  // namespace plu
