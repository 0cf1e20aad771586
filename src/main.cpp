// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "autorepeatfilter.h"
#include "mainwindow.h"

#include <QApplication>
#include <QGLFormat>

#include <cstdio>
#include <malloc.h>

int main(int argc, char *argv[])
{
    // Every rebuild has the driver free the old display list and allocate the
    // new one in hundreds of thousands of small blocks; glibc's fast bins make
    // that markedly slower (consolidating them costs more than they save here),
    // so they are switched off.
    mallopt(M_MXFAST, 0);

    // linetree is an X11 program: Qt's Wayland platform never paints a
    // QGLWidget, so Wayland desktops get it through XWayland. A platform that
    // the user chose, with QT_QPA_PLATFORM or -platform, still wins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "xcb");
    // Qt 5 scales only when asked: without this, fonts follow a high-DPI
    // screen but the view and the sliders keep their sizes in pixels.
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);

    QApplication a(argc, argv);
    if (!QGLFormat::hasOpenGL()) {
        std::fprintf(stderr,
                     "linetree: no OpenGL available on this display, so there is no "
                     "tree to show\n");
        return 1;
    }
    AutoRepeatFilter autoRepeatFilter;
    a.installEventFilter(&autoRepeatFilter);
    MainWindow w;
    w.show();
    return a.exec();
}
