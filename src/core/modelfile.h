// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef MODELFILE_H
#define MODELFILE_H

#include <QByteArray>
#include <QString>

struct TreeGraph;

// The tree's graph as a 3D model in the format named, written by Assimp:
// "obj", Wavefront OBJ with a line element for each segment and no material
// file, or "glb", binary glTF 2.0 with one primitive of mode LINES. The
// parameter line travels inside: a comment at the top of the OBJ, the glTF
// asset's extras, beside the generator's name. False, with why in `error`,
// where Assimp cannot write it.
bool renderModel(const TreeGraph &graph, const QString &format, const QString &parameterLine,
                 QByteArray *model, QString *error);

#endif // MODELFILE_H
