// The play commands of the main window. Each records its event through the
// history; the windows redraw from the model's signals.
#include "foundation/global.h"
#include "library/characters.h"
#include "library/encounters.h"
#include "library/monsters.h"
#include "mainwindow/mainwindow.h"

// Turn flow.

void MainWindow::onStartStopEncounter() {}

void MainWindow::onNextTurn() {}

void MainWindow::onDelay() {}

void MainWindow::onReady() {}

void MainWindow::onJumpIn() {}

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

void MainWindow::onSetAlias() {}

void MainWindow::onRemoveCreatures() {}

void MainWindow::onShowAndHide() {}

void MainWindow::onUpInitiative() {}

void MainWindow::onDownInitiative() {}

void MainWindow::onShortRest() {}

void MainWindow::onExtendedRest() {}
