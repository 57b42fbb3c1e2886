// Each stat-block fixture of the parser's tests, parsed and shown as the
// creature's texts and its powers: build/screenshots/parsed-NAME.png.

#include <QDir>
#include <QFile>
#include <QTextBrowser>

#include "creature/creature.h"
#include "library/creatureparser.h"
#include "screenshots/shotsink.h"

namespace {

QString powerText(const CreaturePower& power)
{
    QString text = power.getTitleText(false, false);
    if (!power.current.flavor.isEmpty())
        text += "<br>" + power.current.flavor;
    for (const QString& line : power.current.description)
        text += "<br>" + line;
    return text;
}

QString creatureText(const Creature& creature, const CreatureStats& stats)
{
    QStringList parts{
        "<b>" + creature.getGroup().toHtmlEscaped() + "</b>"
            + (stats.titleNote.isEmpty() ? QString() : " <i>(" + stats.titleNote.toHtmlEscaped() + ")</i>"),
        creature.getLevelClassRole().toHtmlEscaped() + "<br>" + creature.getTypeRace().toHtmlEscaped(),
        creature.getHealth(true), creature.getDefenses(false), creature.getSensesLine(),
        creature.getResistances(true, false), creature.getSavingAndAction(true), creature.getActions(true),
        stats.flavorText,
    };
    for (const CreaturePower* power : const_cast<Creature&>(creature).getPowers().getPowerList(false))
        parts.append(powerText(*power));
    parts << creature.getAlignmentText() + "; " + creature.getLanguagesText() << creature.getSkills()
          << QStringList{creature.getStrText(), creature.getDexText(), creature.getWisText()}.join(", ")
          << QStringList{creature.getConText(), creature.getIntText(), creature.getChaText()}.join(", ")
          << creature.getEquipment() << creature.getDescription() << stats.published;
    parts.removeAll(QString());
    return parts.join("<br>");
}

void parsedCreatures(ShotSink& sink)
{
    QDir folder(RAVELHORN_STATBLOCKS);
    for (const QString& file : folder.entryList({"*.txt"})) {
        QFile source(folder.filePath(file));
        if (!source.open(QIODevice::ReadOnly))
            continue;
        CreatureStats stats;
        CreatureParser(true).parse(stats, QString::fromUtf8(source.readAll()), QString());
        Creature creature;
        creature.setStats(stats);
        QTextBrowser view;
        view.setHtml(creatureText(creature, stats));
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        // Never on the screen: only this resizes it, not the window system's
        // late answer to the size it was shown at.
        view.setAttribute(Qt::WA_DontShowOnScreen);
        view.resize(560, 200);
        view.show();
        view.resize(560, qMin(1400, int(view.document()->size().height()) + 12));
        sink.save("parsed-" + file.chopped(4), &view);
    }
}

ShotRegistration registration("parsed stat blocks", parsedCreatures);

}
