// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef RENDERER_H
#define RENDERER_H

struct RenderJob;

// Writes every output of the job: 0 where all were written, 1 where an input
// or an output failed, each failure said in one line on standard error.
// Every input is read before any output is written. The application object
// must exist, with OpenGL.
int render(const RenderJob &job);

#endif // RENDERER_H
