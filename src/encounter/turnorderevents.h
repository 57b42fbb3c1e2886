#ifndef TURNORDEREVENTS_H
#define TURNORDEREVENTS_H

#include "encounter/creaturelist.h"
#include "encounter/encounter.h"
#include "encounter/event.h"

// An event about one creature, recorded as a reference to it. A reference
// that names no creature leaves the creature null, and the event then does
// nothing.
class CreatureEvent : public Event
{
    Q_DECLARE_TR_FUNCTIONS(CreatureEvent)

public:
    QList<Creature*> getSubjects() const override { return {creature}; }

protected:
    CreatureEvent(Type type, int endTag, Creature* creature, ObjectStream* stream);
    CreatureEvent(int endTag, ObjectStream* stream);

    QString describe(const QString& text, bool forPlayers) const;

    Creature* creature = nullptr;
};

// The current creature holds its turn: it delays (waits to act later in the
// round) or readies an action.
class HoldTurnEvent : public CreatureEvent
{
    Q_DECLARE_TR_FUNCTIONS(HoldTurnEvent)

public:
    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;

protected:
    HoldTurnEvent(bool delaying, Type type, int endTag, Creature* creature, ObjectStream* stream);
    HoldTurnEvent(bool delaying, int endTag, ObjectStream* stream);

private:
    void initHoldTurn();

    bool delaying;
    // The flag before; a creature may be delayed or ready already.
    bool wasHolding = false;
};

class DelayEvent : public HoldTurnEvent
{
    Q_DECLARE_TR_FUNCTIONS(DelayEvent)

public:
    DelayEvent(Creature* creature, ObjectStream* stream);
    explicit DelayEvent(ObjectStream* stream);
};

class ReadyEvent : public HoldTurnEvent
{
    Q_DECLARE_TR_FUNCTIONS(ReadyEvent)

public:
    ReadyEvent(Creature* creature, ObjectStream* stream);
    explicit ReadyEvent(ObjectStream* stream);
};

// A creature that held its turn acts now. A delayed one jumps in: the current
// creature's turn ends and the delayed one takes the turn just after it. A
// readied one acts just before the current creature, which stays current.
class ActNowEvent : public CreatureEvent
{
    Q_DECLARE_TR_FUNCTIONS(ActNowEvent)

public:
    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;

protected:
    ActNowEvent(bool delayed, Type type, int endTag, Creature* creature, ObjectStream* stream);
    ActNowEvent(bool delayed, int endTag, ObjectStream* stream);

private:
    void initActNow();
    void move(int from, int to, bool applying);

    bool delayed;
    int creatureIndex = -1;
    int targetIndex = -1;
    EncounterState savedState;
    Creature* currentCreature = nullptr;
    // The creature whose turn a jump-in ended; null when it did nothing.
    Creature* ended = nullptr;
    bool moved = false;
};

class JumpInEvent : public ActNowEvent
{
    Q_DECLARE_TR_FUNCTIONS(JumpInEvent)

public:
    JumpInEvent(Creature* creature, ObjectStream* stream);
    explicit JumpInEvent(ObjectStream* stream);
};

class EndReadyEvent : public ActNowEvent
{
    Q_DECLARE_TR_FUNCTIONS(EndReadyEvent)

public:
    EndReadyEvent(Creature* creature, ObjectStream* stream);
    explicit EndReadyEvent(ObjectStream* stream);
};

// A dead creature leaves the turn order.
class DiedEvent : public CreatureEvent
{
    Q_DECLARE_TR_FUNCTIONS(DiedEvent)

public:
    DiedEvent(Creature* creature, ObjectStream* stream);
    explicit DiedEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;

private:
    void initDied();

    EncounterState savedState;
    CreatureList savedList;
};

// Creatures move a number of places down the order, or up when negative.
class AdjustInitiativeEvent : public Event
{
    Q_DECLARE_TR_FUNCTIONS(AdjustInitiativeEvent)

public:
    AdjustInitiativeEvent(const QList<Creature*>& creatures, int adjustment, ObjectStream* stream);
    explicit AdjustInitiativeEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;
    QList<Creature*> getSubjects() const override { return creatures; }

private:
    void initAdjustInitiative(const QList<Creature*>& moved, int places);

    QList<Creature*> creatures;
    int adjustment = 0;
    EncounterState savedState;
    CreatureList savedList;
};

#endif
