#include "console/CommandMenus.h"
#include "console/QuickCommandMenus.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

using namespace brimhold::console;

Q_DECLARE_METATYPE(MenuGroup)

// The menus built from the vocabulary tables: names, never-shown captions, order, separators as
// members, submenus in their parents' places, and which members report a click.
class QuickCommandMenusTest : public QObject {
    Q_OBJECT

private slots:
    void topMenusAreHiddenNamedAndCaptioned();
    void everyGroupShowsItsTableInOrder();
    void submenusHangUnderTheirParentItems();
    void onlySendingAndAskingItemsReportClicks();
    void indexesOutsideTheGroupsHaveNoItem();
};

void QuickCommandMenusTest::topMenusAreHiddenNamedAndCaptioned() {
    QWidget window;
    QuickCommandMenus menus(&window);
    const char* names[] = {"menuStatus", "menuMaps", "menuPamMode", "menuPunkbuster"};
    const char* captions[] = {"status", "Map options", "pam_mode", "punkbuster"};
    for (int i = 0; i < 4; ++i) {
        QMenu* menu = window.findChild<QMenu*>(names[i]);
        QVERIFY2(menu, names[i]);
        QCOMPARE(menus.topMenu(i), menu);
        QCOMPARE(menu->title(), QString::fromLatin1(captions[i]));
        QVERIFY(!menu->isVisible());
    }
    QVERIFY(!menus.topMenu(-1));
    QVERIFY(!menus.topMenu(4));
}

void QuickCommandMenusTest::everyGroupShowsItsTableInOrder() {
    QWidget window;
    QuickCommandMenus menus(&window);
    for (MenuGroup group :
         {MenuGroup::mnuStatus, MenuGroup::mnuPassword, MenuGroup::mnuGameType, MenuGroup::mnuMaps,
          MenuGroup::mnuMapchange, MenuGroup::mnuPamMode, MenuGroup::mnuPunkbuster}) {
        const std::vector<MenuItem>& items = CommandMenus::items(group);
        const QList<QAction*> shown = menus.menu(group)->actions();
        QCOMPARE(shown.size(), qsizetype(items.size()));
        for (int i = 0; i < int(items.size()); ++i) {
            QCOMPARE(menus.item(group, i), shown[i]);
            QCOMPARE(shown[i]->isSeparator(), items[size_t(i)].isSeparator());
            if (!shown[i]->isSeparator()) {
                QCOMPARE(shown[i]->text(), QString(items[size_t(i)].caption));
            }
            QVERIFY(shown[i]->isEnabled() && !shown[i]->isCheckable() && shown[i]->shortcut().isEmpty());
        }
    }
    // A few rows written out, so that a shift in a table shows here too.
    QCOMPARE(menus.item(MenuGroup::mnuMapchange, 2)->text(), QStringLiteral("Carentan"));
    QVERIFY(menus.item(MenuGroup::mnuMaps, 5)->isSeparator());
    QCOMPARE(menus.item(MenuGroup::mnuPunkbuster, 3)->text(), QStringLiteral("Tempban player"));
    QCOMPARE(menus.item(MenuGroup::mnuPamMode, 7)->text(), QStringLiteral("Strat (Cheats/Unlim nades)"));
}

void QuickCommandMenusTest::submenusHangUnderTheirParentItems() {
    QWidget window;
    QuickCommandMenus menus(&window);
    struct Parent {
        MenuGroup group;
        int index;
        MenuGroup child;
        const char* caption;
    };
    for (const Parent& parent : {Parent{MenuGroup::mnuStatus, 2, MenuGroup::mnuPassword, "Password"},
                                 Parent{MenuGroup::mnuStatus, 3, MenuGroup::mnuGameType, "Gametype"},
                                 Parent{MenuGroup::mnuMaps, 4, MenuGroup::mnuMapchange, "Change map"}}) {
        QAction* item = menus.item(parent.group, parent.index);
        QVERIFY(item->menu());
        QCOMPARE(item->menu(), menus.menu(parent.child));
        QCOMPARE(item->text(), QString::fromLatin1(parent.caption));
        QCOMPARE(item->menu()->objectName(), QString(CommandMenus::groupName(parent.child)));
    }
}

void QuickCommandMenusTest::onlySendingAndAskingItemsReportClicks() {
    QWidget window;
    QuickCommandMenus menus(&window);
    QSignalSpy clicks(&menus, &QuickCommandMenus::itemClicked);
    menus.item(MenuGroup::mnuMapchange, 15)->trigger();
    menus.item(MenuGroup::mnuPunkbuster, 4)->trigger();
    menus.item(MenuGroup::mnuMaps, 4)->trigger();     // "Change map" opens its submenu
    menus.item(MenuGroup::mnuPamMode, 1)->trigger();  // a separator
    QCOMPARE(clicks.size(), 2);
    QCOMPARE(clicks[0][0].value<MenuGroup>(), MenuGroup::mnuMapchange);
    QCOMPARE(clicks[0][1].toInt(), 15);
    QCOMPARE(clicks[1][0].value<MenuGroup>(), MenuGroup::mnuPunkbuster);
    QCOMPARE(clicks[1][1].toInt(), 4);
}

void QuickCommandMenusTest::indexesOutsideTheGroupsHaveNoItem() {
    QWidget window;
    QuickCommandMenus menus(&window);
    QVERIFY(!menus.item(MenuGroup::mnuStatus, -1));
    QVERIFY(!menus.item(MenuGroup::mnuStatus, 4));
    QVERIFY(!menus.item(MenuGroup::mnuMapchange, 16));
}

QTEST_MAIN(QuickCommandMenusTest)
#include "QuickCommandMenusTest.moc"
