// The sheet control: adding, naming, attaching and freeing worksheets, the
// active sheet and the tab list, tab synchronisation, the tab strip's
// operations, forwarding grid events to every sheet, the worksheet's
// defaults and its default popup menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../grid/recording_canvas.h"
#include "grid/grid_mouse.h"
#include "grid/grid_painter.h"
#include "grid/grid_selection.h"
#include "sheets/sheet_control.h"
#include "sheets/sheet_errors.h"
#include "sheets_test_support.h"

namespace plu::testing {
namespace {

class SheetControlTest : public SheetsTest {
  protected:
    SheetControlTest() {
        control.SetSheetBaseName(u"Sheet");
        control.OnChange = [this](TVexaSheetControl& c) {
            changes.push_back(c.ActiveSheet() ? U8(c.ActiveSheet()->Caption()) : "-");
        };
    }
    // The set-up of the main window.
    void PluSetUp() {
        control.DisableTabSync();
        control.FreeAllSheets();
        control.AddSheet(u"Sheet1");
        control.ActivateSheet(0);
    }
    std::string Tabs() const {
        std::string out;
        for (int i = 0; i < control.Tabs().Count(); ++i)
            out += (i ? "|" : "") + U8(control.Tabs()[i].Caption);
        return out;
    }
    std::string Active() const {
        return control.ActiveSheet() ? U8(control.ActiveSheet()->Caption()) : "-";
    }
    int NewTab() const { return control.Tabs().Count() - 1; }
    void Click(int tab, TShiftState shift = {}) {
        control.TabMouseDown(TMouseButton::mbLeft, shift, tab);
        control.TabMouseUp(TMouseButton::mbLeft, shift, tab);
    }

    TVexaSheetControl control;
    std::vector<std::string> changes;
};

TEST_F(SheetControlTest, ThePluSetUpLeavesOneActiveSheetAndTheNewSheetTab) {
    PluSetUp();
    ASSERT_EQ(control.SheetCount(), 1);
    EXPECT_EQ(Active(), "Sheet1");
    EXPECT_EQ(Tabs(), "Sheet1| * ");
    EXPECT_EQ(control.TabIndex(), 0);
    EXPECT_TRUE(control.Sheets(0).Visible());
    EXPECT_EQ(control.Sheets(0).SheetIndex(), 0);
}

TEST_F(SheetControlTest, ClickingTheNewSheetTabAddsAndActivatesAGeneratedSheet) {
    PluSetUp();
    std::vector<std::string> added;
    control.OnNewSheet = [&](TVexaSheetControl&, TVexaGridSheet& s) {
        added.push_back(U8(s.Caption()));
    };
    changes.clear();
    Click(NewTab());
    EXPECT_EQ(added, std::vector<std::string>{"Sheet2"});
    EXPECT_EQ(changes.back(), "Sheet2");  // OnChange sees the new sheet active
    EXPECT_EQ(Tabs(), "Sheet1|Sheet2| * ");
    EXPECT_FALSE(control.Sheets(0).Visible());
    Click(NewTab());
    EXPECT_EQ(Active(), "Sheet3");
    // A press that ends elsewhere is no click.
    control.TabMouseDown(TMouseButton::mbLeft, {}, NewTab());
    control.TabMouseUp(TMouseButton::mbLeft, {}, 0);
    EXPECT_EQ(control.SheetCount(), 3);
}

TEST_F(SheetControlTest, AddedSheetsAreNotActivatedAndGetFreshNames) {
    EXPECT_EQ(control.AddSheet(), 0);
    EXPECT_EQ(control.AddSheet(u"Data"), 1);
    EXPECT_EQ(control.AddSheet(), 2);
    EXPECT_EQ(Tabs(), "Sheet1|Data|Sheet3| * ");
    EXPECT_EQ(Active(), "-");
    // Generated names skip captions in use, in any case, hidden tabs included.
    control.Sheets(1).SetCaption(u"sheet5");
    control.Sheets(1).SetTabVisible(false);
    EXPECT_EQ(U8(control.NewSheetName()), "Sheet4");
    EXPECT_EQ(U8(control.NewSheetName()), "Sheet6");
}

TEST_F(SheetControlTest, FreeingASheetActivatesTheNextOneInListOrder) {
    PluSetUp();
    control.AddSheet();
    control.AddSheet();
    control.ActivateSheet(1);
    control.FreeSheet(control.Sheets(1));  // the active one
    EXPECT_EQ(Active(), "Sheet3");
    control.ActivateSheet(0);
    control.FreeSheet(control.Sheets(1));  // the last one, not active: wraps to the first
    EXPECT_EQ(Active(), "Sheet1");
    EXPECT_EQ(Tabs(), "Sheet1| * ");
    control.FreeSheet(control.Sheets(0));
    EXPECT_EQ(Active(), "-");
    EXPECT_EQ(Tabs(), " * ");
    EXPECT_EQ(control.TabIndex(), -1);
}

TEST_F(SheetControlTest, ActivatingAnIndexOutsideTheListLeavesNoSheetActive) {
    PluSetUp();
    control.ActivateSheet(-1);
    EXPECT_EQ(Active(), "-");
    EXPECT_EQ(control.TabIndex(), -1);
    control.ActivateSheet(0);
    control.ActivateSheet(control.SheetCount());
    EXPECT_EQ(Active(), "-");
    EXPECT_FALSE(control.Sheets(0).Visible());
}

TEST_F(SheetControlTest, TabSyncChoosesTheActiveSheetUntilDisabled) {
    control.AddSheet();
    control.AddSheet();
    control.AddSheet();
    control.SetTabIndex(1);
    EXPECT_EQ(Active(), "Sheet2");
    // Hiding the current tab moves to the tab before it.
    control.Sheets(1).SetTabVisible(false);
    EXPECT_EQ(Active(), "Sheet1");
    EXPECT_EQ(Tabs(), "Sheet1|Sheet3| * ");
    // Tabs and list positions differ now: a tab activates its own sheet.
    control.SetTabIndex(1);
    EXPECT_EQ(Active(), "Sheet3");
    control.DisableTabSync();
    control.Sheets(2).SetTabVisible(false);
    EXPECT_EQ(Active(), "Sheet3");  // stays active without a tab
    EXPECT_EQ(control.Sheets(2).TabPosition(), -1);
    control.Sheets(1).SetTabVisible(true);
    EXPECT_EQ(Tabs(), "Sheet1|Sheet2| * ");
    EXPECT_EQ(control.Sheets(1).TabPosition(), 1);
    // Outside the tab list the index falls back to the first tab.
    control.SetTabIndex(9);
    EXPECT_EQ(control.TabIndex(), 0);
}

TEST_F(SheetControlTest, FindNextSheetWrapsAndSkipsHiddenTabs) {
    EXPECT_EQ(control.FindNextSheet(nullptr, true, true), nullptr);
    control.AddSheet();
    TVexaGridSheet& first = control.Sheets(0);
    EXPECT_EQ(control.FindNextSheet(&first, true, true), &first);  // a lone sheet finds itself
    control.AddSheet();
    control.AddSheet();
    TVexaGridSheet& second = control.Sheets(1);
    TVexaGridSheet& third = control.Sheets(2);
    EXPECT_EQ(control.FindNextSheet(&third, true, true), &first);
    EXPECT_EQ(control.FindNextSheet(&first, false, true), &third);
    EXPECT_EQ(control.FindNextSheet(nullptr, true, true), &first);
    EXPECT_EQ(control.FindNextSheet(nullptr, false, true), &third);
    second.SetTabVisible(false);
    EXPECT_EQ(control.FindNextSheet(&first, true, true), &third);
    EXPECT_EQ(control.FindNextSheet(&first, true, false), &second);
    first.SetTabVisible(false);
    third.SetTabVisible(false);
    EXPECT_EQ(control.FindNextSheet(&first, true, true), nullptr);
}

TEST_F(SheetControlTest, MovingASheetOutsideTheListFailsWithTheListIndexText) {
    control.AddSheet();
    control.AddSheet();
    for (int bad : {5, -1}) {
        try {
            control.Sheets(0).SetSheetIndex(bad);
            ADD_FAILURE() << bad;
        } catch (const EListError& e) {
            EXPECT_EQ(U8(e.Message()), std::to_string(bad) +
                                           " is an invalid SheetIndex value.  PageIndex must be "
                                           "between 0 and 1");
        }
    }
    control.DisableTabSync();
    control.ActivateSheet(0);
    changes.clear();
    control.Sheets(0).SetSheetIndex(1);
    EXPECT_EQ(Tabs(), "Sheet2|Sheet1| * ");
    EXPECT_EQ(control.Sheets(1).SheetIndex(), 1);
    EXPECT_EQ(Active(), "Sheet1");
    EXPECT_EQ(control.TabIndex(), 1);  // the current tab moved with its sheet
    EXPECT_EQ(changes, std::vector<std::string>{"Sheet1"});
}

TEST_F(SheetControlTest, ALoneSheetHasNoIndexAndRefusesEveryMove) {
    TVexaGridSheet lone;
    EXPECT_EQ(lone.SheetIndex(), -1);
    try {
        lone.SetSheetIndex(0);
        ADD_FAILURE() << "a sheet without a control moved";
    } catch (const EListError& e) {
        EXPECT_EQ(U8(e.Message()),
                  "0 is an invalid SheetIndex value.  PageIndex must be between 0 and -1");
    }
    EXPECT_EQ(lone.SheetIndex(), -1);
}

TEST_F(SheetControlTest, RenamingATabRenamesItsSheetOnEnterOnly) {
    PluSetUp();
    control.TabMouseDown(TMouseButton::mbLeft, TShiftState{}.With(TShift::ssDouble), 0);
    ASSERT_TRUE(control.Renaming());
    EXPECT_EQ(U8(control.RenameText()), "Sheet1");
    control.SetRenameText(u"Prices");
    control.CancelRename();
    EXPECT_EQ(Tabs(), "Sheet1| * ");
    control.TabMouseDown(TMouseButton::mbLeft, TShiftState{}.With(TShift::ssDouble), 0);
    control.SetRenameText(u"Prices");
    control.CommitRename();
    EXPECT_FALSE(control.Renaming());
    EXPECT_EQ(Tabs(), "Prices| * ");
    EXPECT_EQ(Active(), "Prices");
    // Pressing a mouse button on the strip commits an open rename.
    control.StartRename(0);
    control.SetRenameText(u"Units");
    control.TabMouseDown(TMouseButton::mbRight, {}, 0);
    EXPECT_EQ(U8(control.Sheets(0).Caption()), "Units");
}

TEST_F(SheetControlTest, TabMouseEventsAreRaisedForSheetTabsOnly) {
    PluSetUp();
    std::vector<std::string> seen;
    control.OnTabSetMouseDown = [&](TVexaSheetControl&, TMouseButton b, TShiftState, int tab) {
        seen.push_back("down" + std::to_string(static_cast<int>(b)) + ":" + std::to_string(tab));
    };
    control.OnTabSetMouseUp = [&](TVexaSheetControl&, TMouseButton, TShiftState, int tab) {
        seen.push_back("up:" + std::to_string(tab));
    };
    control.TabMouseDown(TMouseButton::mbRight, {}, 0);
    control.TabMouseUp(TMouseButton::mbRight, {}, 0);
    Click(NewTab());
    EXPECT_EQ(seen, (std::vector<std::string>{"down1:0", "up:0"}));
}

TEST_F(SheetControlTest, NewSheetTabCanBeHiddenAndShownAgain) {
    control.AddSheet();
    control.SetShowNewTab(false);
    EXPECT_EQ(Tabs(), "Sheet1");
    control.SetShowNewTab(false);
    EXPECT_EQ(Tabs(), "Sheet1");
    control.SetShowNewTab(true);
    EXPECT_EQ(Tabs(), "Sheet1|*");
    control.SetShowNewTab(true);
    EXPECT_EQ(Tabs(), "Sheet1|*");
    // With a hidden tab the new-sheet tab is still found by what it is.
    control.AddSheet();
    control.Sheets(0).SetTabVisible(false);
    control.SetShowNewTab(false);
    EXPECT_EQ(Tabs(), "Sheet2");
}

TEST_F(SheetControlTest, HidingTheStripShowsEachSheetsOwnScrollBar) {
    control.AddSheet();
    control.AddSheet();
    EXPECT_TRUE(control.Sheets(0).HasOptionEx(TGridOptionEx::goxHideHorzScrollBar));
    control.SetShowTabset(false);
    for (int i = 0; i < 2; ++i)
        EXPECT_FALSE(control.Sheets(i).HasOptionEx(TGridOptionEx::goxHideHorzScrollBar));
    control.AddSheet();
    EXPECT_FALSE(control.Sheets(2).HasOptionEx(TGridOptionEx::goxHideHorzScrollBar));
    control.SetShowTabset(true);
    EXPECT_TRUE(control.Sheets(2).HasOptionEx(TGridOptionEx::goxHideHorzScrollBar));
}

TEST_F(SheetControlTest, EventsSetOnTheControlReachPresentAndFutureSheets) {
    EXPECT_EQ(control.ForwardedEventCount(), 49);
    control.AddSheet();
    std::vector<std::string> cleared;
    control.OnAfterClear = [&](TKtCustomGrid& g) {
        cleared.push_back(U8(static_cast<TVexaGridSheet&>(g).Caption()));
    };
    control.AddSheet();
    for (int i = 0; i < 2; ++i) {
        TVexaGridSheet& sheet = control.Sheets(i);
        sheet.SelectRange(1, 1, 1, 1);
        sheet.Selection().ClearSelection(false);
    }
    EXPECT_EQ(cleared, (std::vector<std::string>{"Sheet1", "Sheet2"}));

    // The text events go to the sheets' wide forms.
    control.OnGetCellText = [](TKtCustomGrid&, TPoint, bool display, WideString& text) {
        if (display) text += u"€";
    };
    TVexaGridSheet& sheet = control.Sheets(1);
    sheet.GetCell(1, 1).SetText(u"5");
    EXPECT_EQ(U8(sheet.GetCell(1, 1).GetText()), "5€");
    EXPECT_TRUE(static_cast<bool>(sheet.OnGetCellTextW));
    EXPECT_FALSE(static_cast<bool>(sheet.OnGetCellText));

    int downs = 0;
    control.OnSheetMouseDown = [&](TKtCustomGrid&, TMouseButton, TShiftState, int, int) {
        ++downs;
    };
    sheet.OnMouseDown(sheet, TMouseButton::mbLeft, {}, 1, 1);
    EXPECT_EQ(downs, 1);
    control.OnAfterClear = nullptr;
    EXPECT_FALSE(static_cast<bool>(control.Sheets(0).OnAfterClear));
}

TEST_F(SheetControlTest, TheMouseLayerOfASheetRaisesTheControlsMouseEvents) {
    control.AddSheet();
    TVexaGridSheet& sheet = control.Sheets(0);
    int enters = 0, downs = 0, fills = 0;
    control.OnMouseEnter = [&](TKtCustomGrid&) { ++enters; };
    control.OnSheetMouseDown = [&](TKtCustomGrid&, TMouseButton, TShiftState, int, int) {
        ++downs;
    };
    control.OnDragFill = [&](TKtCustomGrid& grid, const TRect& source, const TRect& target) {
        EXPECT_EQ(&grid, &sheet);
        EXPECT_EQ(source, (TRect{1, 1, 1, 1}));
        EXPECT_EQ(target, (TRect{1, 1, 1, 3}));
        ++fills;
    };
    TKtGridMouse mouse(sheet);
    const TRect cell = sheet.CellRect(1, 1);
    mouse.MouseMove({}, cell.Left + 5, cell.Top + 5);
    // The fill handle of the selected (1, 1), dragged two rows down.
    mouse.MouseDown(TMouseButton::mbLeft, {}, cell.Right, cell.Bottom);
    const TRect below = sheet.CellRect(1, 3);
    mouse.MouseMove({}, below.Left + 5, below.Top + 5);
    mouse.MouseUp(TMouseButton::mbLeft, {}, below.Left + 5, below.Top + 5);
    EXPECT_EQ(enters, 1);
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(fills, 1);
}

TEST_F(SheetControlTest, DrawingEventsSetOnTheControlReachTheSheetsPainter) {
    control.AddSheet();
    TVexaGridSheet& sheet = control.Sheets(0);
    sheet.SetClientSize(400, 300);
    sheet.GetCell(1, 1).SetText(u"hidden");
    sheet.GetCell(2, 1).SetText(u"shown");
    int cells = 0;
    control.OnDrawCell = [&](TKtCustomGrid&, int, int, const TRect&, uint32_t, bool&) { ++cells; };
    control.OnDrawCellText = [](TKtCustomGrid&, const TKtCell& cell, IKtCanvas&, const TRect&,
                                const WideString&) { return cell.Col() != 1; };
    FixedTextMeasurer measurer;
    plu::testing::RecordingCanvas canvas(measurer);
    PaintGrid(sheet, canvas, {0, 0, 400, 300});
    EXPECT_GT(cells, 0);
    EXPECT_EQ(canvas.FindText(u"hidden"), nullptr);
    EXPECT_NE(canvas.FindText(u"shown"), nullptr);
}

TEST_F(SheetControlTest, AWorksheetStartsWithItsDefaults) {
    TVexaGridSheet sheet;
    EXPECT_EQ(sheet.RowCount(), 100);
    EXPECT_EQ(sheet.ColCount(), 10);
    EXPECT_TRUE(sheet.AutoRowHeight());
    EXPECT_FALSE(sheet.IsProtected());
    EXPECT_FALSE(sheet.Visible());
    EXPECT_TRUE(sheet.TabVisible());
    EXPECT_EQ(sheet.BorderStyle(), TBorderStyle::bsNone);
    EXPECT_TRUE(sheet.HasOption(TGridOption::goUnequalRowHeight));
    EXPECT_TRUE(sheet.HasOptionEx(TGridOptionEx::goxHideHorzScrollBar));
    EXPECT_TRUE(sheet.HasOptionEx(TGridOptionEx::goxSupportFormula));
    EXPECT_EQ(sheet.SheetIndex(), -1);
    EXPECT_EQ(sheet.SheetControl(), nullptr);
    EXPECT_FALSE(TVexaGridSheet::Version().empty());
}

TEST_F(SheetControlTest, SheetDefaultsOfTheControl) {
    TVexaSheetControl fresh;
    EXPECT_EQ(U8(fresh.SheetBaseName()), "VexaSheet");
    EXPECT_TRUE(fresh.ShowNewTab());
    EXPECT_TRUE(fresh.ShowTabset());
    EXPECT_EQ(fresh.HorzScrollBarLength(), 150);
    EXPECT_EQ(fresh.Width, 350);
    EXPECT_EQ(fresh.Height, 250);
    EXPECT_EQ(fresh.ActiveSheet(), nullptr);
    EXPECT_EQ(fresh.TabIndex(), -1);
    fresh.AddSheet();
    EXPECT_EQ(U8(fresh.Sheets(0).Caption()), "VexaSheet1");
}

TEST_F(SheetControlTest, SheetsFollowTheControlsFontUntilGivenTheirOwn) {
    PluSetUp();
    control.AddSheet();
    control.Font().SetName(u"Arial");
    control.Font().SetSize(12);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(U8(control.Sheets(i).Font().Name()), "Arial");
        EXPECT_EQ(control.Sheets(i).Font().Size(), 12);
    }
    // Cells that follow their grid's font show it too.
    EXPECT_EQ(control.Sheets(0).GetCell(1, 1).Font().Size(), 12);
    control.Sheets(1).Font().SetSize(9);
    EXPECT_FALSE(control.Sheets(1).ParentFont());
    control.Font().SetSize(14);
    EXPECT_EQ(control.Sheets(0).Font().Size(), 14);
    EXPECT_EQ(control.Sheets(1).Font().Size(), 9);
    control.AddSheet();
    EXPECT_EQ(control.Sheets(2).Font().Size(), 14);
    control.Sheets(1).SetParentFont(true);
    EXPECT_EQ(control.Sheets(1).Font().Size(), 14);
}

TEST_F(SheetControlTest, AttachingGivesTheControlsMenuAndDetachingTakesItAway) {
    auto sheet = std::make_unique<TVexaGridSheet>();
    TVexaGridSheet* raw = sheet.get();
    EXPECT_EQ(raw->PopupMenu(), &raw->DefaultPopupMenu());
    control.AttachSheet(std::move(sheet));
    EXPECT_EQ(raw->PopupMenu(), nullptr);  // the control has none
    TKtPopupMenu menu(u"Workbook");
    control.SetPopupMenu(&menu);
    EXPECT_EQ(raw->PopupMenu(), &menu);
    control.AddSheet();
    EXPECT_EQ(control.Sheets(1).PopupMenu(), &menu);
    std::unique_ptr<TVexaGridSheet> back = control.DetachSheet(*raw);
    ASSERT_EQ(back.get(), raw);
    EXPECT_EQ(raw->PopupMenu(), nullptr);
    EXPECT_EQ(raw->SheetControl(), nullptr);
    EXPECT_EQ(control.Sheets(0).SheetIndex(), 0);
    EXPECT_EQ(control.DetachSheet(*raw), nullptr);
}

TEST_F(SheetControlTest, TakenSheetsComeBackUnchangedAndAttached) {
    PluSetUp();
    control.AddSheet();
    control.AddSheet();
    control.Sheets(2).SetTabVisible(false);
    control.ActivateSheet(1);
    control.Sheets(1).GetCell(1, 1).SetText(u"kept");
    TVexaTakenSheets taken = control.TakeSheets();
    EXPECT_EQ(control.SheetCount(), 0);
    EXPECT_EQ(Active(), "-");
    EXPECT_EQ(Tabs(), " * ");
    ASSERT_EQ(taken.Sheets.size(), 3u);
    EXPECT_EQ(taken.ActiveIndex, 1);

    control.AddSheet(u"Loading");  // what a failed load left behind
    control.RestoreSheets(std::move(taken));
    EXPECT_EQ(control.SheetCount(), 3);
    EXPECT_EQ(Tabs(), "Sheet1|Sheet2| * ");
    EXPECT_EQ(Active(), "Sheet2");
    EXPECT_EQ(U8(control.Sheets(1).GetCell(1, 1).GetText()), "kept");
    EXPECT_FALSE(control.Sheets(2).TabVisible());
    EXPECT_EQ(control.Sheets(2).SheetControl(), &control);
}

TEST_F(SheetControlTest, AFailingShowHandlerDoesNotStopTheChange) {
    PluSetUp();
    control.AddSheet();
    control.Sheets(1).OnShow = [](TVexaGridSheet&) { throw Exception(u"show failed"); };
    EXPECT_THROW(control.ActivateSheet(1), Exception);
    EXPECT_EQ(Active(), "Sheet2");
    std::vector<std::string> reported;
    control.OnHandlerException = [&](const std::exception& e) { reported.push_back(e.what()); };
    control.Sheets(0).OnHide = [](TVexaGridSheet&) { throw Exception(u"hide failed"); };
    control.ActivateSheet(0);
    control.ActivateSheet(1);
    EXPECT_EQ(Active(), "Sheet2");
    EXPECT_EQ(reported, (std::vector<std::string>{"show failed", "hide failed"}));
    control.OnHandlerException = nullptr;  // reported goes before the control
}

// ---- The default popup menu ---------------------------------------------------------

class SheetMenuTest : public SheetControlTest {
  protected:
    SheetMenuTest() {
        auto created = std::make_unique<TVexaGridSheet>();
        created->SetMeasurer(&measurer_);
        sheet = created.get();
        menu = &sheet->DefaultPopupMenu();
        standalone = std::move(created);
    }
    std::string Captions(const TKtMenuItem& parent) const {
        std::string out;
        for (int i = 0; i < parent.Count(); ++i)
            out += (i ? "|" : "") + U8(parent.Items(i).Caption()) +
                   (parent.Items(i).Checked ? "+" : "");
        return out;
    }
    std::unique_ptr<TVexaGridSheet> standalone;
    TVexaGridSheet* sheet;
    TKtPopupMenu* menu;
};

TEST_F(SheetMenuTest, TheMenuHoldsTheCommandsInOrder) {
    EXPECT_EQ(Captions(menu->Items()),
              "剪切(&T)|复制(&C)|粘贴(&P)|选择性粘贴(&V)|-|插入行|插入列|删除行|删除列|-|"
              "合并单元格|取消合并单元格|-|显示列|冻结行列");
    EXPECT_EQ(Captions(*menu->FindItem(u"显示列")), "dump");
}

TEST_F(SheetMenuTest, ItemsByPathReuseCaptionsButNotSeparators) {
    TKtMenuItem& a = sheet->AddPopupMenuItem(u"Tools\\Sort", nullptr, 7, true);
    TKtMenuItem& b = sheet->AddPopupMenuItem(u"Tools\\Sort", nullptr, 9, false);
    EXPECT_EQ(&a, &b);
    EXPECT_EQ(b.Tag, 9);
    sheet->AddPopupMenuItem(u"Tools\\-", nullptr);
    sheet->AddPopupMenuItem(u"Tools\\-", nullptr);
    EXPECT_EQ(Captions(*menu->FindItem(u"Tools")), "Sort|-|-");
}

TEST_F(SheetMenuTest, CommandsActOnTheCurrentCellAndTheSelection) {
    sheet->GetCell(1, 2).SetText(u"x");
    sheet->SelectRange(1, 2, 1, 2);
    menu->FindItem(u"插入行")->Click();
    EXPECT_EQ(U8(sheet->GetCell(1, 3).GetText()), "x");
    EXPECT_EQ(sheet->RowCount(), 101);
    menu->FindItem(u"删除行")->Click();
    EXPECT_EQ(U8(sheet->GetCell(1, 2).GetText()), "x");
    sheet->SelectRange(1, 2, 1, 2);
    menu->FindItem(u"插入列")->Click();
    EXPECT_EQ(U8(sheet->GetCell(2, 2).GetText()), "x");
    menu->FindItem(u"删除列")->Click();
    EXPECT_EQ(U8(sheet->GetCell(1, 2).GetText()), "x");
    sheet->SelectRange(1, 2, 2, 3);
    menu->FindItem(u"合并单元格")->Click();
    EXPECT_EQ(sheet->GetCell(1, 2).ColSpan(), 2);
    menu->FindItem(u"取消合并单元格")->Click();
    EXPECT_EQ(sheet->GetCell(1, 2).ColSpan(), 1);
}

TEST_F(SheetMenuTest, TheColumnListIsRebuiltWhenOpened) {
    sheet->SetColCount(4);
    sheet->GetColumn(2).SetTitle(u"Price");
    TKtMenuItem& columns = *menu->FindItem(u"显示列");
    columns.Popup();
    EXPECT_EQ(Captions(columns), "第0列+|第1列+|Price+|第3列+");
    columns.Items(2).Click();
    EXPECT_FALSE(sheet->IsColVisible(2));
    EXPECT_FALSE(columns.Items(2).Checked);
    sheet->SetColCount(3);
    columns.Popup();
    EXPECT_EQ(Captions(columns), "第0列+|第1列+|Price");
    columns.Items(2).Click();
    EXPECT_TRUE(sheet->IsColVisible(2));
    EXPECT_TRUE(columns.Items(2).Checked);
}

TEST_F(SheetMenuTest, FreezingLocksTheViewAtTheCurrentCellAndBack) {
    sheet->SelectRange(3, 4, 3, 4);
    TKtMenuItem& freeze = *menu->FindItem(u"冻结行列");
    freeze.Click();
    EXPECT_TRUE(freeze.Checked);
    EXPECT_EQ(sheet->ViewLockCol(), 3);
    EXPECT_EQ(sheet->ViewLockRow(), 4);
    freeze.Click();
    EXPECT_FALSE(freeze.Checked);
    EXPECT_EQ(sheet->ViewLockCol(), 1);
    EXPECT_EQ(sheet->ViewLockRow(), 1);
}

}  // namespace
}  // namespace plu::testing

namespace plu::testing {
namespace {

// Two worksheets, each with its editing controller, as the shell sets them up.
class CrossSheetReferenceTest : public SheetsTest {
  protected:
    CrossSheetReferenceTest() {
        control.SetSheetBaseName(u"Sheet");
        for (int i = 0; i < 2; ++i) {
            control.AddSheet();
            TVexaGridSheet& sheet = control.Sheets(i);
            sheet.SetMeasurer(&measurer_);
            editors[i] = std::make_unique<TKtEditor>(sheet);
            editors[i]->SetDefaultControl(&controls[i]);
        }
        control.ActivateSheet(0);
    }
    ~CrossSheetReferenceTest() override {
        for (auto& editor : editors)
            editor.reset();
    }
    TVexaSheetControl control;
    FakeEditControl controls[2];
    std::unique_ptr<TKtEditor> editors[2];
};

TEST_F(CrossSheetReferenceTest, AnotherSheetsSelectionFeedsAFormulaAndEnterReturns) {
    TVexaGridSheet& first = control.Sheets(0);
    TVexaGridSheet& second = control.Sheets(1);
    second.GetCell(2, 3).SetText(u"5");
    first.SelectRange(2, 1, 2, 1);
    GridChar(first, u'=');
    controls[0].Type(u"1+");
    ASSERT_TRUE(editors[0]->ReferenceMode());

    control.ActivateSheet(1);
    EXPECT_EQ(control.PickingSheet(), &first);
    EXPECT_TRUE(first.EditorMode());  // the formula is still being typed
    second.SelectRange(2, 3, 2, 3);
    EXPECT_EQ(U8(controls[0].text), "=1+Sheet2!B3");
    second.SelectRange(1, 1, 1, 1);  // another pick replaces the reference
    EXPECT_EQ(U8(controls[0].text), "=1+Sheet2!A1");
    second.SelectRange(2, 3, 2, 3);

    EXPECT_FALSE(control.SheetKeyDown(first, vk::Return, {}));
    EXPECT_TRUE(control.SheetKeyDown(second, vk::Return, {}));
    EXPECT_EQ(control.ActiveSheet(), &first);
    EXPECT_EQ(control.PickingSheet(), nullptr);
    EXPECT_EQ(EditorOf(second), editors[1].get());  // the sheet's own editor is back
    EXPECT_FALSE(second.Selection().ReferenceMode);
    controls[0].Key(vk::Return);
    EXPECT_EQ(U8(first.GetCell(2, 1).GetText()), "6");
    EXPECT_EQ(U8(first.GetCell(2, 1).GetText(false)), "=1+Sheet2!B3");
}

TEST_F(CrossSheetReferenceTest, LeavingASheetWithAPlainEditCommitsIt) {
    TVexaGridSheet& first = control.Sheets(0);
    first.SelectRange(1, 1, 1, 1);
    GridChar(first, u'7');
    control.ActivateSheet(1);
    EXPECT_FALSE(first.EditorMode());
    EXPECT_EQ(U8(first.GetCell(1, 1).GetText()), "7");
    EXPECT_EQ(control.PickingSheet(), nullptr);
    // A refused commit keeps the sheet with its edit.
    control.ActivateSheet(0);
    first.OnCompleteEditW = [](TKtCustomGrid&, TPoint, bool& accept, const WideString&) {
        accept = false;
    };
    GridChar(first, u'8');
    control.ActivateSheet(1);
    EXPECT_EQ(control.ActiveSheet(), &first);
    EXPECT_TRUE(first.EditorMode());
    first.OnCompleteEditW = nullptr;
}

}  // namespace
}  // namespace plu::testing
