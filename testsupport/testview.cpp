#include "testview.h"

#include <vector>

bool glErrorRaised()
{
    bool raised = false;
    while (glGetError() != GL_NO_ERROR)
        raised = true;
    return raised;
}

QVector<Segment> TestView::capture()
{
    makeCurrent();
    int segments = 0;
    for (int level = 0, perLevel = 1; level < qBound(0, rekTiefe, 10); ++level, perLevel *= 4)
        segments += perLevel;
    // A line token and two vertices of x, y and z each
    std::vector<GLfloat> buffer(7 * segments + 1);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);

    // 50 pixels per model unit over +-10 units around the tree's origin, far
    // beyond any tree the sliders make, so that nothing is clipped.
    const double halfSide = 10;
    const double pixelsPerUnit = 50;
    glViewport(0, 0, int(2 * halfSide * pixelsPerUnit), int(2 * halfSide * pixelsPerUnit));
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-halfSide, halfSide, -halfSide, halfSide, zDist - halfSide, zDist + halfSide);
    glMatrixMode(GL_MODELVIEW);
    OpenGLBaumZeiger::paintGL();
    const GLint values = glRenderMode(GL_RENDER);
    resizeGL(width(), height());
    if (values < 0)
        qFatal("feedback buffer too small for the tree");

    const auto vertex = [&](const GLfloat *v) {
        return QVector3D(float(v[0] / pixelsPerUnit - halfSide),
                         float(v[1] / pixelsPerUnit - halfSide), float(halfSide * (1 - 2 * v[2])));
    };
    QVector<Segment> lines;
    for (GLint i = 0; i < values; i += 7) {
        if (buffer[i] != GL_LINE_TOKEN && buffer[i] != GL_LINE_RESET_TOKEN)
            qFatal("unexpected feedback token %g", double(buffer[i]));
        lines.append({vertex(&buffer[i + 1]), vertex(&buffer[i + 4])});
    }
    return lines;
}

QImage TestView::frame()
{
    makeCurrent();
    OpenGLBaumZeiger::paintGL();
    return grabFrameBuffer();
}
