#include <QFile>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <limits>
#include <tuple>

#include "creature/creaturetesting.h"
#include "foundation/objectstream.h"
#include "support/testsupport.h"

namespace {

// A display entry: kind, group id and effects.
using Entry = std::tuple<int, unsigned int, QList<Effect*>>;

QList<Entry> entriesOf(Creature* creature)
{
    QList<Entry> entries;
    for (int i = 0; i < creature->getNestedEffectCount(); i++) {
        const NestedEffect* entry = creature->getNestedEffect(i);
        entries.append({entry->kind, entry->groupId, entry->effects});
    }
    return entries;
}

QList<int> sums(const AttrAdj& adj)
{
    return {adj.armorClass, adj.fortitude, adj.reflex, adj.will, adj.toHit, adj.damage, adj.savingThrows};
}

}

class TestEffects : public QObject, private CreatureFixture
{
    Q_OBJECT

private:
    // Starts an encounter of these creatures during the given one's turn.
    void startEncounter(const QList<Creature*>& creatures, Creature* current)
    {
        Global::encounter->setCreatureList(CreatureList(creatures));
        Global::encounter->setCurrentIndex(Global::encounter->getCreatureIndex(current));
    }

    // Effects placed on the bearer, in order.
    QList<Effect*> place(Creature* bearer, const QList<Effect*>& effects)
    {
        for (Effect* each : effects)
            bearer->addEffect(each);
        return effects;
    }

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void keywordsReadBackTolerantly()
    {
        int withKeyword = 0, beneficial = 0, withOrigin = 0;
        for (int type = 0; type <= 40; type++) {
            const QString keyword = CE::effectToText(CE::EffectType(type));
            beneficial += CE::isPositiveEffect(CE::EffectType(type));
            withOrigin += CE::hasAnOrigin(CE::EffectType(type));
            withKeyword += !keyword.isNull();
            for (const QString& text : {keyword, keyword.toUpper()})
                QVERIFY(keyword.isNull() || CE::textToEffect(text) == CE::EffectType(type));
        }
        // Types beyond the list have an origin but neither keyword nor benefit.
        QCOMPARE(QList<int>({withKeyword, beneficial, withOrigin}), QList<int>({24, 12, 36}));
        QVERIFY(CE::isPositiveEffect(CE::Phasing) && !CE::isPositiveEffect(CE::Dazed) && !CE::hasAnOrigin(CE::TotalDefense));
        for (int condition = CE::EndSpecial; condition <= CE::StartOfTargetsNextTurn; condition++) {
            const QString keyword = CE::endConditionToText(CE::EndCondition(condition));
            QVERIFY(CE::textToEndCondition(keyword) == condition && CE::textToEndCondition(keyword.toUpper()) == condition);
        }
        QVERIFY(CE::endConditionToText(CE::EndCondition(7)).isEmpty() && CE::endConditionToText(CE::EndCondition(-1)).isEmpty());
        QCOMPARE(CE::textToEffect("target is TOTALLY concealed"), CE::TotalConcealment);
        QCOMPARE(CE::textToEndCondition("Save Ends"), CE::SaveEnds);
        for (const QString& unknown : {QString(""), QString("flying")}) {
            bool effectOk = true, conditionOk = true;
            QCOMPARE(CE::textToEffect(unknown, &effectOk), CE::None);
            QCOMPARE(CE::textToEndCondition(unknown, &conditionOk), CE::EndSpecial);
            QVERIFY(!effectOk && !conditionOk);
        }
        bool ok = false;
        QVERIFY(CE::textToEffect("Surprised", &ok) == CE::Surprised && ok);
        QVERIFY(CE::textToEndCondition("save-end", &ok) == CE::SaveEnds && ok);
    }

    void positiveFieldOverridesTheType()
    {
        const QList<std::tuple<CE::EffectType, int, bool>> cases{{CE::Dazed, EffectDetails::ByType, false},
                                                                 {CE::Dazed, EffectDetails::Beneficial, true},
                                                                 {CE::Bonus, EffectDetails::Harmful, false},
                                                                 {CE::Regeneration, EffectDetails::AskAmount, true}};
        for (const auto& [type, positive, beneficial] : cases) {
            EffectDetails details;
            details.type = type;
            details.positive = positive;
            QCOMPARE(effect(hero("Aldric"), details)->isPositiveEffect(), beneficial);
        }
    }

    void attributeKeywordsAndRecords()
    {
        QCOMPARE(attributesOf(AC | Will).getAttributes(), QString("armor-class,will"));
        QCOMPARE(attributesOf(0).getAttributes(), QString());
        EffectedAttr attributes = attributesOf(Hit);
        attributes.setAttributes("FORTITUDE,SAVING-THROW");
        QCOMPARE(maskOf(attributes), Hit | Fort | Saves);
        for (int mask = 0; mask < 128; mask++) {
            EffectedAttr read;
            read.setAttributes(attributesOf(mask).getAttributes());
            QCOMPARE(maskOf(read), mask);
        }

        QTemporaryDir dir;
        auto* file = new QFile(dir.filePath("history.log"));
        QVERIFY(file->open(QIODevice::ReadWrite));
        ObjectStream stream(file);
        QVERIFY(stream.initialize(true));
        for (int written : {0, 127, AC | Dmg, 0x700 | Ref}) {
            int start = stream.getOffset();
            // An integer item of other bits cannot come from a record, so write it by hand.
            if (written & ~127) {
                stream.write(ID_EFFECTED_ATTR_FLAGS, written);
                stream.write(ID_EFFECTED_ATTR_END);
            } else {
                QVERIFY(attributesOf(written).write(&stream));
            }
            stream.write(ID_EFFECT_EVENT_END);
            stream.setOffset(start);
            QCOMPARE(stream.readInt(ID_EFFECTED_ATTR_FLAGS), written);
            stream.setOffset(start);
            EffectedAttr read = attributesOf(127 & ~written);
            read.read(&stream);
            QCOMPARE(maskOf(read), written & 127);
            // The record ends at its end item: what follows is the enclosing record's.
            QVERIFY(stream.isNextItem(ID_EFFECT_EVENT_END));
            stream.readID(ID_EFFECT_EVENT_END);
        }
    }

    void adjustments_data()
    {
        columns<CE::EffectType, int, int, QString, QList<int>>({"type", "amount", "attributes", "origin", "expected"});
        using L = QList<int>;
        QTest::newRow("bonus to AC and damage") << CE::Bonus << 2 << (AC | Dmg) << "" << L{2, 0, 0, 0, 0, 2, 0};
        QTest::newRow("penalty to AC and damage") << CE::Penalty << 2 << (AC | Dmg) << "" << L{-2, 0, 0, 0, 0, -2, 0};
        QTest::newRow("penalty to saves") << CE::Penalty << 1 << Saves << "" << L{0, 0, 0, 0, 0, 0, -1};
        QTest::newRow("total defense") << CE::TotalDefense << 0 << 0 << "" << L{2, 2, 2, 2, 0, 0, 0};
        const int least = std::numeric_limits<int>::min();
        QTest::newRow("penalty of the least int") << CE::Penalty << least << AC << "" << L{-(least + 1), 0, 0, 0, 0, 0, 0};
        QTest::newRow("flags of another type") << CE::Dazed << 3 << 127 << "" << L{0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("resistance") << CE::Resistance << 5 << 0 << "" << L{0, 0, 0, 0, 0, 0, 0};
        // A second wind raises the defences only when its bearer gave it.
        QTest::newRow("second wind without origin") << CE::SecondWind << 0 << 0 << "" << L{2, 2, 2, 2, 0, 0, 0};
        QTest::newRow("second wind of the bearer") << CE::SecondWind << 0 << 0 << "bearer" << L{2, 2, 2, 2, 0, 0, 0};
        QTest::newRow("second wind of another") << CE::SecondWind << 0 << 0 << "other" << L{0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("second wind of one deleted") << CE::SecondWind << 0 << 0 << "deleted" << L{0, 0, 0, 0, 0, 0, 0};
    }

    void adjustments()
    {
        QFETCH(QString, origin);
        Creature* bearer = hero("Aldric");
        Creature* other = hero("Brenna");
        Creature* from = origin == "bearer" ? bearer : origin.isEmpty() ? nullptr : other;
        Effect* placed = effect(bearer, fetch<CE::EffectType>("type"), CE::EndOfTargetsNextTurn, from, 0, fetch<int>("amount"),
                                fetch<int>("attributes"));
        if (origin == "deleted")
            forget(other);
        AttrAdj adj;
        placed->adjustAttributes(adj);
        QTEST(sums(adj), "expected");
    }

    void turnEndEndingsCountFromPlacement_data()
    {
        columns<CE::EndCondition, QString, int>({"condition", "placedDuring", "endingTurn"});
        QTest::newRow("my next turn, placed in my turn") << CE::EndOfTargetsNextTurn << "target" << 2;
        QTest::newRow("my next turn, placed in origin's turn") << CE::EndOfTargetsNextTurn << "origin" << 1;
        QTest::newRow("my next turn, placed in a bystander's turn") << CE::EndOfTargetsNextTurn << "bystander" << 1;
        QTest::newRow("my next turn, no encounter running") << CE::EndOfTargetsNextTurn << "" << 1;
        QTest::newRow("origin's next turn, placed in its turn") << CE::EndOfOriginsNextTurn << "origin" << 2;
        QTest::newRow("origin's next turn, placed in my turn") << CE::EndOfOriginsNextTurn << "target" << 1;
        QTest::newRow("save ends, placed in my turn") << CE::SaveEnds << "target" << 2;
        QTest::newRow("save ends, placed in origin's turn") << CE::SaveEnds << "origin" << 1;
    }

    // Walks the turns as the turn sequence does: the turn-end checks, then
    // the end-turn count of the creature whose turn ends goes up.
    void turnEndEndingsCountFromPlacement()
    {
        QFETCH(CE::EndCondition, condition);
        QFETCH(QString, placedDuring);
        QFETCH(int, endingTurn);
        Creature* origin = monster("Goblin", "1");
        Creature* target = hero("Aldric");
        Creature* bystander = hero("Brenna");
        origin->setEndTurnCount(4);
        target->setEndTurnCount(2);
        QMap<QString, Creature*> byName{{"origin", origin}, {"target", target}, {"bystander", bystander}};
        if (!placedDuring.isEmpty())
            startEncounter({origin, target, bystander}, byName[placedDuring]);
        Effect* placed = effect(target, CE::Dazed, condition, origin);
        Creature* decider = condition == CE::EndOfOriginsNextTurn ? origin : target;
        auto endsAtTurnEnd = [&](Creature* creature) {
            return condition == CE::SaveEnds ? placed->requiresSavingThrow(creature)
                                             : placed->shouldEndOnTurnEnd(creature, false);
        };
        for (int turn = 1; turn <= endingTurn; turn++) {
            for (Creature* creature : {origin, target, bystander}) {
                QCOMPARE(endsAtTurnEnd(creature), creature == decider && turn == endingTurn);
                creature->setEndTurnCount(creature->getEndTurnCount() + 1);
            }
        }
        QVERIFY(endsAtTurnEnd(decider));
    }

    void delayingEndsOnlyWhatIsGoodForTheDelayer_data()
    {
        columns<CE::EndCondition, CE::EffectType, bool, bool>({"condition", "type", "targetIsAlly", "ends"});
        QTest::newRow("my turn: a bonus on me") << CE::EndOfTargetsNextTurn << CE::Bonus << true << true;
        QTest::newRow("my turn: dazed on me") << CE::EndOfTargetsNextTurn << CE::Dazed << true << false;
        QTest::newRow("origin: dazed on an enemy") << CE::EndOfOriginsNextTurn << CE::Dazed << false << true;
        QTest::newRow("origin: a bonus on an enemy") << CE::EndOfOriginsNextTurn << CE::Bonus << false << false;
        QTest::newRow("origin: a bonus on an ally") << CE::EndOfOriginsNextTurn << CE::Bonus << true << true;
        QTest::newRow("origin: dazed on an ally") << CE::EndOfOriginsNextTurn << CE::Dazed << true << false;
    }

    void delayingEndsOnlyWhatIsGoodForTheDelayer()
    {
        QFETCH(CE::EndCondition, condition);
        Creature* delayer = monster("Goblin", "1");
        Creature* target = condition == CE::EndOfTargetsNextTurn ? delayer
                           : fetch<bool>("targetIsAlly")         ? monster("Goblin", "2")
                                                                 : hero("Aldric");
        Effect* placed = effect(target, fetch<CE::EffectType>("type"), condition, delayer);
        QVERIFY(placed->shouldEndOnTurnEnd(delayer, false));
        QTEST(placed->shouldEndOnTurnEnd(delayer, true), "ends");
    }

    void turnStartSpecialAndOriginless()
    {
        Creature* origin = monster("Goblin", "1");
        Creature* target = hero("Aldric");
        Effect* atOriginsStart = effect(target, CE::Dazed, CE::StartOfOriginsNextTurn, origin);
        Effect* atMyStart = effect(target, CE::Prone, CE::StartOfTargetsNextTurn, origin);
        QVERIFY(!atOriginsStart->shouldStartOnTurnEnd(nullptr) && !atMyStart->shouldStartOnTurnEnd(nullptr));
        QVERIFY(atOriginsStart->shouldStartOnTurnEnd(origin) && !atOriginsStart->shouldStartOnTurnEnd(target));
        QVERIFY(atMyStart->shouldStartOnTurnEnd(target) && !atMyStart->shouldStartOnTurnEnd(origin));

        // End special never ends by itself.
        target->setEndTurnCount(5);
        Effect* special = effect(target, CE::Dazed, CE::EndSpecial, origin);
        for (Creature* creature : {origin, target})
            QVERIFY(!special->shouldEndOnTurnEnd(creature, false) && !special->shouldStartOnTurnEnd(creature)
                    && !special->requiresSavingThrow(creature));
        QVERIFY(!special->shouldEndOnEncounterEnd() && atMyStart->shouldEndOnEncounterEnd());

        // Without an origin the bearer decides; a deleted origin ends nothing.
        Effect* noOrigin = effect(target, CE::Dazed, CE::EndOfOriginsNextTurn);
        QVERIFY(!noOrigin->hasOrigin() && !noOrigin->shouldEndOnTurnEnd(target, false));
        QVERIFY(effect(target, CE::Dazed, CE::SaveEnds)->requiresSavingThrow(target));
        Effect* untilOriginsEnd = effect(target, CE::Dazed, CE::EndOfOriginsNextTurn, origin);
        forget(origin);
        QVERIFY(!untilOriginsEnd->getOrigin() && untilOriginsEnd->hasOrigin());
        QVERIFY(!untilOriginsEnd->shouldEndOnTurnEnd(target, false) && !untilOriginsEnd->shouldEndOnTurnEnd(target, true));
        QVERIFY(!atOriginsStart->shouldStartOnTurnEnd(target) && untilOriginsEnd->shouldEndOnEncounterEnd());

        // No threshold: placed in the bearer's own turn, it still ends at the next start.
        startEncounter({target}, target);
        QVERIFY(effect(target, CE::Prone, CE::StartOfTargetsNextTurn)->shouldStartOnTurnEnd(target));
    }

    void groupingShowsGroupsUnderAHeading()
    {
        Creature* bearer = hero("Aldric");
        Effect* a = effect(bearer, CE::Dazed);
        Effect* b = effect(bearer, CE::Prone, CE::EndSpecial, nullptr, 7);
        Effect* c = effect(bearer, CE::Slowed);
        Effect* d = effect(bearer, CE::Blinded, CE::EndSpecial, nullptr, 7);
        Effect* e = effect(bearer, CE::Weakened, CE::EndSpecial, nullptr, 3);
        place(bearer, {a, b, c, d, e});
        QCOMPARE(entriesOf(bearer), (QList<Entry>{{NestedEffect::Single, 0, {a}},
                                                  {NestedEffect::Single, 0, {c}},
                                                  {NestedEffect::Single, 3, {e}},
                                                  {NestedEffect::Heading, 7, {b, d}},
                                                  {NestedEffect::Member, 7, {b}},
                                                  {NestedEffect::Member, 7, {d}}}));
        for (int i = 0; i < 6; i++)
            QCOMPARE(bearer->isNestedEffect(i), i >= 4);
        QVERIFY(!bearer->getNestedEffect(6) && !bearer->getNestedEffect(-1) && !bearer->isNestedEffect(6));

        // One effect left of a group shows as a single line.
        QCOMPARE(bearer->removeEffect(b), 1);
        QCOMPARE(entriesOf(bearer), (QList<Entry>{{NestedEffect::Single, 0, {a}},
                                                  {NestedEffect::Single, 0, {c}},
                                                  {NestedEffect::Single, 3, {e}},
                                                  {NestedEffect::Single, 7, {d}}}));
        bearer->insertEffect(1, b);
        bearer->removeEffectGroup(7);
        QCOMPARE(bearer->getEffects(), (QList<Effect*>{a, c, e}));
        QCOMPARE(bearer->getNestedEffectCount(), 3);

        // Extended rest clears both lists, but only when asked to.
        place(bearer, {effect(bearer, CE::Dazed, CE::EndSpecial, nullptr, 2), effect(bearer, CE::Prone, CE::EndSpecial, nullptr, 2)});
        bearer->takeExtendedRest(false, false);
        QCOMPARE(bearer->getNestedEffectCount(), 6);
        bearer->takeExtendedRest(true, false);
        QCOMPARE(bearer->getEffectCount() + bearer->getNestedEffectCount(), 0);
    }

    void listChangesSignalAndLookups()
    {
        Creature* bearer = hero("Aldric");
        Effect* placed = effect(bearer, CE::Dazed);
        Effect* elsewhere = effect(hero("Brenna"), CE::Dazed);
        QSignalSpy effectsChanged(bearer, &Creature::doCreatureEffectsChanged);
        QSignalSpy updated(bearer, &Creature::doCreatureUpdated);
        bearer->addEffect(placed);
        bearer->insertEffect(0, elsewhere);
        QCOMPARE(bearer->removeEffect(elsewhere), 0);
        // Removing what is not there changes nothing but still signals.
        QCOMPARE(bearer->removeEffect(elsewhere), -1);
        QCOMPARE(bearer->getEffects(), QList<Effect*>{placed});
        QCOMPARE(bearer->getNestedEffectCount(), 1);
        bearer->removeEffectGroup(0);
        QCOMPARE(bearer->getEffectCount(), 0);
        QVERIFY(effectsChanged.count() == 5 && updated.count() == 5);
        QCOMPARE(effectsChanged.first().first().value<Creature*>(), bearer);

        Effect* b = effect(bearer, CE::Prone);
        place(bearer, {placed, b});
        QVERIFY(bearer->getEffect(1) == b && !bearer->getEffect(2) && !bearer->getEffect(-1));
        QVERIFY(bearer->indexOfEffect(b) == 1 && bearer->indexOfEffect(elsewhere) == -1);
        // An insertion position beyond the list appends.
        bearer->insertEffect(9, elsewhere);
        QCOMPARE(bearer->getEffects(), (QList<Effect*>{placed, b, elsewhere}));
        QList<Creature*> list{bearer, hero("Cael"), bearer};
        QVERIFY(Creature::removeCreatureFromList(list, bearer) && list.size() == 2 && list.last() == bearer);
        QVERIFY(!Creature::removeCreatureFromList(list, hero("Dara")));
    }

    void endingsAtTurnStartTurnEndAndEncounterEnd()
    {
        Creature* origin = monster("Goblin", "1");
        Creature* target = hero("Aldric");
        Effect* dazed = effect(target, CE::Dazed, CE::StartOfTargetsNextTurn, origin);
        Effect* stays = effect(target, CE::Slowed, CE::EndOfTargetsNextTurn, origin);
        Effect* prone = effect(target, CE::Prone, CE::StartOfTargetsNextTurn, origin);
        Effect* atOrigins = effect(target, CE::Blinded, CE::StartOfOriginsNextTurn, origin);
        place(target, {dazed, stays, prone, atOrigins});
        QList<Effect*> ending = target->endEffectsOnStartOfTurn(target);
        QCOMPARE(ending, (QList<Effect*>{dazed, prone}));
        QCOMPARE(target->getEffectCount(), 4);
        QCOMPARE(target->endEffectsOnStartOfTurn(origin), QList<Effect*>{atOrigins});
        // Each removal event takes its effect out; the second finds it moved.
        for (Effect* each : ending)
            QVERIFY(target->removeEffect(each) >= 0);
        QCOMPARE(target->getEffects(), (QList<Effect*>{stays, atOrigins}));

        // Turn-end entries take whole groups.
        Creature* other = hero("Brenna");
        Effect* single = effect(other, CE::Dazed, CE::EndOfTargetsNextTurn);
        Effect* first = effect(other, CE::Prone, CE::EndOfTargetsNextTurn, nullptr, 5);
        Effect* second = effect(other, CE::Slowed, CE::EndSpecial, nullptr, 5);
        Effect* special = effect(other, CE::Blinded);
        place(other, {single, first, special, second, effect(other, CE::Stunned, CE::EndSpecial, nullptr, 6),
                      effect(other, CE::Deafened, CE::EndOfTargetsNextTurn, nullptr, 6)});
        QList<NestedEffect> endingAtTurnEnd{NestedEffect{NestedEffect::Single, 0, {special}}};
        other->getEffectsEndingEndOfTurn(endingAtTurnEnd, other, false);
        QCOMPARE(endingAtTurnEnd.size(), 3);
        QCOMPARE(endingAtTurnEnd[0].effects, QList<Effect*>{special});
        QCOMPARE(endingAtTurnEnd[1].effects, QList<Effect*>{single});
        QCOMPARE(endingAtTurnEnd[2].kind, int(NestedEffect::Heading));
        QCOMPARE(endingAtTurnEnd[2].effects, (QList<Effect*>{first, second}));
        QCOMPARE(other->getEffectCount(), 6);

        // The encounter's end ends all but the special ones.
        Creature* third = hero("Cael");
        QList<Effect*> endingWithEncounter;
        for (int condition = CE::EndSpecial; condition <= CE::StartOfTargetsNextTurn; condition++) {
            Effect* placed = effect(third, CE::Dazed, CE::EndCondition(condition), target);
            third->addEffect(placed);
            if (condition != CE::EndSpecial)
                endingWithEncounter.append(placed);
        }
        QCOMPARE(third->endEffectsOnEndOfEncounter(), endingWithEncounter);
        QCOMPARE(third->getEffectCount(), 7);
    }

    void onGoing_data()
    {
        columns<bool, int, int, QString, bool, int, int, int>(
            {"regenerating", "positive", "hitPoints", "resist", "resistEffect", "answer", "prompts", "due"});
        const int byType = EffectDetails::ByType, ask = EffectDetails::AskAmount;
        QTest::newRow("damage: its amount") << false << byType << 30 << "" << false << 9 << 0 << 5;
        QTest::newRow("damage asks when flagged") << false << ask << 30 << "" << false << 3 << 1 << 3;
        QTest::newRow("damage asks when the creature resists") << false << byType << 30 << "5 fire" << false << 2 << 1 << 2;
        QTest::newRow("damage asks under a resistance effect") << false << byType << 30 << "" << true << 1 << 1 << 1;
        QTest::newRow("damage answered no") << false << ask << 30 << "" << false << 0 << 1 << 0;
        QTest::newRow("damage, negative answer") << false << ask << 30 << "" << false << -4 << 1 << 0;
        QTest::newRow("regeneration at full health") << true << byType << 30 << "" << false << 7 << 0 << 5;
        QTest::newRow("regeneration when hurt") << true << byType << 10 << "" << false << 7 << 0 << 5;
        QTest::newRow("asking regeneration at full health") << true << ask << 30 << "" << false << 7 << 0 << 5;
        QTest::newRow("asking regeneration when hurt") << true << ask << 10 << "" << false << 7 << 1 << 7;
        QTest::newRow("regeneration at 0 hit points") << true << byType << 0 << "" << false << 7 << 0 << 0;
        QTest::newRow("asking regeneration at 0 hit points") << true << ask << 0 << "" << false << 7 << 0 << 0;
    }

    // Ongoing damage or regeneration among other effects, with the prompts it asks.
    void onGoing()
    {
        QFETCH(bool, regenerating);
        QFETCH(int, due);
        RecordingUiHooks hooks;
        hooks.ongoingAnswer = fetch<int>("answer");
        CreatureStats stats;
        stats.monster = false;
        stats.maxHitPoints = 30;
        stats.resist = fetch<QString>("resist");
        Creature* bearer = made(stats);
        bearer->setCurrHitPoints(fetch<int>("hitPoints"));
        EffectDetails details;
        details.type = regenerating ? CE::Regeneration : CE::OnGoingDamage;
        details.amount = 5;
        details.positive = fetch<int>("positive");
        Effect* ongoing = effect(bearer, details);
        bearer->addEffect(effect(bearer, CE::Dazed));
        bearer->addEffect(effect(bearer, regenerating ? CE::OnGoingDamage : CE::Regeneration, CE::EndSpecial, nullptr, 0, 5));
        bearer->addEffect(ongoing);
        if (fetch<bool>("resistEffect"))
            bearer->addEffect(effect(bearer, CE::Resistance, CE::EndSpecial, nullptr, 0, 5));
        QList<OnGoingAmount> amounts = regenerating ? bearer->applyOnGoingRegeneration() : bearer->applyOnGoingDamage();
        QTEST(int(hooks.ongoingPrompts.size()), "prompts");
        if (!hooks.ongoingPrompts.isEmpty())
            QCOMPARE(hooks.ongoingPrompts[0], (QPair<Creature*, Effect*>(bearer, ongoing)));
        QCOMPARE(amounts.size(), due ? 1 : 0);
        if (due)
            QVERIFY(amounts[0].effect == ongoing && amounts[0].amount == due);
    }

    void savingThrows_data()
    {
        columns<QString, QList<int>, QString, int, bool>({"text", "bonuses", "line", "total", "conditional"});
        using L = QList<int>;
        QTest::newRow("nothing") << "" << L{} << "" << 0 << false;
        QTest::newRow("number") << "+2" << L{} << "[Saving Throws ]+2" << 2 << false;
        QTest::newRow("number raised") << "+2" << L{1} << "[Saving Throws ]{b+3}" << 3 << false;
        QTest::newRow("number lowered below zero") << "+2" << L{1, -4} << "[Saving Throws ]{r-1}" << -1 << false;
        QTest::newRow("none but an effect") << "" << L{-2} << "[Saving Throws ]{r-2}" << -2 << false;
        QTest::newRow("conditions") << "+2 against fear" << L{} << "[Saving Throws ]+2 against fear" << 2 << true;
        QTest::newRow("conditions raised") << "+2 against fear" << L{2, -1}
                                           << "[Saving Throws ]{b+1}; +2 against fear" << 3 << true;
        QTest::newRow("escaped") << "+1 vs <charm> & fear" << L{} << "[Saving Throws ]+1 vs &lt;charm&gt; &amp; fear"
                                 << 1 << true;
    }

    void savingThrows()
    {
        QFETCH(QString, text);
        QFETCH(bool, conditional);
        const QString line = html(fetch<QString>("line"));
        Creature* bearer = monster("Goblin", "1");
        CreatureStats stats = bearer->getStats();
        stats.savingThrows = text;
        bearer->setStats(stats);
        for (int bonus : fetch<QList<int>>("bonuses"))
            bearer->addEffect(effect(bearer, bonus > 0 ? CE::Bonus : CE::Penalty, CE::EndSpecial, nullptr, 0, qAbs(bonus), Saves));
        int totalOut = -99;
        bool conditionalOut = !conditional;
        QCOMPARE(bearer->getSavingThrows(false, &totalOut, &conditionalOut), line);
        QTEST(totalOut, "total");
        QCOMPARE(conditionalOut, conditional);
        QCOMPARE(bearer->getSavingThrows(false, nullptr, nullptr), line);
        // The stored values alone: the text as it stands, outputs untouched.
        totalOut = -99;
        QString stored = text.isEmpty() ? QString() : html("[Saving Throws ]") + text.toHtmlEscaped();
        QCOMPARE(bearer->getSavingThrows(true, &totalOut, &conditionalOut), stored);
        QCOMPARE(totalOut, -99);
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestEffects)
#include "test_effects.moc"
