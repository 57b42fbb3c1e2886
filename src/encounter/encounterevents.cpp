#include "encounter/encounterevents.h"

#include "foundation/global.h"
#include "foundation/objectstream.h"

StartEncounterEvent::StartEncounterEvent(const InitiativeList& heroes, const InitiativeList& monsters,
                                         ObjectStream* stream)
{
    takeOldList();
    newVitality = oldVitality;
    beginRecord(stream, StartEncounterType);
    heroes.write(stream);
    monsters.write(stream);
    oldVitality.write(stream);
    endRecord(stream, ID_START_ENCOUNTER_EVENT_END);
    initStartEncounter(heroes, monsters);
}

StartEncounterEvent::StartEncounterEvent(ObjectStream* stream)
{
    takeOldList();
    InitiativeList heroes;
    InitiativeList monsters;
    heroes.read(stream);
    monsters.read(stream);
    // Older logs carry no figures; such a start installs none.
    if (stream->isNextItem(ID_CREATURE_VITALITY_LIST_SIZE))
        newVitality.read(stream);
    endReading(stream, ID_START_ENCOUNTER_EVENT_END);
    initStartEncounter(heroes, monsters);
}

void StartEncounterEvent::takeOldList()
{
    oldList = Global::encounter->getCreatureList();
    oldState = Global::encounter->getState();
    oldVitality.append(oldList.getVitalityList());
    for (Creature* creature : oldList.getCreatureList())
        oldBeforeVitality.append(creature->getBeforeVitality());
}

void StartEncounterEvent::initStartEncounter(const InitiativeList& heroes, const InitiativeList& monsters)
{
    // Sorting sets the creatures' rolls already; apply sets the same again.
    newList = oldList;
    oldInit = newList.setInitiativeOrder(heroes, monsters);
    newInit.append(newList.getInitList());
    firstCreature = newList.getCreature(0);
}

QString StartEncounterEvent::getDescription(bool forPlayers)
{
    return tr("* Start Encounter: %1 *").arg(firstCreature ? firstCreature->getDisplayName(forPlayers) : QString());
}

void StartEncounterEvent::install(const CreatureList& list, const EncounterState& state,
                                  const CreatureVitalityList& vitality, const CreatureInitList& init)
{
    Global::encounter->setCreatureList(list);
    Global::encounter->setState(state);
    vitality.apply();
    init.apply();
    emit Global::switchBoard.doToggleStartStopNextButtons();
}

void StartEncounterEvent::apply()
{
    EncounterState started;
    started.round = 1;
    started.currentIndex = 0;
    install(newList, started, newVitality, newInit);
}

void StartEncounterEvent::undo()
{
    // Back to the state before the start, as a replay without this event has it.
    install(oldList, oldState, oldVitality, oldInit);
    // Installing took the figures as recorded; an extended rest had cleared the before-values.
    for (CreatureVitality before : oldBeforeVitality)
        before.setBeforeVitality();
}

NextTurnEvent::NextTurnEvent(ObjectStream* stream, bool reading)
{
    if (reading) {
        endReading(stream, ID_NEXT_TURN_EVENT_END);
    } else {
        beginRecord(stream, NextTurnType);
        endRecord(stream, ID_NEXT_TURN_EVENT_END);
    }
    savedState = Global::encounter->getState();
    nextCreature = Global::encounter->getNextCreature();
    if (nextCreature) {
        savedReady = nextCreature->isReady();
        playerEventIfVisible(nextCreature);
    }
}

QString NextTurnEvent::getDescription(bool forPlayers)
{
    return tr("* Next Turn: %1 *").arg(nextCreature ? nextCreature->getDisplayName(forPlayers) : QString());
}

void NextTurnEvent::apply()
{
    Encounter* encounter = Global::encounter;
    Creature* ending = encounter->getCurrentCreature();
    if (ending)
        ending->setEndTurnCount(ending->getEndTurnCount() + 1);
    encounter->setState(encounter->getNextState());
    // A readied action not taken lapses when the creature's own turn comes.
    if (ending)
        encounter->getCurrentCreature()->setReady(false);
}

void NextTurnEvent::undo()
{
    Encounter* encounter = Global::encounter;
    if (Creature* current = encounter->getCurrentCreature())
        current->setReady(savedReady);
    encounter->setState(savedState);
    if (Creature* current = encounter->getCurrentCreature())
        current->setEndTurnCount(current->getEndTurnCount() - 1);
}

StopEncounterEvent::StopEncounterEvent(ObjectStream* stream, bool reading)
{
    if (reading) {
        endReading(stream, ID_STOP_ENCOUNTER_EVENT_END);
    } else {
        beginRecord(stream, StopEncounterType);
        endRecord(stream, ID_STOP_ENCOUNTER_EVENT_END);
    }
    savedState = Global::encounter->getState();
    initChangeState(nullptr, Global::encounter->list().getCreaturesByType(CreatureList::All));
}

QString StopEncounterEvent::getDescription(bool)
{
    return tr("* Stop Encounter *");
}

void StopEncounterEvent::apply()
{
    for (Creature* target : targets)
        target->endOfEncounter();
    EncounterState stopped = savedState;
    stopped.currentIndex = -1;
    Global::encounter->setState(stopped);
    emit Global::switchBoard.doToggleJumpInButton();
    emit Global::switchBoard.doToggleStartStopNextButtons();
}

void StopEncounterEvent::undo()
{
    ChangeStateEvent::undo();
    Global::encounter->setState(savedState);
    emit Global::switchBoard.doToggleStartStopNextButtons();
}
