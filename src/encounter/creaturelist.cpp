#include "encounter/creaturelist.h"

#include "encounter/eventtags.h"
#include "foundation/objectstream.h"

namespace {

// Writes the count, each entry's record and the end item.
template <typename List>
bool writeList(const List& list, ObjectStream* stream, int sizeTag, int endTag)
{
    stream->write(sizeTag, int(list.size()));
    bool ok = true;
    for (const auto& entry : list)
        ok = entry.write(stream) && ok;
    stream->write(endTag);
    return ok && !stream->hasError();
}


// Reads up to the recorded count of entries. A corrupt count stops where the
// entries end, so damage never makes up entries.
template <typename List>
void readList(List& list, ObjectStream* stream, int sizeTag, int firstEntryTag, int endTag)
{
    int count = stream->readInt(sizeTag);
    for (int i = 0; i < count && stream->skipTo(firstEntryTag, endTag); i++) {
        typename List::value_type entry;
        entry.read(stream);
        list.append(entry);
    }
    stream->readID(endTag);
}

}

int CreatureList::getMonsterCount() const
{
    return int(std::count_if(creatures.begin(), creatures.end(), [](Creature* c) { return c->isMonster(); }));
}

QList<Creature*> CreatureList::getCreaturesByType(int mask) const
{
    QList<Creature*> result;
    for (Creature* creature : creatures)
        if (((mask & Monsters) && creature->isMonster()) || ((mask & Heroes) && creature->isHero()))
            result.append(creature);
    return result;
}

bool CreatureList::isHeroActive() const
{
    return std::any_of(creatures.begin(), creatures.end(), [](Creature* c) { return c->isHero() && !c->isDead(false); });
}

QString CreatureList::getNameList() const
{
    QStringList names;
    for (Creature* creature : creatures)
        names.append(creature->getNameGroup());
    return names.join(", ");
}

QList<CreatureInit> CreatureList::getInitList() const
{
    QList<CreatureInit> list;
    for (Creature* creature : creatures)
        list.append(creature->getInit());
    return list;
}

QList<CreatureVitality> CreatureList::getVitalityList() const
{
    QList<CreatureVitality> list;
    for (Creature* creature : creatures)
        list.append(creature->getVitality());
    return list;
}

void CreatureList::writeVitalityChanges(ObjectStream* stream)
{
    for (Creature* creature : creatures)
        creature->writeVitalityChanges(stream);
}

void CreatureList::addCreature(Creature* creature)
{
    int at = 0;
    while (at < creatures.size() && creatures[at]->compare(creature) <= 0)
        at++;
    creatures.insert(at, creature);
}

void CreatureList::addCreatures(int index, const CreatureList& other)
{
    for (Creature* creature : other.creatures)
        creatures.insert(index++, creature);
}

void CreatureList::deleteCreature(int index)
{
    if (index >= 0 && index < creatures.size())
        creatures.removeAt(index);
}

void CreatureList::deleteCreatures(bool monster)
{
    for (int i = creatures.size() - 1; i >= 0; i--)
        if (creatures[i]->isMonster() == monster)
            creatures.removeAt(i);
}

void CreatureList::swapCreature(int a, int b)
{
    if (a < 0 || b < 0 || a == b)
        return;
    creatures.swapItemsAt(a, b);
}

void CreatureList::moveCreature(int from, int to)
{
    if (from < 0 || to < 0 || from == to)
        return;
    Creature* creature = creatures.takeAt(from);
    creatures.insert(to, creature);
}

namespace {

// The bonus the figures record for the creature, else its own; an unknown one ranks as none.
int rankingBonus(Creature* creature, const CreatureVitalityList& figures)
{
    int bonus = creature->getInitBonus(false);
    for (const CreatureVitality& entry : figures)
        if (entry.creature == creature)
            bonus = entry.initBonus;
    return bonus == UnknownValue ? 0 : bonus;
}

bool outranks(Creature* c, Creature* d, const CreatureVitalityList& figures)
{
    if (c->getInitRoll() != d->getInitRoll())
        return c->getInitRoll() > d->getInitRoll();
    const int bonus = rankingBonus(c, figures);
    const int other = rankingBonus(d, figures);
    if (bonus != other)
        return bonus > other;
    return c->getInitRandom() > d->getInitRandom();
}

}

void CreatureList::addCreatureByInitiative(QList<Creature*>& list, Creature* creature)
{
    addCreatureByInitiative(list, creature, CreatureVitalityList());
}

void CreatureList::addCreatureByInitiative(QList<Creature*>& list, Creature* creature,
                                           const CreatureVitalityList& figures)
{
    int at = 0;
    while (at < list.size() && !outranks(creature, list[at], figures))
        at++;
    list.insert(at, creature);
}

CreatureInitList CreatureList::setInitiativeOrder(const InitiativeList& heroes, const InitiativeList& monsters,
                                                  const CreatureVitalityList& figures)
{
    QList<Creature*> ordered;
    CreatureInitList before;
    for (Creature* creature : creatures) {
        InitiativeItem item = (creature->isMonster() ? monsters : heroes).getInitiative(creature);
        before.append(creature->getInit());
        creature->setInitRoll(item.initiative);
        creature->setInitRandom(item.random);
        addCreatureByInitiative(ordered, creature, figures);
    }
    creatures = ordered;
    return before;
}

void CreatureInitList::apply() const
{
    for (const CreatureInit& entry : *this)
        if (entry.creature)
            entry.creature->setInit(entry);
}

CreatureList CreatureInitList::getCreatureList() const
{
    CreatureList list;
    // In record order; a record may name a creature that was missing when it was written.
    for (const CreatureInit& entry : *this)
        if (entry.creature)
            list.insertCreature(list.getCount(), entry.creature);
    return list;
}

bool CreatureInitList::write(ObjectStream* stream) const
{
    return writeList(*this, stream, ID_CREATURE_ITEM_LIST_SIZE, ID_CREATURE_ITEM_LIST_END);
}

void CreatureInitList::read(ObjectStream* stream)
{
    readList(*this, stream, ID_CREATURE_ITEM_LIST_SIZE, ID_CREATURE_NAME, ID_CREATURE_ITEM_LIST_END);
}

void CreatureVitalityList::apply() const
{
    for (CreatureVitality entry : *this) {
        if (!entry.creature)
            continue;
        entry.setVitality();
        entry.setBeforeVitality();
    }
}

bool CreatureVitalityList::write(ObjectStream* stream) const
{
    return writeList(*this, stream, ID_CREATURE_VITALITY_LIST_SIZE, ID_CREATURE_VITALITY_LIST_END);
}

void CreatureVitalityList::read(ObjectStream* stream)
{
    readList(*this, stream, ID_CREATURE_VITALITY_LIST_SIZE, ID_CREATURE_NAME, ID_CREATURE_VITALITY_LIST_END);
}


bool EncounterEntry::write(ObjectStream* stream) const
{
    stream->write(ID_ENCOUNTER_ENTRY_FILE_NAME, fileName);
    stream->write(ID_ENCOUNTER_ENTRY_NAME, name);
    stream->write(ID_ENCOUNTER_ENTRY_DESC, description);
    stream->write(ID_ENCOUNTER_ENTRY_LEVEL, level);
    stream->write(ID_ENCOUNTER_ENTRY_XP, xp);
    stream->write(ID_ENCOUNTER_ENTRY_ADVENTURE, adventure);
    stream->write(ID_ENCOUNTER_ENTRY_END);
    return !stream->hasError();
}

void EncounterEntry::read(ObjectStream* stream)
{
    fileName = stream->readString(ID_ENCOUNTER_ENTRY_FILE_NAME);
    name = stream->readString(ID_ENCOUNTER_ENTRY_NAME);
    description = stream->readString(ID_ENCOUNTER_ENTRY_DESC);
    level = stream->readInt(ID_ENCOUNTER_ENTRY_LEVEL);
    xp = stream->readInt(ID_ENCOUNTER_ENTRY_XP);
    adventure = stream->isNextItem(ID_ENCOUNTER_ENTRY_ADVENTURE) ? stream->readString(ID_ENCOUNTER_ENTRY_ADVENTURE)
                                                                 : QString();
    stream->readID(ID_ENCOUNTER_ENTRY_END);
}

bool InitiativeItem::write(ObjectStream* stream) const
{
    stream->write(ID_CREATURE_INIT_NAME, name);
    stream->write(ID_CREATURE_INIT_ROLL, initiative);
    stream->write(ID_CREATURE_INIT_RANDOM, random);
    stream->write(ID_CREATURE_INIT_END);
    return !stream->hasError();
}

void InitiativeItem::read(ObjectStream* stream)
{
    name = stream->readString(ID_CREATURE_INIT_NAME);
    initiative = stream->readInt(ID_CREATURE_INIT_ROLL);
    random = stream->readInt(ID_CREATURE_INIT_RANDOM);
    stream->readID(ID_CREATURE_INIT_END);
}

InitiativeItem InitiativeList::getInitiative(Creature* creature) const
{
    // Ignoring case, as the log's lookups of the creatures named: the name that
    // a restart gives may differ from the recorded one in case alone.
    for (const InitiativeItem& item : *this)
        if (item.name.compare(creature->getNameGroup(), Qt::CaseInsensitive) == 0
            || item.name.compare(creature->getGroup(), Qt::CaseInsensitive) == 0)
            return item;
    return InitiativeItem();
}

bool InitiativeList::write(ObjectStream* stream) const
{
    return writeList(*this, stream, ID_CREATURE_INIT_LIST_SIZE, ID_CREATURE_INIT_LIST_END);
}

void InitiativeList::read(ObjectStream* stream)
{
    InitiativeList items;
    readList(items, stream, ID_CREATURE_INIT_LIST_SIZE, ID_CREATURE_INIT_NAME, ID_CREATURE_INIT_LIST_END);
    *this = items;
}
