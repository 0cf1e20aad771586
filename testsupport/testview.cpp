// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "testview.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QVBoxLayout>

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
    // The view's own square viewport onto +-10 model units around the tree's
    // origin, far beyond any tree the sliders make, so that nothing is clipped
    const double halfSide = 10;
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-halfSide, halfSide, -halfSide, halfSide, zDist - halfSide, zDist + halfSide);
    glMatrixMode(GL_MODELVIEW);
    QVector<Segment> lines = feedback();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);

    const auto toModel = [&](const QVector3D &v) {
        const auto unit = [&](float window, int origin, int side) {
            return float(((window - origin) * 2.0 / side - 1) * halfSide);
        };
        return QVector3D(unit(v.x(), viewport[0], viewport[2]),
                         unit(v.y(), viewport[1], viewport[3]),
                         float(halfSide * (1 - 2 * double(v.z()))));
    };
    for (Segment &line : lines)
        line = {toModel(line.von), toModel(line.bis)};
    return lines;
}

QVector<Segment> TestView::captureInWindow()
{
    makeCurrent();
    return feedback();
}

QVector<Segment> TestView::feedback()
{
    int segments = 0;
    for (int level = 0, perLevel = 1; level < qBound(0, rekTiefe, 10); ++level, perLevel *= 4)
        segments += perLevel;
    // A line token and two vertices of x, y and z each
    std::vector<GLfloat> buffer(7 * segments + 1);
    glFeedbackBuffer(GLsizei(buffer.size()), GL_3D, buffer.data());
    glRenderMode(GL_FEEDBACK);
    OpenGLBaumZeiger::paintGL();
    const GLint values = glRenderMode(GL_RENDER);
    if (values < 0)
        qFatal("feedback buffer too small for the tree");

    QVector<Segment> lines;
    for (GLint i = 0; i < values; i += 7) {
        if (buffer[i] != GL_LINE_TOKEN && buffer[i] != GL_LINE_RESET_TOKEN)
            qFatal("unexpected feedback token %g", double(buffer[i]));
        lines.append({QVector3D(buffer[i + 1], buffer[i + 2], buffer[i + 3]),
                      QVector3D(buffer[i + 4], buffer[i + 5], buffer[i + 6])});
    }
    return lines;
}

QImage TestView::frame()
{
    makeCurrent();
    OpenGLBaumZeiger::paintGL();
    const qreal ratio = devicePixelRatioF();
    QImage image(qRound(width() * ratio), qRound(height() * ratio), QImage::Format_RGBA8888);
    glReadPixels(0, 0, image.width(), image.height(), GL_RGBA, GL_UNSIGNED_BYTE, image.bits());
    // OpenGL's rows run bottom to top
    return image.mirrored();
}

QVector<QImage> TestView::framesGrabbed()
{
#if QT_VERSION_MAJOR < 6
    return {grabFrameBuffer()};
#else
    QPixmap rendered(size() * devicePixelRatio());
    rendered.setDevicePixelRatio(devicePixelRatio());
    render(&rendered);
    return {grabFramebuffer(), grab().toImage(), rendered.toImage()};
#endif
}

QOpenGLContext *TestView::glContext() const
{
#if QT_VERSION_MAJOR < 6
    return context()->contextHandle();
#else
    return context();
#endif
}

ViewWindow::ViewWindow(const QSize &size)
    : view(new TestView(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(QMargins());
    layout->addWidget(view);
    resize(size);
}

bool ViewWindow::showExposed()
{
    show();
    return QTest::qWaitForWindowExposed(this);
}

QImage onScreen(const QWidget *widget)
{
    const QPoint at = widget->mapTo(widget->window(), QPoint());
    return QGuiApplication::primaryScreen()
            ->grabWindow(widget->window()->winId(), at.x(), at.y(), widget->width(),
                         widget->height())
            .toImage();
}
