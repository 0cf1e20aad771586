// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef PLOTTERDRAWING_H
#define PLOTTERDRAWING_H

#include <QPointF>
#include <QSizeF>
#include <QVector>

struct TreeGraph;
struct ViewState;

// A page for a pen plotter, in millimetres
struct PlotterPage
{
    QSizeF paper {210, 297}; // as the page stands: A4 upright
    double margin = 10;
    bool layers = false; // a layer for each level of the tree, each for a pen of its own
};

// The tree as a pen plotter draws it: strokes, each a run of points that the
// pen draws without lifting, in the order it draws them, on the page in
// millimetres, y growing down, in a layer for each level or in one.
struct PlotterDrawing
{
    struct Stroke
    {
        QVector<QPointF> points;
    };
    QVector<QVector<Stroke>> layers;

    int strokes() const;
    // Millimetres drawn, and travelled with the pen up from a stroke's end to
    // the next stroke's start
    double drawn() const;
    double travel() const;
};

// The tree's graph as the view shows it, turned, zoomed and panned, and cut
// at the edges of the view's square, scaled to fill the page inside its
// margins and centred. Each segment that shows is drawn once: segments that
// coincide on the page once, and those of no length not at all. The segments
// are joined where they meet into as few strokes as drawing each once
// allows, one for every two points where an odd number of them meet, and
// the strokes follow the tree depth first, so that the pen travels little
// between them.
PlotterDrawing plotterDrawing(const TreeGraph &graph, const ViewState &view,
                              const PlotterPage &page);

#endif // PLOTTERDRAWING_H
