#ifndef MONSTERS_H
#define MONSTERS_H

#include <QList>
#include <QObject>
#include <QString>

#include "creature/creature.h"
#include "foundation/dogtag.h"

// The monster templates and the monster instances taken into encounters.
// Owns both.
class Monsters : public QObject
{
    Q_OBJECT

public:
    explicit Monsters(QObject* parent = nullptr);
    ~Monsters() override;

    // Takes the template, keeping the list sorted by template name.
    void addTemplate(Creature* monster);
    Creature* findTemplate(const QString& group) const;
    // The instance with that ID of that template. A template the library
    // lacks is replaced by a placeholder marked missing; with create, a
    // missing instance is made from the template.
    Creature* getMonsterInstance(const QString& templateName, const QString& id, bool create);
    void deleteMonsterInstance(Creature* instance);
    int getTemplateCount() const { return templates.size(); }
    Creature* getTemplate(int i) const { return templates.value(i); }
    int getInstanceCount() const { return instances.size(); }
    Creature* getInstance(int i) const { return instances.value(i); }
    CreatureCounts* getCounts() const { return counts; }

private:
    CreatureCounts* counts;
    QList<Creature*> templates;
    QList<Creature*> instances;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
