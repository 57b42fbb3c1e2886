#include "encounter/encounter.h"

#include <QMap>

#include "foundation/global.h"

Encounter::~Encounter()
{
    reset();
}

int Encounter::getNextIndex() const
{
    int count = creatures.getCount();
    return count == 0 ? 0 : (state.currentIndex + 1) % count;
}

QString Encounter::getLevelClassRole(int index) const
{
    Creature* creature = getCreature(index);
    return creature ? creature->getLevelClassRole() : QString();
}

QString Encounter::getInitativeListName(int index) const
{
    Creature* creature = getCreature(index);
    return creature ? creature->getInitativeListName() : QString();
}

EncounterState Encounter::getNextState() const
{
    EncounterState next = state;
    next.currentIndex = getNextIndex();
    if (next.currentIndex == 0)
        next.round++;
    return next;
}

EncounterEntry Encounter::getEntry() const
{
    EncounterEntry entry;
    entry.name = name;
    entry.description = description;
    entry.level = level;
    entry.xp = xp;
    return entry;
}

Creature* Encounter::getSelectedCreature(bool single) const
{
    if (selected.isEmpty() || (single && selected.size() > 1))
        return nullptr;
    return selected.first();
}

QList<int> Encounter::getSelectedIndexes() const
{
    QList<int> indexes;
    for (Creature* creature : selected) {
        int index = creatures.getCreatureIndex(creature);
        if (index >= 0)
            indexes.append(index);
    }
    std::sort(indexes.begin(), indexes.end());
    return indexes;
}

QList<Creature*> Encounter::getTargetCreatures(Creature* origin, Power::ApplyTo applyTo) const
{
    auto sameSide = [origin](Creature* c) { return !origin || c->isMonster() == origin->isMonster(); };
    QList<Creature*> result;
    for (Creature* c : creatures.getCreatureList()) {
        bool keep = false;
        switch (applyTo) {
        case Power::ApplyUnset:
        case Power::AnyCreature: keep = true; break;
        case Power::Enemy: keep = !origin || c->isMonster() != origin->isMonster(); break;
        case Power::Ally:
        case Power::AllyAndSelf: keep = sameSide(c); break;
        case Power::OtherAlly: keep = sameSide(c) && c != origin; break;
        case Power::Self: keep = c == origin; break;
        case Power::CurrentCreature: keep = c == getCurrentCreature(); break;
        default: break;
        }
        if (keep)
            result.append(c);
    }
    return result;
}

QList<Creature*> Encounter::getOriginCreatures() const
{
    QMap<QString, Creature*> heroes;
    QMap<QString, Creature*> monsters;
    for (Creature* c : creatures.getCreatureList()) {
        if (c->isHero())
            heroes.insert(c->getName(), c);
        else
            monsters.insert(c->getNameGroup(), c);
    }
    return heroes.values() + monsters.values();
}

VisibleForPlayers Encounter::getVisibleForPlayers() const
{
    VisibleForPlayers visible;
    QSet<Creature*> remembered;
    for (int i = 0; i < creatures.getCount(); i++) {
        Creature* c = creatures.getCreature(i);
        if (c->isHidden() || c->isTrap())
            continue;
        if (c->isHero()) {
            visible.indexes.append(i);
        } else if (isRunning()) {
            if (c->isDead(true)) {
                visible.deadMonsters.insert(c->getDamageOrder(), c);
                remembered.insert(c);
            } else {
                visible.indexes.append(i);
            }
        }
    }
    if (isRunning()) {
        for (Creature* c : state.dead)
            if (c->isMonster() && !c->isHidden() && c->isDead(true) && !remembered.contains(c))
                visible.deadMonsters.insert(c->getDamageOrder(), c);
    }
    return visible;
}

void Encounter::setState(const EncounterState& newState)
{
    state = newState;
    refreshRoundText();
    emit doCurrentCreatureChanged();
}

void Encounter::setCurrentIndex(int index)
{
    state.currentIndex = index;
    emit doCurrentCreatureChanged();
}

void Encounter::setCreatureList(const CreatureList& list)
{
    creatures = list;
    emit doCurrentCreatureChanged();
    emit doCreatureCountChanged();
}

void Encounter::setEntry(const EncounterEntry& entry)
{
    name = entry.name;
    description = entry.description;
    level = entry.level;
    xp = entry.xp;
    refreshEncounterText();
}

void Encounter::takeOut(Creature* creature)
{
    int i = creatures.getCreatureIndex(creature);
    if (i >= 0) {
        creatures.deleteCreature(i);
        int& k = state.currentIndex;
        if (i < k) {
            k--;
        } else if (i == k && k > 0) {
            k--;
        } else if (i == k) {
            // The first creature acted: the turn goes back to the end of the previous round.
            k = creatures.getCount() - 1;
            state.round--;
            refreshRoundText();
        }
    }
    if (isRunning() && creature->isDead(false))
        state.dead.insert(creature);
    removeSelectedCreature(creature);
}

void Encounter::removeCreature(Creature* creature)
{
    takeOut(creature);
    emit doCurrentCreatureChanged();
    emit doCreatureCountChanged();
}

void Encounter::removeCreatures(const QList<Creature*>& list)
{
    for (Creature* creature : list)
        takeOut(creature);
    emit doCurrentCreatureChanged();
    emit doCreatureCountChanged();
}

void Encounter::adjustInitiative(const QList<Creature*>& moved, int places)
{
    Creature* currentCreature = getCurrentCreature();
    int count = creatures.getCount();
    if (count == 0)
        return;
    places = (places % count + count) % count;
    QMap<int, Creature*> targets;
    for (Creature* c : moved)
        if (creatures.getCreatureIndex(c) >= 0)
            targets.insert((creatures.getCreatureIndex(c) + places) % count, c);
    for (auto it = targets.begin(); it != targets.end(); ++it)
        creatures.swapCreature(creatures.getCreatureIndex(it.value()), it.key());
    state.currentIndex = currentCreature ? creatures.getCreatureIndex(currentCreature) : -1;
    emit doCurrentCreatureChanged();
    emit doCreatureCountChanged();
}

void Encounter::reset()
{
    name.clear();
    description.clear();
    level = xp = 0;
    state.round = 0;
    state.currentIndex = -1;
    // Its creatures may be deleted next, with a change of data folder.
    state.dead.clear();
    creatures.reset();
    // The selected creatures may be freed next as well.
    selected.clear();
    emit doCreatureSelectionChanged();
    refreshEncounterText();
    emit Global::switchBoard.doToggleStartStopNextButtons();
    emit doCurrentCreatureChanged();
    emit doCreatureCountChanged();
}

void Encounter::selectCreature(int index)
{
    Creature* creature = creatures.getCreature(index);
    if (creature && !selected.contains(creature))
        selected.append(creature);
    emit doCreatureSelectionChanged();
}

void Encounter::toggleSelectedCreature(int index)
{
    Creature* creature = creatures.getCreature(index);
    if (creature && !selected.removeOne(creature))
        selected.append(creature);
    emit doCreatureSelectionChanged();
}

void Encounter::setSelectedCreatures(const QList<Creature*>& list)
{
    selected = list;
    emit doCreatureSelectionChanged();
}

void Encounter::clearSelectedCreatures()
{
    selected.clear();
    emit doCreatureSelectionChanged();
}

void Encounter::removeSelectedCreature(Creature* creature)
{
    if (selected.removeAll(creature) > 0)
        emit doCreatureSelectionChanged();
}

void Encounter::removeSelectedNotInEncounter()
{
    selected.erase(std::remove_if(selected.begin(), selected.end(),
                                  [this](Creature* c) { return creatures.getCreatureIndex(c) < 0; }),
                   selected.end());
}

QStringList Encounter::getHandEditedNames() const
{
    QStringList names;
    if (handEdited)
        for (Creature* creature : creatures.getCreatureList())
            if (creature->hasUnrecordedEdits())
                names.append(creature->getName());
    return names;
}

void Encounter::writeVitalityChanges(ObjectStream* stream)
{
    if (!vitalityEdited)
        return;
    vitalityEdited = handEdited = false;
    creatures.writeVitalityChanges(stream);
}

void Encounter::handleDying(bool keepTurn)
{
    // From the end: a death takes a creature out and moves only those after it.
    for (int i = creatures.getCount() - 1; i >= 0; i--) {
        Creature* creature = creatures.getCreature(i);
        if (!creature)
            break;
        creature->handleDying(keepTurn);
    }
}

void Encounter::updatePower(const QString& templateName, const QString& powerName, const CreaturePower& power)
{
    if (templateName.isEmpty())
        return;
    for (Creature* creature : creatures.getCreatureList())
        if (creature->getGroup() == templateName)
            creature->updatePower(powerName, power);
}

void Encounter::deletePower(const QString& templateName, const QString& powerName)
{
    if (templateName.isEmpty())
        return;
    for (Creature* creature : creatures.getCreatureList())
        if (creature->getGroup() == templateName)
            creature->deletePower(powerName);
}

void Encounter::resetAllDeltas()
{
    for (Creature* creature : creatures.getCreatureList())
        creature->resetDelta();
}

void Encounter::refreshRoundText()
{
    emit Global::switchBoard.doSetRightStatus(state.round >= 1 && isRunning() ? tr("<b>Round</b> %1").arg(state.round)
                                                                             : QString());
}

void Encounter::refreshEncounterText()
{
    emit Global::switchBoard.doSetLeftStatus(name.isEmpty() ? QString()
                                                            : tr("<b> Encounter</b> %1").arg(name.toHtmlEscaped()));
    refreshRoundText();
}
