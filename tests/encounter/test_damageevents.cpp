#include <QGuiApplication>

#include "library/characters.h"
#include "encounter/damageevents.h"
#include "encounter/eventtesting.h"
#include "support/testsupport.h"

class TestDamageEvents : public QObject
{
    Q_OBJECT

private:
    TemporaryHome home;
    RecordingUiHooks hooks;
    EventFixture fixture;

    QList<RecordedCase> cases()
    {
        EventFixture* f = &fixture;
        const auto nothing = [] {};
        return {
            {"typed damage from a hero to two monsters", nothing,
             [f](ObjectStream* s) {
                 return new DamageEvent("Fireball", f->aldric, {f->goblin1, f->goblin2}, 7, "fire", s);
             },
             {ID_EVENT_TYPE, ID_DAMAGE_EVENT_DAMAGE, 342, 343, ID_DAMAGE_EVENT_END},
             {"Aldric", "Goblin (1)", "Goblin (2)"},
             "Aldric -> Damaged 7 (fire): Goblin (1), Goblin (2)",
             "Aldric -> Damaged 7 (fire): Goblin (1), \"Sneak\"", true,
             {"Goblin (1).attacker=Aldric", "Goblin (1).beforeHp=13", "Goblin (1).hp=13", "Goblin (1).taken=7",
              "Goblin (2).attacker=Aldric", "Goblin (2).beforeHp=13", "Goblin (2).hp=13", "Goblin (2).taken=7"}},
            {"plain damage between monsters", nothing,
             [f](ObjectStream* s) { return new DamageEvent("", f->goblin1, f->goblin2, 4, "", s); },
             {ID_EVENT_TYPE, ID_DAMAGE_EVENT_DAMAGE, ID_DAMAGE_EVENT_END},
             {"Goblin (1)", "Goblin (2)"},
             "Goblin (1) -> Damaged 4: Goblin (2)", "Goblin (1) -> Damaged 4: \"Sneak\"", false,
             {"Goblin (2).attacker=Goblin (1)", "Goblin (2).beforeHp=16", "Goblin (2).hp=16", "Goblin (2).taken=4"}},
            {"damage without an origin, through temporary hit points",
             [f] { f->aldric->setTempHitPoints(5); },
             [f](ObjectStream* s) { return new DamageEvent("", nullptr, f->aldric, 12, "", s); },
             {ID_EVENT_TYPE, ID_DAMAGE_EVENT_DAMAGE, ID_DAMAGE_EVENT_END},
             {"", "Aldric"},
             "Damaged 12: Aldric", "Damaged 12: Aldric", true,
             {"Aldric.beforeHp=23", "Aldric.hp=23", "Aldric.taken=7", "Aldric.thp=0"}},
            {"damage to no one", nothing,
             [f](ObjectStream* s) { return new DamageEvent("", f->goblin1, QList<Creature*>(), 4, "", s); },
             {ID_EVENT_TYPE, ID_DAMAGE_EVENT_DAMAGE, ID_DAMAGE_EVENT_END},
             {"Goblin (1)"},
             "Goblin (1) -> Damaged 4: ", "Goblin (1) -> Damaged 4: ", false,
             {}},
            {"typed ongoing damage", nothing,
             [f](ObjectStream* s) {
                 return new OnGoingDamageEvent("Flaming Sphere", f->goblin1, f->aldric, 5, "fire", s);
             },
             {ID_EVENT_TYPE, ID_DAMAGE_EVENT_DAMAGE, 342, 343, ID_DAMAGE_EVENT_END},
             {"Goblin (1)", "Aldric"},
             "Ongoing Damage 5 (fire): Aldric", "Ongoing Damage 5 (fire): Aldric", true,
             {"Aldric.attacker=Goblin (1)", "Aldric.beforeHp=25", "Aldric.hp=25", "Aldric.taken=5"}},
            {"plain ongoing damage to a monster", nothing,
             [f](ObjectStream* s) { return new OnGoingDamageEvent("", nullptr, f->goblin2, 3, "", s); },
             {ID_EVENT_TYPE, ID_DAMAGE_EVENT_DAMAGE, ID_DAMAGE_EVENT_END},
             {"", "Goblin (2)"},
             "Ongoing Damage 3: Goblin (2)", "Ongoing Damage 3: \"Sneak\"", false,
             {"Goblin (2).beforeHp=17", "Goblin (2).hp=17", "Goblin (2).taken=3"}},
            {"heal spending a surge, from a power", nothing,
             [f](ObjectStream* s) { return new HealEvent("Healing Word", f->aldric, f->brenna, 1, 10, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, 353, ID_HEAL_EVENT_END},
             {"Aldric", "Brenna"},
             "Aldric -> Healed 10 (-1 HS): Brenna", "Aldric -> Healed 10 (-1 HS): Brenna", true,
             {"Brenna.beforeHp=24", "Brenna.beforeHs=1", "Brenna.heals=1", "Brenna.hp=24", "Brenna.hs=1"}},
            {"heal regaining a surge", nothing,
             [f](ObjectStream* s) { return new HealEvent("", f->aldric, QList<Creature*>{f->brenna}, -1, 3, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, ID_HEAL_EVENT_END},
             {"Aldric", "Brenna"},
             "Aldric -> Healed 3 (+1 HS): Brenna", "Aldric -> Healed 3 (+1 HS): Brenna", true,
             {"Brenna.beforeHp=23", "Brenna.beforeHs=3", "Brenna.heals=1", "Brenna.hp=23", "Brenna.hs=3"}},
            {"heal without surges, from no one, up to the maximum",
             [f] { f->goblin1->applyDamage(3, nullptr); },
             [f](ObjectStream* s) { return new HealEvent("", nullptr, {f->goblin1, f->goblin2}, 0, 4, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, ID_HEAL_EVENT_END},
             {"", "Goblin (1)", "Goblin (2)"},
             "Healed 4: Goblin (1), Goblin (2)", "Healed 4: Goblin (1), \"Sneak\"", false,
             {"Goblin (1).beforeHp=20", "Goblin (1).heals=1", "Goblin (1).hp=20", "Goblin (2).heals=1"}},
            {"surges spent without healing", nothing,
             [f](ObjectStream* s) { return new HealEvent("", f->brenna, f->brenna, 2, 0, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, ID_HEAL_EVENT_END},
             {"Brenna", "Brenna"},
             "Brenna -> Healing Surges -2: Brenna", "Brenna -> Healing Surges -2: Brenna", true,
             {"Brenna.beforeHs=0", "Brenna.heals=1", "Brenna.hs=0"}},
            {"surges regained without healing", nothing,
             [f](ObjectStream* s) { return new HealEvent("", f->brenna, f->brenna, -2, 0, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, ID_HEAL_EVENT_END},
             {"Brenna", "Brenna"},
             "Brenna -> Healing Surges +2: Brenna", "Brenna -> Healing Surges +2: Brenna", true,
             {"Brenna.beforeHs=4", "Brenna.heals=1", "Brenna.hs=4"}},
            {"heal of nothing", nothing,
             [f](ObjectStream* s) { return new HealEvent("", f->aldric, f->brenna, 0, 0, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, ID_HEAL_EVENT_END},
             {"Aldric", "Brenna"},
             "Aldric -> Healed 0: Brenna", "Aldric -> Healed 0: Brenna", true,
             {"Brenna.heals=1"}},
            {"heal of no one", nothing,
             [f](ObjectStream* s) { return new HealEvent("", f->aldric, QList<Creature*>(), 1, 10, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, ID_HEAL_EVENT_END},
             {"Aldric"},
             "Aldric -> Healed 10 (-1 HS): ", "Aldric -> Healed 10 (-1 HS): ", true,
             {}},
            {"regeneration", [f] { f->goblin1->applyDamage(10, nullptr); },
             [f](ObjectStream* s) { return new RegenerationEvent("Troll Blood", f->goblin1, 3, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, 353, ID_HEAL_EVENT_END},
             {"", "Goblin (1)"},
             "Regeneration 3: Goblin (1)", "Regeneration 3: Goblin (1)", false,
             {"Goblin (1).beforeHp=13", "Goblin (1).heals=1", "Goblin (1).hp=13"}},
            {"temporary hit points", nothing,
             [f](ObjectStream* s) { return new SetTempHPEvent({f->aldric, f->brenna}, 5, s); },
             {ID_EVENT_TYPE, ID_SET_THP_RESOURCE_AMOUNT, ID_SET_THP_RESOURCE_END},
             {"", "Aldric", "Brenna"},
             "Gained Temporary HP 5: Aldric, Brenna", "Gained Temporary HP 5: Aldric, Brenna", true,
             {"Aldric.thp=5", "Brenna.thp=5"}},
            {"temporary hit points below those held", [f] { f->goblin2->setTempHitPoints(8); },
             [f](ObjectStream* s) { return new SetTempHPEvent({f->goblin2}, 5, s); },
             {ID_EVENT_TYPE, ID_SET_THP_RESOURCE_AMOUNT, ID_SET_THP_RESOURCE_END},
             {"", "Goblin (2)"},
             "Gained Temporary HP 5: Goblin (2)", "Gained Temporary HP 5: \"Sneak\"", false,
             {}},
            {"second wind", [f] { f->aldric->applyDamage(10, nullptr); },
             [f](ObjectStream* s) { return new SecondWindEvent(f->aldric, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, ID_HEAL_EVENT_END},
             {"Aldric", "Aldric"},
             "Second Wind: Aldric", "Second Wind: Aldric", true,
             {"Aldric.beforeHp=27", "Aldric.beforeHs=5", "Aldric.effects=19", "Aldric.heals=1", "Aldric.hp=27",
              "Aldric.hs=5", "Aldric.secondWind=1"}},
            {"second wind of a monster", [f] { f->goblin2->applyDamage(10, nullptr); },
             [f](ObjectStream* s) { return new SecondWindEvent(f->goblin2, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, ID_HEAL_EVENT_END},
             {"Goblin (2)", "Goblin (2)"},
             "Second Wind: Goblin (2)", "Second Wind: \"Sneak\"", true,
             {"Goblin (2).beforeHp=15", "Goblin (2).effects=19", "Goblin (2).heals=1", "Goblin (2).hp=15",
              "Goblin (2).secondWind=1"}},
            {"first aid", [f] { f->aldric->applyDamage(10, nullptr); },
             [f](ObjectStream* s) { return new AdministerFirstAidEvent(f->brenna, f->aldric, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, ID_HEAL_EVENT_END},
             {"Brenna", "Aldric"},
             "Brenna -> Second Wind (First Aid): Aldric", "Brenna -> Second Wind (First Aid): Aldric", true,
             {"Aldric.beforeHp=27", "Aldric.beforeHs=5", "Aldric.heals=1", "Aldric.hp=27", "Aldric.hs=5",
              "Aldric.secondWind=1"}},
            {"first aid between monsters", nothing,
             [f](ObjectStream* s) { return new AdministerFirstAidEvent(f->goblin1, f->goblin2, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, ID_HEAL_EVENT_END},
             {"Goblin (1)", "Goblin (2)"},
             "Goblin (1) -> Second Wind (First Aid): Goblin (2)",
             "Goblin (1) -> Second Wind (First Aid): \"Sneak\"", true,
             {"Goblin (2).heals=1", "Goblin (2).secondWind=1"}},
            {"healing surge regained", nothing,
             [f](ObjectStream* s) { return new GainHealingSurgeEvent(f->aldric, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, ID_HEAL_EVENT_END},
             {"Aldric", "Aldric"},
             "Aldric -> Gained Healing Surge: Aldric", "Aldric -> Gained Healing Surge: Aldric", true,
             {"Aldric.beforeHs=7", "Aldric.heals=1", "Aldric.hs=7"}},
            {"healing surge regained at the maximum", [f] { f->brenna->setCurrHealingSurges(6); },
             [f](ObjectStream* s) { return new GainHealingSurgeEvent(f->brenna, s); },
             {ID_EVENT_TYPE, ID_HEAL_EVENT_US, ID_HEAL_EVENT_HP, ID_HEAL_EVENT_END},
             {"Brenna", "Brenna"},
             "Brenna -> Gained Healing Surge: Brenna", "Brenna -> Gained Healing Surge: Brenna", true,
             {"Brenna.beforeHs=6", "Brenna.heals=1"}},
        };
    }

    // Writes a record as no live constructor would, for the replay to read.
    static void writeHealRecord(Event::Type type, Creature* origin, const QList<Creature*>& targets, int surges,
                                int hp)
    {
        ObjectStream* stream = Global::history->getStream(false);
        stream->mark();
        stream->write(ID_EVENT_TYPE, int(type));
        Creature::write(origin, stream);
        Creature::write(targets, stream);
        stream->write(ID_HEAL_EVENT_US, surges);
        stream->write(ID_HEAL_EVENT_HP, hp);
        stream->write(ID_HEAL_EVENT_END);
        stream->setToMark();
    }

private slots:
    void init() { fixture.setUp(); }
    void cleanup() { fixture.tearDown(); }

    void recordedEvents_data() { EventFixture::addCaseRows(cases()); }

    void recordedEvents() { fixture.checkCaseRow(cases()); }

    void recordedTextsStayText()
    {
        // "%1" and "%" in the recorded texts are text, not places for numbers.
        const EventMaker make = [this](ObjectStream* s) {
            return new DamageEvent("Sword of 100% Doom", fixture.aldric, fixture.goblin1, 9, "%1 radiant", s);
        };
        if (!fixture.checkRecordedEvent(make, {"Goblin (1).attacker=Aldric", "Goblin (1).beforeHp=11",
                                               "Goblin (1).hp=11", "Goblin (1).taken=9"}))
            return;
        QCOMPARE(Global::history->getEventText(0), QString("Aldric -> Damaged 9 (%1 radiant): Goblin (1)"));
    }

    void secondWindMovesOneEffect()
    {
        Creature* aldric = fixture.aldric;
        auto* event = new SecondWindEvent(aldric, Global::history->getStream(false));
        Global::history->apply(event, false);
        QCOMPARE(aldric->getEffects().size(), 1);
        Effect* effect = aldric->getEffects().first();
        QCOMPARE(effect->getEffectType(), CE::SecondWind);
        QCOMPARE(effect->getEndCondition(), CE::StartOfTargetsNextTurn);
        QCOMPARE(effect->getOrigin(), aldric);
        QCOMPARE(effect->getTarget(), aldric);

        Global::history->back();
        QVERIFY(aldric->getEffects().isEmpty());
        Global::history->forward(false);
        QCOMPARE(aldric->getEffects(), QList<Effect*>{effect});

        // Dropping the history while the event is applied takes the effect
        // off the creature before it is destroyed.
        Global::history->reset();
        QVERIFY(aldric->getEffects().isEmpty());
    }

    void secondWindOutlivesItsCreature()
    {
        Global::history->apply(new SecondWindEvent(fixture.aldric, Global::history->getStream(false)), false);
        // The library may go before the history, as at shutdown.
        delete Global::characters;
        Global::characters = nullptr;
        Global::history->reset();
        QCOMPARE(Global::history->getEventCount(), 0);
    }

    void secondWindGivenByAnotherMakesNoEffect()
    {
        writeHealRecord(Event::SecondWindType, fixture.brenna, {fixture.aldric}, 1, 7);
        fixture.aldric->applyDamage(10, nullptr);
        QVERIFY(Global::history->rootChanged());
        QCOMPARE(Global::history->getEventCount(), 1);
        QCOMPARE(fixture.aldric->getCurrHitPoints(), 27);
        QVERIFY(fixture.aldric->isSecondWindUsed());
        QVERIFY(fixture.aldric->getEffects().isEmpty());
    }

    void missingTargetsAreLeftAlone()
    {
        // A target that was missing when the record was written has an empty name.
        writeHealRecord(Event::HealType, fixture.aldric, {nullptr, fixture.brenna, nullptr}, 0, 3);
        QVERIFY(Global::history->rootChanged());
        QCOMPARE(Global::history->getEventCount(), 1);
        QCOMPARE(Global::history->getEventText(0), QString("Aldric -> Healed 3: Brenna"));
        QCOMPARE(fixture.brenna->getCurrHitPoints(), 23);
        Global::history->back();
        QCOMPARE(fixture.brenna->getCurrHitPoints(), 20);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestDamageEvents)
#include "test_damageevents.moc"
