#include "app/formatting.h"

#include <algorithm>
#include <utility>

#include "base/conversions.h"
#include "base/screen.h"
#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/grid_selection.h"
#include "grid/grid_style.h"

namespace plu {

namespace {

constexpr uint8_t kBoldBit = 1;
constexpr uint8_t kItalicBit = 2;
constexpr uint8_t kUnderlineBit = 4;

// The four outer edges and the six further border slots of each cell.
constexpr uint32_t kEveryBorderSlot = 1023;

constexpr std::array<TBorderChoice, 10> kBorderChoices = {{
    {0, kEdgeMaskBox, true, false, false},     // outline
    {1, 0, true, true, true},                  // all inner lines
    {2, 0, true, true, false},                 // inner horizontal lines
    {3, 0, true, false, true},                 // inner vertical lines
    {4, kEdgeMaskTop, true, false, false},     // top edge
    {5, kEdgeMaskBottom, true, false, false},  // bottom edge
    {6, kEdgeMaskLeft, true, false, false},    // left edge
    {7, kEdgeMaskRight, true, false, false},   // right edge
    {8, kEveryBorderSlot, false, true, true},  // no borders
    {15, kEdgeMaskBox, true, true, true},      // all borders
}};

int IndexOf(const std::vector<WideString>& items, WideStringView text) {
    const auto it = std::find(items.begin(), items.end(), text);
    return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

const TFont& CellFont(const TKtCustomGrid& grid, int col, int row) {
    const TKtCell* cell = grid.FindCell(col, row);
    return cell ? cell->Font() : grid.Font();
}

// Windows font names and the installed families that stand in for them on
// screen and in the text measurer.
constexpr std::array<std::pair<const char16_t*, const char16_t*>, 5> kWindowsFontTwins = {{
    {u"Arial", u"Liberation Sans"},
    {u"Times New Roman", u"Liberation Serif"},
    {u"Courier New", u"Liberation Mono"},
    {u"Calibri", u"Carlito"},
    {u"宋体", u"WenQuanYi Zen Hei"},
}};

WideString FoldCase(const WideString& text) {
    WideString folded = text;
    for (char16_t& c : folded)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return folded;
}

}  // namespace

std::vector<WideString> ScreenFontNames(std::vector<WideString> installed) {
    const std::vector<WideString> families = installed;
    for (const auto& [windowsName, twin] : kWindowsFontTwins)
        if (IndexOf(families, twin) >= 0 && IndexOf(families, windowsName) < 0)
            installed.emplace_back(windowsName);
    std::stable_sort(installed.begin(), installed.end(),
                     [](const WideString& a, const WideString& b) { return FoldCase(a) < FoldCase(b); });
    installed.erase(std::unique(installed.begin(), installed.end()), installed.end());
    return installed;
}

std::vector<TLineWidthItem> StandardLineWidths() {
    return {{u" Thin  ", 4, 1}, {u" Medium", 20, 2}, {u" Thick ", 32, 5}};
}

int LineWidthPenWidth(int number, int pixelsPerInch) {
    return std::max(0, MulDiv(number, pixelsPerInch, 1152));
}

void DrawLineWidthItem(IKtCanvas& canvas, const TRect& rect, const TLineWidthItem& item,
                       const TFont& font, TColor background) {
    TKtCanvasSaver saver(canvas);
    canvas.IntersectClip(rect);
    canvas.FillRect(rect, background);
    canvas.SetFont(font);
    const int y = (rect.Top + rect.Bottom) / 2;
    const int x = rect.Right - canvas.TextWidth(item.Text) - 3;
    canvas.SetPen({font.Color(), LineWidthPenWidth(item.Number, canvas.PixelsPerInch()),
                   TKtPenStyle::psSolid});
    canvas.Line(rect.Left + 2, y, x - 2, y);
    canvas.TextOut(x, rect.Top + 2, item.Text, rect);
}

void DrawFontNameItem(IKtCanvas& canvas, const TRect& rect, WideStringView name,
                      TColor background, TColor textColor) {
    TKtCanvasSaver saver(canvas);
    canvas.IntersectClip(rect);
    canvas.FillRect(rect, background);
    TFont font(name, 0, textColor);
    font.SetSize(kFontItemPoints);
    canvas.SetFont(font);
    canvas.TextOut(rect.Left, rect.Top, name, rect);
}

const TBorderChoice* FindBorderChoice(int choice) {
    for (const TBorderChoice& row : kBorderChoices)
        if (row.Choice == choice) return &row;
    return nullptr;
}

FormattingToolbar::FormattingToolbar(std::function<TKtCustomGrid*()> grid)
    : grid_(std::move(grid)), sizeItems_(kFontSizeItems.begin(), kFontSizeItems.end()) {
    SetFontSizeText(kInitialFontSize);
}

// ---- Font name ------------------------------------------------------------------------------------

void FormattingToolbar::LoadFontList(std::vector<WideString> names) {
    fontItems_ = std::move(names);
    fontIndex_ = -1;
    if (TKtCustomGrid* grid = grid_())
        fontIndex_ = IndexOf(fontItems_, grid->Selection().GetFontName());
    Changed();
}

WideString FormattingToolbar::FontNameText() const {
    return fontIndex_ < 0 ? WideString() : fontItems_[static_cast<size_t>(fontIndex_)];
}

void FormattingToolbar::SetFontNameText(WideStringView text) {
    fontIndex_ = IndexOf(fontItems_, text);
    Changed();
}

void FormattingToolbar::cbFontsChange(int index) {
    if (index < 0 || index >= static_cast<int>(fontItems_.size())) return;
    fontIndex_ = index;
    Changed();
    if (TKtCustomGrid* grid = grid_()) grid->Selection().SetFontName(FontNameText());
}

// ---- Font size ------------------------------------------------------------------------------------

void FormattingToolbar::SetFontSizeText(WideStringView text) {
    sizeText_ = WideString(text);
    sizeIndex_ = IndexOf(sizeItems_, text);
    Changed();
}

void FormattingToolbar::cbFontSizeChange(WideStringView text) {
    SetFontSizeText(text);
    TKtCustomGrid* grid = grid_();
    if (!grid) return;
    const int points = StrToInt(text);  // raises before the selection changes
    TKtGridSelection& selection = grid->Selection();
    selection.SetFontSize(points);
    for (int row = selection.Top(); row <= selection.Bottom(); ++row) grid->AutoFitRowHeight(row);
}

// ---- Bold, italic, underline ------------------------------------------------------------------------

void FormattingToolbar::ApplyStyleBit(const TToolAction& action, uint8_t bit) {
    TKtCustomGrid* grid = grid_();
    if (!grid) return;
    TKtGridSelection& selection = grid->Selection();
    uint8_t bits = selection.GetFontStyle().bits;
    bits = action.Checked ? static_cast<uint8_t>(bits | bit) : static_cast<uint8_t>(bits & ~bit);
    selection.SetFontStyle(TFontStyles(bits));
}

void FormattingToolbar::UpdateCheck(TToolAction& action, uint8_t bit) {
    if (TKtCustomGrid* grid = grid_()) action.Checked = (grid->Selection().GetFontStyle().bits & bit) != 0;
}

void FormattingToolbar::FontBoldExecute() { ApplyStyleBit(FontBold, kBoldBit); }
void FormattingToolbar::FontItalicExecute() { ApplyStyleBit(FontItalic, kItalicBit); }
void FormattingToolbar::FontUnderlineExecute() { ApplyStyleBit(FontUnderline, kUnderlineBit); }

void FormattingToolbar::FontBoldUpdate() { UpdateCheck(FontBold, kBoldBit); }

void FormattingToolbar::FontItalicUpdate() {
    if (!grid_()) FontItalic.Checked = false;
    UpdateCheck(FontItalic, kItalicBit);
}

void FormattingToolbar::FontUnderlineUpdate() { UpdateCheck(FontUnderline, kUnderlineBit); }

// ---- Colours --------------------------------------------------------------------------------------

void FormattingToolbar::tbBorderColorDropDown() { ColorBox.SelectColor(BorderColor); }

void FormattingToolbar::tbFontColorDropDown() { ColorBox.SelectColor(FontColor); }

void FormattingToolbar::ApplyFontColor(TColor color) {
    TKtCustomGrid* grid = grid_();
    if (!grid) return;
    // A cell font has no "no colour": the automatic colour is the grid's
    // own text colour (the value itself would paint as white).
    if (color == kAutomaticColor) color = grid->Font().Color();
    grid->Selection().SetFontColor(color);
}

void FormattingToolbar::TextColorExecute() { ApplyFontColor(FontColor); }

void FormattingToolbar::PopupPanelClose(TColorPanelOwner owner) {
    switch (owner) {
        case TColorPanelOwner::BorderColor:
            BorderColor = ColorBox.SelectedColor();
            break;
        case TColorPanelOwner::FontColor:
            FontColor = ColorBox.SelectedColor();
            ApplyFontColor(FontColor);
            break;
        case TColorPanelOwner::None:
            return;
    }
    Changed();
}

// ---- Border line --------------------------------------------------------------------------------

void FormattingToolbar::LoadLineWidths() {
    lineWidths_ = StandardLineWidths();
    lineWidthIndex_ = 0;
    Changed();
}

void FormattingToolbar::SetLineWidthIndex(int index) {
    if (index < -1 || index >= static_cast<int>(lineWidths_.size())) return;
    lineWidthIndex_ = index;
    Changed();
}

void FormattingToolbar::BorderPaletteClick(int tag) {
    borderLineImage_ = tag;
    Changed();
    BorderLineExecute();
}

void FormattingToolbar::BorderLineExecute() {
    if (lineWidthIndex_ < 0) return;
    TKtCustomGrid* grid = grid_();
    const TBorderChoice* choice = FindBorderChoice(borderLineImage_);
    if (!grid || !choice) return;
    const uint8_t style =
        choice->UsesLine ? lineWidths_[static_cast<size_t>(lineWidthIndex_)].LineStyle : 0;
    const TColor color = choice->UsesLine ? BorderColor : kAutomaticColor;
    grid->Selection().SetBorders(choice->Edges, style, color, choice->InnerHorizontal,
                                 choice->InnerVertical);
}

// ---- Current cell ---------------------------------------------------------------------------------

void FormattingToolbar::VexaSheetControl1CurrentChanged(int col, int row) {
    TKtCustomGrid* grid = grid_();
    if (!grid) return;
    const TFont& font = CellFont(*grid, col, row);
    const WideString size = IntToWide(font.Size());
    sizeIndex_ = IndexOf(sizeItems_, size);
    sizeText_ = sizeIndex_ < 0 ? WideString() : size;
    fontIndex_ = IndexOf(fontItems_, font.Name());
    Changed();
}

}  // namespace plu
