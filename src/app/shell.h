// What the main window's logic asks of the toolkit around it: the modal
// boxes and file dialogs, the font boxes of the formatting toolbar, and a
// nudge to repaint when the window's state changed. The Qt window implements
// it; tests script it.
#pragma once

#include <optional>

#include "base/wide_text.h"
#include "plu/plu_host.h"

namespace plu {

// The button that closed a Yes/No/Cancel box (closing the box otherwise is
// Cancel).
enum class DialogAnswer { Yes, No, Cancel };

class IShell {
  public:
    virtual ~IShell() = default;

    // A modal question with the buttons Yes, No and Cancel.
    virtual DialogAnswer AskYesNoCancel(WideStringView text) = 0;

    // The open dialog: the chosen file's full name, or nothing when the user
    // cancelled. filter is in the "Caption|pattern" form ("Excel
    // File(*.xls)|*.xls").
    virtual std::optional<WideString> OpenDialog(WideStringView filter) = 0;
    // The save dialog, proposing initialName (empty for a new sheet): the
    // name as the user confirmed it, or nothing when cancelled. The caller
    // adds the default extension to a name typed without one.
    virtual std::optional<WideString> SaveDialog(WideStringView filter,
                                                 WideStringView initialName) = 0;

    // A modal message box with a title and an icon.
    virtual void ShowMessage(WideStringView title, WideStringView text, MessageIcon icon) = 0;
    // The application's default error display: a message box with the
    // error's text.
    virtual void ShowError(WideStringView text) = 0;

    // The formatting toolbar's font name and font size boxes.
    virtual WideString FontNameBoxText() const = 0;
    virtual void SetFontNameBoxText(WideStringView text) = 0;
    virtual WideString FontSizeBoxText() const = 0;
    virtual void SetFontSizeBoxText(WideStringView text) = 0;

    // The caption, the status panels, the enabled commands or the sheets
    // changed: the window repaints what it shows of them.
    virtual void StateChanged() = 0;
};

}  // namespace plu
