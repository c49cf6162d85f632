// Shared pieces of the PLU transfer tests: a main window stand-in that serves
// both the link engine and the transfers and owns one grid, and a link to an
// in-process virtual scale in simulated time (a tick is a call; each reply
// burst is delivered right after the tick that sent its frame).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "grid/custom_grid.h"
#include "link/frame.h"
#include "link/frames.h"
#include "link/link_engine.h"
#include "plu/plu_host.h"
#include "plu/plu_sheet.h"
#include "plu/sheet_layout.h"
#include "plu/transfers.h"
#include "sheets/sheet_control.h"
#include "virtual-scale/frame_assembler.h"
#include "virtual-scale/virtual_scale.h"

namespace plu::testing {

struct ShownMessage {
    std::u16string title, text;
    MessageIcon icon = MessageIcon::Information;
};

// The main window as the transfers and the engine see it: a sheet control
// with one worksheet, laid out by the real layout.
class FakeWindow : public IPluHost, public ILinkHost {
  public:
    FakeWindow() {
        control.OnNewSheet = [this](TVexaSheetControl&, TVexaGridSheet& sheet) {
            sheet.SetMeasurer(&measurer_);
        };
        NewSheet();
    }

    TVexaSheetControl control;
    LinkEngine* engine = nullptr;
    LinkState ownState;  // the link state while no engine is attached
    std::vector<ShownMessage> messages;
    std::vector<std::u16string> errors;
    std::u16string panel[3];
    std::vector<std::u16string> progress;  // every text panel 2 showed, in order
    std::vector<std::string> calls;        // lock, unlock, new file, layout
    bool locked = false, lockedForDownload = false;
    std::u16string fontNameBox = u"Arial", fontSizeBox = u"12";
    // What NewFile does after its question: "yes"/"no" start a new sheet,
    // "cancel" keeps this one.
    std::string newFileAnswer = "no";

    LinkState& Link() { return engine ? engine->State() : ownState; }
    TVexaGridSheet& Sheet() { return *control.ActiveSheet(); }
    void NewSheet() {
        control.FreeAllSheets();
        control.ActivateSheet(control.AddSheet(u"Sheet1"));
    }

    // IPluHost
    void ShowMessage(WideStringView title, WideStringView text, MessageIcon icon) override {
        messages.push_back({std::u16string(title), std::u16string(text), icon});
    }
    void ShowErrorMessage(WideStringView text) override { errors.emplace_back(text); }
    void SetStatusText(int p, WideStringView text) override {
        panel[p] = std::u16string(text);
        if (p == kProgressPanel) progress.emplace_back(text);
    }
    void LockUi(bool download) override {
        calls.push_back(download ? "lock download" : "lock");
        locked = true;
        lockedForDownload = download;
    }
    void UnlockUi() override {
        if (locked) calls.push_back("unlock");
        locked = false;
    }
    WideString FontNameBoxText() const override { return fontNameBox; }
    void SetFontNameBoxText(WideStringView t) override { fontNameBox = WideString(t); }
    WideString FontSizeBoxText() const override { return fontSizeBox; }
    void SetFontSizeBoxText(WideStringView t) override { fontSizeBox = WideString(t); }
    void NewFile() override {
        calls.push_back("new file " + newFileAnswer);
        if (newFileAnswer != "cancel") NewSheet();
        LayoutSheet(true);
    }
    void LayoutSheet(bool reset) override {
        calls.push_back(reset ? "layout reset" : "layout");
        plu::LayoutSheet(control, Link(), *this, reset);
    }
    TKtCustomGrid* Grid() override { return control.ActiveSheet(); }

    // ILinkHost
    void SetTransferMenusEnabled(bool) override {}
    void UpdateTitle() override {}
    void SetTimerEnabled(bool) override {}
    void StepPortSettings() override {}
    void ApplyAndOpen() override {
        if (engine) engine->PortOpened();
    }

    std::u16string Text(int col, int row) { return ShownText(Sheet(), col, row); }
    void Set(int col, int row, const std::u16string& text) {
        Sheet().GetCell(col, row).SetText(text);
    }
    TColor Fill(int col, int row) { return Sheet().CellBackground(col, row); }

  private:
    FixedTextMeasurer measurer_;
};

// A scale answering in-process: every block the engine writes is fed to the
// virtual scale, whose reply bursts reach the engine `latency` ticks later
// (just before that tick's timer call), one block per burst.
class SimulatedLink : public ILinkPort {
  public:
    explicit SimulatedLink(FakeWindow& window,
                           virtual_scale::VirtualScale scale = virtual_scale::VirtualScale())
        : window_(window),
          scale_(std::move(scale)),
          engine_(*this, window),
          transfers_(engine_, window) {
        window_.engine = &engine_;
    }
    ~SimulatedLink() override { window_.engine = nullptr; }

    // Ticks between a frame and its reply: 2 means the timer sees the frame
    // unanswered once, as a real line at 9600 baud shows it several times.
    int latency = 2;

    void OpenPort() override {}
    void ClosePort() override {}
    bool WriteBlock(std::string_view block) override {
        written.emplace_back(block);
        for (const std::string& body : assembler_.Feed(block)) {
            virtual_scale::ScaleReply reply = scale_.Answer(body);
            for (std::string& burst : reply.bursts)
                pending_.push_back({ticks + latency, std::move(burst)});
        }
        return true;
    }

    void Tick() {
        ++ticks;
        DeliverDue();
        engine_.Timer1Timer();
    }
    // Delivers the replies due by now.
    void DeliverDue() {
        std::vector<Pending> due;
        for (auto it = pending_.begin(); it != pending_.end();) {
            if (it->due <= ticks) {
                due.push_back(std::move(*it));
                it = pending_.erase(it);
            } else {
                ++it;
            }
        }
        for (const Pending& p : due)
            Deliver(p.block);
    }
    void Deliver(const std::string& block) {
        std::string withZero = block + '\0';  // as the serial component delivers it
        engine_.Comm1ReceiveData(withZero.data(), static_cast<uint16_t>(block.size()));
    }
    // Ticks until done() or the limit; true when done.
    bool RunUntil(const std::function<bool()>& done, int maxTicks) {
        for (int i = 0; i < maxTicks; ++i) {
            if (done()) return true;
            Tick();
        }
        return done();
    }
    // Opens the port and ticks until the scale is identified and the link is
    // idle; forgets the window's calls made on the way.
    void Connect() {
        engine_.PortOpened();
        ASSERT_TRUE(RunUntil([&] { return State().Connected; }, 200));
        window_.calls.clear();
    }
    // The frames written since `from`, without STX, CR, ETX.
    std::vector<std::string> Sent(std::size_t from = 0) const {
        std::vector<std::string> bodies;
        for (std::size_t i = from; i < written.size(); ++i)
            bodies.push_back(TrimmedFrame(written[i]));
        return bodies;
    }
    // The frames written since `from` that are not link polls.
    std::vector<std::string> SentTransferFrames(std::size_t from = 0) const {
        std::vector<std::string> bodies;
        for (const std::string& b : Sent(from))
            if (b != "L") bodies.push_back(b);
        return bodies;
    }

    LinkEngine& Engine() { return engine_; }
    LinkState& State() { return engine_.State(); }
    PluTransfers& Transfers() { return transfers_; }
    virtual_scale::VirtualScale& Scale() { return scale_; }

    std::vector<std::string> written;
    int ticks = 0;

  private:
    struct Pending {
        int due = 0;
        std::string block;
    };
    FakeWindow& window_;
    virtual_scale::VirtualScale scale_;
    virtual_scale::FrameAssembler assembler_;
    LinkEngine engine_;
    PluTransfers transfers_;
    std::vector<Pending> pending_;
};

// Pins the en-US regional settings for every test.
class PluTest : public ::testing::Test {
  protected:
    PluTest() : settings_(RegionalSettings::Defaults()) {
        window.LayoutSheet(true);
        window.calls.clear();
    }
    ScopedRegionalSettings settings_;
    FakeWindow window;
};

}  // namespace plu::testing
