#include "creature.h"

#include "characters.h"
#include "encounter.h"
#include "global.h"
#include "monsters.h"

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
        return;
    case Power::Trap:
        added.current.type = 0;
        break;
    case Power::Unset:
        if (added.current.type == Power::Secondary && added.current.header.isEmpty()) {
            if (CreaturePower* previous = powers.getPower(lastPowerIndex)) {
                previous->current.description.append(added.name);
                previous->current.description.append(added.current.description);
                return;
            }
        }
        added.current.when = Power::Trait;
        break;
    default:
        break;
    }
    lastPowerIndex = powers.addPower(added, sorted);
}

Creature::Creature(QObject* parent) : QObject(parent)
{
    setStats(CreatureStats());
    setState(CreatureState());
    connect(this, &Creature::doCreatureEffectsChanged, &Global::switchBoard, &SwitchBoard::doCreatureEffectsChanged);
    connect(this, &Creature::doCreatureUpdated, &Global::switchBoard, &SwitchBoard::doCreatureUpdated);
}

void Creature::setStats(const CreatureStats& stats)
{
    portraitFile = stats.portraitFile;
    portrait = stats.portrait;
    importFile = stats.importFile;
    linked = stats.linked;
    missing = stats.missing;
    name = stats.name;
    monster = stats.monster;
    trap = stats.trap;
    creatureClass = stats.creatureClass;
    group = stats.group;
    type = stats.type;
    race = stats.race;
    role = stats.role;
    level = stats.level;
    xp = stats.xp;
    maxHitPoints = stats.maxHitPoints;
    maxHealingSurges = stats.maxHealingSurges;
    surgeValue = stats.surgeValue;
    initBonus = stats.initBonus;
    speed = stats.speed;
    initActionPoints = stats.initActionPoints;
    senses = Global::capitalize(stats.senses);
    perception = stats.perception;
    insight = stats.insight;
    armorClass = stats.armorClass;
    fortitude = stats.fortitude;
    reflex = stats.reflex;
    will = stats.will;
    statBlock = stats.statBlock;
    resist = stats.resist;
    immune = stats.immune;
    detect = stats.detect;
    regeneration = stats.regeneration;
    vulnerable = stats.vulnerable;
    savingThrows = stats.savingThrows;
    alignment = stats.alignment;
    languages = stats.languages;
    skills = stats.skills;
    equipment = stats.equipment;
    description = stats.description;
    published = stats.published;
    std::copy(std::begin(stats.abilities), std::end(stats.abilities), std::begin(abilities));
    powers = stats.powers;
    updated();
}

CreatureStats Creature::getStats() const
{
    CreatureStats stats;
    stats.statBlock = statBlock;
    stats.portraitFile = portraitFile;
    stats.portrait = portrait;
    stats.importFile = importFile;
    stats.linked = linked;
    stats.missing = missing;
    stats.name = name;
    stats.monster = monster;
    stats.trap = trap;
    stats.creatureClass = creatureClass;
    stats.group = group;
    stats.type = type;
    stats.race = race;
    stats.role = role;
    stats.level = level;
    stats.xp = xp;
    stats.maxHitPoints = maxHitPoints;
    stats.maxHealingSurges = maxHealingSurges;
    stats.surgeValue = surgeValue;
    stats.initBonus = initBonus;
    stats.speed = speed;
    stats.initActionPoints = initActionPoints;
    stats.senses = senses;
    stats.perception = perception;
    stats.insight = insight;
    stats.armorClass = armorClass;
    stats.fortitude = fortitude;
    stats.reflex = reflex;
    stats.will = will;
    stats.resist = resist;
    stats.immune = immune;
    stats.detect = detect;
    stats.regeneration = regeneration;
    stats.vulnerable = vulnerable;
    stats.savingThrows = savingThrows;
    stats.alignment = alignment;
    stats.languages = languages;
    stats.skills = skills;
    stats.equipment = equipment;
    stats.description = description;
    stats.published = published;
    std::copy(std::begin(abilities), std::end(abilities), std::begin(stats.abilities));
    stats.powers = powers;
    return stats;
}

void Creature::copyStats(Creature* other)
{
    setStats(other->getStats());
}

void Creature::setupDummyHero(const QString& heroName)
{
    monster = false;
    trap = false;
    name = heroName;
    level = 1;
    initActionPoints = 1;
    statBlock = generateStatBlock(false);
    beforeStatBlock = statBlock;
}

void Creature::setupDummyMonster(const QString& templateName)
{
    monster = true;
    trap = false;
    group = templateName;
}

QString Creature::generateStatBlock(bool) const
{
    // The attribute section is written anew once creature files exist.
    return statBlock;
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
    if (!isNewFlag)
        setDirty(statBlock != beforeStatBlock);
    if (Global::encounter)
        Global::encounter->setCreatureEdited();
}

bool Creature::isBroken() const
{
    QString identity = monster ? group : name;
    return identity.contains(tr("Invalid Stat Block")) || identity == fileName;
}

QString Creature::getNameGroup() const
{
    if (!monster)
        return name;
    if (name.isEmpty())
        return group;
    if (group.isEmpty())
        return name;
    return QString("%1 (%2)").arg(group, name);
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
    int byGroup = group.compare(other->group, Qt::CaseInsensitive);
    return byGroup != 0 ? byGroup : compareNames(name, other->name);
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
    powers.updatePower(powerName, power, !monster);
    statChanged();
}

void Creature::deletePower(const QString& powerName)
{
    powers.deletePower(powerName);
    statChanged();
}

void Creature::setAbilityScore(Ability ability, int score)
{
    abilities[ability].score = score;
    // The shown modifier is derived from the new score.
    abilities[ability].modifier = UnknownModifier;
    statChanged();
}

void Creature::statChanged()
{
    statBlock = generateStatBlock(false);
    updated();
}

void Creature::setLinked(bool value, bool quiet)
{
    linked = value;
    if (!quiet)
        statChanged();
}

void Creature::resetStatBlock()
{
    statChanged();
}

void Creature::setName(const QString& text)
{
    name = text;
    statBlock = generateStatBlock(false);
    dirtyStateHasChanged();
    updated();
}

void Creature::setVitality(const CreatureVitality& vitality)
{
    initBonus = vitality.initBonus;
    maxHitPoints = vitality.maxHitPoints;
    hitPoints = vitality.hitPoints;
    maxHealingSurges = vitality.maxHealingSurges;
    healingSurges = vitality.healingSurges;
    surgeValue = vitality.surgeValue;
    initActionPoints = vitality.initActionPoints;
    actionPoints = vitality.actionPoints;
    statBlock = generateStatBlock(false);
    dirtyStateHasChanged();
    updated();
}
