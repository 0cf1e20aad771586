// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

// Preloaded into the real linetree with anglelog.cpp: where
// LINETREE_SURFACE_FORMAT says "es" or "core", Qt is asked for OpenGL ES or
// for a core profile by default, as Qt built for OpenGL ES or a program that
// wants a core profile asks, before the program's main runs.

#include <QByteArray>
#include <QSurfaceFormat>

namespace {

__attribute__((constructor)) void askForFormat()
{
    const QByteArray kind = qgetenv("LINETREE_SURFACE_FORMAT");
    QSurfaceFormat format = QSurfaceFormat::defaultFormat();
    if (kind == "es") {
        format.setRenderableType(QSurfaceFormat::OpenGLES);
    } else if (kind == "core") {
        format.setVersion(3, 3);
        format.setProfile(QSurfaceFormat::CoreProfile);
    } else {
        return;
    }
    QSurfaceFormat::setDefaultFormat(format);
}

} // namespace
