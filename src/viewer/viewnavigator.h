// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef VIEWNAVIGATOR_H
#define VIEWNAVIGATOR_H

#include <QObject>
#include <QPointF>

class TreeView;

// Zooms and pans the view. The wheel, a touchpad's smooth scrolling and its
// pinch zoom about the point under the pointer, which stays where it is; +
// and - on the view, and Zoom In and Zoom Out of its menu and their keys in
// the whole window, zoom about its centre. A drag with the middle button
// moves the picture with the pointer. Fit Tree (F on the view) zooms and
// pans so that the whole tree, as it is turned now, fills the view; Reset
// Zoom brings back the unzoomed view. None of them rebuilds the tree.
//
// A zoom repaints the tree, at depth 10 for about a third of a second, while
// a wheel sends notches and a held key repeats far faster: so what comes
// meanwhile is taken together, and the view zooms once, by all of it, once
// the event loop has taken in what is queued.
class ViewNavigator : public QObject
{
    Q_OBJECT

public:
    explicit ViewNavigator(TreeView *view);

public slots:
    void zoomIn();
    void zoomOut();
    void fit();
    void resetZoom();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void zoomBy(int eighths, const QPointF &point);
    void zoom();

    TreeView *view;
    // The zoom that waits for the next frame, in eighths of a wheel's degree,
    // about a point of the view's square
    int waiting = 0;
    QPointF waitingAbout;
    bool zoomQueued = false;
};

#endif // VIEWNAVIGATOR_H
