// SPDX-FileCopyrightText: The linetree developers
// SPDX-License-Identifier: MIT

#include "startupmessages.h"

#include <QMutex>
#include <QThread>
#include <QtTest>

#include <memory>
#include <vector>

class tst_StartupMessages : public QObject
{
    Q_OBJECT

private slots:
    void passedOnAsTheyCame_data();
    void passedOnAsTheyCame();
};

namespace {

// What reached the handler that was installed before linetree's, which
// may log a message of its own when handed the first
QMutex toldLock;
QStringList told;
bool echoes = false;

void tell(QtMsgType, const QMessageLogContext &, const QString &text)
{
    {
        const QMutexLocker locker(&toldLock);
        told << text;
    }
    if (echoes && text == QLatin1String("0 0"))
        qInfo("echo");
}

} // namespace

void tst_StartupMessages::passedOnAsTheyCame_data()
{
    QTest::addColumn<int>("threads");  // logging beside the main thread
    QTest::addColumn<bool>("echoing"); // the handler before logs itself

    QTest::newRow("the main thread alone") << 0 << false;
    QTest::newRow("four threads beside it, while they are passed on") << 4 << false;
    QTest::newRow("a handler before that logs itself") << 1 << true;
}

// Every message reaches the handler that was there before, once, and each
// thread's in the order it logged them, whether it came while held or later.
void tst_StartupMessages::passedOnAsTheyCame()
{
    QFETCH(int, threads);
    QFETCH(bool, echoing);
    const int each = 20000;
    echoes = echoing;

    told.clear();
    const QtMessageHandler before = qInstallMessageHandler(tell);
    holdMessages();
    std::vector<std::unique_ptr<QThread>> loggers;
    for (int t = 1; t <= threads; ++t) {
        loggers.emplace_back(QThread::create([t] {
            for (int i = 0; i < each; ++i)
                qInfo("%d %d", t, i);
        }));
        loggers.back()->start();
    }
    for (int i = 0; i < each; ++i) {
        qInfo("0 %d", i);
        if (i == each / 2)
            passHeldMessagesOn();
    }
    for (const std::unique_ptr<QThread> &logger : loggers)
        QVERIFY(logger->wait(10000));
    qInstallMessageHandler(before);

    QCOMPARE(told.removeAll("echo"), int(echoing));
    QCOMPARE(told.size(), (threads + 1) * each);
    QVector<int> next(threads + 1);
    for (const QString &message : std::as_const(told)) {
        const QStringList numbers = message.split(' ');
        const int thread = numbers.value(0).toInt();
        QCOMPARE(numbers.value(1).toInt(), next[thread]++);
    }
}

QTEST_GUILESS_MAIN(tst_StartupMessages)
#include "tst_startupmessages.moc"
