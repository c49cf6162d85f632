// Review pictures of the grid on screen (docs/screenshots): one sheet that
// shows merged cells, every border style, wrapped and aligned text, zebra
// rows, a "[Red]" negative number, a selection with its frame and fill
// handle, frozen panes scrolled, and the editor open on a multi-line cell.
//   grid-screenshots OUTPUT_DIR
#include <QApplication>
#include <QDir>
#include <QScrollBar>
#include <QTest>

#include "grid/grid_range.h"
#include "grid/grid_selection.h"
#include "sheets/grid_sheet.h"
#include "ui/grid_view.h"

using namespace plu;

namespace {

void Text(TVexaGridSheet& s, int col, int row, WideStringView text) { s.GetCell(col, row).SetText(text); }

void Fill(TVexaGridSheet& sheet) {
    sheet.SetColCount(9);
    sheet.SetRowCount(60);
    for (int c = 1; c < 9; ++c) sheet.SetColWidth(c, 110);
    Text(sheet, 1, 1, u"Merged A1:C1, centred");
    sheet.MergeCells(1, 1, 3, 1);
    TKtGridRange(sheet, TRect::FromCorners(1, 1, 3, 1)).SetHorzAlign(TKtGridHorzAlign::haCenter);
    TKtGridRange(sheet, TRect::FromCorners(1, 1, 3, 1)).SetColor(RGB(255, 242, 204));

    const WideString styles[] = {u"thin", u"medium", u"dashed", u"dotted", u"thick"};
    for (int i = 0; i < 5; ++i) {
        const int row = 3 + i * 2;
        Text(sheet, 1, row, styles[i]);
        TKtGridRange(sheet, TRect::Cell(1, row)).SetBorders(1 | 2 | 4 | 8, static_cast<uint8_t>(i + 1), clBlack, false, false);
    }
    Text(sheet, 2, 3, u"diagonals");
    TKtGridRange(sheet, TRect::Cell(2, 3)).SetBorders(16 | 32, 1, clNavy, false, false);

    Text(sheet, 3, 3, u"A long text that wraps inside its cell");
    TKtGridRange(sheet, TRect::Cell(3, 3)).SetWrapText(true);
    sheet.SetRowHeight(3, 48);
    Text(sheet, 4, 3, u"left");
    Text(sheet, 4, 4, u"centre");
    TKtGridRange(sheet, TRect::Cell(4, 4)).SetHorzAlign(TKtGridHorzAlign::haCenter);
    Text(sheet, 4, 5, u"right");
    TKtGridRange(sheet, TRect::Cell(4, 5)).SetHorzAlign(TKtGridHorzAlign::haRight);
    Text(sheet, 5, 3, u"12");
    Text(sheet, 5, 4, u"abc");
    TKtCell& negative = sheet.GetCell(5, 5);
    negative.OwnStyle().SetFormatString(u"#,##0.00;[Red]-#,##0.00");
    negative.SetText(u"-1234.5");
    Text(sheet, 6, 3, u"bold red");
    TKtGridRange(sheet, TRect::Cell(6, 3)).SetFontStyle(TFontStyles(1));
    TKtGridRange(sheet, TRect::Cell(6, 3)).SetFontColor(clRed);
    Text(sheet, 6, 4, u"中文文本");
    for (int r = 14; r < 60; ++r)
        for (int c = 1; c < 6; ++c) Text(sheet, c, r, WideString(u"R") + Utf8ToWide(std::to_string(r)) + u"C" + Utf8ToWide(std::to_string(c)));
    sheet.SetZebraRowColor(true);
    sheet.SelectRange(2, 6, 3, 9);
}

bool Save(QWidget& w, const QString& dir, const char* name) {
    QTest::qWait(50);
    return w.grab().save(QDir(dir).filePath(QString::fromLatin1(name)));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    const QString dir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(dir);
    TVexaGridSheet sheet;
    GridView view(sheet);
    view.resize(900, 520);
    view.show();
    view.setFocus();
    if (!QTest::qWaitForWindowExposed(&view)) return 1;
    Fill(sheet);
    bool ok = Save(view, dir, "grid-formatting.png");

    // Frozen panes: columns A..B and rows 1..2 stay while the rest scrolls.
    sheet.SetViewLock(3, 3);
    sheet.SetTopRow(20);
    sheet.SetLeftCol(4);
    sheet.SelectRange(4, 21, 5, 23);
    ok = Save(view, dir, "grid-frozen-panes.png") && ok;

    // The editor open on a multi-line cell.
    sheet.SetViewLock(1, 1);
    sheet.SetTopRow(1);
    sheet.SetLeftCol(1);
    Text(sheet, 3, 11, u"first line\r\nsecond line");
    sheet.SetRowHeight(11, 44);
    sheet.SelectRange(3, 11, 3, 11);
    sheet.SetEditorMode(true);
    ok = Save(view, dir, "grid-editor-multiline.png") && ok;
    sheet.SetEditorMode(false);
    return ok ? 0 : 1;
}
