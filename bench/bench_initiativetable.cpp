// The initiative table's share of a Next Turn: 40 creatures (8 heroes), 100
// effects, the table shown offscreen with every row in view. A burst like a
// Next Turn (the turn moves on, ten creatures take damage, five effects end)
// is applied through the history until the table has refreshed and painted
// once, with the table and without it; the difference is the table's. Then
// the table is dragged narrower and back, as the game master drags the main
// window's edge: each step up to a painted table.

#include <QApplication>

#include <cstdio>

#include "encounter/damageevents.h"
#include "foundation/global.h"
#include "mainwindow/maininitiativelist.h"
#include "benchfight.h"
#include "benchsizes.h"
#include "support/testsupport.h"

namespace {

const int rounds = 30;

// Milliseconds of one burst up to a painted table, the median of the rounds.
double burst(TestWorld& world, const QList<Creature*>& creatures, MainInitiativeList* table)
{
    return medianOfRounds(rounds, [&](int round) {
        QList<Creature*> damaged;
        for (int i = 0; i < 10; i++)
            damaged << creatures[8 + (round + 3 * i) % 32];
        recordTurnEnd(world, creatures, round);
        world.record(new DamageEvent("Hit", creatures[round % 8], damaged, 2, "", world.stream()));
        QApplication::processEvents();
        if (table)
            table->repaint();
    });
}

// Milliseconds of one step of a drag from 1,200 px down to 600 and back,
// up to a painted table, the median of the steps: the processor time of
// the thread, which other programs on the shared machine do not lengthen.
double drag(MainInitiativeList* table)
{
    QList<double> times;
    for (int step = 1; step <= 120; step++) {
        const int width = 1200 - 10 * (step <= 60 ? step : 120 - step);
        const double start = cpuMilliseconds();
        table->resize(width, 1100);
        QApplication::processEvents();
        table->repaint();
        times << cpuMilliseconds() - start;
    }
    return median(times);
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
    const QList<Creature*> creatures = makeEndingEffectsFight(world);

    const double without = burst(world, creatures, nullptr);
    auto* table = new MainInitiativeList;
    table->resize(1200, 1100);
    table->show();
    table->updateList();
    QApplication::processEvents();
    const double with = burst(world, creatures, table);
    // The parts of it: one refresh of every row, one paint.
    const double refresh = meanMilliseconds(rounds, [table] { table->updateList(); });
    const double paint = meanMilliseconds(rounds, [table] { table->repaint(); });
    const double resize = drag(table);
    std::printf("Next-Turn burst (7 events), 40 creatures, 100 effects: %.2f ms without the initiative table, "
                "%.2f ms with it shown\n", without, with);
    std::printf("initiative table share: %.2f ms (goal: under 8 ms); one refresh of all rows %.2f ms, one paint %.2f ms\n",
                with - without, refresh, paint);
    std::printf("resize of the table during a drag, 40 creatures, 100 effects: %.2f ms (goal: under 8 ms)\n", resize);
    delete table;
    Global::exit();
    return 0;
}
