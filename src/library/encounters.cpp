#include "library/encounters.h"

#include <memory>

#include "encounter/effectevents.h"
#include "encounter/encounter.h"
#include "encounter/history.h"
#include "encounter/powerevents.h"
#include "encounter/restevents.h"
#include "encounter/rosterevents.h"
#include "foundation/global.h"
#include "foundation/uihooks.h"
#include "library/encounterdata.h"
#include "library/librarylist.h"
#include "library/monsters.h"

Encounters::Encounters(QObject* parent) : Library(parent) {}

Encounters::~Encounters()
{
    deleteEntries();
}

EncounterData* Encounters::findEncounter(const QString& name) const
{
    return LibraryList::findSorted(encounters, name, &EncounterData::getName);
}

int Encounters::getEncounterPos(const QString& name, int skip) const
{
    return LibraryList::sortedPos(encounters, name, &EncounterData::getName, skip, true);
}

void Encounters::addEncounter(EncounterData* e)
{
    e->setCounts(getCounts());
    LibraryList::insertSorted(encounters, e, &EncounterData::getName);
    e->setEncounters(this);
    addAdventure(e->getAdventure());
    emit doEncountersUpdated();
}

void Encounters::deleteEncounter(int i)
{
    if (i < 0 || i >= encounters.size())
        return;
    removeAdventure(encounters.takeAt(i)->getAdventure());
    emit doEncountersUpdated();
}

void Encounters::addAdventure(const QString& name)
{
    if (!name.isEmpty())
        adventures[name]++;
}

void Encounters::removeAdventure(const QString& name)
{
    auto found = adventures.find(name);
    if (found != adventures.end() && --found.value() <= 0)
        adventures.erase(found);
}

QString Encounters::getNewEncounterName() const
{
    return LibraryList::newName(tr("New Encounter"), [this](const QString& name) { return findEncounter(name); });
}

int Encounters::getFileCount(const QString& root)
{
    return LibraryList::getFileCount(root, "Encounters");
}

int Encounters::loadEncounters(const QString& root, const QString& prettyRoot, Progress* progress)
{
    LibraryList::FolderTexts texts{"Encounters", tr("Loading encounters..."),
                                   tr("Directory <b>Encounters</b> not found in %1."), tr("No Encounters Found"),
                                   tr("No encounters could be loaded from <b>Encounters</b> directory in %1.")};
    QList<LibraryList::Read<EncounterData>> read;
    const auto readEntry = [this, &root, &read](const QString& entry) -> std::function<void()> {
        // Read apart from any library: it touches none until it is added.
        auto e = std::make_unique<EncounterData>();
        QString told;
        if (e->load(entry, root, &told))
            e->setFileName(entry);
        else
            e.reset();
        QStringList& list = e ? readInPart : unreadable;
        std::function<void()> add = LibraryList::toBatch(std::move(e), &EncounterData::getName, read);
        if (told.isEmpty())
            return add;
        const QString item = LibraryList::fileItem("Encounters", entry, told);
        return [add, item, &list] {
            list.append(item);
            add();
        };
    };
    return loadFolder(root, prettyRoot, progress, texts, readEntry, [this, &read] {
        for (const LibraryList::Read<EncounterData>& e : read) {
            e.entry->setCounts(getCounts());
            e.entry->setEncounters(this);
            addAdventure(e.entry->getAdventure());
        }
        LibraryList::insertSorted(encounters, std::move(read), &EncounterData::getName);
        emit doEncountersUpdated();
    });
}

void Encounters::newEncounters(Encounters* loaded)
{
    takeOver(loaded);
    encounters = std::exchange(loaded->encounters, {});
    for (EncounterData* e : encounters)
        e->setEncounters(this);
    adventures = std::exchange(loaded->adventures, {});
    emit doEncountersUpdated();
}

void Encounters::deleteEntries()
{
    qDeleteAll(encounters);
    encounters.clear();
    adventures.clear();
}

void Encounters::allRecalcXP()
{
    for (EncounterData* e : encounters)
        e->setRecalcXP(true);
}

namespace {

// A monster still carrying an earlier fight's effects has fought, as one that
// took damage has: removed from a running fight, it kept them past its stop.
bool hasFought(const Creature* creature)
{
    return creature->needsRest() || creature->getEffectCount() > 0;
}

// Monsters that have fought come back rested, with their powers unused and
// none of an earlier fight's effects.
// False when the log refused a record: the command ends there.
bool resetMonsters(const QList<Creature*>& creatures, ObjectStream* stream)
{
    // A re-import may save a creature, which records its edits: first.
    ExtendedRestEvent::refreshLinkedFiles(creatures);
    Global::encounter->writeVitalityChanges(stream);
    for (Creature* creature : creatures)
        for (int i = creature->getEffectCount() - 1; i >= 0; i--)
            if (!Global::history->apply(new RemoveAtEndOfEncounterEvent(creature, creature->getEffect(i), stream),
                                        false))
                return false;
    if (!Global::history->apply(new ExtendedRestEvent(creatures, stream), false))
        return false;
    for (Creature* creature : creatures)
        for (int i = 0; CreaturePower* power = creature->getPowers().getPower(i); i++)
            if (power->usage > 0
                && !Global::history->apply(
                    new PowerUsageChangedEvent(creature, power, PowerUsageChangedEvent::ResetUsage, stream), false))
                return false;
    return true;
}

}

void Encounters::selectEncounter()
{
    EncounterData* e = nullptr;
    const int answer = Global::ui().pickEncounter(adventure, e);
    if (answer == 0 || !e || e->getName().isEmpty())
        return;
    const bool add = answer == 3 || answer == 4;
    const bool hidden = answer == 4 || answer == 7;
    ObjectStream* stream = Global::history->getStream(false);
    if (!stream)
        return;
    EncounterEntry entry = e->getEntry();
    CreatureList list = e->getCreatureList();
    for (int i = list.getCount() - 1; add && i >= 0; i--)
        if (Global::encounter->getCreatureIndex(list.getCreature(i)) >= 0)
            list.deleteCreature(i);
    if (list.isEmpty())
        return;
    const QList<Creature*> creatures = list.getCreatureList();
    if (std::any_of(creatures.begin(), creatures.end(), hasFought)
        && Global::ui().rejectableAlert(
            tr("Reset %1").arg(e->getName()),
            tr("The monsters in this encounter have been in combat, and have taken damage.<p>Do you wish to reset "
               "the encounter before loading?<p>Resetting will restore all monsters to full health."),
            tr("Reset"))
        && !resetMonsters(creatures, stream))
        return;
    CreatureInitList before;
    if (!LibraryList::askInitiative(list, before))
        return;
    Global::encounter->writeVitalityChanges(stream);
    Event* entered = add ? static_cast<Event*>(new AddMonstersEvent(e->getName(), list, hidden, before, stream))
                         : new SetEncounterEvent(entry, list, hidden, before, stream);
    if (!Global::history->apply(entered, false))
        return;
    for (int i = 0; i < e->getMonsterCount(); i++) {
        EncounterMonster m = e->getMonster(i);
        Creature* c = Global::monsters->getMonsterInstance(m.name, m.id, true);
        if (!m.alias.isEmpty() && !Global::history->apply(new SetAliasEvent(c, true, m.alias, stream), false))
            return;
        if (m.hidden && !Global::history->apply(new ShowHideEvent(c, true, stream), false))
            return;
    }
}
