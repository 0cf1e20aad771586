// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "plotterdrawing.h"
#include "treegraph.h"
#include "treeparameters.h"

#include <QHash>
#include <QLineF>
#include <QMatrix4x4>
#include <QRectF>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>
#include <vector>

namespace {

double squared(const QPointF &vector)
{
    return vector.x() * vector.x() + vector.y() * vector.y();
}

// A segment as the view shows it, in its square's units from -1 to 1, y up
struct Seen
{
    QPointF from;
    QPointF to;
    int level;
    // The tree's joints at its ends, where it is not cut there; else -1
    int fromJoint;
    int toJoint;
};

// The part of a segment inside the square, as Liang and Barsky cut it;
// false where none is
bool cut(QPointF *from, QPointF *to)
{
    const QPointF along = *to - *from;
    const double directions[4] = {-along.x(), along.x(), -along.y(), along.y()};
    const double room[4] = {from->x() + 1, 1 - from->x(), from->y() + 1, 1 - from->y()};
    double enter = 0;
    double leave = 1;
    for (int side = 0; side < 4; ++side) {
        if (directions[side] == 0) {
            if (room[side] < 0)
                return false;
            continue;
        }
        const double at = room[side] / directions[side];
        if (directions[side] < 0)
            enter = qMax(enter, at);
        else
            leave = qMin(leave, at);
    }
    if (enter > leave)
        return false;
    const QPointF start = *from;
    *from = start + enter * along;
    *to = start + leave * along;
    return true;
}

// The segments that the view shows, cut at its square, lowest levels first
QVector<Seen> seenSegments(const TreeGraph &graph, const ViewState &view)
{
    QMatrix4x4 turned;
    turned.rotate(view.tilt, 1, 0, 0);
    turned.rotate(view.turn, 0, 1, 0);
    QVector<QPointF> joints;
    joints.reserve(graph.joints.size());
    for (const QVector3D &joint : graph.joints) {
        const QVector3D eye = turned.map(joint + graph.foot);
        joints.append(
                QPointF((eye.x() + view.panX) * view.zoom, (eye.y() + view.panY) * view.zoom));
    }
    QVector<Seen> seen;
    for (int i = 0; i < graph.segments.size(); ++i) {
        const auto [start, end] = graph.segments[i];
        QPointF from = joints[start];
        QPointF to = joints[end];
        if (cut(&from, &to)) {
            seen.append({from, to, graph.levels[i], from == joints[start] ? start : -1,
                         to == joints[end] ? end : -1});
        }
    }
    std::stable_sort(seen.begin(), seen.end(),
                     [](const Seen &a, const Seen &b) { return a.level < b.level; });
    return seen;
}

// From the square to the page: what shows scaled to fill the page inside
// its margins, and centred, y down
class PageMapping
{
public:
    PageMapping(const QVector<Seen> &seen, const PlotterPage &page)
    {
        QRectF extent;
        for (const Seen &segment : seen)
            extent |= QRectF(segment.from, segment.to).normalized();
        const QRectF inside(page.margin, page.margin, page.paper.width() - 2 * page.margin,
                            page.paper.height() - 2 * page.margin);
        const double across = extent.width() > 0 ? inside.width() / extent.width() : HUGE_VAL;
        const double down = extent.height() > 0 ? inside.height() / extent.height() : HUGE_VAL;
        scale = qMin(across, down);
        if (!std::isfinite(scale))
            scale = 1;
        from = extent.center();
        to = inside.center();
    }

    QPointF operator()(const QPointF &square) const
    {
        return QPointF(to.x() + (square.x() - from.x()) * scale,
                       to.y() - (square.y() - from.y()) * scale);
    }

private:
    double scale = 1;
    QPointF from;
    QPointF to;
};

// The points where segments meet, each once: a point within half a
// hundredth of a millimetre of one known, which no pen tells apart and the
// file does not, is that one. Points are found by the cells of a grid that
// they lie in, each cell's chained.
class Points
{
public:
    int at(const QPointF &point)
    {
        const qint64 column = std::llround(std::floor(point.x() / grid));
        const qint64 row = std::llround(std::floor(point.y() / grid));
        for (qint64 x = column - 1; x <= column + 1; ++x) {
            for (qint64 y = row - 1; y <= row + 1; ++y) {
                const auto cell = cells.find(key(x, y));
                for (int known = cell == cells.end() ? -1 : cell->second; known >= 0;
                     known = chained[size_t(known)]) {
                    if (squared(points[known] - point) <= grid * grid / 4)
                        return known;
                }
            }
        }
        const int added = points.size();
        points.append(point);
        int &first = cells.try_emplace(key(column, row), -1).first->second;
        chained.push_back(first);
        first = added;
        return added;
    }

    QVector<QPointF> points;

private:
    static quint64 key(qint64 x, qint64 y) { return quint64(quint32(x)) << 32 | quint32(y); }

    static constexpr double grid = 0.01;
    std::unordered_map<quint64, int> cells; // the last point found in each
    std::vector<int> chained;               // the one before it in its cell, or -1
};

// An edge of a layer's graph: a segment drawn, or a move with the pen up
// between two points where an odd number of segments meet
struct Edge
{
    int a;
    int b;
    bool drawn;

    int other(int end) const { return end == a ? b : a; }
};

// Each point's edges, in one array in the points' order
struct Incidence
{
    Incidence(size_t count, const std::vector<Edge> &all)
        : first(count + 1, 0)
        , edges(2 * all.size())
    {
        for (const Edge &edge : all) {
            ++first[size_t(edge.a) + 1];
            ++first[size_t(edge.b) + 1];
        }
        std::partial_sum(first.begin(), first.end(), first.begin());
        std::vector<int> at(first.begin(), first.end() - 1);
        for (size_t i = 0; i < all.size(); ++i) {
            edges[size_t(at[size_t(all[i].a)]++)] = int(i);
            edges[size_t(at[size_t(all[i].b)]++)] = int(i);
        }
    }

    int degree(int point) const { return first[size_t(point) + 1] - first[size_t(point)]; }

    std::vector<int> first; // where each point's edges start, and the last's end
    std::vector<int> edges;
};

// Pairs the points where an odd number of segments meet, each in turn with
// the nearest one left, found among its neighbours on a grid of cells that
// hold about one such point each
std::vector<std::pair<int, int>> nearestPairs(const QVector<QPointF> &points,
                                              const std::vector<int> &odd)
{
    if (odd.size() < 2)
        return {};
    QRectF extent(points[odd.front()], QSizeF());
    for (const int point : odd)
        extent |= QRectF(points[point], QSizeF());
    const double side
            = qMax(0.01, std::sqrt(extent.width() * extent.height() / double(odd.size())));
    const int columns = int(extent.width() / side) + 1;
    const int rows = int(extent.height() / side) + 1;
    const auto cellOf = [&](int point) {
        const QPointF at = points[point] - extent.topLeft();
        return QPoint(qMin(columns - 1, int(at.x() / side)), qMin(rows - 1, int(at.y() / side)));
    };
    // Each cell's points, one cell after the other
    std::vector<int> first(size_t(columns) * size_t(rows) + 1, 0);
    for (const int point : odd) {
        const QPoint cell = cellOf(point);
        ++first[size_t(cell.y()) * size_t(columns) + size_t(cell.x()) + 1];
    }
    std::partial_sum(first.begin(), first.end(), first.begin());
    std::vector<int> inCells(odd.size());
    std::vector<int> filled(first.begin(), first.end() - 1);
    for (const int point : odd) {
        const QPoint cell = cellOf(point);
        inCells[size_t(filled[size_t(cell.y()) * size_t(columns) + size_t(cell.x())]++)] = point;
    }

    std::vector<char> paired(size_t(points.size()), 0);
    std::vector<std::pair<int, int>> pairs;
    size_t left = odd.size();
    for (const int point : odd) {
        if (paired[size_t(point)] || left < 2)
            continue;
        paired[size_t(point)] = 1;
        const QPoint home = cellOf(point);
        int nearest = -1;
        double distance = HUGE_VAL; // squared
        // Ring after ring of cells, until none nearer can be further out
        for (int ring = 0; nearest < 0 || distance > squared(QPointF((ring - 1) * side, 0));
             ++ring) {
            for (int y = qMax(0, home.y() - ring); y <= qMin(rows - 1, home.y() + ring); ++y) {
                for (int x = qMax(0, home.x() - ring); x <= qMin(columns - 1, home.x() + ring);
                     ++x) {
                    if (qMax(qAbs(x - home.x()), qAbs(y - home.y())) != ring)
                        continue;
                    const size_t cell = size_t(y) * size_t(columns) + size_t(x);
                    for (int at = first[cell]; at < first[cell + 1]; ++at) {
                        const int other = inCells[size_t(at)];
                        const double d = squared(points[point] - points[other]);
                        if (!paired[size_t(other)] && d < distance) {
                            nearest = other;
                            distance = d;
                        }
                    }
                }
            }
        }
        paired[size_t(nearest)] = 1;
        pairs.push_back({point, nearest});
        left -= 2;
    }
    return pairs;
}

// The graph drawn with as few strokes as drawing each segment once allows.
// Pairing the points where an odd number of segments meet by moves of the
// pen makes every point's count even, so that a closed walk takes every
// segment and move of a connected part once (Hierholzer's way); cut at the
// moves, it leaves a stroke for each pair, and a part without such points
// one. Each point is paired with the nearest left, in the order a walk
// through the tree meets them, which keeps the moves, and the pen's
// travel, short.
QVector<PlotterDrawing::Stroke> strokes(const QVector<QPointF> &points, std::vector<Edge> edges)
{
    const size_t count = size_t(points.size());
    // The points, part by part, as a walk through each meets them
    const Incidence drawn(count, edges);
    std::vector<int> walked;
    std::vector<char> reached(count, 0);
    for (size_t first = 0; first < count; ++first) {
        if (reached[first] || drawn.degree(int(first)) == 0)
            continue;
        std::vector<int> walk {int(first)};
        reached[first] = 1;
        while (!walk.empty()) {
            const int point = walk.back();
            walk.pop_back();
            walked.push_back(point);
            for (int at = drawn.first[size_t(point)]; at < drawn.first[size_t(point) + 1]; ++at) {
                const int other = edges[size_t(drawn.edges[size_t(at)])].other(point);
                if (!reached[size_t(other)]) {
                    reached[size_t(other)] = 1;
                    walk.push_back(other);
                }
            }
        }
    }
    std::vector<int> odd;
    for (const int point : walked) {
        if (drawn.degree(point) % 2 != 0)
            odd.push_back(point);
    }
    for (const auto &[a, b] : nearestPairs(points, odd))
        edges.push_back({a, b, false});

    const Incidence all(count, edges);
    QVector<PlotterDrawing::Stroke> drawing;
    std::vector<int> next(all.first.begin(), all.first.end() - 1);
    std::vector<char> used(edges.size(), 0);
    for (const int first : walked) {
        if (next[size_t(first)] == all.first[size_t(first) + 1])
            continue;
        // The closed walk: each point with the edge it is reached by
        std::vector<std::pair<int, int>> stack {{first, -1}};
        std::vector<std::pair<int, int>> closed;
        while (!stack.empty()) {
            const int point = stack.back().first;
            int &at = next[size_t(point)];
            const int end = all.first[size_t(point) + 1];
            while (at < end && used[size_t(all.edges[size_t(at)])])
                ++at;
            if (at == end) {
                closed.push_back(stack.back());
                stack.pop_back();
                continue;
            }
            const int edge = all.edges[size_t(at)];
            used[size_t(edge)] = 1;
            stack.push_back({edges[size_t(edge)].other(point), edge});
        }
        std::reverse(closed.begin(), closed.end());

        // Begun after a move, where there is one, it is cut into strokes at
        // each move.
        const auto move = std::find_if(closed.begin() + 1, closed.end(), [&](const auto &step) {
            return !edges[size_t(step.second)].drawn;
        });
        PlotterDrawing::Stroke stroke {
                {points[move != closed.end() ? move->first : closed.front().first]}};
        if (move != closed.end())
            std::rotate(closed.begin() + 1, move + 1, closed.end());
        for (auto step = closed.begin() + 1; step != closed.end(); ++step) {
            if (edges[size_t(step->second)].drawn) {
                stroke.points.append(points[step->first]);
                continue;
            }
            if (stroke.points.size() > 1)
                drawing.append(stroke);
            stroke.points = {points[step->first]};
        }
        if (stroke.points.size() > 1)
            drawing.append(stroke);
    }
    return drawing;
}

double length(const QVector<QPointF> &points)
{
    double sum = 0;
    for (int i = 1; i < points.size(); ++i)
        sum += QLineF(points[i - 1], points[i]).length();
    return sum;
}

} // namespace

int PlotterDrawing::strokes() const
{
    int count = 0;
    for (const QVector<Stroke> &layer : layers)
        count += layer.size();
    return count;
}

double PlotterDrawing::drawn() const
{
    double sum = 0;
    for (const QVector<Stroke> &layer : layers) {
        for (const Stroke &stroke : layer)
            sum += length(stroke.points);
    }
    return sum;
}

double PlotterDrawing::travel() const
{
    QVector<QPointF> ends;
    for (const QVector<Stroke> &layer : layers) {
        for (const Stroke &stroke : layer)
            ends << stroke.points.first() << stroke.points.last();
    }
    double sum = 0;
    for (int i = 2; i < ends.size(); i += 2)
        sum += QLineF(ends[i - 1], ends[i]).length();
    return sum;
}

PlotterDrawing plotterDrawing(const TreeGraph &graph, const ViewState &view,
                              const PlotterPage &page)
{
    const QVector<Seen> seen = seenSegments(graph, view);
    const PageMapping mapping(seen, page);
    // Each segment once: of those that coincide on the page, the lowest
    // level's; and none of no length
    Points points;
    // Each joint of the tree once
    std::vector<int> jointPoints(size_t(graph.joints.size()), -1);
    const auto pointOf = [&](int joint, const QPointF &square) {
        if (joint < 0)
            return points.at(mapping(square));
        int &point = jointPoints[size_t(joint)];
        if (point < 0)
            point = points.at(mapping(square));
        return point;
    };
    QSet<QPair<int, int>> drawn;
    std::vector<std::vector<Edge>> layers;
    for (const Seen &segment : seen) {
        const int a = pointOf(segment.fromJoint, segment.from);
        const int b = pointOf(segment.toJoint, segment.to);
        if (a == b || drawn.contains(qMakePair(qMin(a, b), qMax(a, b))))
            continue;
        drawn.insert(qMakePair(qMin(a, b), qMax(a, b)));
        const size_t layer = page.layers ? size_t(segment.level) : 0;
        if (layers.size() <= layer)
            layers.resize(layer + 1);
        layers[layer].push_back({a, b, true});
    }
    PlotterDrawing drawing;
    for (const std::vector<Edge> &layer : layers)
        drawing.layers.append(strokes(points.points, layer));
    return drawing;
}
