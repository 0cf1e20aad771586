// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include <QDeadlineTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// Xlib last: its macros clash with Qt's names
#include "xwindows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

// Runs the real program on an X server of its own, as a user on one kind of
// desktop would, and closes its window as a window manager's close button does.
class tst_Linetree : public QObject
{
    Q_OBJECT

private slots:
    void desktops_data();
    void desktops();
};

namespace {

const int waitMs = 20000;

// A process that ends with the test row, whether the row passes or not.
class Child : public QProcess
{
    Q_OBJECT

public:
    ~Child() override
    {
        kill();
        waitForFinished();
    }
};

// Starts a program and waits up to waitMs for it to report ready; the
// caller's Child ends it with the row.
bool startServer(QProcess &server, const QString &program, const QStringList &arguments,
                 const std::function<bool()> &ready)
{
    server.start(program, arguments);
    if (!server.waitForStarted())
        return false;
    const QDeadlineTimer deadline(waitMs);
    while (!ready()) {
        if (deadline.hasExpired() || server.state() != QProcess::Running)
            return false;
        server.waitForReadyRead(50);
    }
    return true;
}

// The tree view is a native child window, the largest one in the window.
QRect viewGeometry(Display *display, Window window, Window *view)
{
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, window, &root, &parent, &children, &count);
    QRect largest;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes))
            continue;
        const QRect geometry(attributes.x, attributes.y, attributes.width, attributes.height);
        if (geometry.width() * geometry.height() > largest.width() * largest.height()) {
            largest = geometry;
            *view = children[i];
        }
    }
    if (children)
        XFree(children);
    return largest;
}

// Counts the view's white pixels; any other lit pixel makes the result -1.
int whitePixels(Display *display, Window view, const QSize &size)
{
    XImage *image = XGetImage(display, view, 0, 0, size.width(), size.height(), AllPlanes, ZPixmap);
    if (!image)
        return -1;
    int white = 0;
    for (int y = 0; y < size.height() && white >= 0; ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const unsigned long pixel = XGetPixel(image, x, y) & 0xffffff;
            if (pixel == 0xffffff) {
                ++white;
            } else if (pixel != 0) {
                white = -1;
                break;
            }
        }
    }
    XDestroyImage(image);
    return white;
}

} // namespace

void tst_Linetree::desktops_data()
{
    QTest::addColumn<QStringList>("serverArguments"); // for Xvfb, after the screen
    QTest::addColumn<QByteArray>("resources");        // as a desktop sets them on X
    QTest::addColumn<bool>("wayland");                // a Wayland compositor beside it
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<int>("scale"); // of the view's 200 × 200 minimum; 0: no window

    QTest::newRow("X11, 96 dpi") << QStringList() << QByteArray() << false << QStringList() << 1;
    QTest::newRow("X11, 192 dpi: the view scales with the fonts")
            << QStringList {"-dpi", "192"} << QByteArray("Xft.dpi:\t192\n") << false
            << QStringList() << 2;
    QTest::newRow("Wayland session (KDE): shown through XWayland")
            << QStringList() << QByteArray() << true
            << QStringList {"XDG_SESSION_TYPE=wayland", "XDG_CURRENT_DESKTOP=KDE"} << 1;
    QTest::newRow("no OpenGL: says so and ends with 1")
            << QStringList {"-extension", "GLX"} << QByteArray() << false
            << QStringList {"__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent"} << 0;
}

void tst_Linetree::desktops()
{
    QFETCH(QStringList, serverArguments);
    QFETCH(QByteArray, resources);
    QFETCH(bool, wayland);
    QFETCH(QStringList, environment);
    QFETCH(int, scale);

    const QTemporaryDir runtime; // 0700, as Qt and Weston want XDG_RUNTIME_DIR
    QVERIFY(runtime.isValid());
    QProcessEnvironment childEnvironment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE",
                             "XDG_CURRENT_DESKTOP", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
                             "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING"})
        childEnvironment.remove(name);
    childEnvironment.insert("XDG_RUNTIME_DIR", runtime.path());

    Child xvfb;
    QByteArray displayNumber;
    QVERIFY2(startServer(xvfb, "Xvfb",
                         QStringList {"-displayfd", "1", "-screen", "0", "1024x768x24"}
                                 + serverArguments,
                         [&] {
                             displayNumber += xvfb.readAllStandardOutput();
                             return displayNumber.endsWith('\n');
                         }),
             "Xvfb did not start");
    const QByteArray displayName = ':' + displayNumber.trimmed();
    childEnvironment.insert("DISPLAY", displayName);

    Child weston;
    if (wayland) {
        const QString socket = "linetree-test";
        QProcessEnvironment westonEnvironment = childEnvironment;
        westonEnvironment.remove("DISPLAY");
        weston.setProcessEnvironment(westonEnvironment);
        QVERIFY2(
                startServer(weston, "weston",
                            {"--backend=headless-backend.so", "--use-pixman", "--socket=" + socket},
                            [&] { return QFile::exists(runtime.filePath(socket)); }),
                "weston did not start");
        childEnvironment.insert("WAYLAND_DISPLAY", socket);
    }
    for (const QString &variable : environment)
        childEnvironment.insert(variable.section('=', 0, 0), variable.section('=', 1));

    const DisplayPointer x(XOpenDisplay(displayName.constData()), XCloseDisplay);
    QVERIFY2(x, "cannot open the test's X display");
    Display *display = x.get();
    if (!resources.isEmpty()) {
        XChangeProperty(display, DefaultRootWindow(display), XA_RESOURCE_MANAGER, XA_STRING, 8,
                        PropModeReplace, reinterpret_cast<const unsigned char *>(resources.data()),
                        resources.size());
        XSync(display, False);
    }

    Child linetree;
    linetree.setProcessEnvironment(childEnvironment);
    linetree.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    linetree.start(LINETREE_BINARY, QStringList());
    QVERIFY(linetree.waitForStarted());

    QDeadlineTimer deadline(waitMs);
    if (scale == 0) {
        QVERIFY2(linetree.waitForFinished(waitMs), "linetree did not end");
        QCOMPARE(linetree.exitStatus(), QProcess::NormalExit);
        QCOMPARE(linetree.exitCode(), 1);
        static const QRegularExpression oneLine("^linetree: .*OpenGL.*\n$");
        const QString errors = linetree.readAllStandardError();
        QVERIFY2(errors.contains(oneLine), qPrintable(errors));
        return;
    }

    // The window, its view at its minimum size, and the white tree in it
    Window window = 0;
    while (!(window = shownWindow(display, linetree.processId()))) {
        QVERIFY2(linetree.state() == QProcess::Running, linetree.readAllStandardError());
        QVERIFY2(!deadline.hasExpired(), "linetree showed no window on the X display");
        QTest::qWait(50);
    }
    Window view = 0;
    const QRect geometry = viewGeometry(display, window, &view);
    QCOMPARE(geometry.height(), 200 * scale);
    QVERIFY2(geometry.width() >= 200 * scale, qPrintable(QString::number(geometry.width())));
    int white = 0;
    while ((white = whitePixels(display, view, geometry.size())) < 200 * scale) {
        QVERIFY2(white >= 0, "the view shows a colour other than black and white");
        QVERIFY2(!deadline.hasExpired(), "the view shows no tree");
        QTest::qWait(50);
    }

    requestClose(display, window);
    QVERIFY2(linetree.waitForFinished(int(deadline.remainingTime())),
             "linetree did not end after the close request");
    QCOMPARE(linetree.exitStatus(), QProcess::NormalExit);
    QCOMPARE(linetree.exitCode(), 0);
}

QTEST_GUILESS_MAIN(tst_Linetree)
#include "tst_linetree.moc"
