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
    Q_OBJECT

public:
    QList<Creature*> getSubjects() const override { return {creature}; }

protected:
    CreatureEvent(Type type, int endTag, Creature* creature, ObjectStream* stream);
    CreatureEvent(int endTag, ObjectStream* stream);

    QString describe(const QString& text, bool forPlayers) const;

    Creature* creature = nullptr;
};

// The current creature waits to act later in the round.
class DelayEvent : public CreatureEvent
{
    Q_OBJECT

public:
    DelayEvent(Creature* creature, ObjectStream* stream);
    explicit DelayEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;

private:
    void initDelay();

    // The flag before; a creature stepped back to may be delayed already.
    bool wasDelayed = false;
};

// A delayed creature takes its turn just after the current one.
class JumpInEvent : public CreatureEvent
{
    Q_OBJECT

public:
    JumpInEvent(Creature* creature, ObjectStream* stream);
    explicit JumpInEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;

private:
    void initJumpIn();

    int creatureIndex = -1;
    int targetIndex = -1;
    EncounterState savedState;
    // The creature whose turn the last apply ended; null when it did nothing.
    Creature* ended = nullptr;
};

// The current creature readies an action.
class ReadyEvent : public CreatureEvent
{
    Q_OBJECT

public:
    ReadyEvent(Creature* creature, ObjectStream* stream);
    explicit ReadyEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;

private:
    void initReady();

    // The flag before; a creature may ready again while still ready.
    bool wasReady = false;
};

// A readied creature acts just before the current one, which stays current.
class EndReadyEvent : public CreatureEvent
{
    Q_OBJECT

public:
    EndReadyEvent(Creature* creature, ObjectStream* stream);
    explicit EndReadyEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;

private:
    void initEndReady();
    void moveAndKeepCurrent(int from, int to);

    Creature* currentCreature = nullptr;
    int creatureIndex = -1;
    int targetIndex = -1;
};

// A dead creature leaves the turn order.
class DiedEvent : public CreatureEvent
{
    Q_OBJECT

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
    Q_OBJECT

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
