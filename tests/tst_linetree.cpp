#include <QProcess>
#include <QtTest>

#include <memory>

#include <X11/Xatom.h>
#include <X11/Xlib.h>

// Runs the real program and closes its window as a window manager's close
// button does.
class tst_Linetree : public QObject
{
    Q_OBJECT

private slots:
    void closedWindowEndsWithStatusZero();
};

namespace {

// The top-level window that the process shows, or 0 while it shows none.
Window shownWindow(Display *display, qint64 pid)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count);
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (!XGetWindowAttributes(display, children[i], &attributes)
            || attributes.map_state != IsViewable)
            continue;
        Atom type;
        int format;
        unsigned long items, remaining;
        unsigned char *data = nullptr;
        if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type,
                               &format, &items, &remaining, &data)
                    == Success
            && data) {
            if (items == 1 && *reinterpret_cast<unsigned long *>(data) == quint64(pid))
                found = children[i];
            XFree(data);
        }
    }
    if (children)
        XFree(children);
    return found;
}

void requestClose(Display *display, Window window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace

void tst_Linetree::closedWindowEndsWithStatusZero()
{
    const std::unique_ptr<Display, int (*)(Display *)> x(XOpenDisplay(nullptr), XCloseDisplay);
    QVERIFY2(x, "no X display");
    Display *display = x.get();

    QProcess linetree;
    linetree.setProcessChannelMode(QProcess::ForwardedChannels);
    linetree.start(LINETREE_BINARY, QStringList());
    QVERIFY(linetree.waitForStarted());

    Window window = 0;
    QTRY_VERIFY_WITH_TIMEOUT((window = shownWindow(display, linetree.processId())) != 0, 20000);
    XWindowAttributes attributes;
    XGetWindowAttributes(display, window, &attributes);
    QVERIFY(attributes.width >= 200 && attributes.height >= 200);

    requestClose(display, window);
    QVERIFY(linetree.waitForFinished(20000));
    QCOMPARE(linetree.exitStatus(), QProcess::NormalExit);
    QCOMPARE(linetree.exitCode(), 0);
}

QTEST_GUILESS_MAIN(tst_Linetree)
#include "tst_linetree.moc"
