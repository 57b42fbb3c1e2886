// Pictures of the power header dialog over the demonstration data.
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "creature/creature.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/monsters.h"
#include "powerdialog/createpowerdialog.h"
#include "powers/actions.h"
#include "screenshots/shotsink.h"

namespace {

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

void powerShots(ShotSink& sink)
{
    Creature* hag = Global::monsters->findTemplate("Bog Hag Mother");
    if (!hag) {
        sink.save("create-power", QImage());
        return;
    }
    headerShots(sink, hag);
}

ShotRegistration powerShotsRegistration("powers", powerShots);

}
