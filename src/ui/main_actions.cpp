#include "ui/main_actions.h"

#include "ui/qt_convert.h"

namespace plu {

QString PlainCaption(const QString& caption) {
    QString plain = caption;
    return plain.remove(QLatin1Char('&'));
}

MainActions::MainActions(QMenuBar& menuBar, QWidget& owner) {
    for (const MenuSpec& spec : MainMenu()) {
        QMenu* menu = menuBar.addMenu(ToQt(spec.caption));
        menu->setAccessibleName(PlainCaption(ToQt(spec.caption)));
        menus_.emplace_back(PlainCaption(ToQt(spec.caption)), menu);
        QMenu* submenu = nullptr;
        QString submenuCaption;
        for (const MenuItemSpec& item : spec.items) {
            if (item.IsSeparator()) {
                menu->addSeparator();
                continue;
            }
            QMenu* target = menu;
            if (item.submenu[0] != 0) {
                const QString caption = ToQt(item.submenu);
                if (!submenu || submenuCaption != caption) {
                    submenu = menu->addMenu(caption);
                    submenu->setAccessibleName(caption);
                    submenuCaption = caption;
                    menus_.emplace_back(caption, submenu);
                }
                target = submenu;
            }
            auto* action = new QAction(ToQt(item.caption), &owner);
            const CommandHint hint = HintOf(item.command);
            if (!hint.shortHint.empty()) action->setToolTip(ToQt(hint.shortHint));
            if (!hint.longHint.empty()) action->setStatusTip(ToQt(hint.longHint));
            if (item.shortcut[0] != 0) action->setShortcut(QKeySequence(ToQt(item.shortcut)));
            action->setShortcutContext(Qt::WindowShortcut);
            owner.addAction(action);
            target->addAction(action);
            const Command command = item.command;
            // Queued: a command may open a modal box or dialog, which must not
            // run inside the menu's event handling or inside an assistive
            // tool's request (it would hold the tool's call until it closes).
            QObject::connect(
                action, &QAction::triggered, &owner,
                [this, command] {
                    if (OnTriggered) OnTriggered(command);
                },
                Qt::QueuedConnection);
            actions_[command] = action;
        }
    }
}

QMenu* MainActions::Menu(const QString& caption) const {
    for (const auto& [name, menu] : menus_)
        if (name == caption) return menu;
    return nullptr;
}

void MainActions::Sync(const UiActions& state) {
    for (const auto& [command, action] : actions_) action->setEnabled(CommandEnabled(state, command));
    for (const auto& [name, menu] : menus_)
        menu->menuAction()->setEnabled(MenuEnabled(state, FromQt(name)));
}

}  // namespace plu
