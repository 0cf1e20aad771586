// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef AUTOREPEATFILTER_H
#define AUTOREPEATFILTER_H

#include "qtbridge.h"

#include <QObject>
#include <QPointer>

#include <memory>

// Lets a held key move a widget only as fast as the widget can follow.
//
// X repeats a held key about 25 times a second, while a slider step at depth
// 10 rebuilds and repaints the tree for about a second, so the repeats would
// pile up and keep the program busy long after the key is released. Installed
// on the application, the filter holds each auto-repeated key press back
// until the event loop has taken in everything queued behind it: a newer
// repeat replaces it, and the release of its key drops it.
class AutoRepeatFilter : public QObject
{
    Q_OBJECT

public:
    explicit AutoRepeatFilter(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void sendHeldPress();

    std::unique_ptr<QKeyEvent> heldPress;
    QPointer<QObject> heldReceiver;
    const QEvent *sending = nullptr;
};

#endif // AUTOREPEATFILTER_H
