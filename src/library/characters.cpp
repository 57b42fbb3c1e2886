#include "library/characters.h"

#include "encounter/encounter.h"
#include "encounter/history.h"
#include "encounter/rosterevents.h"
#include "foundation/global.h"
#include "foundation/uihooks.h"
#include "library/librarylist.h"

Characters::Characters(QObject* parent) : Library(parent) {}

Characters::~Characters()
{
    deleteEntries();
}

void Characters::addCharacter(Creature* character)
{
    character->setCounts(getCounts());
    LibraryList::insertSorted(characters, character, &Creature::getName);
    emit doCharactersUpdated();
}

Creature* Characters::findCharacter(const QString& name, Creature* exclude) const
{
    return LibraryList::findSorted(characters, name, &Creature::getName, exclude);
}

Creature* Characters::getCharacter(const QString& name, bool create)
{
    bool swapped = false;
    Creature* character = LibraryList::claimName(
        characters, name, &Creature::getName, [](const Creature* held) { return held->isInHistory(); }, swapped);
    if (swapped)
        emit doCharactersUpdated();
    if (character || !create)
        return character;
    character = new Creature();
    character->setupDummyHero(name);
    character->setMissing(true);
    character->takeExtendedRest(false, false);
    character->setBeforeVitality(character->getVitality());
    // Else the next recording of hand edits renames it to itself.
    character->setBeforeName(character->getName());
    addCharacter(character);
    return character;
}

int Characters::getCharacterPos(const QString& name, int skip) const
{
    return LibraryList::sortedPos(characters, name, &Creature::getName, skip, false);
}

void Characters::deleteCharacter(int i, bool keep)
{
    if (i < 0 || i >= characters.size())
        return;
    Creature* character = characters.takeAt(i);
    if (keep)
        removed.append(character);
    emit doCharactersUpdated();
}

QString Characters::getNewCharacter() const
{
    return LibraryList::newName(tr("New Character"), [this](const QString& name) { return findCharacter(name); });
}

QString Characters::getImportedFileName(const Creature* character) const
{
    QString file = Global::lastRight(character->getImportFile(), "/");
    if (Global::lastLeft(file, ".").isEmpty() || file.startsWith('.') || file.startsWith("template", Qt::CaseInsensitive))
        file = character->makeFileName();
    const QString stem = Global::lastLeft(file, ".");
    const QString extension = Global::lastRight(file, ".");
    const auto taken = [this, character](const QString& name) {
        for (const Creature* other : characters)
            if (other != character && other->getFileName().compare(name, Qt::CaseInsensitive) == 0)
                return true;
        return !Global::isFree(Global::getCreaturePath(name, false));
    };
    QString name = QString("%1.%2").arg(stem, extension);
    for (int number = 1; taken(name); number++)
        name = QString("%1_%2.%3").arg(stem).arg(number).arg(extension);
    return name;
}

int Characters::loadCharacters(const QString& root, const QString& prettyRoot, Progress* progress)
{
    LibraryList::FolderTexts texts{"Characters", tr("Loading characters..."),
                                   tr("Directory <b>Characters</b> not found in %1."), tr("No Characters Found"),
                                   tr("No characters could be loaded from <b>Characters</b> directory in %1.")};
    QList<LibraryList::Read<Creature>> read;
    const LibraryList::EntryReader reader = LibraryList::creatureReader(root, false, read, unreadable);
    return loadFolder(root, prettyRoot, progress, texts, reader, [this, &read] {
        LibraryList::addCreatures(characters, std::move(read), &Creature::getName, getCounts());
        emit doCharactersUpdated();
    });
}

QStringList Characters::getRenamed() const
{
    return LibraryList::renamedOnLoading(characters, &Creature::getName, "Characters");
}

int Characters::getFileCount(const QString& root)
{
    return LibraryList::getFileCount(root, "Characters");
}

void Characters::resetCharacters()
{
    for (Creature* character : characters) {
        character->setInHistory(false);
        character->takeExtendedRest(true, true);
    }
    qDeleteAll(removed);
    removed.clear();
    emit doCharactersUpdated();
}

void Characters::deleteEntries()
{
    qDeleteAll(characters);
    characters.clear();
    qDeleteAll(removed);
    removed.clear();
}

void Characters::newCharacters(Characters* loaded)
{
    takeOver(loaded);
    characters = std::exchange(loaded->characters, {});
    removed = std::exchange(loaded->removed, {});
    emit doCharactersUpdated();
}

void Characters::pickCharacters()
{
    QList<Creature*> party;
    bool add = false;
    if (Global::ui().pickCharacters(party, add) == 0)
        return;
    CreatureList list(party);
    ObjectStream* stream = Global::history->getStream(false);
    // An empty list: nothing chosen, or the party already in the encounter.
    if (!stream || list.isEmpty())
        return;
    CreatureInitList before;
    if (!LibraryList::askInitiative(list, before))
        return;
    Global::encounter->writeVitalityChanges(stream);
    if (add)
        Global::history->apply(new AddCharactersEvent(list, false, before, stream), false);
    else
        Global::history->apply(new SetPartyEvent(list, false, before, stream), false);
}
