// The players' window's share of a Next Turn: 40 creatures (8 heroes), 100
// effects, the window shown offscreen at 1920x1080. The turn, five effect
// removals and one ongoing damage are applied through the history, with the
// window and without it; the difference is the window's.

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "mainwindow/playerslistmodel.h"
#include "mainwindow/playersview.h"
#include "mainwindow/playerswindow.h"
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

// Milliseconds of one Next Turn's events, the median of the rounds; each
// round is taken back before the next.
double nextTurn(TestWorld& world, const QList<Creature*>& creatures)
{
    QList<double> times;
    for (int round = 0; round < rounds; round++) {
        const int before = Global::history->getCurrentIndex();
        Creature* current = Global::encounter->getCurrentCreature();
        QElapsedTimer timer;
        timer.start();
        world.record(new NextTurnEvent(world.stream(), false));
        for (int i = 0; i < 5; i++) {
            Creature* holder = creatures[8 + (round + i) % 32];
            world.record(new RemoveAtEndOfTurnEvent(holder, holder->getEffect(0), world.stream()));
        }
        world.record(new OnGoingDamageEvent("Ongoing", current, creatures[8 + (round + 1) % 32], 3, "fire", world.stream()));
        QApplication::processEvents();
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

    const double without = nextTurn(world, creatures);
    auto* window = new PlayersWindow;
    Global::playersWindow = window;
    window->resize(1920, 1080);
    window->show();
    window->getPlayersList()->refreshList();
    QApplication::processEvents();
    const double with = nextTurn(world, creatures);
    // The parts of it: one rebuild of the rows (with the font fitted), one paint.
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; i++)
        window->getPlayersList()->refreshList();
    const double rebuild = timer.nsecsElapsed() / 1e6 / rounds;
    timer.restart();
    for (int i = 0; i < rounds; i++)
        window->repaint();
    const double paint = timer.nsecsElapsed() / 1e6 / rounds;
    std::printf("Next Turn (7 events), 40 creatures, 100 effects: %.2f ms without the players' window, "
                "%.2f ms with it shown at 1920x1080\n", without, with);
    std::printf("players' window share: %.2f ms (goal: under 8 ms); one rebuild %.2f ms, one paint %.2f ms\n",
                with - without, rebuild, paint);
    delete window;
    Global::playersWindow = nullptr;
    Global::exit();
    return 0;
}
