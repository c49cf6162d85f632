// FONT records: height in twips (u16 at 0), option flags (u16 at 2: bit 1
// italic, bit 3 strike-out), colour index (u16 at 4), weight (u16 at 6),
// escapement (u16 at 8: 1 superscript, 2 subscript), underline kind (byte at
// 10: 0x01 single, 0x02 double, 0x21 single accounting, 0x22 double
// accounting), family (byte at 11), charset (byte at 12), name (8-bit count
// string at 14).
#pragma once

#include <cstdint>
#include <memory>

#include "base/font.h"
#include "base/wide_text.h"
#include "formats/biff8/xls_record.h"

namespace plu {

// FONT style bits as read (Style) and as set (SetStyle takes bits 0-2).
inline constexpr uint8_t kFontBold = 0x01;
inline constexpr uint8_t kFontItalic = 0x02;
inline constexpr uint8_t kFontStrikeOut = 0x04;
inline constexpr uint8_t kFontSuperscript = 0x08;
inline constexpr uint8_t kFontSubscript = 0x10;

class TFontRecord : public TXlsRecord {
public:
    // A FONT record with that name, weight 400 and zeros elsewhere.
    static std::unique_ptr<TFontRecord> Make(WideStringView name);

    uint16_t Height() const { return GetWord(0); }  // twips
    void SetHeight(uint16_t twips);
    uint16_t ColorIndex() const { return GetWord(4); }
    void SetColorIndex(uint16_t index);
    uint8_t Charset() const { return GetByte(12); }
    void SetCharset(uint8_t charset);
    uint16_t Weight() const { return GetWord(6); }
    uint16_t Escapement() const { return GetWord(8); }
    uint16_t Options() const { return GetWord(2); }
    // Bold (weight exactly 700), italic, strike-out, superscript, subscript.
    uint8_t Style() const;
    // Bold sets weight 700 (else 400) and option bit 0; italic option bit 1;
    // strike-out option bit 3.
    void SetStyle(uint8_t style);
    // 1 single, 2 double, 3 single accounting, 4 double accounting, 0 other.
    uint8_t Underline() const;
    // 0 to 4 as above; other values leave the field unchanged.
    void SetUnderline(uint8_t kind);
    WideString Name() const;
    void SetName(WideStringView name);

    // The platform font the record describes, built on first use: height
    // -MulDiv(twips div 20, 96, 72) pixels, bold only for weight 700, italic,
    // strike-out, single underline, the charset and the face name (at most 31
    // characters). Rebuilt after a setter changed the record.
    const TFont& FontHandle() const;

private:
    void Changed() { font_.reset(); }
    mutable std::unique_ptr<TFont> font_;
};

}  // namespace plu
