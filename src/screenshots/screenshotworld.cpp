#include "screenshots/screenshotworld.h"

#include <QDir>

#include <functional>

#include "creature/creature.h"
#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/history.h"
#include "encounter/turnorderevents.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/monsters.h"

bool ScreenshotWorld::load(const QString& home, QString& error)
{
    const QString root = QDir(home).filePath("Ravelhorn Data");
    for (const char* library : {"Characters", "Monsters", "Encounters", "Portraits", "History"})
        QDir(root).mkpath(library);
    if (!Global::setRootPath(QDir::toNativeSeparators(root), root)) {
        error = "the data folder " + root + " did not load";
        return false;
    }
    return recordFight(error);
}

Creature* ScreenshotWorld::addHero(const QString& name, int maxHitPoints)
{
    auto* hero = new Creature;
    hero->setupDummyHero(name);
    CreatureVitality vitality = hero->getVitality();
    vitality.maxHitPoints = maxHitPoints;
    vitality.maxHealingSurges = 6;
    vitality.surgeValue = maxHitPoints / 4;
    vitality.initActionPoints = 1;
    hero->setVitality(vitality);
    hero->setBeforeName(name);
    hero->takeExtendedRest(true, true);
    hero->setBeforeVitality(hero->getVitality());
    Global::characters->addCharacter(hero);
    return hero;
}

Creature* ScreenshotWorld::addMonster(const QString& group, const QString& id, int maxHitPoints)
{
    if (!Global::monsters->findTemplate(group)) {
        auto* base = new Creature;
        base->setupDummyMonster(group);
        base->setMaxHitPoints(maxHitPoints);
        Global::monsters->addTemplate(base);
    }
    return Global::monsters->getMonsterInstance(group, id, true);
}

bool ScreenshotWorld::recordFight(QString& error)
{
    Creature* arwen = addHero("Arwen Tallis", 40);
    Creature* brom = addHero("Brom Kettle", 32);
    Creature* cira = addHero("Cira Vell", 28);
    Creature* dunmor = addHero("Dunmor Ash", 36);
    Creature* cutter1 = addMonster("Goblin Cutter", "1", 20);
    Creature* cutter2 = addMonster("Goblin Cutter", "2", 20);
    Creature* cutter3 = addMonster("Goblin Cutter", "3", 20);
    Creature* brute = addMonster("Ogre Brute", "1", 60);
    const QList<Creature*> everyone{arwen, brom, cira, dunmor, cutter1, cutter2, cutter3, brute};
    Global::encounter->setCreatureList(CreatureList(everyone));

    ObjectStream* stream = Global::history->getStream(false);
    if (!stream) {
        error = "no history log";
        return false;
    }
    // Fixed rolls, so that every run draws the same pictures.
    const InitiativeList heroes{{"Arwen Tallis", 19, 4}, {"Brom Kettle", 15, 3}, {"Cira Vell", 12, 2},
        {"Dunmor Ash", 8, 1}};
    const InitiativeList monsters{{"Goblin Cutter", 17, 2}, {"Ogre Brute", 10, 1}};
    EffectDetails slowed;
    slowed.origin = brute;
    slowed.type = CE::Slowed;
    slowed.endCondition = CE::SaveEnds;
    EffectDetails burning;
    burning.origin = cira;
    burning.type = CE::OnGoingDamage;
    burning.endCondition = CE::SaveEnds;
    burning.amount = 5;
    burning.comment = "fire";
    // Each event takes its snapshot when it is made, so one is made after the other was applied.
    const QList<std::function<Event*()>> fight{
        [&] { return new StartEncounterEvent(heroes, monsters, stream); },
        [&] { return new DamageEvent("Hit", brute, brom, 20, "", stream); },
        [&] { return new DamageEvent("Hit", brute, dunmor, 40, "", stream); },
        [&] { return new DamageEvent("Hit", arwen, cutter1, 25, "fire", stream); },
        [&] { return new DiedEvent(cutter1, stream); },
        [&] { return new DamageEvent("Hit", cira, brute, 18, "", stream); },
        [&] { return new EffectEvent(slowed, {arwen, cira}, stream); },
        [&] { return new EffectEvent(burning, {brute}, stream); },
        [&] { return new SetTempHPEvent({cira}, 6, stream); },
        [&] { return new DelayEvent(Global::encounter->getCurrentCreature(), stream); },
        [&] { return new NextTurnEvent(stream, false); },
        [&] { return new ReadyEvent(Global::encounter->getCurrentCreature(), stream); },
    };
    for (const auto& make : fight)
        if (!Global::history->apply(make(), false)) {
            error = "the fight could not be recorded";
            return false;
        }
    cutter3->setHidden(true);
    Global::encounter->setSelectedCreatures({brom, brute});
    return true;
}
