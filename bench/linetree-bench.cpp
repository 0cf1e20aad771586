// Measures what a linetree user waits for: the rebuild after a slider move,
// the repaint of a frame, one move of a drag, and the start of the program.

#include "mainwindow.h"
#include "testview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

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

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--start") == 0)
        return startOnce(argc, argv);

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
            QMouseEvent move(QEvent::MouseMove, QPoint(x, 300), Qt::NoButton, Qt::LeftButton,
                             Qt::NoModifier);
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
    return failed ? 1 : 0;
}

#include "linetree-bench.moc"
