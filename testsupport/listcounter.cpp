// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

// Counts the display lists this process compiles. It defines glNewList itself,
// so the dynamic linker binds the view's calls here instead of to libGL;
// each call is counted and handed on to libGL's own glNewList, found with
// dlsym(RTLD_NEXT). The view calls glNewList once per rebuild and nothing
// else in the program compiles a list, so the count is the number of rebuilds.

#include "listcounter.h"

#include <dlfcn.h>

namespace {
int listCompiles = 0;
}

extern "C" void glNewList(GLuint list, GLenum mode)
{
    using NewList = void (*)(GLuint, GLenum);
    static const auto next = reinterpret_cast<NewList>(dlsym(RTLD_NEXT, "glNewList"));
    ++listCompiles;
    next(list, mode);
}

int compiledLists()
{
    return listCompiles;
}
