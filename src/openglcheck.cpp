// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "openglcheck.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions>

bool openGLUsable()
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext context;
    return context.create() && context.makeCurrent(&surface)
            && context.functions()->glGetString(GL_VERSION);
}
