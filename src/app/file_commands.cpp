// The main window's File commands: New, Open, Save and Save As.
#include <exception>

#include "app/main_form.h"
#include "app/table_file.h"
#include "base/exceptions.h"
#include "formats/excel/load_workbook.h"

namespace plu {

bool MainForm::ConfirmSave() {
    switch (shell_.AskYesNoCancel(kSaveQuestion)) {
        case DialogAnswer::Yes:
            SaveFile();
            return true;
        case DialogAnswer::No:
            return true;
        case DialogAnswer::Cancel:
            break;
    }
    return false;
}

void MainForm::NewFile() {
    if (ConfirmSave()) {
        session_.SetFileName({});
        grid_ = nullptr;
        StartNewSheet();
        UpdateTitle();
    }
    LayoutSheet(true);
}

bool MainForm::OpenFile() {
    if (!ConfirmSave()) return false;
    const std::optional<WideString> chosen = shell_.OpenDialog(kTableFileFilter);
    if (!chosen || chosen->empty()) return false;

    // The current sheets wait outside the control until the file has been
    // read: an unreadable file must not cost the user the table on screen.
    grid_ = nullptr;
    TVexaTakenSheets previous = control_.TakeSheets();
    std::vector<TFormulaFailure> failures;
    try {
        failures = LoadWorkbook(control_, *chosen, measurer_);
        if (control_.SheetCount() == 0) throw Exception(kNoWorksheetText);
    } catch (...) {
        control_.RestoreSheets(std::move(previous));
        grid_ = control_.ActiveSheet();
        throw;
    }
    if (measurer_)
        for (int i = 0; i < control_.SheetCount(); ++i)
            control_.Sheets(i).SetMeasurer(measurer_);
    grid_ = control_.ActiveSheet();
    session_.SetFileName(*chosen);
    UpdateTitle();
    LayoutSheet(false);

    // Formulas the engine could not calculate show "#VALUE!"; the file is
    // open, but the user hears which sheets hold them.
    if (!failures.empty()) {
        WideString text;
        for (const TFormulaFailure& f : failures) {
            if (!text.empty()) text += u"\r\n";
            text += f.sheet + u": " + f.message;
        }
        ShowErrorMessage(text);
    }
    return true;
}

void MainForm::SaveFile() {
    if (FileName().empty()) {
        SaveFileAs();
        return;
    }
    if (!grid_) return;  // only between freeing and re-creating sheets
    // What the file cannot hold is said, not silently dropped.
    if (const int asValues = SaveTableFile(*grid_, WideToUtf8(FileName())); asValues > 0)
        shell_.ShowMessage(u"Warning",
                           IntToWide(asValues) +
                               u" formula(s) were saved as their values: an Excel 97-2003 workbook has no "
                               u"form for a function, name or sheet reference they use.",
                           MessageIcon::Warning);
    UpdateTitle();
}

void MainForm::SaveFileAs() {
    const std::optional<WideString> chosen = shell_.SaveDialog(kTableFileFilter, FileName());
    if (!chosen || chosen->empty()) return;
    session_.SetFileName(WithDefaultExtension(*chosen, kDefaultTableExtension));
    SaveFile();
}

}  // namespace plu
