// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef KEYBOARDTURNER_H
#define KEYBOARDTURNER_H

#include <QObject>
#include <QPoint>

class QFocusFrame;
class QKeyEvent;
class QWidget;

// Turns the tree with the arrow keys, as a drag with the left mouse button
// turns it: Left and Right spin it about its trunk, Up and Down tilt it, each
// press by about 15 degrees, with Shift by the drag's finest step, one pixel.
// The view takes the keyboard focus by Tab and by a click, and a focus frame
// around it, outside the picture, shows that it has it.
//
// A turn of the tree at depth 10 repaints for about a third of a second,
// while a held key repeats 25 times a second. So the keys are taken together
// as the sliders' bursts are: once the event loop has taken in what is
// queued, every press made since counts, and of a held key's repeats only the
// newest, and none once the key is released.
class KeyboardTurner : public QObject
{
    Q_OBJECT

public:
    explicit KeyboardTurner(QWidget *view);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPoint dragFor(const QKeyEvent *key) const;
    void turn();

    QWidget *view;
    QFocusFrame *focusFrame;
    // Pixels of drag that wait for the next turn
    QPoint pressed;
    QPoint repeated;
    int repeatedKey = 0;
    bool turnQueued = false;
};

#endif // KEYBOARDTURNER_H
