// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "pictures.h"

#include <QtDebug>

namespace {

// Pixels of `from` at least `bright` in grey with no pixel at least `lit`
// within one pixel in `to`
int strayPixels(const QImage &from, const QImage &to, int bright, int lit)
{
    const QRect bounds = to.rect();
    int stray = 0;
    for (int y = 0; y < from.height(); ++y) {
        for (int x = 0; x < from.width(); ++x) {
            if (qGray(from.pixel(x, y)) < bright)
                continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy) {
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    const QPoint p(x + dx, y + dy);
                    near = bounds.contains(p) && qGray(to.pixel(p)) >= lit;
                }
            }
            stray += !near;
        }
    }
    return stray;
}

} // namespace

bool sameLines(const QImage &drawn, const QImage &other, bool smoothed)
{
    const QSize slack = smoothed ? QSize(1, 1) : QSize(0, 0);
    const QSize difference = other.size() - drawn.size();
    if (difference.width() < 0 || difference.height() < 0 || difference.width() > slack.width()
        || difference.height() > slack.height()) {
        qWarning("pictures of %dx%d and %dx%d", drawn.width(), drawn.height(), other.width(),
                 other.height());
        return false;
    }
    if (!smoothed) {
        int differing = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x)
                differing += drawn.pixel(x, y) != other.pixel(x, y);
        }
        qInfo("%d of %d pixels differ", differing, drawn.width() * drawn.height());
    }
    const int nearLine = smoothed ? 64 : 1;
    const int onLine = smoothed ? 160 : 1;
    const int stray = strayPixels(drawn, other, 1, nearLine) + strayPixels(other, drawn, onLine, 1);
    if (stray > 0)
        qWarning("%d line pixels lie more than one pixel from the other picture's lines", stray);
    return stray == 0;
}
