#include "mainwindow.h"

#include <QApplication>
#include <QGLFormat>

#include <cstdio>

int main(int argc, char *argv[])
{
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
        std::fprintf(stderr, "linetree: no OpenGL available on this display, so there is no "
                             "tree to show\n");
        return 1;
    }
    MainWindow w;
    w.show();
    return a.exec();
}
