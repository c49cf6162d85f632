// The main window as a user meets it (offscreen platform):
//  - start-up to a painted window with the PLU sheet: the first window of the
//    process (the application object, fonts and the window, timed from the
//    start of main) and a window created again in a warm process;
//  - a full upload from the window (Serial > UpLoad) against the virtual
//    scale charging 9600-baud wire time, with the same 265 full-width records
//    as bench_transfer, reported against that benchmark's protocol floor.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <QAbstractScrollArea>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "app/commands.h"
#include "base/regional_settings.h"
#include "support/processes.h"
#include "plu/transfers.h"
#include "ui/grid_view.h"
#include "ui/main_window.h"
#include "transfer/full_table.h"
#include "virtual-scale/plu_table.h"

namespace plu {
namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point g_processStart;

// Answers every question "No", cancels the file dialogs, and swallows the
// boxes: nothing blocks.
class QuietDialogs : public IShell {
  public:
    int errors = 0;
    DialogAnswer AskYesNoCancel(WideStringView) override { return DialogAnswer::No; }
    std::optional<WideString> OpenDialog(WideStringView) override { return std::nullopt; }
    std::optional<WideString> SaveDialog(WideStringView, WideStringView) override { return std::nullopt; }
    void ShowMessage(WideStringView, WideStringView, MessageIcon) override {}
    void ShowError(WideStringView) override { ++errors; }
    WideString FontNameBoxText() const override { return {}; }
    void SetFontNameBoxText(WideStringView) override {}
    WideString FontSizeBoxText() const override { return {}; }
    void SetFontSizeBoxText(WideStringView) override {}
    void StateChanged() override {}
};

// Notes the first paint of a widget.
class PaintWatch : public QObject {
  public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted = true;
        return false;
    }
};

bool RunUntil(const std::function<bool()>& done, int ms) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// A window started without a port (the open error goes to the quiet
// dialogs), shown at 1920 x 1080 until its sheet has painted.
bool ShowPaintedWindow(QuietDialogs& dialogs) {
    MainWindow window({&dialogs, nullptr});
    window.Start([](std::vector<std::string>& ports) {
        ports = {"/dev/plu-bench-no-port"};
        return true;
    });
    window.resize(1920, 1080);
    PaintWatch watch;
    window.show();
    if (!RunUntil([&] { return window.ActiveGridView() != nullptr; }, 5000)) return false;
    window.ActiveGridView()->viewport()->installEventFilter(&watch);
    return RunUntil([&] { return watch.painted; }, 5000);
}

void BM_FirstWindowOfTheProcess(benchmark::State& state) {
    QuietDialogs dialogs;
    for (auto _ : state) {
        if (!ShowPaintedWindow(dialogs)) state.SkipWithError("no paint");
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - g_processStart).count());
    }
}
BENCHMARK(BM_FirstWindowOfTheProcess)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_WindowAgain(benchmark::State& state) {
    QuietDialogs dialogs;
    for (auto _ : state)
        if (!ShowPaintedWindow(dialogs)) state.SkipWithError("no paint");
}
BENCHMARK(BM_WindowAgain)->Unit(benchmark::kMillisecond);

// The protocol floor of the full upload of bench_transfer's table at 9600
// baud (bench/README.md, "Scale transfers").
constexpr double kUploadFloorSeconds = 63.88;

void BM_FullUploadFromTheWindow(benchmark::State& state) {
    char pattern[] = "/tmp/plu-bench-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const std::string table = dir + "/table.tsv";
    virtual_scale::SavePluTable(FullTable(), table);
    for (auto _ : state) {
        testing::VirtualScaleProcess scale({"--wire-time", "--baud", "9600", "--table", table});
        QuietDialogs dialogs;
        MainWindow window({&dialogs, nullptr});
        const std::string device = scale.Device();
        window.Start([device](std::vector<std::string>& ports) {
            ports = {device};
            return true;
        });
        window.resize(1920, 1080);
        window.show();
        if (!RunUntil([&] { return window.PanelText(1) == "The Scale is connected."; }, 10000)) {
            state.SkipWithError("no connection");
            break;
        }
        PluUpload& upload = window.Form().Transfers().Upload();
        const auto start = Clock::now();
        window.Action(Command::UpLoad)->trigger();
        RunUntil([&] { return upload.Outcome() == TransferOutcome::Running; }, 2000);
        if (!RunUntil([&] { return upload.Outcome() != TransferOutcome::Running; }, 300000) ||
            upload.Outcome() != TransferOutcome::Succeeded) {
            state.SkipWithError("upload did not succeed");
            break;
        }
        const double measured = std::chrono::duration<double>(Clock::now() - start).count();
        state.SetIterationTime(measured);
        state.counters["measured_s"] = measured;
        state.counters["floor_s"] = kUploadFloorSeconds;
        state.counters["x_floor"] = measured / kUploadFloorSeconds;
        state.counters["records"] = upload.RecordsReceived();
    }
    std::remove(table.c_str());
    rmdir(dir.c_str());
}
BENCHMARK(BM_FullUploadFromTheWindow)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace plu

int main(int argc, char** argv) {
    plu::g_processStart = plu::Clock::now();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    plu::InstallRegionalSettings(plu::RegionalSettings::Defaults());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
