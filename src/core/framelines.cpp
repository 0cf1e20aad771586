// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "framelines.h"
#include "treeview.h"

#include <vector>

int treeSegments(int depth)
{
    int segments = 0;
    for (int level = 0, onLevel = 1; level < depth; ++level, onLevel *= 4)
        segments += onLevel;
    return segments;
}

bool frameLines(TreeView *view, QVector<QLineF> *lines)
{
    // A line token and the window x and y of both ends for each segment.
    // Clipping drops lines or shortens them, but never adds any.
    const int segments = treeSegments(view->gebeRekTiefe());
    std::vector<GLfloat> buffer(5 * size_t(segments) + 1);
    view->makeCurrent();
    glFeedbackBuffer(GLsizei(buffer.size()), GL_2D, buffer.data());
    const GLint values = view->feedbackFrame();
    // OpenGL keeps the buffer's address for the next feedback, which must
    // not write into memory freed by then.
    view->makeCurrent();
    glFeedbackBuffer(0, GL_2D, nullptr);

    // From the framebuffer's pixels, y growing up, to the view's
    const qreal ratio = view->devicePixelRatioF();
    const qreal height = view->height();
    lines->clear();
    lines->reserve(qMax(values, 0) / 5);
    for (GLint i = 0; i + 5 <= values; i += 5) {
        if (buffer[i] != GL_LINE_TOKEN && buffer[i] != GL_LINE_RESET_TOKEN)
            return false;
        lines->append(QLineF(buffer[i + 1] / ratio, height - buffer[i + 2] / ratio,
                             buffer[i + 3] / ratio, height - buffer[i + 4] / ratio));
    }
    // The trunk ends in the middle of the view, so a frame that draws a tree
    // always shows some of it. A negative count says the lines did not fit.
    return values >= 0 && values % 5 == 0 && (segments == 0 || !lines->isEmpty());
}
