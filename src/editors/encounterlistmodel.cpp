#include "editors/encounterlistmodel.h"

#include <QItemSelectionModel>
#include <QScopedValueRollback>
#include <QTreeView>

#include "foundation/global.h"
#include "foundation/uihooks.h"
#include "library/encounterdata.h"
#include "library/encounters.h"
#include "toolkit/itemviews.h"

namespace {

const int unsetLevel = 0xFFFF;

EncounterData* encounterAt(int row)
{
    return Global::encounters ? Global::encounters->getEncounter(row) : nullptr;
}

int rowOf(EncounterData* encounter)
{
    return Global::encounters ? Global::encounters->getEncounterIndex(encounter) : -1;
}

EncounterPath pathOf(int encounter, int group = -1, int creature = -1)
{
    return EncounterPath{encounter, group, creature};
}

// The row of the monster with this template name and ID in the encounter at row.
EncounterPath monsterPath(int row, const QString& templateName, const QString& id)
{
    EncounterData* encounter = encounterAt(row);
    const int group = encounter ? encounter->getGroupIndex(templateName) : -1;
    if (group < 0)
        return pathOf(row);
    for (int creature = 0; creature < encounter->getGroupCreatureCount(group); creature++)
        if (encounter->getGroupCreature(group, creature)->id == id)
            return pathOf(row, group, creature);
    return pathOf(row, group);
}

}

bool EncounterPath::cd(int row)
{
    if (encounter < 0)
        encounter = row;
    else if (group < 0)
        group = row;
    else if (creature < 0)
        creature = row;
    else
        return false;
    return true;
}

int EncounterPath::cdUp()
{
    for (int* level : {&creature, &group, &encounter})
        if (*level >= 0)
            return std::exchange(*level, -1);
    return -1;
}

int EncounterPath::getModelReference() const
{
    return int((quint32(encounter) << 16) | (quint32(group) & unsetLevel));
}

void EncounterPath::setModelReference(int ref)
{
    const quint32 high = quint32(ref) >> 16;
    const quint32 low = quint32(ref) & unsetLevel;
    encounter = high == unsetLevel ? -1 : int(high);
    group = low == unsetLevel ? -1 : int(low);
}

bool EncounterPath::indexToPath(const QModelIndex& index)
{
    if (index.row() < 0 || index.column() < 0 || !index.model()) {
        setRoot();
        return true;
    }
    if (index.column() != 0)
        return false;
    setModelReference(int(quint32(index.internalId())));
    cd(index.row());
    return true;
}

EncounterListModel::EncounterListModel() = default;

void EncounterListModel::setView(QTreeView* treeView)
{
    view = treeView;
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &EncounterListModel::onInternalSelectionChanged);
}

QModelIndex EncounterListModel::index(int row, int column, const QModelIndex& parent) const
{
    EncounterPath path;
    if (column != 0 || row < 0 || !path.indexToPath(parent) || row >= getObjectCount(path) || !path.cd(row))
        return {};
    return pathToIndex(path);
}

QModelIndex EncounterListModel::parent(const QModelIndex& child) const
{
    EncounterPath path;
    path.indexToPath(child);
    if (path.cdUp() < 0)
        return {};
    return pathToIndex(path);
}

int EncounterListModel::rowCount(const QModelIndex& parent) const
{
    EncounterPath path;
    return path.indexToPath(parent) ? getObjectCount(path) : 0;
}

int EncounterListModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant EncounterListModel::data(const QModelIndex& index, int role) const
{
    EncounterPath path;
    if (role != Qt::DisplayRole || !index.isValid() || !path.indexToPath(index))
        return {};
    const QString text = getObjectData(path);
    return text.isEmpty() ? QVariant() : QVariant(text);
}

QVariant EncounterListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return tr("Name");
    return {};
}

bool EncounterListModel::holds(EncounterPath path) const
{
    const int row = path.cdUp();
    return row >= 0 && row < getObjectCount(path) && (path.isRoot() || holds(path));
}

QModelIndex EncounterListModel::pathToIndex(EncounterPath path) const
{
    const int row = path.cdUp();
    if (row < 0)
        return {};
    return createIndex(row, 0, quintptr(quint32(path.getModelReference())));
}

int EncounterListModel::getObjectCount(const EncounterPath& path) const
{
    if (path.isRoot())
        return Global::encounters ? qMin(Global::encounters->getEncounterCount(), unsetLevel) : 0;
    EncounterData* encounter = encounterAt(path.encounter);
    if (!encounter || path.creature >= 0)
        return 0;
    if (path.group < 0)
        return qMin(encounter->getGroupCount(), unsetLevel);
    return encounter->getGroupCreatureCount(path.group);
}

QString EncounterListModel::getObjectData(const EncounterPath& path) const
{
    EncounterData* encounter = encounterAt(path.encounter);
    if (!encounter)
        return {};
    if (path.group < 0)
        return encounter->isDirty() ? encounter->getName() + "*" : encounter->getName();
    if (path.creature < 0)
        return encounter->getGroup(path.group);
    const EncounterMonster* monster = encounter->getGroupCreature(path.group, path.creature);
    return monster ? monster->id : QString();
}

EncounterData* EncounterListModel::getSelectedEncounter() const
{
    return encounterAt(selectedPath.encounter);
}

QString EncounterListModel::getSelectedGroup() const
{
    EncounterData* encounter = getSelectedEncounter();
    return encounter ? encounter->getGroup(selectedPath.group) : QString();
}

EncounterMonster* EncounterListModel::getSelectedMonster(EncounterData** encounter) const
{
    EncounterData* selected = getSelectedEncounter();
    if (encounter)
        *encounter = selected;
    return selected ? selected->getGroupCreature(selectedPath.group, selectedPath.creature) : nullptr;
}

void EncounterListModel::setSelectedPath(EncounterPath path, bool scrollTo)
{
    if (!view)
        return;
    const QModelIndex row = holds(path) ? pathToIndex(path) : QModelIndex();
    if (!row.isValid()) {
        view->selectionModel()->clearSelection();
        return;
    }
    view->selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
    if (scrollTo)
        view->scrollTo(row, QAbstractItemView::EnsureVisible);
}

void EncounterListModel::updateSelectedPath()
{
    selectedPath.setRoot();
    if (!view)
        return;
    const QModelIndexList rows = view->selectionModel()->selectedIndexes();
    if (rows.isEmpty())
        return;
    selectedPath.indexToPath(rows.first());
    lastSelectedPath = selectedPath;
}

void EncounterListModel::onInternalSelectionChanged(const QItemSelection&, const QItemSelection&)
{
    // In the middle of a change the rows are not what they will be.
    if (changingLibrary) {
        selectionMoved = true;
        return;
    }
    updateSelectedPath();
    emit doSelectionChanged();
}

template <typename Change>
void EncounterListModel::changeStructure(Change change)
{
    if (changingLibrary) {
        change();
        return;
    }
    {
        QScopedValueRollback<bool> guard(changingLibrary, true);
        change();
    }
    const EncounterPath before = selectedPath;
    updateSelectedPath();
    if (std::exchange(selectionMoved, false) || !(before == selectedPath))
        emit doSelectionChanged();
}

void EncounterListModel::insertRow(const EncounterPath& parent, int row, const std::function<void()>& change)
{
    beginInsertRows(pathToIndex(parent), row, row);
    change();
    endInsertRows();
    followShiftedRows(parent, [row](int old) { return old >= row ? old + 1 : old; });
}

void EncounterListModel::removeRow(const EncounterPath& parent, int row, const std::function<void()>& change)
{
    beginRemoveRows(pathToIndex(parent), row, row);
    change();
    endRemoveRows();
    followShiftedRows(parent, [row](int old) { return old == row ? -1 : old > row ? old - 1 : old; });
}

void EncounterListModel::moveRow(const EncounterPath& parent, int from, int to, const std::function<void()>& change)
{
    const QModelIndex above = pathToIndex(parent);
    beginMoveRows(above, from, from, above, to > from ? to + 1 : to);
    change();
    endMoveRows();
    followShiftedRows(parent, [from, to](int old) {
        if (old == from)
            return to;
        const int without = old > from ? old - 1 : old;
        return without >= to ? without + 1 : without;
    });
}

void EncounterListModel::followShiftedRows(const EncounterPath& parent, const std::function<int(int)>& newRow)
{
    // Only monsters lie below a group.
    if (parent.group >= 0)
        return;
    QModelIndexList from;
    QModelIndexList to;
    for (const QModelIndex& stale : persistentIndexList()) {
        EncounterPath path;
        path.indexToPath(stale);
        const bool underRoot = parent.isRoot();
        int& shifted = underRoot ? path.encounter : path.group;
        const int deeper = underRoot ? path.group : path.creature;
        if (deeper < 0 || (!underRoot && path.encounter != parent.encounter))
            continue;
        shifted = newRow(shifted);
        from.append(stale);
        to.append(shifted < 0 ? QModelIndex() : pathToIndex(path));
    }
    changePersistentIndexList(from, to);
}

void EncounterListModel::insertEncounter(EncounterData* encounter, bool select)
{
    const int row = Global::encounters->getEncounterPos(encounter->getName(), -1);
    changeStructure([&] {
        insertRow(EncounterPath(), row, [&] { Global::encounters->addEncounter(encounter); });
        if (select)
            setSelectedPath(pathOf(row), true);
    });
}

void EncounterListModel::removeEncounter(EncounterData* encounter, bool hideOnly)
{
    const int row = rowOf(encounter);
    if (row < 0)
        return;
    const bool selected = selectedPath.encounter == row;
    EncounterData* next = selected ? encounterAt(visibleNeighbour(row)) : nullptr;
    changeStructure([&] {
        if (hideOnly) {
            if (view)
                view->setRowHidden(row, QModelIndex(), true);
        } else {
            removeRow(EncounterPath(), row, [&] { Global::encounters->deleteEncounter(row); });
            delete encounter;
        }
        if (selected)
            setSelectedPath(pathOf(rowOf(next)), false);
    });
}

bool EncounterListModel::revertEncounter(EncounterData* encounter)
{
    const int row = rowOf(encounter);
    if (row < 0)
        return false;
    auto* fresh = new EncounterData;
    if (!fresh->load(encounter->getFileName(), QString())) {
        delete fresh;
        encounter->setDirty(true);
        Global::ui().alert(tr("Revert %1").arg(encounter->getName()),
                           tr("The file <b>%1</b> of the encounter <b>%2</b> could not be read again. The encounter "
                              "keeps its changes.")
                               .arg(encounter->getFileName().toHtmlEscaped(), encounter->getName().toHtmlEscaped()));
        return false;
    }
    fresh->setFileName(encounter->getFileName());
    const bool selected = selectedPath.encounter == row;
    const QList<EncounterPath> expanded = getExpandedList(encounter);
    changeStructure([&] {
        removeRow(EncounterPath(), row, [&] { Global::encounters->deleteEncounter(row); });
        delete encounter;
        insertEncounter(fresh, false);
        setExpanded(fresh, expanded);
        if (selected)
            setSelectedPath(pathOf(rowOf(fresh)), false);
    });
    return true;
}

void EncounterListModel::moveEncounter(EncounterData* encounter, const QString& newName)
{
    const int row = rowOf(encounter);
    if (row < 0)
        return;
    const int target = Global::encounters->getEncounterPos(newName, row);
    if (target == row) {
        encounter->setName(newName);
        emit dataChanged(index(row, 0), index(row, 0), {Qt::DisplayRole});
        return;
    }
    // A move, not a removal and an insertion: the selection and the expanded rows go along.
    changeStructure([&] {
        moveRow(EncounterPath(), row, target, [&] {
            Global::encounters->deleteEncounter(row);
            encounter->setName(newName);
            Global::encounters->addEncounter(encounter);
        });
    });
    if (view && selectedPath.encounter == target)
        view->scrollTo(index(target, 0), QAbstractItemView::EnsureVisible);
}

void EncounterListModel::showEncounter(EncounterData* encounter)
{
    const int row = rowOf(encounter);
    if (view && row >= 0)
        view->setRowHidden(row, QModelIndex(), false);
}

void EncounterListModel::encounterChanged()
{
    const int rows = rowCount();
    if (rows > 0)
        emit dataChanged(index(0, 0), index(rows - 1, 0), {Qt::DisplayRole});
}

void EncounterListModel::resetList()
{
    beginResetModel();
    endResetModel();
    if (view)
        view->collapseAll();
    applyFilter();
    selectedPath.setRoot();
    lastSelectedPath.setRoot();
    selectionMoved = false;
    emit doSelectionChanged();
}

void EncounterListModel::insertMonster(EncounterData* encounter, const EncounterMonster& monster)
{
    const int row = rowOf(encounter);
    if (row < 0)
        return;
    int group = -1;
    int creature = -1;
    const bool newGroup = encounter->getGroupCreaturePos(monster, group, creature);
    changeStructure([&] {
        const auto add = [&] { encounter->addCreature(monster); };
        if (newGroup)
            insertRow(pathOf(row), group, add);
        else
            insertRow(pathOf(row, group), creature, add);
        setSelectedPath(pathOf(row, group, creature), false);
        if (view) {
            view->expand(pathToIndex(pathOf(row, group)));
            view->expand(pathToIndex(pathOf(row)));
            view->scrollTo(pathToIndex(pathOf(row, group, creature)), QAbstractItemView::EnsureVisible);
        }
    });
}

void EncounterListModel::deleteMonster(EncounterData* encounter, const EncounterMonster& monster)
{
    const int row = rowOf(encounter);
    int group = -1;
    int creature = -1;
    encounter->getGroupCreatureIndex(monster, group, creature);
    if (row < 0 || group < 0)
        return;
    const int count = encounter->getGroupCreatureCount(group);
    const bool wholeGroup = count <= 1;
    EncounterPath next = pathOf(row, group, creature);
    if (wholeGroup && group >= encounter->getGroupCount() - 1)
        next = pathOf(row, group - 1);
    else if (!wholeGroup && creature >= count - 1)
        next.creature = creature - 1;
    changeStructure([&] {
        const auto take = [&] { encounter->removeCreature(monster); };
        if (wholeGroup)
            removeRow(pathOf(row), group, take);
        else
            removeRow(pathOf(row, group), creature, take);
        setSelectedPath(next, false);
    });
}

void EncounterListModel::moveMonster(EncounterData* encounter, const EncounterMonster& from, const EncounterMonster& to)
{
    changeStructure([&] {
        deleteMonster(encounter, from);
        insertMonster(encounter, to);
    });
}

void EncounterListModel::renameGroup(int row, const QString& oldName, const QString& newName)
{
    EncounterData* encounter = encounterAt(row);
    const int from = encounter->getGroupIndex(oldName);
    if (from < 0 || oldName == newName)
        return;
    if (encounter->getGroupIndex(newName) >= 0) {
        // A merge into the group of that name: the old group goes, its monsters come one by one.
        QList<EncounterMonster> merged;
        for (int creature = 0; creature < encounter->getGroupCreatureCount(from); creature++)
            merged.append(*encounter->getGroupCreature(from, creature));
        removeRow(pathOf(row), from, [&] { encounter->removeGroup(oldName); });
        for (EncounterMonster monster : merged) {
            monster.name = newName;
            // Two monsters of one template and ID would be one creature in the fight.
            if (encounter->findGroupCreature(newName, monster.id)) {
                int numbers = 0;
                monster.id = encounter->getNewUniqueName(newName, QString(), numbers, false);
            }
            int group = -1;
            int creature = -1;
            encounter->getGroupCreaturePos(monster, group, creature);
            insertRow(pathOf(row, group), creature, [&] { encounter->addCreature(monster); });
        }
        return;
    }
    // Where the renamed group will sort, found on a copy before anything changes.
    EncounterData probe = *encounter;
    int before = -1;
    int after = -1;
    probe.renameGroup(oldName, newName, before, after);
    if (after == from) {
        encounter->renameGroup(oldName, newName, before, after);
        const QModelIndex renamed = pathToIndex(pathOf(row, from));
        emit dataChanged(renamed, renamed, {Qt::DisplayRole});
        return;
    }
    moveRow(pathOf(row), from, after, [&] { encounter->renameGroup(oldName, newName, before, after); });
}

void EncounterListModel::moveGroup(const QString& oldName, const QString& newName)
{
    // The selected monster is found again by name: a merged group's rows are new rows.
    EncounterData* selected = nullptr;
    const EncounterMonster* monster = getSelectedMonster(&selected);
    const QString group = getSelectedGroup() == oldName ? newName : getSelectedGroup();
    const QString id = monster ? monster->id : QString();
    const bool onMonster = monster;
    changeStructure([&] {
        for (int row = 0; row < Global::encounters->getEncounterCount(); row++) {
            if (encounterAt(row)->getGroupIndex(oldName) < 0)
                continue;
            renameGroup(row, oldName, newName);
            encounterAt(row)->adjustDirty();
        }
        if (selected && !group.isEmpty()) {
            EncounterPath path = monsterPath(rowOf(selected), group, id);
            if (!onMonster)
                path.creature = -1;
            setSelectedPath(path, false);
        }
    });
    encounterChanged();
}

void EncounterListModel::removeGroup(const QString& name)
{
    const int selectedRow = selectedPath.encounter;
    const bool inGroup = !getSelectedGroup().isEmpty() && getSelectedGroup() == name;
    const int selectedGroup = selectedPath.group;
    changeStructure([&] {
        for (int row = 0; row < Global::encounters->getEncounterCount(); row++) {
            EncounterData* encounter = encounterAt(row);
            const int group = encounter->getGroupIndex(name);
            if (group < 0)
                continue;
            removeRow(pathOf(row), group, [&] { encounter->removeGroup(name); });
            encounter->adjustDirty();
        }
        // The group that moved up into its place, else the one above, else the encounter.
        if (inGroup)
            setSelectedPath(pathOf(selectedRow, qMin(selectedGroup, encounterAt(selectedRow)->getGroupCount() - 1)),
                            false);
    });
    encounterChanged();
}

void EncounterListModel::setFilter(const QString& text, const QString& adventure)
{
    if (text == filterText && adventure == filterAdventure)
        return;
    filterText = text;
    filterAdventure = adventure;
    if (!view)
        return;
    view->selectionModel()->clearSelection();
    applyFilter();
    const EncounterPath last = lastSelectedPath;
    if (last.encounter >= 0 && last.encounter < rowCount() && !isHidden(last.encounter))
        setSelectedPath(last, false);
}

QList<EncounterPath> EncounterListModel::getExpandedList(EncounterData* encounter) const
{
    QList<EncounterPath> expanded;
    const int row = rowOf(encounter);
    if (!view || row < 0)
        return expanded;
    if (view->isExpanded(pathToIndex(pathOf(row))))
        expanded.append(pathOf(row));
    for (int group = 0; group < encounter->getGroupCount(); group++)
        if (view->isExpanded(pathToIndex(pathOf(row, group))))
            expanded.append(pathOf(row, group));
    return expanded;
}

void EncounterListModel::setExpanded(EncounterData* encounter, const QList<EncounterPath>& list)
{
    const int row = rowOf(encounter);
    if (!view || row < 0)
        return;
    for (EncounterPath path : list) {
        path.encounter = row;
        // The copy read back may have fewer groups.
        if (holds(path))
            view->expand(pathToIndex(path));
    }
}

void EncounterListModel::applyFilter()
{
    if (!view)
        return;
    for (int row = 0; row < rowCount(); row++) {
        EncounterData* encounter = encounterAt(row);
        const bool hide = encounter->isDeleted() || !encounter->match(filterText, filterAdventure);
        // Each call would lay the view out anew.
        if (isHidden(row) != hide)
            view->setRowHidden(row, QModelIndex(), hide);
    }
}

bool EncounterListModel::isHidden(int row) const
{
    return view && view->isRowHidden(row, QModelIndex());
}

int EncounterListModel::visibleNeighbour(int row) const
{
    return nearestShownRow(row, rowCount(), [this](int other) { return isHidden(other); });
}
