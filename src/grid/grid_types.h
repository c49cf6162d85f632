// Small value types of the grid engine: points and rectangles in grid
// coordinates (column, row; zero-based) or pixels, the grid options, move
// directions, and the toolkit-free input events that the shell forwards to
// the grid and its cells.
#pragma once

#include <algorithm>
#include <cstdint>

namespace plu {

// A position: X is the column (or pixel x), Y the row (or pixel y).
struct TPoint {
    int X = 0;
    int Y = 0;
    constexpr bool operator==(const TPoint&) const = default;
};

// A rectangle, half-open: Right and Bottom are exclusive. Operations that
// take four corner values take inclusive corners and convert with FromCorners.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    constexpr bool operator==(const TRect&) const = default;
    // The rectangle spanned by two inclusive corners, in any order.
    static constexpr TRect FromCorners(int c1, int r1, int c2, int r2) {
        return {std::min(c1, c2), std::min(r1, r2), std::max(c1, c2) + 1, std::max(r1, r2) + 1};
    }
    static constexpr TRect Cell(int col, int row) { return {col, row, col + 1, row + 1}; }

    constexpr int Width() const { return Right - Left; }
    constexpr int Height() const { return Bottom - Top; }
    constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    constexpr bool Contains(int x, int y) const {
        return x >= Left && x < Right && y >= Top && y < Bottom;
    }
    constexpr bool Contains(const TRect& r) const {
        return r.Left >= Left && r.Right <= Right && r.Top >= Top && r.Bottom <= Bottom;
    }
    constexpr bool Intersects(const TRect& r) const {
        return Left < r.Right && r.Left < Right && Top < r.Bottom && r.Top < Bottom;
    }
    constexpr TRect Intersect(const TRect& r) const {
        return {std::max(Left, r.Left), std::max(Top, r.Top), std::min(Right, r.Right),
                std::min(Bottom, r.Bottom)};
    }
    constexpr TRect Union(const TRect& r) const {
        if (IsEmpty()) return r;
        if (r.IsEmpty()) return *this;
        return {std::min(Left, r.Left), std::min(Top, r.Top), std::max(Right, r.Right),
                std::max(Bottom, r.Bottom)};
    }
    constexpr TRect Inflated(int d) const { return {Left - d, Top - d, Right + d, Bottom + d}; }
    // Inclusive readers.
    constexpr int LastCol() const { return Right - 1; }
    constexpr int LastRow() const { return Bottom - 1; }
};

// TGridOption bit numbers (Options of the grid).
enum class TGridOption : uint8_t {
    goRangeSelect,
    goRowSelect,
    goColSelect,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goAlwaysShowEditor,
    goUnequalRowHeight,
    goCellNotMaintainData,
    goFixedRowShowNo,
    goFixedColShowNo,
    goAlwaysShowSelection,
    goShowTreeLine
};

// TGridOptionEx bit numbers (OptionsEx of the grid).
enum class TGridOptionEx : uint8_t {
    goxHideHorzScrollBar,
    goxHideVertScrollBar,
    goxHorzFullSize,
    goxVertFullSize,
    goWrapText,
    goIgnoreMouseWheel,
    goTransparent,
    goxStringGrid,
    goxSupportFormula,
    goxAutoCalculate
};

// A set of options of enumeration E, one bit per value.
template <typename E>
struct TOptionSet {
    uint32_t bits = 0;

    constexpr TOptionSet() = default;
    constexpr explicit TOptionSet(uint32_t b) : bits(b) {}
    static constexpr uint32_t Bit(E o) { return 1u << static_cast<unsigned>(o); }
    constexpr bool Has(E o) const { return (bits & Bit(o)) != 0; }
    constexpr TOptionSet With(E o, bool on = true) const {
        return TOptionSet(on ? (bits | Bit(o)) : (bits & ~Bit(o)));
    }
    constexpr bool operator==(const TOptionSet&) const = default;
};
using TGridOptions = TOptionSet<TGridOption>;
using TGridOptionsEx = TOptionSet<TGridOptionEx>;

// Options after construction: goRangeSelect, goRowSizing, goColSizing,
// goUnequalRowHeight, goFixedRowShowNo, goFixedColShowNo, goAlwaysShowSelection.
constexpr uint32_t kDefaultGridOptions = 7449;

// Where the current cell moves. gdNone as a MoveCurrent argument means the
// grid's CurrentMoveDir; as CurrentMoveDir it keeps the current cell.
enum class TGridDir : uint8_t { gdNone, gdLeft, gdRight, gdUp, gdDown };

enum class TBorderStyle : uint8_t { bsNone, bsSingle };

// Modifier keys and mouse buttons held during an input event.
enum class TShift : uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TOptionSet<TShift>;

enum class TMouseButton : uint8_t { mbLeft, mbRight, mbMiddle };

// A mouse message forwarded by the grid to a cell; X and Y are client pixels.
struct TKtMouseInput {
    enum class Kind : uint8_t { Down, Up, DoubleClick, Move };
    Kind What = Kind::Move;
    TMouseButton Button = TMouseButton::mbLeft;
    TShiftState Shift{};
    int X = 0;
    int Y = 0;
};

// A key message forwarded to a cell. Key is the virtual-key code for KeyDown
// and KeyUp, Char the character for Char; System marks the system-key forms
// (Alt held). A handler consumes the key by setting Key (or Char) to 0; the
// dispatch then answers 1 as the message result.
struct TKtKeyInput {
    enum class Kind : uint8_t { KeyDown, Char, KeyUp };
    Kind What = Kind::KeyDown;
    uint16_t Key = 0;
    char16_t Char = 0;
    TShiftState Shift{};
    bool System = false;
};

// Virtual-key codes used by the grid and its cells.
namespace vk {
constexpr uint16_t Back = 0x08, Tab = 0x09, Return = 0x0D, Escape = 0x1B, Prior = 0x21, Next = 0x22,
                   End = 0x23, Home = 0x24, Left = 0x25, Up = 0x26, Right = 0x27, Down = 0x28,
                   Delete = 0x2E, F2 = 0x71;
}

}  // namespace plu
