// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef MODELFILE_H
#define MODELFILE_H

#include <QByteArray>
#include <QString>

struct TreeGraph;

// The tree's graph as a 3D model in the format named: "obj", Wavefront OBJ
// with a line element for each segment and no material file, or "glb",
// binary glTF 2.0 with one primitive of mode LINES. Each joint is written as
// it is, also where joints coincide, so that the model holds the tree's own
// graph. The parameter line travels inside: a comment at the top of the OBJ,
// the glTF asset's extras, beside the generator's name.
QByteArray renderModel(const TreeGraph &graph, const QString &format, const QString &parameterLine);

#endif // MODELFILE_H
