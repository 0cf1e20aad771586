#include "mainwindow.h"
#include "testview.h"

#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QtTest>

#include <functional>

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
    void startsWithOneBuild();
    void viewCell();
    void rows_data();
    void rows();
    void neverShown();
};

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
}

void tst_MainWindow::rows_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("minimum");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("start");

    QTest::newRow("angle") << 2 << "Angle: " << 15 << 90 << 90;
    QTest::newRow("angle scale") << 3 << "Angle Skal: " << 10 << 100 << 100;
    QTest::newRow("length") << 4 << "Length: " << 10 << 100 << 25;
    QTest::newRow("length reduction") << 5 << "Length Red.: " << 10 << 100 << 80;
    QTest::newRow("depth") << 6 << "Rek. Depth: " << 1 << 10 << 6;
}

void tst_MainWindow::rows()
{
    QFETCH(int, row);
    QFETCH(QString, label);
    QFETCH(int, minimum);
    QFETCH(int, maximum);
    QFETCH(int, start);

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

    // Home moves the slider to its minimum, which the view takes over at once.
    const int builds = compiledLists();
    QTest::keyClick(slider, Qt::Key_Home);
    QCOMPARE(slider->value(), minimum);
    QCOMPARE(getter(), minimum);
    QCOMPARE(compiledLists(), builds + 1);
}

void tst_MainWindow::neverShown()
{
    const int builds = compiledLists();
    delete new MainWindow;
    QCOMPARE(compiledLists(), builds);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
