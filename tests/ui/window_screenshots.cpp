// Review pictures of the main window's formatting toolbars (docs/screenshots),
// taken from the X screen so that the drop-down panels show: the colour box
// dropped down under the border colour button, and the border palette under
// the border button, over a selection framed in medium red.
//   window-screenshots OUTPUT_DIR   (under xvfb-run)
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QTest>

#include "grid/grid_selection.h"
#include "ui/color_controls.h"
#include "ui/format_toolbars.h"
#include "ui/main_window.h"

using namespace plu;

namespace {

class QuietDialogs : public IShell {
  public:
    DialogAnswer AskYesNoCancel(WideStringView) override { return DialogAnswer::No; }
    std::optional<WideString> OpenDialog(WideStringView) override { return std::nullopt; }
    std::optional<WideString> SaveDialog(WideStringView, WideStringView) override { return std::nullopt; }
    void ShowMessage(WideStringView, WideStringView, MessageIcon) override {}
    void ShowError(WideStringView) override {}
    WideString FontNameBoxText() const override { return {}; }
    void SetFontNameBoxText(WideStringView) override {}
    WideString FontSizeBoxText() const override { return {}; }
    void SetFontSizeBoxText(WideStringView) override {}
    void StateChanged() override {}
};

// The window's top left corner, where the toolbars and their panels are.
bool Save(QWidget& window, const QString& dir, const char* name) {
    QTest::qWait(200);
    const QRect frame = window.frameGeometry();
    const QPixmap shot =
        QGuiApplication::primaryScreen()->grabWindow(0, frame.x(), frame.y(), 760, 330);
    return shot.save(QDir(dir).filePath(QString::fromLatin1(name)));
}

void ClickArrow(QToolButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(button->width() - 4, button->height() / 2));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QuietDialogs dialogs;
    MainWindow window({&dialogs, nullptr});
    window.Start([](std::vector<std::string>& ports) {
        ports = {"/dev/plu-screenshots-no-port"};
        return true;
    });
    window.setGeometry(0, 0, 1200, 700);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    FormatToolBars& f = window.Formatting();

    // A medium red outline around B5:D7.
    window.Form().Grid()->SelectRange(2, 5, 4, 7);
    f.cbLineWidth->setCurrentIndex(1);
    Q_EMIT f.cbLineWidth->activated(1);  // as the user picks " Medium"
    ClickArrow(f.tbBorderColor);
    QTest::qWait(100);
    bool ok = Save(window, dir, "toolbar-colour-box.png");
    if (QWidget* popup = f.PopupPanel->PopupWindow()) {
        auto* box = f.ColorBox;
        const QPoint red = box->mapTo(popup, QPoint(box->width() / 16, box->height() * 5 / 16));
        QTest::mouseClick(popup->childAt(red) ? popup->childAt(red) : box, Qt::LeftButton, {},
                          box->mapFrom(popup, red));
    }
    QTest::qWait(100);
    ClickArrow(f.tbBorderLine);
    QTest::qWait(100);
    if (f.PaletteButtons[2]) QTest::mouseClick(f.PaletteButtons[2], Qt::LeftButton);  // outline
    window.Form().Grid()->SelectRange(6, 10, 6, 10);
    ClickArrow(f.tbBorderLine);
    ok = Save(window, dir, "toolbar-border-palette.png") && ok;
    return ok ? 0 : 1;
}
