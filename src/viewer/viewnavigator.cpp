// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "viewnavigator.h"
#include "qtbridge.h"
#include "treeview.h"
#include "viewmenu.h"

#include <QAction>
#include <QWheelEvent>

#include <cmath>
#include <utility>

namespace {

// A wheel's notch, in eighths of a degree
const int notch = 120;

} // namespace

ViewNavigator::ViewNavigator(TreeView *view)
    : QObject(view)
    , view(view)
{
    view->installEventFilter(this);
    addMenuSeparator(view, this);
    connect(addMenuAction(view, this, tr("Zoom &In"), QStringLiteral("zoom-in"),
                          {QKeySequence::ZoomIn, QKeySequence(QStringLiteral("Ctrl+="))}),
            &QAction::triggered, this, &ViewNavigator::zoomIn);
    connect(addMenuAction(view, this, tr("Zoom &Out"), QStringLiteral("zoom-out"),
                          {QKeySequence::ZoomOut}),
            &QAction::triggered, this, &ViewNavigator::zoomOut);
    QAction *fitting = addMenuAction(view, this, tr("&Fit Tree"), QStringLiteral("zoom-fit-best"),
                                     {QKeySequence(Qt::Key_F)});
    // A letter alone is the view's: on a slider it would be typed.
    fitting->setShortcutContext(Qt::WidgetShortcut);
    connect(fitting, &QAction::triggered, this, &ViewNavigator::fit);
    connect(addMenuAction(view, this, tr("Reset &Zoom"), QStringLiteral("zoom-original"),
                          {QKeySequence(QStringLiteral("Ctrl+0"))}),
            &QAction::triggered, this, &ViewNavigator::resetZoom);
}

void ViewNavigator::zoomIn()
{
    zoomBy(notch, QPointF());
}

void ViewNavigator::zoomOut()
{
    zoomBy(-notch, QPointF());
}

void ViewNavigator::fit()
{
    view->fitTo(view->treeBounds());
    view->updateGL();
}

void ViewNavigator::resetZoom()
{
    ViewState unzoomed = view->viewState();
    unzoomed.zoom = 1;
    unzoomed.panX = unzoomed.panY = 0;
    view->setViewState(unzoomed);
    view->updateGL();
}

bool ViewNavigator::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::Wheel: {
        auto *wheel = static_cast<QWheelEvent *>(event);
        // Up, away from the hand, zooms in.
        zoomBy(wheel->angleDelta().y(), view->squarePoint(wheel->position()));
        wheel->accept();
        return true;
    }
    case QEvent::NativeGesture: {
        const auto *gesture = static_cast<QNativeGestureEvent *>(event);
        // The pinch's scale, less 1
        if (gesture->gestureType() != Qt::ZoomNativeGesture || gesture->value() <= -1)
            break;
        zoomBy(int(std::lround(TreeView::eighthsPerDoubling * std::log2(1 + gesture->value()))),
               view->squarePoint(positionOf(gesture)));
        return true;
    }
    case QEvent::KeyPress: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const int sign = key->key() == Qt::Key_Plus || key->key() == Qt::Key_Equal ? 1
                : key->key() == Qt::Key_Minus                                      ? -1
                                                                                   : 0;
        // + takes Shift on many keyboards.
        if (sign == 0 || key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
            break;
        zoomBy(sign * notch, QPointF());
        return true;
    }
    case QEvent::MouseMove: {
        // The view repaints for every move, and turns the tree where the
        // left button is held too.
        const auto *move = static_cast<QMouseEvent *>(event);
        if (move->buttons() & Qt::MiddleButton)
            view->pan(positionOf(move) - view->lastPointerPosition());
        break;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void ViewNavigator::zoomBy(int eighths, const QPointF &point)
{
    waiting += eighths;
    waitingAbout = point;
    if (zoomQueued)
        return;
    zoomQueued = true;
    // Runs once the event loop has taken in what is queued now
    QMetaObject::invokeMethod(this, &ViewNavigator::zoom, Qt::QueuedConnection);
}

void ViewNavigator::zoom()
{
    zoomQueued = false;
    const int eighths = std::exchange(waiting, 0);
    if (eighths != 0)
        view->zoomAbout(waitingAbout, eighths);
}
