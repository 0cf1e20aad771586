// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef SAVEFILE_H
#define SAVEFILE_H

#include <QString>
#include <QStringList>

class TreeView;

// The suffixes of the formats that saveTree() writes
QStringList savedFormats();

// Writes what the view shows to a file in the format its name's suffix names,
// with the parameter line in it: a picture (PNG, SVG or PDF) or the tree as a
// 3D model (OBJ or binary glTF). The file is made in memory first: a file
// written only in part is never left behind, and a file of the name survives
// a failure. Where the name is there and is no file, such as a link to a
// device, and in /dev, nothing is written. False, with why in `error`, where
// it cannot.
bool saveTree(TreeView *view, const QString &fileName, const QString &parameterLine,
              QString *error);

#endif // SAVEFILE_H
