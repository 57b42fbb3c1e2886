#include "combat/picklist.h"

#include <QEvent>
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
    view->verticalHeader()->setDefaultSectionSize(24);
    view->setWordWrap(true);
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

void PickListView::setModel(QAbstractItemModel* model)
{
    ExpandingTableView::setModel(model);
    connect(model, &QAbstractItemModel::rowsInserted, this, &PickListView::contentChanged);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &PickListView::contentChanged);
    connect(model, &QAbstractItemModel::modelReset, this, &PickListView::contentChanged);
    connect(model, &QAbstractItemModel::dataChanged, this, &PickListView::contentChanged);
}

void PickListView::measureColumns()
{
    entries.clear();
    for (int row = 0; row < model()->rowCount(); row++) {
        QStringList texts;
        for (int column = 0; column < model()->columnCount(); column++)
            texts << model()->index(row, column).data().toString();
        entries << texts;
    }
    QHeaderView* header = horizontalHeader();
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    textWidths.resize(header->count());
    wanted.clear();
    for (int column = 0; column < header->count(); column++) {
        QHash<QString, int>& widths = textWidths[column];
        int widest = header->sectionSizeHint(column);
        // The rows the filter hides count too, as they show once it is cleared.
        for (int row = 0; row < entries.size(); row++) {
            auto width = widths.constFind(entries[row][column]);
            if (width == widths.cend()) {
                const QModelIndex index = model()->index(row, column);
                width = widths.insert(entries[row][column], itemDelegateForIndex(index)->sizeHint(option, index).width());
            }
            widest = qMax(widest, *width);
        }
        wanted << widest;
    }
    measurePending = false;
    fitColumns(true);
}

void PickListView::contentChanged()
{
    // A reset leaves every row a line high. Measured once the change is whole:
    // a reload hides the rows its filter leaves out after the reset, and one
    // measure does for the signals of one change.
    if (!measurePending)
        QMetaObject::invokeMethod(this, &PickListView::measureColumns, Qt::QueuedConnection);
    measurePending = true;
}

bool PickListView::viewportEvent(QEvent* event)
{
    // The viewport narrows with the window and with the bar beside it. Before
    // it first shows, the view places it again while it takes in its first
    // size, and that second size never comes as an event: it is fitted again
    // as it shows.
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
        fitColumns();
    return ExpandingTableView::viewportEvent(event);
}

void PickListView::fitColumns(bool entriesChanged)
{
    QHeaderView* header = horizontalHeader();
    if (wanted.size() != header->count())
        return;
    QList<int> widths = wanted;
    int spare = viewport()->width();
    for (const int width : widths)
        spare -= width;
    // The last columns give way first, each down to its heading; below the
    // headings only once every column stands at its own.
    for (const bool belowHeadings : {false, true})
        for (int column = int(widths.size()) - 1; column >= 0 && spare < 0; column--) {
            const int least = belowHeadings ? header->minimumSectionSize() : header->sectionSizeHint(column);
            const int given = qMin(-spare, qMax(0, widths[column] - least));
            widths[column] -= given;
            spare += given;
        }
    // Room to spare goes to the last column, as to a stretched last section.
    if (spare > 0 && !widths.isEmpty())
        widths.last() += spare;
    bool changed = false;
    bool narrowed = false;
    for (int column = 0; column < widths.size(); column++) {
        if (header->sectionSize(column) != widths[column]) {
            header->resizeSection(column, widths[column]);
            changed = true;
        }
        narrowed = narrowed || widths[column] < wanted[column];
    }
    // An entry wraps where its column gave way, and takes one line again
    // once it has its room back: then every row is measured anew.
    const bool rewrapped = changed && (narrowed || rowsWrapped);
    if (rewrapped)
        rowHeights.clear();
    if (!measurePending && (entriesChanged || rewrapped))
        fitRows();
    rowsWrapped = narrowed;
}

void PickListView::fitRows()
{
    for (int row = 0; row < entries.size(); row++) {
        const auto height = rowHeights.constFind(entries[row]);
        if (height != rowHeights.cend()) {
            // A hidden row keeps it for when it shows.
            verticalHeader()->resizeSection(row, *height);
            continue;
        }
        // Measured as shown, as it shows once the filter is cleared.
        const bool hidden = isRowHidden(row);
        setRowHidden(row, false);
        resizeRowToContents(row);
        rowHeights.insert(entries[row], rowHeight(row));
        setRowHidden(row, hidden);
    }
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
    view = new PickListView;
    layout->addWidget(view);
    view->setModel(model);
    model->setView(view);
    view->measureColumns();
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
