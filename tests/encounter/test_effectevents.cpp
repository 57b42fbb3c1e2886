#include <QGuiApplication>

#include "library/characters.h"
#include "encounter/effectevents.h"
#include "encounter/eventtags.h"
#include "encounter/eventtesting.h"
#include "support/testsupport.h"

namespace {

EffectDetails effectDetails(Creature* origin, CE::EffectType type, CE::EndCondition ending = CE::SaveEnds,
                            unsigned int groupId = 0)
{
    EffectDetails details;
    details.origin = origin;
    details.type = type;
    details.endCondition = ending;
    details.groupId = groupId;
    return details;
}

// What a power using every field of a record puts on its targets.
EffectDetails fullDetails(Creature* origin)
{
    EffectDetails details = effectDetails(origin, CE::Penalty, CE::SaveEnds, 7);
    details.sourceName = "Hunter's Quarry";
    details.comment = "fear";
    details.amount = 2;
    details.attributes.armorClass = true;
    details.attributes.will = true;
    details.positive = EffectDetails::Harmful;
    details.sustainable = true;
    return details;
}

// Everything a record keeps of an effect, as text.
QString detailsText(const Effect* effect)
{
    const EffectDetails& d = effect->getDetails();
    return QStringList{d.sourceName,
                       effect->getOriginName(),
                       QString::number(d.type),
                       QString::number(d.endCondition),
                       d.comment,
                       QString::number(d.amount),
                       d.attributes.getAttributes(),
                       QString::number(d.positive),
                       QString::number(d.groupId),
                       QString::number(d.sustainable)}
        .join('|');
}

// The creature's effects in list order, as "type/group".
QStringList effectsOf(Creature* creature)
{
    QStringList effects;
    for (Effect* effect : creature->getEffects())
        effects.append(QString("%1/%2").arg(effect->getEffectType()).arg(effect->getGroupId()));
    return effects;
}

bool record(Event* event)
{
    return Global::history->apply(event, false);
}

ObjectStream* stream()
{
    return Global::history->getStream(false);
}

void giveEffect(Creature* origin, CE::EffectType type, Creature* target, unsigned int groupId = 0)
{
    record(new EffectEvent(effectDetails(origin, type, CE::SaveEnds, groupId), {target}, stream()));
}

// Writes a record by hand at the history's cursor, for the replay to read.
void writeRawRecord(Event::Type type, const std::function<void(ObjectStream*)>& payload)
{
    ObjectStream* log = stream();
    log->mark();
    log->write(ID_EVENT_TYPE, int(type));
    payload(log);
    log->incOffset(log->setToMark());
}

}

class TestEffectEvents : public QObject
{
    Q_OBJECT

private:
    TemporaryHome home;
    RecordingUiHooks hooks;
    EventFixture fixture;

    // Aldric: Dazed and Slowed from one power of the first goblin, then
    // marked by the second; the first goblin dazed by Aldric; the second
    // slowed by the first.
    void prepareEffects()
    {
        EventFixture* f = &fixture;
        giveEffect(f->goblin1, CE::Dazed, f->aldric, 3);
        giveEffect(f->goblin1, CE::Slowed, f->aldric, 3);
        giveEffect(f->goblin2, CE::Marked, f->aldric);
        giveEffect(f->aldric, CE::Dazed, f->goblin1);
        giveEffect(f->goblin1, CE::Slowed, f->goblin2);
    }

    QList<RecordedCase> cases()
    {
        EventFixture* f = &fixture;
        // No optional item: no comment, source, positive override or group.
        const QList<int> effectItems = {ID_EVENT_TYPE, ID_EFFECT_EVENT_TYPE, ID_EFFECT_EVENT_EC, ID_EFFECT_EVENT_AMOUNT,
                                        ID_EFFECTED_ATTR_FLAGS, ID_EFFECTED_ATTR_END, ID_EFFECT_EVENT_SUSTAINABLE,
                                        ID_EFFECT_EVENT_END};
        const QList<int> removalItems = {ID_EVENT_TYPE, ID_ONGOING_EVENT_EFFECT, ID_ONGOING_EVENT_END};
        return {
            {"effect with every item, from a hero to two monsters", nullptr,
             [f](ObjectStream* s) { return new EffectEvent(fullDetails(f->aldric), {f->goblin1, f->goblin2}, s); },
             {ID_EVENT_TYPE, ID_EFFECT_EVENT_TYPE, ID_EFFECT_EVENT_EC, ID_EFFECT_EVENT_COMMENT, ID_EFFECT_EVENT_AMOUNT,
              ID_EFFECTED_ATTR_FLAGS, ID_EFFECTED_ATTR_END, ID_EFFECT_EVENT_SOURCE, ID_EFFECT_EVENT_POSITIVE,
              ID_EFFECT_EVENT_GROUP, ID_EFFECT_EVENT_SUSTAINABLE, ID_EFFECT_EVENT_END},
             {"Aldric", "Goblin (1)", "Goblin (2)"},
             "Aldric -> -2 to AC, Will (fear): Goblin (1), Goblin (2)",
             "Aldric -> -2 to AC, Will (fear): Goblin (1), \"Sneak\"", true,
             {"Goblin (1).effects=2 22", "Goblin (2).effects=13 22"}},
            {"plain effect from a monster known by its alias", nullptr,
             [f](ObjectStream* s) {
                 return new EffectEvent(effectDetails(f->goblin2, CE::Dazed), {f->goblin1}, s);
             },
             effectItems, {"Goblin (2)", "Goblin (1)"},
             "Goblin (2) -> Dazed: Goblin (1)", "\"Sneak\" -> Dazed: Goblin (1)", false,
             {"Goblin (1).effects=2 2"}},
            {"effect without an origin on a hero", nullptr,
             [f](ObjectStream* s) {
                 EffectDetails details = effectDetails(nullptr, CE::OnGoingDamage);
                 details.amount = 5;
                 return new EffectEvent(details, {f->brenna}, s);
             },
             effectItems, {"", "Brenna"},
             "Ongoing 5 Damage: Brenna", "Ongoing 5 Damage: Brenna", true,
             {"Brenna.effects=20"}},
            {"cover names no origin", nullptr,
             [f](ObjectStream* s) {
                 return new EffectEvent(effectDetails(f->goblin1, CE::PartialCover), {f->goblin2}, s);
             },
             effectItems, {"Goblin (1)", "Goblin (2)"},
             "Partial Cover: Goblin (2)", "Partial Cover: \"Sneak\"", false,
             {"Goblin (2).effects=13 24"}},
            {"effect from a hero on no one", nullptr,
             [f](ObjectStream* s) {
                 return new EffectEvent(effectDetails(f->brenna, CE::Dazed), QList<Creature*>(), s);
             },
             effectItems, {"Brenna"},
             "Brenna -> Dazed: ", "Brenna -> Dazed: ", true,
             {}},
            {"total defense of a monster", nullptr,
             [f](ObjectStream* s) { return new TotalDefenseEvent(f->goblin2, s); },
             effectItems, {"", "Goblin (2)"},
             "Total Defense: Goblin (2)", "Total Defense: \"Sneak\"", true,
             {"Goblin (2).effects=13 18"}},
            {"removal from the middle", nullptr,
             [f](ObjectStream* s) { return new RemoveOnGoingEvent(f->aldric, f->aldric->getEffect(1), s); },
             removalItems, {"Aldric"},
             "Remove Slowed", "Remove Slowed", true,
             {"Aldric.effects=2 9"}},
            {"removal at the end of a turn", nullptr,
             [f](ObjectStream* s) { return new RemoveAtEndOfTurnEvent(f->aldric, f->aldric->getEffect(0), s); },
             removalItems, {"Aldric"},
             "End of Turn: Remove Dazed", "End of Turn: Remove Dazed", true,
             {"Aldric.effects=13 9"}},
            {"removal at the start of a turn", nullptr,
             [f](ObjectStream* s) { return new RemoveAtStartOfTurnEvent(f->aldric, f->aldric->getEffect(2), s); },
             removalItems, {"Aldric"},
             "Start of Turn: Remove Marked by Goblin (2)", "Start of Turn: Remove Marked by Goblin (2)", true,
             {"Aldric.effects=2 13"}},
            {"removal on a save from a hero's effect on a monster", nullptr,
             [f](ObjectStream* s) { return new RemoveOnSaveEvent(f->goblin1, f->goblin1->getEffect(0), s); },
             removalItems, {"Goblin (1)"},
             "Saved: Remove Dazed", "Saved: Remove Dazed", true,
             {"Goblin (1).effects="}},
            {"removal at the end of the encounter between monsters", nullptr,
             [f](ObjectStream* s) {
                 return new RemoveAtEndOfEncounterEvent(f->goblin2, f->goblin2->getEffect(0), s);
             },
             removalItems, {"Goblin (2)"},
             "End of Encounter: Remove Slowed", "End of Encounter: Remove Slowed", false,
             {"Goblin (2).effects="}},
        };
    }

    static int recordedPosition(ObjectStream* log)
    {
        const int start = log->getOffset();
        StreamItemList items;
        items.read(log, ID_ONGOING_EVENT_END);
        log->setOffset(start);
        return items.getInt(ID_ONGOING_EVENT_EFFECT);
    }

private slots:
    void init()
    {
        fixture.setUp();
        prepareEffects();
    }
    void cleanup() { fixture.tearDown(); }

    void recordedEvents_data() { EventFixture::addCaseRows(cases()); }

    void recordedEvents() { fixture.checkCaseRow(cases()); }

    void detailsSurviveTheLog_data()
    {
        QTest::addColumn<bool>("full");
        QTest::newRow("every field set") << true;
        QTest::newRow("defaults, optional items left out") << false;
    }

    void detailsSurviveTheLog()
    {
        QFETCH(bool, full);
        Creature* brenna = fixture.brenna;
        const EffectDetails details = full ? fullDetails(fixture.aldric) : effectDetails(nullptr, CE::Blinded);
        record(new EffectEvent(details, {brenna}, stream()));
        const QString written = detailsText(brenna->getEffects().last());

        QVERIFY(Global::history->rootChanged());
        QCOMPARE(brenna->getEffectCount(), 1);
        QCOMPARE(detailsText(brenna->getEffects().last()), written);
    }

    void oneEffectObjectPerTarget()
    {
        Creature* goblin1 = fixture.goblin1;
        Effect* earlier = goblin1->getEffect(0);
        const QList<Creature*> targets = {fixture.aldric, goblin1, fixture.goblin2};
        record(new EffectEvent(effectDetails(fixture.brenna, CE::Dazed), targets, stream()));
        QList<Effect*> made;
        for (Creature* target : targets) {
            Effect* effect = target->getEffects().last();
            QCOMPARE(effect->getTarget(), target);
            QVERIFY(!made.contains(effect));
            made.append(effect);
        }

        // Undo takes exactly those three, not the daze the goblin had before.
        Global::history->back();
        QCOMPARE(goblin1->getEffects(), QList<Effect*>{earlier});
        for (int i = 0; i < targets.size(); i++)
            QVERIFY(!targets[i]->getEffects().contains(made[i]));
        Global::history->forward(false);
        for (int i = 0; i < targets.size(); i++)
            QCOMPARE(targets[i]->getEffects().last(), made[i]);
    }

    void removedEffectsComeBackToTheirPlace()
    {
        Creature* aldric = fixture.aldric;
        const QList<Effect*> held = aldric->getEffects();
        const QStringList shape = effectsOf(aldric);
        QCOMPARE(shape, QStringList({"2/3", "13/3", "9/0"}));

        // Two removals in a row, the grouped middle one first.
        auto* middle = new RemoveOnSaveEvent(aldric, held[1], stream());
        QCOMPARE(recordedPosition(stream()), 1);
        record(middle);
        auto* last = new RemoveOnGoingEvent(aldric, held[2], stream());
        QCOMPARE(recordedPosition(stream()), 1);
        record(last);
        QCOMPARE(aldric->getEffects(), QList<Effect*>{held[0]});

        Global::history->back();
        QCOMPARE(aldric->getEffects(), QList<Effect*>({held[0], held[2]}));
        Global::history->back();
        QCOMPARE(aldric->getEffects(), held);
        QCOMPARE(effectsOf(aldric), shape);

        // Replayed from the log: the same places and groups, here and after undo.
        QVERIFY(Global::history->rootChanged());
        QCOMPARE(effectsOf(aldric), QStringList{"2/3"});
        Global::history->back();
        Global::history->back();
        QCOMPARE(effectsOf(aldric), shape);
    }

    void removalOfAnEffectAlreadyGone()
    {
        Creature* aldric = fixture.aldric;
        Effect* slowed = aldric->getEffect(1);
        auto* event = new RemoveOnGoingEvent(aldric, slowed, stream());
        // As an extended rest would: off the list without an event.
        aldric->removeEffect(slowed);
        record(event);
        QCOMPARE(aldric->getEffectCount(), 2);
        Global::history->back();
        QCOMPARE(aldric->getEffectCount(), 2);
        QVERIFY(!aldric->getEffects().contains(slowed));
    }

    void removalRecordsNamingNoEffect_data()
    {
        QTest::addColumn<QString>("creature");
        QTest::addColumn<int>("position");
        QTest::newRow("position past the list") << "Aldric" << 5;
        QTest::newRow("no creature") << "" << 0;
    }

    void removalRecordsNamingNoEffect()
    {
        QFETCH(QString, creature);
        QFETCH(int, position);
        writeRawRecord(Event::RemoveOnGoingType, [&](ObjectStream* log) {
            Creature::write(creature.isEmpty() ? nullptr : fixture.aldric, log);
            log->write(ID_ONGOING_EVENT_EFFECT, position);
            log->write(ID_ONGOING_EVENT_END);
        });
        QVERIFY(Global::history->rootChanged());
        QCOMPARE(Global::history->getEventCount(), 6);
        QCOMPARE(Global::history->getEventText(5), QString("Remove Unknown Effect"));
        QVERIFY(!Global::history->getCurrentEvent()->isPlayersEvent());
        const QStringList held = effectsOf(fixture.aldric);
        Global::history->back();
        QCOMPARE(effectsOf(fixture.aldric), held);
        Global::history->forward(false);
        QCOMPARE(effectsOf(fixture.aldric), held);
    }

    void effectRecordWithMissingItemsAndTargets()
    {
        // No optional items, a target that was missing when it was written,
        // and an item the reader does not know.
        writeRawRecord(Event::EffectType, [&](ObjectStream* log) {
            Creature::write(fixture.aldric, log);
            Creature::write(QList<Creature*>{nullptr, fixture.brenna}, log);
            log->write(ID_EFFECT_EVENT_TYPE, int(CE::Weakened));
            log->write(ID_EFFECT_EVENT_EC, int(CE::EndOfEncounter));
            log->write(ID_EFFECT_EVENT_AMOUNT, 0);
            EffectedAttr().write(log);
            log->write(399, 1);
            log->write(ID_EFFECT_EVENT_END);
        });
        QVERIFY(Global::history->rootChanged());
        QCOMPARE(Global::history->getEventText(5), QString("Aldric -> Weakened: Brenna"));
        QCOMPARE(effectsOf(fixture.brenna), QStringList{"17/0"});
        Effect* effect = fixture.brenna->getEffect(0);
        QVERIFY(!effect->isSustainableEffect());
        QCOMPARE(effect->getDetails().positive, int(EffectDetails::ByType));
        Global::history->back();
        QCOMPARE(fixture.brenna->getEffectCount(), 0);
    }

    void droppedEventsTakeTheirEffectsOffTheCreatures_data()
    {
        QTest::addColumn<bool>("deleteHistory");
        QTest::newRow("clear history") << false;
        QTest::newRow("shutdown") << true;
    }

    void droppedEventsTakeTheirEffectsOffTheCreatures()
    {
        QFETCH(bool, deleteHistory);
        Creature* aldric = fixture.aldric;
        record(new TotalDefenseEvent(fixture.brenna, stream()));
        // A removal stepped back: the effect is on the creature again.
        record(new RemoveAtEndOfTurnEvent(aldric, aldric->getEffect(1), stream()));
        Global::history->back();
        QCOMPARE(aldric->getEffectCount(), 3);

        if (deleteHistory) {
            delete Global::history;
            Global::history = nullptr;
        } else {
            Global::history->reset();
        }
        for (Creature* creature : fixture.creatures())
            QCOMPARE(creature->getEffectCount(), 0);
    }

    void eventsOutliveTheirCreatures()
    {
        // The library may go before the history, as at shutdown.
        delete Global::characters;
        Global::characters = nullptr;
        Global::history->reset();
        QCOMPARE(Global::history->getEventCount(), 0);
        QCOMPARE(fixture.goblin1->getEffectCount(), 0);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestEffectEvents)
#include "test_effectevents.moc"
