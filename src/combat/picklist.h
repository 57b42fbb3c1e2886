#ifndef PICKLIST_H
#define PICKLIST_H

#include <QAbstractTableModel>
#include <QHash>
#include <QStringList>

#include "toolkit/flatdialog.h"
#include "toolkit/itemviews.h"

class EventSignaler;
class QItemSelection;
class QLineEdit;
class QTableView;
class QVBoxLayout;

// A library's entries in a picker's table. The rows hold the entries they
// stood for when the library last changed, so an edit in an editor window
// while the picker runs cannot shift a choice onto another entry.
class PickListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit PickListModel(const QStringList& headers);

    // The view whose rows the filter hides.
    void setView(QTableView* view);
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

public slots:
    // The library changed: its entries are read again and filtered as before.
    void reload();

signals:
    void doReloaded();

protected:
    // Clears the selection and hides the rows the filter does not pass.
    void refilter();

    virtual int entryCount() const = 0;
    virtual void readLibrary() = 0;
    virtual QVariant cell(int row, int column) const = 0;
    virtual bool passes(int row) const = 0;

private:
    QStringList headers;
    QTableView* view = nullptr;
};

// A picker's table. Its columns are as wide as their entries while it has
// room; short of room the last columns give way first and their entries wrap,
// so that the panel never needs to scroll sideways. Its rows are measured
// again whenever its content changes: only entries it has not measured yet.
class PickListView : public ExpandingTableView
{
    Q_OBJECT

public:
    using ExpandingTableView::ExpandingTableView;

    void setModel(QAbstractItemModel* model) override;
    // Measures the widths the entries ask for, which the columns then keep where there is room.
    void measureColumns();

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void contentChanged();
    // Fits the columns to the viewport, and the rows to their entries where
    // these changed or wrap anew.
    void fitColumns(bool entriesChanged = false);
    void fitRows();

    // The texts of the rows as measured last.
    QList<QStringList> entries;
    QList<int> wanted;
    // The widths each column's texts ask for, by text, and the rows' heights at
    // the columns' present widths, by their texts: a large library is slow to measure.
    QList<QHash<QString, int>> textWidths;
    QHash<QStringList, int> rowHeights;
    // The rows as measured last: wrapped where a column gave way.
    bool rowsWrapped = false;
    // The content changed, and its rows are measured once the change is whole.
    bool measurePending = false;
};

// A picker panel: a filter line, the table of a library and the buttons.
// Subclasses keep what the selected row stood for.
class PickListDialog : public FlatDialog
{
    Q_OBJECT

public:
    PickListDialog();
    ~PickListDialog() override;

    bool getAdjustHeight() override { return true; }

    QLineEdit* getFilterEdit() const { return filterEdit; }
    QTableView* getView() const;

public slots:
    virtual void onFilterChanged(QObject*) = 0;

protected:
    // The model goes to the view below the lines given so far.
    void addList(PickListModel* model);
    // The first selected row of the view, -1 when none.
    int selectedRow() const;
    // Selects the row again after the library changed; false when it is gone or hidden.
    bool reselect(int row);
    virtual void selectionChanged() = 0;
    // The library changed: the choice is selected again where it stands now.
    virtual void keepChoice() = 0;

    QVBoxLayout* layout;

private:
    EventSignaler* watcher;
    QLineEdit* filterEdit;
    QPointer<PickListView> view;
    bool reloading = false;
};

#endif
