#ifndef CREATURELIST_H
#define CREATURELIST_H

#include <QList>
#include <QString>

#include "creature/creature.h"

class ObjectStream;
class CreatureInitList;
class InitiativeList;
class CreatureVitalityList;

// An ordered list of creatures it does not own.
class CreatureList
{
public:
    CreatureList() = default;
    CreatureList(const QList<Creature*>& creatures) : creatures(creatures) {}
    virtual ~CreatureList() = default;

    enum Type { Monsters = 1, Heroes = 2, All = 3 };

    int getCount() const { return creatures.size(); }
    bool isEmpty() const { return creatures.isEmpty(); }
    int getMonsterCount() const;
    Creature* getCreature(int index) const { return creatures.value(index); }
    int getCreatureIndex(Creature* creature) const { return creatures.indexOf(creature); }
    QList<Creature*> getCreatureList() const { return creatures; }
    QList<Creature*> getCreaturesByType(int mask) const;
    bool isHeroActive() const;
    QString getNameList() const;
    QList<CreatureInit> getInitList() const;
    QList<CreatureVitality> getVitalityList() const;
    void writeVitalityChanges(ObjectStream* stream);

    // Keeps the list in group and name order; equals keep their order of arrival.
    void addCreature(Creature* creature);
    void addCreatures(int index, const CreatureList& other);
    void insertCreature(int index, Creature* creature) { creatures.insert(index, creature); }
    void deleteCreature(int index);
    void deleteCreatures(bool monster);
    void swapCreature(int a, int b);
    void moveCreature(int from, int to);
    void reset() { creatures.clear(); }

    // Ties go by the initiative bonus the figures record, the creature's own where
    // they name it not; an unknown bonus ranks as none.
    static void addCreatureByInitiative(QList<Creature*>& list, Creature* creature);
    static void addCreatureByInitiative(QList<Creature*>& list, Creature* creature,
                                        const CreatureVitalityList& figures);
    // Gives every creature its typed initiative and sorts by it, ties broken by the
    // initiative bonus the figures record (the creature's own where they name it not);
    // returns the values they had.
    CreatureInitList setInitiativeOrder(const InitiativeList& heroes, const InitiativeList& monsters,
                                        const CreatureVitalityList& figures);

private:
    QList<Creature*> creatures;
};

class CreatureInitList : public QList<CreatureInit>
{
public:
    using QList<CreatureInit>::QList;
    CreatureInitList(const QList<CreatureInit>& list) : QList<CreatureInit>(list) {}
    void apply() const;
    CreatureList getCreatureList() const;
    bool write(ObjectStream* stream) const;
    void read(ObjectStream* stream);
};

class CreatureVitalityList : public QList<CreatureVitality>
{
public:
    using QList<CreatureVitality>::QList;
    CreatureVitalityList(const QList<CreatureVitality>& list) : QList<CreatureVitality>(list) {}
    // Puts the figures back and takes them as recorded.
    void apply() const;
    bool write(ObjectStream* stream) const;
    void read(ObjectStream* stream);
};

// The header of a prepared encounter.
struct EncounterEntry
{
    QString fileName;
    QString name;
    QString adventure;
    QString description;
    int level = 0;
    int xp = 0;

    bool write(ObjectStream* stream) const;
    void read(ObjectStream* stream);
};

// One typed initiative: of a creature, or of every monster of a template.
struct InitiativeItem
{
    QString name;
    int initiative = 0;
    int random = 0;

    bool write(ObjectStream* stream) const;
    void read(ObjectStream* stream);
};

class InitiativeList : public QList<InitiativeItem>
{
public:
    using QList<InitiativeItem>::QList;
    // The item named after the creature, else after its template; an empty one when none.
    InitiativeItem getInitiative(Creature* creature) const;
    bool write(ObjectStream* stream) const;
    void read(ObjectStream* stream);
};

#endif
