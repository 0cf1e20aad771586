// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

// Preloaded into the real linetree by the end-to-end test and the benchmark,
// with heardvalues.cpp: writes the branch angle of every display list the
// program compiles, one line each, to the file that LINETREE_ANGLE_LOG names.
// The angle is that of the first tilt about the local Z axis after glNewList:
// the trunk's first child. Both calls are handed on to libGL's own, found with
// dlsym(RTLD_NEXT).

#include "logfile.h"

#include <qopengl.h>

#include <dlfcn.h>

namespace {

bool compiling = false;

std::FILE *log()
{
    static std::FILE *file = openLog("LINETREE_ANGLE_LOG");
    return file;
}

} // namespace

extern "C" void glNewList(GLuint list, GLenum mode)
{
    using NewList = void (*)(GLuint, GLenum);
    static const auto next = reinterpret_cast<NewList>(dlsym(RTLD_NEXT, "glNewList"));
    compiling = true;
    next(list, mode);
}

extern "C" void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    using Rotate = void (*)(GLfloat, GLfloat, GLfloat, GLfloat);
    static const auto next = reinterpret_cast<Rotate>(dlsym(RTLD_NEXT, "glRotatef"));
    if (compiling && x == 0 && y == 0 && z == 1) {
        compiling = false;
        if (std::FILE *file = log())
            std::fprintf(file, "%g\n", double(angle));
    }
    next(angle, x, y, z);
}
