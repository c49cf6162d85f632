#include "app/main_form.h"

#include <algorithm>
#include <exception>

#include "base/exceptions.h"
#include "grid/grid_selection.h"
#include "plu/plu_sheet.h"
#include "plu/sheet_layout.h"

namespace plu {

namespace {

WideString ErrorText(const std::exception& e) {
    if (const auto* own = dynamic_cast<const Exception*>(&e)) return own->Message();
    return Utf8ToWide(e.what());
}

}  // namespace

MainForm::MainForm(IShell& shell, std::unique_ptr<ISerialLine> line, ITextMeasurer* measurer)
    : shell_(shell),
      measurer_(measurer),
      session_(std::move(line)),
      transfers_(session_.Engine(), *this) {
    control_.SetSheetBaseName(kSheetBaseName);
    control_.OnNewSheet = [this](TVexaSheetControl&, TVexaGridSheet& sheet) {
        if (measurer_) sheet.SetMeasurer(measurer_);
    };
    control_.OnChange = [this](TVexaSheetControl&) { VexaSheetControl1Change(); };
    control_.OnHandlerException = [this](const std::exception& e) {
        ShowErrorMessage(ErrorText(e));
    };
    session_.OnChange = [this] { shell_.StateChanged(); };
    session_.OnError = [this](const LinkError& e) { ShowErrorMessage(e.message); };
    session_.OnLayoutSheet = [this](bool reset) { LayoutSheet(reset); };
}

MainForm::~MainForm() {
    // The session outlives nothing that calls back into a half-destroyed form.
    session_.OnChange = nullptr;
    session_.OnError = nullptr;
    session_.OnLayoutSheet = nullptr;
    control_.OnChange = nullptr;
    control_.OnHandlerException = nullptr;
    session_.Stop();
}

template <typename Work>
void MainForm::Guarded(Work&& work) {
    try {
        work();
    } catch (const std::exception& e) {
        ShowErrorMessage(ErrorText(e));
    }
}

// ---- Start-up -----------------------------------------------------------------------------

void MainForm::FormCreate() {
    LinkState& link = session_.Engine().State();
    link.Preset55 = false;
    link.ModelName = kDefaultModelName;
    // The font and line width lists of the formatting toolbar are the shell's.
    session_.SetFileName({});
    grid_ = nullptr;
    StartNewSheet();
    UpdateTitle();
    Guarded([&] { LayoutSheet(true); });
    session_.DisableTransferCommands();
}

void MainForm::Start(const PortLister& lister, const std::vector<std::string>& first) {
    FormCreate();
    session_.OpenFirstPort(lister, first);
}

void MainForm::StartNewSheet() {
    control_.DisableTabSync();
    control_.FreeAllSheets();
    control_.AddSheet(kFirstSheetCaption);
    control_.ActivateSheet(0);
    grid_ = control_.ActiveSheet();
}

// ---- Handlers ------------------------------------------------------------------------------

void MainForm::FileNewExecute() {
    if (State().Actions.New) Guarded([&] { NewFile(); });
}

void MainForm::FileOpenExecute() {
    if (State().Actions.Open) Guarded([&] { OpenFile(); });
}

void MainForm::FileSaveExecute() {
    if (State().Actions.Save) Guarded([&] { SaveFile(); });
}

void MainForm::menuFileAsClick() {
    if (State().Actions.SaveAs) Guarded([&] { SaveFileAs(); });
}

void MainForm::menuUpLoadClick() {
    const UiActions& a = State().Actions;
    if (a.SerialMenu && a.UpLoad) Guarded([&] { transfers_.Upload().menuUpLoadClick(); });
}

void MainForm::menuStartClick() {
    const UiActions& a = State().Actions;
    if (a.SerialMenu && a.DownLoad && a.Start)
        Guarded([&] { transfers_.Download().menuStartClick(); });
}

void MainForm::menuStopClick() {
    const UiActions& a = State().Actions;
    if (a.SerialMenu && a.DownLoad && a.Stop)
        Guarded([&] { transfers_.Download().menuStopClick(); });
}

void MainForm::EditCut2Execute() {
    if (State().Actions.Cut && grid_) Guarded([&] { grid_->Selection().Cut(); });
}

void MainForm::EditCopy2Execute() {
    // A copy while a transfer runs would race the rows being sent or filled.
    if (State().Actions.Copy && grid_ && !session_.Engine().State().Transferring)
        Guarded([&] { grid_->Selection().Copy(); });
}

void MainForm::EditPaste2Execute() {
    if (State().Actions.Paste && grid_) Guarded([&] { grid_->Selection().Paste(0); });
}

void MainForm::Execute(Command command) {
    switch (command) {
        case Command::FileNew: FileNewExecute(); break;
        case Command::FileOpen: FileOpenExecute(); break;
        case Command::FileSave: FileSaveExecute(); break;
        case Command::FileSaveAs: menuFileAsClick(); break;
        case Command::EditCut: EditCut2Execute(); break;
        case Command::EditCopy: EditCopy2Execute(); break;
        case Command::EditPaste: EditPaste2Execute(); break;
        case Command::UpLoad: menuUpLoadClick(); break;
        case Command::DownLoadStart: menuStartClick(); break;
        case Command::DownLoadStop: menuStopClick(); break;
        case Command::Pair:
        case Command::SerialSet:
        case Command::FileExit: break;
    }
}

bool MainForm::FormCloseQuery() {
    bool close = false;
    Guarded([&] { close = ConfirmSave(); });
    return close;
}

std::optional<MainForm::Progress> MainForm::TransferProgress() {
    if (!session_.Engine().State().Transferring) return std::nullopt;
    if (transfers_.Upload().Outcome() == TransferOutcome::Running)
        return Progress{transfers_.Upload().RecordsReceived(), kPluCount};
    return Progress{std::min<int>(transfers_.Download().RecordNo, kPluCount), kPluCount};
}

void MainForm::VexaSheetControl1Change() {
    grid_ = control_.ActiveSheet();
    shell_.StateChanged();
}

// ---- IPluHost ------------------------------------------------------------------------------

void MainForm::ShowMessage(WideStringView title, WideStringView text, MessageIcon icon) {
    shell_.ShowMessage(title, text, icon);
}

void MainForm::ShowErrorMessage(WideStringView text) {
    shell_.ShowError(text);
}

void MainForm::SetStatusText(int panel, WideStringView text) {
    session_.SetStatusText(panel, text);
}

void MainForm::LockUi(bool download) {
    session_.LockUi(download);
}

void MainForm::UnlockUi() {
    session_.UnlockUi();
}

WideString MainForm::FontNameBoxText() const {
    return shell_.FontNameBoxText();
}

void MainForm::SetFontNameBoxText(WideStringView text) {
    shell_.SetFontNameBoxText(text);
}

WideString MainForm::FontSizeBoxText() const {
    return shell_.FontSizeBoxText();
}

void MainForm::SetFontSizeBoxText(WideStringView text) {
    shell_.SetFontSizeBoxText(text);
}

void MainForm::LayoutSheet(bool resetFontBoxes) {
    plu::LayoutSheet(control_, session_.Engine().State(), *this, resetFontBoxes);
}

TKtCustomGrid* MainForm::Grid() {
    return grid_;
}

}  // namespace plu
