#include <QHash>

#include <functional>

#include "encounter/damageevents.h"
#include "encounter/effectevents.h"
#include "encounter/encounterevents.h"
#include "encounter/event.h"
#include "encounter/eventtags.h"
#include "foundation/objectstream.h"
#include "encounter/powerevents.h"
#include "encounter/restevents.h"
#include "encounter/rosterevents.h"
#include "encounter/turnorderevents.h"
#include "encounter/vitalityevents.h"

namespace {

using Reader = std::function<Event*(ObjectStream*)>;

// How a record of one type ends and which class reads it.
struct RecordKind
{
    int endTag;
    Reader read;
};

template <typename T>
RecordKind kind(int endTag)
{
    return {endTag, [](ObjectStream* stream) { return new T(stream); }};
}

// For the classes whose one constructor both writes and reads.
template <typename T>
RecordKind flaggedKind(int endTag)
{
    return {endTag, [](ObjectStream* stream) { return new T(stream, true); }};
}

// Every event class read back from the log, by its type number.
const QHash<int, RecordKind>& recordKinds()
{
    static const QHash<int, RecordKind> table = {
        {Event::StartEncounterType, kind<StartEncounterEvent>(ID_START_ENCOUNTER_EVENT_END)},
        {Event::NextTurnType, flaggedKind<NextTurnEvent>(ID_NEXT_TURN_EVENT_END)},
        {Event::StopEncounterType, flaggedKind<StopEncounterEvent>(ID_STOP_ENCOUNTER_EVENT_END)},
        {Event::DamageType, kind<DamageEvent>(ID_DAMAGE_EVENT_END)},
        {Event::OnGoingDamageType, kind<OnGoingDamageEvent>(ID_DAMAGE_EVENT_END)},
        {Event::HealType, kind<HealEvent>(ID_HEAL_EVENT_END)},
        {Event::RegenerationType, kind<RegenerationEvent>(ID_HEAL_EVENT_END)},
        {Event::SetTempHPType, kind<SetTempHPEvent>(ID_SET_THP_RESOURCE_END)},
        {Event::EffectType, kind<EffectEvent>(ID_EFFECT_EVENT_END)},
        {Event::RemoveOnGoingType, kind<RemoveOnGoingEvent>(ID_ONGOING_EVENT_END)},
        {Event::RemoveAtEndOfTurnType, kind<RemoveAtEndOfTurnEvent>(ID_ONGOING_EVENT_END)},
        {Event::RemoveAtStartOfTurnType, kind<RemoveAtStartOfTurnEvent>(ID_ONGOING_EVENT_END)},
        {Event::RemoveOnSaveType, kind<RemoveOnSaveEvent>(ID_ONGOING_EVENT_END)},
        {Event::RemoveAtEndOfEncounterType, kind<RemoveAtEndOfEncounterEvent>(ID_ONGOING_EVENT_END)},
        {Event::DelayType, kind<DelayEvent>(ID_DELAY_EVENT_END)},
        {Event::JumpInType, kind<JumpInEvent>(ID_JUMPIN_EVENT_END)},
        {Event::ReadyType, kind<ReadyEvent>(ID_READY_EVENT_END)},
        {Event::EndReadyType, kind<EndReadyEvent>(ID_END_READY_EVENT_END)},
        {Event::DiedType, kind<DiedEvent>(ID_DIED_EVENT_END)},
        {Event::TotalDefenseType, kind<TotalDefenseEvent>(ID_EFFECT_EVENT_END)},
        {Event::FailedDeathSavingThrowType, kind<FailedDeathSavingThrowEvent>(ID_FAILED_DST_EVENT_END)},
        {Event::UseActionPointType, kind<UseActionPointEvent>(ID_USE_AP_EVENT_END)},
        {Event::SecondWindType, kind<SecondWindEvent>(ID_HEAL_EVENT_END)},
        {Event::StabilizeType, kind<StabilizeEvent>(ID_STABILIZE_EVENT_END)},
        {Event::ShortRestType, kind<ShortRestEvent>(ID_SR_ACTION_EVENT_END)},
        {Event::ExtendedRestType, kind<ExtendedRestEvent>(ID_EXT_REST_EVENT_END)},
        {Event::SetEncounterType, kind<SetEncounterEvent>(ID_SET_ENC_EVENT_END)},
        {Event::AddMonsterType, kind<AddMonsterEvent>(ID_ADD_CREATURE_EVENT_END)},
        {Event::AddMonstersType, kind<AddMonstersEvent>(ID_ADD_CREATURE_EVENT_END)},
        {Event::SetPartyType, kind<SetPartyEvent>(ID_ADD_CREATURE_EVENT_END)},
        {Event::AddCharactersType, kind<AddCharactersEvent>(ID_ADD_CREATURE_EVENT_END)},
        {Event::ShowHideType, kind<ShowHideEvent>(ID_SHOW_HIDE_EVENT_END)},
        {Event::RemoveCreaturesType, kind<RemoveCreaturesEvent>(ID_REMOVE_CREATURE_EVENT_END)},
        {Event::RemoveCurrentType, kind<RemoveCurrentEvent>(ID_REMOVE_CREATURE_EVENT_END)},
        {Event::AdministerFirstAidType, kind<AdministerFirstAidEvent>(ID_HEAL_EVENT_END)},
        {Event::GainHealingSurgeType, kind<GainHealingSurgeEvent>(ID_HEAL_EVENT_END)},
        {Event::SetVitalityType, kind<SetVitalityEvent>(ID_SET_VITALITY_EVENT_END)},
        {Event::AdjustInitiativeType, kind<AdjustInitiativeEvent>(ID_ADJUST_INITIATIVE_EVENT_END)},
        {Event::RenameCreatureType, kind<RenameCreatureEvent>(ID_RENAME_CREATURE_EVENT_END)},
        {Event::PowerUsageChangedType, kind<PowerUsageChangedEvent>(ID_EVENT_END)},
        {Event::SetAliasType, kind<SetAliasEvent>(ID_EVENT_END)},
        {Event::UseSecondWindType, kind<UseSecondWindEvent>(ID_EVENT_END)},
    };
    return table;
}

bool atEndOfData(ObjectStream* stream)
{
    int offset = stream->getOffset();
    bool end = stream->read().isEOF();
    stream->setOffset(offset);
    return end;
}

// A record whose end item is missing and that runs to the end of the data
// was cut short while it was written. Reading it would apply half a command
// (and make the creatures it names), so it is looked over first. A record
// that only lacks its end item is followed by the next record and is read.
bool cutShort(ObjectStream* stream, int endTag)
{
    int offset = stream->getOffset();
    StreamItem item;
    do
        item = stream->read();
    while (!item.isEOF() && item.getID() != endTag && item.getID() != ID_EVENT_TYPE);
    stream->setOffset(offset);
    return item.isEOF();
}

}

Event* Event::loadEvent(ObjectStream* stream, bool& ok)
{
    stream->mark();
    int type = stream->readInt(ID_EVENT_TYPE);
    auto found = recordKinds().find(type);
    if (found != recordKinds().end() && !cutShort(stream, found->endTag))
        return found->read(stream);
    if (found == recordKinds().end() && type == NoType && atEndOfData(stream)) {
        // A last item that reads as no type is no record: the next command
        // goes where it stands, or the one after it would be cut off at the next start.
        stream->setToMark();
        return nullptr;
    }
    // Unknown, cut short, or a type item that does not read as a number with
    // more data behind it: damage, not the end of the log.
    stream->setToMark();
    ok = false;
    return nullptr;
}
