// Cell styles. Every cell, column, row and grid owns a TKtGridStyle, but a
// style is only a handle to one reference-counted record kept by the
// process-wide pool (TKtResourceManager, resource_manager.h). Changing a
// property copies the record, changes the copy, finds or adds that record in
// the pool and repoints only this handle, so thousands of cells formatted
// alike share one record.
//
// Which style supplies an attribute of a cell (cell -> column -> row -> grid
// default, header cells never inherit) is decided by the grid; a style only
// says through its used-attribute bits which attribute groups it sets itself.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>

#include "base/color.h"
#include "base/events.h"
#include "base/wide_text.h"

namespace plu {

enum class TKtGridHorzAlign : uint8_t {
    haGeneral,
    haLeft,
    haCenter,
    haRight,
    haFill,
    haJustify,
    haCenter_across_selection
};

enum class TKtGridVertAlign : uint8_t { vaTop, vaCenter, vaBottom, vaJustify };

// Bit numbers 0 ... 4 of a TKtCellOptions set.
enum class TKtCellOption : uint8_t { gcoLocked, gcoHidden, gcoWrapText, gcoShrinkToFit, gcoNotPrint };

// A set of TKtCellOption, stored as 32 bits in the style record.
struct TKtCellOptions {
    uint32_t bits = 0;

    constexpr TKtCellOptions() = default;
    constexpr explicit TKtCellOptions(uint32_t b) : bits(b) {}
    constexpr TKtCellOptions(std::initializer_list<TKtCellOption> options) {
        for (TKtCellOption o : options) bits |= Bit(o);
    }
    static constexpr uint32_t Bit(TKtCellOption o) { return 1u << static_cast<unsigned>(o); }
    constexpr bool Has(TKtCellOption o) const { return (bits & Bit(o)) != 0; }
    constexpr TKtCellOptions With(TKtCellOption o, bool on = true) const {
        return TKtCellOptions(on ? (bits | Bit(o)) : (bits & ~Bit(o)));
    }
    constexpr bool Empty() const { return bits == 0; }
    // Options of this set that `other` lacks.
    constexpr TKtCellOptions Minus(TKtCellOptions other) const {
        return TKtCellOptions(bits & ~other.bits);
    }
    constexpr bool operator==(const TKtCellOptions&) const = default;
};

// Used-attribute bits of a record: which attribute groups a style sets
// itself (the grouping of the BIFF8 XF record's used-attribute flags).
constexpr uint8_t kUsedFormat = 0x01;
constexpr uint8_t kUsedFont = 0x02;
constexpr uint8_t kUsedAlignment = 0x04;  // also wrap text
constexpr uint8_t kUsedBorders = 0x08;
constexpr uint8_t kUsedBackground = 0x10;
constexpr uint8_t kUsedProtection = 0x20;  // locked
constexpr uint8_t kUsedOptions = 0x40;     // further options

// Attributes one asks an effective style for; the value is the bit number
// of the attribute's used bit.
enum class TKtStyleAttribute : uint8_t {
    Format = 0,
    Font = 1,
    Alignment = 2,
    Borders = 3,
    Background = 4,
    Protection = 5
};
constexpr uint8_t UsedBit(TKtStyleAttribute a) {
    return static_cast<uint8_t>(1u << static_cast<unsigned>(a));
}

// Border edges of a cell rectangle (Left, Top, Right, Bottom):
//   0 left edge, 1 top edge, 2 right edge, 3 bottom edge,
//   4 diagonal top-left -> bottom-right, 5 diagonal bottom-left -> top-right,
//   6 top-left -> middle of the right edge, 7 top-left -> middle of the bottom edge,
//   8 bottom-left -> middle of the top edge, 9 bottom-left -> middle of the right edge.
// Edge masks address edge i as bit i.
constexpr int kBorderEdgeCount = 10;
constexpr int kEdgeLeft = 0;
constexpr int kEdgeTop = 1;
constexpr int kEdgeRight = 2;
constexpr int kEdgeBottom = 3;
constexpr int kEdgeDiagonalDown = 4;
constexpr int kEdgeDiagonalUp = 5;
constexpr uint32_t kEdgeMaskLeft = 1;
constexpr uint32_t kEdgeMaskTop = 2;
constexpr uint32_t kEdgeMaskRight = 4;
constexpr uint32_t kEdgeMaskBottom = 8;
constexpr uint32_t kEdgeMaskBox = 15;
constexpr uint32_t kEdgeMaskAll = 0x3FF;

// Line styles (the low 7 bits of a line-style byte); other values draw nothing.
constexpr uint8_t kLineNone = 0;
constexpr uint8_t kLineThin = 1;    // solid, 1 pixel
constexpr uint8_t kLineMedium = 2;  // solid, 2 pixels
constexpr uint8_t kLineDashed = 3;
constexpr uint8_t kLineDotted = 4;
constexpr uint8_t kLineThick = 5;  // solid, 3 pixels
constexpr uint8_t kLineStyleMask = 0x7F;

// Colours of the header cells and grid lines.
constexpr TColor kFixedCellBgColor = 15326419;        // 0xE9DCD3
constexpr TColor kFixedCellGridLineColor = 13547166;  // 0xCEB69E
constexpr TColor kBodyGridLineColor = 15062992;       // 0xE5D7D0
constexpr TColor kClassicBodyGridLineColor = 12632256;  // 0xC0C0C0

// One pooled style record. Records are compared and hashed over their whole
// contents in field order; Pack() gives that byte image (little-endian, no
// padding, kPackedSize bytes):
//   offset  0  used attributes            u8
//   offset  1  border colours 0 ... 9     10 x i32
//   offset 41  border line styles 0 ... 9 10 x u8
//   offset 51  horizontal alignment       u8
//   offset 52  vertical alignment         u8
//   offset 53  options                    u32
//   offset 57  extra attribute            i32 (carried by the native grid stream)
//   offset 61  background colour          i32
//   offset 65  text colour slot           i32 (carried, not used by the grid)
//   offset 69  reserved                   u16 (zero)
//   offset 71  export attribute           u8 (read by the workbook export)
//   offset 72  number-format index        u16
struct TKtStyleRecord {
    static constexpr size_t kPackedSize = 74;

    uint8_t UsedAttributes = 0;
    std::array<TColor, kBorderEdgeCount> BorderColors = {clNone, clNone, clNone, clNone, clNone,
                                                         clNone, clNone, clNone, clNone, clNone};
    std::array<uint8_t, kBorderEdgeCount> BorderLines{};
    TKtGridHorzAlign HorzAlign = TKtGridHorzAlign::haGeneral;
    TKtGridVertAlign VertAlign = TKtGridVertAlign::vaCenter;
    TKtCellOptions Options{};
    int32_t ExtraAttribute = 0;
    TColor BgColor = clWindow;
    TColor TextColor = clWindowText;
    uint16_t Reserved = 0;
    uint8_t ExportAttribute = 0;
    uint16_t FormatIndex = 0;

    bool operator==(const TKtStyleRecord&) const = default;

    std::array<uint8_t, kPackedSize> Pack() const;
    // The 16-bit record hash: h = 0; for each byte of Pack(), h is rotated
    // left by 5 bits and its low byte xor-ed with the byte.
    uint16_t Hash() const;
};

struct TKtStyleNode;
class TKtResourceManager;

// Base of styles: a change notification and an optional lock that an owner
// may supply; the lock is taken around reads and writes of the record
// reference, before the pool's own lock.
class TKtGridResObject {
public:
    TKtGridResObject() = default;
    virtual ~TKtGridResObject() = default;
    TKtGridResObject(const TKtGridResObject&) = delete;
    TKtGridResObject& operator=(const TKtGridResObject&) = delete;

    // Called after every change that leads to a different record.
    TNotifyEvent OnChange;

    // nullptr (the default) means no lock of its own. The owner keeps the
    // mutex alive as long as the style.
    void SetLock(std::recursive_mutex* lock) { lock_ = lock; }
    std::recursive_mutex* Lock() const { return lock_; }

protected:
    void Changed() {
        if (OnChange) OnChange();
    }

private:
    std::recursive_mutex* lock_ = nullptr;
};

class TKtGridStyle : public TKtGridResObject {
public:
    // Attached to the record of the shared default style.
    TKtGridStyle();
    // Attached to the same pooled record as `source` (no record is copied);
    // neither the change handler nor the lock is taken over.
    TKtGridStyle(const TKtGridStyle& source);
    // Assign(source).
    TKtGridStyle& operator=(const TKtGridStyle& source);
    ~TKtGridStyle() override;

    // Makes this handle refer to the source's record.
    virtual void Assign(const TKtGridStyle& source);

    // Setters (each sets the used bits shown).
    // Background; clNone instead takes the shared default style's background
    // and clears kUsedBackground.
    void SetBgColor(TColor color);                 // kUsedBackground
    void SetHorzAlign(TKtGridHorzAlign align);     // kUsedAlignment
    void SetVertAlign(TKtGridVertAlign align);     // kUsedAlignment
    // kUsedOptions when the new set has options the old one lacked,
    // kUsedAlignment when it holds gcoWrapText, kUsedProtection when it
    // holds gcoLocked.
    void SetOptions(TKtCellOptions options);
    void SetWrapText(bool wrap);                   // kUsedAlignment
    // The format list index of text (found ignoring case, "General" and ""
    // give 0, new strings are appended); nothing when the index is unchanged.
    void SetFormatString(WideStringView text);     // kUsedFormat
    void SetFormatIndex(uint16_t index);           // kUsedFormat, nothing when unchanged
    // Edges are masked to 0 ... 127; edges 10 and above have no slot and are
    // ignored.
    void SetBorderColor(int edge, TColor color);   // kUsedBorders
    void SetBorderLine(int edge, uint8_t line);    // kUsedBorders
    void SetBorder(int edge, uint8_t line, TColor color);  // kUsedBorders
    // Both values for every edge 0 ... 9 whose bit is set in edgeMask.
    void SetBorders(uint32_t edgeMask, uint8_t line, TColor color);  // kUsedBorders
    void SetUsedAttributes(uint8_t used);
    void SetExtraAttribute(int32_t value);
    // Slots carried through the file formats only (no used bit).
    void SetTextColor(TColor color);
    void SetExportAttribute(uint8_t value);
    // Replaces the whole record (file readers restoring a stored style).
    void SetRecord(const TKtStyleRecord& record);

    // Readers.
    TColor BgColor() const;
    TKtGridHorzAlign HorzAlign() const;
    TKtGridVertAlign VertAlign() const;
    TKtCellOptions Options() const;
    // The list entry of the format index, "" when the index is beyond the list.
    WideString FormatString() const;
    uint16_t FormatIndex() const;
    // clNone / kLineNone for edges without a slot.
    TColor BorderColor(int edge) const;
    uint8_t BorderLine(int edge) const;
    uint8_t UsedAttributes() const;
    bool Uses(TKtStyleAttribute a) const { return (UsedAttributes() & UsedBit(a)) != 0; }
    int32_t ExtraAttribute() const;
    TColor TextColor() const;
    uint8_t ExportAttribute() const;
    bool WrapText() const;
    bool Locked() const;
    bool Hidden() const;
    // Refers to the same pooled record as the shared default style.
    bool IsDefault() const;
    // The format string is a date/time format (false for index 0). Throws
    // when the format string is too long to compile.
    bool IsDateTimeFormat() const;
    TKtStyleRecord CopyRecord() const;

    // The pooled node this handle refers to: two styles with the same node
    // share one record (identity of the shared resource).
    const TKtStyleNode* Node() const;
    bool SameResource(const TKtGridStyle& other) const { return Node() == other.Node(); }

protected:
    // Builds the modified record and hands it to the pool.
    template <typename F>
    void Modify(F change) {
        TKtStyleRecord record = CopyRecord();
        change(record);
        Apply(record);
    }
    void Apply(const TKtStyleRecord& record);

private:
    friend class TKtResourceManager;
    friend const TKtGridStyle& SharedDefaultStyle();
    explicit TKtGridStyle(TKtStyleNode* node);  // the shared default style

    TKtStyleNode* node_ = nullptr;
};

// The style on the default record, shared by the whole process (created at
// first use, together with the pool).
const TKtGridStyle& SharedDefaultStyle();

// Visual styles of a worksheet.
enum class TKtVisualStyle : uint8_t { vsDefault, vsGradient, vsClassic, vsCustom };

// The style of header cells. Its owner is the grid: the grid subscribes to
// OnChange (repaint) and answers its visual style through OwnerVisualStyle.
class TKtFixedCellStyle : public TKtGridStyle {
public:
    // Background 0xE9DCD3, wrapping off, gradient 90 -> 10, grid lines 0xCEB69E.
    TKtFixedCellStyle();

    // Also takes the header fields when source is a TKtFixedCellStyle.
    void Assign(const TKtGridStyle& source) override;

    uint8_t GradientStart() const { return gradientStart_; }
    uint8_t GradientStop() const { return gradientStop_; }
    TColor GridLineColor() const { return gridLineColor_; }
    bool ShowGradient() const { return showGradient_; }
    void SetGradientStart(uint8_t alpha);
    void SetGradientStop(uint8_t alpha);
    void SetGridLineColor(TColor color);
    void SetShowGradient(bool show);

    // The owning grid's visual style; unset means vsCustom.
    std::function<TKtVisualStyle()> OwnerVisualStyle;
    // ShowGradient is written to form files only under vsCustom.
    bool ShowGradientStored() const;

private:
    uint8_t gradientStart_ = 90;
    uint8_t gradientStop_ = 10;
    TColor gridLineColor_ = kFixedCellGridLineColor;
    bool showGradient_ = true;
};

// What a visual style sets: gradient on/off, header background, header grid
// lines and body grid lines. vsCustom changes nothing (Applies false).
struct TKtVisualStyleColors {
    bool Applies = false;
    bool ShowGradient = true;
    TColor FixedBgColor = kFixedCellBgColor;
    TColor FixedGridLineColor = kFixedCellGridLineColor;
    TColor BodyGridLineColor = kBodyGridLineColor;
};
TKtVisualStyleColors VisualStyleColors(TKtVisualStyle style);
// Sets the header style and the body grid-line colour for a visual style
// (nothing for vsCustom); the caller repaints.
void ApplyVisualStyle(TKtVisualStyle style, TKtFixedCellStyle& fixedStyle,
                      TColor& bodyGridLineColor);

}  // namespace plu
