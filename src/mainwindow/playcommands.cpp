// The play commands of the main window. Each records its event through the
// history; the windows redraw from the model's signals.
#include "encounter/turnflow.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "mainwindow/mainwindow.h"

// Turn flow. Queued: the commands ask through panels and prompts, whose
// loops must not start inside the action's signal. The table follows the
// turns from the model's signals; a command that may bring creatures in,
// take them out or move them asks it to lay its rows out anew.

namespace {

enum class Roster { Stays, Changes };

void runTurnFlow(MainWindow* window, void (*step)(TurnFlow&), Roster roster = Roster::Stays)
{
    QMetaObject::invokeMethod(window, [window, step, roster] {
        TurnFlow flow;
        step(flow);
        if (roster == Roster::Changes)
            window->updateMainInitiativeList();
    }, Qt::QueuedConnection);
}

}

void MainWindow::onStartStopEncounter()
{
    runTurnFlow(this, [](TurnFlow& flow) { flow.startStopEncounter(); }, Roster::Changes);
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
    runTurnFlow(this, [](TurnFlow& flow) { flow.jumpIn(); }, Roster::Changes);
}

// At once: the roster commands go on after the current creature left, and lay the table out themselves.
void MainWindow::performTurnStart()
{
    TurnFlow().performTurnStart();
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
