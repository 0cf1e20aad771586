// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "startupmessages.h"

#include <QMutex>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

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
// Qt may log from other threads. The lock guards what is held, and is never
// held while a handler runs: one that logs would wait for it forever.
QMutex heldLock;
QVector<HeldMessage> heldMessages;
bool holding = false;
bool passingHeldOn = false;
bool droppingQtWarnings = false;
QtMessageHandler passOn = nullptr;
// Who says why, and what follows where no display could be reached
const char *program = "linetree";
const char *advice = nullptr;

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

// Qt's own account of what goes wrong, which a program may drop once started
bool isQtWarning(const HeldMessage &message)
{
    return (message.type == QtWarningMsg || message.type == QtCriticalMsg)
            && !isPluginMetadata(message);
}

// Qt's debug output shows only where the user asked for it, and the info
// messages then belong to it; otherwise they are Qt's own account of what
// went wrong, which the line replaces.
void sayWhy(const QVector<HeldMessage> &held, const QString &reason)
{
    const bool debugging = std::any_of(held.cbegin(), held.cend(), [](const HeldMessage &message) {
        return message.type == QtDebugMsg;
    });
    for (const HeldMessage &message : held) {
        if (message.type == QtDebugMsg
            || (debugging && (message.type == QtInfoMsg || isPluginMetadata(message))))
            passOnHeld(message);
    }
    std::fprintf(stderr, "%s: %s\n", program, qUtf8Printable(reason));
}

// Why Qt could not go on: each platform that Qt tried says why in a warning,
// and then that it could not load its plugin, which says nothing more. Where
// none said why, the message that ends the program does.
QString causes(const QVector<HeldMessage> &held, const QString &last)
{
    QStringList causes;
    bool xcbNamed = false;
    for (const HeldMessage &message : held) {
        if ((message.type != QtWarningMsg && message.type != QtCriticalMsg)
            || isPluginMetadata(message) || qstrcmp(message.category, "qt.qpa.plugin") == 0)
            continue;
        causes << message.text.simplified();
        if (qstrcmp(message.category, "qt.qpa.xcb") == 0 && qEnvironmentVariableIsEmpty("DISPLAY")
            && !xcbNamed) {
            causes.last() += QStringLiteral(" (DISPLAY is not set)");
            xcbNamed = true;
        }
    }
    if (causes.isEmpty())
        causes << last.simplified();
    if (qEnvironmentVariableIsEmpty("DISPLAY") && !xcbNamed)
        causes.last() += QStringLiteral(" (DISPLAY is not set)");
    return causes.join(QStringLiteral("; "));
}

// Counts down as Qt does for QT_FATAL_WARNINGS and QT_FATAL_CRITICALS: Qt ends
// the program once it has handed on the message that finds its count at 1.
// Called with heldLock locked.
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
    const HeldMessage message {type, context.file, context.line, context.function, context.category,
                               text};
    QMutexLocker locker(&heldLock);
    const bool ends = endsTheProgram(type);
    if (!holding) {
        // Where warnings were made fatal, the one that ends the program
        // says why.
        if (droppingQtWarnings && isQtWarning(message) && !ends)
            return;
        locker.unlock();
        passOnHeld(message);
        return;
    }
    if (passingHeldOn) {
        // In its turn, behind those held; or at once where Qt ends the
        // program when it returns.
        if (!ends) {
            heldMessages.append(message);
            return;
        }
        locker.unlock();
        passOnHeld(message);
        return;
    }
    heldMessages.append(message);
    if (!ends)
        return;

    // Qt gives up when it cannot reach the display, or ends the program after
    // a warning made fatal. Later messages wait, held, for the end.
    const QVector<HeldMessage> held = heldMessages;
    locker.unlock();
    QString reason = QStringLiteral("cannot show the window: %1").arg(causes(held, text));
    if (advice)
        reason += QStringLiteral("; ") + QLatin1String(advice);
    sayWhy(held, reason);
    // A warning made fatal ends the program as Qt ends it, once it returns.
    if (type == QtFatalMsg)
        std::_Exit(1);
}

} // namespace

void holdMessages(const char *programName, const char *displayAdvice)
{
    {
        const QMutexLocker locker(&heldLock);
        holding = true;
        program = programName;
        advice = displayAdvice;
    }
    passOn = qInstallMessageHandler(holdMessage);
}

// Those that come meanwhile join the held ones, so that each thread's come in
// the order it logged them.
void passHeldMessagesOn(bool qtWarnings)
{
    QMutexLocker locker(&heldLock);
    passingHeldOn = true;
    droppingQtWarnings = !qtWarnings;
    while (!heldMessages.isEmpty()) {
        const QVector<HeldMessage> held = std::exchange(heldMessages, {});
        locker.unlock();
        for (const HeldMessage &message : held) {
            if (qtWarnings || !isQtWarning(message))
                passOnHeld(message);
        }
        locker.relock();
    }
    holding = passingHeldOn = false;
    locker.unlock();
    // Without Qt's warnings, each message is looked at as it comes.
    if (qtWarnings)
        qInstallMessageHandler(passOn);
}

void failToStart(const QString &reason)
{
    QVector<HeldMessage> held;
    {
        const QMutexLocker locker(&heldLock);
        held = heldMessages;
    }
    sayWhy(held, reason);
    std::_Exit(1);
}
