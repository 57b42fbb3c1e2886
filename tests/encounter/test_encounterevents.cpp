#include <QGuiApplication>

#include "encounter/encounterevents.h"
#include "encounter/eventtesting.h"
#include "support/testsupport.h"

namespace {

// Counts the refreshes of the buttons that follow the encounter's state.
class ButtonHooks : public RecordingUiHooks
{
public:
    void toggleStartStopNextButtons() override { startStop++; }
    void toggleJumpInButton() override { jumpIn++; }

    int startStop = 0;
    int jumpIn = 0;
};

}

class TestEncounterEvents : public QObject
{
    Q_OBJECT

private:
    TemporaryHome home;
    ButtonHooks hooks;
    EventFixture fixture;

    static Encounter* encounter() { return Global::encounter; }
    static Event* current() { return Global::history->getCurrentEvent(); }

    static InitiativeList heroRolls() { return {{"Aldric", 12, 5}, {"Brenna", 18, 3}}; }
    // One item for the whole group: both goblins tie, and keep their order.
    static InitiativeList monsterRolls() { return {{"Goblin", 15, 7}}; }

    static EventMaker start()
    {
        return [](ObjectStream* s) { return new StartEncounterEvent(heroRolls(), monsterRolls(), s); };
    }

    static EventMaker nextTurn()
    {
        return [](ObjectStream* s) { return new NextTurnEvent(s, false); };
    }

    static EventMaker stop()
    {
        return [](ObjectStream* s) { return new StopEncounterEvent(s, false); };
    }

    static void record(const EventMaker& make)
    {
        Global::history->apply(make(Global::history->getStream(false)), false);
    }

    // The items of count figure records, creature references left out.
    static QList<int> vitalityItems(int count)
    {
        QList<int> items;
        for (int i = 0; i < count; i++)
            items += {ID_CREATURE_VITALITY_INIT_BONUS, ID_CREATURE_VITALITY_MAX_HP,   ID_CREATURE_VITALITY_CURR_HP,
                      ID_CREATURE_VITALITY_MAX_HS,     ID_CREATURE_VITALITY_CURR_HS,  ID_CREATURE_VITALITY_HS_VALUE,
                      ID_CREATURE_VITALITY_INIT_AP,    ID_CREATURE_VITALITY_CURR_AP,  ID_CREATURE_VITALITY_END};
        return items;
    }

    // In the order Brenna 18, the goblins 15, Aldric 12.
    static void startRunning() { record(start()); }

private slots:
    void init() { fixture.setUp(); }
    void cleanup() { fixture.tearDown(); }

    void startSortsByInitiative()
    {
        fixture.aldric->setInit({fixture.aldric, 3, 4});
        if (!fixture.checkRecordedEvent(start(),
                                        {"Aldric.initRandom=5", "Aldric.initRoll=12", "Brenna.initRandom=3",
                                         "Brenna.initRoll=18", "Goblin (1).initRandom=7", "Goblin (1).initRoll=15",
                                         "Goblin (2).initRandom=7", "Goblin (2).initRoll=15", "encounter.current=0",
                                         "encounter.order=Brenna, Goblin (1), Goblin (2), Aldric",
                                         "encounter.round=1"}))
            return;
        QCOMPARE(fixture.recordItems,
                 (QList<int>{ID_EVENT_TYPE, ID_CREATURE_INIT_LIST_SIZE, ID_CREATURE_INIT_NAME, ID_CREATURE_INIT_ROLL,
                             ID_CREATURE_INIT_RANDOM, ID_CREATURE_INIT_END, ID_CREATURE_INIT_NAME,
                             ID_CREATURE_INIT_ROLL, ID_CREATURE_INIT_RANDOM, ID_CREATURE_INIT_END,
                             ID_CREATURE_INIT_LIST_END, ID_CREATURE_INIT_LIST_SIZE, ID_CREATURE_INIT_NAME,
                             ID_CREATURE_INIT_ROLL, ID_CREATURE_INIT_RANDOM, ID_CREATURE_INIT_END,
                             ID_CREATURE_INIT_LIST_END, ID_CREATURE_VITALITY_LIST_SIZE}
                  + vitalityItems(4) + QList<int>{ID_CREATURE_VITALITY_LIST_END, ID_START_ENCOUNTER_EVENT_END}));
        // The figures travel with the creatures in the encounter's order at the start.
        QCOMPARE(fixture.recordNames, (QStringList{"Aldric", "Brenna", "Goblin (1)", "Goblin (2)"}));
        QCOMPARE(current()->getDescription(false), QString("* Start Encounter: Brenna *"));
        QVERIFY(!current()->isPlayersEvent());
        QVERIFY(current()->isStartEncounter());
    }

    void replayedStartInstallsRecordedFigures()
    {
        record(start());
        // The character file changed since the log was written.
        fixture.aldric->setVitality({fixture.aldric, 4, 40, 35, 9, 9, 10, 1, 1});

        QVERIFY(Global::history->rootChanged());
        QCOMPARE(fixture.aldric->getMaxHitPoints(), 30);
        QCOMPARE(fixture.aldric->getCurrHitPoints(), 30);
        QCOMPARE(fixture.aldric->getInitBonus(), 2);
        QCOMPARE(fixture.aldric->getBeforeVitality().hitPoints, 30);
        QVERIFY(fixture.aldric->isInHistory());
        // Undo goes back to the figures found when the record was read.
        Global::history->back();
        QCOMPARE(fixture.aldric->getMaxHitPoints(), 40);
        QCOMPARE(fixture.aldric->getCurrHitPoints(), 35);
    }

    void startFromOlderLogInstallsNoFigures()
    {
        ObjectStream* stream = Global::history->getStream(false);
        stream->mark();
        stream->write(ID_EVENT_TYPE, int(Event::StartEncounterType));
        heroRolls().write(stream);
        monsterRolls().write(stream);
        stream->write(ID_START_ENCOUNTER_EVENT_END);
        stream->setToMark();
        fixture.aldric->setVitality({fixture.aldric, 4, 40, 35, 9, 9, 10, 1, 1});

        QVERIFY(Global::history->rootChanged());
        QCOMPARE(Global::history->getEventCount(), 1);
        QCOMPARE(encounter()->list().getNameList(), QString("Brenna, Goblin (1), Goblin (2), Aldric"));
        QCOMPARE(fixture.aldric->getMaxHitPoints(), 40);
        QCOMPARE(fixture.aldric->getCurrHitPoints(), 35);
        QVERIFY(!fixture.aldric->isInHistory());
    }

    void nextTurnPassesTheTurn()
    {
        startRunning();
        if (!fixture.checkRecordedEvent(nextTurn(), {"Brenna.turns=1", "encounter.current=1"}))
            return;
        QCOMPARE(fixture.recordItems, (QList<int>{ID_EVENT_TYPE, ID_NEXT_TURN_EVENT_END}));
        QCOMPARE(current()->getDescription(false), QString("* Next Turn: Goblin (1) *"));
        QVERIFY(current()->isPlayersEvent());
        QVERIFY(!current()->isStartEncounter());
    }

    void nextTurnWrapsIntoNextRound()
    {
        startRunning();
        for (int i = 0; i < 3; i++)
            record(nextTurn());
        QCOMPARE(encounter()->getCurrentCreature(), fixture.aldric);
        // Brenna readied an action that she never took.
        fixture.brenna->setReady(true);
        const QStringList wrapped = {"Aldric.turns=1", "Brenna.ready=0", "encounter.current=0", "encounter.round=2"};
        if (!fixture.checkRecordedEvent(nextTurn(), wrapped))
            return;
        QCOMPARE(current()->getDescription(false), QString("* Next Turn: Brenna *"));
    }

    void nextTurnBeforeAnyTurnLeavesReadyFlag()
    {
        // No creature's turn ends when the turn passes before the encounter runs.
        fixture.aldric->setReady(true);
        if (!fixture.checkRecordedEvent(nextTurn(), {"encounter.current=0", "encounter.round=1"}))
            return;
        QCOMPARE(current()->getDescription(false), QString("* Next Turn: Aldric *"));
    }

    void nextTurnTowardHiddenCreature()
    {
        startRunning();
        fixture.goblin1->setHidden(true);
        record(nextTurn());
        QVERIFY(!current()->isPlayersEvent());
        QCOMPARE(current()->getDescription(false), QString("* Next Turn: Goblin (1) *"));
        // The players see "Sneak" take its turn.
        record(nextTurn());
        QVERIFY(current()->isPlayersEvent());
        QCOMPARE(current()->getDescription(true), QString("* Next Turn: \"Sneak\" *"));
        QCOMPARE(current()->getDescription(false), QString("* Next Turn: Goblin (2) *"));
    }

    void stopEndsTheEncounter()
    {
        startRunning();
        record(nextTurn());
        fixture.aldric->setTempHitPoints(4);
        fixture.aldric->setDelayed(true);
        fixture.goblin2->setReady(true);
        if (!fixture.checkRecordedEvent(stop(), {"Aldric.delayed=0", "Aldric.thp=0", "Goblin (2).ready=0",
                                                 "encounter.current=-1"}))
            return;
        QCOMPARE(fixture.recordItems, (QList<int>{ID_EVENT_TYPE, ID_STOP_ENCOUNTER_EVENT_END}));
        QCOMPARE(current()->getDescription(false), QString("* Stop Encounter *"));
        QCOMPARE(current()->getDescription(true), QString("* Stop Encounter *"));
        QVERIFY(current()->isPlayersEvent());
    }

    void stopKeepsRoundAndDeadAndUndoResumes()
    {
        startRunning();
        record(nextTurn());
        record(nextTurn());
        EncounterState running = encounter()->getState();
        running.dead.insert(fixture.goblin1);
        encounter()->setState(running);

        record(stop());
        QVERIFY(!encounter()->isRunning());
        QCOMPARE(encounter()->getRound(), 1);
        QCOMPARE(encounter()->getState().dead, QSet<Creature*>{fixture.goblin1});
        Global::history->back();
        QVERIFY(encounter()->getState() == running);
        QCOMPARE(encounter()->getCurrentCreature(), fixture.goblin2);
    }

    void undoingAStartGoesBackToTheStoppedEncounter()
    {
        startRunning();
        record(nextTurn());
        record(stop());
        EncounterState stopped = encounter()->getState();
        record(start());
        Global::history->back();
        // As a replay without the second start leaves it.
        QVERIFY(encounter()->getState() == stopped);
        QCOMPARE(encounter()->getRound(), 1);
        QVERIFY(!encounter()->isRunning());
    }

    void buttonsFollowTheEncounter()
    {
        // Start and Stop change whether the encounter runs; Next Turn does not.
        const QList<std::pair<EventMaker, int>> steps = {{start(), 1}, {nextTurn(), 0}, {stop(), 1}};
        for (const auto& [make, refreshes] : steps) {
            hooks.startStop = 0;
            hooks.jumpIn = 0;
            record(make);
            QCOMPARE(hooks.startStop, refreshes);
            Global::history->back();
            QCOMPARE(hooks.startStop, 2 * refreshes);
            Global::history->forward(false);
        }
        // Stopping clears every delay and readied action.
        QVERIFY(hooks.jumpIn > 0);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestEncounterEvents)
#include "test_encounterevents.moc"
