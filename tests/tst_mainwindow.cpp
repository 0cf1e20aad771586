// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "autorepeatfilter.h"
#include "mainwindow.h"
#include "testview.h"

#include <QAccessible>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QtTest>

#include <functional>
#include <utility>

// Opens the window's fields to the tests.
class TestWindow : public MainWindow
{
    Q_OBJECT

public:
    using MainWindow::glZeiger;
    using MainWindow::laengenRedSchieber;
    using MainWindow::laengenSchieber;
    using MainWindow::rekTiefeSchieber;
    using MainWindow::winkelSchieber;
    using MainWindow::winkelSkalSchieber;

    QGridLayout *grid() const { return static_cast<QGridLayout *>(layout()); }
};

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsWithOneBuild();
    void viewCell();
    void rows_data();
    void rows();
    void heldKey_data();
    void heldKey();
    void neverShown();
};

void tst_MainWindow::initTestCase()
{
    QVERIFY2(openGLUsable(),
             "no usable OpenGL on this display, and the view cannot be tested "
             "without it");
}

void tst_MainWindow::startsWithOneBuild()
{
    const int builds = compiledLists();
    TestWindow window;
    QCOMPARE(compiledLists(), builds);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(compiledLists(), builds + 1);
    QVERIFY(window.windowTitle().isEmpty());
    QCOMPARE(MainWindow::staticMetaObject.className(), "MainWindow");
    QCOMPARE(MainWindow::staticMetaObject.methodCount(), QWidget::staticMetaObject.methodCount());
}

void tst_MainWindow::viewCell()
{
    TestWindow window;
    int row, column, rowSpan, columnSpan;
    window.grid()->getItemPosition(window.grid()->indexOf(window.glZeiger), &row, &column, &rowSpan,
                                   &columnSpan);
    QCOMPARE(QRect(column, row, columnSpan, rowSpan), QRect(0, 0, 2, 2));
    QCOMPARE(window.glZeiger->parentWidget(), &window);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(window.glZeiger);
    QVERIFY(accessible);
    QVERIFY(!accessible->text(QAccessible::Name).isEmpty());
    QVERIFY2(accessible->text(QAccessible::Description).contains("left mouse button"),
             qPrintable(accessible->text(QAccessible::Description)));

    // Shrunk as far as it goes, the window still gives the view 200 × 200.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.resize(1, 1);
    QTRY_COMPARE(window.glZeiger->height(), 200);
    QVERIFY(window.glZeiger->width() >= 200);
}

void tst_MainWindow::rows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("start");
    QTest::addColumn<QString>("unit"); // as a screen reader tells it

    QTest::newRow("angle") << 2 << "Angle: " << 15 << 90 << 90 << "in half degrees";
    QTest::newRow("angle scale") << 3 << "Angle Skal: " << 10 << 100 << 100 << "in hundredths";
    QTest::newRow("length") << 4 << "Length: " << 10 << 100 << 25 << "in hundredths";
    QTest::newRow("length reduction") << 5 << "Length Red.: " << 10 << 100 << 80 << "in hundredths";
    QTest::newRow("depth") << 6 << "Rek. Depth: " << 1 << 10 << 6 << "in levels";
}

void tst_MainWindow::rows()
{
    QFETCH(int, row);
    QFETCH(QString, label);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, start);
    QFETCH(QString, unit);

    TestWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Each row's slider field and the view's getter of its parameter, top to bottom
    const OpenGLBaumZeiger *view = window.glZeiger;
    const QSlider *fields[]
            = {window.winkelSchieber, window.winkelSkalSchieber, window.laengenSchieber,
               window.laengenRedSchieber, window.rekTiefeSchieber};
    const std::function<int()> getters[]
            = {[view] { return view->gebeWinkel(); }, [view] { return view->gebeWinkelSkal(); },
               [view] { return view->gebeLaenge(); }, [view] { return view->gebeVerkuerzung(); },
               [view] { return view->gebeRekTiefe(); }};
    const std::function<int()> &getter = getters[row - 2];

    auto *text = qobject_cast<QLabel *>(window.grid()->itemAtPosition(row, 0)->widget());
    QVERIFY(text);
    QCOMPARE(text->text(), label);
    QCOMPARE(text->parentWidget(), &window);

    auto *slider = qobject_cast<QSlider *>(window.grid()->itemAtPosition(row, 1)->widget());
    QCOMPARE(slider, fields[row - 2]);
    QCOMPARE(slider->parentWidget(), &window);
    QCOMPARE(slider->orientation(), Qt::Horizontal);
    QCOMPARE(slider->minimum(), minimum);
    QCOMPARE(slider->maximum(), maximum);
    QCOMPARE(slider->value(), start);
    QCOMPARE(getter(), start);

    // Assistive technology knows the slider by its label, and its unit
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(slider);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name).trimmed(), label.trimmed());
    QVERIFY2(accessible->text(QAccessible::Description).contains(unit),
             qPrintable(accessible->text(QAccessible::Description)));
    // The label is the slider's label, which AT-SPI calls "labelled by".
    const auto labelledBy = accessible->relations(QAccessible::Label);
    QCOMPARE(labelledBy.size(), 1);
    QCOMPARE(labelledBy.first().first->object(), text);

    // Home moves the slider to its minimum, which the view takes over at once.
    const int builds = compiledLists();
    QTest::keyClick(slider, Qt::Key_Home);
    QCOMPARE(slider->value(), minimum);
    QCOMPARE(getter(), minimum);
    QCOMPARE(compiledLists(), builds + 1);
}

void tst_MainWindow::heldKey_data()
{
    // Left arrow events as X sends them for a held key: P the press, R one
    // auto-repeat (a repeated release and press), U the release; | lets the
    // event loop take in what is queued, as an idle program would.
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("steps");

    QTest::newRow("25 presses queued: every one") << QString("PU").repeated(25) << 25;
    QTest::newRow("held, repeats taken in as they come: every one")
            << "P|" + QString("R|").repeated(24) + "U" << 25;
    QTest::newRow("held, 24 repeats queued: the newest one")
            << "P" + QString("R").repeated(24) << 2;
    QTest::newRow("held, 24 repeats queued, released: the press alone")
            << "P" + QString("R").repeated(24) + "U" << 1;
}

// A slider step at depth 10 takes about a second, while X repeats a held key
// 25 times a second: the repeats that queue up meanwhile must not each cost a
// rebuild after the key is released.
void tst_MainWindow::heldKey()
{
    QFETCH(QString, keys);
    QFETCH(int, steps);

    TestWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    AutoRepeatFilter filter;
    qApp->installEventFilter(&filter);
    QSlider *slider = window.winkelSchieber;
    const int start = slider->value();
    const int builds = compiledLists();

    // The queued keys first, then the held press that the filter sends after them
    const auto takeIn = [] {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    };
    const auto post = [slider](QEvent::Type type, bool repeated) {
        QCoreApplication::postEvent(
                slider, new QKeyEvent(type, Qt::Key_Left, Qt::NoModifier, QString(), repeated));
    };
    for (const QChar key : std::as_const(keys)) {
        if (key == 'P') {
            post(QEvent::KeyPress, false);
        } else if (key == 'R') {
            post(QEvent::KeyRelease, true);
            post(QEvent::KeyPress, true);
        } else if (key == 'U') {
            post(QEvent::KeyRelease, false);
        } else {
            takeIn();
        }
    }
    takeIn();

    QCOMPARE(compiledLists(), builds + steps);
    QCOMPARE(slider->value(), start - steps);
    QCOMPARE(window.glZeiger->gebeWinkel(), slider->value());
}

void tst_MainWindow::neverShown()
{
    const int builds = compiledLists();
    delete new MainWindow;
    QCOMPARE(compiledLists(), builds);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
