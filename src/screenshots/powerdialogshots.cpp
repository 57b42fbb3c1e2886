// Pictures of the power dialog over the demonstration fight: per-target
// damage on the hit list with the guided order's hint and the previews in
// the docks, then the miss and effect lists, and the hit list again in the
// main window of a first start on a laptop; an archer's one-target and
// three-target arrows, damage per target, in the main windows of a first
// start on a 1280×800 and on a 1152×720 screen.
#include <QCheckBox>
#include <QKeyEvent>
#include <QToolButton>
#include <QListWidget>
#include <QTimer>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "mainwindow/mainwindow.h"
#include "powerdialog/picklistwidget.h"
#include "powerdialog/powerdialog.h"
#include "powerdialog/powerwidget.h"
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

// A row that wraps anew, or a panel just shown, settles over a few turns of the event loop.
void settle(int turns)
{
    for (int turn = 0; turn < turns; turn++)
        QCoreApplication::processEvents();
}

void save(ShotSink& sink, const QString& name)
{
    // The docks redraw the preview on the refresh tick.
    emit Global::switchBoard.doRefreshTimer();
    settle(3);
    sink.save(name, Global::mainWindow);
}

// The archer's power against those heroes, with the steps of those kinds
// added by their buttons, damage per target, in a main window of that size.
void archerShot(ShotSink& sink, const QString& name, const QString& power, const QStringList& heroes,
                const QList<int>& kinds, QSize size)
{
    Creature* archer = Global::monsters->getMonsterInstance("Thornback Archer", "A", true);
    QList<Creature*> targets;
    for (const QString& hero : heroes)
        targets << Global::characters->findCharacter(hero);
    if (!archer || targets.contains(nullptr)) {
        sink.save(name, QImage());
        return;
    }
    const CreatureList fight = Global::encounter->getCreatureList();
    CreatureList withArcher = fight;
    withArcher.addCreature(archer);
    Global::encounter->setCreatureList(withArcher);
    Global::mainWindow->resize(size);
    {
        PowerDialog dialog(archer, power, QString(), targets, {});
        QTimer::singleShot(50, [&] {
            // On a busy machine the timer may come before the panel was laid out.
            settle(5);
            auto* editor = Global::mainWindow->findChild<PowerWidget*>();
            for (const int kind : kinds)
                editor->getAddButton(kind)->click();
            for (QCheckBox* box : Global::mainWindow->findChildren<QCheckBox*>())
                if (box->text() == "Per target" && !box->isChecked())
                    box->click();
            // The panel fits the rows grown by their targets a few turns later.
            settle(5);
            save(sink, name);
            dialog.reject();
        });
        dialog.exec();
    }
    Global::encounter->setCreatureList(fight);
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
    const QStringList three{"Brannoc Ashfield", "Wren Talloway", "Idrel Vane"};
    for (const QSize size : {QSize(1152, 720), QSize(1037, 648)}) {
        const QString at = QString("power-dialog-%1x%2-").arg(size.width()).arg(size.height());
        archerShot(sink, at + "barbed-arrow", "Barbed Arrow", {"Wren Talloway"}, {PowerStep::Damage}, size);
        archerShot(sink, at + "three-targets", "Volley of Briars", three,
                   {PowerStep::Damage, PowerStep::Condition}, size);
    }
    Global::encounter->setSelectedCreatures(selected);
}

ShotRegistration shots("power dialog", powerDialogShots);

}
