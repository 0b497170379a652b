#pragma once
// Small dialogs as wide as their title needs. A window manager draws a window's title with the
// program's name after it ("To move: — Vantor Quillan 2.0") beside its buttons, and cuts what does
// not fit ("To... .0"); a dialog laid out for its controls alone is often narrower than that.
// Interface thread only.

#include <QString>

class QWidget;

// The title as the window manager shows it: the window's title, then " — " and the application's
// display name (unless the title already ends with it).
QString ShownWindowTitle(const QWidget& window);

// The width `window` needs for its shown title: the text in the title font (bold, as window managers
// draw it) and room for the frame's icon and buttons.
int TitleWidth(const QWidget& window);

// Keeps `window` at least TitleWidth wide from now on: when it is shown, laid out, resized or given
// another title (the language changes) or font. A width the window sets itself (a fixed width, a
// layout's minimum) stays when it is larger.
void FitWidthToTitle(QWidget& window);
