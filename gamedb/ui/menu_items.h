#pragma once
// The named actions of a window's menus: each menu and item takes its name as object name and is
// kept under it, so that commands, settings and tests find it by that name.
// Interface thread only.

#include <QString>

#include <map>

class QAction;
class QMenu;
class QMenuBar;

using TMenuItems = std::map<QString, QAction*>;

// An item at the end of `menu`.
QAction* AddMenuItem(TMenuItems& items, QMenu* menu, const char* name, const QString& text);
// A menu at the end of `parent`, or of `bar` when parent is null; its action is the one kept.
QMenu* AddSubMenu(TMenuItems& items, QMenuBar* bar, QMenu* parent, const char* name, const QString& text);
