// Failures of the BIFF8 layer. The messages the system shows are fixed texts
// (numbered 65224 to 65231 as the resource strings they came from); each is
// raised as EXlsError carrying exactly that text, placeholders filled in.
#pragma once

#include <cstdint>
#include <string>

#include "base/exceptions.h"

namespace plu {

class EXlsError : public Exception {
public:
  EXlsError(int id, WideStringView message) : Exception(message), id_(id), fixed_(message) {}
  // The fixed text followed by what a user can act on: " (why; which
  // record at which byte of the stream, in which sheet)". Message()
  // still begins with the fixed text.
  EXlsError(int id, WideStringView message, WideStringView detail)
      : Exception(WideString(message) + u" (" + WideString(detail) + u")"),
        id_(id),
        fixed_(message),
        detail_(detail) {}
  const WideString& FixedText() const noexcept { return fixed_; }
  const WideString& Detail() const noexcept { return detail_; }
  // The message number (65224 to 65231), or 0 for messages without one.
  int Id() const noexcept { return id_; }

private:
    int id_;
    WideString fixed_;
    WideString detail_;
};

inline constexpr int kXlsReadFailed = 65224;       // "读取记录失败. 文件无效"
inline constexpr int kXlsBadRecord = 65225;        // "0x%x 记录无效"
inline constexpr int kXlsReadError = 65226;        // "读取记录出错"
inline constexpr int kXlsTooManyEntries = 65227;   // "过多的条目 (%d 超过最大支持数%d)"
inline constexpr int kXlsSecondContinue = 65228;   // "试图在一个记录上添加多个CONTINUE记录"
inline constexpr int kXlsDuplicateRow = 65229;     // "重复的ROW记录"
inline constexpr int kXlsRowCountMismatch = 65230; // "ROW记录数与单元格数不相同"
inline constexpr int kXlsBadCellValue = 65231;     // "无效的单元格值: "%s""

[[noreturn]] void RaiseReadFailed();
// The same with the reason (English): "a STRING record follows a record that is no formula".
[[noreturn]] void RaiseReadFailed(const char* why);
[[noreturn]] void RaiseBadRecord(uint16_t recordId);
[[noreturn]] void RaiseReadError();
[[noreturn]] void RaiseTooManyEntries(int entry, int maximum);
[[noreturn]] void RaiseSecondContinue();
[[noreturn]] void RaiseDuplicateRow();
[[noreturn]] void RaiseRowCountMismatch();
[[noreturn]] void RaiseBadCellValue(WideStringView valueText);
// "AList must be TShareStrList"
[[noreturn]] void RaiseNotShareStrList();

// Workbooks this program cannot read, with what a user can do about it.
[[noreturn]] void RaisePasswordProtected();
// version: the program and format, "Excel 5.0 or Excel 95 (BIFF5)".
[[noreturn]] void RaiseOlderVersion(const char* version);

// Failures of our own that the fixed texts do not cover (a record that would
// break the format's limits when written); the text is English.
[[noreturn]] void RaiseXlsLimit(const std::string& text);

}  // namespace plu
