// The main window's commands: the menu bar as the window shows it (captions
// with their access keys, shortcuts, the actions' hints) and which commands
// are usable in a given state of the window. The toolkit builds its menus,
// toolbar buttons and shortcuts from this table, so captions and enabling
// have one home.
#pragma once

#include <vector>

#include "app/ui_actions.h"
#include "base/wide_text.h"

namespace plu {

enum class Command {
    FileNew,
    FileOpen,
    FileSave,
    FileSaveAs,
    FileExit,
    EditCut,
    EditCopy,
    EditPaste,
    UpLoad,
    DownLoadStart,
    DownLoadStop,
    Pair,
    SerialSet,
};

// One entry of a menu: a command, or a separator (caption "-").
struct MenuItemSpec {
    const char16_t* caption;
    Command command;
    const char16_t* shortcut = u"";  // "Ctrl+N", "F8"; empty for none
    // Items naming a submenu are shown inside it ("DownLoad" ▸ "Start").
    const char16_t* submenu = u"";
    bool IsSeparator() const { return caption[0] == u'-' && caption[1] == 0; }
};

struct MenuSpec {
    const char16_t* caption;  // "File(&F)"
    std::vector<MenuItemSpec> items;
};

// The menu bar, left to right.
const std::vector<MenuSpec>& MainMenu();

// An action's hint: the short one shows as a tooltip, the long one in the
// status bar. Commands without a hint give two empty strings.
struct CommandHint {
    WideString shortHint, longHint;
};
CommandHint HintOf(Command command);

// Whether the command is usable: its own switch, and the switch of the menu
// (and submenu) holding it.
bool CommandEnabled(const UiActions& actions, Command command);
// Whether a whole menu or submenu is usable, by its caption.
bool MenuEnabled(const UiActions& actions, WideStringView caption);

}  // namespace plu
