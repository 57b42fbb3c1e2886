// Pictures of the power dialog over the demonstration fight: per-target
// damage on the hit list with the guided order's hint and the previews in
// the docks, then the miss and effect lists, and the hit list again in the
// main window of a first start on a laptop.
#include <QKeyEvent>
#include <QListWidget>
#include <QTimer>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "mainwindow/mainwindow.h"
#include "powerdialog/picklistwidget.h"
#include "powerdialog/powerdialog.h"
#include "screenshots/shotsink.h"

namespace {

const QString powerName = "Searing Arc";

// Wren's arc: fire per target on a hit, a little on a miss, and warmth for her allies.
CreaturePower searingArc()
{
    CreaturePower arc;
    arc.status = CreaturePower::UserPower;
    arc.name = powerName;
    arc.current.header = "Close blast 3";
    arc.current.when = Power::Standard;
    arc.current.cost = Power::OncePerEncounter;
    arc.current.applyTo[Power::Hit] = {Power::Enemy, 1, Power::UnsetCount};
    arc.current.applyTo[Power::Effect] = {Power::Ally, 0, Power::UnsetCount};
    auto* damage = static_cast<DamageStep*>(arc.program.addStep(PowerStep::Damage, Power::Hit));
    damage->dice = "2d6+4";
    damage->damageType = "fire";
    damage->perTarget = true;
    static_cast<ConditionStep*>(arc.program.addStep(PowerStep::Condition, Power::Hit))->condition = CE::Dazed;
    arc.program.addStep(PowerStep::EndCondition, Power::Hit);
    static_cast<DamageStep*>(arc.program.addStep(PowerStep::Damage, Power::Miss))->damage = 5;
    auto* healing = static_cast<HealingStep*>(arc.program.addStep(PowerStep::Healing, Power::Effect));
    healing->tempHitPoints = 5;
    return arc;
}

// Moves the creature of that name to the picked list.
void pick(const QString& name)
{
    auto* list = Global::mainWindow->findChild<PickListWidget*>("pickview");
    for (int row = 0; list && row < list->count(); row++)
        if (static_cast<CreatureSorterItem*>(list->item(row))->creature->getNameGroup() == name) {
            list->setCurrentRow(row);
            QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
            QCoreApplication::sendEvent(list, &right);
            return;
        }
}

void save(ShotSink& sink, const QString& name)
{
    // The docks redraw the preview on the refresh tick.
    emit Global::switchBoard.doRefreshTimer();
    // A row that wraps anew settles over a few turns of the event loop.
    for (int settle = 0; settle < 3; settle++)
        QCoreApplication::processEvents();
    sink.save(name, Global::mainWindow);
}

void powerDialogShots(ShotSink& sink)
{
    Creature* wren = Global::characters->findCharacter("Wren Talloway");
    Creature* hound = nullptr;
    Creature* shank = nullptr;
    for (int i = 0; Creature* creature = Global::encounter->getCreature(i); i++) {
        if (creature->getGroup() == "Ashen Hound")
            hound = creature;
        else if (creature->getNameGroup() == "Mire Goblin Shank (2)")
            shank = creature;
    }
    if (!wren || !hound || !shank) {
        sink.save("power-dialog-hit", QImage());
        return;
    }
    wren->getPowers().addPower(searingArc(), false);
    const QList<Creature*> selected = Global::encounter->getSelectedCreatures();
    Global::mainWindow->resize(1400, 900);
    {
        PowerDialog dialog(wren, powerName, QString(), {hound, shank}, {});
        QTimer::singleShot(50, [&] {
            // The guided order follows the focus, which only an active window has.
            Global::mainWindow->activateWindow();
            QCoreApplication::processEvents();
            // Through the three lists to the first target's damage.
            for (int stop = 0; stop < 4; stop++)
                dialog.keyPressed(Qt::Key_G, Qt::ControlModifier);
            save(sink, "power-dialog-hit");
            dialog.keyPressed(Qt::Key_I, Qt::ControlModifier);
            pick("Mire Goblin Shank (2)");
            save(sink, "power-dialog-miss");
            dialog.keyPressed(Qt::Key_I, Qt::ControlModifier);
            pick("Idrel Vane");
            pick("Wren Talloway");
            save(sink, "power-dialog-effect");
            // The first-start size on a laptop: the hit list scrolls, the buttons stay.
            dialog.keyPressed(Qt::Key_I, Qt::ControlModifier);
            Global::mainWindow->resize(1152, 720);
            save(sink, "power-dialog-first-start");
            dialog.reject();
        });
        dialog.exec();
    }
    {
        // Nobody hit yet: what to select shows in red.
        PowerDialog dialog(wren, powerName, QString(), {}, {});
        QTimer::singleShot(50, [&] {
            save(sink, "power-dialog-no-targets");
            dialog.reject();
        });
        dialog.exec();
    }
    wren->getPowers().deletePower(powerName);
    Global::encounter->setSelectedCreatures(selected);
}

ShotRegistration shots("power dialog", powerDialogShots);

}
