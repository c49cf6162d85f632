// Resident memory of the program: the window with the PLU sheet; the peak
// while it opens a 650,000-cell workbook, and the figure once that workbook
// is open and laid out as the PLU sheet; and the figure after 10 and after
// 100 cycles of opening that workbook and starting a new sheet (a leak would
// make the second grow). Freed memory is handed back to the system
// (malloc_trim) before each reading, so the figures are what is held.
//
//   bench_memory WORKBOOK.xls [CYCLES]
#include <malloc.h>

#include <QApplication>
#include <QElapsedTimer>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "base/regional_settings.h"
#include "ui/main_window.h"

namespace {

// A figure of /proc/self/status ("VmRSS:", "VmHWM:"), in MiB.
double StatusMiB(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0) return std::atof(line.c_str() + std::strlen(key)) / 1024.0;
    return -1;
}

double ResidentMiB() {
    malloc_trim(0);
    return StatusMiB("VmRSS:");
}

// What the event loop would do meanwhile, views of freed sheets deleted too
// (this program runs no exec(), where deleteLater takes effect).
void Settle() {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 200) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Opens `file` when asked, answers "No" to the save question, shows nothing.
class Dialogs : public plu::IShell {
  public:
    plu::WideString file;
    int errors = 0;
    plu::DialogAnswer AskYesNoCancel(plu::WideStringView) override { return plu::DialogAnswer::No; }
    std::optional<plu::WideString> OpenDialog(plu::WideStringView) override { return file; }
    std::optional<plu::WideString> SaveDialog(plu::WideStringView, plu::WideStringView) override {
        return std::nullopt;
    }
    void ShowMessage(plu::WideStringView, plu::WideStringView, plu::MessageIcon) override {}
    void ShowError(plu::WideStringView text) override {
        ++errors;
        std::fprintf(stderr, "error: %s\n", plu::WideToUtf8(text).c_str());
    }
    plu::WideString FontNameBoxText() const override { return {}; }
    void SetFontNameBoxText(plu::WideStringView) override {}
    plu::WideString FontSizeBoxText() const override { return {}; }
    void SetFontSizeBoxText(plu::WideStringView) override {}
    void StateChanged() override {}
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_memory WORKBOOK.xls [CYCLES]\n");
        return 2;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    plu::InstallRegionalSettings(plu::RegionalSettings::Defaults());
    const int cycles = argc > 2 ? std::atoi(argv[2]) : 100;

    Dialogs dialogs;
    dialogs.file = plu::Utf8ToWide(argv[1]);
    std::printf("before the window: %.1f MiB\n", ResidentMiB());
    {
        plu::MainWindow window({&dialogs, nullptr});
        window.Start([](std::vector<std::string>& ports) {
            ports = {"/dev/plu-bench-no-port"};
            return true;
        });
        window.resize(1920, 1080);
        window.show();
        Settle();
        dialogs.errors = 0;  // the port this benchmark has not: not its subject
        std::printf("window with the PLU sheet: %.1f MiB\n", ResidentMiB());

        double after10 = 0, after100 = 0;
        QElapsedTimer clock;
        clock.start();
        for (int i = 1; i <= cycles; ++i) {
            window.Form().FileOpenExecute();
            Settle();
            // The peak is the workbook whole in memory; once open, the PLU
            // layout keeps the first 269 rows and 9 columns of its sheet.
            if (i == 1)
                std::printf("opening the 650,000-cell workbook: peak %.1f MiB; open and laid out: %.1f MiB\n",
                            StatusMiB("VmHWM:"), ResidentMiB());
            window.Form().FileNewExecute();
            Settle();
            if (i == 1) std::printf("after New (the workbook closed): %.1f MiB\n", ResidentMiB());
            if (i == 10) after10 = ResidentMiB();
            if (getenv("PLU_MEMORY_TRACE") && i % 5 == 0) {
                const struct mallinfo2 m = mallinfo2();
                std::printf("cycle %d: rss %.1f MiB, in use %.1f MiB (heap %.1f, mmapped %.1f)\n", i, ResidentMiB(),
                            (m.uordblks + m.hblkhd) / 1048576.0, m.uordblks / 1048576.0, m.hblkhd / 1048576.0);
            }
            if (i == cycles) after100 = ResidentMiB();
        }
        // For a heap profiler: end here, so that what the program holds now
        // shows as never freed (two runs with different cycle counts, diffed,
        // name what grows).
        if (getenv("PLU_MEMORY_EXIT_NOW")) {
            std::fflush(stdout);
            std::_Exit(0);
        }
        std::printf("after %d open/new cycles: %.1f MiB; after 10: %.1f MiB; growth %.1f %% (%.0f s)\n",
                    cycles, after100, after10, after10 > 0 ? (after100 - after10) * 100 / after10 : 0.0,
                    clock.elapsed() / 1000.0);
    }
    return dialogs.errors == 0 ? 0 : 1;
}
