// Owning lists of the workbook globals: records in stream order, and the
// shared strings in SST order.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "base/wide_text.h"
#include "formats/biff8/xls_record.h"
#include "formats/biff8/xls_string.h"

namespace plu {

class TFontRecord;
class TFormatRecord;
class TXFRecord;
class TBoundSheetRecord;

// The common base of the lists a LABELSST record may be handed.
class TXlsList {
public:
    virtual ~TXlsList() = default;
    virtual int Count() const = 0;
};

class TRecordList : public TXlsList {
public:
    int Count() const override { return static_cast<int>(items_.size()); }
    TXlsRecord& Record(int index) const { return *items_.at(static_cast<size_t>(index)); }

    // Appends; returns the index.
    int Add(std::unique_ptr<TXlsRecord> record);
    // The index of the first record whose body equals the new record's body
    // over the new record's length (the new record is then freed), else Add.
    int AddUnique(std::unique_ptr<TXlsRecord> record);
    void Clear() { items_.clear(); }

protected:
    int FindSame(const TXlsRecord& record) const;

    std::vector<std::unique_ptr<TXlsRecord>> items_;
};

// A record list whose items are all of one class.
template <typename T>
class TTypedRecordList : public TRecordList {
public:
    T& Item(int index) const { return static_cast<T&>(Record(index)); }
    int Add(std::unique_ptr<T> record) { return TRecordList::Add(std::move(record)); }
    int AddUnique(std::unique_ptr<T> record) {
        return TRecordList::AddUnique(std::unique_ptr<TXlsRecord>(std::move(record)));
    }
};

// FONT records. BIFF8 has no FONT index 4: index n names list entry n for
// n < 4 and entry n - 1 for n > 4.
class TFontList : public TTypedRecordList<TFontRecord> {
public:
    // The FONT index of the found or appended entry (never 4).
    int AddUnique(std::unique_ptr<TFontRecord> record);
    static int FontIndexOfEntry(int entry) { return entry >= 4 ? entry + 1 : entry; }
    // The list entry a FONT index names, or -1 for index 4 and negatives.
    static int EntryOfFontIndex(int fontIndex) {
        return fontIndex < 0 || fontIndex == 4 ? -1 : (fontIndex > 4 ? fontIndex - 1 : fontIndex);
    }
    // The record a FONT index names, or nullptr.
    TFontRecord* FontByIndex(int fontIndex) const;
};

// FORMAT records with the lookups of the built-in format table.
class TFormatList : public TTypedRecordList<TFormatRecord> {
public:
    // An empty text gives 0 (General). Otherwise the format index of the
    // first FORMAT record with an equal string (case-sensitive); else a new
    // FORMAT record is appended whose index is the number of records before
    // appending (12 when the list held 12) — or, when a record already has
    // that index, the next index no record uses.
    int IndexOfFormat(WideStringView text);
    // The string of the first FORMAT record with that index; else the
    // built-in format (0 to 58) or the empty string.
    WideString FormatOfIndex(int index) const;
};

// The built-in format strings, index 0 to 58 (empty where none is defined).
WideString BuiltInFormat(int index);

class TXFList : public TTypedRecordList<TXFRecord> {};
class TStyleList : public TTypedRecordList<TXlsRecord> {};
class TBoundSheetList : public TTypedRecordList<TBoundSheetRecord> {};

// One shared string as the list holds it: views into the list's storage,
// valid until the list changes or goes.
struct TSharedString {
    WideStringView text;  // 8-bit characters widened byte by byte
    uint8_t options = 0;  // as read; bit 0 set when the text is 16-bit
    uint16_t runCount = 0;
    uint32_t extensionSize = 0;
    std::span<const uint8_t> runs;       // 4 bytes per run
    std::span<const uint8_t> extension;  // the extension block

    bool Is16Bit() const { return (options & 0x01) != 0; }
    WideString Text() const { return WideString(text); }
};

// The shared strings, in SST order. A workbook may hold hundreds of
// thousands of them, so they are not objects of their own: the characters
// of all strings lie in one buffer, each string is an entry of 12 bytes, and
// the rare rich-text runs and extension blocks are kept beside them.
class TShareStrList : public TXlsList {
public:
    int Count() const override { return static_cast<int>(entries_.size()); }
    // Fails with std::out_of_range beyond the list.
    TSharedString Item(int index) const;
    WideStringView Text(int index) const {
        const Entry& e = entries_.at(static_cast<size_t>(index));
        return WideStringView(chars_).substr(e.offset, e.length);
    }
    // Appends a string as read (with its runs and extension block).
    int Add(const TXlsString& s);
    // Appends a 16-bit string without extras.
    int Add(WideStringView text);
    // Appends a string without extras from its encoded characters (count of
    // them, 8-bit or 16-bit little-endian as options bit 0 says).
    int AddEncoded(const uint8_t* characters, uint16_t count, uint8_t options);
    void Clear();
    // Room for that many strings and characters.
    void Reserve(size_t strings, size_t characters);

private:
    static constexpr uint32_t kNoExtras = UINT32_MAX;
    struct Entry {
        uint32_t offset;  // in chars_
        uint16_t length;
        uint8_t options;
        uint32_t extras;  // index in extras_, or kNoExtras
    };
    struct Extras {
        uint16_t runCount;
        uint32_t extensionSize;
        size_t runsAt, runsLength, extensionAt, extensionLength;  // in extraBytes_
    };
    // The entry of a string of that length whose characters go to the end
    // of chars_ next.
    int Append(size_t length, uint8_t options);

    WideString chars_;
    std::vector<Entry> entries_;
    std::vector<Extras> extras_;
    std::vector<uint8_t> extraBytes_;
};

// Decodes an SST record (and its CONTINUE records) into list: the unique
// string count is the u32 at offset 4, the strings start at offset 8. A table
// that announces more strings than its records hold fails with 65226.
void DecodeSST(const TXlsRecord& sst, TShareStrList& list);

}  // namespace plu
