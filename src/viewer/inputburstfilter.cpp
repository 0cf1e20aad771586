// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "inputburstfilter.h"
#include "qtbridge.h"

#include <QCoreApplication>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>

namespace {

bool isRepeat(const std::unique_ptr<QEvent> &event)
{
    return event->type() == QEvent::KeyPress
            && static_cast<const QKeyEvent *>(event.get())->isAutoRepeat();
}

} // namespace

InputBurstFilter::InputBurstFilter(QObject *parent)
    : QObject(parent)
{
}

bool InputBurstFilter::eventFilter(QObject *watched, QEvent *event)
{
    auto *slider = qobject_cast<QAbstractSlider *>(watched);
    if (sending || !slider)
        return false;

    std::unique_ptr<QEvent> copy;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        const auto *key = static_cast<QKeyEvent *>(event);
        // Tab moves the focus, and with it the slider that the keys after it
        // go to: it comes in its turn, never held.
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            sendBurst();
            return false;
        }
        // The release that X sends before each repeat means nothing.
        if (key->isAutoRepeat() && key->type() == QEvent::KeyRelease)
            return false;
        copy.reset(copyOf(*key));
        break;
    }
    case QEvent::Wheel:
        copy.reset(copyOf(*static_cast<QWheelEvent *>(event)));
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        sendBurst(); // the click comes after it, as given
        return false;
    default:
        return false;
    }

    if (!burst.empty() && !joinsBurst(slider, event))
        sendBurst();
    // A held key moves the slider as far as it can follow while the key is
    // down: a newer repeat replaces the one held back, and the release drops
    // it, come too late to matter. Presses made one by one all count.
    if (event->type() != QEvent::Wheel) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        if (key->isAutoRepeat() || key->type() == QEvent::KeyRelease)
            burst.erase(std::remove_if(burst.begin(), burst.end(), isRepeat), burst.end());
    }
    if (burst.empty()) {
        receiver = slider;
        // Runs once the event loop has taken in what is queued now
        QMetaObject::invokeMethod(this, &InputBurstFilter::sendBurst, Qt::QueuedConnection);
    }
    burst.push_back(std::move(copy));
    // Taken: Qt offers an ignored wheel event to the parent widgets too.
    event->accept();
    return true;
}

// Events of the same key (presses, repeats and releases alike), or wheel
// events, to the same slider
bool InputBurstFilter::joinsBurst(const QAbstractSlider *slider, const QEvent *event) const
{
    const QEvent *first = burst.front().get();
    if (slider != receiver)
        return false;
    if (event->type() == QEvent::Wheel || first->type() == QEvent::Wheel)
        return event->type() == first->type();
    const auto *key = static_cast<const QKeyEvent *>(event);
    const auto *firstKey = static_cast<const QKeyEvent *>(first);
    return key->key() == firstKey->key() && key->modifiers() == firstKey->modifiers();
}

void InputBurstFilter::sendBurst()
{
    // Sent early, by other input, the burst leaves no queued send behind that
    // would take the next burst before the event loop has taken it all in.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    const std::vector<std::unique_ptr<QEvent>> events = std::move(burst);
    burst.clear();
    const QPointer<QAbstractSlider> slider = receiver;
    if (events.empty() || !slider)
        return;

    const int before = slider->value();
    sending = true;
    {
        const QSignalBlocker quiet(slider.data());
        for (const std::unique_ptr<QEvent> &event : events)
            QCoreApplication::sendEvent(slider, event.get());
    }
    sending = false;
    // The value the burst has reached, told once. The slider is not set back
    // and again, which a screen reader would hear as two more moves.
    if (slider && slider->value() != before)
        emit slider->valueChanged(slider->value());
}
