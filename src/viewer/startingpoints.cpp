// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "startingpoints.h"
#include "examplesdialog.h"
#include "treeactions.h"
#include "treehistory.h"
#include "treeview.h"
#include "viewmenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>

StartingPoints::StartingPoints(TreeView *view, TreeHistory *history, TreeActions *actions)
    : QObject(view)
    , view(view)
    , history(history)
    , actions(actions)
    , dice(freshSeed())
{
    addMenuSeparator(view, this);
    connect(addMenuAction(view, this, tr("&Examples…"), QStringLiteral("folder-pictures"),
                          {QKeySequence(QStringLiteral("Ctrl+E"))}),
            &QAction::triggered, this, &StartingPoints::examples);
    connect(addMenuAction(view, this, tr("R&andom Tree"), QStringLiteral("roll"),
                          {QKeySequence(QStringLiteral("Ctrl+R"))}),
            &QAction::triggered, this, &StartingPoints::randomTree);
    connect(addMenuAction(view, this, tr("&Vary Tree"), QString(),
                          {QKeySequence(QStringLiteral("Ctrl+Shift+R"))}),
            &QAction::triggered, this, &StartingPoints::varyTree);
}

void StartingPoints::examples()
{
    const QString folder = examplesFolder();
    if (folder.isEmpty()) {
        QMessageBox::warning(view->window(), tr("Examples"),
                             tr("The example trees are not installed."));
        return;
    }
    ExamplesDialog dialog(folder, view->window());
    if (dialog.exec() == QDialog::Accepted && !dialog.chosen().isEmpty())
        actions->openFile(dialog.chosen());
}

void StartingPoints::randomTree()
{
    history->change(tr("Random Tree"), {dice.tree(), history->state().view});
}

void StartingPoints::varyTree()
{
    const TreeState shown = history->state();
    history->change(tr("Vary Tree"), {dice.variation(shown.parameters), shown.view});
}

QString examplesFolder()
{
    const QDir programs(QCoreApplication::applicationDirPath());
    for (const QString &folder : {programs.filePath(QStringLiteral("examples")),
                                  programs.filePath(QStringLiteral(LINETREE_EXAMPLES_FROM_PROGRAM)),
                                  QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                                         QStringLiteral("linetree/examples"),
                                                         QStandardPaths::LocateDirectory)}) {
        if (!folder.isEmpty() && QDir(folder).exists())
            return QDir::cleanPath(folder);
    }
    return QString();
}
