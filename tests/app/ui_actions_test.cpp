#include <gtest/gtest.h>

#include "app/ui_actions.h"
#include "app/window_title.h"

namespace plu {
namespace {

TEST(UiActions, StartUpDisablesTransfersAndStop) {
    UiActions a;
    a.FormCreate();
    EXPECT_FALSE(a.UpLoad || a.DownLoad || a.Pair || a.Stop);
    EXPECT_TRUE(a.New && a.Open && a.Save && a.SaveAs && a.Cut && a.Copy && a.Paste);
    EXPECT_TRUE(a.Start && a.SerialSet && a.SerialMenu);
}

TEST(UiActions, DownloadKeepsOnlyStopInTheSerialMenu) {
    UiActions a;
    a.UnlockUi(true);
    a.LockUi(true);
    EXPECT_FALSE(a.New || a.Open || a.Save || a.SaveAs || a.Cut || a.Copy || a.Paste);
    EXPECT_FALSE(a.UpLoad || a.Start || a.Pair || a.SerialSet);
    EXPECT_TRUE(a.Stop);
    EXPECT_TRUE(a.SerialMenu);
}

TEST(UiActions, UploadAndPairingDisableTheWholeSerialMenu) {
    UiActions a;
    a.UnlockUi(true);
    a.LockUi(false);
    EXPECT_FALSE(a.SerialMenu);
    EXPECT_FALSE(a.New || a.Copy);
}

TEST(UiActions, UnlockFollowsTheLink) {
    UiActions a;
    a.LockUi(true);
    a.UnlockUi(false);
    EXPECT_TRUE(a.New && a.Open && a.Save && a.SaveAs && a.Cut && a.Copy && a.Paste);
    EXPECT_FALSE(a.UpLoad || a.DownLoad || a.Pair || a.Stop);
    EXPECT_TRUE(a.Start && a.SerialSet && a.SerialMenu);
    a.UnlockUi(true);
    EXPECT_TRUE(a.UpLoad && a.DownLoad && a.Pair);
}

TEST(WindowTitle, ModelKeysAndFile) {
    EXPECT_EQ(WindowTitle(u"VARDEN-15kg", false, u""), u"VARDEN-15kg QT Formular - Book1");
    EXPECT_EQ(WindowTitle(u"NORV-240oz", true, u"shop.xls"), u"NORV-240oz QTP Formular - shop.xls");
}

}  // namespace
}  // namespace plu
