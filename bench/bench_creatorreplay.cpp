// The character creator's share of a replay: every hero update reaches it.
// Replays the same log of mixed events over 30 creatures (20,000 by default,
// or the number given; --scale runs 1x, 4x and 16x) without the creator and
// with it built, a hero selected and the window hidden, then shows it.

#include <QApplication>
#include <QElapsedTimer>
#include <QListView>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "benchsizes.h"
#include "editors/characterwindow.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "support/randomfight.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

struct Timings
{
    double replay = 0;
    double show = 0;
    int replayed = 0;
};

Timings replay(int eventCount, bool withCreator)
{
    srand(2026);
    TestWorld world;
    RandomFight fight(world, false, 10, 20);
    while (Global::history->getEventCount() < eventCount)
        fight.step();

    std::unique_ptr<CharacterWindow> creator;
    QElapsedTimer timer;
    world.restart([&] {
        fight.enterEncounter();
        if (withCreator) {
            creator = std::make_unique<CharacterWindow>();
            creator->show();
            auto* view = creator->findChild<CharacterView*>();
            view->selectionModel()->select(view->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
            creator->hide();
        }
        timer.start();
    });
    Timings timings;
    timings.replay = timer.nsecsElapsed() / 1e9;
    timings.replayed = Global::history->getEventCount();
    if (creator) {
        timer.restart();
        creator->show();
        QApplication::processEvents();
        timings.show = timer.nsecsElapsed() / 1e9;
    }
    return timings;
}

}

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bool ok = true;
    for (int size : benchSizes(argc, argv, 20000)) {
        const Timings without = replay(size, false);
        const Timings with = replay(size, true);
        printFigures("creator", with.replayed, with.replay, "without", without.replay);
        printf("%-10s %8d  %8.3f s  (the hidden creator shown after the replay)\n", "show", with.replayed, with.show);
        ok = ok && with.replayed == size && without.replayed == size;
    }
    return ok ? 0 : 1;
}
