// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

// Hears what a screen reader would. It defines QAccessible::updateAccessibility
// itself, so the dynamic linker binds the calls of Qt's widgets here, in the
// tests as in the real program that it is preloaded into; every value change
// is kept and handed on to Qt's own function, found with dlsym(RTLD_NEXT).
// With LINETREE_VALUE_LOG naming a file, each value is also written there,
// one line each.

#include "heardvalues.h"
#include "logfile.h"

#include <QAccessible>
#include <QHash>

#include <dlfcn.h>

namespace {

QHash<const QObject *, QList<int>> &heard()
{
    static QHash<const QObject *, QList<int>> values;
    return values;
}

std::FILE *log()
{
    static std::FILE *file = openLog("LINETREE_VALUE_LOG");
    return file;
}

} // namespace

void QAccessible::updateAccessibility(QAccessibleEvent *event)
{
    using Update = void (*)(QAccessibleEvent *);
    static const auto next = reinterpret_cast<Update>(
            dlsym(RTLD_NEXT, "_ZN11QAccessible19updateAccessibilityEP16QAccessibleEvent"));
    if (event->type() == QAccessible::ValueChanged) {
        const int value = static_cast<QAccessibleValueChangeEvent *>(event)->value().toInt();
        heard()[event->object()].append(value);
        if (std::FILE *file = log())
            std::fprintf(file, "%d\n", value);
    }
    next(event);
}

QList<int> heardValues(const QObject *object)
{
    return heard().value(object);
}
