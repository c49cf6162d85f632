// TKtCell: a value that lives at one position of one grid, with its own
// style and font, a comment, a tag and a hint text; it is asked whether it
// may be edited and modified, turns text into a value (text in) and a value
// into display or edit text (text out), and receives the grid's forwarded
// mouse and key input. Cell kinds override the virtual operations.
//
// Memory: a plain cell is 40 bytes (64-bit: vtable, value word, kind/flags/
// font/column word, row list, style). Its style is created on first change
// only: until then the cell uses the shared default style. Its font is the
// grid's (parent font) until changed; then the cell holds the 16-bit id of a
// pooled font (font_pool.h), shared by every cell with the same font, inside
// the cell itself. Comment, tag, hint and the extra object share one side
// record that the grid keeps for the cells that use one (and the font, in the
// rare case that the font pool has no id left). Formula links live with the
// grid (TKtGridDependents), by position.
#pragma once

#include <memory>
#include <utility>
#include <vector>

#include "base/color.h"
#include "base/font.h"
#include "grid/cell_class.h"
#include "grid/grid_style.h"
#include "grid/grid_types.h"
#include "grid/resource_manager.h"
#include "grid/value.h"
#include "grid/variant.h"

namespace plu {

class IKtCanvas;
class TKtCustomGrid;
class TKwGridRow;

// The rarely used parts of a cell; the grid keeps one for each cell that
// needs it (a comment, tag or hint, an extra object, or a font of its own
// that the font pool had no id left for).
struct TKtCellSide : TKtValueSide {
    std::unique_ptr<TFont> font;
    WideString comment;
    WideString tag;
    WideString hint;
};

// The cell kinds of data columns (values 0 ... 11).
enum class TKtCellType : uint8_t {
    cellDefault,
    cellTextBox,
    cellCheckBox,
    cellRadioBox,
    cellComboBox,
    cellNumberSpin,
    cellChart,
    cellEllipsisBtn,
    cellImageBox,
    cellCalendar,
    cellCurrency,
    cellDropDownList
};

// Raised by operations a cell kind does not support:
// "此单元格类型不支持该方法".
class ECellKindError : public Exception {
  public:
    using Exception::Exception;
};

// CopyFrom parts.
constexpr int kCopyAll = 0;
constexpr int kCopyValue = 1;
constexpr int kCopyFormat = 2;

class TKtCell;

// The font of one cell for changing (what TKtCell::OwnFont answers). It reads
// as the cell's font; a setter that changes the value gives the cell a font
// of its own with that change (TKtCell::SetFont), which clears ParentFont and
// repaints. A setter that changes nothing leaves the cell as it was.
class TKtCellFont {
  public:
    explicit TKtCellFont(TKtCell& cell) : cell_(&cell) {}

    const TFont& Font() const;
    operator const TFont&() const { return Font(); }
    const WideString& Name() const { return Font().Name(); }
    int32_t Height() const { return Font().Height(); }
    int32_t Size() const { return Font().Size(); }
    TFontStyles Style() const { return Font().Style(); }
    TColor Color() const { return Font().Color(); }
    uint8_t Charset() const { return Font().Charset(); }
    TFontPitch Pitch() const { return Font().Pitch(); }
    bool Bold() const { return Font().Bold(); }
    bool Italic() const { return Font().Italic(); }
    bool Underline() const { return Font().Underline(); }
    bool StrikeOut() const { return Font().StrikeOut(); }

    void SetName(WideStringView name) { Change([&](TFont& f) { f.SetName(name); }); }
    void SetHeight(int32_t height) { Change([&](TFont& f) { f.SetHeight(height); }); }
    void SetSize(int32_t points) { Change([&](TFont& f) { f.SetSize(points); }); }
    void SetStyle(TFontStyles style) { Change([&](TFont& f) { f.SetStyle(style); }); }
    void SetColor(TColor color) { Change([&](TFont& f) { f.SetColor(color); }); }
    void SetCharset(uint8_t charset) { Change([&](TFont& f) { f.SetCharset(charset); }); }
    void SetPitch(TFontPitch pitch) { Change([&](TFont& f) { f.SetPitch(pitch); }); }
    void Assign(const TFont& font);

  private:
    template <typename F>
    void Change(F change) {
        TFont font(Font());
        change(font);
        Assign(font);
    }
    TKtCell* cell_;
};

class TKtCell : public TKtValue {
  public:
    // Init: stores the row list and column; style and font start shared.
    TKtCell(TKwGridRow& row, int col);
    // Clears the value (unregistering a formula unless the grid is being
    // destroyed) and clears the grid's references to it. The operation that
    // frees cells recalculates the formulas that read them.
    ~TKtCell() override;

    static const TKtCellClass& Class();
    virtual const TKtCellClass& CellClass() const { return Class(); }
    virtual TKtCellType CellType() const { return TKtCellType::cellDefault; }

    TKtCustomGrid& Grid() const;
    TKwGridRow& RowList() const { return *row_; }
    int Col() const { return packedInt_; }
    int Row() const;
    TPoint Pos() const { return {Col(), Row()}; }

    // ---- Style and font ---------------------------------------------------
    // The cell's own style (the shared default style until changed).
    const TKtGridStyle& Style() const;
    // The own style for changing; created on first use, its changes repaint.
    TKtGridStyle& OwnStyle();
    bool HasOwnStyle() const { return style_ != nullptr; }
    // Cell -> column -> row -> grid default; fixed rows never inherit.
    const TKtGridStyle& EffectiveStyle(TKtStyleAttribute attribute) const;

    // The cell's font: its own once set, else the grid's.
    const TFont& Font() const;
    // The font for changing, starting from the cell's font: a change through
    // it gives the cell that font as its own (SetFont).
    TKtCellFont OwnFont() { return TKtCellFont(*this); }
    // Gives the cell font as its own font, clearing ParentFont and
    // repainting; nothing when font equals the cell's font (field by field,
    // the name with its letter case), so a cell that follows the grid keeps
    // following it.
    void SetFont(const TFont& font);
    // The same with a font already pooled: the cell shares its entry without
    // a look-up by value. An empty reference changes nothing.
    void SetFont(const TKtFontRef& font);
    // True while the cell follows the grid's font (reading it, so a change of
    // the grid's font shows in the cell).
    bool ParentFont() const { return (flags_ & kFlagParentFont) != 0; }

    const WideString& Comment() const;
    // A different text repaints the cell.
    void SetComment(WideStringView text);
    const WideString& Tag() const;
    void SetTag(WideStringView text);
    const WideString& Hint() const;
    void SetHint(WideStringView text);

    // ---- Spans ----------------------------------------------------------
    // The merged rectangle the cell anchors, else the cell itself (half-open).
    TRect Span() const;
    int ColSpan() const { return Span().Width(); }
    int RowSpan() const { return Span().Height(); }
    // Merges from this cell over rect's size (half-open, from this cell).
    void SetSpan(const TRect& rect);
    void SetColSpan(int n);
    void SetRowSpan(int n);
    bool IsMergeAnchor() const;
    bool IsCurrent() const;

    // ---- Text ---------------------------------------------------------------
    // The public set-text operation: refused by CanModify; otherwise the text
    // is applied as assigned from code.
    void SetText(WideStringView text);
    // The text-out path (display text by default).
    virtual WideString GetText(bool display = true) const;
    // The display text and the colour its number format gives it (a "[Red]"
    // section); clNone when the format sets none. A kind that overrides
    // GetText overrides this too.
    virtual WideString GetDisplayText(TColor& color) const;
    // The text-in path: changing event, set-text event, formula or ParseText,
    // wrap switching for typed line breaks, changed event, row fitting, repaint.
    virtual void ApplyText(WideStringView text, bool fromCode);
    // Turns text into a typed value (integer, float, date/time, boolean or
    // string; verbatim under goxStringGrid or the "@" format).
    virtual void ParseText(WideStringView text);
    virtual void SetTextIfEditable(WideStringView text);
    // The text an editor starts from.
    virtual WideString GetEditText() const { return GetText(false); }
    // empty/null clears; integer kinds -> SetAsInteger; single, double,
    // currency -> SetAsFloat; date -> SetAsDateTime; strings -> SetAsString;
    // anything else raises "can not accept value type: <type name>".
    void SetValueFromVariant(const TKtVariant& value);

    // ---- Copying ------------------------------------------------------------
    // Part kCopyAll: value and format; kCopyValue: the value; kCopyFormat
    // (2 or 3): font, spans and style. Undoable first requires CanEdit.
    void CopyFrom(const TKtCell& source, int part, bool undoable);
    // Value and format (font, spans, style) from another cell.
    void Assign(const TKtValue& source) override;

    // ---- Permissions and state ----------------------------------------------
    virtual bool CanModify() const;
    virtual bool CanEdit() const;
    virtual bool IsEmpty() const { return Kind() == TKtValueKind::vkEmpty; }
    virtual bool IsEmptyAndUnmerged() const { return IsEmpty() && !IsMergeAnchor(); }
    // Wraps when the grid option goWrapText is set or the alignment style
    // has gcoWrapText.
    virtual bool IsWordWrap(const TKtGridStyle& alignmentStyle) const;
    bool IsWordWrap() const { return IsWordWrap(EffectiveStyle(TKtStyleAttribute::Alignment)); }
    // Horizontal alignment for drawing: haLeft, haCenter or haRight.
    TKtGridHorzAlign DrawAlignment() const;
    // Effective background, zebra rows, then OnCellGetColor.
    TColor Background() const;
    // Repaints the cell's (merged) rectangle unless the grid is updating.
    virtual void Invalidate() const;

    // ---- Painting (a paint changes nothing in the model) --------------------------
    // rect is the cell's (merged) content rectangle in client pixels.
    // When clipRect is not empty: PaintCell (canvas, clipRect, Pos()).
    virtual void Paint(IKtCanvas& canvas, const TRect& clipRect) const;
    // Selects the font (the column's when it has one set, else the cell's,
    // then OnCellGetFont), clears the brush, then DrawContent.
    virtual void PaintCell(IKtCanvas& canvas, const TRect& rect, TPoint pos) const;
    // The display text in the effective alignment (OnDrawCellTextW /
    // OnDrawCellText may draw instead).
    virtual void DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint pos) const;
    // The shared text layout of text in rect with the canvas font.
    virtual void DrawText(IKtCanvas& canvas, const TRect& rect, bool wrap,
                          TKtGridVertAlign vertAlign, TKtGridHorzAlign horzAlign,
                          WideStringView text) const;

    // Not undoable: ClearValue and ValueChanged; undoable: SetTextIfEditable("").
    virtual void Clear(bool undoable);
    virtual void ClearContent();
    // Both numbers: by value; otherwise ordinal comparison of GetAsString.
    virtual int Compare(const TKtCell& other) const;

    // ---- Editing hooks --------------------------------------------------------
    virtual void Initialize() {}
    // The grid enters editing mode for this cell.
    virtual void ShowEditor();
    // Leaves editing mode and repaints.
    virtual void HideEditor(bool save, bool focusGrid);
    virtual void UpdateEditorBounds() {}
    virtual void CancelEdit() { HideEditor(false, true); }

    // ---- Input ----------------------------------------------------------------
    // Dispatches a forwarded mouse message; true when a handler took it.
    bool DispatchMouse(const TKtMouseInput& input);
    // Dispatches a forwarded key message; answers 1 when the key was consumed.
    int DispatchKey(TKtKeyInput& input);
    // Mouse handlers answer whether they took the message (nothing here).
    virtual bool MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual bool MouseMove(TShiftState shift, int x, int y);
    virtual bool MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void KeyDown(uint16_t& key, TShiftState shift);
    virtual void KeyPress(char16_t& ch);
    virtual void KeyUp(uint16_t& key, TShiftState shift);
    // The cell became / stopped being the current cell.
    virtual void EnterCurrent() {}
    virtual void LeaveCurrent() {}
    // A cell may claim navigation keys from the grid.
    virtual bool ClaimsKey(uint16_t key, TShiftState shift) const;
    // Raises OnCellButtonClick.
    virtual void ButtonClick();
    // A press the cell holds acts again while it is held (a spin button):
    // the mouse layer then asks for timer ticks and passes each one on.
    virtual bool Repeats() const { return false; }
    // One tick of the mouse layer's timer (TKtGridMouse::kAutoScrollInterval
    // milliseconds) while Repeats answers true.
    virtual void RepeatTick() {}
    // Called by the in-place editor before it handles a key / after it took
    // a character.
    virtual void EditorKeyDown(uint16_t& key, TShiftState shift);
    virtual void EditorChar(char16_t& ch);

    // ---- Item operations of list cell kinds -------------------------------------
    // The base cell raises ECellKindError for all of them.
    virtual int ItemCount() const;
    virtual WideString GetItem(int index) const;
    virtual void SetItem(int index, WideStringView text);
    virtual void InsertItem(int index, WideStringView text);
    virtual int AddItem(WideStringView text);
    virtual void ClearItems();

    // ---- Property list (form stream) ------------------------------------------
    // "Width" (column span, when > 1), "Height" (row span, when > 1), "Text"
    // (when not empty).
    virtual std::vector<std::pair<WideString, TKtVariant>> WriteProperties() const;
    // Applies every known name; unknown names are skipped.
    virtual void ReadProperties(const std::vector<std::pair<WideString, TKtVariant>>& props);

    // ---- TKtValue overrides -----------------------------------------------------
    // Gives the own style format 14 (value >= 1) or 20 when it has none.
    void SetAsDateTime(TDateTime value) override;
    // Recalculates at once unless the grid is updating.
    void SetFormula(WideStringView text) override;
    // OnCellValueChanged, then repaint unless updating (the formulas reading
    // this cell are being recalculated by the same pass).
    void Recalculated() override;
    std::unique_ptr<IKtFormula> CreateFormula(WideStringView text, const IKtFormula* old) override;
    void FreeFormula(std::unique_ptr<IKtFormula> formula) override;
    int GetCol() const override { return Col(); }
    int GetRow() const override { return Row(); }
    int GetDataCol() const override;
    int GetDataRow() const override;
    int GetSheetIndex() const override;
    // The formulas reading this cell are recalculated (at the outermost
    // EndUpdate while the grid is updating), then OnCellValueChanged.
    void ValueChanged() override;
    // The formula cells (of any sheet) whose references cover this cell.
    std::vector<TKtCell*> Dependents() const;
    // Registers the formula again with what it refers to now (after the
    // formula engine moved its references).
    void RefreshReferences() {
        UnregisterReferences();
        RegisterReferences();
    }

  protected:
    using CellSide = TKtCellSide;
    Side* FindSide() const override;
    Side& GetSide() override;
    CellSide* FindCellSide() const { return static_cast<CellSide*>(FindSide()); }
    CellSide& GetCellSide() { return static_cast<CellSide&>(GetSide()); }

    void RegisterReferences() override;
    void UnregisterReferences() override;

    static constexpr uint8_t kFlagParentFont = 0x02;
    static constexpr uint8_t kFlagHasSide = 0x08;

  private:
    friend class TKtCustomGrid;
    friend class TKwGridRow;
    void SetCol(int col) { packedInt_ = col; }
    // color (when given) receives the number format's section colour.
    WideString NumberText(double value, bool display, bool isInteger, TColor* color) const;
    WideString TextOut(bool display, TColor* color) const;
    // The pooled font id the cell holds (TKtFontPool::kNoFont: none).
    uint16_t FontId() const { return packedShort_; }
    // Makes id (one reference already taken for this cell) the cell's own
    // font, dropping the font it had; kNoFont keeps the value in the side
    // record instead.
    void TakeOwnFont(uint16_t id, const TFont& font);
    void DropOwnFont();

    TKwGridRow* row_;
    std::unique_ptr<TKtGridStyle> style_;
};

// The default body cell of every grid (the in-place text editor cell).
class TKwProEditCell : public TKtCell {
  public:
    using TKtCell::TKtCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }
    // Opens the editor only when CanEdit.
    void ShowEditor() override;
    // Leaving the current position commits an open edit (unless the editor
    // is picking a reference for a formula).
    void LeaveCurrent() override;
};

// The default header cell of the fixed rows and columns.
class TKwProFixedCell : public TKtCell {
  public:
    using TKtCell::TKtCell;
    static const TKtCellClass& Class();
    const TKtCellClass& CellClass() const override { return Class(); }
    // Its own text, else the grid's header number or letters (HeaderText).
    void DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint pos) const override;
};

}  // namespace plu
