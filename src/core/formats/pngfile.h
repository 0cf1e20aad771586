// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef PNGFILE_H
#define PNGFILE_H

#include "fileformats.h"

// The frame as the screen shows it, at the framebuffer's pixels, with the
// parameter line in the Description text, beside a Title and the Software
bool writePng(const Keeping &keeping, QByteArray *file, QString *note, QString *error);

// The Description among the texts that come before a PNG's image data, as
// linetree writes them: each text's checksum checked, and a compressed one
// inflated no further than a line takes
Reading readPng(const QByteArray &head, bool whole, QString *line, QString *error);

#endif // PNGFILE_H
