#ifndef CREATURETESTING_H
#define CREATURETESTING_H

// What the creature tests share: the singletons the creature code asks about,
// creatures and effects freed after each test, attribute sets as bit masks,
// effects written as words, and a short form of the stat block's HTML.

#include <QList>
#include <QMap>
#include <QString>
#include <QTest>

#include "creature/creature.h"
#include "creature/effect.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/textcolours.h"
#include "library/characters.h"
#include "library/monsters.h"

Q_DECLARE_METATYPE(CE::EffectType)
Q_DECLARE_METATYPE(CE::EndCondition)

// Bit i stands for the i-th attribute in field order.
const int AC = 1, Fort = 2, Ref = 4, Will = 8, Hit = 16, Dmg = 32, Saves = 64;

inline bool EffectedAttr::*const attributeFlags[] = {&EffectedAttr::armorClass, &EffectedAttr::fortitude,
                                                     &EffectedAttr::reflex,     &EffectedAttr::will,
                                                     &EffectedAttr::toHit,      &EffectedAttr::damage,
                                                     &EffectedAttr::savingThrows};

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
        mask |= attributes.*attributeFlags[i] ? 1 << i : 0;
    return mask;
}

// "[HP ]{r12}/30" is "<b>HP </b><font color=RED>12</font>/30" in the readable
// red; "{b" is the readable blue; "~" is a blank that does not break, as is
// the one closing a label.
inline QString html(QString text)
{
    const QString red = QString("<font color=%1>").arg(TextColours::red().name());
    const QString blue = QString("<font color=%1>").arg(TextColours::blue().name());
    return text.replace(" ]", "~]").replace("[", "<b>").replace("]", "</b>").replace("{r", red)
        .replace("{b", blue).replace("}", "</font>").replace("~", QChar(QChar::Nbsp));
}

// The columns of a data-driven test in one line: columns<int, QString>({"n", "text"}).
template <typename... T>
void columns(std::initializer_list<const char*> names)
{
    auto name = names.begin();
    (QTest::addColumn<T>(*name++), ...);
}

// The current row's value in a column, where QFETCH would need a line of its own.
template <typename T>
T fetch(const char* column)
{
    return *static_cast<T*>(QTest::qData(column, qMetaTypeId<T>()));
}

// Compares with a column written in the short form of html().
#define QTEST_HTML(actual, column) QCOMPARE(actual, html(fetch<QString>(column)))

// The singletons a running program has, and creatures and effects made for
// one test and freed after it.
class CreatureFixture
{
public:
    void setUp()
    {
        Global::encounter = new Encounter;
        Global::characters = new Characters;
        Global::monsters = new Monsters;
    }

    void tearDown()
    {
        delete Global::encounter;
        qDeleteAll(madeEffects);
        qDeleteAll(madeCreatures);
        delete Global::characters;
        delete Global::monsters;
        Global::encounter = nullptr;
        Global::characters = nullptr;
        Global::monsters = nullptr;
        madeEffects.clear();
        madeCreatures.clear();
    }

    Creature* hero(const QString& name)
    {
        madeCreatures.append(new Creature);
        madeCreatures.last()->setupDummyHero(name);
        return madeCreatures.last();
    }

    Creature* monster(const QString& group, const QString& id)
    {
        madeCreatures.append(new Creature);
        madeCreatures.last()->setupDummyMonster(group);
        madeCreatures.last()->setName(id);
        return madeCreatures.last();
    }

    // A rested and recorded creature of these statistics.
    Creature* made(const CreatureStats& stats)
    {
        Creature* creature = monster("", "");
        creature->setStats(stats);
        creature->takeExtendedRest(false, false);
        creature->setBeforeVitality(creature->getVitality());
        return creature;
    }

    // "hero", "monster" or "trap" with the given maxima.
    Creature* made(const QString& kind, int maxHitPoints, int maxSurges = 0, int surgeValue = 0, int actionPoints = 0)
    {
        CreatureStats stats;
        stats.monster = kind != "hero";
        stats.trap = kind == "trap";
        stats.maxHitPoints = maxHitPoints;
        stats.maxHealingSurges = maxSurges;
        stats.surgeValue = surgeValue;
        stats.initActionPoints = actionPoints;
        return made(stats);
    }

    Effect* effect(Creature* target, const EffectDetails& details)
    {
        madeEffects.append(new Effect(details, target));
        return madeEffects.last();
    }

    Effect* effect(Creature* target, CE::EffectType type, CE::EndCondition end = CE::EndSpecial,
                   Creature* origin = nullptr, unsigned int groupId = 0, int amount = 0, int attributes = 0)
    {
        EffectDetails details;
        details.type = type;
        details.endCondition = end;
        details.origin = origin;
        details.groupId = groupId;
        details.amount = amount;
        details.attributes = attributesOf(attributes);
        return effect(target, details);
    }

    // Effects written as "bonus 2 hit,damage", "penalty 1 armor", "resist 10 cold"
    // or "vulnerable 5", placed on the creature.
    void putEffects(Creature* creature, const QStringList& descriptions)
    {
        static const QMap<QString, CE::EffectType> types{
            {"bonus", CE::Bonus}, {"penalty", CE::Penalty}, {"resist", CE::Resistance}, {"vulnerable", CE::Vulnerability}};
        for (const QString& description : descriptions) {
            QStringList words = description.split(' ');
            EffectDetails details;
            details.type = types.value(words.takeFirst());
            details.amount = words.takeFirst().toInt();
            if (details.type == CE::Bonus || details.type == CE::Penalty)
                details.attributes.setAttributes(words.join(' '));
            else
                details.comment = words.join(' ');
            creature->addEffect(effect(creature, details));
        }
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
