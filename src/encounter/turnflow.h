#ifndef TURNFLOW_H
#define TURNFLOW_H

#include <functional>
#include <optional>

#include "encounter/commandroad.h"

class Creature;
class Event;
class ObjectStream;

// The turn procedure, one object per command: starting and stopping the
// fight, ending a turn with its prompts, starting the next creature's turn,
// delaying, readying and jumping in. It asks the game master through the ui
// hooks and records every step as an event on one road, stopping at the
// first record the log refuses.
class TurnFlow
{
public:
    // Start Encounter while no fight runs, else Stop Encounter.
    void startStopEncounter();
    // The turn ends, then the next one starts; false when the turn stayed.
    bool nextTurn();
    // Delaying ends only the effects good for the creature and makes no saving
    // throws. False when a prompt was cancelled or the turn end could not be
    // recorded whole.
    bool performTurnEnd(bool delaying, bool cancellable);
    // The next creature's turn begins; dead and name-only creatures are passed
    // over, each at most once.
    void performTurnStart();
    bool savingThrows(Creature* creature, bool cancellable);
    void delay() { holdTurn(true); }
    void ready() { holdTurn(false); }
    void jumpIn();

private:
    void startEncounter();
    void stopEncounter();
    void holdTurn(bool delaying);
    // Ongoing damage, regeneration, start-of-turn endings and recharges.
    bool beginTurn(Creature* current);
    bool rechargePowers(Creature* current);
    // False without a log or once the log refused a record.
    bool record(const std::function<Event*(ObjectStream*)>& make);
    bool isOpen();

    // Opened at the first record, so that a cancelled question opens no log.
    std::optional<CommandRoad> road;
};

#endif
