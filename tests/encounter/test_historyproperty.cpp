// Random fights: whatever the game master does, the log replayed after a
// restart gives back exactly the model the fight left, and a log cut short
// anywhere still gives back every whole command before the cut.

#include <QGuiApplication>

#include <cstdlib>

#include "encounter/damageevents.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "encounter/history.h"
#include "foundation/objectstream.h"
#include "support/randomfight.h"
#include "support/testsupport.h"
#include "support/testworld.h"

class TestHistoryProperty : public QObject
{
    Q_OBJECT

private slots:
    void replayGivesBackTheFight_data()
    {
        QTest::addColumn<unsigned>("seed");
        for (unsigned seed : {1u, 7u, 42u, 1234u, 99991u})
            QTest::newRow(qPrintable(QString("seed %1").arg(seed))) << seed;
    }

    void replayGivesBackTheFight()
    {
        QFETCH(unsigned, seed);
        srand(seed);
        TestWorld world;
        RandomFight fight(world);
        for (int i = 0; i < 600; i++) {
            fight.step();
            if (QTest::currentTestFailed())
                return;
            // Now and then the program is closed and started again mid-fight.
            if (i % 150 == 149) {
                // Pending hand edits are recorded at shut-down.
                if (Global::history->getCurrentEvent())
                    Global::encounter->writeVitalityChanges(Global::history->getStream(false));
                // The history stands at the end of the log after a restart.
                while (Global::history->hasForward())
                    Global::history->forward(false);
                QString before = world.describe();
                int events = Global::history->getEventCount();
                QVERIFY(world.restart([&fight] { fight.enterEncounter(); }));
                QCOMPARE(Global::history->getEventCount(), events);
                QString after = world.describe();
                QVERIFY2(after == before, qPrintable(TestWorld::difference(before, after)));
            }
        }
    }

    void everyCutKeepsTheWholeCommands()
    {
        srand(5);
        TestWorld world;
        RecordingUiHooks hooks;
        RandomFight fight(world);
        for (int i = 0; i < 30; i++)
            fight.step();
        while (Global::history->hasForward())
            Global::history->forward(false);
        const int headerSize = 48;
        QList<int> ends{headerSize};
        for (int i = 0; i < Global::history->getEventCount(); i++)
            ends.append(ends.last() + Global::history->getEvent(i)->getStreamSize());
        QByteArray log = TestSupport::readFile(world.logPath()).left(ends.last());

        QMap<int, QString> replayed;
        for (int end : ends) {
            QVERIFY(TestSupport::writeFile(world.logPath(), log.left(end) + QByteArray(2, '\0')));
            QVERIFY(world.restart([&fight] { fight.enterEncounter(); }));
            replayed[end] = world.describe();
        }
        for (int cut = 0; cut <= log.size(); cut++) {
            QVERIFY(TestSupport::writeFile(world.logPath(), log.left(cut)));
            world.restart([&fight] { fight.enterEncounter(); });
            int whole = *std::prev(std::upper_bound(ends.begin(), ends.end(), qMax(cut, ends.first())));
            QString after = world.describe();
            QVERIFY2(after == replayed[whole], qPrintable(TestWorld::difference(replayed[whole], after)));
            QVERIFY(world.record(new DamageEvent("Hit", nullptr, Creature::getCreatureByName("Hero 1", false), 1,
                                                 "", Global::history->getStream(false))));
        }
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestHistoryProperty)
#include "test_historyproperty.moc"
