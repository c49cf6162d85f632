#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "app/link_session.h"
#include "link/frame.h"
#include "link/frames.h"
#include "serial/comm.h"

namespace plu {
namespace {

// A serial line that records what it is asked to do; names in `missing`
// cannot be opened.
struct FakeLine : ISerialLine {
    std::set<std::string> missing;
    LineChoice choice;
    bool open = false;
    std::vector<std::string> opened;  // "name@baud" per successful open
    std::vector<std::string> written;
    int closes = 0;

    void Configure(const LineChoice& c) override { choice = c; }
    void OpenPort() override {
        if (open) throw ECommsError(kCommAlreadyOpen);
        if (choice.CommName.empty() || missing.count(choice.CommName))
            throw ECommsError(kCommOpenError, ENOENT);
        open = true;
        opened.push_back(choice.CommName + "@" + std::to_string(choice.BaudRate));
    }
    void ClosePort() override {
        if (open) ++closes;
        open = false;
    }
    bool WriteBlock(std::string_view block) override {
        if (!open || block.empty()) return false;
        written.emplace_back(block);
        return true;
    }
    void Deliver(const std::string& block) {
        if (OnReceiveData) OnReceiveData(block.data(), static_cast<uint16_t>(block.size()));
    }
};

class LinkSessionTest : public ::testing::Test {
protected:
    LinkSessionTest() {
        auto owned = std::make_unique<FakeLine>();
        line = owned.get();
        session = std::make_unique<LinkSession>(std::move(owned));
        session->OnError = [this](const LinkError& e) { errors.push_back(e.message); };
        session->OnLayoutSheet = [this](bool reset) { layouts.push_back(reset); };
    }
    void StartWith(std::vector<std::string> ports, std::vector<std::string> first = {}) {
        session->Start(
            [ports](std::vector<std::string>& target) {
                target = ports;
                return true;
            },
            first);
    }
    void Tick(int n = 1) {
        for (int i = 0; i < n; ++i) session->Tick();
    }
    std::string Panel(int p) const { return WideToUtf8(session->State().StatusText[p]); }

    FakeLine* line = nullptr;
    std::unique_ptr<LinkSession> session;
    std::vector<WideString> errors;
    std::vector<bool> layouts;
};

TEST_F(LinkSessionTest, StartUpOpensTheFirstPortAt9600AndPollsAtOnce) {
    EXPECT_EQ(session->State().StatusText[0], u"COM1, 8N1");
    EXPECT_EQ(session->State().StatusText[1], u"Linking......");
    StartWith({"ttyS0", "ttyUSB0"});
    EXPECT_EQ(line->opened, std::vector<std::string>{"ttyS0@9600"});
    EXPECT_EQ(line->choice.ByteSize, TByteSize::_8);
    EXPECT_EQ(line->choice.Parity, TParity::None);
    EXPECT_EQ(line->choice.StopBits, TStopBits::_1);
    EXPECT_EQ(Panel(0), "ttyS0,9600,8N1");
    EXPECT_EQ(line->written, std::vector<std::string>{LinkPollFrame()});
    EXPECT_TRUE(session->TimerEnabled());
    EXPECT_EQ(session->State().Caption, u"VARDEN-15kg QT Formular - Book1");
    EXPECT_EQ(layouts, std::vector<bool>{true});
    const UiActions& a = session->State().Actions;
    EXPECT_FALSE(a.UpLoad || a.DownLoad || a.Pair || a.Stop);
    EXPECT_TRUE(errors.empty());
}

TEST_F(LinkSessionTest, PortsGivenFirstGoInFrontOfTheEnumeratedOnes) {
    StartWith({"ttyS0", "/dev/pts/7"}, {"/dev/pts/7"});
    EXPECT_EQ(session->Ports().Ports, (std::vector<std::string>{"/dev/pts/7", "ttyS0"}));
    EXPECT_EQ(line->opened, std::vector<std::string>{"/dev/pts/7@9600"});
}

TEST_F(LinkSessionTest, FailedEnumerationKeepsTheShippedListAndTheOpenErrorIsShown) {
    line->missing = {"com1", "com3"};
    session->Start([](std::vector<std::string>&) { return false; });
    EXPECT_EQ(session->Ports().Ports, (std::vector<std::string>{"com1", "com3", "com4", "com2"}));
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], u"Open the serial port error\r\nThis serial does not exist or occupied");
    EXPECT_EQ(Panel(0), "com1,9600,8N1");
    // The timer runs on; after 51 ticks the next setting is tried and fails too,
    // which stops supervision.
    EXPECT_TRUE(session->TimerEnabled());
    Tick(51);
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_EQ(Panel(0), "com1,19200,8N1");
    EXPECT_FALSE(session->TimerEnabled());
    Tick(200);
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_TRUE(line->written.empty());
}

TEST_F(LinkSessionTest, NoSerialDevicesGiveAnEmptyListAndTheOpenError) {
    StartWith({});
    EXPECT_TRUE(session->Ports().Ports.empty());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(Panel(0), ",9600,8N1");
}

TEST_F(LinkSessionTest, SilenceStepsTheBaudRateThenThePort) {
    StartWith({"ttyUSB0", "ttyUSB1"});
    const std::vector<std::string> expected = {"ttyUSB0,19200,8N1", "ttyUSB1,1200,8N1",
                                               "ttyUSB1,2400,8N1",  "ttyUSB1,4800,8N1",
                                               "ttyUSB1,9600,8N1",  "ttyUSB1,19200,8N1",
                                               "ttyUSB0,1200,8N1"};
    for (const std::string& panel : expected) {
        Tick(50);
        EXPECT_NE(Panel(0), panel);
        EXPECT_EQ(Panel(1), "Connecting the scale.");
        Tick();
        EXPECT_EQ(Panel(0), panel);
        EXPECT_TRUE(line->open);
        EXPECT_EQ(line->written.back(), LinkPollFrame());  // sent on reopening
    }
    EXPECT_EQ(line->closes, static_cast<int>(expected.size()));
    EXPECT_EQ(line->opened.back(), "ttyUSB0@1200");
    EXPECT_TRUE(errors.empty());
}

TEST_F(LinkSessionTest, AnsweringScaleConnectsAndStopsTheStepping) {
    StartWith({"ttyUSB0"});
    line->Deliver(MakeFrame("LNORV-55X0110015"));
    EXPECT_EQ(Panel(1), "The Scale is connected.");
    EXPECT_EQ(session->State().Caption, u"NORV-15kg QTP Formular - Book1");
    const UiActions& a = session->State().Actions;
    EXPECT_TRUE(a.UpLoad && a.DownLoad && a.Pair);
    for (int i = 0; i < 300; ++i) {
        Tick();
        if (line->written.back() == LinkPollFrame()) line->Deliver(MakeFrame("LNORV-55X0110015"));
    }
    EXPECT_EQ(line->opened.size(), 1u);
    EXPECT_EQ(line->closes, 0);
}

TEST_F(LinkSessionTest, FileNameShowsInTheTitleAtTheNextUpdate) {
    StartWith({"ttyUSB0"});
    session->SetFileName(u"/tmp/shop.xls");
    EXPECT_EQ(session->State().Caption, u"VARDEN-15kg QT Formular - Book1");
    session->UpdateTitle();
    EXPECT_EQ(session->State().Caption, u"VARDEN-15kg QT Formular - /tmp/shop.xls");
}

TEST_F(LinkSessionTest, DialogStopsTheTimerAndClosingDiscardsChanges) {
    StartWith({"ttyUSB0", "ttyUSB1"});
    line->written.clear();
    PortSettings& p = session->Ports();
    p.ShowDialog();
    EXPECT_FALSE(session->TimerEnabled());
    p.BaudIndex = 0;
    p.PortIndex = 1;
    Tick(100);
    EXPECT_TRUE(line->written.empty());  // neither polls nor anything else
    p.FormClose();
    EXPECT_TRUE(session->TimerEnabled());
    EXPECT_EQ(p.PanelText(), "ttyUSB0,9600,8N1");
    EXPECT_EQ(line->opened.size(), 1u);  // not reopened
}

TEST_F(LinkSessionTest, OpenPortReopensWithTheNewChoiceAndPollsAtOnce) {
    StartWith({"ttyUSB0", "ttyUSB1"});
    line->written.clear();
    PortSettings& p = session->Ports();
    p.ShowDialog();
    p.PortIndex = 1;
    p.OpenPortClick();
    EXPECT_FALSE(p.DialogVisible());
    EXPECT_EQ(line->closes, 1);
    EXPECT_EQ(line->opened.back(), "ttyUSB1@9600");
    EXPECT_EQ(line->written, std::vector<std::string>{LinkPollFrame()});
    EXPECT_EQ(Panel(0), "ttyUSB1,9600,8N1");
    EXPECT_TRUE(session->TimerEnabled());
    // Closing the dialog later keeps the confirmed choice.
    p.ShowDialog();
    p.FormClose();
    EXPECT_EQ(p.PortText(), "ttyUSB1");
}

TEST_F(LinkSessionTest, OpenPortFailureKeepsTheDialogOpen) {
    StartWith({"ttyUSB0", "ttyUSB1"});
    line->missing = {"ttyUSB1"};
    PortSettings& p = session->Ports();
    p.ShowDialog();
    p.PortIndex = 1;
    EXPECT_THROW(p.OpenPortClick(), ECommsError);
    EXPECT_TRUE(p.DialogVisible());
    EXPECT_FALSE(session->TimerEnabled());
    p.PortIndex = 0;
    p.OpenPortClick();
    EXPECT_FALSE(p.DialogVisible());
    EXPECT_TRUE(session->TimerEnabled());
}

TEST(PortSettingsDataFormat, EightNoneOneSevenEvenOneAndEverythingElse) {
    const struct {
        std::string text;
        TByteSize size;
        TParity parity;
    } cases[] = {{"8N1", TByteSize::_8, TParity::None},
                 {"7E1", TByteSize::_7, TParity::Even},
                 {"7O1", TByteSize::_7, TParity::Odd},
                 {"", TByteSize::_7, TParity::Odd}};
    for (const auto& c : cases) {
        LineChoice choice;
        PortSettings::DataFormatSettings(c.text, choice);
        EXPECT_EQ(choice.ByteSize, c.size) << c.text;
        EXPECT_EQ(choice.Parity, c.parity) << c.text;
        EXPECT_EQ(choice.StopBits, TStopBits::_1) << c.text;
    }
}

TEST_F(LinkSessionTest, StepsThroughEveryDataFormatBeforeTheBaudRate) {
    StartWith({"ttyUSB0"});
    PortSettings& p = session->Ports();
    p.DataFormats = {"8N1", "7E1"};
    p.DataIndex = 0;
    p.StepSelections();
    EXPECT_EQ(p.PanelText(), "ttyUSB0,9600,7E1");
    p.StepSelections();
    EXPECT_EQ(p.PanelText(), "ttyUSB0,19200,8N1");
    p.StepSelections();
    p.StepSelections();
    EXPECT_EQ(p.PanelText(), "ttyUSB0,1200,8N1");  // one port: back to itself
}

// Re-listing at each visit of the dialog: USB adapters come and go.
class RelistingTest : public LinkSessionTest {
protected:
    std::vector<std::string> present;
    bool enumerable = true;
    PortLister Lister() {
        return [this](std::vector<std::string>& target) {
            if (!enumerable) return false;
            target = present;
            return true;
        };
    }
    void OpenPortOn(const std::string& port) {
        PortSettings& p = session->Ports();
        p.ShowDialog(Lister());
        p.PortIndex = static_cast<int>(std::find(p.Ports.begin(), p.Ports.end(), port) - p.Ports.begin());
        p.OpenPortClick();
    }
};

TEST_F(RelistingTest, SelectionsFollowTheirDeviceByNameAndTheGivenPortStaysFirst) {
    present = {"ttyUSB0", "ttyUSB1"};
    session->Start(Lister(), {"/dev/pts/7"});
    OpenPortOn("ttyUSB1");
    ASSERT_EQ(line->opened.back(), "ttyUSB1@9600");

    present = {"ttyACM0", "ttyACM1", "ttyUSB1"};
    PortSettings& p = session->Ports();
    p.ShowDialog(Lister());
    EXPECT_EQ(p.Ports, (std::vector<std::string>{"/dev/pts/7", "ttyACM0", "ttyACM1", "ttyUSB1"}));
    EXPECT_EQ(p.PortText(), "ttyUSB1");
    p.PortIndex = 1;  // looked at, not confirmed
    p.FormClose();
    EXPECT_EQ(p.PortText(), "ttyUSB1");
    EXPECT_EQ(line->opened.size(), 2u);

    // The same device under its /dev name is listed once, where it was given.
    present = {"ttyUSB0", "ttyUSB1"};
    p.FirstPorts = {"/dev/ttyUSB1"};
    p.ListPorts(Lister());
    EXPECT_EQ(p.Ports, (std::vector<std::string>{"/dev/ttyUSB1", "ttyUSB0"}));
    EXPECT_EQ(p.PortText(), "/dev/ttyUSB1");
}

TEST(SamePort, ByNameUnderDevAndThroughASymbolicLink) {
    EXPECT_TRUE(SamePort("/dev/ttyUSB0", "ttyUSB0"));
    EXPECT_FALSE(SamePort("ttyUSB0", "ttyUSB1"));
    EXPECT_FALSE(SamePort("/dev/pts/7", "pts/8"));
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("plu-same-port-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    { std::ofstream((dir / "device").string()); }
    std::filesystem::create_symlink(dir / "device", dir / "by-id");
    EXPECT_TRUE(SamePort((dir / "by-id").string(), (dir / "device").string()));
    EXPECT_FALSE(SamePort((dir / "by-id").string(), (dir / "missing").string()));
    std::filesystem::remove_all(dir);
}

TEST_F(RelistingTest, VanishedPortStaysListedOnlyWhileSelected) {
    present = {"ttyUSB0", "ttyUSB1"};
    session->Start(Lister());
    present = {"ttyUSB1"};
    PortSettings& p = session->Ports();
    p.ShowDialog(Lister());
    EXPECT_EQ(p.Ports, (std::vector<std::string>{"ttyUSB1", "ttyUSB0"}));
    EXPECT_EQ(p.PortText(), "ttyUSB0");
    p.FormClose();
    EXPECT_EQ(p.PortText(), "ttyUSB0");

    OpenPortOn("ttyUSB1");
    p.ShowDialog(Lister());
    EXPECT_EQ(p.Ports, std::vector<std::string>{"ttyUSB1"});
    p.FormClose();

    // A port remembered at an old visit is not kept once it has gone.
    present = {"ttyUSB0", "ttyUSB1"};
    p.ShowDialog(Lister());
    p.FormClose();
    p.StepSelections();
    p.StepSelections();  // past 19200: the next port
    ASSERT_EQ(p.PortText(), "ttyUSB0");
    present = {"ttyUSB0"};
    p.ShowDialog(Lister());
    EXPECT_EQ(p.Ports, std::vector<std::string>{"ttyUSB0"});
    p.FormClose();

    // Ports that cannot be enumerated leave the list as it is.
    enumerable = false;
    p.ShowDialog(Lister());
    EXPECT_EQ(p.Ports, std::vector<std::string>{"ttyUSB0"});
    EXPECT_EQ(p.PortText(), "ttyUSB0");
}

TEST_F(LinkSessionTest, ShowingTheDialogAgainKeepsTheFirstRememberedChoice) {
    StartWith({"ttyUSB0"});
    PortSettings& p = session->Ports();
    p.ShowDialog();
    p.BaudIndex = 0;
    p.ShowDialog();
    p.FormClose();
    EXPECT_EQ(p.BaudText(), "9600");
}

TEST_F(LinkSessionTest, FailedReopeningSaysSoInTheStatusBarUntilOpenPortSucceeds) {
    StartWith({"ttyUSB0"});
    line->missing = {"ttyUSB0"};
    Tick(51);
    ASSERT_FALSE(session->TimerEnabled());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(Panel(1), "Port ttyUSB0 cannot be opened: no such device");
    Tick(200);
    EXPECT_EQ(Panel(1), "Port ttyUSB0 cannot be opened: no such device");

    PortSettings& p = session->Ports();
    p.ShowDialog();
    line->missing.clear();
    line->written.clear();
    p.OpenPortClick();
    EXPECT_EQ(line->opened.back(), "ttyUSB0@19200");
    EXPECT_EQ(line->written, std::vector<std::string>{LinkPollFrame()});
    Tick();
    EXPECT_EQ(Panel(1), "Connecting the scale.");
}

TEST(PortOpenFailureText, NamesThePortAndAShortReason) {
    const struct {
        std::string port;
        std::u16string message;
        int error;
        std::string text;
    } cases[] = {
        {"ttyUSB0", u"x", ENOENT, "Port ttyUSB0 cannot be opened: no such device"},
        {"ttyS0", u"x", EBUSY, "Port ttyS0 cannot be opened: busy, held by another process"},
        {"ttyS0", u"x", EACCES, "Port ttyS0 cannot be opened: no permission (see the dialout group)"},
        {"ttyS0", u"x", EIO, "Port ttyS0 cannot be opened: Input/output error"},
        {"ttyS0", u"Unable to create event", 0, "Port ttyS0 cannot be opened: Unable to create event"},
        {"", u"Open the serial port error\r\nThis serial does not exist or occupied", 0,
         "Port (none) cannot be opened: Open the serial port error: This serial does not exist or occupied"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WideToUtf8(PortOpenFailureText(c.port, c.message, c.error)), c.text) << c.error;
}

}  // namespace
}  // namespace plu
