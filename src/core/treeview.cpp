// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "treeview.h"
#include "framelines.h"

#include <cmath>
#include <limits>

namespace {

const double panStep = 0x1p-40;

} // namespace

// Every slot of the view rebuilds the tree, so four values go in while the
// depth is 0, where a rebuild compiles no line, and the depth rebuilds the
// tree once.
void TreeView::setParameters(const TreeParameters &parameters)
{
    setzeRekTiefe(0);
    setzeWinkel(parameters.winkel);
    setzeWinkelSkal(parameters.winkelSkal);
    setzeLaenge(parameters.laenge);
    setzeVerkuerzung(parameters.verkuerzung);
    setzeRekTiefe(parameters.rekTiefe);
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

bool TreeView::treeBounds(QRectF *bounds)
{
    ListLines lines;
    if (!listLines(GL_2D, true, &lines))
        return false;
    double lowest[2] = {std::numeric_limits<double>::max(), std::numeric_limits<double>::max()};
    double highest[2]
            = {std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
    // A token, then x and y of each end
    for (size_t i = 0; i + 5 <= lines.values.size(); i += 5) {
        for (size_t at : {i + 1, i + 3}) {
            for (int axis = 0; axis < 2; ++axis) {
                const double model = lines.model(lines.values[at + axis]);
                lowest[axis] = qMin(lowest[axis], model);
                highest[axis] = qMax(highest[axis], model);
            }
        }
    }
    *bounds = lines.values.empty()
            ? QRectF()
            : QRectF(QPointF(lowest[0], lowest[1]), QPointF(highest[0], highest[1]));
    return true;
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

bool TreeView::listLines(GLenum type, bool turned, ListLines *lines)
{
    const double reached = reach();
    if (!std::isfinite(reached) || reached > 1e15)
        return false;
    // Beyond the tree, so that nothing is clipped
    lines->box = reached * 1.01 + 1e-3;
    const size_t perLine = type == GL_3D ? 7 : 5;
    const size_t values = perLine * size_t(treeSegments(rekTiefe));
    lines->values.assign(values + 1, 0);

    makeCurrent();
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    // Window x and y from 0 to the largest side OpenGL takes, z from 0 to 1,
    // across the box: the window's own height, from which drivers count y,
    // then costs nothing of a float's precision.
    GLint largest[2];
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, largest);
    lines->side = qMin(largest[0], largest[1]);
    glViewport(0, 0, GLsizei(lines->side), GLsizei(lines->side));
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-lines->box, lines->box, -lines->box, lines->box, -lines->box, lines->box);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    if (turned) {
        glRotatef(rotX, 1, 0, 0);
        glRotatef(rotY, 0, 1, 0);
    }
    glFeedbackBuffer(GLsizei(lines->values.size()), type, lines->values.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(objektRef);
    const GLint written = glRenderMode(GL_RENDER);
    // OpenGL keeps the buffer's address for the next feedback, which must
    // not write into memory freed by then.
    glFeedbackBuffer(0, type, nullptr);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    lines->values.resize(values);
    return written == GLint(values);
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
