// The port settings dialog "Comm Port": three drop-down lists (port, baud
// rate, data format) and "Open Port". It shows PortSettings and forwards the
// user's choices to it; the rules (remembering and restoring the selections,
// the paused link timer, the reopening) are PortSettings'. Modeless: the main
// window stays usable while it is open.
#pragma once

#include <QDialog>

#include "app/port_settings.h"

class QComboBox;
class QLabel;
class QPushButton;

namespace plu {

class TfrmCommPort : public QDialog {
  public:
    // `lister` reads the machine's serial ports each time the dialog opens.
    TfrmCommPort(PortSettings& settings, PortLister lister, QWidget* parent = nullptr);

    // Serial > Serial Set: the port list is read again, the link timer
    // pauses, the current selections are remembered and the dialog shows,
    // centred on the main window. While it is showing, it is only raised.
    void Show();

    QComboBox* cmbPort() const { return cmbPort_; }
    QComboBox* cmbBaud() const { return cmbBaud_; }
    QComboBox* cmbData() const { return cmbData_; }
    QPushButton* Button1() const { return button1_; }

  protected:
    // Every way of closing (close box, Escape, after "Open Port") ends here:
    // FormClose restores the remembered selections and resumes the timer.
    void done(int result) override;

  private:
    // The lists and their selections from PortSettings (no change signals).
    void Sync();
    void Button1Click();

    PortSettings& settings_;
    PortLister lister_;
    QLabel* label1_;
    QLabel* label3_;
    QLabel* label4_;
    QComboBox* cmbPort_;
    QComboBox* cmbBaud_;
    QComboBox* cmbData_;
    QPushButton* button1_;
};

}  // namespace plu
