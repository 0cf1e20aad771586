// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "qtbridge.h"

#include <QCoreApplication>

#if QT_VERSION_MAJOR < 6

namespace {

bool isWayland(const char *platform)
{
    return qstrncmp(platform, "wayland", 7) == 0;
}

} // namespace

// Qt 5's Wayland platform cannot show a QGLWidget: the view comes out
// see-through or empty. So linetree runs on X11, which Wayland desktops offer
// through XWayland, even where Wayland was chosen, with QT_QPA_PLATFORM or
// -platform, as many do for every Qt program; without an X display it then
// says so, as any start that reaches no display does. Any other platform
// chosen still wins. And Qt 5 scales for high DPI only when asked: otherwise
// fonts follow a high-DPI screen while the view keeps its pixels.
void setUpToolkit(int argc, char *argv[])
{
    static char xcb[] = "xcb";
    const QByteArray chosen = qgetenv("QT_QPA_PLATFORM");
    if (chosen.isEmpty() || isWayland(chosen))
        qputenv("QT_QPA_PLATFORM", xcb);
    for (int i = 1; i + 1 < argc; ++i) {
        const QByteArray option = argv[i];
        if ((option == "-platform" || option == "--platform") && isWayland(argv[i + 1]))
            argv[i + 1] = xcb;
    }
    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
}

#else

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

// Qt 6 runs natively on Wayland and scales for high DPI by itself.
void setUpToolkit(int, char *[])
{
}

#endif
