#include "creature/creature.h"

#include "library/characters.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "foundation/global.h"
#include "library/monsters.h"

int Creature::damageOrderCount = 0;
QString Creature::portraitDirectory;
QString Creature::characterImportDirectory;

void CreatureStats::init()
{
    linked = false;
    missing = false;
    monster = true;
    trap = false;
    level = xp = maxHitPoints = maxHealingSurges = surgeValue = 0;
    initBonus = UnknownValue;
    initActionPoints = 0;
    perception = insight = armorClass = fortitude = reflex = will = UnknownValue;
    for (AbilityScore& ability : abilities)
        ability = AbilityScore();
}

void CreatureStats::addPower(const CreaturePower& power, bool sorted)
{
    CreaturePower added = power;
    switch (added.current.when) {
    case Power::Flavour:
        addFlavor(added);
        return;
    case Power::Trap:
        added.current.type = 0;
        break;
    case Power::Unset:
        if (added.current.type == Power::Secondary && added.current.header.isEmpty()) {
            if (CreaturePower* previous = powers.lastAdded()) {
                previous->current.description.append(added.name);
                previous->current.description.append(added.current.description);
                previous->setBase();
                return;
            }
        }
        added.current.when = Power::Trait;
        break;
    default:
        break;
    }
    added.setBase();
    powers.addPower(added, sorted);
}

void CreatureStats::addFlavor(const CreaturePower& power)
{
    if (!flavorText.isEmpty())
        flavorText += "<br>";
    flavorText += "<i>" + power.name.toHtmlEscaped();
    if (!power.current.header.isEmpty())
        flavorText += " &bull; " + power.current.header;
    if (!power.name.isEmpty())
        flavorText += "<br>";
    flavorText += power.current.description.join(QString()) + "</i>";
}

// The members start as fresh stats and state: a creature no one holds yet tells no one.
Creature::Creature(QObject* parent) : QObject(parent) {}

void Creature::updated()
{
    emit Global::switchBoard.doCreatureUpdated(this);
    emit doCreatureUpdated(this);
}

void Creature::setStats(const CreatureStats& given)
{
    stats = given;
    stats.senses = Global::capitalize(given.senses);
    updated();
}

CreatureStats Creature::getStats() const
{
    return stats;
}

void Creature::copyStats(Creature* other)
{
    setStats(other->getStats());
}

void Creature::updateCount(bool oldValue, bool newValue, int CreatureCounts::*counter)
{
    if (counts && oldValue != newValue)
        counts->*counter += newValue ? 1 : -1;
}

void Creature::setNew(bool value)
{
    updateCount(isNewFlag, value, &CreatureCounts::newCount);
    isNewFlag = value;
}

void Creature::setDirty(bool value)
{
    updateCount(isDirtyFlag, value, &CreatureCounts::dirtyCount);
    isDirtyFlag = value;
}

void Creature::setDeleted(bool value)
{
    updateCount(isDeletedFlag, value, &CreatureCounts::deletedCount);
    isDeletedFlag = value;
}

void Creature::dirtyStateHasChanged()
{
    // A stand-in for a file that did not read has no saved state but the log's figures.
    if (stats.missing && Global::history && Global::history->isReplaying())
        beforeStatBlock = stats.statBlock;
    if (!isNewFlag)
        setDirty(stats.statBlock != beforeStatBlock);
    if (Global::encounter)
        Global::encounter->setCreatureEdited();
}

bool Creature::isBroken() const
{
    QString identity = stats.monster ? stats.group : stats.name;
    return identity.contains(tr("Invalid Stat Block")) || identity == fileName;
}

QString Creature::getNameGroup() const
{
    if (!stats.monster)
        return stats.name;
    if (stats.name.isEmpty())
        return stats.group;
    if (stats.group.isEmpty())
        return stats.name;
    return QString("%1 (%2)").arg(stats.group, stats.name);
}

bool Creature::getNameAndGroup(const QString& reference, QString& name, QString& group)
{
    if (reference.contains(" (") && reference.endsWith(")")) {
        QString inner = reference.left(reference.length() - 1);
        group = Global::lastLeft(inner, " (");
        name = Global::lastRight(inner, " (");
        return true;
    }
    name = reference;
    group = QString();
    return false;
}

int Creature::compareNames(const QString& a, const QString& b)
{
    auto split = [](const QString& text, QString& prefix) {
        int start = text.length();
        while (start > 1 && text[start - 1].isDigit())
            start--;
        prefix = text.left(start);
        return text.mid(start).toInt();
    };
    QString prefixA, prefixB;
    int numberA = split(a, prefixA);
    int numberB = split(b, prefixB);
    int byPrefix = prefixA.compare(prefixB, Qt::CaseInsensitive);
    return byPrefix != 0 ? byPrefix : numberA - numberB;
}

int Creature::compare(Creature* other) const
{
    int byGroup = stats.group.compare(other->stats.group, Qt::CaseInsensitive);
    return byGroup != 0 ? byGroup : compareNames(stats.name, other->stats.name);
}

void Creature::removeCreature(Creature* creature)
{
    if (creature->isHero())
        Global::characters->deleteCharacter(creature);
    else
        Global::monsters->deleteMonsterInstance(creature);
}

void Creature::changedPower()
{
    updated();
}

void Creature::updatePower(const QString& powerName, const CreaturePower& power)
{
    // Characters keep their powers in action order; monsters keep their file's order.
    stats.powers.updatePower(powerName, power, !stats.monster);
    statChanged();
}

void Creature::deletePower(const QString& powerName)
{
    stats.powers.deletePower(powerName);
    statChanged();
}

void Creature::setAbilityScore(Ability ability, int score)
{
    stats.abilities[ability].score = score;
    // The shown modifier is derived from the new score.
    stats.abilities[ability].modifier = UnknownModifier;
    statChanged();
}

void Creature::statChanged()
{
    stats.statBlock = generateStatBlock(false);
    updated();
}

void Creature::setLinked(bool value, bool quiet)
{
    stats.linked = value;
    if (!quiet)
        statChanged();
}

void Creature::resetStatBlock()
{
    statChanged();
}

void Creature::setName(const QString& text)
{
    stats.name = text;
    stats.statBlock = generateStatBlock(false);
    dirtyStateHasChanged();
    updated();
}

void Creature::setVitality(const CreatureVitality& vitality)
{
    stats.initBonus = vitality.initBonus;
    stats.maxHitPoints = vitality.maxHitPoints;
    hitPoints = vitality.hitPoints;
    stats.maxHealingSurges = vitality.maxHealingSurges;
    healingSurges = vitality.healingSurges;
    stats.surgeValue = vitality.surgeValue;
    stats.initActionPoints = vitality.initActionPoints;
    actionPoints = vitality.actionPoints;
    if (vitality.stabilized >= 0)
        stabilized = vitality.stabilized != 0;
    stats.statBlock = generateStatBlock(false);
    dirtyStateHasChanged();
    updated();
}
