// The copy state, the copy source and the pastes of the grids' clipboard,
// against a clipboard without a window system.
#include <gtest/gtest.h>

#include <memory>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "clipboard/clipboard_text.h"
#include "clipboard/grid_clipboard.h"
#include "clipboard/paste.h"
#include "clipboard/fake_clipboard_service.h"
#include "formats/cfb/compound_document.h"
#include "formats/excel/excel_helper.h"
#include "formats/excel/import_reading.h"
#include "grid/editor_keys.h"
#include "grid/grid_selection.h"
#include "sheets/data_cells.h"
#include "sheets/grid_sheet.h"
#include "sheets/popup_menu.h"
#include "sheets/sheet_control.h"

namespace plu::testing {
namespace {

class NullView : public IKtGridView {
  public:
    void InvalidateRect(const TRect&) override { ++repaints; }
    void InvalidateAll() override { ++repaints; }
    void UpdateScrollBars(bool, bool) override {}
    int repaints = 0;
};

class ScriptedDialog : public IKtSelectivePasteDialog {
  public:
    int Execute(const std::vector<WideString>& list) override {
        captions = list;
        ++shown;
        return choice;
    }
    std::vector<WideString> captions;
    int choice = -1;
    int shown = 0;
};

std::unique_ptr<TVexaGridSheet> NewSheet(ITextMeasurer& measurer) {
    auto sheet = std::make_unique<TVexaGridSheet>();
    sheet->SetMeasurer(&measurer);
    sheet->SetColCount(20);
    sheet->SetRowCount(20);
    return sheet;
}

class GridClipboardTest : public ::testing::Test {
  protected:
    GridClipboardTest() {
        grid = NewSheet(measurer);
        clipboard.SetSelectivePasteDialog(&dialog);
        grid->SetClipboard(&clipboard);
    }
    ~GridClipboardTest() override {
        grid.reset();
        other.reset();
    }
    TVexaGridSheet& Other() {
        if (!other) {
            other = NewSheet(measurer);
            other->SetClipboard(&clipboard);
        }
        return *other;
    }
    void Fill2x2(TKtCustomGrid& g) {
        g.GetCell(2, 2).SetText(u"a");
        g.GetCell(3, 2).SetText(u"b");
        g.GetCell(2, 3).SetText(u"c");
        g.GetCell(3, 3).SetText(u"d");
        g.GetCell(2, 2).OwnStyle().SetBgColor(clRed);
    }
    static WideString Text(TKtCustomGrid& g, int c, int r) {
        const TKtCell* cell = g.FindCell(c, r);
        return cell ? cell->GetText() : WideString();
    }
    bool Key(uint16_t key, TShiftState shift = {}) { return GridKeyDown(*grid, key, shift); }

    ScopedRegionalSettings settings{RegionalSettings::Defaults()};
    FixedTextMeasurer measurer;
    FakeClipboardService service;
    ScriptedDialog dialog;
    TKtGridClipboard clipboard{service};
    std::unique_ptr<TVexaGridSheet> grid;
    std::unique_ptr<TVexaGridSheet> other;
};

const TShiftState kCtrl = TShiftState{}.With(TShift::ssCtrl);

// ---- Copy ---------------------------------------------------------------------------------------

TEST_F(GridClipboardTest, CopyOffersTheWorkbookAndTheTextAndBuildsNothing) {
    Fill2x2(*grid);
    grid->SelectRange(2, 2, 3, 3);
    Key(vk::KeyC, kCtrl);
    EXPECT_EQ(service.Formats(),
              (std::vector{TKtClipFormat::cfBiff8, TKtClipFormat::cfUnicodeText}));
    EXPECT_EQ(service.renders, 0);
    EXPECT_TRUE(clipboard.HoldsCopyOf(*grid));
    EXPECT_EQ(grid->Selection().CopiedRect(), (TRect{2, 2, 4, 4}));
    // The cells as they are when a program asks.
    grid->GetCell(3, 3).SetText(u"d e");
    EXPECT_EQ(service.Get(TKtClipFormat::cfUnicodeText)->Text, u"a\tb\r\nc\t\"d e\"");
}

TEST_F(GridClipboardTest, TheWorkbookIsOneSheetVexaGridWithTheRangeAtA1) {
    Fill2x2(*grid);
    grid->GetCell(3, 3).SetText(u"12.5");
    grid->SelectRange(2, 2, 3, 3);
    grid->Selection().Copy();
    const auto data = service.Get(TKtClipFormat::cfBiff8);
    ASSERT_TRUE(data);
    const TCompoundDocument document = TCompoundDocument::OpenMemory(data->Bytes);
    auto helper = CreateGridExcelHelper(CreateGridReading(), &measurer);
    helper->LoadFromStorage(document);
    int count = 0;
    helper->GetSheetCount(count);
    WideString name;
    helper->GetSheetName(0, name);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(name, u"VexaGrid");
    // Read back as a paste into another grid at (5, 6).
    PasteWorkbook(Other(), data->Bytes, 5, 6);
    EXPECT_EQ(Text(Other(), 5, 6), u"a");
    EXPECT_EQ(Text(Other(), 6, 7), u"12.5");
    EXPECT_EQ(Other().FindCell(6, 7)->Kind(), TKtValueKind::vkFloat);
    EXPECT_EQ(Other().FindCell(5, 6)->Style().BgColor(), clRed);
}

TEST_F(GridClipboardTest, AWorkbookThatCannotBeBuiltIsReportedAndNotHandedOut) {
    grid->GetCell(2, 2).SetText(WideString(40000, u'x'));  // more than a BIFF8 cell holds
    WideString reported;
    clipboard.OnRenderError = [&](const WideString& message) { reported = message; };
    grid->SelectRange(2, 2, 2, 2);
    grid->Selection().Copy();
    EXPECT_FALSE(service.Get(TKtClipFormat::cfBiff8));
    EXPECT_FALSE(reported.empty());
    EXPECT_TRUE(service.Get(TKtClipFormat::cfUnicodeText));
    clipboard.OnRenderError = nullptr;
}

// ---- The end of a pending copy ----------------------------------------------------------------

TEST_F(GridClipboardTest, EscapeEndsTheCopyAndEmptiesTheClipboard) {
    grid->SelectRange(2, 2, 3, 3);
    grid->Selection().Copy();
    Key(vk::Escape);
    EXPECT_TRUE(grid->Selection().CopiedRect().IsEmpty());
    EXPECT_FALSE(clipboard.HoldsCopyOf(*grid));
    EXPECT_TRUE(service.IsEmpty());
}

TEST_F(GridClipboardTest, AnotherProgramTakingTheClipboardEndsTheCopy) {
    grid->SelectRange(2, 2, 3, 3);
    grid->Selection().Cut();
    service.TakeOver({{TKtClipFormat::cfUnicodeText, UnicodeData(u"x")}});
    EXPECT_TRUE(grid->Selection().CopiedRect().IsEmpty());
    EXPECT_EQ(clipboard.CopySource(), nullptr);
}

TEST_F(GridClipboardTest, ACopyInAnotherGridEndsTheFirstOne) {
    grid->SelectRange(2, 2, 3, 3);
    grid->Selection().Copy();
    Other().SelectRange(1, 1, 1, 1);
    Other().Selection().Copy();
    EXPECT_TRUE(grid->Selection().CopiedRect().IsEmpty());
    EXPECT_EQ(clipboard.CopySource(), &Other());
}

TEST_F(GridClipboardTest, F2EndsTheCopyAndEmptiesTheClipboard) {
    grid->SelectRange(2, 2, 3, 3);
    grid->Selection().Copy();
    Key(vk::F2);
    EXPECT_TRUE(grid->EditorMode());
    EXPECT_TRUE(grid->Selection().CopiedRect().IsEmpty());
    EXPECT_TRUE(service.IsEmpty());
}

TEST_F(GridClipboardTest, OpeningTheEditorEndsTheCopyButKeepsItPasteable) {
    Fill2x2(*grid);
    grid->SelectRange(2, 2, 3, 3);
    grid->Selection().Copy();
    grid->CurrentCell().ShowEditor();  // as typing a character does
    EXPECT_TRUE(grid->Selection().CopiedRect().IsEmpty());
    EXPECT_FALSE(service.HoldsOurObject());
    EXPECT_EQ(service.Get(TKtClipFormat::cfUnicodeText)->Text, u"a\tb\r\nc\td");
}

TEST_F(GridClipboardTest, ADestroyedGridLeavesItsCopyRenderedAndNoCallbackBehind) {
    Fill2x2(*grid);
    grid->SelectRange(2, 2, 3, 3);
    grid->Selection().Copy();
    grid.reset();
    EXPECT_FALSE(service.HoldsOurObject());
    EXPECT_EQ(clipboard.CopySource(), nullptr);
    EXPECT_EQ(service.Get(TKtClipFormat::cfUnicodeText)->Text, u"a\tb\r\nc\td");
}

// ---- Paste from the copy source ---------------------------------------------------------------

TEST_F(GridClipboardTest, PastingACopyCopiesValuesAndFormatsAndKeepsTheCopyPending) {
    Fill2x2(*grid);
    grid->SelectRange(2, 2, 3, 3);
    Key(vk::KeyC, kCtrl);
    grid->SelectRange(5, 5, 5, 5);
    Key(vk::KeyV, kCtrl);
    EXPECT_EQ(Text(*grid, 5, 5), u"a");
    EXPECT_EQ(Text(*grid, 6, 6), u"d");
    EXPECT_EQ(grid->FindCell(5, 5)->Style().BgColor(), clRed);
    EXPECT_EQ(grid->Selection().Rect(), (TRect{5, 5, 7, 7}));
    EXPECT_EQ(grid->Selection().CopiedRect(), (TRect{2, 2, 4, 4}));
    EXPECT_EQ(service.renders, 0);  // cells moved directly, not through text
    grid->SelectRange(10, 1, 10, 1);
    Key(vk::KeyV, kCtrl);
    EXPECT_EQ(Text(*grid, 11, 2), u"d");
}

TEST_F(GridClipboardTest, PastingACutOverlappingItsSourceMovesFromTheBottomAndEndsTheCut) {
    Fill2x2(*grid);
    grid->SelectRange(2, 2, 3, 3);
    Key(vk::KeyX, kCtrl);
    grid->SelectRange(3, 3, 3, 3);
    Key(vk::KeyV, kCtrl);
    EXPECT_EQ(Text(*grid, 3, 3), u"a");
    EXPECT_EQ(Text(*grid, 4, 3), u"b");
    EXPECT_EQ(Text(*grid, 3, 4), u"c");
    EXPECT_EQ(Text(*grid, 4, 4), u"d");
    EXPECT_EQ(Text(*grid, 2, 2), u"");
    EXPECT_EQ(Text(*grid, 3, 2), u"");
    EXPECT_EQ(Text(*grid, 2, 3), u"");
    EXPECT_EQ(grid->FindCell(2, 2)->Style().BgColor(), clRed);  // the format stays
    EXPECT_TRUE(grid->Selection().CopiedRect().IsEmpty());
    EXPECT_TRUE(service.IsEmpty());
}

TEST_F(GridClipboardTest, MovingLeftAlongTheSameRowsReadsEachCellBeforeItIsOverwritten) {
    Fill2x2(*grid);
    grid->SelectRange(2, 2, 3, 3);
    grid->Selection().Cut();
    grid->SelectRange(1, 2, 1, 2);
    grid->Selection().Paste(0);
    EXPECT_EQ(Text(*grid, 1, 2), u"a");
    EXPECT_EQ(Text(*grid, 2, 2), u"b");
    EXPECT_EQ(Text(*grid, 3, 2), u"");
    grid->SelectRange(1, 2, 2, 3);
    grid->Selection().Cut();
    grid->SelectRange(2, 2, 2, 2);
    grid->Selection().Paste(0);
    EXPECT_EQ(Text(*grid, 2, 2), u"a");
    EXPECT_EQ(Text(*grid, 3, 2), u"b");
    EXPECT_EQ(Text(*grid, 1, 2), u"");
}

TEST_F(GridClipboardTest, ACutPastedAtItsOwnPlaceMovesNothingAndEndsTheCut) {
    Fill2x2(*grid);
    grid->SelectRange(2, 2, 3, 3);
    grid->Selection().Cut();
    grid->Selection().Paste(0);
    EXPECT_EQ(Text(*grid, 2, 2), u"a");
    EXPECT_EQ(Text(*grid, 3, 3), u"d");
    EXPECT_TRUE(grid->Selection().CopiedRect().IsEmpty());
    EXPECT_TRUE(service.IsEmpty());
}

TEST_F(GridClipboardTest, ACutPastedIntoAnotherGridLeavesTheSourceObjectOnTheClipboard) {
    Fill2x2(*grid);
    grid->SelectRange(2, 2, 3, 3);
    grid->Selection().Cut();
    Other().SelectRange(1, 1, 1, 1);
    Other().Selection().Paste(0);
    EXPECT_EQ(Text(Other(), 1, 1), u"a");
    EXPECT_EQ(Text(*grid, 2, 2), u"");
    EXPECT_TRUE(grid->Selection().CopiedRect().IsEmpty());
    EXPECT_EQ(clipboard.CopySource(), nullptr);
    EXPECT_TRUE(service.HoldsOurObject());
}

TEST_F(GridClipboardTest, RefusedTargetCellsAndARefusedPasteAreLeftAlone) {
    Fill2x2(*grid);
    grid->SelectRange(2, 2, 3, 3);
    grid->Selection().Cut();
    grid->OnCellCanEdit = [](TKtCustomGrid&, TPoint p, bool& allow) { allow = p.X != 6; };
    grid->SelectRange(5, 5, 5, 5);
    grid->Selection().Paste(0);
    EXPECT_EQ(Text(*grid, 5, 5), u"a");
    EXPECT_EQ(Text(*grid, 6, 5), u"");
    EXPECT_EQ(Text(*grid, 3, 2), u"b");  // not moved: the source keeps it too
    grid->OnBeforePaste = [](TKtCustomGrid&, const TRect&, bool& allow) { allow = false; };
    grid->GetCell(2, 2).SetText(u"a");
    grid->SelectRange(2, 2, 2, 2);
    grid->Selection().Copy();
    grid->SelectRange(9, 9, 9, 9);
    grid->Selection().Paste(0);
    EXPECT_EQ(Text(*grid, 9, 9), u"");
}

TEST(GridClipboardFormulas, CopiedFormulasShiftAndAreRecalculated) {
    ScopedRegionalSettings settings{RegionalSettings::Defaults()};
    FixedTextMeasurer measurer;
    FakeClipboardService service;
    TKtGridClipboard clipboard{service};
    TVexaSheetControl control;
    control.AddSheet();
    TVexaGridSheet& sheet = control.Sheets(0);
    sheet.SetMeasurer(&measurer);
    sheet.SetClipboard(&clipboard);
    sheet.GetCell(1, 1).SetText(u"2");
    sheet.GetCell(2, 1).SetText(u"=A1*10");
    sheet.GetCell(1, 2).SetText(u"7");
    sheet.SelectRange(2, 1, 2, 1);
    sheet.Selection().Copy();
    sheet.SelectRange(2, 2, 2, 2);
    sheet.Selection().Paste(0);
    EXPECT_EQ(sheet.FindCell(2, 2)->GetFormula(), u"A2*10");
    EXPECT_EQ(sheet.FindCell(2, 2)->GetText(), u"70");
    sheet.SetClipboard(nullptr);
}

// ---- Paste from the clipboard -----------------------------------------------------------------

TEST_F(GridClipboardTest, TextIsPastedAtTheBlocksOwnSizeFromTheSelectionsCorner) {
    service.TakeOver({{TKtClipFormat::cfUnicodeText, UnicodeData(u"1\t2\r\n3\t4\r\n")}});
    TRect before, after;
    grid->OnBeforePaste = [&](TKtCustomGrid&, const TRect& r, bool&) { before = r; };
    grid->OnAfterPaste = [&](TKtCustomGrid&, const TRect& r) { after = r; };
    grid->SelectRange(2, 3, 6, 8);
    Key(vk::KeyV, kCtrl);
    EXPECT_EQ(Text(*grid, 2, 3), u"1");
    EXPECT_EQ(Text(*grid, 3, 3), u"2");
    EXPECT_EQ(Text(*grid, 2, 4), u"3");
    EXPECT_EQ(Text(*grid, 3, 4), u"4");
    EXPECT_EQ(grid->FindCell(3, 4)->Kind(), TKtValueKind::vkInteger);  // typed-text parsing
    EXPECT_EQ(before, (TRect{2, 3, 4, 5}));
    EXPECT_EQ(after, (TRect{2, 3, 7, 9}));
    EXPECT_EQ(grid->Selection().Rect(), (TRect{2, 3, 4, 5}));
}

TEST_F(GridClipboardTest, AnEmptyFieldClearsItsCellAndRefusedCellsAreSkipped) {
    grid->GetCell(1, 2).SetText(u"old");
    grid->GetCell(1, 3).SetText(u"keep");
    grid->OnCompleteEditW = [](TKtCustomGrid&, TPoint p, bool& accept, const WideString&) {
        accept = p.Y != 3;
    };
    service.TakeOver({{TKtClipFormat::cfUnicodeText, UnicodeData(u"a\r\n\r\nb\r\nc")}});
    grid->SelectRange(1, 1, 1, 1);
    grid->Selection().Paste(0);
    EXPECT_EQ(Text(*grid, 1, 1), u"a");
    EXPECT_EQ(Text(*grid, 1, 2), u"");
    EXPECT_EQ(Text(*grid, 1, 3), u"keep");
    EXPECT_EQ(Text(*grid, 1, 4), u"c");
}

TEST_F(GridClipboardTest, ABlockBeyondTheLastRowWritesHiddenCellsAndKeepsTheRowCount) {
    service.TakeOver({{TKtClipFormat::cfUnicodeText, UnicodeData(u"x\ny\nz")}});
    grid->SelectRange(1, 18, 1, 18);
    grid->Selection().Paste(0);
    EXPECT_EQ(grid->RowCount(), 20);
    EXPECT_EQ(Text(*grid, 1, 20), u"z");
}

TEST_F(GridClipboardTest, UnicodeTextIsPreferredWhateverTheOrderAndAnsiIsTheCodePage) {
    service.TakeOver({{TKtClipFormat::cfText, BytesData({'a', 'n', 's', 'i'})},
                      {TKtClipFormat::cfUnicodeText, UnicodeData(u"wide")}});
    grid->SelectRange(1, 1, 1, 1);
    grid->Selection().Paste(0);
    EXPECT_EQ(Text(*grid, 1, 1), u"wide");
    service.TakeOver({{TKtClipFormat::cfText, BytesData({'c', 'a', 'f', 0xE9, '\t', '"', 'x', ' ', 'y', '"'})}});
    grid->Selection().Paste(0);
    EXPECT_EQ(Text(*grid, 1, 1), u"café");
    EXPECT_EQ(Text(*grid, 2, 1), u"x y");
}

TEST_F(GridClipboardTest, ABitmapAloneIsIgnoredByPasteAndListedBySelectivePaste) {
    service.TakeOver({{TKtClipFormat::cfBitmap, BytesData({'B', 'M', 1, 2})}});
    grid->SelectRange(2, 2, 2, 2);
    grid->Selection().Paste(0);
    EXPECT_EQ(grid->FindCell(2, 2), nullptr);
    dialog.choice = 0;
    grid->DefaultPopupMenu().FindItem(u"选择性粘贴(&V)")->Click();
    EXPECT_EQ(dialog.captions, (std::vector<WideString>{u"位图"}));
    const auto* image = dynamic_cast<const TKtImageCell*>(grid->FindCell(2, 2));
    ASSERT_NE(image, nullptr);
    ASSERT_NE(image->Picture(), nullptr);
    EXPECT_EQ(image->Picture()->Data, (std::vector<uint8_t>{'B', 'M', 1, 2}));
}

TEST_F(GridClipboardTest, SelectivePasteListsCaptionsInClipboardOrderAndPastesTheChoice) {
    Fill2x2(Other());
    Other().SelectRange(2, 2, 3, 3);
    Other().Selection().Cut();
    dialog.choice = 0;  // the workbook
    grid->SelectRange(4, 4, 4, 4);
    grid->DefaultPopupMenu().FindItem(u"选择性粘贴(&V)")->Click();
    EXPECT_EQ(dialog.captions,
              (std::vector<WideString>{u"Excel电子表格(BIFF8)", u"文本(Unicode)"}));
    EXPECT_EQ(Text(*grid, 4, 4), u"a");
    EXPECT_EQ(Text(*grid, 5, 5), u"d");
    EXPECT_EQ(Text(Other(), 2, 2), u"a");  // never taken from the copy source
    dialog.choice = -1;
    grid->SelectRange(9, 9, 9, 9);
    grid->DefaultPopupMenu().FindItem(u"选择性粘贴(&V)")->Click();
    EXPECT_EQ(grid->FindCell(9, 9), nullptr);
}

TEST_F(GridClipboardTest, WithoutAllowEditOnlyTheSelectivePasteRunsAndTextChangesNoCell) {
    service.TakeOver({{TKtClipFormat::cfUnicodeText, UnicodeData(u"1\t2")}});
    grid->SetAllowEdit(false);
    grid->SelectRange(3, 3, 3, 3);
    Key(vk::KeyV, kCtrl);
    grid->DefaultPopupMenu().FindItem(u"粘贴(&P)")->Click();
    EXPECT_EQ(grid->FindCell(3, 3), nullptr);
    dialog.choice = 0;
    grid->DefaultPopupMenu().FindItem(u"选择性粘贴(&V)")->Click();
    EXPECT_EQ(dialog.shown, 1);
    EXPECT_EQ(Text(*grid, 3, 3), u"");
    EXPECT_EQ(grid->Selection().Rect(), (TRect{3, 3, 5, 4}));
}

TEST_F(GridClipboardTest, TheMarqueeAlternatesOnTicksAndRepaintsOnlyItsEdges) {
    NullView view;
    grid->SetView(&view);
    grid->SetClientSize(600, 400);
    grid->SelectRange(2, 2, 3, 3);
    grid->Selection().Copy();
    EXPECT_EQ(clipboard.MarqueePhase(), 0);
    view.repaints = 0;
    clipboard.MarqueeTick();
    EXPECT_EQ(clipboard.MarqueePhase(), 1);
    EXPECT_EQ(view.repaints, 4);
    grid->SetView(nullptr);
}

}  // namespace
}  // namespace plu::testing
