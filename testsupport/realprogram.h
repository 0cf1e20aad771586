// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#ifndef REALPROGRAM_H
#define REALPROGRAM_H

// The real linetree on a display of its own: an Xvfb server and a Weston
// compositor started for the purpose, pictures of what they show, and a
// keyboard and mouse driven through XTest. Include it last: Xlib's macros
// clash with Qt's names.

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>

#include "xwindows.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

// How long a program, server or picture is waited for
constexpr int waitMs = 20000;

// A process that ends with the test row, whether the row passes or not, and
// with the test itself, however that ends.
class Child : public QProcess
{
public:
    Child()
    {
#if QT_VERSION_MAJOR >= 6
        setChildProcessModifier(dieWithParent);
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
        dieWithParent();
    }
#endif

private:
    static void dieWithParent();
};

// Starts a program and waits up to waitMs for it to report ready; the
// caller's Child ends it with the row.
bool startServer(QProcess &server, const QString &program, const QStringList &arguments,
                 const std::function<bool()> &ready);

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

QImage windowPicture(Display *display, Window window);

bool blackOrWhite(QRgb pixel);

// The tree view: the first black pixel, row by row, that starts a black or
// white run at least `side` long to the right and down, and the rectangle
// those runs span. Nothing else in the window or on the desktop is that
// large and only black and white.
QRect findView(const QImage &picture, int side);

// White pixels in the picture; -1 if any pixel is neither black nor white.
int whitePixels(const QImage &picture);

// Presses and releases a key on the X server, as a keyboard does, with
// Shift held if asked.
void typeKey(Display *display, KeySym key, bool shift = false);

// Turns the mouse wheel one notch at the pointer: down, or up.
void turnWheel(Display *display, bool down = true);

// User and system CPU time of a process in clock ticks, from /proc; -1 once
// it is gone
qint64 cpuTicks(qint64 pid);

// The numbers in a log that the preloaded linetree-log library writes, one a
// line; none while there is no log.
QList<double> readLog(const QString &path);

// With the keyboard on the first slider, "Angle: ": the last slider, "Rek.
// Depth: ", to `end` (XK_End for 10, XK_Home for 1), and the keyboard back on
// the first, a key at a time: keys typed faster come as auto-repeats.
void setDepth(Display *display, KeySym end);

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

    // Waits until the process has used no CPU time for a while: it has
    // taken in all input and done all the work that came of it.
    bool waitUntilIdle(const QDeadlineTimer &deadline) const;
    // Seconds from `since` until the process last used CPU time, once it has
    // used none for half a second: how long it stayed busy after some input.
    // -1 once it is gone or past the deadline.
    double busyAfter(const QElapsedTimer &since, const QDeadlineTimer &deadline) const;

    // Gives the window the keyboard, as a click on it would.
    void takeKeyboard() const;

    // Moves the pointer to `offset` from the view's bottom right corner:
    // (-20, 14) is on the first slider, "Angle: ", below the view; (-60, -60)
    // is on the view.
    bool pointAt(const QPoint &offset) const;

private:
    Session &session;
};

#endif // REALPROGRAM_H
