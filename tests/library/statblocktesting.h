#ifndef STATBLOCKTESTING_H
#define STATBLOCKTESTING_H

#include <QStringList>

#include "library/creatureparser.h"

inline CreatureStats parseStatBlock(const QString& text, bool monster = true)
{
    CreatureStats stats;
    CreatureParser(monster).parse(stats, text, QString());
    return stats;
}

inline QString numberText(int value)
{
    return value == UnknownValue ? QString("-") : QString::number(value);
}

inline QStringList describePower(const CreaturePower& power)
{
    const PowerData& data = power.current;
    QStringList lines{QString("power: %1 | type %2 | when %3 | cost %4 | %5")
                          .arg(power.name)
                          .arg(data.type)
                          .arg(data.when)
                          .arg(data.cost)
                          .arg(data.header)};
    if (!data.flavor.isEmpty())
        lines.append("  flavour: " + data.flavor);
    for (const QString& line : data.description)
        lines.append("  line: " + line);
    return lines;
}

// The whole record as "field: value" lines, the powers last.
inline QStringList describeStats(const CreatureStats& s)
{
    QStringList abilities;
    for (const AbilityScore& a : s.abilities)
        abilities.append(QString("%1 (%2)").arg(numberText(a.score),
                                                a.modifier == UnknownModifier ? "-" : QString::number(a.modifier)));
    QStringList lines{
        "group: " + s.group, "titleNote: " + s.titleNote, "type: " + s.type, "role: " + s.role,
        QString("level %1, xp %2, hp %3, initiative %4, perception %5")
            .arg(s.level).arg(s.xp).arg(s.maxHitPoints).arg(numberText(s.initBonus), numberText(s.perception)),
        "senses: " + s.senses,
        QString("defences: %1 %2 %3 %4")
            .arg(numberText(s.armorClass), numberText(s.fortitude), numberText(s.reflex), numberText(s.will)),
        "speed: " + s.speed, QString("action points: %1").arg(s.initActionPoints),
        "saving throws: " + s.savingThrows,
        QString("resist: %1 | immune: %2 | vulnerable: %3").arg(s.resist, s.immune, s.vulnerable),
        QString("detect: %1 | regeneration: %2").arg(s.detect, s.regeneration),
        "alignment: " + s.alignment, "languages: " + s.languages, "skills: " + s.skills,
        "abilities: " + abilities.join(", "), "equipment: " + s.equipment, "description: " + s.description,
        "notes: " + s.published, QString("trap: %1").arg(s.trap), "flavour: " + s.flavorText,
    };
    for (int i = 0; i < s.powers.size(); ++i)
        lines.append(describePower(*s.powers.getPower(i)));
    return lines;
}

#endif
