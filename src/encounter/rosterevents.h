#ifndef ROSTEREVENTS_H
#define ROSTEREVENTS_H

#include "encounter/creaturelist.h"
#include "encounter/encounter.h"
#include "encounter/event.h"

// What every change of who stands in the encounter keeps: the list, the
// state and the figures before and after.
class RosterChange
{
protected:
    // The state that goes with the new list: the current creature stays
    // current while it stays, otherwise the index is clamped into the list.
    void takeOld();
    void takeNew(const CreatureList& list, const CreatureVitalityList& vitality);
    void install(bool forward) const;

    CreatureList oldList;
    EncounterState oldState;
    CreatureVitalityList oldVitality;
    CreatureList newList;
    EncounterState newState;
    CreatureVitalityList newVitality;
    // The added creatures' hidden flags before.
    QList<bool> oldHidden;
};

// A prepared encounter's creatures take the place of all monsters.
class SetEncounterEvent : public ChangeStateEvent, private RosterChange
{
    Q_DECLARE_TR_FUNCTIONS(SetEncounterEvent)

public:
    // The creatures carry the rolls typed for them; previous are those they had.
    SetEncounterEvent(const EncounterEntry& entry, const CreatureList& creatures, bool hidden,
                      const CreatureInitList& previous, ObjectStream* stream);
    explicit SetEncounterEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;

private:
    void initEncounter(const EncounterEntry& entry, const CreatureList& creatures, bool hidden);

    bool hidden = false;
    QList<Creature*> newCreatures;
    EncounterEntry newEntry;
    EncounterEntry oldEntry;
    CreatureInitList newInitiative;
    CreatureInitList oldInitiative;
};

// Creatures join the encounter: after the current creature while it runs,
// otherwise monsters at the end and characters at the front.
class AddCreaturesEvent : public ChangeStateEvent, protected RosterChange
{
    Q_DECLARE_TR_FUNCTIONS(AddCreaturesEvent)

public:
    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;

protected:
    AddCreaturesEvent() = default;
    void initAddedCreatures(Type type, ObjectStream* stream);
    void initAddedCreatures(Type type, const QString& text, const CreatureList& creatures, bool hide,
                            const CreatureInitList& oldInitiative, ObjectStream* stream);
    void initAddedCreatures(Type type, const QString& text, const CreatureList& creatures, bool hide,
                            const CreatureInitList& oldInitiative);
    // The encounter's list before the added creatures go in, and where they go.
    virtual CreatureList keptCreatures() const;
    virtual int insertAt(Type type, const CreatureList& kept) const;

    Type type = NoType;
    QString name;
    bool hidden = false;
    QList<Creature*> added;
    CreatureInitList newInitiative;
    CreatureInitList oldInitiative;
};

class AddMonsterEvent : public AddCreaturesEvent
{
    Q_DECLARE_TR_FUNCTIONS(AddMonsterEvent)

public:
    AddMonsterEvent(const CreatureList& creatures, bool hidden, const CreatureInitList& oldInitiative,
                    ObjectStream* stream);
    explicit AddMonsterEvent(ObjectStream* stream);
};

class AddMonstersEvent : public AddCreaturesEvent
{
    Q_DECLARE_TR_FUNCTIONS(AddMonstersEvent)

public:
    AddMonstersEvent(const QString& encounterName, const CreatureList& creatures, bool hidden,
                     const CreatureInitList& oldInitiative, ObjectStream* stream);
    explicit AddMonstersEvent(ObjectStream* stream);
};

// The chosen characters take the place of the whole party.
class SetPartyEvent : public AddCreaturesEvent
{
    Q_DECLARE_TR_FUNCTIONS(SetPartyEvent)

public:
    SetPartyEvent(const CreatureList& creatures, bool hidden, const CreatureInitList& oldInitiative,
                  ObjectStream* stream);
    explicit SetPartyEvent(ObjectStream* stream);
    bool isPlayersEvent() override { return true; }

protected:
    CreatureList keptCreatures() const override;
    int insertAt(Type type, const CreatureList& kept) const override;
};

class AddCharactersEvent : public AddCreaturesEvent
{
    Q_DECLARE_TR_FUNCTIONS(AddCharactersEvent)

public:
    AddCharactersEvent(const CreatureList& creatures, bool hidden, const CreatureInitList& oldInitiative,
                       ObjectStream* stream);
    explicit AddCharactersEvent(ObjectStream* stream);
    bool isPlayersEvent() override { return true; }
};

// One creature hidden from or shown on the players' display.
class ShowHideEvent : public Event
{
    Q_DECLARE_TR_FUNCTIONS(ShowHideEvent)

public:
    ShowHideEvent(Creature* creature, bool hide, ObjectStream* stream);
    explicit ShowHideEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;
    bool isPlayersEvent() override { return false; }

private:
    Creature* creature = nullptr;
    bool hide = false;
    // The flag before, which undo puts back.
    bool wasHidden = false;
};

// Creatures leave the encounter.
class RemoveCreaturesEvent : public Event
{
    Q_DECLARE_TR_FUNCTIONS(RemoveCreaturesEvent)

public:
    RemoveCreaturesEvent(Creature* creature, ObjectStream* stream);
    RemoveCreaturesEvent(const QList<Creature*>& creatures, ObjectStream* stream);
    explicit RemoveCreaturesEvent(ObjectStream* stream);

    QString getDescription(bool forPlayers) override;
    void apply() override;
    void undo() override;
    QList<Creature*> getSubjects() const override { return creatures; }

protected:
    RemoveCreaturesEvent(Type type, const QList<Creature*>& creatures, ObjectStream* stream);
    void initRemoveCreatures(const QList<Creature*>& list);

    QList<Creature*> creatures;
    EncounterState savedState;
    CreatureList savedList;
};

// The current creature leaves the encounter.
class RemoveCurrentEvent : public RemoveCreaturesEvent
{
    Q_DECLARE_TR_FUNCTIONS(RemoveCurrentEvent)

public:
    RemoveCurrentEvent(Creature* creature, ObjectStream* stream);
    explicit RemoveCurrentEvent(ObjectStream* stream) : RemoveCreaturesEvent(stream) {}

    QString getDescription(bool forPlayers) override;
};

#endif
