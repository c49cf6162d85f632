#include "plu/clock_pairing.h"

#include <cmath>

#include "link/frames.h"
#include "link/link_host.h"

namespace plu {

ClockPairing::ClockPairing(LinkState& state, IPluHost& host) : state_(state), host_(host) {}

TransferOutcome ClockPairing::Outcome() {
    if (outcome_ == TransferOutcome::Running && !state_.Connected)
        outcome_ = TransferOutcome::Abandoned;
    return outcome_;
}

void ClockPairing::SendClock(TDateTime when) {
    host_.LockUi(false);
    // Date and time come from one reading: two readings straddling midnight
    // would send the old date with the new day's time.
    state_.NextFrame = ClockFrame(when);
    outcome_ = TransferOutcome::Running;
}

void ClockPairing::ClockReply(std::string_view body) {
    state_.AwaitingReply = false;
    state_.ReplyTicks = 0;
    if (body != "T") return;  // the same clock frame goes out again
    state_.NextFrame = LinkPollFrame();
    outcome_ = TransferOutcome::Succeeded;
    host_.ShowMessage(kInformationTitle, kPairSuccessfulText, MessageIcon::Information);
    host_.UnlockUi();
}

DateTimeDialog::DateTimeDialog(IClock& clock, ClockPairing& pairing)
    : clock_(clock), pairing_(pairing) {}

void DateTimeDialog::FormCreate() {
    Timer1Enabled = true;
    Date = Time = clock_.Now();
}

void DateTimeDialog::Timer1Timer() {
    if (!Timer1Enabled) return;
    Date = Time = clock_.Now();
}

void DateTimeDialog::dtpDateChange(TDateTime date) {
    Date = date;
    TimeEdited = true;
    Timer1Enabled = false;
}

void DateTimeDialog::dtpTimeEnter() {
    if (!Timer1Enabled) return;
    Timer1Enabled = false;
    TimeEdited = true;
}

void DateTimeDialog::Button1Click() {
    if (TimeEdited) {
        // Before 1899-12-30 the runtime counts the time of day backwards.
        const double day = std::trunc(Date);
        const double timeOfDay = std::fabs(Time - std::trunc(Time));
        clock_.SetLocalTime(day < 0 ? day - timeOfDay : day + timeOfDay);  // refusal: silent
    }
    FormClose();
}

void DateTimeDialog::FormClose() {
    Visible = false;
    Timer1Enabled = false;
    pairing_.SendClock(clock_.Now());
    Timer1Enabled = true;
    TimeEdited = false;
}

}  // namespace plu
