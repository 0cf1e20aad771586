// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "linepicture.h"
#include "framelines.h"
#include "treeview.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Lines drawn as one path, near enough; see paintFrameLines()
const int linesPerPath = 1000;

// To a tenth of a pixel, which keeps the SVG of a tree of depth 10 within
// the 10,000,000 bytes that librsvg reads, in a document and in an attribute
QPointF rounded(const QPointF &point)
{
    return QPointF(qRound(point.x() * 10) / 10.0, qRound(point.y() * 10) / 10.0);
}

} // namespace

bool paintFrameLines(TreeView *view, QPaintDevice *device, QString *error)
{
    QVector<QLineF> lines;
    if (!frameLines(view, &lines)) {
        *error = QStringLiteral("OpenGL did not hand back every line of the picture");
        return false;
    }
    QPainter painter;
    if (!painter.begin(device)) {
        *error = QStringLiteral("the picture could not be drawn");
        return false;
    }
    // To beyond the edges, since PDF pages measure whole points
    painter.fillRect(QRect(QPoint(-1, -1), view->size() + QSize(2, 2)), Qt::black);
    painter.setPen(QPen(Qt::white, 1 / view->devicePixelRatioF(), Qt::SolidLine, Qt::FlatCap));
    QPainterPath path;
    for (const QLineF &line : std::as_const(lines)) {
        // A branch goes on from where its parent ends.
        const QPointF start = rounded(line.p1());
        if (path.isEmpty() || start != path.currentPosition()) {
            // librsvg takes time that grows with the square of a path's
            // length: 3.5 minutes for one path of depth 10, 1.7 s in paths
            // of a thousand lines.
            if (path.elementCount() >= linesPerPath) {
                painter.drawPath(path);
                path.clear();
            }
            path.moveTo(start);
        }
        path.lineTo(rounded(line.p2()));
    }
    painter.drawPath(path);
    if (painter.end())
        return true;
    *error = QStringLiteral("the picture could not be drawn");
    return false;
}
