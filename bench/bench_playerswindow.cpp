// The players' window's share of a Next Turn: 40 creatures (8 heroes), 100
// effects, the window shown offscreen at 1920x1080. The turn, five effect
// removals and one ongoing damage are applied through the history, with the
// window and without it; the difference is the window's.

#include <QApplication>

#include <cstdio>

#include "encounter/damageevents.h"
#include "foundation/global.h"
#include "mainwindow/playerslistmodel.h"
#include "mainwindow/playersview.h"
#include "mainwindow/playerswindow.h"
#include "benchfight.h"
#include "support/testsupport.h"

namespace {

const int rounds = 30;

// Milliseconds of one Next Turn's events, the median of the rounds.
double nextTurn(TestWorld& world, const QList<Creature*>& creatures)
{
    return medianOfRounds(rounds, [&](int round) {
        Creature* current = Global::encounter->getCurrentCreature();
        recordTurnEnd(world, creatures, round);
        world.record(new OnGoingDamageEvent("Ongoing", current, creatures[8 + (round + 1) % 32], 3, "fire", world.stream()));
        QApplication::processEvents();
    });
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

    const double without = nextTurn(world, creatures);
    auto* window = new PlayersWindow;
    Global::playersWindow = window;
    window->resize(1920, 1080);
    window->show();
    window->getPlayersList()->refreshList();
    QApplication::processEvents();
    const double with = nextTurn(world, creatures);
    // The parts of it: one rebuild of the rows (with the font fitted), one paint.
    const double rebuild = meanMilliseconds(rounds, [window] { window->getPlayersList()->refreshList(); });
    const double paint = meanMilliseconds(rounds, [window] { window->repaint(); });
    std::printf("Next Turn (7 events), 40 creatures, 100 effects: %.2f ms without the players' window, "
                "%.2f ms with it shown at 1920x1080\n", without, with);
    std::printf("players' window share: %.2f ms (goal: under 8 ms); one rebuild %.2f ms, one paint %.2f ms\n",
                with - without, rebuild, paint);
    delete window;
    Global::playersWindow = nullptr;
    Global::exit();
    return 0;
}
