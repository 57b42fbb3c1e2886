// Conditions and effects from the main window: the request, its default
// targets, the dialog and the events that record its results.
#include <QTimer>

#include "combat/effectdialog.h"
#include "creature/creature.h"
#include "encounter/commandroad.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "mainwindow/mainwindow.h"
#include "powers/power.h"

void MainWindow::onAddConditionOrEffect()
{
    // Queued: the dialog runs a loop of its own, which must not start inside the action's signal.
    const QPointer<Creature> current = Global::encounter->getCurrentCreature();
    QTimer::singleShot(0, this, [this, current] { addConditionOrEffect(current, QString(), nullptr, QString()); });
}

void MainWindow::addConditionOrEffect(Creature* origin, const QString& powerName, CreaturePower* power,
                                      const QString& actionName)
{
    pendingRequest = {origin, powerName, power ? QSharedPointer<CreaturePower>::create(*power) : nullptr, actionName};
    requestPending = true;
    // The open panel ends unapplied; the request runs when its run has returned (panelClosed).
    if (runningFlatDialog()) {
        cancelFlatDialog();
        return;
    }
    runPendingRequests();
}

void MainWindow::runPendingRequests()
{
    if (runningRequests || runningFlatDialog())
        return;
    runningRequests = true;
    while (requestPending) {
        requestPending = false;
        const ConditionRequest request = pendingRequest;
        runConditionOrEffect(request.origin, request.powerName, request.power.data(), request.actionName);
    }
    runningRequests = false;
}

void MainWindow::getDefaultTargetList(Creature* origin, CreaturePower* power, QList<Creature*>& list,
                                      Power::StepType type)
{
    Encounter* encounter = Global::encounter;
    Power::ApplyTo kind = Power::AnyCreature;
    int minimum = 0;
    if (power) {
        kind = Power::ApplyTo(power->current.applyTo.at(type).kind);
        minimum = power->getApplyFromCount(type);
    }
    const QList<Creature*> selected = encounter->getSelectedCreatures();
    if (type == Power::Hit && !selected.isEmpty()) {
        // The acting creature selected alone acts on the creature whose turn it is.
        if (selected.size() == 1 && selected.first() == origin) {
            if (Creature* current = encounter->getCurrentCreature())
                list.append(current);
        } else {
            list = selected;
        }
        return;
    }
    const QList<Creature*> candidates = encounter->getTargetCreatures(origin, kind);
    if (candidates.size() <= minimum)
        list = candidates;
}

void MainWindow::runConditionOrEffect(Creature* origin, const QString& powerName, CreaturePower* power,
                                      const QString&)
{
    Encounter* encounter = Global::encounter;
    QList<QPointer<Creature>> saved;
    for (Creature* creature : encounter->getSelectedCreatures())
        saved.append(creature);
    QList<Creature*> hitList;
    QList<Creature*> effectList;
    getDefaultTargetList(origin, power, hitList, Power::Hit);
    if (power)
        getDefaultTargetList(origin, power, effectList, Power::Effect);
    encounter->setSelectedCreatures(hitList);
    {
        EffectDialog dialog(origin, hitList, effectList);
        const int result = dialog.exec();
        if (result != 0 && result != EffectDialog::SwitchDialog)
            applyClassicResults(dialog, powerName);
    }
    QList<Creature*> selection;
    for (Creature* creature : saved)
        if (creature)
            selection.append(creature);
    encounter->setSelectedCreatures(selection);
    updateMainInitiativeList();
}

void MainWindow::applyClassicResults(EffectDialog& dialog, const QString& powerName)
{
    CommandRoad road;
    if (!road.isOpen())
        return;
    EffectCreatures& creatures = dialog.getCreatures();
    dialog.getEntries().record(road, {creatures.getOrigin(), creatures.getTargetList(), creatures.getSingleTarget(),
                                      powerName});
}
