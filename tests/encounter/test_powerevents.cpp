#include <QGuiApplication>

#include "encounter/eventtags.h"
#include "encounter/eventtesting.h"
#include "encounter/powerevents.h"
#include "support/testsupport.h"

namespace {

using UsageType = PowerUsageChangedEvent::Type;

const QList<int> usageItems = {ID_EVENT_TYPE, ID_POWER_USAGE_EVENT_CREATURE, ID_POWER_USAGE_EVENT_POWER,
                               ID_POWER_USAGE_EVENT_TYPE, ID_EVENT_END};
const QList<int> aliasItems = {ID_EVENT_TYPE, ID_SET_ALIAS_EVENT_CREATURE, ID_SET_ALIAS_EVENT_SHOW,
                               ID_SET_ALIAS_EVENT_ALIAS, ID_EVENT_END};

// Gives the creature a power of that cost, used and released as the marks
// say, in order: true a use, false a release.
CreaturePower* givePower(Creature* creature, const QString& name, Power::Cost cost, const QList<bool>& marks = {})
{
    CreaturePower power;
    power.name = name;
    power.current.cost = cost;
    CreaturePower* given = creature->getPowers().getPower(creature->getPowers().addPower(power, false));
    for (bool used : marks)
        given->setUsed(used);
    return given;
}

Event* usageChange(Creature* creature, const char* power, int type, ObjectStream* stream)
{
    return new PowerUsageChangedEvent(creature, QString(power), UsageType(type), stream);
}

}

class TestPowerEvents : public QObject
{
    Q_OBJECT

private:
    TemporaryHome home;
    RecordingUiHooks hooks;
    EventFixture fixture;

    static void record(Event* event) { QVERIFY(Global::history->apply(event, false)); }
    static ObjectStream* stream() { return Global::history->getStream(false); }

    QList<RecordedCase> cases()
    {
        EventFixture* f = &fixture;
        const auto powers = [f] {
            givePower(f->aldric, "Twin Strike", Power::TwicePerEncounter);
            givePower(f->aldric, "Fire Burst", Power::Recharge5, {true});
            givePower(f->goblin2, "Spear Jab", Power::OncePerEncounter);
        };
        const auto hiddenScout = [f] { f->goblin1->setAlias("Scout"); };
        const auto twinStrike = [f](const QList<bool>& marks) {
            return [f, marks] { givePower(f->aldric, "Twin Strike", Power::TwicePerEncounter, marks); };
        };
        return {
            {"a twice-per-encounter power used the first time", powers,
             [f](ObjectStream* s) { return usageChange(f->aldric, "Twin Strike", 0, s); },
             usageItems, {},
             "Aldric: Used Twin Strike (1/2)", "Aldric: Used Twin Strike (1/2)", false,
             {"Aldric.usage.Twin Strike=1"}},
            {"a twice-per-encounter power used again after its release", twinStrike({true, false}),
             [f](ObjectStream* s) { return usageChange(f->aldric, "Twin Strike", 0, s); },
             usageItems, {},
             "Aldric: Used Twin Strike (2/2)", "Aldric: Used Twin Strike (2/2)", false,
             {"Aldric.usage.Twin Strike=3"}},
            {"a used power released", twinStrike({true}),
             [f](ObjectStream* s) { return usageChange(f->aldric, "Twin Strike", 1, s); },
             usageItems, {},
             "Aldric: Unused Twin Strike (1/2)", "Aldric: Unused Twin Strike (1/2)", false,
             {"Aldric.usage.Twin Strike=2"}},
            {"a recharge roll below the recharge number", powers,
             [f](ObjectStream* s) { return usageChange(f->aldric, "Fire Burst", 5, s); },
             usageItems, {},
             "Recharge 4: Aldric - Fire Burst", "Recharge 4: Aldric - Fire Burst", false,
             {}},
            {"a recharge roll of the recharge number", powers,
             [f](ObjectStream* s) { return usageChange(f->aldric, "Fire Burst", 6, s); },
             usageItems, {},
             "Recharge 5: Aldric + Fire Burst", "Recharge 5: Aldric + Fire Burst", false,
             {"Aldric.usage.Fire Burst=0"}},
            {"usage reset after two uses", twinStrike({true, false, true, false}),
             [f](ObjectStream* s) { return usageChange(f->aldric, "Twin Strike", 8, s); },
             usageItems, {},
             "Aldric: Reset Usage Twin Strike", "Aldric: Reset Usage Twin Strike", false,
             {"Aldric.usage.Twin Strike=0"}},
            {"a monster's power used, under its alias", powers,
             [f](ObjectStream* s) { return usageChange(f->goblin2, "Spear Jab", 0, s); },
             usageItems, {},
             "Goblin (2): Used Spear Jab", "\"Sneak\": Used Spear Jab", false,
             {"Goblin (2).usage.Spear Jab=1"}},
            {"a power the creature does not have", powers,
             [f](ObjectStream* s) { return usageChange(f->brenna, "Twin Strike", 0, s); },
             usageItems, {},
             "Brenna: Used Twin Strike", "Brenna: Used Twin Strike", false,
             {}},
            {"a recharge roll of 2 for a missing power", nothing(),
             [f](ObjectStream* s) { return usageChange(f->brenna, "Fire Burst", 3, s); },
             usageItems, {},
             "Recharge 2: Brenna + Fire Burst", "Recharge 2: Brenna + Fire Burst", false,
             {}},
            {"a recharge roll of 1 for a missing power", nothing(),
             [f](ObjectStream* s) { return usageChange(f->brenna, "Fire Burst", 2, s); },
             usageItems, {},
             "Recharge 1: Brenna - Fire Burst", "Recharge 1: Brenna - Fire Burst", false,
             {}},
            {"an unknown change", twinStrike({true}),
             [f](ObjectStream* s) { return usageChange(f->aldric, "Twin Strike", 9, s); },
             usageItems, {},
             " (1/2)", " (1/2)", false,
             {}},
            {"an alias given, hidden", nothing(),
             [f](ObjectStream* s) { return new SetAliasEvent(f->goblin1, false, "Scout", s); },
             aliasItems, {},
             "Goblin (1): Hide Alias: Scout", "Goblin (1): Hide Alias: Scout", false,
             {"Goblin (1).alias=Scout"}},
            {"a hidden alias hidden unchanged", hiddenScout,
             [f](ObjectStream* s) { return new SetAliasEvent(f->goblin1, false, "Scout", s); },
             aliasItems, {},
             "Goblin (1): Hide Alias", "Goblin (1): Hide Alias", false,
             {}},
            {"a hidden alias removed", hiddenScout,
             [f](ObjectStream* s) { return new SetAliasEvent(f->goblin1, false, "", s); },
             aliasItems, {},
             "Goblin (1): Remove Alias", "Goblin (1): Remove Alias", false,
             {"Goblin (1).alias="}},
        };
    }

    static std::function<void()> nothing()
    {
        return [] {};
    }

private slots:
    void init() { fixture.setUp(); }
    void cleanup() { fixture.tearDown(); }

    void recordedEvents_data() { EventFixture::addCaseRows(cases()); }
    void recordedEvents() { fixture.checkCaseRow(cases()); }

    void thePlayersSeeTheAliasAsItStands()
    {
        // Alias events name their creature as the players see it at the time of asking.
        record(new SetAliasEvent(fixture.goblin1, true, "Scout", stream()));
        Event* shown = Global::history->getCurrentEvent();
        QCOMPARE(shown->getDescription(false), "Goblin (1): Show Alias: Scout");
        QCOMPARE(shown->getDescription(true), "\"Scout\": Show Alias: Scout");
        QVERIFY(fixture.goblin1->isShowAlias());

        record(new SetAliasEvent(fixture.goblin2, false, "Sneak", stream()));
        Event* hidden = Global::history->getCurrentEvent();
        QCOMPARE(hidden->getDescription(true), "Goblin (2): Hide Alias");
        Global::history->back();
        QCOMPARE(hidden->getDescription(true), "\"Sneak\": Hide Alias");
        QVERIFY(fixture.goblin2->isShowAlias());

        record(new SetAliasEvent(fixture.goblin2, true, "", stream()));
        QCOMPARE(Global::history->getCurrentEvent()->getDescription(false), "Goblin (2): Remove Alias");
        QCOMPARE(fixture.goblin2->getAlias(), "");
        Global::history->back();
        QCOMPARE(fixture.goblin2->getAlias(), "Sneak");
        Global::history->back();
        QVERIFY(!fixture.goblin1->isShowAlias());
        QCOMPARE(fixture.goblin1->getAlias(), "");
    }

    void thePowerGivesItsName()
    {
        CreaturePower* power = givePower(fixture.aldric, "Twin Strike", Power::TwicePerEncounter);
        record(new PowerUsageChangedEvent(fixture.aldric, power, PowerUsageChangedEvent::Used, stream()));
        QCOMPARE(Global::history->getCurrentEvent()->getDescription(false), "Aldric: Used Twin Strike (1/2)");
        QVERIFY(power->getUsed());
    }

    void undoPutsBackTheStateAtConstruction()
    {
        // Used once and released: the reset's undo gives back exactly that, not merely "used".
        CreaturePower* power = givePower(fixture.aldric, "Twin Strike", Power::TwicePerEncounter, {true, false});
        record(usageChange(fixture.aldric, "Twin Strike", PowerUsageChangedEvent::ResetUsage, stream()));
        power->setUsed(true);
        Global::history->back();
        QCOMPARE(int(power->usage), 2);
        QVERIFY(!power->getUsed());
        QCOMPARE(power->getUsageCount(), 1);
    }

    void aPowerRenamedLaterIsLeftAlone()
    {
        CreaturePower* power = givePower(fixture.aldric, "Twin Strike", Power::TwicePerEncounter);
        record(usageChange(fixture.aldric, "Twin Strike", PowerUsageChangedEvent::Used, stream()));
        power->name = "Double Strike";
        Global::history->back();
        QVERIFY(power->getUsed());
        QCOMPARE(Global::history->getEvent(0)->getDescription(false), "Aldric: Used Twin Strike");
        Global::history->forward(false);
        QCOMPARE(power->getUsageCount(), 1);
    }

    void eachChangeTellsTheCreature()
    {
        givePower(fixture.aldric, "Twin Strike", Power::TwicePerEncounter);
        QSignalSpy updates(fixture.aldric, &Creature::doCreatureUpdated);
        // Also a change the events do not know.
        record(usageChange(fixture.aldric, "Twin Strike", 9, stream()));
        QCOMPARE(updates.count(), 1);
        Global::history->back();
        QCOMPARE(updates.count(), 2);
        // The show flag and the alias each.
        record(new SetAliasEvent(fixture.aldric, true, "Hood", stream()));
        QCOMPARE(updates.count(), 4);
    }

    void theLogNamesACreatureNotYetKnown()
    {
        // Read back from the log, a name that no creature holds yet makes the placeholder.
        ObjectStream* log = stream();
        log->mark();
        log->write(ID_EVENT_TYPE, int(Event::SetAliasType));
        log->write(ID_SET_ALIAS_EVENT_CREATURE, QString("Goblin (7)"));
        log->write(ID_SET_ALIAS_EVENT_SHOW, 1);
        log->write(ID_SET_ALIAS_EVENT_ALIAS, QString("Scout"));
        log->write(ID_EVENT_END);
        log->incOffset(log->setToMark());
        QVERIFY(!Creature::getCreatureByName("Goblin (7)", false));
        QVERIFY(Global::history->rootChanged());
        Creature* placeholder = Creature::getCreatureByName("Goblin (7)", false);
        QVERIFY(placeholder);
        QCOMPARE(placeholder->getDisplayName(true), "\"Scout\"");
        QCOMPARE(Global::history->getCurrentEvent()->getDescription(false), "Goblin (7): Show Alias: Scout");
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestPowerEvents)
#include "test_powerevents.moc"
