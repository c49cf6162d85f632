#include "ui/main_window.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QFont>
#include <QIcon>
#include <QMessageBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QVBoxLayout>

#include "app/comm_line.h"
#include "base/exceptions.h"
#include "ui/comm_port_dialog.h"
#include "ui/date_time_dialog.h"
#include "ui/error_display.h"
#include "ui/format_toolbars.h"
#include "ui/grid_view.h"
#include "ui/main_actions.h"
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

// What a screen reader calls each status panel; the panel's text is its
// description.
const char* const kPanelNames[3] = {"Port settings", "Link state", "Transfer progress"};

}  // namespace

MainWindow::MainWindow(QWidget* parent) : MainWindow(Options{}, parent) {}

MainWindow::MainWindow(const Options& options, QWidget* parent) : QMainWindow(parent), options_(options) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/plu-editor.svg")));
    clipboard_.SetSelectivePasteDialog(new TKtSelectivePasteDailog(this));
    clipboard_.OnRenderError = [](const WideString& message) { ShowUiError(Exception(message)); };
    GridView::SetDefaultClipboard(&clipboard_);
    form_ = std::make_unique<MainForm>(*this, std::make_unique<CommLine>(dispatcher_));

    actions_ = std::make_unique<MainActions>(*menuBar(), *this);
    actions_->OnTriggered = [this](Command command) { Run(command); };
    BuildToolBar1();
    formats_ = std::make_unique<FormatToolBars>([this] { return form_->Grid(); }, this);
    addToolBar(formats_->ToolBar3());
    addToolBar(formats_->ToolBar2());
    form_->SheetControl().OnCurrentChanged = [this](TKtCustomGrid& grid, int col, int row) {
        if (&grid == form_->Grid()) formats_->CurrentChanged(col, row);
    };
    BuildStatusBar();
    idle_.setInterval(200);
    connect(&idle_, &QTimer::timeout, this, [this] { GuardUi([&] { formats_->UpdateActions(); }); });
    idle_.start();

    timer_.setInterval(kTickMilliseconds);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] { GuardUi([&] { form_->Timer1Timer(); }); });
    StateChanged();
}

MainWindow::~MainWindow() {
    timer_.stop();
    idle_.stop();
    form_->SheetControl().OnCurrentChanged = nullptr;
    GridView::SetDefaultClipboard(nullptr);
    // The sheets go with the form, before the clipboard service they use;
    // their views let go of them first.
    form_.reset();
}

void MainWindow::BuildToolBar1() {
    toolBar1_ = addToolBar(QStringLiteral("ToolBar1"));
    toolBar1_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar1_->setIconSize(QSize(16, 16));
    toolBar1_->setMovable(false);
    const std::pair<Command, const char*> buttons[] = {
        {Command::FileNew, ":/icons/file-new.svg"},   {Command::FileOpen, ":/icons/file-open.svg"},
        {Command::FileSave, ":/icons/file-save.svg"}, {Command::EditCut, ":/icons/edit-cut.svg"},
        {Command::EditCopy, ":/icons/edit-copy.svg"}, {Command::EditPaste, ":/icons/edit-paste.svg"}};
    for (const auto& [command, icon] : buttons) {
        QAction* action = actions_->Action(command);
        action->setIcon(QIcon(QString::fromLatin1(icon)));
        if (command == Command::EditCut) toolBar1_->addSeparator();
        toolBar1_->addAction(action);
    }
}

void MainWindow::BuildStatusBar() {
    // Panels: widths 200, 300, 50, centred, Arial 14 pixels; the progress
    // bar of a running transfer beside them, then the long hints.
    QFont panelFont(QStringLiteral("Arial"));
    panelFont.setPixelSize(14);
    const int widths[3] = {200, 300, 50};
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        auto* label = new QLabel(this);
        label->setFont(panelFont);
        label->setAlignment(Qt::AlignCenter);
        label->setFixedWidth(widths[i]);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAccessibleName(QString::fromLatin1(kPanelNames[i]));
        statusBar()->addWidget(label);
        panels_[i] = label;
    }
    progress_ = new QProgressBar(this);
    progress_->setAccessibleName(QStringLiteral("Transfer records"));
    progress_->setFixedWidth(180);
    progress_->setFormat(QStringLiteral("%v / %m"));
    progress_->setVisible(false);
    statusBar()->addWidget(progress_);
    hint_ = new QLabel(this);
    hint_->setAccessibleName(QStringLiteral("Hint"));
    statusBar()->addWidget(hint_, 1);
    statusBar()->setSizeGripEnabled(true);
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
    // Program entry order: the main window, then the clock dialog (ticking
    // from now on), then the port dialog, whose creation opens the port.
    clockDialog_ = new TfrmDateTime(options_.clock ? *options_.clock : systemClock_,
                                    form_->Transfers().Pairing(), this);
    portDialog_ = new TfrmCommPort(form_->Session().Ports(), lister, this);
    StateChanged();
    timer_.start();
    GuardUi([&] { form_->Session().OpenFirstPort(lister, firstPorts); });
    StateChanged();
}

GridView* MainWindow::ActiveGridView() const { return sheets_ ? sheets_->ActiveView() : nullptr; }

QAction* MainWindow::Action(Command command) const { return actions_->Action(command); }

QMenu* MainWindow::Menu(const QString& caption) const { return actions_->Menu(caption); }

void MainWindow::Run(Command command) {
    GuardUi([&] {
        switch (command) {
            case Command::FileExit: close(); break;
            case Command::Pair:
                if (clockDialog_ && CommandEnabled(form_->State().Actions, command)) clockDialog_->Show();
                break;
            case Command::SerialSet:
                if (portDialog_ && CommandEnabled(form_->State().Actions, command)) portDialog_->Show();
                break;
            default: form_->Execute(command); break;
        }
    });
    StateChanged();
}

void MainWindow::StateChanged() {
    const MainWindowState& s = form_->State();
    setWindowTitle(ToQt(s.Caption));
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        const QString text = ToQt(s.StatusText[i]);
        panels_[i]->setText(text);
        panels_[i]->setAccessibleDescription(text);
        panels_[i]->setToolTip(text);  // a narrow panel cuts long texts
    }
    if (actions_) actions_->Sync(s.Actions);
    if (progress_) {
        const auto progress = form_->TransferProgress();
        progress_->setVisible(progress.has_value());
        if (progress) {
            progress_->setRange(0, progress->total);
            progress_->setValue(progress->done);
        }
    }
    if (sheets_) sheets_->Sync();
    if (tabs_) tabs_->Sync();
}

bool MainWindow::event(QEvent* event) {
    // The long hints go to a label of their own: Qt's temporary status
    // message would hide the three panels.
    if (event->type() == QEvent::StatusTip) {
        if (hint_) hint_->setText(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!form_->FormCloseQuery()) {
        event->ignore();
        return;
    }
    timer_.stop();
    event->accept();
}

// ---- IShell -------------------------------------------------------------------------------------

WideString MainWindow::FontNameBoxText() const { return formats_->FontNameBoxText(); }

void MainWindow::SetFontNameBoxText(WideStringView text) { formats_->SetFontNameBoxText(text); }

WideString MainWindow::FontSizeBoxText() const { return formats_->FontSizeBoxText(); }

void MainWindow::SetFontSizeBoxText(WideStringView text) { formats_->SetFontSizeBoxText(text); }

DialogAnswer MainWindow::AskYesNoCancel(WideStringView text) {
    if (options_.dialogs) return options_.dialogs->AskYesNoCancel(text);
    QMessageBox box(QMessageBox::Question, QStringLiteral("Confirm"), ToQt(text),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::Cancel);
    const int answer = box.exec();
    if (answer == QMessageBox::Yes) return DialogAnswer::Yes;
    if (answer == QMessageBox::No) return DialogAnswer::No;
    return DialogAnswer::Cancel;
}

std::optional<WideString> MainWindow::OpenDialog(WideStringView filter) {
    if (options_.dialogs) return options_.dialogs->OpenDialog(filter);
    const QString name = QFileDialog::getOpenFileName(this, QString(), QString(), QtFilter(filter));
    if (name.isEmpty()) return std::nullopt;
    return FromQt(name);
}

std::optional<WideString> MainWindow::SaveDialog(WideStringView filter, WideStringView initialName) {
    if (options_.dialogs) return options_.dialogs->SaveDialog(filter, initialName);
    const QString name =
        QFileDialog::getSaveFileName(this, QString(), ToQt(initialName), QtFilter(filter));
    if (name.isEmpty()) return std::nullopt;
    return FromQt(name);
}

void MainWindow::ShowMessage(WideStringView title, WideStringView text, MessageIcon icon) {
    if (options_.dialogs) return options_.dialogs->ShowMessage(title, text, icon);
    QMessageBox::Icon qicon = QMessageBox::Information;
    if (icon == MessageIcon::Warning) qicon = QMessageBox::Warning;
    QMessageBox box(qicon, ToQt(title), ToQt(text), QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::ShowError(WideStringView text) {
    if (options_.dialogs) return options_.dialogs->ShowError(text);
    ShowUiError(Exception(text));
}

}  // namespace plu
