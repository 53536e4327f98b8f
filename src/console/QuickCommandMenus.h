#pragma once

#include "console/CommandMenus.h"

#include <QObject>

#include <array>
#include <map>
#include <vector>

class QAction;
class QMenu;
class QWidget;

namespace brimhold::console {

// The console's command menus as widgets, built from the CommandMenus tables: one hidden top-level
// menu per quick button (named after it, e.g. "menuStatus", titled with its never-shown caption) and
// one submenu per nested group (named after the group, e.g. "mnuPassword"). Every member of a group is
// one action, in the group's order: separators and submenu parents included, so an action's position
// is the item's index. Picking an item that sends or asks emits itemClicked; separators and submenu
// parents emit nothing.
class QuickCommandMenus final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QuickCommandMenus)

public:
    // The menus become children of `window`, which must outlive this object.
    explicit QuickCommandMenus(QWidget* window);
    ~QuickCommandMenus() override;

    // The menu that quick button `buttonIndex` opens; null for an index outside 0..3.
    QMenu* topMenu(int buttonIndex) const;
    // The menu that shows the members of `group`.
    QMenu* menu(MenuGroup group) const;
    // Member `index` of `group`; null for an index outside the group.
    QAction* item(MenuGroup group, int index) const;

signals:
    void itemClicked(MenuGroup group, int index);

private:
    QMenu* buildMenu(MenuGroup group, QMenu* menu);

    std::array<QMenu*, 4> m_topMenus{};
    std::map<MenuGroup, QMenu*> m_menus;
    std::map<MenuGroup, std::vector<QAction*>> m_items;
};

}  // namespace brimhold::console
