#include "ui/main_window.h"

#include <QFont>
#include <QMessageBox>
#include <QStatusBar>

#include "app/comm_line.h"

namespace plu {

namespace {

QString ToQt(const WideString& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent), session_(std::make_unique<LinkSession>(std::make_unique<CommLine>(dispatcher_))) {
    // The worksheet area comes with the sheet control; until then it is empty.
    auto* central = new QWidget(this);
    central->setAutoFillBackground(true);
    setCentralWidget(central);

    // Status bar panels: widths 200, 300, 50, centred, Arial 14 pixels.
    QFont panelFont(QStringLiteral("Arial"));
    panelFont.setPixelSize(14);
    const int widths[3] = {200, 300, 50};
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        auto* label = new QLabel(this);
        label->setFont(panelFont);
        label->setAlignment(Qt::AlignCenter);
        label->setFixedWidth(widths[i]);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        statusBar()->addWidget(label);
        panels_[i] = label;
    }
    statusBar()->setSizeGripEnabled(true);

    session_->OnChange = [this] { ShowState(); };
    session_->OnError = [this](const LinkError& e) { ShowError(e); };
    ShowState();

    timer_.setInterval(kTickMilliseconds);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { session_->Tick(); });
}

MainWindow::~MainWindow() {
    timer_.stop();
    session_->OnChange = nullptr;
    session_->OnError = nullptr;
    session_->Stop();
}

void MainWindow::Start(const PortLister& lister, const std::vector<std::string>& firstPorts) {
    // The timer runs from the moment the window exists; the session itself
    // skips ticks while the port settings have it disabled.
    timer_.start();
    session_->Start(lister, firstPorts);
}

void MainWindow::ShowState() {
    const MainWindowState& s = session_->State();
    setWindowTitle(ToQt(s.Caption));
    for (std::size_t i = 0; i < panels_.size(); ++i) panels_[i]->setText(ToQt(s.StatusText[i]));
}

void MainWindow::ShowError(const LinkError& error) {
    // The application's default error display. Not modal to the event loop:
    // the link's timer keeps its own rules while the box is open.
    auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("PLU Editor"), ToQt(error.message),
                                QMessageBox::Ok, isVisible() ? this : nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

}  // namespace plu
