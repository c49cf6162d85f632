#include "grid/cell.h"

#include <gtest/gtest.h>

#include "base/date_time.h"
#include "grid/format_list.h"
#include "grid/range_watches.h"
#include "grid_test_support.h"

using namespace plu;
using namespace plu::testing;

namespace {

using CellText = GridTest;
using CellValue = GridTest;
using CellEvents = GridTest;
using CellFormat = GridTest;

// A cell kind that consumes Delete and the character 'x'.
class KeyCell : public TKtCell {
  public:
    using TKtCell::TKtCell;
    void KeyDown(uint16_t& key, TShiftState) override {
        if (key == vk::Delete) key = 0;
    }
    void KeyPress(char16_t& ch) override {
        if (ch == u'x') ch = 0;
    }
    bool MouseDown(TMouseButton, TShiftState shift, int, int) override {
        doubleClicked = shift.Has(TShift::ssDouble);
        return true;
    }
    bool doubleClicked = false;
};

}  // namespace

TEST_F(CellText, TextFormatKeepsTextVerbatim) {
    grid.GetColumn(1).Style().SetFormatString(u"@");
    TKtCell& c = grid.GetCell(1, 1);
    c.SetText(u"12");
    EXPECT_EQ(c.Kind(), TKtValueKind::vkString);
    c.SetText(u"00123");
    EXPECT_EQ(c.GetText(), u"00123");
    grid.GetColumn(2).Style().SetFormatString(u"0");
    TKtCell& d = grid.GetCell(2, 1);
    d.SetText(u"12");
    EXPECT_EQ(d.Kind(), TKtValueKind::vkInteger);
    EXPECT_EQ(d.GetText(), u"12");
    TKtCell& e = grid.GetCell(3, 1);
    e.SetText(u"00123");
    EXPECT_EQ(e.Kind(), TKtValueKind::vkInteger);
    EXPECT_EQ(e.GetAsInteger(), 123);
    // goxStringGrid stores every text as a string.
    grid.SetOptionsEx(grid.OptionsEx().With(TGridOptionEx::goxStringGrid));
    e.SetText(u"42");
    EXPECT_EQ(e.Kind(), TKtValueKind::vkString);
}

TEST_F(CellText, NumbersBooleansAndDatesAreParsed) {
    TKtCell& f = grid.GetCell(1, 1);
    f.SetText(u"1.5");
    EXPECT_EQ(f.Kind(), TKtValueKind::vkFloat);
    EXPECT_EQ(f.GetText(), u"1.5");
    f.OwnStyle().SetFormatString(u".00");
    EXPECT_EQ(f.GetText(), u"1.50");
    EXPECT_EQ(f.GetEditText(), u"1.5");  // the editor starts from full precision

    TKtCell& b = grid.GetCell(2, 1);
    b.SetText(u"TRUE");
    EXPECT_EQ(b.Kind(), TKtValueKind::vkInteger);
    EXPECT_EQ(b.GetText(), u"1");
    b.SetText(u"false");
    EXPECT_EQ(b.GetAsInteger(), 0);

    TKtCell& d = grid.GetCell(3, 1);
    d.SetText(u"3/15/2024");
    EXPECT_EQ(d.Kind(), TKtValueKind::vkFloat);
    EXPECT_EQ(d.Style().FormatIndex(), kFormatShortDate);
    EXPECT_EQ(d.GetText(), u"3/15/2024");
    EXPECT_EQ(d.GetAsDateTime(), EncodeDate(2024, 3, 15));
    TKtCell& t = grid.GetCell(4, 1);
    t.SetText(u"14:05");
    EXPECT_EQ(t.Style().FormatIndex(), kFormatShortTime);
    EXPECT_EQ(t.GetEditText(), u"2:05:00 PM");  // the long time form

    TKtCell& s = grid.GetCell(1, 2);
    s.SetText(u"abc");
    EXPECT_EQ(s.Kind(), TKtValueKind::vkString);
}

TEST_F(CellText, EmptyTextClearsOnlyFilledCells) {
    TKtCell& c = grid.GetCell(1, 1);
    int changes = 0;
    grid.OnCellValueChanged = [&](TKtCell&) { ++changes; };
    c.SetText(u"");
    EXPECT_EQ(changes, 0);
    c.SetText(u"5");
    EXPECT_EQ(changes, 1);
    c.SetText(u"");
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(changes, 2);
}

TEST_F(CellText, TypedLineBreaksSwitchWrappingOn) {
    grid.GetColumn(1).Style().SetHorzAlign(TKtGridHorzAlign::haCenter);
    TKtCell& typed = grid.GetCell(1, 1);
    typed.SetTextIfEditable(u"a\rb");
    EXPECT_TRUE(typed.Style().WrapText());
    EXPECT_EQ(typed.Style().HorzAlign(), TKtGridHorzAlign::haCenter);  // copied from the column
    TKtCell& coded = grid.GetCell(1, 2);
    coded.SetText(u"a\rb");
    EXPECT_FALSE(coded.Style().WrapText());
    EXPECT_FALSE(coded.IsWordWrap());
    grid.SetOptionsEx(grid.OptionsEx().With(TGridOptionEx::goWrapText));
    EXPECT_TRUE(coded.IsWordWrap());
}

TEST_F(CellText, DontShowZeroHidesOnlyTheDisplayText) {
    grid.SetDontShowZero(true);
    TKtCell& i = grid.GetCell(1, 1);
    i.SetText(u"0");
    EXPECT_EQ(i.GetText(), u"");
    EXPECT_EQ(i.GetEditText(), u"0");
    TKtCell& f = grid.GetCell(2, 1);
    f.SetAsFloat(0);
    EXPECT_EQ(f.GetText(), u"");
    EXPECT_EQ(f.GetEditText(), u"0");
}

TEST_F(CellText, FormulaTextIsAStringWithoutFormulaSupport) {
    TKtCell& c = grid.GetCell(1, 1);
    c.SetText(u"=SUM 1 2 1 2");
    EXPECT_EQ(c.Kind(), TKtValueKind::vkString);
    EXPECT_EQ(c.GetText(), u"=SUM 1 2 1 2");
    grid.SetOptionsEx(grid.OptionsEx().With(TGridOptionEx::goxSupportFormula));
    c.SetText(u"=");  // a lone "=" is text
    EXPECT_EQ(c.Kind(), TKtValueKind::vkString);
}

TEST_F(CellText, NotMaintainedDataIsLeftToTheOwner) {
    grid.SetOptions(grid.Options().With(TGridOption::goCellNotMaintainData));
    grid.GetCell(1, 1).SetText(u"body");
    EXPECT_TRUE(grid.GetCell(1, 1).IsEmpty());
    grid.GetCell(1, 0).SetText(u"header");
    EXPECT_EQ(grid.GetCell(1, 0).GetText(), u"header");
}

TEST_F(CellEvents, RefusalsStopTheTextPath) {
    TKtCell& c = grid.GetCell(1, 1);
    c.SetText(u"old");
    int changed = 0;
    grid.OnCellTextChanged = [&](TKtCell&, int, int) { ++changed; };
    grid.OnCellTextChangingW = [](TKtCustomGrid&, TPoint, bool& accept, WideString&) {
        accept = false;
    };
    view.Reset();
    c.SetText(u"new");
    EXPECT_EQ(c.GetText(), u"old");
    EXPECT_EQ(changed, 0);
    EXPECT_EQ(view.Requests(), 0);  // nothing repainted
    grid.OnCellTextChangingW = nullptr;
    grid.OnCellCanModify = [](TKtCustomGrid&, TPoint p, bool& allow) { allow = p.X != 1; };
    c.SetText(u"new");
    EXPECT_EQ(c.GetText(), u"old");
    grid.GetCell(2, 1).SetText(u"ok");
    EXPECT_EQ(changed, 1);
}

TEST_F(CellEvents, EventsAreNotRaisedWhileUpdating) {
    int changing = 0, setText = 0, valueChanged = 0;
    grid.OnCellTextChangingW = [&](TKtCustomGrid&, TPoint, bool&, WideString&) { ++changing; };
    grid.OnSetCellTextW = [&](TKtCustomGrid&, TPoint, bool, WideString&) { ++setText; };
    grid.OnCellValueChanged = [&](TKtCell&) { ++valueChanged; };
    grid.BeginUpdate();
    grid.GetCell(1, 1).SetText(u"1");
    grid.EndUpdate();
    EXPECT_EQ(changing + setText + valueChanged, 0);
    grid.SetLoading(true);
    grid.GetCell(1, 1).SetText(u"2");
    grid.SetLoading(false);
    EXPECT_EQ(changing, 1);
    EXPECT_EQ(setText, 0);  // not while loading
    EXPECT_EQ(valueChanged, 1);
    grid.GetCell(1, 0).SetText(u"header");
    EXPECT_EQ(valueChanged, 1);  // header cells raise no value event
}

TEST_F(CellEvents, WideHandlerWinsAndAnsiHandlersSeeTheCodePage) {
    TKtCell& c = grid.GetCell(1, 1);
    int ansiCalls = 0;
    grid.OnSetCellText = [&](TKtCustomGrid&, TPoint, bool fromCode, std::string& text) {
        ++ansiCalls;
        EXPECT_TRUE(fromCode);
        if (text == "caf\xE9") text = "CAF\xC9";
    };
    c.SetText(u"café");
    EXPECT_EQ(c.GetText(), u"CAFÉ");
    // Text the code page cannot hold survives a handler that leaves it alone.
    c.SetText(u"价格");
    EXPECT_EQ(c.GetText(), u"价格");
    grid.OnSetCellTextW = [](TKtCustomGrid&, TPoint, bool, WideString& text) { text += u"!"; };
    c.SetText(u"a");
    EXPECT_EQ(c.GetText(), u"a!");
    EXPECT_EQ(ansiCalls, 2);

    grid.OnGetCellText = [](TKtCustomGrid&, TPoint, bool display, std::string& text) {
        if (display) text = "shown";
    };
    EXPECT_EQ(c.GetText(), u"shown");
    EXPECT_EQ(c.GetEditText(), u"a!");
}

TEST_F(CellEvents, FormatNumberHandlerDecidesTheDisplayText) {
    TKtCell& c = grid.GetCell(1, 1);
    c.SetAsFloat(2.5);
    grid.OnFormatNumber = [](TKtCustomGrid&, TKtCell& cell, WideString& text, bool& useDefault) {
        if (cell.GetAsFloat() > 2)
            text = u"big";
        else
            useDefault = true;
    };
    EXPECT_EQ(c.GetText(), u"big");
    c.SetAsFloat(1.25);
    EXPECT_EQ(c.GetText(), u"1.25");
    c.SetAsInteger(7);  // integers go through the event as well
    EXPECT_EQ(c.GetText(), u"big");
}

TEST_F(CellEvents, ValueChangedIsNotReentrant) {
    int calls = 0;
    grid.OnCellValueChanged = [&](TKtCell& cell) {
        ++calls;
        grid.GetCell(cell.Col() + 1, cell.Row()).SetAsInteger(1);  // nested change: no event
    };
    grid.GetCell(1, 1).SetAsInteger(5);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(grid.GetCell(2, 1).GetAsInteger(), 1);
}

TEST_F(CellEvents, EditPermission) {
    TKtCell& c = grid.GetCell(1, 1);
    EXPECT_TRUE(c.CanEdit());
    c.OwnStyle().SetOptions(TKtCellOptions{TKtCellOption::gcoLocked});
    EXPECT_FALSE(c.CanEdit());  // a plain grid starts protected
    grid.SetProtected(false);
    EXPECT_TRUE(c.CanEdit());
    grid.OnCellCanEdit = [](TKtCustomGrid&, TPoint, bool& allow) { allow = false; };
    EXPECT_FALSE(c.CanEdit());
    grid.OnCellCanEdit = nullptr;
    grid.SetAllowEdit(false);
    EXPECT_FALSE(c.CanEdit());
    c.SetTextIfEditable(u"typed");
    EXPECT_TRUE(c.IsEmpty());
    c.SetText(u"code");  // from code only CanModify counts
    EXPECT_EQ(c.GetText(), u"code");
}

TEST_F(CellValue, ConversionsByKind) {
    TKtCell& c = grid.GetCell(1, 1);
    EXPECT_FALSE(c.GetAsBoolean());
    EXPECT_EQ(c.GetAsFloat(), 0);
    EXPECT_EQ(c.GetAsString(), u"");
    c.SetAsString(u"  true ");
    EXPECT_TRUE(c.GetAsBoolean());
    EXPECT_THROW(c.GetAsFloat(), EConvertError);
    EXPECT_THROW(c.GetAsDateTime(), EConvertError);
    c.SetAsString(u"2.5");
    EXPECT_EQ(c.GetAsInteger(), 2);  // ties to even
    c.SetAsFloat(3.5);
    EXPECT_EQ(c.GetAsInteger(), 4);
    c.SetAsFloat(1.0 / 3);
    EXPECT_EQ(c.GetAsString(), u"0.333333333333333");
    c.SetAsFloat(1e12);
    EXPECT_THROW(c.GetAsInteger(), EIntOverflow);
    c.SetAsBoolean(true);
    EXPECT_EQ(c.Kind(), TKtValueKind::vkInteger);
    EXPECT_EQ(c.GetAsString(), u"1");
    c.SetAsString(u"");
    EXPECT_TRUE(c.IsEmpty());
}

TEST_F(CellValue, VariantsByType) {
    TKtCell& c = grid.GetCell(1, 1);
    c.SetValueFromVariant(TKtVariant::Integer(7, TKtVarType::varByte));
    EXPECT_EQ(c.Kind(), TKtValueKind::vkInteger);
    c.SetValueFromVariant(TKtVariant::Integer(int64_t{1} << 40, TKtVarType::varInt64));
    EXPECT_EQ(c.GetAsFloat(), 1099511627776.0);  // kept, not cut to 32 bits
    c.SetValueFromVariant(TKtVariant::Float64(2.5, TKtVarType::varCurrency));
    EXPECT_EQ(c.Kind(), TKtValueKind::vkFloat);
    c.SetValueFromVariant(TKtVariant::Date(EncodeDate(2020, 1, 2)));
    EXPECT_EQ(c.Style().FormatIndex(), kFormatShortDate);
    c.SetValueFromVariant(TKtVariant::String(u"txt", TKtVarType::varOleStr));
    EXPECT_EQ(c.GetText(), u"txt");
    c.SetValueFromVariant(TKtVariant::Null());
    EXPECT_TRUE(c.IsEmpty());
    TKtVariant error;
    error.Type = TKtVarType::varDispatch;
    try {
        c.SetValueFromVariant(error);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"can not accept value type: Dispatch");
    }
}

TEST_F(CellValue, CompareNumbersByValueAndTextsOrdinally) {
    TKtCell& a = grid.GetCell(1, 1);
    TKtCell& b = grid.GetCell(1, 2);
    a.SetAsInteger(10);
    b.SetAsFloat(9.5);
    EXPECT_EQ(a.Compare(b), 1);
    EXPECT_EQ(b.Compare(a), -1);
    b.SetAsString(u"9.5");  // number against text: as text
    EXPECT_EQ(a.Compare(b), -1);
    a.SetAsString(u"B");
    b.SetAsString(u"a");
    EXPECT_EQ(a.Compare(b), -1);  // case-sensitive, ordinal
    b.SetAsString(u"B");
    EXPECT_EQ(a.Compare(b), 0);
}

TEST_F(CellValue, CopyFromPartsAndAssign) {
    TKtCell& src = grid.GetCell(1, 1);
    src.SetText(u"42");
    src.OwnStyle().SetBgColor(clRed);
    src.OwnFont().SetSize(14);
    TKtCell& valueOnly = grid.GetCell(2, 1);
    valueOnly.CopyFrom(src, kCopyValue, false);
    EXPECT_EQ(valueOnly.GetAsInteger(), 42);
    EXPECT_FALSE(valueOnly.HasOwnStyle());
    TKtCell& formatOnly = grid.GetCell(3, 1);
    formatOnly.CopyFrom(src, kCopyFormat, false);
    EXPECT_TRUE(formatOnly.IsEmpty());
    EXPECT_EQ(formatOnly.Style().BgColor(), clRed);
    EXPECT_EQ(formatOnly.Font().Size(), 14);
    EXPECT_FALSE(formatOnly.ParentFont());
    TKtCell& all = grid.GetCell(4, 1);
    all.Assign(src);
    EXPECT_EQ(all.GetText(), u"42");
    EXPECT_TRUE(all.Style().SameResource(src.Style()));
    // Undoable copies need CanEdit.
    grid.SetAllowEdit(false);
    TKtCell& refused = grid.GetCell(1, 3);
    refused.CopyFrom(src, kCopyAll, true);
    EXPECT_TRUE(refused.IsEmpty());
}

TEST_F(CellValue, KindSpecificOperationsAreRefused) {
    TKtCell& c = grid.GetCell(1, 1);
    try {
        c.AddItem(u"x");
        FAIL() << "no error";
    } catch (const ECellKindError& e) {
        EXPECT_EQ(e.Message(), u"此单元格类型不支持该方法");
    }
    EXPECT_THROW(c.ItemCount(), ECellKindError);
    EXPECT_THROW(c.GetItem(0), ECellKindError);
    EXPECT_THROW(c.ClearItems(), ECellKindError);
}

TEST_F(CellValue, ClearingKeepsTheFormat) {
    TKtCell& c = grid.GetCell(1, 1);
    c.SetText(u"1");
    c.OwnStyle().SetBgColor(clBlue);
    c.Clear(false);
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(c.Style().BgColor(), clBlue);
    c.SetText(u"2");
    grid.SetAllowEdit(false);
    c.Clear(true);  // undoable clearing goes through the editable path
    EXPECT_FALSE(c.IsEmpty());
}

TEST_F(CellFormat, FontFollowsTheGridUntilChanged) {
    TKtCell& follower = grid.GetCell(1, 1);
    TKtCell& own = grid.GetCell(2, 1);
    TKtCell& touched = grid.GetCell(3, 1);
    own.OwnFont().SetName(u"Arial");
    EXPECT_FALSE(own.ParentFont());
    touched.OwnFont();  // created but never changed: still follows
    EXPECT_TRUE(touched.ParentFont());
    grid.Font().SetSize(20);
    EXPECT_EQ(follower.Font().Size(), 20);
    EXPECT_EQ(touched.Font().Size(), 20);
    EXPECT_NE(own.Font().Size(), 20);
    EXPECT_EQ(own.Font().Name(), u"Arial");
}

TEST_F(CellFormat, DrawAlignmentResolvesGeneral) {
    TKtCell& n = grid.GetCell(1, 1);
    n.SetText(u"12");
    TKtCell& s = grid.GetCell(2, 1);
    s.SetText(u"abc");
    EXPECT_EQ(n.DrawAlignment(), TKtGridHorzAlign::haRight);
    EXPECT_EQ(s.DrawAlignment(), TKtGridHorzAlign::haLeft);
    s.OwnStyle().SetHorzAlign(TKtGridHorzAlign::haFill);
    EXPECT_EQ(s.DrawAlignment(), TKtGridHorzAlign::haLeft);
    grid.GetColumn(1).Style().SetHorzAlign(TKtGridHorzAlign::haCenter);
    EXPECT_EQ(n.DrawAlignment(), TKtGridHorzAlign::haCenter);
}

TEST_F(CellFormat, BackgroundWithZebraRowsAndHandler) {
    grid.SetZebraRowColor(true);
    TKtCell& plain2 = grid.GetCell(1, 2);
    TKtCell& plain3 = grid.GetCell(1, 3);
    TKtCell& painted = grid.GetCell(2, 2);
    painted.OwnStyle().SetBgColor(clYellow);
    EXPECT_EQ(plain2.Background(), grid.EvenRowColor());
    EXPECT_EQ(plain3.Background(), grid.OddRowColor());
    EXPECT_EQ(grid.CellBackground(4, 2), grid.EvenRowColor());  // no cell needed
    EXPECT_EQ(painted.Background(), clYellow);
    grid.OnCellGetColor = [](TKtCustomGrid&, TPoint p, TColor& c) {
        if (p.X == 2) c = clLime;
    };
    EXPECT_EQ(painted.Background(), clLime);
    // Setting "no colour" restores the default and lets the column show through.
    grid.OnCellGetColor = nullptr;
    grid.SetZebraRowColor(false);
    grid.GetColumn(2).Style().SetBgColor(clAqua);
    painted.OwnStyle().SetBgColor(clNone);
    EXPECT_EQ(painted.Background(), clAqua);
}

TEST_F(CellFormat, CommentRepaintsOnlyWhenChanged) {
    TKtCell& c = grid.GetCell(1, 1);
    view.Reset();
    c.SetComment(u"note");
    EXPECT_EQ(view.rects.size(), 1u);
    EXPECT_EQ(view.rects[0], grid.CellRect(1, 1));
    c.SetComment(u"note");
    EXPECT_EQ(view.rects.size(), 1u);
    c.SetTag(u"t");
    c.SetHint(u"h");
    EXPECT_EQ(c.Tag(), u"t");
    EXPECT_EQ(c.Hint(), u"h");
}

TEST_F(CellFormat, PropertyListRoundTrip) {
    grid.MergeCells(1, 1, 2, 3);
    TKtCell& c = grid.GetCell(1, 1);
    c.SetText(u"1.25");
    auto props = c.WriteProperties();
    ASSERT_EQ(props.size(), 3u);
    EXPECT_EQ(props[0].first, u"Width");
    EXPECT_EQ(props[0].second.Int, 2);
    EXPECT_EQ(props[1].second.Int, 3);
    TKtCell& copy = grid.GetCell(3, 1);
    props.emplace_back(u"Unknown", TKtVariant::Integer(1));
    copy.ReadProperties(props);
    EXPECT_EQ(copy.GetAsFloat(), 1.25);
    EXPECT_EQ(copy.ColSpan(), 2);
    EXPECT_EQ(copy.RowSpan(), 3);
}

TEST_F(CellFormat, InputDispatchReportsConsumedKeys) {
    static const TKtCellClassOf<KeyCell> keyClass("KeyCell");
    grid.ClassManager().SetCellClass(1, 1, &keyClass);
    auto& cell = static_cast<KeyCell&>(grid.GetCell(1, 1));
    TKtKeyInput del{TKtKeyInput::Kind::KeyDown, vk::Delete};
    EXPECT_EQ(cell.DispatchKey(del), 1);
    TKtKeyInput left{TKtKeyInput::Kind::KeyDown, vk::Left};
    EXPECT_EQ(cell.DispatchKey(left), 0);
    TKtKeyInput x{TKtKeyInput::Kind::Char, 0, u'x'};
    EXPECT_EQ(cell.DispatchKey(x), 1);
    TKtMouseInput dbl{TKtMouseInput::Kind::DoubleClick};
    EXPECT_TRUE(cell.DispatchMouse(dbl));
    EXPECT_TRUE(cell.doubleClicked);
    EXPECT_FALSE(grid.GetCell(2, 1).DispatchMouse(dbl));  // the base cell takes nothing
}

TEST(CellFormulaSupport, PlainGridRefusesFormulas) {
    ScopedRegionalSettings settings(RegionalSettings::Defaults());
    TKtCustomGrid grid;
    grid.SetOptionsEx(grid.OptionsEx().With(TGridOptionEx::goxSupportFormula));
    TKtCell& c = grid.GetCell(1, 1);
    c.SetText(u"5");
    try {
        c.SetText(u"=1+1");
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"Do not support");
    }
    EXPECT_TRUE(c.IsEmpty());  // a failing build clears the cell
    try {
        grid.Calculate();
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), u"dont support calculate function");
    }
}

