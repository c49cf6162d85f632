// plu-editor: the PLU Editor window.
//
// One option, for demonstrations without hardware: --virtual-scale starts
// the virtual scale found beside this executable, puts its device first in
// the port list and stops it on exit. Without it the window behaves as the
// product always does.
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <cstdio>
#include <cstring>

#include "base/regional_settings.h"
#include "serial/serial_ports.h"
#include "ui/grid_accessible.h"
#include "ui/main_window.h"
#include "ui/virtual_scale_child.h"

int main(int argc, char** argv) {
    bool withVirtualScale = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--virtual-scale") == 0) {
            withVirtualScale = true;
        } else if (std::strcmp(argv[i], "--help") == 0) {
            std::puts("Usage: plu-editor [--virtual-scale]\n"
                      "  --virtual-scale  start the built-in virtual scale and connect to it first");
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("PLU Editor"));
    plu::InstallRegionalSettings(plu::RegionalSettings::FromEnvironment());
    plu::InstallGridAccessibility();

    plu::VirtualScaleChild scale;
    std::vector<std::string> firstPorts;
    if (withVirtualScale) {
        QString error;
        if (scale.Start(plu::VirtualScaleChild::ProgramBesideExecutable(), error))
            firstPorts.push_back(scale.Device().toStdString());
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
