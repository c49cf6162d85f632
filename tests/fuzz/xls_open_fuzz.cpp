// The whole path Open and Paste take with outside bytes: a compound document
// (or a bare workbook stream) -> LoadWorkbook into a sheet control (formats,
// merged ranges, formulas compiled and calculated), and the first sheet
// pasted into another grid with ReadSheetAt. Reading may refuse the bytes
// with an exception; it must never crash, hang or read out of bounds.
#include <cstddef>
#include <cstdint>
#include <span>

#include "base/exceptions.h"
#include "base/text_measurer.h"
#include "formats/cfb/compound_document.h"
#include "formats/excel/excel_helper.h"
#include "formats/excel/excel_rw.h"
#include "formats/excel/load_workbook.h"
#include "sheets/sheet_control.h"

namespace {

using namespace plu;

FixedTextMeasurer measurer;

void OpenAndPaste(std::span<const uint8_t> document) {
    TVexaSheetControl control;
    try {
        LoadWorkbookFromDocument(control, document, &measurer);
    } catch (const Exception&) {
        return;
    } catch (const std::exception&) {
        return;
    }
    if (control.SheetCount() == 0) return;
    TVexaGridSheet target;
    TKtGridExcelRW bridge(&measurer);
    try {
        bridge.LoadFromDocument(document);
        bridge.Helper().ReadSheetAt(target, 0, 3, 3);
    } catch (const Exception&) {
    } catch (const std::exception&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    OpenAndPaste(bytes);
    // The same bytes as a bare workbook stream in a document, so that the
    // fuzzer reaches the records without having to build a container.
    try {
        TCompoundStream stream{"Workbook", bytes};
        const std::vector<uint8_t> wrapped =
            BuildCompoundDocument(std::span<const TCompoundStream>(&stream, 1));
        OpenAndPaste(wrapped);
    } catch (const Exception&) {
    }
    return 0;
}
