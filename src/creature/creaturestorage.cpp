#include "creature/creature.h"

#include "encounter/history.h"
#include "foundation/global.h"

namespace {

// What file systems allow for one name, in bytes.
const int maxFileNameBytes = 255;

QString fileNameBase(const QString& name, bool monster)
{
    QString base;
    for (char32_t c : name.toLower().toUcs4()) {
        if ((c >= 1 && c <= 31) || QChar::isSpace(c))
            base += '-';
        else if (QChar::isLetterOrNumber(c))
            base += QString::fromUcs4(&c, 1);
    }
    // The loader skips names that are empty before the dot or start with "template".
    if (base.isEmpty())
        return monster ? "monster" : "character";
    return base.startsWith("template") ? "my-" + base : base;
}

// Why a file of a library folder is not read: a read failure, or no text
// at all. Empty for a file read, and for what is no file.
QString unreadable(const QString& path, QByteArray& text)
{
    QString failure;
    if (Creature::readCreatureFile(path, text, &failure) && text.isEmpty())
        failure = Creature::tr("The file is empty");
    return failure;
}

// The base cut, by whole characters, so that it fits with the rest.
QString fitted(QString base, const QString& rest)
{
    const int room = maxFileNameBytes - int(rest.toUtf8().size());
    while (base.toUtf8().size() > room) {
        base.chop(1);
        if (!base.isEmpty() && base.back().isHighSurrogate())
            base.chop(1);
    }
    return base;
}

}

QString Creature::makeFileName(QString* unreadableName) const
{
    QString extension = isCharacterXML(stats.statBlock) ? "dnd4e" : isMonsterXML(stats.statBlock) ? "monster" : "rvhn";
    QString base = fileNameBase(stats.monster ? stats.group : stats.name, stats.monster);
    for (int counter = 0;; counter++) {
        QString rest = (counter ? QString("_%1").arg(counter) : QString()) + "." + extension;
        QString candidate = fitted(base, rest) + rest;
        const QString path = Global::getCreaturePath(candidate, stats.monster);
        if (Global::isFree(path))
            return candidate;
        if (!unreadableName || !unreadableName->isEmpty())
            continue;
        QByteArray text;
        if (const QString failure = unreadable(path, text); !failure.isEmpty())
            *unreadableName = tr("'%1' could not be read (%2): saved beside it, this creature would show twice "
                                 "once it reads")
                                  .arg(candidate, failure);
    }
}

bool Creature::standsInForUnreadableFile() const
{
    // Made by the log, neither read from a file nor new; an edit of its text may have cleared its missing mark.
    if (isNewFlag || !fileName.isEmpty())
        return false;
    QString unreadableName;
    makeFileName(&unreadableName);
    return !unreadableName.isEmpty();
}

Creature::FileContents Creature::readFile(const QString& name, bool monster, const QString& dataFolder)
{
    FileContents contents;
    if (name.startsWith(".") || name.startsWith("template", Qt::CaseInsensitive))
        return contents;
    QByteArray text;
    contents.failure = unreadable(Global::getCreaturePath(name, monster, dataFolder), text);
    if (text.isEmpty())
        return contents;
    contents.read = true;
    contents.usable = parseStatBlock(monster, text, contents.record, dataFolder, name, true);
    if (contents.usable)
        contents.statBlock = rebuilt(contents.record, contents.record.statBlock, false, {});
    return contents;
}

void Creature::takeFile(FileContents&& contents, const QString& name)
{
    stats = std::move(contents.record);
    stats.senses = Global::capitalize(stats.senses);
    // A file that does not read keeps its text as it is, for the user to mend.
    if (contents.usable)
        stats.statBlock = (lastRebuilt = std::move(contents.statBlock)).result;
    beforeStatBlock = stats.statBlock;
    fileName = name;
    restFigures(false, false);
    setBeforeVitality(getVitality());
    beforeName = stats.name;
}

std::unique_ptr<Creature> Creature::fromFile(FileContents contents, const QString& name, QThread* home)
{
    if (!contents.read)
        return nullptr;
    auto creature = std::make_unique<Creature>();
    creature->takeFile(std::move(contents), name);
    creature->moveToThread(home);
    return creature;
}

void Creature::takeLibraryName(const QString& name)
{
    QString& title = stats.monster ? stats.group : stats.name;
    const QString given = numberedFrom.isEmpty() ? title : numberedFrom;
    numberedFrom = name == given ? QString() : given;
    title = name;
    // Of what taking the file changes, only the name goes into its stat
    // block; one that did not read was never rebuilt, and stays as it is.
    if (!lastRebuilt.text.isEmpty())
        stats.statBlock = rebuildStatBlock(lastRebuilt.text, false);
    beforeStatBlock = stats.statBlock;
    beforeName = stats.name;
}

bool Creature::load(const QString& name, bool monster, const QString& dataFolder, Monsters* monsters,
                    Characters* characters)
{
    FileContents contents = readFile(name, monster, dataFolder);
    if (!contents.read)
        return false;
    takeFile(std::move(contents), name);
    const QString title = monster ? stats.group : stats.name;
    const QString unique = uniqueName(title, monster, monsters, characters);
    if (unique != title)
        takeLibraryName(unique);
    updated();
    return true;
}

bool Creature::save()
{
    if (stats.statBlock.isEmpty())
        return false;
    if (fileName.isEmpty()) {
        // A stand-in for a creature whose file did not read would come back beside it.
        QString unreadableName;
        const QString name = makeFileName(&unreadableName);
        if (!unreadableName.isEmpty()) {
            Global::setLastFileError(unreadableName);
            return false;
        }
        fileName = name;
    }
    // A fight rebuilds a hero's text from its figures: written as rebuilt, a text typed otherwise stays saved.
    if (!stats.monster && !isBroken())
        stats.statBlock = generateStatBlock(false);
    if (!Global::saveFile(Global::getCreaturePath(fileName, stats.monster),
                          Global::toWindowsLineEndings(stats.statBlock.toUtf8())))
        return false;
    if (ObjectStream* stream = Global::history ? Global::history->getStream(false) : nullptr)
        writeVitalityChanges(stream);
    beforeStatBlock = stats.statBlock;
    setBeforeVitality(getVitality());
    beforeName = stats.name;
    setNew(false);
    setDirty(false);
    return true;
}

bool Creature::remove()
{
    if (!fileName.isEmpty() && !Global::removeFile(Global::getCreaturePath(fileName, stats.monster)))
        return false;
    setDeleted(false);
    setDirty(false);
    return true;
}

void Creature::afterPowerEdit(bool wasClean, bool noSave)
{
    dirtyStateHasChanged();
    // A power edit of a creature without other unsaved edits goes to its file at once.
    if (!noSave && wasClean && isDirtyFlag)
        save();
}

void Creature::updatePowerAndSetDirty(const QString& powerName, const CreaturePower& power, bool noSave)
{
    bool wasClean = !isDirtyFlag && !isDeletedFlag;
    updatePower(powerName, power);
    afterPowerEdit(wasClean, noSave);
}

void Creature::deletePowerAndSetDirty(const QString& powerName)
{
    bool wasClean = !isDirtyFlag && !isDeletedFlag;
    deletePower(powerName);
    afterPowerEdit(wasClean, false);
}

void Creature::refreshLinkedFile()
{
    if (!stats.linked)
        return;
    bool wasDirty = isDirtyFlag;
    importFromFile(stats.importFile, true);
    if (isDirtyFlag && !wasDirty)
        save();
}
