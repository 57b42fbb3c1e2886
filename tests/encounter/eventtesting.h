#ifndef EVENTTESTING_H
#define EVENTTESTING_H

// What the event tests share: two heroes and two goblins in the encounter of
// a test world, a picture of everything an event may change that tells what
// changed, the check that an event survives undo, redo and a replay of the
// log, and the table-driven cases built on that check.

#include <QFileInfo>
#include <QMap>
#include <QtTest>

#include <functional>
#include <memory>

#include "creature/effect.h"
#include "encounter/encounter.h"
#include "encounter/event.h"
#include "foundation/global.h"
#include "encounter/history.h"
#include "foundation/objectstream.h"
#include "support/testworld.h"

using World = QMap<QString, QString>;
using EventMaker = std::function<Event*(ObjectStream*)>;

// What a recorded event says of itself, to compare with its replayed twin.
struct EventFace
{
    QString className;
    int size = 0;
    QString text;
    QString playersText;
    bool players = false;

    explicit EventFace(Event* event)
        : className(event->metaObject()->className()), size(event->getStreamSize()),
          text(event->getDescription(false)), playersText(event->getDescription(true)),
          players(event->isPlayersEvent())
    {
    }
};

// One event to record: what it is written as, how it reads and what it changes.
struct RecordedCase
{
    const char* name;
    std::function<void()> prepare; // may be empty
    EventMaker make;
    QList<int> items;
    QStringList names;
    QString text;
    QString playersText;
    bool players;
    QStringList changes;
};

class EventFixture
{
public:
    Creature* aldric = nullptr;
    Creature* brenna = nullptr;
    Creature* goblin1 = nullptr;
    Creature* goblin2 = nullptr;
    // The last record checked: the ids of its items, creature references
    // left out, and the names those references give.
    QList<int> recordItems;
    QStringList recordNames;

    void setUp()
    {
        testWorld = std::make_unique<TestWorld>();
        aldric = testWorld->addHero("Aldric", 30);
        setFigures({aldric, 2, 30, 30, 8, 6, 7, 1, 1});
        brenna = testWorld->addHero("Brenna", 24);
        setFigures({brenna, UnknownValue, 24, 20, 6, 2, 6, 1, 1});
        goblin1 = testWorld->addMonster("Goblin", "1", 20);
        setFigures({goblin1, 1, 20, 20, 0, 0, 5, 0, 0});
        goblin2 = testWorld->addMonster("Goblin", "2", 20);
        setFigures({goblin2, 1, 20, 20, 0, 0, 5, 0, 0});
        // "Sneak" is what the players see of the second goblin.
        goblin2->setAlias("Sneak");
        goblin2->setShowAlias(true);
        Global::encounter->setCreatureList(CreatureList({aldric, brenna, goblin1, goblin2}));
    }

    void tearDown() { testWorld.reset(); }

    QList<Creature*> creatures() const { return {aldric, brenna, goblin1, goblin2}; }

    // Everything an event may change, by "creature.field". The damage order
    // number is left out: it counts every blow, a redone one too.
    World world() const
    {
        World w;
        const EncounterState state = Global::encounter->getState();
        w["encounter.round"] = QString::number(state.round);
        w["encounter.current"] = QString::number(state.currentIndex);
        w["encounter.order"] = Global::encounter->list().getNameList();
        QStringList dead;
        for (Creature* c : state.dead)
            dead.append(c->getNameGroup());
        dead.sort();
        w["encounter.dead"] = dead.join(", ");
        for (Creature* c : creatures()) {
            const CreatureState s = c->getState();
            const CreatureVitality v = c->getVitality();
            const QString name = c->getNameGroup() + ".";
            const QList<std::pair<const char*, int>> numbers = {
                {"hp", s.hitPoints}, {"maxHp", v.maxHitPoints}, {"thp", s.tempHitPoints},
                {"hs", s.healingSurges}, {"maxHs", v.maxHealingSurges}, {"ap", s.actionPoints},
                {"apUsed", s.actionPointsUsed}, {"failedSaves", s.failedDeathSavingThrows},
                {"secondWind", s.secondWindUsed}, {"stabilized", s.stabilized}, {"delayed", s.delayed},
                {"ready", s.ready}, {"turns", s.endTurnCount}, {"taken", s.damageTaken},
                {"heals", s.healCount}, {"beforeHp", s.beforeHitPoints}, {"beforeHs", s.beforeHealingSurges},
                {"beforeAp", s.beforeActionPoints}, {"initRoll", c->getInitRoll()},
                {"initRandom", c->getInitRandom()}, {"initBonus", v.initBonus},
            };
            for (const auto& [key, value] : numbers)
                w[name + key] = QString::number(value);
            w[name + "attacker"] = s.lastAttacker;
            QStringList effects;
            for (Effect* effect : c->getEffects())
                effects.append(QString::number(effect->getEffectType()));
            w[name + "effects"] = effects.join(" ");
            w[name + "alias"] = c->getAlias();
            w[name + "showAlias"] = QString::number(c->isShowAlias());
            w[name + "hidden"] = QString::number(c->isHidden());
            const Powers& powers = c->getPowers();
            for (int i = 0; const CreaturePower* power = powers.getPower(i); i++)
                w[name + "usage." + power->name] = QString::number(power->usage);
        }
        return w;
    }

    // "key=value" of every field whose value differs in after, joined by "; ".
    static QString changes(const World& before, const World& after)
    {
        QStringList changed;
        for (auto it = after.begin(); it != after.end(); ++it)
            if (before.value(it.key()) != it.value())
                changed.append(it.key() + "=" + it.value());
        return changed.join("; ");
    }

    static qint64 logSize() { return QFileInfo(History::getLogPath()).size(); }

    // Builds the event on the log and hands it to the history. Checks the
    // record's place and size, that apply makes exactly the expected changes,
    // that undo and redo go back and forth between the two worlds, and that
    // the event read back from the log, after everything was undone, is the
    // same event and leads to the same world. False once a check failed.
    bool checkRecordedEvent(const EventMaker& make, const QStringList& expectedChanges)
    {
        compareRecordedEvent(make, expectedChanges);
        return !QTest::currentTestFailed();
    }

    // One "row" per case, for a _data slot that pairs with checkCaseRow.
    static void addCaseRows(const QList<RecordedCase>& cases)
    {
        QTest::addColumn<int>("row");
        for (int i = 0; i < cases.size(); i++)
            QTest::newRow(cases[i].name) << i;
    }

    // Prepares and records the event of the current row's case, then
    // compares the record and the descriptions with the case. False once a
    // check failed.
    bool checkCaseRow(const QList<RecordedCase>& cases)
    {
        QFETCH(int, row);
        compareCase(cases.at(row));
        return !QTest::currentTestFailed();
    }

private:
    void compareCase(const RecordedCase& c)
    {
        if (c.prepare)
            c.prepare();
        if (!checkRecordedEvent(c.make, c.changes))
            return;
        QCOMPARE(recordItems, c.items);
        QCOMPARE(recordNames, c.names);
        Event* event = Global::history->getCurrentEvent();
        QCOMPARE(event->getDescription(false), c.text);
        QCOMPARE(event->getDescription(true), c.playersText);
        QCOMPARE(event->isPlayersEvent(), c.players);
    }

    void compareRecordedEvent(const EventMaker& make, const QStringList& expectedChanges)
    {
        const World before = world();
        ObjectStream* stream = Global::history->getStream(false);
        QVERIFY(stream);
        const int start = stream->getOffset();
        Event* event = make(stream);
        QCOMPARE(stream->getOffset(), start);
        // The record, then the two-byte end marker.
        QCOMPARE(logSize(), qint64(start) + event->getStreamSize() + 2);
        readRecord(stream, event->getStreamSize());
        const EventFace face(event);

        QVERIFY(Global::history->apply(event, false));
        const World after = world();
        QCOMPARE(changes(before, after), expectedChanges.join("; "));
        Global::history->back();
        QCOMPARE(changes(world(), before), QString());
        Global::history->forward(false);
        QCOMPARE(changes(world(), after), QString());

        const int count = Global::history->getEventCount();
        while (Global::history->hasBack())
            Global::history->back();
        QVERIFY(Global::history->rootChanged());
        QCOMPARE(Global::history->getEventCount(), count);
        QCOMPARE(changes(world(), after), QString());
        const EventFace replayed(Global::history->getCurrentEvent());
        QCOMPARE(replayed.className, face.className);
        QCOMPARE(replayed.size, face.size);
        QCOMPARE(replayed.text, face.text);
        QCOMPARE(replayed.playersText, face.playersText);
        QCOMPARE(replayed.players, face.players);
    }

    // As a creature file gives them: the figures are also the last recorded ones.
    static void setFigures(const CreatureVitality& vitality)
    {
        vitality.creature->setVitality(vitality);
        vitality.creature->setBeforeVitality(vitality);
    }

    void readRecord(ObjectStream* stream, int size)
    {
        recordItems.clear();
        recordNames.clear();
        const int start = stream->getOffset();
        while (stream->getOffset() < start + size) {
            const StreamItem item = stream->read();
            if (item.getID() == ID_CREATURE_NAME)
                recordNames.append(item.toString());
            else if (item.getID() < ID_CREATURE_LIST_END || item.getID() > ID_CREATURE_END)
                recordItems.append(item.getID());
        }
        stream->setOffset(start);
    }

    std::unique_ptr<TestWorld> testWorld;
};

#endif
