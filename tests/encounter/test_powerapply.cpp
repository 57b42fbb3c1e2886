#include <QGuiApplication>

#include "encounter/effectevents.h"
#include "encounter/eventtesting.h"
#include "powers/power.h"
#include "support/testsupport.h"

namespace {

template <class Step>
Step* addStep(CreaturePower& power, Power::StepType list = Power::Hit)
{
    return static_cast<Step*>(power.program.addStep(Step().type(), list));
}

EndConditionStep* addEnding(CreaturePower& power, CE::EndCondition ending, bool sustainable = false)
{
    EndConditionStep* step = addStep<EndConditionStep>(power);
    step->endCondition = ending;
    step->sustainable = sustainable;
    return step;
}

// A power's use: its program and whom it is used on.
struct PowerUse
{
    const char* name;
    std::function<void()> prepare; // may be empty
    std::function<void(CreaturePower&)> program;
    std::function<QList<Creature*>()> targets;
    Power::StepType list;
    // Class and description of each event recorded, in order.
    QStringList events;
    QStringList changes;
    // Each effect placed, by target.
    QStringList effects;
};

}

class TestPowerApply : public QObject
{
    Q_OBJECT

private:
    TemporaryHome home;
    RecordingUiHooks hooks;
    EventFixture fixture;

    static ObjectStream* stream() { return Global::history->getStream(false); }

    static QStringList eventsFrom(int first)
    {
        QStringList events;
        for (int i = first; i < Global::history->getEventCount(); i++) {
            Event* event = Global::history->getEvent(i);
            events.append(QString(event->metaObject()->className()) + ": " + event->getDescription(false));
        }
        return events;
    }

    // Every effect on the fixture's creatures, with all that a power sets in it.
    QStringList effects() const
    {
        QStringList texts;
        for (Creature* c : fixture.creatures())
            for (Effect* e : c->getEffects()) {
                const EffectDetails& d = e->getDetails();
                texts.append(QString("%1: type %2 end %3 group %4 amount %5 '%6' positive %7%8 from %9 by %10")
                                 .arg(c->getNameGroup())
                                 .arg(d.type)
                                 .arg(d.endCondition)
                                 .arg(d.groupId)
                                 .arg(d.amount)
                                 .arg(d.comment, QString::number(d.positive),
                                      d.sustainable ? " sustainable" : "", d.sourceName,
                                      d.origin ? d.origin->getNameGroup() : QString()));
            }
        return texts;
    }

    QList<PowerUse> uses()
    {
        EventFixture* f = &fixture;
        const auto heroes = [f] { return QList<Creature*>{f->aldric, f->brenna}; };
        const auto goblins = [f] { return QList<Creature*>{f->goblin1, f->goblin2}; };
        return {
            {"surges spent, each worth the target's own", [f] { f->aldric->applyDamage(20, nullptr); },
             [](CreaturePower& p) {
                 auto* step = addStep<HealingStep>(p);
                 step->hitPoints = 2;
                 step->surges = -1;
             },
             heroes, Power::Hit,
             {"HealEvent: Brenna -> Healed 9 (-1 HS): Aldric",
              "HealEvent: Brenna -> Healed 8 (-1 HS): Brenna"},
             {"Aldric.beforeHp=19",
              "Aldric.beforeHs=5",
              "Aldric.heals=1",
              "Aldric.hp=19",
              "Aldric.hs=5",
              "Brenna.beforeHp=24",
              "Brenna.beforeHs=1",
              "Brenna.heals=1",
              "Brenna.hp=24",
              "Brenna.hs=1"},
             {}},
            {"a dying hero stabilised, surges regained, temporary hit points",
             [f] { f->aldric->applyDamage(35, nullptr); },
             [](CreaturePower& p) {
                 auto* step = addStep<HealingStep>(p);
                 step->stabilize = true;
                 step->surges = 1;
                 step->tempHitPoints = 5;
             },
             heroes, Power::Hit,
             {"StabilizeEvent: Brenna -> Stabilized: Aldric",
              "HealEvent: Brenna -> Healing Surges +1: Aldric, Brenna",
              "SetTempHPEvent: Gained Temporary HP 5: Aldric, Brenna"},
             {"Aldric.beforeHp=0",
              "Aldric.beforeHs=7",
              "Aldric.heals=1",
              "Aldric.hp=0",
              "Aldric.hs=7",
              "Aldric.stabilized=1",
              "Aldric.thp=5",
              "Brenna.beforeHs=3",
              "Brenna.heals=1",
              "Brenna.hs=3",
              "Brenna.thp=5"},
             {}},
            {"temporary hit points alone", nullptr,
             [](CreaturePower& p) { addStep<HealingStep>(p)->tempHitPoints = 4; },
             heroes, Power::Hit,
             {"SetTempHPEvent: Gained Temporary HP 4: Aldric, Brenna"},
             {"Aldric.thp=4",
              "Brenna.thp=4"},
             {}},
            {"damage with its type", nullptr,
             [](CreaturePower& p) {
                 auto* step = addStep<DamageStep>(p);
                 step->damage = 6;
                 step->damageType = "fire";
                 addStep<DamageStep>(p);
             },
             goblins, Power::Hit,
             {"DamageEvent: Brenna -> Damaged 6 (fire): Goblin (1), Goblin (2)"},
             {"Goblin (1).attacker=Brenna",
              "Goblin (1).beforeHp=14",
              "Goblin (1).hp=14",
              "Goblin (1).taken=6",
              "Goblin (2).attacker=Brenna",
              "Goblin (2).beforeHp=14",
              "Goblin (2).hp=14",
              "Goblin (2).taken=6"},
             {}},
            {"a condition ended by a saving throw", nullptr,
             [](CreaturePower& p) {
                 auto* step = addStep<ConditionStep>(p);
                 step->condition = CE::Dazed;
                 step->comment = "reeling";
                 addEnding(p, CE::SaveEnds, true);
                 addStep<ConditionStep>(p);
             },
             goblins, Power::Hit,
             {"EffectEvent: Brenna -> Dazed (reeling): Goblin (1), Goblin (2)"},
             {"Goblin (1).effects=2",
              "Goblin (2).effects=2"},
             {"Goblin (1): type 2 end 3 group 1 amount 0 'reeling' positive -1 sustainable from Flame Wave by Brenna",
              "Goblin (2): type 2 end 3 group 1 amount 0 'reeling' positive -1 sustainable from Flame Wave by Brenna"}},
            {"a comment alone", nullptr,
             [](CreaturePower& p) { addStep<ConditionStep>(p)->comment = "singed"; },
             goblins, Power::Hit,
             {"EffectEvent: Brenna -> singed: Goblin (1), Goblin (2)"},
             {"Goblin (1).effects=31",
              "Goblin (2).effects=31"},
             {"Goblin (1): type 31 end 0 group 1 amount 0 'singed' positive -1 from Flame Wave by Brenna",
              "Goblin (2): type 31 end 0 group 1 amount 0 'singed' positive -1 from Flame Wave by Brenna"}},
            {"effects by the sign of their amount", nullptr,
             [](CreaturePower& p) {
                 auto* damage = addStep<OnGoingStep>(p);
                 damage->amount = -5;
                 damage->damageType = "fire";
                 damage->prompt = true;
                 addStep<OnGoingStep>(p)->amount = 3;
                 auto* penalty = addStep<BonusStep>(p);
                 penalty->amount = -2;
                 penalty->attributes.toHit = true;
                 auto* bonus = addStep<BonusStep>(p);
                 bonus->amount = 1;
                 bonus->attributes.armorClass = true;
                 auto* resistance = addStep<ResistanceStep>(p);
                 resistance->amount = 5;
                 resistance->damageType = "fire";
                 auto* vulnerability = addStep<ResistanceStep>(p);
                 vulnerability->amount = -5;
                 vulnerability->damageType = "cold";
                 addStep<OnGoingStep>(p);
                 addStep<BonusStep>(p);
                 addStep<ResistanceStep>(p);
             },
             [f] { return QList<Creature*>{f->goblin1}; }, Power::Hit,
             {"EffectEvent: Brenna -> Ongoing 5 Damage (fire): Goblin (1)",
              "EffectEvent: Brenna -> Regeneration 3: Goblin (1)",
              "EffectEvent: Brenna -> -2 to Hit: Goblin (1)",
              "EffectEvent: Brenna -> +1 to AC: Goblin (1)",
              "EffectEvent: Brenna -> Resist 5 (fire): Goblin (1)",
              "EffectEvent: Brenna -> Vulnerable 5 (cold): Goblin (1)"},
             {"Goblin (1).effects=20 21 22 23 28 29"},
             {"Goblin (1): type 20 end 0 group 1 amount 5 'fire' positive 2 from Flame Wave by Brenna",
              "Goblin (1): type 21 end 0 group 1 amount 3 '' positive -1 from Flame Wave by Brenna",
              "Goblin (1): type 22 end 0 group 1 amount 2 '' positive -1 from Flame Wave by Brenna",
              "Goblin (1): type 23 end 0 group 1 amount 1 '' positive -1 from Flame Wave by Brenna",
              "Goblin (1): type 28 end 0 group 1 amount 5 'fire' positive -1 from Flame Wave by Brenna",
              "Goblin (1): type 29 end 0 group 1 amount 5 'cold' positive -1 from Flame Wave by Brenna"}},
            {"resources used by each target", nullptr,
             [](CreaturePower& p) {
                 addStep<UseResourceStep>(p);
                 auto* step = addStep<UseResourceStep>(p);
                 step->resource = UseResourceStep::SecondWind;
             },
             heroes, Power::Hit,
             {"UseActionPointEvent: Use Action Point: Aldric",
              "UseActionPointEvent: Use Action Point: Brenna",
              "UseSecondWindEvent: Use Second Wind: Aldric",
              "UseSecondWindEvent: Use Second Wind: Brenna"},
             {"Aldric.ap=0",
              "Aldric.beforeAp=0",
              "Aldric.secondWind=1",
              "Brenna.ap=0",
              "Brenna.beforeAp=0",
              "Brenna.secondWind=1"},
             {}},
            {"one group for each end condition", [f] {
                 EffectDetails earlier;
                 earlier.type = CE::Marked;
                 earlier.groupId = 7;
                 QVERIFY(Global::history->apply(new EffectEvent(earlier, {f->aldric}, stream()), false));
             },
             [](CreaturePower& p) {
                 addStep<ConditionStep>(p)->condition = CE::Slowed;
                 auto* bonus = addStep<BonusStep>(p);
                 bonus->amount = 1;
                 bonus->attributes.will = true;
                 addEnding(p, CE::EndOfOriginsNextTurn);
                 addStep<OnGoingStep>(p)->amount = -2;
                 addEnding(p, CE::SaveEnds, true);
                 addEnding(p, CE::EndOfEncounter);
                 auto* resistance = addStep<ResistanceStep>(p);
                 resistance->amount = 3;
             },
             [f] { return QList<Creature*>{f->goblin2}; }, Power::Hit,
             {"EffectEvent: Brenna -> Slowed: Goblin (2)",
              "EffectEvent: Brenna -> +1 to Will: Goblin (2)",
              "EffectEvent: Brenna -> Ongoing 2 Damage: Goblin (2)",
              "EffectEvent: Brenna -> Resist 3: Goblin (2)"},
             {"Goblin (2).effects=13 23 20 28"},
             {"Goblin (2): type 13 end 1 group 8 amount 0 '' positive -1 from Flame Wave by Brenna",
              "Goblin (2): type 23 end 1 group 8 amount 1 '' positive -1 from Flame Wave by Brenna",
              "Goblin (2): type 20 end 3 group 9 amount 2 '' positive -1 sustainable from Flame Wave by Brenna",
              "Goblin (2): type 28 end 0 group 10 amount 3 '' positive -1 from Flame Wave by Brenna"}},
            {"only the list asked for", nullptr,
             [](CreaturePower& p) {
                 addStep<DamageStep>(p, Power::Hit)->damage = 8;
                 addStep<HealingStep>(p, Power::Miss)->hitPoints = 3;
                 addStep<ConditionStep>(p, Power::Effect)->condition = CE::Prone;
             },
             goblins, Power::Miss,
             {"HealEvent: Brenna -> Healed 3: Goblin (1), Goblin (2)"},
             {"Goblin (1).heals=1",
              "Goblin (2).heals=1"},
             {}},
        };
    }

private slots:
    void init() { fixture.setUp(); }
    void cleanup() { fixture.tearDown(); }

    void recordsTheStepsOfTheList_data()
    {
        QTest::addColumn<int>("row");
        const QList<PowerUse> all = uses();
        for (int i = 0; i < all.size(); i++)
            QTest::newRow(all[i].name) << i;
    }

    void recordsTheStepsOfTheList()
    {
        QFETCH(int, row);
        const PowerUse use = uses().at(row);
        if (use.prepare)
            use.prepare();
        CreaturePower power;
        power.name = "Flame Wave";
        use.program(power);

        const World before = fixture.world();
        const QStringList effectsBefore = effects();
        const int first = Global::history->getEventCount();
        QVERIFY(power.apply(fixture.brenna, use.targets(), use.list, stream()));
        const World after = fixture.world();
        QCOMPARE(eventsFrom(first), use.events);
        QCOMPARE(EventFixture::changes(before, after), use.changes.join("; "));
        QCOMPARE(effects(), effectsBefore + use.effects);

        // Stepped back through, the creatures are as they were; forward again, as the power left them.
        while (Global::history->getCurrentIndex() >= first)
            Global::history->back();
        QCOMPARE(EventFixture::changes(fixture.world(), before), QString());
        QCOMPARE(effects(), effectsBefore);
        while (Global::history->hasForward())
            Global::history->forward(false);
        QCOMPARE(EventFixture::changes(fixture.world(), after), QString());

        // The log replayed gives the same events and the same effects.
        while (Global::history->hasBack())
            Global::history->back();
        QVERIFY(Global::history->rootChanged());
        QCOMPARE(EventFixture::changes(fixture.world(), after), QString());
        QCOMPARE(eventsFrom(first), use.events);
        QCOMPARE(effects(), effectsBefore + use.effects);
    }

    void stopsAtARecordThatCannotBeWritten()
    {
        auto* full = new QFile("/dev/full");
        QVERIFY(full->open(QIODevice::ReadWrite));
        ObjectStream failing(full);
        CreaturePower power;
        power.name = "Flame Wave";
        addStep<DamageStep>(power)->damage = 4;
        addStep<ConditionStep>(power)->condition = CE::Dazed;
        const World before = fixture.world();
        QVERIFY(!power.apply(fixture.brenna, {fixture.goblin1}, Power::Hit, &failing));
        // The user is told once, and the model does not run ahead of the log.
        QCOMPARE(hooks.alerts.size(), 1);
        QCOMPARE(Global::history->getEventCount(), 0);
        QCOMPARE(EventFixture::changes(before, fixture.world()), QString());
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestPowerApply)
#include "test_powerapply.moc"
