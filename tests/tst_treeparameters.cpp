// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "parameterfile.h"
#include "randomtrees.h"
#include "treeparameters.h"

#include <QtTest>

class tst_TreeParameters : public QObject
{
    Q_OBJECT

private slots:
    void readsAndWritesTheView_data();
    void readsAndWritesTheView();
    void shippedExamples_data();
    void shippedExamples();
    void randomTrees_data();
    void randomTrees();
};

void tst_TreeParameters::readsAndWritesTheView_data()
{
    QTest::addColumn<QString>("view"); // what the line gives after the five values
    QTest::addColumn<QString>("kept"); // the view it leaves, as written again
    QTest::addColumn<QString>("error");

    // What stands before the line is read
    const QString before = "turn=45 tilt=20 zoom=2.5 pan-x=0.5 pan-y=-0.5";
    QTest::newRow("the whole view, exactly")
            << "turn=-123.456 tilt=20.000002 zoom=1.189207115002721 pan-x=-0.1234567890123 "
               "pan-y=3e-05"
            << "turn=-123.456 tilt=20.000002 zoom=1.189207115002721 pan-x=-0.1234567890123 "
               "pan-y=3e-05"
            << "";
    QTest::newRow("the range's ends") << "turn=0 tilt=0 zoom=0.1 pan-x=100 pan-y=-100"
                                      << "turn=0 tilt=0 zoom=0.1 pan-x=100 pan-y=-100"
                                      << "";
    QTest::newRow("a rotation without a zoom, as 1.2 wrote it: unzoomed")
            << "turn=10 tilt=5"
            << "turn=10 tilt=5 zoom=1 pan-x=0 pan-y=0"
            << "";
    QTest::newRow("no view at all, as 1.1 wrote it: the view stays") << "" << before << "";
    QTest::newRow("a pan alone: the rotation stays, unzoomed")
            << "pan-y=+0.25"
            << "turn=45 tilt=20 zoom=1 pan-x=0 pan-y=0.25"
            << "";
    QTest::newRow("a turn beyond a float: less whole turns, as 10^40 is 280 modulo 360")
            << "turn=1e40 tilt=-1e39"
            << "turn=280 tilt=-280 zoom=1 pan-x=0 pan-y=0"
            << "";
    QTest::newRow("no zoom") << "zoom=0" << before << "zoom=0 is not a zoom from 0.1 to 1000";
    QTest::newRow("too close") << "zoom=1000.5" << before
                               << "zoom=1000.5 is not a zoom from 0.1 to 1000";
    QTest::newRow("beyond a double")
            << "pan-x=1e999" << before << "pan-x=1e999 is not a pan from -100 to 100";
    QTest::newRow("not a number") << "pan-y=nan" << before
                                  << "pan-y=nan is not a pan from -100 to 100";
    QTest::newRow("words") << "zoom=1x" << before << "zoom=1x is not a number";
    QTest::newRow("given twice") << "zoom=2 zoom=2" << before << "zoom is given twice";
}

// The line's zoom and pan read back as the very same numbers, and a line
// that shows less of the view keeps what an older one meant.
void tst_TreeParameters::readsAndWritesTheView()
{
    QFETCH(QString, view);
    QFETCH(QString, kept);
    QFETCH(QString, error);

    const QString values = "linetree angle=15.5 angle-scale=0.57 length=0.43 "
                           "length-reduction=0.66 depth=4";
    TreeState tree {{31, 57, 43, 66, 4}, {45, 20, 2.5, 0.5, -0.5}};
    QString said;
    QCOMPARE(readParameterLine(values + ' ' + view, lowestParameters, highestParameters, &tree,
                               &said),
             error.isEmpty());
    QCOMPARE(said, error);
    QCOMPARE(parameterLine(tree), values + ' ' + kept);
    // What is written reads back as the very same numbers.
    TreeState again;
    QVERIFY(readParameterLine(parameterLine(tree), lowestParameters, highestParameters, &again,
                              &said));
    QVERIFY(again == tree);
}

void tst_TreeParameters::shippedExamples_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("line"); // that its name was made from

    QFile list(LINETREE_SOURCE_DIR "/data/examples.txt");
    QVERIFY(list.open(QIODevice::ReadOnly | QIODevice::Text));
    int number = 0;
    for (const QByteArray &entry : list.readAll().split('\n')) {
        if (entry.isEmpty() || entry.startsWith('#'))
            continue;
        const QString name = entry.left(entry.indexOf(' '));
        const QString fileName = QString(LINETREE_SOURCE_DIR "/data/examples/%1-%2.png")
                                         .arg(++number, 2, 10, QChar('0'))
                                         .arg(name);
        QTest::newRow(qPrintable(name)) << fileName << QString(entry.mid(name.size() + 1));
    }
    QVERIFY(number >= 12);
}

// Each example is a picture of the tree its name stands for, and Open takes
// that tree back from it.
void tst_TreeParameters::shippedExamples()
{
    QFETCH(QString, fileName);
    QFETCH(QString, line);

    QString kept;
    QString error;
    QVERIFY2(readParameterText(fileName, &kept, &error), qPrintable(error));
    TreeState shipped {{}, {45, 20}};
    TreeState named = shipped;
    QVERIFY(readParameterLine(kept, lowestParameters, highestParameters, &shipped, &error));
    QVERIFY(readParameterLine(line, lowestParameters, highestParameters, &named, &error));
    QVERIFY(shipped == named);
}

void tst_TreeParameters::randomTrees_data()
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<QString>("first"); // the first tree of the seed, as every machine draws it

    QTest::newRow("seed 0") << 0u
                            << "linetree angle=43.5 angle-scale=0.53 length=0.39 "
                               "length-reduction=0.56 depth=4";
    QTest::newRow("seed 1") << 1u
                            << "linetree angle=30.0 angle-scale=0.76 length=0.25 "
                               "length-reduction=0.64 depth=6";
    QTest::newRow("seed 4294967295") << 4294967295u
                                     << "linetree angle=17.0 angle-scale=0.68 length=0.24 "
                                        "length-reduction=0.71 depth=6";
}

// One seed gives one tree on every machine, on the sliders' steps, and its
// variations stay within a few steps of it.
void tst_TreeParameters::randomTrees()
{
    QFETCH(quint32, seed);
    QFETCH(QString, first);

    RandomTrees dice(seed);
    const auto lineOf = [](const TreeParameters &tree) {
        return parameterLine({tree, {45, 20}}).section(" turn=", 0, 0);
    };
    QCOMPARE(lineOf(dice.tree()), first);
    const std::array<int TreeParameters::*, 5> fields {
            &TreeParameters::winkel, &TreeParameters::winkelSkal, &TreeParameters::laenge,
            &TreeParameters::verkuerzung, &TreeParameters::rekTiefe};
    for (int i = 0; i < 1000; ++i) {
        const TreeParameters tree = dice.tree();
        const TreeParameters varied = dice.variation(tree);
        for (const TreeParameters &drawn : {tree, varied}) {
            TreeState read;
            QString error;
            QVERIFY2(readParameterLine(parameterLine({drawn, {}}), lowestParameters,
                                       highestParameters, &read, &error),
                     qPrintable(error));
        }
        QVERIFY(!(varied == tree));
        for (int TreeParameters::*field : fields) {
            const int steps = qAbs(varied.*field - tree.*field);
            QVERIFY2(steps <= (field == &TreeParameters::rekTiefe ? 1 : 3),
                     qPrintable(lineOf(tree) + " varied to " + lineOf(varied)));
        }
    }
}

QTEST_APPLESS_MAIN(tst_TreeParameters)
#include "tst_treeparameters.moc"
