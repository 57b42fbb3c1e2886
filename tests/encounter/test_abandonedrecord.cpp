#include <QFileInfo>

#include "encounter/history.h"
#include "encounter/vitalityevents.h"
#include "foundation/global.h"
#include "support/testsupport.h"
#include "support/testworld.h"

// A command that builds its event and then gives up leaves no record that
// the next start would replay.
class TestAbandonedRecord : public QObject
{
    Q_OBJECT

private slots:
    void abandonedRecordIsNotReplayed_data()
    {
        QTest::addColumn<int>("stepsBack");
        QTest::newRow("at the end of the log") << 0;
        QTest::newRow("over undone events") << 2;
    }

    void abandonedRecordIsNotReplayed()
    {
        QFETCH(int, stepsBack);
        TestWorld world;
        Creature* ana = world.addHero("Ana", 30);
        for (int hitPoints : {25, 20, 15})
            QVERIFY(world.record(new SetVitalityEvent(vitality(ana, hitPoints), world.stream())));
        for (int i = 0; i < stepsBack; i++)
            Global::history->back();
        const QString before = world.describe();
        const int events = Global::history->getCurrentIndex() + 1;
        const qint64 offset = world.stream()->getOffset();

        delete new SetVitalityEvent(vitality(ana, 1), world.stream());

        QCOMPARE(world.stream()->getOffset(), offset);
        QVERIFY(!Global::history->hasForward());
        QVERIFY(world.restart());
        QCOMPARE(Global::history->getEventCount(), events);
        QCOMPARE(world.describe(), before);
        // The next command is recorded where the abandoned one was.
        QVERIFY(world.record(new SetVitalityEvent(vitality(world.find("Ana"), 7), world.stream())));
        const QString after = world.describe();
        QVERIFY(world.restart());
        QCOMPARE(world.describe(), after);
        QCOMPARE(Global::history->getEventCount(), events + 1);
    }

private:
    static CreatureVitality vitality(Creature* creature, int hitPoints)
    {
        CreatureVitality changed = creature->getVitality();
        changed.hitPoints = hitPoints;
        return changed;
    }
};

QTEST_GUILESS_MAIN(TestAbandonedRecord)
#include "test_abandonedrecord.moc"
