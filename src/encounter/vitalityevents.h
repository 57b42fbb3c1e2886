#ifndef VITALITYEVENTS_H
#define VITALITYEVENTS_H

#include "encounter/event.h"

// Hand-edited figures of a hero, recorded before the next command.
class SetVitalityEvent : public Event
{
    Q_DECLARE_TR_FUNCTIONS(SetVitalityEvent)

public:
    SetVitalityEvent(const CreatureVitality& vitality, ObjectStream* stream);
    explicit SetVitalityEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;
    QList<Creature*> getSubjects() const override { return {newVitality.creature}; }

private:
    void takeUndoValues();

    CreatureVitality oldVitality;
    CreatureVitality oldBeforeVitality;
    CreatureVitality newVitality;
};

// A creature's name changed; on replay it lets a placeholder made under the
// old name take the new one.
class RenameCreatureEvent : public Event
{
    Q_DECLARE_TR_FUNCTIONS(RenameCreatureEvent)

public:
    RenameCreatureEvent(const QString& oldName, const QString& newName, ObjectStream* stream);
    explicit RenameCreatureEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;
    QList<Creature*> getSubjects() const override { return {Creature::getCreatureByName(newName, false)}; }

private:
    void initRenameCreature(const QString& oldName, const QString& newName);

    QString oldName;
    QString newName;
    QString savedBeforeName;
};

#endif
