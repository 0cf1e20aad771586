// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "realprogram.h"

#include <QThread>

#include <signal.h>
#include <sys/prctl.h>

void Child::dieWithParent()
{
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

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

void typeKey(Display *display, KeySym key, bool shift)
{
    const unsigned int shiftCode = XKeysymToKeycode(display, XK_Shift_L);
    const unsigned int code = XKeysymToKeycode(display, key);
    if (shift)
        XTestFakeKeyEvent(display, shiftCode, True, CurrentTime);
    // X11 programs take a release and a press of a key at the same time for
    // its auto-repeat, and a busy server may give the release of one press and
    // the next press the same time: the server waits 2 ms before each press.
    XTestFakeKeyEvent(display, code, True, 2);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    if (shift)
        XTestFakeKeyEvent(display, shiftCode, False, CurrentTime);
    XFlush(display);
}

void turnWheel(Display *display, bool down)
{
    const unsigned int button = down ? 5 : 4;
    XTestFakeButtonEvent(display, button, True, CurrentTime);
    XTestFakeButtonEvent(display, button, False, CurrentTime);
    XFlush(display);
}

qint64 cpuTicks(qint64 pid)
{
    QFile stat(QString("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    // The fields after the command name, which may hold blanks, closes in ')'
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

QList<double> readLog(const QString &path)
{
    QFile file(path);
    QList<double> logged;
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (!line.isEmpty())
                logged << line.toDouble();
        }
    }
    return logged;
}

double Linetree::busyAfter(const QElapsedTimer &since, const QDeadlineTimer &deadline) const
{
    const auto seconds = [&since] { return since.nsecsElapsed() / 1e9; };
    qint64 last = cpuTicks(processId());
    double lastWork = seconds();
    while (seconds() - lastWork < 0.5) {
        if (last < 0 || deadline.hasExpired())
            return -1;
        QThread::msleep(10);
        const qint64 now = cpuTicks(processId());
        if (now != last)
            lastWork = seconds();
        last = now;
    }
    return lastWork;
}

bool Linetree::waitUntilIdle(const QDeadlineTimer &deadline) const
{
    QElapsedTimer now;
    now.start();
    return busyAfter(now, deadline) >= 0;
}

void Linetree::takeKeyboard() const
{
    XSetInputFocus(session.display(), xWindow(), RevertToParent, CurrentTime);
    XSync(session.display(), False);
    // Qt on X11 takes the focus a moment after the server gives it.
    QTest::qWait(500);
}

bool Linetree::pointAt(const QPoint &offset) const
{
    Display *display = session.display();
    const Window window = xWindow();
    const QRect view = window ? findView(windowPicture(display, window), 150) : QRect();
    if (view.isEmpty())
        return false;
    int x = 0;
    int y = 0;
    Window child;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), view.right() + offset.x(),
                          view.bottom() + offset.y(), &x, &y, &child);
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XSync(display, False);
    return true;
}

void setDepth(Display *display, KeySym end)
{
    const auto type = [display](KeySym key, bool shift) {
        typeKey(display, key, shift);
        QThread::msleep(50);
    };
    for (int i = 0; i < 4; ++i)
        type(XK_Tab, false);
    type(end, false);
    for (int i = 0; i < 4; ++i)
        type(XK_Tab, true);
}
