// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "framelines.h"
#include "heardvalues.h"
#include "mainwindow.h"
#include "qtbridge.h"
#include "testview.h"
#include "treeactions.h"
#include "treeparameters.h"
#include "treeview.h"

#include <QAccessible>
#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFocusFrame>
#include <QGridLayout>
#include <QImageWriter>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QSlider>
#include <QUndoStack>
#include <QWheelEvent>
#include <QWindow>
#include <QtEndian>
#include <QtTest>

#include <zlib.h>

#include <cmath>
#include <functional>
#include <utility>

#include <signal.h>
#include <sys/resource.h>

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

    bool showActive()
    {
        show();
        activateWindow();
        return QTest::qWaitForWindowActive(this);
    }
    QList<QSlider *> sliders() const
    {
        return {winkelSchieber, winkelSkalSchieber, laengenSchieber, laengenRedSchieber,
                rekTiefeSchieber};
    }
    QList<int> sliderValues() const
    {
        QList<int> values;
        for (const QSlider *slider : sliders())
            values << slider->value();
        return values;
    }
    QList<int> viewValues() const
    {
        return {glZeiger->gebeWinkel(), glZeiger->gebeWinkelSkal(), glZeiger->gebeLaenge(),
                glZeiger->gebeVerkuerzung(), glZeiger->gebeRekTiefe()};
    }
    TreeView *view() const { return static_cast<TreeView *>(glZeiger); }
    TreeActions *actions() const { return glZeiger->findChild<TreeActions *>(); }
    // The action of the view's menu whose text, without its mnemonic, starts so
    QAction *action(const QString &text) const
    {
        for (QAction *action : glZeiger->actions()) {
            if (action->text().remove('&').startsWith(text))
                return action;
        }
        return nullptr;
    }
};

namespace {

// The text of the warning that `act` shows, as plain text, which is then
// closed, as a person would after reading it; nothing where it shows none.
QString warningOf(const std::function<void()> &act)
{
    QString text;
    QTimer reader;
    QObject::connect(&reader, &QTimer::timeout, [&text] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            text = box->icon() != QMessageBox::Warning   ? "not a warning"
                    : box->textFormat() != Qt::PlainText ? "rich text"
                                                         : box->text();
            box->reject();
        }
    });
    reader.start(10);
    act();
    return text;
}

} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void startsWithOneBuild();
    void viewCell();
    void rows_data();
    void rows();
    void bursts_data();
    void bursts();
    void neverShown();
    void takesParametersBack_data();
    void takesParametersBack();
    void refusesInput_data();
    void refusesInput();
    void failedSave_data();
    void failedSave();
    void startingPoints_data();
    void startingPoints();
};

void tst_MainWindow::initTestCase()
{
    const QString problem = openGLProblem();
    QVERIFY2(problem.isEmpty(), qPrintable(problem + ", and the view cannot be tested without it"));
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
    for (const char *turns : {"left mouse button", "arrow keys"}) {
        QVERIFY2(accessible->text(QAccessible::Description).contains(turns),
                 qPrintable(accessible->text(QAccessible::Description)));
    }

    // The keyboard starts on the first slider; Tab from the last reaches the
    // view, and a frame around it, outside the picture, shows the focus.
    QVERIFY(window.showActive());
    QCOMPARE(QApplication::focusWidget(), window.winkelSchieber);
    const QImage picture = onScreen(window.glZeiger);
    window.rekTiefeSchieber->setFocus();
    QTest::keyClick(window.rekTiefeSchieber, Qt::Key_Tab);
    QTRY_COMPARE(QApplication::focusWidget(), window.glZeiger);
    const auto *frame = window.findChild<QFocusFrame *>();
    QVERIFY(frame && frame->isVisible());
    QVERIFY(frame->geometry().contains(window.glZeiger->geometry())
            && frame->geometry() != window.glZeiger->geometry());
    QCOMPARE(onScreen(window.glZeiger), picture);
    // The view's menu takes the keyboard while it is open, and the frame stays.
    bool framedWithMenu = false;
    QTimer::singleShot(100, [&framedWithMenu, frame] {
        if (QWidget *menu = QApplication::activePopupWidget()) {
            framedWithMenu = frame->isVisible();
            menu->close();
        }
    });
    QTest::keyClick(window.glZeiger, Qt::Key_F10, Qt::ShiftModifier);
    QVERIFY(framedWithMenu);
    // In a colour of its own: neither the black of the picture nor the window's
    const auto ring = [frame] { return onScreen(frame).pixelColor(0, frame->height() / 2); };
    QTRY_VERIFY2(ring() != Qt::black && ring() != window.palette().window().color(),
                 qPrintable(ring().name()));

    // Shrunk as far as it goes, the window still gives the view 200 × 200.
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

    // Home moves the slider to its minimum once the event loop has taken in
    // the keys queued behind it, and the view takes it over at once.
    const int builds = compiledLists();
    QTest::keyClick(slider, Qt::Key_Home);
    QTRY_COMPARE(slider->value(), minimum);
    QCOMPARE(getter(), minimum);
    QCOMPARE(compiledLists(), builds + 1);

    // One drag of the handle to the other end, however many values it
    // passes on the way, is one step, as the key was: Undo takes each back.
    QTest::mousePress(slider, Qt::LeftButton, Qt::NoModifier, QPoint(2, slider->height() / 2));
    QVERIFY(slider->isSliderDown());
    for (int x = slider->width() / 4; x <= slider->width(); x += slider->width() / 4) {
        QMouseEvent move(QEvent::MouseMove, QPoint(x, slider->height() / 2),
                         slider->mapToGlobal(QPoint(x, slider->height() / 2)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(slider, &move);
    }
    QTest::mouseRelease(slider, Qt::LeftButton, Qt::NoModifier, QPoint(slider->width(), 0));
    QCOMPARE(slider->value(), maximum);
    QVERIFY(compiledLists() > builds + 2);
    auto *history = window.glZeiger->findChild<QUndoStack *>();
    QCOMPARE(history->count(), 2);
    history->undo();
    QCOMPARE(slider->value(), minimum);
    QCOMPARE(getter(), minimum);
    history->undo();
    QCOMPARE(slider->value(), start);
    QCOMPARE(getter(), start);
}

void tst_MainWindow::bursts_data()
{
    // Events to the "Angle: " slider, which starts at 90 of 15 to 90: P a
    // press of Left, R an auto-repeat of it (a repeated release and press), U
    // its release, S a release of Shift, D a press and release of Page Down, E
    // of End, T of Tab, W a wheel notch down; | lets the event loop take in
    // what is queued, as an idle program would. Keys go where the focus is.
    // V is a wheel notch up over the view, sent to it as it comes.
    QTest::addColumn<QString>("events");
    QTest::addColumn<QList<int>>("values"); // that reach the view, in order
    QTest::addColumn<QList<int>>("next");   // from the next slider, "Angle Skal: "
    QTest::addColumn<int>("steps");         // that Undo takes back

    const int lines = QApplication::wheelScrollLines(); // steps a notch
    QList<int> oneByOne;
    for (int value = 89; value >= 65; --value)
        oneByOne << value;

    QTest::newRow("25 presses queued: one move of 25")
            << QString("PU").repeated(25) << QList<int> {65} << QList<int>() << 1;
    QTest::newRow("held, repeats taken in as they come: one move each, one step")
            << "P|" + QString("R|").repeated(24) + "U" << oneByOne << QList<int>() << 1;
    QTest::newRow("held, 24 repeats queued: the press and the newest repeat")
            << "P" + QString("R").repeated(24) << QList<int> {88} << QList<int>() << 1;
    QTest::newRow("held, 24 repeats queued, released: the press alone")
            << "P" + QString("R").repeated(24) + "U" << QList<int> {89} << QList<int>() << 1;
    QTest::newRow("held, repeats queued, another key released: the newest repeat still")
            << "PRRS" << QList<int> {88} << QList<int>() << 1;
    QTest::newRow("5 Page Downs queued: one move of 5 pages")
            << QString("D").repeated(5) << QList<int> {40} << QList<int>() << 1;
    QTest::newRow("10 wheel notches queued: one move of 10 notches")
            << QString("W").repeated(10) << QList<int> {90 - 10 * lines} << QList<int>() << 1;
    QTest::newRow("8 Page Downs queued: stops at the minimum")
            << QString("D").repeated(8) << QList<int> {15} << QList<int>() << 1;
    QTest::newRow("Page Downs, then End: in that order")
            << "DDDE" << QList<int> {60, 90} << QList<int>() << 2;
    QTest::newRow("repeats, then End, then Page Down: in that order")
            << "PRRE" + QString("D") << QList<int> {88, 90, 80} << QList<int>() << 3;
    QTest::newRow("Page Down, Tab, Page Down: the second to the next slider")
            << "DTD" << QList<int> {80} << QList<int> {90} << 2;
    QTest::newRow("wheel, then Page Down, then wheel: in that order")
            << "WWDW" << QList<int> {90 - 2 * lines, 80 - 2 * lines, 80 - 3 * lines} << QList<int>()
            << 3;
    QTest::newRow("3 wheel notches over the view: they zoom it, and move no slider")
            << "VVV" << QList<int>() << QList<int>() << 0;
}

// A slider step at depth 10 takes about half a second, while a held key
// repeats 25 times a second and a wheel sends notches as fast: the events
// that queue up meanwhile must not each cost a rebuild, and the slider must
// still land where they all take it.
void tst_MainWindow::bursts()
{
    QFETCH(QString, events);
    QFETCH(QList<int>, values);
    QFETCH(QList<int>, next);
    QFETCH(int, steps);

    TestWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QList<int> start = window.sliderValues();
    QSlider *slider = window.winkelSchieber;
    QSignalSpy moves(slider, &QSlider::valueChanged);
    QSignalSpy nextMoves(window.winkelSkalSchieber, &QSlider::valueChanged);
    const int builds = compiledLists();
    const int heard = heardValues(slider).size();

    // The queued events first, then the burst that the filter sends after them
    const auto takeIn = [] {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    };
    // Input goes to the window, which hands each key to the widget with the
    // focus and each wheel turn to the widget under it, as it does with input
    // from the window system.
    slider->setFocus();
    QWindow *handle = window.windowHandle();
    const auto key = [handle](QEvent::Type type, Qt::Key key, bool repeated) {
        QCoreApplication::postEvent(handle,
                                    new QKeyEvent(type, key, Qt::NoModifier, QString(), repeated));
    };
    for (const QChar event : std::as_const(events)) {
        if (event == 'P') {
            key(QEvent::KeyPress, Qt::Key_Left, false);
        } else if (event == 'R') {
            key(QEvent::KeyRelease, Qt::Key_Left, true);
            key(QEvent::KeyPress, Qt::Key_Left, true);
        } else if (event == 'U') {
            key(QEvent::KeyRelease, Qt::Key_Left, false);
        } else if (event == 'S') {
            key(QEvent::KeyRelease, Qt::Key_Shift, false);
        } else if (event == 'D' || event == 'E' || event == 'T') {
            const Qt::Key pressed = event == 'D' ? Qt::Key_PageDown
                    : event == 'E'               ? Qt::Key_End
                                                 : Qt::Key_Tab;
            key(QEvent::KeyPress, pressed, false);
            key(QEvent::KeyRelease, pressed, false);
        } else if (event == 'V') {
            const QPoint centre = window.glZeiger->rect().center();
            QWheelEvent wheel(centre, window.glZeiger->mapToGlobal(centre), QPoint(),
                              QPoint(0, 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QCoreApplication::sendEvent(window.glZeiger, &wheel);
        } else if (event == 'W') {
            const QPoint centre = slider->mapTo(&window, slider->rect().center());
            QCoreApplication::postEvent(handle,
                                        new QWheelEvent(centre, window.mapToGlobal(centre),
                                                        QPoint(), QPoint(0, -120), Qt::NoButton,
                                                        Qt::NoModifier, Qt::NoScrollPhase, false));
        } else {
            takeIn();
        }
    }
    takeIn();

    const auto reached = [](const QSignalSpy &spy) {
        QList<int> reached;
        for (const QList<QVariant> &move : spy)
            reached << move.first().toInt();
        return reached;
    };
    QCOMPARE(reached(moves), values);
    QCOMPARE(reached(nextMoves), next);
    QCOMPARE(compiledLists(), builds + values.size() + next.size());
    QCOMPARE(window.glZeiger->gebeWinkel(), slider->value());
    // A screen reader hears the slider move with each input at most, and
    // never set back.
    int inputs = 0;
    for (const QChar event : std::as_const(events))
        inputs += QString("PRDEW").contains(event);
    const QList<int> heardNow = heardValues(slider).mid(heard);
    QVERIFY2(heardNow.size() <= inputs,
             qPrintable(QString("heard %1 values for %2 inputs").arg(heardNow.size()).arg(inputs)));
    // Four notches double the zoom.
    QCOMPARE(window.view()->viewState().zoom, std::exp2(events.count('V') / 4.0));

    // Undo takes each step back, down to the start.
    auto *history = window.glZeiger->findChild<QUndoStack *>();
    QCOMPARE(history->count(), steps);
    for (int i = 0; i < steps; ++i)
        history->undo();
    QCOMPARE(window.sliderValues(), start);
    QCOMPARE(window.viewValues(), start);
}

void tst_MainWindow::neverShown()
{
    const int builds = compiledLists();
    delete new MainWindow;
    QCOMPARE(compiledLists(), builds);
}

void tst_MainWindow::takesParametersBack_data()
{
    QTest::addColumn<QString>("from"); // a saved picture's suffix, a text, "clipboard" or "reset"

    for (const char *from : {"png", "svg", "pdf", "obj", "glb", "text", "text in UTF-16",
                             "text in UTF-8 with a byte-order mark", "text that begins with <",
                             "svg named in the dialog without a suffix", "clipboard",
                             "clipboard, the line among other lines", "reset"})
        QTest::newRow(from) << from;
}

// Away from the start in every value, turned, zoomed and panned, kept, reset
// from the menu and taken back: the sliders, what a screen reader hears, the
// view, its rotation, zoom and pan and its picture all come back. A text
// holds no view, and the tree stays shown as it is.
void tst_MainWindow::takesParametersBack()
{
    QFETCH(QString, from);

    TestWindow window;
    QVERIFY(window.showActive());
    const QList<int> start = window.sliderValues();
    const QList<int> kept {31, 57, 43, 66, 4};
    const QList<QSlider *> sliders = window.sliders();
    for (int i = 0; i < 5; ++i)
        sliders[i]->setValue(kept[i]);
    // As the view holds them, an angle scale of 0.57 as 56 hundredths
    const QList<int> held = window.viewValues();
    // Turned as no drag in whole pixels turns it, zoomed and panned
    const ViewState turned {-123.456f, std::nextafter(20.0f, 90.0f), 1.0 / 3, 0.1, -0.2};
    window.view()->setViewState(turned);
    window.view()->updateGL();
    const QImage picture = onScreen(window.glZeiger);

    const QTemporaryDir folder;
    const bool byDialog = from.contains("dialog");
    const QString fileName = folder.filePath(byDialog ? "tree.svg" : "tree." + from);
    if (byDialog) {
        // Ctrl+S opens the dialog, where the SVG format is chosen for a name
        // without a suffix.
        // Once, when the dialog is shown: the key moves the filter on by one
        // each time it is pressed.
        QTimer chooser;
        connect(&chooser, &QTimer::timeout, [&folder, &chooser] {
            auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            chooser.stop();
            QTest::keyClick(dialog->findChild<QComboBox *>("fileTypeCombo"), Qt::Key_Down);
            QCOMPARE(dialog->selectedNameFilter(), QString("SVG drawing (*.svg)"));
            dialog->selectFile(folder.filePath("tree"));
            static_cast<QDialog *>(dialog)->accept();
        });
        chooser.start(10);
        QCOMPARE(warningOf([&] { QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier); }),
                 QString());
    } else if (from.startsWith("text")) {
        const QString line = "A tree for the report:\r\n  linetree angle=15.5 angle-scale=0.57 "
                             "length=0.43 length-reduction=0.66\u00a0\u2003depth=4 \r\n";
        QByteArray text = line.toUtf8();
        if (from.endsWith("UTF-16")) {
            text = "\xff\xfe"
                    + QByteArray(reinterpret_cast<const char *>(line.utf16()), 2 * line.size());
        } else if (from.endsWith("mark")) {
            text.prepend("\xef\xbb\xbf");
        } else if (from.endsWith('<')) {
            text.prepend("<b>Kept</b>\n");
        }
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
    } else if (from.startsWith("clipboard")) {
        QTest::keyClick(&window, Qt::Key_C, Qt::ControlModifier);
        const QMimeData *copied = QGuiApplication::clipboard()->mimeData();
        QVERIFY(copied && copied->hasImage());
        QCOMPARE(qvariant_cast<QImage>(copied->imageData()).convertToFormat(QImage::Format_RGB32),
                 window.view()->grabFrame().convertToFormat(QImage::Format_RGB32));
        QCOMPARE(copied->text(), parameterLine({{31, 57, 43, 66, 4}, turned}));
        if (from.endsWith("lines"))
            QGuiApplication::clipboard()->setText("Look:\n" + copied->text() + "\nNice, isn't it?");
    } else if (from != "reset") {
        QVERIFY(window.actions()->saveAs(fileName));
        QTRY_COMPARE(onScreen(window.glZeiger), picture); // shown on through the save
    }
    // linetree-render makes the very same picture from it, at its size.
    if (from == "png") {
        const QImage saved(fileName);
        QProcess render;
        render.start(LINETREE_RENDER_BINARY,
                     {"--size", QString("%1x%2").arg(saved.width()).arg(saved.height()), "-o",
                      folder.filePath("again.png"), fileName});
        QVERIFY(render.waitForFinished(60000) && render.exitCode() == 0);
        QCOMPARE(QImage(folder.filePath("again.png")), saved);
    }

    window.action("Reset")->trigger();
    QCOMPARE(window.sliderValues(), start);
    QCOMPARE(window.viewValues(), start);
    QVERIFY(window.view()->viewState() == ViewState({45, 20}));
    if (from == "reset")
        return;
    if (from.startsWith("text"))
        window.view()->setViewState(turned);
    window.glZeiger->update(); // a repaint still to come, as after a resize
    const int vertices = compiledVertices();
    const auto takeBack = [&] {
        QCOMPARE(warningOf([&] {
                     if (from.startsWith("clipboard"))
                         QTest::keyClick(&window, Qt::Key_V, Qt::ControlModifier);
                     else
                         window.actions()->openFile(fileName);
                 }),
                 QString());
    };
    takeBack();
    QCOMPARE(window.sliderValues(), kept);
    QCOMPARE(window.viewValues(), held);
    QCOMPARE(compiledVertices() - vertices, 2 * 85); // one rebuild of depth 4's 85 segments
    QVERIFY(window.view()->viewState() == turned);   // exactly
    for (int i = 0; i < 5; ++i)
        QCOMPARE(heardValues(sliders[i]).value(heardValues(sliders[i]).size() - 1), kept[i]);
    // Undo takes the step back, and the view where the step replaced it;
    // Redo makes it again.
    auto *history = window.glZeiger->findChild<QUndoStack *>();
    history->undo();
    QCOMPARE(window.sliderValues(), start);
    QVERIFY(window.view()->viewState() == (from.startsWith("text") ? turned : ViewState {45, 20}));
    history->redo();
    QCOMPARE(window.sliderValues(), kept);
    QVERIFY(window.view()->viewState() == turned);
    // The same five values, shown otherwise: the view comes back, without a
    // rebuild.
    if (!from.startsWith("text")) {
        window.view()->setViewState({0, 0});
        const int builds = compiledLists();
        takeBack();
        QVERIFY(window.view()->viewState() == turned);
        QCOMPARE(compiledLists(), builds);
    }
    QTRY_COMPARE(onScreen(window.glZeiger), picture);
}

void tst_MainWindow::refusesInput_data()
{
    QTest::addColumn<QString>("from"); // "file", "clipboard", or a path
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("said"); // in the warning

    const QByteArray line = "linetree angle=45.0 angle-scale=0.50 length=0.25 "
                            "length-reduction=0.80 depth=";
    QByteArray png;
    QBuffer buffer(&png);
    QImage(8, 8, QImage::Format_RGB32).save(&buffer, "png");
    QByteArray ours;
    QBuffer oursBuffer(&ours);
    QImageWriter writer(&oursBuffer, "png");
    writer.setText("Description", line + "5");
    writer.write(QImage(8, 8, QImage::Format_RGB32));
    const QString none = "it holds no linetree parameters";
    // A PNG with one more chunk after its header, whose length may lie
    const auto withChunk = [&png](const QByteArray &type, const QByteArray &data, quint32 length) {
        QByteArray chunk = type + data;
        const uLong crc
                = crc32(0, reinterpret_cast<const Bytef *>(chunk.constData()), uInt(chunk.size()));
        chunk = QByteArray(4, '\0') + chunk + QByteArray(4, '\0');
        qToBigEndian(quint32(length), chunk.data());
        qToBigEndian(quint32(crc), chunk.data() + chunk.size() - 4);
        return png.left(33) + chunk + png.mid(33);
    };
    const QByteArray description("Description\0\0", 13); // keyword, compression method

    QTest::newRow("another program's PNG") << "file" << png << none;
    QTest::newRow("another program's SVG")
            << "file"
            << QByteArray("<svg xmlns=\"http://www.w3.org/2000/svg\"><desc>A circle</desc>"
                          "<circle r=\"4\"/></svg>")
            << none;
    QTest::newRow("another program's OBJ model")
            << "file" << QByteArray("# made by hand\nv 0 0 0\nv 0 1 0\nl 1 2\n")
            << "it is an OBJ model that linetree did not write";
    const QByteArray gltf = R"({"asset":{"version":"2.0","generator":"another"}})";
    QByteArray glb = "glTF" + QByteArray(16, '\0') + gltf;
    qToLittleEndian<quint32>(2, glb.data() + 4);
    qToLittleEndian<quint32>(quint32(glb.size()), glb.data() + 8);
    qToLittleEndian<quint32>(quint32(gltf.size()), glb.data() + 12);
    glb.replace(16, 4, "JSON");
    QTest::newRow("another program's glTF model")
            << "file" << glb << "it is a glTF model that linetree did not write";
    QTest::newRow("a PNG of linetree's cut short") << "file" << ours.left(60) << "it is cut short";
    QTest::newRow("a PNG whose text claims 2 GiB")
            << "file" << withChunk("zTXt", description + "x", 0x7fffffff) << "it is cut short";
    const QByteArray megabyte = description + qCompress(QByteArray(1 << 20, ' ')).mid(4);
    QTest::newRow("a PNG whose compressed text inflates to a megabyte")
            << "file" << withChunk("zTXt", megabyte, quint32(megabyte.size()))
            << "a compressed text in it inflates to more than 1024 bytes";
    QTest::newRow("a PNG whose text runs past the first 64 KiB")
            << "file"
            << withChunk("tEXt", "Description\0" + line + QByteArray(80'000, ' '),
                         quint32(12 + line.size() + 80'000))
            << "a text in it runs past the first 64 KiB";
    QByteArray damaged = withChunk("tEXt", QByteArray("Description\0", 12) + line + '5',
                                   quint32(13 + line.size()));
    damaged[damaged.indexOf(line) + 15] = '3'; // angle=35.0, the checksum as it was
    QTest::newRow("a PNG whose text's checksum is wrong") << "file" << damaged << "it is damaged";
    QTest::newRow("a binary file") << "file"
                                   << QByteArray("\x7f"
                                                 "ELF\x02\x01\x01\0\0\0",
                                                 10)
                                   << "it is neither a linetree picture nor text";
    QTest::newRow("a huge text") << "file" << QByteArray(100 * 1024, '#') + '\n' + line + '5'
                                 << "at 100 KiB it is too large";
    QTest::newRow("a folder") << "folder" << QByteArray() << "it is not a file";
    QTest::newRow("no such file") << "gone" << QByteArray() << "it does not exist";
    QTest::newRow("an unreadable file") << "/proc/self/mem" << QByteArray() << "it cannot be read";
    QTest::newRow("depth out of range") << "file" << line + "11"
                                        << "depth=11 is not one of the slider's values, 1 to 10";
    QTest::newRow("angle between steps")
            << "file" << QByteArray(line).replace("45.0", "44.75") + '5'
            << "angle=44.75 is not one of the slider's values, 7.5 to 45.0 in steps of 0.5";
    QTest::newRow("length not a number")
            << "file" << QByteArray(line).replace("0.25", "short") + '5'
            << "length=short is not a number";
    QTest::newRow("depth missing") << "file" << line.left(line.size() - 7) << "depth is missing";
    QTest::newRow("an unknown value") << "file" << line + "5 colour=white"
                                      << "“colour” is none of angle";
    QTest::newRow("a negative length") << "file" << QByteArray(line).replace("0.25", "-0.25") + '5'
                                       << "length=-0.25 is not one of the slider's values";
    QTest::newRow("depth given twice") << "file" << line + "5 depth=5"
                                       << "depth is given twice";
    QTest::newRow("a turn that is not a number") << "clipboard" << line + "5 turn=NaN"
                                                 << "turn=NaN is not a finite number of degrees";
    QTest::newRow("an infinite tilt") << "file" << line + "5 turn=1e400 tilt=-inf"
                                      << "tilt=-inf is not a finite number of degrees";
    QTest::newRow("markup, split at a no-break space, shown as it is")
            << "clipboard" << QByteArray("linetree angle=<img\xc2\xa0src=/dev/zero>")
            << "angle=<img is not a number";
    QTest::newRow("a long unknown name, shortened")
            << "clipboard" << line + "5 " + QByteArray(3000, 'x') + "=1"
            << "“" + QString(31, 'x') + "…” is none of angle";
    QTest::newRow("an empty clipboard") << "clipboard" << QByteArray() << none;
    QTest::newRow("angle out of range on the clipboard")
            << "clipboard" << QByteArray(line).replace("45.0", "90.0") + '5'
            << "angle=90.0 is not one of the slider's values, 7.5 to 45.0";
}

// Bad input is named in a warning and changes nothing.
void tst_MainWindow::refusesInput()
{
    QFETCH(QString, from);
    QFETCH(QByteArray, content);
    QFETCH(QString, said);

    TestWindow window;
    QVERIFY(window.showActive());
    const QList<int> before = window.sliderValues();
    const int builds = compiledLists();
    const QTemporaryDir folder;
    QString fileName = from.startsWith('/') ? from
            : from == "folder"              ? folder.path()
                                            : folder.filePath(from);
    if (from == "file") {
        fileName = folder.filePath("tree.png");
        QFile file(fileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QString warning;
    if (from == "clipboard") {
        QGuiApplication::clipboard()->setText(QString::fromUtf8(content));
        warning = warningOf([&] { QTest::keyClick(&window, Qt::Key_V, Qt::ControlModifier); });
        QVERIFY2(warning.contains("from the clipboard: " + said), qPrintable(warning));
    } else {
        warning = warningOf([&] { window.actions()->openFile(fileName); });
        QVERIFY2(warning.contains(QString("from “%1”: %2").arg(fileName, said)),
                 qPrintable(warning));
    }
    QCOMPARE(window.sliderValues(), before);
    QCOMPARE(window.viewValues(), before);
    QCOMPARE(compiledLists(), builds);
}

void tst_MainWindow::failedSave_data()
{
    QTest::addColumn<QString>("name");       // in a folder of the test's, holding an old file
    QTest::addColumn<qint64>("sizeLimit");   // of files the test writes, in bytes; 0 for none
    QTest::addColumn<bool>("shortFeedback"); // OpenGL's feedback buffer a line short
    QTest::addColumn<QString>("said");

    QTest::newRow("a folder that does not exist") << "gone/tree.png" << qint64(0) << false
                                                  << "Cannot save “%1”: No such file or directory";
    QTest::newRow("a full file system, over the old file")
            << "old.svg" << qint64(4096) << false << "Cannot save “%1”: File too large";
    QTest::newRow("a format linetree does not write")
            << "tree.jpg" << qint64(0) << false
            << "Cannot save “%1”: linetree saves PNG, SVG and PDF";
    QTest::newRow("feedback a line short, over the old file")
            << "old.svg" << qint64(0) << true
            << "Cannot save “%1”: OpenGL did not hand back every line";
    QTest::newRow("a file in /dev") << "/dev/linetree-test.png" << qint64(0) << false
                                    << "Cannot save “%1”: linetree writes no file among the "
                                       "devices in /dev";
    QTest::newRow("the dialog cancelled") << "" << qint64(0) << false << "";
}

// A save that fails leaves the folder as it was and says why.
void tst_MainWindow::failedSave()
{
    QFETCH(QString, name);
    QFETCH(qint64, sizeLimit);
    QFETCH(bool, shortFeedback);
    QFETCH(QString, said);

    TestWindow window;
    QVERIFY(window.showActive());
    const QTemporaryDir folder;
    const QByteArray old = "the old picture";
    QFile oldFile(folder.filePath("old.svg"));
    QVERIFY(oldFile.open(QIODevice::WriteOnly) && oldFile.write(old) == old.size());
    oldFile.close();
    QVERIFY(QDir::setCurrent(folder.path()));

    QString warning;
    if (name.isEmpty()) {
        // Ctrl+S opens the file dialog, which is closed without a name.
        QTimer closer;
        connect(&closer, &QTimer::timeout, [] {
            if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget()))
                dialog->reject();
        });
        closer.start(10);
        warning = warningOf([&] { QTest::keyClick(&window, Qt::Key_S, Qt::ControlModifier); });
    } else {
        const QString fileName = QDir::isAbsolutePath(name) ? name : folder.filePath(name);
        rlimit unlimited {};
        getrlimit(RLIMIT_FSIZE, &unlimited);
        const rlimit limited {rlim_t(sizeLimit), unlimited.rlim_max};
        signal(SIGXFSZ, SIG_IGN); // a write beyond the limit fails, and the test goes on
        if (sizeLimit > 0)
            setrlimit(RLIMIT_FSIZE, &limited);
        shortenFeedbackBuffers(shortFeedback);
        warning = warningOf([&] { QVERIFY(!window.actions()->saveAs(fileName)); });
        shortenFeedbackBuffers(false);
        setrlimit(RLIMIT_FSIZE, &unlimited);
        said = said.arg(fileName);
    }
    QVERIFY2(said.isEmpty() ? warning.isEmpty() : warning.startsWith(said), qPrintable(warning));
    QCOMPARE(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList {"old.svg"});
    QVERIFY(oldFile.open(QIODevice::ReadOnly));
    QCOMPARE(oldFile.readAll(), old);
}

void tst_MainWindow::startingPoints_data()
{
    QTest::addColumn<QString>("action"); // of the view's menu
    QTest::addColumn<int>("key");        // to the dialog it opens, if any
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<bool>("viewKept");

    QTest::newRow("Examples…, Return: the first, as Open takes it")
            << "Examples" << int(Qt::Key_Return) << QList<int> {90, 70, 35, 70, 7} << false;
    QTest::newRow("Examples…, Escape: the tree as it was")
            << "Examples" << int(Qt::Key_Escape) << QList<int> {90, 100, 25, 80, 6} << true;
    QTest::newRow("Random Tree") << "Random Tree" << 0 << QList<int>() << true;
    QTest::newRow("Vary Tree") << "Vary Tree" << 0 << QList<int>() << true;
}

// Each starting point is one step that Undo takes back; a random tree and a
// variation leave the view as it is.
void tst_MainWindow::startingPoints()
{
    QFETCH(QString, action);
    QFETCH(int, key);
    QFETCH(QList<int>, values);
    QFETCH(bool, viewKept);

    TestWindow window;
    QVERIFY(window.showActive());
    const ViewState shown {10, 30, 2, 0.25, 0};
    window.view()->setViewState(shown);
    const QList<int> start = window.sliderValues();
    QTimer chooser;
    connect(&chooser, &QTimer::timeout, [&chooser, key] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible())
            return;
        chooser.stop();
        QTest::keyClick(dialog, Qt::Key(key));
    });
    if (key)
        chooser.start(10);
    const int vertices = compiledVertices();
    window.action(action)->trigger();

    // One rebuild of the tree chosen, or none
    const bool changed = window.sliderValues() != start;
    QVERIFY(values.isEmpty() ? changed : window.sliderValues() == values);
    QCOMPARE(compiledVertices() - vertices,
             changed ? 2 * treeSegments(window.sliderValues()[4]) : 0);
    QCOMPARE(window.view()->viewState() == shown, viewKept);
    auto *history = window.glZeiger->findChild<QUndoStack *>();
    QCOMPARE(history->count(), int(changed));
    history->undo();
    QCOMPARE(window.sliderValues(), start);
    QVERIFY(window.view()->viewState() == shown);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
