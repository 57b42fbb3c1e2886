#include "creature/creature.h"

#include <QDir>

#include <algorithm>

#include "encounter/encounter.h"
#include "foundation/global.h"
#include "library/characters.h"
#include "foundation/uihooks.h"
#include "library/creatureparser.h"
#include "library/librarylist.h"
#include "library/monsterxmlhandler.h"
#include "library/monsters.h"
#include "library/statblockhandler.h"

namespace {

bool hasFigures(const CreatureStats& stats)
{
    const int counts[] = {stats.xp, stats.level, stats.maxHitPoints, stats.initActionPoints};
    const int bonuses[] = {stats.initBonus, stats.perception, stats.insight, stats.armorClass,
                           stats.fortitude, stats.reflex, stats.will};
    const auto given = [](int value) { return value != UnknownValue; };
    return std::any_of(std::begin(counts), std::end(counts), [](int value) { return value != 0; })
        || std::any_of(std::begin(bonuses), std::end(bonuses), given)
        || std::any_of(std::begin(stats.abilities), std::end(stats.abilities),
                       [&given](const AbilityScore& ability) { return given(ability.score); });
}

// Fields an import fills from the creature's present figures where the file
// gives none.
QString CreatureStats::* const textsKeptWhenEmpty[] = {
    &CreatureStats::creatureClass, &CreatureStats::race,        &CreatureStats::speed,
    &CreatureStats::senses,        &CreatureStats::resist,      &CreatureStats::immune,
    &CreatureStats::detect,        &CreatureStats::regeneration, &CreatureStats::vulnerable,
    &CreatureStats::savingThrows,  &CreatureStats::languages,   &CreatureStats::skills,
    &CreatureStats::equipment,     &CreatureStats::description, &CreatureStats::published,
    &CreatureStats::titleNote,     &CreatureStats::flavorText,
};
int CreatureStats::* const countsKeptWhenZero[] = {
    &CreatureStats::level,      &CreatureStats::xp,         &CreatureStats::maxHitPoints,
    &CreatureStats::maxHealingSurges, &CreatureStats::surgeValue, &CreatureStats::initActionPoints,
};
int CreatureStats::* const bonusesKeptWhenUnknown[] = {
    &CreatureStats::initBonus, &CreatureStats::perception, &CreatureStats::insight,
    &CreatureStats::armorClass, &CreatureStats::fortitude, &CreatureStats::reflex, &CreatureStats::will,
};

void mergeFigures(CreatureStats& taken, const CreatureStats& old, bool reimport, bool monsterFile)
{
    if (reimport && monsterFile && !old.name.isEmpty() && !old.name.startsWith(Creature::tr("New Character")))
        taken.name = old.name;
    for (QString CreatureStats::*text : textsKeptWhenEmpty)
        if ((taken.*text).isEmpty())
            taken.*text = old.*text;
    if (taken.role.isEmpty() || (reimport && monsterFile && !old.role.isEmpty()))
        taken.role = old.role;
    for (int CreatureStats::*count : countsKeptWhenZero)
        if (taken.*count == 0)
            taken.*count = old.*count;
    for (int CreatureStats::*bonus : bonusesKeptWhenUnknown)
        if (taken.*bonus == UnknownValue)
            taken.*bonus = old.*bonus;
    if (!old.alignment.isEmpty()
        && (taken.alignment.isEmpty() || taken.alignment == "Unaligned" || (reimport && monsterFile)))
        taken.alignment = old.alignment;
    for (int ability = 0; ability < AbilityCount; ability++)
        if (taken.abilities[ability].score == UnknownValue)
            taken.abilities[ability].score = old.abilities[ability].score;
}

// Edits of powers the file still has carry over, user powers stay, and
// stat-block powers the file no longer has go.
void mergePowers(CreatureStats& taken, CreatureStats old)
{
    for (CreaturePower* power : old.powers.getPowerList(false)) {
        if (CreaturePower* same = taken.powers.getPowerByName(power->name))
            same->applyChanges(power);
        else if (power->status == CreaturePower::UserPower)
            taken.powers.addPower(*power, true);
    }
}

// The record takes what the file gave only when the whole file was read.
template <typename Handler>
void readXml(bool monster, const QByteArray& data, CreatureStats& record, const QString& dataFolder,
             const char* rootName)
{
    Handler handler(monster, dataFolder, record);
    if (handler.parse(data, rootName))
        record = handler.getStats();
}

}

bool Creature::isPrintable(const QString& text)
{
    return std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isPrint(); });
}

bool Creature::isValid(const QString& text)
{
    return !text.isEmpty() && isPrintable(text) && text.length() <= 70;
}

bool Creature::validateStatBlock(CreatureStats& stats, bool monster, const QString& fallbackName)
{
    if (isValid(monster ? stats.group : stats.name) && hasFigures(stats))
        return true;
    CreatureStats replacement;
    replacement.monster = monster;
    (monster ? replacement.group : replacement.name) = fallbackName.isEmpty() ? tr("Invalid Stat Block") : fallbackName;
    replacement.statBlock = stats.statBlock;
    stats = replacement;
    return false;
}

void Creature::readCopyStatBlock(bool monster, CreatureStats& record, const QByteArray& text,
                                 const QString& dataFolder)
{
    int marker = text.indexOf("[Tallowmere]");
    QByteArray statBlock = marker < 0 ? text : text.left(marker).trimmed();
    QByteArray section = marker < 0 ? QByteArray() : text.mid(marker + int(strlen("[Tallowmere]")));
    CreatureParser(monster).parse(record, QString::fromUtf8(statBlock), dataFolder);
    for (CreaturePower* power : record.powers.getPowerList(false))
        power->setBase();
    if (!section.isEmpty())
        readAttributeBlock(monster, section, record, dataFolder, false);
}

Creature::ImportRead Creature::readImportFile(bool monster, const QString& importFile, CreatureStats& record,
                                              const QString& dataFolder, bool loadLinked)
{
    QByteArray text;
    if (!readCreatureFile(Global::getRootedPath(importFile, dataFolder), text))
        return ImportRead::Unreadable;
    return parseStatBlock(monster, text, record, dataFolder, importFile, loadLinked) ? ImportRead::Usable
                                                                                    : ImportRead::Unusable;
}

void Creature::readMonsterXml(bool monster, const QByteArray& data, CreatureStats& record, const QString& dataFolder)
{
    readXml<MonsterXmlHandler>(monster, data, record, dataFolder, "Monster");
}

void Creature::readCharacterXml(bool monster, const QByteArray& data, CreatureStats& record,
                                const QString& dataFolder)
{
    readXml<StatBlockHandler>(monster, data, record, dataFolder, "D20Character");
}

bool Creature::loadImportFile(bool monster, const QString& importFile, CreatureStats& record,
                              const QString& dataFolder, bool loadLinked)
{
    return readImportFile(monster, importFile, record, dataFolder, loadLinked) != ImportRead::Unreadable;
}

Creature::ImportResult Creature::importFromFile(const QString& importFile, bool reimport)
{
    const bool attributesOnly = reimport && isAttributes(stats.statBlock);
    CreatureStats taken;
    ImportRead read = readImportFile(stats.monster, importFile, taken, QString(), false);
    if (read == ImportRead::Unreadable)
        return ImportResult::NotFound;
    // A file that no longer reads as a stat block must not rename or strip
    // a creature that already has its figures.
    if (reimport && read == ImportRead::Unusable)
        return ImportResult::NotValid;
    const CreatureStats& old = stats;
    taken.portraitFile = old.portraitFile;
    taken.portrait = old.portrait;
    taken.linked = old.linked;
    taken.importFile = importFile;
    const bool monsterFile = formOf(taken.statBlock) == TextForm::MonsterXml;
    mergeFigures(taken, old, reimport, monsterFile);
    mergePowers(taken, old);
    if (taken.name != old.name && Global::characters) {
        const QString base = taken.name;
        for (int counter = 2; Global::characters->findCharacter(taken.name, this); counter++)
            taken.name = QString("%1 %2").arg(base).arg(counter);
    }
    setStats(taken);
    stats.statBlock = generateStatBlock(attributesOnly);
    dirtyStateHasChanged();
    return ImportResult::Imported;
}

QString Creature::uniqueName(const QString& base, bool monster, Monsters* monsters, Characters* characters) const
{
    return LibraryList::newName(
        base,
        [=](const QString& name) {
            Creature* found = monster ? (monsters ? monsters->findTemplate(name) : nullptr)
                                      : (characters ? characters->findCharacter(name) : nullptr);
            return found && found != this;
        },
        2);
}

void Creature::revertChanges()
{
    if (isNewFlag) {
        setNew(false);
        setDirty(false);
        return;
    }
    if (!isDirtyFlag)
        return;
    setDirty(false);
    CreatureStats record;
    parseStatBlock(stats.monster, beforeStatBlock, record, QString(), fileName, true);
    record.missing = stats.missing;
    QString& name = stats.monster ? record.group : record.name;
    name = uniqueName(name, stats.monster, Global::monsters, Global::characters);
    setStats(record);
    // Figures of a fight changed by hand, as an edit's do: the next command records them.
    if (Global::encounter)
        Global::encounter->setCreatureEdited();
}

QString Creature::getShortName(const QString& reference)
{
    QString name, group;
    if (getNameAndGroup(reference, name, group))
        return name;
    int blank = reference.indexOf(' ');
    return blank < 0 ? reference : reference.left(blank);
}

void Creature::setImportFile(const QString& file)
{
    stats.importFile = file;
    statChanged();
}

QString Creature::chosenFolder(const QString& file)
{
    return Global::addDirChar(QDir::toNativeSeparators(Global::lastLeft(QDir::fromNativeSeparators(file), "/")),
                              QDir::separator());
}

QString Creature::selectImportFile()
{
    if (characterImportDirectory.isEmpty())
        characterImportDirectory = Global::getRootPath(true);
    QString file = Global::ui().getOpenFileName(tr("Select Character Builder or Monster File"),
                                                characterImportDirectory, tr("Files (*.dnd4e *.monster)"));
    if (file.isEmpty())
        return QString();
    file = QDir::fromNativeSeparators(file);
    characterImportDirectory = chosenFolder(file);
    // With the separator: a sibling folder whose name only begins like the
    // data folder's is outside it.
    const QString dataFolder = Global::addDirChar(QDir::fromNativeSeparators(Global::getRootPath(false)), '/');
    if (file.startsWith(dataFolder))
        file = file.mid(dataFolder.length());
    if (file.startsWith("Characters/")) {
        Global::alert(tr("Already Imported"),
                      tr("The file '%1' has already been imported.").arg(Global::lastRight(file, "/")));
        return QString();
    }
    return file;
}
