// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "allocator.h"
#include "mainwindow.h"
#include "openglcheck.h"
#include "qtbridge.h"

#include <QApplication>
#include <QVector>

#include <cstdio>
#include <cstdlib>

namespace {

// Qt's messages from the time before linetree knows that it has a display
// and OpenGL. Where either is missing, one line of linetree's own says so
// instead of Qt's several; otherwise they are passed on as they came.
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
QVector<HeldMessage> heldMessages;
QtMessageHandler passOn = nullptr;

[[noreturn]] void fail(const QString &reason)
{
    std::fprintf(stderr, "linetree: %s\n", qUtf8Printable(reason));
    std::_Exit(1);
}

void holdMessage(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    // Qt gives up when it cannot reach the display: the platform plugin is
    // the only one that can end the start this way.
    if (type == QtFatalMsg) {
        QString cause = heldMessages.isEmpty() ? text : heldMessages.constFirst().text;
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            cause += QStringLiteral(" (DISPLAY is not set)");
        fail(QStringLiteral("cannot show the window: %1").arg(cause.simplified()));
    }
    heldMessages.append(
            {type, context.file, context.line, context.function, context.category, text});
}

void passHeldMessagesOn()
{
    qInstallMessageHandler(passOn);
    for (const HeldMessage &message : std::as_const(heldMessages)) {
        const QMessageLogContext context(message.file, message.line, message.function,
                                         message.category);
        passOn(message.type, context, message.text);
    }
    heldMessages.clear();
}

} // namespace

int main(int argc, char *argv[])
{
    setUpAllocator();
    setUpToolkit(argc, argv);

    passOn = qInstallMessageHandler(holdMessage);
    QApplication a(argc, argv);
    // The Wayland app id, by which desktops find the entry's name and icon
    QApplication::setDesktopFileName(QStringLiteral(LINETREE_APP_ID));
    if (!openGLUsable())
        fail(QStringLiteral("no OpenGL available on this display, so there is no tree to show"));
    passHeldMessagesOn();

    MainWindow w;
    w.show();
    return a.exec();
}
