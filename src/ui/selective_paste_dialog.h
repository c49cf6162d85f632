// The selective paste dialog: the clipboard formats on offer under their
// captions; the user picks one. The choosing and pasting are the
// clipboard module's (TKtGridClipboard::SelectivePaste); this form only
// shows the list. Layout and captions as the form was designed (pixels).
#pragma once

#include <QDialog>

#include "clipboard/grid_clipboard.h"

class QListWidget;
class QLabel;

namespace plu {

class TKtSelectivePasteDailog : public QDialog, public IKtSelectivePasteDialog {
  public:
    explicit TKtSelectivePasteDailog(QWidget* parent = nullptr);

    // Fills the list (nothing selected), shows the dialog modally and
    // answers the selected row when closed with OK, else -1.
    int Execute(const std::vector<WideString>& captions) override;

    QListWidget* List() const { return list_; }
    QLabel* Tip() const { return tip_; }

  private:
    QListWidget* list_;
    QLabel* tip_;
};

}  // namespace plu
