#ifndef TEXTEFFECTS_H
#define TEXTEFFECTS_H

#include <QStringList>

#include "creature/creature.h"
#include "creature/effect.h"

// Puts the effects a creature's texts read on it, each written as
// "bonus 2 hit,damage", "penalty 1 armor", "resist 10 cold" or "vulnerable 5"
// (type, amount, then the attributes or the comment). The creature frees them.
inline void putEffects(Creature* creature, const QStringList& descriptions)
{
    static const QMap<QString, CE::EffectType> types{{"bonus", CE::Bonus},
                                                     {"penalty", CE::Penalty},
                                                     {"resist", CE::Resistance},
                                                     {"vulnerable", CE::Vulnerability}};
    for (const QString& description : descriptions) {
        QStringList words = description.split(' ');
        EffectDetails details;
        details.type = types.value(words.takeFirst());
        details.amount = words.takeFirst().toInt();
        if (details.type == CE::Bonus || details.type == CE::Penalty)
            details.attributes.setAttributes(words.join(' '));
        else
            details.comment = words.join(' ');
        auto* effect = new Effect(details, creature);
        effect->setParent(creature);
        creature->addEffect(effect);
    }
}

#endif
