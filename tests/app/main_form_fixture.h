// Shared pieces of the main window tests: a shell that records what the
// window asks and answers from a script, a serial line with an in-process
// virtual scale behind it (simulated time: a tick is a call), a temporary
// folder, and a fixture holding a started window.
#pragma once

#include "support/temp_dir.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/main_form.h"
#include "app/scripted_shell.h"
#include "base/exceptions.h"
#include "base/regional_settings.h"
#include "base/text_measurer.h"
#include "plu/plu_sheet.h"
#include "virtual-scale/frame_assembler.h"
#include "virtual-scale/virtual_scale.h"

namespace plu::testing {

// A serial line whose far end is the virtual scale: each frame written is
// answered `latency` ticks later, one received block per burst.
class ScaleLine : public ISerialLine {
  public:
    virtual_scale::VirtualScale scale;
    std::vector<std::string> written;
    bool open = false;
    int ticks = 0;
    int latency = 2;

    void Configure(const LineChoice&) override {}
    void OpenPort() override { open = true; }
    void ClosePort() override { open = false; }
    bool WriteBlock(std::string_view block) override {
        if (!open) return false;
        written.emplace_back(block);
        for (const std::string& body : assembler_.Feed(block))
            for (std::string& burst : scale.Answer(body).bursts)
                pending_.push_back({ticks + latency, std::move(burst)});
        return true;
    }
    // Delivers the replies due by now.
    void DeliverDue() {
        std::vector<std::string> due;
        for (auto it = pending_.begin(); it != pending_.end();) {
            if (it->due <= ticks) {
                due.push_back(std::move(it->block));
                it = pending_.erase(it);
            } else {
                ++it;
            }
        }
        for (std::string& block : due) {
            const std::size_t length = block.size();
            block.push_back('\0');  // as the serial component delivers it
            if (OnReceiveData) OnReceiveData(block.data(), static_cast<uint16_t>(length));
        }
    }

  private:
    struct Pending {
        int due = 0;
        std::string block;
    };
    virtual_scale::FrameAssembler assembler_;
    std::vector<Pending> pending_;
};

inline std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// A window created as at program start (no port opened), en-US settings,
// deterministic text metrics.
class MainFormTest : public ::testing::Test {
  protected:
    MainFormTest() : settings_(RegionalSettings::Defaults()) {
        auto line = std::make_unique<ScaleLine>();
        line_ = line.get();
        form = std::make_unique<MainForm>(shell, std::move(line), &measurer_);
        form->FormCreate();
    }

    // Opens the port and ticks until the scale is identified.
    void Connect() {
        form->Session().OpenFirstPort([](std::vector<std::string>& ports) {
            ports = {"ttyVS0"};
            return true;
        });
        ASSERT_TRUE(RunUntil([&] { return Link().Connected; }, 200));
    }
    bool RunUntil(const std::function<bool()>& done, int maxTicks) {
        for (int i = 0; i < maxTicks && !done(); ++i) {
            ++line_->ticks;
            line_->DeliverDue();
            form->Timer1Timer();
        }
        return done();
    }

    LinkState& Link() { return form->Session().Engine().State(); }
    const UiActions& Actions() const { return form->State().Actions; }
    const WideString& Caption() const { return form->State().Caption; }
    TVexaSheetControl& Control() { return form->SheetControl(); }
    TVexaGridSheet& Active() { return *Control().ActiveSheet(); }
    WideString Text(int col, int row) { return ShownText(Active(), col, row); }
    void Type(int col, int row, WideStringView text) { SetCellText(Active(), col, row, text); }

    ScopedRegionalSettings settings_;
    FixedTextMeasurer measurer_;
    ScriptedShell shell;
    ScaleLine* line_ = nullptr;
    std::unique_ptr<MainForm> form;
    TempDir dir;
};

}  // namespace plu::testing
