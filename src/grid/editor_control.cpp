#include "grid/editor_control.h"

#include "grid/cell.h"

namespace plu {

bool TKtCellMaskEdit::IsFormula() const {
    const WideString text = Text();
    return !text.empty() && text[0] == u'=';
}

void TKtCellMaskEdit::LoadCell(TKtCell& cell) {
    const WideString text = cell.GetEditText();
    const bool lineBreak = text.find_first_of(u"\r\n") != WideString::npos;
    // The window is re-created only when the kind changes, before the text
    // goes in, so the text is set once in the right kind of control.
    const bool multiLine = lineBreak || cell.IsWordWrap();
    if (multiLine != MultiLine()) SetMultiLine(multiLine);
    SetText(text);
    if (AutoSelect) SetSelection(0, static_cast<int>(text.size()));
}

void TKtCellMaskEdit::SaveCell(TKtCell& cell) {
    cell.SetTextIfEditable(Text());
}

}  // namespace plu
