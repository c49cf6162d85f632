// Formula texts from anywhere (typed, pasted, read from workbooks) through
// the lexer and compiler. Whatever compiles must write itself back as a
// text that compiles to the same text, and must evaluate, shift and report
// its references without anything but the engine's own failures.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "../formulas/fake_sheets.h"
#include "base/regional_settings.h"

using namespace plu;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScopedRegionalSettings en(RegionalSettings::Defaults());
    WideString text = Utf8ToWide(std::string_view(reinterpret_cast<const char*>(data), size));

    testing::FakeBook book({u"Sheet1", u"Sheet2"});
    testing::FakeSheet& sheet = book.Sheet(0);
    sheet.Set("A1", "1");
    sheet.Set("A2", "x");
    sheet.Set("B1", "=A1+1");
    sheet.Set("B2", "=1/0");
    book.Sheet(1).Set("A1", "2");

    std::unique_ptr<TKtGridFormulaItem> item;
    try {
        item = sheet.Compile(text);
    } catch (const Exception&) {
        return 0;
    }
    WideString source = item->SourceText();
    std::unique_ptr<TKtGridFormulaItem> again = sheet.Compile(source);  // must not throw
    if (again->SourceText() != source) std::abort();

    sheet.Put({2, 2}, std::move(item));  // C3
    TKtGridFormulaItem& placed = *sheet.Formula("C3");
    try {
        placed.DisplayText();
    } catch (const Exception&) {
    }
    placed.References();
    placed.Shift(1, -1);
    placed.SourceText();
    try {
        sheet.RecalculateAll();
    } catch (const Exception&) {
    }
    return 0;
}
