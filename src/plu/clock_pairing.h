// Pair: the scale's clock is set from the computer's. The date/time dialog
// shows the computer's date and time ticking; the user may change them and
// press "Confirm" to set the computer's clock first. Whenever the dialog
// closes, the computer's clock is read and sent in the clock frame; the
// scale's "T" completes the pairing with "Pair successful.".
#pragma once

#include <string>
#include <string_view>

#include "base/date_time.h"
#include "link/link_state.h"
#include "plu/clock.h"
#include "plu/plu_host.h"
#include "plu/transfer_outcome.h"

namespace plu {

inline constexpr char16_t kPairSuccessfulText[] = u"Pair successful.";

// The clock frame and the scale's answer to it.
class ClockPairing {
  public:
    ClockPairing(LinkState& state, IPluHost& host);
    ClockPairing(const ClockPairing&) = delete;
    ClockPairing& operator=(const ClockPairing&) = delete;

    // Locks the window as for an upload and queues the clock frame for `when`
    // (the frame then stays the same until the scale answers "T").
    void SendClock(TDateTime when);
    // Any answer restarts the reply time-out; only "T" ends the pairing.
    void ClockReply(std::string_view body);

    TransferOutcome Outcome();

  private:
    LinkState& state_;
    IPluHost& host_;
    TransferOutcome outcome_ = TransferOutcome::None;
};

// The logic of the date/time dialog ("Date And Time"): two pickers that a
// one-second timer keeps at the current date and time until the user touches
// them. The shell shows it and forwards the user's actions; headless callers
// can use ClockPairing::SendClock directly.
class DateTimeDialog {
  public:
    DateTimeDialog(IClock& clock, ClockPairing& pairing);

    // Once, at program start: the timer runs, both pickers show the clock.
    void FormCreate();
    // Serial > Pair: shows the dialog (the main window stays usable).
    void menuPairClick() { Visible = true; }
    // The one-second timer (does nothing while the timer is disabled).
    void Timer1Timer();
    // The user changed the date picker to `date`.
    void dtpDateChange(TDateTime date);
    // The time picker receives the focus: the ticking stops.
    void dtpTimeEnter();
    // The user changed the time picker (while it has the focus).
    void SetTime(TDateTime time) { Time = time; }
    // "Confirm": sets the computer's clock when the pickers were changed
    // (silently nothing when refused), then closes.
    void Button1Click();
    // Every way of closing: the clock frame is built from the computer's
    // clock read now, the timer runs again, the edit flag is cleared.
    void FormClose();

    TDateTime Date = 0;  // the date picker (its whole-day part counts)
    TDateTime Time = 0;  // the time picker (its time-of-day part counts)
    bool TimeEdited = false;
    bool Timer1Enabled = false;
    bool Visible = false;

  private:
    IClock& clock_;
    ClockPairing& pairing_;
};

}  // namespace plu
