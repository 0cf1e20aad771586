// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "arrowkeys.h"

#include <QCoreApplication>
#include <QCursor>
#include <QFocusFrame>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

namespace {

// Styles draw Qt's focus frame in the text colour, black in most themes,
// which would only make the black picture look larger.
class HighlightFrame : public QFocusFrame
{
public:
    using QFocusFrame::QFocusFrame;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter(this).fillRect(rect(), palette().highlight());
    }
};

} // namespace

ArrowKeys::ArrowKeys(QWidget *view)
    : QObject(view)
    , view(view)
    , focusFrame(new HighlightFrame(view->parentWidget()))
{
    // Shown around the view while it has the focus
    focusFrame->hide();
    view->setFocusPolicy(Qt::StrongFocus);
    view->installEventFilter(this);
}

bool ArrowKeys::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
        focusFrame->setWidget(view);
        break;
    case QEvent::FocusOut:
        // The view's own menu takes the keyboard for as long as it is open,
        // and gives it back.
        if (static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason)
            focusFrame->setWidget(nullptr);
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QPoint by = dragFor(key);
        if (by.isNull())
            break;
        if (event->type() == QEvent::KeyRelease) {
            // The release that X sends before each repeat means nothing; the
            // key's own release drops its repeat, come too late to matter.
            if (!key->isAutoRepeat() && key->key() == repeatedKey)
                turning.repeated = moving.repeated = QPoint();
            return true;
        }
        Drag &drag = key->modifiers() & Qt::ControlModifier ? moving : turning;
        if (key->isAutoRepeat()) {
            turning.repeated = moving.repeated = QPoint();
            drag.repeated = by;
            repeatedKey = key->key();
        } else {
            drag.pressed += by;
        }
        if (!dragQueued) {
            dragQueued = true;
            // Runs once the event loop has taken in what is queued now
            QMetaObject::invokeMethod(this, &ArrowKeys::drag, Qt::QueuedConnection);
        }
        return true;
    }
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

// The drag in pixels that an arrow key stands for, by the drag's rule: a drag
// across the whole view turns the tree once around. Nothing for other keys.
QPoint ArrowKeys::dragFor(const QKeyEvent *key) const
{
    if (key->modifiers() & ~(Qt::ShiftModifier | Qt::ControlModifier | Qt::KeypadModifier))
        return QPoint();
    const bool finest = key->modifiers() & Qt::ShiftModifier;
    const auto step
            = [finest](int side) { return finest ? 1 : qMax(1, qRound(side * 15 / 360.0)); };
    switch (key->key()) {
    case Qt::Key_Left:
        return QPoint(-step(view->width()), 0);
    case Qt::Key_Right:
        return QPoint(step(view->width()), 0);
    case Qt::Key_Up:
        return QPoint(0, -step(view->height()));
    case Qt::Key_Down:
        return QPoint(0, step(view->height()));
    default:
        return QPoint();
    }
}

// One drag for all the keys taken in, with each button
void ArrowKeys::drag()
{
    dragQueued = false;
    send(Qt::LeftButton, turning.pressed + turning.repeated);
    send(Qt::MiddleButton, moving.pressed + moving.repeated);
    turning = moving = Drag();
}

// Pressed at one end and moved with the button held to the other, which is
// where the pointer is, so that a drag with the mouse goes on from there
void ArrowKeys::send(Qt::MouseButton button, const QPoint &by)
{
    if (by.isNull())
        return;
    const QPoint to = view->mapFromGlobal(QCursor::pos());
    const QPoint from = to - by;
    QMouseEvent press(QEvent::MouseButtonPress, from, view->mapToGlobal(from), button, button,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(view, &press);
    QMouseEvent move(QEvent::MouseMove, to, view->mapToGlobal(to), Qt::NoButton, button,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(view, &move);
}
