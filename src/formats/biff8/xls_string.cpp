#include "formats/biff8/xls_string.h"

#include "base/ansi_code_page.h"
#include "formats/biff8/xls_errors.h"

namespace plu {

WideString TXlsString::Text() const {
    if (Is16Bit()) return text16;
    WideString w(text8.size(), u'\0');
    for (size_t i = 0; i < text8.size(); ++i) w[i] = static_cast<unsigned char>(text8[i]);
    return w;
}

TRecordCursor::TRecordCursor(const TXlsRecord& record, int offset) : record_(&record), offset_(offset) {
    if (offset < 0 || offset > record.Size()) RaiseReadError();
}

void TRecordCursor::NextRecord() {
    const TXlsRecord* next = record_->Continuation();
    if (!next) RaiseReadError();
    record_ = next;
    offset_ = 0;
}

uint8_t TRecordCursor::ReadByte() {
    while (offset_ >= record_->Size()) NextRecord();
    return record_->Body()[static_cast<size_t>(offset_++)];
}

uint16_t TRecordCursor::ReadWord() {
    if (offset_ + 2 <= record_->Size()) {
        uint16_t v = TVxBuffer::GetWord(record_->Body().data() + offset_);
        offset_ += 2;
        return v;
    }
    uint16_t lo = ReadByte();
    return static_cast<uint16_t>(lo | (ReadByte() << 8));
}

uint32_t TRecordCursor::ReadLong() {
    uint32_t lo = ReadWord();
    return lo | (static_cast<uint32_t>(ReadWord()) << 16);
}

void TRecordCursor::ReadBytes(uint32_t count, std::vector<uint8_t>& out) {
    while (count > 0) {
        while (offset_ >= record_->Size()) NextRecord();
        uint32_t n = static_cast<uint32_t>(record_->Size() - offset_);
        if (n > count) n = count;
        auto body = record_->Body();
        out.insert(out.end(), body.begin() + offset_, body.begin() + offset_ + n);
        offset_ += static_cast<int>(n);
        count -= n;
    }
}

void TRecordCursor::Skip(uint32_t count) {
    while (count > 0) {
        while (offset_ >= record_->Size()) NextRecord();
        uint32_t n = static_cast<uint32_t>(record_->Size() - offset_);
        if (n > count) n = count;
        offset_ += static_cast<int>(n);
        count -= n;
    }
}

void TRecordCursor::ReadCharacters(uint32_t count, bool sixteenBit, std::string& text8,
                                   WideString& text16, bool& is16, bool ansi) {
    auto widen = [ansi](unsigned char c) { return ansi ? AnsiCharToWide(c) : static_cast<char16_t>(c); };
    bool piece16 = sixteenBit;  // width of the characters at the cursor
    is16 = sixteenBit;          // width of the string read so far
    uint32_t got = 0;
    while (got < count) {
        const int avail = record_->Size() - offset_;
        if (avail <= 0 || (piece16 && avail < 2)) {
            // The characters go on in the continuation. Its first byte states
            // their width, except when this string has no character yet.
            NextRecord();
            if (got > 0) piece16 = (ReadByte() & 0x01) != 0;
            if (piece16 && !is16) {
                // Widen what was read so far; the string is 16-bit from now on.
                for (unsigned char c : text8) text16.push_back(widen(c));
                text8.clear();
                is16 = true;
            }
            continue;
        }
        const uint8_t* p = record_->Body().data() + offset_;
        if (piece16) {
            uint32_t n = static_cast<uint32_t>(avail / 2);
            if (n > count - got) n = count - got;
            const size_t at = text16.size();
            text16.resize(at + n);
            for (uint32_t i = 0; i < n; ++i) text16[at + i] = static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8));
            offset_ += static_cast<int>(2 * n);
            got += n;
        } else {
            uint32_t n = static_cast<uint32_t>(avail);
            if (n > count - got) n = count - got;
            if (is16) {
                // 8-bit characters of a 16-bit string are widened one by one.
                for (uint32_t i = 0; i < n; ++i) text16.push_back(widen(p[i]));
            } else {
                text8.append(reinterpret_cast<const char*>(p), n);
            }
            offset_ += static_cast<int>(n);
            got += n;
        }
    }
}

void ReadXlsString(TRecordCursor& cursor, int countBytes, bool withExtras, TXlsString& out) {
    out.countSize = countBytes;
    out.charCount = countBytes == 1 ? cursor.ReadByte() : cursor.ReadWord();
    out.options = cursor.ReadByte();
    out.runCount = 0;
    out.extensionSize = 0;
    if (withExtras) {
        if (out.options & 0x08) out.runCount = cursor.ReadWord();
        if (out.options & 0x04) out.extensionSize = cursor.ReadLong();
    }
    bool is16 = false;
    out.text8.clear();
    out.text16.clear();
    cursor.ReadCharacters(out.charCount, (out.options & 0x01) != 0, out.text8, out.text16, is16, false);
    if (is16) {
        out.options |= 0x01;
    } else {
        out.options &= static_cast<uint8_t>(~0x01);
    }
    if (withExtras) {
        out.runs.clear();
        out.extension.clear();
        cursor.ReadBytes(4u * out.runCount, out.runs);
        cursor.ReadBytes(out.extensionSize, out.extension);
    }
}

WideString ReadXlsStringText(const TXlsRecord& record, int offset, int countBytes) {
    TRecordCursor cursor(record, offset);
    TXlsString s;
    ReadXlsString(cursor, countBytes, false, s);
    return s.Text();
}

WideString ReadLabelText(const TXlsRecord& record, int offset) {
    TRecordCursor cursor(record, offset);
    uint16_t count = cursor.ReadWord();
    uint8_t options = cursor.ReadByte();
    if (options & 0x08) cursor.ReadWord();
    if (options & 0x04) cursor.ReadLong();
    std::string text8;
    WideString text16;
    bool is16 = false;
    cursor.ReadCharacters(count, (options & 0x01) != 0, text8, text16, is16, true);
    return is16 ? text16 : AnsiToWide(text8);
}

int EncodedXlsStringSize(WideStringView text, int countBytes) {
    return text.empty() ? countBytes : countBytes + 1 + 2 * static_cast<int>(text.size());
}

void EncodeXlsStringInto(WideStringView text, int countBytes, uint8_t* out) {
    const size_t limit = countBytes == 1 ? 0xFF : 0xFFFF;
    if (text.size() > limit) {
        RaiseXlsLimit("A text of " + std::to_string(text.size()) + " characters does not fit a " +
                      std::to_string(countBytes) + "-byte character count (at most " +
                      std::to_string(limit) + ")");
    }
    out[0] = static_cast<uint8_t>(text.size());
    if (countBytes == 2) out[1] = static_cast<uint8_t>(text.size() >> 8);
    if (text.empty()) return;
    uint8_t* p = out + countBytes;
    *p++ = 0x01;
    for (char16_t c : text) {
        *p++ = static_cast<uint8_t>(c);
        *p++ = static_cast<uint8_t>(c >> 8);
    }
}

std::vector<uint8_t> EncodeXlsString(WideStringView text, int countBytes) {
    std::vector<uint8_t> out(static_cast<size_t>(EncodedXlsStringSize(text, countBytes)));
    EncodeXlsStringInto(text, countBytes, out.data());
    return out;
}

}  // namespace plu
