// The clipboard adapter over QClipboard, in-process on the offscreen
// platform: formats named at copy time and built on request, the MIME
// mapping both ways, flush, release, and the selective paste dialog.
#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTimer>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "clipboard/grid_clipboard.h"
#include "formats/cfb/compound_document.h"
#include "grid/grid_selection.h"
#include "sheets/data_cells.h"
#include "sheets/grid_sheet.h"
#include "ui/qt_clipboard.h"
#include "ui/selective_paste_dialog.h"
#include "ui_test_support.h"

namespace plu {
namespace {

class QtClipboardTest : public ::testing::Test {
  protected:
    QtClipboardTest() {
        QGuiApplication::clipboard()->clear();
        grid.SetMeasurer(&measurer);
        grid.SetColCount(10);
        grid.SetRowCount(10);
        grid.SetClipboard(&clipboard);
        grid.GetCell(1, 1).SetText(u"a b");
        grid.GetCell(2, 1).SetText(u"2.5");
    }
    ~QtClipboardTest() override { grid.SetClipboard(nullptr); }
    static const QMimeData* Data() { return QGuiApplication::clipboard()->mimeData(); }
    WideString Text(int c, int r) const {
        const TKtCell* cell = grid.FindCell(c, r);
        return cell ? cell->GetText() : WideString();
    }

    ScopedRegionalSettings settings{RegionalSettings::Defaults()};
    FixedTextMeasurer measurer;
    TQtClipboardService service;
    TKtGridClipboard clipboard{service};
    TVexaGridSheet grid;
};

TEST_F(QtClipboardTest, ACopyNamesItsMimeTypesAndBuildsEachOnlyWhenAsked) {
    grid.SelectRange(1, 1, 2, 1);
    grid.Selection().Copy();
    const QStringList formats = Data()->formats();
    EXPECT_TRUE(formats.contains(kMimeUtf8Text));
    EXPECT_TRUE(formats.contains(kMimeBiff8));
    EXPECT_TRUE(formats.contains(kMimeQtBiff8));
    EXPECT_EQ(service.RenderCount(), 0);
    grid.GetCell(2, 1).SetText(u"3");
    EXPECT_EQ(Data()->data(kMimeUtf8Text), QByteArray("\"a b\"\t3"));  // no trailing zeros
    EXPECT_EQ(service.RenderCount(), 1);
    const QByteArray biff = Data()->data(kMimeBiff8);
    const auto document = TCompoundDocument::OpenMemory(
        std::span(reinterpret_cast<const uint8_t*>(biff.data()), static_cast<size_t>(biff.size())));
    EXPECT_TRUE(document.HasStream("Workbook"));
    EXPECT_EQ(Data()->data(kMimeQtBiff8), biff);
}

TEST_F(QtClipboardTest, AnotherObjectOnTheClipboardEndsTheCopy) {
    grid.SelectRange(1, 1, 1, 1);
    grid.Selection().Copy();
    QGuiApplication::clipboard()->setText(QStringLiteral("elsewhere"));
    EXPECT_FALSE(clipboard.HoldsCopyOf(grid));
    EXPECT_TRUE(grid.Selection().CopiedRect().IsEmpty());
}

TEST_F(QtClipboardTest, FlushLeavesRenderedDataAndEndsTheCopy) {
    grid.SelectRange(1, 1, 2, 1);
    grid.Selection().Copy();
    grid.CurrentCell().ShowEditor();
    EXPECT_FALSE(clipboard.HoldsCopyOf(grid));
    EXPECT_EQ(Data()->data(kMimeUtf8Text), QByteArray("\"a b\"\t2.5"));
    EXPECT_FALSE(Data()->data(kMimeBiff8).isEmpty());
}

TEST_F(QtClipboardTest, PlainTextIsUtf8WhenValidElseWindows1252) {
    auto* utf8 = new QMimeData;
    utf8->setData(kMimePlainText, QByteArray("caf\xC3\xA9\nx"));
    QGuiApplication::clipboard()->setMimeData(utf8);
    EXPECT_EQ(service.Formats(), std::vector{TKtClipFormat::cfUnicodeText});
    grid.SelectRange(3, 3, 3, 3);
    grid.Selection().Paste(0);
    EXPECT_EQ(Text(3, 3), u"café");
    EXPECT_EQ(Text(3, 4), u"x");  // LF ends a row
    auto* latin = new QMimeData;
    latin->setData(kMimePlainText, QByteArray("caf\xE9\x80"));
    QGuiApplication::clipboard()->setMimeData(latin);
    EXPECT_EQ(service.Formats(), std::vector{TKtClipFormat::cfText});
    grid.Selection().Paste(0);
    EXPECT_EQ(Text(3, 3), u"café€");
}

TEST_F(QtClipboardTest, AWorkbookAndAPictureFromAnotherProgramPasteSelectively) {
    // A workbook this program wrote, offered under the LibreOffice name only.
    grid.SelectRange(1, 1, 2, 1);
    grid.Selection().Copy();
    const QByteArray biff = Data()->data(kMimeBiff8);
    auto* foreign = new QMimeData;
    foreign->setData(kMimeBiff8, biff);
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    foreign->setImageData(image);
    QGuiApplication::clipboard()->setMimeData(foreign);
    const auto formats = service.Formats();
    ASSERT_EQ(formats.size(), 2u);
    EXPECT_EQ(formats[0], TKtClipFormat::cfBiff8);
    EXPECT_EQ(formats[1], TKtClipFormat::cfBitmap);
    grid.SelectRange(4, 5, 4, 5);
    clipboard.PasteFormat(grid, grid.Selection().Rect(), TKtClipFormat::cfBiff8);
    EXPECT_EQ(Text(4, 5), u"a b");
    EXPECT_EQ(Text(5, 5), u"2.5");
    grid.SelectRange(7, 7, 7, 7);
    clipboard.PasteFormat(grid, grid.Selection().Rect(), TKtClipFormat::cfBitmap);
    const auto* cell = dynamic_cast<const TKtImageCell*>(grid.FindCell(7, 7));
    ASSERT_NE(cell, nullptr);
    ASSERT_NE(cell->Picture(), nullptr);
    QImage back;
    ASSERT_TRUE(back.loadFromData(QByteArray(reinterpret_cast<const char*>(cell->Picture()->Data.data()),
                                             static_cast<qsizetype>(cell->Picture()->Data.size())),
                                  "BMP"));
    EXPECT_EQ(back.size(), QSize(4, 3));
}

TEST(SelectivePasteDialog, LayoutAndCaptions) {
    TKtSelectivePasteDailog dialog;
    EXPECT_EQ(dialog.size(), QSize(554, 332));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("选择性粘贴"));
    EXPECT_EQ(dialog.List()->geometry(), QRect(106, 58, 273, 112));
    EXPECT_TRUE(dialog.Tip()->text().isEmpty());
    QStringList buttons;
    for (auto* b : dialog.findChildren<QPushButton*>()) buttons << b->text();
    EXPECT_TRUE(buttons.contains(QStringLiteral("确定")));
    EXPECT_TRUE(buttons.contains(QStringLiteral("取消")));
}

TEST(SelectivePasteDialog, AnswersTheRowChosenWithOkAndNothingOtherwise) {
    TKtSelectivePasteDailog dialog;
    auto clickOk = [&](int row) {
        QTimer::singleShot(0, &dialog, [&dialog, row] {
            EXPECT_EQ(dialog.List()->selectedItems().size(), 0);
            if (row >= 0) dialog.List()->setCurrentRow(row);
            for (auto* b : dialog.findChildren<QPushButton*>())
                if (b->text() == QStringLiteral("确定")) b->click();
        });
    };
    clickOk(1);
    EXPECT_EQ(dialog.Execute({u"Excel电子表格(BIFF8)", u"文本(Unicode)"}), 1);
    EXPECT_EQ(dialog.List()->item(1)->text(), QStringLiteral("文本(Unicode)"));
    clickOk(-1);
    EXPECT_EQ(dialog.Execute({u"位图"}), -1);  // OK with nothing selected
    QTimer::singleShot(0, &dialog, &QDialog::reject);
    EXPECT_EQ(dialog.Execute({u"位图"}), -1);
}

}  // namespace
}  // namespace plu

int main(int argc, char** argv) { return plu::testing::RunWidgetTests(argc, argv); }
