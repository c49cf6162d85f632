#include "base/freetype_measurer.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <map>
#include <mutex>
#include <string>
#include <unordered_map>

namespace plu {
namespace {

struct WindowsTwin {
    const char16_t* windowsName;
    const char* linuxFamily;
};

constexpr WindowsTwin kTwins[] = {
    {u"Arial", "Liberation Sans"},
    {u"Helvetica", "Liberation Sans"},
    {u"MS Sans Serif", "Liberation Sans"},
    {u"Microsoft Sans Serif", "Liberation Sans"},
    {u"Tahoma", "Liberation Sans"},
    {u"Verdana", "Liberation Sans"},
    {u"Times New Roman", "Liberation Serif"},
    {u"Times", "Liberation Serif"},
    {u"Courier New", "Liberation Mono"},
    {u"Courier", "Liberation Mono"},
    {u"Calibri", "Carlito"},
};

int RoundDiv(double v) { return static_cast<int>(std::lround(v)); }

bool IsWide(char32_t c) {
    return c >= 0x1100;  // Hangul jamo, CJK, full-width forms and beyond
}

}  // namespace

std::string DrawingFamily(WideStringView name) {
    if (IsSimSunName(name)) return "WenQuanYi Zen Hei";
    for (const WindowsTwin& twin : kTwins)
        if (SameText(name, twin.windowsName)) return twin.linuxFamily;
    return name.empty() ? std::string("Liberation Sans") : WideToUtf8(name);
}

bool IsSimSunName(WideStringView name) {
    return name == u"宋体" || name == u"新宋体" || SameText(name, u"SimSun") ||
           SameText(name, u"NSimSun");
}

struct FreeTypeTextMeasurer::Impl {
    struct Face {
        FT_Face face = nullptr;
        bool syntheticBold = false;
        int upem = 2048;
        int winAscent = 0, winDescent = 0;
        int hheaAscent = 0, hheaDescent = 0, lineGap = 0;
    };

    std::mutex mutex;
    FT_Library library = nullptr;
    bool fcReady = false;
    // Resolution of (lower-cased name, bold, italic) to a face; nullptr = none.
    std::map<std::tuple<WideString, bool, bool>, Face*> faces;
    std::map<std::pair<std::string, long>, std::unique_ptr<Face>> byFile;
    // Advance widths per (face, pixel em, code point).
    std::unordered_map<uint64_t, int> widths;

    Impl() {
        if (FT_Init_FreeType(&library) != 0) library = nullptr;
        fcReady = FcInit() == FcTrue;
    }
    ~Impl() {
        for (auto& [key, f] : byFile)
            if (f->face) FT_Done_Face(f->face);
        if (library) FT_Done_FreeType(library);
    }

    Face* Resolve(const TFont& font, std::string* fileOut = nullptr) {
        if (IsSimSunName(font.Name())) return nullptr;
        auto key = std::make_tuple(LowerCase(font.Name()), font.Bold(), font.Italic());
        auto it = faces.find(key);
        if (it != faces.end() && fileOut == nullptr) return it->second;
        if (!library || !fcReady) return faces[key] = nullptr;

        std::string family = WideToUtf8(font.Name());
        for (const auto& twin : kTwins)
            if (SameText(font.Name(), twin.windowsName)) family = twin.linuxFamily;
        if (family.empty()) family = "Liberation Sans";

        FcPattern* pattern = FcPatternCreate();
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, font.Bold() ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, font.Italic() ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &result);
        FcPatternDestroy(pattern);
        Face* face = nullptr;
        if (match) {
            FcChar8* file = nullptr;
            int index = 0, weight = FC_WEIGHT_REGULAR;
            if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
                FcPatternGetInteger(match, FC_INDEX, 0, &index);
                FcPatternGetInteger(match, FC_WEIGHT, 0, &weight);
                std::string path = reinterpret_cast<const char*>(file);
                if (fileOut) *fileOut = path;
                face = Load(path, index);
                if (face && font.Bold() && weight < FC_WEIGHT_DEMIBOLD) {
                    // The same file serves a synthetic bold: keep it apart.
                    auto& slot = byFile[{path + "#bold", index}];
                    if (!slot) {
                        slot = std::make_unique<Face>(*face);
                        slot->face = nullptr;
                        FT_New_Face(library, path.c_str(), index, &slot->face);
                        slot->syntheticBold = true;
                    }
                    face = slot->face ? slot.get() : face;
                }
            }
            FcPatternDestroy(match);
        }
        faces[key] = face;
        return face;
    }

    Face* Load(const std::string& path, long index) {
        auto& slot = byFile[{path, index}];
        if (slot) return slot->face ? slot.get() : nullptr;
        slot = std::make_unique<Face>();
        if (FT_New_Face(library, path.c_str(), index, &slot->face) != 0) {
            slot->face = nullptr;
            return nullptr;
        }
        FT_Face f = slot->face;
        slot->upem = f->units_per_EM > 0 ? f->units_per_EM : 2048;
        slot->hheaAscent = f->ascender;
        slot->hheaDescent = -f->descender;
        slot->lineGap = f->height - (f->ascender - f->descender);
        if (auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA))) {
            slot->hheaAscent = hhea->Ascender;
            slot->hheaDescent = -hhea->Descender;
            slot->lineGap = hhea->Line_Gap;
        }
        slot->winAscent = slot->hheaAscent;
        slot->winDescent = slot->hheaDescent;
        if (auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
            os2 && os2->version != 0xFFFF && (os2->usWinAscent || os2->usWinDescent)) {
            slot->winAscent = os2->usWinAscent;
            slot->winDescent = os2->usWinDescent;
        }
        return slot.get();
    }

    static int Em(const Face* face, const TFont& font) {
        int h = font.Height();
        if (h == 0) h = -16;
        if (h < 0) return -h;
        if (!face) return h;
        int cell = face->winAscent + face->winDescent;
        return cell > 0 ? std::max(1, RoundDiv(static_cast<double>(h) * face->upem / cell)) : h;
    }

    int GlyphWidth(Face* face, int em, char32_t c) {
        uint64_t key = (reinterpret_cast<uintptr_t>(face) << 8) ^ (uint64_t(em) << 40) ^ c;
        if (auto it = widths.find(key); it != widths.end()) return it->second;
        int w;
        FT_UInt glyph = FT_Get_Char_Index(face->face, c);
        if (glyph == 0) {
            w = IsWide(c) ? em : std::max(1, em / 2);
        } else {
            FT_Set_Pixel_Sizes(face->face, 0, static_cast<FT_UInt>(em));
            if (FT_Load_Glyph(face->face, glyph, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0)
                w = static_cast<int>((face->face->glyph->advance.x + 32) >> 6);
            else
                w = std::max(1, em / 2);
            if (face->syntheticBold) w += 1;
        }
        widths.emplace(key, w);
        return w;
    }
};

FreeTypeTextMeasurer::FreeTypeTextMeasurer() : impl_(std::make_unique<Impl>()) {}
FreeTypeTextMeasurer::~FreeTypeTextMeasurer() = default;

int FreeTypeTextMeasurer::TextWidth(const TFont& font, WideStringView text) {
    std::lock_guard lock(impl_->mutex);
    Impl::Face* face = impl_->Resolve(font);
    const int em = Impl::Em(face, font);
    int total = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        if (!face) {  // pinned SimSun metrics
            bool half = (c >= 0x20 && c < 0x7F) || (c >= 0xFF61 && c <= 0xFF9F);
            total += half ? RoundDiv(em / 2.0) : em;
            continue;
        }
        total += impl_->GlyphWidth(face, em, c);
    }
    return total;
}

FontMetrics FreeTypeTextMeasurer::Metrics(const TFont& font) {
    std::lock_guard lock(impl_->mutex);
    Impl::Face* face = impl_->Resolve(font);
    const int em = Impl::Em(face, font);
    FontMetrics m;
    if (!face) {
        m.ascent = RoundDiv(em * 220.0 / 256.0);
        m.descent = em - m.ascent;
        m.height = em;
        return m;
    }
    const double scale = static_cast<double>(em) / face->upem;
    // Hinted outlines reach above the scaled ascent, and the platform's ascent
    // covers them: round the ascent up (Arial at a 16-pixel em: 15 + 3 = 18).
    m.ascent = static_cast<int>(std::ceil(face->winAscent * scale - 1e-9));
    m.descent = RoundDiv(face->winDescent * scale);
    m.height = m.ascent + m.descent;
    int gap = face->lineGap - ((face->winAscent + face->winDescent) -
                               (face->hheaAscent + face->hheaDescent));
    m.externalLeading = std::max(0, RoundDiv(gap * scale));
    return m;
}

std::string FreeTypeTextMeasurer::ResolvedFile(const TFont& font) {
    std::lock_guard lock(impl_->mutex);
    std::string file;
    impl_->Resolve(font, &file);
    return file;
}

ITextMeasurer& DefaultTextMeasurer() {
    static FreeTypeTextMeasurer measurer;
    return measurer;
}

int FixedTextMeasurer::TextWidth(const TFont& font, WideStringView text) {
    const int em = font.Height() < 0 ? -font.Height() : (font.Height() == 0 ? 16 : font.Height());
    int total = 0;
    for (char16_t c : text) total += c < 0x1100 ? std::max(1, em / 2) : em;
    return total;
}

FontMetrics FixedTextMeasurer::Metrics(const TFont& font) {
    const int em = font.Height() < 0 ? -font.Height() : (font.Height() == 0 ? 16 : font.Height());
    FontMetrics m;
    m.ascent = em;
    m.descent = em / 4;
    m.height = m.ascent + m.descent;
    return m;
}

}  // namespace plu
