// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef PLOTTERFILE_H
#define PLOTTERFILE_H

#include "fileformats.h"

// An SVG for a pen plotter: the tree as the view shows it, drawn on the page
// as a plotter draws it (see plotterDrawing()), its size and viewBox in
// millimetres; each stroke a path, black, without fill or background; with
// layers, a top-level layer for each level of the tree, each for a pen of
// its own; the parameter line in its description. `note` counts the
// strokes, the length drawn and the pen's travel between strokes.
bool writePlotterSvg(const Keeping &keeping, QByteArray *file, QString *note, QString *error);

#endif // PLOTTERFILE_H
