#include "encounter/effectevents.h"

#include <algorithm>

#include "encounter/eventtags.h"
#include "foundation/objectstream.h"

void destroyEventEffect(Effect* effect)
{
    Creature* holder = effect ? effect->getTarget() : nullptr;
    while (holder && holder->indexOfEffect(effect) >= 0)
        holder->removeEffect(effect);
    delete effect;
}

EffectEvent::EffectEvent(const EffectDetails& given, const QList<Creature*>& receivers, ObjectStream* stream)
{
    initEffectEvent(EffectType, given, receivers, stream);
}

EffectEvent::EffectEvent(ObjectStream* stream)
{
    EffectDetails read;
    read.origin = Creature::readCreature(stream);
    QList<Creature*> receivers = Creature::readCreatureList(stream);
    // A target that was missing when the record was written has no name to
    // find it by; nothing may be done to it.
    receivers.removeAll(nullptr);
    read.type = CE::EffectType(stream->readInt(ID_EFFECT_EVENT_TYPE));
    read.endCondition = CE::EndCondition(stream->readInt(ID_EFFECT_EVENT_EC));
    read.comment = readOptional(stream, ID_EFFECT_EVENT_COMMENT);
    read.amount = stream->readInt(ID_EFFECT_EVENT_AMOUNT);
    read.attributes.read(stream);
    read.sourceName = readOptional(stream, ID_EFFECT_EVENT_SOURCE);
    read.positive = readOptional(stream, ID_EFFECT_EVENT_POSITIVE, EffectDetails::ByType);
    read.groupId = unsigned(readOptional(stream, ID_EFFECT_EVENT_GROUP, 0));
    read.sustainable = readOptional(stream, ID_EFFECT_EVENT_SUSTAINABLE, 0) != 0;
    endReading(stream, ID_EFFECT_EVENT_END);
    initEffectEvent(NoType, read, receivers, nullptr);
}

EffectEvent::~EffectEvent()
{
    std::for_each(effects.begin(), effects.end(), destroyEventEffect);
}

void EffectEvent::initEffectEvent(Type type, const EffectDetails& given, const QList<Creature*>& receivers,
                                  ObjectStream* stream)
{
    if (stream) {
        beginRecord(stream, type);
        Creature::write(given.origin.data(), stream);
        Creature::write(receivers, stream);
        stream->write(ID_EFFECT_EVENT_TYPE, int(given.type));
        stream->write(ID_EFFECT_EVENT_EC, int(given.endCondition));
        writeOptional(stream, ID_EFFECT_EVENT_COMMENT, given.comment);
        stream->write(ID_EFFECT_EVENT_AMOUNT, given.amount);
        given.attributes.write(stream);
        writeOptional(stream, ID_EFFECT_EVENT_SOURCE, given.sourceName);
        writeOptional(stream, ID_EFFECT_EVENT_POSITIVE, given.positive, EffectDetails::ByType);
        writeOptional(stream, ID_EFFECT_EVENT_GROUP, int(given.groupId), 0);
        stream->write(ID_EFFECT_EVENT_SUSTAINABLE, given.sustainable ? 1 : 0);
        endRecord(stream, ID_EFFECT_EVENT_END);
    }
    details = given;
    targets = receivers;
    // Made now rather than in apply: an effect takes its turn bookkeeping
    // from the creature whose turn it is when the command is given.
    for (Creature* target : targets)
        effects.append(new Effect(details, target));
    playerEventIfOneCharacter(details.origin.data(), targets);
}

QString EffectEvent::getDescription(bool forPlayers)
{
    QString text = CE::hasAnOrigin(details.type) ? Creature::getOriginPrefix(details.origin, forPlayers) : QString();
    return text + Effect::getEffectText(details, forPlayers) + ": " + Creature::getNameList(targets, forPlayers);
}

void EffectEvent::apply()
{
    for (int i = 0; i < targets.size(); i++)
        targets[i]->addEffect(effects[i]);
}

void EffectEvent::undo()
{
    for (int i = 0; i < targets.size(); i++)
        targets[i]->removeEffect(effects[i]);
}

TotalDefenseEvent::TotalDefenseEvent(Creature* creature, ObjectStream* stream)
{
    EffectDetails defense;
    defense.type = CE::TotalDefense;
    defense.endCondition = CE::StartOfTargetsNextTurn;
    initEffectEvent(TotalDefenseType, defense, {creature}, stream);
}

QString TotalDefenseEvent::getDescription(bool forPlayers)
{
    return tr("Total Defense: ") + Creature::getNameList(targets, forPlayers);
}

RemoveOnGoingEvent::RemoveOnGoingEvent(Type removal, Creature* holder, Effect* removed, ObjectStream* stream)
    : type(removal)
{
    beginRecord(stream, type);
    Creature::write(holder, stream);
    stream->write(ID_ONGOING_EVENT_EFFECT, holder->indexOfEffect(removed));
    endRecord(stream, ID_ONGOING_EVENT_END);
    takeEffect(holder, removed);
}

RemoveOnGoingEvent::RemoveOnGoingEvent(Type removal, ObjectStream* stream) : type(removal)
{
    Creature* holder = Creature::readCreature(stream);
    const int position = stream->readInt(ID_ONGOING_EVENT_EFFECT);
    endReading(stream, ID_ONGOING_EVENT_END);
    takeEffect(holder, holder ? holder->getEffect(position) : nullptr);
}

void RemoveOnGoingEvent::takeEffect(Creature* holder, Effect* removed)
{
    creature = holder;
    effect = removed;
    if (effect)
        playerEventIfOneCharacter(effect->getOrigin(), effect->getTarget());
}

QString RemoveOnGoingEvent::getDescription(bool forPlayers)
{
    QString prefix;
    switch (type) {
    case RemoveAtEndOfTurnType: prefix = tr("End of Turn: Remove "); break;
    case RemoveAtStartOfTurnType: prefix = tr("Start of Turn: Remove "); break;
    case RemoveOnSaveType: prefix = tr("Saved: Remove "); break;
    case RemoveAtEndOfEncounterType: prefix = tr("End of Encounter: Remove "); break;
    default: prefix = tr("Remove "); break;
    }
    if (!effect)
        return prefix + tr("Unknown Effect");
    return prefix + (forPlayers ? effect->getPlayersEffectText() : effect->getEffectText());
}

void RemoveOnGoingEvent::apply()
{
    if (effect)
        removedIndex = creature->removeEffect(effect);
}

void RemoveOnGoingEvent::undo()
{
    if (removedIndex >= 0 && effect)
        creature->insertEffect(removedIndex, effect);
}
