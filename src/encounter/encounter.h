#ifndef ENCOUNTER_H
#define ENCOUNTER_H

#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include "encounter/creaturelist.h"
#include "foundation/dogtag.h"
#include "powers/power.h"

class ObjectStream;

struct EncounterState
{
    int round = 0;
    // -1 while no encounter runs.
    int currentIndex = -1;
    // Dead creatures that left the list while the encounter ran.
    QSet<Creature*> dead;

    bool operator==(const EncounterState& other) const
    {
        return round == other.round && currentIndex == other.currentIndex && dead == other.dead;
    }
};

// The rows of the players' window.
struct VisibleForPlayers
{
    QList<int> indexes;
    QMap<int, Creature*> deadMonsters;
};

// The running encounter: creatures in initiative order, the current one and
// the round, the game master's selection. It changes only when an event is
// applied or undone, or the selection changes.
class Encounter : public QObject
{
    Q_OBJECT

public:
    explicit Encounter(QObject* parent = nullptr) : QObject(parent) {}
    ~Encounter() override;

    int getCreatureCount() const { return creatures.getCount(); }
    int getMonsterCount() const { return creatures.getMonsterCount(); }
    Creature* getCreature(int index) const { return creatures.getCreature(index); }
    int getCreatureIndex(Creature* creature) const { return creatures.getCreatureIndex(creature); }
    CreatureList getCreatureList() const { return creatures; }
    CreatureList& list() { return creatures; }
    QList<Creature*> getMonsters() const { return creatures.getCreaturesByType(CreatureList::Monsters); }
    QList<Creature*> getHeros() const { return creatures.getCreaturesByType(CreatureList::Heroes); }
    bool isHeroActive() const { return creatures.isHeroActive(); }
    QString getLevelClassRole(int index) const;
    QString getInitativeListName(int index) const;

    int getCurrentIndex() const { return state.currentIndex; }
    bool isRunning() const { return state.currentIndex != -1; }
    Creature* getCurrentCreature() const { return isRunning() ? creatures.getCreature(state.currentIndex) : nullptr; }
    int getNextIndex() const;
    Creature* getNextCreature() const { return creatures.getCreature(getNextIndex()); }
    static int getIndexBefore(int from, int to) { return from < to ? to - 1 : to; }
    static int getIndexAfter(int from, int to) { return from > to ? to + 1 : to; }
    EncounterState getState() const { return state; }
    EncounterState getNextState() const;
    EncounterEntry getEntry() const;
    int getRound() const { return state.round; }
    QString getName() const { return name; }

    QList<Creature*> getSelectedCreatures() const { return selected; }
    bool isCreatureSelected(Creature* creature) const { return selected.contains(creature); }
    Creature* getSelectedCreature(bool single) const;
    QList<int> getSelectedIndexes() const;

    QList<Creature*> getTargetCreatures(Creature* origin, Power::ApplyTo applyTo) const;
    QList<Creature*> getOriginCreatures() const;
    VisibleForPlayers getVisibleForPlayers() const;

    void setState(const EncounterState& newState);
    void setCurrentIndex(int index);
    void setCreatureList(const CreatureList& list);
    void setEntry(const EncounterEntry& entry);
    void removeCreature(Creature* creature);
    void removeCreatures(const QList<Creature*>& list);
    void moveCreature(int from, int to) { creatures.moveCreature(from, to); }
    void adjustInitiative(const QList<Creature*>& moved, int places);
    void reset();

    void selectCreature(int index);
    void toggleSelectedCreature(int index);
    void setSelectedCreatures(const QList<Creature*>& list);
    void clearSelectedCreatures();
    void removeSelectedCreature(Creature* creature);
    void removeSelectedNotInEncounter();

    // A creature was edited by hand: the next command records those edits first.
    void setCreatureEdited() { vitalityEdited = handEdited = true; }
    void clearCreatureEdited() { vitalityEdited = handEdited = false; }
    bool isCreatureEdited() const { return vitalityEdited; }
    // Edited since the last command, and not by the history's own steps:
    // those raise the flag above too, and the history keeps this one.
    bool hasHandEdits() const { return handEdited; }
    void setHandEdits(bool value) { handEdited = value; }
    // The heroes whose hand edits the next command records; none without hand edits.
    QStringList getHandEditedNames() const;
    void writeVitalityChanges(ObjectStream* stream);
    // A template's power was edited or deleted: its creatures in the fight follow.
    void updatePower(const QString& templateName, const QString& powerName, const CreaturePower& power);
    void deletePower(const QString& templateName, const QString& powerName);
    // Records the death of every dead creature, the last one first.
    void handleDying(bool keepTurn);
    void resetAllDeltas();

signals:
    void doCreatureSelectionChanged();
    void doCurrentCreatureChanged();
    void doCreatureCountChanged();

private:
    void takeOut(Creature* creature);
    void refreshRoundText();
    void refreshEncounterText();

    QString name;
    QString description;
    int level = 0;
    int xp = 0;
    EncounterState state;
    CreatureList creatures;
    bool vitalityEdited = false;
    bool handEdited = false;
    QList<Creature*> selected;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
