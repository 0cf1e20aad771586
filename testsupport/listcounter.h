// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef LISTCOUNTER_H
#define LISTCOUNTER_H

#include <qopengl.h>

// How many display lists this process has compiled: the view compiles one per
// rebuild and nothing else compiles any.
int compiledLists();

#endif // LISTCOUNTER_H
