#include "creature/creature.h"

#include "foundation/attrtext.h"

namespace {

QString groupSection(const QString& group)
{
    AttrWriter writer("\n");
    writer.addStringValue("group", group);
    return "\n[Tallowmere]\n" + QString::fromUtf8(writer.getBytes());
}

}

void Creature::setupDummyHero(const QString& heroName)
{
    stats.monster = false;
    stats.trap = false;
    stats.name = heroName;
    stats.level = 1;
    stats.initActionPoints = 1;
    stats.statBlock = generateStatBlock(false);
    beforeStatBlock = stats.statBlock;
}

QString Creature::makeEmptyMonsterStatBlock() const
{
    QString text = stats.group + "\n"
        "Medium monster\n"
        "Level 1 Soldier XP 1\n"
        "Initiative +0 Senses Perception +0\n"
        "HP 1\n"
        "AC 0; Fortitude 0, Reflex 0, Will 0\n"
        "Saving Throws +0\n"
        "Speed 0\n"
        "Action Points 0\n"
        "Alignment Any Languages Common\n"
        "Str 10 Dex 10 Wis 10\n"
        "Con 10 Int 10 Cha 10\n"
        "Equipment club\n";
    return stats.group.contains("(") ? text + groupSection(stats.group) : text;
}

void Creature::setupDummyMonster(const QString& templateName)
{
    stats.monster = true;
    stats.trap = false;
    stats.group = templateName;
    QString text = makeEmptyMonsterStatBlock();
    CreatureStats record;
    // The name given is the template's name, however the parser reads that line.
    parseStatBlock(true, text, record, QString(), templateName, true);
    if (record.group != templateName && !text.contains("[Tallowmere]")) {
        text += groupSection(templateName);
        parseStatBlock(true, text, record, QString(), templateName, true);
    }
    setStats(record);
    beforeStatBlock = stats.statBlock;
}

QString Creature::makeMonsterStatBlock() const
{
    QStringList lines = {stats.group};
    if (!stats.portraitFile.isEmpty())
        lines << "Portrait " + stats.portraitFile;
    if (!stats.importFile.isEmpty())
        lines << "Import " + stats.importFile << QString("Linked %1").arg(stats.linked ? "yes" : "no");
    lines << (stats.type.isEmpty() ? QString("Medium monster") : stats.type)
            + (stats.race.isEmpty() ? QString() : ", " + stats.race);
    lines << QString("Level %1 %2 XP %3")
                 .arg(stats.level)
                 .arg(stats.role.isEmpty() ? QString("Soldier") : stats.role)
                 .arg(stats.xp);
    QString senses = QString("Initiative %1 Senses Perception %2")
                         .arg(getInitBonusText(), getBonusText(stats.perception));
    if (stats.insight != UnknownValue)
        senses += QString("; Insight %1").arg(getBonusText(stats.insight));
    if (!stats.senses.isEmpty())
        senses += "; " + stats.senses;
    lines << senses;
    QString health = QString("HP %1").arg(stats.maxHitPoints);
    if (stats.maxHealingSurges != 0 && stats.surgeValue != 0)
        health += QString("; HS %1 x %2").arg(stats.maxHealingSurges).arg(stats.surgeValue);
    lines << health;
    QString defences;
    const std::pair<const char*, int> parts[] = {
        {"AC %1; ", stats.armorClass}, {"Fortitude %1, ", stats.fortitude},
        {"Reflex %1, ", stats.reflex}, {"Will %1", stats.will}};
    for (const auto& [form, value] : parts)
        if (value != UnknownValue)
            defences += QString(form).arg(value);
    lines << defences;
    lines << "Speed " + (stats.speed.isEmpty() ? QString("0") : stats.speed);
    lines << QString("Action Points %1").arg(stats.initActionPoints);
    return lines.join('\n') + '\n';
}
