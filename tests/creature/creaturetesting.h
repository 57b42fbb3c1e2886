#ifndef CREATURETESTING_H
#define CREATURETESTING_H

// What the creature tests share: an encounter for the creature code to ask
// about, creatures and effects made for one test and freed after it, and sets
// of effected attributes written as bit masks.

#include <QList>
#include <QString>

#include "creature/creature.h"
#include "creature/effect.h"
#include "encounter/encounter.h"
#include "foundation/global.h"

// Bit i stands for the i-th attribute in field order.
const int AC = 1, Fort = 2, Ref = 4, Will = 8, Hit = 16, Dmg = 32, Saves = 64;

inline bool EffectedAttr::*const attributeFlags[] = {
    &EffectedAttr::armorClass, &EffectedAttr::fortitude, &EffectedAttr::reflex, &EffectedAttr::will,
    &EffectedAttr::toHit,      &EffectedAttr::damage,    &EffectedAttr::savingThrows,
};

inline EffectedAttr attributesOf(int mask)
{
    EffectedAttr attributes;
    for (int i = 0; i < 7; i++)
        attributes.*attributeFlags[i] = mask & (1 << i);
    return attributes;
}

inline int maskOf(const EffectedAttr& attributes)
{
    int mask = 0;
    for (int i = 0; i < 7; i++)
        if (attributes.*attributeFlags[i])
            mask |= 1 << i;
    return mask;
}

class CreatureFixture
{
public:
    void setUp() { Global::encounter = new Encounter; }

    void tearDown()
    {
        delete Global::encounter;
        Global::encounter = nullptr;
        qDeleteAll(madeEffects);
        madeEffects.clear();
        qDeleteAll(madeCreatures);
        madeCreatures.clear();
    }

    Creature* hero(const QString& name)
    {
        auto* creature = new Creature;
        creature->setupDummyHero(name);
        madeCreatures.append(creature);
        return creature;
    }

    Creature* monster(const QString& group, const QString& id)
    {
        auto* creature = new Creature;
        creature->setupDummyMonster(group);
        creature->setName(id);
        madeCreatures.append(creature);
        return creature;
    }

    Effect* effect(Creature* target, const EffectDetails& details)
    {
        auto* made = new Effect(details, target);
        madeEffects.append(made);
        return made;
    }

    // Action points are spent during an encounter, which then goes on or is over.
    void spendActionPoints(Creature* creature, int spent, bool running)
    {
        Global::encounter->setCurrentIndex(0);
        creature->useActionPoints(spent);
        if (!running)
            Global::encounter->setCurrentIndex(-1);
    }

    // Deletes a made creature now, for what happens once it is gone.
    void forget(Creature* creature)
    {
        madeCreatures.removeOne(creature);
        delete creature;
    }

private:
    QList<Effect*> madeEffects;
    QList<Creature*> madeCreatures;
};

#endif
