#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QSignalSpy>

#include "library/characters.h"
#include "encounter/encounter.h"
#include "encounter/event.h"
#include "foundation/global.h"
#include "encounter/history.h"
#include "foundation/objectstream.h"
#include "support/testsupport.h"
#include "support/testworld.h"
#include "encounter/vitalityevents.h"

namespace {

const int headerSize = 48;

Event* setHitPoints(TestWorld& world, Creature* creature, int hitPoints)
{
    CreatureVitality vitality = creature->getVitality();
    vitality.hitPoints = hitPoints;
    return new SetVitalityEvent(vitality, world.stream());
}

qint64 fileSize(const QString& path)
{
    return QFileInfo(path).size();
}

// Writes a record by hand at the history's cursor and moves past it.
void writeRawRecord(ObjectStream* stream, int type, const std::function<void()>& payload)
{
    stream->mark();
    stream->write(ID_EVENT_TYPE, type);
    payload();
    stream->incOffset(stream->setToMark());
}

}

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void newCommandAfterStepsBackOverwritesTheUndone()
    {
        TestWorld world;
        Creature* ana = world.addHero("Ana", 30);
        QVERIFY(world.record(setHitPoints(world, ana, 20)));
        int sizeA = Global::history->getEvent(0)->getStreamSize();
        world.record(setHitPoints(world, ana, 15));
        world.record(setHitPoints(world, ana, 10));
        Global::history->back();
        Global::history->back();
        QCOMPARE(ana->getCurrHitPoints(), 20);
        world.record(setHitPoints(world, ana, 5));
        int sizeD = Global::history->getEvent(1)->getStreamSize();

        QCOMPARE(Global::history->getEventCount(), 2);
        QCOMPARE(Global::history->getCurrentIndex(), 1);
        QByteArray log = TestSupport::readFile(world.logPath());
        QCOMPARE(log.mid(headerSize + sizeA + sizeD, 2), QByteArray(2, '\0'));
        QCOMPARE(Global::history->getStream(false)->getOffset(), headerSize + sizeA + sizeD);

        QVERIFY(world.restart());
        QCOMPARE(Global::history->getEventCount(), 2);
        QCOMPARE(Global::history->getCurrentIndex(), 1);
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), 5);
        QCOMPARE(Global::history->getEventText(1), QString("Changed Ana: Curr HP 5"));
    }

    void restartReplaysStepsThatWereUndone()
    {
        TestWorld world;
        Creature* ana = world.addHero("Ana", 30);
        for (int hitPoints : {20, 15, 10})
            world.record(setHitPoints(world, ana, hitPoints));
        Global::history->back();
        Global::history->back();
        QVERIFY(world.restart());
        QCOMPARE(Global::history->getEventCount(), 3);
        QCOMPARE(Global::history->getCurrentIndex(), 2);
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), 10);
    }

    void truncateCutsTheLogAtTheCurrentEvent()
    {
        TestWorld world;
        Creature* ana = world.addHero("Ana", 30);
        for (int hitPoints : {20, 15, 10})
            world.record(setHitPoints(world, ana, hitPoints));
        int sizeA = Global::history->getEvent(0)->getStreamSize();
        Global::history->back();
        Global::history->back();
        QSignalSpy changed(Global::history, &History::doHistoryChanged);
        Global::history->truncate();
        QCOMPARE(Global::history->getEventCount(), 1);
        QCOMPARE(fileSize(world.logPath()), qint64(headerSize + sizeA + 2));
        Global::history->truncate();
        QCOMPARE(changed.count(), 2);
        QVERIFY(world.restart());
        QCOMPARE(Global::history->getEventCount(), 1);
    }

    void stepsAndJumps()
    {
        TestWorld world;
        Creature* ana = world.addHero("Ana", 30);
        QSignalSpy changed(Global::history, &History::doHistoryChanged);
        Global::history->back();
        Global::history->forward(false);
        QCOMPARE(changed.count(), 2);
        for (int hitPoints : {20, 15, 10, 5})
            world.record(setHitPoints(world, ana, hitPoints));
        ObjectStream* log = Global::history->getStream(false);
        int end = log->getOffset();

        changed.clear();
        Global::history->goTo(3);
        QCOMPARE(changed.count(), 0);
        Global::history->goTo(0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(ana->getCurrHitPoints(), 20);
        QVERIFY(Global::history->hasBack() && Global::history->hasForward() && Global::history->trancateable());
        Global::history->goTo(3);
        QCOMPARE(ana->getCurrHitPoints(), 5);
        QCOMPARE(log->getOffset(), end);
        Global::history->goTo(99);
        Global::history->goTo(-1);
        QCOMPARE(Global::history->getCurrentIndex(), 3);

        // Undoing a live hand edit leaves the typed figures, waiting to be recorded again.
        ana->setCurrHitPoints(4);
        world.record(new SetVitalityEvent(ana->getVitality(), world.stream()));
        Global::history->back();
        QCOMPARE(ana->getCurrHitPoints(), 4);
        QCOMPARE(ana->getBeforeVitality().hitPoints, 5);
    }

    void playersSeeOnlyEventsAboutTheirCharacters()
    {
        TestWorld world;
        Creature* ana = world.addHero("Ana", 30);
        Creature* orc = world.addMonster("Orc", "1", 20);
        world.record(setHitPoints(world, ana, 20));
        world.record(setHitPoints(world, orc, 10));
        world.record(setHitPoints(world, ana, 12));
        QList<Event*> seen = Global::history->getPlayersEvents(3);
        QCOMPARE(seen.size(), 2);
        QCOMPARE(seen[0], Global::history->getEvent(2));
        QCOMPARE(seen[1], Global::history->getEvent(0));
        QCOMPARE(Global::history->getPlayersEvents(1).size(), 1);
    }

    void clearHistoryKeepsADatedCopy()
    {
        TestWorld world;
        QVERIFY(Global::history->newHistory());
        Creature* ana = world.addHero("Ana", 30);
        world.record(setHitPoints(world, ana, 20));
        QString created = Global::history->getStream(false)->getCreationDate();
        QByteArray log = TestSupport::readFile(world.logPath());
        QVERIFY(Global::history->newHistory());
        QVERIFY(!QFile::exists(world.logPath()));
        QCOMPARE(TestSupport::readFile(world.root() + "/History/history_" + created + ".log"), log);
    }

    void clearHistoryNeverDeletesWithoutItsCopy()
    {
        TestWorld world;
        RecordingUiHooks hooks;
        Creature* ana = world.addHero("Ana", 30);
        world.record(setHitPoints(world, ana, 20));
        // A file where the History folder should be.
        QVERIFY(TestSupport::writeFile(world.root() + "/History", "in the way"));
        QVERIFY(!Global::history->newHistory());
        QCOMPARE(hooks.alerts.last().title, QString("Cannot Create History Directory"));
        QVERIFY(QFile::exists(world.logPath()));
        QVERIFY(Global::history->getStream(false));
    }

    void unreadableRecordStopsTheReplayAndIsKept()
    {
        TestWorld world;
        RecordingUiHooks hooks;
        Creature* ana = world.addHero("Ana", 30);
        world.record(setHitPoints(world, ana, 20));
        int goodEnd = Global::history->getStream(false)->getOffset();
        writeRawRecord(Global::history->getStream(false), 43, [] {});
        QByteArray damaged = TestSupport::readFile(world.logPath());

        QVERIFY(!world.restart());
        QCOMPARE(Global::history->getEventCount(), 1);
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), 20);
        QCOMPARE(TestSupport::readFile(Global::history->getKeptCopy()), damaged);
        QVERIFY(Global::history->getKeptCopy().startsWith(QDir::toNativeSeparators(world.root() + "/History/")));
        QCOMPARE(Global::history->getStream(false)->getOffset(), goodEnd);

        // The next command takes the bad record's place.
        world.record(setHitPoints(world, world.find("Ana"), 7));
        QVERIFY(world.restart());
        QCOMPARE(Global::history->getEventCount(), 2);
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), 7);
    }

    void recordWithoutItsEndKeepsTheRecordsAfterIt()
    {
        TestWorld world;
        Creature* ana = world.addHero("Ana", 30);
        world.record(setHitPoints(world, ana, 20));
        writeRawRecord(Global::history->getStream(false), Event::RenameCreatureType, [] {
            Global::history->getStream(false)->write(701, QString("Ana"));
            Global::history->getStream(false)->write(702, QString("Bea"));
        });
        world.record(setHitPoints(world, ana, 9));
        QVERIFY(world.restart());
        QCOMPARE(Global::history->getEventCount(), 3);
        QCOMPARE(Global::history->getEventText(1), QString("Rename Ana -> Bea"));
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), 9);
    }

    void commandsThatCannotBeRecordedAreRefused()
    {
        TestWorld world;
        RecordingUiHooks hooks;
        Creature* ana = world.addHero("Ana", 30);
        world.record(setHitPoints(world, ana, 20));

        QFile full("/dev/full");
        QVERIFY(full.open(QIODevice::ReadWrite));
        auto* broken = new QFile("/dev/full");
        QVERIFY(broken->open(QIODevice::ReadWrite));
        ObjectStream failing(broken);
        CreatureVitality vitality = ana->getVitality();
        vitality.hitPoints = 1;
        auto* event = new SetVitalityEvent(vitality, &failing);
        QVERIFY(!event->isWhole());
        QVERIFY(!Global::history->apply(event, false));
        QCOMPARE(hooks.alerts.last().title, QString("Cannot Write History File"));
        QCOMPARE(Global::history->getEventCount(), 1);
        QCOMPARE(ana->getCurrHitPoints(), 20);
    }

    void replayRecordsNoCommands()
    {
        TestWorld world;
        Creature* ana = world.addHero("Ana", 30);
        world.record(setHitPoints(world, ana, 20));
        QList<bool> streamDuringReplay;
        QObject::connect(&Global::switchBoard, &SwitchBoard::doCreatureUpdated, [&streamDuringReplay] {
            if (Global::history && Global::history->isReplaying())
                streamDuringReplay.append(Global::history->getStream(false) != nullptr);
        });
        QVERIFY(world.restart());
        QVERIFY(!streamDuringReplay.isEmpty());
        QVERIFY(!streamDuringReplay.contains(true));
        Global::switchBoard.disconnect();
    }

    void damagedHeaderIsKeptAndReported()
    {
        TestWorld world;
        RecordingUiHooks hooks;
        QVERIFY(TestSupport::writeFile(world.logPath(), QByteArray("\x02\x00\x04\x00\x00\x00\x00garbage", 14)));
        QVERIFY(world.restart());
        QCOMPARE(hooks.alerts.size(), 1);
        QCOMPARE(hooks.alerts.first().title, QString("History File Damaged"));
        QCOMPARE(QDir(world.root() + "/History").entryList(QDir::Files).size(), 1);
    }

    void everyWholeRecordSurvivesACut()
    {
        TestWorld world;
        RecordingUiHooks hooks;
        Creature* ana = world.addHero("Ana", 30);
        Creature* orc = world.addMonster("Orc", "1", 20);
        QList<int> ends{headerSize};
        for (int i = 0; i < 6; i++) {
            world.record(setHitPoints(world, i % 2 ? orc : ana, 20 - i));
            ends.append(Global::history->getStream(false)->getOffset());
        }
        QString live = world.describe();
        QByteArray log = TestSupport::readFile(world.logPath());
        log.truncate(ends.last() + 2);

        // The model as replayed from each whole prefix of the log.
        QStringList replayed;
        for (int end : ends) {
            QVERIFY(TestSupport::writeFile(world.logPath(), log.left(end) + QByteArray(2, '\0')));
            QVERIFY(world.restart());
            replayed.append(world.describe());
        }
        QCOMPARE(replayed.last(), live);

        for (int cut = 0; cut <= log.size(); cut++) {
            QVERIFY(TestSupport::writeFile(world.logPath(), log.left(cut)));
            world.restart();
            int whole = int(std::count_if(ends.begin() + 1, ends.end(), [cut](int end) { return end <= cut; }));
            QCOMPARE(Global::history->getEventCount(), whole);
            QCOMPARE(world.describe(), replayed[whole]);
            // The log takes new commands after the cut.
            QVERIFY(world.record(setHitPoints(world, world.find("Ana"), 3)));
            QVERIFY(world.restart());
            QCOMPARE(Global::history->getEventCount(), whole + 1);
        }
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestHistory)
#include "test_history.moc"
