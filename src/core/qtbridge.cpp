// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "qtbridge.h"
#include "treeview.h"

#include <QCoreApplication>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>

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

// Into a framebuffer of the view's own size: the window's back buffer may be
// smaller while it is not shown, or larger than the screen.
QImage TreeView::grabFrame()
{
    makeCurrent();
    QOpenGLFramebufferObject frame(size() * devicePixelRatioF());
    if (!frame.bind())
        return QImage();
    paintGL();
    frame.release();
    return frame.toImage();
}

void showUnseen(QGLWidget *view)
{
    view->setAttribute(Qt::WA_DontShowOnScreen);
    view->show();
    // QGLWidget draws only into a window it takes to be mapped; one that is
    // not still has a back buffer to draw into and read from.
    view->setAttribute(Qt::WA_Mapped);
}

GLint TreeView::feedbackFrame()
{
    makeCurrent();
    glRenderMode(GL_FEEDBACK);
    paintGL();
    return glRenderMode(GL_RENDER);
}

#else

GLWidget::GLWidget(QWidget *parent)
    : QOpenGLWidget(parent)
{
    // The view clears to OpenGL's initial colour, whose alpha is 0; in a
    // framebuffer with alpha the compositor would show the desktop through it.
    setTextureFormat(GL_RGB8);
}

GLWidget::~GLWidget()
{
    // The view has freed its list; QOpenGLWidget destroys the context next.
    if (QOpenGLContext *current = context())
        disconnect(current, &QOpenGLContext::aboutToBeDestroyed, this, &GLWidget::releaseList);
}

// Qt holds repaint() back to once a frame. Marked for an update, the view is
// drawn by Qt's own paint path when its window takes the update request,
// which is taken here at once: the frame is drawn once and composed now. A
// hidden view is drawn once it is shown again.
void GLWidget::updateGL()
{
    update();
    QCoreApplication::sendPostedEvents(window(), QEvent::UpdateRequest);
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

GLuint GLWidget::glGenLists(GLsizei range)
{
    // The first list of a new context is freed with it, as Qt's hellogl2
    // frees what it makes.
    connect(context(), &QOpenGLContext::aboutToBeDestroyed, this, &GLWidget::releaseList,
            Qt::UniqueConnection);
    liveList = ::glGenLists(range);
    return liveList;
}

// A list name from a context that is gone would name nothing here, or a list
// of someone else's.
void GLWidget::glDeleteLists(GLuint list, GLsizei range)
{
    if (list == 0 || list != liveList)
        return;
    ::glDeleteLists(list, range);
    liveList = 0;
}

// The context goes, with the view moved to another window or destroyed; the
// next one, if any, gets a list, a viewport and a projection of its own.
void GLWidget::releaseList()
{
    makeCurrent();
    glDeleteLists(liveList, 1);
    doneCurrent();
    viewportFor = QSize();
}

// Qt 6 runs natively on Wayland and scales for high DPI by itself.
void setUpToolkit(int, char *[])
{
}

QImage TreeView::grabFrame()
{
    return grabFramebuffer();
}

// QOpenGLWidget draws into a framebuffer object of its own, which needs no
// screen.
void showUnseen(GLWidget *view)
{
    view->setAttribute(Qt::WA_DontShowOnScreen);
    view->show();
}

// The window composes the view from the framebuffer that grabFramebuffer()
// draws into, which a frame drawn in feedback mode may leave cleared: Qt draws
// it again before the window is next composed.
GLint TreeView::feedbackFrame()
{
    makeCurrent();
    glRenderMode(GL_FEEDBACK);
    grabFramebuffer();
    makeCurrent();
    const GLint values = glRenderMode(GL_RENDER);
    update();
    return values;
}

#endif
