// The font object of the grid suite: a value (name, height, style, colour,
// charset, pitch) with a change notification. Heights are in pixels as the
// platform font keeps them: negative for the character height (the usual
// case), positive for the cell height. Size is in points at 96 dpi.
#pragma once

#include <cstdint>
#include <functional>

#include "base/color.h"
#include "base/wide_text.h"

namespace plu {

enum class TFontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

// A set of TFontStyle bits (bit 0 bold, 1 italic, 2 underline, 3 strike-out).
struct TFontStyles {
    uint8_t bits = 0;

    constexpr TFontStyles() = default;
    constexpr explicit TFontStyles(uint8_t b) : bits(static_cast<uint8_t>(b & 0x0F)) {}
    constexpr bool Has(TFontStyle s) const { return (bits & static_cast<uint8_t>(s)) != 0; }
    constexpr TFontStyles With(TFontStyle s, bool on = true) const {
        return TFontStyles(on ? (bits | static_cast<uint8_t>(s))
                              : (bits & ~static_cast<uint8_t>(s)));
    }
    constexpr bool operator==(const TFontStyles&) const = default;
};

enum class TFontPitch : uint8_t { fpDefault = 0, fpVariable = 1, fpFixed = 2 };

constexpr uint8_t ANSI_CHARSET = 0;
constexpr uint8_t DEFAULT_CHARSET = 1;
constexpr uint8_t GB2312_CHARSET = 134;

class TFont {
public:
    TFont() = default;
    TFont(WideStringView name, int32_t height, TColor color = clWindowText)
        : name_(name), height_(height), color_(color) {}
    // Copies the description, not the change handler.
    TFont(const TFont& other) { CopyFields(other); }
    TFont& operator=(const TFont& other) {
        Assign(other);
        return *this;
    }

    const WideString& Name() const { return name_; }
    int32_t Height() const { return height_; }
    int32_t Size() const;
    TFontStyles Style() const { return style_; }
    TColor Color() const { return color_; }
    uint8_t Charset() const { return charset_; }
    TFontPitch Pitch() const { return pitch_; }
    bool Bold() const { return style_.Has(TFontStyle::fsBold); }
    bool Italic() const { return style_.Has(TFontStyle::fsItalic); }
    bool Underline() const { return style_.Has(TFontStyle::fsUnderline); }
    bool StrikeOut() const { return style_.Has(TFontStyle::fsStrikeOut); }

    // Each setter notifies only when the value changes.
    void SetName(WideStringView name);
    void SetHeight(int32_t height);
    void SetSize(int32_t points);
    void SetStyle(TFontStyles style);
    void SetColor(TColor color);
    void SetCharset(uint8_t charset);
    void SetPitch(TFontPitch pitch);
    // Takes every field of other; notifies once when anything changed.
    void Assign(const TFont& other);

    // Same description (name compared ignoring case).
    bool SameAs(const TFont& other) const;

    // Called after every change.
    std::function<void()> OnChange;

private:
    void CopyFields(const TFont& other);
    void Changed() {
        if (OnChange) OnChange();
    }

    WideString name_ = u"MS Sans Serif";
    int32_t height_ = -11;
    TFontStyles style_{};
    TColor color_ = clWindowText;
    uint8_t charset_ = DEFAULT_CHARSET;
    TFontPitch pitch_ = TFontPitch::fpDefault;
};

}  // namespace plu
