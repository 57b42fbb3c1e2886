// The commands that change who stands in the encounter and how, outside the
// turn flow, and the rests. The initiative table and the stat-block docks
// call some of them queued, after the clicked widget may be gone; they hold
// the creatures by QPointer across the dialogs they run.
#include <QPointer>

#include <functional>

#include "combat/setaliasdialog.h"
#include "combat/shortrestdialog.h"
#include "creature/creature.h"
#include "encounter/commandroad.h"
#include "encounter/encounter.h"
#include "encounter/powerevents.h"
#include "encounter/restevents.h"
#include "encounter/rosterevents.h"
#include "encounter/turnorderevents.h"
#include "foundation/global.h"
#include "mainwindow/mainwindow.h"

namespace {

// The creatures still there after a dialog ran.
QList<Creature*> remaining(const QList<QPointer<Creature>>& held)
{
    QList<Creature*> creatures;
    for (Creature* creature : held)
        if (creature)
            creatures.append(creature);
    return creatures;
}

QList<QPointer<Creature>> held(const QList<Creature*>& creatures)
{
    return QList<QPointer<Creature>>(creatures.begin(), creatures.end());
}

// One alias event per creature that the choice concerns; false at the first refusal.
bool recordAliases(CommandRoad& road, const QList<Creature*>& creatures,
    const std::function<bool(Creature*, bool& show, QString& alias)>& change)
{
    for (Creature* creature : creatures) {
        bool show = creature->isShowAlias();
        QString alias = creature->getAlias();
        if (change(creature, show, alias) && !road.apply(new SetAliasEvent(creature, show, alias, road.getStream())))
            return false;
    }
    return true;
}

// Used powers come back: with a short rest all but the daily ones.
bool resetPowerUsage(CommandRoad& road, const QList<Creature*>& creatures, bool daily)
{
    for (Creature* creature : creatures)
        for (int i = 0; CreaturePower* power = creature->getPowers().getPower(i); i++)
            if ((daily || power->current.cost != Power::Daily) && power->getUsageCount() > 0
                && !road.apply(new PowerUsageChangedEvent(creature, power, PowerUsageChangedEvent::ResetUsage,
                                                          road.getStream())))
                return false;
    return true;
}

// The panel, then the rest and the resets of the used powers that are not daily.
void shortRest()
{
    ShortRestDialog dialog;
    if (!dialog.exec())
        return;
    CommandRoad road;
    if (!road.writeEdits())
        return;
    const QList<RestedCreature> rested = dialog.getRestedCreatures();
    if (!road.apply(new ShortRestEvent(rested, road.getStream())))
        return;
    QList<Creature*> creatures;
    for (const RestedCreature& entry : rested)
        creatures.append(entry.creature);
    resetPowerUsage(road, creatures, false);
}

}

void MainWindow::onRemoveCreatures()
{
    removeSelectedCreatures();
}

void MainWindow::removeSelectedCreatures()
{
    removeCreaturesFromEncounter(Global::encounter->getSelectedCreatures());
}

void MainWindow::removeCreatureFromEncounter(Creature* creature)
{
    if (creature)
        removeCreaturesFromEncounter({creature});
}

void MainWindow::removeCreaturesFromEncounter(QList<Creature*> creatures)
{
    if (creatures.isEmpty())
        return;
    CommandRoad road;
    if (!road.isOpen())
        return;
    Encounter* encounter = Global::encounter;
    // The current creature passes its turn before it goes, unless everyone goes.
    QPointer<Creature> current = encounter->getCurrentCreature();
    if (!current || creatures.size() >= encounter->getCreatureCount() || !creatures.contains(current))
        current = nullptr;
    else
        creatures.removeAll(current);
    if (!road.writeEdits())
        return;
    if (!creatures.isEmpty() && !road.apply(new RemoveCreaturesEvent(creatures, road.getStream())))
        return;
    if (!current)
        return;
    performTurnStart();
    if (current && road.isOpen())
        road.apply(new RemoveCurrentEvent(current, road.getStream()));
}

void MainWindow::onShowAndHide()
{
    CommandRoad road;
    if (!road.writeEdits())
        return;
    for (Creature* creature : Global::encounter->getSelectedCreatures())
        if (!road.apply(new ShowHideEvent(creature, !creature->isHidden(), road.getStream())))
            return;
}

// Queued, as the turn commands: the dialog's loop must not start inside the action's signal.
void MainWindow::onSetAlias()
{
    QMetaObject::invokeMethod(this, [this] { editAliases(Global::encounter->getSelectedCreatures()); },
                              Qt::QueuedConnection);
}

void MainWindow::editAliases(const QList<Creature*>& creatures)
{
    if (creatures.isEmpty())
        return;
    const QList<QPointer<Creature>> chosen = held(creatures);
    SetAliasDialog dialog(creatures);
    if (!dialog.exec())
        return;
    QString text;
    const int action = dialog.getNewAlias(text);
    CommandRoad road;
    if (!road.writeEdits())
        return;
    recordAliases(road, remaining(chosen), [action, text](Creature* creature, bool& show, QString& alias) {
        const bool hasAlias = !creature->getAlias().isEmpty();
        if (action == SetAliasDialog::RemoveAlias) {
            show = false;
            alias.clear();
            return hasAlias;
        }
        show = action == SetAliasDialog::ShowAlias;
        // Without a text only the showing of the aliases there are changes.
        if (!text.isEmpty())
            alias = text;
        return hasAlias || !text.isEmpty();
    });
}

void MainWindow::showAliases(const QList<Creature*>& creatures, bool show)
{
    CommandRoad road;
    if (!road.writeEdits())
        return;
    recordAliases(road, creatures, [show](Creature* creature, bool& showAlias, QString&) {
        if (creature->getAlias().isEmpty() || creature->isShowAlias() == show)
            return false;
        showAlias = show;
        return true;
    });
}

void MainWindow::onUpInitiative()
{
    adjustSelectedCreaturesInitiative(-1);
}

void MainWindow::onDownInitiative()
{
    adjustSelectedCreaturesInitiative(1);
}

void MainWindow::adjustSelectedCreaturesInitiative(int places)
{
    const QList<Creature*> selected = Global::encounter->getSelectedCreatures();
    if (selected.isEmpty())
        return;
    CommandRoad road;
    if (road.writeEdits())
        road.apply(new AdjustInitiativeEvent(selected, places, road.getStream()));
}

void MainWindow::onShortRest()
{
    QMetaObject::invokeMethod(this, &shortRest, Qt::QueuedConnection);
}

void MainWindow::onExtendedRest()
{
    CommandRoad road;
    if (!road.isOpen())
        return;
    // A re-import may save a creature, and saving records its edits: before anything else.
    ExtendedRestEvent::refreshLinkedFiles({});
    if (!road.writeEdits() || !road.apply(new ExtendedRestEvent({}, road.getStream())))
        return;
    resetPowerUsage(road, ExtendedRestEvent::getDefaultList(), true);
}
