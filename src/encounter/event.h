#ifndef EVENT_H
#define EVENT_H

#include <QCoreApplication>
#include <QList>
#include <QPointer>
#include <QString>

#include "creature/creature.h"
#include "foundation/dogtag.h"
#include "foundation/objectstream.h"



// One undoable change of the encounter or its creatures, recorded as one
// record of the history log. No QObject: a long fight holds hundreds of
// thousands, and each would cost an allocation more to make and to free.
class Event
{
    Q_DECLARE_TR_FUNCTIONS(Event)

public:
    // The number that heads each record in the log. A new event also needs
    // its name in event.cpp, its end tag in eventtags.h, its reader in
    // eventfactory.cpp, and a recorded case in tests/encounter/test_events.cpp.
    // A number once written to a log is never reused or moved.
    enum Type {
        NoType = 0,
        StartEncounterType = 1,
        NextTurnType,
        StopEncounterType,
        DamageType,
        OnGoingDamageType,
        HealType,
        RegenerationType,
        SetTempHPType,
        EffectType,
        RemoveOnGoingType,
        RemoveAtEndOfTurnType,
        RemoveAtStartOfTurnType,
        RemoveOnSaveType,
        RemoveAtEndOfEncounterType,
        DelayType,
        JumpInType,
        ReadyType,
        EndReadyType,
        DiedType,
        FailedDeathSavingThrowType,
        UseActionPointType,
        TotalDefenseType,
        SecondWindType,
        StabilizeType,
        ShortRestType,
        ExtendedRestType,
        SetEncounterType,
        AddMonsterType,
        AddMonstersType,
        SetPartyType,
        AddCharactersType,
        ShowHideType,
        AdministerFirstAidType,
        GainHealingSurgeType,
        SetVitalityType,
        RemoveCreaturesType,
        RemoveCurrentType,
        AdjustInitiativeType,
        RenameCreatureType,
        PowerUsageChangedType,
        SetAliasType,
        UseSecondWindType,
        LastType = UseSecondWindType
    };

    Event() = default;
    // An event whose record was written but that the history never took
    // leaves the log ending where its record began.
    virtual ~Event();

    // Reads the next record. Null at the end of the log, and with ok false
    // at a record that cannot be read, the stream then at that record's start.
    static Event* loadEvent(ObjectStream* stream, bool& ok);
    static QString eventString(int type);

    virtual QString getDescription(bool forPlayers) = 0;
    // The description as plain text: only its effect texts come escaped.
    QString getPlainDescription(bool forPlayers);
    virtual void apply() = 0;
    virtual void undo() = 0;
    virtual void incStream(ObjectStream* stream);
    virtual void decStream(ObjectStream* stream);
    virtual bool isPlayersEvent() { return playersEvent; }
    virtual bool isStartEncounter() { return false; }
    // The creatures the event is about: its targets, else its creature.
    virtual QList<Creature*> getSubjects() const { return {}; }
    // Every creature it is about is hidden from the players now.
    bool isHiddenFromPlayers() const;

    int getStreamSize() const { return streamSize; }
    // False when a new command's record could not be written whole.
    bool isWhole() const { return whole; }
    // The history took the event: its record stays in the log.
    void setRecorded() { unrecorded = nullptr; }

protected:
    // Record framing: the type item, the payload, the end item; the stream
    // is left at the record's start.
    static void beginRecord(ObjectStream* stream, Type type);
    void endRecord(ObjectStream* stream, int endTag);
    void endReading(ObjectStream* stream, int endTag);
    // Optional items are recorded only when they differ from what a missing
    // one reads as.
    static void writeOptional(ObjectStream* stream, int id, const QString& text);
    static void writeOptional(ObjectStream* stream, int id, int value, int absent);
    static QString readOptional(ObjectStream* stream, int id);
    static int readOptional(ObjectStream* stream, int id, int absent);

    void playerEventIfOneCharacter(Creature* origin, Creature* target);
    void playerEventIfOneCharacter(Creature* creature) { playerEventIfOneCharacter(nullptr, creature); }
    void playerEventIfOneCharacter(Creature* origin, const QList<Creature*>& targets);
    void playerEventIfVisible(Creature* creature);
    void playerEventIfAllCharacters(const QList<Creature*>& creatures);

    int streamSize = 0;
    bool playersEvent = false;

private:
    bool whole = true;
    QPointer<ObjectStream> unrecorded;
    int recordStart = 0;
    DogTag dogTag{__LINE__, __FILE__};
};

// An event whose undo puts the changed creatures back as they were.
class ChangeStateEvent : public Event
{
    Q_DECLARE_TR_FUNCTIONS(ChangeStateEvent)

public:
    ChangeStateEvent() = default;
    ChangeStateEvent(Creature* actor, Creature* target) { initChangeState(actor, target); }
    ChangeStateEvent(Creature* actor, const QList<Creature*>& targets) { initChangeState(actor, targets); }

    void undo() override;
    QList<Creature*> getSubjects() const override { return targets; }

    virtual void initChangeState(Creature* actor, Creature* target);
    virtual void initChangeState(Creature* actor, const QList<Creature*>& targets);

protected:
    Creature* actor = nullptr;
    QList<Creature*> targets;
    QList<CreatureState> states;
};

#endif
