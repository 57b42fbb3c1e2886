// The creature docks' wiring, and the commands their clicks ask for.
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "mainwindow/creaturewidget.h"
#include "mainwindow/effectlistmodel.h"
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

void MainWindow::showAliases(const QList<Creature*>&, bool) {}

void MainWindow::editAliases(const QList<Creature*>&) {}

void MainWindow::setEffectCreature(Creature* creature)
{
    effectsModel->setEffectCreature(creature);
}
