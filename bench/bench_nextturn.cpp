// Next Turn through the main window: 40 creatures (8 heroes), 100 effects, no
// prompt due. Each turn is the command's events and the window's redraw until
// the event loop is idle, shown offscreen.

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>

#include <cstdio>

#include "creature/creature.h"
#include "creature/effect.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/encounterevents.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "mainwindow/creaturedisplay.h"
#include "mainwindow/mainwindow.h"
#include "benchsizes.h"
#include "support/testsupport.h"
#include "support/testworld.h"

namespace {

const int turns = 120;

void makeFight(TestWorld& world)
{
    QList<Creature*> creatures;
    InitiativeList heroes, monsters;
    for (int i = 1; i <= 8; i++) {
        creatures << world.addHero(QString("Hero %1").arg(i), 400);
        heroes.append({creatures.last()->getName(), 30 - i, i});
    }
    for (int i = 1; i <= 32; i++)
        creatures << world.addMonster(QString("Goblin %1").arg(i % 4), QString::number(i), 400);
    for (int g = 0; g < 4; g++)
        monsters.append({QString("Goblin %1").arg(g), 20 - g, g});
    // Known bonuses: every creature takes its turn.
    for (Creature* creature : creatures) {
        creature->setInitBonus(2);
        creature->setBeforeVitality(creature->getVitality());
    }
    Global::encounter->setCreatureList(CreatureList(creatures));
    world.record(new StartEncounterEvent(heroes, monsters, world.stream()));
    // Conditions and bonuses that last, and ongoing damage applied without asking.
    const CE::EffectType types[] = {CE::Dazed, CE::Bonus, CE::OnGoingDamage, CE::Marked};
    for (int i = 0; i < 100; i++) {
        EffectDetails details;
        details.origin = creatures[i % 8];
        details.type = types[i % 4];
        details.amount = 1;
        details.endCondition = CE::EndOfEncounter;
        world.record(new EffectEvent(details, {creatures[8 + i % 32]}, world.stream()));
    }
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
        QList<double> cpuTimes;
        QList<double> commandTimes;
        for (int turn = 0; turn < turns; turn++) {
            QElapsedTimer timer;
            timer.start();
            const double cpuStart = cpuMilliseconds();
            next->trigger();
            QCoreApplication::sendPostedEvents(window, QEvent::MetaCall);
            commandTimes.append(cpuMilliseconds() - cpuStart);
            emit Global::switchBoard.doRefreshTimer();
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            times.append(timer.nsecsElapsed() / 1e6);
            cpuTimes.append(cpuMilliseconds() - cpuStart);
        }
        std::printf("Next Turn through the main window (40 creatures, 100 effects, no prompt), %d turns, %d events:\n",
                    turns, Global::history->getEventCount());
        std::printf("  median %.2f ms processor time, %.2f ms on the clock per turn (goal: under 16 ms)\n",
                    median(cpuTimes), median(times));
        std::printf("  of which the command and its signals %.2f ms, the redraw until idle the rest\n",
                    median(commandTimes));
    }
    window->shutdown();
    delete window;
    Global::exit();
    return 0;
}
