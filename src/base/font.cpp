#include "base/font.h"

#include "base/screen.h"

namespace plu {

int32_t TFont::Size() const { return FontHeightToSize(height_); }

void TFont::SetName(WideStringView name) {
    if (name_ == name) return;
    name_ = WideString(name);
    Changed();
}

void TFont::SetHeight(int32_t height) {
    if (height_ == height) return;
    height_ = height;
    Changed();
}

void TFont::SetSize(int32_t points) { SetHeight(FontSizeToHeight(points)); }

void TFont::SetStyle(TFontStyles style) {
    if (style_ == style) return;
    style_ = style;
    Changed();
}

void TFont::SetColor(TColor color) {
    if (color_ == color) return;
    color_ = color;
    Changed();
}

void TFont::SetCharset(uint8_t charset) {
    if (charset_ == charset) return;
    charset_ = charset;
    Changed();
}

void TFont::SetPitch(TFontPitch pitch) {
    if (pitch_ == pitch) return;
    pitch_ = pitch;
    Changed();
}

void TFont::CopyFields(const TFont& other) {
    name_ = other.name_;
    height_ = other.height_;
    style_ = other.style_;
    color_ = other.color_;
    charset_ = other.charset_;
    pitch_ = other.pitch_;
}

void TFont::Assign(const TFont& other) {
    if (this == &other) return;
    bool same = name_ == other.name_ && height_ == other.height_ && style_ == other.style_ &&
                color_ == other.color_ && charset_ == other.charset_ && pitch_ == other.pitch_;
    CopyFields(other);
    if (!same) Changed();
}

bool TFont::SameAs(const TFont& other) const {
    return SameText(name_, other.name_) && height_ == other.height_ && style_ == other.style_ &&
           color_ == other.color_ && charset_ == other.charset_ && pitch_ == other.pitch_;
}

}  // namespace plu
