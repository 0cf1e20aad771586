// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef PICTUREFILE_H
#define PICTUREFILE_H

#include <QByteArray>
#include <QString>

class TreeView;

// The view's picture in the format named, with the parameter line in its
// metadata: "png", the frame as the screen shows it, at the framebuffer's
// pixels; "svg" or "pdf", the frame's lines as vectors, white on black, on a
// page of the view's size. False, with why in `error`, where it cannot be
// drawn.
bool renderPicture(TreeView *view, const QString &format, const QString &parameterLine,
                   QByteArray *picture, QString *error);

#endif // PICTUREFILE_H
