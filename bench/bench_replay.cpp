// Replays a history log of 20,000 mixed events over 30 creatures from a
// fresh start, and scans the same file item by item with the stream alone.

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "foundation/global.h"
#include "encounter/history.h"
#include "foundation/objectstream.h"
#include "support/randomfight.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

const int eventCount = 20000;

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

}

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment();
    QGuiApplication app(argc, argv);
    srand(2026);
    TestWorld world;
    RandomFight fight(world, false, 10, 20);
    while (Global::history->getEventCount() < eventCount)
        fight.step();
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

    printf("log: %d events, %lld bytes, %d items\n", replayed, (long long)QFile(world.logPath()).size(), items);
    printf("replay:      %8.3f s  %10.0f events/s\n", replaySeconds, replayed / replaySeconds);
    printf("plain scan:  %8.3f s  %10.0f events/s\n", scanSeconds, replayed / scanSeconds);
    printf("ratio replay/scan: %.1fx\n", replaySeconds / scanSeconds);
    printf("peak memory: %ld KiB (%ld KiB before the replay)\n", peakKilobytes(), beforeReplay);
    return replayed == eventCount ? 0 : 1;
}
