// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "autorepeatfilter.h"

#include <QCoreApplication>

AutoRepeatFilter::AutoRepeatFilter(QObject *parent)
    : QObject(parent)
{
}

bool AutoRepeatFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event == sending || !watched->isWidgetType()
        || (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease))
        return false;

    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->isAutoRepeat()) {
        if (key->type() == QEvent::KeyRelease)
            return false;
        if (!heldPress)
            QMetaObject::invokeMethod(this, &AutoRepeatFilter::sendHeldPress, Qt::QueuedConnection);
        heldPress.reset(copyOf(*key));
        heldReceiver = watched;
        return true;
    }

    if (heldPress) {
        // The user has let go: the held repeat came too late to matter.
        if (key->type() == QEvent::KeyRelease && key->key() == heldPress->key())
            heldPress.reset();
        else // any other key comes after it, as typed
            sendHeldPress();
    }
    return false;
}

void AutoRepeatFilter::sendHeldPress()
{
    const std::unique_ptr<QKeyEvent> press = std::move(heldPress);
    if (!press || !heldReceiver)
        return;
    sending = press.get();
    QCoreApplication::sendEvent(heldReceiver, press.get());
    sending = nullptr;
}
