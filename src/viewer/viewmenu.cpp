// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "viewmenu.h"

#include <QAction>
#include <QIcon>
#include <QWidget>

QAction *addMenuAction(QWidget *view, QObject *owner, const QString &text, const QString &icon,
                       const QList<QKeySequence> &keys)
{
    auto *action = new QAction(QIcon::fromTheme(icon), text, owner);
    action->setShortcuts(keys);
    action->setShortcutVisibleInContextMenu(true);
    view->addAction(action);
    return action;
}

void addMenuSeparator(QWidget *view, QObject *owner)
{
    auto *separator = new QAction(owner);
    separator->setSeparator(true);
    view->addAction(separator);
}
