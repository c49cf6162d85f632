// The number-format list: format strings addressed by a 16-bit index. It
// starts with the 50 BIFF8 built-in formats at indices 0 ... 49 (0 General,
// the empty string; 23 ... 36 empty; 49 "@"); new strings are appended and
// the list never shrinks, so an index stays valid for the whole run.
// Strings are kept as wide text, so markers such as "上午/下午" survive.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "base/wide_text.h"

namespace plu {

constexpr int kBuiltInFormatCount = 50;
constexpr uint16_t kFormatGeneral = 0;
constexpr uint16_t kFormatScientific = 11;  // "0.00E+00"
constexpr uint16_t kFormatFraction1 = 12;   // "# ?/?"
constexpr uint16_t kFormatFraction2 = 13;   // "# ??/??"
constexpr uint16_t kFormatShortDate = 14;   // "m/d/yy"
constexpr uint16_t kFormatShortTime = 20;   // "h:mm"
constexpr uint16_t kFormatText = 49;        // "@"
// The list holds at most this many entries (indices are 16-bit).
constexpr size_t kMaxFormatCount = 65536;

// The built-in string of index (0 ... 49); "" for other indices.
WideStringView BuiltInFormat(int index);

class TKtFormatList {
public:
    TKtFormatList();

    size_t Count() const;
    // The entry at index, "" when the index is beyond the list.
    WideString Get(size_t index) const;
    // The first index whose string equals text ignoring case; else 0 when
    // text is "General" (any case); else text is appended and its new index
    // returned. "" finds index 0. When the list is full (65,536 entries) a
    // new string cannot be added and reads as General (0).
    int IndexOf(WideStringView text);

private:
    // Guards the list: entries are appended from whichever thread sets a
    // format string and read while painting.
    mutable std::mutex mutex_;
    std::vector<WideString> entries_;
    // Upper-cased string -> first index holding it.
    std::unordered_map<WideString, int> index_;
};

}  // namespace plu
