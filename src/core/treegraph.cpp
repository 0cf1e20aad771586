// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "treegraph.h"
#include "framelines.h"
#include "treeview.h"

#include <cmath>
#include <vector>

namespace {

// The list draws depth first: a segment, then each of its four branches
// with all that grows from it. So each segment starts where the one that
// the recursion came from ends.
void connect(int level, int depth, int start, TreeGraph *graph)
{
    const int end = graph->segments.size() + 1;
    graph->segments.append({start, end});
    graph->levels.append(level);
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
    const double reach = view->reach();
    if (!std::isfinite(reach) || reach > 1e15)
        return false;
    // Beyond the tree, so that nothing is clipped
    const double box = reach * 1.01 + 1e-3;

    // A line token and the window x, y and z of both ends for each segment
    std::vector<GLfloat> buffer(7 * size_t(segments) + 1);
    view->makeCurrent();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Window x and y from 0 to the largest side OpenGL takes, z from 0 to 1,
    // across the box: the window's own height, from which drivers count y,
    // then costs nothing of a float's precision.
    GLint largest[2];
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, largest);
    const double side = qMin(largest[0], largest[1]);
    glViewport(0, 0, GLsizei(side), GLsizei(side));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-box, box, -box, box, -box, box);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(view->list());
    const GLint values = glRenderMode(GL_RENDER);
    // OpenGL keeps the buffer's address for the next feedback, which must
    // not write into memory freed by then.
    glFeedbackBuffer(0, GL_3D, nullptr);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    if (values != 7 * segments)
        return false;

    const auto model = [box, side, &buffer](int at) {
        return QVector3D(float((buffer[at] * 2 / side - 1) * box),
                         float((buffer[at + 1] * 2 / side - 1) * box),
                         float((1 - 2 * double(buffer[at + 2])) * box));
    };
    graph->joints.clear();
    graph->segments.clear();
    graph->levels.clear();
    graph->segments.reserve(segments);
    if (depth > 0)
        connect(0, depth, 0, graph);
    graph->joints.resize(segments + (segments > 0));
    // The list stands the trunk below its origin; the model stands it on it.
    const QVector3D foot = segments > 0 ? model(1) : QVector3D();
    graph->foot = foot;
    for (int i = 0; i < segments; ++i) {
        const GLfloat token = buffer[7 * size_t(i)];
        if (token != GL_LINE_TOKEN && token != GL_LINE_RESET_TOKEN)
            return false;
        const QVector3D start = model(7 * i + 1) - foot;
        QVector3D &joint = graph->joints[graph->segments[i].first];
        if (i == 0)
            joint = start;
        // The list's own segments meet where the recursion says they do.
        else if ((start - joint).length() > 1e-4 * qMax(1.0, box))
            return false;
        graph->joints[graph->segments[i].second] = model(7 * i + 4) - foot;
    }
    return true;
}
