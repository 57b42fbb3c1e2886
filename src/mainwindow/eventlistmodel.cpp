#include "mainwindow/eventlistmodel.h"

#include <QColor>
#include <QListView>

#include "foundation/global.h"
#include "encounter/history.h"
#include "mainwindow/mainwindow.h"

EventListModel::EventListModel(QObject* parent)
    : QAbstractTableModel(parent), currentIcon(":/images/arrow-right128.png"), blankIcon(":/images/no-icon.png")
{
}

void EventListModel::setView(QListView* listView)
{
    view = listView;
    view->setSelectionMode(QAbstractItemView::NoSelection);
    // A long entry wraps within the dock instead of widening the list.
    view->setWordWrap(true);
    view->setResizeMode(QListView::Adjust);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(view, &QListView::clicked, this, &EventListModel::onInitListClicked);
}

void EventListModel::newHistory()
{
    connect(Global::history, &History::doHistoryChanged, this, &EventListModel::onHistoryChanged);
    // Views and proxies expect the announcement before every relayout.
    emit layoutAboutToBeChanged();
    emit layoutChanged();
}

int EventListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !Global::history ? 0 : Global::history->getEventCount();
}

int EventListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant EventListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() != 0)
        return QVariant();
    int current = Global::history->getCurrentIndex();
    switch (role) {
    case Qt::DisplayRole: return Global::history->getEventText(index.row());
    case Qt::DecorationRole: return index.row() == current ? currentIcon : blankIcon;
    case Qt::ForegroundRole: return index.row() > current ? QVariant(QColor("grey")) : QVariant();
    default: return QVariant();
    }
}

QVariant EventListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Vertical)
        return QString("%1").arg(section + 1);
    return section == 0 ? QVariant(tr("Event")) : QVariant();
}

void EventListModel::onHistoryChanged()
{
    emit layoutAboutToBeChanged();
    emit layoutChanged();
    if (view)
        view->scrollTo(index(Global::history->getCurrentIndex(), 0), QAbstractItemView::EnsureVisible);
}

void EventListModel::onInitListClicked(const QModelIndex& clicked)
{
    if (Global::mainWindow && Global::mainWindow->runningFlatDialog())
        return;
    Global::history->goTo(clicked.row());
}
