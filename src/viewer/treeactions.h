// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef TREEACTIONS_H
#define TREEACTIONS_H

#include "treeparameters.h"

#include <QObject>

class TreeHistory;
struct FileFormat;
class TreeView;

// Keeping the tree: save its picture as PNG, SVG or PDF or the tree as an
// OBJ or glTF model, copy the picture, open or paste the parameters and the
// view that a picture or a text carries, go back to the start picture, and
// undo and redo each change. The actions stand in the view's context menu (a
// right click, the Menu key or Shift+F10 on the view) and answer the standard
// shortcuts in the whole window. What fails is said in a message box, and
// changes nothing.
class TreeActions : public QObject
{
    Q_OBJECT

public:
    // The changes go through `history`, as steps to undo.
    TreeActions(TreeView *view, TreeHistory *history);

    // Each says why where it fails. A file is saved in `format`, or where
    // none is given in the one that the name's suffix gives.
    bool saveAs(const QString &fileName, const FileFormat *format = nullptr);
    bool openFile(const QString &fileName);

public slots:
    void save();
    void open();
    void copy();
    void paste();
    void reset();

private:
    bool take(const QString &text, const QString &line, QString *error);
    // A warning, or where not `warning` a note
    void tell(const QString &title, const QString &text, bool warning = true) const;

    TreeView *view;
    TreeHistory *history;
    const TreeState start;
    QString folder; // of the file saved or opened last
};

#endif // TREEACTIONS_H
