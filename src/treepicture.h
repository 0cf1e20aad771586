// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef TREEPICTURE_H
#define TREEPICTURE_H

#include <QLineF>
#include <QString>
#include <QVector>

class OpenGLBaumZeiger;

// The lines of the frame that the view shows, as OpenGL's feedback mode hands
// them back from its display list under its rotation and projection: where
// the screen shows them, clipped to the view's square, in the view's own
// pixels with y growing down.
QVector<QLineF> frameLines(OpenGLBaumZeiger *view);

// Writes the view's picture to a file in the format its name's suffix names,
// with the parameter line in its metadata: PNG, the frame as the screen shows
// it, at the framebuffer's pixels; SVG or PDF, the frame's lines as vectors,
// white on black. A file written only in part is never left behind, and a
// file of the name survives a failure. False, with why in `error`, where it
// cannot.
bool savePicture(OpenGLBaumZeiger *view, const QString &fileName, const QString &parameterLine,
                 QString *error);

// The parameter line that a picture saved by linetree holds, or a text file
// with a line that starts with "linetree", reading no more of the file than
// it needs. False, with why in `error`, where there is none.
bool readParameterText(const QString &fileName, QString *line, QString *error);

#endif // TREEPICTURE_H
