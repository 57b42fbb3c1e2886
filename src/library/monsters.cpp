#include "library/monsters.h"

#include "library/librarylist.h"

Monsters::Monsters(QObject* parent) : QObject(parent), counts(new CreatureCounts)
{
}

Monsters::~Monsters()
{
    qDeleteAll(instances);
    qDeleteAll(templates);
    delete counts;
}

void Monsters::addTemplate(Creature* monster)
{
    monster->setCounts(counts);
    LibraryList::insertSorted(templates, monster, &Creature::getGroup);
}

Creature* Monsters::findTemplate(const QString& group) const
{
    for (Creature* monster : templates)
        if (monster->getGroup().compare(group, Qt::CaseInsensitive) == 0)
            return monster;
    return nullptr;
}

Creature* Monsters::getMonsterInstance(const QString& templateName, const QString& id, bool create)
{
    Creature* base = findTemplate(templateName);
    if (!base) {
        base = new Creature();
        base->setupDummyMonster(templateName);
        base->setMissing(true);
        addTemplate(base);
    }
    for (Creature* instance : instances)
        if (instance->getGroup().compare(templateName, Qt::CaseInsensitive) == 0
            && instance->getName().compare(id, Qt::CaseInsensitive) == 0)
            return instance;
    if (!create)
        return nullptr;
    auto* instance = new Creature();
    instance->copyStats(base);
    instance->setName(id);
    instance->takeExtendedRest(false, false);
    instance->setBeforeVitality(instance->getVitality());
    instances.append(instance);
    return instance;
}

void Monsters::deleteMonsterInstance(Creature* instance)
{
    if (instances.removeOne(instance))
        delete instance;
}
