// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

// Measures what a linetree user waits for. In a window of its own: the
// rebuild after a slider move, with and without giving memory back, the
// repaint of a frame, one move of a drag, and the memory held as the view moves
// between windows. On the real program, started on an X server
// of the benchmark's own and driven through XTest as a person would: the
// start to the first painted tree, how long it stays busy after a held key,
// a flicked wheel and a quick row of Page Up presses on a slider and after a
// held arrow key and a quick row of presses on the view at depth 10, how many
// values a screen reader hears for the wheel, and its memory at start, at
// depth 10 and back at depth 1. Saving in each format, the picture as PNG,
// SVG and PDF, the model as OBJ and GLB and the plotter's SVG, at depth 6 and
// 10 beside one rebuild and one rebuild and repaint, with the files' sizes
// and the memory that a save takes on top. A wheel notch's zoom, a pan and
// Fit Tree at depth 10 beside a rebuild, in the window and on the real
// program's view. The examples' dialog, and random trees beside a rebuild of
// their depth.
//   linetree-bench [--compare OTHER_LINETREE]
// puts another build of linetree beside the real one, alternating. Last,
// linetree-render: a turntable beside a batch of as many trees, and a
// print-size PNG, each with its peak memory.

#include "allocator.h"
#include "examplesdialog.h"
#include "randomtrees.h"
#include "savefile.h"
#include "startingpoints.h"
#include "testview.h"
#include "treeparameters.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMouseEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <dlfcn.h>
#include <functional>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

// Xlib last: its macros clash with Qt's names
#include "realprogram.h"

#ifdef __GLIBC__
namespace {

// Whether the view gives memory back after a rebuild; off, the benchmark
// times the rebuild without it, side by side.
bool trimming = true;

} // namespace

extern "C" int malloc_trim(size_t pad)
{
    using Trim = int (*)(size_t);
    static const auto next = reinterpret_cast<Trim>(dlsym(RTLD_NEXT, "malloc_trim"));
    return trimming ? next(pad) : 0;
}
#endif

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

// Milliseconds that the step takes, finished with glFinish so that the GPU's
// (here llvmpipe's) work is counted too
double timeOnce(TestView &view, const std::function<void()> &step)
{
    QElapsedTimer timer;
    timer.start();
    step();
    view.makeCurrent();
    glFinish();
    return timer.nsecsElapsed() / 1e6;
}

// Runs the step `runs` times
Figure measure(TestView &view, const std::function<void()> &step)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i)
        times.push_back(timeOnce(view, step));
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

// A memory figure of a process's status, such as "VmRSS:", in MiB
double statusMiB(qint64 pid, const char *field)
{
    QFile status(QString("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.simplified().split(' ').value(1).toDouble() / 1024;
    }
    return -1;
}

// Resident memory of a process, in MiB
double residentMiB(qint64 pid)
{
    return statusMiB(pid, "VmRSS:");
}

// This process's peak resident memory, in MiB, since resetPeak()
double peakMiB()
{
    return statusMiB(QCoreApplication::applicationPid(), "VmHWM:");
}

void resetPeak()
{
    QFile clearRefs("/proc/self/clear_refs");
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

void reportSaving(TestView &view)
{
    const QTemporaryDir folder;
    std::printf("\nSaving the picture or the model, milliseconds as above; MiB resident on top "
                "of the depth's while saving\n");
    std::printf("%5s  %-26s %-26s %-8s %-26s %10s %9s\n", "depth", "rebuild ms",
                "rebuild and repaint ms", "format", "save ms", "bytes", "MiB more");
    for (const int depth : {6, 10}) {
        view.setzeRekTiefe(depth);
        const Figure rebuild = measure(view, [&] { view.rebuild(); });
        const Figure build = measure(view, [&] {
            view.rebuild();
            view.updateGL();
        });
        const QString line = parameterLine({{view.gebeWinkel(), view.gebeWinkelSkal(),
                                             view.gebeLaenge(), view.gebeVerkuerzung(), depth},
                                            view.viewState()});
        for (const FileFormat &saving : fileFormats()) {
            const QString fileName = folder.filePath(
                    QString("tree%1-%2.%3").arg(depth).arg(saving.name).arg(saving.suffix));
            QString error;
            bool saved = true;
            const double resident = residentMiB(QCoreApplication::applicationPid());
            resetPeak();
            const Figure save = measure(view, [&] {
                saved = saved
                        && saveTree({&view, line, PlotterPage()}, fileName, &saving, nullptr,
                                    &error);
            });
            const double more = peakMiB() - resident;
            expect(saved, "a picture or a model was not saved", depth);
            std::printf("%5d  %-26s %-26s %-8s %-26s %10lld %9.0f\n", depth,
                        qPrintable(format(rebuild)), qPrintable(format(build)), saving.name,
                        qPrintable(format(save)), QFileInfo(fileName).size(), more);
        }
    }
}

// At depth 10: a rebuild and a replay beside a wheel notch's zoom, a pan
// move and Fit Tree, each with its repaint, none of which may rebuild
void reportZooming(TestView &view)
{
    view.setzeRekTiefe(10);
    const Figure rebuild = measure(view, [&] { view.rebuild(); });
    const Figure replay = measure(view, [&] { view.updateGL(); });
    const int builds = compiledLists();
    int notches = 0;
    const Figure zoom = measure(
            view, [&] { view.zoomAbout(QPointF(0.5, 0.25), ++notches % 2 ? 120 : -120); });
    int moves = 0;
    const Figure pan = measure(view, [&] {
        view.pan(QPoint(++moves % 2 ? 30 : -30, 20));
        view.updateGL();
    });
    const Figure fit = measure(view, [&] {
        view.fitTo(view.treeBounds());
        view.updateGL();
    });
    expect(compiledLists() == builds, "zooming, panning or fitting rebuilt the list", 10);
    view.setViewState({45, 20});
    std::printf("\nAt depth 10, milliseconds as above: a rebuild %s, a replay %s; a wheel notch's "
                "zoom %s, a pan move %s, Fit Tree %s, each with its repaint\n",
                qPrintable(format(rebuild)), qPrintable(format(replay)), qPrintable(format(zoom)),
                qPrintable(format(pan)), qPrintable(format(fit)));
}

// The examples' dialog, read as thumbnails, and random trees, each beside a
// rebuild and repaint of its own depth
void reportStartingPoints(TestView &view)
{
    const QString folder = examplesFolder();
    const Figure dialog = measure(view, [&] { ExamplesDialog(folder, nullptr); });
    std::printf("\nThe examples' dialog, made with its %d pictures: %s ms\n",
                int(QDir(folder).entryList({"*.png"}).size()), qPrintable(format(dialog)));
    std::printf("%-26s %-26s %-26s\n", "random tree of seed 2026", "shown ms",
                "rebuild and repaint ms");
    RandomTrees dice(2026);
    for (int i = 0; i < 5; ++i) {
        const TreeParameters tree = dice.tree();
        const Figure shown = measure(view, [&] { view.setParameters(tree); });
        const Figure build = measure(view, [&] {
            view.rebuild();
            view.updateGL();
        });
        std::printf("%-26s %-26s %-26s\n",
                    qPrintable(QString("%1 of depth %2").arg(i + 1).arg(tree.rekTiefe)),
                    qPrintable(format(shown)), qPrintable(format(build)));
    }
    // The figures after this one are taken at depth 10 again
    view.setParameters({90, 100, 25, 80, 10});
}

// linetree-render as a shell starts it, on the benchmark's display: a
// turntable of 24 frames at depth 10 beside a batch of 24 different trees of
// depth 10, and a 4096×4096 PNG of one, alternating, with the peak memory of
// each run
void reportRenderer()
{
    const QTemporaryDir folder;
    const QString tree = "linetree angle=%1 angle-scale=1.00 length=0.25 length-reduction=0.80 "
                         "depth=10";
    QStringList batch;
    for (int i = 0; i < 24; ++i)
        batch << tree.arg(45.0 - 0.5 * i, 0, 'f', 1);
    const std::pair<const char *, QStringList> jobs[] = {
            {"a turntable of 24 frames",
             {"--frames", "24", "-o", folder.filePath("turn-%02d.png"), tree.arg("45.0")}},
            {"24 different trees in one batch",
             QStringList {"-o", folder.filePath("tree-%02d.png")} + batch},
            {"one 4096x4096 PNG",
             {"--size", "4096x4096", "-o", folder.filePath("print.png"), tree.arg("45.0")}},
    };
    std::vector<double> seconds[3];
    std::vector<double> peaks[3];
    const int repeats = 3;
    for (int repeat = 0; repeat < repeats; ++repeat) {
        for (int job = 0; job < 3; ++job) {
            QProcess render;
            QElapsedTimer timer;
            timer.start();
            render.start(LINETREE_RENDER_BINARY, jobs[job].second);
            double peak = 0;
            while (!render.waitForFinished(20))
                peak = qMax(peak, statusMiB(render.processId(), "VmHWM:"));
            seconds[job].push_back(timer.nsecsElapsed() / 1e9);
            peaks[job].push_back(peak);
            expect(render.exitCode() == 0, "linetree-render failed", 10);
        }
    }
    std::printf("\nlinetree-render at depth 10, %d runs of each, alternating\n", repeats);
    std::printf("%-34s %-26s %s\n", "", "seconds", "MiB peak resident");
    for (int job = 0; job < 3; ++job) {
        std::printf("%-34s %-26s %s\n", jobs[job].first,
                    qPrintable(format(summarise(seconds[job]))),
                    qPrintable(format(summarise(peaks[job]))));
    }
    std::printf("The turntable costs %.2f of the batch\n",
                summarise(seconds[0]).median / summarise(seconds[1]).median);
}

struct RealFigures
{
    std::vector<double> start;   // ms
    std::vector<double> heldKey; // s busy after the last input
    std::vector<double> wheel;
    std::vector<double> pages;
    std::vector<double> turnHeld;
    std::vector<double> turnPresses;
    std::vector<double> zoomWheel;
    std::vector<double> wheelHeard;    // values
    std::vector<double> memoryAtStart; // MiB
    std::vector<double> memoryAtDepth10;
    std::vector<double> memoryBackAtDepth1;
};

// One run of the real program: started, measured and closed
// Returns what went wrong, or nothing
QString measureReal(const QString &binary, RealFigures *figures)
{
    Session session;
    if (!session.startX({"-screen", "0", "1024x768x24"}, QByteArray()))
        return "Xvfb did not start";
    Display *display = session.display();
    const QTemporaryDir logFolder;
    const QString valueLog = logFolder.filePath("values");
    QElapsedTimer started;
    started.start();
    Linetree linetree(session, binary, QStringList(),
                      {"LD_PRELOAD=" LINETREE_LOG_LIBRARY, "LINETREE_VALUE_LOG=" + valueLog});
    if (!linetree.waitForStarted())
        return "did not start";
    if (linetree.view(false, 150, 200, QDeadlineTimer(waitMs)).isNull())
        return "no tree shown: " + linetree.readAllStandardError();
    figures->start.push_back(started.nsecsElapsed() / 1e6);
    const qint64 pid = linetree.processId();
    const QDeadlineTimer deadline(waitMs * 6);
    if (!linetree.waitUntilIdle(deadline))
        return "never idle after the start";
    figures->memoryAtStart.push_back(residentMiB(pid));

    linetree.takeKeyboard();
    setDepth(display, XK_End);
    if (!linetree.waitUntilIdle(deadline))
        return "never idle at depth 10";
    figures->memoryAtDepth10.push_back(residentMiB(pid));

    // On the "Angle: " slider, from its right end: Left held for a second,
    // the X server repeating it
    const unsigned int left = XKeysymToKeycode(display, XK_Left);
    const unsigned int right = XKeysymToKeycode(display, XK_Right);
    XTestFakeKeyEvent(display, left, True, CurrentTime);
    XFlush(display);
    QThread::msleep(1000);
    XTestFakeKeyEvent(display, left, False, CurrentTime);
    XFlush(display);
    QElapsedTimer input;
    input.start();
    figures->heldKey.push_back(linetree.busyAfter(input, deadline));
    if (figures->heldKey.back() < 0)
        return "never idle after the held key";

    // From the right end again, ten wheel notches down in half a second over
    // the slider, below the view
    typeKey(display, XK_End);
    if (!linetree.waitUntilIdle(deadline))
        return "never idle after End";
    if (!linetree.pointAt(QPoint(-20, 14)))
        return "no view to point below";
    const int heardBefore = readLog(valueLog).size();
    for (int i = 0; i < 10; ++i) {
        turnWheel(display);
        QThread::msleep(50);
    }
    input.start();
    figures->wheel.push_back(linetree.busyAfter(input, deadline));
    if (figures->wheel.back() < 0)
        return "never idle after the wheel";
    figures->wheelHeard.push_back(readLog(valueLog).size() - heardBefore);

    // From the left end, eight separate Page Up presses in 0.8 s
    typeKey(display, XK_Home);
    if (!linetree.waitUntilIdle(deadline))
        return "never idle after Home";
    for (int i = 0; i < 8; ++i) {
        typeKey(display, XK_Prior);
        QThread::msleep(100);
    }
    input.start();
    figures->pages.push_back(linetree.busyAfter(input, deadline));
    if (figures->pages.back() < 0)
        return "never idle after the Page Up presses";

    // The view, before the first slider: Right held for a second, then ten
    // separate presses in a second; then back to the slider
    typeKey(display, XK_Tab, true);
    XTestFakeKeyEvent(display, right, True, CurrentTime);
    XFlush(display);
    QThread::msleep(1000);
    XTestFakeKeyEvent(display, right, False, CurrentTime);
    XFlush(display);
    input.start();
    figures->turnHeld.push_back(linetree.busyAfter(input, deadline));
    if (figures->turnHeld.back() < 0)
        return "never idle after Right held on the view";
    for (int i = 0; i < 10; ++i) {
        typeKey(display, XK_Right);
        QThread::msleep(100);
    }
    input.start();
    figures->turnPresses.push_back(linetree.busyAfter(input, deadline));
    if (figures->turnPresses.back() < 0)
        return "never idle after the presses of Right on the view";
    // Ten wheel notches up over the view in half a second, zooming in
    if (!linetree.pointAt(QPoint(-60, -60)))
        return "no view to point at";
    for (int i = 0; i < 10; ++i) {
        turnWheel(display, false);
        QThread::msleep(50);
    }
    input.start();
    figures->zoomWheel.push_back(linetree.busyAfter(input, deadline));
    if (figures->zoomWheel.back() < 0)
        return "never idle after the wheel over the view";
    typeKey(display, XK_Tab);

    setDepth(display, XK_Home);
    if (!linetree.waitUntilIdle(deadline))
        return "never idle back at depth 1";
    figures->memoryBackAtDepth1.push_back(residentMiB(pid));

    requestClose(display, linetree.xWindow());
    if (!linetree.waitForFinished(waitMs) || linetree.exitCode() != 0)
        return "did not end with 0 when closed";
    return QString();
}

void reportReal(const QStringList &binaries)
{
    const int realRuns = 3;
    std::vector<RealFigures> figures(binaries.size());
    for (int run = 0; run < realRuns; ++run) {
        for (int i = 0; i < binaries.size(); ++i) {
            const QString error = measureReal(binaries[i], &figures[i]);
            if (!error.isEmpty()) {
                std::printf("FAIL: %s: %s\n", qPrintable(binaries[i]), qPrintable(error));
                failed = true;
                return;
            }
        }
    }
    std::printf("\nThe real program, %d runs of each, alternating; at depth 10 the input goes "
                "to the \"Angle: \" slider\n",
                realRuns);
    const auto row = [&](const char *what, std::vector<double> RealFigures::*figure) {
        std::printf("%-44s", what);
        for (const RealFigures &f : figures)
            std::printf(" %-28s", qPrintable(format(summarise(f.*figure))));
        std::printf("\n");
    };
    std::printf("%-44s", "");
    for (const QString &binary : binaries)
        std::printf(" %-28s", qPrintable(binary.right(28)));
    std::printf("\n");
    row("start to the first painted tree, ms", &RealFigures::start);
    row("s busy after Left held for 1 s", &RealFigures::heldKey);
    row("s busy after 10 wheel notches in 0.5 s", &RealFigures::wheel);
    row("s busy after 8 Page Up presses in 0.8 s", &RealFigures::pages);
    row("s busy after Right held on the view for 1 s", &RealFigures::turnHeld);
    row("s busy after 10 Right presses on the view in 1 s", &RealFigures::turnPresses);
    row("s busy after 10 wheel notches on the view in 0.5 s", &RealFigures::zoomWheel);
    row("values heard for the 10 wheel notches", &RealFigures::wheelHeard);
    row("MiB resident at start", &RealFigures::memoryAtStart);
    row("MiB resident at depth 10", &RealFigures::memoryAtDepth10);
    row("MiB resident back at depth 1", &RealFigures::memoryBackAtDepth1);
}

} // namespace

int main(int argc, char *argv[])
{
    setUpAllocator(); // as linetree does
    QApplication app(argc, argv);
    QStringList binaries {LINETREE_BINARY};
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() == 3 && arguments[1] == "--compare")
        binaries << arguments[2];

    ViewWindow window(QSize(600, 600));
    TestView &view = *window.view;
    if (!window.showExposed()) {
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
        QCoreApplication::processEvents();
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
        QCoreApplication::processEvents();
        expect(compiledLists() == buildsBeforeDrag, "a drag move rebuilt the list", depth);
        expect(view.paints == paintsBeforeDrag + runs, "a drag move did not paint exactly once",
               depth);

        std::printf("%5d %8d  %-26s %-26s %-26s %11.1f %11.1f\n", depth, segments,
                    qPrintable(format(rebuild)), qPrintable(format(replay)),
                    qPrintable(format(drag)), rebuild.median * 1e6 / segments,
                    replay.median * 1e6 / segments);
        std::fflush(stdout);
    }

    reportSaving(view);
    reportZooming(view);
    reportStartingPoints(view);

#ifdef __GLIBC__
    // The memory given back after each rebuild, against none, alternating
    std::vector<double> rebuilds[2];
    for (int i = 0; i < 2 * runs; ++i) {
        trimming = i % 2 == 0;
        rebuilds[i % 2].push_back(timeOnce(view, [&] { view.rebuild(); }));
    }
    trimming = true;
    const Figure withTrim = summarise(rebuilds[0]);
    const Figure withoutTrim = summarise(rebuilds[1]);
    std::printf("\nA rebuild at depth 10, giving memory back: %s ms; keeping it: %s ms "
                "(%+.1f %%)\n",
                qPrintable(format(withTrim)), qPrintable(format(withoutTrim)),
                100 * (withTrim.median / withoutTrim.median - 1));
#endif

    // Moved to another window and back, as a dock floats and docks again
    QWidget elsewhere;
    elsewhere.resize(600, 600);
    elsewhere.show();
    if (!QTest::qWaitForWindowExposed(&elsewhere)) {
        std::printf("FAIL: the second window was never shown\n");
        return 1;
    }
    const qint64 pid = QCoreApplication::applicationPid();
    std::printf("\nMiB resident at depth 10: %.0f", residentMiB(pid));
    for (int move = 1; move <= 4; ++move) {
        const int paints = view.paints;
        view.setParent(move % 2 ? &elsewhere : static_cast<QWidget *>(&window));
        view.show();
        QTest::qWait(1000);
        expect(view.paints > paints, "a view moved to another window was not drawn", 10);
        std::printf("; after move %d: %.0f", move, residentMiB(pid));
    }
    std::printf("\n");

    reportReal(binaries);
    reportRenderer();
    return failed ? 1 : 0;
}
