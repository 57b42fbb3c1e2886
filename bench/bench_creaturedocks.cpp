// One refresh tick's redraw of both creature docks, offscreen: the current
// dock shows a solo monster with 30 powers, the selected dock six creatures.
// The tick includes the layout, paint and deletion it causes. Then the ticks
// after something changed: a hit point of the solo and of a selected
// creature, and a seventh creature selected and unselected again.

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <functional>

#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/monsters.h"
#include "mainwindow/creaturewidget.h"
#include "benchsizes.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

const int rounds = 40;

Creature* makeSolo(TestWorld& world)
{
    auto* base = new Creature;
    base->setupDummyMonster("Elder Wyrm");
    CreatureStats stats = base->getStats();
    const int sections[] = {Power::Trait, Power::Standard, Power::Move, Power::Minor, Power::Free, Power::Triggered};
    for (int i = 0; i < 30; i++) {
        CreaturePower power;
        power.name = QString("Power %1").arg(i, 2, 10, QChar('0'));
        power.current.when = sections[i % 6];
        power.current.cost = i % 3 == 0 ? Power::OncePerEncounter : Power::AtWill;
        power.current.type = Power::Melee;
        power.current.header = "(standard; <b>encounter</b>) &bull; Fire";
        if (i % 4 == 0)
            power.current.flavor = "<i>The wyrm rears back and breathes.</i>";
        power.current.description = {"Attack: Close blast 5 (creatures in the blast); +18 vs. Reflex",
                                     "Hit: 4d10 + 9 fire damage, and ongoing 10 fire damage (save ends).",
                                     "Miss: Half damage."};
        power.usage = i % 6 == 0 ? Power::UsedOnce : Power::Unused;
        stats.powers.addPower(power, true);
    }
    base->setStats(stats);
    Global::monsters->addTemplate(base);
    return world.addMonster("Elder Wyrm", "1", 800);
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestSupport::isolateEnvironment();
    QApplication app(argc, argv);
    CreatureDisplay::setupStyles();
    TestWorld world;
    Creature* solo = makeSolo(world);
    QList<Creature*> selection;
    for (const char* name : {"Ana", "Bert", "Cora"})
        selection.append(world.addHero(name, 40));
    for (const char* id : {"1", "2", "3"})
        selection.append(world.addMonster("Goblin", id, 20));
    Global::encounter->setCreatureList(CreatureList(selection + QList<Creature*>{solo}));
    Global::encounter->setSelectedCreatures(selection);

    CreatureWidget current(nullptr, true);
    CreatureWidget selected(nullptr, false);
    for (CreatureWidget* dock : {&current, &selected}) {
        dock->resize(300, 800);
        dock->show();
    }
    QList<double> times;
    QList<double> cpuTimes;
    for (int round = 0; round < rounds; round++) {
        current.drawCreature(solo);
        selected.creatureSelectionChanged();
        QElapsedTimer timer;
        timer.start();
        const double cpuStart = cpuMilliseconds();
        emit Global::switchBoard.doRefreshTimer();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        times.append(timer.nsecsElapsed() / 1e6);
        cpuTimes.append(cpuMilliseconds() - cpuStart);
    }
    // Processor time of one tick with its layout, paint and deletions, after the change made first.
    auto tickTime = [](const std::function<void()>& change) {
        change();
        const double start = cpuMilliseconds();
        emit Global::switchBoard.doRefreshTimer();
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return cpuMilliseconds() - start;
    };
    QList<double> damaged;
    QList<double> reselected;
    Creature* extra = world.addMonster("Goblin", "4", 20);
    for (int round = 0; round < rounds; round++) {
        damaged.append(tickTime([&] {
            solo->setCurrHitPoints(800 - round - 1);
            selection.first()->setCurrHitPoints(39 - round % 2);
        }));
        reselected.append(tickTime([&] {
            Global::encounter->setSelectedCreatures(round % 2 ? selection : selection + QList<Creature*>{extra});
            selected.creatureSelectionChanged();
        }));
    }
    std::printf("one tick's redraw of both docks (solo with 30 powers, six selected), %d rounds:\n", rounds);
    std::printf("  median %.1f ms processor time, %.1f ms on the clock (goal: under 33 ms)\n", median(cpuTimes),
                median(times));
    std::printf("  after a hit point of the solo and of a selected creature changed: median %.2f ms processor time\n",
                median(damaged));
    std::printf("  after a seventh creature was selected or unselected: median %.2f ms processor time\n",
                median(reselected));
    return 0;
}
