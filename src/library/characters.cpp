#include "library/characters.h"

#include "library/librarylist.h"

Characters::Characters(QObject* parent) : QObject(parent), counts(new CreatureCounts)
{
}

Characters::~Characters()
{
    qDeleteAll(characters);
    qDeleteAll(removed);
    delete counts;
}

void Characters::addCharacter(Creature* character)
{
    character->setCounts(counts);
    LibraryList::insertSorted(characters, character, &Creature::getName);
}

Creature* Characters::findCharacter(const QString& name, Creature* exclude) const
{
    for (Creature* character : characters)
        if (character != exclude && character->getName().compare(name, Qt::CaseInsensitive) == 0)
            return character;
    return nullptr;
}

Creature* Characters::getCharacter(const QString& name, bool create)
{
    Creature* character = findCharacter(name);
    if (character || !create)
        return character;
    character = new Creature();
    character->setupDummyHero(name);
    character->setMissing(true);
    character->takeExtendedRest(false, false);
    character->setBeforeVitality(character->getVitality());
    addCharacter(character);
    return character;
}

void Characters::deleteCharacter(Creature* character)
{
    if (characters.removeOne(character))
        removed.append(character);
}
