#include "randomfight.h"

#include <QStringList>
#include <QtTest>

#include <cstdlib>

#include "damageevents.h"
#include "encounter.h"
#include "encounterevents.h"
#include "global.h"
#include "history.h"
#include "testworld.h"

namespace {

int roll(int sides)
{
    return rand() % sides;
}

}

RandomFight::RandomFight(TestWorld& world, bool steps, int heroCount, int goblinCount) : world(world), steps(steps)
{
    for (int i = 1; i <= heroCount; i++) {
        heroNames.append(QString("Hero %1").arg(i));
        world.addHero(heroNames.last(), 20 + roll(20), 2 + roll(6), 1);
    }
    for (int i = 1; i <= goblinCount; i++) {
        goblinIds.append(QString::number(i));
        world.addMonster("Goblin", goblinIds.last(), 25);
    }
    enterEncounter();
}

void RandomFight::enterEncounter() const
{
    QList<Creature*> creatures;
    for (const QString& name : heroNames)
        creatures.append(Creature::getCreatureByName(name, true));
    for (const QString& id : goblinIds)
        creatures.append(Creature::getCreatureByName("Goblin (" + id + ")", true));
    Global::encounter->setCreatureList(CreatureList(creatures));
}

void RandomFight::step()
{
    int choice = roll(12);
    if (!steps)
        choice = 3 + choice % 9;
    switch (choice) {
    case 0: Global::history->back(); return;
    case 1: Global::history->forward(false); return;
    case 2: Global::history->truncate(); return;
    case 3: handEdit(); return;
    default: command(); return;
    }
}

Creature* RandomFight::anyone() const
{
    return Global::encounter->getCreature(roll(Global::encounter->getCreatureCount()));
}

QList<Creature*> RandomFight::someone() const
{
    QList<Creature*> targets;
    for (Creature* c : Global::encounter->getCreatureList().getCreatureList())
        if (roll(3) == 0)
            targets.append(c);
    if (targets.isEmpty())
        targets.append(anyone());
    return targets;
}

Creature* RandomFight::anyHero() const
{
    return Creature::getCreatureByName(heroNames[roll(heroNames.size())], false);
}

void RandomFight::handEdit()
{
    Creature* hero = anyHero();
    hero->setCurrHitPoints(hero->getCurrHitPoints() - 5 + roll(10));
    Global::encounter->setCreatureEdited();
}

void RandomFight::command()
{
    ObjectStream* stream = Global::history->getStream(false);
    QVERIFY(stream);
    Global::encounter->writeVitalityChanges(stream);
    bool running = Global::encounter->isRunning();
    Event* event = nullptr;
    switch (roll(9)) {
    case 0:
        if (!running) {
            InitiativeList heroes, monsters;
            for (const QString& name : heroNames)
                heroes.append({name, roll(20) + 1, rand()});
            monsters.append({"Goblin", roll(20) + 1, rand()});
            event = new StartEncounterEvent(heroes, monsters, stream);
        }
        break;
    case 1:
        if (running)
            event = new NextTurnEvent(stream, false);
        break;
    case 2:
        if (running && roll(3) == 0)
            event = new StopEncounterEvent(stream, false);
        break;
    case 3:
    case 4: event = new DamageEvent("Hit", anyone(), someone(), 1 + roll(12), roll(2) ? "fire" : "", stream); break;
    case 5: event = new HealEvent("Heal", anyone(), someone(), roll(2), roll(10), stream); break;
    case 6: event = new SetTempHPEvent(someone(), roll(8), stream); break;
    case 7: event = new SecondWindEvent(anyHero(), stream); break;
    case 8: event = new AdministerFirstAidEvent(anyHero(), anyHero(), stream); break;
    }
    if (event)
        QVERIFY(world.record(event));
}
