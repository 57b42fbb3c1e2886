#include "library/statblockhandler.h"

#include <QFileInfo>
#include <QHash>
#include <QImageReader>

namespace {

// Portraits are pictures of a few hundred pixels; the file may name
// anything, and only an image of a sensible size is copied.
const qint64 maxPortraitFileSize = 16 * 1024 * 1024;

bool isPortraitImage(const QString& path)
{
    QFileInfo info(path);
    return info.isFile() && info.size() <= maxPortraitFileSize && QImageReader(path).canRead();
}

StatBlockHandler::ElementType elementTypeOf(const QString& name)
{
    static const QHash<QString, StatBlockHandler::ElementType> names = {
        {"Flavor", StatBlockHandler::Flavor},
        {"Power Usage", StatBlockHandler::PowerUsage},
        {"Display", StatBlockHandler::Display},
        {"Keywords", StatBlockHandler::Keywords},
        {"Action Type", StatBlockHandler::ActionType},
        {"Attack Type", StatBlockHandler::AttackType},
        {"Target", StatBlockHandler::Target},
        {"Attack", StatBlockHandler::Attack},
        {"Hit", StatBlockHandler::Hit},
        {"Miss", StatBlockHandler::Miss},
        {"Effect", StatBlockHandler::Effect},
        {"Special", StatBlockHandler::Special},
        {"Trigger", StatBlockHandler::Trigger},
        {"Requirement", StatBlockHandler::Requirement},
        {"Power Type", StatBlockHandler::PowerType},
        {"Secondary Target", StatBlockHandler::SecondaryTarget},
        {"Secondary Attack", StatBlockHandler::SecondaryAttack},
    };
    if (name.contains("Level 21"))
        return StatBlockHandler::Level21;
    return names.value(name, StatBlockHandler::None);
}

}

StatBlockHandler::StatBlockHandler(bool monster, const QString& rootPath, const CreatureStats& stats)
    : monster(monster), rootPath(rootPath), stats(stats)
{
}

void StatBlockHandler::start()
{
    stats.surgeValue = 0;
}

bool StatBlockHandler::xmlElement(const QString& path, const QString& value)
{
    const auto ends = [&path](const char* suffix) { return path.endsWith(QLatin1String(suffix)); };
    // By the attribute's name, or none for an element's text: a character
    // file holds thousands of values that none of these reads.
    const QStringView last = QStringView(path).mid(path.lastIndexOf(QLatin1Char('/')) + 1);
    if (last.isEmpty()) {
        if (ends("CharacterSheet/Tallowmere/"))
            sectionText = value;
        else if (ends("Details/name/"))
            stats.name = value.trimmed();
        else if (ends("Details/Level/"))
            stats.level = value.toInt();
        else if (ends("Details/Experience/"))
            stats.xp = value.toInt();
        else if (ends("Details/Portrait/"))
            portrait(value);
        else if (ends("/PowerStats/Power/specific/"))
            specificText(value);
    } else if (last == QLatin1String("name")) {
        if (ends("RulesElement/name"))
            rulesName = value.trimmed();
        else if (ends("StatBlock/Stat/alias/name"))
            statistic(value);
        else if (ends("/PowerStats/Power/name"))
            beginPower(value);
        else if (ends("/PowerStats/Power/specific/name"))
            elementType = power.name.isEmpty() ? None : elementTypeOf(value);
    } else if (last == QLatin1String("value")) {
        if (ends("StatBlock/Stat/value"))
            statValue = value;
    } else if (last == QLatin1String("type")) {
        if (ends("/RulesElement/type"))
            rulesElement(value);
    } else if (last == QLatin1String("#end")) {
        if (ends("/PowerStats/Power/#end"))
            powerDone();
    }
    return true;
}

void StatBlockHandler::portrait(const QString& value)
{
    QString path = value.trimmed();
    if (path.startsWith("file://"))
        path = path.mid(int(strlen("file://")));
    if (!isPortraitImage(path))
        return;
    const QString name = Creature::grabPortraitFile(path, rootPath);
    if (!name.isEmpty()) {
        stats.portraitFile = name;
        stats.portrait = Creature::loadPortrait(name, rootPath);
    }
}

void StatBlockHandler::statistic(const QString& alias)
{
    static const QHash<QString, int CreatureStats::*> numbers = {
        {"AC", &CreatureStats::armorClass},
        {"Fortitude Defense", &CreatureStats::fortitude},
        {"Reflex Defense", &CreatureStats::reflex},
        {"Will Defense", &CreatureStats::will},
        {"Hit Points", &CreatureStats::maxHitPoints},
        {"Healing Surges", &CreatureStats::maxHealingSurges},
        {"Initiative", &CreatureStats::initBonus},
        {"_BaseActionPoints", &CreatureStats::initActionPoints},
        {"Healing Surge Value", &CreatureStats::surgeValue},
        {"Perception", &CreatureStats::perception},
        {"Insight", &CreatureStats::insight},
    };
    static const QHash<QString, Ability> abilities = {
        {"Strength", Strength},         {"Constitution", Constitution}, {"Dexterity", Dexterity},
        {"Intelligence", Intelligence}, {"Wisdom", Wisdom},             {"Charisma", Charisma},
    };
    if (numbers.contains(alias)) {
        stats.*numbers.value(alias) = statValue.toInt();
    } else if (alias == "Speed") {
        stats.speed = statValue;
    } else if (alias == "Vision") {
        stats.senses = statValue;
    } else if (abilities.contains(alias)) {
        AbilityScore& ability = stats.abilities[abilities.value(alias)];
        ability.score = statValue.toInt();
        ability.modifier = UnknownModifier;
    }
}

void StatBlockHandler::rulesElement(const QString& type)
{
    if (type == "Class")
        stats.creatureClass = rulesName;
    else if (type == "Role")
        stats.role = rulesName;
    else if (type == "Race")
        stats.race = rulesName;
    else if (type == "Paragon Path")
        paragonPath = rulesName;
    else if (type == "Epic Destiny")
        epicDestiny = rulesName;
    else if (type == "Alignment")
        stats.alignment = rulesName;
    else if (type == "Language" && !stats.languages.contains(rulesName))
        addWords(stats.languages, rulesName, ", ", false);
}

void StatBlockHandler::beginPower(const QString& name)
{
    powerDone();
    if (const CreaturePower* held = stats.powers.getPowerByName(name.trimmed())) {
        power = *held;
        power.status = CreaturePower::FromStatBlock;
    } else {
        power = CreaturePower();
        power.name = name.trimmed();
    }
    basic = false;
    elementType = None;
    elements.clear();
}

void StatBlockHandler::specificText(const QString& text)
{
    if (elementType == None)
        return;
    PowerData& data = power.current;
    int key = elementType;
    switch (elementType) {
    case PowerUsage:
        if (data.cost == Power::NoCost)
            data.cost = text.contains("Daily")       ? Power::Daily
                      : text.contains("Encounter") ? Power::OncePerEncounter
                      : text.contains("At-Will")   ? Power::AtWill
                                                   : Power::NoCost;
        break;
    case Display:
        basic = basic || text.contains("Basic", Qt::CaseInsensitive);
        break;
    case ActionType:
        data.when = firstWordKind(text,
                                  {{"Standard", Power::Standard}, {"Minor", Power::Minor}, {"Move", Power::Move},
                                   {"Free", Power::Free}, {"Opportunity", Power::Triggered},
                                   {"Immediate", Power::Triggered}, {"No Action", Power::Free}},
                                  Power::Trait);
        break;
    case AttackType:
        data.type = firstWordKind(text,
                                  {{"melee or ranged", Power::MeleeOrRanged}, {"melee", Power::Melee},
                                   {"ranged", Power::Ranged}, {"personal", Power::NoType}, {"close", Power::Close},
                                   {"area", Power::Area}, {"weapon", Power::Weapon}},
                                  data.type);
        break;
    case Target: {
        ApplyToRecord& hit = data.applyTo[Power::Hit];
        if (hit.from == Power::UnsetCount) {
            hit.from = 1;
            hit.to = firstWordKind(text,
                                   {{"five", 5}, {"four", 4}, {"three", 3}, {"two", 2}, {"one", 1},
                                    {"Each", Power::AnyNumber}, {"The", 1}},
                                   Power::UnsetCount);
        }
        if (hit.kind == Power::ApplyUnset)
            hit.kind = firstWordKind(text,
                                     {{"you and one willing ally", Power::AllyAndSelf},
                                      {"you and one ally", Power::AllyAndSelf}, {"ally", Power::Ally},
                                      {"allies", Power::Ally}, {"creature", Power::AnyCreature},
                                      {"enemy", Power::Enemy}},
                                     Power::ApplyUnset);
        break;
    }
    case Hit:
    case Miss:
    case Effect:
    case Special:
        if (elements.contains(SecondaryTarget) || elements.contains(SecondaryAttack))
            key = elementType == Hit ? SecondHit : elementType == Miss ? SecondMiss
                : elementType == Effect ? SecondEffect : SecondSpecial;
        break;
    default:
        break;
    }
    // Kept as markup: every text goes into a header, flavour or description line.
    elements[key] = text.trimmed().toHtmlEscaped();
}

void StatBlockHandler::addElement(const QString& label, ElementType type)
{
    if (!elements.contains(type))
        return;
    power.current.description << (label.isEmpty() ? getElement(type)
                                                   : QString("<i>%1:</i> %2").arg(label, getElement(type)));
}

void StatBlockHandler::addWords(QString& text, const QString& word, const QString& separator, bool parenthesise)
{
    if (word.isEmpty())
        return;
    if (!text.isEmpty())
        text += separator;
    text += parenthesise ? QString("(%1)").arg(word) : word;
}

void StatBlockHandler::powerDone()
{
    if (power.name.isEmpty())
        return;
    PowerData& data = power.current;
    power.setHeader(getElement(Keywords), getElement(PowerUsage));
    if (basic && data.type % 2 == 0)
        power.flipType();
    QString label = data.when == Power::Triggered ? getElement(ActionType) : QString();
    data.flavor = getElement(Flavor);
    data.description.clear();
    addElement("Requirement", Requirement);
    addElement("Trigger", Trigger);
    // The action of a triggered power shows once, after the first label.
    const auto labelledLine = [this, &label](const char* name, const QString& text) {
        QString line = QString("<i>") + name;
        addWords(line, label, " ", true);
        addWords(line, text, ":</i> ", false);
        power.current.description << line;
        label.clear();
    };
    QString attack = getElement(AttackType);
    addWords(attack, getElement(Target), " ", true);
    addWords(attack, getElement(Attack), "; ", false);
    if (!attack.isEmpty())
        labelledLine("Attack", attack);
    if (elements.contains(Hit))
        addWords(elements[Hit], getElement(Level21), " Level 21: ", false);
    else
        addElement("Level 21", Level21);
    addElement("Hit", Hit);
    addElement("Miss", Miss);
    if (!getElement(Effect).isEmpty())
        labelledLine("Effect", getElement(Effect));
    addElement("Special", Special);
    if (elements.contains(SecondaryAttack)) {
        QString secondary;
        addWords(secondary, getElement(SecondaryTarget), " ", true);
        addWords(secondary, getElement(SecondaryAttack), "; ", false);
        data.description << QString("<i>Secondary Attack:</i> %1").arg(secondary);
    } else {
        addElement("Secondary Target", SecondaryTarget);
    }
    addElement("Hit", SecondHit);
    addElement("Miss", SecondMiss);
    addElement("Effect", SecondEffect);
    addElement("Special", SecondSpecial);
    stats.powers.updatePower(power.name, power, !monster);
    power.name.clear();
}

void StatBlockHandler::end()
{
    if (!paragonPath.isEmpty())
        stats.creatureClass = paragonPath;
    if (!epicDestiny.isEmpty())
        stats.creatureClass = epicDestiny;
    stats.surgeValue += stats.maxHitPoints / 4;
    powerDone();
    for (int i = 0; i < stats.powers.size(); i++)
        stats.powers.getPower(i)->setBase();
    if (!sectionText.isEmpty())
        Creature::readAttributeBlock(monster, sectionText.toUtf8(), stats, rootPath, false);
}
