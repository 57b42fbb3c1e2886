// The HP box and the commands that apply its amount to the selected
// creatures. None of them records an event without targets; one that the log
// refuses leaves the box, surge mode and the focus as they were.
#include <QSpinBox>

#include <functional>

#include "encounter/commandroad.h"
#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "mainwindow/maininitiativelist.h"
#include "mainwindow/mainwindow.h"

namespace {

enum class Recorded { Refused, Nothing, Event };

// Records the event that the box's amount makes for the selected creatures.
// Without targets or an amount there is nothing to record; without a log,
// or when the log refuses the record, the command leaves all as it was.
Recorded recordAmount(const QSpinBox* box,
    const std::function<Event*(const QList<Creature*>&, int amount, ObjectStream*)>& make)
{
    CommandRoad road;
    if (!road.isOpen())
        return Recorded::Refused;
    const QList<Creature*> targets = Global::encounter->getSelectedCreatures();
    if (targets.isEmpty() || box->value() <= 0)
        return Recorded::Nothing;
    return road.apply(make(targets, box->value(), road.getStream())) ? Recorded::Event : Recorded::Refused;
}

}

void MainWindow::onHit()
{
    Creature* origin = Global::encounter->getCurrentCreature();
    if (recordAmount(hitPointBox, [origin](const QList<Creature*>& targets, int amount, ObjectStream* stream) {
            return new DamageEvent(QString(), origin, targets, amount, QString(), stream);
        }) == Recorded::Refused)
        return;
    // The same amount goes to the next creature at once.
    surgeMode = false;
    hitPointBox->selectAll();
    initiativeList->setFocus(Qt::OtherFocusReason);
    toggleSelectionButtons();
}

void MainWindow::onHeal()
{
    Creature* origin = Global::encounter->getCurrentCreature();
    const int surges = surgeMode ? 1 : 0;
    const Recorded recorded = recordAmount(hitPointBox,
        [origin, surges](const QList<Creature*>& targets, int amount, ObjectStream* stream) {
            return new HealEvent(QString(), origin, targets, surges, amount, stream);
        });
    if (recorded == Recorded::Refused)
        return;
    if (recorded == Recorded::Event)
        hitPointBox->setValue(0);
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
    const Recorded recorded = recordAmount(hitPointBox, [](const QList<Creature*>& targets, int amount, ObjectStream* stream) {
        return new SetTempHPEvent(targets, amount, stream);
    });
    if (recorded == Recorded::Refused)
        return;
    if (recorded == Recorded::Event)
        hitPointBox->setValue(0);
    surgeMode = false;
    focusOnHitPointBox();
    toggleSelectionButtons();
}

bool MainWindow::removeCondEffect(Creature* creature, Effect* effect)
{
    CommandRoad road;
    return road.isOpen() && road.apply(new RemoveOnGoingEvent(creature, effect, road.getStream()));
}
