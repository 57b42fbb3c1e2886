// Short fights that once left the live model other than its log replayed:
// an undo that did not put back what its apply changed, or a redo that built
// on figures the log never held.

#include <QGuiApplication>

#include <functional>

#include "encounter/damageevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "foundation/global.h"
#include "encounter/history.h"
#include "encounter/restevents.h"
#include "support/testsupport.h"
#include "support/testworld.h"
#include "encounter/turnorderevents.h"

class TestUndoRedo : public QObject
{
    Q_OBJECT

private:
    static Encounter* encounter() { return Global::encounter; }
    static History* history() { return Global::history; }

    // Who stands in the encounter; the log does not hold it yet.
    static void enter()
    {
        encounter()->setCreatureList(CreatureList(
            {Creature::getCreatureByName("Aldric", true), Creature::getCreatureByName("Goblin (1)", true)}));
    }

    static void setUp(TestWorld& world)
    {
        world.addHero("Aldric", 30);
        world.addMonster("Goblin", "1", 25);
        enter();
    }

    // As the main window records a command: pending hand edits first.
    static void command(TestWorld& world, const std::function<Event*(ObjectStream*)>& make)
    {
        encounter()->writeVitalityChanges(world.stream());
        QVERIFY(world.record(make(world.stream())));
    }

    // Aldric acts first, then the goblin.
    static void start(TestWorld& world)
    {
        command(world, [](ObjectStream* s) { return new StartEncounterEvent({{"Aldric", 18, 1}}, {{"Goblin", 5, 2}}, s); });
    }

    static void nextTurn(TestWorld& world)
    {
        command(world, [](ObjectStream* s) { return new NextTurnEvent(s, false); });
    }

    // What a restart gives back must be what the program shows now.
    static void checkReplay(TestWorld& world)
    {
        QString live = world.describe();
        QVERIFY(world.restart(enter));
        QString replayed = world.describe();
        QVERIFY2(replayed == live, qPrintable(TestWorld::difference(live, replayed)));
    }

private slots:
    void undoneSecondFlagLeavesTheFirst_data()
    {
        QTest::addColumn<bool>("delay");
        QTest::newRow("delay") << true;
        QTest::newRow("ready") << false;
    }

    void undoneSecondFlagLeavesTheFirst()
    {
        QFETCH(bool, delay);
        RecordingUiHooks hooks;
        TestWorld world;
        setUp(world);
        start(world);
        Creature* aldric = world.find("Aldric");
        auto flag = [aldric, delay](ObjectStream* s) -> Event* {
            return delay ? static_cast<Event*>(new DelayEvent(aldric, s)) : new ReadyEvent(aldric, s);
        };
        command(world, flag);
        nextTurn(world);
        // Stepped back to the creature's turn, the game master sets the flag again, then takes it back.
        history()->back();
        command(world, flag);
        history()->back();
        QVERIFY(delay ? aldric->isDelayed() : aldric->isReady());
        history()->truncate();
        checkReplay(world);
    }

    void undoneStartKeepsTheRestedBeforeValues()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        setUp(world);
        Creature* goblin = world.find("Goblin (1)");
        command(world, [goblin](ObjectStream* s) { return new ExtendedRestEvent({goblin}, s); });
        CreatureState rested = goblin->getState();
        start(world);
        history()->back();
        QCOMPARE(goblin->getState(), rested);
        history()->truncate();
        checkReplay(world);
    }

    void stepForwardRecordsAHandEditFirst()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        setUp(world);
        start(world);
        Creature* aldric = world.find("Aldric");
        command(world, [aldric](ObjectStream* s) { return new DamageEvent("Hit", nullptr, aldric, 5, "", s); });
        history()->back();
        // Edited by hand where the damage was undone; redone on top, the edit would never reach the log.
        aldric->setCurrHitPoints(12);
        encounter()->setCreatureEdited();
        history()->forward(false);
        QCOMPARE(aldric->getCurrHitPoints(), 12);
        QCOMPARE(history()->getCurrentEvent()->metaObject()->className(), "SetVitalityEvent");
        QVERIFY(!history()->hasForward());
        checkReplay(world);
    }

    void jumpForwardRecordsAHandEditFirst()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        setUp(world);
        start(world);
        Creature* aldric = world.find("Aldric");
        command(world, [aldric](ObjectStream* s) { return new DamageEvent("Hit", nullptr, aldric, 5, "", s); });
        nextTurn(world);
        history()->goTo(0);
        aldric->setCurrHitPoints(12);
        encounter()->setCreatureEdited();
        history()->goTo(2);
        QCOMPARE(aldric->getCurrHitPoints(), 12);
        QCOMPARE(history()->getCurrentIndex(), 1);
        QVERIFY(!history()->hasForward());
        checkReplay(world);
    }

    // Applies and undos that only put recorded figures back are no hand edits.
    void stepBackAndForwardStillRedo()
    {
        RecordingUiHooks hooks;
        TestWorld world;
        setUp(world);
        Creature* aldric = world.find("Aldric");
        command(world, [aldric](ObjectStream* s) { return new ExtendedRestEvent({aldric}, s); });
        start(world);
        aldric->setCurrHitPoints(12);
        encounter()->setCreatureEdited();
        command(world, [aldric](ObjectStream* s) { return new DamageEvent("Hit", nullptr, aldric, 5, "", s); });
        const int events = history()->getEventCount();
        QCOMPARE(events, 4);
        QString live = world.describe();
        // Back to just after the rest, whose cleared before-values differ from the figures.
        while (history()->getCurrentIndex() > 0)
            history()->back();
        while (history()->hasForward())
            history()->forward(false);
        QCOMPARE(history()->getEventCount(), events);
        QCOMPARE(world.describe(), live);
        checkReplay(world);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestUndoRedo)
#include "test_undoredo.moc"
