// Replies from the serial line as the transfers take them: any bytes, as
// the answer to any frame in flight, between menu commands that start a
// download, an upload or a pairing on a laid-out sheet. Nothing may crash,
// read out of bounds or let an exception escape into the link engine.
#include <algorithm>
#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "base/wide_text.h"
#include "grid/cell.h"
#include "grid/cell_store.h"
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
        sheetFor_.fill(-1);
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
    // it reads nothing from the line. So the window keeps one laid-out sheet
    // for each link state the layout reads (model and units: at most 16) and
    // moves the values across when the state changes, as a layout of the
    // sheet in place would keep them. Inputs spend their time on the replies.
    void NewFile() override {
        if (TKtCustomGrid* g = Grid())
            ForEachValueCell([&](int col, int row) {
                if (!ShownText(*g, col, row).empty()) SetCellText(*g, col, row, u"");
            });
        LayoutSheet(true);
    }
    void LayoutSheet(bool reset) override {
        const LinkState& s = engine.State();
        const int key = s.Preset55 | s.UnitKg << 1 | s.UnitLb << 2 | s.UnitOz << 3;
        if (laidOutFor_ == key) return;
        TKtCustomGrid* from = Grid();
        if (sheetFor_[key] < 0) {
            sheetFor_[key] = control.AddSheet();
            control.ActivateSheet(sheetFor_[key]);
            plu::LayoutSheet(control, s, *this, reset);
        } else {
            control.ActivateSheet(sheetFor_[key]);
        }
        laidOutFor_ = key;
        if (from) CarryValues(*from, *Grid());
    }
    TKtCustomGrid* Grid() override { return control.ActiveSheet(); }
    void SetTransferMenusEnabled(bool) override {}
    void UpdateTitle() override {}
    void SetTimerEnabled(bool) override {}
    void StepPortSettings() override {}
    void ApplyAndOpen() override {}

    template <class F>
    static void ForEachValueCell(F f) {
        for (int row : {kBusinessNameRow, kSecondLineRow}) f(kColBusiness, row);
        for (int row = kFirstPluRow; row <= kLastRow; ++row)
            for (int col = kColName; col <= kColItemCode; ++col) f(col, row);
    }
    // What the layout does to the values: a decimal comma in a price or a
    // tare becomes a point. Inputs switch states often and most cells are
    // empty on both sheets: only cells that hold a value on either sheet are
    // read (asking a cell for its shown text formats it).
    static void CarryValues(const TKtCustomGrid& from, TKtCustomGrid& to) {
        std::bitset<kValueCells> held;
        MarkValues(from, held);
        MarkValues(to, held);
        ForEachValueCell([&, i = 0](int col, int row) mutable {
            if (!held[static_cast<std::size_t>(i++)]) return;
            WideString text = ShownText(from, col, row);
            if (col == kColPrice || col == kColTare) text = ReplaceAll(text, u",", u".");
            if (text != ShownText(to, col, row)) SetCellText(to, col, row, text);
        });
    }
    // The value cells in ForEachValueCell's order.
    static constexpr int kValueCells = 2 + (kLastRow - kFirstPluRow + 1) * (kColItemCode - kColName + 1);
    static void MarkValues(const TKtCustomGrid& grid, std::bitset<kValueCells>& held) {
        const auto mark = [&](int row, int firstCol, int lastCol, int first) {
            const TKwGridRow* list = grid.Cells().Get(row);
            if (!list) return;
            list->ForAllInRange(firstCol, lastCol, [&](int col, TKtSparseList::Item item) {
                if (!reinterpret_cast<const TKtCell*>(item)->IsEmpty())
                    held.set(static_cast<std::size_t>(first + col - firstCol));
                return 0;
            });
        };
        mark(kBusinessNameRow, kColBusiness, kColBusiness, 0);
        mark(kSecondLineRow, kColBusiness, kColBusiness, 1);
        constexpr int perRow = kColItemCode - kColName + 1;
        for (int row = kFirstPluRow; row <= kLastRow; ++row)
            mark(row, kColName, kColItemCode, 2 + (row - kFirstPluRow) * perRow);
    }

    int laidOutFor_ = -1;
    std::array<int, 16> sheetFor_;  // the control's sheet index per state, -1 for none
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
