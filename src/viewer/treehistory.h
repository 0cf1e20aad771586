// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef TREEHISTORY_H
#define TREEHISTORY_H

#include "treeparameters.h"

#include <QObject>

#include <array>

class QSlider;
class QUndoStack;
class TreeView;

// Every change of the tree is a step that Undo takes back and Redo makes
// again: a slider's move, where one drag, or one key held down, is one step;
// and Open, Paste and Reset. A step that replaced the view brings the view
// back too; turning, zooming and panning alone are no steps, as in 3D
// programs.
class TreeHistory : public QObject
{
    Q_OBJECT

public:
    // The sliders as the window stands them: angle, angle scale, length,
    // length reduction, depth
    TreeHistory(TreeView *view, const std::array<QSlider *, 5> &sliders, QObject *parent);

    QUndoStack *steps() const { return stack; }

    // The sliders' values and the view as it shows the tree
    TreeState state() const;
    // Changes the tree to `changed` in one step named `text`.
    void change(const QString &text, const TreeState &changed);
    // Moves the sliders, screen readers hearing them, and shows the tree
    // with their values, rebuilt once; the view too where `withView`.
    void show(const TreeState &shown, bool withView);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sliderMoved(int slider);

    TreeView *view;
    const std::array<QSlider *, 5> sliders;
    QUndoStack *stack;
    // The parameters that the last step left
    TreeParameters settled;
    // The press on a slider that is held now, counted; -1 where none is
    int held = -1;
    int presses = 0;
};

#endif // TREEHISTORY_H
