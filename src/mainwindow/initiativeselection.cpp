// How clicks, double clicks, the cell menu and keys on the initiative table
// change the encounter's selection and start the main window's commands.
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>

#include <algorithm>
#include <cstdlib>

#include "creature/creature.h"
#include "creature/effect.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "mainwindow/maininitiativelist.h"

void MainInitiativeList::selectRow(int row)
{
    Global::encounter->selectCreature(row);
    refreshLayout(row);
}

void MainInitiativeList::toggleRow(int row)
{
    Global::encounter->toggleSelectedCreature(row);
    refreshLayout(row);
}

void MainInitiativeList::clearSelection()
{
    Global::encounter->clearSelectedCreatures();
    refreshLayout(0);
}

void MainInitiativeList::queueCellCommand(void (MainInitiativeList::*slot)(int, int), int row, int column)
{
    QPointer<Creature> shown(Global::encounter->getCreature(row));
    if (!shown)
        return;
    // Another press may come before the command runs; it acts on the press it belongs to.
    const Qt::MouseButtons buttons = pressedButtons;
    const Qt::KeyboardModifiers modifiers = pressedModifiers;
    QMetaObject::invokeMethod(this, [=] {
        if (!shown || Global::encounter->getCreature(row) != shown)
            return;
        pressedButtons = buttons;
        pressedModifiers = modifiers;
        (this->*slot)(row, column);
    }, Qt::QueuedConnection);
}

void MainInitiativeList::onInitListPressed(int, int, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    pressedButtons = buttons;
    pressedModifiers = modifiers;
}

bool MainInitiativeList::isMultiSelectClick() const
{
    return (pressedModifiers == Qt::MetaModifier || pressedModifiers == Qt::ControlModifier)
        && pressedButtons.testFlag(Qt::LeftButton);
}

void MainInitiativeList::clicked(int row, int column)
{
    Creature* creature = Global::encounter->getCreature(row);
    if (!creature)
        return;
    // The effects column acts on the selection as it is.
    if (column == EffectsColumn && Global::encounter->isCreatureSelected(creature))
        return;
    // Modifiers count as a whole: a combination matches none of the rules.
    const Qt::KeyboardModifiers modifiers = pressedModifiers;
    if (modifiers == Qt::ShiftModifier && pressedButtons.testFlag(Qt::LeftButton)) {
        extendSelection(row);
    } else if ((modifiers == Qt::NoModifier || modifiers == Qt::MetaModifier)
               && pressedButtons.testFlag(Qt::RightButton)) {
        toggleRow(row);
    } else if (isMultiSelectClick()) {
        toggleRow(row);
    } else if (modifiers == Qt::NoModifier) {
        clearSelection();
        selectRow(row);
    }
}

void MainInitiativeList::extendSelection(int row)
{
    // From the nearest selected creature, the first one on ties.
    int nearest = -1;
    int bestDistance = 100000000;
    for (int selected : Global::encounter->getSelectedIndexes()) {
        const int distance = std::abs(selected - row);
        if (distance > 0 && distance < bestDistance) {
            bestDistance = distance;
            nearest = selected;
        }
    }
    if (nearest < 0) {
        clearSelection();
        selectRow(row);
        return;
    }
    for (int i = std::min(row, nearest); i <= std::max(row, nearest); i++)
        selectRow(i);
}

void MainInitiativeList::onInitListClicked(int row, int column)
{
    clicked(row, column);
    Creature* creature = Global::encounter->getCreature(row);
    if (!creature)
        return;
    if (column == IconColumn) {
        if (creature->isDead(false))
            emit doRemoveCreatureFromEncounter(creature);
    } else if (column == HealthColumn) {
        emit doFocusOnHitPointBox();
    } else if (column == EffectsColumn && Global::encounter->isCreatureSelected(creature)) {
        if (!pressedButtons.testFlag(Qt::RightButton) && !isMultiSelectClick())
            emit doAddConditionOrEffect();
        else
            showCellMenu();
    }
}

void MainInitiativeList::onInternalDoubleClick(int row, int column)
{
    clicked(row, column);
    Creature* creature = Global::encounter->getCreature(row);
    if (creature && Global::encounter->isCreatureSelected(creature) && column <= HealthColumn)
        emit doAddConditionOrEffect();
}

void MainInitiativeList::showCellMenu()
{
    QMenu menu;
    QAction* conditions = menu.addAction(tr("Conditions and Effects..."));
    QAction* mark = nullptr;
    if (Creature* current = Global::encounter->getCurrentCreature())
        mark = menu.addAction(tr("Marked by %1").arg(current->getNameGroup().replace('&', "&&")));
    QAction* remove = menu.addAction(tr("Remove Selected"));
    QAction* up = menu.addAction(tr("Initiative Up"));
    QAction* down = menu.addAction(tr("Initiative Down"));
    const QList<Creature*> selected = Global::encounter->getSelectedCreatures();
    const bool showAlias = std::any_of(selected.cbegin(), selected.cend(),
        [](const Creature* c) { return !c->getAlias().isEmpty() && !c->isShowAlias(); });
    QAction* alias = menu.addAction(showAlias ? tr("Show Alias") : tr("Hide Alias"));
    QAction* setAlias = menu.addAction(tr("Set Alias..."));
    QAction* help = menu.addAction(tr("Need help selecting?"));

    QAction* chosen = menu.exec(QCursor::pos());
    if (!chosen)
        return;
    if (chosen == conditions)
        emit doAddConditionOrEffect();
    else if (chosen == mark)
        markSelectedCreatures();
    else if (chosen == remove)
        emit doRemoveSelectedCreatures();
    else if (chosen == up)
        emit doAdjustSelectedCreaturesInitiative(-1);
    else if (chosen == down)
        emit doAdjustSelectedCreaturesInitiative(1);
    else if (chosen == alias)
        emit doShowAliases(Global::encounter->getSelectedCreatures(), showAlias);
    else if (chosen == setAlias)
        emit doEditAliases(Global::encounter->getSelectedCreatures());
    else if (chosen == help)
        emit doHelpWithSelections();
}

void MainInitiativeList::markSelectedCreatures()
{
    Creature* current = Global::encounter->getCurrentCreature();
    ObjectStream* stream = Global::history->getStream(false);
    if (!current || !stream)
        return;
    Global::encounter->writeVitalityChanges(stream);
    EffectDetails details;
    details.origin = current;
    details.type = CE::Marked;
    details.endCondition = CE::EndSpecial;
    Global::history->apply(new EffectEvent(details, Global::encounter->getSelectedCreatures(), stream), false);
}

bool MainInitiativeList::handleKeyEvent(QKeyEvent* event)
{
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const QList<int> selected = Global::encounter->getSelectedIndexes();
    const int count = Global::encounter->getCreatureCount();
    switch (event->key()) {
    case Qt::Key_Escape:
        clearSelection();
        return true;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        emit doFocusOnHitPointBox();
        return true;
    case Qt::Key_Up: {
        const int base = selected.isEmpty() ? count : selected.first();
        if (!shift)
            clearSelection();
        const int target = base - 1;
        selectRow(target < 0 ? count - 1 : target);
        return true;
    }
    case Qt::Key_Down: {
        const int base = selected.isEmpty() ? -1 : selected.last();
        if (!shift)
            clearSelection();
        const int target = base + 1;
        selectRow(target >= count ? 0 : target);
        return true;
    }
    default:
        return false;
    }
}

bool MainInitiativeList::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress && handleKeyEvent(static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    return QTableWidget::event(event);
}
