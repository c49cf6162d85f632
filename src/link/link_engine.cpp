#include "link/link_engine.h"

#include "link/frame.h"
#include "link/frames.h"
#include "link/identification.h"

namespace plu {

LinkEngine::LinkEngine(ILinkPort& port, ILinkHost& host) : port_(port), host_(host) {}

void LinkEngine::Send(const std::string& frame) {
    // A frame that is not queued gets no reply and runs into the time-out, so
    // the result is not examined.
    port_.WriteBlock(frame);
}

void LinkEngine::Timer1Timer() {
    LinkState& s = state_;
    if (s.Connected) {
        if (s.AwaitingReply) {
            ++s.ReplyTicks;
            if (s.ReplyTicks > kReplyTimeoutTicks) {
                s.ReplyTicks = 0;
                s.LinkTicks = 0;
                s.Connected = false;
                s.AwaitingReply = false;
            }
        }
        // Also right after a loss: the pending frame goes out once more.
        if (!s.AwaitingReply) {
            s.AwaitingReply = true;
            s.FrameInFlight = s.NextFrame;
            Send(s.FrameInFlight);
        }
        return;
    }

    s.ReplyTicks = 0;
    host_.SetStatusText(kLinkPanel, kConnectingText);
    host_.SetTransferMenusEnabled(false);
    host_.UnlockUi();
    ++s.LinkTicks;
    if (s.LinkTicks > kLinkTimeoutTicks) {
        port_.ClosePort();
        host_.SetTimerEnabled(false);
        s.LinkTicks = 0;
        host_.StepPortSettings();
        host_.ApplyAndOpen();
        return;
    }
    s.AwaitingReply = true;
    s.Transferring = false;
    if (s.LinkTicks % kPollEveryTicks == 0) {
        s.NextFrame = LinkPollFrame();
        s.FrameInFlight = s.NextFrame;
        Send(s.FrameInFlight);
    }
}

void LinkEngine::Comm1ReceiveData(const void* Buffer, uint16_t BufferLength) {
    const auto body = RecognizeFrame(Buffer, BufferLength);
    if (!body) return;
    const std::string inFlight = TrimmedFrame(state_.FrameInFlight);
    if (inFlight.empty()) return;
    switch (inFlight[0]) {
        case 'L':
            Identify(*body);
            break;
        case 'T':
            if (handler_) handler_->ClockReply(*body);
            break;
        case 'U':
            if (handler_) handler_->UploadReply(*body);
            break;
        case 'B':
            if (handler_) {
                if (inFlight == "BU")
                    handler_->BeginUploadReply(*body);
                else
                    handler_->HeaderReply(*body);
            }
            break;
        case 'D':
            if (handler_) handler_->DownloadReply(*body);
            break;
        default:
            break;
    }
}

void LinkEngine::Identify(std::string_view body) {
    // Anything else leaves the poll unanswered: the time-out decides.
    if (!IsIdentification(body)) return;
    LinkState& s = state_;
    const ScaleIdentity id = DecodeIdentification(body);
    s.CapacityClass = id.CapacityClass;
    s.ModelName = id.ModelName;
    s.UnitKg = id.UnitKg;
    s.UnitLb = id.UnitLb;
    s.UnitOz = id.UnitOz;
    if (id.Preset55 != s.Preset55) {
        s.Preset55 = id.Preset55;
        host_.UpdateTitle();
        host_.LayoutSheet(true);
    }
    if (!s.Connected) {
        s.Connected = true;
        host_.SetTransferMenusEnabled(true);
        host_.LayoutSheet(true);
    }
    s.AwaitingReply = false;
    s.ReplyTicks = 0;
    host_.SetStatusText(kLinkPanel, kConnectedText);
}

void LinkEngine::PortOpened() {
    LinkState& s = state_;
    s.AwaitingReply = true;
    s.LinkTicks = 0;
    s.NextFrame = LinkPollFrame();
    s.FrameInFlight = s.NextFrame;
    Send(s.FrameInFlight);
}

void LinkEngine::ResetLink() {
    state_.Connected = false;
    state_.LinkTicks = 0;
}

}  // namespace plu
