// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef LINEPICTURE_H
#define LINEPICTURE_H

#include <QString>

class QPaintDevice;
class TreeView;

// Paints the frame that the view shows as vectors on `device`, a page of the
// view's size: white lines on black, each where the screen shows it, a
// screen pixel wide, from the very lines that OpenGL hands back. False, with
// why in `error`, where it cannot.
bool paintFrameLines(TreeView *view, QPaintDevice *device, QString *error);

#endif // LINEPICTURE_H
