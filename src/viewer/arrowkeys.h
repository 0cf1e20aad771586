// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef ARROWKEYS_H
#define ARROWKEYS_H

#include <QObject>
#include <QPoint>

class QFocusFrame;
class QKeyEvent;
class QWidget;

// Turns and moves the tree with the arrow keys on the view, as the mouse
// does. Alone they turn it as a drag with the left button turns it: Left and
// Right spin it about its trunk, Up and Down tilt it, each press by about 15
// degrees. With Ctrl they move the picture, as a drag with the middle button
// moves it, by as far as a press turns it. With Shift each goes by the
// drag's finest step, one pixel. The view takes the keyboard focus by Tab
// and by a click, and a focus frame around it, outside the picture, shows
// that it has it.
//
// A turn of the tree at depth 10 repaints for about a third of a second,
// while a held key repeats 25 times a second. So the keys are taken together
// as the sliders' bursts are: once the event loop has taken in what is
// queued, every press made since counts, and of a held key's repeats only the
// newest, and none once the key is released.
class ArrowKeys : public QObject
{
    Q_OBJECT

public:
    explicit ArrowKeys(QWidget *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The pixels of a drag that wait for the next frame
    struct Drag
    {
        QPoint pressed;
        QPoint repeated;
    };

    QPoint dragFor(const QKeyEvent *key) const;
    void drag();
    void send(Qt::MouseButton button, const QPoint &by);

    QWidget *view;
    QFocusFrame *focusFrame;
    Drag turning;
    Drag moving;
    int repeatedKey = 0;
    bool dragQueued = false;
};

#endif // ARROWKEYS_H
