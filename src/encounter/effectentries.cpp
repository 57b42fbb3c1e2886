#include "encounter/effectentries.h"

#include <QHash>

#include <cstdlib>

#include "creature/creature.h"
#include "encounter/commandroad.h"
#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/powerevents.h"
#include "encounter/restevents.h"
#include "foundation/global.h"
#include "foundation/saturating.h"

QList<EffectEntries::Step> EffectEntries::steps(const Parties& parties) const
{
    QList<Step> list;
    Creature* origin = parties.origin;
    if (origin && !parties.powerName.isEmpty() && origin->getPowers().getPowerByName(parties.powerName))
        list.append({MarkPowerUsed, {origin}});
    // Damage, healing and effects need someone to take them; the origin's action does not.
    const QList<Creature*>& targets = parties.targets;
    if (!targets.isEmpty()) {
        if (damage > 0)
            list.append({Damage, targets, damage});
        if (surgeChange == OwnSurgeValue) {
            for (Creature* target : targets)
                list.append({Heal, {target}, Saturating::sum(heal, target->getSurgeValue()), 1});
        } else if (surgeChange < 0) {
            const qint64 surges = -qint64(surgeChange);
            list.append({Heal, targets, Saturating::clamped(heal + surgeValue * surges), Saturating::clamped(surges)});
        } else if (surgeChange > 0 || heal != 0) {
            list.append({Heal, targets, heal, -surgeChange});
        }
        if (tempHitPoints != 0)
            list.append({TempHitPoints, targets, tempHitPoints});
        addEffects(list, parties);
    }
    Creature* single = parties.singleTarget;
    switch (origin ? action : CE::ActionNone) {
    case CE::ActionUseActionPoint: list.append({UseActionPoint, {origin}}); break;
    case CE::ActionTotalDefense: list.append({TotalDefense, {origin}}); break;
    case CE::ActionSecondWind: list.append({SecondWind, {origin}}); break;
    case CE::ActionStabilize:
        if (single)
            list.append({Stabilize, {single}});
        break;
    case CE::ActionFirstAid:
        if (single)
            list.append({FirstAid, {single}});
        break;
    case CE::ActionGainHealingSurge: list.append({GainHealingSurge, {origin}}); break;
    default: break;
    }
    return list;
}

void EffectEntries::addEffects(QList<Step>& list, const Parties& parties) const
{
    const QString trimmed = comment.trimmed();
    auto add = [&](CE::EffectType type, int amount, const QString& text) {
        Step step{AddEffect, parties.targets};
        step.details.origin = parties.origin;
        step.details.type = type;
        step.details.endCondition = endCondition;
        step.details.comment = text;
        step.details.amount = std::abs(amount);
        list.append(step);
        return &list.last().details;
    };
    if (condition != CE::None)
        add(condition, 0, trimmed);
    if (onGoing != 0)
        add(onGoing < 0 ? CE::OnGoingDamage : CE::Regeneration, onGoing, comment);
    if (bonus != 0)
        add(bonus < 0 ? CE::Penalty : CE::Bonus, bonus, trimmed)->attributes = attributes;
    if (resistance != 0)
        add(resistance < 0 ? CE::Vulnerability : CE::Resistance, resistance, comment);
    else if (condition == CE::None && onGoing == 0 && bonus == 0 && !trimmed.isEmpty())
        add(CE::BadEffect, 0, trimmed);
}

bool EffectEntries::record(CommandRoad& road, const Parties& parties) const
{
    Creature* origin = parties.origin;
    for (const Step& step : steps(parties)) {
        ObjectStream* stream = road.getStream();
        Creature* first = step.creatures.value(0);
        Event* event = nullptr;
        switch (step.kind) {
        case MarkPowerUsed:
            event = new PowerUsageChangedEvent(origin, parties.powerName, PowerUsageChangedEvent::Used, stream);
            break;
        case Damage: event = new DamageEvent(QString(), origin, step.creatures, step.amount, QString(), stream); break;
        case Heal: event = new HealEvent(QString(), origin, step.creatures, step.surges, step.amount, stream); break;
        case TempHitPoints: event = new SetTempHPEvent(step.creatures, step.amount, stream); break;
        case AddEffect: event = new EffectEvent(step.details, step.creatures, stream); break;
        case UseActionPoint: event = new UseActionPointEvent(origin, -1, stream); break;
        case TotalDefense: event = new TotalDefenseEvent(origin, stream); break;
        case SecondWind: event = new SecondWindEvent(origin, stream); break;
        case Stabilize: event = new StabilizeEvent(origin, first, stream); break;
        case FirstAid: event = new AdministerFirstAidEvent(origin, first, stream); break;
        case GainHealingSurge: event = new GainHealingSurgeEvent(origin, stream); break;
        }
        if (!road.apply(event))
            return false;
    }
    return true;
}

void EffectEntries::change(VitalFigures& figures, const Step& step, Creature* creature)
{
    const int maxHitPoints = creature->getMaxHitPoints();
    const int maxSurges = creature->getMaxHealingSurges();
    switch (step.kind) {
    case Damage: figures.takeDamage(step.amount); break;
    case Heal: figures.heal(step.amount, step.surges, maxHitPoints, maxSurges); break;
    case TempHitPoints: figures.gainTempHitPoints(step.amount); break;
    case UseActionPoint: figures.useActionPoints(1); break;
    case SecondWind:
    case FirstAid: figures.heal(creature->getSurgeValue(), 1, maxHitPoints, maxSurges); break;
    case GainHealingSurge: figures.heal(0, -1, maxHitPoints, maxSurges); break;
    default: break;
    }
}

void EffectEntries::preview(const Parties& parties) const
{
    preview(steps(parties));
}

void EffectEntries::preview(const QList<Step>& steps)
{
    QHash<Creature*, VitalFigures> figures;
    for (const Step& step : steps) {
        for (Creature* creature : step.creatures) {
            if (!figures.contains(creature))
                figures.insert(creature, creature->getFiguresWithoutDelta());
            change(figures[creature], step, creature);
        }
    }
    // Whoever an earlier preview touched and this one does not goes back to its own figures.
    for (int i = 0; Creature* creature = Global::encounter->getCreature(i); i++)
        if (!figures.contains(creature))
            creature->resetDelta();
    for (auto it = figures.cbegin(); it != figures.cend(); ++it) {
        Creature* creature = it.key();
        const VitalFigures base = creature->getFiguresWithoutDelta();
        creature->setDeltaCurrHealth(qint64(it->hitPoints) - base.hitPoints, qint64(it->tempHitPoints) - base.tempHitPoints,
                                     qint64(it->healingSurges) - base.healingSurges);
        creature->setDeltaCurrActionPoints(qint64(it->actionPoints) - base.actionPoints);
    }
}
