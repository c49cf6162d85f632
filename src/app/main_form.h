// The main window's logic without a toolkit: it owns the link session (serial
// line, link engine, port settings, caption, status panels, command
// enabling), the sheet control with the PLU sheet and the PLU transfers, and
// it is the host the transfers and the sheet layout talk to. The shell (the
// Qt window, or a test) supplies IShell and forwards the user's commands to
// the handlers below.
//
// Errors: the file commands and NewFile let errors propagate, as the
// transfers expect of their host (a save that fails inside NewFile stops the
// upload that asked for it). The handlers catch them and show their text on
// the shell's default error display; nothing raised escapes a handler.
//
// Threads: user-interface thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/commands.h"
#include "app/link_session.h"
#include "app/shell.h"
#include "base/text_measurer.h"
#include "plu/plu_host.h"
#include "plu/transfers.h"
#include "sheets/sheet_control.h"

namespace plu {

inline constexpr char16_t kSaveQuestion[] = u"Save the current form?";
inline constexpr char16_t kSheetBaseName[] = u"Sheet";
inline constexpr char16_t kFirstSheetCaption[] = u"Sheet1";
inline constexpr char16_t kDefaultModelName[] = u"VARDEN-15kg";
// A workbook whose worksheets are all unreadable as such (chart sheets only).
inline constexpr char16_t kNoWorksheetText[] = u"The file holds no worksheet.";

class MainForm : public IPluHost {
  public:
    // measurer: what the sheets measure text with (the FreeType measurer when
    // null); it must outlive the form.
    MainForm(IShell& shell, std::unique_ptr<ISerialLine> line, ITextMeasurer* measurer = nullptr);
    ~MainForm() override;
    MainForm(const MainForm&) = delete;
    MainForm& operator=(const MainForm&) = delete;

    // ---- Start-up ---------------------------------------------------------------------------
    // The window's creation: model "VARDEN-15kg" with 5 keys, no file name,
    // one sheet "Sheet1" (active), the caption, the layout with the font
    // boxes reset, UpLoad, DownLoad, Pair and Stop disabled.
    void FormCreate();
    // FormCreate, then the port settings dialog's start: the ports are listed
    // (`first` in front) and the first is opened; an open error goes to the
    // default error display and start-up goes on.
    void Start(const PortLister& lister, const std::vector<std::string>& first = {});
    // The 20 ms timer.
    void Timer1Timer() { session_.Tick(); }

    // ---- Handlers of the window's commands ------------------------------------------------
    // Each does nothing while its command is disabled (during a transfer).
    void FileNewExecute();
    void FileOpenExecute();
    void FileSaveExecute();
    void menuFileAsClick();
    void menuUpLoadClick();
    void menuStartClick();
    void menuStopClick();
    // Edit > Cut, Copy, Paste on the active grid's selection (on the editor's
    // text while a cell is edited). Copy does nothing while a transfer runs.
    void EditCut2Execute();
    void EditCopy2Execute();
    void EditPaste2Execute();
    // A command of the menu table, when it is enabled. Exit, Pair and Serial
    // Set are the shell's: they close the window or show a dialog whose
    // logic (DateTimeDialog, PortSettings) the dialog drives.
    void Execute(Command command);
    // The window is about to close: the save question as for New. False
    // (stay open) on Cancel, and when the save that Yes asked for failed.
    bool FormCloseQuery();
    // The active sheet changed: Grid follows it.
    void VexaSheetControl1Change();

    // ---- File commands (errors propagate) ----------------------------------------------------
    // "Save the current form?": Cancel answers false, Yes saves (SaveFile)
    // and answers true, No answers true.
    bool ConfirmSave();
    // After the save question (unless Cancel) a fresh sheet "Sheet1" and no
    // file name; in every case the sheet is laid out with the font boxes
    // reset.
    void NewFile() override;
    // After the save question and the open dialog, the workbook's first three
    // worksheets replace the sheets and the file name becomes the chosen one.
    // While the file loads, the current sheets are kept aside; when it cannot
    // be read they are put back as they were (same sheets, captions, order,
    // active sheet) and the error propagates with file name and title
    // unchanged. Answers whether a file was opened.
    bool OpenFile();
    // Saves Grid under FileName by its extension (SaveFileAs when there is
    // none yet), then updates the title. A failure leaves the title and the
    // previous file as they were.
    void SaveFile();
    // The save dialog; a confirmed name (with ".vexa" added when it has no
    // extension) becomes FileName, then SaveFile.
    void SaveFileAs();

    // ---- State --------------------------------------------------------------------------------
    const WideString& FileName() const { return session_.State().FileName; }
    const MainWindowState& State() const { return session_.State(); }
    TVexaSheetControl& SheetControl() { return control_; }
    LinkSession& Session() { return session_; }
    PluTransfers& Transfers() { return transfers_; }
    // How far the running transfer is: records done of all (a download's
    // 265 rows; an upload's records received of at most 265). Nothing when
    // no transfer runs.
    struct Progress {
        int done = 0, total = 0;
    };
    std::optional<Progress> TransferProgress();
    // The caption from the model, its key count and FileName.
    void UpdateTitle() { session_.UpdateTitle(); }

    // ---- IPluHost -----------------------------------------------------------------------------
    void ShowMessage(WideStringView title, WideStringView text, MessageIcon icon) override;
    void ShowErrorMessage(WideStringView text) override;
    void SetStatusText(int panel, WideStringView text) override;
    void LockUi(bool download) override;
    void UnlockUi() override;
    WideString FontNameBoxText() const override;
    void SetFontNameBoxText(WideStringView text) override;
    WideString FontSizeBoxText() const override;
    void SetFontSizeBoxText(WideStringView text) override;
    // plu::LayoutSheet on the sheet control for the scale last identified.
    void LayoutSheet(bool resetFontBoxes) override;
    TKtCustomGrid* Grid() override;

  private:
    // Frees every sheet and starts one "Sheet1", active.
    void StartNewSheet();
    // Runs a handler's work; whatever it raises goes to the error display.
    template <typename Work>
    void Guarded(Work&& work);

    IShell& shell_;
    ITextMeasurer* measurer_;
    TVexaSheetControl control_;
    TVexaGridSheet* grid_ = nullptr;
    LinkSession session_;
    PluTransfers transfers_;
};

}  // namespace plu
