#include "creature/creature.h"

#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/saturating.h"
#include "encounter/history.h"
#include "encounter/vitalityevents.h"

namespace {

// A figure coloured by the preview that is folded into it.
QString colouredByDelta(int figure, qint64 delta)
{
    if (delta == 0)
        return QString::number(figure);
    const QColor colour = Creature::changeColour(Saturating::clamped(delta));
    return QString("<b>%1</b>").arg(Creature::colored(colour, QString::number(figure)));
}

// Moves a figure to the preview of this delta. The delta is kept as it was
// applied, beside the figure it was applied to, so that going back is exact
// even where the preview stopped at an end of int.
bool preview(int& figure, qint64& delta, qint64 wanted)
{
    if (wanted == delta)
        return false;
    const qint64 without = figure - delta;
    figure = Saturating::sum(without, wanted);
    delta = figure - without;
    return true;
}

}

void Creature::previewStabilized()
{
    // Healing to above 0 stabilizes; a hit that takes hit points to 0 or below does not.
    const qint64 without = hitPoints - hitPointDelta;
    if (hitPoints > without && hitPoints > 0)
        stabilized = true;
    else if (hitPoints < without && hitPoints <= 0)
        stabilized = false;
    else
        stabilized = stabilizedWithoutDelta;
}

bool Creature::showDeltas(qint64 hitPoints, qint64 tempHitPoints, qint64 surges, qint64 actionPoints)
{
    // The flag goes back with the hit points: a cancelled heal leaves a
    // stabilized hero stabilized.
    if (hitPointDelta == 0)
        stabilizedWithoutDelta = stabilized;
    bool changed = false;
    if (preview(this->hitPoints, hitPointDelta, hitPoints)) {
        previewStabilized();
        changed = true;
    }
    changed = preview(this->tempHitPoints, tempHitPointDelta, tempHitPoints) || changed;
    changed = preview(healingSurges, healingSurgeDelta, surges) || changed;
    if (preview(this->actionPoints, actionPointDelta, actionPoints)) {
        // A negative preview counts as spent while the encounter runs; kept as
        // a delta of its own, it goes back exactly at the end of int too.
        preview(actionPointsUsed, actionPointsUsedDelta, isEncounterRunning() ? -actionPoints : 0);
        changed = true;
    }
    return changed;
}

void Creature::setDeltaCurrHealth(qint64 hitPoints, qint64 tempHitPoints, qint64 surges)
{
    if (showDeltas(hitPoints, tempHitPoints, surges, actionPointDelta))
        updated();
}

void Creature::setDeltaCurrActionPoints(qint64 delta)
{
    if (showDeltas(hitPointDelta, tempHitPointDelta, healingSurgeDelta, delta))
        updated();
}

void Creature::resetDelta()
{
    if (showDeltas(0, 0, 0, 0))
        updated();
}

bool Creature::hasUnrecordedEdits()
{
    if (isMonster())
        return false;
    if (!inHistory && (!Global::encounter || Global::encounter->getCreatureIndex(this) < 0))
        return false;
    return stats.name != beforeName || !getVitality().equals(getBeforeVitality());
}

void Creature::writeVitalityChanges(ObjectStream* stream)
{
    if (!hasUnrecordedEdits())
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
