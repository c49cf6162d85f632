#include "grid/grid_style.h"

#include "grid/format_list.h"
#include "grid/number_format.h"
#include "grid/resource_manager.h"

namespace plu {

namespace {

void PutU8(uint8_t*& p, uint8_t v) { *p++ = v; }
void PutU16(uint8_t*& p, uint16_t v) {
    *p++ = static_cast<uint8_t>(v);
    *p++ = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t*& p, uint32_t v) {
    for (int i = 0; i < 4; ++i) *p++ = static_cast<uint8_t>(v >> (8 * i));
}

// Edges are masked to 0 ... 127 like the stored index; only 0 ... 9 have a
// slot. -1 for edges without one.
int EdgeSlot(int edge) {
    int e = edge & 0x7F;
    return e < kBorderEdgeCount ? e : -1;
}

}  // namespace

std::array<uint8_t, TKtStyleRecord::kPackedSize> TKtStyleRecord::Pack() const {
    std::array<uint8_t, kPackedSize> out{};
    uint8_t* p = out.data();
    PutU8(p, UsedAttributes);
    for (TColor c : BorderColors) PutU32(p, static_cast<uint32_t>(c));
    for (uint8_t l : BorderLines) PutU8(p, l);
    PutU8(p, static_cast<uint8_t>(HorzAlign));
    PutU8(p, static_cast<uint8_t>(VertAlign));
    PutU32(p, Options.bits);
    PutU32(p, static_cast<uint32_t>(ExtraAttribute));
    PutU32(p, static_cast<uint32_t>(BgColor));
    PutU32(p, static_cast<uint32_t>(TextColor));
    PutU16(p, Reserved);
    PutU8(p, ExportAttribute);
    PutU16(p, FormatIndex);
    return out;
}

uint16_t TKtStyleRecord::Hash() const {
    uint16_t h = 0;
    for (uint8_t b : Pack()) {
        h = static_cast<uint16_t>((h << 5) | (h >> 11));
        h ^= b;
    }
    return h;
}

// ---------------------------------------------------------------------------
// TKtGridStyle

TKtGridStyle::TKtGridStyle() { ResourceManager().Rebind(*this, SharedDefaultStyle().node_); }

TKtGridStyle::TKtGridStyle(TKtStyleNode* node) : node_(node) {}

TKtGridStyle::TKtGridStyle(const TKtGridStyle& source) : TKtGridResObject() {
    ResourceManager().Rebind(*this, const_cast<TKtStyleNode*>(source.Node()));
}

TKtGridStyle& TKtGridStyle::operator=(const TKtGridStyle& source) {
    if (this != &source) Assign(source);
    return *this;
}

TKtGridStyle::~TKtGridStyle() {
    TKtStyleNode* node = node_;
    node_ = nullptr;
    ResourceManager().Release(node);
}

void TKtGridStyle::Assign(const TKtGridStyle& source) {
    if (&source == this) return;
    ResourceManager().Rebind(*this, const_cast<TKtStyleNode*>(source.Node()));
}

void TKtGridStyle::Apply(const TKtStyleRecord& record) {
    if (record == Node()->Record) return;
    ResourceManager().Update(*this, record);
}

const TKtStyleNode* TKtGridStyle::Node() const {
    if (std::recursive_mutex* lock = Lock()) {
        std::lock_guard guard(*lock);
        return node_;
    }
    return node_;
}

TKtStyleRecord TKtGridStyle::CopyRecord() const { return Node()->Record; }

void TKtGridStyle::SetBgColor(TColor color) {
    Modify([&](TKtStyleRecord& r) {
        if (color == clNone) {
            r.BgColor = SharedDefaultStyle().BgColor();
            r.UsedAttributes &= static_cast<uint8_t>(~kUsedBackground);
        } else {
            r.BgColor = color;
            r.UsedAttributes |= kUsedBackground;
        }
    });
}

void TKtGridStyle::SetHorzAlign(TKtGridHorzAlign align) {
    Modify([&](TKtStyleRecord& r) {
        r.HorzAlign = align;
        r.UsedAttributes |= kUsedAlignment;
    });
}

void TKtGridStyle::SetVertAlign(TKtGridVertAlign align) {
    Modify([&](TKtStyleRecord& r) {
        r.VertAlign = align;
        r.UsedAttributes |= kUsedAlignment;
    });
}

void TKtGridStyle::SetOptions(TKtCellOptions options) {
    Modify([&](TKtStyleRecord& r) {
        if (!options.Minus(r.Options).Empty()) r.UsedAttributes |= kUsedOptions;
        if (options.Has(TKtCellOption::gcoWrapText)) r.UsedAttributes |= kUsedAlignment;
        if (options.Has(TKtCellOption::gcoLocked)) r.UsedAttributes |= kUsedProtection;
        r.Options = options;
    });
}

void TKtGridStyle::SetWrapText(bool wrap) {
    Modify([&](TKtStyleRecord& r) {
        r.Options = r.Options.With(TKtCellOption::gcoWrapText, wrap);
        r.UsedAttributes |= kUsedAlignment;
    });
}

void TKtGridStyle::SetFormatString(WideStringView text) {
    int index = ResourceManager().FormatIndexOf(text);
    SetFormatIndex(static_cast<uint16_t>(index));
}

void TKtGridStyle::SetFormatIndex(uint16_t index) {
    if (index == FormatIndex()) return;
    Modify([&](TKtStyleRecord& r) {
        r.FormatIndex = index;
        r.UsedAttributes |= kUsedFormat;
    });
}

void TKtGridStyle::SetBorderColor(int edge, TColor color) {
    int slot = EdgeSlot(edge);
    if (slot < 0) return;
    Modify([&](TKtStyleRecord& r) {
        r.BorderColors[slot] = color;
        r.UsedAttributes |= kUsedBorders;
    });
}

void TKtGridStyle::SetBorderLine(int edge, uint8_t line) {
    int slot = EdgeSlot(edge);
    if (slot < 0) return;
    Modify([&](TKtStyleRecord& r) {
        r.BorderLines[slot] = line;
        r.UsedAttributes |= kUsedBorders;
    });
}

void TKtGridStyle::SetBorder(int edge, uint8_t line, TColor color) {
    int slot = EdgeSlot(edge);
    if (slot < 0) return;
    Modify([&](TKtStyleRecord& r) {
        r.BorderLines[slot] = line;
        r.BorderColors[slot] = color;
        r.UsedAttributes |= kUsedBorders;
    });
}

void TKtGridStyle::SetBorders(uint32_t edgeMask, uint8_t line, TColor color) {
    Modify([&](TKtStyleRecord& r) {
        for (int i = 0; i < kBorderEdgeCount; ++i) {
            if ((edgeMask & (1u << i)) == 0) continue;
            r.BorderLines[i] = line;
            r.BorderColors[i] = color;
        }
        r.UsedAttributes |= kUsedBorders;
    });
}

void TKtGridStyle::SetUsedAttributes(uint8_t used) {
    Modify([&](TKtStyleRecord& r) { r.UsedAttributes = used; });
}

void TKtGridStyle::SetExtraAttribute(int32_t value) {
    Modify([&](TKtStyleRecord& r) { r.ExtraAttribute = value; });
}

void TKtGridStyle::SetTextColor(TColor color) {
    Modify([&](TKtStyleRecord& r) { r.TextColor = color; });
}

void TKtGridStyle::SetExportAttribute(uint8_t value) {
    Modify([&](TKtStyleRecord& r) { r.ExportAttribute = value; });
}

void TKtGridStyle::SetRecord(const TKtStyleRecord& record) { Apply(record); }

TColor TKtGridStyle::BgColor() const { return Node()->Record.BgColor; }
TKtGridHorzAlign TKtGridStyle::HorzAlign() const { return Node()->Record.HorzAlign; }
TKtGridVertAlign TKtGridStyle::VertAlign() const { return Node()->Record.VertAlign; }
TKtCellOptions TKtGridStyle::Options() const { return Node()->Record.Options; }
uint16_t TKtGridStyle::FormatIndex() const { return Node()->Record.FormatIndex; }
uint8_t TKtGridStyle::UsedAttributes() const { return Node()->Record.UsedAttributes; }
int32_t TKtGridStyle::ExtraAttribute() const { return Node()->Record.ExtraAttribute; }
TColor TKtGridStyle::TextColor() const { return Node()->Record.TextColor; }
uint8_t TKtGridStyle::ExportAttribute() const { return Node()->Record.ExportAttribute; }

WideString TKtGridStyle::FormatString() const {
    return ResourceManager().Formats().Get(FormatIndex());
}

TColor TKtGridStyle::BorderColor(int edge) const {
    int slot = EdgeSlot(edge);
    return slot < 0 ? clNone : Node()->Record.BorderColors[slot];
}

uint8_t TKtGridStyle::BorderLine(int edge) const {
    int slot = EdgeSlot(edge);
    return slot < 0 ? kLineNone : Node()->Record.BorderLines[slot];
}

bool TKtGridStyle::WrapText() const { return Options().Has(TKtCellOption::gcoWrapText); }
bool TKtGridStyle::Locked() const { return Options().Has(TKtCellOption::gcoLocked); }
bool TKtGridStyle::Hidden() const { return Options().Has(TKtCellOption::gcoHidden); }

bool TKtGridStyle::IsDefault() const { return Node() == SharedDefaultStyle().Node(); }

bool TKtGridStyle::IsDateTimeFormat() const { return IsDateTimeFormatIndex(FormatIndex()); }

const TKtGridStyle& SharedDefaultStyle() {
    // Created after the pool (its constructor asks for the pool first), so it
    // is destroyed before the pool at exit.
    static const TKtGridStyle style(ResourceManager().Acquire(TKtStyleRecord{}));
    return style;
}

// ---------------------------------------------------------------------------
// TKtFixedCellStyle

TKtFixedCellStyle::TKtFixedCellStyle() {
    SetBgColor(kFixedCellBgColor);
    SetWrapText(false);
}

void TKtFixedCellStyle::Assign(const TKtGridStyle& source) {
    TKtGridStyle::Assign(source);
    if (const auto* fixed = dynamic_cast<const TKtFixedCellStyle*>(&source)) {
        if (fixed == this) return;
        bool changed = gradientStart_ != fixed->gradientStart_ ||
                       gradientStop_ != fixed->gradientStop_ ||
                       gridLineColor_ != fixed->gridLineColor_ ||
                       showGradient_ != fixed->showGradient_;
        gradientStart_ = fixed->gradientStart_;
        gradientStop_ = fixed->gradientStop_;
        gridLineColor_ = fixed->gridLineColor_;
        showGradient_ = fixed->showGradient_;
        if (changed) Changed();
    }
}

void TKtFixedCellStyle::SetGradientStart(uint8_t alpha) {
    if (alpha == gradientStart_) return;
    gradientStart_ = alpha;
    Changed();
}

void TKtFixedCellStyle::SetGradientStop(uint8_t alpha) {
    if (alpha == gradientStop_) return;
    gradientStop_ = alpha;
    Changed();
}

void TKtFixedCellStyle::SetGridLineColor(TColor color) {
    if (color == gridLineColor_) return;
    gridLineColor_ = color;
    Changed();
}

void TKtFixedCellStyle::SetShowGradient(bool show) {
    if (show == showGradient_) return;
    showGradient_ = show;
    Changed();
}

bool TKtFixedCellStyle::ShowGradientStored() const {
    return !OwnerVisualStyle || OwnerVisualStyle() == TKtVisualStyle::vsCustom;
}

// ---------------------------------------------------------------------------
// Visual styles

TKtVisualStyleColors VisualStyleColors(TKtVisualStyle style) {
    TKtVisualStyleColors c;
    switch (style) {
        case TKtVisualStyle::vsDefault:
        case TKtVisualStyle::vsGradient:
            c.Applies = true;
            c.ShowGradient = true;
            c.FixedBgColor = kFixedCellBgColor;
            c.FixedGridLineColor = kFixedCellGridLineColor;
            c.BodyGridLineColor = kBodyGridLineColor;
            break;
        case TKtVisualStyle::vsClassic:
            c.Applies = true;
            c.ShowGradient = false;
            c.FixedBgColor = clBtnFace;
            c.FixedGridLineColor = clBtnShadow;
            c.BodyGridLineColor = kClassicBodyGridLineColor;
            break;
        case TKtVisualStyle::vsCustom:
            c.Applies = false;
            break;
    }
    return c;
}

void ApplyVisualStyle(TKtVisualStyle style, TKtFixedCellStyle& fixedStyle,
                      TColor& bodyGridLineColor) {
    TKtVisualStyleColors c = VisualStyleColors(style);
    if (!c.Applies) return;
    fixedStyle.SetShowGradient(c.ShowGradient);
    fixedStyle.SetBgColor(c.FixedBgColor);
    fixedStyle.SetGridLineColor(c.FixedGridLineColor);
    bodyGridLineColor = c.BodyGridLineColor;
}

}  // namespace plu
