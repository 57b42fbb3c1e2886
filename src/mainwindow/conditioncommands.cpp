// Conditions and effects from the main window: the request, its default
// targets, the dialog and the events that record its results.
#include <QTimer>

#include "combat/effectdialog.h"
#include "creature/creature.h"
#include "encounter/commandroad.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "encounter/powerevents.h"
#include "encounter/restevents.h"
#include "mainwindow/mainwindow.h"
#include "powerdialog/powerdialog.h"
#include "powers/actions.h"
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
    // A power that makes no attack hits nobody: the selection is no target of it.
    const bool hitsNobody = kind == Power::NoTarget || kind == Power::NotTrackable;
    if (type == Power::Hit && !selected.isEmpty() && !hitsNobody) {
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
                                      const QString& actionName)
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
    runConditionDialogs(origin, powerName, actionName, hitList, effectList);
    QList<Creature*> selection;
    for (Creature* creature : saved)
        if (creature)
            selection.append(creature);
    encounter->setSelectedCreatures(selection);
    updateMainInitiativeList();
}

void MainWindow::runConditionDialogs(Creature* origin, QString powerName, QString actionName,
                                     QList<Creature*> hitList, const QList<Creature*>& effectList)
{
    for (;;) {
        if (classicDialog) {
            EffectDialog dialog(origin, hitList, effectList);
            dialog.offerPowerDialog(true);
            const int result = dialog.exec();
            if (result == 0)
                return;
            EffectCreatures& creatures = dialog.getCreatures();
            origin = creatures.getOrigin();
            if (result != EffectDialog::SwitchDialog) {
                applyClassicResults(dialog, powerName);
                return;
            }
            // The targets picked so far go over to the power dialog.
            hitList = creatures.getTargetList();
            classicDialog = false;
        }
        PowerDialog dialog(origin, powerName, actionName, hitList, effectList);
        const int result = dialog.exec();
        if (result == PowerDialog::Cancel)
            return;
        origin = dialog.getCreatures()->getOrigin();
        bool isAction = false;
        CreaturePower* power = dialog.getPowerToEdit(&isAction);
        powerName = isAction ? QString() : power->name;
        actionName = isAction ? power->name : QString();
        hitList = power->current.applyTo[Power::Hit].kind == Power::NoTarget ? dialog.getCreatures()->getEffectList()
                                                                              : dialog.getCreatures()->getTargetList();
        if (result == PowerDialog::SwitchDialog) {
            classicDialog = true;
            continue;
        }
        if (!origin)
            continue;
        if (!power->name.isEmpty())
            storeEditedPower(dialog, *power, isAction);
        if (result == PowerDialog::Apply)
            applyPowerResults(dialog, *power, isAction);
        return;
    }
}

void MainWindow::storeEditedPower(PowerDialog& dialog, const CreaturePower& power, bool isAction)
{
    if (isAction) {
        Global::actions->updateAction(power.name, &power);
        return;
    }
    Creature* creatureTemplate = dialog.getCreatures()->getOriginTemplate();
    if (!creatureTemplate) {
        // Renamed or deleted while the dialog ran: nothing left to keep the program in.
        Global::alert(tr("Power Not Saved"),
                      tr("The changes to %1 were not saved: the monster template of %2 is gone.")
                          .arg(power.name.toHtmlEscaped(), dialog.getCreatures()->getOrigin()->getNameGroup().toHtmlEscaped()));
        return;
    }
    creatureTemplate->updatePowerAndSetDirty(power.name, power, false);
    Global::encounter->updatePower(creatureTemplate->getGroup(), power.name, power);
}

void MainWindow::applyPowerResults(PowerDialog& dialog, CreaturePower& power, bool isAction)
{
    EffectCreatures* creatures = dialog.getCreatures();
    Creature* origin = creatures->getOrigin();
    const QList<Creature*> lists[] = {creatures->getTargetList(), creatures->getMissList(), creatures->getEffectList()};
    const bool anyone = !lists[0].isEmpty() || !lists[1].isEmpty() || !lists[2].isEmpty();
    if (!anyone && !dialog.getUseActionPoint())
        return;
    CommandRoad road;
    if (!road.isOpen())
        return;
    if (dialog.getUseActionPoint() && !road.apply(new UseActionPointEvent(origin, -1, road.getStream())))
        return;
    // Only a power the origin has is marked used; an action is nobody's.
    if (!isAction && origin->getPowers().getPowerByName(power.name)
        && !road.apply(new PowerUsageChangedEvent(origin, power.name, PowerUsageChangedEvent::Used, road.getStream())))
        return;
    for (int type = Power::Hit; type <= Power::Effect; type++)
        if (!lists[type].isEmpty() && !power.apply(origin, lists[type], Power::StepType(type), road.getStream()))
            return;
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
