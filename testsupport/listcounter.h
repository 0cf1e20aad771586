// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef LISTCOUNTER_H
#define LISTCOUNTER_H

#include <qopengl.h>

// How many display lists this process has compiled: the view compiles one per
// rebuild and nothing else compiles any.
int compiledLists();

// How many vertices this process has compiled into display lists: two for
// each segment of each rebuild.
int compiledVertices();

// How many times this process has deleted a list name that is no list in the
// current context: a name of another context's, or one already deleted.
int foreignListDeletes();

// From now on glFeedbackBuffer takes a buffer one line of window x and y
// short, so that a frame of lines overflows it; or, false, no longer.
void shortenFeedbackBuffers(bool shorten);

#endif // LISTCOUNTER_H
