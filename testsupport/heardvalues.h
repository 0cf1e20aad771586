// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef HEARDVALUES_H
#define HEARDVALUES_H

#include <QList>

class QObject;

// Every value that Qt's widgets have reported for the object to assistive
// technology, in order: what a screen reader hears of a slider.
QList<int> heardValues(const QObject *object);

#endif // HEARDVALUES_H
