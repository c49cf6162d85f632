#include "app/link_session.h"

#include <exception>

#include "app/window_title.h"
#include "base/exceptions.h"
#include "serial/comm.h"

namespace plu {

LinkSession::LinkSession(std::unique_ptr<ISerialLine> line)
    : line_(std::move(line)), engine_(*line_, *this), ports_(*line_, engine_, *this) {
    // Received blocks arrive from the toolkit's event loop: whatever handling
    // a reply raises (a transfer writing into the sheet, a save asked for by
    // it) goes to the error display, and the link goes on.
    line_->OnReceiveData = [this](const void* buffer, uint16_t length) {
        try {
            engine_.Comm1ReceiveData(buffer, length);
        } catch (const Exception& e) {
            ReportError({e.Message()});
        } catch (const std::exception& e) {
            ReportError({Utf8ToWide(e.what())});
        }
    };
}

LinkSession::~LinkSession() {
    line_->OnReceiveData = nullptr;
    line_->ClosePort();
}

void LinkSession::Changed() {
    if (OnChange) OnChange();
}

void LinkSession::ReportError(const LinkError& error) {
    if (OnError) OnError(error);
}

void LinkSession::Start(const PortLister& lister, const std::vector<std::string>& first) {
    LinkState& s = engine_.State();
    s.Preset55 = false;
    s.ModelName = u"VARDEN-15kg";
    state_.FileName.clear();
    UpdateTitle();
    LayoutSheet(true);
    DisableTransferCommands();
    OpenFirstPort(lister, first);
}

void LinkSession::DisableTransferCommands() {
    state_.Actions.FormCreate();
    Changed();
}

void LinkSession::OpenFirstPort(const PortLister& lister, const std::vector<std::string>& first) {
    try {
        ports_.FormCreate(lister, first);
    } catch (const ECommsError& e) {
        ReportError({e.Message(), e.SystemError()});
    } catch (const Exception& e) {
        ReportError({e.Message()});
    } catch (const std::exception& e) {
        ReportError({Utf8ToWide(e.what())});
    }
}

void LinkSession::Tick() {
    if (!timerEnabled_) return;
    try {
        engine_.Timer1Timer();
    } catch (const ECommsError& e) {
        ReportError({e.Message(), e.SystemError()});
    } catch (const Exception& e) {
        ReportError({e.Message()});
    } catch (const std::exception& e) {
        ReportError({Utf8ToWide(e.what())});
    }
}

void LinkSession::Stop() {
    timerEnabled_ = false;
    line_->ClosePort();
}

void LinkSession::SetFileName(WideStringView fileName) { state_.FileName = WideString(fileName); }

void LinkSession::SetStatusText(int panel, WideStringView text) {
    if (panel < 0 || panel >= static_cast<int>(state_.StatusText.size())) return;
    WideString& slot = state_.StatusText[static_cast<std::size_t>(panel)];
    if (slot == text) return;
    slot = WideString(text);
    Changed();
}

void LinkSession::SetTransferMenusEnabled(bool enabled) {
    const UiActions before = state_.Actions;
    state_.Actions.SetTransferMenus(enabled);
    if (!(before == state_.Actions)) Changed();
}

void LinkSession::UnlockUi() {
    const UiActions before = state_.Actions;
    state_.Actions.UnlockUi(engine_.State().Connected);
    if (!(before == state_.Actions)) Changed();
}

void LinkSession::LockUi(bool download) {
    state_.Actions.LockUi(download);
    Changed();
}

void LinkSession::UpdateTitle() {
    const LinkState& s = engine_.State();
    const WideString caption = WindowTitle(s.ModelName, s.Preset55, state_.FileName);
    if (caption == state_.Caption) return;
    state_.Caption = caption;
    Changed();
}

void LinkSession::LayoutSheet(bool resetFontBoxes) {
    if (OnLayoutSheet) OnLayoutSheet(resetFontBoxes);
}

void LinkSession::SetTimerEnabled(bool enabled) { timerEnabled_ = enabled; }

void LinkSession::StepPortSettings() { ports_.StepSelections(); }

void LinkSession::ApplyAndOpen() { ports_.ApplyAndOpen(); }

}  // namespace plu
