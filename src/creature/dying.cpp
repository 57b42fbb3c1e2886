#include "creature/creature.h"

#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "foundation/global.h"
#include "encounter/history.h"
#include "encounter/turnorderevents.h"

void Creature::handleDying(bool keepTurn)
{
    if (!isDead(false))
        return;
    History* history = Global::history;
    ObjectStream* stream = history->getStream(false);
    if (!stream)
        return;
    Encounter* encounter = Global::encounter;
    bool wasCurrent = encounter->getCurrentCreature() == this;
    encounter->writeVitalityChanges(stream);
    if (!history->apply(new DiedEvent(this, stream), false))
        return;
    if (encounter->getCreatureCount() == 0)
        history->apply(new StopEncounterEvent(stream, false), false);
    else if (!keepTurn && wasCurrent)
        emit Global::switchBoard.doPerformTurnStart();
}
