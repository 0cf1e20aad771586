// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

// Counts the display lists this process compiles and the deletes that name no
// list. It defines glNewList and glDeleteLists itself, so the dynamic linker
// binds the view's calls here instead of to libGL; each call is counted and
// handed on to libGL's own function, found with dlsym(RTLD_NEXT). The view
// calls glNewList once per rebuild and nothing else in the program compiles a
// list, so the count is the number of rebuilds.

#include "listcounter.h"

#include <dlfcn.h>

namespace {
int listCompiles = 0;
int vertexCompiles = 0;
int foreignDeletes = 0;
bool shortFeedback = false;
} // namespace

extern "C" void glNewList(GLuint list, GLenum mode)
{
    using NewList = void (*)(GLuint, GLenum);
    static const auto next = reinterpret_cast<NewList>(dlsym(RTLD_NEXT, "glNewList"));
    ++listCompiles;
    next(list, mode);
}

// The view calls it only while it compiles its list.
extern "C" void glVertex2f(GLfloat x, GLfloat y)
{
    using Vertex = void (*)(GLfloat, GLfloat);
    static const auto next = reinterpret_cast<Vertex>(dlsym(RTLD_NEXT, "glVertex2f"));
    ++vertexCompiles;
    next(x, y);
}

// List 0 is no list, and OpenGL ignores it.
extern "C" void glDeleteLists(GLuint list, GLsizei range)
{
    using DeleteLists = void (*)(GLuint, GLsizei);
    static const auto next = reinterpret_cast<DeleteLists>(dlsym(RTLD_NEXT, "glDeleteLists"));
    for (GLsizei i = 0; i < range; ++i)
        foreignDeletes += list != 0 && !glIsList(list + GLuint(i));
    next(list, range);
}

extern "C" void glFeedbackBuffer(GLsizei size, GLenum type, GLfloat *buffer)
{
    using FeedbackBuffer = void (*)(GLsizei, GLenum, GLfloat *);
    static const auto next = reinterpret_cast<FeedbackBuffer>(dlsym(RTLD_NEXT, "glFeedbackBuffer"));
    next(shortFeedback && size > 5 ? size - 5 : size, type, buffer);
}

void shortenFeedbackBuffers(bool shorten)
{
    shortFeedback = shorten;
}

int compiledLists()
{
    return listCompiles;
}

int compiledVertices()
{
    return vertexCompiles;
}

int foreignListDeletes()
{
    return foreignDeletes;
}
