// The formatting toolbars on the offscreen platform with real mouse and key
// events: the colour panel and the border palette drop down under their
// buttons, a click inside picks and closes, a click outside closes; the
// font size box applies typed sizes on Enter and reports a bad one.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QTest>

#include "grid/cell.h"
#include "grid/custom_grid.h"
#include "grid/grid_selection.h"
#include "grid/grid_style.h"
#include "ui/format_toolbars.h"
#include "ui/qt_convert.h"
#include "ui_test_support.h"

namespace plu {
namespace {

using testing::WaitFor;

constexpr TColor kRed = RGB(255, 0, 0);

class FormatToolBarsTest : public ::testing::Test {
  protected:
    FormatToolBarsTest() {
        grid.SetColCount(8);
        grid.SetRowCount(8);
        bars = new FormatToolBars([this] { return &grid; }, &window);
        window.addToolBar(bars->ToolBar3());
        window.addToolBar(bars->ToolBar2());
        window.resize(700, 300);
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    ~FormatToolBarsTest() override { QApplication::processEvents(); }

    static void ClickArrow(TKtToolButton* button) {
        QTest::mouseClick(button, Qt::LeftButton, {}, button->ArrowRect().center());
    }
    uint8_t Line(int c, int r, int edge) const {
        const TKtCell* cell = grid.FindCell(c, r);
        return cell ? cell->Style().BorderLine(edge) : 0;
    }

    testing::RecordedErrors errors;
    TKtCustomGrid grid;
    QMainWindow window;
    FormatToolBars* bars = nullptr;
};

TEST_F(FormatToolBarsTest, ColourBoxClickPicksClosesAndColoursTheBorderButton) {
    ClickArrow(bars->tbBorderColor);
    ASSERT_TRUE(bars->PopupPanel->IsDroppedDown());
    QWidget* popup = bars->PopupPanel->PopupWindow();
    ASSERT_TRUE(WaitFor([&] { return popup->isVisible(); }, 2000));
    // Right-aligned under the button.
    const QPoint buttonBottomRight =
        bars->tbBorderColor->mapToGlobal(QPoint(bars->tbBorderColor->width(), bars->tbBorderColor->height()));
    EXPECT_EQ(popup->geometry().top(), buttonBottomRight.y());
    EXPECT_EQ(popup->geometry().right() + 1, buttonBottomRight.x());
    EXPECT_EQ(bars->ColorBox->parentWidget(), popup);

    const TRect red = bars->Logic().ColorBox.CellRect(16, false);
    QTest::mouseClick(bars->ColorBox, Qt::LeftButton, {},
                      QPoint((red.Left + red.Right) / 2, (red.Top + red.Bottom) / 2));
    ASSERT_TRUE(WaitFor([&] { return !bars->PopupPanel->IsDroppedDown(); }, 2000));
    EXPECT_EQ(bars->tbBorderColor->Color(), kRed);
    EXPECT_EQ(bars->Logic().BorderColor, kRed);
    EXPECT_EQ(bars->ColorBox->parentWidget(), bars->PopupPanel);
    EXPECT_EQ(bars->tbFontColor->Color(), clBlack);
    EXPECT_TRUE(errors.shown.isEmpty());
}

TEST_F(FormatToolBarsTest, PaletteButtonClosesShowsItsPictureAndAppliesItsChoice) {
    grid.SelectRange(2, 2, 4, 4);
    for (size_t i = 0; i < kBorderPaletteTags.size(); ++i) {
        const int tag = kBorderPaletteTags[i];
        ClickArrow(bars->tbBorderLine);
        ASSERT_TRUE(bars->PopupPanelBorder->IsDroppedDown());
        QToolButton* button = bars->PaletteButtons[i];
        ASSERT_TRUE(WaitFor([&] { return button->isVisible(); }, 2000));
        QTest::mouseClick(button, Qt::LeftButton);
        ASSERT_TRUE(WaitFor([&] { return !bars->PopupPanelBorder->IsDroppedDown(); }, 2000)) << tag;
        EXPECT_EQ(bars->Logic().BorderLineImage(), tag);
        EXPECT_EQ(bars->BorderLine->property("picture").toString(), QStringLiteral("border_%1").arg(tag));
    }
    EXPECT_EQ(Line(4, 3, kEdgeRight), 1);  // the last one, "right edge", was applied

    ClickArrow(bars->tbBorderLine);
    ASSERT_TRUE(WaitFor([&] { return bars->PaletteButtons[1]->isVisible(); }, 2000));
    QTest::mouseClick(bars->PaletteButtons[1], Qt::LeftButton);  // tag 15
    EXPECT_EQ(Line(3, 3, kEdgeTop), 1);
    EXPECT_EQ(Line(2, 2, kEdgeLeft), 1);

    // The button's body applies the same choice again.
    grid.SelectRange(6, 6, 6, 6);
    ASSERT_TRUE(WaitFor([&] { return !bars->PopupPanelBorder->IsDroppedDown(); }, 2000));
    QTest::mouseClick(bars->tbBorderLine, Qt::LeftButton, {}, QPoint(4, bars->tbBorderLine->height() / 2));
    EXPECT_EQ(Line(6, 6, kEdgeBottom), 1);
}

TEST_F(FormatToolBarsTest, AClickOutsideClosesThePanelWhichKnowsItsButton) {
    QWidget* popupOwner = nullptr;
    auto close = bars->PopupPanel->OnClose;
    bars->PopupPanel->OnClose = [&](TKtPopupPanel& panel) {
        popupOwner = panel.Button();
        close(panel);
    };
    ClickArrow(bars->tbFontColor);
    QWidget* popup = bars->PopupPanel->PopupWindow();
    ASSERT_NE(popup, nullptr);
    ASSERT_TRUE(WaitFor([&] { return popup->isVisible(); }, 2000));
    // Left-aligned under the font colour button.
    EXPECT_EQ(popup->geometry().left(), bars->tbFontColor->mapToGlobal(QPoint(0, 0)).x());

    QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(popup->width() + 40, popup->height() + 40));
    ASSERT_TRUE(WaitFor([&] { return !bars->PopupPanel->IsDroppedDown(); }, 2000));
    EXPECT_EQ(popupOwner, bars->tbFontColor);
    EXPECT_EQ(bars->ColorBox->parentWidget(), bars->PopupPanel);
    // Dropping down again works: only the new window exists.
    ClickArrow(bars->tbBorderColor);
    EXPECT_TRUE(bars->PopupPanel->IsDroppedDown());
    bars->PopupPanel->ClosePopup();
    EXPECT_TRUE(WaitFor([&] { return !bars->PopupPanel->IsDroppedDown(); }, 2000));
}

TEST(FormatToolBarsLifetime, TheWindowGoesWhileAPanelIsDroppedDown) {
    TKtCustomGrid grid;
    auto* window = new QMainWindow;
    auto* bars = new FormatToolBars([&] { return &grid; }, window);
    window->addToolBar(bars->ToolBar2());
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    QTest::mouseClick(bars->tbBorderColor, Qt::LeftButton, {}, bars->tbBorderColor->ArrowRect().center());
    ASSERT_TRUE(bars->PopupPanel->IsDroppedDown());
    QPointer<QWidget> popup = bars->PopupPanel->PopupWindow();
    delete window;
    QApplication::processEvents();
    EXPECT_TRUE(popup.isNull());
}

TEST_F(FormatToolBarsTest, TypedSizeAppliesOnEnterAndABadOneIsReportedUnapplied) {
    grid.SelectRange(2, 2, 3, 2);
    QLineEdit* edit = bars->cbFontSize->lineEdit();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("20"));
    EXPECT_EQ(grid.FindCell(2, 2), nullptr);  // nothing sent while typing
    QTest::keyClick(edit, Qt::Key_Return);
    ASSERT_NE(grid.FindCell(3, 2), nullptr);
    EXPECT_EQ(grid.FindCell(3, 2)->Font().Size(), 20);

    grid.SelectRange(5, 5, 5, 5);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("abc"));
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(errors.shown, QStringList{QStringLiteral("'abc' is not a valid integer value")});
    EXPECT_EQ(grid.FindCell(5, 5), nullptr);
}

TEST_F(FormatToolBarsTest, CurrentCellEchoShowsSizeAndNameWithoutApplying) {
    TKtCellFont font = grid.GetCell(2, 2).OwnFont();
    font.SetName(u"Arial");  // offered through its installed twin, Liberation Sans
    font.SetSize(14);
    grid.GetCell(3, 3).OwnFont().SetSize(13);
    grid.SelectRange(4, 4, 4, 4);
    bars->CurrentChanged(2, 2);
    EXPECT_EQ(bars->cbFontSize->currentText(), QStringLiteral("14"));
    EXPECT_EQ(bars->cbFonts->currentText(), QStringLiteral("Arial"));
    EXPECT_EQ(grid.FindCell(4, 4), nullptr);
    bars->CurrentChanged(3, 3);
    EXPECT_EQ(bars->cbFontSize->currentText(), QString());
    EXPECT_EQ(bars->FontSizeBoxText(), u"");
    EXPECT_EQ(bars->cbFonts->currentIndex(), -1);  // the grid's default font is not installed
    bars->SetFontSizeBoxText(u"12");
    EXPECT_EQ(bars->cbFontSize->currentText(), QStringLiteral("12"));
    EXPECT_EQ(grid.FindCell(4, 4), nullptr);
}

TEST_F(FormatToolBarsTest, ControlsCarryNamesAndPictures) {
    EXPECT_EQ(bars->ToolBar3()->objectName(), QStringLiteral("ToolBar3"));
    EXPECT_EQ(bars->ToolBar2()->objectName(), QStringLiteral("ToolBar2"));
    EXPECT_EQ(bars->cbFontSize->accessibleName(), QStringLiteral("字号"));
    EXPECT_EQ(bars->cbFontSize->count(), 21);
    EXPECT_EQ(bars->FontBold->text(), QStringLiteral("粗体"));
    EXPECT_EQ(bars->FontItalic->text(), QStringLiteral("斜体"));
    EXPECT_EQ(bars->FontUnderline->text(), QStringLiteral("下画线"));
    EXPECT_EQ(bars->tbBorderLine->accessibleName(), QStringLiteral("设置边框线"));
    EXPECT_TRUE(bars->tbFontColor->isEnabled());
    EXPECT_EQ(bars->cbLineWidth->currentText(), QStringLiteral(" Thin  "));
    QList<QWidget*> controls = bars->ToolBar3()->findChildren<QWidget*>() +
                               bars->ToolBar2()->findChildren<QWidget*>() +
                               bars->ToolBar4->findChildren<QWidget*>();
    controls << bars->ColorBox;
    for (QWidget* w : controls) {
        const bool control = qobject_cast<QComboBox*>(w) || qobject_cast<QToolButton*>(w) ||
                             w == bars->ColorBox;
        if (!control || w->objectName().startsWith(QStringLiteral("qt_"))) continue;
        EXPECT_FALSE(w->accessibleName().isEmpty()) << w->objectName().toStdString();
    }
    for (const char* name : {"bold", "italic", "underline", "font_color", "border_color", "border_8",
                             "border_15"})
        EXPECT_FALSE(FormatPicture(QString::fromLatin1(name)).isNull()) << name;
}

}  // namespace
}  // namespace plu

int main(int argc, char** argv) { return plu::testing::RunWidgetTests(argc, argv); }
