#include "app/table_file.h"

#include "formats/excel/export_xls.h"
#include "formats/text/text_export.h"

namespace plu {

bool IsXlsFileName(WideStringView fileName) {
    constexpr WideStringView xls = u".xls";
    return fileName.size() > xls.size() &&
           SameText(fileName.substr(fileName.size() - xls.size()), xls);
}

WideString WithDefaultExtension(WideStringView fileName, WideStringView extension) {
    const std::size_t slash = fileName.find_last_of(u'/');
    const WideStringView base =
        slash == WideStringView::npos ? fileName : fileName.substr(slash + 1);
    const std::size_t dot = base.find_last_of(u'.');
    WideString result(fileName);
    if (dot != WideStringView::npos && dot > 0) {
        if (dot + 1 < base.size()) return result;
        // "report." : the dot is there already.
        if (!extension.empty() && extension.front() == u'.') extension.remove_prefix(1);
    }
    result += extension;
    return result;
}

int SaveTableFile(const TKtCustomGrid& grid, const std::string& fileName) {
    if (IsXlsFileName(Utf8ToWide(fileName)))
        return SaveToXlsFile(grid, fileName, kPluSheetName).formulasSavedAsValues;
    SaveToTextFile(grid, fileName, false, false);
    return 0;
}

}  // namespace plu
