// The formatting toolbars' logic without a toolkit: the font name and size
// boxes, bold / italic / underline, the font and border colour buttons, the
// line-width box and the border choice. It keeps what the controls show and
// sends every change to the selection of the active grid; the window's
// widgets show this state, forward the user's actions to the handlers below
// and re-read the state afterwards. Programmatic changes of the boxes (the
// current-cell echo, the sheet layout's reset) never run a change handler.
//
// Errors: a size box text that is not an integer raises EConvertError before
// anything is changed; nothing else raises.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "app/color_box.h"
#include "base/color.h"
#include "base/font.h"
#include "grid/canvas.h"
#include "grid/grid_types.h"
#include "base/wide_text.h"

namespace plu {

class TKtCustomGrid;

inline constexpr std::array<const char16_t*, 21> kFontSizeItems = {
    u"5",  u"6",  u"7",  u"8",  u"9",  u"10", u"11", u"12", u"14", u"16", u"18",
    u"20", u"22", u"24", u"26", u"28", u"30", u"36", u"42", u"48", u"72"};
inline constexpr char16_t kInitialFontSize[] = u"12";

// The names the font box offers: the installed families plus the Windows
// names whose metric twins are installed (Arial for Liberation Sans, Times
// New Roman, Courier New, Calibri, and 宋体 for WenQuanYi Zen Hei), since the
// sheets and the workbooks from Windows use those names. Sorted, no
// duplicates.
std::vector<WideString> ScreenFontNames(std::vector<WideString> installed);

// An item of the line-width box: its text, its number (the sample's width in
// 1/1152 inch) and the border line style it stands for.
struct TLineWidthItem {
    WideString Text;
    int Number = 0;
    uint8_t LineStyle = 0;
};
// " Thin  " 4 (style 1), " Medium" 20 (style 2), " Thick " 32 (style 5).
std::vector<TLineWidthItem> StandardLineWidths();
// The pen width of a line-width sample: max(0, number x dpi / 1152, rounded).
int LineWidthPenWidth(int number, int pixelsPerInch);

// Draws a line-width item into rect (an item of the open list or the closed
// box): rect filled with background, a sample line of the item's pen width
// centred vertically from the left up to the text, which is written
// right-aligned in font.
void DrawLineWidthItem(IKtCanvas& canvas, const TRect& rect, const TLineWidthItem& item,
                       const TFont& font, TColor background);
// Draws a font name item: rect filled with background, the name in its own
// font at 9 points from the rect's top-left corner, in textColor.
inline constexpr int kFontItemPoints = 9;
inline constexpr int kOwnerDrawnItemHeight = 15;
void DrawFontNameItem(IKtCanvas& canvas, const TRect& rect, WideStringView name,
                      TColor background, TColor textColor);

// One row of the border-choice table: what the selection's border
// operation receives.
struct TBorderChoice {
    int Choice = 0;
    uint32_t Edges = 0;
    // Line style and colour come from the width box and the border colour
    // button; otherwise style 0 (none) and the automatic colour.
    bool UsesLine = true;
    bool InnerHorizontal = false;
    bool InnerVertical = false;
};
// The row of choice, or nullptr for a number outside the table.
const TBorderChoice* FindBorderChoice(int choice);
// The border palette's buttons (their tags) in reading order: rows of 4, 4, 2.
inline constexpr std::array<int, 10> kBorderPaletteTags = {8, 15, 0, 1, 2, 3, 4, 5, 6, 7};
inline constexpr std::array<int, 3> kBorderPaletteRowLengths = {4, 4, 2};

// Which button dropped the colour panel down.
enum class TColorPanelOwner { None, BorderColor, FontColor };

// A checkable action's state.
struct TToolAction {
    bool Checked = false;
    bool Enabled = true;
};

class FormattingToolbar {
  public:
    // grid: the active worksheet, or nullptr when there is none.
    explicit FormattingToolbar(std::function<TKtCustomGrid*()> grid);

    // ---- Font name box (fixed list) -----------------------------------------------------------
    // The items become names; with a grid, the item equal to the selection's
    // font name is selected.
    void LoadFontList(std::vector<WideString> names);
    const std::vector<WideString>& FontItems() const { return fontItems_; }
    int FontIndex() const { return fontIndex_; }
    // The selected name, empty when none.
    WideString FontNameText() const;
    // Selects the item equal to text (none when absent); no handler runs.
    void SetFontNameText(WideStringView text);
    // The user picked item index: it becomes the selection's font name.
    void cbFontsChange(int index);

    // ---- Font size box (editable) -------------------------------------------------------------
    const std::vector<WideString>& SizeItems() const { return sizeItems_; }
    // The item equal to the text, -1 when none is.
    int SizeIndex() const { return sizeIndex_; }
    const WideString& FontSizeText() const { return sizeText_; }
    // The box shows text (selecting the equal item); no handler runs.
    void SetFontSizeText(WideStringView text);
    // The user picked or typed text: with a grid, it becomes the font size
    // of the selection and the selection's rows fit their heights. Raises
    // EConvertError for a text that is not an integer (nothing changed).
    void cbFontSizeChange(WideStringView text);

    // ---- Bold, italic, underline ----------------------------------------------------------------
    TToolAction FontBold, FontItalic, FontUnderline;
    // The action's check mark has just been toggled: the selection's style
    // bits get the action's bit set or cleared accordingly.
    void FontBoldExecute();
    void FontItalicExecute();
    void FontUnderlineExecute();
    // Idle updates: the check marks follow the selection's style bits.
    void FontBoldUpdate();
    void FontItalicUpdate();
    void FontUnderlineUpdate();

    // ---- Colours ----------------------------------------------------------------------------------
    // The colours the two colour buttons show (their strips).
    TColor FontColor = clBlack;
    TColor BorderColor = clBlack;
    // The shared colour box of the colour panel.
    TKtColorBox ColorBox;
    // Before the colour panel drops down under a button: the box shows the
    // button's colour (Auto when the palette lacks it).
    void tbBorderColorDropDown();
    void tbFontColorDropDown();
    // A click on the border colour button's body: nothing.
    void BorderColorExecute() {}
    // A click on the font colour button's body: its colour becomes the font
    // colour of the selection.
    void TextColorExecute();
    // The colour panel closed after owner dropped it down: the box's
    // colour goes to that button (and, for the font colour, to the
    // selection).
    void PopupPanelClose(TColorPanelOwner owner);

    // ---- Border line ----------------------------------------------------------------------------
    // Fills the width box with the standard items and selects the first.
    void LoadLineWidths();
    const std::vector<TLineWidthItem>& LineWidths() const { return lineWidths_; }
    int LineWidthIndex() const { return lineWidthIndex_; }
    // -1 selects nothing; other values outside the items are ignored.
    void SetLineWidthIndex(int index);
    // The current border choice (the border line button's picture).
    int BorderLineImage() const { return borderLineImage_; }
    // A palette button with tag was clicked: it becomes the border choice,
    // which is applied at once.
    void BorderPaletteClick(int tag);
    // With a width item selected, applies the current border choice to the
    // selection.
    void BorderLineExecute();

    // ---- Current cell ---------------------------------------------------------------------------
    // The cell cursor moved to (col, row): the boxes show the cell's font
    // size and name (nothing where the lists lack them); no handler runs.
    void VexaSheetControl1CurrentChanged(int col, int row);

    // The shown state changed (the widgets re-read it).
    std::function<void()> OnChanged;

  private:
    void ApplyStyleBit(const TToolAction& action, uint8_t bit);
    void UpdateCheck(TToolAction& action, uint8_t bit);
    void ApplyFontColor(TColor color);
    void Changed() {
        if (OnChanged) OnChanged();
    }

    std::function<TKtCustomGrid*()> grid_;
    std::vector<WideString> fontItems_;
    int fontIndex_ = -1;
    std::vector<WideString> sizeItems_;
    int sizeIndex_ = -1;
    WideString sizeText_;
    std::vector<TLineWidthItem> lineWidths_;
    int lineWidthIndex_ = -1;
    int borderLineImage_ = 0;
};

}  // namespace plu
