// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "treeparameters.h"

#include <QtTest>

class tst_TreeParameters : public QObject
{
    Q_OBJECT

private slots:
    void readsAndWritesTheView_data();
    void readsAndWritesTheView();
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

QTEST_APPLESS_MAIN(tst_TreeParameters)
#include "tst_treeparameters.moc"
