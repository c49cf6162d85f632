#include "formats/biff8/record_lists.h"

#include "formats/biff8/font_record.h"
#include "formats/biff8/globals_records.h"
#include "formats/biff8/xls_errors.h"

namespace plu {

int TRecordList::Add(std::unique_ptr<TXlsRecord> record) {
    items_.push_back(std::move(record));
    return static_cast<int>(items_.size()) - 1;
}

int TRecordList::FindSame(const TXlsRecord& record) const {
    for (size_t i = 0; i < items_.size(); ++i) {
        if (record.SameBody(*items_[i])) return static_cast<int>(i);
    }
    return -1;
}

int TRecordList::AddUnique(std::unique_ptr<TXlsRecord> record) {
    int found = FindSame(*record);
    return found >= 0 ? found : Add(std::move(record));
}

int TFontList::AddUnique(std::unique_ptr<TFontRecord> record) {
    return FontIndexOfEntry(TTypedRecordList<TFontRecord>::AddUnique(std::move(record)));
}

TFontRecord* TFontList::FontByIndex(int fontIndex) const {
    const int entry = EntryOfFontIndex(fontIndex);
    return entry >= 0 && entry < Count() ? &Item(entry) : nullptr;
}

namespace {

// Built-in number formats of the format (index: string); others are empty.
const char16_t* const kBuiltInFormats[59] = {
    u"General",
    u"0",
    u"0.00",
    u"#,##0",
    u"#,##0.00",
    u"\"$\"#,##0_);(\"$\"#,##0)",
    u"\"$\"#,##0_);[Red](\"$\"#,##0)",
    u"\"$\"#,##0.00_);(\"$\"#,##0.00)",
    u"\"$\"#,##0.00_);[Red](\"$\"#,##0.00)",
    u"0%",
    u"0.00%",
    u"0.00E+00",
    u"#?/?",
    u"#?" u"?/?" u"?",  // split: "??/" would read as a trigraph
    u"M/D/YY",
    u"D-MMM-YY",
    u"D-MMM",
    u"MMM-YY",
    u"h:mm AM/PM",
    u"h:mm:ss AM/PM",
    u"h:mm",
    u"h:mm:ss",
    u"M/D/YY h:mm",
    u"", u"", u"", u"", u"", u"", u"",  // 23-29
    u"m-d-yy",
    u"yyyy\"年\"m\"月\"d\"日\"",
    u"", u"", u"", u"", u"",  // 32-36
    u"_(#,##0_);(#,##0)",
    u"_(#,##0_);[Red](#,##0)",
    u"_(#,##0.00_);(#,##0.00)",
    u"_(#,##0.00_);[Red](#,##0.00)",
    u"_\"$\"*#,##0_);_(\"$\"*(#,##0);_(\"$\"*\"-\"_);_(@_)",
    u"_(*#,##0_);_(*(#,##0);_(*\"-\"_);_(@_)",
    u"_(\"$\"*#,##0.00_);_(\"$\"*(#,##0.00);_(\"$\"*\"-\"??_);_(@_)",
    u"_(*#,##0.00_);_(*(#,##0.00);_(*\"-\"??_);_(@_)",
    u"mm:ss",
    u"[h]:mm:ss",
    u"mm:ss.0",
    u"##0.0E+0",
    u"@",
    u"", u"", u"", u"", u"", u"", u"",  // 50-56
    u"yyyy\"年\"m\"月\"",
    u"m\"月\"d\"日\"",
};

}  // namespace

WideString BuiltInFormat(int index) {
    return index >= 0 && index < 59 ? WideString(kBuiltInFormats[index]) : WideString();
}

int TFormatList::IndexOfFormat(WideStringView text) {
    if (text.empty()) return 0;
    for (int i = 0; i < Count(); ++i) {
        if (Item(i).FormatString() == text) return Item(i).FormatIndex();
    }
    // New formats are numbered by the list's length. Two records with one
    // index would make the later one unreachable, so a taken number moves on.
    int index = Count();
    auto taken = [this](int n) {
        for (int i = 0; i < Count(); ++i) {
            if (Item(i).FormatIndex() == n) return true;
        }
        return false;
    };
    while (index <= 0xFFFF && taken(index)) ++index;
    if (index > 0xFFFF) RaiseXlsLimit("Too many number formats in one workbook");
    Add(TFormatRecord::Make(static_cast<uint16_t>(index), text));
    return index;
}

WideString TFormatList::FormatOfIndex(int index) const {
    for (int i = 0; i < Count(); ++i) {
        if (Item(i).FormatIndex() == index) return Item(i).FormatString();
    }
    return BuiltInFormat(index);
}

int TShareStrList::Add(std::unique_ptr<TXlsString> s) {
    items_.push_back(std::move(s));
    return static_cast<int>(items_.size()) - 1;
}

void DecodeSST(const TXlsRecord& sst, TShareStrList& list) {
    const uint32_t count = sst.GetLong(4);
    // The count may lie: reserve no more than the bytes could hold (3 each).
    size_t bytes = 0;
    for (const TXlsRecord* r = &sst; r; r = r->Continuation()) bytes += static_cast<size_t>(r->Size());
    list.Reserve(std::min<size_t>(count, bytes / 3));
    TRecordCursor cursor(sst, 8);
    for (uint32_t i = 0; i < count; ++i) {
        auto s = std::make_unique<TXlsStringAccess>();
        ReadXlsString(cursor, 2, true, *s);
        list.Add(std::move(s));
    }
}

}  // namespace plu
