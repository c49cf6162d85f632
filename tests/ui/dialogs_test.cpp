// The two small dialogs on the offscreen platform, driven by clicks and
// keys: "Comm Port" over a link session with a serial line of the test's
// own, "Date And Time" over a fake clock (never the machine's).
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>
#include <QTest>
#include <QTimeEdit>
#include <set>

#include "app/link_session.h"
#include "base/date_time.h"
#include "link/frames.h"
#include "serial/comm.h"
#include "ui/comm_port_dialog.h"
#include "ui/date_time_dialog.h"
#include "ui_test_support.h"

namespace plu {
namespace {

using testing::RecordedErrors;
using testing::WaitFor;

// A serial line that records opens; names in `missing` cannot be opened.
struct FakeLine : ISerialLine {
    std::set<std::string> missing;
    LineChoice choice;
    bool open = false;
    std::vector<std::string> opened;  // "name@baud"
    void Configure(const LineChoice& c) override { choice = c; }
    void OpenPort() override {
        if (open) throw ECommsError(kCommAlreadyOpen);
        if (missing.count(choice.CommName)) throw ECommsError(kCommOpenError, ENOENT);
        open = true;
        opened.push_back(choice.CommName + "@" + std::to_string(choice.BaudRate));
    }
    void ClosePort() override { open = false; }
    bool WriteBlock(std::string_view) override { return open; }
};

class CommPortDialogTest : public ::testing::Test {
  protected:
    CommPortDialogTest() {
        auto owned = std::make_unique<FakeLine>();
        line = owned.get();
        session = std::make_unique<LinkSession>(std::move(owned));
        session->Start(Lister());
        dialog = std::make_unique<TfrmCommPort>(session->Ports(), Lister());
    }
    PortLister Lister() {
        return [this](std::vector<std::string>& ports) {
            ports = present;
            return true;
        };
    }
    void Open() {
        dialog->Show();
        QApplication::setActiveWindow(dialog.get());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    QStringList Items(QComboBox* list) const {
        QStringList items;
        for (int i = 0; i < list->count(); ++i)
            items << list->itemText(i);
        return items;
    }

    std::vector<std::string> present = {"ttyUSB0", "ttyUSB1"};
    FakeLine* line = nullptr;
    std::unique_ptr<LinkSession> session;
    std::unique_ptr<TfrmCommPort> dialog;
};

TEST_F(CommPortDialogTest, CloseBoxRestoresTheChoiceAndDoesNotReopen) {
    Open();
    EXPECT_FALSE(session->TimerEnabled());
    dialog->cmbBaud()->setFocus();
    QTest::keyClick(dialog->cmbBaud(), Qt::Key_Up);
    ASSERT_EQ(dialog->cmbBaud()->currentText(), "4800");
    dialog->close();  // what the window system's close box does
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(session->Ports().BaudText(), "9600");
    EXPECT_EQ(line->opened, std::vector<std::string>{"ttyUSB0@9600"});
    EXPECT_TRUE(session->TimerEnabled());
    Open();
    EXPECT_EQ(dialog->cmbBaud()->currentText(), "9600");
}

TEST_F(CommPortDialogTest, OpenPortFailureShowsTheErrorAndKeepsTheDialog) {
    RecordedErrors errors;
    line->missing = {"ttyUSB1"};
    Open();
    dialog->cmbPort()->setFocus();
    QTest::keyClick(dialog->cmbPort(), Qt::Key_Down);
    ASSERT_EQ(dialog->cmbPort()->currentText(), "ttyUSB1");
    QTest::mouseClick(dialog->Button1(), Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    ASSERT_EQ(errors.shown.size(), 1);
    EXPECT_EQ(errors.shown[0], QString::fromUtf8(kCommOpenError));
    EXPECT_EQ(session->State().StatusText[kLinkPanel],
              u"Port ttyUSB1 cannot be opened: no such device");

    QTest::keyClick(dialog->cmbPort(), Qt::Key_Up);
    QTest::mouseClick(dialog->Button1(), Qt::LeftButton);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(line->opened.back(), "ttyUSB0@9600");
    EXPECT_TRUE(session->TimerEnabled());
}

TEST_F(CommPortDialogTest, ReadsThePortsAgainAndFollowsTheDeviceByName) {
    present = {"ttyACM0", "ttyUSB0"};  // an adapter came in front
    Open();
    EXPECT_EQ(Items(dialog->cmbPort()), (QStringList{"ttyACM0", "ttyUSB0"}));
    EXPECT_EQ(dialog->cmbPort()->currentText(), "ttyUSB0");
    dialog->close();
    EXPECT_EQ(session->Ports().PortText(), "ttyUSB0");
}

// ---- Date And Time ------------------------------------------------------------------------

struct FakeClock : IClock {
    TDateTime now = EncodeDate(2024, 3, 15) + EncodeTime(14, 5, 9, 0);
    std::vector<TDateTime> set;
    TDateTime Now() override { return now; }
    bool SetLocalTime(TDateTime when) override {
        set.push_back(when);
        now = when;
        return true;
    }
};

struct RecordingHost : IPluHost {
    std::vector<bool> locks;
    void ShowMessage(WideStringView, WideStringView, MessageIcon) override {}
    void ShowErrorMessage(WideStringView) override {}
    void SetStatusText(int, WideStringView) override {}
    void LockUi(bool download) override { locks.push_back(download); }
    void UnlockUi() override {}
    WideString FontNameBoxText() const override { return {}; }
    void SetFontNameBoxText(WideStringView) override {}
    WideString FontSizeBoxText() const override { return {}; }
    void SetFontSizeBoxText(WideStringView) override {}
    void NewFile() override {}
    void LayoutSheet(bool) override {}
    TKtCustomGrid* Grid() override { return nullptr; }
};

class DateTimeDialogTest : public ::testing::Test {
  protected:
    DateTimeDialogTest() : pairing(state, host), dialog(clock, pairing) {
        dialog.Timer1().setInterval(20);  // the ticking, faster
    }
    void Open() {
        dialog.Show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    QString Shown() const {
        return dialog.dtpDate()->date().toString(Qt::ISODate) + " " +
               dialog.dtpTime()->time().toString(Qt::ISODate);
    }

    FakeClock clock;
    LinkState state;
    RecordingHost host;
    ClockPairing pairing;
    TfrmDateTime dialog;
};

TEST_F(DateTimeDialogTest, PickersTickUntilTheTimePickerGetsTheFocus) {
    EXPECT_EQ(Shown(), "2024-03-15 14:05:09");
    Open();
    clock.now += EncodeTime(0, 0, 3, 0);
    EXPECT_TRUE(WaitFor([&] { return Shown() == "2024-03-15 14:05:12"; }, 2000))
        << Shown().toStdString();
    QTest::mouseClick(dialog.dtpTime(), Qt::LeftButton);
    ASSERT_TRUE(dialog.dtpTime()->hasFocus());
    clock.now += EncodeTime(0, 0, 10, 0);
    QTest::qWait(200);
    EXPECT_EQ(Shown(), "2024-03-15 14:05:12");
    EXPECT_FALSE(dialog.Timer1().isActive());

    // Closing runs the timer again; reopened, the pickers tick again.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog.Timer1().isActive());
    Open();
    EXPECT_TRUE(WaitFor([&] { return Shown() == "2024-03-15 14:05:22"; }, 2000))
        << Shown().toStdString();
}

TEST_F(DateTimeDialogTest, TickingIntoTheNextDayIsNotTakenForTheUsersDateChange) {
    clock.now = EncodeDate(2024, 3, 15) + EncodeTime(23, 59, 59, 0);
    Open();
    clock.now = EncodeDate(2024, 3, 16) + EncodeTime(0, 0, 1, 0);
    EXPECT_TRUE(WaitFor([&] { return Shown() == "2024-03-16 00:00:01"; }, 2000))
        << Shown().toStdString();
    EXPECT_TRUE(dialog.Timer1().isActive());
    EXPECT_FALSE(dialog.Logic().TimeEdited);
}

TEST_F(DateTimeDialogTest, EscapeAndTheCloseBoxSendTheClockFrameUnderTheLock) {
    Open();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(state.NextFrame, "\x02T18030F0E0509C2\r\x03");
    EXPECT_EQ(host.locks, std::vector<bool>{false});

    clock.now = EncodeDate(2025, 1, 2) + EncodeTime(3, 4, 5, 0);
    Open();
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(state.NextFrame, ClockFrame(clock.now));
    EXPECT_EQ(host.locks.size(), 2u);
    EXPECT_TRUE(clock.set.empty());
}

TEST_F(DateTimeDialogTest, ConfirmAfterADateChangeSetsTheClockToThatDateAndTheShownTime) {
    Open();
    dialog.dtpDate()->setFocus();
    dialog.dtpDate()->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(dialog.dtpDate(), Qt::Key_Up);
    ASSERT_EQ(dialog.dtpDate()->date(), QDate(2024, 3, 16));
    clock.now += EncodeTime(0, 0, 30, 0);  // the pickers no longer follow
    QTest::mouseClick(dialog.Button1(), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    const TDateTime expected = EncodeDate(2024, 3, 16) + EncodeTime(14, 5, 9, 0);
    ASSERT_EQ(clock.set.size(), 1u);
    EXPECT_NEAR(clock.set[0], expected, 1e-9);
    EXPECT_EQ(state.NextFrame, ClockFrame(expected));
}

TEST(SmallDialogs, EveryControlHasAnAccessibleName) {
    auto owned = std::make_unique<FakeLine>();
    LinkSession session(std::move(owned));
    TfrmCommPort port(session.Ports(), {});
    FakeClock clock;
    LinkState state;
    RecordingHost host;
    ClockPairing pairing(state, host);
    TfrmDateTime time(clock, pairing);
    for (QWidget* form : {static_cast<QWidget*>(&port), static_cast<QWidget*>(&time)}) {
        QList<QWidget*> controls = form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        controls << form;
        for (QWidget* w : controls) {
            QAccessibleInterface* a = QAccessible::queryAccessibleInterface(w);
            ASSERT_NE(a, nullptr);
            EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << w->metaObject()->className();
        }
    }
}

}  // namespace
}  // namespace plu

int main(int argc, char** argv) {
    return plu::testing::RunWidgetTests(argc, argv);
}
