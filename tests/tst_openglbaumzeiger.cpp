// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "arrowkeys.h"
#include "fileformats.h"
#include "parameterfile.h"
#include "pictures.h"
#include "randomtrees.h"
#include "savefile.h"
#include "testview.h"
#include "treeparameters.h"
#include "viewnavigator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMatrix4x4>
#include <QMouseEvent>
#include <QOffscreenSurface>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtEndian>
#include <QtMath>
#include <QtTest>

#include <array>
#include <climits>
#include <functional>
#include <memory>
#include <utility>

Q_DECLARE_METATYPE(TreeParameters)

class tst_OpenGLBaumZeiger : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void startValues();
    void segmentCount_data();
    void segmentCount();
    void branches_data();
    void branches();
    void viewRotation_data();
    void viewRotation();
    void treeWhole_data();
    void treeWhole();
    void matrixStackBalanced();
    void viewport_data();
    void viewport();
    void turning_data();
    void turning();
    void sliderUnits_data();
    void sliderUnits();
    void slotSignatures();
    void everySlotRebuildsAndRepaints_data();
    void everySlotRebuildsAndRepaints();
    void oneListAlive();
    void slotsBeforeFirstShow();
    void keepsItsTree_data();
    void keepsItsTree();
    void arrowKeys_data();
    void arrowKeys();
    void savedPictures_data();
    void savedPictures();

private:
    TestView &sharedView();

    // Rows that need no particular size or history share one view, shown in a
    // window as linetree shows it.
    std::unique_ptr<ViewWindow> shared;
};

namespace {

bool showView(TestView &view, int width = 300, int height = 300)
{
    view.resize(width, height);
    view.show();
    return QTest::qWaitForWindowExposed(&view);
}

bool near(const QVector3D &a, const QVector3D &b)
{
    return (a - b).length() < 1e-4f;
}

QVector3D direction(const Segment &s)
{
    return (s.bis - s.von).normalized();
}

} // namespace

void tst_OpenGLBaumZeiger::initTestCase()
{
    const QString problem = openGLProblem();
    QVERIFY2(problem.isEmpty(), qPrintable(problem + ", and the view cannot be tested without it"));
    shared = std::make_unique<ViewWindow>();
    QVERIFY(shared->showExposed());
}

void tst_OpenGLBaumZeiger::cleanupTestCase()
{
    shared.reset();
}

TestView &tst_OpenGLBaumZeiger::sharedView()
{
    shared->view->restart();
    return *shared->view;
}

void tst_OpenGLBaumZeiger::startValues()
{
    TestView view;
    QCOMPARE(view.rotX, 20.0f);
    QCOMPARE(view.rotY, 45.0f);
    const QVector<int> getters {view.gebeRekTiefe(), view.gebeWinkel(), view.gebeWinkelSkal(),
                                view.gebeLaenge(), view.gebeVerkuerzung()};
    QCOMPARE(getters, QVector<int>({6, 90, 100, 25, 80}));
}

void tst_OpenGLBaumZeiger::segmentCount_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<int>("segments");

    QTest::newRow("depth 0 draws nothing") << 0 << 0;
    QTest::newRow("depth 1 → the trunk") << 1 << 1;
    QTest::newRow("depth 6 → 1365") << 6 << 1365;
    QTest::newRow("depth 10 → 349525") << 10 << 349525;
}

void tst_OpenGLBaumZeiger::segmentCount()
{
    QFETCH(int, depth);
    QFETCH(int, segments);

    TestView &view = sharedView();
    view.setzeRekTiefe(depth);
    QCOMPARE(view.capture().size(), segments);
    QVERIFY(!glErrorRaised());
}

void tst_OpenGLBaumZeiger::branches_data()
{
    // Slots in slider units: half degrees and hundredths
    QTest::addColumn<int>("winkel");
    QTest::addColumn<int>("winkelSkal");
    QTest::addColumn<int>("laenge");
    QTest::addColumn<int>("verkuerzung");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<double>("scale");
    QTest::addColumn<float>("trunk");
    QTest::addColumn<double>("shortening");

    QTest::newRow("start: 45° on every level, trunk 0.25, 0.8 shorter per level")
            << 90 << 100 << 25 << 80 << 45.0 << 1.0 << 0.25f << 0.8;
    QTest::newRow("40° halved per level, 0.7 shorter per level")
            << 80 << 50 << 25 << 70 << 40.0 << 0.5 << 0.25f << 0.7;
    QTest::newRow("slider minimum 7.5°, scale 0.9, 0.3 shorter per level")
            << 15 << 90 << 25 << 30 << 7.5 << 0.9 << 0.25f << 0.3;
    QTest::newRow("setzeLaenge(100): trunk from the bottom edge, no shortening")
            << 90 << 60 << 100 << 100 << 45.0 << 0.6 << 1.0f << 1.0;
}

void tst_OpenGLBaumZeiger::branches()
{
    QFETCH(int, winkel);
    QFETCH(int, winkelSkal);
    QFETCH(int, laenge);
    QFETCH(int, verkuerzung);
    QFETCH(double, degrees);
    QFETCH(double, scale);
    QFETCH(float, trunk);
    QFETCH(double, shortening);

    TestView &view = sharedView();
    view.rotX = 0;
    view.rotY = 0;
    view.setzeWinkel(winkel);
    view.setzeWinkelSkal(winkelSkal);
    view.setzeLaenge(laenge);
    view.setzeVerkuerzung(verkuerzung);
    view.setzeRekTiefe(4);
    const QVector<Segment> lines = view.capture();
    QCOMPARE(lines.size(), 85);
    QVERIFY(near(lines[0].von, QVector3D(0, -trunk, 0)));
    QVERIFY(near(lines[0].bis, QVector3D(0, 0, 0)));

    // Depth first: the trunk's children start at 1, 22, 43 and 64, each
    // followed by its own first descendants.
    const float tilt = float(qDegreesToRadians(degrees));
    const QVector3D up(0, 1, 0);
    const QVector3D leans[] = {{-1, 0, 0}, {0, 0, 1}, {1, 0, 0}, {0, 0, -1}};
    for (int i = 0; i < 4; ++i) {
        const Segment &child = lines[1 + 21 * i];
        QVERIFY2(near(child.von, QVector3D()), qPrintable(QString::number(i)));
        QVERIFY2(near(direction(child), std::cos(tilt) * up + std::sin(tilt) * leans[i]),
                 qPrintable(QString::number(i)));
        QVERIFY2(qAbs((child.bis - child.von).length() - trunk * shortening) < 1e-5,
                 qPrintable(QString::number(i)));
    }

    for (int level = 1; level <= 3; ++level) {
        const Segment &parent = lines[level - 1];
        const Segment &child = lines[level];
        QVERIFY(near(child.von, parent.bis));
        const double angle = qRadiansToDegrees(
                std::acos(double(QVector3D::dotProduct(direction(parent), direction(child)))));
        QVERIFY2(qAbs(angle - degrees * std::pow(scale, level - 1)) < 1e-2,
                 qPrintable(QString("level %1 leans %2°").arg(level).arg(angle)));
        const double length = (child.bis - child.von).length();
        QVERIFY2(qAbs(length - trunk * std::pow(shortening, level)) < 1e-5,
                 qPrintable(QString("level %1 is %2 long").arg(level).arg(length)));
    }
    QVERIFY(!glErrorRaised());
}

void tst_OpenGLBaumZeiger::viewRotation_data()
{
    QTest::addColumn<float>("rotX");
    QTest::addColumn<float>("rotY");
    // Where the trunk (up the Y axis, 0.25 long) and its first child (45°
    // towards -X) point once the view has turned the tree: first about its
    // own Y axis, then about the screen's X axis.
    QTest::addColumn<QVector3D>("trunk");
    QTest::addColumn<QVector3D>("child");

    const float h = std::sqrt(0.5f);
    QTest::newRow("unturned") << 0.0f << 0.0f << QVector3D(0, 1, 0) << QVector3D(-h, h, 0);
    QTest::newRow("90° about X: the trunk points at the eye")
            << 90.0f << 0.0f << QVector3D(0, 0, 1) << QVector3D(-h, 0, h);
    QTest::newRow("-90° about X: the trunk points away")
            << -90.0f << 0.0f << QVector3D(0, 0, -1) << QVector3D(-h, 0, -h);
    QTest::newRow("90° about Y: the child leans towards the eye")
            << 0.0f << 90.0f << QVector3D(0, 1, 0) << QVector3D(0, h, h);
    QTest::newRow("90° about Y, then 90° about X")
            << 90.0f << 90.0f << QVector3D(0, 0, 1) << QVector3D(0, -h, h);
}

void tst_OpenGLBaumZeiger::viewRotation()
{
    QFETCH(float, rotX);
    QFETCH(float, rotY);
    QFETCH(QVector3D, trunk);
    QFETCH(QVector3D, child);

    TestView &view = sharedView();
    view.rotX = rotX;
    view.rotY = rotY;
    const QVector<Segment> lines = view.capture();
    QCOMPARE(lines.size(), 1365);
    QVERIFY(near(lines[0].von, -0.25f * trunk));
    QVERIFY(near(direction(lines[0]), trunk));
    QVERIFY(near(direction(lines[1]), child));
}

void tst_OpenGLBaumZeiger::treeWhole_data()
{
    QTest::addColumn<TreeParameters>("tree");

    QTest::newRow("the start tree") << TreeParameters {90, 100, 25, 80, 6};
    RandomTrees dice(1);
    TreeParameters longest;
    double longestReach = 0;
    for (int i = 1; i <= 1000; ++i) {
        const TreeParameters tree = dice.tree();
        if (i <= 12)
            QTest::addRow("random tree %d of seed 1", i) << tree;
        // Trunk to tip, where a tree reaches furthest
        const double reach = tree.laenge * (1 - std::pow(tree.verkuerzung * 0.01, tree.rekTiefe))
                / (100 - tree.verkuerzung);
        if (reach > longestReach) {
            longest = tree;
            longestReach = reach;
        }
    }
    QTest::newRow("the one reaching furthest of the first 1000 of seed 1") << longest;
}

// The start tree, and every random tree, shows every segment whole: the
// near and far planes and the edges of the square clip none, and nothing is
// lit on the view's border.
void tst_OpenGLBaumZeiger::treeWhole()
{
    QFETCH(TreeParameters, tree);

    TestView view;
    QVERIFY(showView(view, 300, 300));
    view.setParameters(tree);
    const QVector<Segment> model = view.capture();
    const QVector<Segment> window = view.captureInWindow();
    QCOMPARE(window.size(), model.size());

    // glOrtho(-1, 1, -1, 1, 1, 15) on a 300-pixel square, the tree 5 units
    // from the eye: depth 0 at 1 unit from the eye, 1 at 15.
    const auto project = [](const QVector3D &v) {
        return QVector3D((v.x() + 1) * 150, (v.y() + 1) * 150, (5 - v.z() - 1) / 14);
    };
    const auto same = [](const QVector3D &a, const QVector3D &b) {
        return qAbs(a.x() - b.x()) < 0.01f && qAbs(a.y() - b.y()) < 0.01f
                && qAbs(a.z() - b.z()) < 1e-5f;
    };
    for (int i = 0; i < window.size(); ++i) {
        QVERIFY2(same(window[i].von, project(model[i].von))
                         && same(window[i].bis, project(model[i].bis)),
                 qPrintable(QString("segment %1").arg(i)));
    }
    const QImage frame = view.frame();
    for (int i = 0; i < 300; ++i) {
        for (const QPoint &edge : {QPoint(i, 0), QPoint(i, 299), QPoint(0, i), QPoint(299, i)})
            QVERIFY2(qGray(frame.pixel(edge)) == 0,
                     qPrintable(QString("lit at %1,%2").arg(edge.x()).arg(edge.y())));
    }
}

// A frame leaves the model-view matrix stack as it found it, however many
// frames are drawn.
void tst_OpenGLBaumZeiger::matrixStackBalanced()
{
    TestView &view = sharedView();
    for (int i = 0; i < 40; ++i)
        view.updateGL();
    view.makeCurrent();
    QVERIFY(!glErrorRaised());
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    QCOMPARE(depth, 1);
}

void tst_OpenGLBaumZeiger::viewport_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("viewport");

    QTest::newRow("400×200") << QSize(400, 200) << QRect(100, 0, 200, 200);
    QTest::newRow("301×200: odd pixel to the right") << QSize(301, 200) << QRect(50, 0, 200, 200);
    QTest::newRow("200×500") << QSize(200, 500) << QRect(0, 150, 200, 200);
}

void tst_OpenGLBaumZeiger::viewport()
{
    QFETCH(QSize, size);
    QFETCH(QRect, viewport);

    TestView view;
    QVERIFY(showView(view, size.width(), size.height()));
    QCOMPARE(view.size(), size);
    view.rotX = 0;
    view.rotY = 0;
    view.setzeLaenge(100);
    view.setzeRekTiefe(1);

    view.makeCurrent();
    GLint box[4];
    glGetIntegerv(GL_VIEWPORT, box);
    QCOMPARE(QRect(box[0], box[1], box[2], box[3]), viewport);

    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // glOrtho(-1, 1, -1, 1, 1, 15): x and y unscaled, z from -1..-15 onto -1..1
    const GLfloat ortho[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -1.0f / 7, 0, 0, 0, -8.0f / 7, 1};
    for (int i = 0; i < 16; ++i)
        QVERIFY2(qAbs(projection[i] - ortho[i]) < 1e-6f, qPrintable(QString::number(i)));

    // The white trunk of length 1 runs up the square's centre line from its
    // bottom edge to its centre; nothing else is lit. On the window's pixel
    // grid that line lies on the edge between two columns, from row
    // viewport.y() to row centreY, where OpenGL's diamond-exit rule lights
    // rows viewport.y() to centreY - 1 of one of the two columns. A conforming
    // rasteriser may place each pixel one off and draw one pixel more or less.
    const QImage image = view.frame();
    const int centreX = viewport.x() + viewport.width() / 2;
    const int centreY = viewport.y() + viewport.height() / 2;
    int lowest = INT_MAX;
    int highest = INT_MIN;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y) & RGB_MASK;
            if (pixel == 0)
                continue;
            QVERIFY2(
                    pixel == RGB_MASK,
                    qPrintable(QString("%1 at %2,%3").arg(pixel, 6, 16, QChar('0')).arg(x).arg(y)));
            QVERIFY2(x >= centreX - 2 && x <= centreX + 1,
                     qPrintable(QString("lit at %1,%2").arg(x).arg(y)));
            const int glY = image.height() - 1 - y;
            lowest = qMin(lowest, glY);
            highest = qMax(highest, glY);
        }
    }
    QVERIFY2(qAbs(lowest - viewport.y()) <= 1, qPrintable(QString::number(lowest)));
    QVERIFY2(highest >= centreY - 3 && highest <= centreY, qPrintable(QString::number(highest)));

    // A frame grabbed through the toolkit is drawn by the same calls in the
    // same state, so OpenGL's invariance gives the very same pixels.
    for (const QImage &grabbed : view.framesGrabbed()) {
        QCOMPARE(grabbed.size(), image.size());
        int differing = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                differing += ((grabbed.pixel(x, y) ^ image.pixel(x, y)) & RGB_MASK) != 0;
        }
        QCOMPARE(differing, 0);
    }
}

void tst_OpenGLBaumZeiger::turning_data()
{
    QTest::addColumn<int>("buttonValue"); // Qt::MouseButton
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<float>("turnX");
    QTest::addColumn<float>("turnY");

    // The view is 300 wide and 200 high.
    QTest::newRow("left, full height down → +360 about X")
            << int(Qt::LeftButton) << QPoint(10, 0) << QPoint(10, 200) << 360.0f << 0.0f;
    QTest::newRow("left, full width right → +360 about Y")
            << int(Qt::LeftButton) << QPoint(0, 10) << QPoint(300, 10) << 0.0f << 360.0f;
    QTest::newRow("left, up and left")
            << int(Qt::LeftButton) << QPoint(150, 100) << QPoint(100, 50) << -90.0f << -60.0f;
    QTest::newRow("right turns nothing")
            << int(Qt::RightButton) << QPoint(1, 1) << QPoint(300, 200) << 0.0f << 0.0f;
    QTest::newRow("middle turns nothing")
            << int(Qt::MiddleButton) << QPoint(1, 1) << QPoint(300, 200) << 0.0f << 0.0f;
}

void tst_OpenGLBaumZeiger::turning()
{
    QFETCH(int, buttonValue);
    const auto button = Qt::MouseButton(buttonValue);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(float, turnX);
    QFETCH(float, turnY);

    TestView view;
    QVERIFY(showView(view, 300, 200));
    const int paints = view.paints;
    const int builds = compiledLists();

    QTest::mousePress(&view, button, Qt::NoModifier, from);
    QCOMPARE(view.letzteMausPos, from);
    QCOMPARE(view.paints, paints);

    QMouseEvent move(QEvent::MouseMove, to, view.mapToGlobal(to), Qt::NoButton, button,
                     Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    QCOMPARE(view.rotX, 20.0f + turnX);
    QCOMPARE(view.rotY, 45.0f + turnY);
    QCOMPARE(view.letzteMausPos, to);
    QCOMPARE(view.paints, paints + 1);
    QCOMPARE(compiledLists(), builds);
    QTest::mouseRelease(&view, button, Qt::NoModifier, to);
}

void tst_OpenGLBaumZeiger::sliderUnits_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("value");
    // gebeRekTiefe, gebeWinkel, gebeWinkelSkal, gebeLaenge, gebeVerkuerzung
    QTest::addColumn<QVector<int>>("getters");

    QTest::newRow("setzeWinkel(15): 7.5°")
            << QByteArray("setzeWinkel") << 15 << QVector<int> {6, 15, 100, 25, 80};
    QTest::newRow("setzeLaenge(29) holds a little under 0.29")
            << QByteArray("setzeLaenge") << 29 << QVector<int> {6, 90, 100, 28, 80};
    QTest::newRow("setzeVerkuerzung(10)")
            << QByteArray("setzeVerkuerzung") << 10 << QVector<int> {6, 90, 100, 25, 10};
    QTest::newRow("setzeWinkelSkal(50)")
            << QByteArray("setzeWinkelSkal") << 50 << QVector<int> {6, 90, 50, 25, 80};
    QTest::newRow("setzeRekTiefe(1)")
            << QByteArray("setzeRekTiefe") << 1 << QVector<int> {1, 90, 100, 25, 80};
    QTest::newRow("setzeRekTiefe(-1) clamps to 0")
            << QByteArray("setzeRekTiefe") << -1 << QVector<int> {0, 90, 100, 25, 80};
    QTest::newRow("setzeRekTiefe(INT_MAX) clamps to 10")
            << QByteArray("setzeRekTiefe") << INT_MAX << QVector<int> {10, 90, 100, 25, 80};
    QTest::newRow("setzeWinkel(INT_MAX) saturates")
            << QByteArray("setzeWinkel") << INT_MAX << QVector<int> {6, INT_MAX, 100, 25, 80};
    QTest::newRow("setzeWinkel(INT_MIN)")
            << QByteArray("setzeWinkel") << INT_MIN << QVector<int> {6, INT_MIN, 100, 25, 80};
}

void tst_OpenGLBaumZeiger::sliderUnits()
{
    QFETCH(QByteArray, slot);
    QFETCH(int, value);
    QFETCH(QVector<int>, getters);

    TestView &view = sharedView();
    QVERIFY(QMetaObject::invokeMethod(&view, slot, Q_ARG(int, value)));
    const QVector<int> actual {view.gebeRekTiefe(), view.gebeWinkel(), view.gebeWinkelSkal(),
                               view.gebeLaenge(), view.gebeVerkuerzung()};
    QCOMPARE(actual, getters);
}

// The window connects by these signatures, and any connection may call them.
void tst_OpenGLBaumZeiger::slotSignatures()
{
    const QMetaObject &meta = OpenGLBaumZeiger::staticMetaObject;
    QCOMPARE(meta.className(), "OpenGLBaumZeiger");
    QCOMPARE(meta.propertyCount(), meta.propertyOffset());
    QStringList declared;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.access(), QMetaMethod::Public);
        declared << method.methodSignature() + ' ' + method.parameterNames().join(',');
    }
    QCOMPARE(declared,
             QStringList({"setzeRekTiefe(int) rekTiefe", "setzeWinkel(int) winkel",
                          "setzeLaenge(int) laenge", "setzeVerkuerzung(int) verkuerzung",
                          "setzeWinkelSkal(int) winkelskal"}));
}

void tst_OpenGLBaumZeiger::everySlotRebuildsAndRepaints_data()
{
    QTest::addColumn<int>("depth");
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<int>("value");

    const QByteArray names[] = {"setzeRekTiefe", "setzeWinkel", "setzeLaenge", "setzeVerkuerzung",
                                "setzeWinkelSkal"};
    const int unchanged[] = {6, 90, 25, 80, 100};
    for (int i = 0; i < 5; ++i) {
        QTest::addRow("%s(%d) unchanged", names[i].constData(), unchanged[i])
                << 6 << names[i] << unchanged[i];
        for (int value : {INT_MIN, -1, 0, 1, 10, 11, 1000, INT_MAX}) {
            // Every depth beyond 11 clamps to the same 10 levels as 11 does
            // (sliderUnits checks INT_MAX), at a second's cost each.
            if (i == 0 && value > 11)
                continue;
            QTest::addRow("%s(%d)", names[i].constData(), value) << 6 << names[i] << value;
        }
    }
    // Lengths that overflow to infinity on the deepest level
    QTest::newRow("setzeVerkuerzung(INT_MAX) at depth 7")
            << 7 << QByteArray("setzeVerkuerzung") << INT_MAX;
    QTest::newRow("setzeVerkuerzung(INT_MIN) at depth 7")
            << 7 << QByteArray("setzeVerkuerzung") << INT_MIN;
}

void tst_OpenGLBaumZeiger::everySlotRebuildsAndRepaints()
{
    QFETCH(int, depth);
    QFETCH(QByteArray, slot);
    QFETCH(int, value);

    TestView &view = sharedView();
    view.setzeRekTiefe(depth);
    QVERIFY(!glErrorRaised());
    QTest::qWait(20); // repaints that other windows' exposures left
    const int paints = view.paints;
    const int builds = compiledLists();

    QVERIFY(QMetaObject::invokeMethod(&view, slot, Q_ARG(int, value)));
    QCOMPARE(compiledLists(), builds + 1);
    QCOMPARE(view.paints, paints + 1);
    // The window composes that frame without drawing it again.
    QTest::qWait(20);
    QCOMPARE(view.paints, paints + 1);

    view.updateGL();
    QCOMPARE(view.paints, paints + 2);
    view.makeCurrent();
    QVERIFY(!glErrorRaised());
}

// The view keeps one list, in its own context, whichever context is current
// when a slot runs or the view is destroyed.
void tst_OpenGLBaumZeiger::oneListAlive()
{
    auto view = std::make_unique<TestView>();
    QVERIFY(showView(*view));
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext stranger; // shares nothing with the view
    QVERIFY(stranger.create());
    QVERIFY(!QOpenGLContext::areSharing(&stranger, view->glContext()));

    QVector<GLuint> names;
    for (int i = 0; i < 1000; ++i) {
        QVERIFY(stranger.makeCurrent(&surface));
        view->setzeRekTiefe(2 - i % 2);
        names.append(view->objektRef);
    }
    const GLuint last = names.takeLast();
    view->makeCurrent();
    QVERIFY(glIsList(last));
    for (GLuint name : std::as_const(names)) {
        if (name != last)
            QVERIFY2(!glIsList(name), qPrintable(QString::number(name)));
    }
    QCOMPARE(view->capture().size(), 1);

    // A context sharing the view's lists sees the last one until the view goes.
    QOpenGLContext witness;
    witness.setShareContext(view->glContext());
    QVERIFY(witness.create());
    QVERIFY(QOpenGLContext::areSharing(&witness, view->glContext()));
    QVERIFY(witness.makeCurrent(&surface));
    QVERIFY(glIsList(last));
    QVERIFY(stranger.makeCurrent(&surface));
    view.reset();
    QVERIFY(witness.makeCurrent(&surface));
    QVERIFY(!glIsList(last));
    QVERIFY(!glErrorRaised());
}

// Before its first show the view may have no context of its own, and the
// slots then only set the parameters: no list goes to the context current.
void tst_OpenGLBaumZeiger::slotsBeforeFirstShow()
{
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext stranger;
    QVERIFY(stranger.create());
    QVERIFY(stranger.makeCurrent(&surface));
    TestView view;
    view.setzeLaenge(100);
    view.setzeRekTiefe(1);
    view.rotX = 0;
    view.rotY = 0;
    QVERIFY(stranger.makeCurrent(&surface));
    QVERIFY(!glIsList(view.objektRef));
    QVERIFY(!glErrorRaised());
    QVERIFY(showView(view));
    const QVector<Segment> lines = view.capture();
    QCOMPARE(lines.size(), 1);
    QVERIFY(near(lines[0].von, QVector3D(0, -1, 0)));
    QVERIFY(!glErrorRaised());
}

void tst_OpenGLBaumZeiger::keepsItsTree_data()
{
    QTest::addColumn<QString>("path"); // what the view goes through before a slot runs

    QTest::newRow("in a window") << "in a window";
    QTest::newRow("a window of its own") << "a window of its own";
    QTest::newRow("hidden while a slot runs, then shown") << "hidden";
    QTest::newRow("moved to another window") << "moved";
}

// Whatever a view goes through, each repaint draws it once, the screen shows
// the tree it holds, and its lists live only in the context it draws with:
// Qt 6 drops a view's context when it moves to another window.
void tst_OpenGLBaumZeiger::keepsItsTree()
{
    QFETCH(QString, path);
    // The tree the view ends with, as a view of the same size draws it
    TestView &reference = sharedView();
    reference.setzeRekTiefe(5);
    const QImage tree = reference.frame().convertToFormat(QImage::Format_RGB32);

    ViewWindow window;
    TestView ownWindow;
    TestView *view = window.view;
    if (path == "a window of its own") {
        view = &ownWindow;
        QVERIFY(showView(ownWindow));
    } else {
        QVERIFY(window.showExposed());
    }
    view->setzeRekTiefe(3);
    // Shares the view's first lists, and sees whether they outlive its context
    QOffscreenSurface surface;
    surface.create();
    QOpenGLContext witness;
    witness.setShareContext(view->glContext());
    QVERIFY(witness.create());
    const GLuint firstList = view->objektRef;
    const int foreignDeletes = foreignListDeletes();

    QWidget elsewhere;
    if (path == "moved") {
        elsewhere.resize(300, 300);
        elsewhere.show();
        QVERIFY(QTest::qWaitForWindowExposed(&elsewhere));
        view->setParent(&elsewhere);
        view->show();
    }
    QTest::qWait(50);

    // One frame for the slot. A hidden view is drawn when shown again, and on
    // Qt 5 at once into its unmapped window too.
    const int paints = view->paints;
    if (path == "hidden")
        view->hide();
    view->setzeRekTiefe(5);
    view->show();
    QTest::qWait(50);
    if (path != "hidden")
        QCOMPARE(view->paints, paints + 1);
    QCOMPARE(view->frame().convertToFormat(QImage::Format_RGB32), tree);
    QTRY_COMPARE(onScreen(view).convertToFormat(QImage::Format_RGB32), tree);

    QVERIFY(witness.makeCurrent(&surface));
    if (!QOpenGLContext::areSharing(&witness, view->glContext()))
        QVERIFY2(!glIsList(firstList), "a list outlives the context the view left");
    QCOMPARE(foreignListDeletes(), foreignDeletes);
    view->makeCurrent();
    QVERIFY(!glErrorRaised());
}

void tst_OpenGLBaumZeiger::arrowKeys_data()
{
    // Keys to a 300 × 300 view: R, L, U and D a press and release of an arrow
    // key, lower case with Shift, > and < of Right and Left with Ctrl; P a
    // press of Right, E an auto-repeat of it (a repeated release and press),
    // X its release; + and - a press of either, F one of F. W and w are a
    // wheel notch up and down at (225, 75), M a drag with the middle button
    // from (100, 100) to (130, 120), m one back. | lets the event loop take
    // in what is queued, as an idle program would.
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("depth");
    QTest::addColumn<double>("turnX"); // degrees, give or take half a pixel of drag
    QTest::addColumn<double>("turnY"); // a step
    QTest::addColumn<int>("paints");
    // Where nothing turns, the picture grows by `scale` about `about` and
    // moves by `shift`, in the view's pixels; 0 where it is fitted.
    QTest::addColumn<double>("scale");
    QTest::addColumn<QPointF>("about");
    QTest::addColumn<QPointF>("shift");

    const QString held = "P" + QString("E").repeated(24);
    const double notch = std::exp2(0.25);
    const QPointF centre(150, 150);
    const QPointF pointer(225.5, 75.5); // the middle of its pixel
    QTest::newRow("Right spins as a drag to the right")
            << "R" << 6 << 0.0 << 15.0 << 1 << 1.0 << centre << QPointF();
    QTest::newRow("Left spins as a drag to the left")
            << "L" << 6 << 0.0 << -15.0 << 1 << 1.0 << centre << QPointF();
    QTest::newRow("Down tilts as a drag down")
            << "D" << 6 << 15.0 << 0.0 << 1 << 1.0 << centre << QPointF();
    QTest::newRow("Up tilts as a drag up")
            << "U" << 6 << -15.0 << 0.0 << 1 << 1.0 << centre << QPointF();
    QTest::newRow("Right, then Left: the very same picture")
            << "R|L" << 6 << 0.0 << 0.0 << 2 << 1.0 << centre << QPointF();
    QTest::newRow("Left, then Right")
            << "L|R" << 6 << 0.0 << 0.0 << 2 << 1.0 << centre << QPointF();
    QTest::newRow("Down, then Up") << "D|U" << 6 << 0.0 << 0.0 << 2 << 1.0 << centre << QPointF();
    QTest::newRow("Up, then Down") << "U|D" << 6 << 0.0 << 0.0 << 2 << 1.0 << centre << QPointF();
    QTest::newRow("Shift+Right: one pixel of drag")
            << "r" << 6 << 0.0 << 1.2 << 1 << 1.0 << centre << QPointF();
    QTest::newRow("Shift+Up, then Shift+Down")
            << "u|d" << 6 << 0.0 << 0.0 << 2 << 1.0 << centre << QPointF();
    QTest::newRow("3 presses queued: each counts, in one repaint")
            << "RRR" << 6 << 0.0 << 45.0 << 1 << 1.0 << centre << QPointF();
    QTest::newRow("held, repeats taken in as they come: one repaint each")
            << "P|E|E|E|X" << 6 << 0.0 << 60.0 << 4 << 1.0 << centre << QPointF();
    QTest::newRow("held at depth 10, 24 repeats queued: the press and the newest repeat")
            << held << 10 << 0.0 << 30.0 << 1 << 1.0 << centre << QPointF();
    QTest::newRow("held at depth 10, 24 repeats queued, released: the press alone")
            << held + "X" << 10 << 0.0 << 15.0 << 1 << 1.0 << centre << QPointF();
    QTest::newRow("held at depth 10, Left pressed and released meanwhile: the newest repeat still")
            << "PEEL" << 10 << 0.0 << 15.0 << 1 << 1.0 << centre << QPointF();
    QTest::newRow("+ zooms a notch in about the centre")
            << "+" << 6 << 0.0 << 0.0 << 1 << notch << centre << QPointF();
    QTest::newRow("+, then -: the very same picture")
            << "+|-" << 6 << 0.0 << 0.0 << 2 << 1.0 << centre << QPointF();
    QTest::newRow("a wheel notch up: the point under the pointer stays put")
            << "W" << 6 << 0.0 << 0.0 << 1 << notch << pointer << QPointF();
    QTest::newRow("a notch up, then one down: the very same picture")
            << "W|w" << 6 << 0.0 << 0.0 << 2 << 1.0 << pointer << QPointF();
    QTest::newRow("3 notches queued at depth 10: all of them, in one repaint")
            << "WWW" << 10 << 0.0 << 0.0 << 1 << notch * notch * notch << pointer << QPointF();
    QTest::newRow("Ctrl+Right moves the picture as far as a drag that turns a step")
            << ">" << 6 << 0.0 << 0.0 << 1 << 1.0 << centre << QPointF(13, 0);
    QTest::newRow("Ctrl+Right, then Ctrl+Left: the very same picture")
            << ">|<" << 6 << 0.0 << 0.0 << 2 << 1.0 << centre << QPointF();
    QTest::newRow("a middle drag moves the picture with the pointer")
            << "M" << 6 << 0.0 << 0.0 << 1 << 1.0 << centre << QPointF(30, 20);
    QTest::newRow("a middle drag, then one back: the very same picture")
            << "M|m" << 6 << 0.0 << 0.0 << 2 << 1.0 << centre << QPointF();
    QTest::newRow("8 notches in cut the tree off; F shows it whole, filling the view")
            << "++++++++|F" << 6 << 0.0 << 0.0 << 2 << 0.0 << centre << QPointF();
}

// The arrow keys turn the tree as a left drag would and move it as a middle
// drag would, the wheel and + and - zoom it, and input that queues up behind
// a repaint is taken together. None of it rebuilds the tree.
void tst_OpenGLBaumZeiger::arrowKeys()
{
    QFETCH(QString, keys);
    QFETCH(int, depth);
    QFETCH(double, turnX);
    QFETCH(double, turnY);
    QFETCH(int, paints);
    QFETCH(double, scale);
    QFETCH(QPointF, about);
    QFETCH(QPointF, shift);

    ViewWindow window;
    TestView *view = window.view;
    new ArrowKeys(view);
    new ViewNavigator(view);
    QVERIFY(window.showExposed());
    view->setFocus();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    view->setzeRekTiefe(depth);
    QTest::qWait(50); // repaints that the window's activation left
    const QImage before = view->frame();
    const ViewState shown = view->viewState();
    const Segment trunk = view->captureInWindow().value(0);
    const int paintsBefore = view->paints;
    const int builds = compiledLists();

    // Keys go to the window, which hands them to the widget with the focus,
    // and the wheel to the widget under it.
    QWindow *handle = window.windowHandle();
    const auto key = [handle](QEvent::Type type, Qt::Key key, Qt::KeyboardModifiers modifiers,
                              bool repeated) {
        QCoreApplication::postEvent(handle,
                                    new QKeyEvent(type, key, modifiers, QString(), repeated));
    };
    const auto drag = [view](const QPoint &from, const QPoint &to) {
        QTest::mousePress(view, Qt::MiddleButton, Qt::NoModifier, from);
        QMouseEvent move(QEvent::MouseMove, to, view->mapToGlobal(to), Qt::NoButton,
                         Qt::MiddleButton, Qt::NoModifier);
        QApplication::sendEvent(view, &move);
        QTest::mouseRelease(view, Qt::MiddleButton, Qt::NoModifier, to);
    };
    const auto takeIn = [] {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    };
    int steps = 0;
    for (const QChar event : std::as_const(keys)) {
        const int arrow = QString("RLUD><").indexOf(event.toUpper());
        const int zoom = QString("+-").indexOf(event);
        if (arrow >= 0) {
            const Qt::Key pressed = std::array {Qt::Key_Right, Qt::Key_Left,  Qt::Key_Up,
                                                Qt::Key_Down,  Qt::Key_Right, Qt::Key_Left}[arrow];
            const Qt::KeyboardModifiers modifiers = arrow >= 4 ? Qt::ControlModifier
                    : event.isLower()                          ? Qt::ShiftModifier
                                                               : Qt::NoModifier;
            key(QEvent::KeyPress, pressed, modifiers, false);
            key(QEvent::KeyRelease, pressed, modifiers, false);
            ++steps;
        } else if (zoom >= 0) {
            key(QEvent::KeyPress, zoom == 0 ? Qt::Key_Plus : Qt::Key_Minus, Qt::NoModifier, false);
        } else if (event == 'F') {
            QTest::keyClick(view, Qt::Key_F);
        } else if (event.toUpper() == 'W') {
            const QPoint at(225, 75);
            QCoreApplication::postEvent(handle,
                                        new QWheelEvent(at, view->mapToGlobal(at), QPoint(),
                                                        QPoint(0, event == 'W' ? 120 : -120),
                                                        Qt::NoButton, Qt::NoModifier,
                                                        Qt::NoScrollPhase, false));
        } else if (event.toUpper() == 'M') {
            const QPoint from(100, 100);
            const QPoint to(130, 120);
            event == 'M' ? drag(from, to) : drag(to, from);
        } else if (event == 'P') {
            key(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, false);
            ++steps;
        } else if (event == 'E') {
            key(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, true);
            key(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, true);
            ++steps;
        } else if (event == 'X') {
            key(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, false);
        } else {
            takeIn();
        }
    }
    takeIn();

    const double slack = steps * 180.0 / 300 + 1e-3; // half a pixel of drag a step
    QVERIFY2(qAbs(view->viewState().tilt - shown.tilt - turnX) <= slack,
             qPrintable(QString::number(view->viewState().tilt)));
    QVERIFY2(qAbs(view->viewState().turn - shown.turn - turnY) <= slack,
             qPrintable(QString::number(view->viewState().turn)));
    QCOMPARE(view->paints, paintsBefore + paints);
    QCOMPARE(compiledLists(), builds);
    if (turnX != 0 || turnY != 0)
        return;
    if (scale == 0) {
        // Every segment whole, and the tree within a twentieth of the edges
        const QVector<Segment> lines = view->captureInWindow();
        QCOMPARE(lines.size(), 1365);
        QRectF drawn(lines[0].von.toPointF(), QSizeF());
        for (const Segment &line : lines)
            drawn |= QRectF(line.von.toPointF(), line.bis.toPointF()).normalized();
        QVERIFY2(QRectF(14.9, 14.9, 270.2, 270.2).contains(drawn)
                         && qMax(drawn.width(), drawn.height()) > 269.9,
                 qPrintable(QString("%1 %2 %3 %4")
                                    .arg(drawn.x())
                                    .arg(drawn.y())
                                    .arg(drawn.width())
                                    .arg(drawn.height())));
        return;
    }
    // The trunk's ends as the view draws them, y up, where the picture grew
    // about `about` and moved by `shift`
    const Segment now = view->captureInWindow().value(0);
    const QVector3D fixed(float(about.x()), float(300 - about.y()), 0);
    const QVector3D moved(float(shift.x()), float(-shift.y()), 0);
    for (const auto &[was, is] : {std::pair {trunk.von, now.von}, {trunk.bis, now.bis}}) {
        const QVector3D expected = fixed + float(scale) * (was - fixed) + moved;
        QVERIFY2(qAbs(is.x() - expected.x()) < 0.01f && qAbs(is.y() - expected.y()) < 0.01f,
                 qPrintable(QString("%1,%2 where %3,%4 was expected")
                                    .arg(is.x())
                                    .arg(is.y())
                                    .arg(expected.x())
                                    .arg(expected.y())));
    }
    if (scale == 1 && shift.isNull()) {
        QCOMPARE(view->frame(), before);
        const ViewState now = view->viewState();
        QVERIFY(now.zoom == shown.zoom && now.panX == shown.panX && now.panY == shown.panY);
    }
}

void tst_OpenGLBaumZeiger::savedPictures_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<int>("depth");
    QTest::addColumn<QSize>("size");      // of the view
    QTest::addColumn<int>("verkuerzung"); // in hundredths

    QTest::newRow("PNG, depth 6: the frame itself") << "png" << 6 << QSize(300, 300) << 80;
    QTest::newRow("SVG, depth 6") << "svg" << 6 << QSize(300, 300) << 80;
    QTest::newRow("SVG, a wide view at depth 8: the square's lines only")
            << "svg" << 8 << QSize(400, 200) << 80;
    QTest::newRow("SVG, depth 10: short enough for librsvg")
            << "svg" << 10 << QSize(300, 300) << 80;
    QTest::newRow("PDF, depth 6") << "pdf" << 6 << QSize(300, 300) << 80;
    QTest::newRow("PDF, a tall view at depth 10") << "pdf" << 10 << QSize(200, 400) << 80;
    QTest::newRow("PDF, 200×276: the view's size, not A8's") << "pdf" << 6 << QSize(200, 276) << 80;
    QTest::newRow("OBJ, depth 6") << "obj" << 6 << QSize(300, 300) << 80;
    QTest::newRow("GLB, a wide view at depth 6: the whole tree")
            << "glb" << 6 << QSize(400, 200) << 80;
    QTest::newRow("OBJ, depth 10: 349,525 segments") << "obj" << 10 << QSize(300, 300) << 80;
    QTest::newRow("GLB, depth 10") << "glb" << 10 << QSize(300, 300) << 80;
    QTest::newRow("OBJ, no shortening at depth 7: joints that coincide stay apart")
            << "obj" << 7 << QSize(300, 300) << 100;
    QTest::newRow("GLB, no shortening at depth 7") << "glb" << 7 << QSize(300, 300) << 100;
    QTest::newRow("GLB, 0.1 shorter per level at depth 10: segments of no length, each its own")
            << "glb" << 10 << QSize(300, 300) << 10;
    QTest::newRow("plotter SVG: each segment once, in as few strokes as that allows")
            << "plotter" << 6 << QSize(300, 300) << 80;
    QTest::newRow("plotter SVG, side-on: segments that coincide drawn once")
            << "plotter side-on" << 6 << QSize(300, 300) << 80;
    QTest::newRow("plotter SVG, zoomed in: cut at the view's edge")
            << "plotter zoomed" << 6 << QSize(300, 300) << 80;
    QTest::newRow("plotter SVG with layers: a top-level layer for each level")
            << "plotter layers" << 6 << QSize(300, 300) << 80;
}

namespace {

// The segments of an SVG's paths, in the view's pixels with y growing down
QVector<QLineF> svgSegments(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression command("([ML])(-?[0-9.]+),(-?[0-9.]+)");
    QVector<QLineF> segments;
    QXmlStreamReader svg(&file);
    while (svg.readNextStartElement() || !svg.atEnd()) {
        if (!svg.isStartElement() || svg.name() != QLatin1String("path"))
            continue;
        QPointF at;
        const QString data = svg.attributes().value("d").toString();
        for (QRegularExpressionMatchIterator steps = command.globalMatch(data); steps.hasNext();) {
            const QRegularExpressionMatch step = steps.next();
            const QPointF to(step.captured(2).toDouble(), step.captured(3).toDouble());
            if (step.captured(1) == "L")
                segments.append(QLineF(at, to));
            at = to;
        }
    }
    return segments;
}

// The picture as librsvg or Poppler, which desktops show SVG and PDF with,
// render it at 96 pixels to the inch
QImage rendered(const QString &fileName, const QString &format)
{
    QProcess renderer;
    const QString picture = fileName + ".png";
    if (format == "svg")
        renderer.start("rsvg-convert", {fileName, "-o", picture});
    else
        renderer.start("pdftoppm", {"-png", "-r", "96", "-singlefile", fileName, fileName});
    if (!renderer.waitForFinished(60000) || renderer.exitCode() != 0)
        return QImage();
    return QImage(picture);
}

// Each segment by the tree's rule at the start angles, in the tree's own
// frame, depth first: it runs up its frame's Y axis, and each branch is
// tilted about Z by 45 degrees and turned a quarter about Y from the last.
void grow(const QMatrix4x4 &frame, float length, float reduction, int level, int depth,
          QVector<Segment> *tree)
{
    if (level == depth)
        return;
    QMatrix4x4 tip = frame;
    tip.translate(0, length, 0);
    tree->append({frame.map(QVector3D()), tip.map(QVector3D())});
    for (int i = 0; i < 4; ++i) {
        QMatrix4x4 branch = tip;
        branch.rotate(90.0f * i, 0, 1, 0);
        branch.rotate(45, 0, 0, 1);
        grow(branch, length * reduction, reduction, level + 1, depth, tree);
    }
}

// The joints and segments of a saved model, from the OBJ's v and l lines or
// the glTF's first primitive, which must be one of lines, in a model that
// names linetree as its generator
bool readModel(const QString &fileName, QVector<QVector3D> *joints, QVector<QPoint> *segments)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray model = file.readAll();
    if (fileName.endsWith(".obj")) {
        for (const QByteArray &line : model.split('\n')) {
            const QList<QByteArray> words = line.simplified().split(' ');
            if (words[0] == "v")
                joints->append(
                        QVector3D(words[1].toFloat(), words[2].toFloat(), words[3].toFloat()));
            else if (words[0] == "l")
                segments->append(QPoint(words[1].toInt() - 1, words[2].toInt() - 1));
        }
        return true;
    }
    const int jsonSize = qFromLittleEndian<quint32>(model.constData() + 12);
    const QJsonObject json = QJsonDocument::fromJson(model.mid(20, jsonSize)).object();
    if (!json["asset"]["generator"].toString().startsWith("linetree "))
        return false;
    const QByteArray data = model.mid(28 + jsonSize);
    const QJsonObject primitive = json["meshes"][0]["primitives"][0].toObject();
    const auto values = [&](int accessor, auto type) {
        const QJsonObject access = json["accessors"][accessor].toObject();
        const int offset = json["bufferViews"][access["bufferView"].toInt()]["byteOffset"].toInt();
        return QVector<decltype(type)>(
                reinterpret_cast<const decltype(type) *>(data.constData() + offset),
                reinterpret_cast<const decltype(type) *>(data.constData() + offset)
                        + access["count"].toInt() * (access["type"] == "VEC3" ? 3 : 1));
    };
    const QVector<float> xyz = values(primitive["attributes"]["POSITION"].toInt(), 0.0f);
    const QVector<quint32> ends = values(primitive["indices"].toInt(), quint32());
    for (int i = 0; i + 2 < xyz.size(); i += 3)
        joints->append(QVector3D(xyz[i], xyz[i + 1], xyz[i + 2]));
    for (int i = 0; i + 1 < ends.size(); i += 2)
        segments->append(QPoint(int(ends[i]), int(ends[i + 1])));
    return primitive["mode"] == 1;
}

// Whether a plotter SVG draws each segment that the view shows, its lines in
// the window's pixels, once, on its page inside its margins, in as few
// strokes as that allows: one for every two points where an odd number of
// segments meet, in each connected part; in a top-level layer for each level
// where asked. Logs what is wrong.
bool plottedOnce(const QString &fileName, const QVector<Segment> &shown, const PlotterPage &page)
{
    QFile file(fileName);
    QXmlStreamReader svg(&file);
    if (!file.open(QIODevice::ReadOnly) || !svg.readNextStartElement())
        return false;
    const QString paper = QString("%1mm %2mm 0 0 %1 %2")
                                  .arg(page.paper.width(), 0, 'f', 2)
                                  .arg(page.paper.height(), 0, 'f', 2);
    const QXmlStreamAttributes sized = svg.attributes();
    if (QStringList({sized.value("width").toString(), sized.value("height").toString(),
                     sized.value("viewBox").toString()})
                .join(' ')
        != paper) {
        qWarning("not a page of %s", qPrintable(paper));
        return false;
    }
    QVector<QLineF> drawn;
    QStringList layers;
    int strokes = 0;
    static const QRegularExpression point("(-?[0-9.]+),(-?[0-9.]+)");
    while (svg.readNextStartElement()) {
        if (svg.name() != QLatin1String("g")) {
            svg.skipCurrentElement();
            continue;
        }
        layers << svg.attributes()
                          .value("http://www.inkscape.org/namespaces/inkscape", "label")
                          .toString();
        while (svg.readNextStartElement()) {
            QVector<QPointF> points;
            for (auto at = point.globalMatch(svg.attributes().value("d").toString());
                 at.hasNext();) {
                const QRegularExpressionMatch match = at.next();
                points << QPointF(match.captured(1).toDouble(), match.captured(2).toDouble());
            }
            for (int i = 1; i < points.size(); ++i)
                drawn << QLineF(points[i - 1], points[i]);
            strokes += points.size() > 1;
            svg.skipCurrentElement();
        }
    }
    // Inside the margins, and filling them across or down
    QRectF extent;
    for (const QLineF &line : std::as_const(drawn))
        extent |= QRectF(line.p1(), line.p2()).normalized();
    const QRectF inside(page.margin, page.margin, page.paper.width() - 2 * page.margin,
                        page.paper.height() - 2 * page.margin);
    if (!inside.adjusted(-0.01, -0.01, 0.01, 0.01).contains(extent)
        || qMin(inside.width() - extent.width(), inside.height() - extent.height()) > 0.02) {
        qWarning("drawn across %g,%g %gx%g", extent.x(), extent.y(), extent.width(),
                 extent.height());
        return false;
    }
    // The window's lines onto the page, y down, as the drawing's extent
    // lies; each of more than no length drawn, and nothing drawn twice or
    // else
    QRectF window;
    for (const Segment &line : shown)
        window |= QRectF(line.von.toPointF(), line.bis.toPointF()).normalized();
    const double scale = qMax(extent.width() / window.width(), extent.height() / window.height());
    const auto onPage = [&](const QVector3D &v) {
        return QPointF(extent.center().x() + (v.x() - window.center().x()) * scale,
                       extent.center().y() - (v.y() - window.center().y()) * scale);
    };
    QVector<int> hits(drawn.size());
    for (const Segment &line : shown) {
        const QLineF expected(onPage(line.von), onPage(line.bis));
        if (expected.length() < 0.02)
            continue;
        const auto near = [&](const QLineF &d) {
            const auto close = [](QPointF a, QPointF b) { return QLineF(a, b).length() < 0.03; };
            return (close(d.p1(), expected.p1()) && close(d.p2(), expected.p2()))
                    || (close(d.p1(), expected.p2()) && close(d.p2(), expected.p1()));
        };
        const auto found = std::find_if(drawn.cbegin(), drawn.cend(), near);
        if (found == drawn.cend()) {
            qWarning("not drawn: %g,%g to %g,%g", expected.x1(), expected.y1(), expected.x2(),
                     expected.y2());
            return false;
        }
        ++hits[found - drawn.cbegin()];
    }
    // Points as the file writes them, to a hundredth of a millimetre
    using Point = QPair<qint64, qint64>;
    const auto key
            = [](const QPointF &p) { return Point(qRound64(p.x() * 100), qRound64(p.y() * 100)); };
    QSet<QPair<Point, Point>> once;
    for (int i = 0; i < drawn.size(); ++i) {
        const QPair<Point, Point> ends = qMakePair(qMin(key(drawn[i].p1()), key(drawn[i].p2())),
                                                   qMax(key(drawn[i].p1()), key(drawn[i].p2())));
        if (hits[i] == 0 || once.contains(ends)) {
            qWarning("drawn %s: %g,%g to %g,%g", hits[i] ? "twice" : "but not shown", drawn[i].x1(),
                     drawn[i].y1(), drawn[i].x2(), drawn[i].y2());
            return false;
        }
        once << ends;
    }
    // The strokes: in each connected part, one for every two points where
    // an odd number of segments meet, and at least one
    QHash<Point, Point> parent;
    QHash<Point, int> meeting;
    const std::function<Point(Point)> root
            = [&](Point p) { return parent.value(p, p) == p ? p : root(parent.value(p)); };
    for (const QLineF &line : std::as_const(drawn)) {
        ++meeting[key(line.p1())];
        ++meeting[key(line.p2())];
        parent[root(key(line.p1()))] = root(key(line.p2()));
    }
    QHash<Point, int> odd;
    for (auto at = meeting.cbegin(); at != meeting.cend(); ++at)
        odd[root(at.key())] += at.value() % 2;
    int fewest = 0;
    for (const int count : std::as_const(odd))
        fewest += qMax(1, count / 2);
    if (strokes != fewest) {
        qWarning("%d strokes where %d draw each segment once", strokes, fewest);
        return false;
    }
    QStringList levels;
    for (int level = 1; page.layers && level <= layers.size(); ++level)
        levels << QString("Level %1").arg(level);
    if (layers != (page.layers ? levels : QStringList {""}))
        qWarning("layers %s", qPrintable(layers.join(", ")));
    return layers == (page.layers ? levels : QStringList {""});
}

// What Assimp's own command counts in the model, read as it stands, without
// the joining of vertices that Assimp's importer does where asked
QString assimpInfo(const QString &fileName)
{
    QProcess assimp;
    assimp.start("assimp", {"info", fileName, "--raw"});
    if (!assimp.waitForFinished(60000) || assimp.exitCode() != 0)
        return QString();
    static const QRegularExpression counts("Vertices: +(\\d+)\\s+Faces: +(\\d+)");
    static const QRegularExpression types("Primitive Types: +(\\w+)");
    const QString info = assimp.readAllStandardOutput();
    return counts.match(info).captured(1) + ' ' + counts.match(info).captured(2) + ' '
            + types.match(info).captured(1);
}

} // namespace

// A saved picture is the frame: the PNG its pixels; the SVG and the PDF its
// lines, as librsvg and Poppler draw them and, in the SVG, each line that
// OpenGL hands back from the frame within half a pixel of its place. Each
// carries the parameter line.
void tst_OpenGLBaumZeiger::savedPictures()
{
    QFETCH(QString, format);
    QFETCH(int, depth);
    QFETCH(QSize, size);
    QFETCH(int, verkuerzung);

    ViewWindow window(size);
    TestView *view = window.view;
    QVERIFY(window.showExposed());
    QCOMPARE(view->size(), size);
    view->setParameters({90, 100, 25, verkuerzung, depth});
    // "plotter" and how the view shows the tree or the page stands
    const bool plotter = format.startsWith("plotter");
    if (format.endsWith("side-on"))
        view->setViewState({0, 0});
    if (format.endsWith("zoomed"))
        view->setViewState({45, 20, 3, 0.1, 0});
    PlotterPage page;
    page.layers = format.endsWith("layers");
    const QTemporaryDir folder;
    const QString fileName = folder.filePath("tree." + QString(plotter ? "svg" : format));
    const QString line = parameterLine({{90, 100, 25, verkuerzung, depth}, view->viewState()});
    QString error;
    QVERIFY2(saveTree({view, line, page}, fileName,
                      plotter ? formatNamed("plotter") : formatOfName(fileName), nullptr, &error),
             qPrintable(error));
    QString saved;
    QVERIFY2(readParameterText(fileName, &saved, &error), qPrintable(error));
    QCOMPARE(saved, line);
    // OpenGL holds no address of a feedback buffer freed since.
    view->makeCurrent();
    GLvoid *feedback = &saved;
    glGetPointerv(GL_FEEDBACK_BUFFER_POINTER, &feedback);
    QCOMPARE(feedback, nullptr);

    // A model holds the tree by its rule, in its own frame however the view
    // turns it, one joint where a segment and its branches meet.
    if (format == "obj" || format == "glb") {
        QVector<Segment> tree;
        grow(QMatrix4x4(), 0.25f, float(verkuerzung * 0.01), 0, depth, &tree);
        QVector<QVector3D> joints;
        QVector<QPoint> segments;
        QVERIFY(readModel(fileName, &joints, &segments));
        QCOMPARE(segments.size(), tree.size());
        QCOMPARE(joints.size(), tree.size() + 1);
        for (int i = 0; i < tree.size(); ++i) {
            const QPoint ends = segments[i];
            QVERIFY2(ends.x() >= 0 && ends.y() < joints.size()
                             && (joints[ends.x()] - tree[i].von).length() <= 1e-5f
                             && (joints[ends.y()] - tree[i].bis).length() <= 1e-5f,
                     qPrintable(QString("segment %1").arg(i)));
        }
        // Assimp reads each line of an OBJ with two vertices of its own.
        QCOMPARE(assimpInfo(fileName),
                 QString("%1 %2 lines")
                         .arg(format == "obj" ? 2 * segments.size() : joints.size())
                         .arg(segments.size()));
        return;
    }
    if (plotter) {
        QVERIFY(plottedOnce(fileName, view->captureInWindow(), page));
        return;
    }
    const QImage frame = view->frame().convertToFormat(QImage::Format_RGB32);
    if (format == "png") {
        QCOMPARE(QImage(fileName).convertToFormat(QImage::Format_RGB32), frame);
        return;
    }
    QVERIFY2(sameLines(frame, rendered(fileName, format), true), "not the frame's lines");
    if (format == "svg") {
        QVERIFY(QFileInfo(fileName).size() < 10'000'000);
        // In order; only a line that ends within a tenth of a pixel of where
        // it starts, which shows nothing, may be left out.
        const QVector<QLineF> segments = svgSegments(fileName);
        const auto near = [&size](const QPointF &svg, const QVector3D &gl) {
            return QLineF(svg, QPointF(gl.x(), size.height() - gl.y())).length() <= 0.5;
        };
        int next = 0;
        for (const Segment &line : view->captureInWindow()) {
            if (next < segments.size() && near(segments[next].p1(), line.von)
                && near(segments[next].p2(), line.bis)) {
                ++next;
                continue;
            }
            QVERIFY2(line.von.toVector2D().distanceToPoint(line.bis.toVector2D()) < 0.1,
                     qPrintable(QString("line %1 is missing").arg(next)));
        }
        QCOMPARE(next, segments.size());
    }
}

QTEST_MAIN(tst_OpenGLBaumZeiger)
#include "tst_openglbaumzeiger.moc"
