#include "ui/comm_port_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>

#include "ui/error_display.h"
#include "ui/small_form.h"

namespace plu {

namespace {

QLabel* MakeLabel(QWidget* form, const QString& text, int top) {
    auto* label = new QLabel(text, form);
    label->setGeometry(16, top, 68, 21);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setAccessibleName(text);
    return label;
}

QComboBox* MakeList(QWidget* form, const char* name, const QString& accessibleName, int top,
                    QLabel* label) {
    auto* list = new QComboBox(form);  // not editable: only the listed items
    list->setObjectName(QLatin1String(name));
    list->setGeometry(88, top, 105, 21);
    list->setAccessibleName(accessibleName);
    label->setBuddy(list);
    return list;
}

void Fill(QComboBox* list, const std::vector<std::string>& items, int selected) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const std::string& item : items)
        list->addItem(QString::fromStdString(item));
    list->setCurrentIndex(selected >= 0 && selected < list->count() ? selected : -1);
}

}  // namespace

TfrmCommPort::TfrmCommPort(PortSettings& settings, PortLister lister, QWidget* parent)
    : QDialog(parent), settings_(settings), lister_(std::move(lister)) {
    setObjectName(QStringLiteral("frmCommPort"));
    StyleSmallForm(*this, QStringLiteral("Comm Port"));
    setModal(false);

    label1_ = MakeLabel(this, QStringLiteral("Port:"), 24);
    cmbPort_ = MakeList(this, "cmbPort", QStringLiteral("Port"), 24, label1_);
    label3_ = MakeLabel(this, QStringLiteral("Baud rate:"), 64);
    cmbBaud_ = MakeList(this, "cmbBaud", QStringLiteral("Baud rate"), 64, label3_);
    label4_ = MakeLabel(this, QStringLiteral("Data:"), 104);
    cmbData_ = MakeList(this, "cmbData", QStringLiteral("Data"), 104, label4_);
    button1_ = new QPushButton(QStringLiteral("Open Port"), this);
    button1_->setObjectName(QStringLiteral("Button1"));
    button1_->setAccessibleName(QStringLiteral("Open Port"));
    button1_->setGeometry(64, 152, 81, 25);

    // The lists' own updates in Sync are silent, so these see the user only.
    connect(cmbPort_, &QComboBox::currentIndexChanged, this,
            [this](int i) { settings_.PortIndex = i; });
    connect(cmbBaud_, &QComboBox::currentIndexChanged, this,
            [this](int i) { settings_.BaudIndex = i; });
    connect(cmbData_, &QComboBox::currentIndexChanged, this,
            [this](int i) { settings_.DataIndex = i; });
    connect(button1_, &QPushButton::clicked, this, [this] { Button1Click(); });
    Sync();
}

void TfrmCommPort::Sync() {
    Fill(cmbPort_, settings_.Ports, settings_.PortIndex);
    Fill(cmbBaud_, settings_.BaudRates, settings_.BaudIndex);
    Fill(cmbData_, settings_.DataFormats, settings_.DataIndex);
}

void TfrmCommPort::Show() {
    if (!settings_.DialogVisible()) {
        GuardUi([&] { settings_.ShowDialog(lister_); });
        Sync();
        CentreOnParent(*this);
    }
    show();
    raise();
    activateWindow();
}

void TfrmCommPort::Button1Click() {
    // An open error goes to the error display and the dialog stays for
    // another choice.
    GuardUi([&] { settings_.OpenPortClick(); });
    if (!settings_.DialogVisible()) accept();
}

void TfrmCommPort::done(int result) {
    if (settings_.DialogVisible()) GuardUi([&] { settings_.FormClose(); });
    Sync();
    QDialog::done(result);
}

}  // namespace plu
