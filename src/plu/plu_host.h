// What the PLU transfers and the sheet layout ask of the main window. The
// window's logic (app/main_form.h) implements it over its shell, plu-tool
// without a window (cli/headless_window.h); tests implement it with a
// recorder. Methods that the link engine's host also has carry the same
// signatures, so one object can serve both.
#pragma once

#include "base/wide_text.h"

namespace plu {

class TKtCustomGrid;

// The icon of a message box.
enum class MessageIcon { Information, Warning };

inline constexpr char16_t kInformationTitle[] = u"Information";
inline constexpr char16_t kWarningTitle[] = u"Warning";

class IPluHost {
  public:
    virtual ~IPluHost() = default;

    // A modal message box; returns when the user has dismissed it.
    virtual void ShowMessage(WideStringView title, WideStringView text, MessageIcon icon) = 0;
    // The application's default error display (a message box with the text of
    // an error nobody else handled).
    virtual void ShowErrorMessage(WideStringView text) = 0;
    // Status bar panels as the link host numbers them (2 is transfer progress).
    virtual void SetStatusText(int panel, WideStringView text) = 0;

    // Disables the file and edit commands and, for a download, UpLoad, Start,
    // Pair and Serial Set (Stop on); otherwise the whole Serial menu.
    virtual void LockUi(bool download) = 0;
    virtual void UnlockUi() = 0;

    // The formatting toolbar's font name and font size boxes.
    virtual WideString FontNameBoxText() const = 0;
    virtual void SetFontNameBoxText(WideStringView text) = 0;
    virtual WideString FontSizeBoxText() const = 0;
    virtual void SetFontSizeBoxText(WideStringView text) = 0;

    // File > New: asks "Save the current form?" (Yes saves and starts a new
    // sheet, No starts one, Cancel keeps the current sheet); in every case the
    // sheet is laid out again with the font boxes reset.
    virtual void NewFile() = 0;
    // Lays the PLU sheet out on the active grid.
    virtual void LayoutSheet(bool resetFontBoxes) = 0;
    // The active worksheet grid; nullptr while sheets are being replaced.
    virtual TKtCustomGrid* Grid() = 0;
};

}  // namespace plu
