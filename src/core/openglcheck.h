// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef OPENGLCHECK_H
#define OPENGLCHECK_H

#include <QSize>
#include <QString>

// Why the OpenGL of this display cannot show the tree, in words for the user;
// empty where it can. The application object must exist.
QString openGLProblem();

// The largest framebuffer, in pixels, that the view can draw into on this
// display: what OpenGL's viewports, renderbuffers and textures all take.
QSize largestFramebuffer();

#endif // OPENGLCHECK_H
