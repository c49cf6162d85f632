// The main window's start-up, its following of the active sheet, and the
// locking of its commands while the transfers run against an in-process
// virtual scale.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "link/frame.h"
#include "main_form_fixture.h"
#include "serial/comm.h"

namespace plu::testing {
namespace {

using MainFormStart = MainFormTest;

TEST_F(MainFormStart, TitleSheetLayoutAndCommandsAtStartUp) {
    EXPECT_EQ(Caption(), u"VARDEN-15kg QT Formular - Book1");
    EXPECT_TRUE(form->FileName().empty());
    ASSERT_EQ(Control().SheetCount(), 1);
    EXPECT_EQ(Active().Caption(), u"Sheet1");
    EXPECT_EQ(Control().Tabs().Count(), 2);
    EXPECT_EQ(Control().Tabs().Caption(0), u"Sheet1");
    EXPECT_TRUE(Control().Tabs().HasNewSheetTab());
    EXPECT_EQ(form->Grid(), Control().ActiveSheet());
    // Laid out with the font boxes reset.
    EXPECT_EQ(Active().RowCount(), kSheetRowCount);
    EXPECT_EQ(Text(kColAddr, kCaptionRow), u"Addr.");
    EXPECT_EQ(Text(kColAddr, kFirstPluRow), u"M1");
    EXPECT_EQ(shell.fontName, u"Arial");
    EXPECT_EQ(shell.fontSize, u"12");

    const UiActions& a = Actions();
    EXPECT_FALSE(a.UpLoad || a.DownLoad || a.Pair || a.Stop);
    EXPECT_TRUE(a.New && a.Open && a.Save && a.SaveAs && a.Cut && a.Copy && a.Paste);
    EXPECT_TRUE(a.SerialMenu && a.Start && a.SerialSet);
    EXPECT_GT(shell.stateChanges, 0);
    EXPECT_TRUE(shell.errors.empty());
    EXPECT_TRUE(shell.questions.empty());
}

TEST(MainFormStartUp, APortThatDoesNotOpenIsReportedAndStartUpGoesOn) {
    struct RefusingLine : ScaleLine {
        void OpenPort() override { throw ECommsError(kCommOpenError); }
    };
    ScopedRegionalSettings settings(RegionalSettings::Defaults());
    FixedTextMeasurer measurer;
    ScriptedShell shell;
    MainForm form(shell, std::make_unique<RefusingLine>(), &measurer);
    form.Start([](std::vector<std::string>& ports) {
        ports = {"ttyS0"};
        return true;
    });
    EXPECT_EQ(shell.errors, std::vector<WideString>{Utf8ToWide(kCommOpenError)});
    EXPECT_EQ(form.State().Caption, u"VARDEN-15kg QT Formular - Book1");
    EXPECT_EQ(form.SheetControl().SheetCount(), 1);
    EXPECT_FALSE(form.State().Actions.UpLoad);
}

TEST_F(MainFormStart, GridFollowsTheActiveSheet) {
    TVexaGridSheet* first = &Active();
    const int newTab = Control().Tabs().Count() - 1;
    Control().TabMouseDown(TMouseButton::mbLeft, {}, newTab);
    Control().TabMouseUp(TMouseButton::mbLeft, {}, newTab);
    ASSERT_EQ(Control().SheetCount(), 2);
    EXPECT_EQ(Active().Caption(), u"Sheet2");
    EXPECT_EQ(form->Grid(), &Control().Sheets(1));
    Control().ActivateSheet(0);
    EXPECT_EQ(form->Grid(), first);
}

TEST_F(MainFormStart, AnErrorOfAHandlerReachesTheErrorDisplay) {
    // The layout after Open takes the size box as it is.
    shell.saveNames = {dir.WideFile("t.xls")};
    form->FileSaveExecute();
    shell.fontSize = u"big";
    shell.answers = {DialogAnswer::No};
    shell.openNames = {dir.WideFile("t.xls")};
    form->FileOpenExecute();
    ASSERT_EQ(shell.errors.size(), 1u);
    EXPECT_NE(shell.errors[0].find(u"big"), WideString::npos) << WideToUtf8(shell.errors[0]);
    // The file was opened before the layout failed.
    EXPECT_EQ(form->FileName(), dir.WideFile("t.xls"));
    EXPECT_EQ(Text(kColAddr, kCaptionRow), u"Addr.");
}

// ---- Transfers through the window --------------------------------------------------------------

using MainFormTransfers = MainFormTest;

TEST_F(MainFormTransfers, ADownloadLocksTheFileAndEditCommandsUntilItSucceeds) {
    Connect();
    EXPECT_TRUE(Actions().UpLoad && Actions().DownLoad && Actions().Pair);
    const std::pair<int, const char16_t*> row[] = {{kColName, u"APPLE"}, {kColLife, u"5"},
                                                   {kColUnit, u"kg"},    {kColPrice, u"1.25"},
                                                   {kColTare, u"0.100"}, {kColItemCode, u"42"}};
    for (const auto& [col, text] : row)
        Type(col, kFirstPluRow, text);
    form->menuStartClick();
    ASSERT_EQ(form->Transfers().Download().Outcome(), TransferOutcome::Running);

    const UiActions& a = Actions();
    EXPECT_FALSE(a.New || a.Open || a.Save || a.SaveAs || a.Cut || a.Copy || a.Paste);
    EXPECT_FALSE(a.UpLoad || a.Start || a.Pair || a.SerialSet);
    EXPECT_TRUE(a.SerialMenu && a.Stop);
    // Disabled commands do nothing, even if the shell lets them through.
    form->FileNewExecute();
    form->FileOpenExecute();
    form->FileSaveExecute();
    form->menuUpLoadClick();
    EXPECT_TRUE(shell.questions.empty());
    EXPECT_TRUE(shell.saveFilters.empty() && shell.openFilters.empty());

    ASSERT_TRUE(RunUntil(
        [&] { return form->Transfers().Download().Outcome() != TransferOutcome::Running; }, 20000));
    EXPECT_EQ(form->Transfers().Download().Outcome(), TransferOutcome::Succeeded);
    ASSERT_EQ(shell.boxes.size(), 1u);
    EXPECT_EQ(shell.boxes[0].title, u"Information");
    EXPECT_EQ(shell.boxes[0].text, u"Download successful.");
    EXPECT_TRUE(a.New && a.Open && a.Save && a.SaveAs && a.Cut && a.Copy && a.Paste);
    EXPECT_TRUE(a.UpLoad && a.DownLoad && a.Pair && a.Start && a.SerialSet && a.SerialMenu);
    EXPECT_FALSE(a.Stop);
    EXPECT_EQ(line_->scale.Table().plus[0].name, "APPLE");
    EXPECT_EQ(line_->scale.Table().plus[0].itemCode, 42u);
    EXPECT_TRUE(shell.errors.empty());
}

TEST_F(MainFormTransfers, AnUploadAsksTheSaveQuestionAndFillsAFreshSheet) {
    Connect();
    Type(kColName, kFirstPluRow, u"mine");
    shell.answers = {DialogAnswer::No};
    form->menuUpLoadClick();
    EXPECT_EQ(shell.questions, std::vector<WideString>{u"Save the current form?"});
    // A fresh sheet (its address may be the old one's: compare contents).
    EXPECT_EQ(Text(kColName, kFirstPluRow), u"");
    EXPECT_EQ(Control().SheetCount(), 1);
    EXPECT_EQ(form->Grid(), Control().ActiveSheet());
    EXPECT_FALSE(Actions().SerialMenu);
    EXPECT_FALSE(Actions().New);
    form->menuStartClick();  // the Serial menu is off: nothing starts
    EXPECT_EQ(form->Transfers().Download().Outcome(), TransferOutcome::None);

    ASSERT_TRUE(RunUntil(
        [&] { return form->Transfers().Upload().Outcome() != TransferOutcome::Running; }, 20000));
    EXPECT_EQ(form->Transfers().Upload().Outcome(), TransferOutcome::Succeeded);
    ASSERT_EQ(shell.boxes.size(), 1u);
    EXPECT_EQ(shell.boxes[0].text, u"Upload successful.");
    const virtual_scale::PluTable& table = line_->scale.Table();
    EXPECT_EQ(Text(kColBusiness, kBusinessNameRow), Utf8ToWide(table.businessName));
    EXPECT_EQ(Text(kColName, kFirstPluRow), Utf8ToWide(table.plus[0].name));
    EXPECT_TRUE(Actions().SerialMenu && Actions().New);
    EXPECT_TRUE(shell.errors.empty());
}

TEST_F(MainFormTransfers, ASaveThatFailsBeforeAnUploadKeepsTheSheetAndStartsNothing) {
    shell.saveNames = {dir.WideFile("missing/t.txt")};
    form->menuFileAsClick();
    shell.errors.clear();
    Connect();
    TVexaGridSheet* old = &Active();
    Type(kColName, kFirstPluRow, u"mine");
    const std::size_t written = line_->written.size();
    shell.answers = {DialogAnswer::Yes};
    form->menuUpLoadClick();
    EXPECT_EQ(shell.errors.size(), 1u);
    EXPECT_EQ(form->Transfers().Upload().Outcome(), TransferOutcome::None);
    EXPECT_TRUE(Actions().New && Actions().SerialMenu);
    EXPECT_EQ(Control().ActiveSheet(), old);
    EXPECT_EQ(Text(kColName, kFirstPluRow), u"mine");
    RunUntil([] { return false; }, 20);
    for (std::size_t i = written; i < line_->written.size(); ++i)
        EXPECT_EQ(TrimmedFrame(line_->written[i]), "L");
}

}  // namespace
}  // namespace plu::testing
