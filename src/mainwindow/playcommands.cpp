// The play commands of the main window. Each records its event through the
// history; the windows redraw from the model's signals.
#include "encounter/turnflow.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "mainwindow/mainwindow.h"

// Turn flow. Queued: the commands ask through panels and prompts, whose
// loops must not start inside the action's signal.

namespace {

void runTurnFlow(MainWindow* window, void (*step)(TurnFlow&))
{
    QMetaObject::invokeMethod(window, [window, step] {
        TurnFlow flow;
        step(flow);
        window->updateMainInitiativeList();
    }, Qt::QueuedConnection);
}

}

void MainWindow::onStartStopEncounter()
{
    runTurnFlow(this, [](TurnFlow& flow) { flow.startStopEncounter(); });
}

void MainWindow::onNextTurn()
{
    runTurnFlow(this, [](TurnFlow& flow) { flow.nextTurn(); });
}

void MainWindow::onDelay()
{
    runTurnFlow(this, [](TurnFlow& flow) { flow.delay(); });
}

void MainWindow::onReady()
{
    runTurnFlow(this, [](TurnFlow& flow) { flow.ready(); });
}

void MainWindow::onJumpIn()
{
    runTurnFlow(this, [](TurnFlow& flow) { flow.jumpIn(); });
}

// At once: the roster commands go on after the current creature left.
void MainWindow::performTurnStart()
{
    TurnFlow().performTurnStart();
    updateMainInitiativeList();
}

// Roster and rests.

// The libraries ask for their panel and record what it brings in. Queued:
// a panel runs its own loop, which must not start inside the action's signal.

void MainWindow::onPickParty()
{
    QMetaObject::invokeMethod(Global::characters, &Characters::pickCharacters, Qt::QueuedConnection);
}

void MainWindow::onLoadEncounter()
{
    QMetaObject::invokeMethod(Global::encounters, &Encounters::selectEncounter, Qt::QueuedConnection);
}

void MainWindow::onAddMonster()
{
    QMetaObject::invokeMethod(Global::monsters, &Monsters::addMonsterToEncounter, Qt::QueuedConnection);
}
