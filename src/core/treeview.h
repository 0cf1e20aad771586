// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef TREEVIEW_H
#define TREEVIEW_H

#include "openglbaumzeiger.h"
#include "treeparameters.h"

#include <QImage>
#include <QRectF>

struct TreeGraph;

// The view as linetree's window and linetree-render use it, and the only
// code that reaches into it: its parameters, its rotation, its list, and the
// zoom and pan that it shows the tree with. The zoom and pan are the
// projection's: unzoomed and unpanned, every frame is the view's own.
//
// It declares no Q_OBJECT, so that its meta-object is the view's own,
// "OpenGLBaumZeiger", with the view's slots and nothing more.
class TreeView : public OpenGLBaumZeiger
{
public:
    // Four notches of a wheel, 120 eighths of a degree each, double the zoom.
    static constexpr int eighthsPerDoubling = 4 * 120;

    using OpenGLBaumZeiger::OpenGLBaumZeiger;

    // Gives the view all five parameters, rebuilds its tree once and
    // repaints.
    void setParameters(const TreeParameters &parameters);

    ViewState viewState() const;
    // Shows the tree so from the next frame on; the list stays as it is.
    void setViewState(const ViewState &state);

    // Where a point of the view, in its pixels, lies on the square the tree
    // is drawn in: from -1 to 1 across it, y up, as OpenGL places it
    QPointF squarePoint(const QPointF &at) const;
    // Zooms by `eighths` of a degree of a wheel, 120 a notch, four notches
    // doubling the zoom, about `point` of the square, which stays where it
    // is; then repaints. A notch one way and one the other, about the same
    // point, bring back the very same view.
    void zoomAbout(const QPointF &point, int eighths);
    // Moves the picture by `pixels` of the view for the next frame, as the
    // pointer moves it. A move and its opposite bring back the very same
    // view.
    void pan(const QPoint &pixels);
    // The tree's graph by its rule, as the list draws it, worked out without
    // OpenGL, in single precision as OpenGL works
    TreeGraph treeShape() const;
    // Where the tree lies as it is turned now, in model units, y up; empty
    // for a tree of no segment
    QRectF treeBounds() const;
    // Zooms and pans so that `bounds` fill the view's square but for a
    // margin of a twentieth on each side, for the next frame.
    void fitTo(const QRectF &bounds);

    // The pointer's position, in the view's pixels, at the last press or
    // move, before the view takes the event at hand
    QPoint lastPointerPosition() const { return letzteMausPos; }
    GLuint list() const { return objektRef; }
    // The lengths of one path from the trunk's foot to a tip added up: no
    // point of the tree lies further from its first fork.
    double reach() const;

    // The frame the view shows, drawn anew by its own paintGL in its own
    // context without reaching the screen, at the framebuffer's pixels
    QImage grabFrame();
    // Draws the frame anew, as grabFrame() does, with OpenGL in feedback
    // mode into the buffer that the caller has given to glFeedbackBuffer in
    // the view's context, and returns what glRenderMode returns: the number
    // of values written, or a negative number where they did not fit. The
    // screen keeps showing the view's picture.
    GLint feedbackFrame();

protected:
    void resizeGL(int width, int height) override;

private:
    double zoom() const;
    bool unzoomed() const;
    void movePan(double x, double y);
    void placeProjection();
    void projectionChanged();

    // The zoom and pan as last set, and how far the wheel and the pointer
    // have moved them since, in whole steps, so that moving back comes back
    // exactly: eighths of a wheel's degree, and 2^-40 model units
    double zoomSet = 1;
    int zoomEighths = 0;
    double panSetX = 0;
    double panSetY = 0;
    qint64 panStepsX = 0;
    qint64 panStepsY = 0;
};

#endif // TREEVIEW_H
