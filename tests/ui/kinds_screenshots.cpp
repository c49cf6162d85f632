// Review pictures of the cell kinds and the tab strip (docs/screenshots),
// taken from the X screen so that the list and menu windows show:
// a unit column with its list open beside spin, check and radio cells and a
// sorted header, the tab strip with three sheets and one being renamed, and
// the worksheet's popup menu.
//   kinds-screenshots OUTPUT_DIR   (under xvfb-run)
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

#include "sheets/combo_cells.h"
#include "sheets/data_cells.h"
#include "sheets/grid_sheet.h"
#include "sheets/header_cell.h"
#include "sheets/sheet_control.h"
#include "ui/grid_view.h"
#include "ui/qt_convert.h"
#include "ui/sheet_area.h"
#include "ui/sheet_tab_strip.h"

using namespace plu;

namespace {

bool Save(QWidget& window, const QString& dir, const char* name) {
    QTest::qWait(150);
    QRect frame = window.frameGeometry();
    // A popup menu may reach past the window: take it whole.
    if (QWidget* popup = QApplication::activePopupWidget()) frame |= popup->frameGeometry();
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(
        0, frame.x(), frame.y(), frame.width(), frame.height());
    return shot.save(QDir(dir).filePath(QString::fromLatin1(name)));
}

void Fill(TVexaGridSheet& sheet) {
    sheet.SetColCount(8);
    sheet.SetRowCount(30);
    const char16_t* titles[] = {u"PLU", u"Name", u"Price", u"Unit", u"Fresh", u"Grade"};
    for (int c = 1; c <= 6; ++c) {
        sheet.GetCell(c, 0).SetText(titles[c - 1]);
        sheet.SetColWidth(c, 90);
    }
    sheet.GetColumn(3).SetCellType(TKtCellType::cellNumberSpin);
    sheet.GetColumn(4).SetCellType(TKtCellType::cellComboBox);
    for (const char16_t* unit : {u"kg", u"lb", u"oz"})
        sheet.GetColumn(4).CellItems().push_back(unit);
    sheet.GetColumn(5).SetCellType(TKtCellType::cellCheckBox);
    sheet.GetColumn(6).SetCellType(TKtCellType::cellRadioBox);
    for (const char16_t* grade : {u"A", u"B"})
        sheet.GetColumn(6).CellItems().push_back(grade);
    const char16_t* names[] = {u"Apples", u"Pears", u"Cheese", u"Ham", u"Bread"};
    for (int r = 1; r <= 5; ++r) {
        sheet.GetCell(1, r).SetText(Utf8ToWide(std::to_string(100 + r)));
        sheet.GetCell(2, r).SetText(names[r - 1]);
        sheet.GetCell(3, r).SetText(Utf8ToWide(std::to_string(r * 3)));
        sheet.GetCell(4, r).SetText(r % 2 ? u"kg" : u"lb");
        sheet.GetCell(5, r).SetText(r % 2 ? u"1" : u"0");
        sheet.GetCell(6, r).SetText(r % 2 ? u"0" : u"1");
    }
    // Set after the texts: typing fits rows to their text.
    for (int r = 1; r <= 5; ++r)
        sheet.SetRowHeight(r, 36);
    static_cast<TKtDataHeaderCell2&>(sheet.GetCell(2, 0)).SortClick();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    TVexaSheetControl control;
    control.SetSheetBaseName(u"Sheet");
    control.DisableTabSync();
    control.FreeAllSheets();
    control.AddSheet(u"PLU");
    control.AddSheet(u"Sheet2");
    control.AddSheet(u"Sheet3");
    control.ActivateSheet(0);
    TVexaGridSheet& sheet = *control.ActiveSheet();
    Fill(sheet);

    QWidget window;
    auto* column = new QVBoxLayout(&window);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* area = new SheetArea(control, &window);
    column->addWidget(area);
    auto* strip = new SheetTabStrip(control, *area, &window);
    column->addWidget(strip);
    window.move(20, 20);
    window.resize(700, 330);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) return 1;
    strip->Sync();
    area->ActiveView()->setFocus();

    // The unit list open on the current cell.
    sheet.SelectRange(4, 2, 4, 2);
    auto& combo = static_cast<TKtComboBoxCell&>(sheet.GetCell(4, 2));
    combo.DropDown();
    bool ok = Save(window, dir, "kinds-combo-list.png");
    combo.CloseUp(false);

    // A tab being renamed, with a spin cell current so that its halves show.
    sheet.SelectRange(3, 3, 3, 3);
    sheet.SetRowHeight(2, 36);  // leaving the combo's editor fitted the row to its text
    control.StartRename(1);
    strip->Sync();
    strip->RenameBox()->setText(QStringLiteral("Prices"));
    strip->RenameBox()->selectAll();
    ok = Save(window, dir, "tabs-rename.png") && ok;
    control.CancelRename();
    strip->Sync();

    // The worksheet's popup menu.
    sheet.SetPopupMenu(&sheet.DefaultPopupMenu());
    QWidget* viewport = area->ActiveView()->viewport();
    const QPoint at = ToQRect(sheet.CellRect(2, 3)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &event);
    ok = Save(window, dir, "sheet-popup-menu.png") && ok;
    return ok ? 0 : 1;
}
