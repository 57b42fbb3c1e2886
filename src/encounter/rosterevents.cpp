#include "encounter/rosterevents.h"

#include "foundation/global.h"
#include "foundation/objectstream.h"

namespace {

Encounter* encounter()
{
    return Global::encounter;
}

QString hiddenText(bool hidden)
{
    return hidden ? QObject::tr(" (Hidden)") : QString();
}

// Directly after the current creature; where it stood when it is gone.
int afterCurrent(const CreatureList& kept)
{
    int at = kept.getCreatureIndex(encounter()->getCurrentCreature());
    return at >= 0 ? at + 1 : qMin(encounter()->getCurrentIndex(), kept.getCount());
}

QList<bool> hiddenFlags(const QList<Creature*>& creatures)
{
    QList<bool> flags;
    for (Creature* creature : creatures)
        flags.append(creature->isHidden());
    return flags;
}

// Joining creatures take the hidden flag and their place in the history;
// undo gives the flags back, so that a replay without the addition agrees.
void setHidden(const QList<Creature*>& creatures, const QList<bool>& flags)
{
    for (int i = 0; i < creatures.size(); i++) {
        creatures[i]->setHidden(flags.value(i));
        creatures[i]->setInHistory(true);
    }
}

}

void RosterChange::takeOld()
{
    oldList = encounter()->getCreatureList();
    oldState = encounter()->getState();
    oldVitality.append(oldList.getVitalityList());
}

void RosterChange::takeNew(const CreatureList& list, const CreatureVitalityList& vitality)
{
    newList = list;
    newVitality = vitality;
    newState = oldState;
    if (oldState.currentIndex < 0)
        return;
    int current = list.getCreatureIndex(oldList.getCreature(oldState.currentIndex));
    newState.currentIndex = current >= 0 ? current : qBound(0, oldState.currentIndex, qMax(0, list.getCount() - 1));
}

void RosterChange::install(bool forward) const
{
    encounter()->setCreatureList(forward ? newList : oldList);
    encounter()->setState(forward ? newState : oldState);
    emit Global::switchBoard.doToggleStartStopNextButtons();
}

SetEncounterEvent::SetEncounterEvent(const EncounterEntry& entry, const CreatureList& creatures, bool hide,
                                     ObjectStream* stream)
{
    CreatureVitalityList vitality(creatures.getVitalityList());
    beginRecord(stream, SetEncounterType);
    entry.write(stream);
    CreatureInitList(creatures.getInitList()).write(stream);
    vitality.write(stream);
    stream->write(ID_SET_ENC_EVENT_HIDDEN, int(hide));
    endRecord(stream, ID_SET_ENC_EVENT_END);
    newVitality = vitality;
    initEncounter(entry, creatures, hide);
}

SetEncounterEvent::SetEncounterEvent(ObjectStream* stream)
{
    EncounterEntry entry;
    entry.read(stream);
    CreatureInitList inits;
    inits.read(stream);
    CreatureVitalityList vitality;
    if (stream->isNextItem(ID_CREATURE_VITALITY_LIST_SIZE))
        vitality.read(stream);
    bool hide = stream->readInt(ID_SET_ENC_EVENT_HIDDEN) != 0;
    endReading(stream, ID_SET_ENC_EVENT_END);
    // The stored rolls are not used: loading an encounter never changes initiative.
    newVitality = vitality;
    initEncounter(entry, inits.getCreatureList(), hide);
}

void SetEncounterEvent::initEncounter(const EncounterEntry& entry, const CreatureList& creatures, bool hide)
{
    hidden = hide;
    newCreatures = creatures.getCreaturesByType(CreatureList::All);
    newEntry = entry;
    oldEntry = encounter()->getEntry();
    takeOld();
    CreatureList list = oldList;
    list.deleteCreatures(true);
    list.addCreatures(list.getCount(), CreatureList(newCreatures));
    takeNew(list, newVitality);
    oldHidden = hiddenFlags(newCreatures);
    initChangeState(nullptr, newCreatures);
}

QString SetEncounterEvent::getDescription(bool)
{
    return tr("Set Encounter: %1%2").arg(newEntry.name, hiddenText(hidden));
}

void SetEncounterEvent::apply()
{
    setHidden(newCreatures, QList<bool>(newCreatures.size(), hidden));
    encounter()->setEntry(newEntry);
    install(true);
    newVitality.apply();
}

void SetEncounterEvent::undo()
{
    oldVitality.apply();
    ChangeStateEvent::undo();
    setHidden(newCreatures, oldHidden);
    encounter()->setEntry(oldEntry);
    install(false);
}

void AddCreaturesEvent::initAddedCreatures(Type kind, ObjectStream* stream)
{
    QString text = stream->readString(ID_ADD_CREATURE_EVENT_NAME);
    bool hide = stream->readInt(ID_ADD_CREATURE_EVENT_HIDDEN) != 0;
    CreatureInitList stored;
    if (stream->isNextItem(ID_CREATURE_ITEM_LIST_SIZE))
        stored.read(stream);
    if (stream->isNextItem(ID_CREATURE_VITALITY_LIST_SIZE))
        newVitality.read(stream);
    endReading(stream, ID_ADD_CREATURE_EVENT_END);
    // In record order: the order the game master added them in.
    CreatureList creatures = stored.getCreatureList();
    CreatureInitList previous(creatures.getInitList());
    stored.apply();
    initAddedCreatures(kind, text, creatures, hide, previous);
}

void AddCreaturesEvent::initAddedCreatures(Type kind, const QString& text, const CreatureList& creatures, bool hide,
                                           const CreatureInitList& previous, ObjectStream* stream)
{
    newVitality = creatures.getVitalityList();
    beginRecord(stream, kind);
    stream->write(ID_ADD_CREATURE_EVENT_NAME, text);
    stream->write(ID_ADD_CREATURE_EVENT_HIDDEN, int(hide));
    CreatureInitList(creatures.getInitList()).write(stream);
    newVitality.write(stream);
    endRecord(stream, ID_ADD_CREATURE_EVENT_END);
    initAddedCreatures(kind, text, creatures, hide, previous);
}

void AddCreaturesEvent::initAddedCreatures(Type kind, const QString& text, const CreatureList& creatures, bool hide,
                                           const CreatureInitList& previous)
{
    type = kind;
    name = text;
    hidden = hide;
    added = creatures.getCreaturesByType(CreatureList::All);
    newInitiative = CreatureList(added).getInitList();
    oldInitiative = previous;
    takeOld();
    CreatureList list = keptCreatures();
    list.addCreatures(insertAt(kind, list), CreatureList(added));
    takeNew(list, newVitality);
    oldHidden = hiddenFlags(added);
    initChangeState(nullptr, added);
}

CreatureList AddCreaturesEvent::keptCreatures() const
{
    return encounter()->getCreatureList();
}

int AddCreaturesEvent::insertAt(Type kind, const CreatureList& kept) const
{
    if (encounter()->isRunning())
        return afterCurrent(kept);
    return kind == AddMonsterType || kind == AddMonstersType ? kept.getCount() : 0;
}

QString AddCreaturesEvent::getDescription(bool forPlayers)
{
    QString text;
    switch (type) {
    case AddMonsterType: text = tr("Add Monster: %1%2"); break;
    case AddMonstersType: text = tr("Add Encounter: %1%2"); break;
    case SetPartyType: text = tr("Set Party: %1%2"); break;
    default: text = tr("Add Characters: %1%2"); break;
    }
    // The players read a party by its members, those they may see.
    const bool party = type == SetPartyType || type == AddCharactersType;
    return text.arg(forPlayers && party ? Creature::getNameList(added, true) : name, hiddenText(hidden));
}

void AddCreaturesEvent::apply()
{
    setHidden(added, QList<bool>(added.size(), hidden));
    install(true);
    newVitality.apply();
    newInitiative.apply();
}

void AddCreaturesEvent::undo()
{
    oldVitality.apply();
    oldInitiative.apply();
    ChangeStateEvent::undo();
    setHidden(added, oldHidden);
    install(false);
}

AddMonsterEvent::AddMonsterEvent(const CreatureList& creatures, bool hide, const CreatureInitList& previous,
                                 ObjectStream* stream)
{
    Creature* first = creatures.getCreature(0);
    initAddedCreatures(AddMonsterType, first ? first->getNameGroup() : QString(), creatures, hide, previous, stream);
}

AddMonsterEvent::AddMonsterEvent(ObjectStream* stream)
{
    initAddedCreatures(AddMonsterType, stream);
}

AddMonstersEvent::AddMonstersEvent(const QString& encounterName, const CreatureList& creatures, bool hide,
                                   const CreatureInitList& previous, ObjectStream* stream)
{
    initAddedCreatures(AddMonstersType, encounterName, creatures, hide, previous, stream);
}

AddMonstersEvent::AddMonstersEvent(ObjectStream* stream)
{
    initAddedCreatures(AddMonstersType, stream);
}

SetPartyEvent::SetPartyEvent(const CreatureList& creatures, bool hide, const CreatureInitList& previous,
                             ObjectStream* stream)
{
    initAddedCreatures(SetPartyType, creatures.getNameList(), creatures, hide, previous, stream);
}

SetPartyEvent::SetPartyEvent(ObjectStream* stream)
{
    initAddedCreatures(SetPartyType, stream);
}

CreatureList SetPartyEvent::keptCreatures() const
{
    CreatureList kept = encounter()->getCreatureList();
    kept.deleteCreatures(false);
    return kept;
}

int SetPartyEvent::insertAt(Type, const CreatureList& kept) const
{
    return encounter()->isRunning() ? afterCurrent(kept) : 0;
}

AddCharactersEvent::AddCharactersEvent(const CreatureList& creatures, bool hide, const CreatureInitList& previous,
                                       ObjectStream* stream)
{
    initAddedCreatures(AddCharactersType, creatures.getNameList(), creatures, hide, previous, stream);
}

AddCharactersEvent::AddCharactersEvent(ObjectStream* stream)
{
    initAddedCreatures(AddCharactersType, stream);
}

ShowHideEvent::ShowHideEvent(Creature* subject, bool hidden, ObjectStream* stream) : creature(subject), hide(hidden)
{
    beginRecord(stream, ShowHideType);
    Creature::write(creature, stream);
    stream->write(ID_SHOW_HIDE_EVENT_HIDE, int(hide));
    endRecord(stream, ID_SHOW_HIDE_EVENT_END);
    wasHidden = creature && creature->isHidden();
}

ShowHideEvent::ShowHideEvent(ObjectStream* stream)
{
    creature = Creature::readCreature(stream);
    hide = stream->readInt(ID_SHOW_HIDE_EVENT_HIDE) != 0;
    endReading(stream, ID_SHOW_HIDE_EVENT_END);
    wasHidden = creature && creature->isHidden();
}

QString ShowHideEvent::getDescription(bool forPlayers)
{
    QString who = creature ? creature->getDisplayName(forPlayers) : QString();
    return (hide ? tr("Hide %1") : tr("Show %1")).arg(who);
}

void ShowHideEvent::apply()
{
    if (creature)
        creature->setHidden(hide);
}

void ShowHideEvent::undo()
{
    if (creature)
        creature->setHidden(wasHidden);
}

RemoveCreaturesEvent::RemoveCreaturesEvent(Creature* creature, ObjectStream* stream)
    : RemoveCreaturesEvent(RemoveCreaturesType, {creature}, stream)
{
}

RemoveCreaturesEvent::RemoveCreaturesEvent(const QList<Creature*>& list, ObjectStream* stream)
    : RemoveCreaturesEvent(RemoveCreaturesType, list, stream)
{
}

RemoveCreaturesEvent::RemoveCreaturesEvent(Type type, const QList<Creature*>& list, ObjectStream* stream)
{
    beginRecord(stream, type);
    Creature::write(list, stream);
    endRecord(stream, ID_REMOVE_CREATURE_EVENT_END);
    initRemoveCreatures(list);
}

RemoveCreaturesEvent::RemoveCreaturesEvent(ObjectStream* stream)
{
    QList<Creature*> list = Creature::readCreatureList(stream);
    endReading(stream, ID_REMOVE_CREATURE_EVENT_END);
    initRemoveCreatures(list);
}

void RemoveCreaturesEvent::initRemoveCreatures(const QList<Creature*>& list)
{
    creatures = list;
    creatures.removeAll(nullptr);
    savedState = encounter()->getState();
    savedList = encounter()->getCreatureList();
    playerEventIfAllCharacters(creatures);
}

QString RemoveCreaturesEvent::getDescription(bool forPlayers)
{
    return tr("Removed: %1").arg(Creature::getNameList(creatures, forPlayers));
}

void RemoveCreaturesEvent::apply()
{
    encounter()->removeCreatures(creatures);
    emit Global::switchBoard.doToggleStartStopNextButtons();
    emit Global::switchBoard.doToggleJumpInButton();
}

void RemoveCreaturesEvent::undo()
{
    encounter()->setCreatureList(savedList);
    encounter()->setState(savedState);
    emit Global::switchBoard.doToggleStartStopNextButtons();
    emit Global::switchBoard.doToggleJumpInButton();
}

RemoveCurrentEvent::RemoveCurrentEvent(Creature* creature, ObjectStream* stream)
    : RemoveCreaturesEvent(RemoveCurrentType, {creature}, stream)
{
}

QString RemoveCurrentEvent::getDescription(bool forPlayers)
{
    return tr("Removed Current: %1").arg(Creature::getNameList(creatures, forPlayers));
}
