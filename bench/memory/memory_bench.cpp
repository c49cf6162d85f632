// Resident memory of the program: the window with the PLU sheet; the same
// window with a 650,000-cell workbook open; and the figure after 10 and after
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
#include <fstream>
#include <string>

#include "base/regional_settings.h"
#include "ui/main_window.h"

namespace {

// VmRSS of /proc/self/status, in MiB.
double ResidentMiB() {
    malloc_trim(0);
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::atof(line.c_str() + 6) / 1024.0;
    return -1;
}

void Settle() {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 200) QApplication::processEvents(QEventLoop::AllEvents, 20);
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
            if (i == 1) std::printf("650,000-cell workbook open: %.1f MiB\n", ResidentMiB());
            window.Form().FileNewExecute();
            Settle();
            if (i == 1) std::printf("after New (the workbook closed): %.1f MiB\n", ResidentMiB());
            if (i == 10) after10 = ResidentMiB();
            if (i == cycles) after100 = ResidentMiB();
        }
        std::printf("after %d open/new cycles: %.1f MiB; after 10: %.1f MiB; growth %.1f %% (%.0f s)\n",
                    cycles, after100, after10, after10 > 0 ? (after100 - after10) * 100 / after10 : 0.0,
                    clock.elapsed() / 1000.0);
    }
    return dialogs.errors == 0 ? 0 : 1;
}
