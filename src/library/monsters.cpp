#include "library/monsters.h"

#include <algorithm>

#include "encounter/encounter.h"
#include "encounter/history.h"
#include "encounter/powerevents.h"
#include "encounter/rosterevents.h"
#include "foundation/global.h"
#include "foundation/uihooks.h"
#include "library/librarylist.h"

namespace {

// A fresh creature's figures, as recorded last: the next recording of hand
// edits then finds nothing to write.
void rested(Creature* creature)
{
    creature->takeExtendedRest(false, false);
    creature->setBeforeVitality(creature->getVitality());
    creature->setBeforeName(creature->getName());
}

}

Monsters::Monsters(QObject* parent) : Library(parent) {}

Monsters::~Monsters()
{
    qDeleteAll(instances);
    qDeleteAll(templates);
}

void Monsters::addTemplate(Creature* monster)
{
    monster->setCounts(getCounts());
    LibraryList::insertSorted(templates, monster, &Creature::getGroup);
    emit doTemplatesUpdated();
}

Creature* Monsters::findTemplate(const QString& group, const Creature* exclude) const
{
    return LibraryList::findSorted(templates, group, &Creature::getGroup, exclude);
}

int Monsters::getTemplatePos(const QString& name, int skip) const
{
    return LibraryList::sortedPos(templates, name, &Creature::getGroup, skip, false);
}

void Monsters::deleteTemplate(int i, bool free)
{
    if (i < 0 || i >= templates.size())
        return;
    Creature* monster = templates.takeAt(i);
    if (free)
        delete monster;
    emit doTemplatesUpdated();
}

Creature* Monsters::loadTemplate(const QString& fileName, const QString& root)
{
    auto* monster = new Creature;
    if (monster->load(fileName, true, root, this, nullptr))
        return monster;
    delete monster;
    return nullptr;
}

int Monsters::loadTemplates(const QString& root, const QString& prettyRoot, Progress* progress)
{
    LibraryList::FolderTexts texts{"Monsters", tr("Loading monsters..."),
                                   tr("Directory <b>Monsters</b> not found in %1."), tr("No Monsters Found"),
                                   tr("No monsters could be loaded from <b>Monsters</b> directory in %1.")};
    QList<LibraryList::Read<Creature>> read;
    const LibraryList::EntryReader reader = LibraryList::creatureReader(root, true, read, unreadable);
    return loadFolder(root, prettyRoot, progress, texts, reader, [this, &read] {
        LibraryList::addCreatures(templates, std::move(read), &Creature::getGroup, getCounts());
        emit doTemplatesUpdated();
    });
}

QStringList Monsters::getRenamed() const
{
    return LibraryList::renamedOnLoading(templates, &Creature::getGroup, "Monsters");
}

int Monsters::getFileCount(const QString& root)
{
    return LibraryList::getFileCount(root, "Monsters");
}

Creature* Monsters::fileAlreadyImported(const QString& fileName) const
{
    for (Creature* monster : templates)
        if (!monster->isDeleted() && monster->getFileName().compare(fileName, Qt::CaseInsensitive) == 0)
            return monster;
    return nullptr;
}

QString Monsters::getNewTemplate() const
{
    return LibraryList::newName(tr("New Monster"), [this](const QString& name) { return findTemplate(name); });
}

Creature* Monsters::getMonsterInstance(const QString& templateName, const QString& id, bool create)
{
    bool swapped = false;
    Creature* base = LibraryList::claimName(templates, templateName, &Creature::getGroup, [this](const Creature* held) {
        return std::any_of(instances.begin(), instances.end(), [held](const Creature* instance) {
            return instance->getGroup().compare(held->getGroup(), Qt::CaseInsensitive) == 0;
        });
    }, swapped);
    if (swapped)
        emit doTemplatesUpdated();
    if (!base) {
        base = new Creature();
        base->setupDummyMonster(templateName);
        base->setMissing(true);
        rested(base);
        addTemplate(base);
    }
    const QString group = base->getGroup();
    for (Creature* instance : instances)
        if (instance->getName().compare(id, Qt::CaseInsensitive) == 0
            && instance->getGroup().compare(group, Qt::CaseInsensitive) == 0)
            return instance;
    if (!create)
        return nullptr;
    auto* instance = new Creature();
    instance->copyStats(base);
    instance->setName(id);
    rested(instance);
    instances.append(instance);
    return instance;
}

void Monsters::deleteMonsterInstance(Creature* instance)
{
    if (instances.removeOne(instance))
        delete instance;
}

bool Monsters::isTemplateInHistory(const QString& group) const
{
    return std::any_of(instances.begin(), instances.end(), [&group](const Creature* instance) {
        return instance->isInHistory() && instance->getGroup().compare(group, Qt::CaseInsensitive) == 0;
    });
}

void Monsters::removeMonsterInstances()
{
    qDeleteAll(instances);
    instances.clear();
    emit doTemplatesUpdated();
}

void Monsters::removeMonsterTemplates()
{
    qDeleteAll(templates);
    templates.clear();
}

void Monsters::deleteEntries()
{
    removeMonsterTemplates();
    removeMonsterInstances();
}

void Monsters::newMonsters(Monsters* loaded)
{
    takeOver(loaded);
    templates = std::exchange(loaded->templates, {});
    instances = std::exchange(loaded->instances, {});
    emit doTemplatesUpdated();
}

void Monsters::addMonsterToEncounter()
{
    Creature* monster = nullptr;
    QString alias;
    int answer = Global::ui().pickMonster(monster, alias);
    if (answer == 0 || !monster || Global::encounter->getCreatureIndex(monster) >= 0)
        return;
    ObjectStream* stream = Global::history->getStream(false);
    if (!stream)
        return;
    CreatureList list(QList<Creature*>{monster});
    CreatureInitList before;
    if (!LibraryList::askInitiative(list, before))
        return;
    Global::encounter->writeVitalityChanges(stream);
    // A refused record ends the command.
    if (Global::history->apply(new AddMonsterEvent(list, answer == 4, before, stream), false) && !alias.isEmpty())
        Global::history->apply(new SetAliasEvent(monster, true, alias, stream), false);
}
