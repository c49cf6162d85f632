#include "formats/excel/load_workbook.h"

#include <algorithm>
#include <memory>

#include "base/exceptions.h"
#include "formats/excel/excel_rw.h"
#include "sheets/sheet_control.h"

namespace plu {
namespace {

std::vector<TFormulaFailure> LoadSheets(TVexaSheetControl& control, TKtGridExcelRW& bridge) {
    const int count = std::min(bridge.SheetCount(), kMaxLoadedSheets);
    // Every sheet is attached and captioned before any is read, so that a
    // formula of the first sheet that refers to a later one finds it.
    std::vector<TVexaGridSheet*> sheets;
    for (int i = 0; i < count; ++i) {
        TVexaGridSheet& sheet = control.AttachSheet(std::make_unique<TVexaGridSheet>());
        sheet.SetCaption(bridge.SheetName(i));
        sheets.push_back(&sheet);
    }
    for (int i = 0; i < count; ++i)
        bridge.ReadSheet(*sheets[static_cast<size_t>(i)], i, 0, 0);
    control.ActivateSheet(0);

    // A formula the engine cannot calculate shows "#VALUE!" in its cell; it
    // does not undo a load that read every sheet.
    std::vector<TFormulaFailure> failures;
    for (int i = 0; i < control.SheetCount(); ++i) {
        TVexaGridSheet& sheet = control.Sheets(i);
        try {
            sheet.Calculate();
        } catch (const Exception& e) {
            failures.push_back({sheet.Caption(), e.Message()});
        }
    }
    return failures;
}

}  // namespace

std::vector<TFormulaFailure> LoadWorkbook(TVexaSheetControl& control, WideStringView fileName,
                                          ITextMeasurer* measurer) {
    TKtGridExcelRW bridge(measurer);
    bridge.LoadFromFile(fileName);
    return LoadSheets(control, bridge);
}

std::vector<TFormulaFailure> LoadWorkbookFromDocument(TVexaSheetControl& control,
                                                      std::span<const uint8_t> document,
                                                      ITextMeasurer* measurer) {
    TKtGridExcelRW bridge(measurer);
    bridge.LoadFromDocument(document);
    return LoadSheets(control, bridge);
}

}  // namespace plu
