// The history and its log: steps, jumps, truncation, damaged logs, and
// random fights whose log replayed after a restart gives back exactly the
// model the fight left, cut short anywhere or not.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSignalSpy>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>

#include "encounter/commandroad.h"
#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/event.h"
#include "encounter/history.h"
#include "encounter/restevents.h"
#include "encounter/rosterevents.h"
#include "encounter/turnorderevents.h"
#include "encounter/vitalityevents.h"
#include "foundation/folderlock.h"
#include "foundation/global.h"
#include "foundation/objectstream.h"
#include "support/randomfight.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

const int headerSize = 48;
// A sound header, as the program writes it.
const QByteArray soundHeader("\x02\x00\x04\x01\x00\x00\x00" "\x03\x00\x04\x00\x00\x00\x00" "\x04\x00\x06" "2.0.12"
                             "\x05\x00\x13" "2020-01-01-00-00-00" "\x01\x00\x00", headerSize);
enum Damage { UnknownEvent, ZeroedRun, ZeroedToTheEnd };
using EventMaker = std::function<Event*(ObjectStream*)>;

History* history() { return Global::history; }
Encounter* encounter() { return Global::encounter; }

Event* setHitPoints(TestWorld& world, Creature* creature, int hitPoints)
{
    CreatureVitality vitality = creature->getVitality();
    vitality.hitPoints = hitPoints;
    return new SetVitalityEvent(vitality, world.stream());
}

// Writes a record by hand at the history's cursor and moves past it.
void writeRawRecord(int type, const std::function<void(ObjectStream*)>& payload)
{
    ObjectStream* stream = history()->getStream(false);
    stream->mark();
    stream->write(ID_EVENT_TYPE, type);
    payload(stream);
    stream->incOffset(stream->setToMark());
}

// The event built on a log that refuses every write, as on a full disk, and handed to the history: false
// unless it was refused.
bool refused(const EventMaker& make)
{
    auto* full = new QFile("/dev/full");
    if (!full->open(QIODevice::ReadWrite))
        return false;
    ObjectStream failing(full);
    Event* event = make(&failing);
    return !event->isWhole() && !history()->apply(event, false);
}

// As sync tools write a file: a copy under another name, renamed over it.
void replaceByCopy(const QString& path)
{
    QSaveFile copy(path);
    QVERIFY(copy.open(QIODevice::WriteOnly) && copy.write(TestSupport::readFile(path)) > 0 && copy.commit());
}

void setLogTime(TestWorld& world, const QDateTime& time)
{
    QFile log(world.logPath());
    QVERIFY(log.open(QIODevice::ReadWrite) && log.setFileTime(time, QFileDevice::FileModificationTime));
}

// Another fight of the same size written over the log in place, its written time then put back to the one this
// program's last write left, moved by the nanoseconds given.
void writeOverPuttingTimeBack(TestWorld& world, long moved)
{
    const QByteArray path = QFile::encodeName(world.logPath());
    struct stat left;
    QVERIFY(stat(path.constData(), &left) == 0);
    QByteArray other = TestSupport::readFile(world.logPath());
    other.replace(world.stream()->getCreationDate().toUtf8(), "2020-01-01-00-00-00");
    QVERIFY(TestSupport::writeFile(world.logPath(), other));
    timespec times[2] = {left.st_atim, left.st_mtim};
    times[1].tv_nsec = (times[1].tv_nsec + moved) % 1000000000;
    QVERIFY(utimensat(AT_FDCWD, path.constData(), times, 0) == 0);
}

// One byte of the log changed in place, at the position given (from the end where negative).
void changeByte(TestWorld& world, qint64 at)
{
    QFile log(world.logPath());
    QVERIFY(log.open(QIODevice::ReadWrite));
    QVERIFY(log.seek(at < 0 ? log.size() + at : at));
    const char changed = char(log.peek(1).at(0) ^ 0x10);
    QVERIFY(log.write(&changed, 1) == 1);
}

// Ana, recorded at 20 hit points, in a data folder this program holds.
void holdAndHitAna(TestWorld& world)
{
    QCOMPARE(FolderLock::take(world.root()).outcome, FolderLock::Claim::Held);
    QVERIFY(world.record(setHitPoints(world, world.addHero("Ana", 30), 20)));
}

// Aldric and a goblin stand in the encounter; the log does not hold who does.
void enter()
{
    encounter()->setCreatureList(CreatureList(
        {Creature::getCreatureByName("Aldric", true), Creature::getCreatureByName("Goblin (1)", true)}));
}

// As the main window records a command: pending hand edits first.
void command(TestWorld& world, const EventMaker& make)
{
    encounter()->writeVitalityChanges(world.stream());
    QVERIFY(world.record(make(world.stream())));
}

// Aldric acts first, then the goblin.
void start(TestWorld& world)
{
    command(world, [](ObjectStream* s) { return new StartEncounterEvent({{"Aldric", 18, 1}}, {{"Goblin", 5, 2}}, s); });
}

void hit(TestWorld& world, Creature* creature)
{
    command(world, [creature](ObjectStream* s) { return new DamageEvent("Hit", nullptr, creature, 5, "", s); });
}

void nextTurn(TestWorld& world)
{
    command(world, [](ObjectStream* s) { return new NextTurnEvent(s, false); });
}

// What a restart gives back must be what the program shows now.
void checkReplay(TestWorld& world, const std::function<void()>& beforeReplay = enter)
{
    const QString live = world.describe();
    QVERIFY(world.restart(beforeReplay));
    const QString replayed = world.describe();
    QVERIFY2(replayed == live, qPrintable(TestWorld::difference(live, replayed)));
}

}

// A short fight on top of Aldric and a goblin.
using Fight = std::function<void(TestWorld&, Creature*)>;
Q_DECLARE_METATYPE(Fight)
// What befalls the log's file or folder, or mends it.
using Mishap = std::function<void(TestWorld&)>;
Q_DECLARE_METATYPE(Mishap)

class TestHistory : public QObject
{
    Q_OBJECT

private slots:
    void stepsJumpsAndTruncation()
    {
        TestWorld world;
        Creature* ana = world.addHero("Ana", 30);
        QSignalSpy changed(history(), &History::doHistoryChanged);
        history()->back();
        history()->forward(false);
        QCOMPARE(changed.count(), 2);
        for (int hitPoints : {20, 15, 10, 5})
            QVERIFY(world.record(setHitPoints(world, ana, hitPoints)));
        const int sizeA = history()->getEvent(0)->getStreamSize();
        const int end = history()->getStream(false)->getOffset();
        changed.clear();
        history()->goTo(3);
        QCOMPARE(changed.count(), 0);
        history()->goTo(0);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(ana->getCurrHitPoints(), 20);
        QVERIFY(history()->hasBack() && history()->hasForward() && history()->trancateable());
        history()->goTo(3);
        QCOMPARE(ana->getCurrHitPoints(), 5);
        QCOMPARE(history()->getStream(false)->getOffset(), end);
        history()->goTo(99);
        history()->goTo(-1);
        QCOMPARE(history()->getCurrentIndex(), 3);
        // Players see only the events about their characters.
        Creature* orc = world.addMonster("Orc", "1", 20);
        world.record(setHitPoints(world, orc, 10));
        QCOMPARE(history()->getPlayersEvents(2), QList<Event*>({history()->getEvent(3), history()->getEvent(2)}));
        QCOMPARE(history()->getPlayersEvents(1).size(), 1);
        // A restart replays the steps that were undone too.
        history()->goTo(1);
        QVERIFY(world.restart());
        QCOMPARE(history()->getCurrentIndex(), 4);
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), 5);
        // A new command after steps back overwrites the undone ones.
        history()->goTo(0);
        world.record(setHitPoints(world, world.find("Ana"), 7));
        const int sizeD = history()->getEvent(1)->getStreamSize();
        QCOMPARE(history()->getEventCount(), 2);
        // Nothing of them is left after its end marker, where it would read as damage.
        QCOMPARE(TestSupport::readFile(world.logPath()).mid(headerSize + sizeA + sizeD), QByteArray(2, '\0'));
        QCOMPARE(history()->getStream(false)->getOffset(), headerSize + sizeA + sizeD);
        QVERIFY(world.restart());
        QCOMPARE(history()->getCurrentIndex(), 1);
        QCOMPARE(history()->getEventText(1), QString("Changed Ana: Curr HP 7"));
        // Truncation cuts the log at the current event.
        history()->back();
        QSignalSpy truncated(history(), &History::doHistoryChanged);
        history()->truncate();
        history()->truncate();
        QCOMPARE(truncated.count(), 2);
        QCOMPARE(QFileInfo(world.logPath()).size(), qint64(headerSize + sizeA + 2));
        QVERIFY(world.restart());
        QCOMPARE(history()->getEventCount(), 1);
        // Undoing a live hand edit leaves the typed figures, waiting to be recorded again.
        ana = world.find("Ana");
        ana->setCurrHitPoints(4);
        world.record(new SetVitalityEvent(ana->getVitality(), world.stream()));
        history()->back();
        QCOMPARE(ana->getCurrHitPoints(), 4);
        QCOMPARE(ana->getBeforeVitality().hitPoints, 20);
    }
    void clearHistoryKeepsADatedCopy()
    {
        TestWorld world;
        RecordingUiHooks hooks;
        QVERIFY(history()->newHistory());
        Creature* ana = world.addHero("Ana", 30);
        world.record(setHitPoints(world, ana, 20));
        const QString created = history()->getStream(false)->getCreationDate();
        const QByteArray log = TestSupport::readFile(world.logPath());
        QVERIFY(history()->newHistory());
        QVERIFY(!QFile::exists(world.logPath()));
        QCOMPARE(TestSupport::readFile(world.root() + "/History/history_" + created + ".log"), log);
        // Never deleted without its copy: a file stands where the History folder should be.
        world.record(setHitPoints(world, ana, 10));
        QVERIFY(QDir(world.root() + "/History").removeRecursively());
        QVERIFY(TestSupport::writeFile(world.root() + "/History", "in the way"));
        QVERIFY(!history()->newHistory());
        QCOMPARE(hooks.alerts.last().title, QString("Cannot Create History Directory"));
        QVERIFY(QFile::exists(world.logPath()));
        QVERIFY(history()->getStream(false));
    }
    // An unknown record, or zeros over a record's start that read as the end: the caller tells the one, the
    // history the other; either way the log is kept before the next command writes over what follows. Zeros
    // from a record's start to the end of the file hold nothing to keep, but the commands they were are lost.
    void damageStopsTheReplayAndIsKept_data()
    {
        QTest::addColumn<int>("damage");
        QTest::newRow("an unknown event") << int(UnknownEvent);
        QTest::newRow("a zeroed run at a record's start") << int(ZeroedRun);
        QTest::newRow("zeroed from a record's start to the end") << int(ZeroedToTheEnd);
    }
    void damageStopsTheReplayAndIsKept()
    {
        QFETCH(int, damage);
        TestWorld world;
        RecordingUiHooks hooks;
        world.record(setHitPoints(world, world.addHero("Ana", 30), 20));
        const int goodEnd = history()->getStream(false)->getOffset();
        if (damage == UnknownEvent) {
            writeRawRecord(43, [](ObjectStream*) {});
        } else {
            world.record(setHitPoints(world, world.find("Ana"), 15));
            world.record(setHitPoints(world, world.find("Ana"), 10));
        }
        QByteArray damaged = TestSupport::readFile(world.logPath());
        if (damage != UnknownEvent) {
            const int zeroed = damage == ZeroedRun ? history()->getEvent(1)->getStreamSize() : damaged.size() - goodEnd;
            damaged.replace(goodEnd, zeroed, QByteArray(zeroed, '\0'));
            QVERIFY(TestSupport::writeFile(world.logPath(), damaged));
        }
        QCOMPARE(world.restart(), damage != UnknownEvent);
        QCOMPARE(history()->getEventCount(), 1);
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), 20);
        if (damage == ZeroedToTheEnd) {
            QVERIFY(history()->getKeptCopy().isEmpty());
        } else {
            QCOMPARE(TestSupport::readFile(history()->getKeptCopy()), damaged);
            QVERIFY(history()->getKeptCopy().startsWith(QDir::toNativeSeparators(world.root() + "/History/")));
        }
        const int told = int(damage != UnknownEvent);
        QCOMPARE(hooks.alerts.size(), told);
        if (told) {
            QCOMPARE(hooks.alerts.first().title,
                     QString(damage == ZeroedRun ? "History File Damaged" : "History File Ended Early"));
            for (const QString& named : {world.logPath(), history()->getKeptCopy(), QString("zero bytes"),
                                         QString("byte %1").arg(goodEnd)})
                QVERIFY2(hooks.alerts.first().text.contains(named), qPrintable(hooks.alerts.first().text));
        }
        QCOMPARE(history()->getStream(false)->getOffset(), goodEnd);
        // The next command takes the damage's place; what followed it lives on in the copy only.
        world.record(setHitPoints(world, world.find("Ana"), 7));
        QVERIFY(world.restart());
        QCOMPARE(hooks.alerts.size(), told);
        QCOMPARE(history()->getEventCount(), 2);
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), 7);
    }
    void recordWithoutItsEndKeepsTheRecordsAfterIt()
    {
        TestWorld world;
        Creature* ana = world.addHero("Ana", 30);
        world.record(setHitPoints(world, ana, 20));
        writeRawRecord(Event::RenameCreatureType, [](ObjectStream* s) {
            s->write(701, QString("Ana"));
            s->write(702, QString("Bea"));
        });
        world.record(setHitPoints(world, ana, 9));
        QVERIFY(world.restart());
        QCOMPARE(history()->getEventCount(), 3);
        QCOMPARE(history()->getEventText(1), QString("Rename Ana -> Bea"));
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), 9);
    }
    // A damaged log that no copy can be kept of, or a log that cannot be started, is told at the start and at
    // every command that wants it, and left as it is; once the folder takes writes again, commands are recorded.
    void unwritableLogIsTold_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<bool>("fullDisk");
        QTest::addColumn<QString>("cause");
        // The data folder loaded again, as told, after its log could not be opened at the start.
        QTest::addColumn<bool>("reloaded");
        const QByteArray damaged("\x02\x00\x04\x00\x00\x00\x00garbage", 14);
        QTest::newRow("damaged, the copy's folder cannot be made") << damaged << false << "cannot be made" << false;
        QTest::newRow("damaged, the disk full") << damaged << true << "no copy of it could be kept" << false;
        QTest::newRow("no log yet, the disk full") << QByteArray() << true << "could not be started" << false;
        QTest::newRow("a zeroed run at a record's start, the copy's folder cannot be made")
            << soundHeader + QByteArray(5, '\0') + "garbage" << false << "cannot be made" << false;
        QTest::newRow("damaged, the copy's folder cannot be made, loaded again after the log could not be opened")
            << damaged << false << "cannot be made" << true;
    }
    void unwritableLogIsTold()
    {
        QFETCH(QByteArray, log);
        QFETCH(bool, fullDisk);
        QFETCH(QString, cause);
        QFETCH(bool, reloaded);
        TestWorld world;
        RecordingUiHooks hooks;
        world.addHero("Ana", 30);
        if (reloaded) {
            QVERIFY(QDir().mkdir(world.logPath()));
            world.restart();
            QVERIFY(QDir().rmdir(world.logPath()));
            hooks.alerts.clear();
        }
        if (!log.isEmpty())
            QVERIFY(TestSupport::writeFile(world.logPath(), log));
        if (!fullDisk)
            QVERIFY(TestSupport::writeFile(world.root() + "/History", "in the way"));
        {
            std::optional<FullDisk> full;
            // Less room than the damaged log takes: its copy fails.
            if (fullDisk)
                full.emplace(log.isEmpty() ? 0 : -4);
            reloaded ? history()->rootChanged() : world.restart();
            QVERIFY(!history()->getStream(false));
        }
        QCOMPARE(hooks.alerts.size(), 2);
        for (const RecordingUiHooks::Message& told : hooks.alerts) {
            QCOMPARE(told.title, QString("Cannot Write History File"));
            for (const QString& named : {world.logPath(), cause})
                QVERIFY2(told.text.contains(named), qPrintable(told.text));
        }
        QCOMPARE(TestSupport::readFile(world.logPath()), log);
        QCOMPARE(QFile::exists(world.logPath()), !log.isEmpty());
        if (!fullDisk)
            QVERIFY(QFile::remove(world.root() + "/History"));
        QVERIFY(world.record(setHitPoints(world, world.find("Ana"), 20)));
        QVERIFY(world.restart());
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), 20);
        QCOMPARE(hooks.alerts.size(), 2 + int(!log.isEmpty()));
    }
    // A log the program can no longer write, or can only read, or that another program changed or took: what can
    // be read is replayed, every command is refused and told with the cause, and once the log takes writes again
    // (or the data folder is loaded again) nothing of the fight is lost, and the folder is held again.
    void unreachableLogRefusesCommands_data()
    {
        QTest::addColumn<bool>("restarted");
        QTest::addColumn<Mishap>("mishap");
        QTest::addColumn<Mishap>("mend");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<int>("replayed");
        QTest::addColumn<int>("told");
        // The program keeps its own fight in the History folder when it refuses a log written over.
        QTest::addColumn<bool>("fightKept");
        auto readOnly = std::make_shared<std::optional<ReadOnlyFile>>();
        QTest::newRow("the file read-only")
            << true << Mishap([readOnly](TestWorld& world) { readOnly->emplace(world.logPath()); })
            << Mishap([readOnly](TestWorld&) { readOnly->reset(); }) << "Permission denied" << 20 << 3 << false;
        QTest::newRow("a folder where the file should be") << true << Mishap([](TestWorld& world) {
            QVERIFY(QFile::remove(world.logPath()) && QDir().mkdir(world.logPath()));
        }) << Mishap([](TestWorld& world) { QVERIFY(QDir().rmdir(world.logPath())); }) << "directory" << 30 << 2 << false;
        QTest::newRow("the data folder moved away mid-fight") << false << Mishap([](TestWorld& world) {
            QVERIFY(QDir().rename(world.root(), world.root() + ".away"));
        }) << Mishap([](TestWorld& world) { QVERIFY(QDir().rename(world.root() + ".away", world.root())); })
            << "No such file or directory" << 20 << 2 << false;
        QTest::newRow("the data folder removed mid-fight, then made again") << false << Mishap([](TestWorld& world) {
            QVERIFY(QDir(world.root()).removeRecursively());
        }) << Mishap([](TestWorld& world) { QVERIFY(QDir().mkpath(world.root())); }) << "No such file or directory" << 20
            << 2 << false;
        QTest::newRow("the log replaced by a copy of itself, as sync tools do")
            << false << Mishap([](TestWorld& world) { replaceByCopy(world.logPath()); })
            << Mishap([](TestWorld& world) { QVERIFY(world.restart()); }) << "another file has taken its place" << 20 << 2
            << true;
        // Another fight's log copied over it in place. Loading the folder again shows the other fight; the copy of its
        // own fight the program kept, put in the log's place, brings that back.
        const auto copyOver = [](TestWorld& world, const QByteArray& other) {
            QVERIFY(TestSupport::writeFile(world.logPath(), other));
        };
        const Mishap bringKeptFightBack([](TestWorld& world) {
            QVERIFY(world.restart());
            const QFileInfoList kept = QDir(world.root() + "/History").entryInfoList({"overwritten_history_*.log"});
            QCOMPARE(kept.size(), 1);
            QVERIFY(TestSupport::writeFile(world.logPath(), TestSupport::readFile(kept[0].filePath())));
            QVERIFY(world.restart());
        });
        const QString writtenOver = "written over in place since this program last wrote to it";
        QTest::newRow("another fight's shorter log copied over it in place") << false << Mishap([copyOver](TestWorld& world) {
            copyOver(world, soundHeader + QByteArray(2, '\0'));
        }) << bringKeptFightBack << QString("holds %1 bytes where this program left").arg(headerSize + 2) << 20 << 2
            << true;
        QTest::newRow("another fight's longer log copied over it in place") << false << Mishap([copyOver](TestWorld& world) {
            // Its records twice over: a sound log.
            const QByteArray log = TestSupport::readFile(world.logPath());
            const QByteArray created = world.stream()->getCreationDate().toUtf8();
            const qsizetype recordsStart = log.indexOf(created) + created.size() + 3;
            const QByteArray records = log.mid(recordsStart).chopped(2);
            copyOver(world, log.left(recordsStart) + records + records + QByteArray(2, '\0'));
        }) << bringKeptFightBack << "bytes where this program left" << 20 << 2 << true;
        QTest::newRow("another fight's log of the same size copied over it in place, keeping its time")
            << false << Mishap([copyOver](TestWorld& world) {
                   QByteArray other = TestSupport::readFile(world.logPath());
                   other.replace(world.stream()->getCreationDate().toUtf8(), "2020-01-01-00-00-00");
                   copyOver(world, other);
                   // As cp -p and sync tools copy; copied now, the time could be ours on a coarse clock.
                   setLogTime(world, QDateTime(QDate(2020, 1, 1), QTime(0, 0)));
               })
            << bringKeptFightBack << writtenOver << 20 << 2 << true;
        // The change time moves with every write and every time put back.
        QTest::newRow("another fight's log of the same size written in place, its time put back to the nanosecond")
            << false << Mishap([](TestWorld& world) { writeOverPuttingTimeBack(world, 0); }) << bringKeptFightBack
            << writtenOver << 20 << 2 << true;
        QTest::newRow("the same, its time put back but for the nanoseconds")
            << false << Mishap([](TestWorld& world) { writeOverPuttingTimeBack(world, 1); }) << bringKeptFightBack
            << writtenOver << 20 << 2 << true;
        // Whole-second times: a copy within the second of the last record leaves them as they were.
        QTest::newRow("another fight's log of the same size copied over it in place, times of whole seconds")
            << false << Mishap([copyOver](TestWorld& world) {
                   world.stream()->cutTimesToTheSecond();
                   QByteArray other = TestSupport::readFile(world.logPath());
                   other.replace(world.stream()->getCreationDate().toUtf8(), "2020-01-01-00-00-00");
                   copyOver(world, other);
               })
            << bringKeptFightBack << writtenOver << 20 << 2 << true;
        // A long log read at a start, one byte changed anywhere: past the first 64 KiB too, and in the last record.
        for (const qint64 at : {qint64(2000), qint64(-7500), qint64(-23000), qint64(70000), qint64(-10)})
            QTest::addRow("one byte of a 72 KB log changed at %lld", at)
                << false << Mishap([at](TestWorld& world) {
                       for (int hitPoints = 21; QFileInfo(world.logPath()).size() < 72000; hitPoints ^= 1)
                           QVERIFY(world.record(setHitPoints(world, world.find("Ana"), hitPoints)));
                       QVERIFY(world.record(setHitPoints(world, world.find("Ana"), 20)));
                       QVERIFY(world.restart());
                       changeByte(world, at);
                   })
                << bringKeptFightBack << writtenOver << 20 << 2 << true;
        // On this computer the second lock keeps another program out; one elsewhere sees only the folder's.
        QTest::newRow("the lock file removed, and the folder taken from another computer") << false
            << Mishap([](TestWorld& world) {
                   QVERIFY(QFile::remove(world.root() + "/.ravelhorn.lock"));
                   QVERIFY(TestSupport::makeLock(world.root(), "other computer"));
               })
            << Mishap([](TestWorld& world) { QVERIFY(QFile::remove(world.root() + "/.ravelhorn.lock")); })
            << "has been taken over by ravelhorn (process 4242 on otherlaptop)." << 20 << 2 << false;
        QTest::newRow("the same, the data folder reached through a link") << false << Mishap([](TestWorld& world) {
            QVERIFY(QFile::link(world.root(), world.root() + "-link"));
            Global::nativeRootPath = world.root() + "-link";
            QVERIFY(QFile::remove(world.root() + "/.ravelhorn.lock"));
            QVERIFY(TestSupport::makeLock(world.root(), "other computer"));
        }) << Mishap([](TestWorld& world) { QVERIFY(QFile::remove(world.root() + "/.ravelhorn.lock")); })
            << "has been taken over by ravelhorn (process 4242 on otherlaptop)." << 20 << 2 << false;
    }
    void unreachableLogRefusesCommands()
    {
        QFETCH(bool, restarted);
        QFETCH(Mishap, mishap);
        QFETCH(Mishap, mend);
        QFETCH(QString, cause);
        QFETCH(int, replayed);
        QFETCH(int, told);
        QFETCH(bool, fightKept);
        // A lock file gone with its folder is let go of without a word.
        QTest::failOnWarning(QRegularExpression("Could not remove our own lock file"));
        TestWorld world;
        RecordingUiHooks hooks;
        holdAndHitAna(world);
        mishap(world);
        const int recorded = history()->getEventCount();
        if (restarted)
            world.restart();
        QVERIFY(!CommandRoad().isOpen());
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), replayed);
        // Nor does Truncate drop what the log keeps: it would come back at the next start.
        history()->back();
        history()->truncate();
        QCOMPARE(history()->hasForward(), history()->getEventCount() > 0);
        history()->goTo(history()->getEventCount() - 1);
        QCOMPARE(hooks.alerts.size(), told);
        const QFileInfoList kept = QDir(world.root() + "/History").entryInfoList({"overwritten_history_*.log"});
        QCOMPARE(kept.size(), int(fightKept));
        for (const RecordingUiHooks::Message& told : hooks.alerts) {
            QCOMPARE(told.title, QString("Cannot Write History File"));
            for (const QString& named : {world.logPath(), cause})
                QVERIFY2(told.text.contains(named), qPrintable(told.text));
            if (fightKept)
                QVERIFY2(told.text.contains(QDir::toNativeSeparators(kept[0].filePath())), qPrintable(told.text));
        }
        mend(world);
        QVERIFY(CommandRoad().isOpen());
        QVERIFY(world.record(setHitPoints(world, world.find("Ana"), 10)));
        QVERIFY(world.restart());
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), 10);
        QCOMPARE(history()->getEventCount(), replayed == 20 ? recorded + 1 : 1);
        QCOMPARE(hooks.alerts.size(), told);
        QCOMPARE(OtherProgram::lockHolder(world.root()), QCoreApplication::applicationPid());
    }
    // A lock file that is gone is taken again, and one copied in its own place is still this program's, as is a
    // log whose time alone changed: the command is recorded without a word.
    void lockFileLostAloneIsTakenAgain_data()
    {
        QTest::addColumn<Mishap>("mishap");
        QTest::newRow("the log's time changed alone, as by a touch or a network share's clock")
            << Mishap([](TestWorld& world) { setLogTime(world, QDateTime(QDate(2020, 1, 1), QTime(0, 0))); });
        QTest::newRow("the log's times of whole seconds")
            << Mishap([](TestWorld& world) { world.stream()->cutTimesToTheSecond(); });
        QTest::newRow("the log's time changed alone after Truncate cut it") << Mishap([](TestWorld& world) {
            history()->back();
            history()->truncate();
            setLogTime(world, QDateTime(QDate(2020, 1, 1), QTime(0, 0)));
        });
        QTest::newRow("removed") << Mishap([](TestWorld& world) { QVERIFY(QFile::remove(world.root() + "/.ravelhorn.lock")); });
        QTest::newRow("replaced by a copy of itself")
            << Mishap([](TestWorld& world) { replaceByCopy(world.root() + "/.ravelhorn.lock"); });
    }
    void lockFileLostAloneIsTakenAgain()
    {
        QFETCH(Mishap, mishap);
        TestWorld world;
        RecordingUiHooks hooks;
        holdAndHitAna(world);
        mishap(world);
        QVERIFY(CommandRoad().isOpen());
        QVERIFY(world.record(setHitPoints(world, world.find("Ana"), 10)));
        QVERIFY(hooks.alerts.isEmpty());
        QCOMPARE(OtherProgram::lockHolder(world.root()), QCoreApplication::applicationPid());
    }
    // At quit the lock file is removed only while it is still this program's: one another program put in its
    // place stays, or a third program would open the folder beside it.
    void quittingLetsGoOfItsOwnLockOnly_data()
    {
        QTest::addColumn<Mishap>("mishap");
        QTest::addColumn<bool>("kept");
        QTest::newRow("its own") << Mishap([](TestWorld&) {}) << false;
        QTest::newRow("replaced by a copy of itself")
            << Mishap([](TestWorld& world) { replaceByCopy(world.root() + "/.ravelhorn.lock"); }) << false;
        QTest::newRow("removed, and the folder taken from another computer") << Mishap([](TestWorld& world) {
            QVERIFY(QFile::remove(world.root() + "/.ravelhorn.lock"));
            QVERIFY(TestSupport::makeLock(world.root(), "other computer"));
        }) << true;
    }
    void quittingLetsGoOfItsOwnLockOnly()
    {
        QFETCH(Mishap, mishap);
        QFETCH(bool, kept);
        TestWorld world;
        holdAndHitAna(world);
        mishap(world);
        const QString lockFile = world.root() + "/.ravelhorn.lock";
        const QByteArray found = TestSupport::readFile(lockFile);
        // As at quit.
        FolderLock::keepOnly(QString());
        QCOMPARE(QFileInfo::exists(lockFile), kept);
        if (kept)
            QCOMPARE(TestSupport::readFile(lockFile), found);
    }
    void commandsThatCannotBeRecordedAreRefused()
    {
        TestWorld world;
        RecordingUiHooks hooks;
        Creature* ana = world.addHero("Ana", 30);
        world.record(setHitPoints(world, ana, 20));
        QVERIFY(refused([ana](ObjectStream* s) { return new DamageEvent("Hit", nullptr, ana, 19, "", s); }));
        QCOMPARE(hooks.alerts.last().title, QString("Cannot Write History File"));
        QCOMPARE(history()->getEventCount(), 1);
        QCOMPARE(ana->getCurrHitPoints(), 20);
    }
    void replayRecordsNoCommands()
    {
        TestWorld world;
        world.record(setHitPoints(world, world.addHero("Ana", 30), 20));
        QList<bool> streamDuringReplay;
        QObject::connect(&Global::switchBoard, &SwitchBoard::doCreatureUpdated, [&streamDuringReplay] {
            if (history() && history()->isReplaying())
                streamDuringReplay.append(history()->getStream(false) != nullptr);
        });
        QVERIFY(world.restart());
        QVERIFY(!streamDuringReplay.isEmpty());
        QVERIFY(!streamDuringReplay.contains(true));
        Global::switchBoard.disconnect();
    }
    void aLogNotReplayedIsNotWrittenOver()
    {
        TestWorld world;
        RecordingUiHooks hooks;
        QVERIFY(world.record(setHitPoints(world, world.addHero("Ana", 30), 20)));
        const QString aside = world.root() + "/aside.log";
        QVERIFY(QFile::rename(world.logPath(), aside) && QDir().mkdir(world.logPath()));
        world.restart();
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), 30);
        QVERIFY(QDir().rmdir(world.logPath()) && QFile::rename(aside, world.logPath()));
        QVERIFY(!CommandRoad().isOpen());
        QVERIFY2(hooks.alerts.last().text.contains("not replayed"), qPrintable(hooks.alerts.last().text));
        QVERIFY(world.restart());
        QCOMPARE(world.find("Ana")->getCurrHitPoints(), 20);
    }
    void damagedHeaderIsKeptAndReported()
    {
        TestWorld world;
        RecordingUiHooks hooks;
        QVERIFY(TestSupport::writeFile(world.logPath(), QByteArray("\x02\x00\x04\x00\x00\x00\x00", 7) + QByteArray(headerSize, 'x')));
        QVERIFY(world.restart());
        QCOMPARE(hooks.alerts.size(), 1);
        QCOMPARE(hooks.alerts.first().title, QString("History File Damaged"));
        QCOMPARE(QDir(world.root() + "/History").entryList(QDir::Files).size(), 1);
        // Its copy holds the old bytes: none is left after the new header.
        QVERIFY(world.restart());
        QCOMPARE(hooks.alerts.size(), 1);
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
            ends.append(history()->getStream(false)->getOffset());
        }
        const QString live = world.describe();
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
            const int whole = int(std::count_if(ends.begin() + 1, ends.end(), [cut](int end) { return end <= cut; }));
            QCOMPARE(history()->getEventCount(), whole);
            QCOMPARE(world.describe(), replayed[whole]);
            // The log takes new commands after the cut.
            QVERIFY(world.record(setHitPoints(world, world.find("Ana"), 3)));
            QVERIFY(world.restart());
            QCOMPARE(history()->getEventCount(), whole + 1);
        }
    }
    void replayGivesBackTheFight_data()
    {
        RandomFight::addSeedRows({1u, 7u, 42u, 1234u, 99991u});
    }
    // Whatever the game master does, turns with their prompts included, the log replayed after a restart gives
    // back exactly the model the fight left, and stepping back through it all gives back the start.
    void replayGivesBackTheFight()
    {
        QFETCH(unsigned, seed);
        srand(seed);
        TestWorld world;
        RandomFight fight(world);
        const QString start = world.describe();
        for (int i = 0; i < 600; i++) {
            fight.step();
            if (QTest::currentTestFailed())
                return;
            // Now and then the program is closed and started again mid-fight.
            if (i % 150 == 149) {
                // Pending hand edits are recorded at shut-down.
                if (history()->getCurrentEvent())
                    encounter()->writeVitalityChanges(history()->getStream(false));
                // The history stands at the end of the log after a restart.
                while (history()->hasForward())
                    fight.stepInHistory(true);
                const int events = history()->getEventCount();
                checkReplay(world, [&fight] { fight.enterEncounter(); });
                QCOMPARE(history()->getEventCount(), events);
            }
        }
        int turns = 0;
        for (int i = 0; i < history()->getEventCount(); i++)
            turns += dynamic_cast<NextTurnEvent*>(history()->getEvent(i)) ? 1 : 0;
        QVERIFY(turns > 0);
        while (history()->hasBack())
            fight.stepInHistory(false);
        QVERIFY2(world.describe() == start, qPrintable(TestWorld::difference(start, world.describe())));
    }
    // No one at 0 hit points or below gains any by regeneration at a turn start, as the random fight checks at
    // every turn command; here the game master keeps giving the fallen regeneration.
    void theDownRegenerateNothing()
    {
        srand(11);
        TestWorld world;
        RandomFight fight(world);
        fight.addWindowCommand([&world] {
            QList<Creature*> down;
            for (Creature* c : encounter()->getCreatureList().getCreatureList())
                if (c->getCurrHitPoints() <= 0)
                    down.append(c);
            if (down.isEmpty())
                return;
            EffectDetails regeneration;
            regeneration.type = CE::Regeneration;
            regeneration.endCondition = CE::EndSpecial;
            regeneration.amount = 1;
            command(world, [&](ObjectStream* s) { return new EffectEvent(regeneration, down, s); });
        });
        for (int i = 0; i < 400 && !QTest::currentTestFailed(); i++)
            fight.step();
    }
    // Emptied, as when its dead are taken out at a stop, the encounter takes newcomers and the fight goes on.
    void anEmptiedFightGoesOn()
    {
        srand(3);
        TestWorld world;
        RandomFight fight(world, false);
        const QList<Creature*> everyone = encounter()->getCreatureList().getCreatureList();
        QVERIFY(world.record(new RemoveCreaturesEvent(everyone, history()->getStream(false))));
        for (int i = 0; i < 100 && encounter()->getCreatureCount() == 0; i++)
            fight.step();
        QVERIFY(encounter()->getCreatureCount() > 0);
        checkReplay(world, [&fight] { fight.enterEncounter(); });
    }
    // A log cut short anywhere still gives back every whole command before the cut.
    void everyCutKeepsTheWholeCommands()
    {
        srand(5);
        TestWorld world;
        RecordingUiHooks hooks;
        RandomFight fight(world);
        for (int i = 0; i < 30; i++)
            fight.step();
        while (history()->hasForward())
            fight.stepInHistory(true);
        QList<int> ends{headerSize};
        for (int i = 0; i < history()->getEventCount(); i++)
            ends.append(ends.last() + history()->getEvent(i)->getStreamSize());
        const QByteArray log = TestSupport::readFile(world.logPath()).left(ends.last());
        QMap<int, QString> replayed;
        for (int end : ends) {
            QVERIFY(TestSupport::writeFile(world.logPath(), log.left(end) + QByteArray(2, '\0')));
            QVERIFY(world.restart([&fight] { fight.enterEncounter(); }));
            replayed[end] = world.describe();
        }
        for (int cut = 0; cut <= log.size(); cut++) {
            QVERIFY(TestSupport::writeFile(world.logPath(), log.left(cut)));
            world.restart([&fight] { fight.enterEncounter(); });
            const int whole = *std::prev(std::upper_bound(ends.begin(), ends.end(), qMax(cut, ends.first())));
            const QString after = world.describe();
            QVERIFY2(after == replayed[whole], qPrintable(TestWorld::difference(replayed[whole], after)));
            QVERIFY(world.record(new DamageEvent("Hit", nullptr, Creature::getCreatureByName("Hero 1", false), 1,
                                                 "", history()->getStream(false))));
        }
    }
    // Two heroes tie on the roll; one's bonus typed after the start must not break the tie anew at replay,
    // and an unknown bonus ranks as none.
    // A start record without figures (a damaged or older log) leaves the heroes the action points of their
    // files; a spend recorded on it counts as used all the same.
    void actionPointsUsedOnAStartWithoutFigures()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        Creature* aldric = world.addHero("Aldric", 30);
        world.addMonster("Goblin", "1", 25);
        enter();
        writeRawRecord(Event::StartEncounterType, [](ObjectStream* s) {
            InitiativeList{{"Aldric", 18, 1}}.write(s);
            InitiativeList{{"Goblin", 5, 2}}.write(s);
            s->write(ID_START_ENCOUNTER_EVENT_END);
        });
        QVERIFY(world.restart(enter));
        aldric = world.find("Aldric");
        command(world, [aldric](ObjectStream* s) { return new UseActionPointEvent(aldric, -1, s); });
        QCOMPARE(aldric->getActionPointsUsed(), 1);
        CreatureVitality none = aldric->getVitality();
        none.initActionPoints = none.actionPoints = 0;
        aldric->setVitality(none);
        encounter()->writeVitalityChanges(world.stream());
        checkReplay(world);
    }

    void typedBonusKeepsTheOrder_data()
    {
        QTest::addColumn<int>("aldricBonus");
        QTest::addColumn<int>("brennaBonus");
        QTest::addColumn<QString>("first");
        QTest::newRow("equal bonuses") << 2 << 2 << "Aldric";
        QTest::newRow("an unknown bonus") << int(UnknownValue) << 1 << "Brenna";
    }
    void typedBonusKeepsTheOrder()
    {
        QFETCH(int, aldricBonus);
        QFETCH(int, brennaBonus);
        QFETCH(QString, first);
        RecordingUiHooks hooks;
        TestWorld world;
        for (const auto& [name, bonus] : {qMakePair(QString("Aldric"), aldricBonus), qMakePair(QString("Brenna"), brennaBonus)}) {
            Creature* hero = world.addHero(name, 30);
            TestWorld::giveInitiativeBonus(hero, bonus);
        }
        const auto enterBoth = [] {
            encounter()->setCreatureList(CreatureList(
                {Creature::getCreatureByName("Aldric", true), Creature::getCreatureByName("Brenna", true)}));
        };
        enterBoth();
        command(world, [](ObjectStream* s) {
            return new StartEncounterEvent({{"Aldric", 15, 1}, {"Brenna", 15, 1}}, {}, s);
        });
        QCOMPARE(encounter()->getCreature(0)->getName(), first);
        encounter()->getCreature(1)->setInitBonus(9);
        encounter()->setCreatureEdited();
        nextTurn(world);
        checkReplay(world, enterBoth);
        QCOMPARE(encounter()->getCreature(0)->getName(), first);
    }
    // Short fights that once left the live model other than its log replayed: an undo that did not put back what
    // its apply changed, or a redo that built on figures the log never held.
    void replayEqualsTheLiveFight_data()
    {
        QTest::addColumn<bool>("started");
        QTest::addColumn<Fight>("fight");
        // Stepped back to the creature's turn, the game master sets the flag again, then takes it back.
        for (bool delay : {true, false})
            QTest::newRow(delay ? "an undone second delay leaves the first" : "an undone second ready leaves the first")
                << true << Fight([delay](TestWorld& world, Creature* aldric) {
                       const EventMaker flag = [aldric, delay](ObjectStream* s) -> Event* {
                           return delay ? static_cast<Event*>(new DelayEvent(aldric, s)) : new ReadyEvent(aldric, s);
                       };
                       command(world, flag);
                       nextTurn(world);
                       history()->back();
                       command(world, flag);
                       history()->back();
                       QVERIFY(delay ? aldric->isDelayed() : aldric->isReady());
                       history()->truncate();
                   });
        QTest::newRow("an undone start keeps the rested before-values") << false << Fight([](TestWorld& world, Creature*) {
            Creature* goblin = world.find("Goblin (1)");
            command(world, [goblin](ObjectStream* s) { return new ExtendedRestEvent({goblin}, s); });
            const CreatureState rested = goblin->getState();
            start(world);
            history()->back();
            QCOMPARE(goblin->getState(), rested);
            history()->truncate();
        });
        // Edited by hand where the damage was undone; redone on top, the edit would never reach the log. Recorded, it
        // ends the undone events, so the game master is asked first; kept, they are redone once the edit is taken back.
        for (int row = 0; row < 4; row++)
            QTest::addRow("a %s forward with a hand edit %s", row % 2 ? "jump" : "step",
                          row < 2 ? "records it when agreed" : "keeps the undone events when refused")
                << true << Fight([jump = row % 2 == 1, agreed = row < 2](TestWorld& world, Creature* aldric) {
                       auto& hooks = dynamic_cast<RecordingUiHooks&>(Global::ui());
                       hooks.questionAnswer = agreed;
                       hit(world, aldric);
                       if (jump) {
                           nextTurn(world);
                           history()->goTo(0);
                       } else {
                           history()->back();
                       }
                       aldric->setCurrHitPoints(12);
                       encounter()->setCreatureEdited();
                       const auto forward = [jump] { jump ? history()->goTo(2) : history()->forward(false); };
                       forward();
                       QCOMPARE(hooks.questions.size(), 1);
                       QVERIFY2(hooks.questions[0].text.contains("<b>Aldric</b>"), qPrintable(hooks.questions[0].text));
                       QCOMPARE(aldric->getCurrHitPoints(), 12);
                       QCOMPARE(history()->getCurrentIndex(), int(agreed));
                       if (agreed) {
                           QCOMPARE(TestWorld::eventClass(history()->getCurrentEvent()), "SetVitalityEvent");
                           QVERIFY(!history()->hasForward());
                           return;
                       }
                       aldric->setCurrHitPoints(30);
                       forward();
                       QCOMPARE(history()->getCurrentIndex(), jump ? 2 : 1);
                       QCOMPARE(hooks.questions.size(), 1);
                   });
        // The game master corrects a hero hit outside the fight; a 0-point hit after it takes no hit points.
        QTest::newRow("a hand-corrected hero at 0 stays stable") << false << Fight([](TestWorld& world, Creature* aldric) {
            command(world, [aldric](ObjectStream* s) { return new DamageEvent("Hit", nullptr, aldric, 10, "", s); });
            CreatureVitality corrected = aldric->getVitality();
            corrected.maxHitPoints = 8;
            corrected.hitPoints = 0;
            aldric->setVitality(corrected);
            encounter()->setCreatureEdited();
            command(world, [aldric](ObjectStream* s) { return new DamageEvent("Hit", nullptr, aldric, 0, "", s); });
            QVERIFY(aldric->isStabilized());
        });
        // The refused record may have gone over the undone hit's; replayed, the hit would come back.
        QTest::newRow("a refused command after a step back ends the log there") << true << Fight([](TestWorld& world, Creature* aldric) {
            hit(world, aldric);
            history()->back();
            QVERIFY(refused([aldric](ObjectStream* s) { return new DamageEvent("Hit", nullptr, aldric, 5, "", s); }));
            QVERIFY(!history()->hasForward());
        });
        // With the maximum lowered after it, the hit would leave him dead at replay, outside the default list.
        QTest::newRow("an extended rest rests whom it rested") << false << Fight([](TestWorld& world, Creature* aldric) {
            command(world, [aldric](ObjectStream* s) { return new DamageEvent("Hit", nullptr, aldric, 20, "", s); });
            command(world, [](ObjectStream* s) { return new ExtendedRestEvent({}, s); });
            QCOMPARE(aldric->getDamageTaken(), 0);
            CreatureVitality lowered = aldric->getVitality();
            lowered.maxHitPoints = lowered.hitPoints = 8;
            aldric->setVitality(lowered);
            encounter()->writeVitalityChanges(world.stream());
        });
        // The point spent in the last encounter is not shown as used in the next one: his figures end "AP 0".
        QTest::newRow("a used action point ends with its encounter") << true << Fight([](TestWorld& world, Creature* aldric) {
            command(world, [aldric](ObjectStream* s) { return new UseActionPointEvent(aldric, -1, s); });
            QVERIFY(aldric->getHealthForPlayers(false).endsWith("</b>0/1"));
            command(world, [](ObjectStream* s) { return new StopEncounterEvent(s, false); });
            start(world);
            QVERIFY2(aldric->getHealthForPlayers(false).endsWith("</b>0"), qPrintable(aldric->getHealthForPlayers(false)));
        });
        // Applies and undos that only put recorded figures back are no hand edits: back to just after the rest,
        // whose cleared before-values differ from the figures, and forward again.
        QTest::newRow("steps back and forward still redo") << false << Fight([](TestWorld& world, Creature* aldric) {
            command(world, [aldric](ObjectStream* s) { return new ExtendedRestEvent({aldric}, s); });
            start(world);
            aldric->setCurrHitPoints(12);
            encounter()->setCreatureEdited();
            hit(world, aldric);
            QCOMPARE(history()->getEventCount(), 4);
            const QString live = world.describe();
            while (history()->getCurrentIndex() > 0)
                history()->back();
            while (history()->hasForward())
                history()->forward(false);
            QCOMPARE(history()->getEventCount(), 4);
            QCOMPARE(world.describe(), live);
        });
    }
    void replayEqualsTheLiveFight()
    {
        QFETCH(bool, started);
        QFETCH(Fight, fight);
        RecordingUiHooks hooks;
        TestWorld world;
        Creature* aldric = world.addHero("Aldric", 30);
        world.addMonster("Goblin", "1", 25);
        enter();
        if (started)
            start(world);
        fight(world, aldric);
        checkReplay(world);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestHistory)
#include "test_history.moc"
