// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "treeview.h"
#include "framelines.h"
#include "treegraph.h"

#include <QMatrix4x4>

#include <cmath>
#include <functional>
#include <vector>

namespace {

const double panStep = 0x1p-40;

} // namespace

// As the slots store them, in the sliders' units, and then one rebuild and
// one frame, where each slot would draw one of its own
void TreeView::setParameters(const TreeParameters &parameters)
{
    winkel = static_cast<float>(parameters.winkel * 0.5);
    winkelSkal = static_cast<float>(parameters.winkelSkal * 0.01);
    laenge = static_cast<float>(parameters.laenge * 0.01);
    verkuerzung = static_cast<float>(parameters.verkuerzung * 0.01);
    rekTiefe = qBound(0, parameters.rekTiefe, 10);
    erstelleBaum();
    updateGL();
}

ViewState TreeView::viewState() const
{
    return {rotY, rotX, zoom(), panSetX + panStepsX * panStep, panSetY + panStepsY * panStep};
}

void TreeView::setViewState(const ViewState &state)
{
    rotY = state.turn;
    rotX = state.tilt;
    zoomSet = state.zoom;
    panSetX = state.panX;
    panSetY = state.panY;
    zoomEighths = 0;
    panStepsX = panStepsY = 0;
    projectionChanged();
}

// As resizeGL places the square: the largest one centred in the
// framebuffer, an odd pixel to the right or top
QPointF TreeView::squarePoint(const QPointF &at) const
{
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = size() * ratio;
    const int side = qMax(1, qMin(pixels.width(), pixels.height()));
    // The middle of the pixel at `at`
    const double x = (at.x() + 0.5) * ratio - (pixels.width() - side) / 2;
    const double y = pixels.height() - (at.y() + 0.5) * ratio - (pixels.height() - side) / 2;
    return QPointF(2 * x / side - 1, 2 * y / side - 1);
}

void TreeView::zoomAbout(const QPointF &point, int eighths)
{
    const double before = zoom();
    zoomEighths += eighths;
    double after = zoom();
    if (after < lowestZoom || after > highestZoom) {
        zoomSet = after = qBound(lowestZoom, after, highestZoom);
        zoomEighths = 0;
    }
    // The square shows zoom × (the tree's point + pan), which stays at
    // `point`. Zooming back, the pan moves back by the very opposite.
    const double change = 1 / after - 1 / before;
    movePan(point.x() * change, point.y() * change);
    projectionChanged();
    updateGL();
}

void TreeView::pan(const QPoint &pixels)
{
    const QSize framebuffer = size() * devicePixelRatioF();
    // Model units a pixel of the view: the square spans 2 / zoom of them
    const int side = qMax(1, qMin(framebuffer.width(), framebuffer.height()));
    const double unit = 2 * devicePixelRatioF() / (side * zoom());
    movePan(pixels.x() * unit, -pixels.y() * unit);
    projectionChanged();
}

// The tree's rule, walked as the list draws it: each segment runs up its
// frame's Y axis, and below its tip its four branches start, a quarter turn
// apart about it and each tilted by the level's angle, in single precision
// as OpenGL turns them.
TreeGraph TreeView::treeShape() const
{
    TreeGraph shape;
    if (rekTiefe <= 0)
        return shape;
    // Each level's length and the turns of its four branches
    struct Level
    {
        float length;
        QMatrix4x4 branches[4];
    };
    std::vector<Level> levels(static_cast<size_t>(rekTiefe));
    float length = laenge;
    float tilt = winkel;
    for (Level &level : levels) {
        level.length = length;
        for (int i = 0; i < 4; ++i) {
            level.branches[i].rotate(90.0f * i, 0, 1, 0);
            level.branches[i].rotate(tilt, 0, 0, 1);
        }
        length *= verkuerzung;
        tilt *= winkelSkal;
    }
    shape.foot = QVector3D(0, -laenge, 0);
    shape.joints.reserve(treeSegments(rekTiefe) + 1);
    shape.joints.append(QVector3D());
    const std::function<void(const QMatrix4x4 &, size_t, int)> grow
            = [&](const QMatrix4x4 &frame, size_t level, int start) {
                  QMatrix4x4 tip = frame;
                  tip.translate(0, levels[level].length, 0);
                  shape.joints.append(tip.map(QVector3D()) - shape.foot);
                  const int end = shape.joints.size() - 1;
                  shape.segments.append({start, end});
                  shape.levels.append(int(level));
                  if (level + 1 < levels.size()) {
                      for (const QMatrix4x4 &branch : levels[level].branches)
                          grow(tip * branch, level + 1, end);
                  }
              };
    QMatrix4x4 trunk;
    trunk.translate(shape.foot);
    grow(trunk, 0, 0);
    return shape;
}

// Fit Tree then costs no more than the frame that shows it.
QRectF TreeView::treeBounds() const
{
    const TreeGraph shape = treeShape();
    if (shape.joints.isEmpty())
        return QRectF();
    QMatrix4x4 turned;
    turned.rotate(rotX, 1, 0, 0);
    turned.rotate(rotY, 0, 1, 0);
    const QPointF foot = turned.map(shape.foot).toPointF();
    QRectF bounds(foot, foot);
    for (const QVector3D &joint : shape.joints) {
        const QPointF end = turned.map(joint + shape.foot).toPointF();
        bounds.setLeft(qMin(bounds.left(), end.x()));
        bounds.setRight(qMax(bounds.right(), end.x()));
        bounds.setTop(qMin(bounds.top(), end.y()));
        bounds.setBottom(qMax(bounds.bottom(), end.y()));
    }
    return bounds;
}

void TreeView::fitTo(const QRectF &bounds)
{
    ViewState fitted = viewState();
    const double half = qMax(bounds.width(), bounds.height()) / 2;
    fitted.zoom = half > 0 ? qBound(lowestZoom, 0.9 / half, highestZoom) : highestZoom;
    fitted.panX = qBound(-widestPan, -bounds.center().x(), widestPan);
    fitted.panY = qBound(-widestPan, -bounds.center().y(), widestPan);
    setViewState(fitted);
}

double TreeView::reach() const
{
    double reach = 0;
    double length = laenge;
    for (int level = 0; level < rekTiefe; ++level) {
        reach += std::abs(length);
        length *= double(verkuerzung);
    }
    return reach;
}

void TreeView::resizeGL(int width, int height)
{
    OpenGLBaumZeiger::resizeGL(width, height);
    if (!unzoomed())
        placeProjection();
}

double TreeView::zoom() const
{
    return zoomSet * std::exp2(double(zoomEighths) / eighthsPerDoubling);
}

bool TreeView::unzoomed() const
{
    const ViewState state = viewState();
    return state.zoom == 1 && state.panX == 0 && state.panY == 0;
}

// In whole steps, rounded alike either way, so that a move and its opposite
// cancel exactly; within the pan's range
void TreeView::movePan(double x, double y)
{
    panStepsX += std::llround(x / panStep);
    panStepsY += std::llround(y / panStep);
    const ViewState moved = viewState();
    if (qAbs(moved.panX) > widestPan) {
        panSetX = qBound(-widestPan, moved.panX, widestPan);
        panStepsX = 0;
    }
    if (qAbs(moved.panY) > widestPan) {
        panSetY = qBound(-widestPan, moved.panY, widestPan);
        panStepsY = 0;
    }
}

// The view's own projection is glOrtho(-1, 1, -1, 1, 1, 15): the square
// from -1 to 1, from 4 units before the tree's first fork to 10 behind it.
// Zoomed or panned, the square shows the part of the tree that the zoom and
// pan put there, and the depth holds the largest tree whole.
void TreeView::placeProjection()
{
    const ViewState shown = viewState();
    const double half = 1 / shown.zoom;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-half - shown.panX, half - shown.panX, -half - shown.panY, half - shown.panY,
            unzoomed() ? 1 : zDist - largestReach, 15);
    glMatrixMode(GL_MODELVIEW);
}

// Before the view is first shown it may have no context yet; resizeGL
// places the projection once there is one.
void TreeView::projectionChanged()
{
    if (!isValid())
        return;
    makeCurrent();
    placeProjection();
}
