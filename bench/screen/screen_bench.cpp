// Painting the PLU sheet on screen through the Qt canvas (offscreen
// platform): one full 1920 x 1080 paint of the 269-row sheet filled with
// texts and borders, a page scroll followed by its repaint, and the same
// full paint with 100,000 rows below the view (it must cost the same).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <memory>

#include "grid/grid_painter.h"
#include "grid/grid_range.h"
#include "link/link_state.h"
#include "plu/plu_host.h"
#include "plu/sheet_layout.h"
#include "sheets/sheet_control.h"
#include "ui/qt_canvas.h"

namespace plu {
namespace {

class QuietHost : public IPluHost {
  public:
    TVexaSheetControl* control = nullptr;
    void ShowMessage(WideStringView, WideStringView, MessageIcon) override {}
    void ShowErrorMessage(WideStringView) override {}
    void SetStatusText(int, WideStringView) override {}
    void LockUi(bool) override {}
    void UnlockUi() override {}
    WideString FontNameBoxText() const override { return name; }
    void SetFontNameBoxText(WideStringView t) override { name = WideString(t); }
    WideString FontSizeBoxText() const override { return size; }
    void SetFontSizeBoxText(WideStringView t) override { size = WideString(t); }
    void NewFile() override {}
    void LayoutSheet(bool) override {}
    TKtCustomGrid* Grid() override { return control->ActiveSheet(); }
    WideString name, size;
};

struct PluScreen {
    TVexaSheetControl control;
    QuietHost host;
    QImage image{1920, 1080, QImage::Format_RGB32};

    explicit PluScreen(int extraRows) {
        host.control = &control;
        control.AddSheet(u"Sheet1");
        control.ActivateSheet(0);
        LinkState link;
        LayoutSheet(control, link, host, true);
        TVexaGridSheet& grid = *control.ActiveSheet();
        grid.BeginUpdate();
        for (int row = 4; row < grid.RowCount(); ++row) {
            grid.GetCell(2, row).SetText(u"Product name " + AsciiToWide(std::to_string(row)));
            grid.GetCell(3, row).SetText(u"Flour, water, salt, yeast");
            grid.GetCell(6, row).SetText(u"12.50");
        }
        TKtGridRange(grid, {1, 1, grid.ColCount(), grid.RowCount()}).SetBorders(15, 1, clBlack, true, true);
        if (extraRows > 0) grid.SetRowCount(grid.RowCount() + extraRows);
        grid.EndUpdate();
        grid.SetClientSize(image.width(), image.height());
        grid.SelectRange(2, 5, 4, 9);
    }
    TVexaGridSheet& Grid() { return *control.ActiveSheet(); }
    void Paint() {
        QPainter painter(&image);
        QtCanvas canvas(painter, QRegion(image.rect()));
        PaintGrid(Grid(), canvas, {0, 0, image.width(), image.height()});
    }
};

void BM_FullPaint(benchmark::State& state) {
    PluScreen screen(static_cast<int>(state.range(0)));
    for (auto _ : state) screen.Paint();
}
BENCHMARK(BM_FullPaint)->Arg(0)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_PageScroll(benchmark::State& state) {
    PluScreen screen(0);
    TVexaGridSheet& grid = screen.Grid();
    const int page = 40;
    bool down = true;
    for (auto _ : state) {
        grid.SetTopRow(grid.TopRow() + (down ? page : -page));
        down = !down;
        screen.Paint();
    }
}
BENCHMARK(BM_PageScroll)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace plu

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
