// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "pictures.h"

#include <QtTest>

#include <utility>

#include <unistd.h>

// Xlib last: its macros clash with Qt's names
#include "realprogram.h"

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
    void bursts_data();
    void bursts();
    void sameTreeOnBothToolkits_data();
    void sameTreeOnBothToolkits();
    void render_data();
    void render();
};

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
    QTest::addColumn<int>("scale");       // of the view's 200 × 200 minimum
    QTest::addColumn<bool>("onWayland");  // where the window shows
    QTest::addColumn<QByteArray>("told"); // on standard error, as it came

    const QStringList x11 {"-screen", "0", "1024x768x24"};
    const bool qt6 = QT_VERSION_MAJOR >= 6;
    QTest::newRow("X11, 96 dpi") << x11 << QByteArray() << false << QStringList() << 1 << false
                                 << QByteArray();
    QTest::newRow("X11, 192 dpi: the view scales with the fonts")
            << x11 + QStringList {"-dpi", "192"} << QByteArray("Xft.dpi:\t192\n") << false
            << QStringList() << 2 << false << QByteArray();
    QTest::newRow("X11, Qt's debug output asked for: passed on from the start")
            << x11 << QByteArray() << false << QStringList {"QT_LOGGING_RULES=qt.qpa.gl=true"} << 1
            << false << QByteArray("qt.qpa.gl: Xcb GLX gl-integration created\n");
    QTest::addRow("Wayland session (KDE): shown %s", qt6 ? "natively" : "through XWayland")
            << x11 << QByteArray() << true
            << QStringList {"XDG_SESSION_TYPE=wayland", "XDG_CURRENT_DESKTOP=KDE"} << 1 << qt6
            << QByteArray();
    if (qt6) {
        QTest::newRow("Wayland without X: shown natively")
                << QStringList() << QByteArray() << true << QStringList() << 1 << true
                << QByteArray();
    } else {
        QTest::newRow("Wayland chosen (QT_QPA_PLATFORM=wayland): shown through XWayland")
                << x11 << QByteArray() << true << QStringList {"QT_QPA_PLATFORM=wayland"} << 1
                << false << QByteArray();
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
    QFETCH(QByteArray, told);

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
    QVERIFY(linetree.readAllStandardError().contains(told));
}

void tst_Linetree::cannotShow_data()
{
    QTest::addColumn<QStringList>("serverArguments"); // for Xvfb; none: no X server
    QTest::addColumn<bool>("wayland");                // a Wayland compositor
    QTest::addColumn<QStringList>("environment");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message"); // linetree's one line, a pattern
    QTest::addColumn<QString>("asked");   // output the user asked for, before it
    QTest::addColumn<bool>("aborts");     // as Qt ends a program, else with 1

    const QStringList x11 {"-screen", "0", "1024x768x24"};
    const QString noOpenGL = "^linetree: no OpenGL available on this display";
    const QString noDisplay = "^linetree: .*display.*\\(DISPLAY is not set\\)$";
    const QString noCompatibility
            = "^linetree: the tree needs desktop OpenGL with the compatibility profile";
    const QString preload = "LD_PRELOAD="
            + (qEnvironmentVariable("LD_PRELOAD") + ' ' + LINETREE_LOG_LIBRARY).trimmed();
    QTest::newRow("no OpenGL: neither GLX nor EGL")
            << x11 + QStringList {"-extension", "GLX"} << false
            << QStringList {"__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent"} << QStringList()
            << noOpenGL << QString() << false;
    QTest::newRow("GLX, but a driver that cannot start")
            << x11 << false << QStringList {"GALLIUM_DRIVER=nonexistent"} << QStringList()
            << noOpenGL << QString() << false;
    QTest::newRow("GLX, but indirect rendering, which Xvfb refuses")
            << x11 << false << QStringList {"LIBGL_ALWAYS_INDIRECT=1"} << QStringList() << noOpenGL
            << QString() << false;
    QTest::newRow("no display: DISPLAY is not set")
            << QStringList() << false << QStringList() << QStringList() << noDisplay << QString()
            << false;
    QTest::newRow("an X display that is not there")
            << QStringList() << false << QStringList {"DISPLAY=:999"} << QStringList()
            << "^linetree: cannot show the window: .*:999" << QString() << false;
    QTest::newRow("no display, Qt's plugin output asked for: the cause named after it")
            << QStringList() << false << QStringList {"QT_DEBUG_PLUGINS=1"} << QStringList()
            << "^linetree: cannot show the window: could not connect to display "
               "\\(DISPLAY is not set\\)$"
            << "^(qt\\.core\\.plugin\\.factoryloader: |QFactoryLoader::QFactoryLoader\\(\\) "
               ")checking "
               "directory path"
            << false;
    QTest::newRow("no display, warnings fatal: the line, then Qt's abort")
            << QStringList() << false << QStringList {"QT_FATAL_WARNINGS=1"} << QStringList()
            << noDisplay << QString() << true;
    QTest::newRow("no display, the 16th warning fatal (0x10), which never comes: the line once")
            << QStringList() << false << QStringList {"QT_FATAL_WARNINGS=0x10"} << QStringList()
            << noDisplay << QString() << false;
    QTest::newRow("OpenGL ES, as Qt built for it gives")
            << x11 << false << QStringList {preload, "LINETREE_SURFACE_FORMAT=es"} << QStringList()
            << noCompatibility << QString() << false;
    QTest::newRow("a core profile without compatibility")
            << x11 << false << QStringList {preload, "LINETREE_SURFACE_FORMAT=core"}
            << QStringList() << noCompatibility << QString() << false;
    if (QT_VERSION_MAJOR >= 6) {
        QTest::newRow("no display, Wayland then X11 tried: the cause of each")
                << QStringList() << false << QStringList {"QT_QPA_PLATFORM=wayland;xcb"}
                << QStringList()
                << "^linetree: cannot show the window: Failed to create wl_display .*; could not "
                   "connect to display \\(DISPLAY is not set\\)$"
                << QString() << false;
    } else {
        QTest::newRow("no display, Qt's plugin output asked for: Qt 5's metadata too")
                << QStringList() << false << QStringList {"QT_DEBUG_PLUGINS=1"} << QStringList()
                << noDisplay << "^Found metadata in lib" << false;
        QTest::newRow("Wayland without XWayland")
                << QStringList() << true << QStringList() << QStringList() << noDisplay << QString()
                << false;
        QTest::newRow("Wayland chosen (-platform wayland) without XWayland")
                << QStringList() << true << QStringList() << QStringList {"-platform", "wayland"}
                << noDisplay << QString() << false;
    }
}

// Where no tree can be shown, linetree says why in one line of its own,
// after the output the user asked Qt for, shows no window and ends with 1,
// without Qt's abort or its warnings, unless warnings were made fatal.
void tst_Linetree::cannotShow()
{
    QFETCH(QStringList, serverArguments);
    QFETCH(bool, wayland);
    QFETCH(QStringList, environment);
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QFETCH(QString, asked);
    QFETCH(bool, aborts);

    Session session;
    if (!serverArguments.isEmpty())
        QVERIFY2(session.startX(serverArguments, QByteArray()), "Xvfb did not start");
    if (wayland)
        QVERIFY2(session.startWayland(), "weston did not start");

    Linetree linetree(session, LINETREE_BINARY, arguments, environment);
    QVERIFY(linetree.waitForStarted());
    QVERIFY2(linetree.waitForFinished(waitMs), "linetree did not end");
    if (aborts) {
        QCOMPARE(linetree.exitStatus(), QProcess::CrashExit);
    } else {
        QCOMPARE(linetree.exitStatus(), QProcess::NormalExit);
        QCOMPARE(linetree.exitCode(), 1);
    }
    // Mesa's own lines on a driver that does not start may come first, or
    // what the user asked Qt for, but no other line of Qt's.
    QStringList lines = QString(linetree.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    QVERIFY(!lines.isEmpty());
    const QString own = lines.takeLast();
    QVERIFY2(own.contains(QRegularExpression(message)), qPrintable(own));
    static const QRegularExpression mesa("^(libGL error|libEGL warning|glx): ");
    if (asked.isEmpty()) {
        for (const QString &line : std::as_const(lines))
            QVERIFY2(line.contains(mesa), qPrintable(line));
    } else {
        QVERIFY2(!lines.filter(QRegularExpression(asked)).isEmpty(),
                 "the output asked for was dropped");
    }
    if (session.display())
        QVERIFY(!linetree.xWindow());
}

void tst_Linetree::bursts_data()
{
    // On the "Angle: " slider, which starts at 45 degrees in half degrees: D
    // Page Down, R Right, W a wheel notch down
    QTest::addColumn<QString>("input");
    QTest::addColumn<double>("angle"); // where the branch angle ends, in degrees
    QTest::addColumn<int>("rebuilds"); // at most

    // The first input finds the program idle and is taken at once; what
    // follows queues up behind its rebuild and comes as one.
    QTest::newRow("5 Page Downs: where they all lead, in two rebuilds") << "DDDDD" << 20.0 << 2;
    QTest::newRow("10 wheel notches (3 steps each): where they all lead, in two rebuilds")
            << QString("W").repeated(10) << 30.0 << 2;
    QTest::newRow("5 Page Downs, then Right: in that order, in three rebuilds")
            << "DDDDDR" << 20.5 << 3;
}

// Input that comes faster than the tree can be rebuilt, given to the real
// program through the X server, as a hand on a keyboard or a wheel gives it
void tst_Linetree::bursts()
{
    QFETCH(QString, input);
    QFETCH(double, angle);
    QFETCH(int, rebuilds);

    Session session;
    QVERIFY2(session.startX({"-screen", "0", "1024x768x24"}, QByteArray()), "Xvfb did not start");
    Display *display = session.display();
    const QTemporaryDir logFolder;
    const QString angleLog = logFolder.filePath("angles");
    const QString valueLog = logFolder.filePath("values");
    const QString preload = (qEnvironmentVariable("LD_PRELOAD") + ' ' + LINETREE_LOG_LIBRARY);
    Linetree linetree(session, LINETREE_BINARY, QStringList(),
                      {"LD_PRELOAD=" + preload.trimmed(), "LINETREE_ANGLE_LOG=" + angleLog,
                       "LINETREE_VALUE_LOG=" + valueLog});
    QVERIFY(linetree.waitForStarted());
    const QDeadlineTimer deadline(waitMs * 3);
    QVERIFY2(!linetree.view(false, 150, 200, deadline).isNull(), "linetree showed no tree");
    QVERIFY2(linetree.waitUntilIdle(deadline), "linetree never came to rest");
    linetree.takeKeyboard();
    // The branch angle of every list compiled so far
    const auto angles = [&angleLog] { return readLog(angleLog); };

    // Depth 10, where a rebuild takes long enough for input to queue behind it
    setDepth(display, XK_End);
    QTRY_COMPARE_WITH_TIMEOUT(angles().size(), 2, waitMs);
    QVERIFY2(linetree.waitUntilIdle(deadline), "linetree never came to rest");
    QVERIFY(linetree.pointAt(QPoint(-20, 14)));
    const int heardBefore = readLog(valueLog).size();

    // 10 ms apart, so that each key press has a time of its own: X reports
    // presses at the same time as the repeats of a held key. All are given
    // within the first rebuild, even on a machine several times faster.
    for (const QChar kind : std::as_const(input)) {
        if (kind == 'W')
            turnWheel(display);
        else
            typeKey(display, kind == 'D' ? XK_Next : XK_Right);
        QTest::qWait(10);
    }
    QVERIFY2(linetree.waitUntilIdle(deadline), "linetree never came to rest");
    const QList<double> burst = angles().mid(2);
    QVERIFY2(!burst.isEmpty() && burst.size() <= rebuilds,
             qPrintable(QString("%1 rebuilds").arg(burst.size())));
    QCOMPARE(burst.last(), angle);
    // A screen reader hears the slider move with each input at most.
    const int heard = readLog(valueLog).size() - heardBefore;
    QVERIFY2(heard <= input.size(), qPrintable(QString("%1 values heard").arg(heard)));

    requestClose(display, linetree.xWindow());
    QVERIFY2(linetree.waitForFinished(waitMs), "linetree did not end after the close request");
    QCOMPARE(linetree.exitCode(), 0);
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

namespace {

// The tree that linetree-render's rows draw, and the one that the row's folder
// holds as a text before
const QString drawnLine = "linetree angle=40.0 angle-scale=0.90 length=0.30 "
                          "length-reduction=0.75 depth=6 turn=45 tilt=20";
const QString oldLine = "linetree angle=30.0 angle-scale=0.80 length=0.40 length-reduction=0.70 "
                        "depth=3 turn=45 tilt=20";

} // namespace

void tst_Linetree::render_data()
{
    QTest::addColumn<QStringList>("arguments"); // {} stands for the row's folder
    // Shell commands run in the folder first, with the program's arguments:
    // $RENDER is linetree-render, $OTHER the other toolkit's, if built, and
    // $LINE the line drawn.
    QTest::addColumn<QString>("prelude");
    QTest::addColumn<bool>("display");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("written"); // in the folder, which holds 0.png before
    QTest::addColumn<QString>("said");        // on standard error, a pattern; empty for nothing
    QTest::addColumn<QStringList>("same");    // two pictures that must be the very same

    const QString &line = drawnLine;
    const QString later = QString(line).replace("turn=45", "turn=180");
    const QString large = "linetree angle=10.0 angle-scale=1.00 length=1.00 "
                          "length-reduction=0.95 depth=7 turn=45 tilt=20";
    QStringList frames;
    for (int i = 0; i < 16; ++i)
        frames << QString("f-%1.png").arg(i, 2, 10, QChar('0'));
    QTest::newRow("one picture") << QStringList {"-o", "{}/tree.png", line} << "" << true << 0
                                 << QStringList {"tree.png"} << "" << QStringList();
    QTest::newRow("turntables of 8 from 45° and from 180°: frame 3 of the one is frame 0 of the "
                  "other")
            << QStringList {"--frames", "8", "-o", "{}/f-%02d.png", line, later} << "" << true << 0
            << frames << "" << QStringList {"f-03.png", "f-08.png"};
    const QString huge = QString(line).replace("turn=45", "turn=1e9");
    QTest::newRow("turntables from turn=1e9 and from 280°, the same less whole turns: evenly")
            << QStringList {"--frames",    "4",  "-o",
                            "{}/t-%d.png", huge, QString(line).replace("turn=45", "turn=280")}
            << "" << true << 0 << QStringList {"t-0.png", "t-1.png", "t-2.png", "t-3.png",
                                               "t-4.png", "t-5.png", "t-6.png", "t-7.png"}
            << "" << QStringList {"t-1.png", "t-5.png"};
    QTest::newRow("a line without a view: the viewer's start rotation")
            << QStringList {"-o", "{}/r-%d.png", later, line.left(line.indexOf(" turn")), line}
            << "" << true << 0 << QStringList {"r-0.png", "r-1.png", "r-2.png"} << ""
            << QStringList {"r-1.png", "r-2.png"};
    QTest::newRow("outputs named as the inputs: every input read first")
            << QStringList {"-o", "{}/%d.png", line, "{}/0.png", oldLine} << "" << true << 0
            << QStringList {"0.png", "1.png", "2.png"} << "" << QStringList {"1.png", "2.png"};
    QTest::newRow("a file named like a line is that file")
            << QStringList {"-o", "{}/tree.png", "linetree copy.txt"}
            << "printf '%s' \"$LINE\" > 'linetree copy.txt'" << true << 0
            << QStringList {"linetree copy.txt", "tree.png"} << "" << QStringList();
    QTest::newRow("a batch with a bad input and a missing file: the others written, each named")
            << QStringList {"-q", "-o",         "{}/b-%d.obj", line, "linetree depth=99",
                            line, "{}/gone.txt"}
            << "" << true << 1 << QStringList {"b-0.obj", "b-2.obj"}
            << "^linetree-render: input 2 \\(linetree depth=99\\): .*\nlinetree-render: input 4 "
               "\\(.*gone.txt\\): it does not exist\n$"
            << QStringList();
    QTest::newRow("a name with a newline and an escape: shown escaped, on one line")
            << QStringList {"-q", "-o", "{}/t-%d.png", line, "{}/no\nsuch\x1b[1m.txt"} << "" << true
            << 1 << QStringList {"t-0.png"}
            << "^linetree-render: input 2 \\(.*no\\\\nsuch\\\\u001b\\[1m\\.txt\\): it does not "
               "exist\n$"
            << QStringList();
    QTest::newRow("200 frames into a folder that is not there: said once")
            << QStringList {"--frames", "200", "-o", "{}/gone/f-%03d.png", line} << "" << true << 1
            << QStringList()
            << "^linetree-render: .*gone/f-000.png to .*gone/f-199.png, 200 outputs: .*\n$"
            << QStringList();
    QTest::newRow("a full disk over the old file: it survives, status 1")
            << QStringList {"-o", "{}/0.png", line} << "ulimit -f 4" << true << 1 << QStringList()
            << "0.png: File too large\n$" << QStringList();
    QTest::newRow("a link to a device: refused by name, and the device stays")
            << QStringList {"-o", "{}/link.png", line} << "mknod full c 1 7 && ln -s full link.png"
            << true << 1 << QStringList {"full", "link.png"}
            << "^linetree-render: .*link.png: it is there, and not a file\n$" << QStringList();
    QTest::newRow("a file in /dev: refused")
            << QStringList {"-o", "/dev/linetree-render-test.png", line} << "" << true << 1
            << QStringList() << "^linetree-render: /dev/linetree-render-test.png: .* /dev\n$"
            << QStringList();
    QTest::newRow("%3d pads with zeros, and %% is a percent sign")
            << QStringList {"--frames", "2", "-o", "{}/100%%-%3d.png", line} << "" << true << 0
            << QStringList {"100%-000.png", "100%-001.png"} << "" << QStringList();
    QTest::newRow("a count of the outputs on a terminal")
            << QStringList {"--frames", "2", "-o", "t-%d.png", "0.png"}
            << "exec 1>&2; set -- script -qfec \"$*\" /dev/null" << true << 0
            << QStringList {"t-0.png", "t-1.png"} << "linetree-render: 2/2" << QStringList();
    QTest::newRow("-q: none on a terminal")
            << QStringList {"-q", "--frames", "2", "-o", "t-%d.png", "0.png"}
            << "exec 1>&2; set -- script -qfec \"$*\" /dev/null" << true << 0
            << QStringList {"t-0.png", "t-1.png"} << "" << QStringList();
    QTest::newRow("a success without XDG_RUNTIME_DIR: nothing said")
            << QStringList {"-o", "{}/tree.png", line} << "unset XDG_RUNTIME_DIR" << true << 0
            << QStringList {"tree.png"} << "" << QStringList();
    QTest::newRow("QT_SCALE_FACTOR=2: the size asked for still")
            << QStringList {"--size", "300x200", "-o", "{}/tree.png", line}
            << "\"$RENDER\" --size 300x200 -o plain.png \"$LINE\"; "
               "export QT_SCALE_FACTOR=2 QT_SCREEN_SCALE_FACTORS=2"
            << true << 0 << QStringList {"plain.png", "tree.png"} << ""
            << QStringList {"tree.png", "plain.png"};
    for (const char *size : {"700x700", "1600x600", "4096x4096"}) {
        QTest::addRow("%s against the other toolkit: the whole picture, the same pixels", size)
                << QStringList {"--size", size, "-o", "{}/tree.png", line}
                << QString("\"$OTHER\" --size %1 -o other.png \"$LINE\"").arg(size) << true << 0
                << QStringList {"other.png", "tree.png"} << ""
                << QStringList {"tree.png", "other.png"};
    }
    QTest::newRow("--fit: a tree larger than the view, however the line zooms it, fitted alike")
            << QStringList {"--fit", "-o", "{}/f-%d.png", line, large, large + " zoom=3 pan-x=0.5"}
            << "" << true << 0 << QStringList {"f-0.png", "f-1.png", "f-2.png"} << ""
            << QStringList {"f-1.png", "f-2.png"};
    QTest::newRow("random trees of one seed: the same trees again")
            << QStringList {"--random", "3", "--seed", "42", "-o", "{}/b-%d.png"}
            << "\"$RENDER\" --random 3 --seed 42 -o a-%d.png" << true << 0
            << QStringList {"a-0.png", "a-1.png", "a-2.png", "b-0.png", "b-1.png", "b-2.png"} << ""
            << QStringList {"a-2.png", "b-2.png"};
    QTest::newRow("random trees without a seed: the seed told")
            << QStringList {"--random", "2", "-o", "{}/r-%d.png"} << "" << true << 0
            << QStringList {"r-0.png", "r-1.png"}
            << "^linetree-render: random trees of seed \\d+\n$" << QStringList();
    QTest::newRow("random trees and an input: status 2")
            << QStringList {"--random", "2", "-o", "{}/r-%d.png", line} << "" << true << 2
            << QStringList() << "^linetree-render: --random makes the trees itself[^\n]*\n$"
            << QStringList();
    QTest::newRow("a plotter SVG: its strokes, length drawn and pen travel told")
            << QStringList {"--plotter", "--page", "A5",          "--landscape",
                            "--layers",  "-o",     "{}/plot.svg", line}
            << "" << true << 0 << QStringList {"plot.svg"}
            << "^linetree-render: .*plot.svg: \\d+ strokes, [0-9.]+ mm drawn, [0-9.]+ mm of pen "
               "travel between them\n$"
            << QStringList();
    QTest::newRow("no display: xvfb-run named, status 1")
            << QStringList {"-o", "{}/tree.png", line} << "" << false << 1 << QStringList()
            << "^linetree-render: cannot show the window: .*xvfb-run[^\n]*\n$" << QStringList();
    QTest::newRow("--help: the options, without a display")
            << QStringList {"--help"} << "" << false << 0 << QStringList() << "" << QStringList();
    QTest::newRow("--help in the C locale: the options alone")
            << QStringList {"--help"} << "export LC_ALL=C" << false << 0 << QStringList() << ""
            << QStringList();
    QTest::newRow("--help into a full disk: status 1")
            << QStringList {"--help"} << "exec >/dev/full" << false << 1 << QStringList()
            << "^linetree-render: cannot write to standard output: .*\n$" << QStringList();
    const QString usage = "^linetree-render: %1[^\n]*\n$";
    QTest::newRow("no input: status 2") << QStringList {"-o", "{}/tree.png"} << "" << true << 2
                                        << QStringList() << usage.arg("no input") << QStringList();
    QTest::newRow("a malformed size: status 2")
            << QStringList {"--size", "600", "-o", "{}/tree.png", line} << "" << true << 2
            << QStringList() << usage.arg("--size 600 is no size") << QStringList();
    QTest::newRow("a width beyond the framebuffer: status 2")
            << QStringList {"--size", "999999x600", "-o", "{}/tree.png", line} << "" << true << 2
            << QStringList() << usage.arg("--size 999999x600 is larger") << QStringList();
    QTest::newRow("a height beyond the framebuffer: status 2")
            << QStringList {"--size", "600x999999", "-o", "{}/tree.png", line} << "" << true << 2
            << QStringList() << usage.arg("--size 600x999999 is larger") << QStringList();
    QTest::newRow("one name for several outputs: status 2")
            << QStringList {"--frames", "3", "-o", "{}/tree.png", line} << "" << true << 2
            << QStringList() << usage.arg(".*tree.png names one file") << QStringList();
    QTest::newRow("a turntable of models: status 2")
            << QStringList {"--frames", "2", "-o", "{}/t-%d.obj", line} << "" << true << 2
            << QStringList() << usage.arg("--frames turns the picture") << QStringList();
    QTest::newRow("a plotter's page without --plotter: status 2")
            << QStringList {"--margin", "5", "-o", "{}/tree.svg", line} << "" << true << 2
            << QStringList() << usage.arg("--margin shapes a plotter's page") << QStringList();
    QTest::newRow("an unknown option: status 2")
            << QStringList {"--colour", "-o", "{}/tree.png", line} << "" << true << 2
            << QStringList() << usage.arg("Unknown option 'colour'") << QStringList();
}

// linetree-render as a shell runs it: what it writes, says and ends with,
// and an old file that it never harms unless asked to write over it
void tst_Linetree::render()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, prelude);
    QFETCH(bool, display);
    QFETCH(int, status);
    QFETCH(QStringList, written);
    QFETCH(QString, said);
    QFETCH(QStringList, same);

    const QString otherViewer = LINETREE_OTHER_TOOLKIT_BINARY;
    const QString other = otherViewer.isEmpty()
            ? QString()
            : QFileInfo(otherViewer).dir().filePath("linetree-render");
    if (prelude.contains("$OTHER") && !QFile::exists(other))
        QSKIP("no build of linetree-render for the other toolkit to compare with");
    if (prelude.contains("mknod") && geteuid() != 0)
        QSKIP("only root makes a device");
    if (prelude.contains("script") && QProcess::execute("script", {"-qec", "true", "/dev/null"}))
        QSKIP("no terminal to be had");
    Session session;
    if (display)
        QVERIFY2(session.startX({"-screen", "0", "1024x768x24"}, QByteArray()),
                 "Xvfb did not start");
    const QTemporaryDir folder;
    const QByteArray old = oldLine.toUtf8();
    QFile oldFile(folder.filePath("0.png"));
    QVERIFY(oldFile.open(QIODevice::WriteOnly) && oldFile.write(old) == old.size());
    oldFile.close();
    arguments.replaceInStrings("{}", folder.path());
    // A write beyond a file size limit fails, and the program goes on.
    Linetree render(session, "/bin/sh",
                    QStringList {"-c",
                                 "cd \"$1\" && prelude=$2 && shift 2 && trap '' XFSZ && "
                                 "eval \"$prelude\" && exec \"$@\"",
                                 "sh", folder.path(), prelude, LINETREE_RENDER_BINARY}
                            + arguments,
                    {"RENDER=" LINETREE_RENDER_BINARY, "OTHER=" + other, "LINE=" + drawnLine});
    QVERIFY2(render.waitForFinished(waitMs * 3), "linetree-render did not end");
    const QString told = render.readAllStandardError();
    QCOMPARE(render.exitStatus(), QProcess::NormalExit);
    QVERIFY2(render.exitCode() == status, qPrintable(told));
    QVERIFY2(said.isEmpty() ? told.isEmpty() : told.contains(QRegularExpression(said)),
             qPrintable(told));
    QStringList files = written;
    if (!files.contains("0.png"))
        files << "0.png";
    files.sort();
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::System, QDir::Name), files);
    QVERIFY(oldFile.open(QIODevice::ReadOnly));
    if (!written.contains("0.png"))
        QCOMPARE(oldFile.readAll(), old);
    if (!same.isEmpty()) {
        const QImage first(folder.filePath(same[0]));
        QVERIFY(whitePixels(first) > 0);
        QCOMPARE(QImage(folder.filePath(same[1])), first);
        if (!same.contains(written[0]))
            QVERIFY(QImage(folder.filePath(written[0])) != first);
    }
}

QTEST_GUILESS_MAIN(tst_Linetree)
#include "tst_linetree.moc"
