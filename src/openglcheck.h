// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef OPENGLCHECK_H
#define OPENGLCHECK_H

#include <QString>

// Why the OpenGL of this display cannot show the tree, in words for the user;
// empty where it can. The application object must exist.
QString openGLProblem();

#endif // OPENGLCHECK_H
