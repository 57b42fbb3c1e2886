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
    // The demonstration data, as a first start makes it.
    const QString demo = QDir(Global::getResourcePath()).filePath("demo-data");
    const QString root = QDir(home).filePath("Ravelhorn Data");
    if (!Global::copyDir(demo, home, "Ravelhorn Data")) {
        error = "the demonstration data " + demo + " could not be copied";
        return false;
    }
    if (!Global::setRootPath(QDir::toNativeSeparators(root), root)) {
        error = "the data folder " + root + " did not load";
        return false;
    }
    return recordFight(error);
}

bool ScreenshotWorld::recordFight(QString& error)
{
    Creature* arwen = Global::characters->findCharacter("Brannoc Ashfield");
    Creature* brom = Global::characters->findCharacter("Wren Talloway");
    Creature* cira = Global::characters->findCharacter("Idrel Vane");
    Creature* dunmor = Global::characters->findCharacter("Oriel Fenwhistle");
    Creature* cutter1 = Global::monsters->getMonsterInstance("Mire Goblin Shank", "1", true);
    Creature* cutter2 = Global::monsters->getMonsterInstance("Mire Goblin Shank", "2", true);
    Creature* cutter3 = Global::monsters->getMonsterInstance("Mire Goblin Shank", "3", true);
    Creature* brute = Global::monsters->getMonsterInstance("Ashen Hound", "1", true);
    const QList<Creature*> everyone{arwen, brom, cira, dunmor, cutter1, cutter2, cutter3, brute};
    if (everyone.contains(nullptr)) {
        error = "the demonstration creatures are missing";
        return false;
    }
    Global::encounter->setCreatureList(CreatureList(everyone));

    ObjectStream* stream = Global::history->getStream(false);
    if (!stream) {
        error = "no history log";
        return false;
    }
    // Fixed rolls, so that every run draws the same pictures.
    const InitiativeList heroes{{"Brannoc Ashfield", 19, 4}, {"Wren Talloway", 15, 3}, {"Idrel Vane", 12, 2},
        {"Oriel Fenwhistle", 8, 1}};
    const InitiativeList monsters{{"Mire Goblin Shank", 17, 2}, {"Ashen Hound", 10, 1}};
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
        [&] { return new DamageEvent("Hit", brute, dunmor, 30, "", stream); },
        [&] { return new DamageEvent("Hit", arwen, cutter1, 1, "fire", stream); },
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
