// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "qtbridge.h"

#if QT_VERSION_MAJOR >= 6

GLWidget::GLWidget(QWidget *parent)
    : QOpenGLWidget(parent)
{
    // The view clears to OpenGL's initial colour, whose alpha is 0; in a
    // framebuffer with alpha the compositor would show the desktop through it.
    setTextureFormat(GL_RGB8);
}

// Qt 6 holds repaint() back to once a frame. So Qt's own paint handler draws
// the frame now, flushed at once as QGLWidget's buffer swap flushes it, and
// the window composes it at its next flush: updating the area under the view,
// not the view itself, keeps Qt from drawing it again. A view that is a
// window of its own has nothing under it.
void GLWidget::updateGL()
{
    if (!isValid() || !isVisible())
        return;
    QPaintEvent frame(rect());
    QOpenGLWidget::paintEvent(&frame);
    glFlush();
    if (QWidget *parent = parentWidget())
        parent->update(geometry());
    else
        update();
}

// Qt points the viewport at the whole framebuffer before every paintGL, and
// hands resizeGL logical pixels. So resizeGL runs again here in the
// framebuffer's own pixels whenever their number changes, and the viewport it
// sets is put back for every other frame.
void GLWidget::keepViewport()
{
    const QSize pixels = size() * devicePixelRatio();
    if (pixels == viewportFor) {
        glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
        return;
    }
    resizeGL(pixels.width(), pixels.height());
    glGetIntegerv(GL_VIEWPORT, viewport);
    viewportFor = pixels;
}

#endif
