// Next Turn through the main window: 40 creatures (8 heroes), 100 effects, no
// prompt due. Each turn is the command's events and the window's redraw until
// the event loop is idle, shown offscreen.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>

#include <cstdio>

#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "mainwindow/creaturedisplay.h"
#include "mainwindow/mainwindow.h"
#include "benchfight.h"
#include "benchsizes.h"
#include "support/testsupport.h"

namespace {

const int turns = 120;

// Conditions and bonuses that last, and ongoing damage applied without asking.
void makeFight(TestWorld& world)
{
    const QList<Creature*> creatures = startBenchFight(world, 400, 400, true);
    addBenchEffects(world, creatures, {CE::Dazed, CE::Bonus, CE::OnGoingDamage, CE::Marked}, 1, CE::EndOfEncounter);
}

QAction* nextTurnAction(MainWindow* window)
{
    for (QAction* menu : window->menuBar()->actions())
        if (menu->menu())
            for (QAction* entry : menu->menu()->actions())
                if (entry->text() == "Next Turn")
                    return entry;
    return nullptr;
}

}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    TestSupport::isolateEnvironment();
    QApplication app(argc, argv);
    Global::init();
    CreatureDisplay::setupStyles();
    auto* window = new MainWindow;
    {
        TestWorld world;
        window->resize(1920, 1080);
        window->show();
        makeFight(world);
        QCoreApplication::processEvents();
        QAction* next = nextTurnAction(window);
        QList<double> times;
        // Processor time of each share: the command, the events it left, the docks' tick, the paint.
        QList<double> shares[4];
        for (int turn = 0; turn < turns; turn++) {
            QElapsedTimer timer;
            timer.start();
            double mark[5] = {cpuMilliseconds()};
            next->trigger();
            QCoreApplication::sendPostedEvents(window, QEvent::MetaCall);
            mark[1] = cpuMilliseconds();
            QCoreApplication::processEvents();
            mark[2] = cpuMilliseconds();
            emit Global::switchBoard.doRefreshTimer();
            mark[3] = cpuMilliseconds();
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            mark[4] = cpuMilliseconds();
            times.append(timer.nsecsElapsed() / 1e6);
            for (int share = 0; share < 4; share++)
                shares[share].append(mark[share + 1] - mark[share]);
        }
        QList<double> total;
        for (int turn = 0; turn < turns; turn++)
            total.append(shares[0][turn] + shares[1][turn] + shares[2][turn] + shares[3][turn]);
        std::printf("Next Turn through the main window (40 creatures, 100 effects, no prompt), %d turns, %d events:\n",
                    turns, Global::history->getEventCount());
        std::printf("  median %.2f ms processor time, %.2f ms on the clock per turn (goal: under 16 ms)\n",
                    median(total), median(times));
        std::printf("  medians of the shares: command %.2f ms, its events %.2f ms, the docks' refresh tick %.2f ms, "
                    "paint %.2f ms\n",
                    median(shares[0]), median(shares[1]), median(shares[2]), median(shares[3]));
    }
    window->shutdown();
    delete window;
    Global::exit();
    return 0;
}
