#include "testview.h"

#include <QGLWidget>
#include <QMouseEvent>
#include <QtMath>
#include <QtTest>

#include <climits>
#include <memory>

class tst_OpenGLBaumZeiger : public QObject
{
    Q_OBJECT

private slots:
    void segmentCount_data();
    void segmentCount();
    void branches_data();
    void branches();
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
};

namespace {

void showView(TestView &view, int width = 300, int height = 300)
{
    view.resize(width, height);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
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

    TestView view;
    showView(view);
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
    QTest::addColumn<double>("degrees");
    QTest::addColumn<double>("scale");
    QTest::addColumn<float>("trunk");

    QTest::newRow("start: 45° on every level, trunk 0.25")
            << 90 << 100 << 25 << 45.0 << 1.0 << 0.25f;
    QTest::newRow("40° halved per level") << 80 << 50 << 25 << 40.0 << 0.5 << 0.25f;
    QTest::newRow("slider minimum 7.5°") << 15 << 100 << 25 << 7.5 << 1.0 << 0.25f;
    QTest::newRow("setzeLaenge(100): trunk from the bottom edge")
            << 90 << 100 << 100 << 45.0 << 1.0 << 1.0f;
}

void tst_OpenGLBaumZeiger::branches()
{
    QFETCH(int, winkel);
    QFETCH(int, winkelSkal);
    QFETCH(int, laenge);
    QFETCH(double, degrees);
    QFETCH(double, scale);
    QFETCH(float, trunk);

    TestView view;
    showView(view);
    view.rotX = 0;
    view.rotY = 0;
    view.setzeWinkel(winkel);
    view.setzeWinkelSkal(winkelSkal);
    view.setzeLaenge(laenge);
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
    }

    for (int level = 1; level <= 3; ++level) {
        const Segment &parent = lines[level - 1];
        const Segment &child = lines[level];
        QVERIFY(near(child.von, parent.bis));
        const double angle = qRadiansToDegrees(
                std::acos(double(QVector3D::dotProduct(direction(parent), direction(child)))));
        QVERIFY2(qAbs(angle - degrees * std::pow(scale, level - 1)) < 1e-2,
                 qPrintable(QString("level %1 leans %2°").arg(level).arg(angle)));
    }
    QVERIFY(!glErrorRaised());
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
    showView(view, size.width(), size.height());
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

    // The trunk of length 1 runs up the square's centre line from its bottom
    // edge to its centre; nothing else is lit.
    const QImage image = view.frame();
    const int centreX = viewport.x() + viewport.width() / 2;
    int lowest = INT_MAX;
    int highest = INT_MIN;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qGray(pixel) < 128)
                continue;
            QVERIFY2(qAbs(x - centreX) <= 1, qPrintable(QString("lit at %1,%2").arg(x).arg(y)));
            const int glY = image.height() - 1 - y;
            lowest = qMin(lowest, glY);
            highest = qMax(highest, glY);
        }
    }
    QVERIFY2(qAbs(lowest - viewport.y()) <= 1, qPrintable(QString::number(lowest)));
    QVERIFY2(qAbs(highest - (viewport.y() + viewport.height() / 2)) <= 1,
             qPrintable(QString::number(highest)));
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
    showView(view, 300, 200);
    const int paints = view.paints;
    const int builds = compiledLists();

    QTest::mousePress(&view, button, Qt::NoModifier, from);
    QCOMPARE(view.letzteMausPos, from);
    QCOMPARE(view.paints, paints);

    QMouseEvent move(QEvent::MouseMove, to, Qt::NoButton, button, Qt::NoModifier);
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

    QTest::newRow("start") << QByteArray() << 0 << QVector<int> {6, 90, 100, 25, 80};
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

    TestView view;
    showView(view);
    if (!slot.isEmpty())
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
        for (int value : {INT_MIN, -1, 0, 1, 10, 11, 1000, INT_MAX})
            QTest::addRow("%s(%d)", names[i].constData(), value) << 6 << names[i] << value;
    }
    // Lengths that overflow to infinity deep in the tree
    QTest::newRow("setzeVerkuerzung(INT_MAX) at depth 10")
            << 10 << QByteArray("setzeVerkuerzung") << INT_MAX;
    QTest::newRow("setzeVerkuerzung(INT_MIN) at depth 10")
            << 10 << QByteArray("setzeVerkuerzung") << INT_MIN;
}

void tst_OpenGLBaumZeiger::everySlotRebuildsAndRepaints()
{
    QFETCH(int, depth);
    QFETCH(QByteArray, slot);
    QFETCH(int, value);

    TestView view;
    showView(view);
    view.setzeRekTiefe(depth);
    QVERIFY(!glErrorRaised());
    const int paints = view.paints;
    const int builds = compiledLists();

    QVERIFY(QMetaObject::invokeMethod(&view, slot, Q_ARG(int, value)));
    QCOMPARE(compiledLists(), builds + 1);
    QCOMPARE(view.paints, paints + 1);

    view.updateGL();
    QCOMPARE(view.paints, paints + 2);
    view.makeCurrent();
    QVERIFY(!glErrorRaised());
}

void tst_OpenGLBaumZeiger::oneListAlive()
{
    auto view = std::make_unique<TestView>();
    showView(*view);
    QVector<GLuint> names;
    for (int i = 0; i < 1000; ++i) {
        view->setzeRekTiefe(1);
        names.append(view->objektRef);
    }
    const GLuint last = names.takeLast();
    view->makeCurrent();
    QVERIFY(glIsList(last));
    for (GLuint name : qAsConst(names)) {
        if (name != last)
            QVERIFY2(!glIsList(name), qPrintable(QString::number(name)));
    }

    // A widget sharing the view's lists sees the last one until the view goes.
    QGLWidget witness(nullptr, view.get());
    witness.resize(50, 50);
    witness.show();
    QVERIFY(QTest::qWaitForWindowExposed(&witness));
    QVERIFY(witness.isSharing());
    witness.makeCurrent();
    QVERIFY(glIsList(last));
    view.reset();
    witness.makeCurrent();
    QVERIFY(!glIsList(last));
    QVERIFY(!glErrorRaised());
}

void tst_OpenGLBaumZeiger::slotsBeforeFirstShow()
{
    TestView view;
    view.setzeLaenge(100);
    view.setzeRekTiefe(1);
    view.rotX = 0;
    view.rotY = 0;
    showView(view);
    const QVector<Segment> lines = view.capture();
    QCOMPARE(lines.size(), 1);
    QVERIFY(near(lines[0].von, QVector3D(0, -1, 0)));
    QVERIFY(!glErrorRaised());
}

QTEST_MAIN(tst_OpenGLBaumZeiger)
#include "tst_openglbaumzeiger.moc"
