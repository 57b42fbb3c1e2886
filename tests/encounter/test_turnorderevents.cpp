#include <QGuiApplication>

#include "encounter/damageevents.h"
#include "encounter/encounterevents.h"
#include "encounter/eventtesting.h"
#include "support/testsupport.h"
#include "encounter/turnorderevents.h"
#include "encounter/vitalityevents.h"

namespace {

// Counts the turn starts that a death asks of the main window.
class TurnHooks : public RecordingUiHooks
{
public:
    void performTurnStart() override { turnStarts++; }

    int turnStarts = 0;
};

}

class TestTurnOrderEvents : public QObject
{
    Q_OBJECT

private:
    TemporaryHome home;
    TurnHooks hooks;
    EventFixture fixture;

    static Encounter* encounter() { return Global::encounter; }
    static History* history() { return Global::history; }

    static void record(const EventMaker& make) { QVERIFY(history()->apply(make(history()->getStream(false)), false)); }

    // Round 1 in the order Brenna, Goblin (1), Goblin (2), Aldric; Brenna acts.
    static void start()
    {
        record([](ObjectStream* s) {
            return new StartEncounterEvent({{"Aldric", 12, 5}, {"Brenna", 18, 3}}, {{"Goblin", 15, 7}}, s);
        });
    }

    static void nextTurns(int count)
    {
        for (int i = 0; i < count; i++)
            record([](ObjectStream* s) { return new NextTurnEvent(s, false); });
    }

    static void kill(Creature* creature, int damage)
    {
        record([=](ObjectStream* s) { return new DamageEvent("", nullptr, creature, damage, "", s); });
        QVERIFY(creature->isDead(false));
    }

    template <typename T>
    static EventMaker about(Creature* creature)
    {
        return [creature](ObjectStream* s) { return new T(creature, s); };
    }

    static EventMaker adjust(const QList<Creature*>& creatures, int places)
    {
        return [=](ObjectStream* s) { return new AdjustInitiativeEvent(creatures, places, s); };
    }

    static QStringList eventClasses(int count)
    {
        QStringList classes;
        for (int i = history()->getEventCount() - count; i < history()->getEventCount(); i++)
            classes.append(history()->getEvent(i)->metaObject()->className());
        return classes;
    }

    QList<RecordedCase> cases()
    {
        EventFixture* f = &fixture;
        const QList<int> delayItems = {ID_EVENT_TYPE, ID_DELAY_EVENT_END};
        const QList<int> jumpInItems = {ID_EVENT_TYPE, ID_JUMPIN_EVENT_END};
        const QList<int> endReadyItems = {ID_EVENT_TYPE, ID_END_READY_EVENT_END};
        const QList<int> diedItems = {ID_EVENT_TYPE, ID_DIED_EVENT_END};
        const QList<int> adjustItems = {ID_EVENT_TYPE, ID_ADJUST_INITIATIVE_ADJUSTMENT,
                                        ID_ADJUST_INITIATIVE_EVENT_END};
        return {
            {"delay of a hero", start, about<DelayEvent>(f->aldric), delayItems, {"Aldric"},
             "* Delayed: Aldric *", "* Delayed: Aldric *", true, {"Aldric.delayed=1"}},
            {"ready of a monster", start, about<ReadyEvent>(f->goblin2), {ID_EVENT_TYPE, ID_READY_EVENT_END},
             {"Goblin (2)"}, "* Ready: Goblin (2) *", "* Ready: \"Sneak\" *", false, {"Goblin (2).ready=1"}},

            {"jump in from below the current creature",
             [f] {
                 start();
                 record(about<DelayEvent>(f->aldric));
             },
             about<JumpInEvent>(f->aldric), jumpInItems, {"Aldric"}, "* Jump in: Aldric *", "* Jump in: Aldric *",
             true,
             {"Aldric.delayed=0", "Brenna.turns=1", "encounter.current=1",
              "encounter.order=Brenna, Aldric, Goblin (1), Goblin (2)"}},
            {"jump in from above the current creature",
             [f] {
                 start();
                 nextTurns(1);
                 record(about<DelayEvent>(f->goblin1));
                 nextTurns(2);
             },
             about<JumpInEvent>(f->goblin1), jumpInItems, {"Goblin (1)"}, "* Jump in: Goblin (1) *",
             "* Jump in: Goblin (1) *", false,
             {"Aldric.turns=1", "Goblin (1).delayed=0", "encounter.order=Brenna, Goblin (2), Aldric, Goblin (1)"}},
            // The Next Turn that reached the delayed creature counted the new round.
            {"jump in of the creature whose turn came round",
             [f] {
                 start();
                 record(about<DelayEvent>(f->brenna));
                 nextTurns(4);
             },
             about<JumpInEvent>(f->brenna), jumpInItems, {"Brenna"}, "* Jump in: Brenna *", "* Jump in: Brenna *",
             true, {"Brenna.delayed=0", "Brenna.turns=2"}},
            {"jump in of a creature alone in the encounter",
             [f] {
                 encounter()->setCreatureList(CreatureList({f->aldric}));
                 start();
                 record(about<DelayEvent>(f->aldric));
                 nextTurns(1);
             },
             about<JumpInEvent>(f->aldric), jumpInItems, {"Aldric"}, "* Jump in: Aldric *", "* Jump in: Aldric *",
             true, {"Aldric.delayed=0", "Aldric.turns=2"}},
            {"jump in while no encounter runs", [] {}, about<JumpInEvent>(f->goblin2), jumpInItems, {"Goblin (2)"},
             "* Jump in: Goblin (2) *", "* Jump in: \"Sneak\" *", false, {}},

            {"readied action from below the current creature",
             [f] {
                 start();
                 record(about<ReadyEvent>(f->aldric));
                 nextTurns(2);
             },
             about<EndReadyEvent>(f->aldric), endReadyItems, {"Aldric"}, "* Ready action: Aldric *",
             "* Ready action: Aldric *", true,
             {"Aldric.ready=0", "encounter.current=3", "encounter.order=Brenna, Goblin (1), Aldric, Goblin (2)"}},
            {"readied action from above the current creature",
             [f] {
                 start();
                 nextTurns(1);
                 record(about<ReadyEvent>(f->goblin1));
                 nextTurns(2);
             },
             about<EndReadyEvent>(f->goblin1), endReadyItems, {"Goblin (1)"}, "* Ready action: Goblin (1) *",
             "* Ready action: Goblin (1) *", false,
             {"Goblin (1).ready=0", "encounter.order=Brenna, Goblin (2), Goblin (1), Aldric"}},

            {"death of a monster that is not current",
             [f] {
                 start();
                 kill(f->goblin1, 20);
             },
             about<DiedEvent>(f->goblin1), diedItems, {"Goblin (1)"}, "Died: Goblin (1)", "Died: Goblin (1)", true,
             {"encounter.dead=Goblin (1)", "encounter.order=Brenna, Goblin (2), Aldric"}},
            {"death of a hidden monster",
             [f] {
                 f->goblin2->setHidden(true);
                 start();
                 kill(f->goblin2, 25);
             },
             about<DiedEvent>(f->goblin2), diedItems, {"Goblin (2)"}, "Died: Goblin (2)", "Died: \"Sneak\"", false,
             {"encounter.dead=Goblin (2)", "encounter.order=Brenna, Goblin (1), Aldric"}},
            // The turn goes back to the end of the round before, so that the
            // next turn comes to the creature that followed.
            {"death of the current creature at the top of the order",
             [f] {
                 start();
                 kill(f->brenna, 40);
             },
             about<DiedEvent>(f->brenna), diedItems, {"Brenna"}, "Died: Brenna", "Died: Brenna", true,
             {"encounter.current=2", "encounter.dead=Brenna", "encounter.order=Goblin (1), Goblin (2), Aldric",
              "encounter.round=0"}},
            {"death while no encounter runs", [f] { kill(f->goblin1, 20); }, about<DiedEvent>(f->goblin1),
             diedItems, {"Goblin (1)"}, "Died: Goblin (1)", "Died: Goblin (1)", true,
             {"encounter.order=Aldric, Brenna, Goblin (2)"}},

            {"the current hero down past the one below", start, adjust({f->brenna}, 1), adjustItems, {"Brenna"},
             "Initiative +1: Brenna", "Initiative +1: Brenna", true,
             {"encounter.current=1", "encounter.order=Goblin (1), Brenna, Goblin (2), Aldric"}},
            {"the first creature up, to the end", start, adjust({f->brenna}, -1), adjustItems, {"Brenna"},
             "Initiative -1: Brenna", "Initiative -1: Brenna", true,
             {"encounter.current=3", "encounter.order=Aldric, Goblin (1), Goblin (2), Brenna"}},
            {"the last creature down, to the top", start, adjust({f->aldric}, 1), adjustItems, {"Aldric"},
             "Initiative +1: Aldric", "Initiative +1: Aldric", true,
             {"encounter.current=3", "encounter.order=Aldric, Goblin (1), Goblin (2), Brenna"}},
            {"a monster and a hero up together", start, adjust({f->goblin2, f->aldric}, -1), adjustItems,
             {"Goblin (2)", "Aldric"}, "Initiative -1: Goblin (2), Aldric", "Initiative -1: \"Sneak\", Aldric", false,
             {"encounter.order=Brenna, Goblin (2), Aldric, Goblin (1)"}},
            {"two places up, round the top", start, adjust({f->goblin1}, -2), adjustItems, {"Goblin (1)"},
             "Initiative -2: Goblin (1)", "Initiative -2: Goblin (1)", false,
             {"encounter.order=Brenna, Aldric, Goblin (2), Goblin (1)"}},
            {"no places", start, adjust({f->aldric, f->brenna}, 0), adjustItems, {"Aldric", "Brenna"},
             "Initiative 0: Aldric, Brenna", "Initiative 0: Aldric, Brenna", true, {}},
        };
    }

private slots:
    void init()
    {
        fixture.setUp();
        hooks.turnStarts = 0;
    }

    void cleanup() { fixture.tearDown(); }

    void recordedEvents_data() { EventFixture::addCaseRows(cases()); }

    void recordedEvents()
    {
        if (!fixture.checkCaseRow(cases()))
            return;
        QVERIFY(!history()->getCurrentEvent()->isStartEncounter());
    }

    void undoneDelayLeavesTheCreatureAsItWas()
    {
        fixture.aldric->setDelayed(true);
        record(about<DelayEvent>(fixture.aldric));
        history()->back();
        QVERIFY(fixture.aldric->isDelayed());
    }

    void delayedCreatureJumpsInAndTurnGoesOn()
    {
        start();
        record(about<DelayEvent>(fixture.brenna));
        nextTurns(2);
        record(about<JumpInEvent>(fixture.brenna));
        QCOMPARE(encounter()->list().getNameList(), QString("Goblin (1), Goblin (2), Brenna, Aldric"));
        QCOMPARE(encounter()->getCurrentCreature(), fixture.brenna);
        // Brenna acted; the next turn is Aldric's, and then a new round.
        nextTurns(1);
        QCOMPARE(encounter()->getCurrentCreature(), fixture.aldric);
        QCOMPARE(encounter()->getRound(), 1);
        nextTurns(1);
        QCOMPARE(encounter()->getCurrentCreature(), fixture.goblin1);
        QCOMPARE(encounter()->getRound(), 2);
    }

    void deathIsRecordedAndTheTurnMovesOn_data()
    {
        QTest::addColumn<bool>("current");
        QTest::addColumn<bool>("keepTurn");
        QTest::addColumn<int>("turnStarts");
        QTest::newRow("current creature") << true << false << 1;
        QTest::newRow("current creature, turn kept") << true << true << 0;
        QTest::newRow("another creature") << false << false << 0;
    }

    void deathIsRecordedAndTheTurnMovesOn()
    {
        QFETCH(bool, current);
        QFETCH(bool, keepTurn);
        QFETCH(int, turnStarts);
        start();
        nextTurns(current ? 1 : 2);
        kill(fixture.goblin1, 20);
        const int events = history()->getEventCount();

        fixture.goblin1->handleDying(keepTurn);
        QCOMPARE(history()->getEventCount(), events + 1);
        QCOMPARE(history()->getCurrentEvent()->getDescription(false), QString("Died: Goblin (1)"));
        QCOMPARE(encounter()->list().getNameList(), QString("Brenna, Goblin (2), Aldric"));
        QCOMPARE(encounter()->getState().dead, QSet<Creature*>{fixture.goblin1});
        QCOMPARE(hooks.turnStarts, turnStarts);
        QVERIFY(encounter()->isRunning());
    }

    void onlyTheDeadDie()
    {
        start();
        record([this](ObjectStream* s) { return new DamageEvent("", nullptr, fixture.aldric, 40, "", s); });
        // Dying, not dead.
        QVERIFY(fixture.aldric->isDying());
        const int events = history()->getEventCount();
        fixture.aldric->handleDying(false);
        encounter()->handleDying(false);
        QCOMPARE(history()->getEventCount(), events);
        QCOMPARE(encounter()->getCreatureCount(), 4);
    }

    void handEditsAreRecordedBeforeTheDeath()
    {
        start();
        fixture.aldric->setCurrHitPoints(-15);
        encounter()->setCreatureEdited();
        fixture.aldric->handleDying(false);
        QCOMPARE(eventClasses(2), (QStringList{"SetVitalityEvent", "DiedEvent"}));
        QCOMPARE(encounter()->list().getNameList(), QString("Brenna, Goblin (1), Goblin (2)"));
        // Replayed, the edit brings the death back with it.
        while (history()->hasBack())
            history()->back();
        QCOMPARE(fixture.aldric->getCurrHitPoints(), 30);
        QVERIFY(history()->rootChanged());
        QCOMPARE(fixture.aldric->getCurrHitPoints(), -15);
        QCOMPARE(encounter()->list().getNameList(), QString("Brenna, Goblin (1), Goblin (2)"));
    }

    void lastDeathStopsTheEncounter()
    {
        encounter()->setCreatureList(CreatureList({fixture.goblin1}));
        start();
        kill(fixture.goblin1, 20);
        fixture.goblin1->handleDying(false);
        QCOMPARE(eventClasses(2), (QStringList{"DiedEvent", "StopEncounterEvent"}));
        QVERIFY(!encounter()->isRunning());
        QCOMPARE(hooks.turnStarts, 0);
        // Undoing both brings back the running encounter with its creature.
        history()->back();
        history()->back();
        QCOMPARE(encounter()->getCurrentCreature(), fixture.goblin1);
        QCOMPARE(encounter()->getRound(), 1);
    }

    void encounterRecordsEveryDeathFromTheEnd()
    {
        start();
        kill(fixture.goblin1, 20);
        kill(fixture.goblin2, 20);
        encounter()->handleDying(false);
        QCOMPARE(eventClasses(2), (QStringList{"DiedEvent", "DiedEvent"}));
        QCOMPARE(history()->getEvent(history()->getEventCount() - 2)->getDescription(false),
                 QString("Died: Goblin (2)"));
        QCOMPARE(history()->getCurrentEvent()->getDescription(false), QString("Died: Goblin (1)"));
        QCOMPARE(encounter()->list().getNameList(), QString("Brenna, Aldric"));
        QCOMPARE(encounter()->getState().dead, (QSet<Creature*>{fixture.goblin1, fixture.goblin2}));
    }

    void recordOfAMissingCreatureDoesNothing()
    {
        start();
        const World before = fixture.world();
        for (const EventMaker& make : {about<DelayEvent>(nullptr), about<JumpInEvent>(nullptr),
                                       about<ReadyEvent>(nullptr), about<EndReadyEvent>(nullptr),
                                       about<DiedEvent>(nullptr), adjust({}, -1)}) {
            record(make);
            QCOMPARE(EventFixture::changes(before, fixture.world()), QString());
        }
        QCOMPARE(history()->getCurrentEvent()->getDescription(false), QString("Initiative -1: "));
        while (history()->getCurrentIndex() > 0)
            history()->back();
        QCOMPARE(EventFixture::changes(before, fixture.world()), QString());
        while (history()->hasBack())
            history()->back();
        QVERIFY(history()->rootChanged());
        QCOMPARE(EventFixture::changes(before, fixture.world()), QString());
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestTurnOrderEvents)
#include "test_turnorderevents.moc"
