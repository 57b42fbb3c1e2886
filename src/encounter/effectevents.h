#ifndef EFFECTEVENTS_H
#define EFFECTEVENTS_H

#include <QPointer>

#include "creature/effect.h"
#include "encounter/event.h"

// Destroys an effect that an event made. A creature still holding it (the
// event dropped while applied) lets go of it first.
void destroyEventEffect(Effect* effect);

// One effect on each target. The event owns the effects: they are made once
// and go on and off the creatures with apply and undo, so a later removal
// keeps pointing at the right object.
class EffectEvent : public Event
{
    Q_DECLARE_TR_FUNCTIONS(EffectEvent)

public:
    EffectEvent(const EffectDetails& details, const QList<Creature*>& targets, ObjectStream* stream);
    explicit EffectEvent(ObjectStream* stream);
    ~EffectEvent() override;

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;
    QList<Creature*> getSubjects() const override { return targets; }

protected:
    EffectEvent() = default;
    // Writes the record when there is a stream, then makes the effects.
    void initEffectEvent(Type type, const EffectDetails& details, const QList<Creature*>& targets,
                         ObjectStream* stream);

    EffectDetails details;
    QList<Creature*> targets;
    QList<Effect*> effects;
};

// A creature defends itself until its next turn.
class TotalDefenseEvent : public EffectEvent
{
    Q_DECLARE_TR_FUNCTIONS(TotalDefenseEvent)

public:
    TotalDefenseEvent(Creature* creature, ObjectStream* stream);
    explicit TotalDefenseEvent(ObjectStream* stream) : EffectEvent(stream) {}

    QString getDescription(bool forPlayers) override;
    bool isPlayersEvent() override { return true; }
};

// The game master takes an effect off a creature. The effect belongs to the
// event that made it; the record names it by its place in the creature's list.
class RemoveOnGoingEvent : public Event
{
    Q_DECLARE_TR_FUNCTIONS(RemoveOnGoingEvent)

public:
    RemoveOnGoingEvent(Creature* creature, Effect* effect, ObjectStream* stream)
        : RemoveOnGoingEvent(RemoveOnGoingType, creature, effect, stream)
    {
    }
    explicit RemoveOnGoingEvent(ObjectStream* stream) : RemoveOnGoingEvent(RemoveOnGoingType, stream) {}

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;
    QList<Creature*> getSubjects() const override { return {creature}; }

protected:
    RemoveOnGoingEvent(Type type, Creature* creature, Effect* effect, ObjectStream* stream);
    RemoveOnGoingEvent(Type type, ObjectStream* stream);

private:
    void takeEffect(Creature* holder, Effect* removed);

    // The removals differ only in their type and how they are told.
    Type type;
    Creature* creature = nullptr;
    // Null when the record named no effect of the creature, and once the
    // event that made it is gone.
    QPointer<Effect> effect;
    // Where apply took the effect from, so that undo puts it back there.
    int removedIndex = -1;
};

// Effects removed when they end at a moment of the turn order, or saved
// against: each states only its type.
class RemoveAtEndOfTurnEvent : public RemoveOnGoingEvent
{
    Q_DECLARE_TR_FUNCTIONS(RemoveAtEndOfTurnEvent)

public:
    RemoveAtEndOfTurnEvent(Creature* creature, Effect* effect, ObjectStream* stream)
        : RemoveOnGoingEvent(RemoveAtEndOfTurnType, creature, effect, stream)
    {
    }
    explicit RemoveAtEndOfTurnEvent(ObjectStream* stream) : RemoveOnGoingEvent(RemoveAtEndOfTurnType, stream) {}
};

class RemoveAtStartOfTurnEvent : public RemoveOnGoingEvent
{
    Q_DECLARE_TR_FUNCTIONS(RemoveAtStartOfTurnEvent)

public:
    RemoveAtStartOfTurnEvent(Creature* creature, Effect* effect, ObjectStream* stream)
        : RemoveOnGoingEvent(RemoveAtStartOfTurnType, creature, effect, stream)
    {
    }
    explicit RemoveAtStartOfTurnEvent(ObjectStream* stream) : RemoveOnGoingEvent(RemoveAtStartOfTurnType, stream) {}
};

class RemoveOnSaveEvent : public RemoveOnGoingEvent
{
    Q_DECLARE_TR_FUNCTIONS(RemoveOnSaveEvent)

public:
    RemoveOnSaveEvent(Creature* creature, Effect* effect, ObjectStream* stream)
        : RemoveOnGoingEvent(RemoveOnSaveType, creature, effect, stream)
    {
    }
    explicit RemoveOnSaveEvent(ObjectStream* stream) : RemoveOnGoingEvent(RemoveOnSaveType, stream) {}
};

class RemoveAtEndOfEncounterEvent : public RemoveOnGoingEvent
{
    Q_DECLARE_TR_FUNCTIONS(RemoveAtEndOfEncounterEvent)

public:
    RemoveAtEndOfEncounterEvent(Creature* creature, Effect* effect, ObjectStream* stream)
        : RemoveOnGoingEvent(RemoveAtEndOfEncounterType, creature, effect, stream)
    {
    }
    explicit RemoveAtEndOfEncounterEvent(ObjectStream* stream) : RemoveOnGoingEvent(RemoveAtEndOfEncounterType, stream) {}
};

#endif
