// The window's command table and the commands' wiring into the form: what
// is usable in which state, the clipboard commands, closing, the progress of
// a transfer, and errors raised while a reply is handled.
#include <gtest/gtest.h>

#include "app/commands.h"
#include "main_form_fixture.h"

namespace plu::testing {
namespace {

TEST(WindowCommands, MenusFollowTheLocksOfTheTransfers) {
    UiActions a;
    a.FormCreate();
    EXPECT_FALSE(CommandEnabled(a, Command::UpLoad) || CommandEnabled(a, Command::DownLoadStart) ||
                 CommandEnabled(a, Command::Pair) || CommandEnabled(a, Command::DownLoadStop));
    EXPECT_TRUE(CommandEnabled(a, Command::SerialSet) && CommandEnabled(a, Command::FileNew));

    a.UnlockUi(true);
    a.LockUi(true);  // a download
    for (Command c : {Command::FileNew, Command::FileOpen, Command::FileSave, Command::FileSaveAs,
                      Command::EditCut, Command::EditCopy, Command::EditPaste, Command::UpLoad,
                      Command::DownLoadStart, Command::Pair, Command::SerialSet})
        EXPECT_FALSE(CommandEnabled(a, c)) << static_cast<int>(c);
    EXPECT_TRUE(MenuEnabled(a, u"Serial") && MenuEnabled(a, u"DownLoad"));
    EXPECT_TRUE(CommandEnabled(a, Command::DownLoadStop) && CommandEnabled(a, Command::FileExit));

    a.UnlockUi(true);
    a.LockUi(false);  // an upload or a pairing: the whole Serial menu
    EXPECT_FALSE(MenuEnabled(a, u"Serial") || MenuEnabled(a, u"DownLoad"));
    EXPECT_FALSE(CommandEnabled(a, Command::SerialSet) || CommandEnabled(a, Command::DownLoadStop));
}

TEST(WindowCommands, HintsSplitIntoShortAndLong) {
    EXPECT_EQ(HintOf(Command::EditCopy).shortHint, u"Copy");
    EXPECT_EQ(HintOf(Command::EditCopy).longHint, u"Copies the selection and puts it on the Clipboard");
    EXPECT_EQ(HintOf(Command::FileNew).shortHint, u"New File");
    EXPECT_EQ(HintOf(Command::FileNew).longHint, u"New File");
    EXPECT_TRUE(HintOf(Command::Pair).shortHint.empty());
}

class CountingClipboard : public IKtGridClipboard {
  public:
    int copies = 0, pastes = 0;
    void Copy(TKtCustomGrid&, const TRect&, bool) override { ++copies; }
    void Paste(TKtCustomGrid&, const TRect&, int) override { ++pastes; }
};

using WindowCommandsForm = MainFormTest;

TEST_F(WindowCommandsForm, CopyDoesNothingWhileATransferRuns) {
    CountingClipboard clipboard;
    Active().SetClipboard(&clipboard);
    Link().Transferring = true;
    form->Execute(Command::EditCopy);
    EXPECT_EQ(clipboard.copies, 0);
    Link().Transferring = false;
    form->Execute(Command::EditCopy);
    form->Execute(Command::EditCut);
    form->Execute(Command::EditPaste);
    EXPECT_EQ(clipboard.copies, 2);
    EXPECT_EQ(clipboard.pastes, 1);
    Active().SetClipboard(nullptr);
}

TEST_F(WindowCommandsForm, ClosingAsksTheSaveQuestion) {
    shell.answers = {DialogAnswer::Cancel, DialogAnswer::No, DialogAnswer::Yes};
    EXPECT_FALSE(form->FormCloseQuery());
    EXPECT_TRUE(form->FormCloseQuery());
    // Yes with a save that fails keeps the window open and says why.
    shell.saveNames = {dir.WideFile("missing/t.txt")};
    EXPECT_FALSE(form->FormCloseQuery());
    EXPECT_EQ(shell.errors.size(), 1u);
}

TEST_F(WindowCommandsForm, ProgressCountsTheRecordsOfADownload) {
    Connect();
    EXPECT_FALSE(form->TransferProgress());
    form->Execute(Command::DownLoadStart);
    int last = -1;
    bool rose = false;
    ASSERT_TRUE(RunUntil(
        [&] {
            if (auto p = form->TransferProgress()) {
                EXPECT_EQ(p->total, 265);
                EXPECT_GE(p->done, last);
                rose = rose || (last >= 0 && p->done > last);
                last = p->done;
            }
            return form->Transfers().Download().Outcome() != TransferOutcome::Running;
        },
        20000));
    EXPECT_TRUE(rose);
    EXPECT_GT(last, 200);
    EXPECT_FALSE(form->TransferProgress());
}

TEST_F(WindowCommandsForm, AnErrorWhileAReplyIsHandledIsShownAndTheLinkGoesOn) {
    Connect();
    shell.failingBoxText = u"the box could not be shown";
    form->Execute(Command::DownLoadStart);
    ASSERT_TRUE(RunUntil([&] { return !shell.errors.empty(); }, 20000));
    EXPECT_EQ(shell.errors[0], u"the box could not be shown");
    shell.failingBoxText.reset();
    const std::size_t written = line_->written.size();
    RunUntil([] { return false; }, 100);
    EXPECT_GT(line_->written.size(), written);  // polls go on
    EXPECT_TRUE(Link().Connected);
}

}  // namespace
}  // namespace plu::testing
