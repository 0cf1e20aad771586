// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef STARTINGPOINTS_H
#define STARTINGPOINTS_H

#include "randomtrees.h"

#include <QObject>

class TreeActions;
class TreeHistory;
class TreeView;

// Where to start from: the example trees that linetree ships, opened from a
// dialog of their pictures; a random tree that stands whole inside the
// view; and a variation of the tree on screen. Each is one step that Undo
// takes back, and leaves the view as it is. The actions stand in the view's
// menu and answer their keys in the whole window.
class StartingPoints : public QObject
{
    Q_OBJECT

public:
    StartingPoints(TreeView *view, TreeHistory *history, TreeActions *actions);

public slots:
    void examples();
    void randomTree();
    void varyTree();

private:
    TreeView *view;
    TreeHistory *history;
    TreeActions *actions;
    RandomTrees dice;
};

// The folder of the examples: beside linetree in a build folder, else where
// they are installed, found from where linetree runs or among the system's
// data folders; nothing where there is none.
QString examplesFolder();

#endif // STARTINGPOINTS_H
