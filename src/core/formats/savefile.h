// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef SAVEFILE_H
#define SAVEFILE_H

#include "fileformats.h"

#include <QString>

// Writes what the view shows to a file, with the parameter line in it: a
// picture (PNG, SVG or PDF), an SVG drawing for a pen plotter, or the tree as
// a 3D model (OBJ or binary glTF), in `format`, or where none is given, in
// the one that the name's suffix gives. The file is made in memory first: a
// file written only in part is never left behind, and a file of the name
// survives a failure. Where the name is there and is no file, such as a link
// to a device, and in /dev, nothing is written. False, with why in `error`,
// where it cannot; `note` tells what a person may want to know of the file,
// if anything.
bool saveTree(const Keeping &keeping, const QString &fileName, const FileFormat *format,
              QString *note, QString *error);

#endif // SAVEFILE_H
