#include "cli/table_io.h"

#include <unistd.h>

#include <filesystem>

#include "app/main_form.h"
#include "app/table_file.h"
#include "base/exceptions.h"
#include "base/wide_text.h"
#include "cli/headless_window.h"
#include "formats/excel/load_workbook.h"
#include "formats/text/text_import.h"

namespace plu::cli {

std::string ErrorText(const std::exception& e) {
    std::string text = e.what();
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

void OpenTable(HeadlessWindow& window, const std::string& path, std::ostream& err,
               const std::string& name) {
    TVexaSheetControl& control = window.Control();
    if (IsXlsFileName(Utf8ToWide(path))) {
        control.FreeAllSheets();
        for (const TFormulaFailure& f : LoadWorkbook(control, Utf8ToWide(path)))
            err << name << ": warning: sheet \"" << WideToUtf8(f.sheet)
                << "\": a formula could not be calculated (" << WideToUtf8(f.message)
                << "); it reads #VALUE!\n";
        if (!control.ActiveSheet()) throw Exception(kNoWorksheetText);
    } else {
        window.NewFile();
        LoadFromTextFile(*window.Grid(), path);
    }
    window.LayoutSheet(false);
}

std::string CannotWriteReason(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(path);
    if (fs::is_directory(target, ec)) return "is a folder";
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    if (!fs::is_directory(folder, ec)) return "its folder " + folder.string() + " does not exist";
    if (access(folder.c_str(), W_OK | X_OK) != 0)
        return "its folder " + folder.string() + " is not writable";
    return {};
}

}  // namespace plu::cli
