// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef OPENGLCHECK_H
#define OPENGLCHECK_H

// Whether this display gives an OpenGL context that can be made current and
// answers; the application object must exist.
bool openGLUsable();

#endif // OPENGLCHECK_H
