#include "encounter/turnflow.h"

#include <utility>

#include "creature/creature.h"
#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/powerevents.h"
#include "encounter/restevents.h"
#include "encounter/rosterevents.h"
#include "encounter/turnorderevents.h"
#include "foundation/global.h"
#include "foundation/uihooks.h"

namespace {

QList<Creature*> fighters()
{
    return Global::encounter->getCreatureList().getCreatureList();
}

// Dead creatures and name-only entries have their place in the order but no turn.
bool takesNoTurn(Creature* creature)
{
    return creature && (creature->isDead(false) || creature->getInitBonus(false) == UnknownValue);
}

// What a used power becomes at its owner's turn start; nothing for the
// powers that stay used until a rest. At-will powers are never marked used.
std::optional<PowerUsageChangedEvent::Type> release(const CreaturePower* power)
{
    using Type = PowerUsageChangedEvent::Type;
    const int cost = power->current.cost;
    if (cost >= Power::TwicePerEncounter && cost <= Power::FourPerEncounter) {
        if (power->getUsageCount() < power->usageLimit())
            return PowerUsageChangedEvent::Unused;
        return std::nullopt;
    }
    if (cost >= Power::Recharge2 && cost <= Power::Recharge6)
        return Type(PowerUsageChangedEvent::FirstRecharge + Global::d(6) - 1);
    return std::nullopt;
}

}

bool TurnFlow::isOpen()
{
    if (!road)
        road.emplace();
    return road->isOpen();
}

bool TurnFlow::record(const std::function<Event*(ObjectStream*)>& make)
{
    return isOpen() && road->apply(make(road->getStream()));
}

void TurnFlow::startStopEncounter()
{
    if (Global::encounter->isRunning())
        stopEncounter();
    else
        startEncounter();
}

void TurnFlow::startEncounter()
{
    InitiativeList heroes;
    InitiativeList monsters;
    if (Global::ui().rollInitiative(Global::encounter->getCreatureList(), heroes, monsters) == 0)
        return;
    if (!record([&](ObjectStream* stream) { return new StartEncounterEvent(heroes, monsters, stream); }))
        return;
    // No turn work for those passed over at the top of the order.
    Encounter* encounter = Global::encounter;
    for (int passes = encounter->getCreatureCount(); passes > 0 && takesNoTurn(encounter->getCurrentCreature());
         passes--) {
        if (!record([](ObjectStream* stream) { return new NextTurnEvent(stream, false); }))
            return;
    }
}

void TurnFlow::stopEncounter()
{
    for (Creature* creature : fighters())
        for (Effect* effect : creature->endEffectsOnEndOfEncounter())
            if (!record([&](ObjectStream* stream) {
                    return new RemoveAtEndOfEncounterEvent(creature, effect, stream);
                }))
                return;
    if (!record([](ObjectStream* stream) { return new StopEncounterEvent(stream, false); }))
        return;
    // The heroes stay for the next fight.
    const QList<Creature*> monsters = Global::encounter->getMonsters();
    if (!monsters.isEmpty())
        record([&](ObjectStream* stream) { return new RemoveCreaturesEvent(monsters, stream); });
}

bool TurnFlow::nextTurn()
{
    if (!performTurnEnd(false, true))
        return false;
    performTurnStart();
    return true;
}

bool TurnFlow::performTurnEnd(bool delaying, bool cancellable)
{
    Creature* current = Global::encounter->getCurrentCreature();
    if (!current)
        return true;
    QList<NestedEffect> ending;
    for (Creature* creature : fighters())
        creature->getEffectsEndingEndOfTurn(ending, current, delaying);
    if (!ending.isEmpty() && !Global::ui().removeSustained(ending, cancellable) && cancellable)
        return false;
    if (!delaying && !savingThrows(current, cancellable))
        return false;
    for (const NestedEffect& entry : std::as_const(ending))
        for (Effect* effect : entry.effects) {
            Creature* target = effect->getTarget();
            // A saving throw may have ended it already.
            if (!target || target->indexOfEffect(effect) < 0)
                continue;
            if (!record([&](ObjectStream* stream) { return new RemoveAtEndOfTurnEvent(target, effect, stream); }))
                return false;
        }
    return isOpen();
}

bool TurnFlow::savingThrows(Creature* creature, bool cancellable)
{
    if (!isOpen())
        return false;
    DyingEffect deathSave(creature);
    QList<NestedEffect> entries;
    for (int i = 0; i < creature->getNestedEffectCount(); i++) {
        const NestedEffect* entry = creature->getNestedEffect(i);
        if (!entry->isNestedEffect() && entry->getEffect()->requiresSavingThrow(creature))
            entries.append(*entry);
    }
    bool dying = creature->isDying() && !creature->isStabilized();
    if (dying)
        entries.append(NestedEffect{NestedEffect::Single, 0, {&deathSave}});
    if (entries.isEmpty())
        return true;
    QList<const NestedEffect*> saved;
    if (!Global::ui().savingThrows(creature, entries, cancellable, saved) && cancellable)
        return false;
    for (const NestedEffect* entry : std::as_const(saved)) {
        if (entry->getEffect() == &deathSave) {
            dying = false;
            continue;
        }
        for (Effect* effect : entry->effects)
            if (!record([&](ObjectStream* stream) { return new RemoveOnSaveEvent(creature, effect, stream); }))
                return false;
    }
    if (dying)
        return record([&](ObjectStream* stream) { return new FailedDeathSavingThrowEvent(creature, stream); });
    return true;
}

void TurnFlow::performTurnStart()
{
    Encounter* encounter = Global::encounter;
    if (!encounter->isRunning())
        return;
    // Never for ever: one pass per creature present at the start.
    for (int passes = encounter->getCreatureCount(); passes > 0; passes--) {
        Creature* next = encounter->getNextCreature();
        if (!next)
            return;
        if (next->isDelayed()) {
            // Its place came round again without a jump-in: it acts now, and its turn is over.
            if (!record([&](ObjectStream* stream) { return new JumpInEvent(next, stream); })
                || !performTurnEnd(false, false))
                return;
        } else if (!record([](ObjectStream* stream) { return new NextTurnEvent(stream, false); })) {
            return;
        }
        Creature* current = encounter->getCurrentCreature();
        if (!beginTurn(current) || !takesNoTurn(current) || !performTurnEnd(false, true))
            return;
    }
}

bool TurnFlow::beginTurn(Creature* current)
{
    // Each kind is asked about and recorded in turn: the regeneration prompt
    // depends on the hit points the damage left.
    for (const OnGoingAmount& due : current->applyOnGoingDamage()) {
        const Effect* effect = due.effect;
        if (!record([&](ObjectStream* stream) {
                return new OnGoingDamageEvent(effect->getDetails().sourceName, effect->getOrigin(), current,
                                              due.amount, effect->getEffectComment(), stream);
            }))
            return false;
    }
    for (const OnGoingAmount& due : current->applyOnGoingRegeneration()) {
        const QString source = due.effect->getDetails().sourceName;
        if (!record([&](ObjectStream* stream) { return new RegenerationEvent(source, current, due.amount, stream); }))
            return false;
    }
    for (Creature* creature : fighters())
        for (Effect* effect : creature->endEffectsOnStartOfTurn(current))
            if (!record([&](ObjectStream* stream) { return new RemoveAtStartOfTurnEvent(creature, effect, stream); }))
                return false;
    return rechargePowers(current);
}

bool TurnFlow::rechargePowers(Creature* current)
{
    const Powers& powers = std::as_const(*current).getPowers();
    for (int i = 0; i < powers.size(); i++) {
        const CreaturePower* power = powers.getPower(i);
        if (!power->getUsed())
            continue;
        const std::optional<PowerUsageChangedEvent::Type> type = release(power);
        const QString name = power->name;
        if (type && !record([&](ObjectStream* stream) {
                return new PowerUsageChangedEvent(current, name, *type, stream);
            }))
            return false;
    }
    return true;
}

void TurnFlow::holdTurn(bool delaying)
{
    Creature* current = Global::encounter->getCurrentCreature();
    if (!current)
        return;
    if (!record([&](ObjectStream* stream) -> Event* {
            if (delaying)
                return new DelayEvent(current, stream);
            return new ReadyEvent(current, stream);
        }))
        return;
    if (performTurnEnd(delaying, false))
        performTurnStart();
}

void TurnFlow::jumpIn()
{
    QList<Creature*> delayed;
    QList<Creature*> readied;
    for (Creature* creature : fighters()) {
        if (creature->isDelayed())
            delayed.append(creature);
        else if (creature->isReady())
            readied.append(creature);
    }
    Creature* chosen = nullptr;
    if (delayed.size() + readied.size() == 1)
        chosen = delayed.isEmpty() ? readied.first() : delayed.first();
    else if (!delayed.isEmpty() || !readied.isEmpty())
        chosen = Global::ui().getJumpInCreature(delayed, readied);
    if (!chosen || !isOpen())
        return;
    if (!chosen->isDelayed()) {
        // A readied action goes off before the current creature, whose turn goes on.
        record([&](ObjectStream* stream) { return new EndReadyEvent(chosen, stream); });
        return;
    }
    if (performTurnEnd(false, false))
        record([&](ObjectStream* stream) { return new JumpInEvent(chosen, stream); });
}
