#ifndef ENCOUNTERDATA_H
#define ENCOUNTERDATA_H

#include <QByteArray>
#include <QList>
#include <QString>

#include "creature/creature.h"
#include "encounter/creaturelist.h"

class Encounters;

// One monster of a prepared encounter.
struct EncounterMonster
{
    QString name;
    QString id;
    QString alias;
    bool hidden = false;
};

// A prepared encounter: monsters grouped by template, with IDs, aliases and
// hidden flags, stored as one file of name=value lines in "Encounters".
class EncounterData
{
public:
    EncounterData() = default;

    QString getFileName() const { return fileName; }
    QString getName() const { return name; }
    QString getAdventure() const { return adventure; }
    QString getDescription() const { return description; }
    bool isNew() const { return isNewFlag; }
    bool isDirty() const { return isDirtyFlag; }
    bool isDeleted() const { return isDeletedFlag; }
    void setName(const QString& text) { name = text; }
    void setDescription(const QString& text) { description = text; }
    void setFileName(const QString& text) { fileName = text; }
    void setBeforeFileText(const QByteArray& text) { beforeFileText = text; }
    void setAdventure(const QString& text);
    void setNew(bool value);
    void setDirty(bool value);
    void setDeleted(bool value);
    void setRecalcXP(bool value) { recalcXP = value; }
    void setCounts(CreatureCounts* libraryCounts) { counts = libraryCounts; }
    void setEncounters(Encounters* library) { encounters = library; }
    // The header the running encounter shows.
    EncounterEntry getEntry();

    // Monsters and their groups (runs of one template name)
    int getMonsterCount() const { return monsters.size(); }
    EncounterMonster getMonster(int i) const { return monsters.value(i); }
    int getGroupCount() const { return groupStarts.size(); }
    QString getGroup(int g) const;
    int getGroupCreatureCount(int g) const;
    EncounterMonster* getGroupCreature(int g, int i);
    EncounterMonster* getGroupCreature(const QString& templateName, const QString& id);
    bool findGroupCreature(const QString& templateName, const QString& id) { return getGroupCreature(templateName, id); }
    int getGroupIndex(const QString& templateName) const;
    void getGroupCreatureIndex(const EncounterMonster& m, int& group, int& index) const;
    // Where addCreature would put the monster; true when it opens a new group.
    bool getGroupCreaturePos(const EncounterMonster& m, int& group, int& index) const;
    void resetGrouping() { groupStarts.clear(); }
    void rebuildGrouping();

    void addCreature(const EncounterMonster& m);
    void removeCreature(const EncounterMonster& m);
    void removeGroup(const QString& templateName);
    void renameGroup(const QString& oldName, const QString& newName, int& oldGroup, int& newGroup);
    // The monster instances, made on demand; aliases and hidden flags are the caller's.
    CreatureList getCreatureList() const;
    bool match(const QString& text, const QString& adventureFilter) const;

    // The file
    QByteArray getFileText(bool withLevel) const;
    // False when the file gives no encounter. told receives why a file was
    // not read, or what of it was left out; it stays empty for the rest.
    bool load(const QString& file, const QString& root, QString* told = nullptr);
    bool save();
    bool remove();
    void adjustDirty();

    // IDs, level and XP
    QString getNewUniqueName(const QString& templateName, const QString& prefix, int& scheme, bool perEncounter) const;
    QString getNewMonsterName(const QString& templateName);
    void recalcLevelAndXP();
    int getXP();
    int getLevel();

private:
    // One name=value line of the file.
    struct FileLine
    {
        QString key;
        // Written with a backslash in front: a template named like a key of the format.
        bool templateName = false;
        QByteArray rawValue;
        QString value;

        bool split(const QByteArray& line);
    };
    void readLine(const FileLine& line, bool& afterDescription, QString& currentGroup);
    // False for a line that is no key of the format: a group of monsters.
    bool readFormatKey(const FileLine& line, bool& afterDescription, const QString& currentGroup);
    // Where addCreature puts the monster.
    int insertionIndex(const EncounterMonster& m) const;
    bool isIdTaken(const QString& id, const QString& templateName, bool perEncounter) const;
    QString choosePrefix(const QString& templateName, const QString& callerPrefix, int& scheme) const;
    bool isPrefixTaken(const QString& prefix) const;
    void changeCount(bool& flag, bool value, int CreatureCounts::*total);

    CreatureCounts* counts = nullptr;
    bool isNewFlag = false;
    bool isDirtyFlag = false;
    bool isDeletedFlag = false;
    QString fileName;
    QString name;
    QString adventure;
    QString description;
    QByteArray beforeFileText;
    bool recalcXP = false;
    int partySize = 0;
    int level = 0;
    int xp = 0;
    QList<EncounterMonster> monsters;
    QList<int> groupStarts;
    Encounters* encounters = nullptr;
};

// Letter numbers: A-Z are 1-26, a-z 27-52, then decimal numbers from 0.
int charToNumber(const QString& text);
void generateChar(QString& out, int n);
// The ID before its trailing digits, which go to digits.
QString splitID(const QString& id, QString& digits);

#endif
