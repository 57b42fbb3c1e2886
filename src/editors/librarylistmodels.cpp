#include "editors/librarylistmodels.h"

#include <QColor>
#include <QItemSelectionModel>
#include <QListView>
#include <QScopedValueRollback>

#include "creature/creature.h"
#include "foundation/global.h"
#include "foundation/textcolours.h"
#include "library/characters.h"
#include "library/monsters.h"
#include "toolkit/itemviews.h"

LibraryListModel::~LibraryListModel() = default;

void LibraryListModel::setView(QListView* listView)
{
    view = listView;
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LibraryListModel::onInternalSelectionChanged);
}

int LibraryListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : entryCount();
}

int LibraryListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant LibraryListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    Creature* entry = entryAt(index.row());
    if (role == Qt::DisplayRole)
        return entry->isDirty() ? keyOf(entry) + "*" : keyOf(entry);
    if (role == Qt::ForegroundRole)
        return foreground(entry);
    return {};
}

QVariant LibraryListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return tr("Name");
    return {};
}

QVariant LibraryListModel::foreground(Creature*) const
{
    return {};
}

bool LibraryListModel::match(const QString& name, const QString& filter)
{
    return filter.isEmpty() || name.contains(filter, Qt::CaseInsensitive);
}

void LibraryListModel::setFilter(const QString& text)
{
    if (text == filter)
        return;
    if (view)
        view->selectionModel()->clearSelection();
    filter = text;
    applyFilter(filter);
    const int row = lastSelected ? rowOf(lastSelected) : -1;
    if (row >= 0 && !isHidden(row))
        selectOnly(row);
}

Creature* LibraryListModel::selectedEntry() const
{
    if (!view)
        return nullptr;
    const QModelIndexList rows = view->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? nullptr : entryAt(rows.first().row());
}

void LibraryListModel::selectRow(int row)
{
    selectOnly(row);
    if (view && row >= 0)
        view->scrollTo(index(row, 0), QAbstractItemView::EnsureVisible);
}

void LibraryListModel::showEntry(Creature* entry)
{
    const int row = rowOf(entry);
    if (view && row >= 0)
        view->setRowHidden(row, false);
}

void LibraryListModel::insertEntry(Creature* entry, bool select)
{
    const int row = insertionRow(entry, -1);
    beginInsertRows(QModelIndex(), row, row);
    {
        QScopedValueRollback<bool> guard(changingLibrary, true);
        addToLibrary(entry);
    }
    endInsertRows();
    if (select)
        selectRow(rowOf(entry));
}

void LibraryListModel::moveEntry(Creature* entry)
{
    const int row = rowOf(entry);
    if (row < 0)
        return;
    const int target = insertionRow(entry, row);
    if (target == row)
        return;
    // A move, not a removal and an insertion: the highlight and the hidden flags go along.
    beginMoveRows(QModelIndex(), row, row, QModelIndex(), target > row ? target + 1 : target);
    {
        QScopedValueRollback<bool> guard(changingLibrary, true);
        takeFromLibrary(row, false);
        addToLibrary(entry);
    }
    endMoveRows();
    if (view && selectedEntry() == entry)
        view->scrollTo(index(target, 0), QAbstractItemView::EnsureVisible);
}

void LibraryListModel::restoreOrder()
{
    QList<Creature*> entries;
    bool sorted = true;
    for (int row = 0; row < entryCount(); row++) {
        entries.append(entryAt(row));
        sorted = sorted && (row == 0 || inOrder(row - 1, row));
    }
    if (sorted)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    {
        // Moved one by one, each would be placed by a search of a list still out of order.
        QScopedValueRollback<bool> guard(changingLibrary, true);
        for (int row = entryCount() - 1; row >= 0; row--)
            takeFromLibrary(row, false);
        for (Creature* entry : entries)
            addToLibrary(entry);
    }
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex& old : before)
        after.append(index(rowOf(entries.value(old.row())), old.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void LibraryListModel::keepInOrder(Creature* entry)
{
    const int row = rowOf(entry);
    if (row >= 0 && ((row > 0 && !inOrder(row - 1, row)) || (row + 1 < entryCount() && !inOrder(row, row + 1))))
        restoreOrder();
}

bool LibraryListModel::inOrder(int first, int second) const
{
    return keyOf(entryAt(first)).compare(keyOf(entryAt(second)), Qt::CaseInsensitive) <= 0;
}

void LibraryListModel::removeEntry(Creature* entry, bool hideOnly, bool dispose)
{
    const int row = rowOf(entry);
    if (row < 0)
        return;
    Creature* next = selectedEntry();
    if (next == entry) {
        const int neighbour = visibleNeighbour(row);
        next = neighbour >= 0 ? entryAt(neighbour) : nullptr;
    }
    if (hideOnly) {
        if (view)
            view->setRowHidden(row, true);
    } else {
        beginRemoveRows(QModelIndex(), row, row);
        {
            QScopedValueRollback<bool> guard(changingLibrary, true);
            takeFromLibrary(row, dispose);
        }
        endRemoveRows();
    }
    selectOnly(next ? rowOf(next) : -1);
}

void LibraryListModel::resetList()
{
    beginResetModel();
    endResetModel();
    applyFilter(filter);
    // The reset cleared the selection without a word.
    const int row = selected ? rowOf(selected) : -1;
    selected = nullptr;
    if (row >= 0 && !isHidden(row))
        selectOnly(row);
    else
        emit doSelectionChanged();
}

void LibraryListModel::entriesChanged()
{
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::DisplayRole, Qt::ForegroundRole});
}

void LibraryListModel::onLibraryUpdated()
{
    if (!changingLibrary)
        resetList();
}

void LibraryListModel::onInternalSelectionChanged(const QItemSelection&, const QItemSelection&)
{
    selected = selectedEntry();
    if (selected)
        lastSelected = selected;
    emit doSelectionChanged();
}

int LibraryListModel::insertionRow(Creature* entry, int skip) const
{
    const QString key = keyOf(entry);
    const bool skipping = skip >= 0;
    const int others = entryCount() - (skipping ? 1 : 0);
    int row = sortedRow(key, skip);
    while (row < others && keyOf(entryAt(skipping && row >= skip ? row + 1 : row)).compare(key, Qt::CaseInsensitive) == 0)
        row++;
    return row;
}

int LibraryListModel::visibleNeighbour(int row) const
{
    return nearestShownRow(row, entryCount(), [this](int other) { return isHidden(other); });
}

bool LibraryListModel::isHidden(int row) const
{
    return view && view->isRowHidden(row);
}

void LibraryListModel::applyFilter(const QString& text)
{
    if (!view)
        return;
    for (int row = 0; row < entryCount(); row++) {
        Creature* entry = entryAt(row);
        const bool hide = entry->isDeleted() || !match(keyOf(entry), text);
        // Each call would lay the view out anew.
        if (view->isRowHidden(row) != hide)
            view->setRowHidden(row, hide);
    }
}

void LibraryListModel::selectOnly(int row)
{
    if (!view)
        return;
    if (row < 0)
        view->selectionModel()->clearSelection();
    else
        view->selectionModel()->setCurrentIndex(index(row, 0), QItemSelectionModel::ClearAndSelect);
}

TemplateListModel::TemplateListModel()
{
    if (Global::monsters)
        connect(Global::monsters, &Monsters::doTemplatesUpdated, this, &TemplateListModel::onLibraryUpdated);
}

int TemplateListModel::entryCount() const
{
    return Global::monsters ? Global::monsters->getTemplateCount() : 0;
}

Creature* TemplateListModel::entryAt(int row) const
{
    return Global::monsters->getTemplate(row);
}

int TemplateListModel::rowOf(Creature* entry) const
{
    return Global::monsters ? Global::monsters->getTemplateIndex(entry) : -1;
}

int TemplateListModel::sortedRow(const QString& key, int skip) const
{
    return Global::monsters->getTemplatePos(key, skip);
}

QString TemplateListModel::keyOf(Creature* entry) const
{
    return entry->getGroup();
}

void TemplateListModel::addToLibrary(Creature* entry)
{
    Global::monsters->addTemplate(entry);
}

void TemplateListModel::takeFromLibrary(int row, bool dispose)
{
    Global::monsters->deleteTemplate(row, dispose);
}

QVariant TemplateListModel::foreground(Creature* entry) const
{
    return entry->isBroken() ? QVariant(TextColours::red()) : QVariant();
}

CharacterListModel::CharacterListModel()
{
    if (Global::characters)
        connect(Global::characters, &Characters::doCharactersUpdated, this, &CharacterListModel::onLibraryUpdated);
}

int CharacterListModel::entryCount() const
{
    return Global::characters ? Global::characters->getCharacterCount() : 0;
}

Creature* CharacterListModel::entryAt(int row) const
{
    return Global::characters->getCharacter(row);
}

int CharacterListModel::rowOf(Creature* entry) const
{
    return Global::characters ? Global::characters->getCharacterIndex(entry) : -1;
}

int CharacterListModel::sortedRow(const QString& key, int skip) const
{
    return Global::characters->getCharacterPos(key, skip);
}

QString CharacterListModel::keyOf(Creature* entry) const
{
    return entry->getName();
}

void CharacterListModel::addToLibrary(Creature* entry)
{
    Global::characters->addCharacter(entry);
}

void CharacterListModel::takeFromLibrary(int row, bool dispose)
{
    Global::characters->deleteCharacter(row, dispose);
}
