#include "creature/creature.h"

#include <algorithm>

#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/saturating.h"

bool CreatureVitality::equals(const CreatureVitality& other) const
{
    return initBonus == other.initBonus && maxHitPoints == other.maxHitPoints && hitPoints == other.hitPoints
        && maxHealingSurges == other.maxHealingSurges && healingSurges == other.healingSurges
        && surgeValue == other.surgeValue && initActionPoints == other.initActionPoints
        && actionPoints == other.actionPoints;
}

void CreatureVitality::setVitality()
{
    creature->setInHistory(true);
    creature->setVitality(*this);
}

void CreatureVitality::setBeforeVitality()
{
    creature->setBeforeVitality(*this);
}

bool CreatureState::operator==(const CreatureState& o) const
{
    return hitPoints == o.hitPoints && tempHitPoints == o.tempHitPoints && healingSurges == o.healingSurges
        && actionPoints == o.actionPoints && failedDeathSavingThrows == o.failedDeathSavingThrows
        && secondWindUsed == o.secondWindUsed && actionPointsUsed == o.actionPointsUsed
        && stabilized == o.stabilized && delayed == o.delayed && ready == o.ready
        && endTurnCount == o.endTurnCount && lastAttacker == o.lastAttacker && damageOrder == o.damageOrder
        && beforeHitPoints == o.beforeHitPoints && beforeHealingSurges == o.beforeHealingSurges
        && beforeActionPoints == o.beforeActionPoints && damageTaken == o.damageTaken && healCount == o.healCount;
}

bool Creature::isBloodied() const
{
    return stats.maxHitPoints >= 1 && hitPoints <= getBloodiedValue();
}

bool Creature::isDead(bool withoutPending) const
{
    if (isHero()) {
        if (hitPoints < 1 && failedDeathSavingThrows > 2)
            return true;
        // Without a known maximum, minus the bloodied value would be 0 and
        // every unhurt new hero would count as dead.
        if (stats.maxHitPoints == 0)
            return hitPoints < 0;
        return hitPoints <= -getBloodiedValue();
    }
    int h = withoutPending ? Saturating::difference(hitPoints, hitPointDelta) : hitPoints;
    if (h >= 1)
        return false;
    return stats.maxHitPoints != 0 || h < 0;
}

bool Creature::isDying() const
{
    return isHero() && hitPoints < 1 && !isDead(false);
}

int Creature::getPercentageHP() const
{
    if (stats.maxHitPoints == 0)
        return 0;
    const qint64 p = qMin<qint64>(100, (qAbs(qint64(hitPoints)) * 100 + stats.maxHitPoints - 1) / stats.maxHitPoints);
    if (hitPoints >= 0)
        return Saturating::clamped(p);
    return isMonster() ? 0 : Saturating::clamped(-p);
}

int Creature::getPercentageHPForPlayers() const
{
    if (isHero())
        return getPercentageHP();
    int h = Saturating::difference(hitPoints, hitPointDelta);
    if (stats.maxHitPoints == 0 || h < 1)
        return 0;
    if (h <= getBloodiedValue())
        return 50;
    if (h < stats.maxHitPoints)
        return 90;
    return 100;
}

bool Creature::needsRest() const
{
    return actionPoints != stats.initActionPoints || hitPoints != stats.maxHitPoints || damageTaken > 0 || healCount > 0
        || healingSurges != stats.maxHealingSurges;
}

int Creature::getAttributeAdj(int score, int level)
{
    return score / 2 + level / 2 - 5;
}

CreatureVitality Creature::getVitality()
{
    return {this, stats.initBonus, stats.maxHitPoints, hitPoints, stats.maxHealingSurges, healingSurges,
            stats.surgeValue, stats.initActionPoints, actionPoints, int(stabilized)};
}

CreatureVitality Creature::getBeforeVitality()
{
    return {this, beforeInitBonus, beforeMaxHitPoints, beforeHitPoints, beforeMaxHealingSurges,
            beforeHealingSurges, beforeSurgeValue, beforeInitActionPoints, beforeActionPoints};
}

void Creature::setBeforeVitality(const CreatureVitality& vitality)
{
    beforeInitBonus = vitality.initBonus;
    beforeMaxHitPoints = vitality.maxHitPoints;
    beforeHitPoints = vitality.hitPoints;
    beforeMaxHealingSurges = vitality.maxHealingSurges;
    beforeHealingSurges = vitality.healingSurges;
    beforeSurgeValue = vitality.surgeValue;
    beforeInitActionPoints = vitality.initActionPoints;
    beforeActionPoints = vitality.actionPoints;
}

CreatureInit Creature::getInit()
{
    return {this, initRoll, initRandom};
}

int Creature::getInitBonus(bool unknownAsZero) const
{
    return unknownAsZero && stats.initBonus == UnknownValue ? 0 : stats.initBonus;
}

CreatureState Creature::getState() const
{
    CreatureState state;
    state.hitPoints = hitPoints;
    state.tempHitPoints = tempHitPoints;
    state.healingSurges = healingSurges;
    state.actionPoints = actionPoints;
    state.failedDeathSavingThrows = failedDeathSavingThrows;
    state.secondWindUsed = secondWindUsed ? 1 : 0;
    state.actionPointsUsed = actionPointsUsed;
    state.stabilized = stabilized;
    state.delayed = delayed;
    state.ready = ready;
    state.endTurnCount = endTurnCount;
    state.lastAttacker = lastAttacker;
    state.damageOrder = damageOrder;
    state.beforeHitPoints = beforeHitPoints;
    state.beforeHealingSurges = beforeHealingSurges;
    state.beforeActionPoints = beforeActionPoints;
    state.damageTaken = damageTaken;
    state.healCount = healCount;
    return state;
}

void Creature::setSecondWindUsed(bool value)
{
    if (secondWindUsed == value)
        return;
    secondWindUsed = value;
    updated();
}

void Creature::setState(const CreatureState& state)
{
    hitPoints = state.hitPoints;
    tempHitPoints = state.tempHitPoints;
    healingSurges = state.healingSurges;
    actionPoints = state.actionPoints;
    failedDeathSavingThrows = state.failedDeathSavingThrows;
    secondWindUsed = state.secondWindUsed != 0;
    actionPointsUsed = state.actionPointsUsed;
    stabilized = state.stabilized;
    delayed = state.delayed;
    ready = state.ready;
    endTurnCount = state.endTurnCount;
    lastAttacker = state.lastAttacker;
    damageOrder = state.damageOrder;
    beforeHitPoints = state.beforeHitPoints;
    beforeHealingSurges = state.beforeHealingSurges;
    beforeActionPoints = state.beforeActionPoints;
    damageTaken = state.damageTaken;
    healCount = state.healCount;
    updated();
}

int VitalFigures::takeDamage(int amount)
{
    if (tempHitPoints != 0) {
        if (tempHitPoints > amount) {
            tempHitPoints = Saturating::difference(tempHitPoints, amount);
            amount = 0;
        } else {
            amount = Saturating::difference(amount, tempHitPoints);
            tempHitPoints = 0;
        }
    }
    hitPoints = Saturating::difference(hitPoints, amount);
    return amount;
}

void VitalFigures::heal(int healed, int surgesSpent, int maxHitPoints, int maxHealingSurges)
{
    if (hitPoints < 0)
        hitPoints = 0;
    hitPoints = qMin(Saturating::sum(hitPoints, healed), maxHitPoints);
    healingSurges = std::clamp(Saturating::difference(healingSurges, surgesSpent), 0, qMax(0, maxHealingSurges));
}

bool VitalFigures::gainTempHitPoints(int amount)
{
    if (amount <= tempHitPoints)
        return false;
    tempHitPoints = amount;
    return true;
}

void VitalFigures::useActionPoints(int count)
{
    actionPoints -= qBound(0, count, qMax(actionPoints, 0));
}

bool VitalFigures::operator==(const VitalFigures& o) const
{
    return hitPoints == o.hitPoints && tempHitPoints == o.tempHitPoints && healingSurges == o.healingSurges
        && actionPoints == o.actionPoints;
}

VitalFigures Creature::getFiguresWithoutDelta() const
{
    return {Saturating::difference(hitPoints, hitPointDelta), Saturating::difference(tempHitPoints, tempHitPointDelta),
            Saturating::difference(healingSurges, healingSurgeDelta),
            Saturating::difference(actionPoints, actionPointDelta)};
}

void Creature::applyDamage(int amount, Creature* attacker)
{
    VitalFigures figures = getFigures();
    amount = figures.takeDamage(amount);
    hitPoints = figures.hitPoints;
    tempHitPoints = figures.tempHitPoints;
    // Only a hit that takes hit points leaves the creature dying.
    if (amount > 0 && hitPoints <= 0)
        stabilized = false;
    if (attacker) {
        lastAttacker = attacker->getNameGroup();
        damageOrder = damageOrderCount++;
    }
    damageTaken = Saturating::sum(damageTaken, amount);
    beforeHitPoints = hitPoints;
    updated();
}

void Creature::applyHealing(int healedHitPoints, int surges)
{
    healCount++;
    VitalFigures figures = getFigures();
    figures.heal(healedHitPoints, surges, stats.maxHitPoints, stats.maxHealingSurges);
    hitPoints = figures.hitPoints;
    healingSurges = figures.healingSurges;
    if (hitPoints > 0)
        stabilized = true;
    beforeHitPoints = hitPoints;
    beforeHealingSurges = healingSurges;
    updated();
}

void Creature::takeShortRest(int healedHitPoints, int surges, bool gainActionPoint)
{
    applyHealing(healedHitPoints, surges);
    if (gainActionPoint) {
        actionPoints = Saturating::sum(actionPoints, 1);
        beforeActionPoints = actionPoints;
    }
    updated();
}

void Creature::takeExtendedRest(bool clearEffects, bool resetPowers)
{
    restFigures(clearEffects, resetPowers);
    updated();
}

void Creature::restFigures(bool clearEffects, bool resetPowers)
{
    hitPoints = stats.maxHitPoints;
    tempHitPoints = 0;
    healingSurges = stats.maxHealingSurges;
    actionPoints = stats.initActionPoints;
    failedDeathSavingThrows = 0;
    secondWindUsed = false;
    actionPointsUsed = 0;
    stabilized = true;
    endTurnCount = 0;
    delayed = false;
    ready = false;
    lastAttacker.clear();
    damageOrder = 0;
    beforeHitPoints = beforeHealingSurges = beforeActionPoints = 0;
    damageTaken = healCount = 0;
    if (clearEffects) {
        effects.clear();
        nestedEffects.clear();
        nestedEffectsStale = false;
    }
    if (resetPowers) {
        for (int i = 0; CreaturePower* power = stats.powers.getPower(i); i++)
            if (power->getUsageCount() > 0)
                power->resetUsage();
    }
}

void Creature::endOfEncounter()
{
    if (isHero() && isDead(false) && hitPoints > -getBloodiedValue())
        hitPoints = -getBloodiedValue();
    actionPointsUsed = 0;
    tempHitPoints = 0;
    stabilized = true;
    delayed = false;
    ready = false;
    secondWindUsed = false;
    failedDeathSavingThrows = 0;
    updated();
}

void Creature::setTempHitPoints(int value)
{
    VitalFigures figures = getFigures();
    if (!figures.gainTempHitPoints(value))
        return;
    tempHitPoints = figures.tempHitPoints;
    updated();
}

void Creature::useActionPoints(int count)
{
    // A count is used as asked: replayed after a restart, a log that does not
    // say what the hero held may give it others than it had.
    const int spent = count == AllActionPoints ? actionPoints : count;
    VitalFigures figures = getFigures();
    figures.useActionPoints(spent);
    actionPoints = figures.actionPoints;
    if (Global::encounter && Global::encounter->isRunning())
        actionPointsUsed = Saturating::sum(actionPointsUsed, spent);
    beforeActionPoints = actionPoints;
    updated();
}

void Creature::addActionPoints(int count)
{
    if (count == AllActionPoints) {
        actionPoints = stats.initActionPoints;
        actionPointsUsed = 0;
    } else {
        actionPoints = Saturating::sum(actionPoints, count);
    }
    beforeActionPoints = actionPoints;
    updated();
}

void Creature::setStabilized(bool value)
{
    stabilized = value;
    updated();
}

void Creature::setFailedDeathSavingThrows(int count)
{
    failedDeathSavingThrows = count;
    updated();
}

namespace {

// Stores a hand edit; true when the value changed.
template <typename T>
bool store(T& field, const T& value)
{
    if (field == value)
        return false;
    field = value;
    return true;
}

}

void Creature::setCurrHitPoints(int value)
{
    if (store(hitPoints, value))
        updated();
}

void Creature::setCurrHealingSurges(int value)
{
    if (store(healingSurges, value))
        updated();
}

void Creature::setCurrActionPoints(int value)
{
    if (store(actionPoints, value))
        updated();
}

void Creature::setInitRoll(int value)
{
    if (store(initRoll, value))
        updated();
}

void Creature::setInitRandom(int value)
{
    if (store(initRandom, value))
        updated();
}

void Creature::setInit(const CreatureInit& init)
{
    bool changed = store(initRoll, init.roll);
    changed = store(initRandom, init.random) || changed;
    if (changed)
        updated();
}

void Creature::setHidden(bool value)
{
    hidden = value;
    emit Global::switchBoard.doToggleSelectionButtons();
    updated();
}

void Creature::setAlias(const QString& text)
{
    alias = text;
    emit Global::switchBoard.doToggleSelectionButtons();
    updated();
}

void Creature::setShowAlias(bool value)
{
    showAlias = value;
    emit Global::switchBoard.doToggleSelectionButtons();
    updated();
}

void Creature::setReady(bool value)
{
    ready = value;
    emit Global::switchBoard.doToggleJumpInButton();
    updated();
}

void Creature::setDelayed(bool value)
{
    delayed = value;
    emit Global::switchBoard.doToggleJumpInButton();
    updated();
}
