#include <QGuiApplication>

#include "encounter/eventtags.h"
#include "encounter/eventtesting.h"
#include "encounter/restevents.h"
#include "encounter/rosterevents.h"
#include "support/testsupport.h"

namespace {

void run(int current)
{
    EncounterState running;
    running.round = 2;
    running.currentIndex = current;
    Global::encounter->setState(running);
}

void setList(const QList<Creature*>& list)
{
    Global::encounter->setCreatureList(CreatureList(list));
}

const QList<int> initItems = {ID_CREATURE_ITEM_ROLL, ID_CREATURE_ITEM_RANDOM, ID_CREATURE_ITEM_END};
const QList<int> vitalityItems = {ID_CREATURE_VITALITY_INIT_BONUS, ID_CREATURE_VITALITY_MAX_HP,
                                  ID_CREATURE_VITALITY_CURR_HP,    ID_CREATURE_VITALITY_MAX_HS,
                                  ID_CREATURE_VITALITY_CURR_HS,    ID_CREATURE_VITALITY_HS_VALUE,
                                  ID_CREATURE_VITALITY_INIT_AP,    ID_CREATURE_VITALITY_CURR_AP,
                                  ID_CREATURE_VITALITY_END};

// The items of an addition of n creatures after the type item.
QList<int> additionItems(int n, QList<int> head, int endTag)
{
    QList<int> items = head + QList<int>{ID_CREATURE_ITEM_LIST_SIZE};
    for (int i = 0; i < n; i++)
        items += initItems;
    items += {ID_CREATURE_ITEM_LIST_END, ID_CREATURE_VITALITY_LIST_SIZE};
    for (int i = 0; i < n; i++)
        items += vitalityItems;
    items += {ID_CREATURE_VITALITY_LIST_END};
    return items + QList<int>{endTag};
}

}

class TestRosterEvents : public QObject
{
    Q_OBJECT

private:
    TemporaryHome home;
    RecordingUiHooks hooks;
    EventFixture fixture;

    QList<RecordedCase> cases()
    {
        EventFixture* f = &fixture;
        const QList<int> add = {ID_EVENT_TYPE, ID_ADD_CREATURE_EVENT_NAME, ID_ADD_CREATURE_EVENT_HIDDEN};
        EncounterEntry bridge;
        bridge.name = "Bridge";
        bridge.level = 3;
        const QList<int> entryItems = {ID_EVENT_TYPE,
                                       ID_ENCOUNTER_ENTRY_FILE_NAME,
                                       ID_ENCOUNTER_ENTRY_NAME,
                                       ID_ENCOUNTER_ENTRY_DESC,
                                       ID_ENCOUNTER_ENTRY_LEVEL,
                                       ID_ENCOUNTER_ENTRY_XP,
                                       ID_ENCOUNTER_ENTRY_ADVENTURE,
                                       ID_ENCOUNTER_ENTRY_END};
        QList<int> setEncounter = additionItems(1, entryItems, ID_SET_ENC_EVENT_HIDDEN);
        setEncounter.append(ID_SET_ENC_EVENT_END);
        return {
            {"a monster added hidden to a stopped encounter goes last",
             [f] { setList({f->goblin2, f->aldric, f->brenna}); },
             [f](ObjectStream* s) { return new AddMonsterEvent(CreatureList({f->goblin1}), true, {}, s); },
             additionItems(1, add, ID_ADD_CREATURE_EVENT_END),
             {"Goblin (1)", "Goblin (1)"},
             "Add Monster: Goblin (1) (Hidden)", "Add Monster: Goblin (1) (Hidden)", false,
             {"Goblin (1).hidden=1", "encounter.order=Goblin (2), Aldric, Brenna, Goblin (1)"}},
            {"monsters added while the encounter runs act next, in the order given",
             [f] {
                 setList({f->aldric, f->brenna});
                 run(0);
             },
             [f](ObjectStream* s) {
                 return new AddMonstersEvent("Ambush", CreatureList({f->goblin2, f->goblin1}), false, {}, s);
             },
             additionItems(2, add, ID_ADD_CREATURE_EVENT_END),
             {"Goblin (2)", "Goblin (1)", "Goblin (2)", "Goblin (1)"},
             "Add Encounter: Ambush", "Add Encounter: Ambush", false,
             {"encounter.order=Aldric, Goblin (2), Goblin (1), Brenna"}},
            {"characters added to a stopped encounter go first",
             [f] { setList({f->goblin1, f->goblin2}); },
             [f](ObjectStream* s) { return new AddCharactersEvent(CreatureList({f->brenna}), false, {}, s); },
             additionItems(1, add, ID_ADD_CREATURE_EVENT_END),
             {"Brenna", "Brenna"},
             "Add Characters: Brenna", "Add Characters: Brenna", true,
             {"encounter.order=Brenna, Goblin (1), Goblin (2)"}},
            {"a new party while a hero before the current creature acts",
             [f] {
                 setList({f->aldric, f->brenna, f->goblin1, f->goblin2});
                 run(3);
             },
             [f](ObjectStream* s) { return new SetPartyEvent(CreatureList({f->brenna}), false, {}, s); },
             additionItems(1, add, ID_ADD_CREATURE_EVENT_END),
             {"Brenna", "Brenna"},
             "Set Party: Brenna", "Set Party: Brenna", true,
             {"encounter.current=1", "encounter.order=Goblin (1), Goblin (2), Brenna"}},
            {"a new party replacing the current hero",
             [f] {
                 setList({f->goblin1, f->aldric, f->goblin2});
                 run(1);
             },
             [f](ObjectStream* s) { return new SetPartyEvent(CreatureList({f->brenna}), false, {}, s); },
             additionItems(1, add, ID_ADD_CREATURE_EVENT_END),
             {"Brenna", "Brenna"},
             "Set Party: Brenna", "Set Party: Brenna", true,
             {"encounter.order=Goblin (1), Brenna, Goblin (2)"}},
            {"a prepared encounter replaces the monsters while the current one stays",
             [f] {
                 setList({f->goblin1, f->aldric, f->goblin2, f->brenna});
                 run(3);
             },
             [f, bridge](ObjectStream* s) { return new SetEncounterEvent(bridge, CreatureList({f->goblin2}), true, s); },
             setEncounter,
             {"Goblin (2)", "Goblin (2)"},
             "Set Encounter: Bridge (Hidden)", "Set Encounter: Bridge (Hidden)", false,
             {"Goblin (2).hidden=1", "encounter.current=1", "encounter.order=Aldric, Brenna, Goblin (2)"}},
            {"a prepared encounter whose current monster leaves",
             [f] {
                 setList({f->aldric, f->goblin1, f->brenna, f->goblin2});
                 run(3);
             },
             [f, bridge](ObjectStream* s) { return new SetEncounterEvent(bridge, CreatureList({f->goblin1}), false, s); },
             setEncounter,
             {"Goblin (1)", "Goblin (1)"},
             "Set Encounter: Bridge", "Set Encounter: Bridge", false,
             {"encounter.current=2", "encounter.order=Aldric, Brenna, Goblin (1)"}},
            {"a monster hidden", nothing(),
             [f](ObjectStream* s) { return new ShowHideEvent(f->goblin2, true, s); },
             {ID_EVENT_TYPE, ID_SHOW_HIDE_EVENT_HIDE, ID_SHOW_HIDE_EVENT_END},
             {"Goblin (2)"},
             "Hide Goblin (2)", "Hide \"Sneak\"", false,
             {"Goblin (2).hidden=1"}},
            {"the current creature removed", [] { run(2); },
             [f](ObjectStream* s) { return new RemoveCurrentEvent(f->goblin1, s); },
             {ID_EVENT_TYPE, ID_REMOVE_CREATURE_EVENT_END},
             {"Goblin (1)"},
             "Removed Current: Goblin (1)", "Removed Current: Goblin (1)", false,
             {"encounter.current=1", "encounter.order=Aldric, Brenna, Goblin (2)"}},
            {"a hero and a monster removed", nothing(),
             [f](ObjectStream* s) { return new RemoveCreaturesEvent(QList<Creature*>{f->aldric, f->goblin2}, s); },
             {ID_EVENT_TYPE, ID_REMOVE_CREATURE_EVENT_END},
             {"Aldric", "Goblin (2)"},
             "Removed: Aldric, Goblin (2)", "Removed: Aldric, \"Sneak\"", false,
             {"encounter.order=Brenna, Goblin (1)"}},
            {"heroes removed", nothing(),
             [f](ObjectStream* s) { return new RemoveCreaturesEvent(f->brenna, s); },
             {ID_EVENT_TYPE, ID_REMOVE_CREATURE_EVENT_END},
             {"Brenna"},
             "Removed: Brenna", "Removed: Brenna", true,
             {"encounter.order=Aldric, Goblin (1), Goblin (2)"}},
            {"an extended rest of monsters stays out of the players' ticker",
             [f] { f->goblin1->applyDamage(5, nullptr); },
             [f](ObjectStream* s) { return new ExtendedRestEvent({f->goblin1}, s); },
             {ID_EVENT_TYPE, ID_EXT_REST_EVENT_END},
             {"Goblin (1)"},
             "Extended Rest: Goblin (1)", "Extended Rest: Goblin (1)", false,
             {"Goblin (1).beforeHp=0", "Goblin (1).hp=20", "Goblin (1).taken=0"}},
        };
    }

    static std::function<void()> nothing()
    {
        return [] {};
    }

private slots:
    void init() { fixture.setUp(); }
    void cleanup() { fixture.tearDown(); }

    void recordedRosterEvents_data() { EventFixture::addCaseRows(cases()); }
    void recordedRosterEvents() { fixture.checkCaseRow(cases()); }

    void undoingAHideRestoresTheFlagBefore()
    {
        EventFixture* f = &fixture;
        setList({f->aldric, f->brenna});
        ObjectStream* s = Global::history->getStream(false);
        QVERIFY(Global::history->apply(new AddMonsterEvent(CreatureList({f->goblin1}), true, {}, s), false));
        QVERIFY(Global::history->apply(new ShowHideEvent(f->goblin1, true, s), false));
        Global::history->back();
        QVERIFY(f->goblin1->isHidden());
        Global::history->back();
        QVERIFY(!f->goblin1->isHidden());
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestRosterEvents)
#include "test_rosterevents.moc"
