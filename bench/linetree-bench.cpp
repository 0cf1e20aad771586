// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

// Measures what a linetree user waits for: the rebuild after a slider move,
// the repaint of a frame, one move of a drag, the start of the program, and
// how long it stays busy after an arrow key was held on a slider at depth 10.

#include "inputburstfilter.h"
#include "mainwindow.h"
#include "testview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QProcess>
#include <QSlider>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <memory>
#include <vector>

// Xlib last: its macros clash with Qt's names
#include "xwindows.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

const int runs = 7;

struct Figure
{
    double median;
    double minimum;
    double maximum;
};

Figure summarise(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front(), times.back()};
}

// Runs the step `runs` times and reports milliseconds, each run finished with
// glFinish so that the GPU's (here llvmpipe's) work is counted too.
Figure measure(TestView &view, const std::function<void()> &step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        step();
        view.makeCurrent();
        glFinish();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return summarise(times);
}

QString format(const Figure &figure)
{
    return QString("%1 (%2–%3)")
            .arg(figure.median, 0, 'f', 3)
            .arg(figure.minimum, 0, 'f', 3)
            .arg(figure.maximum, 0, 'f', 3);
}

bool failed = false;

void expect(bool condition, const char *what, int depth)
{
    if (!condition) {
        std::printf("FAIL: %s at depth %d\n", what, depth);
        failed = true;
    }
}

// Notes the first paint event of the object it watches.
class PaintWatcher : public QObject
{
    Q_OBJECT

public:
    bool painted = false;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// The child's part of the start measurement: the time from the application
// object to the window's first painted tree, as linetree starts.
int startOnce(int argc, char *argv[])
{
    QElapsedTimer timer;
    timer.start();
    QApplication a(argc, argv);
    MainWindow w;
    w.show();
    auto *view = w.findChild<OpenGLBaumZeiger *>();
    PaintWatcher watcher;
    view->installEventFilter(&watcher);
    while (!watcher.painted)
        a.processEvents(QEventLoop::WaitForMoreEvents);
    view->makeCurrent();
    glFinish();
    std::printf("%.3f\n", timer.nsecsElapsed() / 1e6);
    return 0;
}

Figure measureStart(const QString &program)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QProcess child;
        child.start(program, {"--start"});
        const bool finished = child.waitForFinished(60000) && child.exitCode() == 0;
        bool number = false;
        times.push_back(child.readAllStandardOutput().trimmed().toDouble(&number));
        if (!finished || !number) {
            std::printf("FAIL: a start measurement failed\n");
            failed = true;
        }
    }
    return summarise(times);
}

// The child's part of the held-key measurement: the window at depth 10,
// started as linetree starts it or without one or both of the two measures
// that keep a held key from piling up work. It prints the median time of a
// rebuild and then serves its window until closed.
int heldKeyWindow(int argc, char *argv[], const QByteArray &setup)
{
    if (setup != "before")
        mallopt(M_MXFAST, 0);
    QApplication a(argc, argv);

    // Rebuilds back to back in a view of its own, as a held key asks for them
    double rebuild = 0;
    {
        TestView view;
        view.resize(600, 600);
        view.show();
        if (!QTest::qWaitForWindowExposed(&view))
            return 1;
        view.setzeRekTiefe(10);
        rebuild = measure(view, [&] { view.rebuild(); }).median;
    }

    InputBurstFilter autoRepeatFilter;
    if (setup == "linetree")
        a.installEventFilter(&autoRepeatFilter);
    MainWindow w;
    w.show();
    if (!QTest::qWaitForWindowExposed(&w))
        return 1;
    const QList<QSlider *> sliders = w.findChildren<QSlider *>();
    sliders.last()->setValue(10);
    sliders.first()->setFocus(); // "Angle: "
    std::printf("%.1f\n", rebuild);
    std::fflush(stdout);
    return a.exec();
}

struct HeldKey
{
    double rebuild; // ms
    double busy;    // s
};

// Holds Left for one second on the window's "Angle: " slider through the X
// server, whose own auto-repeat sends the repeats, then asks the window to
// close and times how long after the release the program ends.
bool holdKey(Display *display, const QString &program, const char *setup, HeldKey *result)
{
    QProcess child;
    child.start(program, {"--held-key", setup});
    bool number = false;
    if (!child.waitForReadyRead(60000))
        return false;
    result->rebuild = child.readLine().trimmed().toDouble(&number);
    Window window = 0;
    for (int i = 0; i < 100 && !(window = shownWindow(display, child.processId())); ++i)
        QThread::msleep(50);
    if (!number || !window)
        return false;

    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    QThread::msleep(500);
    const unsigned int left = XKeysymToKeycode(display, XK_Left);
    XTestFakeKeyEvent(display, left, True, CurrentTime);
    XFlush(display);
    QThread::msleep(1000);
    XTestFakeKeyEvent(display, left, False, CurrentTime);
    QElapsedTimer timer;
    timer.start();
    requestClose(display, window);
    if (!child.waitForFinished(120000) || child.exitCode() != 0)
        return false;
    result->busy = timer.nsecsElapsed() / 1e9;
    return true;
}

void measureHeldKey(const QString &program)
{
    const int heldKeyRuns = 5;
    const DisplayPointer x(XOpenDisplay(nullptr), XCloseDisplay);
    const char *setups[] = {"before", "malloc", "linetree"};
    const char *names[]
            = {"as before", "fast bins off", "linetree: fast bins off, stale repeats dropped"};
    std::vector<double> rebuilds[3];
    std::vector<double> busy[3];
    for (int run = 0; run < heldKeyRuns; ++run) {
        for (int i = 0; i < 3; ++i) {
            HeldKey result;
            if (!x || !holdKey(x.get(), program, setups[i], &result)) {
                std::printf("FAIL: the held-key measurement failed (%s)\n", setups[i]);
                failed = true;
                return;
            }
            rebuilds[i].push_back(result.rebuild);
            busy[i].push_back(result.busy);
        }
    }
    std::printf("\nLeft held for 1 s on the \"Angle: \" slider at depth 10, %d runs of each "
                "setup, alternating (rebuild: median of %d per run):\n",
                heldKeyRuns, runs);
    std::printf("%-48s %-28s %s\n", "", "rebuild ms", "s from the release to the end");
    for (int i = 0; i < 3; ++i)
        std::printf("%-48s %-28s %s\n", names[i], qPrintable(format(summarise(rebuilds[i]))),
                    qPrintable(format(summarise(busy[i]))));
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--start") == 0)
        return startOnce(argc, argv);
    if (argc > 2 && qstrcmp(argv[1], "--held-key") == 0)
        return heldKeyWindow(argc, argv, argv[2]);

    // The allocator as linetree sets it up
    mallopt(M_MXFAST, 0);
    QApplication app(argc, argv);
    TestView view;
    view.resize(600, 600);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view)) {
        std::printf("FAIL: the view was never shown\n");
        return 1;
    }
    view.makeCurrent();
    std::printf("OpenGL renderer: %s\n", reinterpret_cast<const char *>(glGetString(GL_RENDERER)));
    std::printf("Milliseconds: median (minimum–maximum) of %d runs; a 600×600 view\n\n", runs);
    std::printf("%5s %8s  %-26s %-26s %-26s %11s %11s\n", "depth", "segments", "rebuild ms",
                "replay ms", "drag move ms", "rebuild ns/", "replay ns/");
    std::printf("%5s %8s  %-26s %-26s %-26s %11s %11s\n", "", "", "", "", "", "segment", "segment");

    int x = 300;
    for (int depth = 1; depth <= 10; ++depth) {
        const int builds = compiledLists();
        const int paints = view.paints;
        view.setzeRekTiefe(depth);
        expect(compiledLists() == builds + 1, "a slot call did not rebuild exactly once", depth);
        expect(view.paints == paints + 1, "a slot call did not paint exactly once", depth);
        const int segments = view.capture().size();

        const Figure rebuild = measure(view, [&] { view.rebuild(); });
        const Figure replay = measure(view, [&] { view.updateGL(); });

        const int buildsBeforeDrag = compiledLists();
        const int paintsBeforeDrag = view.paints;
        QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, QPoint(x, 300));
        const Figure drag = measure(view, [&] {
            x += x > 300 ? -1 : 1;
            QMouseEvent move(QEvent::MouseMove, QPoint(x, 300), view.mapToGlobal(QPoint(x, 300)),
                             Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&view, &move);
        });
        QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, QPoint(x, 300));
        expect(compiledLists() == buildsBeforeDrag, "a drag move rebuilt the list", depth);
        expect(view.paints == paintsBeforeDrag + runs, "a drag move did not paint exactly once",
               depth);

        std::printf("%5d %8d  %-26s %-26s %-26s %11.1f %11.1f\n", depth, segments,
                    qPrintable(format(rebuild)), qPrintable(format(replay)),
                    qPrintable(format(drag)), rebuild.median * 1e6 / segments,
                    replay.median * 1e6 / segments);
        std::fflush(stdout);
    }

    const Figure start = measureStart(QCoreApplication::applicationFilePath());
    std::printf("\nStart to the first painted frame of the window: %s ms\n",
                qPrintable(format(start)));
    measureHeldKey(QCoreApplication::applicationFilePath());
    return failed ? 1 : 0;
}

#include "linetree-bench.moc"
