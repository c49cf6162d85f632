// The main window: it owns the application's logic (MainForm: the link
// session, the sheet control with the PLU sheet, the transfers and the file
// commands) and shows it: the menus and toolbars built from the command
// table, the sheets with their tab strip, the status bar with its three
// panels and the transfer's progress, the 20 ms timer. It is the shell
// MainForm talks to (IShell): message boxes, file dialogs, the error display.
// All behaviour lives in src/app; this class only shows it.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QTimer>
#include <QToolBar>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/port_settings.h"
#include "plu/clock.h"
#include "clipboard/grid_clipboard.h"
#include "ui/qt_clipboard.h"
#include "ui/qt_dispatcher.h"

namespace plu {

class FormatToolBars;
class GridView;
class MainActions;
class SheetArea;
class SheetTabStrip;
class TfrmCommPort;
class TfrmDateTime;

class MainWindow : public QMainWindow, public IShell {
  public:
    struct Options {
        // Answers the modal questions, file dialogs, message boxes and the
        // error display instead of Qt's boxes (tests script them; never
        // blocking). Must outlive the window.
        IShell* dialogs = nullptr;
        // The computer's clock for the date/time dialog (the system's when
        // null). Must outlive the window.
        IClock* clock = nullptr;
    };

    explicit MainWindow(QWidget* parent = nullptr);
    MainWindow(const Options& options, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up of the window, the clock dialog and the port settings: the
    // PLU sheet is laid out, the ports are listed (those in `firstPorts` in
    // front), the first is opened and the timer starts. An open error shows
    // in a message box; start-up goes on.
    void Start(const PortLister& lister, const std::vector<std::string>& firstPorts = {});

    MainForm& Form() { return *form_; }
    LinkSession& Session() { return form_->Session(); }
    QString PanelText(int panel) const { return panels_[static_cast<std::size_t>(panel)]->text(); }
    QProgressBar* ProgressBar() const { return progress_; }
    QAction* Action(Command command) const;
    // The two dialogs (they exist from Start on).
    TfrmCommPort* PortDialog() const { return portDialog_; }
    TfrmDateTime* ClockDialog() const { return clockDialog_; }
    FormatToolBars& Formatting() const { return *formats_; }
    QMenu* Menu(const QString& caption) const;
    // The grid view of the active worksheet.
    GridView* ActiveGridView() const;

    // ---- IShell -----------------------------------------------------------------------
    DialogAnswer AskYesNoCancel(WideStringView text) override;
    std::optional<WideString> OpenDialog(WideStringView filter) override;
    std::optional<WideString> SaveDialog(WideStringView filter, WideStringView initialName) override;
    void ShowMessage(WideStringView title, WideStringView text, MessageIcon icon) override;
    void ShowError(WideStringView text) override;
    WideString FontNameBoxText() const override;
    void SetFontNameBoxText(WideStringView text) override;
    WideString FontSizeBoxText() const override;
    void SetFontSizeBoxText(WideStringView text) override;
    void StateChanged() override;

  protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildToolBar1();
    void BuildStatusBar();
    void Run(Command command);

    Options options_;
    QtDispatcher dispatcher_;  // before the form: the serial component posts to it
    // The process's clipboard service; the grids (in the form) go before it.
    TQtClipboardService clipboardService_;
    TKtGridClipboard clipboard_{clipboardService_};
    std::unique_ptr<MainForm> form_;
    std::unique_ptr<MainActions> actions_;
    std::unique_ptr<FormatToolBars> formats_;
    QTimer idle_;  // the formatting actions' check marks follow the selection
    SystemClock systemClock_;
    TfrmDateTime* clockDialog_ = nullptr;
    TfrmCommPort* portDialog_ = nullptr;
    SheetArea* sheets_ = nullptr;
    SheetTabStrip* tabs_ = nullptr;
    QToolBar* toolBar1_ = nullptr;
    QTimer timer_;
    std::array<QLabel*, 3> panels_{};
    QProgressBar* progress_ = nullptr;
    QLabel* hint_ = nullptr;  // the long hint of the action under the mouse
};

}  // namespace plu
