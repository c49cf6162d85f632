// The first main window on the offscreen platform, connected to the virtual
// scale through TComm as plu-editor --virtual-scale does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QProgressBar>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QListWidget>

#include "plu/plu_sheet.h"
#include "sheets/combo_cells.h"
#include "sheets/spin_cells.h"
#include "ui/comm_port_dialog.h"
#include "ui/grid_view.h"
#include "ui/qt_convert.h"
#include "ui/sheet_tab_strip.h"

#include "app/scripted_shell.h"
#include "ui/main_window.h"
#include "ui/virtual_scale_child.h"
#include "ui_test_support.h"

namespace plu {
namespace {

// The application object lives in main() below, so that it is destroyed
// before Qt's own global objects.
void App() { ASSERT_NE(QApplication::instance(), nullptr); }

using testing::WaitFor;

TEST(MainWindow, ConnectsToTheVirtualScaleWithinFiveSeconds) {
    App();
    VirtualScaleChild scale;
    QString error;
    ASSERT_TRUE(scale.Start(QStringLiteral(PLU_BIN_DIR "/virtual-scale"), error)) << error.toStdString();
    {
        MainWindow window;
        EXPECT_EQ(window.PanelText(0), QStringLiteral("COM1, 8N1"));
        EXPECT_EQ(window.PanelText(1), QStringLiteral("Linking......"));
        window.Start([](std::vector<std::string>&) { return false; },
                     {scale.Device().toStdString()});
        window.show();
        EXPECT_EQ(window.windowTitle(), QStringLiteral("VARDEN-15kg QT Formular - Book1"));
        EXPECT_EQ(window.PanelText(0), scale.Device() + QStringLiteral(",9600,8N1"));
        EXPECT_TRUE(WaitFor([&] { return window.PanelText(1) == "The Scale is connected."; }, 5000))
            << window.PanelText(1).toStdString();
        EXPECT_EQ(window.PanelText(2), QString());
        // Five keys as at start-up: the caption stays until the next title update.
        EXPECT_EQ(window.windowTitle(), QStringLiteral("VARDEN-15kg QT Formular - Book1"));
    }
    scale.Stop();
    EXPECT_FALSE(scale.Running());
}

TEST(MainWindow, FiftyFiveKeyScaleRenewsTheCaption) {
    App();
    // A scale with 55 keys: the key count changes, so the title follows at once.
    QProcess process;
    process.start(QStringLiteral(PLU_BIN_DIR "/virtual-scale"),
                  {QStringLiteral("--exit-with-parent"), QStringLiteral("--keys"), QStringLiteral("55")});
    ASSERT_TRUE(process.waitForStarted(5000));
    ASSERT_TRUE(WaitFor([&] { return process.canReadLine(); }, 5000));
    const std::string device = QString::fromUtf8(process.readLine()).trimmed().toStdString();
    {
        MainWindow window;
        window.Start([device](std::vector<std::string>& ports) {
            ports = {device};
            return true;
        });
        EXPECT_TRUE(WaitFor([&] { return window.windowTitle() == "NORV-15kg QTP Formular - Book1"; }, 5000))
            << window.windowTitle().toStdString();
    }
    process.terminate();
    process.waitForFinished(2000);
}

TEST(MainWindow, MissingPortShowsTheOpenErrorAndKeepsRunning) {
    App();
    MainWindow window;
    window.Start([](std::vector<std::string>& ports) {
        ports = {"/dev/plu-test-no-such-port"};
        return true;
    });
    QMessageBox* box = nullptr;
    EXPECT_TRUE(WaitFor(
        [&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if ((box = qobject_cast<QMessageBox*>(w)) != nullptr) return true;
            return false;
        },
        1000));
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), QStringLiteral("Open the serial port error\r\nThis serial does not exist or occupied"));
    box->close();
    EXPECT_TRUE(WaitFor([&] { return window.PanelText(1) == "Connecting the scale."; }, 1000));
}

// A window whose boxes and file dialogs the test answers; started on a port
// that does not exist (the open error is recorded, not shown).
struct ScriptedWindow {
    testing::ScriptedShell dialogs;
    MainWindow window{MainWindow::Options{&dialogs, nullptr}};
    ScriptedWindow() {
        window.Start([](std::vector<std::string>& ports) {
            ports = {"/dev/plu-test-no-such-port"};
            return true;
        });
        window.show();
    }
};

TEST(MainWindow, MenusToolbarsAndCommandsAtStartUp) {
    App();
    ScriptedWindow w;
    EXPECT_EQ(w.dialogs.errors.size(), 1u);  // the port
    QStringList bars;
    for (QToolBar* bar : w.window.findChildren<QToolBar*>())
        if (bar->parent() == &w.window) bars << bar->objectName();
    EXPECT_EQ(bars, (QStringList{"ToolBar1", "ToolBar3", "ToolBar2"}));
    for (Command c : {Command::UpLoad, Command::DownLoadStart, Command::DownLoadStop, Command::Pair})
        EXPECT_FALSE(w.window.Action(c)->isEnabled()) << w.window.Action(c)->text().toStdString();
    EXPECT_TRUE(w.window.Action(Command::FileNew)->isEnabled());
    EXPECT_EQ(w.window.Action(Command::FileNew)->shortcut(), QKeySequence(QStringLiteral("Ctrl+N")));
    EXPECT_EQ(w.window.Action(Command::DownLoadStop)->shortcut(), QKeySequence(Qt::Key_F9));
    EXPECT_EQ(w.window.Action(Command::EditCut)->toolTip(), QStringLiteral("Cut"));
    EXPECT_EQ(w.window.Action(Command::EditCut)->statusTip(),
              QStringLiteral("Cuts the selection and puts it on the Clipboard"));
    EXPECT_FALSE(w.window.ProgressBar()->isVisible());
}

TEST(MainWindow, ExitAsksTheSaveQuestionAndCancelKeepsTheWindow) {
    App();
    ScriptedWindow w;
    w.dialogs.answers = {DialogAnswer::Cancel, DialogAnswer::No};
    w.window.Action(Command::FileExit)->trigger();
    EXPECT_TRUE(WaitFor([&] { return w.dialogs.questions.size() == 1; }, 1000));
    EXPECT_TRUE(w.window.isVisible());
    EXPECT_TRUE(w.window.close());  // "No": the window goes
    EXPECT_EQ(w.dialogs.questions.size(), 2u);
    EXPECT_EQ(w.dialogs.questions[1], u"Save the current form?");
}

TEST(MainWindow, SerialSetPausesSupervisionWhileThePortDialogShows) {
    App();
    ScriptedWindow w;
    w.window.Action(Command::SerialSet)->trigger();
    ASSERT_TRUE(WaitFor([&] { return w.window.PortDialog()->isVisible(); }, 1000));
    EXPECT_FALSE(w.window.Session().TimerEnabled());  // supervision pauses while it shows
    w.window.PortDialog()->close();
    EXPECT_TRUE(w.window.Session().TimerEnabled());
}

// A window started on the virtual scale, its boxes answered by the test.
class ScaleWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        App();
        QString error;
        ASSERT_TRUE(scale.Start(QStringLiteral(PLU_BIN_DIR "/virtual-scale"), error)) << error.toStdString();
        window = std::make_unique<MainWindow>(MainWindow::Options{&dialogs, nullptr});
        window->Start([](std::vector<std::string>&) { return false; }, {scale.Device().toStdString()});
        window->resize(1600, 900);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void TearDown() override {
        window.reset();
        scale.Stop();
    }

    VirtualScaleChild scale;
    testing::ScriptedShell dialogs;
    std::unique_ptr<MainWindow> window;
};

// Everyday use of the PLU sheet once the scale is identified and the sheet
// laid out: a unit picked from the list, a spin step, a new sheet through
// " * ", renamed, and back to the PLU sheet; all with real mouse and keys.
TEST_F(ScaleWindowTest, ThePluSheetWorksByMouseAndKeysAgainstTheVirtualScale) {
    {
        MainWindow& window = *this->window;
        TVexaSheetControl& control = window.Form().SheetControl();
        TVexaGridSheet& plu = *control.ActiveSheet();
        ASSERT_TRUE(WaitFor([&] { return !plu.GetColumn(kColUnit).CellItems().empty(); }, 5000));
        GridView* view = window.ActiveGridView();
        auto click = [&](int col, int row) {
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                              ToQRect(plu.CellRect(col, row)).center());
        };

        click(kColUnit, kFirstPluRow);
        auto& unit = static_cast<TKtComboBoxCell&>(plu.GetCell(kColUnit, kFirstPluRow));
        const TRect button = unit.ButtonRect();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(button.Left + 3, button.Top + 3));
        QListWidget* list = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* l = qobject_cast<QListWidget*>(w); l && l->isVisible()) list = l;
            return list != nullptr;
        }, 1000));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        EXPECT_EQ(ShownText(plu, kColUnit, kFirstPluRow), plu.GetColumn(kColUnit).CellItems()[0]);

        click(kColLife, kFirstPluRow);
        auto& life = static_cast<TKtNumberSpinCell&>(plu.GetCell(kColLife, kFirstPluRow));
        const TRect spin = life.ButtonRect();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(spin.Left + spin.Width() / 2, spin.Top + 2));
        EXPECT_EQ(ShownText(plu, kColLife, kFirstPluRow), u"1");

        SheetTabStrip* tabs = nullptr;  // no meta-object of its own: look by type
        for (QWidget* w : window.findChildren<QWidget*>())
            if (auto* strip = dynamic_cast<SheetTabStrip*>(w)) tabs = strip;
        ASSERT_NE(tabs, nullptr);
        auto tabPoint = [&](int tab) {
            const TRect r = tabs->Layout().TabRect(tab);
            return QPoint(r.Left + r.Width() / 2, tabs->height() / 2);
        };
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabPoint(1));  // " * "
        ASSERT_EQ(control.SheetCount(), 2);
        EXPECT_NE(control.ActiveSheet(), &plu);
        QTest::mouseDClick(tabs, Qt::LeftButton, {}, tabPoint(1));
        ASSERT_NE(tabs->RenameBox(), nullptr);
        tabs->RenameBox()->selectAll();
        QTest::keyClicks(tabs->RenameBox(), QStringLiteral("Prices"));
        QTest::keyClick(tabs->RenameBox(), Qt::Key_Return);
        EXPECT_EQ(control.ActiveSheet()->Caption(), u"Prices");
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabPoint(0));
        EXPECT_EQ(control.ActiveSheet(), &plu);
        EXPECT_EQ(window.Form().Grid(), &plu);
        EXPECT_TRUE(dialogs.errors.empty());
    }
}

// The wiring of a download from the window: F8 starts it (the commands lock,
// the progress bar counts), F9 stops it at once, and the window unlocks.
TEST_F(ScaleWindowTest, F8StartsADownloadWithProgressAndF9StopsIt) {
    {
        MainWindow& window = *this->window;
        ASSERT_TRUE(WaitFor([&] { return window.Action(Command::DownLoadStart)->isEnabled(); }, 5000));
        QTest::keyClick(&window, Qt::Key_F8);
        ASSERT_TRUE(WaitFor([&] { return window.ProgressBar()->value() > 0; }, 10000));
        EXPECT_TRUE(window.ProgressBar()->isVisible());
        EXPECT_EQ(window.ProgressBar()->maximum(), 265);
        EXPECT_FALSE(window.Action(Command::FileSave)->isEnabled());
        EXPECT_TRUE(window.Action(Command::DownLoadStop)->isEnabled());
        QTest::keyClick(&window, Qt::Key_F9);
        ASSERT_TRUE(WaitFor([&] { return !dialogs.boxes.empty(); }, 5000));
        EXPECT_EQ(dialogs.boxes[0].text, u"Stop downloading!");
        EXPECT_TRUE(WaitFor([&] { return window.Action(Command::FileSave)->isEnabled(); }, 2000));
        EXPECT_FALSE(window.ProgressBar()->isVisible());
        EXPECT_TRUE(dialogs.errors.empty());
    }
}

// The scale unplugged: the link is lost ("Connecting the scale."), the
// reopening fails and the status bar says so, supervision stops without
// spinning; once the scale is back, Serial Set > "Open Port" reconnects.
TEST(MainWindow, AnUnpluggedScaleIsReachedAgainThroughOpenPort) {
    App();
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("scale"));
    QProcess process;
    process.start(QStringLiteral(PLU_BIN_DIR "/virtual-scale"),
                  {QStringLiteral("--exit-with-parent"), QStringLiteral("--link"), link,
                   QStringLiteral("--fault"), QStringLiteral("unplug:1@5:L:4000")});
    ASSERT_TRUE(process.waitForStarted(5000));
    ASSERT_TRUE(WaitFor([&] { return process.canReadLine(); }, 5000));
    {
        testing::ScriptedShell dialogs;
        MainWindow window({&dialogs, nullptr});
        window.Start([](std::vector<std::string>&) { return false; }, {link.toStdString()});
        window.show();
        ASSERT_TRUE(WaitFor([&] { return window.PanelText(1) == "The Scale is connected."; }, 5000));
        ASSERT_TRUE(WaitFor([&] { return window.PanelText(1) == "Connecting the scale."; }, 5000));
        ASSERT_TRUE(WaitFor([&] { return window.PanelText(1).contains("cannot be opened"); }, 5000))
            << window.PanelText(1).toStdString();
        EXPECT_TRUE(window.PanelText(1).startsWith(QStringLiteral("Port ")));
        EXPECT_FALSE(window.Session().TimerEnabled());  // supervision waits for the user
        EXPECT_EQ(dialogs.errors.size(), 1u);

        ASSERT_TRUE(WaitFor([&] { return QFileInfo::exists(link); }, 8000));
        window.Action(Command::SerialSet)->trigger();
        ASSERT_TRUE(WaitFor([&] { return window.PortDialog()->isVisible(); }, 1000));
        QTest::mouseClick(window.PortDialog()->Button1(), Qt::LeftButton);
        EXPECT_FALSE(window.PortDialog()->isVisible());
        EXPECT_TRUE(WaitFor([&] { return window.PanelText(1) == "The Scale is connected."; }, 5000))
            << window.PanelText(1).toStdString();
    }
    process.terminate();
    process.waitForFinished(2000);
}

}  // namespace
}  // namespace plu

int main(int argc, char** argv) { return plu::testing::RunWidgetTests(argc, argv); }
