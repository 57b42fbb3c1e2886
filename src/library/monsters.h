#ifndef MONSTERS_H
#define MONSTERS_H

#include <QList>
#include <QObject>
#include <QString>

#include "creature/creature.h"
#include "foundation/dogtag.h"
#include "library/library.h"

class Progress;

// The monster templates and the monster instances taken into encounters.
// Owns both.
class Monsters : public Library
{
    Q_OBJECT

public:
    explicit Monsters(QObject* parent = nullptr);
    ~Monsters() override;

    // Takes the template, keeping the list sorted by template name.
    void addTemplate(Creature* monster);
    Creature* findTemplate(const QString& group, const Creature* exclude = nullptr) const;
    int getTemplateIndex(Creature* monster) const { return templates.indexOf(monster); }
    // The sorted place of a name among the templates other than the one at skip.
    int getTemplatePos(const QString& name, int skip) const;
    void deleteTemplate(int i, bool free);
    Creature* loadTemplate(const QString& fileName, const QString& root);
    // 1 go on, 0 stop, 2 choose another data folder.
    int loadTemplates(const QString& root, const QString& prettyRoot, Progress* progress);
    // The templates the library named otherwise than their file, as list items (LibraryList::renamedOnLoading).
    QStringList getRenamed() const;
    static int getFileCount(const QString& root);
    Creature* fileAlreadyImported(const QString& fileName) const;
    QString getNewTemplate() const;
    // The instance with that ID of that template. A template the library
    // lacks is replaced by a placeholder marked missing; with create, a
    // missing instance is made from the template.
    Creature* getMonsterInstance(const QString& templateName, const QString& id, bool create);
    void deleteMonsterInstance(Creature* instance);
    // Whether the history holds monsters of the template, ignoring case: the
    // log names them by it, and a restart finds them by that name alone.
    bool isTemplateInHistory(const QString& group) const;
    void removeMonsterInstances();
    void removeMonsterTemplates();
    // Takes over what another library loaded, which is left empty.
    void newMonsters(Monsters* loaded);
    int getTemplateCount() const { return templates.size(); }
    Creature* getTemplate(int i) const { return templates.value(i); }
    int getInstanceCount() const { return instances.size(); }
    Creature* getInstance(int i) const { return instances.value(i); }

    // The command that adds a picked monster to the encounter.
    void addMonsterToEncounter();

signals:
    void doTemplatesUpdated();

protected:
    void deleteEntries() override;
    bool isEmpty() const override { return templates.isEmpty(); }

private:
    QList<Creature*> templates;
    QList<Creature*> instances;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
