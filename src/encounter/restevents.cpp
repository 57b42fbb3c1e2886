#include "encounter/restevents.h"

#include "encounter/encounter.h"
#include "encounter/eventtags.h"
#include "foundation/global.h"
#include "foundation/objectstream.h"
#include "foundation/saturating.h"

namespace {

// A reference that names no creature leaves the event nothing to change.
QList<Creature*> present(Creature* creature)
{
    return creature ? QList<Creature*>{creature} : QList<Creature*>();
}

// An extended rest of no one in particular rests the default list.
QList<Creature*> resting(const QList<Creature*>& creatures)
{
    return creatures.isEmpty() ? ExtendedRestEvent::getDefaultList() : creatures;
}

}

FailedDeathSavingThrowEvent::FailedDeathSavingThrowEvent(Creature* creature, ObjectStream* stream)
{
    beginRecord(stream, FailedDeathSavingThrowType);
    Creature::write(creature, stream);
    endRecord(stream, ID_FAILED_DST_EVENT_END);
    initChangeState(nullptr, present(creature));
}

FailedDeathSavingThrowEvent::FailedDeathSavingThrowEvent(ObjectStream* stream)
{
    Creature* creature = Creature::readCreature(stream);
    endReading(stream, ID_FAILED_DST_EVENT_END);
    initChangeState(nullptr, present(creature));
}

QString FailedDeathSavingThrowEvent::getDescription(bool forPlayers)
{
    return tr("Failed Death Saving Throw: %1").arg(Creature::getNameList(targets, forPlayers));
}

void FailedDeathSavingThrowEvent::apply()
{
    // Counted from the snapshot, so that a redo adds the same one throw.
    for (int i = 0; i < targets.size(); i++)
        targets[i]->setFailedDeathSavingThrows(Saturating::sum(states[i].failedDeathSavingThrows, 1));
}

UseActionPointEvent::UseActionPointEvent(Creature* creature, int change, ObjectStream* stream) : amount(change)
{
    beginRecord(stream, UseActionPointType);
    Creature::write(creature, stream);
    if (amount != -1)
        stream->write(ID_USE_AP_EVENT_COUNT, amount);
    endRecord(stream, ID_USE_AP_EVENT_END);
    initChangeState(nullptr, present(creature));
}

UseActionPointEvent::UseActionPointEvent(ObjectStream* stream)
{
    Creature* creature = Creature::readCreature(stream);
    if (stream->isNextItem(ID_USE_AP_EVENT_COUNT))
        amount = stream->readInt(ID_USE_AP_EVENT_COUNT);
    endReading(stream, ID_USE_AP_EVENT_END);
    initChangeState(nullptr, present(creature));
}

QString UseActionPointEvent::getDescription(bool forPlayers)
{
    const QString name = Creature::getNameList(targets, forPlayers);
    if (amount == -AllActionPoints)
        return tr("Lose all Action Points: %1").arg(name);
    if (amount == AllActionPoints)
        return tr("Reset Action Points to 1: %2").arg(name);
    if (amount == -1)
        return tr("Use Action Point: %1").arg(name);
    if (amount < 0)
        return tr("Use %1 Action Points: %2").arg(QString::number(-qint64(amount)), name);
    if (amount == 0)
        return QString();
    if (amount == 1)
        return tr("Add Action Point: %1").arg(name);
    return tr("Add %1 Action Points: %2").arg(QString::number(amount), name);
}

void UseActionPointEvent::apply()
{
    for (Creature* target : targets) {
        // Spending AllActionPoints or more spends all there are.
        if (amount < 0)
            target->useActionPoints(-qMax(amount, -AllActionPoints));
        else
            target->addActionPoints(amount);
    }
}

StabilizeEvent::StabilizeEvent(Creature* origin, Creature* target, ObjectStream* stream)
{
    beginRecord(stream, StabilizeType);
    Creature::write(origin, stream);
    Creature::write(target, stream);
    endRecord(stream, ID_STABILIZE_EVENT_END);
    initChangeState(origin, present(target));
}

StabilizeEvent::StabilizeEvent(ObjectStream* stream)
{
    Creature* origin = Creature::readCreature(stream);
    Creature* target = Creature::readCreature(stream);
    endReading(stream, ID_STABILIZE_EVENT_END);
    initChangeState(origin, present(target));
}

QString StabilizeEvent::getDescription(bool forPlayers)
{
    return Creature::getOriginPrefix(actor, forPlayers) + tr("Stabilized: ") + Creature::getNameList(targets, forPlayers);
}

void StabilizeEvent::apply()
{
    for (Creature* target : targets)
        target->setStabilized(true);
}

ShortRestEvent::ShortRestEvent(const QList<RestedCreature>& entries, ObjectStream* stream)
{
    beginRecord(stream, ShortRestType);
    stream->write(ID_SR_ACTION_EVENT_COUNT, int(entries.size()));
    for (const RestedCreature& entry : entries)
        entry.write(stream);
    endRecord(stream, ID_SR_ACTION_EVENT_END);
    init(entries);
}

ShortRestEvent::ShortRestEvent(ObjectStream* stream)
{
    QList<RestedCreature> entries;
    const int count = stream->readInt(ID_SR_ACTION_EVENT_COUNT);
    // Each entry starts with its creature reference; a damaged count must
    // not read on into the next record.
    while (entries.size() < count && stream->isNextItem(ID_CREATURE_NAME)) {
        RestedCreature entry;
        entry.read(stream);
        entries.append(entry);
    }
    endReading(stream, ID_SR_ACTION_EVENT_END);
    init(entries);
}

void ShortRestEvent::init(const QList<RestedCreature>& entries)
{
    QList<Creature*> creatures;
    for (const RestedCreature& entry : entries) {
        if (!entry.creature)
            continue;
        rested.append(entry);
        creatures.append(entry.creature);
    }
    initChangeState(nullptr, creatures);
}

QString ShortRestEvent::getDescription(bool forPlayers)
{
    return tr("Short Rest: ") + Creature::getNameList(targets, forPlayers);
}

void ShortRestEvent::apply()
{
    for (const RestedCreature& entry : rested)
        entry.creature->takeShortRest(entry.addedHitPoints, entry.usedSurges, entry.addedActionPoint != 0);
}

std::function<void(Creature*)> ExtendedRestEvent::refreshLinkedFile = &Creature::refreshLinkedFile;

ExtendedRestEvent::ExtendedRestEvent(const QList<Creature*>& creatures, ObjectStream* stream)
{
    // Who rests is recorded: at replay the default list may hold others.
    const QList<Creature*> rested = resting(creatures);
    beginRecord(stream, ExtendedRestType);
    Creature::write(rested, stream);
    endRecord(stream, ID_EXT_REST_EVENT_END);
    initChangeState(nullptr, rested);
}

ExtendedRestEvent::ExtendedRestEvent(ObjectStream* stream)
{
    QList<Creature*> creatures;
    if (stream->isNextItem(ID_CREATURE_LIST_SIZE)) {
        creatures = Creature::readCreatureList(stream);
        creatures.removeAll(nullptr);
    } else {
        // Older logs name no one. Who was alive then is not known: the figures
        // a restart gives the heroes may be others than the live ones.
        creatures = Global::encounter->getHeros();
    }
    endReading(stream, ID_EXT_REST_EVENT_END);
    initChangeState(nullptr, creatures);
}

QList<Creature*> ExtendedRestEvent::getDefaultList()
{
    QList<Creature*> living;
    for (Creature* hero : Global::encounter->getHeros())
        if (!hero->isDead(false))
            living.append(hero);
    return living;
}

void ExtendedRestEvent::refreshLinkedFiles(const QList<Creature*>& creatures)
{
    if (!refreshLinkedFile)
        return;
    for (Creature* creature : resting(creatures))
        if (creature->isLinked())
            refreshLinkedFile(creature);
}

QString ExtendedRestEvent::getDescription(bool forPlayers)
{
    return tr("Extended Rest: ") + Creature::getNameList(targets, forPlayers);
}

void ExtendedRestEvent::apply()
{
    for (Creature* target : targets)
        target->takeExtendedRest(false, false);
    emit Global::switchBoard.doCharacterStatsUpdated();
}

UseSecondWindEvent::UseSecondWindEvent(Creature* creature, int change, ObjectStream* stream) : value(change)
{
    beginRecord(stream, UseSecondWindType);
    Creature::write(creature, stream);
    stream->write(ID_USE_SECOND_WIND_EVENT_VALUE, value);
    endRecord(stream, ID_EVENT_END);
    initChangeState(nullptr, present(creature));
}

UseSecondWindEvent::UseSecondWindEvent(ObjectStream* stream)
{
    Creature* creature = Creature::readCreature(stream);
    value = stream->readInt(ID_USE_SECOND_WIND_EVENT_VALUE);
    endReading(stream, ID_EVENT_END);
    initChangeState(nullptr, present(creature));
}

QString UseSecondWindEvent::getDescription(bool forPlayers)
{
    const QString name = Creature::getNameList(targets, forPlayers);
    if (value == -1)
        return tr("Use Second Wind: %1").arg(name);
    if (value == 1)
        return tr("Gain Second Wind: %1").arg(name);
    return QString();
}

void UseSecondWindEvent::apply()
{
    for (Creature* target : targets)
        target->setSecondWindUsed(value != 1);
}
