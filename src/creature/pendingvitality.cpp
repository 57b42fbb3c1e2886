#include "creature/creature.h"

#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/saturating.h"
#include "encounter/history.h"
#include "encounter/vitalityevents.h"

namespace {

// A figure coloured by the preview that is folded into it.
QString colouredByDelta(int figure, int delta)
{
    if (delta == 0)
        return QString::number(figure);
    return QString("<b>%1</b>").arg(Creature::colored(Creature::changeColour(delta), QString::number(figure)));
}

}

void Creature::toggleStabilized(qint64 delta)
{
    const int after = Saturating::sum(hitPoints, delta);
    if (hitPoints < 1 && after > 0)
        stabilized = true;
    else if (hitPoints >= 1 && after < 1)
        stabilized = false;
}

void Creature::setDeltaCurrHealth(int hitPoints, int tempHitPoints, int surges)
{
    bool changed = false;
    if (hitPoints != hitPointDelta) {
        toggleStabilized(-qint64(hitPointDelta));
        this->hitPoints = Saturating::difference(this->hitPoints, hitPointDelta);
        hitPointDelta = hitPoints;
        toggleStabilized(hitPoints);
        this->hitPoints = Saturating::sum(this->hitPoints, hitPoints);
        changed = true;
    }
    if (tempHitPoints != tempHitPointDelta) {
        this->tempHitPoints = Saturating::sum(this->tempHitPoints, qint64(tempHitPoints) - tempHitPointDelta);
        tempHitPointDelta = tempHitPoints;
        changed = true;
    }
    if (surges != healingSurgeDelta) {
        healingSurges = Saturating::sum(healingSurges, qint64(surges) - healingSurgeDelta);
        healingSurgeDelta = surges;
        changed = true;
    }
    if (changed)
        updated();
}

void Creature::setDeltaCurrActionPoints(int delta)
{
    if (delta == actionPointDelta)
        return;
    // A negative preview counts as spent while the encounter runs.
    actionPoints = Saturating::sum(actionPoints, qint64(delta) - actionPointDelta);
    if (isEncounterRunning())
        actionPointsUsed = Saturating::sum(actionPointsUsed, qint64(actionPointDelta) - delta);
    actionPointDelta = delta;
    updated();
}

void Creature::resetDelta()
{
    if (!hitPointDelta && !tempHitPointDelta && !healingSurgeDelta && !actionPointDelta)
        return;
    toggleStabilized(-qint64(hitPointDelta));
    hitPoints = Saturating::difference(hitPoints, hitPointDelta);
    tempHitPoints = Saturating::difference(tempHitPoints, tempHitPointDelta);
    healingSurges = Saturating::difference(healingSurges, healingSurgeDelta);
    actionPoints = Saturating::difference(actionPoints, actionPointDelta);
    if (isEncounterRunning())
        actionPointsUsed = Saturating::sum(actionPointsUsed, actionPointDelta);
    hitPointDelta = tempHitPointDelta = healingSurgeDelta = actionPointDelta = 0;
    updated();
}

void Creature::writeVitalityChanges(ObjectStream* stream)
{
    if (isMonster())
        return;
    if (!inHistory && (!Global::encounter || Global::encounter->getCreatureIndex(this) < 0))
        return;
    if (!stream && Global::history)
        stream = Global::history->getStream(false);
    if (!stream || !Global::history)
        return;
    // The rename first: the figures are recorded under the new name, which a
    // replay knows only once the rename is read.
    if (stats.name != beforeName)
        Global::history->apply(new RenameCreatureEvent(beforeName, stats.name, stream), false);
    if (!getVitality().equals(getBeforeVitality()))
        Global::history->apply(new SetVitalityEvent(getVitality(), stream), false);
}

QString Creature::getDeltaHP() const
{
    return colouredByDelta(hitPoints, hitPointDelta);
}

QString Creature::getDeltaHS() const
{
    return colouredByDelta(healingSurges, healingSurgeDelta);
}

QString Creature::getDeltaTempHP() const
{
    return colouredByDelta(tempHitPoints, tempHitPointDelta);
}

QString Creature::getDeltaAP() const
{
    return colouredByDelta(actionPoints, actionPointDelta);
}
