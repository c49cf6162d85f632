#include "grid/cell.h"

#include <climits>

#include "base/conversions.h"
#include "grid/canvas.h"
#include "grid/cell_drawing.h"
#include "grid/cell_store.h"
#include "grid/custom_grid.h"
#include "grid/format_list.h"
#include "grid/grid_selection.h"
#include "grid/number_format.h"

namespace plu {

namespace {

const WideString kEmptyText;
constexpr char16_t kUnsupported[] = u"此单元格类型不支持该方法";

}  // namespace

const TKtCellClass& TKtCell::Class() {
    static const TKtCellClassOf<TKtCell> cls("TKtCell");
    return cls;
}

const TKtCellClass& TKwProEditCell::Class() {
    static const TKtCellClassOf<TKwProEditCell> cls("TKwProEditCell");
    return cls;
}

const TKtCellClass& TKwProFixedCell::Class() {
    static const TKtCellClassOf<TKwProFixedCell> cls("TKwProFixedCell");
    return cls;
}

TKtCell::TKtCell(TKwGridRow& row, int col) : row_(&row) {
    packedInt_ = col;
    flags_ |= kFlagParentFont;
}

TKtCell::~TKtCell() {
    TKtCustomGrid& grid = Grid();
    if (grid.IsDestroying()) {
        // Every cell goes: no links to undo, nobody left to tell.
        ClearValue(true);
    } else {
        ClearValue(false);
    }
    grid.ForgetCell(*this);
    ResourceManager().ReleaseFont(FontId());
    if (flags_ & kFlagHasSide) grid.DropCellSide(*this);
}

TKtValueSide* TKtCell::FindSide() const {
    return (flags_ & kFlagHasSide) ? Grid().FindCellSide(*this) : nullptr;
}

TKtValueSide& TKtCell::GetSide() {
    if (flags_ & kFlagHasSide) return *Grid().FindCellSide(*this);
    TKtCellSide& side = Grid().CreateCellSide(*this);
    flags_ |= kFlagHasSide;
    return side;
}

TKtCustomGrid& TKtCell::Grid() const {
    return row_->Grid();
}

int TKtCell::Row() const {
    return row_->RowIndex();
}

// ---- Style and font ------------------------------------------------------------

const TKtGridStyle& TKtCell::Style() const {
    return style_ ? *style_ : SharedDefaultStyle();
}

TKtGridStyle& TKtCell::OwnStyle() {
    if (!style_) {
        style_ = std::make_unique<TKtGridStyle>();
        style_->OnChange = [this] { Invalidate(); };
    }
    return *style_;
}

const TKtGridStyle& TKtCell::EffectiveStyle(TKtStyleAttribute attribute) const {
    return Grid().EffectiveStyle(Col(), Row(), attribute, this);
}

const TFont& TKtCell::Font() const {
    if (FontId() != TKtFontPool::kNoFont) return ResourceManager().PooledFont(FontId());
    if (!ParentFont()) {
        const CellSide* side = FindCellSide();
        if (side && side->font) return *side->font;
    }
    return Grid().Font();
}

namespace {

bool SameFontFields(const TFont& a, const TFont& b) {
    return a.Height() == b.Height() && a.Color() == b.Color() && a.Style() == b.Style() &&
           a.Charset() == b.Charset() && a.Pitch() == b.Pitch() && a.Name() == b.Name();
}

}  // namespace

void TKtCell::SetFont(const TFont& font) {
    if (SameFontFields(Font(), font)) return;
    TakeOwnFont(ResourceManager().AcquireFont(font), font);
}

void TKtCell::SetFont(const TKtFontRef& font) {
    if (font.Empty() || font.Id() == FontId()) return;
    if (SameFontFields(Font(), font.Font())) return;
    ResourceManager().AddFontRef(font.Id());
    TakeOwnFont(font.Id(), font.Font());
}

void TKtCell::TakeOwnFont(uint16_t id, const TFont& font) {
    DropOwnFont();
    if (id != TKtFontPool::kNoFont) {
        packedShort_ = id;
    } else {
        GetCellSide().font = std::make_unique<TFont>(font);
    }
    flags_ &= static_cast<uint8_t>(~kFlagParentFont);
    Invalidate();
}

void TKtCell::DropOwnFont() {
    ResourceManager().ReleaseFont(FontId());
    packedShort_ = TKtFontPool::kNoFont;
    if (CellSide* side = FindCellSide()) side->font.reset();
}

const TFont& TKtCellFont::Font() const { return cell_->Font(); }

void TKtCellFont::Assign(const TFont& font) { cell_->SetFont(font); }

const WideString& TKtCell::Comment() const {
    const CellSide* side = FindCellSide();
    return side ? side->comment : kEmptyText;
}

void TKtCell::SetComment(WideStringView text) {
    if (Comment() == text) return;
    GetCellSide().comment = WideString(text);
    Invalidate();
}

const WideString& TKtCell::Tag() const {
    const CellSide* side = FindCellSide();
    return side ? side->tag : kEmptyText;
}

void TKtCell::SetTag(WideStringView text) {
    if (Tag() == text) return;
    GetCellSide().tag = WideString(text);
}

const WideString& TKtCell::Hint() const {
    const CellSide* side = FindCellSide();
    return side ? side->hint : kEmptyText;
}

void TKtCell::SetHint(WideStringView text) {
    if (Hint() == text) return;
    GetCellSide().hint = WideString(text);
}

// ---- Spans ------------------------------------------------------------------------

TRect TKtCell::Span() const {
    const TKtMergedAreas& areas = Grid().MergedAreas();
    int i = areas.FindByAnchor(Col(), Row());
    return i < 0 ? TRect::Cell(Col(), Row()) : areas[i].Rect;
}

void TKtCell::SetSpan(const TRect& rect) {
    const int w = rect.Width() < 1 ? 1 : rect.Width();
    const int h = rect.Height() < 1 ? 1 : rect.Height();
    Grid().MergeCells(Col(), Row(), Col() + w - 1, Row() + h - 1);
}

void TKtCell::SetColSpan(int n) {
    SetSpan({0, 0, n, RowSpan()});
}

void TKtCell::SetRowSpan(int n) {
    SetSpan({0, 0, ColSpan(), n});
}

bool TKtCell::IsMergeAnchor() const {
    return Grid().MergedAreas().FindByAnchor(Col(), Row()) >= 0;
}

bool TKtCell::IsCurrent() const {
    return Grid().Selection().Current() == Pos();
}

// ---- Text in ----------------------------------------------------------------------

void TKtCell::SetText(WideStringView text) {
    if (!CanModify()) return;
    ApplyText(text, true);
}

void TKtCell::SetTextIfEditable(WideStringView text) {
    if (CanEdit()) ApplyText(text, false);
}

void TKtCell::ApplyText(WideStringView text, bool fromCode) {
    TKtCustomGrid& grid = Grid();
    const TPoint pt = Pos();
    WideString value(text);
    if (!grid.IsUpdating() && !grid.RaiseCellTextChanging(pt, value)) return;
    if (!grid.IsLoading() && !grid.IsUpdating()) grid.RaiseSetCellText(pt, fromCode, value);
    if (grid.HasOptionEx(TGridOptionEx::goxSupportFormula) && value.size() > 1 &&
        value[0] == u'=') {
        SetFormula(WideStringView(value).substr(1));
    } else {
        ParseText(value);
        // A line break typed by the user makes the cell wrap; text from code
        // never switches wrapping on.
        if (!fromCode && value.find(u'\r') != WideString::npos) {
            TKtGridStyle& style = OwnStyle();
            style.SetWrapText(true);
            if (style.HorzAlign() == TKtGridHorzAlign::haGeneral)
                style.SetHorzAlign(grid.GetColumn(Col()).Style().HorzAlign());
        }
    }
    if (grid.OnCellTextChanged) grid.OnCellTextChanged(*this, Col(), Row());
    if (grid.AutoRowHeight() && !IsMergeAnchor()) grid.RequestRowFit(Row());
    Invalidate();
}

void TKtCell::ParseText(WideStringView text) {
    TKtCustomGrid& grid = Grid();
    if (grid.HasOption(TGridOption::goCellNotMaintainData) && Row() >= grid.FixedRowCount()) return;
    if (text.empty()) {
        if (!IsEmpty()) {
            ClearValue();
            ValueChanged();
        }
        return;
    }
    if (grid.HasOptionEx(TGridOptionEx::goxStringGrid) ||
        EffectiveStyle(TKtStyleAttribute::Format).FormatIndex() == kFormatText) {
        SetAsString(text);
        return;
    }
    int32_t i = 0;
    double f = 0;
    TDateTime d = 0;
    bool b = false;
    if (TryStrToInt(text, i))
        SetAsInteger(i);
    else if (TryStrToFloat(text, f))
        SetAsFloat(f);
    else if (TryStrToDateTime(text, d))
        SetAsDateTime(d);
    else if (TryStrToBool(text, b))
        SetAsBoolean(b);
    else
        SetAsString(text);
}

void TKtCell::SetAsDateTime(TDateTime value) {
    if (Style().FormatIndex() == kFormatGeneral)
        OwnStyle().SetFormatIndex(value >= 1 ? kFormatShortDate : kFormatShortTime);
    SetAsFloat(value);
}

void TKtCell::SetValueFromVariant(const TKtVariant& v) {
    switch (v.Type) {
        case TKtVarType::varEmpty:
        case TKtVarType::varNull:
            ClearContent();
            return;
        case TKtVarType::varSmallint:
        case TKtVarType::varInteger:
        case TKtVarType::varBoolean:
        case TKtVarType::varShortInt:
        case TKtVarType::varByte:
        case TKtVarType::varWord:
        case TKtVarType::varLongWord:
        case TKtVarType::varInt64:
        case TKtVarType::varUInt64:
            // Integers beyond 32 bits keep their value as a float.
            if (v.Int >= INT32_MIN && v.Int <= INT32_MAX)
                SetAsInteger(static_cast<int32_t>(v.Int));
            else
                SetAsFloat(static_cast<double>(v.Int));
            return;
        case TKtVarType::varSingle:
        case TKtVarType::varDouble:
        case TKtVarType::varCurrency:
            SetAsFloat(v.Float);
            return;
        case TKtVarType::varDate:
            SetAsDateTime(v.Float);
            return;
        case TKtVarType::varOleStr:
        case TKtVarType::varString:
        case TKtVarType::varUString:
            SetAsString(v.Text);
            return;
        default:
            throw Exception(u"can not accept value type: " + VarTypeName(v.Type));
    }
}

// ---- Text out ---------------------------------------------------------------------

WideString TKtCell::NumberText(double value, bool display, bool isInteger, TColor* color) const {
    TKtCustomGrid& grid = Grid();
    const TKtGridStyle& format = EffectiveStyle(TKtStyleAttribute::Format);
    if (!display) {
        if (IsDateTimeStyle(format))
            return isInteger || value >= 1 ? DateTimeToStr(value) : TimeToStr(value);
        return isInteger ? IntToWide(static_cast<int64_t>(value)) : FloatToStr(value);
    }
    if (grid.DontShowZero() && value == 0) return WideString();
    if (grid.OnFormatNumber) {
        WideString text;
        bool useDefault = false;
        grid.OnFormatNumber(grid, const_cast<TKtCell&>(*this), text, useDefault);
        if (!useDefault) return text;
    }
    // Under General an integer shows its decimal digits.
    if (isInteger && format.FormatIndex() == kFormatGeneral)
        return IntToWide(static_cast<int64_t>(value));
    TColor section = clNone;
    WideString text = FormatStyleNumber(format, value, section);
    if (color) *color = section;
    return text;
}

WideString TKtCell::TextOut(bool display, TColor* color) const {
    WideString text;
    switch (Kind()) {
        case TKtValueKind::vkFloat:
            text = NumberText(GetAsFloat(), display, false, color);
            break;
        case TKtValueKind::vkString:
            text = GetAsString();
            break;
        case TKtValueKind::vkFormula:
            if (!display)
                text = u"=" + GetFormula();
            else if (IsNumber())
                text = NumberText(Formula()->ResultNumber(), true, false, color);
            else
                text = Formula()->ResultText();
            break;
        case TKtValueKind::vkInteger:
            text = NumberText(GetAsInteger(), display, true, color);
            break;
        default:
            break;
    }
    Grid().RaiseGetCellText(Pos(), display, text);
    return text;
}

WideString TKtCell::GetText(bool display) const {
    return TextOut(display, nullptr);
}

WideString TKtCell::GetDisplayText(TColor& color) const {
    color = clNone;
    return TextOut(true, &color);
}

// ---- Copying ---------------------------------------------------------------------------

void TKtCell::Assign(const TKtValue& source) {
    const auto* cell = dynamic_cast<const TKtCell*>(&source);
    if (!cell) {
        TKtValue::Assign(source);
        return;
    }
    CopyFrom(*cell, kCopyAll, false);
}

void TKtCell::CopyFrom(const TKtCell& source, int part, bool undoable) {
    if (&source == this) return;
    if (undoable && !CanEdit()) return;
    if (part == kCopyAll || part == kCopyValue) CopyValue(source, !Grid().IsUpdating());
    if (part == kCopyAll || part >= kCopyFormat) {
        if (source.style_)
            OwnStyle().Assign(*source.style_);
        else if (style_)
            style_->Assign(SharedDefaultStyle());
        if (source.ParentFont()) {
            DropOwnFont();
            flags_ |= kFlagParentFont;
        } else if (source.FontId() != TKtFontPool::kNoFont) {
            if (source.FontId() != FontId()) {
                ResourceManager().AddFontRef(source.FontId());
                TakeOwnFont(source.FontId(), source.Font());
            }
        } else {
            TakeOwnFont(ResourceManager().AcquireFont(source.Font()), source.Font());
        }
        const TRect span = source.Span();
        if (span.Width() != ColSpan() || span.Height() != RowSpan()) SetSpan(span);
    }
    Invalidate();
}

// ---- Permissions and state -----------------------------------------------------------------

bool TKtCell::CanModify() const {
    TKtCustomGrid& grid = Grid();
    bool allow = true;
    if (grid.OnCellCanModify) grid.OnCellCanModify(grid, Pos(), allow);
    return allow;
}

bool TKtCell::CanEdit() const {
    TKtCustomGrid& grid = Grid();
    if (!grid.AllowEdit()) return false;
    if (grid.IsProtected() && EffectiveStyle(TKtStyleAttribute::Protection).Locked()) return false;
    bool allow = true;
    if (grid.OnCellCanEdit) grid.OnCellCanEdit(grid, Pos(), allow);
    return allow;
}

bool TKtCell::IsWordWrap(const TKtGridStyle& alignmentStyle) const {
    return Grid().HasOptionEx(TGridOptionEx::goWrapText) ||
           alignmentStyle.Options().Has(TKtCellOption::gcoWrapText);
}

// ---- Painting ------------------------------------------------------------------------

void TKtCell::Paint(IKtCanvas& canvas, const TRect& clipRect) const {
    if (!clipRect.IsEmpty()) PaintCell(canvas, clipRect, Pos());
}

void TKtCell::PaintCell(IKtCanvas& canvas, const TRect& rect, TPoint pos) const {
    canvas.SetFont(CellPaintFont(Grid(), this, pos));
    canvas.SetBrush(clNone);
    DrawContent(canvas, rect, pos);
}

void TKtCell::DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint pos) const {
    DrawPositionContent(Grid(), this, canvas, rect, pos);
}

void TKtCell::DrawText(IKtCanvas& canvas, const TRect& rect, bool wrap, TKtGridVertAlign vertAlign,
                       TKtGridHorzAlign horzAlign, WideStringView text) const {
    DrawLayoutText(canvas, Grid().Measurer(), rect, wrap, vertAlign, horzAlign, text);
}

void TKwProFixedCell::DrawContent(IKtCanvas& canvas, const TRect& rect, TPoint pos) const {
    WideString text = GetText(true);
    if (text.empty()) text = Grid().HeaderText(pos.X, pos.Y);
    if (text.empty() || !Grid().RaiseDrawCellText(*this, canvas, rect, text)) return;
    const TKtGridStyle& align = EffectiveStyle(TKtStyleAttribute::Alignment);
    // An unresolved haGeneral centres: header texts stand in the middle.
    DrawText(canvas, rect, IsWordWrap(align), align.VertAlign(), align.HorzAlign(), text);
}

TKtGridHorzAlign TKtCell::DrawAlignment() const {
    switch (EffectiveStyle(TKtStyleAttribute::Alignment).HorzAlign()) {
        case TKtGridHorzAlign::haCenter:
            return TKtGridHorzAlign::haCenter;
        case TKtGridHorzAlign::haRight:
            return TKtGridHorzAlign::haRight;
        case TKtGridHorzAlign::haGeneral:
            return IsNumber() ? TKtGridHorzAlign::haRight : TKtGridHorzAlign::haLeft;
        default:
            return TKtGridHorzAlign::haLeft;
    }
}

TColor TKtCell::Background() const {
    return Grid().CellBackground(Col(), Row());
}

void TKtCell::Invalidate() const {
    TKtCustomGrid& grid = Grid();
    if (grid.IsUpdating()) return;
    grid.InvalidateCells(grid.CellSpanRect(Col(), Row()));
}

void TKtCell::Clear(bool undoable) {
    if (undoable) {
        SetTextIfEditable(u"");
        return;
    }
    ClearValue();
    ValueChanged();
}

void TKtCell::ClearContent() {
    ClearValue();
    ValueChanged();
}

int TKtCell::Compare(const TKtCell& other) const {
    if (IsNumber() && other.IsNumber()) {
        const double a = GetAsFloat();
        const double b = other.GetAsFloat();
        return a < b ? -1 : (a > b ? 1 : 0);
    }
    const int r = GetAsString().compare(other.GetAsString());
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

// ---- Editing -----------------------------------------------------------------------------------

void TKtCell::ShowEditor() {
    Grid().EnterEditorMode(*this);
}

void TKtCell::HideEditor(bool save, bool focusGrid) {
    TKtCustomGrid& grid = Grid();
    if (grid.EditingCell() == this) {
        // A refused commit keeps the editor open and the grid in editing mode.
        if (grid.CellEditor() && !grid.CellEditor()->Hide(save, focusGrid)) return;
        grid.LeaveEditorMode();
    }
    Invalidate();
}

void TKwProEditCell::ShowEditor() {
    if (!CanEdit()) return;
    TKtCell::ShowEditor();
    if (IKtCellEditor* editor = Grid().CellEditor()) editor->Show(*this);
}

void TKwProEditCell::LeaveCurrent() {
    TKtCustomGrid& grid = Grid();
    if (grid.EditingCell() == this && !grid.Selection().ReferenceMode) HideEditor(true, false);
}

// ---- Input -------------------------------------------------------------------------------------

bool TKtCell::DispatchMouse(const TKtMouseInput& input) {
    switch (input.What) {
        case TKtMouseInput::Kind::Down:
            return MouseDown(input.Button, input.Shift, input.X, input.Y);
        case TKtMouseInput::Kind::DoubleClick:
            return MouseDown(input.Button, input.Shift.With(TShift::ssDouble), input.X, input.Y);
        case TKtMouseInput::Kind::Up:
            return MouseUp(input.Button, input.Shift, input.X, input.Y);
        case TKtMouseInput::Kind::Move:
            return MouseMove(input.Shift, input.X, input.Y);
    }
    return false;
}

int TKtCell::DispatchKey(TKtKeyInput& input) {
    switch (input.What) {
        case TKtKeyInput::Kind::KeyDown:
            KeyDown(input.Key, input.Shift);
            return input.Key == 0 ? 1 : 0;
        case TKtKeyInput::Kind::Char:
            KeyPress(input.Char);
            return input.Char == 0 ? 1 : 0;
        case TKtKeyInput::Kind::KeyUp:
            KeyUp(input.Key, input.Shift);
            return input.Key == 0 ? 1 : 0;
    }
    return 0;
}

bool TKtCell::MouseDown(TMouseButton, TShiftState, int, int) {
    return false;
}
bool TKtCell::MouseMove(TShiftState, int, int) {
    return false;
}
bool TKtCell::MouseUp(TMouseButton, TShiftState, int, int) {
    return false;
}
void TKtCell::KeyDown(uint16_t&, TShiftState) {}
void TKtCell::KeyPress(char16_t&) {}
void TKtCell::KeyUp(uint16_t&, TShiftState) {}
bool TKtCell::ClaimsKey(uint16_t, TShiftState) const {
    return false;
}
void TKtCell::EditorKeyDown(uint16_t&, TShiftState) {}
void TKtCell::EditorChar(char16_t&) {}

void TKtCell::ButtonClick() {
    TKtCustomGrid& grid = Grid();
    if (grid.OnCellButtonClick) grid.OnCellButtonClick(*this, Col(), Row());
}

// ---- Item operations ---------------------------------------------------------------------------

int TKtCell::ItemCount() const {
    throw ECellKindError(kUnsupported);
}
WideString TKtCell::GetItem(int) const {
    throw ECellKindError(kUnsupported);
}
void TKtCell::SetItem(int, WideStringView) {
    throw ECellKindError(kUnsupported);
}
void TKtCell::InsertItem(int, WideStringView) {
    throw ECellKindError(kUnsupported);
}
int TKtCell::AddItem(WideStringView) {
    throw ECellKindError(kUnsupported);
}
void TKtCell::ClearItems() {
    throw ECellKindError(kUnsupported);
}

// ---- Property list
// -------------------------------------------------------------------------------

std::vector<std::pair<WideString, TKtVariant>> TKtCell::WriteProperties() const {
    std::vector<std::pair<WideString, TKtVariant>> props;
    const TRect span = Span();
    if (span.Width() > 1) props.emplace_back(u"Width", TKtVariant::Integer(span.Width()));
    if (span.Height() > 1) props.emplace_back(u"Height", TKtVariant::Integer(span.Height()));
    WideString text = GetText(false);
    if (!text.empty()) props.emplace_back(u"Text", TKtVariant::String(text));
    return props;
}

void TKtCell::ReadProperties(const std::vector<std::pair<WideString, TKtVariant>>& props) {
    for (const auto& [name, value] : props) {
        if (name == u"Width" && value.Int > 0 && value.Int <= kMaxGridCols)
            SetColSpan(static_cast<int>(value.Int));
        else if (name == u"Height" && value.Int > 0 && value.Int <= kMaxGridRows)
            SetRowSpan(static_cast<int>(value.Int));
        else if (name == u"Text")
            ApplyText(value.Text, true);
    }
}

// ---- Value overrides
// ---------------------------------------------------------------------------------

void TKtCell::SetFormula(WideStringView text) {
    SetFormulaEx(text, 0, 0, !Grid().IsUpdating(), nullptr);
}

void TKtCell::Recalculated() {
    Grid().CellValueChanged(*this);
    Invalidate();
}

std::unique_ptr<IKtFormula> TKtCell::CreateFormula(WideStringView text, const IKtFormula* old) {
    return Grid().CreateFormula(*this, text, old);
}

void TKtCell::FreeFormula(std::unique_ptr<IKtFormula> formula) {
    Grid().FreeFormula(std::move(formula));
}

int TKtCell::GetDataCol() const {
    return Col() - Grid().FixedColCount();
}

int TKtCell::GetDataRow() const {
    return Row() - Grid().FixedRowCount();
}

int TKtCell::GetSheetIndex() const {
    return Grid().SheetIndex();
}

void TKtCell::ValueChanged() {
    TKtCustomGrid& grid = Grid();
    grid.Dependents().Changed(*this);
    grid.CellValueChanged(*this);
}

std::vector<TKtCell*> TKtCell::Dependents() const {
    return Grid().Dependents().WatchersAt(Col(), Row());
}

void TKtCell::RegisterReferences() {
    IKtFormula* formula = Formula();
    if (!formula) return;
    Grid().Dependents().Register(*this, formula->References());
}

void TKtCell::UnregisterReferences() {
    Grid().Dependents().Unregister(*this);
}

}  // namespace plu
