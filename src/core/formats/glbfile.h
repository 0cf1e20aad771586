// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef GLBFILE_H
#define GLBFILE_H

#include "fileformats.h"

// The tree as a binary glTF 2.0 model in its own frame, Y up: a vertex for
// each joint as it is, also where joints coincide, and one white primitive
// of mode LINES with a line for each segment; the parameter line in the
// asset's extras, beside the generator, linetree
bool writeGlb(const Keeping &keeping, QByteArray *file, QString *note, QString *error);

// The parameter line in the extras of a binary glTF's asset, from the JSON
// chunk that comes first
Reading readGlb(const QByteArray &head, bool whole, QString *line, QString *error);

#endif // GLBFILE_H
