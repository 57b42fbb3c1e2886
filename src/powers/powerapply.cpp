#include <cstdlib>

#include "encounter/damageevents.h"
#include "encounter/effectentries.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "encounter/history.h"
#include "powers/power.h"
#include "encounter/restevents.h"

namespace {

// Larger than the group id of every effect in the encounter.
unsigned int freshGroupId()
{
    unsigned int largest = 0;
    for (int i = 0; Creature* creature = Global::encounter->getCreature(i); i++)
        for (Effect* effect : creature->getEffects())
            largest = qMax(largest, effect->getGroupId());
    return largest + 1;
}

using VitalityStep = EffectEntries::Step;

// The events of a healing or damage step that change hit points, surges and
// temporary hit points; the preview walks the same.
QList<VitalityStep> vitalitySteps(const PowerStep* step, const QList<Creature*>& targets)
{
    QList<VitalityStep> steps;
    if (step->type() == PowerStep::Healing) {
        const auto& healing = static_cast<const HealingStep&>(*step);
        if (healing.surges < 0) {
            // Each target spends its own surges, worth its own surge value.
            for (Creature* target : targets)
                steps.append({EffectEntries::Heal, {target}, healing.healingFor(target), -healing.surges});
        } else if (healing.surges > 0 || healing.hitPoints != 0) {
            steps.append({EffectEntries::Heal, targets, healing.hitPoints, -healing.surges});
        }
        if (healing.tempHitPoints > 0)
            steps.append({EffectEntries::TempHitPoints, targets, healing.tempHitPoints});
    } else if (step->type() == PowerStep::Damage) {
        const auto& damage = static_cast<const DamageStep&>(*step);
        if (!damage.perTarget) {
            if (damage.damage > 0)
                steps.append({EffectEntries::Damage, targets, damage.damage});
        } else {
            // Each target takes its own amount, as its own event.
            for (Creature* target : targets)
                if (damage.damageFor(target) > 0)
                    steps.append({EffectEntries::Damage, {target}, damage.damageFor(target)});
        }
    }
    return steps;
}

// The events of one list of a power's program, each recorded as it is built,
// so that the next one sees the creatures as the last one left them.
class ProgramRun
{
public:
    ProgramRun(const QString& power, Creature* origin, const QList<Creature*>& targets, ObjectStream* stream)
        : power(power), origin(origin), targets(targets), stream(stream)
    {
    }

    // False once a record could not be written: nothing more is recorded then.
    bool apply(const PowerStep* step, const EndConditionStep* ending);

private:
    bool record(Event* event) { return Global::history->apply(event, false); }
    bool heal(const HealingStep& step);
    // The hit-point events of a healing or damage step.
    bool vitality(const PowerStep* step, const QString& damageType);
    bool useResource(const UseResourceStep& step);
    // An amount of 0 places nothing; its sign picks the type.
    bool signedEffect(int amount, CE::EffectType below, CE::EffectType above, const QString& comment);
    bool effect(CE::EffectType type, int amount, const QString& comment);

    const QString power;
    Creature* const origin;
    const QList<Creature*> targets;
    ObjectStream* const stream;
    // What the effect steps share with the effects they make.
    EffectDetails details;
    // The effects ended by one end-condition step are one group, headed and
    // ended together; 0 until the group's first effect.
    unsigned int groupId = 0;
};

bool ProgramRun::apply(const PowerStep* step, const EndConditionStep* ending)
{
    details = EffectDetails();
    details.sourceName = power;
    details.origin = origin;
    if (ending) {
        details.endCondition = ending->endCondition;
        details.sustainable = ending->sustainable;
    }
    switch (step->type()) {
    case PowerStep::Healing: return heal(static_cast<const HealingStep&>(*step));
    case PowerStep::Damage: return vitality(step, static_cast<const DamageStep&>(*step).damageType);
    case PowerStep::UseResource: return useResource(static_cast<const UseResourceStep&>(*step));
    case PowerStep::Condition: {
        const auto& condition = static_cast<const ConditionStep&>(*step);
        if (condition.condition != CE::None)
            return effect(condition.condition, 0, condition.comment);
        // A comment alone is placed as the classic dialog places it.
        return condition.comment.isEmpty() || effect(CE::BadEffect, 0, condition.comment);
    }
    case PowerStep::OnGoing: {
        const auto& onGoing = static_cast<const OnGoingStep&>(*step);
        if (onGoing.prompt)
            details.positive = EffectDetails::AskAmount;
        return signedEffect(onGoing.amount, CE::OnGoingDamage, CE::Regeneration, onGoing.damageType);
    }
    case PowerStep::Bonus: {
        const auto& bonus = static_cast<const BonusStep&>(*step);
        details.attributes = bonus.attributes;
        return signedEffect(bonus.amount, CE::Penalty, CE::Bonus, QString());
    }
    case PowerStep::Resistance: {
        const auto& resistance = static_cast<const ResistanceStep&>(*step);
        return signedEffect(resistance.amount, CE::Vulnerability, CE::Resistance, resistance.damageType);
    }
    case PowerStep::EndCondition:
        groupId = 0;
        return true;
    }
    return true;
}

bool ProgramRun::heal(const HealingStep& step)
{
    if (step.stabilize)
        for (Creature* target : targets)
            if (target->isDying() && !target->isStabilized() && !record(new StabilizeEvent(origin, target, stream)))
                return false;
    return vitality(&step, QString());
}

bool ProgramRun::vitality(const PowerStep* step, const QString& damageType)
{
    for (const VitalityStep& change : vitalitySteps(step, targets)) {
        Event* event = nullptr;
        switch (change.kind) {
        case EffectEntries::Heal:
            event = new HealEvent(power, origin, change.creatures, change.surges, change.amount, stream);
            break;
        case EffectEntries::TempHitPoints: event = new SetTempHPEvent(change.creatures, change.amount, stream); break;
        default:
            event = new DamageEvent(power, origin, change.creatures, change.amount, damageType, stream);
        }
        if (!record(event))
            return false;
    }
    return true;
}

bool ProgramRun::useResource(const UseResourceStep& step)
{
    for (Creature* target : targets) {
        Event* event = step.resource == UseResourceStep::SecondWind
                           ? static_cast<Event*>(new UseSecondWindEvent(target, step.amount, stream))
                           : new UseActionPointEvent(target, step.amount, stream);
        if (!record(event))
            return false;
    }
    return true;
}

bool ProgramRun::signedEffect(int amount, CE::EffectType below, CE::EffectType above, const QString& comment)
{
    return amount == 0 || effect(amount < 0 ? below : above, std::abs(amount), comment);
}

bool ProgramRun::effect(CE::EffectType type, int amount, const QString& comment)
{
    if (!groupId)
        groupId = freshGroupId();
    details.groupId = groupId;
    details.type = type;
    details.amount = amount;
    details.comment = comment;
    return record(new EffectEvent(details, targets, stream));
}

// The end-condition step that ends the effect step at index: the first one after it in its list.
const EndConditionStep* endingAfter(const PowerProgram& program, Power::StepType type, int index)
{
    for (int i = index + 1; const PowerStep* step = program.getStep(i, type); i++)
        if (step->type() == PowerStep::EndCondition)
            return static_cast<const EndConditionStep*>(step);
    return nullptr;
}

}

bool CreaturePower::apply(Creature* origin, QList<Creature*> targets, Power::StepType type, ObjectStream* stream)
{
    ProgramRun run(name, origin, targets, stream);
    for (int i = 0; const PowerStep* step = program.getStep(i, type); i++)
        if (!run.apply(step, endingAfter(program, type, i)))
            return false;
    return true;
}

void CreaturePower::preview(Creature* origin, bool useActionPoint, const QList<Creature*>& hit,
                            const QList<Creature*>& missed, const QList<Creature*>& effected) const
{
    // In the order the caller records: the action point, then the lists.
    QList<VitalityStep> steps;
    if (useActionPoint && origin)
        steps.append({EffectEntries::UseActionPoint, {origin}});
    const QList<Creature*>* lists[] = {&hit, &missed, &effected};
    for (int type = Power::Hit; type <= Power::Effect; type++)
        if (!lists[type]->isEmpty())
            for (int i = 0; const PowerStep* step = program.getStep(i, Power::StepType(type)); i++)
                steps += vitalitySteps(step, *lists[type]);
    EffectEntries::preview(steps);
}
