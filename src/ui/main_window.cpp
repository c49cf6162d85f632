#include "ui/main_window.h"

#include <QFileDialog>
#include <QFont>
#include <QMessageBox>
#include <QStatusBar>
#include <QVBoxLayout>

#include "app/comm_line.h"
#include "base/exceptions.h"
#include "ui/error_display.h"
#include "ui/grid_view.h"
#include "ui/qt_convert.h"
#include "ui/selective_paste_dialog.h"
#include "ui/sheet_area.h"
#include "ui/sheet_tab_strip.h"

namespace plu {

namespace {

// "Caption|pattern|Caption|pattern" as Qt's "Caption (pattern);;Caption (pattern)".
QString QtFilter(WideStringView filter) {
    const QStringList parts = ToQt(filter).split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString caption = parts[i];
        const QString pattern = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        if (!caption.contains(QLatin1Char('('))) caption += QStringLiteral(" (") + pattern + QLatin1Char(')');
        else caption = caption.left(caption.indexOf(QLatin1Char('('))).trimmed() + QStringLiteral(" (") + pattern + QLatin1Char(')');
        out << caption;
    }
    return out.join(QStringLiteral(";;"));
}

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    clipboard_.SetSelectivePasteDialog(new TKtSelectivePasteDailog(this));
    clipboard_.OnRenderError = [](const WideString& message) { ShowUiError(Exception(message)); };
    GridView::SetDefaultClipboard(&clipboard_);
    form_ = std::make_unique<MainForm>(*this, std::make_unique<CommLine>(dispatcher_));
    setAccessibleName(QStringLiteral("PLU Editor"));

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
        label->setAccessibleName(QStringLiteral("Status panel %1").arg(i + 1));
        statusBar()->addWidget(label);
        panels_[i] = label;
    }
    statusBar()->setSizeGripEnabled(true);

    timer_.setInterval(kTickMilliseconds);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { GuardUi([&] { form_->Timer1Timer(); }); });
    StateChanged();
}

MainWindow::~MainWindow() {
    timer_.stop();
    GridView::SetDefaultClipboard(nullptr);
    // The sheets go with the form, before the clipboard service they use;
    // their views let go of them first.
    form_.reset();
}

void MainWindow::Start(const PortLister& lister, const std::vector<std::string>& firstPorts) {
    // The window is created with its sheet before the port opens.
    form_->FormCreate();
    sheets_ = new SheetArea(form_->SheetControl(), this);
    // The tab strip sits below the sheets.
    auto* central = new QWidget(this);
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(sheets_);
    tabs_ = new SheetTabStrip(form_->SheetControl(), *sheets_, central);
    column->addWidget(tabs_);
    setCentralWidget(central);
    StateChanged();
    timer_.start();
    GuardUi([&] { form_->Session().OpenFirstPort(lister, firstPorts); });
    StateChanged();
}

GridView* MainWindow::ActiveGridView() const { return sheets_ ? sheets_->ActiveView() : nullptr; }

void MainWindow::StateChanged() {
    const MainWindowState& s = form_->State();
    setWindowTitle(ToQt(s.Caption));
    for (std::size_t i = 0; i < panels_.size(); ++i) panels_[i]->setText(ToQt(s.StatusText[i]));
    if (sheets_) sheets_->Sync();
    if (tabs_) tabs_->Sync();
}

// ---- IShell -------------------------------------------------------------------------------------

DialogAnswer MainWindow::AskYesNoCancel(WideStringView text) {
    const auto answer = QMessageBox::question(this, windowTitle(), ToQt(text),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) return DialogAnswer::Yes;
    if (answer == QMessageBox::No) return DialogAnswer::No;
    return DialogAnswer::Cancel;
}

std::optional<WideString> MainWindow::OpenDialog(WideStringView filter) {
    const QString name = QFileDialog::getOpenFileName(this, QString(), QString(), QtFilter(filter));
    if (name.isEmpty()) return std::nullopt;
    return FromQt(name);
}

std::optional<WideString> MainWindow::SaveDialog(WideStringView filter, WideStringView initialName) {
    const QString name =
        QFileDialog::getSaveFileName(this, QString(), ToQt(initialName), QtFilter(filter));
    if (name.isEmpty()) return std::nullopt;
    return FromQt(name);
}

void MainWindow::ShowMessage(WideStringView title, WideStringView text, MessageIcon icon) {
    QMessageBox::Icon qicon = QMessageBox::Information;
    if (icon == MessageIcon::Warning) qicon = QMessageBox::Warning;
    QMessageBox box(qicon, ToQt(title), ToQt(text), QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::ShowError(WideStringView text) { ShowUiError(Exception(text)); }

}  // namespace plu
