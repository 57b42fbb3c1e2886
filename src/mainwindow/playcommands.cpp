// The play commands of the main window. Each records its event through the
// history; the windows redraw from the model's signals.
#include "mainwindow/mainwindow.h"

// The HP box and its commands.

void MainWindow::onHPValueChanged() {}

void MainWindow::onHit() {}

void MainWindow::onHeal() {}

void MainWindow::onSurge() {}

void MainWindow::onSetTempHP() {}

// Turn flow.

void MainWindow::onStartStopEncounter() {}

void MainWindow::onNextTurn() {}

void MainWindow::onDelay() {}

void MainWindow::onReady() {}

void MainWindow::onJumpIn() {}

// Conditions and effects.

void MainWindow::onAddConditionOrEffect() {}

void MainWindow::removeCondEffect(Creature*, Effect*) {}

// Roster and rests.

void MainWindow::onPickParty() {}

void MainWindow::onLoadEncounter() {}

void MainWindow::onAddMonster() {}

void MainWindow::onSetAlias() {}

void MainWindow::onRemoveCreatures() {}

void MainWindow::onShowAndHide() {}

void MainWindow::onUpInitiative() {}

void MainWindow::onDownInitiative() {}

void MainWindow::onShortRest() {}

void MainWindow::onExtendedRest() {}

// Which play commands are enabled: until the model's state decides, the
// actions keep the states they were made with (the toggles wait beside the chores).

void MainWindow::onCreatureSelectionChanged() {}
