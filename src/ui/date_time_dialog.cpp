#include "ui/date_time_dialog.h"

#include <QDateEdit>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimeEdit>

#include "base/date_time.h"
#include "ui/error_display.h"
#include "ui/small_form.h"

namespace plu {

namespace {

constexpr int kTimer1Interval = 1000;  // ms

QDate ToQDate(TDateTime value) {
    const DateParts d = DecodeDate(value);
    return QDate(d.year, d.month, d.day);
}

QTime ToQTime(TDateTime value) {
    const TimeParts t = DecodeTime(value);
    return QTime(t.hour, t.minute, t.second);
}

TDateTime FromQDate(const QDate& date) {
    TDateTime out = 0;
    TryEncodeDate(date.year(), date.month(), date.day(), out);
    return out;
}

TDateTime FromQTime(const QTime& time) {
    TDateTime out = 0;
    TryEncodeTime(time.hour(), time.minute(), time.second(), 0, out);
    return out;
}

QLabel* MakeLabel(QWidget* form, const QString& text, int top) {
    auto* label = new QLabel(text, form);
    label->setGeometry(16, top, 56, 21);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setAccessibleName(text);
    return label;
}

}  // namespace

TfrmDateTime::TfrmDateTime(IClock& clock, ClockPairing& pairing, QWidget* parent)
    : QDialog(parent), logic_(clock, pairing) {
    setObjectName(QStringLiteral("frmDateTime"));
    StyleSmallForm(*this, QStringLiteral("Date And Time"));
    setModal(false);

    // Created in tab order: the date picker takes the focus when the dialog
    // shows, so showing it never counts as entering the time picker.
    label1_ = MakeLabel(this, QStringLiteral("Date:"), 32);
    dtpDate_ = new QDateEdit(this);
    dtpDate_->setObjectName(QStringLiteral("dtpDate"));
    dtpDate_->setAccessibleName(QStringLiteral("Date"));
    dtpDate_->setCalendarPopup(true);
    dtpDate_->setGeometry(80, 32, 113, 21);
    label1_->setBuddy(dtpDate_);

    label3_ = MakeLabel(this, QStringLiteral("Time:"), 80);
    dtpTime_ = new QTimeEdit(this);
    dtpTime_->setObjectName(QStringLiteral("dtpTime"));
    dtpTime_->setAccessibleName(QStringLiteral("Time"));
    dtpTime_->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    dtpTime_->setGeometry(80, 80, 113, 21);
    dtpTime_->installEventFilter(this);
    label3_->setBuddy(dtpTime_);

    button1_ = new QPushButton(QStringLiteral("Confirm"), this);
    button1_->setObjectName(QStringLiteral("Button1"));
    button1_->setAccessibleName(QStringLiteral("Confirm"));
    button1_->setGeometry(64, 144, 81, 25);
    button1_->setAutoDefault(false);

    // Sync blocks the pickers' signals, so these see the user's changes only.
    connect(dtpDate_, &QDateEdit::dateChanged, this, [this](const QDate& date) {
        logic_.dtpDateChange(FromQDate(date));
        FollowTimer();
    });
    connect(dtpTime_, &QTimeEdit::timeChanged, this,
            [this](const QTime& time) { logic_.SetTime(FromQTime(time)); });
    connect(button1_, &QPushButton::clicked, this, [this] { Button1Click(); });

    timer1_.setInterval(kTimer1Interval);
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1Timer(); });

    GuardUi([&] { logic_.FormCreate(); });
    Sync();
    FollowTimer();
}

void TfrmDateTime::Sync() {
    const QSignalBlocker quietDate(dtpDate_);
    const QSignalBlocker quietTime(dtpTime_);
    const QDate date = ToQDate(logic_.Date);
    if (dtpDate_->date() != date) dtpDate_->setDate(date);
    const QTime time = ToQTime(logic_.Time);
    if (dtpTime_->time() != time) dtpTime_->setTime(time);
}

void TfrmDateTime::FollowTimer() {
    if (logic_.Timer1Enabled && !timer1_.isActive()) timer1_.start();
    if (!logic_.Timer1Enabled && timer1_.isActive()) timer1_.stop();
}

void TfrmDateTime::Timer1Timer() {
    GuardUi([&] { logic_.Timer1Timer(); });
    Sync();
    FollowTimer();
}

void TfrmDateTime::Show() {
    if (!logic_.Visible) {
        logic_.menuPairClick();
        Sync();
        dtpDate_->setFocus();
        CentreOnParent(*this);
    }
    show();
    raise();
    activateWindow();
}

bool TfrmDateTime::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dtpTime_ && event->type() == QEvent::FocusIn && logic_.Visible) {
        logic_.dtpTimeEnter();
        FollowTimer();
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmDateTime::Button1Click() {
    GuardUi([&] { logic_.Button1Click(); });
    FollowTimer();
    accept();
}

void TfrmDateTime::done(int result) {
    // "Confirm" has closed the logic already; the close box and Escape have not.
    if (logic_.Visible) GuardUi([&] { logic_.FormClose(); });
    FollowTimer();
    QDialog::done(result);
}

}  // namespace plu
