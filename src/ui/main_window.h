// The main window, first form: the caption by UpdateTitle, the three status
// panels fed by the link engine, the 20 ms timer, an empty worksheet area,
// and the serial port opened through the port settings logic at start-up.
// All behaviour lives in LinkSession (src/app); this class only shows it.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/link_session.h"
#include "app/port_settings.h"
#include "ui/qt_dispatcher.h"

namespace plu {

class MainWindow : public QMainWindow {
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up of the window and the port settings: lists the ports (those in
    // `firstPorts` in front), opens the first and starts the timer. An open
    // error shows in a message box; start-up goes on.
    void Start(const PortLister& lister, const std::vector<std::string>& firstPorts = {});

    LinkSession& Session() { return *session_; }
    QString PanelText(int panel) const { return panels_[static_cast<std::size_t>(panel)]->text(); }

private:
    void ShowState();
    void ShowError(const LinkError& error);

    QtDispatcher dispatcher_;  // before the session: the serial component posts to it
    std::unique_ptr<LinkSession> session_;
    QTimer timer_;
    std::array<QLabel*, 3> panels_{};
};

}  // namespace plu
