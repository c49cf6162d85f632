// plu-tool identify against the virtual scale, and its one-line reasons
// when the device cannot be used.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "integration/process_helpers.h"
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

TEST(PluToolPorts, ListsWhateverThereIsAndSucceeds) {
    const ProgramResult r = RunProgram({BinDir() + "/plu-tool", "ports"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.find("pts"), std::string::npos);  // pseudo-terminals are no serial ports
}

}  // namespace
}  // namespace plu
