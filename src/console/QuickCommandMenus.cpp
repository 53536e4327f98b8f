#include "console/QuickCommandMenus.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

namespace brimhold::console {

QuickCommandMenus::QuickCommandMenus(QWidget* window) : QObject(window) {
    for (const QuickButton& button : CommandMenus::quickButtons()) {
        auto* top = new QMenu(QString(button.menuCaption), window);
        top->setObjectName(QString(button.menuName));
        m_topMenus[static_cast<std::size_t>(button.index)] = buildMenu(button.group, top);
    }
}

QuickCommandMenus::~QuickCommandMenus() = default;

QMenu* QuickCommandMenus::buildMenu(MenuGroup group, QMenu* menu) {
    m_menus[group] = menu;
    std::vector<QAction*>& members = m_items[group];
    const std::vector<MenuItem>& items = CommandMenus::items(group);
    for (int index = 0; index < static_cast<int>(items.size()); ++index) {
        const MenuItem& item = items[static_cast<std::size_t>(index)];
        QAction* action = nullptr;
        if (item.isSeparator()) {
            action = menu->addSeparator();
        } else if (item.action.kind == MenuAction::Kind::OpenSubmenu) {
            auto* submenu = new QMenu(QString(item.caption), menu);
            submenu->setObjectName(QString(CommandMenus::groupName(item.action.submenu)));
            action = menu->addMenu(buildMenu(item.action.submenu, submenu));
        } else {
            action = menu->addAction(QString(item.caption));
            connect(action, &QAction::triggered, this,
                    [this, group, index] { emit itemClicked(group, index); });
        }
        members.push_back(action);
    }
    return menu;
}

QMenu* QuickCommandMenus::topMenu(int buttonIndex) const {
    if (buttonIndex < 0 || buttonIndex >= static_cast<int>(m_topMenus.size())) {
        return nullptr;
    }
    return m_topMenus[static_cast<std::size_t>(buttonIndex)];
}

QMenu* QuickCommandMenus::menu(MenuGroup group) const {
    const auto found = m_menus.find(group);
    return found == m_menus.end() ? nullptr : found->second;
}

QAction* QuickCommandMenus::item(MenuGroup group, int index) const {
    const auto found = m_items.find(group);
    if (found == m_items.end() || index < 0 || index >= static_cast<int>(found->second.size())) {
        return nullptr;
    }
    return found->second[static_cast<std::size_t>(index)];
}

}  // namespace brimhold::console
