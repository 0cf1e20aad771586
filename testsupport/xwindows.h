// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef XWINDOWS_H
#define XWINDOWS_H

#include <QtGlobal>

#include <memory>

#include <X11/Xlib.h>

// A display connection that closes itself
using DisplayPointer = std::unique_ptr<Display, int (*)(Display *)>;

// The top-level window that the process shows, or 0 while it shows none.
Window shownWindow(Display *display, qint64 pid);

// Asks the window to close, as a window manager's close button does.
void requestClose(Display *display, Window window);

#endif // XWINDOWS_H
