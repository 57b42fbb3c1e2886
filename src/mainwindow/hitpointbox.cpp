// The HP box and the commands that apply its amount to the selected
// creatures. None of them records an event without targets; one that the log
// refuses leaves the box, surge mode and the focus as they were.
#include <QSpinBox>

#include "encounter/commandroad.h"
#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "mainwindow/maininitiativelist.h"
#include "mainwindow/mainwindow.h"

namespace {

// The amount of the box for the selected creatures, 0 when there is nothing to apply.
int amountFor(const QSpinBox* box, const QList<Creature*>& targets)
{
    return targets.isEmpty() ? 0 : box->value();
}

}

void MainWindow::onHit()
{
    CommandRoad road;
    if (!road.isOpen())
        return;
    const QList<Creature*> targets = Global::encounter->getSelectedCreatures();
    const int amount = amountFor(hitPointBox, targets);
    if (amount && !road.apply(new DamageEvent(QString(), Global::encounter->getCurrentCreature(), targets, amount,
                      QString(), road.getStream())))
        return;
    // The same amount goes to the next creature at once.
    surgeMode = false;
    hitPointBox->selectAll();
    initiativeList->setFocus(Qt::OtherFocusReason);
    toggleSelectionButtons();
}

void MainWindow::onHeal()
{
    CommandRoad road;
    if (!road.isOpen())
        return;
    const QList<Creature*> targets = Global::encounter->getSelectedCreatures();
    if (const int amount = amountFor(hitPointBox, targets)) {
        if (!road.apply(new HealEvent(QString(), Global::encounter->getCurrentCreature(), targets, surgeMode ? 1 : 0,
                amount, road.getStream())))
            return;
        hitPointBox->setValue(0);
    }
    surgeMode = false;
    hitPointBox->selectAll();
    initiativeList->setFocus(Qt::OtherFocusReason);
    toggleSelectionButtons();
}

void MainWindow::onSurge()
{
    if (Creature* first = Global::encounter->getSelectedCreature(false)) {
        const bool wasOn = surgeMode;
        surgeMode = !surgeMode;
        hitPointBox->setValue(wasOn ? 0 : first->getSurgeValue());
        focusOnHitPointBox();
    } else {
        hitPointBox->setValue(0);
    }
    toggleSelectionButtons();
}

void MainWindow::onHPValueChanged()
{
    if (surgeMode && (!Global::encounter->getSelectedCreature(false) || hitPointBox->value() == 0))
        surgeMode = false;
    toggleSelectionButtons();
}

void MainWindow::onSetTempHP()
{
    CommandRoad road;
    if (!road.isOpen())
        return;
    const QList<Creature*> targets = Global::encounter->getSelectedCreatures();
    if (const int amount = amountFor(hitPointBox, targets)) {
        if (!road.apply(new SetTempHPEvent(targets, amount, road.getStream())))
            return;
        hitPointBox->setValue(0);
    }
    surgeMode = false;
    focusOnHitPointBox();
    toggleSelectionButtons();
}

void MainWindow::removeCondEffect(Creature* creature, Effect* effect)
{
    CommandRoad road;
    if (road.isOpen())
        road.apply(new RemoveOnGoingEvent(creature, effect, road.getStream()));
}
