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

// A creature holds its turn by delaying or by readying an action.
bool isHolding(const Creature* creature, bool delaying)
{
    return delaying ? creature->isDelayed() : creature->isReady();
}

void setHolding(Creature* creature, bool delaying, bool holding)
{
    if (delaying)
        creature->setDelayed(holding);
    else
        creature->setReady(holding);
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

HoldTurnEvent::HoldTurnEvent(bool delay, Type type, int endTag, Creature* subject, ObjectStream* stream)
    : CreatureEvent(type, endTag, subject, stream), delaying(delay)
{
    initHoldTurn();
}

HoldTurnEvent::HoldTurnEvent(bool delay, int endTag, ObjectStream* stream)
    : CreatureEvent(endTag, stream), delaying(delay)
{
    initHoldTurn();
}

void HoldTurnEvent::initHoldTurn()
{
    wasHolding = creature && isHolding(creature, delaying);
    playerEventIfOneCharacter(creature);
}

QString HoldTurnEvent::getDescription(bool forPlayers)
{
    return describe(delaying ? tr("* Delayed: %1 *") : tr("* Ready: %1 *"), forPlayers);
}

void HoldTurnEvent::apply()
{
    if (creature)
        setHolding(creature, delaying, true);
}

void HoldTurnEvent::undo()
{
    if (creature)
        setHolding(creature, delaying, wasHolding);
}

DelayEvent::DelayEvent(Creature* subject, ObjectStream* stream)
    : HoldTurnEvent(true, DelayType, ID_DELAY_EVENT_END, subject, stream)
{
}

DelayEvent::DelayEvent(ObjectStream* stream) : HoldTurnEvent(true, ID_DELAY_EVENT_END, stream) {}

ReadyEvent::ReadyEvent(Creature* subject, ObjectStream* stream)
    : HoldTurnEvent(false, ReadyType, ID_READY_EVENT_END, subject, stream)
{
}

ReadyEvent::ReadyEvent(ObjectStream* stream) : HoldTurnEvent(false, ID_READY_EVENT_END, stream) {}

ActNowEvent::ActNowEvent(bool delay, Type type, int endTag, Creature* subject, ObjectStream* stream)
    : CreatureEvent(type, endTag, subject, stream), delayed(delay)
{
    initActNow();
}

ActNowEvent::ActNowEvent(bool delay, int endTag, ObjectStream* stream) : CreatureEvent(endTag, stream), delayed(delay)
{
    initActNow();
}

void ActNowEvent::initActNow()
{
    Encounter* encounter = Global::encounter;
    currentCreature = encounter->getCurrentCreature();
    creatureIndex = encounter->getCreatureIndex(creature);
    targetIndex = delayed ? Encounter::getIndexAfter(creatureIndex, encounter->getCurrentIndex())
                          : Encounter::getIndexBefore(creatureIndex, encounter->getCurrentIndex());
    savedState = encounter->getState();
    playerEventIfOneCharacter(creature);
}

QString ActNowEvent::getDescription(bool forPlayers)
{
    return describe(delayed ? tr("* Jump in: %1 *") : tr("* Ready action: %1 *"), forPlayers);
}

// The order first, so that the state's signal finds it in place.
void ActNowEvent::move(int from, int to, bool applying)
{
    Encounter* encounter = Global::encounter;
    encounter->moveCreature(from, to);
    if (!delayed) {
        encounter->setCurrentIndex(encounter->getCreatureIndex(currentCreature));
        return;
    }
    // The creature lands just after the current one, never past the end of
    // the order, so the round stays. At a turn start the current creature
    // itself jumps in, and the Next Turn before has counted any new round.
    EncounterState state = savedState;
    if (applying)
        state.currentIndex = targetIndex;
    encounter->setState(state);
}

void ActNowEvent::apply()
{
    ended = delayed && creature ? Global::encounter->getCurrentCreature() : nullptr;
    moved = delayed ? ended != nullptr : creature != nullptr;
    if (!moved)
        return;
    if (ended)
        ended->setEndTurnCount(ended->getEndTurnCount() + 1);
    move(creatureIndex, targetIndex, true);
    setHolding(creature, delayed, false);
}

void ActNowEvent::undo()
{
    if (!moved)
        return;
    setHolding(creature, delayed, true);
    move(targetIndex, creatureIndex, false);
    if (ended)
        ended->setEndTurnCount(ended->getEndTurnCount() - 1);
}

JumpInEvent::JumpInEvent(Creature* subject, ObjectStream* stream)
    : ActNowEvent(true, JumpInType, ID_JUMPIN_EVENT_END, subject, stream)
{
}

JumpInEvent::JumpInEvent(ObjectStream* stream) : ActNowEvent(true, ID_JUMPIN_EVENT_END, stream) {}

EndReadyEvent::EndReadyEvent(Creature* subject, ObjectStream* stream)
    : ActNowEvent(false, EndReadyType, ID_END_READY_EVENT_END, subject, stream)
{
}

EndReadyEvent::EndReadyEvent(ObjectStream* stream) : ActNowEvent(false, ID_END_READY_EVENT_END, stream) {}

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
