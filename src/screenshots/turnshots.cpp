// Pictures of the turn prompts, the initiative panel and the jump-in dialog,
// over the demonstration fight.
#include <QTimer>
#include <QToolButton>

#include <memory>

#include "combat/initiativedialog.h"
#include "combat/jumpindialog.h"
#include "combat/turndialogs.h"
#include "creature/creature.h"
#include "creature/effect.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "mainwindow/mainwindow.h"
#include "screenshots/shotsink.h"

namespace {

Creature* hero(const char* name)
{
    return Global::characters->findCharacter(name);
}

Creature* monster(const char* group, const char* id)
{
    return Global::monsters->getMonsterInstance(group, id, true);
}

// An effect for the picture alone: it is on no creature.
std::unique_ptr<Effect> effect(Creature* origin, Creature* target, CE::EffectType type, unsigned group,
    const QString& source)
{
    EffectDetails details;
    details.origin = origin;
    details.type = type;
    details.endCondition = CE::EndOfOriginsNextTurn;
    details.groupId = group;
    details.sustainable = true;
    details.sourceName = source;
    details.amount = 2;
    return std::make_unique<Effect>(details, target);
}

void promptShots(ShotSink& sink)
{
    Creature* idrel = hero("Idrel Vane");
    Creature* brannoc = hero("Brannoc Ashfield");
    Creature* oriel = hero("Oriel Fenwhistle");
    Creature* shank2 = monster("Mire Goblin Shank", "2");
    Creature* shank3 = monster("Mire Goblin Shank", "3");
    Creature* hound = monster("Ashen Hound", "1");

    // A zone on two goblins is one row; a mark of the hero's own another.
    const auto zoneOn2 = effect(idrel, shank2, CE::Slowed, 7, "Grasping Roots");
    const auto zoneOn3 = effect(idrel, shank3, CE::Slowed, 7, "Grasping Roots");
    const auto marked = effect(brannoc, hound, CE::Marked, 0, "Challenge");
    QList<NestedEffect> ending;
    for (Effect* each : {zoneOn2.get(), zoneOn3.get(), marked.get()})
        ending.append(NestedEffect{NestedEffect::Single, each->getGroupId(), {each}});
    sink.saveModal("sustain", [&] { SustainDialog().removeSustained(ending, true); });

    // Oriel lies dying: the death saving throw comes last.
    QList<NestedEffect> saves;
    const auto slowed = effect(hound, oriel, CE::Slowed, 0, "Ember Bite");
    DyingEffect deathSave(oriel);
    saves.append(NestedEffect{NestedEffect::Single, 0, {slowed.get()}});
    saves.append(NestedEffect{NestedEffect::Single, 0, {&deathSave}});
    sink.saveModal("saving-throws", [&] { SavingThrowDialog(oriel, saves, true).exec(); });

    // The hound resists fire: the note names it.
    for (Effect* burning : hound->getEffects())
        if (burning->getEffectType() == CE::OnGoingDamage)
            sink.saveModal("ongoing-damage", [&] { ApplyDialog().promptForOngoingEffect(hound, burning); });

    QList<Creature*> delayed;
    QList<Creature*> readied;
    for (Creature* creature : Global::encounter->getCreatureList().getCreatureList()) {
        if (creature->isDelayed())
            delayed << creature;
        else if (creature->isReady())
            readied << creature;
    }
    sink.saveModal("jump-in", [&] { JumpInDialog(delayed, readied).exec(); });
}

void initiativeShot(ShotSink& sink)
{
    Global::mainWindow->resize(1200, 700);
    QList<Creature*> list = Global::encounter->getHeros();
    for (const char* id : {"1", "2", "3"})
        list << monster("Mire Goblin Shank", id);
    for (const char* id : {"1", "2"})
        list << monster("Ashen Hound", id);
    InitiativeDialog dialog{CreatureList(list)};
    // The hounds roll one by one, the goblins together.
    QTimer::singleShot(50, [&] {
        if (QToolButton* open = dialog.getMonsters().getGroup(1).button)
            open->click();
        QCoreApplication::processEvents();
        sink.save("initiative", Global::mainWindow);
        dialog.reject();
    });
    dialog.exec();
}

void turnShots(ShotSink& sink)
{
    promptShots(sink);
    initiativeShot(sink);
}

ShotRegistration turnShotsRegistration("turns", turnShots);

}
