// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef VIEWMENU_H
#define VIEWMENU_H

#include <QKeySequence>
#include <QList>

class QAction;
class QObject;
class QString;
class QWidget;

// An action of the view's menu, which a right click, the Menu key or
// Shift+F10 opens, owned by `owner`, with an icon from the desktop's theme.
// Its keys answer in the whole window.
QAction *addMenuAction(QWidget *view, QObject *owner, const QString &text, const QString &icon,
                       const QList<QKeySequence> &keys);

// A line between the actions before it and those after
void addMenuSeparator(QWidget *view, QObject *owner);

#endif // VIEWMENU_H
