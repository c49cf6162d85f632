#include "formats/biff8/xls_errors.h"

#include <cstdio>

namespace plu {

void RaiseReadFailed() { throw EXlsError(kXlsReadFailed, u"读取记录失败. 文件无效"); }

void RaiseReadFailed(const char* why) {
    throw EXlsError(kXlsReadFailed, u"读取记录失败. 文件无效", Utf8ToWide(why));
}

void RaiseBadRecord(uint16_t recordId) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%x", static_cast<unsigned>(recordId));
    throw EXlsError(kXlsBadRecord, u"0x" + AsciiToWide(hex) + u" 记录无效");
}

void RaiseReadError() { throw EXlsError(kXlsReadError, u"读取记录出错"); }

void RaiseTooManyEntries(int entry, int maximum) {
    throw EXlsError(kXlsTooManyEntries,
                    u"过多的条目 (" + IntToWide(entry) + u" 超过最大支持数" + IntToWide(maximum) + u")");
}

void RaiseSecondContinue() { throw EXlsError(kXlsSecondContinue, u"试图在一个记录上添加多个CONTINUE记录"); }

void RaiseDuplicateRow() { throw EXlsError(kXlsDuplicateRow, u"重复的ROW记录"); }

void RaiseRowCountMismatch() { throw EXlsError(kXlsRowCountMismatch, u"ROW记录数与单元格数不相同"); }

void RaiseBadCellValue(WideStringView valueText) {
    throw EXlsError(kXlsBadCellValue, u"无效的单元格值: \"" + WideString(valueText) + u"\"");
}

void RaiseNotShareStrList() { throw EXlsError(0, u"AList must be TShareStrList"); }

void RaisePasswordProtected() {
    throw EXlsError(0,
                    u"The workbook is password-protected (encrypted) and cannot be opened: "
                    u"save it without a password in the program that wrote it, then open it again");
}

void RaiseOlderVersion(const char* version) {
    throw EXlsError(0, u"The workbook was written by " + Utf8ToWide(version) +
                           u"; only Excel 97-2003 workbooks (BIFF8) can be opened: save it as an "
                           u"Excel 97-2003 workbook in a newer program, then open it again");
}

void RaiseXlsLimit(const std::string& text) { throw EXlsError(0, Utf8ToWide(text)); }

}  // namespace plu
