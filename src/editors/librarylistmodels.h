#ifndef LIBRARYLISTMODELS_H
#define LIBRARYLISTMODELS_H

#include <QAbstractTableModel>
#include <QPointer>
#include <QString>

#include "foundation/dogtag.h"

class Creature;
class QItemSelection;
class QListView;

// One library as a sorted, one-column list in an editor's list view. Row i is
// entry i of the library; the model is the way the editor inserts, moves and
// removes entries, so library and view never disagree about rows. The filter
// hides rows in the view. The selection is followed as entries: rows that
// move under the highlight (an insertion elsewhere, a placeholder the fight
// added) never hand the editor another entry.
class LibraryListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    ~LibraryListModel() override;

    // After the view was given the model: its selection model exists from then on.
    void setView(QListView* listView);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Hides the rows whose key does not hold the text (any case); entries
    // marked deleted stay hidden. The last selected entry is selected again
    // when it shows.
    void setFilter(const QString& text);
    QString getFilter() const { return filter; }
    static bool match(const QString& name, const QString& filter);

signals:
    void doSelectionChanged();

protected:
    LibraryListModel() = default;

    // The highlighted entry, null when none.
    Creature* selectedEntry() const;
    void selectRow(int row);
    void showEntry(Creature* entry);
    void insertEntry(Creature* entry, bool select);
    // The entry's key changed: it moves to its sorted row, the highlight with it.
    void moveEntry(Creature* entry);
    // Keys changed outside the editor, any number of them (a replay renames
    // heroes): every entry goes back to its sorted row at once, the highlight
    // and the hidden rows with it. The library's lookups need its order.
    void restoreOrder();
    // The same, when this entry's key left its place among its neighbours.
    void keepInOrder(Creature* entry);
    // Hides the row or takes the entry out of the library; a visible
    // neighbour takes over the highlight of a removed selected entry.
    void removeEntry(Creature* entry, bool hideOnly, bool dispose);
    // The library changed as a whole: every row is read again and filtered,
    // and nothing but the entry selected before (when it is still there) stays selected.
    void resetList();
    // The texts of the entries changed.
    void entriesChanged();
    // Connected to the library's updated signal: a change the model did not
    // make itself (a reload, a placeholder the fight added) resets the list.
    void onLibraryUpdated();

    virtual int entryCount() const = 0;
    virtual Creature* entryAt(int row) const = 0;
    virtual int rowOf(Creature* entry) const = 0;
    // The sorted place of a key among the entries other than the one at skip, before equal keys.
    virtual int sortedRow(const QString& key, int skip) const = 0;
    virtual QString keyOf(Creature* entry) const = 0;
    virtual void addToLibrary(Creature* entry) = 0;
    virtual void takeFromLibrary(int row, bool dispose) = 0;
    virtual QVariant foreground(Creature* entry) const;

private slots:
    void onInternalSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected);

private:
    // Where the library puts the entry among the others: after equal keys.
    int insertionRow(Creature* entry, int skip) const;
    bool inOrder(int first, int second) const;
    int visibleNeighbour(int row) const;
    bool isHidden(int row) const;
    // Hides or shows every row by the deleted marks and the filter.
    void applyFilter(const QString& text);
    void selectOnly(int row);

    QString filter;
    QListView* view = nullptr;
    // The highlighted entry as the last selection signal left it, for a reset
    // that comes after the library changed; and the one selected most recently.
    QPointer<Creature> selected;
    QPointer<Creature> lastSelected;
    // The library's updated signals while the model changes the library itself.
    bool changingLibrary = false;
    DogTag dogTag{__LINE__, __FILE__};
};

// The monster templates of the monster library, keyed by template name; a broken one is drawn in red.
class TemplateListModel : public LibraryListModel
{
    Q_OBJECT

public:
    TemplateListModel();

    Creature* getSelectedTemplate() const { return selectedEntry(); }
    void selectTemplate(int row) { selectRow(row); }
    void showTemplate(Creature* entry) { showEntry(entry); }
    void insertTemplate(Creature* entry, bool select) { insertEntry(entry, select); }
    void moveTemplate(Creature* entry) { moveEntry(entry); }
    void removeTemplate(Creature* entry, bool hideOnly, bool dispose) { removeEntry(entry, hideOnly, dispose); }
    void resetTemplateList() { resetList(); }
    void templateChanged() { entriesChanged(); }

protected:
    int entryCount() const override;
    Creature* entryAt(int row) const override;
    int rowOf(Creature* entry) const override;
    int sortedRow(const QString& key, int skip) const override;
    QString keyOf(Creature* entry) const override;
    void addToLibrary(Creature* entry) override;
    void takeFromLibrary(int row, bool dispose) override;
    QVariant foreground(Creature* entry) const override;
};

// The characters of the character library, keyed by name. A disposed
// character stays alive in the library until it is reset: the history may name it.
class CharacterListModel : public LibraryListModel
{
    Q_OBJECT

public:
    CharacterListModel();

    Creature* getSelectedCharacter() const { return selectedEntry(); }
    void showCharacter(Creature* entry) { showEntry(entry); }
    void insertCharacter(Creature* entry, bool select) { insertEntry(entry, select); }
    void moveCharacter(Creature* entry) { moveEntry(entry); }
    void sortCharacters() { restoreOrder(); }
    void keepCharacterInOrder(Creature* entry) { keepInOrder(entry); }
    void removeCharacter(Creature* entry, bool hideOnly, bool dispose) { removeEntry(entry, hideOnly, dispose); }
    void resetCharacterList() { resetList(); }
    void characterChanged() { entriesChanged(); }

protected:
    int entryCount() const override;
    Creature* entryAt(int row) const override;
    int rowOf(Creature* entry) const override;
    int sortedRow(const QString& key, int skip) const override;
    QString keyOf(Creature* entry) const override;
    void addToLibrary(Creature* entry) override;
    void takeFromLibrary(int row, bool dispose) override;
};

#endif
