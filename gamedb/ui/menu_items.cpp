#include "gamedb/ui/menu_items.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

QAction* AddMenuItem(TMenuItems& items, QMenu* menu, const char* name, const QString& text) {
    QAction* a = menu->addAction(text);
    a->setObjectName(name);
    items[name] = a;
    return a;
}

QMenu* AddSubMenu(TMenuItems& items, QMenuBar* bar, QMenu* parent, const char* name, const QString& text) {
    QMenu* m = parent ? parent->addMenu(text) : bar->addMenu(text);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    items[name] = m->menuAction();
    return m;
}
