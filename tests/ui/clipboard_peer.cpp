// This program's side of the clipboard interop test, on a real X display:
//   clipboard-peer copy SECONDS  copies a small sheet (texts, a number with
//                                the format "0.00", a merged pair) and keeps
//                                the clipboard until SECONDS pass or another
//                                program takes it; prints "ready" once offered
//   clipboard-peer paste         pastes the clipboard as Ctrl+V does and
//                                prints the cells, one row a line, TAB between
//   clipboard-peer workbook      pastes the clipboard's BIFF8 workbook (as the
//                                selective paste does) and prints the cells,
//                                then one "merge L T R B" line per merged area
#include <QApplication>
#include <QClipboard>
#include <QTimer>

#include <cstdio>
#include <string>

#include "base/regional_settings.h"
#include "clipboard/grid_clipboard.h"
#include "grid/grid_selection.h"
#include "sheets/grid_sheet.h"
#include "ui/qt_clipboard.h"

using namespace plu;

namespace {

void PrintCells(TVexaGridSheet& grid) {
    int lastRow = 0, lastCol = 0;
    for (int r = 1; r < 40; ++r)
        for (int c = 1; c < 20; ++c)
            if (const TKtCell* cell = grid.FindCell(c, r); cell && !cell->GetText().empty()) {
                lastRow = std::max(lastRow, r);
                lastCol = std::max(lastCol, c);
            }
    for (int r = 1; r <= lastRow; ++r) {
        std::string line;
        for (int c = 1; c <= lastCol; ++c) {
            if (c > 1) line += '\t';
            if (const TKtCell* cell = grid.FindCell(c, r)) line += WideToUtf8(cell->GetText());
        }
        std::printf("%s\n", line.c_str());
    }
    const TKtMergedAreas& merged = grid.MergedAreas();
    for (int i = 0; i < merged.Count(); ++i) {
        const TRect& m = merged[i].Rect;
        std::printf("merge %d %d %d %d\n", m.Left, m.Top, m.Right - 1, m.Bottom - 1);
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    ScopedRegionalSettings settings{RegionalSettings::Defaults()};
    const std::string mode = argc > 1 ? argv[1] : "";
    TQtClipboardService service;
    TKtGridClipboard clipboard(service);
    TVexaGridSheet grid;
    grid.SetColCount(20);
    grid.SetRowCount(40);
    grid.SetClipboard(&clipboard);
    if (mode == "copy") {
        grid.GetCell(1, 1).SetText(u"name");
        grid.GetCell(2, 1).SetText(u"price");
        grid.GetCell(1, 2).SetText(u"green tea");
        grid.GetCell(2, 2).OwnStyle().SetFormatString(u"0.00");
        grid.GetCell(2, 2).SetText(u"3.5");
        grid.GetCell(1, 3).SetText(u"merged");
        grid.MergeCells(1, 3, 2, 3);
        grid.SelectRange(1, 1, 2, 3);
        grid.Selection().Copy();
        std::printf("ready\n");
        std::fflush(stdout);
        QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, &app, [&] {
            if (!clipboard.HoldsCopyOf(grid)) app.quit();
        });
        QTimer::singleShot(std::stoi(argc > 2 ? argv[2] : "20") * 1000, &app, &QApplication::quit);
        app.exec();
        grid.SetClipboard(nullptr);
        return 0;
    }
    grid.SelectRange(1, 1, 1, 1);
    if (mode == "paste") {
        grid.Selection().Paste(0);
    } else if (mode == "workbook") {
        clipboard.PasteFormat(grid, grid.Selection().Rect(), TKtClipFormat::cfBiff8);
    } else {
        std::fprintf(stderr, "usage: clipboard-peer copy SECONDS | paste | workbook\n");
        return 2;
    }
    PrintCells(grid);
    grid.SetClipboard(nullptr);
    return 0;
}
