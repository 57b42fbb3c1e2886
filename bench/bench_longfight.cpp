// A long random fight recorded through the game master's window with its
// docks, the history list and the players' window open, the event loop run
// after every step as the program runs it. Prints the processor time per
// event around each size (2,500 events by default, or the number given;
// --scale runs it, four times and sixteen times it) and the exponent of its
// growth between the first size and the last: 0 is a flat cost.

#include <QApplication>

#include <cmath>
#include <cstdio>

#include "benchsizes.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "mainwindow/creaturedisplay.h"
#include "mainwindow/mainwindow.h"
#include "mainwindow/playerswindow.h"
#include "support/randomfight.h"
#include "support/testsupport.h"
#include "support/testworld.h"

int main(int argc, char** argv)
{
    TestSupport::isolateEnvironment();
    QApplication app(argc, argv);
    CreatureDisplay::setupStyles();
    Global::init();
    const QList<int> sizes = benchSizes(argc, argv, 2500);
    auto* window = new MainWindow;
    window->resize(1600, 1000);
    window->show();
    Global::playersWindow->resize(1280, 720);
    Global::playersWindow->show();
    QList<double> costs;
    {
        TestWorld world;
        srand(2026);
        RandomFight fight(world, false, 10, 20);
        for (int size : sizes) {
            // The cost at a size: the events of its second half.
            while (Global::history->getEventCount() < size / 2) {
                fight.step();
                QApplication::processEvents();
            }
            const int first = Global::history->getEventCount();
            const double start = cpuMilliseconds();
            while (Global::history->getEventCount() < size) {
                fight.step();
                QApplication::processEvents();
            }
            const int events = Global::history->getEventCount() - first;
            costs << (cpuMilliseconds() - start) / events;
            printf("%6d events: %.3f ms per event (%d events timed)\n", Global::history->getEventCount(), costs.last(),
                   events);
            fflush(stdout);
        }
    }
    if (sizes.size() > 1)
        printf("exponent of the cost per event: %.2f (0 is flat)\n",
               std::log(costs.last() / costs.first()) / std::log(double(sizes.last()) / sizes.first()));
    window->shutdown();
    delete window;
    Global::exit();
    return 0;
}
