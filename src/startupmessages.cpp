// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "startupmessages.h"

#include <QMutex>
#include <QVector>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

struct HeldMessage
{
    QtMsgType type;
    // What QMessageLogContext holds; Qt's strings live as long as the program
    const char *file;
    int line;
    const char *function;
    const char *category;
    QString text;
};
// Qt may log from other threads.
QMutex heldLock;
QVector<HeldMessage> heldMessages;
bool holding = false;
QtMessageHandler passOn = nullptr;

void passOnHeld(const HeldMessage &message)
{
    const QMessageLogContext context(message.file, message.line, message.function,
                                     message.category);
    passOn(message.type, context, message.text);
}

// The plugin metadata that QT_DEBUG_PLUGINS has Qt 5 print as warnings
bool isPluginMetadata(const HeldMessage &message)
{
    return message.text.startsWith(QLatin1String("Found metadata in lib "));
}

// Called with heldLock locked. Qt's debug output shows only where the user
// asked for it, and the info messages then belong to it; otherwise they are
// Qt's own account of what went wrong, which the line replaces.
void sayWhy(const QString &reason)
{
    const bool debugging
            = std::any_of(heldMessages.cbegin(), heldMessages.cend(),
                          [](const HeldMessage &held) { return held.type == QtDebugMsg; });
    for (const HeldMessage &message : std::as_const(heldMessages)) {
        if (message.type == QtDebugMsg
            || (debugging && (message.type == QtInfoMsg || isPluginMetadata(message))))
            passOnHeld(message);
    }
    std::fprintf(stderr, "linetree: %s\n", qUtf8Printable(reason));
}

// Counts down as Qt does for QT_FATAL_WARNINGS and QT_FATAL_CRITICALS: Qt ends
// the program once it has handed on the message that finds its count at 1.
bool endsTheProgram(QtMsgType type)
{
    const auto countFrom = [](const char *variable) {
        const QByteArray value = qgetenv(variable);
        bool ok = false;
        const int count = value.toInt(&ok, 0);
        return value.isEmpty() ? 0 : ok ? count : 1;
    };
    static int warningsLeft = countFrom("QT_FATAL_WARNINGS");
    static int criticalsLeft = countFrom("QT_FATAL_CRITICALS");
    if (type == QtFatalMsg)
        return true;
    if (type != QtWarningMsg && type != QtCriticalMsg)
        return false;
    int &left = type == QtWarningMsg ? warningsLeft : criticalsLeft;
    const int before = left;
    if (left != 0)
        --left;
    return before == 1;
}

void holdMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    const QMutexLocker locker(&heldLock);
    const HeldMessage message {type, context.file, context.line, context.function, context.category,
                               text};
    if (!holding) {
        passOnHeld(message);
        return;
    }
    heldMessages.append(message);
    if (!endsTheProgram(type))
        return;

    // Qt gives up when it cannot reach the display, or ends the program after
    // a warning made fatal: the first warning or error tells why.
    const auto first = std::find_if(
            heldMessages.cbegin(), heldMessages.cend(), [](const HeldMessage &held) {
                return held.type != QtDebugMsg && held.type != QtInfoMsg && !isPluginMetadata(held);
            });
    QString cause = first != heldMessages.cend() ? first->text : text;
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        cause += QStringLiteral(" (DISPLAY is not set)");
    sayWhy(QStringLiteral("cannot show the window: %1").arg(cause.simplified()));
    // A warning made fatal ends the program as Qt ends it, once it returns.
    if (type == QtFatalMsg)
        std::_Exit(1);
}

} // namespace

void holdMessages()
{
    {
        const QMutexLocker locker(&heldLock);
        holding = true;
    }
    passOn = qInstallMessageHandler(holdMessage);
}

void passHeldMessagesOn()
{
    {
        const QMutexLocker locker(&heldLock);
        for (const HeldMessage &message : std::as_const(heldMessages))
            passOnHeld(message);
        heldMessages.clear();
        holding = false;
    }
    qInstallMessageHandler(passOn);
}

void failToStart(const QString &reason)
{
    heldLock.lock();
    sayWhy(reason);
    std::_Exit(1);
}
