#ifndef ENCOUNTERS_H
#define ENCOUNTERS_H

#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include "creature/creature.h"
#include "foundation/dogtag.h"
#include "library/library.h"

class EncounterData;
class Progress;

// The library of prepared encounters, sorted by name, with the number of
// encounters of each adventure. Owns its encounters.
class Encounters : public Library
{
    Q_OBJECT

public:
    explicit Encounters(QObject* parent = nullptr);
    ~Encounters() override;

    int getEncounterCount() const { return encounters.size(); }
    EncounterData* getEncounter(int i) const { return encounters.value(i); }
    int getEncounterIndex(EncounterData* e) const { return encounters.indexOf(e); }
    EncounterData* findEncounter(const QString& name) const;
    // Where addEncounter puts an encounter of this name among the encounters
    // other than the one at row skip: after those of the same name.
    int getEncounterPos(const QString& name, int skip) const;
    void addEncounter(EncounterData* e);
    // Takes the entry out; the caller deletes it.
    void deleteEncounter(int i);
    void addAdventure(const QString& name);
    void removeAdventure(const QString& name);
    QStringList getAdventureList() const { return adventures.keys(); }
    QString getNewEncounterName() const;
    static int getFileCount(const QString& root);
    // 1 go on, 0 stop, 2 choose another data folder.
    int loadEncounters(const QString& root, const QString& prettyRoot, Progress* progress);
    // Takes over what another library loaded, which is left empty.
    void newEncounters(Encounters* loaded);
    void allRecalcXP();

    // The command that loads a prepared encounter into the running encounter.
    void selectEncounter();

signals:
    void doEncountersUpdated();

protected:
    void deleteEntries() override;
    bool isEmpty() const override { return encounters.isEmpty(); }

private:
    QList<EncounterData*> encounters;
    QMap<QString, int> adventures;
    // The picker opens with the adventure chosen last time.
    QString adventure;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
