// Port enumeration on fake /sys/class/tty trees.
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "serial/serial_ports.h"

namespace plu {
namespace {

namespace fs = std::filesystem;

class FakeSysfs {
public:
    FakeSysfs() {
        root_ = fs::path(::testing::TempDir()) /
                ("sysfs_" + std::to_string(::getpid()) + "_" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_ / "class/tty");
        fs::create_directories(root_ / "bus/drivers/serial8250");
        fs::create_directories(root_ / "bus/drivers/serial");
        fs::create_directories(root_ / "bus/drivers/port");
        fs::create_directories(root_ / "bus/drivers/usb-serial");
    }
    ~FakeSysfs() { fs::remove_all(root_); }

    std::string Tty() const { return (root_ / "class/tty").string(); }

    // A terminal without hardware (console, virtual terminal, pty master).
    void Virtual(const std::string& name) { fs::create_directories(root_ / "class/tty" / name); }

    // A terminal whose device chain is device -> port -> controller; the
    // driver sits on the given level (0: the device itself).
    void WithDevice(const std::string& name, const std::string& driver, int driverLevel,
                    const char* type = nullptr) {
        const fs::path controller = root_ / "devices" / name / "ctrl";
        const fs::path port = controller / "port";
        const fs::path device = port / "dev";
        fs::create_directories(device);
        const fs::path levels[] = {device, port, controller};
        fs::create_directory_symlink(root_ / "bus/drivers" / driver, levels[driverLevel] / "driver");
        const fs::path entry = root_ / "class/tty" / name;
        fs::create_directories(entry);
        fs::create_directory_symlink(device, entry / "device");
        if (type) std::ofstream(entry / "type") << type << "\n";
    }

private:
    fs::path root_;
};

TEST(ListSerialPorts, ListsRealPortsOnlyInCaseInsensitiveOrder) {
    FakeSysfs sys;
    sys.Virtual("console");
    sys.Virtual("ptmx");
    sys.Virtual("tty");
    sys.Virtual("tty0");
    sys.Virtual("tty63");
    sys.WithDevice("ttyS0", "port", 0, "4");         // a 16550A found by PnP
    sys.WithDevice("ttyS1", "port", 0, "0");         // placeholder: no UART answered
    sys.WithDevice("ttyS2", "serial8250", 2);        // no type attribute, legacy placeholder
    sys.WithDevice("ttyS3", "serial", 1);            // no type attribute, a real driver
    sys.WithDevice("ttyS10", "port", 0, "4");
    sys.WithDevice("ttyUSB0", "usb-serial", 0);
    sys.WithDevice("ttyACM0", "usb-serial", 1);
    sys.WithDevice("ttymxc0", "serial", 0);          // lower-case driver names sort among the rest
    sys.WithDevice("ttyGS0", "serial", 0);
    sys.Virtual("rfcomm0");                          // bound, not yet connected: no device

    std::vector<std::string> ports = {"com1", "com3", "com4", "com2"};
    ASSERT_TRUE(ListSerialPorts(ports, sys.Tty()));
    const std::vector<std::string> expected = {"rfcomm0", "ttyACM0", "ttyGS0", "ttymxc0",
                                               "ttyS0",   "ttyS10",  "ttyS3",  "ttyUSB0"};
    EXPECT_EQ(ports, expected);
}

TEST(ListSerialPorts, AnEmptySystemGivesAnEmptyList) {
    FakeSysfs sys;
    sys.Virtual("console");
    sys.WithDevice("ttyS0", "port", 0, "0");
    std::vector<std::string> ports = {"com1", "com3", "com4", "com2"};
    ASSERT_TRUE(ListSerialPorts(ports, sys.Tty()));
    EXPECT_TRUE(ports.empty());
}

TEST(ListSerialPorts, AnUnreadableFolderKeepsTheInitialList) {
    std::vector<std::string> ports = {"com1", "com3", "com4", "com2"};
    EXPECT_FALSE(ListSerialPorts(ports, ::testing::TempDir() + "/no/such/sysfs"));
    EXPECT_EQ(ports, (std::vector<std::string>{"com1", "com3", "com4", "com2"}));
}

TEST(ListSerialPorts, ThisMachineCanBeEnumerated) {
    std::vector<std::string> ports = {"sentinel"};
    if (!ListSerialPorts(ports)) GTEST_SKIP() << "no /sys/class/tty here";
    const auto virtualTerminal = [](const std::string& p) {
        return p == "console" || p == "ptmx" || p == "tty" ||
               (p.size() > 3 && p.rfind("tty", 0) == 0 &&
                std::all_of(p.begin() + 3, p.end(), [](char c) { return c >= '0' && c <= '9'; }));
    };
    for (const std::string& p : ports) {
        EXPECT_NE(p, "sentinel");
        EXPECT_FALSE(virtualTerminal(p)) << p;
    }
}

}  // namespace
}  // namespace plu
