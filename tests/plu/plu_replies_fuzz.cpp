// Replies from the serial line as the transfers take them: any bytes, as
// the answer to any frame in flight, between menu commands that start a
// download, an upload or a pairing on a laid-out sheet. Nothing may crash,
// read out of bounds or let an exception escape into the link engine.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "link/frame.h"
#include "link/frames.h"
#include "link/link_engine.h"
#include "plu/plu_sheet.h"
#include "plu/sheet_layout.h"
#include "plu/transfers.h"
#include "sheets/sheet_control.h"

namespace {

using namespace plu;

struct NullPort : ILinkPort {
    void OpenPort() override {}
    void ClosePort() override {}
    bool WriteBlock(std::string_view) override { return true; }
};

class Window : public IPluHost, public ILinkHost {
  public:
    Window() : engine(port, *this), transfers(engine, *this) {
        control.OnNewSheet = [this](TVexaSheetControl&, TVexaGridSheet& s) {
            s.SetMeasurer(&measurer);
        };
        NewFile();
        TKtCustomGrid& g = *Grid();
        SetCellText(g, kColName, 4, u"APPLES");
        SetCellText(g, kColLife, 4, u"3");
        SetCellText(g, kColUnit, 4, u"kg");
        SetCellText(g, kColPrice, 4, u"1.25");
        SetCellText(g, kColTare, 4, u"0");
        SetCellText(g, kColItemCode, 4, u"7");
    }

    void ShowMessage(WideStringView, WideStringView, MessageIcon) override {}
    void ShowErrorMessage(WideStringView) override {}
    void SetStatusText(int, WideStringView) override {}
    void LockUi(bool) override {}
    void UnlockUi() override {}
    WideString FontNameBoxText() const override { return u"Arial"; }
    void SetFontNameBoxText(WideStringView) override {}
    WideString FontSizeBoxText() const override { return u"12"; }
    void SetFontSizeBoxText(WideStringView) override {}
    // Laying out the PLU sheet is most of what starting a transfer costs, and
    // it reads nothing from the line. So a new file keeps the laid-out sheet
    // with its values cleared, and the sheet is laid out again only when the
    // link state the layout reads has changed: inputs spend their time on the
    // replies.
    void NewFile() override {
        if (!laidOutFor_) {
            control.FreeAllSheets();
            control.ActivateSheet(control.AddSheet(u"Sheet1"));
            LayoutSheet(true);
            return;
        }
        TKtCustomGrid& g = *Grid();
        for (int row : {kBusinessNameRow, kSecondLineRow})
            if (!ShownText(g, kColBusiness, row).empty()) SetCellText(g, kColBusiness, row, u"");
        for (int row = kFirstPluRow; row <= kLastRow; ++row)
            for (int col = kColName; col <= kColItemCode; ++col)
                if (!ShownText(g, col, row).empty()) SetCellText(g, col, row, u"");
    }
    void LayoutSheet(bool reset) override {
        const LinkState& s = engine.State();
        const std::array<bool, 4> key{s.Preset55, s.UnitKg, s.UnitLb, s.UnitOz};
        if (laidOutFor_ == key) return;
        plu::LayoutSheet(control, s, *this, reset);
        laidOutFor_ = key;
    }
    TKtCustomGrid* Grid() override { return control.ActiveSheet(); }
    void SetTransferMenusEnabled(bool) override {}
    void UpdateTitle() override {}
    void SetTimerEnabled(bool) override {}
    void StepPortSettings() override {}
    void ApplyAndOpen() override {}

    std::optional<std::array<bool, 4>> laidOutFor_;
    FixedTextMeasurer measurer;
    TVexaSheetControl control;
    NullPort port;
    LinkEngine engine;
    PluTransfers transfers;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScopedRegionalSettings settings(RegionalSettings::Defaults());
    static Window* w = new Window();  // lives for the whole run
    LinkState& s = w->engine.State();
    s.Connected = true;
    const std::string inFlight[] = {LinkPollFrame(),     BeginUploadFrame(),   NextRecordFrame(),
                                    RepeatRecordFrame(), EndOfDownloadFrame(), EmptyRecordFrame(3),
                                    MakeFrame("BDX"),    ClockFrame(45000.5)};
    std::size_t at = 0;
    int heavy = 0;  // a validation reads the whole sheet: two per input
    while (at + 2 <= size) {
        const uint8_t command = data[at];
        const std::size_t length = data[at + 1];
        at += 2;
        const std::string_view body(reinterpret_cast<const char*>(data) + at,
                                    std::min(length, size - at));
        at += body.size();
        const int kind = command % 12;
        if (kind >= 8 && kind != 9 && ++heavy > 2) continue;
        switch (kind) {
            case 8:
                w->transfers.Download().menuStartClick();
                break;
            case 9:
                w->transfers.Download().menuStopClick();
                break;
            case 10:
                w->transfers.Upload().menuUpLoadClick();
                break;
            case 11:
                w->transfers.Pairing().SendClock(45000.25);
                break;
            default: {
                s.FrameInFlight = inFlight[kind];
                // Through the engine as a framed block, and the body straight in.
                const std::string block = MakeFrame(body);
                w->engine.Comm1ReceiveData(block.data(), static_cast<uint16_t>(block.size()));
                w->transfers.UploadReply(body);
            }
        }
    }
    return 0;
}
