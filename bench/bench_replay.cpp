// Replays a history log of mixed events over 30 creatures (20,000 by
// default, or the number given; --scale runs 1x, 4x and 16x) from a fresh
// start, scans the same file item by item with the stream alone, and tears
// the replayed fight down.

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

#include "benchsizes.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "foundation/objectstream.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "support/randomfight.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

long peakKilobytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

int scanItems(const QString& path)
{
    auto* file = new QFile(path);
    file->open(QIODevice::ReadWrite | QIODevice::Unbuffered);
    ObjectStream stream(file);
    stream.initialize(true);
    int items = 0;
    while (!stream.read().isEOF())
        items++;
    return items;
}

// What a data-folder switch or the exit does to the fight.
void tearDown()
{
    delete std::exchange(Global::history, nullptr);
    delete std::exchange(Global::encounter, nullptr);
    delete std::exchange(Global::characters, nullptr);
    delete std::exchange(Global::monsters, nullptr);
}

bool run(int eventCount)
{
    srand(2026);
    TestWorld world;
    RandomFight fight(world, false, 10, 20);
    while (Global::history->getEventCount() < eventCount)
        fight.step();
    // A step may record more than one event.
    const int recorded = Global::history->getEventCount();
    long beforeReplay = peakKilobytes();

    // Timed from the fresh libraries on: the old fight's teardown is not the replay's.
    QElapsedTimer timer;
    world.restart([&fight, &timer] {
        fight.enterEncounter();
        timer.start();
    });
    double replaySeconds = timer.nsecsElapsed() / 1e9;
    int replayed = Global::history->getEventCount();

    timer.restart();
    int items = scanItems(world.logPath());
    double scanSeconds = timer.nsecsElapsed() / 1e9;

    timer.restart();
    tearDown();
    double tearDownSeconds = timer.nsecsElapsed() / 1e9;

    printf("log: %d events, %lld bytes, %d items; peak memory %ld KiB (%ld KiB before the replay)\n", replayed,
           (long long)QFile(world.logPath()).size(), items, peakKilobytes(), beforeReplay);
    printFigures("replay", replayed, replaySeconds, "scan", scanSeconds);
    printFigures("teardown", replayed, tearDownSeconds, "scan", scanSeconds);
    return replayed == recorded;
}

}

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment();
    QGuiApplication app(argc, argv);
    bool ok = true;
    for (int size : benchSizes(argc, argv, 20000))
        ok = run(size) && ok;
    return ok ? 0 : 1;
}
