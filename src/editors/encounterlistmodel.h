#ifndef ENCOUNTERLISTMODEL_H
#define ENCOUNTERLISTMODEL_H

#include <QAbstractItemModel>
#include <QString>

#include <functional>

#include "foundation/dogtag.h"

class EncounterData;
class QItemSelection;
class QTreeView;
struct EncounterMonster;

// A row of the encounter tree: an encounter, one of its groups (a run of
// monsters of one template) or a monster of a group; -1 for a level not set.
struct EncounterPath
{
    int encounter = -1;
    int group = -1;
    int creature = -1;

    bool isRoot() const { return encounter < 0 && group < 0 && creature < 0; }
    void setRoot() { encounter = group = creature = -1; }
    // Goes one level down; false below a monster.
    bool cd(int row);
    // Goes one level up and returns the row left; -1 at the root.
    int cdUp();
    // A model index carries the path of its parent: its encounter in the
    // high half, its group in the low half, 0xFFFF for an unset level.
    int getModelReference() const;
    void setModelReference(int ref);
    // False for a column other than 0; an invalid index gives the root.
    bool indexToPath(const QModelIndex& index);
    bool operator==(const EncounterPath& other) const
    {
        return encounter == other.encounter && group == other.group && creature == other.creature;
    }
};

// The prepared encounters of the encounter library as a tree of encounters,
// groups and monsters, rows in library order. The model makes the editor's
// structural changes on the library itself, each announced as exactly what
// changes, so that the view's selection and expanded rows follow their
// encounters. The filter hides encounter rows in the view.
class EncounterListModel : public QAbstractItemModel
{
    Q_OBJECT

public:
    EncounterListModel();

    // After the view was given the model: its selection model exists from then on.
    void setView(QTreeView* treeView);
    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    QModelIndex pathToIndex(EncounterPath path) const;
    // True when the path addresses a row the library has.
    bool holds(EncounterPath path) const;
    int getObjectCount(const EncounterPath& path) const;
    QString getObjectData(const EncounterPath& path) const;

    EncounterPath getSelection() const { return selectedPath; }
    EncounterData* getSelectedEncounter() const;
    QString getSelectedGroup() const;
    EncounterMonster* getSelectedMonster(EncounterData** encounter = nullptr) const;
    void setSelectedPath(EncounterPath path, bool scrollTo);
    // True while the model changes the library: its updated signals are the model's own.
    bool isChangingLibrary() const { return changingLibrary; }

    // Encounters
    void insertEncounter(EncounterData* encounter, bool select);
    // Hides the row, or takes the encounter out of the library and frees it;
    // a visible neighbour takes over the highlight of a removed selected encounter.
    void removeEncounter(EncounterData* encounter, bool hideOnly);
    // The encounter read again from its file takes its place; false, with
    // the encounter kept as it is, when the file no longer reads.
    bool revertEncounter(EncounterData* encounter);
    void moveEncounter(EncounterData* encounter, const QString& newName);
    void showEncounter(EncounterData* encounter);
    // Names and dirty marks changed in place.
    void encounterChanged();
    // The library was replaced: every row read again, filtered, nothing selected, all collapsed.
    void resetList();

    // Monsters: the inserted or moved monster ends selected, its rows expanded.
    void insertMonster(EncounterData* encounter, const EncounterMonster& monster);
    void deleteMonster(EncounterData* encounter, const EncounterMonster& monster);
    void moveMonster(EncounterData* encounter, const EncounterMonster& from, const EncounterMonster& to);

    // A template was renamed or deleted: its group in every encounter.
    void moveGroup(const QString& oldName, const QString& newName);
    void removeGroup(const QString& name);

    void setFilter(const QString& text, const QString& adventure);

    // The encounter's expanded rows: its own row first, then its groups in order.
    QList<EncounterPath> getExpandedList(EncounterData* encounter) const;
    // Expands the listed rows under the encounter's present row, wherever the list was taken.
    void setExpanded(EncounterData* encounter, const QList<EncounterPath>& list);

signals:
    void doSelectionChanged();

private slots:
    void onInternalSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

private:
    // Runs a structural change: the selection signals it causes are told once, after it.
    template <typename Change>
    void changeStructure(Change change);
    // One row under the parent, announced around the change of the library.
    void insertRow(const EncounterPath& parent, int row, const std::function<void()>& change);
    void removeRow(const EncounterPath& parent, int row, const std::function<void()>& change);
    void moveRow(const EncounterPath& parent, int from, int to, const std::function<void()>& change);
    // The rows below rows that moved carry their parents' old rows in their
    // references; the toolkit updates only the moved rows themselves.
    void followShiftedRows(const EncounterPath& parent, const std::function<int(int)>& newRow);
    void updateSelectedPath();
    void applyFilter();
    bool isHidden(int row) const;
    // The visible encounter row nearest to row, below first; -1 when none.
    int visibleNeighbour(int row) const;
    void renameGroup(int row, const QString& oldName, const QString& newName);

    EncounterPath selectedPath;
    EncounterPath lastSelectedPath;
    QString filterText;
    QString filterAdventure;
    QTreeView* view = nullptr;
    bool changingLibrary = false;
    bool selectionMoved = false;
    DogTag dogTag{__LINE__, __FILE__};
};

#endif
