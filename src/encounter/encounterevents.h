#ifndef ENCOUNTEREVENTS_H
#define ENCOUNTEREVENTS_H

#include "encounter/creaturelist.h"
#include "encounter/encounter.h"
#include "encounter/event.h"

// Puts the creatures into initiative order and starts round 1.
class StartEncounterEvent : public Event
{
    Q_DECLARE_TR_FUNCTIONS(StartEncounterEvent)

public:
    StartEncounterEvent(const InitiativeList& heroes, const InitiativeList& monsters, ObjectStream* stream);
    explicit StartEncounterEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;
    bool isPlayersEvent() override { return false; }
    bool isStartEncounter() override { return true; }

private:
    void takeOldList();
    void initStartEncounter(const InitiativeList& heroes, const InitiativeList& monsters);
    static void install(const CreatureList& list, const EncounterState& state, const CreatureVitalityList& vitality,
                        const CreatureInitList& init);

    CreatureList oldList;
    EncounterState oldState;
    CreatureVitalityList oldVitality;
    CreatureVitalityList oldBeforeVitality;
    CreatureInitList oldInit;
    CreatureList newList;
    CreatureVitalityList newVitality;
    CreatureInitList newInit;
    Creature* firstCreature = nullptr;
};

// Passes the turn to the next creature.
class NextTurnEvent : public Event
{
    Q_DECLARE_TR_FUNCTIONS(NextTurnEvent)

public:
    NextTurnEvent(ObjectStream* stream, bool reading);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;
    QList<Creature*> getSubjects() const override { return {nextCreature}; }

private:
    EncounterState savedState;
    Creature* nextCreature = nullptr;
    bool savedReady = false;
};

// Ends the encounter; the round number stays.
class StopEncounterEvent : public ChangeStateEvent
{
    Q_DECLARE_TR_FUNCTIONS(StopEncounterEvent)

public:
    StopEncounterEvent(ObjectStream* stream, bool reading);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;
    bool isPlayersEvent() override { return true; }

private:
    EncounterState savedState;
};

#endif
