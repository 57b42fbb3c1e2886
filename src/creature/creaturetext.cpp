#include "creature/creature.h"

#include "creature/effect.h"
#include "encounter/encounter.h"
#include "foundation/global.h"
#include "foundation/saturating.h"
#include "foundation/textcolours.h"

QString Creature::labelled(const QString& label, const QString& value)
{
    return QString("<b>%1%2</b>%3").arg(label, QChar(QChar::Nbsp), value);
}

QString Creature::bracketed(const QString& figure, const QString& bracket)
{
    return QString("%1%2(%3)").arg(figure, QChar(QChar::Nbsp), bracket);
}

QString Creature::colored(const QColor& colour, const QString& text)
{
    return QString("<font color=%1>%2</font>").arg(colour.name(), text);
}

QColor Creature::changeColour(int change)
{
    return change > 0 ? TextColours::blue() : TextColours::red();
}

bool Creature::isEncounterRunning()
{
    return Global::encounter && Global::encounter->isRunning();
}

QString Creature::getDisplayName(bool useAlias) const
{
    if (useAlias && showAlias)
        return QString("\"%1\"").arg(alias);
    return getNameGroup();
}

QString Creature::getNameList(const QList<Creature*>& creatures, bool useAlias)
{
    QStringList names;
    for (Creature* creature : creatures)
        if (!useAlias || !creature->isHidden())
            names.append(creature->getDisplayName(useAlias));
    return names.join(", ");
}

QString Creature::getOriginPrefix(Creature* origin, bool forPlayers)
{
    if (!origin || (forPlayers && origin->isHidden()))
        return QString();
    return origin->getDisplayName(forPlayers) + " -> ";
}

QString Creature::getInitativeListName() const
{
    if (stats.monster)
        return QString("%1 (%2)").arg(showAlias ? alias : stats.group, stats.name);
    return showAlias ? alias : stats.name;
}

// Missing, dead or dying; a null string for a creature that is none of them.
QString Creature::getConditionText(bool richText, bool withoutPending) const
{
    auto bold = [richText](const QString& text) { return richText ? QString("<b>%1</b>").arg(text) : text; };
    if (stats.missing)
        return bold(tr("Missing"));
    if (isDead(withoutPending))
        return bold(stats.trap ? tr("Disabled") : tr("Dead"));
    if (isDying())
        return (stabilized ? tr("Stabilized %1/3") : tr("Dying %1/3")).arg(failedDeathSavingThrows);
    return QString();
}

QString Creature::getShortStateText() const
{
    return getConditionText(false, false);
}

QString Creature::getStateText(bool richText, bool withAdjustments, bool quietWhenMissing, bool withoutPending) const
{
    if (stats.missing && quietWhenMissing)
        return QString();
    QString condition = getConditionText(richText, withoutPending);
    if (!condition.isNull())
        return condition;

    QStringList parts;
    if (delayed)
        parts.append(tr("Delayed"));
    if (ready)
        parts.append(tr("Readied"));
    if (hidden)
        parts.append(tr("Hidden"));
    if (isBloodied())
        parts.append(richText ? colored(TextColours::red(), tr("Bloodied")) : tr("Bloodied"));
    if (withAdjustments) {
        AttrAdj adj;
        getAttributeAdjustment(adj);
        auto addSum = [&](const QString& label, int sum) {
            if (sum == 0)
                return;
            parts.append(richText ? labelled(label, getColorAttrAdjText(0, sum, true))
                                  : QString("%1 %2").arg(label, getAdjText(sum)));
        };
        addSum(tr("To Hit"), adj.toHit);
        addSum(tr("Damage"), adj.damage);
        addSum(tr("Saving Throws"), adj.savingThrows);
    }
    return parts.join("; ");
}

QString Creature::getHPLevel() const
{
    int h = stats.monster ? qMax(hitPoints, 0) : hitPoints;
    if (tempHitPoints != 0)
        return QString("%1+%2/%3").arg(h).arg(tempHitPoints).arg(stats.maxHitPoints);
    if (h != stats.maxHitPoints)
        return QString("%1/%2").arg(h).arg(stats.maxHitPoints);
    if (stats.trap && stats.maxHitPoints < 2)
        return tr("Trap");
    if (stats.maxHitPoints == 1)
        return tr("Minion");
    return QString::number(stats.maxHitPoints);
}

QString Creature::getHealth(bool templateForm) const
{
    bool showTemplate = templateForm && stats.monster;
    bool withTemporary = tempHitPoints != 0 || tempHitPointDelta != 0;
    QString hp;
    if (showTemplate || (hitPointDelta == 0 && hitPoints >= stats.maxHitPoints && !withTemporary)) {
        hp = QString::number(stats.maxHitPoints);
    } else {
        if (hitPointDelta != 0)
            hp = getDeltaHP();
        else
            hp = isBloodied() ? colored(TextColours::red(), QString::number(hitPoints)) : QString::number(hitPoints);
        if (withTemporary)
            hp += "+" + getDeltaTempHP();
        hp += "/" + QString::number(stats.maxHitPoints);
    }
    QString text = labelled(tr("HP"), hp);

    if (!stats.trap && stats.maxHitPoints > 1)
        text += "; " + labelled(tr("Bloodied"), QString::number(getBloodiedValue()));

    if (stats.maxHealingSurges == 0)
        return text;
    QString surges;
    if (showTemplate)
        surges = QString::number(stats.maxHealingSurges);
    else if (healingSurges < stats.maxHealingSurges || healingSurgeDelta != 0)
        surges = QString("%1/%2").arg(getDeltaHS(), QString::number(stats.maxHealingSurges));
    else
        surges = getDeltaHS();
    if (stats.surgeValue != 0)
        surges = bracketed(surges, QString::number(stats.surgeValue));
    text += "; " + labelled(tr("HS"), surges);
    return text;
}

// The action points left, with those spent shown once some were used or a
// change is pending during the encounter.
QString Creature::getActionPointsValue(bool storedValuesOnly) const
{
    if (storedValuesOnly)
        return QString::number(stats.initActionPoints);
    if (isEncounterRunning() && (actionPointsUsed != 0 || actionPointDelta != 0))
        return QString("%1/%2").arg(getDeltaAP(), QString::number(Saturating::sum(actionPoints, actionPointsUsed)));
    return getDeltaAP();
}

QString Creature::getHealthForPlayers(bool showMonsterTally) const
{
    if (stats.monster) {
        if (!showMonsterTally)
            return QString();
        return tr("Damage %1").arg(damageTaken) + tr("; Heals %1").arg(healCount);
    }
    QString hp = getDeltaHP();
    if (tempHitPoints != 0 || tempHitPointDelta != 0)
        hp += "+" + getDeltaTempHP();
    QString text = labelled(tr("HP"), QString("%1/%2").arg(hp, QString::number(stats.maxHitPoints)));
    if (stats.maxHealingSurges != 0) {
        QString surges = healingSurges < stats.maxHealingSurges || healingSurgeDelta != 0
            ? QString("%1/%2").arg(getDeltaHS(), QString::number(stats.maxHealingSurges))
            : QString::number(stats.maxHealingSurges);
        text += "; " + labelled(tr("HS"), surges);
    }
    return text + "; " + labelled(tr("AP"), getActionPointsValue(false));
}

QString Creature::getInitiative(bool bonusOnly, int form) const
{
    bool column = unsigned(form) <= 1;
    QString bonus = getInitBonusText();
    QString value;
    if (bonusOnly || initRoll == 0 || !isEncounterRunning())
        value = bonus;
    else if (initRoll == UnknownValue)
        value = "-";
    else if (form == 0)
        value = QString::number(initRoll);
    else if (form == 1)
        value = QString("%1 (%2)").arg(QString::number(initRoll), bonus);
    else
        value = bracketed(bonus, QString::number(initRoll));
    return column ? value : labelled(tr("Initiative"), value);
}
