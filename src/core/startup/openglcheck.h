// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef OPENGLCHECK_H
#define OPENGLCHECK_H

#include <QSize>
#include <QString>

// Why the OpenGL of this display cannot show the tree, in words for the user;
// empty where it can. Where it can, `largest` is given the largest
// framebuffer, in pixels, that the view can draw into: what OpenGL's
// viewports, renderbuffers and textures all take. The application object
// must exist.
QString openGLProblem(QSize *largest = nullptr);

#endif // OPENGLCHECK_H
