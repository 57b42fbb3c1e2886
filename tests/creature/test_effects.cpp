#include <QFile>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <tuple>

#include "creature/creaturetesting.h"
#include "foundation/objectstream.h"
#include "support/testsupport.h"

Q_DECLARE_METATYPE(CE::EffectType)
Q_DECLARE_METATYPE(CE::EndCondition)

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
    using CreatureFixture::effect;

    Effect* effect(Creature* target, CE::EffectType type, CE::EndCondition end = CE::EndSpecial,
                   Creature* origin = nullptr, unsigned int groupId = 0)
    {
        EffectDetails details;
        details.type = type;
        details.endCondition = end;
        details.origin = origin;
        details.groupId = groupId;
        return effect(target, details);
    }

    // Starts an encounter of these creatures during the given one's turn.
    void startEncounter(const QList<Creature*>& creatures, Creature* current)
    {
        Global::encounter->setCreatureList(CreatureList(creatures));
        Global::encounter->setCurrentIndex(Global::encounter->getCreatureIndex(current));
    }

private slots:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void effectKeywordsReadBack_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<CE::EffectType>("type");
        const QList<QPair<QString, CE::EffectType>> keywords = {
            {"blinded", CE::Blinded},
            {"dazed", CE::Dazed},
            {"deafened", CE::Deafened},
            {"dominated", CE::Dominated},
            {"grabbed", CE::Grabbed},
            {"helpless", CE::Helpless},
            {"hidden", CE::Hidden},
            {"immobilized", CE::Immobilized},
            {"marked", CE::Marked},
            {"petrified", CE::Petrified},
            {"prone", CE::Prone},
            {"restrained", CE::Restrained},
            {"slowed", CE::Slowed},
            {"stunned", CE::Stunned},
            {"surprized", CE::Surprised},
            {"unconscious", CE::Unconscious},
            {"weakened", CE::Weakened},
            {"partial-cover", CE::PartialCover},
            {"superior-cover", CE::SuperiorCover},
            {"concealment", CE::Concealment},
            {"total-concealment", CE::TotalConcealment},
            {"insubstantial", CE::Insubstantial},
            {"phasing", CE::Phasing},
            {"grants-combat-advantage", CE::GrantsCombatAdvantage},
        };
        for (const auto& [keyword, type] : keywords)
            QTest::newRow(qPrintable(keyword)) << keyword << type;
    }

    void effectKeywordsReadBack()
    {
        QFETCH(QString, keyword);
        QFETCH(CE::EffectType, type);
        QCOMPARE(CE::effectToText(type), keyword);
        for (const QString& text : {keyword, keyword.toUpper()}) {
            bool ok = false;
            QCOMPARE(CE::textToEffect(text, &ok), type);
            QVERIFY(ok);
        }
    }

    void typesWithoutKeywordWriteNone()
    {
        QList<int> withKeyword;
        for (int type = 0; type <= 40; type++)
            if (!CE::effectToText(CE::EffectType(type)).isNull())
                withKeyword.append(type);
        QCOMPARE(withKeyword, (QList<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 24, 25,
                                          26, 27, 32, 33, 34}));
    }

    void endConditionKeywordsReadBack_data()
    {
        QTest::addColumn<QString>("keyword");
        QTest::addColumn<CE::EndCondition>("condition");
        QTest::newRow("special") << "end-special" << CE::EndSpecial;
        QTest::newRow("origin's end") << "end-origins-next-turn" << CE::EndOfOriginsNextTurn;
        QTest::newRow("target's end") << "end-targets-next-turn" << CE::EndOfTargetsNextTurn;
        QTest::newRow("save") << "save-end" << CE::SaveEnds;
        QTest::newRow("encounter") << "end-of-encounter" << CE::EndOfEncounter;
        QTest::newRow("origin's start") << "start-origins-next-turn" << CE::StartOfOriginsNextTurn;
        QTest::newRow("target's start") << "start-targets-next-turn" << CE::StartOfTargetsNextTurn;
    }

    void endConditionKeywordsReadBack()
    {
        QFETCH(QString, keyword);
        QFETCH(CE::EndCondition, condition);
        QCOMPARE(CE::endConditionToText(condition), keyword);
        for (const QString& text : {keyword, keyword.toUpper()}) {
            bool ok = false;
            QCOMPARE(CE::textToEndCondition(text, &ok), condition);
            QVERIFY(ok);
        }
    }

    void keywordsAreReadTolerantly()
    {
        QCOMPARE(CE::textToEffect("Surprised"), CE::Surprised);
        QCOMPARE(CE::textToEffect("target is TOTALLY concealed"), CE::TotalConcealment);
        QCOMPARE(CE::textToEndCondition("Save Ends"), CE::SaveEnds);
        QVERIFY(CE::endConditionToText(CE::EndCondition(7)).isEmpty());
    }

    void unknownKeywordsAreReported_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("no fragment") << "flying";
    }

    void unknownKeywordsAreReported()
    {
        QFETCH(QString, text);
        bool ok = true;
        QCOMPARE(CE::textToEffect(text, &ok), CE::None);
        QVERIFY(!ok);
        ok = true;
        QCOMPARE(CE::textToEndCondition(text, &ok), CE::EndSpecial);
        QVERIFY(!ok);
    }

    void typesBeneficialAndWithOrigin()
    {
        const QList<int> beneficial = {18, 19, 21, 23, 24, 25, 26, 27, 28, 30, 32, 33};
        const QList<int> withoutOrigin = {18, 24, 25, 26, 27};
        for (int type = 0; type <= 40; type++) {
            QCOMPARE(CE::isPositiveEffect(CE::EffectType(type)), beneficial.contains(type));
            QCOMPARE(CE::hasAnOrigin(CE::EffectType(type)), !withoutOrigin.contains(type));
        }
    }

    void positiveFieldOverridesTheType_data()
    {
        QTest::addColumn<CE::EffectType>("type");
        QTest::addColumn<int>("positive");
        QTest::addColumn<bool>("beneficial");
        QTest::newRow("dazed by type") << CE::Dazed << int(EffectDetails::ByType) << false;
        QTest::newRow("dazed marked beneficial") << CE::Dazed << int(EffectDetails::Beneficial) << true;
        QTest::newRow("bonus marked harmful") << CE::Bonus << int(EffectDetails::Harmful) << false;
        QTest::newRow("regeneration asking") << CE::Regeneration << int(EffectDetails::AskAmount) << true;
    }

    void positiveFieldOverridesTheType()
    {
        QFETCH(CE::EffectType, type);
        QFETCH(int, positive);
        QFETCH(bool, beneficial);
        EffectDetails details;
        details.type = type;
        details.positive = positive;
        Creature* bearer = hero("Aldric");
        QCOMPARE(effect(bearer, details)->isPositiveEffect(), beneficial);
    }

    void attributeKeywords()
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
    }

    void attributeRecordRoundTrip_data()
    {
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("read");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("all seven") << 127 << 127;
        QTest::newRow("AC and damage") << (AC | Dmg) << (AC | Dmg);
        QTest::newRow("unknown bits ignored") << (0x700 | Ref) << Ref;
    }

    void attributeRecordRoundTrip()
    {
        QFETCH(int, written);
        QFETCH(int, read);
        QTemporaryDir dir;
        auto* file = new QFile(dir.filePath("history.log"));
        QVERIFY(file->open(QIODevice::ReadWrite));
        ObjectStream stream(file);
        QVERIFY(stream.initialize(true));
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
        EffectedAttr attributes = attributesOf(127 & ~read);
        attributes.read(&stream);
        QCOMPARE(maskOf(attributes), read);
        // The record ends at its end item: what follows is the enclosing record's.
        QVERIFY(stream.isNextItem(ID_EFFECT_EVENT_END));
    }

    void adjustments_data()
    {
        QTest::addColumn<CE::EffectType>("type");
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("attributes");
        QTest::addColumn<QList<int>>("expected");
        QTest::newRow("bonus to AC and damage") << CE::Bonus << 2 << (AC | Dmg) << QList<int>{2, 0, 0, 0, 0, 2, 0};
        QTest::newRow("penalty to AC and damage") << CE::Penalty << 2 << (AC | Dmg) << QList<int>{-2, 0, 0, 0, 0, -2, 0};
        QTest::newRow("penalty to saves") << CE::Penalty << 1 << Saves << QList<int>{0, 0, 0, 0, 0, 0, -1};
        QTest::newRow("total defense") << CE::TotalDefense << 0 << 0 << QList<int>{2, 2, 2, 2, 0, 0, 0};
        QTest::newRow("flags of another type") << CE::Dazed << 3 << 127 << QList<int>{0, 0, 0, 0, 0, 0, 0};
        QTest::newRow("resistance") << CE::Resistance << 5 << 0 << QList<int>{0, 0, 0, 0, 0, 0, 0};
    }

    void adjustments()
    {
        QFETCH(CE::EffectType, type);
        QFETCH(int, amount);
        QFETCH(int, attributes);
        QFETCH(QList<int>, expected);
        EffectDetails details;
        details.type = type;
        details.amount = amount;
        details.attributes = attributesOf(attributes);
        AttrAdj adj;
        effect(hero("Aldric"), details)->adjustAttributes(adj);
        QCOMPARE(sums(adj), expected);
    }

    void adjustmentsOfSeveralEffectsAddUp()
    {
        Creature* bearer = hero("Aldric");
        auto place = [&](CE::EffectType type, int amount, int attributes) {
            EffectDetails details;
            details.type = type;
            details.amount = amount;
            details.attributes = attributesOf(attributes);
            bearer->addEffect(effect(bearer, details));
        };
        place(CE::Bonus, 2, AC | Dmg | Saves);
        place(CE::Penalty, 3, AC | Hit | Saves);
        place(CE::TotalDefense, 0, 0);
        place(CE::Bonus, 1, Will);
        AttrAdj adj;
        adj.toHit = 10;
        bearer->getAttributeAdjustment(adj);
        QCOMPARE(sums(adj), (QList<int>{1, 2, 2, 3, 7, 2, -1}));
    }

    void secondWindRaisesDefencesOnlyFromItsBearer_data()
    {
        QTest::addColumn<QString>("origin");
        QTest::addColumn<int>("raise");
        QTest::newRow("no origin") << "none" << 2;
        QTest::newRow("the bearer") << "bearer" << 2;
        QTest::newRow("another creature") << "other" << 0;
        QTest::newRow("a deleted creature") << "deleted" << 0;
    }

    void secondWindRaisesDefencesOnlyFromItsBearer()
    {
        QFETCH(QString, origin);
        QFETCH(int, raise);
        Creature* bearer = hero("Aldric");
        Creature* other = hero("Brenna");
        Creature* from = origin == "bearer" ? bearer : origin == "none" ? nullptr : other;
        Effect* secondWind = effect(bearer, CE::SecondWind, CE::EndOfTargetsNextTurn, from);
        if (origin == "deleted")
            forget(other);
        AttrAdj adj;
        secondWind->adjustAttributes(adj);
        QCOMPARE(sums(adj), (QList<int>{raise, raise, raise, raise, 0, 0, 0}));
    }

    void turnEndEndingsCountFromPlacement_data()
    {
        QTest::addColumn<CE::EndCondition>("condition");
        QTest::addColumn<QString>("placedDuring");
        QTest::addColumn<int>("endingTurn");
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
                bool expected = creature == decider && turn == endingTurn;
                QCOMPARE(endsAtTurnEnd(creature), expected);
                creature->setEndTurnCount(creature->getEndTurnCount() + 1);
            }
        }
        QVERIFY(endsAtTurnEnd(decider));
    }

    void delayingEndsOnlyWhatIsGoodForTheDelayer_data()
    {
        QTest::addColumn<CE::EndCondition>("condition");
        QTest::addColumn<CE::EffectType>("type");
        QTest::addColumn<bool>("targetIsAlly");
        QTest::addColumn<bool>("ends");
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
        QFETCH(CE::EffectType, type);
        QFETCH(bool, targetIsAlly);
        QFETCH(bool, ends);
        Creature* delayer = monster("Goblin", "1");
        Creature* target = condition == CE::EndOfTargetsNextTurn ? delayer
                           : targetIsAlly                        ? monster("Goblin", "2")
                                                                 : hero("Aldric");
        Effect* placed = effect(target, type, condition, delayer);
        QVERIFY(placed->shouldEndOnTurnEnd(delayer, false));
        QCOMPARE(placed->shouldEndOnTurnEnd(delayer, true), ends);
    }

    void turnStartEndings()
    {
        Creature* origin = monster("Goblin", "1");
        Creature* target = hero("Aldric");
        Effect* atOriginsStart = effect(target, CE::Dazed, CE::StartOfOriginsNextTurn, origin);
        Effect* atMyStart = effect(target, CE::Prone, CE::StartOfTargetsNextTurn, origin);
        for (Effect* placed : {atOriginsStart, atMyStart})
            QVERIFY(!placed->shouldStartOnTurnEnd(nullptr));
        QVERIFY(atOriginsStart->shouldStartOnTurnEnd(origin));
        QVERIFY(!atOriginsStart->shouldStartOnTurnEnd(target));
        QVERIFY(atMyStart->shouldStartOnTurnEnd(target));
        QVERIFY(!atMyStart->shouldStartOnTurnEnd(origin));
        // No threshold: placed in the bearer's own turn, it still ends at the next start.
        startEncounter({origin, target}, target);
        QVERIFY(effect(target, CE::Prone, CE::StartOfTargetsNextTurn)->shouldStartOnTurnEnd(target));
    }

    void endSpecialNeverEndsByItself()
    {
        Creature* origin = monster("Goblin", "1");
        Creature* target = hero("Aldric");
        target->setEndTurnCount(5);
        Effect* special = effect(target, CE::Dazed, CE::EndSpecial, origin);
        for (Creature* creature : {origin, target}) {
            QVERIFY(!special->shouldEndOnTurnEnd(creature, false));
            QVERIFY(!special->shouldStartOnTurnEnd(creature));
            QVERIFY(!special->requiresSavingThrow(creature));
        }
        QVERIFY(!special->shouldEndOnEncounterEnd());
        QVERIFY(effect(target, CE::Dazed, CE::StartOfTargetsNextTurn)->shouldEndOnEncounterEnd());
    }

    void deletedOriginEndsNothingAndIsNotTouched()
    {
        Creature* origin = monster("Goblin", "1");
        Creature* target = hero("Aldric");
        Effect* untilOriginsEnd = effect(target, CE::Dazed, CE::EndOfOriginsNextTurn, origin);
        Effect* untilOriginsStart = effect(target, CE::Dazed, CE::StartOfOriginsNextTurn, origin);
        forget(origin);
        QVERIFY(!untilOriginsEnd->getOrigin());
        QVERIFY(untilOriginsEnd->hasOrigin());
        for (bool delaying : {false, true})
            QVERIFY(!untilOriginsEnd->shouldEndOnTurnEnd(target, delaying));
        QVERIFY(!untilOriginsStart->shouldStartOnTurnEnd(target));
        QVERIFY(untilOriginsEnd->shouldEndOnEncounterEnd());
    }

    void effectsWithoutOriginDecideByTheirBearer()
    {
        Creature* target = hero("Aldric");
        Effect* noOrigin = effect(target, CE::Dazed, CE::EndOfOriginsNextTurn);
        QVERIFY(!noOrigin->hasOrigin());
        QVERIFY(!noOrigin->shouldEndOnTurnEnd(target, false));
        QVERIFY(effect(target, CE::Dazed, CE::SaveEnds)->requiresSavingThrow(target));
    }

    void groupingShowsGroupsUnderAHeading()
    {
        Creature* bearer = hero("Aldric");
        Effect* a = effect(bearer, CE::Dazed);
        Effect* b = effect(bearer, CE::Prone, CE::EndSpecial, nullptr, 7);
        Effect* c = effect(bearer, CE::Slowed);
        Effect* d = effect(bearer, CE::Blinded, CE::EndSpecial, nullptr, 7);
        Effect* e = effect(bearer, CE::Weakened, CE::EndSpecial, nullptr, 3);
        for (Effect* placed : {a, b, c, d, e})
            bearer->addEffect(placed);

        QCOMPARE(entriesOf(bearer), (QList<Entry>{{NestedEffect::Single, 0, {a}},
                                                  {NestedEffect::Single, 0, {c}},
                                                  {NestedEffect::Single, 3, {e}},
                                                  {NestedEffect::Heading, 7, {b, d}},
                                                  {NestedEffect::Member, 7, {b}},
                                                  {NestedEffect::Member, 7, {d}}}));
        for (int i = 0; i < 6; i++)
            QCOMPARE(bearer->isNestedEffect(i), i >= 4);
        QVERIFY(!bearer->getNestedEffect(6));
        QVERIFY(!bearer->getNestedEffect(-1));
        QVERIFY(!bearer->isNestedEffect(6));

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
    }

    void removeThenInsertRestores()
    {
        Creature* bearer = hero("Aldric");
        QList<Effect*> placed;
        for (unsigned int group : {0u, 4u, 0u, 4u, 0u})
            placed.append(effect(bearer, CE::Dazed, CE::EndSpecial, nullptr, group));
        for (Effect* each : placed)
            bearer->addEffect(each);
        QList<Entry> entries = entriesOf(bearer);

        // Undo runs in reverse order of the removals.
        QList<QPair<int, Effect*>> removed;
        for (Effect* each : {placed[3], placed[0], placed[4]})
            removed.prepend({bearer->removeEffect(each), each});
        QCOMPARE(bearer->getEffects(), (QList<Effect*>{placed[1], placed[2]}));
        for (const auto& [position, each] : removed)
            bearer->insertEffect(position, each);
        QCOMPARE(bearer->getEffects(), placed);
        QCOMPARE(entriesOf(bearer), entries);
    }

    void listChangesSignalEffectsThenUpdate()
    {
        Creature* bearer = hero("Aldric");
        Effect* placed = effect(bearer, CE::Dazed);
        Effect* elsewhere = effect(hero("Brenna"), CE::Dazed);
        QStringList emitted;
        connect(bearer, &Creature::doCreatureEffectsChanged, this, [&](Creature* c) {
            QCOMPARE(c, bearer);
            emitted.append("effects");
        });
        connect(bearer, &Creature::doCreatureUpdated, this, [&](Creature* c) {
            QCOMPARE(c, bearer);
            emitted.append("updated");
        });
        const QStringList once{"effects", "updated"};
        bearer->addEffect(placed);
        QCOMPARE(emitted, once);
        emitted.clear();
        bearer->insertEffect(0, elsewhere);
        QCOMPARE(emitted, once);
        emitted.clear();
        QCOMPARE(bearer->removeEffect(elsewhere), 0);
        QCOMPARE(emitted, once);

        // Removing what is not there changes nothing but still signals.
        emitted.clear();
        QCOMPARE(bearer->removeEffect(elsewhere), -1);
        QCOMPARE(emitted, once);
        QCOMPARE(bearer->getEffects(), QList<Effect*>{placed});
        QCOMPARE(bearer->getNestedEffectCount(), 1);
        emitted.clear();
        bearer->removeEffectGroup(0);
        QCOMPARE(emitted, once);
        QCOMPARE(bearer->getEffectCount(), 0);
        disconnect(bearer, nullptr, this, nullptr);
    }

    void positionsAndLookups()
    {
        Creature* bearer = hero("Aldric");
        Effect* a = effect(bearer, CE::Dazed);
        Effect* b = effect(bearer, CE::Prone);
        bearer->addEffect(a);
        bearer->addEffect(b);
        QCOMPARE(bearer->getEffect(1), b);
        QCOMPARE(bearer->getEffect(2), nullptr);
        QCOMPARE(bearer->getEffect(-1), nullptr);
        QCOMPARE(bearer->indexOfEffect(b), 1);
        QCOMPARE(bearer->indexOfEffect(effect(bearer, CE::Dazed)), -1);
        // An insertion position beyond the list appends.
        Effect* c = effect(bearer, CE::Slowed);
        bearer->insertEffect(9, c);
        QCOMPARE(bearer->getEffects(), (QList<Effect*>{a, b, c}));
    }

    void twoTurnStartEndingsInOneTurn()
    {
        Creature* origin = monster("Goblin", "1");
        Creature* target = hero("Aldric");
        Effect* dazed = effect(target, CE::Dazed, CE::StartOfTargetsNextTurn, origin);
        Effect* stays = effect(target, CE::Slowed, CE::EndOfTargetsNextTurn, origin);
        Effect* prone = effect(target, CE::Prone, CE::StartOfTargetsNextTurn, origin);
        Effect* atOrigins = effect(target, CE::Blinded, CE::StartOfOriginsNextTurn, origin);
        for (Effect* placed : {dazed, stays, prone, atOrigins})
            target->addEffect(placed);

        QList<Effect*> ending = target->endEffectsOnStartOfTurn(target);
        QCOMPARE(ending, (QList<Effect*>{dazed, prone}));
        QCOMPARE(target->getEffectCount(), 4);
        QCOMPARE(target->endEffectsOnStartOfTurn(origin), QList<Effect*>{atOrigins});

        // Each removal event takes its effect out; the second finds it moved.
        for (Effect* each : ending)
            QVERIFY(target->removeEffect(each) >= 0);
        QCOMPARE(target->getEffects(), (QList<Effect*>{stays, atOrigins}));
    }

    void turnEndEntriesAppendWholeGroups()
    {
        Creature* target = hero("Aldric");
        Effect* single = effect(target, CE::Dazed, CE::EndOfTargetsNextTurn);
        Effect* first = effect(target, CE::Prone, CE::EndOfTargetsNextTurn, nullptr, 5);
        Effect* second = effect(target, CE::Slowed, CE::EndSpecial, nullptr, 5);
        Effect* special = effect(target, CE::Blinded);
        Effect* otherGroupFirst = effect(target, CE::Stunned, CE::EndSpecial, nullptr, 6);
        Effect* otherGroupSecond = effect(target, CE::Deafened, CE::EndOfTargetsNextTurn, nullptr, 6);
        for (Effect* placed : {single, first, special, second, otherGroupFirst, otherGroupSecond})
            target->addEffect(placed);

        QList<NestedEffect> ending{NestedEffect{NestedEffect::Single, 0, {special}}};
        target->getEffectsEndingEndOfTurn(ending, target, false);
        QCOMPARE(ending.size(), 3);
        QCOMPARE(ending[0].effects, QList<Effect*>{special});
        QCOMPARE(ending[1].effects, QList<Effect*>{single});
        QCOMPARE(ending[2].kind, int(NestedEffect::Heading));
        QCOMPARE(ending[2].effects, (QList<Effect*>{first, second}));
        QCOMPARE(target->getEffectCount(), 6);
    }

    void encounterEndEndsAllButSpecial()
    {
        Creature* origin = monster("Goblin", "1");
        Creature* target = hero("Aldric");
        QList<Effect*> ending;
        for (int condition = CE::EndSpecial; condition <= CE::StartOfTargetsNextTurn; condition++) {
            Effect* placed = effect(target, CE::Dazed, CE::EndCondition(condition), origin);
            target->addEffect(placed);
            if (condition != CE::EndSpecial)
                ending.append(placed);
        }
        QCOMPARE(target->endEffectsOnEndOfEncounter(), ending);
        QCOMPARE(target->getEffectCount(), 7);
    }

    void extendedRestClearsBothLists()
    {
        Creature* bearer = hero("Aldric");
        bearer->addEffect(effect(bearer, CE::Dazed, CE::EndSpecial, nullptr, 2));
        bearer->addEffect(effect(bearer, CE::Prone, CE::EndSpecial, nullptr, 2));
        bearer->takeExtendedRest(false, false);
        QCOMPARE(bearer->getNestedEffectCount(), 3);
        bearer->takeExtendedRest(true, false);
        QCOMPARE(bearer->getEffectCount(), 0);
        QCOMPARE(bearer->getNestedEffectCount(), 0);
    }

    void onGoingDamage_data()
    {
        QTest::addColumn<int>("positive");
        QTest::addColumn<QString>("resist");
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("prompts");
        QTest::addColumn<int>("due");
        QTest::newRow("plain: its amount") << int(EffectDetails::ByType) << "" << 9 << 0 << 5;
        QTest::newRow("asks when flagged") << int(EffectDetails::AskAmount) << "" << 3 << 1 << 3;
        QTest::newRow("asks when the creature resists") << int(EffectDetails::ByType) << "5 fire" << 2 << 1 << 2;
        QTest::newRow("answered no") << int(EffectDetails::AskAmount) << "" << 0 << 1 << 0;
        QTest::newRow("negative answer") << int(EffectDetails::AskAmount) << "" << -4 << 1 << 0;
    }

    void onGoingDamage()
    {
        QFETCH(int, positive);
        QFETCH(QString, resist);
        QFETCH(int, answer);
        QFETCH(int, prompts);
        QFETCH(int, due);
        RecordingUiHooks hooks;
        hooks.ongoingAnswer = answer;
        Creature* bearer = hero("Aldric");
        CreatureStats stats = bearer->getStats();
        stats.resist = resist;
        bearer->setStats(stats);
        EffectDetails details;
        details.type = CE::OnGoingDamage;
        details.amount = 5;
        details.positive = positive;
        Effect* burning = effect(bearer, details);
        details.type = CE::Regeneration;
        bearer->addEffect(effect(bearer, CE::Dazed));
        bearer->addEffect(burning);
        bearer->addEffect(effect(bearer, details));

        QList<OnGoingAmount> amounts = bearer->applyOnGoingDamage();
        QCOMPARE(hooks.ongoingPrompts.size(), prompts);
        if (prompts)
            QCOMPARE(hooks.ongoingPrompts[0], (QPair<Creature*, Effect*>(bearer, burning)));
        QCOMPARE(amounts.size(), due ? 1 : 0);
        if (due) {
            QCOMPARE(amounts[0].effect, burning);
            QCOMPARE(amounts[0].amount, due);
        }
    }

    void aResistanceEffectMakesTheDamageAsk()
    {
        RecordingUiHooks hooks;
        hooks.ongoingAnswer = 1;
        Creature* bearer = hero("Aldric");
        EffectDetails details;
        details.type = CE::OnGoingDamage;
        details.amount = 5;
        bearer->addEffect(effect(bearer, details));
        details.type = CE::Resistance;
        bearer->addEffect(effect(bearer, details));
        QList<OnGoingAmount> amounts = bearer->applyOnGoingDamage();
        QCOMPARE(hooks.ongoingPrompts.size(), 1);
        QCOMPARE(amounts.size(), 1);
        QCOMPARE(amounts[0].amount, 1);
    }

    void regeneration_data()
    {
        QTest::addColumn<int>("positive");
        QTest::addColumn<int>("hitPoints");
        QTest::addColumn<int>("prompts");
        QTest::addColumn<int>("due");
        QTest::newRow("plain at full health") << int(EffectDetails::ByType) << 30 << 0 << 4;
        QTest::newRow("plain when hurt") << int(EffectDetails::ByType) << 10 << 0 << 4;
        QTest::newRow("asking at full health") << int(EffectDetails::AskAmount) << 30 << 0 << 4;
        QTest::newRow("asking when hurt") << int(EffectDetails::AskAmount) << 10 << 1 << 7;
    }

    void regeneration()
    {
        QFETCH(int, positive);
        QFETCH(int, hitPoints);
        QFETCH(int, prompts);
        QFETCH(int, due);
        RecordingUiHooks hooks;
        hooks.ongoingAnswer = 7;
        Creature* bearer = hero("Aldric");
        CreatureVitality vitality = bearer->getVitality();
        vitality.maxHitPoints = 30;
        vitality.hitPoints = hitPoints;
        bearer->setVitality(vitality);
        EffectDetails details;
        details.type = CE::Regeneration;
        details.amount = 4;
        details.positive = positive;
        Effect* regenerating = effect(bearer, details);
        details.type = CE::OnGoingDamage;
        bearer->addEffect(effect(bearer, details));
        bearer->addEffect(regenerating);

        QList<OnGoingAmount> amounts = bearer->applyOnGoingRegeneration();
        QCOMPARE(hooks.ongoingPrompts.size(), prompts);
        QCOMPARE(amounts.size(), 1);
        QCOMPARE(amounts[0].effect, regenerating);
        QCOMPARE(amounts[0].amount, due);
    }

    void savingThrows_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("bonuses");
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("total");
        QTest::addColumn<bool>("conditional");
        QTest::newRow("nothing") << "" << QList<int>{} << "" << 0 << false;
        QTest::newRow("number") << "+2" << QList<int>{} << "<b>Saving Throws </b>+2" << 2 << false;
        QTest::newRow("number raised")
            << "+2" << QList<int>{1} << "<b>Saving Throws </b><font color=blue>+3</font>" << 3 << false;
        QTest::newRow("number lowered below zero")
            << "+2" << QList<int>{1, -4} << "<b>Saving Throws </b><font color=red>-1</font>" << -1 << false;
        QTest::newRow("none but an effect")
            << "" << QList<int>{-2} << "<b>Saving Throws </b><font color=red>-2</font>" << -2 << false;
        QTest::newRow("conditions") << "+2 against fear" << QList<int>{} << "<b>Saving Throws </b>+2 against fear"
                                    << 2 << true;
        QTest::newRow("conditions raised")
            << "+2 against fear" << QList<int>{2, -1}
            << "<b>Saving Throws </b><font color=blue>+1</font>; +2 against fear" << 3 << true;
        QTest::newRow("escaped") << "+1 vs <charm> & fear" << QList<int>{}
                                 << "<b>Saving Throws </b>+1 vs &lt;charm&gt; &amp; fear" << 1 << true;
    }

    void savingThrows()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, bonuses);
        QFETCH(QString, line);
        QFETCH(int, total);
        QFETCH(bool, conditional);
        Creature* bearer = monster("Goblin", "1");
        CreatureStats stats = bearer->getStats();
        stats.savingThrows = text;
        bearer->setStats(stats);
        for (int bonus : bonuses) {
            EffectDetails details;
            details.type = bonus > 0 ? CE::Bonus : CE::Penalty;
            details.amount = qAbs(bonus);
            details.attributes.savingThrows = true;
            bearer->addEffect(effect(bearer, details));
        }
        int totalOut = -99;
        bool conditionalOut = !conditional;
        QCOMPARE(bearer->getSavingThrows(false, &totalOut, &conditionalOut), line);
        QCOMPARE(totalOut, total);
        QCOMPARE(conditionalOut, conditional);
        QCOMPARE(bearer->getSavingThrows(false, nullptr, nullptr), line);

        // The stored values alone: the text as it stands, outputs untouched.
        totalOut = -99;
        QString stored = text.isEmpty() ? QString() : "<b>Saving Throws </b>" + text.toHtmlEscaped();
        QCOMPARE(bearer->getSavingThrows(true, &totalOut, &conditionalOut), stored);
        QCOMPARE(totalOut, -99);
    }

    void listOfCreatures()
    {
        Creature* a = hero("Aldric");
        Creature* b = hero("Brenna");
        QList<Creature*> list{a, b, a};
        QVERIFY(Creature::removeCreatureFromList(list, a));
        QCOMPARE(list, (QList<Creature*>{b, a}));
        QVERIFY(!Creature::removeCreatureFromList(list, hero("Cael")));
    }
};

RAVELHORN_TEST_MAIN(QGuiApplication, TestEffects)
#include "test_effects.moc"
