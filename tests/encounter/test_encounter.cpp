#include <QGuiApplication>

#include <utility>

#include "encounter/encounter.h"
#include "encounter/encountertesting.h"
#include "foundation/global.h"
#include "encounter/history.h"
#include "foundation/objectstream.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

QString nameOf(Creature* creature)
{
    return creature ? creature->getNameGroup() : QString();
}

// The encounter's signals in the order they came.
class SignalLog
{
public:
    explicit SignalLog(Encounter* encounter)
    {
        QObject::connect(encounter, &Encounter::doCreatureSelectionChanged, &context,
                         [this] { received.append("selection"); });
        QObject::connect(encounter, &Encounter::doCurrentCreatureChanged, &context,
                         [this] { received.append("current"); });
        QObject::connect(encounter, &Encounter::doCreatureCountChanged, &context,
                         [this] { received.append("count"); });
    }

    QStringList take() { return std::exchange(received, {}); }

private:
    QStringList received;
    QObject context;
};

class ButtonHooks : public RecordingUiHooks
{
public:
    void toggleStartStopNextButtons() override { startStop++; }
    int startStop = 0;
};

EncounterState stateOf(int round, int current, const QSet<Creature*>& dead = {})
{
    EncounterState state;
    state.round = round;
    state.currentIndex = current;
    state.dead = dead;
    return state;
}

void kill(Creature* creature)
{
    creature->setCurrHitPoints(creature->isHero() ? -creature->getBloodiedValue() : 0);
}

void makeTrap(Creature* creature)
{
    CreatureStats stats = creature->getStats();
    stats.trap = true;
    creature->setStats(stats);
}

}

class TestEncounter : public QObject
{
    Q_OBJECT

private:
    // Heroes A, B, C and D in the encounter, in that order.
    QList<Creature*> fourHeroes(TestWorld& world)
    {
        QList<Creature*> heroes;
        for (const char* name : {"A", "B", "C", "D"})
            heroes.append(world.addHero(name, 30));
        Global::encounter->setCreatureList(CreatureList(heroes));
        return heroes;
    }

    // Hero Ana alone in the encounter.
    Creature* onlyAna(TestWorld& world)
    {
        Creature* ana = world.addHero("Ana", 30);
        Global::encounter->setCreatureList(CreatureList({ana}));
        return ana;
    }

private slots:
    void removingACreatureKeepsTheTurnOrder_data()
    {
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("removed");
        QTest::addColumn<int>("expectedCurrent");
        QTest::addColumn<int>("expectedRound");
        QTest::addColumn<QString>("acting");
        QTest::addColumn<QString>("next");
        QTest::addColumn<int>("nextRound");

        // The next turn always goes to the creature that followed the removed one.
        QTest::newRow("the first and acting one: back to the end of the last round")
            << 2 << 0 << 0 << 2 << 1 << "D" << "B" << 2;
        QTest::newRow("the acting one in the middle") << 2 << 2 << 2 << 1 << 2 << "B" << "D" << 2;
        QTest::newRow("the acting one at the end") << 2 << 3 << 3 << 2 << 2 << "C" << "A" << 3;
        QTest::newRow("one before the acting one") << 2 << 2 << 0 << 1 << 2 << "C" << "D" << 2;
        QTest::newRow("one after the acting one") << 2 << 1 << 3 << 1 << 2 << "B" << "C" << 2;
        QTest::newRow("while not running") << 0 << -1 << 0 << -1 << 0 << "" << "B" << 1;
        QTest::newRow("one that is not in the list") << 2 << 1 << -1 << 1 << 2 << "B" << "C" << 2;
    }

    void removingACreatureKeepsTheTurnOrder()
    {
        QFETCH(int, round);
        QFETCH(int, current);
        QFETCH(int, removed);
        QFETCH(int, expectedCurrent);
        QFETCH(int, expectedRound);
        QFETCH(QString, acting);
        QFETCH(QString, next);
        QFETCH(int, nextRound);
        RecordingUiHooks hooks;
        TestWorld world;
        Encounter* encounter = Global::encounter;
        QList<Creature*> heroes = fourHeroes(world);
        Creature* outsider = world.addHero("E", 30);
        encounter->setState(stateOf(round, current));
        SignalLog log(encounter);
        hooks.rightStatus.clear();

        encounter->removeCreature(removed < 0 ? outsider : heroes[removed]);

        QCOMPARE(log.take(), QStringList({"current", "count"}));
        QCOMPARE(encounter->getCreatureCount(), removed < 0 ? 4 : 3);
        QCOMPARE(encounter->getCurrentIndex(), expectedCurrent);
        QCOMPARE(encounter->getRound(), expectedRound);
        QCOMPARE(nameOf(encounter->getCurrentCreature()), acting);
        QCOMPARE(nameOf(encounter->getNextCreature()), next);
        QCOMPARE(encounter->getNextState().round, nextRound);
        if (expectedRound != round)
            QCOMPARE(hooks.rightStatus.last(), QString("<b>Round</b> %1").arg(expectedRound));
    }

    void removingTheLastCreatureEndsTheEncounter()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        Encounter* encounter = Global::encounter;
        Creature* ana = onlyAna(world);
        encounter->setState(stateOf(3, 0));
        QCOMPARE(hooks.rightStatus.last(), QString("<b>Round</b> 3"));
        kill(ana);

        encounter->removeCreature(ana);

        QCOMPARE(encounter->getCurrentIndex(), -1);
        QVERIFY(!encounter->isRunning());
        QCOMPARE(encounter->getRound(), 2);
        QCOMPARE(hooks.rightStatus.last(), QString());
        // It left an encounter that no longer runs.
        QVERIFY(encounter->getState().dead.isEmpty());
    }

    void removingSeveralNotifiesOnce()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        Encounter* encounter = Global::encounter;
        QList<Creature*> heroes = fourHeroes(world);
        encounter->setState(stateOf(1, 2));
        encounter->setSelectedCreatures({heroes[0], heroes[1]});
        SignalLog log(encounter);

        encounter->removeCreatures({heroes[3], heroes[0]});

        QCOMPARE(log.take(), QStringList({"selection", "current", "count"}));
        QCOMPARE(encounter->getCreatureList().getNameList(), QString("B, C"));
        QCOMPARE(nameOf(encounter->getCurrentCreature()), QString("C"));
        QCOMPARE(names(encounter->getSelectedCreatures()), QString("B"));
    }

    void deadCreaturesLeavingARunningEncounterAreKept_data()
    {
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("kept");

        QTest::newRow("dead monster, running") << true << "dead monster" << true;
        QTest::newRow("dead monster, not running") << false << "dead monster" << false;
        QTest::newRow("living monster") << true << "living monster" << false;
        QTest::newRow("monster killed by damage not yet committed") << true << "pending kill" << true;
        QTest::newRow("dead hero") << true << "dead hero" << true;
        QTest::newRow("dying hero") << true << "dying hero" << false;
    }

    void deadCreaturesLeavingARunningEncounterAreKept()
    {
        QFETCH(bool, running);
        QFETCH(QString, subject);
        QFETCH(bool, kept);
        RecordingUiHooks hooks;
        TestWorld world;
        Encounter* encounter = Global::encounter;
        Creature* ana = world.addHero("Ana", 30);
        Creature* creature = subject.endsWith("hero") ? world.addHero("Bo", 30) : world.addMonster("Orc", "1", 20);
        if (subject.startsWith("dead"))
            kill(creature);
        else if (subject == "dying hero")
            creature->setCurrHitPoints(0);
        else if (subject == "pending kill")
            creature->setDeltaCurrHealth(-25, 0, 0);
        encounter->setCreatureList(CreatureList({ana, creature}));
        encounter->setState(stateOf(running ? 1 : 0, running ? 0 : -1));

        encounter->removeCreature(creature);

        QCOMPARE(encounter->getState().dead.contains(creature), kept);
        QCOMPARE(encounter->getState().dead.size(), kept ? 1 : 0);
    }

    void resetEmptiesTheEncounter()
    {
        ButtonHooks hooks;
        TestWorld world;
        Encounter* encounter = Global::encounter;
        QList<Creature*> heroes = fourHeroes(world);
        Creature* orc = world.addMonster("Orc", "1", 20);
        kill(orc);
        EncounterEntry entry;
        entry.name = "Bridge";
        entry.description = "At the ford";
        entry.level = 3;
        entry.xp = 600;
        encounter->setEntry(entry);
        encounter->setState(stateOf(2, 1, {orc}));
        SignalLog log(encounter);

        encounter->reset();

        QCOMPARE(log.take(), QStringList({"current", "count"}));
        // The dead set too: its creatures may be deleted once the data folder changes.
        QVERIFY(encounter->getState() == EncounterState());
        QVERIFY(!encounter->isRunning());
        QCOMPARE(encounter->getCreatureCount(), 0);
        const EncounterEntry cleared = encounter->getEntry();
        QCOMPARE(cleared.name, QString());
        QCOMPARE(cleared.description, QString());
        QCOMPARE(cleared.level, 0);
        QCOMPARE(cleared.xp, 0);
        QCOMPARE(hooks.leftStatus.last(), QString());
        QCOMPARE(hooks.rightStatus.last(), QString());
        QCOMPARE(hooks.startStop, 1);
    }

    void nextState_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("nextIndex");
        QTest::addColumn<int>("nextRound");

        QTest::newRow("at the last of three the round goes on") << 3 << 1 << 2 << 0 << 2;
        QTest::newRow("in the middle") << 3 << 1 << 1 << 2 << 1;
        QTest::newRow("at the first") << 3 << 4 << 0 << 1 << 4;
        QTest::newRow("not running") << 3 << 0 << -1 << 0 << 1;
        QTest::newRow("empty list") << 0 << 0 << -1 << 0 << 1;
    }

    void nextState()
    {
        QFETCH(int, count);
        QFETCH(int, round);
        QFETCH(int, current);
        QFETCH(int, nextIndex);
        QFETCH(int, nextRound);
        RecordingUiHooks hooks;
        TestWorld world;
        Encounter* encounter = Global::encounter;
        QList<Creature*> creatures;
        for (int i = 0; i < count; i++)
            creatures.append(world.addHero(QString("Hero%1").arg(i), 30));
        encounter->setCreatureList(CreatureList(creatures));
        Creature* gone = world.addMonster("Orc", "1", 20);
        encounter->setState(stateOf(round, current, {gone}));

        const EncounterState next = encounter->getNextState();

        QCOMPARE(next.currentIndex, nextIndex);
        QCOMPARE(next.round, nextRound);
        QCOMPARE(next.dead, QSet<Creature*>({gone}));
        QCOMPARE(encounter->getNextIndex(), nextIndex);
        QCOMPARE(encounter->getNextCreature(), creatures.value(nextIndex));
        // Only a copy: the encounter itself stays.
        QCOMPARE(encounter->getCurrentIndex(), current);
        QCOMPARE(encounter->getRound(), round);
    }

    void adjustInitiative_data()
    {
        QTest::addColumn<QString>("moved");
        QTest::addColumn<int>("places");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("order");
        QTest::addColumn<int>("expectedCurrent");

        QTest::newRow("first up: changes places with the last") << "A" << -1 << 0 << "C, B, A" << 2;
        QTest::newRow("middle up") << "B" << -1 << 2 << "B, A, C" << 2;
        QTest::newRow("last down: changes places with the first") << "C" << 1 << 1 << "C, B, A" << 1;
        QTest::newRow("first down") << "A" << 1 << 1 << "B, A, C" << 0;
        QTest::newRow("up by more than the count") << "A" << -4 << -1 << "C, B, A" << -1;
        QTest::newRow("down by the count stays") << "B" << 3 << 0 << "A, B, C" << 0;
        QTest::newRow("two down together") << "A,B" << 1 << 2 << "C, A, B" << 0;
    }

    void adjustInitiative()
    {
        QFETCH(QString, moved);
        QFETCH(int, places);
        QFETCH(int, current);
        QFETCH(QString, order);
        QFETCH(int, expectedCurrent);
        RecordingUiHooks hooks;
        TestWorld world;
        Encounter* encounter = Global::encounter;
        QList<Creature*> creatures;
        for (const char* name : {"A", "B", "C"})
            creatures.append(world.addHero(name, 30));
        encounter->setCreatureList(CreatureList(creatures));
        encounter->setState(stateOf(current < 0 ? 0 : 1, current));
        Creature* acting = encounter->getCurrentCreature();
        QList<Creature*> movedCreatures;
        for (const QString& name : moved.split(','))
            movedCreatures.append(world.find(name));
        SignalLog log(encounter);

        encounter->adjustInitiative(movedCreatures, places);

        QCOMPARE(encounter->getCreatureList().getNameList(), order);
        QCOMPARE(encounter->getCurrentIndex(), expectedCurrent);
        QCOMPARE(encounter->getCurrentCreature(), acting);
        QCOMPARE(log.take(), QStringList({"current", "count"}));
    }

    void movingBeforeOrAfterACreature_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("before");
        QTest::addColumn<QString>("order");

        QTest::newRow("first before the last") << 0 << 3 << true << "B, C, A, D";
        QTest::newRow("last before the first") << 3 << 0 << true << "D, A, B, C";
        QTest::newRow("first after the last") << 0 << 3 << false << "B, C, D, A";
        QTest::newRow("last after the first") << 3 << 0 << false << "A, D, B, C";
        QTest::newRow("before its follower: stays") << 1 << 2 << true << "A, B, C, D";
        QTest::newRow("after its predecessor: stays") << 2 << 1 << false << "A, B, C, D";
    }

    void movingBeforeOrAfterACreature()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, before);
        QFETCH(QString, order);
        RecordingUiHooks hooks;
        TestWorld world;
        fourHeroes(world);
        SignalLog log(Global::encounter);

        int at = before ? Encounter::getIndexBefore(from, to) : Encounter::getIndexAfter(from, to);
        Global::encounter->moveCreature(from, at);

        QCOMPARE(Global::encounter->getCreatureList().getNameList(), order);
        QCOMPARE(log.take(), QStringList());
    }

    void targetCreatures_data()
    {
        QTest::addColumn<QString>("origin");
        QTest::addColumn<int>("applyTo");
        QTest::addColumn<bool>("running");
        QTest::addColumn<QString>("targets");

        const QString everyone = "Aldric, Goblin (1), Brenna, Goblin (2)";
        QTest::newRow("unset") << "Goblin (1)" << int(Power::ApplyUnset) << true << everyone;
        QTest::newRow("any creature") << "" << int(Power::AnyCreature) << true << everyone;
        QTest::newRow("enemy of a monster") << "Goblin (1)" << int(Power::Enemy) << true << "Aldric, Brenna";
        QTest::newRow("enemy of a hero") << "Aldric" << int(Power::Enemy) << true << "Goblin (1), Goblin (2)";
        QTest::newRow("enemy without origin") << "" << int(Power::Enemy) << true << everyone;
        QTest::newRow("ally of a monster") << "Goblin (1)" << int(Power::Ally) << true << "Goblin (1), Goblin (2)";
        QTest::newRow("ally without origin") << "" << int(Power::Ally) << true << everyone;
        QTest::newRow("ally and self") << "Aldric" << int(Power::AllyAndSelf) << true << "Aldric, Brenna";
        QTest::newRow("other ally") << "Aldric" << int(Power::OtherAlly) << true << "Brenna";
        QTest::newRow("other ally of a monster") << "Goblin (2)" << int(Power::OtherAlly) << true << "Goblin (1)";
        QTest::newRow("other ally without origin") << "" << int(Power::OtherAlly) << true << everyone;
        QTest::newRow("other ally of one outside") << "Cora" << int(Power::OtherAlly) << true << "Aldric, Brenna";
        QTest::newRow("self") << "Goblin (2)" << int(Power::Self) << true << "Goblin (2)";
        QTest::newRow("self without origin") << "" << int(Power::Self) << true << "";
        QTest::newRow("current creature") << "Aldric" << int(Power::CurrentCreature) << true << "Brenna";
        QTest::newRow("current creature, not running") << "Aldric" << int(Power::CurrentCreature) << false << "";
        QTest::newRow("targets") << "Aldric" << int(Power::Targets) << true << "";
        QTest::newRow("no target") << "" << int(Power::NoTarget) << true << "";
        QTest::newRow("not trackable") << "" << int(Power::NotTrackable) << true << "";
    }

    void targetCreatures()
    {
        QFETCH(QString, origin);
        QFETCH(int, applyTo);
        QFETCH(bool, running);
        QFETCH(QString, targets);
        RecordingUiHooks hooks;
        TestWorld world;
        Creature* aldric = world.addHero("Aldric", 30);
        Creature* brenna = world.addHero("Brenna", 30);
        world.addHero("Cora", 30);
        Creature* goblin1 = world.addMonster("Goblin", "1", 20);
        Creature* goblin2 = world.addMonster("Goblin", "2", 20);
        Global::encounter->setCreatureList(CreatureList({aldric, goblin1, brenna, goblin2}));
        Global::encounter->setState(stateOf(running ? 1 : 0, running ? 2 : -1));

        Creature* from = origin.isEmpty() ? nullptr : world.find(origin);
        QList<Creature*> result = Global::encounter->getTargetCreatures(from, Power::ApplyTo(applyTo));

        QCOMPARE(names(result), targets);
    }

    void originCreatures()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        Creature* bob = world.addHero("bob", 30);
        Creature* alice = world.addHero("Alice", 30);
        Creature* zed = world.addHero("Zed", 30);
        Creature* orc2 = world.addMonster("Orc", "2", 20);
        Creature* orc10 = world.addMonster("Orc", "10", 20);
        Creature* goblin = world.addMonster("Goblin", "1", 20);
        Global::encounter->setCreatureList(CreatureList({orc2, bob, goblin, alice, orc10, zed, alice}));

        // Code-unit order: capitals first, and "10" before "2".
        QCOMPARE(names(Global::encounter->getOriginCreatures()),
                 QString("Alice, Zed, bob, Goblin (1), Orc (10), Orc (2)"));
    }

    void visibleForPlayers()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        Encounter* encounter = Global::encounter;
        Creature* aldric = world.addHero("Aldric", 30);
        Creature* brenna = world.addHero("Brenna", 30);
        brenna->setHidden(true);
        Creature* living = world.addMonster("Goblin", "1", 20);
        Creature* slain = world.addMonster("Goblin", "2", 20);
        slain->applyDamage(20, aldric);
        Creature* hiddenSlain = world.addMonster("Goblin", "3", 20);
        hiddenSlain->applyDamage(20, aldric);
        hiddenSlain->setHidden(true);
        Creature* trap = world.addMonster("Pit", "1", 10);
        makeTrap(trap);
        Creature* slainTrap = world.addMonster("Pit", "2", 10);
        makeTrap(slainTrap);
        slainTrap->applyDamage(10, aldric);
        // Dead by what the game master is still typing, not by the committed figures.
        Creature* pending = world.addMonster("Goblin", "4", 20);
        pending->setDeltaCurrHealth(-20, 0, 0);
        encounter->setCreatureList(
            CreatureList({aldric, brenna, living, slain, hiddenSlain, trap, pending, slainTrap}));

        // Dead ones that left the list.
        Creature* gone = world.addMonster("Orc", "1", 20);
        gone->applyDamage(20, aldric);
        Creature* hiddenGone = world.addMonster("Orc", "2", 20);
        hiddenGone->applyDamage(20, aldric);
        hiddenGone->setHidden(true);
        Creature* goneTrap = world.addMonster("Snare", "1", 10);
        makeTrap(goneTrap);
        goneTrap->applyDamage(10, aldric);
        Creature* healed = world.addMonster("Orc", "3", 20);
        healed->applyDamage(5, aldric);
        Creature* deadHero = world.addHero("Cora", 30);
        kill(deadHero);
        const QSet<Creature*> dead{gone, hiddenGone, goneTrap, healed, deadHero};

        encounter->setState(stateOf(1, -1, dead));
        VisibleForPlayers stopped = encounter->getVisibleForPlayers();
        QCOMPARE(stopped.indexes, QList<int>({0}));
        QVERIFY(stopped.deadMonsters.isEmpty());

        encounter->setState(stateOf(1, 0, dead));
        VisibleForPlayers running = encounter->getVisibleForPlayers();
        QCOMPARE(running.indexes, QList<int>({0, 2, 6}));
        QMap<int, Creature*> expected{{slain->getDamageOrder(), slain},
                                      {gone->getDamageOrder(), gone},
                                      {goneTrap->getDamageOrder(), goneTrap}};
        QCOMPARE(running.deadMonsters, expected);
    }

    void deadMonstersWithTheSameDamageOrderShowOnce()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        Creature* first = world.addMonster("Goblin", "1", 20);
        Creature* second = world.addMonster("Goblin", "2", 20);
        // Killed without an attacker: neither got a damage order number.
        kill(first);
        kill(second);
        Global::encounter->setCreatureList(CreatureList({first, second}));
        Global::encounter->setState(stateOf(1, 0));

        QMap<int, Creature*> expected{{0, second}};
        QCOMPARE(Global::encounter->getVisibleForPlayers().deadMonsters, expected);
    }

    void selection()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        Encounter* encounter = Global::encounter;
        QList<Creature*> heroes = fourHeroes(world);
        Creature* a = heroes[0];
        Creature* b = heroes[1];
        Creature* c = heroes[2];
        Creature* outsider = world.addHero("E", 30);
        SignalLog log(encounter);
        const QStringList once{"selection"};

        encounter->selectCreature(2);
        encounter->selectCreature(0);
        encounter->selectCreature(2);
        encounter->selectCreature(9);
        QCOMPARE(log.take(), QStringList({"selection", "selection", "selection", "selection"}));
        QCOMPARE(names(encounter->getSelectedCreatures()), QString("C, A"));
        QCOMPARE(encounter->getSelectedIndexes(), QList<int>({0, 2}));
        QCOMPARE(encounter->getSelectedCreature(false), c);
        QCOMPARE(encounter->getSelectedCreature(true), nullptr);
        QVERIFY(encounter->isCreatureSelected(a) && !encounter->isCreatureSelected(b));

        encounter->toggleSelectedCreature(2);
        QCOMPARE(log.take(), once);
        QCOMPARE(encounter->getSelectedCreature(true), a);
        encounter->toggleSelectedCreature(1);
        QCOMPARE(log.take(), once);
        QCOMPARE(names(encounter->getSelectedCreatures()), QString("A, B"));

        encounter->removeSelectedCreature(c);
        QCOMPARE(log.take(), QStringList());
        encounter->setSelectedCreatures({b, a, b});
        QCOMPARE(log.take(), once);
        encounter->removeSelectedCreature(b);
        QCOMPARE(log.take(), once);
        QCOMPARE(encounter->getSelectedCreatures(), QList<Creature*>({a}));

        encounter->setSelectedCreatures({c, outsider, a});
        log.take();
        encounter->removeSelectedNotInEncounter();
        QCOMPARE(log.take(), QStringList());
        QCOMPARE(names(encounter->getSelectedCreatures()), QString("C, A"));

        encounter->clearSelectedCreatures();
        QCOMPARE(log.take(), once);
        QVERIFY(encounter->getSelectedCreatures().isEmpty());
        QCOMPARE(encounter->getSelectedCreature(false), nullptr);
        QVERIFY(encounter->getSelectedIndexes().isEmpty());
    }

    void roundText_data()
    {
        QTest::addColumn<int>("round");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("text");

        QTest::newRow("running") << 3 << 1 << "<b>Round</b> 3";
        QTest::newRow("stopped") << 3 << -1 << "";
        QTest::newRow("running before the first round") << 0 << 0 << "";
    }

    void roundText()
    {
        QFETCH(int, round);
        QFETCH(int, current);
        QFETCH(QString, text);
        RecordingUiHooks hooks;
        TestWorld world;
        fourHeroes(world);

        Global::encounter->setState(stateOf(round, current));

        QCOMPARE(hooks.rightStatus.last(), text);
    }

    void encounterText()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        Encounter* encounter = Global::encounter;
        fourHeroes(world);
        encounter->setState(stateOf(2, 1));
        const EncounterEntry entry = bridgeAmbush();
        hooks.rightStatus.clear();

        encounter->setEntry(entry);
        QCOMPARE(hooks.leftStatus.last(), QString("<b> Encounter</b> Bridge Ambush"));
        QCOMPARE(hooks.rightStatus.last(), QString("<b>Round</b> 2"));
        const EncounterEntry back = encounter->getEntry();
        QCOMPARE(back.name, entry.name);
        QCOMPARE(back.description, entry.description);
        QCOMPARE(back.level, 4);
        QCOMPARE(back.xp, 875);
        QCOMPARE(back.fileName, QString());
        QCOMPARE(back.adventure, QString());

        // Setting the index alone leaves the status bar as it is.
        const int shown = hooks.rightStatus.size();
        encounter->setCurrentIndex(-1);
        QCOMPARE(hooks.rightStatus.size(), shown);

        encounter->setEntry(EncounterEntry());
        QCOMPARE(hooks.leftStatus.last(), QString());
        QCOMPARE(hooks.rightStatus.last(), QString());
    }

    void handEditsAreRecordedOnlyWhenFlagged()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        Encounter* encounter = Global::encounter;
        Creature* ana = onlyAna(world);
        ObjectStream* stream = world.stream();
        // Setting up the hero may have raised the flag; nothing differs yet.
        encounter->writeVitalityChanges(stream);
        QCOMPARE(Global::history->getEventCount(), 0);
        const int offset = stream->getOffset();
        ana->setCurrHitPoints(12);

        encounter->writeVitalityChanges(stream);
        QCOMPARE(Global::history->getEventCount(), 0);
        QCOMPARE(stream->getOffset(), offset);

        encounter->setCreatureEdited();
        encounter->writeVitalityChanges(stream);
        QCOMPARE(Global::history->getEventCount(), 1);
        QCOMPARE(Global::history->getEventText(0), QString("Changed Ana: Curr HP 12"));

        // Once recorded, the figures are no longer an edit.
        encounter->setCreatureEdited();
        encounter->writeVitalityChanges(stream);
        QCOMPARE(Global::history->getEventCount(), 1);
    }

    void resetAllDeltasDropsPendingFigures()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        Creature* orc = world.addMonster("Orc", "1", 20);
        Creature* ana = world.addHero("Ana", 30);
        Global::encounter->setCreatureList(CreatureList({orc, ana}));
        orc->setDeltaCurrHealth(-7, 0, 0);
        ana->setDeltaCurrHealth(-3, 5, 0);

        Global::encounter->resetAllDeltas();

        QCOMPARE(orc->getCurrHitPoints(), 20);
        QCOMPARE(ana->getCurrHitPoints(), 30);
        QCOMPARE(ana->getTempHitPoints(), 0);
        QCOMPARE(orc->getHitPointDelta(), 0);
    }

    void readingOutOfRange()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        Encounter* encounter = Global::encounter;
        Creature* ana = world.addHero("Ana", 30);
        Creature* orc = world.addMonster("Orc", "1", 20);
        encounter->setCreatureList(CreatureList({orc, ana}));

        QCOMPARE(encounter->getCreature(-1), nullptr);
        QCOMPARE(encounter->getCreature(2), nullptr);
        QCOMPARE(encounter->getCreatureIndex(world.addHero("Bo", 30)), -1);
        QCOMPARE(encounter->getCurrentCreature(), nullptr);
        encounter->setCurrentIndex(5);
        QCOMPARE(encounter->getCurrentCreature(), nullptr);
        QCOMPARE(encounter->getMonsterCount(), 1);
        QCOMPARE(encounter->getMonsters(), QList<Creature*>({orc}));
        QCOMPARE(encounter->getHeros(), QList<Creature*>({ana}));
        QVERIFY(encounter->isHeroActive());
        kill(ana);
        QVERIFY(!encounter->isHeroActive());
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestEncounter)
#include "test_encounter.moc"
