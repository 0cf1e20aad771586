// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "treegraph.h"
#include "framelines.h"
#include "treeview.h"

#include <vector>

namespace {

// The list draws depth first: a segment, then each of its four branches
// with all that grows from it. So each segment starts where the one that
// the recursion came from ends.
void connect(int level, int depth, int start, TreeGraph *graph)
{
    const int end = graph->segments.size() + 1;
    graph->segments.append({start, end});
    if (level + 1 < depth) {
        for (int i = 0; i < 4; ++i)
            connect(level + 1, depth, end, graph);
    }
}

} // namespace

bool treeGraph(TreeView *view, TreeGraph *graph)
{
    const int depth = view->gebeRekTiefe();
    const int segments = treeSegments(depth);
    // A line token and the window x, y and z of both ends for each segment
    ListLines lines;
    if (!view->listLines(GL_3D, false, &lines))
        return false;
    const std::vector<GLfloat> &values = lines.values;
    const auto model = [&lines, &values](size_t at) {
        return QVector3D(float(lines.model(values[at])), float(lines.model(values[at + 1])),
                         float((1 - 2 * double(values[at + 2])) * lines.box));
    };
    graph->joints.clear();
    graph->segments.clear();
    graph->segments.reserve(segments);
    if (depth > 0)
        connect(0, depth, 0, graph);
    graph->joints.resize(segments + (segments > 0));
    // The list stands the trunk below its origin; the model stands it on it.
    const QVector3D foot = segments > 0 ? model(1) : QVector3D();
    for (int i = 0; i < segments; ++i) {
        const GLfloat token = values[7 * size_t(i)];
        if (token != GL_LINE_TOKEN && token != GL_LINE_RESET_TOKEN)
            return false;
        const QVector3D start = model(7 * size_t(i) + 1) - foot;
        QVector3D &joint = graph->joints[graph->segments[i].first];
        if (i == 0)
            joint = start;
        // The list's own segments meet where the recursion says they do.
        else if ((start - joint).length() > 1e-4 * qMax(1.0, lines.box))
            return false;
        graph->joints[graph->segments[i].second] = model(7 * size_t(i) + 4) - foot;
    }
    return true;
}
