// The wiring of the creature docks and the initiative table, and the
// commands their clicks ask for.
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "mainwindow/creaturewidget.h"
#include "mainwindow/effectlistmodel.h"
#include "mainwindow/maininitiativelist.h"
#include "mainwindow/mainwindow.h"

void MainWindow::connectCreatureWidgets()
{
    connect(Global::encounter, &Encounter::doCurrentCreatureChanged, currentCreatureWidget,
            &CreatureWidget::currentCreatureChanged);
    connect(Global::encounter, &Encounter::doCreatureSelectionChanged, selectedCreatureWidget,
            &CreatureWidget::creatureSelectionChanged);
    connect(Global::history, &History::doHistoryChanged, selectedCreatureWidget,
            &CreatureWidget::creatureSelectionChanged);
    connect(selectedCreatureWidget, &CreatureWidget::doEffectCreatureChanged, this, &MainWindow::setEffectCreature);
    for (CreatureWidget* widget : {currentCreatureWidget, selectedCreatureWidget}) {
        connect(widget, &CreatureWidget::doConditionOrEffectRequested, this, &MainWindow::addConditionOrEffect);
        connect(widget, &CreatureWidget::doShowAliases, this, &MainWindow::showAliases);
        connect(widget, &CreatureWidget::doEditAliases, this, &MainWindow::editAliases);
    }
}

void MainWindow::connectInitiativeList()
{
    connect(initiativeList, &MainInitiativeList::doFocusOnHitPointBox, this, &MainWindow::focusOnHitPointBox);
    connect(initiativeList, &MainInitiativeList::doAddConditionOrEffect, this, &MainWindow::onAddConditionOrEffect);
    connect(initiativeList, &MainInitiativeList::doRemoveCreatureFromEncounter, this,
            &MainWindow::removeCreatureFromEncounter);
    connect(initiativeList, &MainInitiativeList::doRemoveSelectedCreatures, this, &MainWindow::removeSelectedCreatures);
    connect(initiativeList, &MainInitiativeList::doAdjustSelectedCreaturesInitiative, this,
            &MainWindow::adjustSelectedCreaturesInitiative);
    connect(initiativeList, &MainInitiativeList::doShowAliases, this, &MainWindow::showAliases);
    connect(initiativeList, &MainInitiativeList::doEditAliases, this, &MainWindow::editAliases);
    connect(initiativeList, &MainInitiativeList::doHelpWithSelections, this, &MainWindow::helpWithSelections);
}

void MainWindow::setEffectCreature(Creature* creature)
{
    effectsModel->setEffectCreature(creature);
}
