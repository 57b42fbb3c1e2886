// The initiative table's share of a Next Turn: 40 creatures (8 heroes), 100
// effects, the table shown offscreen with every row in view. A burst like a
// Next Turn (the turn moves on, ten creatures take damage, five effects end)
// is applied through the history until the table has refreshed and painted
// once, with the table and without it; the difference is the table's.

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "mainwindow/maininitiativelist.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

const int rounds = 30;

QList<Creature*> makeFight(TestWorld& world)
{
    QList<Creature*> creatures;
    InitiativeList heroes, monsters;
    for (int i = 1; i <= 8; i++) {
        creatures << world.addHero(QString("Hero %1").arg(i), 40);
        heroes.append({creatures.last()->getName(), 30 - i, i});
    }
    for (int i = 1; i <= 32; i++)
        creatures << world.addMonster(QString("Goblin %1").arg(i % 4), QString::number(i), 200);
    for (int g = 0; g < 4; g++)
        monsters.append({QString("Goblin %1").arg(g), 20 - g, g});
    Global::encounter->setCreatureList(CreatureList(creatures));
    world.record(new StartEncounterEvent(heroes, monsters, world.stream()));
    for (int i = 0; i < 100; i++) {
        EffectDetails details;
        details.origin = creatures[i % 8];
        details.type = i % 3 ? CE::Dazed : CE::OnGoingDamage;
        details.amount = 3;
        details.endCondition = CE::EndOfTargetsNextTurn;
        world.record(new EffectEvent(details, {creatures[8 + i % 32]}, world.stream()));
    }
    return creatures;
}

// Milliseconds of one burst up to a painted table, the median of the rounds;
// each round is taken back before the next.
double burst(TestWorld& world, const QList<Creature*>& creatures, MainInitiativeList* table)
{
    QList<double> times;
    for (int round = 0; round < rounds; round++) {
        const int before = Global::history->getCurrentIndex();
        QList<Creature*> damaged;
        for (int i = 0; i < 10; i++)
            damaged << creatures[8 + (round + 3 * i) % 32];
        QElapsedTimer timer;
        timer.start();
        world.record(new NextTurnEvent(world.stream(), false));
        world.record(new DamageEvent("Hit", creatures[round % 8], damaged, 2, "", world.stream()));
        for (int i = 0; i < 5; i++) {
            Creature* holder = creatures[8 + (round + i) % 32];
            world.record(new RemoveAtEndOfTurnEvent(holder, holder->getEffect(0), world.stream()));
        }
        QApplication::processEvents();
        if (table)
            table->repaint();
        times << timer.nsecsElapsed() / 1e6;
        while (Global::history->getCurrentIndex() > before)
            Global::history->back();
        QApplication::processEvents();
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Global::init();
    RecordingUiHooks hooks;
    TestWorld world;
    const QList<Creature*> creatures = makeFight(world);

    const double without = burst(world, creatures, nullptr);
    auto* table = new MainInitiativeList;
    table->resize(1200, 1100);
    table->show();
    table->updateList();
    QApplication::processEvents();
    const double with = burst(world, creatures, table);
    // The parts of it: one refresh of every row, one paint.
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; i++)
        table->updateList();
    const double refresh = timer.nsecsElapsed() / 1e6 / rounds;
    timer.restart();
    for (int i = 0; i < rounds; i++)
        table->repaint();
    const double paint = timer.nsecsElapsed() / 1e6 / rounds;
    std::printf("Next-Turn burst (7 events), 40 creatures, 100 effects: %.2f ms without the initiative table, "
                "%.2f ms with it shown\n", without, with);
    std::printf("initiative table share: %.2f ms (goal: under 8 ms); one refresh of all rows %.2f ms, one paint %.2f ms\n",
                with - without, refresh, paint);
    delete table;
    Global::exit();
    return 0;
}
