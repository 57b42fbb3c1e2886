#include "encounter/vitalityevents.h"

#include "encounter/encounter.h"
#include "encounter/eventtags.h"
#include "foundation/global.h"
#include "foundation/objectstream.h"

namespace {

bool inEncounter(Creature* creature)
{
    return creature && Global::encounter && Global::encounter->getCreatureIndex(creature) >= 0;
}

// The name a creature takes from a reference name: a hero's whole name, a monster's ID.
QString nameFromReference(Creature* creature, const QString& reference)
{
    if (creature->isHero())
        return reference;
    QString name, group;
    Creature::getNameAndGroup(reference, name, group);
    return name;
}
}

SetVitalityEvent::SetVitalityEvent(const CreatureVitality& vitality, ObjectStream* stream)
{
    beginRecord(stream, SetVitalityType);
    vitality.write(stream);
    endRecord(stream, ID_SET_VITALITY_EVENT_END);
    newVitality = vitality;
    takeUndoValues();
}

SetVitalityEvent::SetVitalityEvent(ObjectStream* stream)
{
    newVitality.read(stream);
    endReading(stream, ID_SET_VITALITY_EVENT_END);
    takeUndoValues();
}

void SetVitalityEvent::takeUndoValues()
{
    Creature* creature = newVitality.creature;
    if (creature) {
        oldBeforeVitality = creature->getBeforeVitality();
        oldVitality = creature->getVitality();
    }
    playerEventIfOneCharacter(creature);
}

QString SetVitalityEvent::getDescription(bool forPlayers)
{
    Creature* creature = newVitality.creature;
    QString text = tr("Changed %1:").arg(creature ? creature->getDisplayName(forPlayers) : QString());
    const CreatureVitality& a = oldBeforeVitality;
    const CreatureVitality& b = newVitality;
    if (a.initBonus != b.initBonus)
        text += b.initBonus == UnknownValue ? tr(" Init -;") : tr(" Init +%1;").arg(b.initBonus);
    const struct
    {
        int before;
        int after;
        const char* piece;
    } pieces[] = {
        {a.maxHitPoints, b.maxHitPoints, QT_TR_NOOP(" Max HP %1;")},
        {a.hitPoints, b.hitPoints, QT_TR_NOOP(" Curr HP %1;")},
        {a.maxHealingSurges, b.maxHealingSurges, QT_TR_NOOP(" MAX HS %1;")},
        {a.healingSurges, b.healingSurges, QT_TR_NOOP(" Curr HS %1;")},
        {a.surgeValue, b.surgeValue, QT_TR_NOOP(" HS Value %1;")},
        {a.initActionPoints, b.initActionPoints, QT_TR_NOOP(" Init AP %1;")},
        {a.actionPoints, b.actionPoints, QT_TR_NOOP(" AP %1;")},
    };
    for (const auto& piece : pieces)
        if (piece.before != piece.after)
            text += tr(piece.piece).arg(piece.after);
    text.chop(1);
    return text;
}

void SetVitalityEvent::apply()
{
    if (!newVitality.creature)
        return;
    newVitality.setVitality();
    newVitality.setBeforeVitality();
}

void SetVitalityEvent::undo()
{
    if (!newVitality.creature)
        return;
    oldVitality.setVitality();
    oldBeforeVitality.setBeforeVitality();
}

RenameCreatureEvent::RenameCreatureEvent(const QString& oldName, const QString& newName, ObjectStream* stream)
{
    beginRecord(stream, RenameCreatureType);
    stream->write(ID_RENAME_CREATURE_EVENT_OLD_NAME, oldName);
    stream->write(ID_RENAME_CREATURE_EVENT_NEW_NAME, newName);
    endRecord(stream, ID_RENAME_CREATURE_EVENT_END);
    initRenameCreature(oldName, newName);
}

RenameCreatureEvent::RenameCreatureEvent(ObjectStream* stream)
{
    QString oldText = stream->readString(ID_RENAME_CREATURE_EVENT_OLD_NAME);
    QString newText = stream->readString(ID_RENAME_CREATURE_EVENT_NEW_NAME);
    endReading(stream, ID_RENAME_CREATURE_EVENT_END);
    initRenameCreature(oldText, newText);
}

void RenameCreatureEvent::initRenameCreature(const QString& oldText, const QString& newText)
{
    oldName = oldText;
    newName = newText;
    QString name, group;
    playersEvent = Creature::getNameAndGroup(oldName, name, group);
}

QString RenameCreatureEvent::getDescription(bool)
{
    return tr("Rename %1 -> %2").arg(oldName, newName);
}

void RenameCreatureEvent::apply()
{
    Creature* oldCreature = Creature::getCreatureByName(oldName, false);
    Creature* newCreature = Creature::getCreatureByName(newName, false);
    savedBeforeName.clear();
    if (!inEncounter(oldCreature))
        return;
    if (!newCreature) {
        oldCreature->setName(nameFromReference(oldCreature, newName));
    } else if (!inEncounter(newCreature) && oldCreature->isMissing()) {
        // The placeholder made under the old name takes the renamed creature's place.
        QString fileName = newCreature->getFileName();
        CreatureStats stats = newCreature->getStats();
        Creature::removeCreature(newCreature);
        oldCreature->setFileName(fileName);
        oldCreature->setStats(stats);
        oldCreature->setBeforeStatBlock(oldCreature->getStatBlock());
        oldCreature->dirtyStateHasChanged();
    }
    savedBeforeName = oldCreature->getBeforeName();
    oldCreature->setBeforeName(oldCreature->getName());
}

void RenameCreatureEvent::undo()
{
    Creature* oldCreature = Creature::getCreatureByName(oldName, false);
    Creature* newCreature = Creature::getCreatureByName(newName, false);
    if (!newCreature || oldCreature || !inEncounter(newCreature))
        return;
    newCreature->setName(nameFromReference(newCreature, oldName));
    if (!savedBeforeName.isEmpty())
        newCreature->setBeforeName(savedBeforeName);
}
