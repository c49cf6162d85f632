// The clock dialog "Date And Time" of Serial > Pair: a date picker and a
// time picker that tick every second until the user touches them, and
// "Confirm". It shows DateTimeDialog and forwards the user's actions to it;
// closing it in any way builds the clock frame (DateTimeDialog::FormClose,
// which locks the window until the scale answers). Modeless. Created once at
// start-up, after the main window; the pickers keep ticking while hidden.
#pragma once

#include <QDialog>
#include <QTimer>

#include "plu/clock_pairing.h"

class QDateEdit;
class QLabel;
class QPushButton;
class QTimeEdit;

namespace plu {

class TfrmDateTime : public QDialog {
  public:
    // The clock is read and set through `clock` (the machine's in the
    // program, a fake in tests); the frame goes through `pairing`.
    TfrmDateTime(IClock& clock, ClockPairing& pairing, QWidget* parent = nullptr);

    // Serial > Pair: shows the dialog centred on the main window; while it
    // is showing, it is only raised.
    void Show();

    DateTimeDialog& Logic() { return logic_; }
    QDateEdit* dtpDate() const { return dtpDate_; }
    QTimeEdit* dtpTime() const { return dtpTime_; }
    QPushButton* Button1() const { return button1_; }
    // One second; runs exactly while the logic's timer is enabled.
    QTimer& Timer1() { return timer1_; }

  protected:
    // Every way of closing ("Confirm", close box, Escape) ends here.
    void done(int result) override;
    // The time picker's focus-in (dtpTimeEnter).
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The pickers from the logic, without change signals.
    void Sync();
    // Timer1 runs exactly while the logic says it is enabled.
    void FollowTimer();
    void Timer1Timer();
    void Button1Click();

    DateTimeDialog logic_;
    QLabel* label1_;
    QLabel* label3_;
    QDateEdit* dtpDate_;
    QTimeEdit* dtpTime_;
    QPushButton* button1_;
    QTimer timer1_;
};

}  // namespace plu
