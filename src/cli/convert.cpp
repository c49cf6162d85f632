#include "cli/convert.h"

#include <exception>
#include <string>
#include <vector>

#include "app/table_file.h"
#include "base/exceptions.h"
#include "base/wide_text.h"
#include "formats/excel/load_workbook.h"
#include "formats/text/text_import.h"
#include "sheets/sheet_control.h"

namespace plu::cli {
namespace {

constexpr const char* kName = "plu-tool convert";

// One line: line breaks inside a message would split the report.
std::string OneLine(WideStringView message) {
    std::string text = WideToUtf8(message);
    for (char& c : text)
        if (c == '\n' || c == '\r') c = ' ';
    return text;
}

// The worksheet to save, read from source as the editor opens files.
TVexaGridSheet* Open(TVexaSheetControl& control, const std::string& source, std::ostream& err) {
    control.DisableTabSync();
    if (IsXlsFileName(Utf8ToWide(source))) {
        for (const TFormulaFailure& f : LoadWorkbook(control, Utf8ToWide(source)))
            err << kName << ": warning: sheet \"" << OneLine(f.sheet)
                << "\": a formula could not be calculated (" << OneLine(f.message)
                << "); it is converted as #VALUE!\n";
        return control.ActiveSheet();
    }
    control.ActivateSheet(control.AddSheet(u"Sheet1"));
    LoadFromTextFile(*control.ActiveSheet(), source);
    return control.ActiveSheet();
}

}  // namespace

int RunConvert(const Args& args, std::ostream& /*out*/, std::ostream& err) {
    if (args.size() != 2 || args[0].empty() || args[1].empty() || args[0][0] == '-' ||
        args[1][0] == '-') {
        err << kName << ": usage: plu-tool convert SOURCE TARGET\n";
        return kExitUsage;
    }
    const std::string& source = args[0];
    const std::string& target = args[1];

    TVexaSheetControl control;
    TVexaGridSheet* sheet = nullptr;
    try {
        sheet = Open(control, source, err);
    } catch (const Exception& e) {
        err << kName << ": " << source << ": cannot be read: " << OneLine(e.Message()) << "\n";
        return kExitFailure;
    } catch (const std::exception& e) {
        err << kName << ": " << source << ": cannot be read: " << e.what() << "\n";
        return kExitFailure;
    }
    if (!sheet) {
        err << kName << ": " << source << ": the workbook holds no worksheet\n";
        return kExitFailure;
    }

    try {
        if (const int asValues = SaveTableFile(*sheet, target); asValues > 0)
            err << kName << ": warning: " << asValues
                << " formula(s) saved as their values: an Excel 97-2003 workbook cannot hold them "
                   "(a function, name or sheet reference it has no form for)\n";
    } catch (const Exception& e) {
        err << kName << ": " << target << ": cannot be written: " << OneLine(e.Message()) << "\n";
        return kExitFailure;
    } catch (const std::exception& e) {
        err << kName << ": " << target << ": cannot be written: " << e.what() << "\n";
        return kExitFailure;
    }
    return kExitOk;
}

}  // namespace plu::cli
