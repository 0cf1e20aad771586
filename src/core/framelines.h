// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef FRAMELINES_H
#define FRAMELINES_H

#include <QLineF>
#include <QVector>

class TreeView;

// The segments that a tree of `depth` levels has: (4^depth - 1) / 3
int treeSegments(int depth);

// The lines of the frame that the view shows, as OpenGL's feedback mode hands
// them back from its display list under its rotation and projection: where
// the screen shows them, clipped to the view's square, in the view's own
// pixels with y growing down. False where OpenGL did not hand back every
// line the frame draws.
bool frameLines(TreeView *view, QVector<QLineF> *lines);

#endif // FRAMELINES_H
