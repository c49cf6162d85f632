#include "grid/format_list.h"

#include <array>

namespace plu {

namespace {

// Indices 0 ... 49: the numbering of the BIFF8 built-in number formats.
constexpr std::array<std::u16string_view, kBuiltInFormatCount> kBuiltIns = {
    u"",                                                   // 0 General
    u"0",                                                  // 1
    u"0.00",                                               // 2
    u"#,##0",                                              // 3
    u"#,##0.00",                                           // 4
    u"_($#,##0_);($#,##0)",                                // 5
    u"_($#,##0_);[Red]($#,##0)",                           // 6
    u"_($#,##0.00_);($#,##0.00)",                          // 7
    u"_($#,##0.00_);[Red]($#,##0.00)",                     // 8
    u"0%",                                                 // 9
    u"0.00%",                                              // 10
    u"0.00E+00",                                           // 11
    u"# ?/?",                                              // 12
    u"# ?\?/?\?",                                          // 13 (escaped: no trigraph)
    u"m/d/yy",                                             // 14
    u"d-mmm-y",                                            // 15
    u"d-mmm",                                              // 16
    u"mmmm-yy",                                            // 17
    u"h:mm AM/PM",                                         // 18
    u"h:mm:ss AM/PM",                                      // 19
    u"h:mm",                                               // 20
    u"h:mm:ss",                                            // 21
    u"m/d/yy h:mm",                                        // 22
    u"", u"", u"", u"", u"", u"", u"",                     // 23 ... 29
    u"", u"", u"", u"", u"", u"", u"",                     // 30 ... 36
    u"#,##0_);(#,##0)",                                    // 37
    u"#,##0_);[Red](#,##0)",                               // 38
    u"#,##0.00_);(#,##0.00)",                              // 39
    u"#,##0.00_);[Red](#,##0.00)",                         // 40
    u"_(* #,##0_);_(* (#,##0);_(* \"-\"_);_(@_)",          // 41
    u"_($* #,##0_);_($* (#,##0);_($* \"-\"_);_(@_)",       // 42
    u"_(* #,##0.00_);_(* (#,##0.00);_(* \"-\"?\?_);_(@_)",  // 43
    u"_($* #,##0.00_);_($* (#,##0.00);_($* \"-\"?\?_);_(@_)",  // 44
    u"mm:ss",                                              // 45
    u"[h]:mm:ss",                                          // 46
    u"mm:ss.0",                                            // 47
    u"# #0.0E+0",                                          // 48
    u"@",                                                  // 49
};

}  // namespace

WideStringView BuiltInFormat(int index) {
    if (index < 0 || index >= kBuiltInFormatCount) return {};
    return kBuiltIns[static_cast<size_t>(index)];
}

TKtFormatList::TKtFormatList() {
    entries_.reserve(kBuiltInFormatCount);
    for (int i = 0; i < kBuiltInFormatCount; ++i) {
        entries_.emplace_back(kBuiltIns[static_cast<size_t>(i)]);
        index_.try_emplace(UpperCase(entries_.back()), i);
    }
}

size_t TKtFormatList::Count() const {
    std::lock_guard guard(mutex_);
    return entries_.size();
}

WideString TKtFormatList::Get(size_t index) const {
    std::lock_guard guard(mutex_);
    return index < entries_.size() ? entries_[index] : WideString();
}

int TKtFormatList::IndexOf(WideStringView text) {
    WideString key = UpperCase(text);
    std::lock_guard guard(mutex_);
    if (auto it = index_.find(key); it != index_.end()) return it->second;
    if (key == u"GENERAL") return 0;
    // Indices are 16-bit: a full list cannot take another string.
    if (entries_.size() >= kMaxFormatCount) return 0;
    int index = static_cast<int>(entries_.size());
    entries_.emplace_back(text);
    index_.emplace(std::move(key), index);
    return index;
}

}  // namespace plu
