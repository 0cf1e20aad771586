// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef QTBRIDGE_H
#define QTBRIDGE_H

// The one place where Qt 5 and Qt 6 differ for linetree: the OpenGL widget the
// view derives from, the toolkit's set-up, the few spellings that have no
// form common to both, and how a frame is drawn for a picture
// (TreeView::grabFrame() and feedbackFrame(), defined in qtbridge.cpp).

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QtGlobal>
#include <qopengl.h>

#if QT_VERSION_MAJOR < 6

#include <QGLWidget>

using GLWidget = QGLWidget;

// QGLWidget leaves the viewport that resizeGL set in place for every frame.
inline void keepViewport()
{
}

inline QPoint positionOf(const QMouseEvent *event)
{
    return event->pos();
}

inline QPointF positionOf(const QNativeGestureEvent *event)
{
    return event->localPos();
}

template<typename Event> Event *copyOf(const Event &event)
{
    return new Event(event);
}

#else

#include <QOpenGLWidget>

// Qt 6 has no QGLWidget. QOpenGLWidget draws into a framebuffer that its
// window composes, and Qt draws it whenever a repaint, grab(),
// grabFramebuffer() or render() asks for a frame. This keeps QGLWidget's
// promises to the view on top of it: the viewport that resizeGL sets, in the
// framebuffer's own pixels, for every frame; updateGL as an immediate
// repaint; and the view's display list kept in the view's context, which Qt
// drops and makes anew whenever the view moves to another window.
//
// It declares no Q_OBJECT, so that the view's meta-object sits directly on
// QOpenGLWidget's, as it sits on QGLWidget's on Qt 5.
class GLWidget : public QOpenGLWidget
{
public:
    explicit GLWidget(QWidget *parent = nullptr);
    ~GLWidget() override;

    void updateGL();

protected:
    // The view's paintGL calls this first.
    void keepViewport();

    // The view's calls that make and free its display list reach these
    // first, as GL calls reach QOpenGLFunctions in a widget derived from it.
    GLuint glGenLists(GLsizei range);
    void glDeleteLists(GLuint list, GLsizei range);

private:
    void releaseList();

    QSize viewportFor; // the framebuffer size, in pixels, that `viewport` was set for
    GLint viewport[4] = {};
    GLuint liveList = 0; // the display list alive in the current context
};

inline QPoint positionOf(const QMouseEvent *event)
{
    return event->position().toPoint();
}

inline QPointF positionOf(const QNativeGestureEvent *event)
{
    return event->position();
}

template<typename Event> Event *copyOf(const Event &event)
{
    return static_cast<Event *>(event.clone());
}

#endif

// Called before the application object is made, with the command line that
// the application object will take.
void setUpToolkit(int argc, char *argv[]);

// Shows the view at its size without putting it on the screen, so that it
// draws into a framebuffer of that size however small the screen is.
void showUnseen(GLWidget *view);

#endif // QTBRIDGE_H
