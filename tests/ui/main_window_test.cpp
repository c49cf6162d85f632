// The first main window on the offscreen platform, connected to the virtual
// scale through TComm as plu-editor --virtual-scale does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QStatusBar>
#include <QTest>

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

}  // namespace
}  // namespace plu

int main(int argc, char** argv) { return plu::testing::RunWidgetTests(argc, argv); }
