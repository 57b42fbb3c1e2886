#ifndef ENCOUNTERTESTING_H
#define ENCOUNTERTESTING_H

// What the tests of the creature list and the encounter share.

#include <QList>
#include <QString>
#include <QStringList>

#include "creature/creature.h"
#include "encounter/creaturelist.h"

// The creatures' names in order, a missing one as "null".
inline QString names(const QList<Creature*>& creatures)
{
    QStringList result;
    for (Creature* creature : creatures)
        result.append(creature ? creature->getNameGroup() : QString("null"));
    return result.join(", ");
}

// An encounter entry with every field set.
inline EncounterEntry bridgeAmbush()
{
    EncounterEntry entry;
    entry.fileName = "bridge.encounter";
    entry.name = "Bridge Ambush";
    entry.adventure = "The Long Road";
    entry.description = "Goblins at the ford";
    entry.level = 4;
    entry.xp = 875;
    return entry;
}

#endif
