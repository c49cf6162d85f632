#include "formats/biff8/record_lists.h"

#include <algorithm>
#include <cstdint>

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

TSharedString TShareStrList::Item(int index) const {
    const Entry& e = entries_.at(static_cast<size_t>(index));
    TSharedString s;
    s.text = WideStringView(chars_).substr(e.offset, e.length);
    s.options = e.options;
    if (e.extras != kNoExtras) {
        const Extras& x = extras_[e.extras];
        const std::span<const uint8_t> bytes(extraBytes_);
        s.runCount = x.runCount;
        s.extensionSize = x.extensionSize;
        s.runs = bytes.subspan(x.runsAt, x.runsLength);
        s.extension = bytes.subspan(x.extensionAt, x.extensionLength);
    }
    return s;
}

int TShareStrList::Append(size_t length, uint8_t options) {
    // Offsets are 32-bit: more characters than that (8 GB of them) is no
    // workbook anyone wrote.
    if (chars_.size() + length > UINT32_MAX || length > UINT16_MAX) RaiseReadError();
    entries_.push_back({static_cast<uint32_t>(chars_.size()), static_cast<uint16_t>(length),
                        options, kNoExtras});
    return static_cast<int>(entries_.size()) - 1;
}

int TShareStrList::Add(WideStringView text) {
    const int index = Append(text.size(), 0x01);
    chars_.append(text);
    return index;
}

int TShareStrList::AddEncoded(const uint8_t* characters, uint16_t count, uint8_t options) {
    const int index = Append(count, options);
    const size_t at = chars_.size();
    chars_.resize(at + count);
    char16_t* out = chars_.data() + at;
    if (options & 0x01) {
        for (uint16_t i = 0; i < count; ++i) out[i] = TVxBuffer::GetWord(characters + 2 * i);
    } else {
        for (uint16_t i = 0; i < count; ++i) out[i] = characters[i];
    }
    return index;
}

int TShareStrList::Add(const TXlsString& s) {
    int index;
    if (s.Is16Bit()) {
        index = Append(s.text16.size(), s.options);
        chars_.append(s.text16);
    } else {
        // Widened straight into the buffer: byte value = character code.
        index = Append(s.text8.size(), s.options);
        const size_t at = chars_.size();
        chars_.resize(at + s.text8.size());
        for (size_t i = 0; i < s.text8.size(); ++i)
            chars_[at + i] = static_cast<unsigned char>(s.text8[i]);
    }
    if (s.runCount != 0 || s.extensionSize != 0 || !s.runs.empty() || !s.extension.empty()) {
        Extras x{s.runCount, s.extensionSize, extraBytes_.size(), s.runs.size(), 0, 0};
        extraBytes_.insert(extraBytes_.end(), s.runs.begin(), s.runs.end());
        x.extensionAt = extraBytes_.size();
        x.extensionLength = s.extension.size();
        extraBytes_.insert(extraBytes_.end(), s.extension.begin(), s.extension.end());
        entries_.back().extras = static_cast<uint32_t>(extras_.size());
        extras_.push_back(x);
    }
    return index;
}

void TShareStrList::Clear() {
    chars_.clear();
    entries_.clear();
    extras_.clear();
    extraBytes_.clear();
}

void TShareStrList::Reserve(size_t strings, size_t characters) {
    entries_.reserve(strings);
    chars_.reserve(characters);
}

void DecodeSST(const TXlsRecord& sst, TShareStrList& list) {
    const uint32_t count = sst.GetLong(4);
    // The count may lie: reserve no more than the bytes could hold (3 each),
    // and no more characters than there are bytes.
    size_t bytes = 0;
    for (const TXlsRecord* r = &sst; r; r = r->Continuation()) bytes += static_cast<size_t>(r->Size());
    list.Reserve(std::min<size_t>(count, bytes / 3), bytes);
    TRecordCursor cursor(sst, 8);
    // For the strings that carry runs or an extension block or that cross
    // into a CONTINUE record; reused, so its buffers keep their capacity.
    TXlsString s;
    for (uint32_t i = 0; i < count; ++i) {
        // Most strings are plain and lie within one record: their characters
        // go straight into the list.
        const TXlsRecord& record = *cursor.Record();
        const int at = cursor.Offset();
        if (record.Holds(at, 3)) {
            const uint8_t* p = record.Body().data() + at;
            const uint16_t chars = TVxBuffer::GetWord(p);
            const uint8_t options = p[2];
            const int bytes = (options & 0x01) ? 2 * chars : chars;
            if ((options & 0x0C) == 0 && record.Holds(at + 3, bytes)) {
                list.AddEncoded(p + 3, chars, options);
                cursor.Skip(static_cast<uint32_t>(3 + bytes));
                continue;
            }
        }
        ReadXlsString(cursor, 2, true, s);
        list.Add(s);
    }
}

}  // namespace plu
