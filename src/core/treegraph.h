// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef TREEGRAPH_H
#define TREEGRAPH_H

#include <QVector3D>
#include <QVector>

#include <utility>

// The tree as one connected graph of lines in its own frame, Y up: the trunk
// runs from the origin up to (0, length, 0) in model units, and where a
// segment ends, its four branches start.
struct TreeGraph
{
    QVector<QVector3D> joints;
    // Each segment's two joints, in the order the display list draws them,
    // and its level, the trunk's 0
    QVector<std::pair<int, int>> segments;
    QVector<int> levels;
    // Where the trunk's foot stands in the list's own frame, whose origin is
    // the tree's first fork
    QVector3D foot;
};

#endif // TREEGRAPH_H
