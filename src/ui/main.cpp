// plu-editor: the PLU Editor window.
//
// Options: --port DEVICE puts a device first in the port list (a symbolic
// link such as /dev/serial/by-id/..., which the port enumeration does not
// show, or another program's pseudo-terminal); it stays first each time the
// list is read again. --virtual-scale, for demonstrations without hardware,
// starts the virtual scale found beside this executable, puts its device
// first in the port list and stops it on exit. Without options the window
// behaves as the product always does.
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "base/regional_settings.h"
#include "serial/serial_ports.h"
#include "ui/grid_accessible.h"
#include "ui/main_window.h"
#include "ui/virtual_scale_child.h"

int main(int argc, char** argv) {
    bool withVirtualScale = false;
    std::vector<std::string> givenPorts;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--virtual-scale") == 0) {
            withVirtualScale = true;
        } else if (std::strcmp(argv[i], "--port") == 0) {
            if (i + 1 >= argc || argv[i + 1][0] == '\0') {
                std::fputs("plu-editor: --port needs a device, such as /dev/ttyUSB0\n", stderr);
                return 2;
            }
            givenPorts.emplace_back(argv[++i]);
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::puts("Usage: plu-editor [--port DEVICE] [--virtual-scale]\n"
                      "  --port DEVICE    list this serial device first and open it at start-up\n"
                      "  --virtual-scale  start the built-in virtual scale and connect to it first");
            return 0;
        }
    }
    // A save that reaches the file-size limit must fail with "File too
    // large" and keep the old file, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PLU Editor"));
    plu::InstallRegionalSettings(plu::RegionalSettings::FromEnvironment());
    plu::InstallGridAccessibility();

    plu::VirtualScaleChild scale;
    std::vector<std::string> firstPorts = givenPorts;
    if (withVirtualScale) {
        QString error;
        if (scale.Start(plu::VirtualScaleChild::ProgramBesideExecutable(), error))
            firstPorts.insert(firstPorts.begin(), scale.Device().toStdString());
        else
            QMessageBox::warning(nullptr, QStringLiteral("PLU Editor"), error);
    }

    int status = 0;
    {
        plu::MainWindow window;
        window.Start([](std::vector<std::string>& ports) { return plu::ListSerialPorts(ports); },
                     firstPorts);
        // Maximised; without a window manager (a bare X server) the request
        // alone does nothing, so the window takes the screen's area first.
        if (QScreen* screen = QGuiApplication::primaryScreen()) window.setGeometry(screen->availableGeometry());
        window.showMaximized();
        status = QApplication::exec();
    }
    scale.Stop();
    return status;
}
