// Scale transfers in real time: the link engine, the transfers and the serial
// component against the virtual scale on a pseudo-terminal, the scale taking
// as long as the bytes need on a 9600-baud line in both directions.
//
// Reported per run: the measured time from the menu command to the handling
// of the last reply; the pure wire time (every frame and reply byte at 10
// bits); and the protocol's floor. Frames go out only on a 20 ms tick and a
// reply counts as received after 100 ms of silence, so one exchange cannot
// take less than its wire time plus 100 ms, rounded up to the next tick; the
// floor is the sum of that over the exchanges.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/comm_line.h"
#include "app/link_session.h"
#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "grid/custom_grid.h"
#include "support/processes.h"
#include "link/frame.h"
#include "plu/plu_sheet.h"
#include "plu/sheet_layout.h"
#include "plu/transfers.h"
#include "serial/ui_dispatcher.h"
#include "sheets/sheet_control.h"
#include "full_table.h"
#include "virtual-scale/plu_table.h"

namespace plu {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr double kBaud = 9600;
constexpr double kSilenceMs = 100;

// The serial line, recording each exchange's bytes: what was written and
// what came back before the next write.
class MeasuredLine : public ISerialLine {
  public:
    explicit MeasuredLine(IUiDispatcher& d) : inner_(d) {
        inner_.OnReceiveData = [this](const void* buffer, uint16_t length) {
            if (!exchanges.empty()) exchanges.back().in += length;
            if (OnReceiveData) OnReceiveData(buffer, length);
        };
    }
    void Configure(const LineChoice& choice) override { inner_.Configure(choice); }
    void OpenPort() override { inner_.OpenPort(); }
    void ClosePort() override { inner_.ClosePort(); }
    bool WriteBlock(std::string_view block) override {
        exchanges.push_back({block.size(), 0});
        return inner_.WriteBlock(block);
    }
    struct Exchange {
        std::size_t out = 0, in = 0;
    };
    std::vector<Exchange> exchanges;

  private:
    CommLine inner_;
};

class BenchWindow : public IPluHost {
  public:
    BenchWindow() : session_(MakeLine()), transfers_(session_.Engine(), *this) {
        control_.OnNewSheet = [this](TVexaSheetControl&, TVexaGridSheet& sheet) {
            sheet.SetMeasurer(&measurer_);
        };
        NewSheet();
        LayoutSheet(true);
        session_.OnLayoutSheet = [this](bool reset) { LayoutSheet(reset); };
    }
    ~BenchWindow() override {
        session_.Stop();
        dispatcher_.Pump();
    }
    bool Run(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto deadline = Clock::now() + limit;
        auto next = Clock::now();
        while (!done()) {
            const auto now = Clock::now();
            if (now >= deadline) return false;
            if (now >= next) {
                session_.Tick();
                next += std::chrono::milliseconds(kTickMilliseconds);
                continue;
            }
            dispatcher_.WaitAndPump(
                std::chrono::duration_cast<std::chrono::milliseconds>(next - now));
        }
        return true;
    }
    // Connected, with the reply to the last poll handled: the next tick sends
    // whatever is queued now.
    bool Connect(const std::string& device) {
        session_.Start([device](std::vector<std::string>& ports) {
            ports = {device};
            return true;
        });
        return Run([&] { return State().Connected; }, 5s) &&
               Run([&] { return State().AwaitingReply; }, 1s) &&
               Run([&] { return !State().AwaitingReply; }, 1s);
    }
    LinkState& State() { return session_.Engine().State(); }
    PluTransfers& Transfers() { return transfers_; }
    TKtCustomGrid& Sheet() { return *control_.ActiveSheet(); }
    MeasuredLine& Line() { return *line_; }

    void ShowMessage(WideStringView, WideStringView, MessageIcon) override {}
    void ShowErrorMessage(WideStringView) override {}
    void SetStatusText(int panel, WideStringView text) override {
        session_.SetStatusText(panel, text);
    }
    void LockUi(bool download) override { session_.LockUi(download); }
    void UnlockUi() override { session_.UnlockUi(); }
    WideString FontNameBoxText() const override { return fontName_; }
    void SetFontNameBoxText(WideStringView text) override { fontName_ = WideString(text); }
    WideString FontSizeBoxText() const override { return fontSize_; }
    void SetFontSizeBoxText(WideStringView text) override { fontSize_ = WideString(text); }
    void NewFile() override {
        NewSheet();
        LayoutSheet(true);
    }
    void LayoutSheet(bool reset) override { plu::LayoutSheet(control_, State(), *this, reset); }
    TKtCustomGrid* Grid() override { return control_.ActiveSheet(); }

  private:
    std::unique_ptr<ISerialLine> MakeLine() {
        auto line = std::make_unique<MeasuredLine>(dispatcher_);
        line_ = line.get();
        return line;
    }
    void NewSheet() {
        control_.FreeAllSheets();
        control_.ActivateSheet(control_.AddSheet(u"Sheet1"));
    }

    FixedTextMeasurer measurer_;
    WideString fontName_, fontSize_;
    TVexaSheetControl control_;
    QueuedDispatcher dispatcher_;
    MeasuredLine* line_ = nullptr;
    LinkSession session_;
    PluTransfers transfers_;
};

void FillSheet(TKtCustomGrid& g) {
    SetCellText(g, kColBusiness, kBusinessNameRow, u"CORNER SHOP");
    const virtual_scale::PluTable t = FullTable();
    for (int n = 1; n <= 265; ++n) {
        const auto& p = t.plus[static_cast<std::size_t>(n - 1)];
        const int row = n + 3;
        SetCellText(g, kColName, row, AsciiToWide(p.name));
        SetCellText(g, kColIngredients, row, AsciiToWide(p.ingredients));
        SetCellText(g, kColLife, row, u"30");
        SetCellText(g, kColUnit, row, n % 3 == 0 ? u"kg" : (n % 3 == 1 ? u"lb" : u"oz"));
        SetCellText(g, kColPrice, row, u"12.50");
        SetCellText(g, kColTare, row, u"1.000");
        SetCellText(g, kColItemCode, row, u"4242");
    }
}

// Wire time and floor of the exchanges from `first` on, in seconds.
void Report(benchmark::State& state, const MeasuredLine& line, std::size_t first, double measured) {
    double wireMs = 0, floorMs = 0;
    std::size_t exchanges = 0;
    for (std::size_t i = first; i < line.exchanges.size(); ++i) {
        const double ms =
            static_cast<double>(line.exchanges[i].out + line.exchanges[i].in) * 10 * 1000 / kBaud;
        wireMs += ms;
        floorMs += std::ceil((ms + kSilenceMs) / kTickMilliseconds) * kTickMilliseconds;
        ++exchanges;
    }
    state.SetIterationTime(measured);
    state.counters["exchanges"] = static_cast<double>(exchanges);
    state.counters["wire_s"] = wireMs / 1000;
    state.counters["floor_s"] = floorMs / 1000;
    state.counters["measured_s"] = measured;
    state.counters["x_floor"] = measured * 1000 / floorMs;
}

std::vector<std::string> ScaleArgs() {
    return {"--wire-time", "--baud", "9600"};
}

void BM_FullDownload(benchmark::State& state) {
    ScopedRegionalSettings settings(RegionalSettings::Defaults());
    for (auto _ : state) {
        std::vector<std::string> args = ScaleArgs();
        args.push_back("--empty");
        testing::VirtualScaleProcess scale(args);
        BenchWindow w;
        if (!w.Connect(scale.Device())) {
            state.SkipWithError("no connection");
            return;
        }
        FillSheet(w.Sheet());
        PluDownload& d = w.Transfers().Download();
        const std::size_t first = w.Line().exchanges.size();
        const auto start = Clock::now();
        d.menuStartClick();
        if (!w.Run([&] { return d.Outcome() != TransferOutcome::Running; }, 300s) ||
            d.Outcome() != TransferOutcome::Succeeded) {
            state.SkipWithError("download did not succeed");
            return;
        }
        Report(state, w.Line(), first, std::chrono::duration<double>(Clock::now() - start).count());
    }
}

void BM_FullUpload(benchmark::State& state) {
    ScopedRegionalSettings settings(RegionalSettings::Defaults());
    char pattern[] = "/tmp/plu-bench-XXXXXX";
    const std::string dir = mkdtemp(pattern);
    const std::string table = dir + "/table.tsv";
    virtual_scale::SavePluTable(FullTable(), table);
    for (auto _ : state) {
        std::vector<std::string> args = ScaleArgs();
        args.insert(args.end(), {"--table", table});
        testing::VirtualScaleProcess scale(args);
        BenchWindow w;
        if (!w.Connect(scale.Device())) {
            state.SkipWithError("no connection");
            break;
        }
        PluUpload& u = w.Transfers().Upload();
        const std::size_t first = w.Line().exchanges.size();
        const auto start = Clock::now();
        u.menuUpLoadClick();
        if (!w.Run([&] { return u.Outcome() != TransferOutcome::Running; }, 300s) ||
            u.Outcome() != TransferOutcome::Succeeded) {
            state.SkipWithError("upload did not succeed");
            break;
        }
        Report(state, w.Line(), first, std::chrono::duration<double>(Clock::now() - start).count());
    }
    std::remove(table.c_str());
    rmdir(dir.c_str());
}

BENCHMARK(BM_FullDownload)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_FullUpload)->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace plu

BENCHMARK_MAIN();
