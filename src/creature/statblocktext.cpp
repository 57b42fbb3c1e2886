#include "creature/creature.h"

#include <QRegularExpression>

#include "creature/effect.h"
#include "foundation/global.h"
#include "foundation/saturating.h"

namespace {

QString orDash(const QString& text)
{
    return text.isEmpty() ? QString("-") : text;
}

// "10 fire" stays on one line: a figure keeps the word after it.
QString figuresKeptWithTheirWords(QString text)
{
    static const QRegularExpression figureAndBlank("(\\d) ");
    return text.replace(figureAndBlank, QString("\\1") + QChar(QChar::Nbsp));
}

}

QString Creature::getAdjText(int n)
{
    return n >= 1 ? QString("+%1").arg(n) : QString::number(n);
}

QString Creature::getBonusText(int n)
{
    if (n == UnknownValue)
        return "-";
    return n < 0 ? QString::number(n) : QString("+%1").arg(n);
}

QString Creature::getColorAdjAdjText(int value, int adjustment)
{
    if (adjustment == 0)
        return QString::number(value);
    return colored(changeColour(adjustment), getAdjText(Saturating::sum(value, adjustment)));
}

QString Creature::getColorAttrAdjText(int value, int adjustment, bool combined)
{
    if (value == UnknownValue)
        return "-";
    if (adjustment == 0)
        return QString::number(value);
    const QColor colour = changeColour(adjustment);
    QString adjustmentText = colored(colour, getAdjText(adjustment));
    // A value of 0 stands for a missing base value.
    if (value == 0)
        return adjustmentText;
    if (combined)
        return colored(colour, QString::number(Saturating::sum(value, adjustment)));
    return QString::number(value) + adjustmentText;
}

QString Creature::getAbilityText(const char* label, int score, int modifier, int level)
{
    if (score < 1 || score == UnknownValue)
        return labelled(label, "-");
    if (modifier == UnknownModifier)
        modifier = getAttributeAdj(score, level);
    return labelled(label, bracketed(QString::number(score), getAdjText(modifier)));
}

QString Creature::abilityText(Ability ability) const
{
    static const char* const labels[AbilityCount] = {"Str", "Dex", "Wis", "Con", "Int", "Cha"};
    const AbilityScore& shown = stats.abilities[ability];
    return getAbilityText(labels[ability], shown.score, shown.modifier, stats.level);
}

QString Creature::getDefenses(bool compact) const
{
    AttrAdj adj;
    getAttributeAdjustment(adj);
    const QString armorClass = getColorAttrAdjText(stats.armorClass, adj.armorClass, compact);
    const QString fortitude = getColorAttrAdjText(stats.fortitude, adj.fortitude, compact);
    const QString reflex = getColorAttrAdjText(stats.reflex, adj.reflex, compact);
    const QString will = getColorAttrAdjText(stats.will, adj.will, compact);
    if (compact)
        return tr("<b>AC</b>%1 <b>F</b>%2 <b>R</b>%3 <b>W</b>%4").arg(armorClass, fortitude, reflex, will);
    return QStringList{labelled(tr("AC"), armorClass), labelled(tr("Fort"), fortitude),
                       labelled(tr("Reflex"), reflex), labelled(tr("Will"), will)}
            .join("; ");
}

QString Creature::getTypeRace() const
{
    if (stats.type.isEmpty() || stats.race.isEmpty())
        return stats.type + stats.race;
    return QString("%1 (%2)").arg(stats.type, stats.race);
}

QString Creature::getLevelRaceClass() const
{
    if (stats.monster)
        return QString();
    QStringList words;
    if (stats.level != 0)
        words.append(tr("Level %1").arg(stats.level));
    if (!stats.race.isEmpty())
        words.append(stats.race);
    if (!stats.creatureClass.isEmpty())
        words.append(stats.creatureClass);
    return words.join(" ");
}

QString Creature::getLevelClassRole() const
{
    // Heroes are described by their class, monsters by their role.
    const QString& what = stats.monster ? stats.role : stats.creatureClass;
    QString text = what;
    if (stats.level != 0)
        text = what.isEmpty() ? tr("Level %1").arg(stats.level)
                              : tr("Level %1 %2").arg(QString::number(stats.level), what);
    if (stats.monster && stats.xp != 0) {
        if (!text.isEmpty())
            text += " ";
        text += tr("XP %1").arg(stats.xp);
    }
    return text;
}

QString Creature::getSkills() const
{
    return stats.skills.isEmpty() ? QString() : labelled(tr("Skills"), stats.skills.toHtmlEscaped());
}

QString Creature::getDetection() const
{
    return stats.detect.isEmpty() ? QString() : labelled(tr("Detect"), stats.detect.toHtmlEscaped());
}

QString Creature::getDescription() const
{
    return stats.description.isEmpty() ? QString() : labelled(tr("Description"), stats.description.toHtmlEscaped());
}

QString Creature::getEquipment() const
{
    return stats.equipment.isEmpty() ? QString() : labelled(tr("Equipment"), stats.equipment.toHtmlEscaped());
}

QString Creature::getLanguagesText() const
{
    return labelled(tr("Languages"), orDash(stats.languages.toHtmlEscaped()));
}

QString Creature::getAlignmentText() const
{
    return labelled(tr("Alignment"), orDash(stats.alignment.toHtmlEscaped()));
}

QString Creature::getSensesAndInsight() const
{
    if (stats.insight == UnknownValue)
        return stats.senses.toHtmlEscaped();
    QString insightText = labelled(tr("Insight"), getBonusText(stats.insight));
    return stats.senses.isEmpty() ? insightText : stats.senses.toHtmlEscaped() + "; " + insightText;
}

QString Creature::getSensesLine() const
{
    QStringList parts(labelled(tr("Perception"), getPerceptionBonusText()));
    if (!stats.senses.isEmpty())
        parts.append(Global::unCapitalize(stats.senses).toHtmlEscaped());
    if (stats.insight != UnknownValue)
        parts.append(labelled(tr("Insight"), getBonusText(stats.insight)));
    return parts.join("; ");
}

QString Creature::getResistances(bool withRegeneration, bool withEffects) const
{
    QString resistText = stats.resist.toHtmlEscaped();
    QString vulnerableText = stats.vulnerable.toHtmlEscaped();
    if (withEffects) {
        for (const Effect* effect : effects) {
            bool resists = effect->getEffectType() == CE::Resistance;
            if (!resists && effect->getEffectType() != CE::Vulnerability)
                continue;
            QString comment = effect->getEffectComment();
            QString text = QString::number(effect->getEffectAmount());
            if (comment.isEmpty())
                text += resists ? tr(" unknown") : tr(" all damage");
            else
                text += QString(" %1").arg(comment.toHtmlEscaped());
            QString& target = resists ? resistText : vulnerableText;
            if (!target.isEmpty())
                target += ", ";
            target += text;
        }
    }
    QStringList parts;
    auto add = [&parts](const QString& label, const QString& text) {
        if (!text.isEmpty())
            parts.append(labelled(label, figuresKeptWithTheirWords(text)));
    };
    add(tr("Immune"), stats.immune.toHtmlEscaped());
    add(tr("Resist"), resistText);
    add(tr("Vulnerable"), vulnerableText);
    if (withRegeneration)
        add(tr("Regeneration"), stats.regeneration.toHtmlEscaped());
    return parts.join("; ");
}

QString Creature::getSavingAndAction(bool storedValuesOnly) const
{
    QStringList parts;
    QString saves = getSavingThrows(storedValuesOnly, nullptr, nullptr);
    if (!saves.isEmpty())
        parts.append(saves);
    if (stats.initActionPoints != 0)
        parts.append(labelled(tr("Action Points"), getActionPointsValue(storedValuesOnly)));
    if (!stats.monster)
        parts.append(secondWindUsed ? tr("<s>SW</s>") : tr("<b>SW</b>"));
    return parts.join("; ");
}

QString Creature::getActions(bool storedValuesOnly) const
{
    QString text = labelled(tr("Speed"), orDash(stats.speed.toHtmlEscaped())) + "; " + getInitiative(storedValuesOnly, 2);
    if (stats.initActionPoints != 0)
        text += "; " + labelled(tr("AP"), getActionPointsValue(storedValuesOnly));
    return text;
}

bool Creature::useCompactDisplay(Power::When section) const
{
    // Heroes' sections start compact, monsters' expanded.
    return compactSections.value(section, !stats.monster);
}

bool Creature::useCompactDisplay(const CreaturePower* power) const
{
    return useCompactDisplay(Power::When(power->current.when));
}

bool Creature::toggleSectionCompaction(Power::When section)
{
    bool compact = !useCompactDisplay(section);
    compactSections[section] = compact;
    // Every display of the creature draws the section anew.
    updated();
    return compact;
}
