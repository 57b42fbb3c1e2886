#include <QCoreApplication>
#include <QSet>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

#include "foundation/orderedwork.h"

class TestOrderedWork : public QObject
{
    Q_OBJECT

private slots:
    void finishesInOrderWhatWasPreparedOnce_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("stopAt");
        QTest::newRow("none") << 0 << -1;
        QTest::newRow("one") << 1 << -1;
        QTest::newRow("too few for workers") << 15 << -1;
        QTest::newRow("many") << 5000 << -1;
        QTest::newRow("stopped at the first") << 400 << 0;
        QTest::newRow("stopped midway") << 5000 << 1234;
        QTest::newRow("stopped at the last") << 400 << 399;
    }

    void finishesInOrderWhatWasPreparedOnce()
    {
        QFETCH(int, count);
        QFETCH(int, stopAt);
        std::unique_ptr<std::atomic<int>[]> preparations(new std::atomic<int>[count + 1]);
        for (int i = 0; i < count; i++)
            preparations[i] = 0;
        std::vector<int> results(count, -1);
        std::mutex threadsLock;
        std::condition_variable workerSeen;
        QSet<QThread*> threads;
        QThread* const caller = QThread::currentThread();
        const bool shared = OrderedWork::workerCount(count) > 0 && stopAt < 0;
        QList<int> finished;
        bool preparedBeforeFinished = true;

        OrderedWork::run(
            count,
            [&](int i) {
                // Uneven work, so that items finish out of order.
                volatile int spin = (i * 7919) % 2000;
                while (spin > 0)
                    spin = spin - 1;
                results[i] = i * i;
                preparations[i]++;
                std::unique_lock<std::mutex> lock(threadsLock);
                threads.insert(QThread::currentThread());
                // On a busy machine the caller could prepare everything before a
                // worker is scheduled: it waits, once, for one to show up.
                if (QThread::currentThread() != caller)
                    workerSeen.notify_all();
                else if (shared && threads.size() == 1)
                    workerSeen.wait_for(lock, std::chrono::seconds(20), [&] { return threads.size() > 1; });
            },
            [&](int i) {
                preparedBeforeFinished = preparedBeforeFinished && preparations[i] == 1 && results[i] == i * i;
                finished.append(i);
                return i != stopAt;
            });

        const int expected = stopAt < 0 ? count : stopAt + 1;
        QCOMPARE(finished.size(), expected);
        for (int i = 0; i < expected; i++)
            QCOMPARE(finished[i], i);
        QVERIFY(preparedBeforeFinished);
        for (int i = 0; i < count; i++)
            QVERIFY2(preparations[i] <= 1, qPrintable(QString::number(i)));
        // The work is shared wherever there are threads to share it with.
        if (shared)
            QVERIFY(threads.size() > 1);
    }
};

QTEST_GUILESS_MAIN(TestOrderedWork)
#include "test_orderedwork.moc"
