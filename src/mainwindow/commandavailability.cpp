#include "mainwindow/commandavailability.h"

#include <QAction>

#include <algorithm>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"

namespace {

// Setting an icon always redraws the tool bar, even the same one.
void setIcon(QAction* action, const QIcon& icon)
{
    if (action->icon().cacheKey() != icon.cacheKey())
        action->setIcon(icon);
}

QString withShortcut(const QString& text, QAction* action)
{
    return text + " " + action->shortcut().toString(QKeySequence::NativeText);
}

void setTexts(QAction* action, const QString& text, const QString& toolTip, const QString& statusTip)
{
    action->setText(text);
    action->setToolTip(toolTip);
    action->setStatusTip(statusTip);
}

bool surgeSpendable(const QList<Creature*>& selected)
{
    const int value = selected.first()->getSurgeValue();
    return std::all_of(selected.begin(), selected.end(), [value](Creature* creature) {
        return creature->getSurgeValue() == value && creature->getCurrHealingSurges() > 0;
    });
}

}

void CommandAvailability::toggleStartStopNext(bool panelRunning)
{
    Encounter* encounter = Global::encounter;
    const bool running = encounter->isRunning();
    const bool heroActive = encounter->isHeroActive();
    if (running) {
        setTexts(actions.startStop, tr("Stop Encounter"), tr("Stop Encounter"),
            tr("Stop the current encounter"));
    } else {
        setTexts(actions.startStop, tr("Start Encounter"),
            heroActive ? tr("Start Encounter") : tr("Select a Party to Start Encounter"),
            heroActive ? tr("Start the current encounter")
                       : tr("Select a party in order to start the current encounter"));
    }
    setIcon(actions.startStop, running ? actions.stop : actions.play);
    actions.startStop->setEnabled(!panelRunning && (running || heroActive));
    const bool turns = !panelRunning && running;
    setIcon(actions.nextTurn, turns ? actions.nextTurnIcon : actions.nextTurnGrey);
    for (QAction* action : {actions.nextTurn, actions.delay, actions.ready})
        action->setEnabled(turns);
    for (QAction* action : {actions.shortRest, actions.extendedRest})
        action->setEnabled(!panelRunning && !running && heroActive);
}

void CommandAvailability::toggleSelection(bool panelRunning, int hitPoints, bool& surgeMode)
{
    const QList<Creature*> selected = Global::encounter->getSelectedCreatures();
    const bool any = !selected.isEmpty();
    if (any && selected.first()->isHidden()) {
        setTexts(actions.showHide, tr("Show Creatures"), withShortcut(tr("Show Creatures"), actions.showHide),
            tr("Show a creature so that it is visible to players"));
        setIcon(actions.showHide, actions.show);
    } else {
        setTexts(actions.showHide, tr("Hide Creatures"), withShortcut(tr("Hide Creatures"), actions.showHide),
            tr("Hide a creature so that it is no longer visible to players"));
        setIcon(actions.showHide, actions.hide);
    }
    const bool surge = any && surgeSpendable(selected);
    surgeMode = surgeMode && surge;
    setIcon(actions.surge, surgeMode ? actions.healingSurgeX1 : actions.healingSurge);

    const bool open = !panelRunning;
    const bool amount = any && hitPoints > 0;
    actions.conditionsEffects->setEnabled(open);
    for (QAction* action : {actions.showHide, actions.setAlias, actions.removeCreatures})
        action->setEnabled(open && any);
    actions.surge->setEnabled(open && surge);
    actions.hit->setEnabled(open && amount && !surgeMode);
    actions.heal->setEnabled(open && amount);
    actions.setTempHP->setEnabled(open && amount);
    const bool reorder = open && any && Global::encounter->isRunning();
    actions.upInitiative->setEnabled(reorder);
    actions.downInitiative->setEnabled(reorder);
}

void CommandAvailability::toggleJumpIn(bool panelRunning)
{
    const QList<Creature*> creatures = Global::encounter->getCreatureList().getCreatureList();
    const auto waiting = std::count_if(creatures.begin(), creatures.end(),
        [](Creature* creature) { return creature->isDelayed() || creature->isReady(); });
    const QString text = waiting > 1 ? tr("Jump In...") : tr("Jump In");
    actions.jumpIn->setText(text);
    actions.jumpIn->setToolTip(withShortcut(text, actions.jumpIn));
    actions.jumpIn->setEnabled(!panelRunning && waiting > 0);
}
