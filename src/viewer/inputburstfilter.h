// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef INPUTBURSTFILTER_H
#define INPUTBURSTFILTER_H

#include <QAbstractSlider>
#include <QEvent>
#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

// Lets bursts of input move a slider only as fast as the program can follow.
//
// At depth 10 one slider step rebuilds and repaints the tree for about half a
// second, while a held key repeats 25 times a second and a flicked wheel
// sends ten notches in half a second: each event would cost a rebuild of its
// own, long after the hand has stopped. Installed on the sliders, the filter
// holds key and wheel events to a slider back until the event loop has taken
// in everything queued behind them; events of the same key, or of the wheel,
// to the same slider join the burst. The slider then gets the whole burst in
// order with its signals blocked, moving as each event takes it (which is
// what a screen reader hears), and tells where the burst has taken it with
// one valueChanged. Every wheel notch and every press counts, but of a held
// key's repeats only the newest, and none once the key is released. Any other
// input to a slider sends the burst on first, and Tab, which moves the focus,
// is never held.
class InputBurstFilter : public QObject
{
    Q_OBJECT

public:
    explicit InputBurstFilter(QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool joinsBurst(const QAbstractSlider *slider, const QEvent *event) const;
    void sendBurst();

    std::vector<std::unique_ptr<QEvent>> burst;
    QPointer<QAbstractSlider> receiver;
    bool sending = false;
};

#endif // INPUTBURSTFILTER_H
