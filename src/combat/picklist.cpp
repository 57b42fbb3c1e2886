#include "combat/picklist.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QVBoxLayout>

#include "foundation/switchboard.h"
#include "toolkit/itemviews.h"

PickListModel::PickListModel(const QStringList& headers) : headers(headers) {}

void PickListModel::setView(QTableView* tableView)
{
    view = tableView;
    view->setShowGrid(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setStretchLastSection(true);
    view->verticalHeader()->setDefaultSectionSize(24);
    view->setWordWrap(true);
    view->resizeColumnsToContents();
    view->resizeRowsToContents();
    refilter();
}

int PickListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : entryCount();
}

int PickListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(headers.size());
}

QVariant PickListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole || index.row() >= entryCount() || index.column() >= headers.size())
        return QVariant();
    return cell(index.row(), index.column());
}

QVariant PickListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= headers.size())
        return QVariant();
    return headers[section];
}

void PickListModel::reload()
{
    beginResetModel();
    readLibrary();
    endResetModel();
    refilter();
    emit doReloaded();
}

void PickListModel::refilter()
{
    if (!view)
        return;
    if (QItemSelectionModel* selection = view->selectionModel())
        selection->select(QModelIndex(), QItemSelectionModel::Clear);
    const int count = entryCount();
    for (int row = 0; row < count; row++)
        view->setRowHidden(row, !passes(row));
}

PickListDialog::PickListDialog() : layout(new QVBoxLayout), watcher(new EventSignaler), filterEdit(new QLineEdit)
{
    filterEdit->installEventFilter(watcher);
    filterEdit->setPlaceholderText(tr("Enter filter text"));
    layout->addWidget(filterEdit);
    connect(watcher, &EventSignaler::doEventReceived, this, &PickListDialog::onFilterChanged);
}

PickListDialog::~PickListDialog()
{
    // The content dies with the base or later: none of its events may reach this panel then.
    delete watcher;
    if (view)
        view->selectionModel()->disconnect(this);
}

QTableView* PickListDialog::getView() const
{
    return view;
}

void PickListDialog::addList(PickListModel* model)
{
    model->setParent(this);
    view = new ExpandingTableView;
    layout->addWidget(view);
    view->setModel(model);
    model->setView(view);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!reloading)
            selectionChanged();
    });
    connect(model, &QAbstractItemModel::modelAboutToBeReset, this, [this] { reloading = true; });
    connect(model, &PickListModel::doReloaded, this, [this] {
        reloading = false;
        keepChoice();
    });
}

int PickListDialog::selectedRow() const
{
    const QModelIndexList rows = view->selectionModel()->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.last().row();
}

bool PickListDialog::reselect(int row)
{
    if (row < 0 || view->isRowHidden(row))
        return false;
    view->selectRow(row);
    return true;
}
