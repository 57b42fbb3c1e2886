#include "encounter/event.h"

#include <iterator>

#include "encounter/history.h"
#include "foundation/global.h"
#include "foundation/objectstream.h"

namespace {

const char* const typeNames[] = {
    nullptr,
    "StartEncounterEvent", "NextTurnEvent", "StopEncounterEvent", "DamageEvent", "OnGoingDamageEvent",
    "HealEvent", "RegenerationEvent", "SetTempHPEvent", "EffectEvent", "RemoveOnGoingEvent",
    "RemoveAtEndOfTurnEvent", "RemoveAtStartOfTurnEvent", "RemoveOnSaveEvent", "RemoveAtEndOfEncounterEvent",
    "DelayEvent", "JumpInEvent", "ReadyEvent", "EndReadyEvent", "DiedEvent", "FailedDeathSavingThrowEvent",
    "UseActionPointEvent", "TotalDefenseEvent", "SecondWindEvent", "StabilizeEvent", "ShortRestEvent",
    "ExtendedRestEvent", "SetEncounterEvent", "AddMonsterEvent", "AddMonstersEvent", "SetPartyEvent",
    "AddCharactersEvent", "ShowHideEvent", "AdministerFirstAidEvent", "GainHealingSurgeEvent",
    "SetVitalityEvent", "RemoveCreaturesEvent", "RemoveCurrentEvent", "AdjustInitiativeEvent",
    "RenameCreatureEvent", "PowerUsageChangedEvent", "SetAliasEvent", "UseSecondWindEvent",
};
static_assert(std::size(typeNames) == Event::LastType + 1, "one name for every event type, in the order of Type");

}

QString Event::eventString(int type)
{
    if (type >= StartEncounterType && type <= LastType)
        return typeNames[type];
    return QString("Event = %1").arg(type);
}

Event::~Event()
{
    // Only while nothing was written after it: the stream still stands at its start.
    if (unrecorded && unrecorded->getOffset() == recordStart) {
        unrecorded->setEOF();
        if (Global::history)
            Global::history->recordAbandoned(unrecorded);
    }
}

QString Event::getPlainDescription(bool forPlayers)
{
    return getDescription(forPlayers)
        .replace("&lt;", "<")
        .replace("&gt;", ">")
        .replace("&quot;", "\"")
        .replace("&amp;", "&");
}

void Event::incStream(ObjectStream* stream)
{
    stream->incOffset(streamSize);
}

void Event::decStream(ObjectStream* stream)
{
    stream->decOffset(streamSize);
}

void Event::beginRecord(ObjectStream* stream, Type type)
{
    stream->mark();
    stream->write(ID_EVENT_TYPE, int(type));
}

void Event::endRecord(ObjectStream* stream, int endTag)
{
    stream->write(endTag);
    streamSize = stream->setToMark();
    whole = !stream->hasError();
    unrecorded = stream;
    recordStart = stream->getOffset();
}

void Event::endReading(ObjectStream* stream, int endTag)
{
    stream->readID(endTag);
    streamSize = stream->setToMark();
}

void Event::writeOptional(ObjectStream* stream, int id, const QString& text)
{
    if (!text.isEmpty())
        stream->write(id, text);
}

void Event::writeOptional(ObjectStream* stream, int id, int value, int absent)
{
    if (value != absent)
        stream->write(id, value);
}

QString Event::readOptional(ObjectStream* stream, int id)
{
    return stream->isNextItem(id) ? stream->readString(id) : QString();
}

int Event::readOptional(ObjectStream* stream, int id, int absent)
{
    return stream->isNextItem(id) ? stream->readInt(id) : absent;
}

namespace {

bool isCharacter(Creature* creature)
{
    return creature && creature->isHero();
}

}

bool Event::isHiddenFromPlayers() const
{
    const QList<Creature*> subjects = getSubjects();
    return !subjects.isEmpty()
        && std::all_of(subjects.begin(), subjects.end(), [](Creature* c) { return c && c->isHidden(); });
}

void Event::playerEventIfOneCharacter(Creature* origin, Creature* target)
{
    if (isCharacter(origin) || isCharacter(target))
        playersEvent = true;
}

void Event::playerEventIfOneCharacter(Creature* origin, const QList<Creature*>& targets)
{
    if (isCharacter(origin) || std::any_of(targets.begin(), targets.end(), isCharacter))
        playersEvent = true;
}

void Event::playerEventIfVisible(Creature* creature)
{
    if (creature && !creature->isHidden())
        playersEvent = true;
}

void Event::playerEventIfAllCharacters(const QList<Creature*>& creatures)
{
    playersEvent = std::all_of(creatures.begin(), creatures.end(), [](Creature* c) { return !c->isMonster(); });
}

void ChangeStateEvent::initChangeState(Creature* origin, Creature* target)
{
    initChangeState(origin, QList<Creature*>{target});
}

void ChangeStateEvent::initChangeState(Creature* origin, const QList<Creature*>& changed)
{
    actor = origin;
    targets = changed;
    for (Creature* target : targets)
        states.append(target->getState());
    playerEventIfOneCharacter(actor, targets);
}

void ChangeStateEvent::undo()
{
    for (int i = 0; i < targets.size(); i++)
        targets[i]->setState(states[i]);
}
