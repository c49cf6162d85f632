// The main window's menu bar and command actions, built from the command
// table of src/app: captions with access keys, shortcuts, hints (tooltip and
// status tip), and the enabling that follows the window's state. A triggered
// action reports its command; the window decides what to run.
#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <functional>
#include <map>
#include <vector>

#include "app/commands.h"

namespace plu {

class MainActions {
  public:
    // Fills menuBar; `owner` parents the actions (the window, so that their
    // shortcuts work wherever the focus is in it).
    MainActions(QMenuBar& menuBar, QWidget& owner);

    QAction* Action(Command command) const { return actions_.at(command); }
    // The menu or submenu with this caption ("Serial", "DownLoad").
    QMenu* Menu(const QString& caption) const;

    // Enables every action and menu as the state allows.
    void Sync(const UiActions& actions);

    std::function<void(Command)> OnTriggered;

  private:
    std::map<Command, QAction*> actions_;
    std::vector<std::pair<QString, QMenu*>> menus_;  // plain caption, menu
};

// "File(&F)" shown without the access-key mark: "File(F)".
QString PlainCaption(const QString& caption);

}  // namespace plu
