// The main window: it owns the application's logic (MainForm: the link
// session, the sheet control with the PLU sheet, the transfers and the file
// commands) and shows it: the caption, the three status panels, the 20 ms
// timer, and the active worksheet's grid in the central area. It is the
// shell MainForm talks to (IShell): message boxes, file dialogs, the error
// display. All behaviour lives in src/app; this class only shows it.
#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "clipboard/grid_clipboard.h"
#include "app/port_settings.h"
#include "ui/qt_clipboard.h"
#include "ui/qt_dispatcher.h"

namespace plu {

class SheetArea;
class SheetTabStrip;
class GridView;

class MainWindow : public QMainWindow, public IShell {
  public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up of the window and the port settings: the PLU sheet is laid
    // out, the ports are listed (those in `firstPorts` in front), the first
    // is opened and the timer starts. An open error shows in a message box;
    // start-up goes on.
    void Start(const PortLister& lister, const std::vector<std::string>& firstPorts = {});

    MainForm& Form() { return *form_; }
    LinkSession& Session() { return form_->Session(); }
    QString PanelText(int panel) const { return panels_[static_cast<std::size_t>(panel)]->text(); }
    // The grid view of the active worksheet.
    GridView* ActiveGridView() const;

    // ---- IShell -----------------------------------------------------------------------
    DialogAnswer AskYesNoCancel(WideStringView text) override;
    std::optional<WideString> OpenDialog(WideStringView filter) override;
    std::optional<WideString> SaveDialog(WideStringView filter, WideStringView initialName) override;
    void ShowMessage(WideStringView title, WideStringView text, MessageIcon icon) override;
    void ShowError(WideStringView text) override;
    WideString FontNameBoxText() const override { return fontName_; }
    void SetFontNameBoxText(WideStringView text) override { fontName_ = WideString(text); }
    WideString FontSizeBoxText() const override { return fontSize_; }
    void SetFontSizeBoxText(WideStringView text) override { fontSize_ = WideString(text); }
    void StateChanged() override;

  private:
    QtDispatcher dispatcher_;  // before the form: the serial component posts to it
    // The process's clipboard service; the grids (in the form) go before it.
    TQtClipboardService clipboardService_;
    TKtGridClipboard clipboard_{clipboardService_};
    std::unique_ptr<MainForm> form_;
    SheetArea* sheets_ = nullptr;
    SheetTabStrip* tabs_ = nullptr;
    QTimer timer_;
    std::array<QLabel*, 3> panels_{};
    // The formatting toolbar's font boxes, until the toolbar shows them.
    WideString fontName_, fontSize_;
};

}  // namespace plu
