#include "app/commands.h"

namespace plu {

const std::vector<MenuSpec>& MainMenu() {
    static const std::vector<MenuSpec> menu = {
        {u"File(&F)",
         {{u"New", Command::FileNew, u"Ctrl+N"},
          {u"Open...", Command::FileOpen},
          {u"-", Command::FileOpen},
          {u"Save", Command::FileSave, u"Ctrl+S"},
          {u"Save As", Command::FileSaveAs},
          {u"-", Command::FileSaveAs},
          {u"Exit", Command::FileExit}}},
        {u"Edit(&E)",
         {{u"Cut", Command::EditCut, u"Ctrl+X"},
          {u"Copy", Command::EditCopy, u"Ctrl+C"},
          {u"Paste", Command::EditPaste, u"Ctrl+V"}}},
        {u"Serial",
         {{u"UpLoad", Command::UpLoad},
          {u"Start", Command::DownLoadStart, u"F8", u"DownLoad"},
          {u"Stop", Command::DownLoadStop, u"F9", u"DownLoad"},
          {u"Pair", Command::Pair},
          {u"-", Command::Pair},
          {u"Serial Set", Command::SerialSet}}},
    };
    return menu;
}

CommandHint HintOf(Command command) {
    // "Short|Long"; a hint without "|" is both.
    WideStringView hint;
    switch (command) {
        case Command::FileNew: hint = u"New File"; break;
        case Command::FileOpen: hint = u"Open File"; break;
        case Command::FileSave: hint = u"Save File"; break;
        case Command::EditCut: hint = u"Cut|Cuts the selection and puts it on the Clipboard"; break;
        case Command::EditCopy: hint = u"Copy|Copies the selection and puts it on the Clipboard"; break;
        case Command::EditPaste: hint = u"Paste|Inserts Clipboard contents"; break;
        default: return {};
    }
    const std::size_t bar = hint.find(u'|');
    if (bar == WideStringView::npos) return {WideString(hint), WideString(hint)};
    return {WideString(hint.substr(0, bar)), WideString(hint.substr(bar + 1))};
}

bool MenuEnabled(const UiActions& a, WideStringView caption) {
    if (caption == u"Serial") return a.SerialMenu;
    if (caption == u"DownLoad") return a.SerialMenu && a.DownLoad;
    return true;
}

bool CommandEnabled(const UiActions& a, Command command) {
    switch (command) {
        case Command::FileNew: return a.New;
        case Command::FileOpen: return a.Open;
        case Command::FileSave: return a.Save;
        case Command::FileSaveAs: return a.SaveAs;
        case Command::FileExit: return true;
        case Command::EditCut: return a.Cut;
        case Command::EditCopy: return a.Copy;
        case Command::EditPaste: return a.Paste;
        case Command::UpLoad: return a.SerialMenu && a.UpLoad;
        case Command::DownLoadStart: return a.SerialMenu && a.DownLoad && a.Start;
        case Command::DownLoadStop: return a.SerialMenu && a.DownLoad && a.Stop;
        case Command::Pair: return a.SerialMenu && a.Pair;
        case Command::SerialSet: return a.SerialMenu && a.SerialSet;
    }
    return false;
}

}  // namespace plu
