#include "creature/creature.h"

#include <utility>

#include "library/characters.h"
#include "foundation/global.h"
#include "library/monsters.h"
#include "foundation/objectstream.h"

namespace {

// An integer item of a record and the field it carries.
template <typename Record>
using Field = std::pair<int, int Record::*>;

const Field<CreatureInit> initFields[] = {
    {ID_CREATURE_ITEM_ROLL, &CreatureInit::roll},
    {ID_CREATURE_ITEM_RANDOM, &CreatureInit::random},
};

const Field<RestedCreature> restedFields[] = {
    {ID_RESTED_CREATURE_USED_HS, &RestedCreature::usedSurges},
    {ID_RESTED_CREATURE_ADDED_HP, &RestedCreature::addedHitPoints},
    {ID_RESTED_CREATURE_ADDED_AP, &RestedCreature::addedActionPoint},
};

const Field<CreatureVitality> vitalityFields[] = {
    {ID_CREATURE_VITALITY_INIT_BONUS, &CreatureVitality::initBonus},
    {ID_CREATURE_VITALITY_MAX_HP, &CreatureVitality::maxHitPoints},
    {ID_CREATURE_VITALITY_CURR_HP, &CreatureVitality::hitPoints},
    {ID_CREATURE_VITALITY_MAX_HS, &CreatureVitality::maxHealingSurges},
    {ID_CREATURE_VITALITY_CURR_HS, &CreatureVitality::healingSurges},
    {ID_CREATURE_VITALITY_HS_VALUE, &CreatureVitality::surgeValue},
    {ID_CREATURE_VITALITY_INIT_AP, &CreatureVitality::initActionPoints},
    {ID_CREATURE_VITALITY_CURR_AP, &CreatureVitality::actionPoints},
};

// The creature reference and the fields in order.
template <typename Record, size_t N>
void writeFields(const Record& record, const Field<Record> (&fields)[N], ObjectStream* stream)
{
    Creature::write(record.creature, stream);
    for (const auto& [id, member] : fields)
        stream->write(id, record.*member);
}

bool writeEnd(int endID, ObjectStream* stream)
{
    stream->write(endID);
    return !stream->hasError();
}

template <typename Record, size_t N>
bool writeRecord(const Record& record, const Field<Record> (&fields)[N], int endID, ObjectStream* stream)
{
    writeFields(record, fields, stream);
    return writeEnd(endID, stream);
}

template <typename Record, size_t N>
void readRecord(Record& record, const Field<Record> (&fields)[N], int endID, ObjectStream* stream)
{
    record.creature = Creature::readCreature(stream);
    for (const auto& [id, member] : fields)
        record.*member = stream->readInt(id);
    stream->readID(endID);
}

}

bool Creature::write(Creature* creature, ObjectStream* stream)
{
    stream->write(ID_CREATURE_NAME, creature ? creature->getNameGroup() : QString());
    stream->write(ID_CREATURE_END);
    return !stream->hasError();
}

bool Creature::write(const QList<Creature*>& list, ObjectStream* stream)
{
    stream->write(ID_CREATURE_LIST_SIZE, int(list.size()));
    for (Creature* creature : list)
        write(creature, stream);
    stream->write(ID_CREATURE_LIST_END);
    return !stream->hasError();
}

Creature* Creature::readCreature(ObjectStream* stream)
{
    QString name = stream->readString(ID_CREATURE_NAME);
    stream->readID(ID_CREATURE_END);
    return getCreatureByName(name, true);
}

QList<Creature*> Creature::readCreatureList(ObjectStream* stream)
{
    QList<Creature*> list;
    int count = stream->readInt(ID_CREATURE_LIST_SIZE);
    while (list.size() < count && stream->skipTo(ID_CREATURE_NAME, ID_CREATURE_LIST_END))
        list.append(readCreature(stream));
    stream->readID(ID_CREATURE_LIST_END);
    return list;
}

Creature* Creature::getCreatureByName(const QString& name, bool create)
{
    if (name.isEmpty())
        return nullptr;
    // Heroes first: a hero's own name may look like a monster reference.
    if (Creature* hero = Global::characters->getCharacter(name, false))
        return hero;
    QString id;
    QString group;
    if (getNameAndGroup(name, id, group))
        return Global::monsters->getMonsterInstance(group, id, create);
    return Global::characters->getCharacter(name, create);
}

bool CreatureInit::write(ObjectStream* stream) const
{
    return writeRecord(*this, initFields, ID_CREATURE_ITEM_END, stream);
}

void CreatureInit::read(ObjectStream* stream)
{
    readRecord(*this, initFields, ID_CREATURE_ITEM_END, stream);
}

bool RestedCreature::write(ObjectStream* stream) const
{
    return writeRecord(*this, restedFields, ID_RESTED_CREATURE_END, stream);
}

void RestedCreature::read(ObjectStream* stream)
{
    readRecord(*this, restedFields, ID_RESTED_CREATURE_END, stream);
}

bool CreatureVitality::write(ObjectStream* stream) const
{
    writeFields(*this, vitalityFields, stream);
    if (stabilized >= 0)
        stream->write(ID_CREATURE_VITALITY_STABILIZED, stabilized);
    return writeEnd(ID_CREATURE_VITALITY_END, stream);
}

void CreatureVitality::read(ObjectStream* stream)
{
    // Any order, missing figures read as 0.
    creature = Creature::readCreature(stream);
    StreamItemList items;
    items.read(stream, ID_CREATURE_VITALITY_END);
    for (const auto& [id, member] : vitalityFields)
        this->*member = items.getInt(id);
    // Older records carry no flag: what the creature had before them depends on
    // the figures a restart gave it, so they read as stable, as hand edits leave it.
    stabilized = !items.contains(ID_CREATURE_VITALITY_STABILIZED) || items.getInt(ID_CREATURE_VITALITY_STABILIZED) != 0;
}
