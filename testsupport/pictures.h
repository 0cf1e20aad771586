// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef PICTURES_H
#define PICTURES_H

#include <QImage>

// Whether two pictures of white lines on black show the same lines: each
// line pixel of either one lies at most one pixel from a line pixel of the
// other, as a conforming rasteriser may place each pixel of a line one off.
// In a picture that OpenGL drew every pixel not black belongs to a line; a
// renderer that smooths its lines (librsvg, Poppler) lights pixels beside
// them a little, so there a pixel a quarter lit is near a line and one at
// least five eighths lit belongs to one, and its picture may be a pixel
// larger, as PDF pages measure whole points. Logs what differs.
bool sameLines(const QImage &drawn, const QImage &other, bool smoothed = false);

#endif // PICTURES_H
