// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef SVGFILE_H
#define SVGFILE_H

#include "fileformats.h"

// The frame's lines as vectors, white on black, on a page of the view's
// size, a pixel a pixel at 96 to the inch, with the parameter line in its
// description
bool writeSvg(const Keeping &keeping, QByteArray *file, QString *note, QString *error);

// The description of an SVG, an element of its root, of linetree's
// pictures and plotter drawings alike
Reading readSvg(const QByteArray &head, bool whole, QString *line, QString *error);

#endif // SVGFILE_H
