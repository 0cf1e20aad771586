// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <utility>

#include <signal.h>
#include <sys/prctl.h>

// Xlib last: its macros clash with Qt's names
#include "xwindows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

// Runs the real program on a display of its own, as a user on one kind of
// desktop would, finds the tree view in a picture of what the display shows,
// and closes the window as a window manager's close button does.
class tst_Linetree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void desktops_data();
    void desktops();
    void cannotShow_data();
    void cannotShow();
    void sameTreeOnBothToolkits_data();
    void sameTreeOnBothToolkits();
};

namespace {

const int waitMs = 20000;

// A process that ends with the test row, whether the row passes or not, and
// with the test itself, however that ends.
class Child : public QProcess
{
public:
    Child()
    {
#if QT_VERSION_MAJOR >= 6
        setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
#endif
    }
    ~Child() override
    {
        kill();
        waitForFinished();
    }

#if QT_VERSION_MAJOR < 6
protected:
    void setupChildProcess() override
    {
        prctl(PR_SET_PDEATHSIG, SIGKILL);
    }
#endif
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

// A display of the test's own: an Xvfb server, and a Weston compositor
// beside it or alone, with the environment that programs reach them by.
class Session
{
public:
    Session() { environment.insert("XDG_RUNTIME_DIR", runtime.path()); }

    QProcessEnvironment environment = cleanEnvironment();
    QByteArray displayName; // X; empty without
    QString socket;         // Wayland; empty without

    bool startX(const QStringList &arguments, const QByteArray &resources)
    {
        QByteArray number;
        if (!startServer(xvfb, "Xvfb",
                         QStringList {"-displayfd", "1", "-noreset", "-screen", "0", "1024x768x24"}
                                 + arguments,
                         [&] {
                             number += xvfb.readAllStandardOutput();
                             return number.endsWith('\n');
                         }))
            return false;
        displayName = ':' + number.trimmed();
        environment.insert("DISPLAY", displayName);
        x.reset(XOpenDisplay(displayName.constData()));
        if (!x)
            return false;
        // As desktops tell X11 programs their scale
        if (!resources.isEmpty()) {
            XChangeProperty(x.get(), DefaultRootWindow(x.get()), XA_RESOURCE_MANAGER, XA_STRING, 8,
                            PropModeReplace,
                            reinterpret_cast<const unsigned char *>(resources.data()),
                            resources.size());
            XSync(x.get(), False);
        }
        return true;
    }

    // --debug lets weston-screenshooter take pictures of the output.
    bool startWayland()
    {
        socket = "linetree-test";
        QProcessEnvironment westonEnvironment = environment;
        westonEnvironment.remove("DISPLAY");
        weston.setProcessEnvironment(westonEnvironment);
        if (!startServer(weston, "weston",
                         {"--backend=headless-backend.so", "--use-pixman", "--debug",
                          "--socket=" + socket},
                         [&] { return QFile::exists(runtime.filePath(socket)); }))
            return false;
        environment.insert("WAYLAND_DISPLAY", socket);
        return true;
    }

    Display *display() const { return x.get(); }

    // The compositor's whole output
    QImage waylandScreenshot()
    {
        const QTemporaryDir folder;
        QProcess shooter;
        QProcessEnvironment shooterEnvironment = environment;
        shooterEnvironment.remove("DISPLAY");
        shooter.setProcessEnvironment(shooterEnvironment);
        shooter.setWorkingDirectory(folder.path());
        shooter.start("weston-screenshooter", QStringList());
        if (!shooter.waitForFinished(waitMs) || shooter.exitCode() != 0)
            return QImage();
        const QStringList pictures = QDir(folder.path()).entryList({"*.png"});
        return pictures.isEmpty() ? QImage() : QImage(folder.filePath(pictures.first()));
    }

private:
    static QProcessEnvironment cleanEnvironment()
    {
        QProcessEnvironment clean = QProcessEnvironment::systemEnvironment();
        for (const char *name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE",
              "XDG_CURRENT_DESKTOP", "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS",
              "QT_AUTO_SCREEN_SCALE_FACTOR", "QT_ENABLE_HIGHDPI_SCALING"})
            clean.remove(name);
        return clean;
    }

    QTemporaryDir runtime; // 0700, as Qt and Weston want XDG_RUNTIME_DIR
    Child xvfb;
    Child weston;
    DisplayPointer x {nullptr, XCloseDisplay};
};

QImage windowPicture(Display *display, Window window)
{
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return QImage();
    XImage *image = XGetImage(display, window, 0, 0, attributes.width, attributes.height, AllPlanes,
                              ZPixmap);
    if (!image)
        return QImage();
    QImage picture(attributes.width, attributes.height, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, QRgb(XGetPixel(image, x, y)) | 0xff000000);
    }
    XDestroyImage(image);
    return picture;
}

bool blackOrWhite(QRgb pixel)
{
    pixel &= RGB_MASK;
    return pixel == 0 || pixel == RGB_MASK;
}

// The tree view: the first black pixel, row by row, that starts a black or
// white run at least `side` long to the right and down, and the rectangle
// those runs span. Nothing else in the window or on the desktop is that
// large and only black and white.
QRect findView(const QImage &picture, int side)
{
    for (int top = 0; top < picture.height(); ++top) {
        for (int left = 0; left < picture.width(); ++left) {
            if ((picture.pixel(left, top) & RGB_MASK) != 0)
                continue;
            int right = left;
            while (right + 1 < picture.width() && blackOrWhite(picture.pixel(right + 1, top)))
                ++right;
            int bottom = top;
            while (bottom + 1 < picture.height() && blackOrWhite(picture.pixel(left, bottom + 1)))
                ++bottom;
            const QRect view(QPoint(left, top), QPoint(right, bottom));
            if (view.width() >= side && view.height() >= side)
                return view;
            left = right;
        }
    }
    return QRect();
}

// White pixels in the picture; -1 if any pixel is neither black nor white.
int whitePixels(const QImage &picture)
{
    int white = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            if (!blackOrWhite(pixel))
                return -1;
            white += (pixel & RGB_MASK) != 0;
        }
    }
    return white;
}

// White pixels of `from` with no white pixel at most one pixel away in `to`
int strayPixels(const QImage &from, const QImage &to)
{
    const QRect bounds = to.rect();
    int stray = 0;
    for (int y = 0; y < from.height(); ++y) {
        for (int x = 0; x < from.width(); ++x) {
            if ((from.pixel(x, y) & RGB_MASK) == 0)
                continue;
            bool near = false;
            for (int dy = -1; dy <= 1 && !near; ++dy) {
                for (int dx = -1; dx <= 1 && !near; ++dx) {
                    const QPoint p(x + dx, y + dy);
                    near = bounds.contains(p) && (to.pixel(p) & RGB_MASK) != 0;
                }
            }
            stray += !near;
        }
    }
    return stray;
}

// Whether two views show the same lines: the same size, and each white
// pixel of either one at most one pixel from a white pixel of the other, as a
// conforming rasteriser may place each pixel of a line one off. Logs how many
// pixels differ at all.
bool sameLines(const QImage &a, const QImage &b)
{
    if (a.size() != b.size()) {
        qWarning("views of %dx%d and %dx%d", a.width(), a.height(), b.width(), b.height());
        return false;
    }
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    }
    qInfo("%d of %d pixels differ", differing, a.width() * a.height());
    const int stray = strayPixels(a, b) + strayPixels(b, a);
    if (stray > 0)
        qWarning("%d white pixels lie more than one pixel from the other view's lines", stray);
    return stray == 0;
}

// linetree, started in the session, and where its window is shown
class Linetree : public Child
{
public:
    Linetree(Session &session, const QString &binary, const QStringList &arguments,
             const QStringList &environment = QStringList())
        : session(session)
    {
        QProcessEnvironment childEnvironment = session.environment;
        for (const QString &variable : environment)
            childEnvironment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        setProcessEnvironment(childEnvironment);
        setProcessChannelMode(QProcess::ForwardedOutputChannel);
        start(binary, arguments);
    }

    // The window on the X display, or 0 while there is none
    Window xWindow() const { return shownWindow(session.display(), processId()); }

    // The view once it shows a tree of at least `white` pixels that has come
    // to rest, from the X window or else from the compositor's output; a
    // null picture when there is none.
    QImage view(bool onWayland, int side, int white, const QDeadlineTimer &deadline)
    {
        QImage last;
        while (!deadline.hasExpired() && state() == QProcess::Running) {
            QImage picture;
            if (onWayland)
                picture = session.waylandScreenshot();
            else if (const Window window = xWindow())
                picture = windowPicture(session.display(), window);
            const QRect rect = picture.isNull() ? QRect() : findView(picture, side);
            const QImage view = rect.isNull() ? QImage() : picture.copy(rect);
            if (!view.isNull() && whitePixels(view) >= white && view == last)
                return view;
            last = view;
            QTest::qWait(100);
        }
        return QImage();
    }

private:
    Session &session;
};

} // namespace

// An X error names the row it happened in, and the row goes on to fail,
// where Xlib's own handler would end the whole test.
void tst_Linetree::initTestCase()
{
    XSetErrorHandler([](Display *display, XErrorEvent *error) {
        char text[256];
        XGetErrorText(display, error->error_code, text, sizeof text);
        qWarning("X error in %s(%s): %s", QTest::currentTestFunction(), QTest::currentDataTag(),
                 text);
        return 0;
    });
}

void tst_Linetree::desktops_data()
{
    QTest::addColumn<QStringList>("serverArguments"); // for Xvfb; none: no X server
    QTest::addColumn<QByteArray>("resources");        // as a desktop sets them on X
    QTest::addColumn<bool>("wayland");                // a Wayland compositor too
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<int>("scale");      // of the view's 200 × 200 minimum
    QTest::addColumn<bool>("onWayland"); // where the window shows

    const QStringList x11 {"-screen", "0", "1024x768x24"};
    const bool qt6 = QT_VERSION_MAJOR >= 6;
    QTest::newRow("X11, 96 dpi") << x11 << QByteArray() << false << QStringList() << 1 << false;
    QTest::newRow("X11, 192 dpi: the view scales with the fonts")
            << x11 + QStringList {"-dpi", "192"} << QByteArray("Xft.dpi:\t192\n") << false
            << QStringList() << 2 << false;
    QTest::addRow("Wayland session (KDE): shown %s", qt6 ? "natively" : "through XWayland")
            << x11 << QByteArray() << true
            << QStringList {"XDG_SESSION_TYPE=wayland", "XDG_CURRENT_DESKTOP=KDE"} << 1 << qt6;
    if (qt6) {
        QTest::newRow("Wayland without X: shown natively")
                << QStringList() << QByteArray() << true << QStringList() << 1 << true;
    }
}

void tst_Linetree::desktops()
{
    QFETCH(QStringList, serverArguments);
    QFETCH(QByteArray, resources);
    QFETCH(bool, wayland);
    QFETCH(QStringList, environment);
    QFETCH(int, scale);
    QFETCH(bool, onWayland);

    Session session;
    if (!serverArguments.isEmpty())
        QVERIFY2(session.startX(serverArguments, resources), "Xvfb did not start");
    if (wayland)
        QVERIFY2(session.startWayland(), "weston did not start");

    // The client's side of the Wayland protocol, for its app id
    if (onWayland)
        environment << "WAYLAND_DEBUG=1";
    Linetree linetree(session, LINETREE_BINARY, QStringList(), environment);
    QVERIFY(linetree.waitForStarted());
    const QDeadlineTimer deadline(waitMs);

    // The view at its minimum size, opaque black around the white tree
    const QImage view = linetree.view(onWayland, 150 * scale, 200 * scale, deadline);
    QVERIFY2(!view.isNull(),
             onWayland ? "linetree showed no tree on Wayland"
                       : "linetree showed no tree on the X display");
    QCOMPARE(view.height(), 200 * scale);
    QVERIFY2(view.width() >= 200 * scale, qPrintable(QString::number(view.width())));
    if (onWayland) {
        if (session.display())
            QVERIFY2(!linetree.xWindow(), "linetree showed a window on X as well");
        else
            QVERIFY2(session.startX({"-screen", "0", "1024x768x24"}, QByteArray()),
                     "Xvfb did not start");
        // Named as the desktop entry, so that the desktop finds its name and icon
        QVERIFY(linetree.readAllStandardError().contains("set_app_id(\"" LINETREE_APP_ID "\")"));
        // The same tree as on X11. The Child ends the Wayland one: Wayland has
        // no close request from outside.
        Linetree onX11(session, LINETREE_BINARY, QStringList(), {"QT_QPA_PLATFORM=xcb"});
        QVERIFY(onX11.waitForStarted());
        const QImage x11View = onX11.view(false, 150, 200, deadline);
        QVERIFY2(!x11View.isNull(), "linetree showed no tree on X11");
        QVERIFY(sameLines(view, x11View));
        return;
    }

    requestClose(session.display(), linetree.xWindow());
    QVERIFY2(linetree.waitForFinished(int(deadline.remainingTime())),
             "linetree did not end after the close request");
    QCOMPARE(linetree.exitStatus(), QProcess::NormalExit);
    QCOMPARE(linetree.exitCode(), 0);
}

void tst_Linetree::cannotShow_data()
{
    QTest::addColumn<QStringList>("serverArguments"); // for Xvfb; none: no X server
    QTest::addColumn<bool>("wayland");                // a Wayland compositor
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QString>("message"); // linetree's one line, a pattern

    const QStringList x11 {"-screen", "0", "1024x768x24"};
    const QString noOpenGL = "^linetree: no OpenGL available on this display";
    QTest::newRow("no OpenGL: neither GLX nor EGL")
            << x11 + QStringList {"-extension", "GLX"} << false
            << QStringList {"__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent"} << noOpenGL;
    QTest::newRow("GLX, but no driver to load")
            << x11 << false << QStringList {"LIBGL_DRIVERS_PATH=/nonexistent"} << noOpenGL;
    QTest::newRow("GLX, but indirect rendering, which Xvfb refuses")
            << x11 << false << QStringList {"LIBGL_ALWAYS_INDIRECT=1"} << noOpenGL;
    QTest::newRow("no display: DISPLAY is not set")
            << QStringList() << false << QStringList()
            << "^linetree: .*display.*\\(DISPLAY is not set\\)$";
    QTest::newRow("an X display that is not there")
            << QStringList() << false << QStringList {"DISPLAY=:999"}
            << "^linetree: cannot show the window: .*:999";
    if (QT_VERSION_MAJOR < 6) {
        QTest::newRow("Wayland without XWayland")
                << QStringList() << true << QStringList()
                << "^linetree: .*display.*\\(DISPLAY is not set\\)$";
    }
}

// Where no tree can be shown, linetree says why in one line of its own,
// shows no window and ends with 1, without Qt's abort or its own messages.
void tst_Linetree::cannotShow()
{
    QFETCH(QStringList, serverArguments);
    QFETCH(bool, wayland);
    QFETCH(QStringList, environment);
    QFETCH(QString, message);

    Session session;
    if (!serverArguments.isEmpty())
        QVERIFY2(session.startX(serverArguments, QByteArray()), "Xvfb did not start");
    if (wayland)
        QVERIFY2(session.startWayland(), "weston did not start");

    Linetree linetree(session, LINETREE_BINARY, QStringList(), environment);
    QVERIFY(linetree.waitForStarted());
    QVERIFY2(linetree.waitForFinished(waitMs), "linetree did not end");
    QCOMPARE(linetree.exitStatus(), QProcess::NormalExit);
    QCOMPARE(linetree.exitCode(), 1);
    // Mesa's own lines on a driver that does not load may come first.
    QStringList lines = QString(linetree.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    const QString own = lines.takeLast();
    QVERIFY2(own.contains(QRegularExpression(message)), qPrintable(own));
    for (const QString &line : std::as_const(lines))
        QVERIFY2(line.startsWith("libGL error: "), qPrintable(line));
    if (session.display())
        QVERIFY(!linetree.xWindow());
}

void tst_Linetree::sameTreeOnBothToolkits_data()
{
    QTest::addColumn<QString>("geometry"); // of the window
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QString>("shape"); // of the view

    for (int dpi : {96, 192}) {
        for (const char *shape : {"square", "wide", "tall"}) {
            const QString geometry = shape == QLatin1String("square") ? "222x327"
                    : shape == QLatin1String("wide")                  ? "500x327"
                                                                      : "222x600";
            QTest::addRow("%s view, %d dpi", shape, dpi) << geometry << dpi << shape;
        }
    }
}

// The other toolkit's build of linetree, where the build names one, draws
// the same tree at the same view size.
void tst_Linetree::sameTreeOnBothToolkits()
{
    QFETCH(QString, geometry);
    QFETCH(int, dpi);
    QFETCH(QString, shape);
    const QString other = LINETREE_OTHER_TOOLKIT_BINARY;
    if (other.isEmpty())
        QSKIP("no build of linetree for the other toolkit to compare with");

    Session session;
    QVERIFY2(session.startX({"-screen", "0", "2560x1600x24", "-dpi", QString::number(dpi)},
                            "Xft.dpi:\t" + QByteArray::number(dpi) + '\n'),
             "Xvfb did not start");
    QImage views[2];
    const QString binaries[2] = {LINETREE_BINARY, other};
    for (int i = 0; i < 2; ++i) {
        const int scale = dpi / 96;
        Linetree linetree(session, binaries[i], {"-geometry", geometry});
        QVERIFY(linetree.waitForStarted());
        views[i] = linetree.view(false, 150 * scale, 200 * scale, QDeadlineTimer(waitMs));
        QVERIFY2(!views[i].isNull(), qPrintable(binaries[i] + " showed no tree"));
    }
    const QSize size = views[0].size();
    QString actualShape = "square";
    if (size.width() != size.height())
        actualShape = size.width() > size.height() ? "wide" : "tall";
    QCOMPARE(actualShape, shape);
    QVERIFY(sameLines(views[0], views[1]));
}

QTEST_GUILESS_MAIN(tst_Linetree)
#include "tst_linetree.moc"
