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
    // A new framebuffer holds no frame yet.
    connect(this, &QOpenGLWidget::resized, this, [this] { framePainted = false; });
}

// Qt 6 holds a widget's repaint back until its window is ready to compose, so
// the frame is drawn here at once, and the paint event that composes it does
// not draw it again.
void GLWidget::updateGL()
{
    if (!isVisible() || !updatesEnabled() || !isValid())
        return;
    paint();
    framePainted = true;
    update();
}

void GLWidget::paintEvent(QPaintEvent *)
{
    if (framePainted) {
        framePainted = false;
        return;
    }
    if (isValid() && updatesEnabled())
        paint();
}

// QOpenGLWidget would reset the viewport to the whole widget right before
// paintGL, and it hands resizeGL logical pixels. So the view sets up its
// square again in the framebuffer's pixels, then draws into the framebuffer
// that makeCurrent binds.
void GLWidget::paint()
{
    makeCurrent();
    const qreal ratio = devicePixelRatioF();
    resizeGL(qRound(width() * ratio), qRound(height() * ratio));
    paintGL();
    // Finished before Qt composes the framebuffer into the window
    glFlush();
}

#endif
