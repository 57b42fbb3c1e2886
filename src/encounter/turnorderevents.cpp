#include "encounter/turnorderevents.h"

#include "foundation/global.h"
#include "foundation/objectstream.h"

namespace {

// Whether the encounter runs and who may jump in both follow the turn order.
void refreshTurnButtons()
{
    emit Global::switchBoard.doToggleStartStopNextButtons();
    emit Global::switchBoard.doToggleJumpInButton();
}

}

CreatureEvent::CreatureEvent(Type type, int endTag, Creature* subject, ObjectStream* stream) : creature(subject)
{
    beginRecord(stream, type);
    Creature::write(creature, stream);
    endRecord(stream, endTag);
}

CreatureEvent::CreatureEvent(int endTag, ObjectStream* stream)
{
    creature = Creature::readCreature(stream);
    endReading(stream, endTag);
}

QString CreatureEvent::describe(const QString& text, bool forPlayers) const
{
    return text.arg(creature ? creature->getDisplayName(forPlayers) : QString());
}

DelayEvent::DelayEvent(Creature* subject, ObjectStream* stream)
    : CreatureEvent(DelayType, ID_DELAY_EVENT_END, subject, stream)
{
    initDelay();
}

DelayEvent::DelayEvent(ObjectStream* stream) : CreatureEvent(ID_DELAY_EVENT_END, stream)
{
    initDelay();
}

void DelayEvent::initDelay()
{
    wasDelayed = creature && creature->isDelayed();
    playerEventIfOneCharacter(creature);
}

QString DelayEvent::getDescription(bool forPlayers)
{
    return describe(tr("* Delayed: %1 *"), forPlayers);
}

void DelayEvent::apply()
{
    if (creature)
        creature->setDelayed(true);
}

void DelayEvent::undo()
{
    if (creature)
        creature->setDelayed(wasDelayed);
}

JumpInEvent::JumpInEvent(Creature* subject, ObjectStream* stream)
    : CreatureEvent(JumpInType, ID_JUMPIN_EVENT_END, subject, stream)
{
    initJumpIn();
}

JumpInEvent::JumpInEvent(ObjectStream* stream) : CreatureEvent(ID_JUMPIN_EVENT_END, stream)
{
    initJumpIn();
}

void JumpInEvent::initJumpIn()
{
    Encounter* encounter = Global::encounter;
    creatureIndex = encounter->getCreatureIndex(creature);
    targetIndex = Encounter::getIndexAfter(creatureIndex, encounter->getCurrentIndex());
    savedState = encounter->getState();
    playerEventIfOneCharacter(creature);
}

QString JumpInEvent::getDescription(bool forPlayers)
{
    return describe(tr("* Jump in: %1 *"), forPlayers);
}

void JumpInEvent::apply()
{
    Encounter* encounter = Global::encounter;
    ended = creature ? encounter->getCurrentCreature() : nullptr;
    if (!ended)
        return;
    ended->setEndTurnCount(ended->getEndTurnCount() + 1);
    encounter->moveCreature(creatureIndex, targetIndex);
    // The creature lands just after the current one, never past the end of
    // the order, so the round stays. At a turn start the current creature
    // itself jumps in, and the Next Turn before has counted any new round.
    EncounterState jumpedIn = savedState;
    jumpedIn.currentIndex = targetIndex;
    encounter->setState(jumpedIn);
    creature->setDelayed(false);
}

void JumpInEvent::undo()
{
    if (!ended)
        return;
    Encounter* encounter = Global::encounter;
    creature->setDelayed(true);
    // The order first, so that the state's signal finds it restored.
    encounter->moveCreature(targetIndex, creatureIndex);
    encounter->setState(savedState);
    ended->setEndTurnCount(ended->getEndTurnCount() - 1);
}

ReadyEvent::ReadyEvent(Creature* subject, ObjectStream* stream)
    : CreatureEvent(ReadyType, ID_READY_EVENT_END, subject, stream)
{
    initReady();
}

ReadyEvent::ReadyEvent(ObjectStream* stream) : CreatureEvent(ID_READY_EVENT_END, stream)
{
    initReady();
}

void ReadyEvent::initReady()
{
    wasReady = creature && creature->isReady();
    playerEventIfOneCharacter(creature);
}

QString ReadyEvent::getDescription(bool forPlayers)
{
    return describe(tr("* Ready: %1 *"), forPlayers);
}

void ReadyEvent::apply()
{
    if (creature)
        creature->setReady(true);
}

void ReadyEvent::undo()
{
    if (creature)
        creature->setReady(wasReady);
}

EndReadyEvent::EndReadyEvent(Creature* subject, ObjectStream* stream)
    : CreatureEvent(EndReadyType, ID_END_READY_EVENT_END, subject, stream)
{
    initEndReady();
}

EndReadyEvent::EndReadyEvent(ObjectStream* stream) : CreatureEvent(ID_END_READY_EVENT_END, stream)
{
    initEndReady();
}

void EndReadyEvent::initEndReady()
{
    Encounter* encounter = Global::encounter;
    currentCreature = encounter->getCurrentCreature();
    creatureIndex = encounter->getCreatureIndex(creature);
    targetIndex = Encounter::getIndexBefore(creatureIndex, encounter->getCurrentIndex());
    playerEventIfOneCharacter(creature);
}

QString EndReadyEvent::getDescription(bool forPlayers)
{
    return describe(tr("* Ready action: %1 *"), forPlayers);
}

void EndReadyEvent::moveAndKeepCurrent(int from, int to)
{
    Encounter* encounter = Global::encounter;
    encounter->moveCreature(from, to);
    encounter->setCurrentIndex(encounter->getCreatureIndex(currentCreature));
}

void EndReadyEvent::apply()
{
    if (!creature)
        return;
    moveAndKeepCurrent(creatureIndex, targetIndex);
    creature->setReady(false);
}

void EndReadyEvent::undo()
{
    if (!creature)
        return;
    creature->setReady(true);
    moveAndKeepCurrent(targetIndex, creatureIndex);
}

DiedEvent::DiedEvent(Creature* subject, ObjectStream* stream)
    : CreatureEvent(DiedType, ID_DIED_EVENT_END, subject, stream)
{
    initDied();
}

DiedEvent::DiedEvent(ObjectStream* stream) : CreatureEvent(ID_DIED_EVENT_END, stream)
{
    initDied();
}

void DiedEvent::initDied()
{
    savedState = Global::encounter->getState();
    savedList = Global::encounter->getCreatureList();
    playerEventIfVisible(creature);
}

QString DiedEvent::getDescription(bool forPlayers)
{
    return describe(tr("Died: %1"), forPlayers);
}

void DiedEvent::apply()
{
    if (!creature)
        return;
    Global::encounter->removeCreature(creature);
    refreshTurnButtons();
}

void DiedEvent::undo()
{
    if (!creature)
        return;
    Global::encounter->setCreatureList(savedList);
    Global::encounter->setState(savedState);
    refreshTurnButtons();
}

AdjustInitiativeEvent::AdjustInitiativeEvent(const QList<Creature*>& moved, int places, ObjectStream* stream)
{
    beginRecord(stream, AdjustInitiativeType);
    Creature::write(moved, stream);
    stream->write(ID_ADJUST_INITIATIVE_ADJUSTMENT, places);
    endRecord(stream, ID_ADJUST_INITIATIVE_EVENT_END);
    initAdjustInitiative(moved, places);
}

AdjustInitiativeEvent::AdjustInitiativeEvent(ObjectStream* stream)
{
    QList<Creature*> moved = Creature::readCreatureList(stream);
    int places = stream->readInt(ID_ADJUST_INITIATIVE_ADJUSTMENT);
    endReading(stream, ID_ADJUST_INITIATIVE_EVENT_END);
    moved.removeAll(nullptr);
    initAdjustInitiative(moved, places);
}

void AdjustInitiativeEvent::initAdjustInitiative(const QList<Creature*>& moved, int places)
{
    creatures = moved;
    adjustment = places;
    savedState = Global::encounter->getState();
    savedList = Global::encounter->getCreatureList();
    playerEventIfAllCharacters(creatures);
}

QString AdjustInitiativeEvent::getDescription(bool forPlayers)
{
    QString text = adjustment < 1 ? tr("Initiative %1: %2") : tr("Initiative +%1: %2");
    return text.arg(QString::number(adjustment), Creature::getNameList(creatures, forPlayers));
}

// With no creature to move, nothing moves: the order may then be empty too,
// and an upward move would find no length to wrap around.
void AdjustInitiativeEvent::apply()
{
    if (!creatures.isEmpty())
        Global::encounter->adjustInitiative(creatures, adjustment);
}

void AdjustInitiativeEvent::undo()
{
    if (creatures.isEmpty())
        return;
    Global::encounter->setCreatureList(savedList);
    Global::encounter->setState(savedState);
}
