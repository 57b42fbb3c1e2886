// The demonstration party and bestiary as the program reads them: each
// creature's texts and powers as rich text, demo-NAME.png.
#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include "creature/creature.h"
#include "foundation/global.h"
#include "screenshots/shotsink.h"

namespace {

QString powerText(const CreaturePower* power)
{
    QString text = power->getTitleText(false, false);
    if (!power->current.flavor.isEmpty())
        text += "<br><i>" + power->current.flavor + "</i>";
    for (const QString& line : power->current.description)
        text += "<br>" + line;
    return text;
}

QString creatureText(Creature& creature)
{
    QStringList parts = {"<b>" + creature.getNameGroup().toHtmlEscaped() + "</b>",
                         creature.getLevelClassRole(),
                         creature.getTypeRace(),
                         creature.getHealth(true),
                         creature.getInitiative(false, 2) + " " + creature.getSensesLine(),
                         creature.getDefenses(false),
                         creature.getResistances(true, false),
                         creature.getSavingAndAction(true),
                         creature.getSkills(),
                         creature.getStrText() + " " + creature.getDexText() + " " + creature.getWisText(),
                         creature.getConText() + " " + creature.getIntText() + " " + creature.getChaText(),
                         creature.getAlignmentText() + " " + creature.getLanguagesText(),
                         creature.getEquipment()};
    for (const CreaturePower* power : creature.getPowers().getPowerList(false))
        parts << "<hr>" + powerText(power);
    parts.removeAll(QString());
    return parts.join("<br>");
}

void shootFolder(ShotSink& sink, const QString& demoData, bool monsters)
{
    const QString folder = QDir(demoData).filePath(monsters ? "Monsters" : "Characters");
    for (const QString& file : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        Creature creature;
        if (!creature.load(file, monsters, demoData, nullptr, nullptr)) {
            sink.save("demo-" + QFileInfo(file).baseName(), QImage());
            continue;
        }
        QLabel label(creatureText(creature));
        label.setTextFormat(Qt::RichText);
        label.setWordWrap(true);
        label.setMargin(12);
        label.setStyleSheet("background: white; color: black");
        // Taller than a screen: adjustSize would cut it to two thirds of one.
        label.resize(460, label.heightForWidth(460));
        label.show();
        sink.save("demo-" + QFileInfo(file).baseName(), &label);
    }
}

void demoShots(ShotSink& sink)
{
    const QString demoData = Global::getResourcePath() + QDir::separator() + "demo-data";
    shootFolder(sink, demoData, false);
    shootFolder(sink, demoData, true);
}

const ShotRegistration registration("demo creatures", demoShots);

}
