// Pictures of the power header dialog and the power editor, over the
// demonstration data.
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/monsters.h"
#include "powerdialog/createpowerdialog.h"
#include "powerdialog/effectcreatures.h"
#include "powerdialog/powerwidget.h"
#include "powers/actions.h"
#include "screenshots/shotsink.h"

namespace {

// An owner that keeps the editor as it is.
class StillOwner : public PowerEditInterface
{
public:
    void rebuildDialog(PowerStep*, Power::StepType, int, int, int, bool, bool) override {}
    void powerStepChanged(PowerStep*) override {}
    void stepsReshaped(PowerStep*) override {}
};

void saveDialog(ShotSink& sink, const QString& name, QDialog& dialog)
{
    dialog.show();
    QCoreApplication::processEvents();
    sink.save(name, &dialog);
}

void headerShots(ShotSink& sink, Creature* hag)
{
    {
        CreatePowerDialog create(hag, QString(), nullptr, Power::AnyStep, false, true);
        create.getNameEdit()->setText("Swamp Lash");
        create.getHeaderEdit()->setText("Reach 2");
        create.getDescriptionEdit()->setPlainText("+9 vs. Reflex; 2d6 + 3 damage, and the target is slowed.");
        saveDialog(sink, "create-power", create);
    }
    {
        CreatePowerDialog edit(hag, "Thorned Claw", nullptr, Power::Hit, false, false);
        saveDialog(sink, "edit-power-hit", edit);
    }
    if (!Global::actions->getActionByName("Sprint")) {
        CreaturePower sprint;
        sprint.status = CreaturePower::UserPower;
        sprint.name = "Sprint";
        sprint.current.when = Power::Move;
        sprint.current.cost = Power::AtWill;
        sprint.current.description = QStringList{"Move your speed + 2."};
        Global::actions->updateAction(sprint.name, &sprint);
    }
    CreatePowerDialog duplicate(nullptr, "Sprint", nullptr, Power::AnyStep, true, true);
    saveDialog(sink, "duplicate-action", duplicate);
}

// A claw whose lists hold every kind of step.
CreaturePower programmedClaw(Creature* hag)
{
    CreaturePower claw = *hag->getPowers().getPowerByName("Thorned Claw");
    claw.current.flavor = "Barbed and dripping with bog water.";
    PowerProgram& program = claw.program;
    auto* damage = static_cast<DamageStep*>(program.addStep(PowerStep::Damage, Power::Hit));
    damage->dice = "1d8+4";
    damage->damage = 9;
    damage->damageType = "poison";
    static_cast<ConditionStep*>(program.addStep(PowerStep::Condition, Power::Hit))->condition = CE::Slowed;
    auto* onGoing = static_cast<OnGoingStep*>(program.addStep(PowerStep::OnGoing, Power::Hit));
    onGoing->amount = -5;
    onGoing->damageType = "poison";
    program.addStep(PowerStep::EndCondition, Power::Hit);
    static_cast<DamageStep*>(program.addStep(PowerStep::Damage, Power::Miss))->damage = 4;
    auto* bonus = static_cast<BonusStep*>(program.addStep(PowerStep::Bonus, Power::Miss));
    bonus->amount = -2;
    bonus->attributes.setAttributes("armor-class");
    auto* healing = static_cast<HealingStep*>(program.addStep(PowerStep::Healing, Power::Effect));
    healing->hitPoints = 5;
    healing->tempHitPoints = 3;
    auto* resistance = static_cast<ResistanceStep*>(program.addStep(PowerStep::Resistance, Power::Effect));
    resistance->amount = 5;
    resistance->damageType = "cold";
    program.addStep(PowerStep::UseResource, Power::Effect);
    return claw;
}

void editorShots(ShotSink& sink, Creature* hag)
{
    CreaturePower claw = programmedClaw(hag);
    EffectCreatures creatures(false, hag, claw.name, QString(), QList<Creature*>(), QList<Creature*>(), nullptr);
    StillOwner owner;
    const char* const names[] = {"power-editor-hit", "power-editor-miss", "power-editor-effect"};
    for (int type = Power::Hit; type <= Power::Effect; type++) {
        PowerWidget editor(&owner, &creatures, &claw, false, Power::StepType(type), 0, 0, 0);
        editor.resize(820, 620);
        editor.show();
        QCoreApplication::processEvents();
        sink.save(names[type], &editor);
    }
}

void powerShots(ShotSink& sink)
{
    Creature* hag = Global::monsters->findTemplate("Bog Hag Mother");
    if (!hag) {
        sink.save("create-power", QImage());
        return;
    }
    headerShots(sink, hag);
    editorShots(sink, hag);
}

ShotRegistration powerShotsRegistration("powers", powerShots);

}
