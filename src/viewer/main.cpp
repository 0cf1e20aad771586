// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "allocator.h"
#include "mainwindow.h"
#include "openglcheck.h"
#include "qtbridge.h"
#include "startupmessages.h"
#include "utf8locale.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    useUtf8Locale();
    setUpAllocator();
    setUpToolkit(argc, argv);

    holdMessages();
    QApplication a(argc, argv);
    // The Wayland app id, by which desktops find the entry's name and icon
    QApplication::setDesktopFileName(QStringLiteral(LINETREE_APP_ID));
    const QString problem = openGLProblem();
    if (!problem.isEmpty())
        failToStart(problem);
    passHeldMessagesOn();

    MainWindow w;
    w.show();
    return a.exec();
}
