// The transfers end to end: the link engine and the serial component against
// the virtual scale on a pseudo-terminal, in real time (the timer ticks every
// 20 ms and the serial component's events are pumped between ticks, as the
// window's event loop does). A full transfer takes about half a minute: each
// exchange waits for the 100 ms of silence that ends a received block.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/comm_line.h"
#include "app/link_session.h"
#include "grid/custom_grid.h"
#include "support/plu_tables.h"
#include "support/processes.h"
#include "support/temp_dir.h"
#include "link/frame.h"
#include "plu/sheet_layout.h"
#include "plu/transfers.h"
#include "plu_test_support.h"
#include "serial/ui_dispatcher.h"
#include "sheets/sheet_control.h"
#include "virtual-scale/plu_table.h"

namespace plu::testing {
namespace {

using namespace std::chrono_literals;
using virtual_scale::PluTable;
using virtual_scale::ScalePlu;

// The serial line with a record of every block written.
class CountingLine : public ISerialLine {
  public:
    explicit CountingLine(IUiDispatcher& dispatcher) : inner_(dispatcher) {
        inner_.OnReceiveData = [this](const void* buffer, uint16_t length) {
            if (OnReceiveData) OnReceiveData(buffer, length);
        };
    }
    void Configure(const LineChoice& choice) override { inner_.Configure(choice); }
    void OpenPort() override { inner_.OpenPort(); }
    void ClosePort() override { inner_.ClosePort(); }
    bool WriteBlock(std::string_view block) override {
        written.emplace_back(block);
        return inner_.WriteBlock(block);
    }
    std::vector<std::string> written;

  private:
    CommLine inner_;
};

// The main window over a real serial component: the session is the link
// engine's host, this object the transfers'.
class PtyWindow : public IPluHost {
  public:
    PtyWindow() : session_(MakeLine()), transfers_(session_.Engine(), *this) {
        control_.OnNewSheet = [this](TVexaSheetControl&, TVexaGridSheet& sheet) {
            sheet.SetMeasurer(&measurer_);
        };
        NewSheet();
        LayoutSheet(true);
        session_.OnLayoutSheet = [this](bool reset) { LayoutSheet(reset); };
        session_.OnError = [this](const LinkError& e) { errors.push_back(e.message); };
    }
    ~PtyWindow() override {
        session_.Stop();
        dispatcher_.Pump();
    }

    void Start(const std::string& device) {
        session_.Start([device](std::vector<std::string>& ports) {
            ports = {device};
            return true;
        });
    }
    bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        auto next = std::chrono::steady_clock::now();
        while (!done()) {
            const auto now = std::chrono::steady_clock::now();
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
    bool Connect(const std::string& device) {
        Start(device);
        return RunUntil([&] { return State().Connected; }, 5s);
    }
    bool Finished(TransferOutcome outcome) { return outcome != TransferOutcome::Running; }

    LinkState& State() { return session_.Engine().State(); }
    LinkSession& Session() { return session_; }
    PluTransfers& Transfers() { return transfers_; }
    TKtCustomGrid& Sheet() { return *control_.ActiveSheet(); }
    // The frames written since `from` that are not link polls.
    std::vector<std::string> TransferFrames(std::size_t from) const {
        std::vector<std::string> bodies;
        for (std::size_t i = from; i < line_->written.size(); ++i) {
            const std::string b = TrimmedFrame(line_->written[i]);
            if (b != "L") bodies.push_back(b);
        }
        return bodies;
    }
    std::size_t Written() const { return line_->written.size(); }

    // IPluHost
    void ShowMessage(WideStringView title, WideStringView text, MessageIcon icon) override {
        messages.push_back({std::u16string(title), std::u16string(text), icon});
    }
    void ShowErrorMessage(WideStringView text) override { errors.emplace_back(text); }
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

    std::vector<ShownMessage> messages;
    std::vector<std::u16string> errors;

  private:
    std::unique_ptr<ISerialLine> MakeLine() {
        auto line = std::make_unique<CountingLine>(dispatcher_);
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
    CountingLine* line_ = nullptr;
    LinkSession session_;
    PluTransfers transfers_;
};

// "12.50" for (1250, 2).
std::u16string Decimal(uint32_t value, int decimals) {
    const uint32_t scale = decimals == 2 ? 100 : 1000;
    std::u16string fraction = IntToWide(value % scale);
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), u'0');
    return IntToWide(value / scale) + u"." + fraction;
}

// Writes the table into the sheet as an operator would type it.
void FillSheet(TKtCustomGrid& g, const PluTable& t) {
    SetCellText(g, kColBusiness, kBusinessNameRow, Latin1(t.businessName));
    SetCellText(g, kColBusiness, kSecondLineRow, Latin1(t.secondLine));
    const char16_t* units[] = {u"kg", u"lb", u"oz"};
    for (int n = 1; n <= 265; ++n) {
        const ScalePlu& p = t.plus[static_cast<std::size_t>(n - 1)];
        const int row = n + 3;
        SetCellText(g, kColName, row, Latin1(p.name));
        SetCellText(g, kColIngredients, row, Latin1(p.ingredients));
        SetCellText(g, kColLife, row, IntToWide(p.life));
        SetCellText(g, kColUnit, row, units[p.unitDigit]);
        SetCellText(g, kColPrice, row, Decimal(p.unitPrice, 2));
        SetCellText(g, kColTare, row, Decimal(p.tare, p.unitDigit == 2 ? 2 : 3));
        SetCellText(g, kColItemCode, row, IntToWide(p.itemCode));
    }
}

// Every text the sheet shows in the table's area.
std::vector<std::u16string> SheetTexts(const TKtCustomGrid& g) {
    std::vector<std::u16string> texts;
    for (int row = 1; row <= kLastRow; ++row)
        for (int col = 1; col <= kColItemCode; ++col)
            texts.push_back(ShownText(g, col, row));
    return texts;
}

void ExpectSheetHolds(const TKtCustomGrid& g, const PluTable& t) {
    EXPECT_EQ(ShownText(g, kColBusiness, kBusinessNameRow), Latin1(t.businessName));
    EXPECT_EQ(ShownText(g, kColBusiness, kSecondLineRow), Latin1(t.secondLine));
    const char16_t* units[] = {u"kg", u"lb", u"oz"};
    for (int n = 1; n <= 265; ++n) {
        SCOPED_TRACE(n);
        const ScalePlu& p = t.plus[static_cast<std::size_t>(n - 1)];
        const int row = n + 3;
        TKtCustomGrid& grid = const_cast<TKtCustomGrid&>(g);
        EXPECT_EQ(ShownText(g, kColName, row), Latin1(p.name));
        EXPECT_EQ(ShownText(g, kColIngredients, row), Latin1(p.ingredients));
        EXPECT_EQ(ShownText(g, kColLife, row), IntToWide(p.life));
        EXPECT_EQ(ShownText(g, kColUnit, row), units[p.unitDigit]);
        EXPECT_DOUBLE_EQ(grid.GetCell(kColPrice, row).GetAsFloat(), p.unitPrice / 100.0);
        EXPECT_DOUBLE_EQ(grid.GetCell(kColTare, row).GetAsFloat(),
                         p.tare / (p.unitDigit == 2 ? 100.0 : 1000.0));
        EXPECT_DOUBLE_EQ(grid.GetCell(kColItemCode, row).GetAsFloat(), p.itemCode);
    }
}

class PtyTransfers : public ::testing::Test {
  protected:
    PtyTransfers() : settings_(RegionalSettings::Defaults()) {}
    ScopedRegionalSettings settings_;
    TempDir dir;
};

TEST_F(PtyTransfers, FullDownloadSends267FramesAndTheScaleHoldsExactlyTheTable) {
    VirtualScaleProcess scale({"--empty", "--save", dir / "saved.tsv"});
    PtyWindow w;
    ASSERT_TRUE(w.Connect(scale.Device()));
    const PluTable table = FullTable();
    FillSheet(w.Sheet(), table);
    const std::size_t from = w.Written();
    PluDownload& d = w.Transfers().Download();
    d.menuStartClick();
    ASSERT_EQ(d.Outcome(), TransferOutcome::Running);
    EXPECT_FALSE(w.Session().State().Actions.New);
    EXPECT_TRUE(w.Session().State().Actions.Stop);
    ASSERT_TRUE(w.RunUntil([&] { return w.Finished(d.Outcome()); }, 90s));
    EXPECT_EQ(d.Outcome(), TransferOutcome::Succeeded);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].text, u"Download successful.");
    EXPECT_EQ(w.TransferFrames(from).size(), 267u);
    EXPECT_TRUE(w.Session().State().Actions.New);
    EXPECT_TRUE(w.Session().State().Actions.UpLoad);
    // The scale saves its table after the end frame.
    ASSERT_TRUE(w.RunUntil([&] { return std::filesystem::exists(dir / "saved.tsv"); }, 2s));
    const PluTable saved = virtual_scale::LoadPluTable(dir / "saved.tsv");
    EXPECT_EQ(saved.businessName, table.businessName);
    EXPECT_EQ(saved.secondLine, table.secondLine);
    for (std::size_t i = 0; i < table.plus.size(); ++i) {
        const ScalePlu& a = saved.plus[i];
        const ScalePlu& b = table.plus[i];
        EXPECT_TRUE(a == b) << "PLU " << i + 1 << ": " << a.name << "|" << a.ingredients << "|"
                            << a.life << "|" << a.unitDigit << "|" << a.unitPrice << "|" << a.tare
                            << "|" << a.itemCode << " instead of " << b.name << "|" << b.ingredients
                            << "|" << b.life << "|" << b.unitDigit << "|" << b.unitPrice << "|"
                            << b.tare << "|" << b.itemCode;
    }
}

TEST_F(PtyTransfers, FullUploadWithDamagedRecordsReproducesTheTable) {
    const PluTable table = FullTable();
    virtual_scale::SavePluTable(table, dir / "table.tsv");
    VirtualScaleProcess scale({"--table", dir / "table.tsv", "--fault", "checksum:2:U"});
    PtyWindow w;
    ASSERT_TRUE(w.Connect(scale.Device()));
    SetCellText(w.Sheet(), kColName, 4, u"OLD SHEET");
    const std::size_t from = w.Written();
    PluUpload& u = w.Transfers().Upload();
    u.menuUpLoadClick();
    EXPECT_FALSE(w.Session().State().Actions.SerialMenu);
    ASSERT_TRUE(w.RunUntil([&] { return w.Finished(u.Outcome()); }, 90s));
    EXPECT_EQ(u.Outcome(), TransferOutcome::Succeeded);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].text, u"Upload successful.");
    EXPECT_TRUE(w.errors.empty());
    const std::vector<std::string> sent = w.TransferFrames(from);
    ASSERT_GE(sent.size(), 4u);
    EXPECT_EQ(sent[0], "BU");
    EXPECT_EQ(sent[1], "U");
    EXPECT_EQ(sent[2], "UA");  // the first record arrived damaged twice
    EXPECT_EQ(sent[3], "UA");
    EXPECT_EQ(sent.size(), 1u + 266u + 2u);
    ExpectSheetHolds(w.Sheet(), table);
}

TEST_F(PtyTransfers, PairingSetsTheScaleClockToTheTimeSent) {
    VirtualScaleProcess scale({"--clock-file", dir / "clock.txt", "--fault", "reject:2:T"});
    PtyWindow w;
    ASSERT_TRUE(w.Connect(scale.Device()));
    const std::size_t from = w.Written();
    ClockPairing& p = w.Transfers().Pairing();
    p.SendClock(EncodeDate(2031, 12, 24) + EncodeTime(18, 30, 5, 0));
    ASSERT_TRUE(w.RunUntil([&] { return w.Finished(p.Outcome()); }, 10s));
    EXPECT_EQ(p.Outcome(), TransferOutcome::Succeeded);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].text, u"Pair successful.");
    EXPECT_EQ(w.TransferFrames(from).size(), 3u);  // two "TA" answers, then "T"
    std::ifstream in(dir / "clock.txt");
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "2031-12-24 18:30:05");
}

TEST_F(PtyTransfers, RejectionsRepeatFramesAndStopEndsTheDownloadEarly) {
    VirtualScaleProcess scale({"--empty", "--save", dir / "saved.tsv", "--fault", "reject:3:BD",
                               "--fault", "reject:4:D"});
    PtyWindow w;
    ASSERT_TRUE(w.Connect(scale.Device()));
    const PluTable table = FullTable();
    FillSheet(w.Sheet(), table);
    const std::vector<std::u16string> before = SheetTexts(w.Sheet());
    const std::size_t from = w.Written();
    PluDownload& d = w.Transfers().Download();
    d.menuStartClick();
    ASSERT_TRUE(w.RunUntil([&] { return d.RecordNo >= 3; }, 20s));
    d.menuStopClick();
    ASSERT_TRUE(w.RunUntil([&] { return w.Finished(d.Outcome()); }, 10s));
    EXPECT_EQ(d.Outcome(), TransferOutcome::Stopped);
    ASSERT_EQ(w.messages.size(), 1u);
    EXPECT_EQ(w.messages[0].text, u"Stop downloading!");
    const std::vector<std::string> sent = w.TransferFrames(from);
    ASSERT_EQ(sent.size(), 4u + 5u + 1u + 1u + 1u);  // header 4x, record 1 5x, records 2-3, end
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(sent[static_cast<std::size_t>(i)].substr(0, 2), "BD");
    for (int i = 4; i < 9; ++i)
        EXPECT_EQ(sent[static_cast<std::size_t>(i)].substr(0, 4), "D000");
    EXPECT_EQ(sent.back(), "DE");
    EXPECT_EQ(SheetTexts(w.Sheet()), before);
    ASSERT_TRUE(w.RunUntil([&] { return std::filesystem::exists(dir / "saved.tsv"); }, 2s));
    const PluTable saved = virtual_scale::LoadPluTable(dir / "saved.tsv");
    EXPECT_EQ(saved.plus[2], table.plus[2]);
    EXPECT_TRUE(saved.plus[3].empty);
}

TEST_F(PtyTransfers, AScaleFallingSilentAbandonsTheDownloadAndTheSheetStays) {
    VirtualScaleProcess scale({"--empty", "--fault", "silent:all:D0"});
    PtyWindow w;
    ASSERT_TRUE(w.Connect(scale.Device()));
    FillSheet(w.Sheet(), FullTable());
    const std::vector<std::u16string> before = SheetTexts(w.Sheet());
    PluDownload& d = w.Transfers().Download();
    const auto start = std::chrono::steady_clock::now();
    d.menuStartClick();
    ASSERT_TRUE(w.RunUntil([&] { return w.Finished(d.Outcome()); }, 10s));
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(d.Outcome(), TransferOutcome::Abandoned);
    EXPECT_GT(seconds, 1.0);  // 51 ticks without an answer
    EXPECT_LT(seconds, 3.0);
    ASSERT_TRUE(w.RunUntil(
        [&] { return w.Session().State().StatusText[kLinkPanel] == u"Connecting the scale."; },
        1s));
    EXPECT_TRUE(w.messages.empty());
    EXPECT_TRUE(w.Session().State().Actions.New);
    EXPECT_FALSE(w.State().Transferring);
    EXPECT_EQ(SheetTexts(w.Sheet()), before);
    // The scale answers polls again: the link comes back, the download does not.
    ASSERT_TRUE(w.RunUntil([&] { return w.State().Connected; }, 5s));
    EXPECT_EQ(d.Outcome(), TransferOutcome::Abandoned);
}

TEST_F(PtyTransfers, AScaleFallingSilentDuringAnUploadKeepsWhatArrived) {
    virtual_scale::SavePluTable(FullTable(), dir / "table.tsv");
    VirtualScaleProcess scale({"--table", dir / "table.tsv", "--fault", "silent:all:U"});
    PtyWindow w;
    ASSERT_TRUE(w.Connect(scale.Device()));
    PluUpload& u = w.Transfers().Upload();
    u.menuUpLoadClick();
    ASSERT_TRUE(w.RunUntil([&] { return w.Finished(u.Outcome()); }, 10s));
    EXPECT_EQ(u.Outcome(), TransferOutcome::Abandoned);
    EXPECT_TRUE(w.messages.empty());
    EXPECT_EQ(ShownText(w.Sheet(), kColBusiness, kBusinessNameRow), u"CORNER SHOP");
    ASSERT_TRUE(w.RunUntil([&] { return w.Session().State().Actions.SerialMenu; }, 1s));
}

}  // namespace
}  // namespace plu::testing
