#ifndef BENCHFIGHT_H
#define BENCHFIGHT_H

#include <QApplication>
#include <QElapsedTimer>
#include <QList>

#include <functional>

#include "benchsizes.h"

#include "creature/creature.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "support/testworld.h"

// The fight the turn benchmarks share: 8 heroes, 32 goblins in four groups,
// started through the history. With known bonuses every creature takes its turn.
inline QList<Creature*> startBenchFight(TestWorld& world, int heroHitPoints, int monsterHitPoints,
                                        bool knownBonuses = false)
{
    QList<Creature*> creatures;
    InitiativeList heroes, monsters;
    for (int i = 1; i <= 8; i++) {
        creatures << world.addHero(QString("Hero %1").arg(i), heroHitPoints);
        heroes.append({creatures.last()->getName(), 30 - i, i});
    }
    for (int i = 1; i <= 32; i++)
        creatures << world.addMonster(QString("Goblin %1").arg(i % 4), QString::number(i), monsterHitPoints);
    for (int g = 0; g < 4; g++)
        monsters.append({QString("Goblin %1").arg(g), 20 - g, g});
    if (knownBonuses)
        for (Creature* creature : creatures)
            TestWorld::giveInitiativeBonus(creature);
    Global::encounter->setCreatureList(CreatureList(creatures));
    world.record(new StartEncounterEvent(heroes, monsters, world.stream()));
    return creatures;
}

// 100 effects from the heroes on the goblins, their types taken in turn.
inline void addBenchEffects(TestWorld& world, const QList<Creature*>& creatures, const QList<CE::EffectType>& types,
                            int amount, CE::EndCondition endCondition)
{
    for (int i = 0; i < 100; i++) {
        EffectDetails details;
        details.origin = creatures[i % 8];
        details.type = types[i % types.size()];
        details.amount = amount;
        details.endCondition = endCondition;
        world.record(new EffectEvent(details, {creatures[8 + i % 32]}, world.stream()));
    }
}

// A fight of 40 creatures and 100 effects that end at the goblins' next turns.
inline QList<Creature*> makeEndingEffectsFight(TestWorld& world)
{
    const QList<Creature*> creatures = startBenchFight(world, 40, 200);
    addBenchEffects(world, creatures, {CE::OnGoingDamage, CE::Dazed, CE::Dazed}, 3, CE::EndOfTargetsNextTurn);
    return creatures;
}

// The turn moves on and five goblins' first effects end, as at a Next Turn.
inline void recordTurnEnd(TestWorld& world, const QList<Creature*>& creatures, int round)
{
    world.record(new NextTurnEvent(world.stream(), false));
    for (int i = 0; i < 5; i++) {
        Creature* holder = creatures[8 + (round + i) % 32];
        world.record(new RemoveAtEndOfTurnEvent(holder, holder->getEffect(0), world.stream()));
    }
}

// Milliseconds of one round, the median of the rounds; each round is taken
// back through the history before the next.
inline double medianOfRounds(int rounds, const std::function<void(int round)>& runRound)
{
    QList<double> times;
    for (int round = 0; round < rounds; round++) {
        const int before = Global::history->getCurrentIndex();
        QElapsedTimer timer;
        timer.start();
        runRound(round);
        times << timer.nsecsElapsed() / 1e6;
        while (Global::history->getCurrentIndex() > before)
            Global::history->back();
        QApplication::processEvents();
    }
    return median(times);
}

// Milliseconds of one call, the mean of that many calls in a row.
inline double meanMilliseconds(int calls, const std::function<void()>& call)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < calls; i++)
        call();
    return timer.nsecsElapsed() / 1e6 / calls;
}

#endif
