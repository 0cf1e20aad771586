// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "openglcheck.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

namespace {

QSize largestFramebuffer(QOpenGLFunctions *gl)
{
    GLint viewport[2] = {};
    GLint renderbuffer = 0;
    GLint texture = 0;
    gl->glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    gl->glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    // Where there are framebuffer objects
    gl->glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbuffer);
    if (gl->glGetError() != GL_NO_ERROR || renderbuffer <= 0)
        renderbuffer = texture;
    const int side = qMin(renderbuffer, texture);
    return QSize(qMin(viewport[0], side), qMin(viewport[1], side));
}

} // namespace

// A context as the view gets it, made current and asked for its version
QString openGLProblem(QSize *largest)
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    if (!context.create() || !context.makeCurrent(&surface)
        || !context.functions()->glGetString(GL_VERSION))
        return QStringLiteral("no OpenGL available on this display, so there is no tree to show");
    // Display lists, the matrix stack and glBegin exist only there
    if (context.isOpenGLES() || context.format().profile() == QSurfaceFormat::CoreProfile) {
        return QStringLiteral("the tree needs desktop OpenGL with the compatibility profile, "
                              "and this display offers %1")
                .arg(context.isOpenGLES() ? QStringLiteral("OpenGL ES")
                                          : QStringLiteral("only a core profile"));
    }
    if (largest)
        *largest = largestFramebuffer(context.functions());
    return QString();
}
