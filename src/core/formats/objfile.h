// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef OBJFILE_H
#define OBJFILE_H

#include "fileformats.h"

// The tree as a Wavefront OBJ model without a material file, in its own
// frame: a vertex for each joint as it is, also where joints coincide, and
// a line element for each segment; the parameter line in a comment at the
// top
bool writeObj(const Keeping &keeping, QByteArray *file, QString *note, QString *error);

// The parameter line among the comments that an OBJ model starts with
Reading readObj(const QByteArray &head, bool whole, QString *line, QString *error);

#endif // OBJFILE_H
