// BIFF8 unicode strings: a character count (1 or 2 bytes), an option byte
// (bit 0: 16-bit characters; bit 2: extension block; bit 3: rich-text runs),
// then the characters (8-bit ones are the low bytes of UTF-16 units).
//
// Three readers:
//  - shared strings and the names of FONT, FORMAT and BOUNDSHEET records may
//    cross into CONTINUE records (TRecordCursor below); 8-bit characters are
//    widened byte by byte;
//  - LABEL and STRING text decode 8-bit characters through the ANSI code
//    page. A text whose declared length runs past its record fails with
//    message 65226 unless the record carries a continuation, which is then
//    read as the published format prescribes.
// The writer always encodes 16-bit characters (option byte 1); an empty
// string is its count alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/wide_text.h"
#include "formats/biff8/xls_record.h"

namespace plu {

// One decoded string as read, with its rich-text runs and extension block
// (the shared-string list keeps them more compactly).
class TXlsString {
public:

    int countSize = 2;        // bytes of the character count field (1 or 2)
    uint16_t charCount = 0;
    uint8_t options = 0;      // as read; bit 0 set when the text is 16-bit
    uint16_t runCount = 0;    // rich-text runs, 0 when absent
    uint32_t extensionSize = 0;
    std::string text8;        // 8-bit characters (empty for a 16-bit string)
    WideString text16;        // 16-bit characters (empty for an 8-bit string)
    std::vector<uint8_t> runs;       // 4 bytes per run
    std::vector<uint8_t> extension;  // the extension block

    bool Is16Bit() const { return (options & 0x01) != 0; }
    // The 16-bit text, or the 8-bit text widened byte by byte.
    WideString Text() const;
};

// Reads across a record and its chain of CONTINUE records. Fixed-size fields
// continue byte by byte at offset 0 of the next record; characters continue
// after a leading option byte (see ReadCharacters).
class TRecordCursor {
public:
    TRecordCursor(const TXlsRecord& record, int offset);

    uint8_t ReadByte();
    uint16_t ReadWord();
    uint32_t ReadLong();
    // Appends count bytes (any record boundaries crossed without option bytes).
    void ReadBytes(uint32_t count, std::vector<uint8_t>& out);
    void Skip(uint32_t count);

    // Reads count characters starting with the given width. At a record end
    // with characters still to come, the next record begins with an option
    // byte whose bit 0 gives the width from there on, unless no character of
    // this string was read yet. Appends 8-bit runs to text8 until a switch to
    // 16-bit, which widens what was read (byte value = character code).
    void ReadCharacters(uint32_t count, bool sixteenBit, std::string& text8, WideString& text16,
                        bool& is16, bool ansi);

    const TXlsRecord* Record() const { return record_; }
    int Offset() const { return offset_; }

private:
    // Moves to the continuation when the current record is used up; 65226
    // when there is none.
    void NextRecord();

    const TXlsRecord* record_;
    int offset_;
};

// A string with a countBytes-byte count field at offset in record (and its
// continuations), as in SST, FONT, FORMAT and BOUNDSHEET. withExtras: SST
// strings, which carry the run count, extension size, runs and extension.
// Fails with 65226 when it runs past the last record or starts beyond the body.
void ReadXlsString(TRecordCursor& cursor, int countBytes, bool withExtras, TXlsString& out);
WideString ReadXlsStringText(const TXlsRecord& record, int offset, int countBytes);

// LABEL and STRING text at offset (2-byte count), 8-bit characters through
// the ANSI code page.
WideString ReadLabelText(const TXlsRecord& record, int offset);

// Encoded form with 16-bit characters (count, option byte 1, UTF-16LE), or
// the count alone for an empty text. countBytes is 1 or 2; a text longer than
// the count field can hold raises an error naming the limit.
std::vector<uint8_t> EncodeXlsString(WideStringView text, int countBytes);
int EncodedXlsStringSize(WideStringView text, int countBytes);
void EncodeXlsStringInto(WideStringView text, int countBytes, uint8_t* out);

}  // namespace plu
