// A port the user may not open: checked as the unprivileged user "nobody".
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "support/pty_pair.h"

namespace plu {
namespace {

namespace fs = std::filesystem;

TEST(CommRights, AUserWithoutRightsIsToldAboutTheDialoutGroup) {
    if (geteuid() != 0) GTEST_SKIP() << "switching to another user needs root";
    if (!getpwnam("nobody")) GTEST_SKIP() << "no user nobody on this machine";
    if (access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv is not installed";

    test::PtyPair pty;
    ASSERT_TRUE(pty.Ok());
    ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0600), 0);  // root's own, nobody may not open it

    // The build folder may not be reachable for nobody: run a copy from a
    // folder everyone may enter.
    char dirTemplate[] = "/tmp/plu_rights_XXXXXX";
    ASSERT_NE(mkdtemp(dirTemplate), nullptr);
    const fs::path dir = dirTemplate;
    ASSERT_EQ(chmod(dir.c_str(), 0755), 0);
    const fs::path probe = dir / "open_probe";
    fs::copy_file(PLU_OPEN_PROBE, probe);
    ASSERT_EQ(chmod(probe.c_str(), 0755), 0);

    const std::string command = "ASAN_OPTIONS=detect_leaks=0 /usr/bin/setpriv --reuid=nobody "
                                "--regid=nogroup --clear-groups " + probe.string() + " " +
                                pty.SlavePath() + " 2>&1";
    FILE* out = popen(command.c_str(), "r");
    ASSERT_NE(out, nullptr);
    std::string text;
    char buf[512];
    while (size_t n = fread(buf, 1, sizeof buf, out)) text.append(buf, n);
    const int status = pclose(out);
    fs::remove_all(dir);

    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) GTEST_SKIP() << "setpriv failed: " << text;
    ASSERT_TRUE(WIFEXITED(status)) << text;
    ASSERT_EQ(WEXITSTATUS(status), 0) << text;
    EXPECT_EQ(text.rfind("Open the serial port error\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("No permission to open " + pty.SlavePath()), std::string::npos) << text;
    EXPECT_NE(text.find("dialout group"), std::string::npos) << text;
    EXPECT_NE(text.find("usermod -aG dialout nobody"), std::string::npos) << text;
}

}  // namespace
}  // namespace plu
